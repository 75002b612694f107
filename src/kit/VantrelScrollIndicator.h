#pragma once

#include <QVariantAnimation>
#include <QWidget>

class QAbstractScrollArea;

namespace vantrel {

// The thin scroll indicator of the kit's dark surfaces: a rounded handle laid over the trailing
// edge of a scroll view's content, in place of the desktop's scroll bar with its track and arrow
// buttons. It takes no width from the content and leaves every click to the content under it; the
// wheel and the trackpad scroll the view as before, the hidden bar still keeping its range and
// position. Laid over the content, it would cover the text at the trailing edge for good: it shows
// only while the view scrolls or the pointer rests over it, and fades out after, and never where
// there is nothing to scroll.
class VantrelScrollIndicator final : public QWidget {
    Q_OBJECT
public:
    static constexpr double kHandleWidth = 4;
    // Between the handle and the view's top, bottom and trailing edges.
    static constexpr double kInset = 2;
    static constexpr double kMinimumHandleLength = 20;
    // Shown this long after the last scroll, then faded out over the second.
    static constexpr double kShownSeconds = 0.8;
    static constexpr double kFadeSeconds = 0.25;

    // Gives `area` the indicator in place of its vertical bar and returns it (owned by `area`).
    static VantrelScrollIndicator* install(QAbstractScrollArea* area);

    // The handle in `track` for a bar from `minimum` to `maximum` showing `pageStep` at `value`;
    // empty when there is nothing to scroll.
    static QRectF handleRect(const QRectF& track, int minimum, int maximum, int pageStep, int value);

    // How much of the handle shows now, 0 to 1.
    double opacity() const { return opacity_; }
    // The wait and the fade after a scroll or the pointer's leaving.
    QVariantAnimation* fadeAnimation() { return &fade_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit VantrelScrollIndicator(QAbstractScrollArea* area);
    void follow();
    // Shown at once; faded out later unless the pointer rests over the view.
    void reveal();

    // The indicator is the area's child and goes with it.
    QAbstractScrollArea* const area_;
    QVariantAnimation fade_;
    double opacity_ = 0;
    bool hovered_ = false;
};

} // namespace vantrel
