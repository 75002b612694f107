#include "core/PermissionCenter.h"

#include "platform/LoginItems.h"
#include "platform/PermissionSystem.h"
#include "platform/SetIfChanged.h"
#include "platform/Workspace.h"

#include <QPointer>

namespace vantrel {

namespace {

const QString kSecurityPrefix = QStringLiteral("x-apple.systempreferences:com.apple.preference.security?");

PermissionState fromCapture(CaptureAuthorizationStatus status) {
    switch (status) {
    case CaptureAuthorizationStatus::authorized:
        return PermissionState::allowed;
    case CaptureAuthorizationStatus::restricted:
    case CaptureAuthorizationStatus::denied:
        return PermissionState::denied;
    case CaptureAuthorizationStatus::notDetermined:
        break;
    }
    return PermissionState::unknown;
}

PermissionState fromCalendar(CalendarAuthorizationStatus status) {
    switch (status) {
    case CalendarAuthorizationStatus::fullAccess:
        return PermissionState::allowed;
    case CalendarAuthorizationStatus::restricted:
    case CalendarAuthorizationStatus::denied:
        return PermissionState::denied;
    // Write-only access cannot read the day's events: as good as none.
    case CalendarAuthorizationStatus::notDetermined:
    case CalendarAuthorizationStatus::writeOnly:
        break;
    }
    return PermissionState::unknown;
}

} // namespace

QString rawValue(PermissionState state) {
    switch (state) {
    case PermissionState::allowed:
        return QStringLiteral("Allowed");
    case PermissionState::denied:
        return QStringLiteral("Not allowed");
    case PermissionState::unknown:
        break;
    }
    return QStringLiteral("Not requested");
}

QUrl address(PrivacyPane pane) {
    const char* anchor = "Privacy_Camera";
    switch (pane) {
    case PrivacyPane::accessibility:
        anchor = "Privacy_Accessibility";
        break;
    case PrivacyPane::inputMonitoring:
        anchor = "Privacy_ListenEvent";
        break;
    case PrivacyPane::calendar:
        anchor = "Privacy_Calendars";
        break;
    case PrivacyPane::camera:
        break;
    }
    return QUrl(kSecurityPrefix + QString::fromLatin1(anchor));
}

PermissionCenter::PermissionCenter(PermissionSystem& system, CalendarStatusSource calendarStatus,
                                   LoginItems& loginItems, Workspace& workspace, Scheduler& scheduler,
                                   QObject* parent)
    : QObject(parent), system_(system), calendarStatus_(std::move(calendarStatus)), loginItems_(loginItems),
      workspace_(workspace), scheduler_(scheduler) {
    refresh();
}

void PermissionCenter::setState(State& field, State value) {
    setIfChanged(this, field, value, &PermissionCenter::statesChanged);
}

void PermissionCenter::setStatusMessage(const QString& message) {
    statusMessage_ = message;
    Q_EMIT statusMessageChanged();
}

void PermissionCenter::refresh() {
    setState(accessibility_, system_.isAccessibilityTrusted(false) ? State::allowed : State::denied);
    setState(inputMonitoring_, system_.listenEventAccessGranted() ? State::allowed : State::denied);
    setState(camera_, fromCapture(system_.videoCaptureAuthorization()));
    setState(calendar_, fromCalendar(calendarStatus_()));
    // Waiting for the user's approval is not yet launching at login.
    setState(launchAtLogin_,
             loginItems_.status() == LoginItemStatus::enabled ? State::allowed : State::denied);
}

bool PermissionCenter::openPrivacySettings(std::optional<PrivacyPane> pane) {
    QUrl url = pane ? address(*pane) : QUrl();
    if (!url.isValid()) url = QUrl(kSecurityPrefix + QStringLiteral("Privacy"));
    if (!url.isValid()) {
        setStatusMessage(QStringLiteral(
            "Vantrel could not create the System Settings link. Open Privacy & Security manually."));
        return false;
    }
    if (workspace_.open(url)) return true;
    setStatusMessage(
        QStringLiteral("Vantrel could not open System Settings. Open Privacy & Security manually."));
    return false;
}

void PermissionCenter::refreshAfterSystemSettings() {
    // Owned by the center: a center that is gone cancels its pending refresh.
    delayedRefresh_ = ScheduledTask(
        scheduler_, scheduler_.schedule(Seconds(kRefreshAfterSettingsSeconds), [this] { refresh(); }));
}

void PermissionCenter::guideTo(PrivacyPane pane, const QString& message) {
    setStatusMessage(message);
    openPrivacySettings(pane);
    refreshAfterSystemSettings();
}

void PermissionCenter::requestAccessibility() {
    if (system_.isAccessibilityTrusted(true)) {
        refresh();
        return;
    }
    guideTo(PrivacyPane::accessibility,
            QStringLiteral("Enable Vantrel in Privacy & Security › Accessibility, then return here."));
}

void PermissionCenter::requestCamera() {
    const QString message = QStringLiteral(
        "Camera access is off. Enable Vantrel in Privacy & Security › Camera, then return here.");
    refresh();
    switch (camera_) {
    case State::allowed:
        refresh();
        return;
    case State::denied:
        guideTo(PrivacyPane::camera, message);
        return;
    case State::unknown:
        break;
    }
    QPointer<PermissionCenter> self(this);
    system_.requestVideoCaptureAccess([self, message](bool granted) {
        if (!self) return;
        self->refresh();
        if (!granted) self->guideTo(PrivacyPane::camera, message);
    });
}

void PermissionCenter::synchronizeCalendarStatus() {
    refresh();
    if (calendar_ == State::allowed) return;
    guideTo(
        PrivacyPane::calendar,
        QStringLiteral(
            "Calendar access is off. Enable Vantrel in Privacy & Security › Calendars, then return here."));
}

void PermissionCenter::setLaunchAtLogin(bool enabled) {
    const bool done = enabled ? loginItems_.registerItem() : loginItems_.unregisterItem();
    // The message follows what the entry turned out to be, not what the call answered: an entry
    // that was written but is not enabled (switched off, or waiting for approval) will not start
    // anything at login.
    refresh();
    const QString notInstalled =
        QStringLiteral("Install Vantrel (scripts/install.sh) before enabling launch at login.");
    if (enabled)
        setStatusMessage(done && launchAtLogin_ == State::allowed
                             ? QStringLiteral("Vantrel will open when you log in.")
                             : notInstalled);
    else
        setStatusMessage(done ? QStringLiteral("Launch at login is off.") : notInstalled);
}

} // namespace vantrel
