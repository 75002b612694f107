#pragma once

#include "platform/Clock.h"
#include "platform/Scheduler.h"

#include <QColor>
#include <QRectF>
#include <QWidget>
#include <optional>
#include <vector>

namespace vantrel {

// The marks of a cleaning session on its sheet: one small bar per blocked press, in groups of five
// like words, the newest darker, followed by a blinking caret, in a framed well.
class KeyboardCleaningInk final : public QWidget {
    Q_OBJECT
public:
    struct Mark {
        QRectF rect;
        double opacity;
        bool operator==(const Mark&) const = default;
    };
    struct Layout {
        std::vector<Mark> marks;
        std::optional<QRectF> caret;
    };

    static constexpr int kMostMarks = 180;
    static constexpr double kBlinkSeconds = 0.55;
    // The well's inset around the canvas the marks are drawn in.
    static constexpr double kInset = 18;

    // The marks and caret of `markCount` presses (at most 180 drawn) in a canvas of `size`.
    static Layout layout(int markCount, QSizeF size, bool caretShown);
    // The caret shows in the even 0.55-second periods counted from 2001-01-01 00:00 UTC, always
    // under reduced motion.
    static bool caretVisible(WallTime at, bool reduceMotion);

    KeyboardCleaningInk(const Clock& clock, Scheduler& scheduler, QWidget* parent = nullptr);

    int markCount() const { return markCount_; }
    void setMarkCount(int count);
    void setAccent(const QColor& accent);
    void setReduceMotion(bool reduceMotion);
    // The caret blinks only while a session runs; otherwise nothing wakes the view.
    void setBlinking(bool blinking);
    bool isBlinking() const { return blink_.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void updateBlink();

    const Clock& clock_;
    Scheduler& scheduler_;
    int markCount_ = 0;
    QColor accent_;
    bool reduceMotion_ = false;
    bool wantsBlink_ = false;
    ScheduledTask blink_;
};

} // namespace vantrel
