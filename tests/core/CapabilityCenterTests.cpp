#include "core/CapabilityCenter.h"

#include "core/PermissionCenter.h"
#include "core/QAObserver.h"
#include "core/VantrelDiagnostics.h"
#include "platform/AppPaths.h"
#include "platform/InMemoryDefaults.h"
#include "support/FakeEnvironment.h"
#include "support/ManualScheduler.h"
#include "support/RecordingPermissionSystem.h"
#include "support/RecordingSystemLog.h"
#include "support/RecordingWorkspace.h"

#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;
using Kind = VantrelCapabilityStatus::Kind;
using Support = KeyboardBacklightSignal::Support;

namespace {

struct CapabilityFixture : ::testing::Test {
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingSystemLog log;
    FakeEnvironment environment{{QStringLiteral("VANTREL_QA_MODE"), QStringLiteral("1")}};
    InMemoryDefaults defaults;
    QAObserver qa{clock, AppPaths{}};
    VantrelDiagnostics diagnostics{clock, log, environment, defaults, qa};
    RecordingPermissionSystem system;
    RecordingLoginItems loginItems;
    RecordingWorkspace workspace;
    CalendarAuthorizationStatus calendar = CalendarAuthorizationStatus::notDetermined;
    PermissionCenter permissions{system, [this] { return calendar; }, loginItems, workspace, scheduler};
    CapabilityCenter center{diagnostics};

    VantrelCapabilityStatus status(VantrelCapability capability) const {
        return center.statuses().at(capability);
    }
};

} // namespace

TEST_F(CapabilityFixture, EveryCapabilityFromPermissionsAndTheKeyboardProbe) {
    // Accessibility allowed, Input Monitoring denied, camera and calendar never asked.
    system.accessibilityTrusted = true;
    permissions.refresh();
    center.refresh(permissions, Support::available);
    ASSERT_EQ(center.statuses().size(), allCasesOf<VantrelCapability>().size());
    const std::pair<VantrelCapability, VantrelCapabilityStatus> expected[] = {
        {VantrelCapability::notifications, {}},
        {VantrelCapability::keyboardBacklight,
         {Kind::experimental,
          QStringLiteral("Keyboard lighting is experimental until it is verified on this MacBook.")}},
        {VantrelCapability::camera,
         {Kind::temporarilyUnavailable, QStringLiteral("Camera permission has not been requested.")}},
        {VantrelCapability::calendar,
         {Kind::temporarilyUnavailable, QStringLiteral("Calendar permission has not been requested.")}},
        {VantrelCapability::accessibility, {}},
        {VantrelCapability::inputMonitoring,
         {Kind::permissionDenied, QStringLiteral("Input Monitoring permission is not allowed.")}},
        {VantrelCapability::appleEvents, {}},
        {VantrelCapability::mediaControl, {}},
        {VantrelCapability::dockIntegration, {}},
    };
    for (const auto& [capability, want] : expected)
        EXPECT_EQ(status(capability), want) << rawValue(capability).toStdString();

    ASSERT_EQ(diagnostics.entries().size(), 1);
    EXPECT_EQ(diagnostics.entries()[0].message, QStringLiteral("capabilities refreshed"));

    // The other way round: camera and calendar allowed, accessibility denied.
    system.accessibilityTrusted = false;
    system.listenEventAccess = true;
    system.capture = CaptureAuthorizationStatus::authorized;
    calendar = CalendarAuthorizationStatus::denied;
    permissions.refresh();
    center.refresh(permissions, Support::needsInputMonitoring);
    EXPECT_EQ(status(VantrelCapability::camera), VantrelCapabilityStatus{});
    EXPECT_EQ(status(VantrelCapability::calendar),
              (VantrelCapabilityStatus{Kind::permissionDenied,
                                       QStringLiteral("Calendar permission is not allowed.")}));
    EXPECT_EQ(status(VantrelCapability::accessibility),
              (VantrelCapabilityStatus{Kind::permissionDenied,
                                       QStringLiteral("Accessibility permission is not allowed.")}));
    EXPECT_EQ(status(VantrelCapability::inputMonitoring), VantrelCapabilityStatus{});
    EXPECT_EQ(status(VantrelCapability::keyboardBacklight),
              (VantrelCapabilityStatus{
                  Kind::permissionDenied,
                  QStringLiteral("Input Monitoring is required before keyboard lighting can be checked.")}));
}

TEST(CapabilityTable, KeyboardBacklightRows) {
    const std::pair<Support, VantrelCapabilityStatus> rows[] = {
        {Support::checking,
         {Kind::temporarilyUnavailable, QStringLiteral("Checking built-in keyboard support.")}},
        {Support::vendorProtocol,
         {Kind::experimental, QStringLiteral("Keyboard hardware can be read, but Vantrel has not verified a "
                                             "safe writable brightness command.")}},
        {Support::unavailable,
         {Kind::unsupported,
          QStringLiteral("This Mac does not expose a supported keyboard-backlight control.")}},
        {Support::failed, {Kind::unavailable, QStringLiteral("Keyboard-backlight access failed.")}},
    };
    for (const auto& [support, want] : rows)
        EXPECT_EQ(CapabilityCenter::keyboardStatus(support), want);
}
