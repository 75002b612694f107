#include "settings/PlainButtonStyle.h"

#include "kit/VantrelConcentricGeometry.h"
#include "kit/VantrelType.h"

namespace vantrel {

ButtonLook PlainButtonStyle::look(double pressed, ColorScheme scheme) const {
    ButtonLook look;
    look.shape = VantrelConcentricGeometry::nestedRectangle(6);
    look.font = VantrelType::button();
    look.horizontalPadding = 4;
    look.verticalPadding = 4;
    look.fillStart = Qt::transparent;
    look.fillEnd = Qt::transparent;
    look.outline = Qt::transparent;
    look.foreground = VantrelTheme::withOpacity(color_.resolve(scheme), mix(1.0, 0.55, pressed));
    return look;
}

} // namespace vantrel
