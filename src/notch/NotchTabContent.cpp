#include "notch/NotchTabContent.h"

#include "notch/NotchStateView.h"
#include "notch/NotchSurfaceLayout.h"

namespace vantrel::NotchTabContent {

QWidget* make(NotchTab tab, const NotchTabContext& context, QWidget* parent) {
    if (tab == NotchTab::home) return nullptr;
    // Placeholder until the tab's own view exists: the tab's symbol and name.
    return new NotchStateView(symbol(tab), NotchSurfaceLayout::tabTitle(tab), QString(), context.accent,
                              std::nullopt, {}, context.haptics, parent);
}

} // namespace vantrel::NotchTabContent
