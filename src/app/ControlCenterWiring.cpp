#include "app/ControlCenterWiring.h"

#include "app/AppState.h"

namespace vantrel {

ControlCenterContext ControlCenterWiring::make(AppState& state, const Services& services) {
    AppState* owner = &state;
    return {
        .preferences = state.preferences(),
        .motion = services.motion,
        .haptics = services.haptics,
        .appearance = services.appearance,
        .themeImages = services.themeImages,
        .scheduler = services.scheduler,
        .sections = state.sections(),
        .permissions = state.permissions(),
        .calendar = state.calendar(),
        .keyboardCleaning = state.keyboardCleaning(),
        .menus = services.menus,
        .applyPreferences = [owner] { owner->applyPreferences(); },
        .home = HomePageWiring::make(state, {.motion = services.motion,
                                             .haptics = services.haptics,
                                             .appearance = services.appearance,
                                             .clock = services.clock,
                                             .openPanel = services.openPanel,
                                             .menus = services.menus,
                                             .files = services.files}),
        .alerts = state.alerts(),
        .alarm = state.alarm(),
    };
}

} // namespace vantrel
