#pragma once

#include "kit/VantrelButtonStyle.h"

namespace vantrel {

// A choice among several: full width, tinted while selected, quiet otherwise.
class VantrelSelectionButtonStyle final : public VantrelButtonStyle {
public:
    VantrelSelectionButtonStyle(bool isSelected, QColor tint);

    bool isSelected() const { return isSelected_; }
    ButtonLook look(double pressed, ColorScheme scheme) const override;

private:
    bool isSelected_;
    QColor tint_;
};

} // namespace vantrel
