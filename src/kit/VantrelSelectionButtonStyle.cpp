#include "kit/VantrelSelectionButtonStyle.h"

#include "kit/VantrelType.h"

namespace vantrel {

using VantrelTheme::withOpacity;

VantrelSelectionButtonStyle::VantrelSelectionButtonStyle(bool isSelected, QColor tint)
    : isSelected_(isSelected), tint_(tint) {}

ButtonLook VantrelSelectionButtonStyle::look(double pressed, ColorScheme scheme) const {
    ButtonLook look;
    look.shape = VantrelConcentricGeometry::nestedRectangle(9);
    look.font = VantrelType::font(10.5, QFont::DemiBold);
    look.horizontalPadding = 10;
    look.verticalPadding = 9;
    look.fillsWidth = true;
    look.outlineWidth = 0.75;
    if (isSelected_) {
        look.fillStart = look.fillEnd = withOpacity(tint_, mix(0.19, 0.27, pressed));
        look.outline = withOpacity(tint_, 0.65);
        look.foreground = tint_;
        look.shadow = {withOpacity(tint_, 0.14), 9, QPointF()};
    } else {
        look.fillStart = look.fillEnd =
            withOpacity(VantrelTheme::elevated().resolve(scheme), mix(0.72, 1.0, pressed));
        look.outline = VantrelTheme::border().resolve(scheme);
        look.foreground = withOpacity(VantrelTheme::primary(scheme), 0.78);
        look.shadow = {Qt::transparent, 9, QPointF()};
    }
    look.scale = mix(1, 0.975, pressed);
    return look;
}

} // namespace vantrel
