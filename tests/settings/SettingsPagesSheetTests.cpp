#include "control-center/RootView.h"
#include "kit/KitRender.h"
#include "settings/NotificationsPage.h"
#include "settings/PermissionsPage.h"
#include "support/ControlCenterHarness.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// The control center on `section` in a window of `width`, tall enough for the whole page, in the
// dark or the light appearance; `prepare` fills in what the page shows.
QImage sectionShot(VantrelSection section, int width, AppearanceMode mode,
                   const std::function<void(ControlCenterHarness&)>& prepare) {
    ControlCenterHarness c;
    c.h.preferences.setHasCompletedOnboarding(true);
    c.h.preferences.setAppearanceMode(mode);
    prepare(c);
    c.sections.select(section);
    RootView root(c.context());
    root.resize(width, section == VantrelSection::notifications ? (width < 900 ? 1320 : 1240)
                                                                : (width < 900 ? 960 : 760));
    root.show();
    QCoreApplication::sendPostedEvents();
    return renderWidget(root, Qt::black);
}

QList<QImage> shots(VantrelSection section, const std::function<void(ControlCenterHarness&)>& prepare) {
    QList<QImage> images;
    for (AppearanceMode mode : {AppearanceMode::dark, AppearanceMode::light})
        for (int width : {720, 1200}) images << sectionShot(section, width, mode, prepare);
    return images;
}

} // namespace

TEST(SettingsPagesSheets, NotificationsDarkAndLightAtTwoWidths) {
    const QList<QImage> images = shots(VantrelSection::notifications, [](ControlCenterHarness& c) {
        c.h.alerts.recordVantrelEvent(QStringLiteral("Focus session finished"), true);
        c.h.alerts.recordVantrelEvent(QStringLiteral("Countdown finished"), false);
        c.h.preferences.setAlarmVolume(0.755);
        c.h.preferences.setAlarmSound(AlarmSound::submarine);
    });
    for (const QImage& image : images) ASSERT_FALSE(image.isNull());
    const QString path = saveSheet(QStringLiteral("notifications-page"), images, 2);
    EXPECT_FALSE(QImage(path).isNull());
}

TEST(SettingsPagesSheets, PermissionsDarkAndLightAtTwoWidths) {
    const QList<QImage> images = shots(VantrelSection::permissions, [](ControlCenterHarness& c) {
        c.h.permissionSystem.accessibilityTrusted = true;
        c.h.permissionSystem.listenEventAccess = false;
        c.h.calendarStatus = CalendarAuthorizationStatus::notDetermined;
        c.h.permissionSystem.capture = CaptureAuthorizationStatus::denied;
        c.h.workspace.openSucceeds = false;
        c.stores.permissions.openPrivacySettings(std::nullopt);
    });
    for (const QImage& image : images) ASSERT_FALSE(image.isNull());
    const QString path = saveSheet(QStringLiteral("permissions-page"), images, 2);
    EXPECT_FALSE(QImage(path).isNull());
}
