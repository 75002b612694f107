#include "control-center/InputMonitoringRequest.h"
#include "control-center/OnboardingFlow.h"
#include "support/ControlCenterHarness.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

using Permission = OnboardingFlow::Permission;

class OnboardingFlowTest : public ::testing::Test {
protected:
    OnboardingFlowTest() {
        c.h.permissionSystem.log = &c.h.log;
        c.h.workspace.log = &c.h.log;
        QObject::connect(&c.stores.permissions, &PermissionCenter::statusMessageChanged, &c.sections, [this] {
            c.h.log.add(QStringLiteral("message ") +
                        c.stores.permissions.statusMessage().value_or(QString()));
        });
    }
    ControlCenterHarness c;
    OnboardingFlow flow{c.context()};
};

} // namespace

TEST_F(OnboardingFlowTest, BackAndContinueWalkTheFourSteps) {
    struct Expected {
        bool back;
        const char* title;
    };
    const Expected steps[] = {
        {false, "Continue"}, {true, "Continue"}, {true, "Continue"}, {true, "Start using Vantrel"}};
    std::vector<int> announced;
    QObject::connect(&flow, &OnboardingFlow::stepChanged, [&](int step) { announced.push_back(step); });
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(flow.step(), i);
        EXPECT_EQ(flow.showsBack(), steps[i].back) << i;
        EXPECT_EQ(flow.continueTitle(), steps[i].title) << i;
        if (i < 3) flow.advance();
    }
    flow.back();
    EXPECT_EQ(flow.step(), 2);
    flow.back();
    flow.back();
    flow.back(); // hidden at the welcome step: nothing below it
    EXPECT_EQ(flow.step(), 0);
    EXPECT_EQ(announced, (std::vector<int>{1, 2, 3, 2, 1, 0}));
    EXPECT_TRUE(c.h.log.entries.isEmpty()) << "moving between steps writes nothing";

    // A flow built again starts at the welcome step.
    flow.advance();
    OnboardingFlow again(c.context());
    EXPECT_EQ(again.step(), 0);
}

TEST_F(OnboardingFlowTest, CompletionWritesTheFlagThenAppliesOnce) {
    flow.advance();
    flow.advance();
    flow.advance();
    // Switches only write their setting.
    qsizetype from = c.mark();
    flow.setCommandPaletteEnabled(false);
    flow.setNotchEnabled(false);
    EXPECT_EQ(c.callsSince(from), (QStringList{"set command.enabled false", "set notch.enabled false"}));
    EXPECT_FALSE(flow.notchEnabled());
    EXPECT_FALSE(flow.commandPaletteEnabled());

    from = c.mark();
    flow.advance();
    EXPECT_EQ(c.callsSince(from), (QStringList{"set onboarding.complete true", "applyPreferences"}))
        << "the flag is written, then the settings applied once";
    EXPECT_TRUE(c.h.defaults.standard().boolValue(QStringLiteral("onboarding.complete")));
    EXPECT_EQ(flow.step(), 3);
}

TEST_F(OnboardingFlowTest, RowsFollowThePermissionStates) {
    const QStringList titles{"Accessibility", "Input Monitoring", "Calendar", "Camera"};
    const QStringList details{"Menu-bar search and quick actions", "Global shortcut and scroll feedback",
                              "Today’s events inside the notch", "Local camera mirror"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(QString::fromUtf8(OnboardingFlow::permissionLines()[i].title), titles[i]);
        EXPECT_EQ(QString::fromUtf8(OnboardingFlow::permissionLines()[i].detail), details[i]);
    }
    int changes = 0;
    QObject::connect(&flow, &OnboardingFlow::contentChanged, [&] { ++changes; });
    c.h.permissionSystem.accessibilityTrusted = true;
    c.h.permissionSystem.capture = CaptureAuthorizationStatus::denied;
    c.stores.permissions.refresh();
    EXPECT_GT(changes, 0);
    EXPECT_EQ(flow.statusSymbol(Permission::accessibility), "checkmark.circle.fill");
    EXPECT_FALSE(flow.showsAllow(Permission::accessibility));
    for (Permission dashed : {Permission::inputMonitoring, Permission::camera, Permission::calendar}) {
        EXPECT_EQ(flow.statusSymbol(dashed), "circle.dashed");
        EXPECT_TRUE(flow.showsAllow(dashed));
    }
    EXPECT_EQ(flow.state(Permission::camera), PermissionState::denied);
    EXPECT_EQ(flow.state(Permission::calendar), PermissionState::unknown);

    // The notch and command-palette switches change what the steps offer; other settings do not.
    changes = 0;
    c.h.preferences.setAccent(Accent::crimson);
    EXPECT_EQ(changes, 0);
    c.h.preferences.setNotchEnabled(!c.h.preferences.notchEnabled());
    EXPECT_EQ(changes, 1);
    c.h.preferences.setCommandPaletteEnabled(!c.h.preferences.commandPaletteEnabled());
    EXPECT_EQ(changes, 2);
}

