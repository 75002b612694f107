#pragma once

#include "core/PreferenceEnums.h"
#include "kit/Navigation.h"

#include <QString>
#include <functional>

class QObject;

namespace vantrel {

// What the palette's commands read and act on. The composition root fills it, so the palette
// reaches the control center, the notch, the settings and the modules without knowing the
// application state.
class CommandPaletteCommands {
public:
    virtual ~CommandPaletteCommands() = default;

    // Opens the control center on `section` and brings it forward.
    virtual void openSection(VantrelSection section) = 0;
    // Opens the notch on `tab` and gives it the keyboard.
    virtual void openNotchTab(NotchTab tab) = 0;
    // Pauses the focus timer while it runs, else starts it.
    virtual void toggleFocus() = 0;
    // Offers every file of the shelf to the sharing service.
    virtual void shareFileShelf() = 0;
    // Inverts the setting (stored) and applies the settings.
    virtual void toggleCustomDock() = 0;
    virtual void toggleFeedback() = 0;
    // Refreshes the index of menu-bar items and opens the menu-bar section.
    virtual void refreshMenuBarItems() = 0;

    // What the commands' titles follow.
    virtual bool isFocusRunning() const = 0;
    // The focus timer's remaining time, "%02d:%02d".
    virtual QString focusTimeText() const = 0;
    virtual bool isCustomDockEnabled() const = 0;
    virtual bool isFeedbackEnabled() const = 0;
    virtual Accent accent() const = 0;
    // Calls `changed` after anything the above reads may have changed, for as long as `context`
    // lives, so that an open palette follows the state.
    virtual void observeState(const QObject* context, std::function<void()> changed) = 0;

protected:
    CommandPaletteCommands() = default;
    CommandPaletteCommands(const CommandPaletteCommands&) = default;
    CommandPaletteCommands& operator=(const CommandPaletteCommands&) = default;
};

} // namespace vantrel
