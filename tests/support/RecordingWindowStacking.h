#pragma once

#include "platform/WindowStacking.h"

#include <QList>
#include <QPointer>
#include <QWidget>

namespace vantrel::test {

// Records which windows are kept above, in the order last asked (the last one lies on top).
class RecordingWindowStacking final : public WindowStacking {
public:
    void keepAbove(QWidget& window) override {
        kept_.removeAll(&window);
        kept_ << &window;
        ++requests_;
    }
    void release(QWidget& window) override { kept_.removeAll(&window); }
    bool markAsDock(QWidget& window) override {
        marked_ << &window;
        visibleWhenMarked_ << window.isVisible();
        return takesDockMark;
    }
    // The windows marked as docks, in the order asked, and whether each was shown by then.
    QList<QWidget*> marked() const { return marked_; }
    QList<bool> visibleWhenMarked() const { return visibleWhenMarked_; }
    // What markAsDock answers.
    bool takesDockMark = true;

    // The live windows kept; a deleted one drops out.
    QList<QWidget*> kept() const {
        QList<QWidget*> live;
        for (const QPointer<QWidget>& window : kept_)
            if (window) live << window;
        return live;
    }
    // How often keepAbove was called: each show and each opening asks again.
    int requests() const { return requests_; }

private:
    QList<QPointer<QWidget>> kept_;
    QList<QWidget*> marked_;
    QList<bool> visibleWhenMarked_;
    int requests_ = 0;
};

} // namespace vantrel::test
