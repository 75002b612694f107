#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "modules/AlarmController.h"
#include "modules/FocusTimer.h"
#include "modules/NotificationSignalStore.h"
#include "modules/StopwatchStore.h"
#include "modules/TimerAlarm.h"
#include "support/ManualScheduler.h"
#include "support/RecordingHapticPerformer.h"
#include "support/RecordingSoundPlayer.h"
#include "support/RecordingUserDefaults.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <optional>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// The alarm, the alerts and the haptics wired to fakes that all write to one call log, on a
// manual clock.
struct TimerHarness {
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingUserDefaults defaults;
    VantrelPreferences preferences{defaults};
    CallLog log;
    RecordingHapticPerformer performer{&clock, &log};
    RecordingSoundPlayer sounds{&log};
    AlarmController alarm{preferences, performer, sounds, scheduler};
    NotificationSignalStore alerts{preferences, clock};
    VantrelHaptics haptics{preferences, performer, scheduler};
    std::unique_ptr<FocusTimer> timer;
    std::unique_ptr<StopwatchStore> store;

    TimerHarness() {
        QObject::connect(&alerts, &NotificationSignalStore::pendingEventsChanged, [this] {
            if (alerts.pendingEvents().empty()) return;
            const auto& newest = alerts.pendingEvents().back();
            log.add("alert " + newest.title + (newest.isUrgent ? " (urgent)" : ""));
        });
    }
    TimerAlarm timerAlarm() { return TimerAlarm(alarm, alerts, preferences); }
    FocusTimer& focusTimer() {
        defaults.clearJournal();
        timer = std::make_unique<FocusTimer>(defaults, timerAlarm(), clock, scheduler);
        return *timer;
    }
    StopwatchStore& stopwatch() {
        store = std::make_unique<StopwatchStore>(timerAlarm(), haptics, clock, scheduler);
        return *store;
    }
    // Records a published flag on the call log as "<name> true" or "<name> false".
    template <typename Object, typename Signal>
    void watch(Object* object, Signal signal, const QString& name) {
        QObject::connect(object, signal, [this, name](bool v) { log.add(name + (v ? " true" : " false")); });
    }
};

const QStringList kExpiry{"haptic levelChange", "sound Glass", "alert Timer finished (urgent)"};
const QString kKey = "timer.durationMinutes";

} // namespace

TEST(AlarmController, DeliveryMatrixWithTheVolumeClamped) {
    using D = AlarmDelivery;
    // Delivery, sound, repeating; whether the haptic plays and which sound (none: not even looked up).
    for (auto [delivery, sound, repeating, haptic, played] :
         {std::tuple{D::sound, AlarmSound::glass, false, false, "Glass"},
          {D::sound, AlarmSound::none, true, false, ""},
          {D::haptics, AlarmSound::ping, true, true, ""},
          {D::both, AlarmSound::purr, true, true, "Purr"},
          {D::both, AlarmSound::none, false, true, ""}}) {
        SCOPED_TRACE(rawValue(delivery).toStdString() + "/" + rawValue(sound).toStdString());
        TimerHarness h;
        h.preferences.setAlarmDelivery(delivery);
        h.preferences.setAlarmSound(sound);
        h.preferences.setAlarmVolume(1.4);
        h.alarm.play(repeating);
        QStringList expected;
        if (haptic) expected << "haptic levelChange"; // the haptic comes first
        if (*played) expected << QString("sound ") + played;
        EXPECT_EQ(h.log.entries, expected);
        EXPECT_EQ(h.scheduler.pendingCount(), haptic && repeating ? 1u : 0u) << "the repeating haptic";
        EXPECT_EQ(h.sounds.sounds.size(), *played ? 1u : 0u);
        for (const auto& s : h.sounds.sounds) EXPECT_TRUE(s->loops == repeating && s->volume == 1.0f);
        h.alarm.dismiss();
        EXPECT_EQ(h.sounds.playingCount(), 0);
        EXPECT_EQ(h.scheduler.pendingCount(), 0u);
    }
}

