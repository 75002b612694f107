#include "notch/NotificationIndicatorPanelController.h"

#include "core/VantrelPreferences.h"
#include "kit/VantrelPanel.h"
#include "modules/NotificationSignalStore.h"
#include "notch/DisplayCoordinator.h"
#include "notch/NotificationIndicatorShadow.h"
#include "notch/NotificationIndicatorView.h"
#include "platform/ApplicationShell.h"
#include "platform/CompositorState.h"

namespace vantrel {

NotificationIndicatorPanelController::NotificationIndicatorPanelController(Dependencies dependencies,
                                                                           QObject* parent)
    : QObject(parent), deps_(std::move(dependencies)) {
    using Setting = VantrelPreferences::Setting;
    connect(&deps_.alerts, &NotificationSignalStore::pendingEventsChanged, this,
            &NotificationIndicatorPanelController::updateVisibility);
    deps_.preferences.onChange(Setting::notificationIndicatorEnabled, this, [this] { updateVisibility(); });
    deps_.preferences.onChange(Setting::notificationsEnabled, this, [this] { updateVisibility(); });
    // The dot stays beside the housing when the screens change, whether the notch panel is on or off.
    connect(&deps_.screens, &Screens::screensChanged, this,
            &NotificationIndicatorPanelController::updateVisibility);
    updateVisibility();
}

NotificationIndicatorPanelController::~NotificationIndicatorPanelController() {
    delete shadow_;
    delete panel_;
}

bool NotificationIndicatorPanelController::shouldShow() const {
    return deps_.preferences.notificationsEnabled() && deps_.preferences.notificationIndicatorEnabled() &&
           !deps_.alerts.pendingEvents().empty();
}

QWidget* NotificationIndicatorPanelController::panel() const {
    return panel_;
}

QWidget* NotificationIndicatorPanelController::shadowWindow() const {
    return shadow_;
}

QRectF NotificationIndicatorPanelController::dotFrame(double notchCenter, double notchWidth,
                                                      double screenTop) {
    return QRectF(notchCenter + notchWidth / 2 + 8, screenTop + 2, kDotSize, kDotSize);
}

void NotificationIndicatorPanelController::updateVisibility() {
    if (shouldShow()) {
        const std::optional<DisplayCoordinator::ActiveDisplay> active = deps_.displays.refreshActiveDisplay();
        if (active && active->eligibility.hasPhysicalNotch && active->screen.auxiliaryTopLeftArea &&
            active->screen.auxiliaryTopRightArea) {
            const double center = (active->screen.auxiliaryTopLeftArea->right() +
                                   active->screen.auxiliaryTopRightArea->left()) /
                                  2;
            placePanel(dotFrame(center, active->eligibility.notchWidth, active->screen.frame.top()));
            return;
        }
    }
    if (panel_) orderOutPanel();
}

VantrelPanel& NotificationIndicatorPanelController::makePanelIfNeeded() {
    if (!panel_) {
        auto* panel = new VantrelPanel(deps_.inputFocus);
        panel->setObjectName(QStringLiteral("vantrel.notification-indicator"));
        panel->setWindowTitle(QStringLiteral("Vantrel Notifications"));
        panel->setContentView(new NotificationIndicatorView([this] { openNotifications(); }));
        panel->setCompositorState(deps_.compositor);
        panel->setStacking(deps_.stacking);
        panel_ = panel;
    }
    return *panel_;
}

void NotificationIndicatorPanelController::placePanel(const QRectF& frame) {
    VantrelPanel& panel = makePanelIfNeeded();
    panel.setFrame(frame.toRect());
    // Round on screen and to the pointer: the corners of the square window let clicks through.
    QPainterPath circle;
    circle.addEllipse(NotificationIndicatorView::layout(frame.size()).circle);
    panel.setOutline(circle);
    // The glow is blended over what lies below; without a compositor it would be a dark disc.
    if (!deps_.compositor || deps_.compositor->isCompositing()) {
        if (!shadow_) shadow_ = new NotificationIndicatorShadow();
        shadow_->place(frame.toRect());
    } else if (shadow_) {
        shadow_->hide();
    }
    // Raised after its glow, so the dot lies on top.
    panel.orderFront();
}

void NotificationIndicatorPanelController::orderOutPanel() {
    if (panel_) panel_->orderOut();
    if (shadow_) shadow_->hide();
}

void NotificationIndicatorPanelController::releasePanel() {
    delete shadow_;
    if (!panel_) return;
    panel_->orderOut();
    delete panel_;
}

void NotificationIndicatorPanelController::openNotifications() {
    deps_.alerts.setPendingEvents({});
    if (deps_.openNotificationsSection)
        deps_.openNotificationsSection();
    else
        deps_.shell.activateIgnoringOtherApps();
}

} // namespace vantrel
