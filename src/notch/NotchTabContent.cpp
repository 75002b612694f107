#include "notch/NotchTabContent.h"

#include "app/AppState.h"
#include "core/QAObserver.h"
#include "notch/CameraMirrorView.h"
#include "notch/NotchStateView.h"
#include "notch/NotchSurfaceLayout.h"
#include "notch/NotchSystemView.h"
#include "notch/NotchTimersView.h"

namespace vantrel::NotchTabContent {

QWidget* make(NotchTab tab, const NotchTabContext& context, QWidget* parent) {
    if (tab == NotchTab::home) return nullptr;
    switch (tab) {
    case NotchTab::timers:
        return new NotchTimersView(context.state.stopwatch(), context.state.menus(), context.accent, parent);
    case NotchTab::system:
        return new NotchSystemView(context.state.systemMonitor(), context.accent, parent);
    case NotchTab::mirror:
        return new CameraMirrorView({context.state.permissions(), context.state.preferences(),
                                     context.state.camera(), context.state.qaObserver()},
                                    context.accent, context.haptics, parent);
    default:
        break;
    }
    // Placeholder until the tab's own view exists: the tab's symbol and name.
    return new NotchStateView(symbol(tab), NotchSurfaceLayout::tabTitle(tab), QString(), context.accent,
                              std::nullopt, {}, context.haptics, parent);
}

} // namespace vantrel::NotchTabContent
