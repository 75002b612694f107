#include "support/NotchDependencies.h"

#include "support/ServiceFakes.h"

namespace vantrel::test {

NotchPanelController::Dependencies notchDependencies(ServiceFakes& h,
                                                     std::function<void()> openNotifications) {
    return {.scheduler = h.scheduler,
            .screens = h.screens,
            .displays = h.displays,
            .diagnostics = h.diagnostics,
            .inputFocus = h.inputFocus,
            .preferences = h.preferences,
            .haptics = h.haptics,
            .hapticPerformer = h.hapticPerformer,
            .motion = h.motion,
            .indicator = {.alerts = h.alerts,
                          .preferences = h.preferences,
                          .displays = h.displays,
                          .screens = h.screens,
                          .inputFocus = h.inputFocus,
                          .shell = h.shell,
                          .openNotificationsSection = std::move(openNotifications),
                          .compositor = &h.compositor,
                          .stacking = &h.stacking},
            .compositor = &h.compositor,
            .stacking = &h.stacking,
            .backdropBlur = &h.backdropBlur,
            .clicks = &h.eventMonitors};
}

} // namespace vantrel::test
