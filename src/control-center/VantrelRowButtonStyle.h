#pragma once

#include "kit/VantrelMotion.h"
#include "platform/SystemAppearance.h"

#include <QObject>
#include <QRectF>

class QAbstractButton;
class QPainter;
class QVariantAnimation;

namespace vantrel {

// The hover-highlighted look of a row that is a button (the home page's launchers): a rounded
// raised fill while hovered or pressed and a short keyline capsule at the leading edge while
// hovered. Attached to one button, it follows the pointer over it and animates the hover in and
// out with a 0.16-second ease-out; the button paints it under its label.
class VantrelRowButtonStyle final : public QObject {
    Q_OBJECT
public:
    static constexpr double kCornerRadius = 11;
    static constexpr double kPressedOpacity = 0.95;
    static constexpr double kHoveredOpacity = 0.68;
    static constexpr double kCapsuleWidth = 1.5;
    static constexpr double kCapsuleHeight = 18;
    static constexpr double kCapsuleOpacity = 0.72;

    explicit VantrelRowButtonStyle(QAbstractButton* button);

    bool isHovering() const { return isHovering_; }
    // How far the hover look has come in, 0 to 1.
    double hoverProgress() const { return progress_; }
    QVariantAnimation* hoverAnimation() const { return animation_; }
    // The pointer entered (true) or left (false) the row.
    void setHovering(bool hovering);

    // The opacity of the raised fill: pressed wins over hovered; `hover` is the hover progress.
    static double fillOpacity(bool pressed, double hover);
    // The capsule at the leading edge of `rect`, vertically centred, grown by `hover`.
    static QRectF capsule(const QRectF& rect, double hover);
    // Draws the fill and the capsule for the button's current state into `rect`.
    void paint(QPainter& painter, const QRectF& rect) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractButton* button_;
    QVariantAnimation* animation_;
    bool isHovering_ = false;
    double progress_ = 0;
};

} // namespace vantrel
