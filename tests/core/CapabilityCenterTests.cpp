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

#include "platform/linux/PosixFileManager.h"

#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;
using Kind = VantrelCapabilityStatus::Kind;
using Support = KeyboardBacklightSupport;

namespace {

struct CapabilityFixture : ::testing::Test {
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingSystemLog log;
    FakeEnvironment environment{{QStringLiteral("VANTREL_QA_MODE"), QStringLiteral("1")}};
    InMemoryDefaults defaults;
    PosixFileManager files;
    QAObserver qa{clock, files, AppPaths{}};
    VantrelDiagnostics diagnostics{clock, log, environment, defaults, qa};
    RecordingPermissionSystem system;
    RecordingLoginItems loginItems;
    RecordingWorkspace workspace;
    CalendarAuthorizationStatus calendar = CalendarAuthorizationStatus::notDetermined;
    PermissionCenter permissions{system, [this] { return calendar; }, loginItems, workspace, scheduler};
    CapabilityCenter center{diagnostics};
};

} // namespace

TEST_F(CapabilityFixture, EveryCapabilityFromPermissionsAndTheKeyboardProbe) {
    const auto expect = [&](VantrelCapability capability, Kind kind, const char* message) {
        EXPECT_EQ(center.statuses().at(capability),
                  (VantrelCapabilityStatus{kind, QString::fromUtf8(message)}))
            << rawValue(capability).toStdString();
    };
    // Accessibility allowed, Input Monitoring denied, camera and calendar never asked.
    system.accessibilityTrusted = true;
    permissions.refresh();
    center.refresh(permissions, Support::available);
    ASSERT_EQ(center.statuses().size(), allCasesOf<VantrelCapability>().size());
    for (VantrelCapability always :
         {VantrelCapability::notifications, VantrelCapability::accessibility, VantrelCapability::appleEvents,
          VantrelCapability::mediaControl, VantrelCapability::dockIntegration})
        expect(always, Kind::available, "");
    expect(VantrelCapability::keyboardBacklight, Kind::experimental,
           "Keyboard lighting is experimental until it is verified on this MacBook.");
    expect(VantrelCapability::camera, Kind::temporarilyUnavailable,
           "Camera permission has not been requested.");
    expect(VantrelCapability::calendar, Kind::temporarilyUnavailable,
           "Calendar permission has not been requested.");
    expect(VantrelCapability::inputMonitoring, Kind::permissionDenied,
           "Input Monitoring permission is not allowed.");
    ASSERT_EQ(diagnostics.entries().size(), 1);
    EXPECT_EQ(diagnostics.entries()[0].message, QStringLiteral("capabilities refreshed"));

    // The other way round: camera and calendar allowed, accessibility denied.
    system.accessibilityTrusted = false;
    system.listenEventAccess = true;
    system.capture = CaptureAuthorizationStatus::authorized;
    calendar = CalendarAuthorizationStatus::denied;
    permissions.refresh();
    center.refresh(permissions, Support::needsInputMonitoring);
    expect(VantrelCapability::camera, Kind::available, "");
    expect(VantrelCapability::inputMonitoring, Kind::available, "");
    expect(VantrelCapability::calendar, Kind::permissionDenied, "Calendar permission is not allowed.");
    expect(VantrelCapability::accessibility, Kind::permissionDenied,
           "Accessibility permission is not allowed.");
    expect(VantrelCapability::keyboardBacklight, Kind::permissionDenied,
           "Input Monitoring is required before keyboard lighting can be checked.");

    // The rest of the keyboard probe's answers.
    const std::tuple<Support, Kind, const char*> rows[] = {
        {Support::checking, Kind::temporarilyUnavailable, "Checking built-in keyboard support."},
        {Support::vendorProtocol, Kind::experimental,
         "Keyboard hardware can be read, but Vantrel has not verified a safe writable brightness command."},
        {Support::unavailable, Kind::unsupported,
         "This Mac does not expose a supported keyboard-backlight control."},
        {Support::failed, Kind::unavailable, "Keyboard-backlight access failed."},
    };
    for (const auto& [support, kind, message] : rows)
        EXPECT_EQ(CapabilityCenter::keyboardStatus(support), (VantrelCapabilityStatus{kind, message}));
}
