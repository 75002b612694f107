#include "services/KeyboardCleaningController.h"
#include "support/FakeKeyboardGuard.h"
#include "support/ManualScheduler.h"
#include "support/RecordingPermissionSystem.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

using Type = GuardedKeyEvent::Type;
using Reason = KeyboardCleaningController::StopReason;

constexpr std::uint64_t kControl = 0x40000, kOption = 0x80000, kCommand = 0x100000, kShift = 0x20000,
                        kNumLock = 0x200000, kCapsLock = 0x10000;
constexpr int kEscape = 53;

class KeyboardCleaningTest : public ::testing::Test {
protected:
    KeyboardCleaningTest() { permissions.accessibilityTrusted = true; }

    void chord(std::uint64_t flags) { guard.deliver({Type::keyDown, kEscape, flags}); }

    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingPermissionSystem permissions;
    FakeKeyboardGuard guard;
    int haptics = 0;
    KeyboardCleaningController controller{{permissions, guard, clock, scheduler, [this] { ++haptics; }}};
};

TEST_F(KeyboardCleaningTest, StartingTwiceHoldsOnceAndPlaysOneHaptic) {
    EXPECT_FALSE(controller.isActive());
    EXPECT_EQ(controller.remainingSeconds(), 15);
    EXPECT_EQ(controller.sessionDuration(), 15);
    controller.start();
    controller.start();
    EXPECT_TRUE(controller.isActive());
    EXPECT_EQ(guard.holds.size(), 1u);
    EXPECT_EQ(guard.holds[0].count(), 16) << "the guard lets go a second after the session at the latest";
    EXPECT_EQ(haptics, 1);
    EXPECT_EQ(permissions.accessibilityQueries, (std::vector<bool>{false})) << "asked without a prompt";
    // The countdown: every 0.1 seconds with 0.025 of tolerance.
    ASSERT_EQ(scheduler.pendingCount(), 1u);
    const auto timer = scheduler.pendingTasks().front();
    EXPECT_DOUBLE_EQ(scheduler.intervalOf(timer)->count(), 0.1);
    EXPECT_DOUBLE_EQ(scheduler.toleranceOf(timer)->count(), 0.025);

    controller.stop(Reason::userRequested);
    EXPECT_FALSE(guard.isHolding());
    EXPECT_EQ(guard.releases, 1);
    EXPECT_EQ(haptics, 2) << "ending a running session plays the controls haptic";
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    controller.stop(Reason::userRequested);
    EXPECT_EQ(haptics, 2) << "an idle stop plays nothing";
}

TEST_F(KeyboardCleaningTest, WithoutTrustOrAGuardNoSessionBeginsAndTheNextOneClearsTheMessage) {
    permissions.accessibilityTrusted = false;
    controller.start();
    EXPECT_FALSE(controller.isActive());
    EXPECT_EQ(controller.statusMessage(),
              QStringLiteral("Allow Accessibility before starting Keyboard Cleaning."));
    EXPECT_TRUE(guard.holds.empty()) << "the keyboard is not touched";

    permissions.accessibilityTrusted = true;
    guard.refuse = true;
    controller.start();
    EXPECT_FALSE(controller.isActive());
    EXPECT_EQ(
        controller.statusMessage(),
        QStringLiteral("macOS could not start the keyboard guard. Review Accessibility and try again."));
    EXPECT_EQ(haptics, 0);
    EXPECT_EQ(scheduler.pendingCount(), 0u);

    guard.refuse = false;
    controller.start();
    guard.press();
    controller.stop(Reason::userRequested);
    // A later refused start keeps the count of the last session.
    guard.refuse = true;
    controller.start();
    EXPECT_EQ(controller.blockedKeyCount(), 1);
    guard.refuse = false;
    controller.start();
    EXPECT_TRUE(controller.isActive());
    EXPECT_FALSE(controller.statusMessage().has_value());
    EXPECT_EQ(controller.blockedKeyCount(), 0);

    // Without a guard at all, as on a desktop that has none.
    KeyboardCleaningController bare;
    bare.start();
    EXPECT_FALSE(bare.isActive());
    EXPECT_EQ(
        bare.statusMessage(),
        QStringLiteral("macOS could not start the keyboard guard. Review Accessibility and try again."));
}