TEST(AlarmController, RepeatingHapticEveryOnePointTwoFiveSecondsAndOneAlarmAtATime) {
    TimerHarness h;
    h.preferences.setAlarmVolume(std::nan(""));
    const MonoTime start = h.clock.monotonicNow();
    h.alarm.play(true);
    h.alarm.play(true);
    EXPECT_EQ(h.sounds.playingCount(), 1) << "the second play silenced the first";
    EXPECT_EQ(h.sounds.sounds.at(0)->volume, 0.0f) << "a volume that is no number is silence";
    h.scheduler.advance(Seconds(5)); // one repeating timer, not two
    ASSERT_EQ(h.performer.count(), 6u);
    for (std::size_t i = 2; i < 6; ++i)
        EXPECT_NEAR(secondsBetween(start, h.performer.pulses()[i].at), 1.25 * double(i - 1), 1e-6);
    h.alarm.dismiss();
    h.alarm.dismiss();
    h.scheduler.advance(Seconds(10));
    EXPECT_EQ(h.performer.count(), 6u);

    TimerHarness silent; // a library without the sound, or a machine without audio: the haptic still plays
    silent.sounds.silent = true;
    silent.alarm.play(true);
    silent.scheduler.advance(Seconds(1.25));
    EXPECT_EQ(silent.performer.count(), 2u);
}

TEST(NotificationSignalStore, KeepsTheNewest25WhileEnabled) {
    TimerHarness h;
    for (int i = 1; i <= 30; ++i) h.alerts.recordVantrelEvent(QString::number(i), false);
    ASSERT_EQ(h.alerts.pendingEvents().size(), 25u);
    EXPECT_EQ(h.alerts.pendingEvents().front().title, "6");
    EXPECT_EQ(h.alerts.statusMessage(), "Waiting: 25 Vantrel alerts");

    const WallTime last = h.clock.now();
    h.alerts.setPendingEvents({});
    h.preferences.setNotificationsEnabled(false);
    h.clock.advance(Seconds(5));
    h.alerts.recordVantrelEvent("Timer finished", true);
    EXPECT_TRUE(h.alerts.pendingEvents().empty());
    EXPECT_EQ(h.alerts.lastSignalAt(), last);
}

TEST(NotificationSignalStore, TheStatusNamesOneAlertAndCountsMore) {
    TimerHarness h;
    EXPECT_EQ(h.alerts.statusMessage(), "No Vantrel alerts are waiting.");
    h.alerts.recordVantrelEvent("Timer finished", true);
    EXPECT_EQ(h.alerts.statusMessage(), "Waiting: Timer finished");
    h.alerts.recordVantrelEvent("Timer finished", true);
    EXPECT_EQ(h.alerts.statusMessage(), "Waiting: 2 Vantrel alerts");
}

TEST(FocusTimer, DurationKeysFallBackAndTheCurrentKeyIsWrittenOnce) {
    using Entry = RecordingUserDefaults::Entry;
    const QJsonValue none(QJsonValue::Undefined);
    // Current value, older value, the duration in minutes, whether the current key is written.
    // Damaged values too large to count in seconds stop at one year instead of overflowing.
    for (auto [current, legacy, duration, writes] : {std::tuple{none, none, 25, true},
                                                     {none, QJsonValue(40), 40, true},
                                                     {QJsonValue(0), QJsonValue(-3), 25, true},
                                                     {QJsonValue(180), QJsonValue(40), 180, false},
                                                     {QJsonValue(9.2e18), none, 525600, false},
                                                     {none, QJsonValue(1e300), 525600, true}}) {
        TimerHarness h;
        if (!current.isUndefined()) h.defaults.seed(kKey, current);
        if (!legacy.isUndefined()) h.defaults.seed("focus.minutes", legacy);
        FocusTimer& timer = h.focusTimer();
        SCOPED_TRACE(duration);
        const std::vector<Entry> written{{Entry::Kind::set, kKey, QJsonValue(duration)}};
        EXPECT_EQ(h.defaults.journal(), writes ? written : std::vector<Entry>{}) << "the older key is kept";
        timer.start(); // even a one-year run ticks without overflow
        h.scheduler.advance(Seconds(2));
        EXPECT_EQ(timer.remainingSeconds(), qint64(duration) * 60 - 2);
    }
}

