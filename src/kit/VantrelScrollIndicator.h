#pragma once

#include <QWidget>

class QAbstractScrollArea;

namespace vantrel {

// The thin scroll indicator of the kit's dark surfaces: a rounded handle laid over the trailing
// edge of a scroll view's content, in place of the desktop's scroll bar with its track and arrow
// buttons. It takes no width from the content, shows only while there is something to scroll,
// and leaves every click to the content under it; the wheel and the trackpad scroll the view as
// before, the hidden bar still keeping its range and position.
class VantrelScrollIndicator final : public QWidget {
    Q_OBJECT
public:
    static constexpr double kHandleWidth = 4;
    // Between the handle and the view's top, bottom and trailing edges.
    static constexpr double kInset = 2;
    static constexpr double kMinimumHandleLength = 20;

    // Gives `area` the indicator in place of its vertical bar and returns it (owned by `area`).
    static VantrelScrollIndicator* install(QAbstractScrollArea* area);

    // The handle in `track` for a bar from `minimum` to `maximum` showing `pageStep` at `value`;
    // empty when there is nothing to scroll.
    static QRectF handleRect(const QRectF& track, int minimum, int maximum, int pageStep, int value);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit VantrelScrollIndicator(QAbstractScrollArea* area);
    void follow();

    // The indicator is the area's child and goes with it.
    QAbstractScrollArea* const area_;
};

} // namespace vantrel
