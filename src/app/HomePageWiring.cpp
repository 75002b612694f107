#include "app/HomePageWiring.h"

#include "app/AppState.h"
#include "services/CommandPaletteController.h"

namespace vantrel {

HomePageContext HomePageWiring::make(AppState& state, const Services& services) {
    AppState* owner = &state;
    return {
        .preferences = state.preferences(),
        .motion = services.motion,
        .haptics = services.haptics,
        .appearance = services.appearance,
        .clock = services.clock,
        .focus = state.focus(),
        .stopwatch = state.stopwatch(),
        .clipboard = state.clipboard(),
        .shelf = state.fileShelf(),
        .notes = state.notes(),
        .permissions = state.permissions(),
        .keyboardCleaning = state.keyboardCleaning(),
        .openPanel = services.openPanel,
        .menus = services.menus,
        .files = services.files,
        .selectSection = [owner](VantrelSection section) { owner->sections().select(section); },
        .showCommandPalette = [owner] { owner->commandPalette().show(owner, owner->controlCenterScreen()); },
        .fileNotices = services.fileNotices,
        .pictures = services.pictures,
    };
}

} // namespace vantrel
