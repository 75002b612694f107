#pragma once

#include <optional>

namespace vantrel {

// The organizer's state when divider setup began.
struct MenuBarSetupEntryState {
    bool setupComplete = false;
    bool itemsRevealed = false;
    bool operator==(const MenuBarSetupEntryState&) const = default;
};

// How the divider setup ends, as its two buttons decide it.
struct MenuBarOrganizerPolicy {
    struct SetupExitOutcome {
        bool maskEnabled = false;
        bool setupComplete = false;
        bool revealItems = false;
        bool operator==(const SetupExitOutcome&) const = default;
    };

    // Finish: the organizer stays on, placed, with the items visible.
    static SetupExitOutcome finish() { return {true, true, true}; }
    // Cancel: back to the state setup began in; without a record of it, to the stored setup flag
    // with the items hidden. An organizer that was never placed turns off.
    static SetupExitOutcome cancel(std::optional<MenuBarSetupEntryState> entry, bool storedSetupComplete) {
        const bool complete = entry ? entry->setupComplete : storedSetupComplete;
        const bool revealed = entry ? entry->itemsRevealed : false;
        return {complete, complete, complete && revealed};
    }
};

} // namespace vantrel
