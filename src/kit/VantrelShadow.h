#pragma once

#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

class QPainter;

namespace vantrel {

// A soft drop shadow behind a widget. A widget cannot paint outside its own rectangle, so the
// shadow is a sibling of the target (or of the ancestor of the target in the nearest ancestor with
// room for the whole shadow), stacked just under it and following its geometry and visibility; it
// takes no input. The blurred image is rendered once per size and shape and only
// recoloured or faded on repaint. A rounded rectangle's shadow is blurred once for a small copy of
// the shape and stretched along its straight edges, so its cost does not grow with the target, and
// shadows of one look and corner share that image and short strips of its stretched edges, which
// each paint lays along the target's edges with plain blends.
class VantrelShadow final : public QWidget {
    Q_OBJECT
public:
    struct Look {
        QColor color = Qt::transparent; // its alpha is the shadow's opacity
        double radius = 0;              // the blur radius
        QPointF offset;
        bool operator==(const Look&) const = default;
    };
    // The target's outline, for the target's rectangle in its own coordinates.
    using Shape = std::function<QPainterPath(const QRectF& rect)>;

    // Follows `target`, which must have a parent; `shape` gives the outline that casts the shadow.
    VantrelShadow(QWidget* target, Shape shape);

    const Look& look() const { return look_; }
    // Repaints when the colour or opacity changes; re-renders when the radius changes.
    void setLook(const Look& look);
    // The target's shape changed (a new corner radius): render again.
    void invalidateShape();

    // How far a shadow of `look` reaches beyond the shape on each side.
    static int reach(const Look& look);
    // The blurred coverage of `shape` (in an image of `size`), a Gaussian of standard deviation
    // radius / 2 made of three box blurs; the alpha channel carries the coverage.
    static QImage blurredMask(const QPainterPath& shape, QSize size, double radius);
    // The size of a smaller copy of `shape` whose shadow stands for the shadow of `shape` at `size`:
    // the outline at `size` must be the copy's with its right and bottom parts moved out, joined by
    // straight edges that run along the axes, far enough from the corners that the blur of `look`
    // cannot tell the two apart. None when the shape is not of that kind or no smaller copy exists.
    static std::optional<QSize> stretchableCopy(const Shape& shape, QSize size, const Look& look);
    // Draws the shadow image of such a copy at `size`, repeating its middle column and row.
    static void drawStretched(QPainter& painter, const QImage& image, QSize size);

    // The image painted, shared by every shadow of the same look and shape; none before a paint
    // and while hidden.
    const QImage& image() const { return mask_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void follow();

    QPointer<QWidget> target_;
    // The target's ancestors below the widget the shadow lies in.
    QList<QPointer<QObject>> ancestors_;
    Shape shape_;
    Look look_;
    // The blurred coverage in opaque colour, for the current size and radius (of the stretchable
    // copy when there is one): alpha only when the colour is black, which is how such an image is
    // drawn.
    QImage mask_;
    QByteArray maskKey_;
    // When the image above is a copy of a smaller shape: its middle column repeated along a strip
    // for the top and bottom edges, its middle row for the left and right ones.
    std::array<QImage, 4> edges_;
    QSize maskSize_;
    QColor maskColor_;
};

} // namespace vantrel