TEST_F(OnboardingFlowTest, InputMonitoringAsksInOrderOrOnlyRefreshes) {
    qsizetype from = c.mark();
    flow.allow(Permission::inputMonitoring);
    EXPECT_EQ(
        c.callsSince(from),
        (QStringList{"listenEvent.preflight", "listenEvent.request",
                     "message Enable Vantrel in Privacy & Security › Input Monitoring, then return here.",
                     "workspace.open "
                     "x-apple.systempreferences:com.apple.preference.security?Privacy_ListenEvent"}));
    // The states are read again a second later, once the user had time to switch it on.
    c.h.permissionSystem.listenEventAccess = true;
    from = c.mark();
    c.h.scheduler.advance(Seconds(1));
    EXPECT_EQ(c.callsSince(from), QStringList{"listenEvent.preflight"});
    EXPECT_EQ(flow.state(Permission::inputMonitoring), PermissionState::allowed);

    // Granted already: a re-read only; no prompt, no message, no settings window.
    from = c.mark();
    const std::size_t pending = c.h.scheduler.pendingCount();
    requestInputMonitoring(c.stores.permissions);
    EXPECT_EQ(c.callsSince(from), (QStringList{"listenEvent.preflight", "listenEvent.preflight"}));
    EXPECT_EQ(c.h.scheduler.pendingCount(), pending) << "no later re-read";
}

TEST_F(OnboardingFlowTest, OtherRowsCallTheirOwnRequests) {
    // Calendar: the store's request, and when it answers, the permission center catches up.
    qsizetype from = c.mark();
    flow.allow(Permission::calendar);
    EXPECT_TRUE(c.callsSince(from).isEmpty()) << "the answer comes on a later turn";
    c.h.scheduler.runDue();
    EXPECT_EQ(
        c.callsSince(from),
        (QStringList{"listenEvent.preflight",
                     "message Calendar access is off. Enable Vantrel in Privacy & Security › Calendars, "
                     "then return here.",
                     "workspace.open "
                     "x-apple.systempreferences:com.apple.preference.security?Privacy_Calendars"}));

    from = c.mark();
    flow.allow(Permission::accessibility);
    EXPECT_EQ(c.h.permissionSystem.accessibilityQueries.back(), true) << "asked with the prompt";
    EXPECT_TRUE(c.callsSince(from).contains(QStringLiteral(
        "workspace.open x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility")));

    flow.allow(Permission::camera);
    EXPECT_EQ(c.h.permissionSystem.pendingCameraRequests.size(), 1u);
}

TEST(OnboardingFlowMotion, StepsSpringOrEaseOutUnderReducedMotion) {
    EXPECT_EQ(OnboardingFlow::stepAnimation(true), VantrelAnimation::easeOut(0.1));
    const VantrelAnimation spring = OnboardingFlow::stepAnimation(false);
    EXPECT_EQ(spring.easing.type(), QEasingCurve::Custom);
    // Damping 0.85 at a 0.4 s response: a small overshoot, settled within about half a second.
    EXPECT_NEAR(spring.duration, 0.52, 0.01);
    EXPECT_DOUBLE_EQ(spring.easing.valueForProgress(0), 0);
    EXPECT_DOUBLE_EQ(spring.easing.valueForProgress(1), 1);
    double peak = 0;
    for (int i = 0; i <= 100; ++i) peak = std::max(peak, spring.easing.valueForProgress(i / 100.0));
    EXPECT_GT(peak, 1.0);
    EXPECT_LT(peak, 1.01);
    EXPECT_GT(spring.easing.valueForProgress(0.5), 0.95);
}
