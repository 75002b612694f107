#pragma once

#include "kit/VantrelButtonStyle.h"
#include "kit/VantrelTheme.h"

namespace vantrel {

// A button drawn as its text alone, in one colour; dimmed while held. No haptic of its own.
class PlainButtonStyle final : public VantrelButtonStyle {
public:
    explicit PlainButtonStyle(AdaptiveColor color) : color_(color) {}
    ButtonLook look(double pressed, ColorScheme scheme) const override;

private:
    AdaptiveColor color_;
};

} // namespace vantrel
