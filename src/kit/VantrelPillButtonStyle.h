#pragma once

#include "kit/VantrelButtonStyle.h"

namespace vantrel {

class VantrelHaptics;

// The prominent filled pill: a tinted gradient, a keyline, white text and a tinted shadow; it
// springs in slightly when pressed and plays the controls haptic on each press.
class VantrelPillButtonStyle final : public VantrelButtonStyle {
public:
    // `haptics` may be null (no haptic is played); the application passes the shared haptics.
    explicit VantrelPillButtonStyle(QColor tint, VantrelHaptics* haptics = nullptr);

    QColor tint() const { return tint_; }
    ButtonLook look(double pressed, ColorScheme scheme) const override;
    std::optional<VantrelAnimation> pressAnimation() const override;
    void pressBegan() const override;

private:
    QColor tint_;
    VantrelHaptics* haptics_;
};

} // namespace vantrel