TEST_F(KeyboardCleaningTest, TheExitChordEndsTheSessionWhateverElseIsHeld) {
    controller.start();
    // Escape with only Control and Command is a blocked press.
    chord(kControl | kCommand);
    EXPECT_TRUE(controller.isActive());
    EXPECT_EQ(controller.blockedKeyCount(), 1);
    chord(kControl | kOption | kCommand | kShift);
    EXPECT_FALSE(controller.isActive());
    EXPECT_EQ(controller.blockedKeyCount(), 1) << "the chord's own key down is not counted";
    EXPECT_EQ(haptics, 2);

    // Num Lock and Caps Lock on do not keep the chord from working.
    controller.start();
    chord(kControl | kOption | kCommand | kNumLock | kCapsLock);
    EXPECT_FALSE(controller.isActive());
    EXPECT_EQ(controller.blockedKeyCount(), 0);

    // The chord with another key than Escape counts.
    controller.start();
    guard.press(kControl | kOption | kCommand);
    EXPECT_TRUE(controller.isActive());
    EXPECT_EQ(controller.blockedKeyCount(), 1);
    chord(0);
    EXPECT_EQ(controller.blockedKeyCount(), 2) << "Escape alone";
}

TEST_F(KeyboardCleaningTest, ReleasesAndModifiersCountNothingMediaKeysCountOnce) {
    controller.start();
    QSignalSpy changes(&controller, &KeyboardCleaningController::changed);
    guard.deliver({Type::flagsChanged, -1, kShift});
    guard.deliver({Type::keyUp, -1, 0});
    guard.deliver({Type::flagsChanged, -1, 0});
    EXPECT_EQ(controller.blockedKeyCount(), 0);
    EXPECT_EQ(changes.count(), 0);
    guard.deliver({Type::systemDefined, -1, 0});
    guard.deliver({Type::systemDefined, -1, 0});
    guard.press(kShift);
    EXPECT_EQ(controller.blockedKeyCount(), 3);
    EXPECT_EQ(changes.count(), 3);
}

TEST_F(KeyboardCleaningTest, TheCountdownFollowsTheWallClockAndTheLastTickEndsTheSession) {
    controller.start();
    guard.press();
    std::vector<int> shown;
    QObject::connect(&controller, &KeyboardCleaningController::changed, [&] {
        if (controller.isActive() && (shown.empty() || shown.back() != controller.remainingSeconds()))
            shown.push_back(controller.remainingSeconds());
    });
    scheduler.advance(Seconds(14.95));
    EXPECT_EQ(controller.remainingSeconds(), 1);
    EXPECT_TRUE(controller.isActive());
    scheduler.advance(Seconds(0.1));
    EXPECT_FALSE(controller.isActive());
    EXPECT_EQ(controller.remainingSeconds(), 15) << "back at 15 in the same step";
    EXPECT_EQ(controller.sessionDuration(), 15);
    EXPECT_EQ(shown, (std::vector<int>{14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(controller.blockedKeyCount(), 1) << "kept until the next session";
    EXPECT_EQ(haptics, 2);
    EXPECT_FALSE(guard.isHolding());
    EXPECT_EQ(scheduler.pendingCount(), 0u);

    // A late tick does not lengthen a session: five seconds of a stalled main thread are gone.
    controller.start();
    clock.advance(Seconds(5));
    scheduler.advance(Seconds(0.1));
    EXPECT_EQ(controller.remainingSeconds(), 10);
    // A wall clock set back shows no more than the session's length.
    clock.setWallTime(addSeconds(clock.now(), Seconds(-3600)));
    scheduler.advance(Seconds(0.1));
    EXPECT_EQ(controller.remainingSeconds(), 15);
}

TEST_F(KeyboardCleaningTest, StoppingForTheApplicationPlaysNoHapticAndLatePressesCountNowhere) {
    controller.start();
    controller.stop(Reason::appStopping);
    EXPECT_FALSE(controller.isActive());
    EXPECT_FALSE(guard.isHolding());
    EXPECT_EQ(haptics, 1) << "only the start's";

    // A press taken just before the session ended arrives after it.
    controller.start();
    const KeyboardGuard::Handler queued = guard.pending();
    controller.stop(Reason::escapeChord);
    queued({Type::keyDown, -1, 0});
    EXPECT_EQ(controller.blockedKeyCount(), 0);
    // Nor does it count in the next session.
    controller.start();
    queued({Type::keyDown, -1, 0});
    queued({Type::keyDown, kEscape, kControl | kOption | kCommand});
    EXPECT_TRUE(controller.isActive());
    EXPECT_EQ(controller.blockedKeyCount(), 0);

    // A controller that goes while it holds the keyboard gives it back.
    auto other = std::make_unique<KeyboardCleaningController>(
        KeyboardCleaningController::Dependencies{permissions, guard, clock, scheduler, {}});
    controller.stop(Reason::userRequested);
    other->start();
    ASSERT_TRUE(guard.isHolding());
    other.reset();
    EXPECT_FALSE(guard.isHolding());
}

} // namespace
