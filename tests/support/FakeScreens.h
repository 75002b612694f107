#pragma once

#include "platform/Screens.h"

namespace vantrel::test {

class FakeScreens final : public Screens {
public:
    std::optional<ScreenInfo> main;
    std::optional<ScreenInfo> window; // the screen any window is on

    std::optional<ScreenInfo> mainScreen() const override { return main; }
    std::optional<ScreenInfo> screenOf(const QWidget&) const override { return window; }
    std::optional<ScreenInfo> screenAtPointer() const override { return std::nullopt; }
};

} // namespace vantrel::test
