#include "kit/VantrelSecondaryButtonStyle.h"

#include "kit/VantrelType.h"

namespace vantrel {

using VantrelTheme::withOpacity;

ButtonLook VantrelSecondaryButtonStyle::look(double pressed, ColorScheme scheme) const {
    const QColor elevated = VantrelTheme::elevated().resolve(scheme);
    ButtonLook look;
    look.shape = VantrelConcentricGeometry::nestedRectangle(9);
    look.font = VantrelType::label();
    look.horizontalPadding = 15;
    look.verticalPadding = 9.5;
    look.fillStart = withOpacity(elevated, mix(0.9, 1.0, pressed));
    look.fillEnd = withOpacity(elevated, 0.48);
    look.outline = VantrelTheme::border().resolve(scheme);
    look.outlineWidth = 0.7;
    look.foreground = withOpacity(VantrelTheme::primary(scheme), mix(0.84, 0.66, pressed));
    look.scale = mix(1, 0.975, pressed);
    return look;
}

} // namespace vantrel
