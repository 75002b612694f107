#pragma once

#include "kit/Navigation.h"

namespace vantrel {

// What the palette's commands act on. The composition root fills it, so the palette reaches the
// control center, the notch and the focus timer without knowing the application state.
class CommandPaletteCommands {
public:
    virtual ~CommandPaletteCommands() = default;

    // Opens the control center on `section` and brings it forward.
    virtual void openSection(VantrelSection section) = 0;
    // Opens the notch on `tab` and gives it the keyboard.
    virtual void openNotchTab(NotchTab tab) = 0;
    // Pauses the focus timer while it runs, else starts it.
    virtual void toggleFocus() = 0;

protected:
    CommandPaletteCommands() = default;
    CommandPaletteCommands(const CommandPaletteCommands&) = default;
    CommandPaletteCommands& operator=(const CommandPaletteCommands&) = default;
};

} // namespace vantrel