TEST(FocusTimer, PauseResumeAndLateTicksCountFromTheWallClockEnd) {
    TimerHarness h;
    FocusTimer& timer = h.focusTimer();
    timer.start();
    h.clock.advance(Seconds(10.2));
    timer.pause();
    EXPECT_EQ(h.scheduler.pendingCount(), 0u) << "no ticker while paused";
    h.clock.advance(Seconds(300));
    timer.start();
    timer.start();
    EXPECT_EQ(h.scheduler.pendingCount(), 1u) << "a second start adds no ticker";
    // The event loop stalls, then every overdue tick arrives at once; later ticks come 0.4 s late.
    h.clock.advance(Seconds(37.3));
    h.scheduler.runDue();
    EXPECT_EQ(timer.remainingSeconds(), 1453); // 1452.7 left, taken up to the next whole second
    for (int i = 0; i < 40; ++i) {
        h.clock.advance(Seconds(1.4));
        h.scheduler.runDue();
    }
    EXPECT_EQ(timer.timeText(), "23:17"); // 1396.7 left
    // The end comes exactly when the wall clock reaches it, however the ticks fall.
    h.clock.advance(Seconds(1396.69));
    h.scheduler.runDue();
    EXPECT_FALSE(timer.hasFinished());
    h.scheduler.advance(Seconds(1));
    EXPECT_TRUE(timer.hasFinished());
}

TEST(FocusTimer, TicksComingEarlyNeitherShowAnExtraSecondNorFinishLate) {
    TimerHarness h;
    h.defaults.seed(kKey, 1);
    FocusTimer& timer = h.focusTimer();
    timer.start();
    const WallTime deadline = addSeconds(h.clock.now(), Seconds(60));
    // Each coarse tick comes 0.08 s before the second it was meant for.
    h.clock.setWallTime(addSeconds(h.clock.now(), Seconds(-0.08)));
    std::optional<WallTime> finishedAt;
    QObject::connect(&timer, &FocusTimer::hasFinishedChanged, [&](bool finished) {
        if (finished) finishedAt = h.clock.now();
    });
    for (int step = 0; step < 6200 && !finishedAt; ++step) {
        h.scheduler.advance(Seconds(0.01));
        if (finishedAt) break;
        const double left = secondsBetween(h.clock.now(), deadline);
        ASSERT_LT(double(timer.remainingSeconds()), left + 1)
            << timer.timeText().toStdString() << " with " << left << " s left";
    }
    ASSERT_TRUE(finishedAt.has_value());
    EXPECT_LE(std::abs(secondsBetween(deadline, *finishedAt)), 0.1);
    EXPECT_EQ(timer.timeText(), "00:00");
}

TEST(FocusTimer, OneWholeSecondLeftStillStarts) {
    TimerHarness h;
    FocusTimer& timer = h.focusTimer(); // 25 minutes
    timer.start();
    h.scheduler.advance(Seconds(25 * 60 - 1));
    timer.pause();
    ASSERT_EQ(timer.remainingSeconds(), 1);
    timer.start();
    EXPECT_TRUE(timer.isRunning());
    h.scheduler.advance(Seconds(1));
    EXPECT_TRUE(timer.hasFinished());
}

TEST(FocusTimer, ToggleStartsAStoppedCountdownAndPausesARunningOne) {
    TimerHarness h;
    FocusTimer& timer = h.focusTimer();
    timer.toggle();
    EXPECT_TRUE(timer.isRunning());
    h.clock.advance(Seconds(10.2));
    timer.toggle();
    EXPECT_FALSE(timer.isRunning());
    EXPECT_EQ(timer.timeText(), "24:50");
    EXPECT_EQ(h.scheduler.pendingCount(), 0u);
    h.clock.advance(Seconds(60));
    timer.toggle();
    EXPECT_TRUE(timer.isRunning());
    EXPECT_EQ(timer.timeText(), "24:50");
}

TEST(FocusTimer, ExpiryStopsThenFinishesThenRingsThenAlerts) {
    TimerHarness h;
    h.defaults.seed(kKey, 1);
    h.preferences.setAlarmRepeats(true);
    FocusTimer& timer = h.focusTimer();
    h.watch(&timer, &FocusTimer::isRunningChanged, "isRunning");
    h.watch(&timer, &FocusTimer::hasFinishedChanged, "hasFinished");
    timer.start();
    h.log.entries.clear();
    h.scheduler.advance(Seconds(60));
    EXPECT_EQ(h.log.entries, QStringList({"isRunning false", "hasFinished true"}) + kExpiry);
    EXPECT_EQ(timer.progress(), 1.0);

    // A finished timer does not start again until it is refilled; reset and start silence the alarm.
    timer.start();
    EXPECT_FALSE(timer.isRunning());
    timer.reset();
    EXPECT_EQ(h.sounds.playingCount(), 0);
    h.alarm.play(true);
    timer.start();
    EXPECT_EQ(h.sounds.playingCount(), 0);
    h.timer.reset();
    EXPECT_EQ(h.scheduler.pendingCount(), 0u) << "the ticker goes with the timer";
}

