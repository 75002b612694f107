#include "control-center/RootView.h"

#include "app/AppState.h"

namespace vantrel {

RootView::RootView(AppState& state, VantrelPreferences& preferences, QWidget* parent)
    : QWidget(parent), state_(state), preferences_(preferences) {
    setMinimumSize(720, 600);
}

void RootView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (hasRegisteredWindow_) return;
    hasRegisteredWindow_ = true;
    state_.registerControlCenterWindow(*window());
}

} // namespace vantrel
