#pragma once

#include "kit/Navigation.h"
#include "notch/NotificationIndicatorPanelController.h"

#include <QObject>
#include <QPointer>
#include <optional>

namespace vantrel {

class AppState;
class VantrelHaptics;

// The panel that hangs from the top of the screen around the notch. It keeps its presentation
// state (shown, expanded, selected tab); the panel window and its surface are not drawn yet.
class NotchPanelController : public QObject {
    Q_OBJECT
public:
    explicit NotchPanelController(VantrelHaptics& haptics, QObject* parent = nullptr);
    ~NotchPanelController() override;

    // Shows the collapsed panel for `state`, kept as a weak link. Creates the panel once and
    // places it on every call.
    virtual void show(AppState& state);
    // Orders the panel and the alert dot out, drops pending presentation work and the panel.
    // Safe when nothing is shown.
    virtual void hide();
    // Opens the panel on `tab` (none keeps the selected tab), taking the keyboard focus when asked.
    // Opening plays the notch's interface haptic; a panel already open only changes its tab.
    virtual void expand(std::optional<NotchTab> tab, bool takeFocus);

    AppState* state() const;
    void setState(AppState* state);
    NotificationIndicatorPanelController& notificationIndicator() { return *notificationIndicator_; }

    bool hasPanel() const { return hasPanel_; }
    bool isExpanded() const { return isExpanded_; }
    NotchTab selectedTab() const { return selectedTab_; }
    bool wantsKeyFocus() const { return wantsKeyFocus_; }

Q_SIGNALS:
    void isExpandedChanged(bool isExpanded);
    void selectedTabChanged(vantrel::NotchTab tab);

protected:
    // Replaces the indicator controller (before anything is shown).
    void setNotificationIndicator(NotificationIndicatorPanelController* indicator);

private:
    void setExpanded(bool expanded);

    VantrelHaptics& haptics_;
    QPointer<AppState> state_;
    NotificationIndicatorPanelController* notificationIndicator_;
    bool hasPanel_ = false;
    bool isExpanded_ = false;
    bool wantsKeyFocus_ = false;
    NotchTab selectedTab_ = NotchTab::home;
};

} // namespace vantrel