TEST(FocusTimer, DurationIsClampedPublishedThenStoredAndProgressStaysWithinZeroAndOne) {
    TimerHarness h;
    FocusTimer& timer = h.focusTimer();
    qint64 storedWhenPublished = -1;
    QObject::connect(&timer, &FocusTimer::durationMinutesChanged,
                     [&](qint64) { storedWhenPublished = h.defaults.integer(kKey); });
    timer.updateDuration(500);
    EXPECT_EQ(storedWhenPublished, 25) << "observers hear of the change before it is stored";
    EXPECT_EQ(h.defaults.integer(kKey), 120);
    timer.updateDuration(25);
    timer.start();
    h.scheduler.advance(Seconds(60));
    // A shorter duration during a run keeps the run's end; the fraction must not go negative.
    timer.updateDuration(0);
    EXPECT_EQ(h.defaults.integer(kKey), 1);
    EXPECT_EQ(timer.progress(), 0.0);
    // A wall clock set back during a run leaves more than the duration; still within range.
    timer.updateDuration(25);
    h.clock.setWallTime(addSeconds(h.clock.now(), Seconds(-600)));
    h.scheduler.advance(Seconds(1));
    EXPECT_GT(timer.remainingSeconds(), 1500);
    EXPECT_EQ(timer.progress(), 0.0);
}

TEST(StopwatchStore, StopwatchPausesResumesWithoutDriftAndCapsLaps) {
    TimerHarness h;
    StopwatchStore& store = h.stopwatch();
    store.recordLap();
    EXPECT_TRUE(store.laps().isEmpty());
    store.startStopwatch();
    EXPECT_EQ(h.performer.count(), 1u) << "the controls haptic";
    // A stalled event loop: the next tick shows the true elapsed time.
    h.clock.advance(Seconds(10.27));
    h.scheduler.runDue();
    EXPECT_NEAR(store.stopwatchElapsed(), 10.27, 1e-9);
    store.pauseStopwatch();
    h.scheduler.advance(Seconds(100));
    store.startStopwatch();
    for (int i = 1; i <= 21; ++i) {
        h.scheduler.advance(Seconds(1));
        store.recordLap();
    }
    ASSERT_EQ(store.laps().size(), 20);
    EXPECT_NEAR(store.laps().front(), 31.27, 1e-9) << "newest first";
    EXPECT_NEAR(store.laps().back(), 12.27, 1e-9) << "the oldest lap went";
    store.resetStopwatch();
    EXPECT_TRUE(store.laps().isEmpty() && store.stopwatchElapsed() == 0.0);
    EXPECT_FALSE(store.isStopwatchRunning()) << "a reset stops a running stopwatch";
}

TEST(StopwatchStore, LapsKeepTheirNumbersPastTwentyAndCountAgainAfterReset) {
    TimerHarness h;
    StopwatchStore& store = h.stopwatch();
    store.startStopwatch();
    for (int i = 1; i <= 23; ++i) {
        h.scheduler.advance(Seconds(1));
        store.recordLap();
    }
    ASSERT_EQ(store.laps().size(), 20);
    ASSERT_EQ(store.lapNumbers().size(), 20);
    EXPECT_EQ(store.lapNumbers().front(), 23) << "the newest lap is the 23rd";
    EXPECT_EQ(store.lapNumbers().back(), 4) << "laps 1 to 3 were dropped, the rest keep their numbers";
    for (qsizetype i = 1; i < store.lapNumbers().size(); ++i)
        EXPECT_EQ(store.lapNumbers()[i], store.lapNumbers()[i - 1] - 1);
    store.resetStopwatch();
    EXPECT_TRUE(store.lapNumbers().isEmpty());
    store.startStopwatch();
    store.recordLap();
    EXPECT_EQ(store.lapNumbers(), QList<qint64>{1}) << "a reset starts counting again";
    store.pauseStopwatch();
    store.recordLap();
    EXPECT_EQ(store.lapNumbers(), QList<qint64>{1}) << "no lap, and no number, while stopped";

    // A countdown paused with half a second left resumes from it, not from its full minutes;
    // an idle countdown shows no progress.
    store.setCountdown(1);
    EXPECT_EQ(store.countdownProgress(), 0.0);
    store.startCountdown();
    h.scheduler.advance(Seconds(15));
    EXPECT_NEAR(store.countdownProgress(), 0.25, 1e-9);
    h.clock.advance(Seconds(44.5));
    store.pauseCountdown();
    EXPECT_NEAR(store.countdownProgress(), 1 - 0.5 / 60, 1e-9) << "paused with half a second left";
    store.startCountdown();
    EXPECT_NEAR(store.countdownRemaining(), 0.5, 1e-9);
    store.resetCountdown();
    EXPECT_EQ(store.countdownProgress(), 0.0);
}

