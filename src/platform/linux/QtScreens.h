#pragma once

#include "platform/Screens.h"

namespace vantrel {

class QtScreens final : public Screens {
public:
    std::optional<ScreenInfo> mainScreen() const override;
    std::optional<ScreenInfo> screenOf(const QWidget& window) const override;
    std::optional<ScreenInfo> screenAtPointer() const override;
};

} // namespace vantrel
