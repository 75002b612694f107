#include "app/ControlCenterWiring.h"

#include "app/AppState.h"
#include "core/NotchTab.h"
#include "dock/CustomDockController.h"
#include "notch/NotchPanelController.h"

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
                                             .files = services.files,
                                             .fileNotices = services.fileNotices,
                                             .pictures = services.pictures}),
        .dock = DockPageContext{.nativeDock = state.dockSettings(),
                                .content = state.dockContent(),
                                .dockController = state.customDockController(),
                                .runningApps = state.runningApps(),
                                .fileShelf = state.fileShelf(),
                                .applyBehavior = [owner] { owner->customDockController().applyBehavior(); },
                                .reposition = [owner] { owner->customDockController().reposition(); },
                                .showFileShelf = [owner] { owner->showNotch(NotchTab::files, true); }},
        .colorPicker = services.colorPicker,
        .notch = state.notchController(),
        // Without a panel on screen (the notch is off) there is nothing to move; the controller
        // would take that for a display without a notch, and the notch page would say so.
        .repositionNotch =
            [owner](bool animated) {
                if (owner->notchController().hasPanel()) owner->notchController().reposition(animated);
            },
        .showNotch = [owner](NotchTab tab, bool takeFocus) { owner->showNotch(tab, takeFocus); },
        .alerts = state.alerts(),
        .alarm = state.alarm(),
        .menuBarAppearance = state.menuBarAppearance(),
        .menuBarScanner = state.menuBarScanner(),
        .feedback = state.feedback(),
        .automations = state.automations(),
        .fileNotices = services.fileNotices,
    };
}

} // namespace vantrel