TEST(StopwatchStore, CountdownPauseResumeAndNewMinutes) {
    TimerHarness h;
    StopwatchStore& store = h.stopwatch();
    store.startCountdown();
    h.scheduler.advance(Seconds(12.34));
    store.pauseCountdown();
    h.scheduler.advance(Seconds(50));
    store.startCountdown();
    h.scheduler.advance(Seconds(17.6));
    EXPECT_NEAR(store.countdownRemaining(), 270.06, 1e-6) << "resumed from the remainder";
    EXPECT_NEAR(store.countdownProgress(), 0.0998, 1e-9);
    store.setCountdown(10);
    EXPECT_FALSE(store.isCountdownRunning());
    store.startCountdown();
    EXPECT_EQ(store.countdownRemaining(), 600.0);

    // No minutes: the alarm is silenced but nothing starts.
    store.resetCountdown();
    h.alarm.play(true);
    store.setCountdown(0);
    EXPECT_EQ(h.sounds.playingCount(), 1) << "choosing minutes leaves the alarm alone";
    store.startCountdown();
    EXPECT_EQ(h.sounds.playingCount(), 0);
    EXPECT_FALSE(store.isCountdownRunning());
}

TEST(StopwatchStore, CountdownExpiryOrderAndNoDrift) {
    TimerHarness h;
    StopwatchStore& store = h.stopwatch();
    store.setCountdown(1);
    h.watch(&store, &StopwatchStore::isCountdownRunningChanged, "isCountdownRunning");
    h.watch(&store, &StopwatchStore::countdownDidFinishChanged, "countdownDidFinish");
    store.startCountdown();
    h.clock.advance(Seconds(59.95)); // a stall, then the overdue ticks at once
    h.scheduler.runDue();
    EXPECT_NEAR(store.countdownRemaining(), 0.05, 1e-6);
    h.log.entries.clear();
    h.scheduler.advance(Seconds(0.1));
    EXPECT_EQ(h.log.entries, QStringList({"isCountdownRunning false", "countdownDidFinish true"}) + kExpiry);
    EXPECT_FALSE(store.isTicking());

    // Finished → running: a full countdown again, and the alarm falls silent.
    store.startCountdown();
    EXPECT_EQ(h.sounds.playingCount(), 0);
    EXPECT_EQ(store.countdownRemaining(), 60.0);
}

TEST(StopwatchStore, OneTickerWhileEitherClockRunsAndNoneAfterTheStore) {
    TimerHarness h;
    h.preferences.setInterfaceHapticsEnabled(false); // no delayed pulses among the scheduled work
    StopwatchStore& store = h.stopwatch();
    store.startStopwatch();
    store.startCountdown();
    EXPECT_EQ(h.scheduler.pendingCount(), 1u);
    store.pauseStopwatch();
    EXPECT_TRUE(store.isTicking());
    store.pauseCountdown();
    EXPECT_FALSE(store.isTicking());
    EXPECT_EQ(h.performer.count(), 0u) << "the controls haptic follows the interface setting";
    store.startCountdown();
    h.store.reset();
    EXPECT_EQ(h.scheduler.pendingCount(), 0u);
}

TEST(StopwatchStore, FormatsTimes) {
    const double inf = std::numeric_limits<double>::infinity();
    for (auto [seconds, hundredths, text] : {std::tuple{59.999, true, "0:59.99"},
                                             {65.5, false, "1:05"},
                                             {3725.0, true, "1:02:05"},
                                             {3599.0, false, "59:59"},
                                             {3600.0, true, "1:00:00"},
                                             {7200.0, false, "2:00:00"},
                                             {-3.0, false, "0:00"},
                                             {0.125, true, "0:00.13"},
                                             {std::nan(""), true, "0:00.00"},
                                             {inf, false, "0:00"},
                                             {-inf, false, "0:00"}})
        EXPECT_EQ(StopwatchStore::format(seconds, hundredths), text) << seconds;
    EXPECT_FALSE(StopwatchStore::format(1e300, false).isEmpty());
}
