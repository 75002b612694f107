#pragma once

#include "kit/VantrelButtonStyle.h"

namespace vantrel {

// A quiet button beside a prominent one: a raised neutral fill and a border, no shadow.
class VantrelSecondaryButtonStyle final : public VantrelButtonStyle {
public:
    ButtonLook look(double pressed, ColorScheme scheme) const override;
};

} // namespace vantrel
