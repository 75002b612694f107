#pragma once

#include "kit/FeatureRowLayout.h"
#include "kit/VantrelIcon.h"

#include <QPointer>
#include <QWidget>

namespace vantrel {

class VantrelLabel;
class VantrelPreferences;

// One feature on a line: a tinted icon, a title and a wrapping subtitle, and its control at the
// right; too narrow, the control moves to a line of its own under the text. The control is
// announced with the title as its name and the subtitle as its description.
class FeatureRow : public QWidget {
    Q_OBJECT
public:
    // Takes ownership of `trailing`.
    FeatureRow(VantrelPreferences& preferences, const QString& symbol, const IconColor& color,
               const QString& title, const QString& subtitle, QWidget* trailing, QWidget* parent = nullptr);

    QWidget* trailing() const { return trailing_; }
    VantrelIcon* icon() const { return icon_; }
    VantrelLabel* titleLabel() const { return title_; }
    VantrelLabel* subtitleLabel() const { return subtitle_; }
    FeatureRowLayout layoutFor(double width) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    VantrelIcon* icon_;
    VantrelLabel* title_;
    VantrelLabel* subtitle_;
    QPointer<QWidget> trailing_;
};

} // namespace vantrel
