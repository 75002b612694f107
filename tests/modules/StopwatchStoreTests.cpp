#include "TimerHarness.h"
#include "modules/StopwatchStore.h"

#include <gtest/gtest.h>
#include <limits>
#include <memory>

using namespace vantrel;
using namespace vantrel::test;

namespace {
struct StopwatchHarness : TimerHarness {
    std::unique_ptr<StopwatchStore> store =
        std::make_unique<StopwatchStore>(timerAlarm(), haptics, clock, scheduler);
};
} // namespace

TEST(StopwatchStore, StopwatchPausesResumesWithoutDriftAndCapsLaps) {
    StopwatchHarness h;
    h.store->recordLap();
    EXPECT_TRUE(h.store->laps().isEmpty());
    EXPECT_EQ(h.performer.count(), 0u) << "no haptic for a lap that was not taken";
    h.store->startStopwatch();
    EXPECT_EQ(h.performer.count(), 1u) << "the controls haptic";
    // A stalled event loop: the next tick shows the true elapsed time.
    h.clock.advance(Seconds(10.27));
    h.scheduler.runDue();
    EXPECT_NEAR(h.store->stopwatchElapsed(), 10.27, 1e-9);
    h.store->pauseStopwatch();
    h.scheduler.advance(Seconds(100));
    h.store->startStopwatch();
    for (int i = 1; i <= 21; ++i) {
        h.scheduler.advance(Seconds(1));
        h.store->recordLap();
    }
    ASSERT_EQ(h.store->laps().size(), 20);
    EXPECT_NEAR(h.store->laps().front(), 31.27, 1e-9) << "newest first";
    EXPECT_NEAR(h.store->laps().back(), 12.27, 1e-9) << "the oldest lap went";
    h.store->resetStopwatch();
    EXPECT_EQ(h.store->stopwatchElapsed(), 0.0);
    EXPECT_TRUE(h.store->laps().isEmpty());
    EXPECT_FALSE(h.store->isTicking());
}

TEST(StopwatchStore, CountdownPauseResumeAndNewMinutes) {
    StopwatchHarness h;
    EXPECT_EQ(h.store->countdownProgress(), 0.0);
    h.store->startCountdown();
    h.scheduler.advance(Seconds(12.34));
    h.store->pauseCountdown();
    EXPECT_NEAR(h.store->countdownRemaining(), 287.66, 1e-6);
    h.store->startCountdown();
    h.scheduler.advance(Seconds(17.6));
    EXPECT_NEAR(h.store->countdownRemaining(), 270.06, 1e-6) << "resumed from the remainder";
    h.store->resetCountdown();
    EXPECT_EQ(h.store->countdownProgress(), 0.0);
    h.store->startCountdown();
    h.scheduler.advance(Seconds(30));
    EXPECT_NEAR(h.store->countdownProgress(), 0.1, 1e-9);

    h.store->setCountdown(10);
    EXPECT_FALSE(h.store->isCountdownRunning());
    EXPECT_EQ(h.store->countdownRemaining(), 0.0);
    h.store->startCountdown();
    EXPECT_EQ(h.store->countdownRemaining(), 600.0);

    // No minutes: the alarm is silenced but nothing starts.
    h.store->resetCountdown();
    h.alarm.play(true);
    h.store->setCountdown(0);
    EXPECT_EQ(h.sounds.playingCount(), 1) << "choosing minutes leaves the alarm alone";
    h.store->startCountdown();
    EXPECT_EQ(h.sounds.playingCount(), 0);
    EXPECT_FALSE(h.store->isCountdownRunning());
}

TEST(StopwatchStore, CountdownExpiryOrderAndNoDrift) {
    StopwatchHarness h;
    h.store->setCountdown(1);
    h.watch(h.store.get(), &StopwatchStore::isCountdownRunningChanged, "isCountdownRunning");
    h.watch(h.store.get(), &StopwatchStore::countdownDidFinishChanged, "countdownDidFinish");
    h.store->startCountdown();
    h.clock.advance(Seconds(59.95)); // a stall, then the overdue ticks at once
    h.scheduler.runDue();
    EXPECT_NEAR(h.store->countdownRemaining(), 0.05, 1e-6);
    h.log.entries.clear();
    h.scheduler.advance(Seconds(0.1));
    EXPECT_EQ(h.log.entries, (QStringList{"isCountdownRunning false", "countdownDidFinish true",
                                          "haptic levelChange", "sound Glass", "alert Timer finished"}));
    EXPECT_EQ(h.store->countdownProgress(), 0.0);
    EXPECT_FALSE(h.store->isTicking());

    // Finished → running: a full countdown again, and the alarm falls silent.
    h.store->startCountdown();
    EXPECT_EQ(h.sounds.playingCount(), 0);
    EXPECT_FALSE(h.store->countdownDidFinish());
    EXPECT_EQ(h.store->countdownRemaining(), 60.0);
}

TEST(StopwatchStore, OneTickerWhileEitherClockRuns) {
    StopwatchHarness h;
    h.preferences.setInterfaceHapticsEnabled(false); // no delayed pulses among the scheduled work
    h.store->startStopwatch();
    h.store->startCountdown();
    EXPECT_EQ(h.scheduler.pendingCount(), 1u);
    h.store->pauseStopwatch();
    EXPECT_TRUE(h.store->isTicking());
    h.store->pauseCountdown();
    EXPECT_EQ(h.scheduler.pendingCount(), 0u);
    EXPECT_EQ(h.performer.count(), 0u) << "the controls haptic follows the interface setting";

    h.store->startStopwatch();
    h.store->stopTicking();
    EXPECT_FALSE(h.store->isTicking());
    EXPECT_TRUE(h.store->isStopwatchRunning()) << "the flags stay as they are";
    h.store->startCountdown();
    h.store.reset();
    EXPECT_EQ(h.scheduler.pendingCount(), 0u);
    h.scheduler.advance(Seconds(600)); // nothing calls into the destroyed store
}

TEST(StopwatchStore, FormatsTimes) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double seconds;
        bool hundredths;
        const char* text;
    } cases[] = {
        {59.999, true, "0:59.99"},
        {65.5, false, "1:05"},
        {65.5, true, "1:05.50"},
        {3725, true, "1:02:05"},
        {-3, false, "0:00"},
        {0.125, true, "0:00.13"}, // halves away from zero
        {std::nan(""), true, "0:00.00"},
        {inf, false, "0:00"},
        {-inf, false, "0:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StopwatchStore::format(c.seconds, c.hundredths), c.text) << c.seconds;
    EXPECT_FALSE(StopwatchStore::format(1e300, false).isEmpty());
}
