#include "control-center/RootView.h"
#include "kit/KitRender.h"
#include "kit/VantrelTheme.h"
#include "settings/AutomationsPage.h"
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
    int height = width < 900 ? 960 : 760;
    if (section == VantrelSection::notifications) height = width < 900 ? 1320 : 1240;
    if (section == VantrelSection::feedback) height = width < 900 ? 1480 : 1340;
    root.resize(width, height);
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

TEST(SettingsPagesSheets, TrackpadWithAndWithoutInputMonitoringDarkAndLightAtTwoWidths) {
    QList<QImage> images = shots(VantrelSection::feedback, [](ControlCenterHarness& c) {
        c.h.permissionSystem.listenEventAccess = false;
        c.stores.permissions.refresh();
    });
    images << shots(VantrelSection::feedback, [](ControlCenterHarness& c) {
        c.h.permissionSystem.listenEventAccess = true;
        c.stores.permissions.refresh();
        c.h.preferences.setFeedbackEnabled(true);
        c.h.preferences.setFeedbackStrength(0.88);
        c.h.preferences.setFeedbackTrigger(FeedbackTrigger::click, true);
        c.h.preferences.setFeedbackStyle(HapticStyle::doubleTap, FeedbackTrigger::click);
        c.feedback.start();
        c.feedback.preview(HapticStyle::tick);
    });
    for (const QImage& image : images) ASSERT_FALSE(image.isNull());
    const QString path = saveSheet(QStringLiteral("trackpad-page"), images, 4);
    EXPECT_FALSE(QImage(path).isNull());
}

TEST(SettingsPagesSheets, AutomationsDarkAndLightAtTwoWidths) {
    QList<QImage> images;
    for (AppearanceMode mode : {AppearanceMode::dark, AppearanceMode::light}) {
        for (int width : {720, 1200}) {
            ControlCenterHarness c;
            c.h.preferences.setAppearanceMode(mode);
            std::vector<VantrelAutomationRule> rules = c.automations.rules();
            rules[1].isEnabled = true;
            c.automations.setRules(rules);
            c.automations.evaluate();
            c.automations.perform(rules[2], false);
            c.h.scheduler.advance(Seconds(12));
            // The section is not offered in the window: the page stands alone on the backdrop's colour.
            AutomationsPage page(c.context());
            VantrelTheme::setColorScheme(&page, mode == AppearanceMode::dark ? ColorScheme::dark
                                                                             : ColorScheme::light);
            page.resize(width, width < 900 ? 980 : 900);
            page.show();
            QCoreApplication::sendPostedEvents();
            images << renderWidget(page,
                                   mode == AppearanceMode::dark ? QColor(10, 11, 15) : QColor(240, 241, 243));
        }
    }
    for (const QImage& image : images) ASSERT_FALSE(image.isNull());
    const QString path = saveSheet(QStringLiteral("automations-page"), images, 2);
    EXPECT_FALSE(QImage(path).isNull());
}
