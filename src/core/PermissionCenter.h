#pragma once

#include "platform/CalendarService.h"
#include "platform/EnumTraits.h"
#include "platform/Scheduler.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <array>
#include <functional>
#include <optional>
#include <type_traits>

namespace vantrel {

class LoginItems;
class PermissionSystem;
class Workspace;

// The raw value is also the text shown for the state.
enum class PermissionState { allowed, denied, unknown };
QString rawValue(PermissionState state);
constexpr auto allCases(std::type_identity<PermissionState>) {
    return std::array{PermissionState::allowed, PermissionState::denied, PermissionState::unknown};
}

enum class PrivacyPane { accessibility, inputMonitoring, calendar, camera };
constexpr auto allCases(std::type_identity<PrivacyPane>) {
    return std::array{PrivacyPane::accessibility, PrivacyPane::inputMonitoring, PrivacyPane::calendar,
                      PrivacyPane::camera};
}
// "x-apple.systempreferences:com.apple.preference.security?Privacy_Camera" and so on.
QUrl address(PrivacyPane pane);

// The five grants the system works with, what asking for them said, and where to send the user
// when one is missing. Every failure ends as a sentence in statusMessage; nothing throws.
class PermissionCenter : public QObject {
    Q_OBJECT

public:
    using State = PermissionState;
    using CalendarStatusSource = std::function<CalendarAuthorizationStatus()>;

    static constexpr double kRefreshAfterSettingsSeconds = 1.0;

    // Reads every state at once.
    PermissionCenter(PermissionSystem& system, CalendarStatusSource calendarStatus, LoginItems& loginItems,
                     Workspace& workspace, Scheduler& scheduler, QObject* parent = nullptr);

    State accessibility() const { return accessibility_; }
    State inputMonitoring() const { return inputMonitoring_; }
    State camera() const { return camera_; }
    State calendar() const { return calendar_; }
    State launchAtLogin() const { return launchAtLogin_; }
    const std::optional<QString>& statusMessage() const { return statusMessage_; }

    // Re-reads every state; never touches statusMessage.
    void refresh();
    // Opens the privacy settings at `pane`, or at their start. False, with a message, when that failed.
    bool openPrivacySettings(std::optional<PrivacyPane> pane);
    void requestAccessibility();
    void requestCamera();
    // Re-reads and, when calendar access is missing, guides the user to it.
    void synchronizeCalendarStatus();
    void setLaunchAtLogin(bool enabled);
    // Re-reads every state once the user has had a moment in the system's settings.
    void refreshAfterSystemSettings();
    void setStatusMessage(const QString& message);

    PermissionSystem& system() const { return system_; }

Q_SIGNALS:
    // Any of the five states changed.
    void statesChanged();
    void statusMessageChanged();

private:
    void setState(State& field, State value);
    void guideTo(PrivacyPane pane, const QString& message);

    PermissionSystem& system_;
    CalendarStatusSource calendarStatus_;
    LoginItems& loginItems_;
    Workspace& workspace_;
    Scheduler& scheduler_;
    State accessibility_ = State::unknown;
    State inputMonitoring_ = State::unknown;
    State camera_ = State::unknown;
    State calendar_ = State::unknown;
    State launchAtLogin_ = State::unknown;
    std::optional<QString> statusMessage_;
    ScheduledTask delayedRefresh_;
};

} // namespace vantrel
