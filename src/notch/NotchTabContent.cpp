#include "notch/NotchTabContent.h"

#include "app/AppState.h"
#include "notch/NotchClipboardView.h"
#include "notch/NotchNotesView.h"
#include "notch/NotchStateView.h"
#include "notch/NotchSurfaceLayout.h"

namespace vantrel::NotchTabContent {

QWidget* make(NotchTab tab, const NotchTabContext& context, QWidget* parent) {
    switch (tab) {
    case NotchTab::clipboard:
        return new NotchClipboardView(context.state.clipboard(), context.accent, context.state.menus(),
                                      parent);
    case NotchTab::note:
        return new NotchNotesView(context.state.notes(), context.accent, context.state.clock(),
                                  context.haptics, parent);
    default:
        break;
    }
    if (tab == NotchTab::home) return nullptr;
    // Placeholder until the tab's own view exists: the tab's symbol and name.
    return new NotchStateView(symbol(tab), NotchSurfaceLayout::tabTitle(tab), QString(), context.accent,
                              std::nullopt, {}, context.haptics, parent);
}

} // namespace vantrel::NotchTabContent
