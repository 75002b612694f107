#include "notch/NotchPanelController.h"

#include "app/AppState.h"
#include "kit/VantrelHaptics.h"
#include "modules/MediaController.h"

namespace vantrel {

NotchPanelController::NotchPanelController(VantrelHaptics& haptics, QObject* parent)
    : QObject(parent), haptics_(haptics),
      notificationIndicator_(new NotificationIndicatorPanelController(this)) {}

NotchPanelController::~NotchPanelController() = default;

void NotchPanelController::setNotificationIndicator(NotificationIndicatorPanelController* indicator) {
    indicator->setParent(this);
    delete notificationIndicator_;
    notificationIndicator_ = indicator;
}

AppState* NotchPanelController::state() const {
    return state_;
}
void NotchPanelController::setState(AppState* state) {
    state_ = state;
}

void NotchPanelController::show(AppState& state) {
    state_ = &state;
    hasPanel_ = true;
}

void NotchPanelController::hide() {
    // A hidden panel shows no media, so nothing should keep asking the players.
    if (state_) state_->media().stop();
    notificationIndicator_->orderOutPanel();
    wantsKeyFocus_ = false;
    setExpanded(false);
    hasPanel_ = false;
}

void NotchPanelController::expand(std::optional<NotchTab> tab, bool takeFocus) {
    if (tab && *tab != selectedTab_) {
        selectedTab_ = *tab;
        Q_EMIT selectedTabChanged(selectedTab_);
    }
    if (takeFocus && hasPanel_) wantsKeyFocus_ = true;
    if (isExpanded_) return;
    setExpanded(true);
    haptics_.play(HapticSurface::notch);
}

void NotchPanelController::setExpanded(bool expanded) {
    if (isExpanded_ == expanded) return;
    isExpanded_ = expanded;
    Q_EMIT isExpandedChanged(expanded);
}

} // namespace vantrel
