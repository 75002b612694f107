#include "TimerHarness.h"
#include "modules/FocusTimer.h"

#include <gtest/gtest.h>
#include <memory>

using namespace vantrel;
using namespace vantrel::test;

namespace {
using Entry = RecordingUserDefaults::Entry;
const QString kKey = "timer.durationMinutes";
const QString kLegacy = "focus.minutes";

struct FocusHarness : TimerHarness {
    std::unique_ptr<FocusTimer> timer;
    FocusTimer& build() {
        defaults.clearJournal();
        timer = std::make_unique<FocusTimer>(defaults, timerAlarm(), clock, scheduler);
        return *timer;
    }
};
} // namespace

TEST(FocusTimer, DurationKeysFallBackAndTheCurrentKeyIsWrittenOnce) {
    const QJsonValue none(QJsonValue::Undefined);
    const struct {
        QJsonValue current, legacy;
        qint64 duration;
        bool writes;
    } cases[] = {
        {none, none, 25, true},
        {none, QJsonValue(40), 40, true},
        {QJsonValue(0), QJsonValue(-3), 25, true},
        {QJsonValue(180), QJsonValue(40), 180, false}, // long stored values are honoured
        // Damaged values too large to count in seconds stop at one year instead of overflowing.
        {QJsonValue(9.2e18), none, 525600, false},
        {none, QJsonValue(1e300), 525600, true},
    };
    for (const auto& c : cases) {
        FocusHarness h;
        if (!c.current.isUndefined()) h.defaults.seed(kKey, c.current);
        if (!c.legacy.isUndefined()) h.defaults.seed(kLegacy, c.legacy);
        FocusTimer& timer = h.build();
        SCOPED_TRACE(c.duration);
        EXPECT_EQ(timer.durationMinutes(), c.duration);
        EXPECT_EQ(timer.remainingSeconds(), c.duration * 60);
        const std::vector<Entry> written{{Entry::Kind::set, kKey, QJsonValue(c.duration)}};
        EXPECT_EQ(h.defaults.journal(), c.writes ? written : std::vector<Entry>{});
        EXPECT_EQ(h.defaults.object(kLegacy), c.legacy) << "the older key is never touched";
        timer.start(); // even a one-year run ticks without overflow
        h.scheduler.advance(Seconds(2));
        EXPECT_EQ(timer.remainingSeconds(), c.duration * 60 - 2);
    }
}

TEST(FocusTimer, UpdateDurationClampsPublishesThenStores) {
    FocusHarness h;
    FocusTimer& timer = h.build();
    qint64 storedWhenPublished = -1;
    QObject::connect(&timer, &FocusTimer::durationMinutesChanged,
                     [&](qint64) { storedWhenPublished = h.defaults.integer(kKey); });
    timer.updateDuration(0);
    EXPECT_EQ(timer.durationMinutes(), 1);
    EXPECT_EQ(storedWhenPublished, 25) << "observers hear of the change before it is stored";
    EXPECT_EQ(h.defaults.integer(kKey), 1);
    timer.updateDuration(500);
    EXPECT_EQ(h.defaults.integer(kKey), 120);
    EXPECT_EQ(timer.timeText(), "120:00");
}

TEST(FocusTimer, PauseResumeAndLateTicksCountFromTheWallClockEnd) {
    FocusHarness h;
    FocusTimer& timer = h.build();
    timer.start();
    h.clock.advance(Seconds(10.2));
    timer.pause();
    EXPECT_EQ(timer.remainingSeconds(), 1490); // 1489.8 taken up to the next whole second
    EXPECT_EQ(h.scheduler.pendingCount(), 0u) << "no ticker while paused";
    h.scheduler.advance(Seconds(300));
    EXPECT_EQ(timer.remainingSeconds(), 1490);

    timer.start();
    timer.start();
    EXPECT_EQ(h.scheduler.pendingCount(), 1u) << "a second start adds no ticker";
    // The event loop stalls, then every overdue tick arrives at once; later ticks come 0.4 s late.
    h.clock.advance(Seconds(37.3));
    h.scheduler.runDue();
    EXPECT_EQ(timer.remainingSeconds(), 1453); // 1452.7 left
    for (int i = 0; i < 40; ++i) {
        h.clock.advance(Seconds(1.4));
        h.scheduler.runDue();
    }
    EXPECT_EQ(timer.remainingSeconds(), 1397); // 1396.7 left
    EXPECT_EQ(timer.timeText(), "23:17");
    // The end comes exactly when the wall clock reaches it, however the ticks fall.
    h.clock.advance(Seconds(1396.69));
    h.scheduler.runDue();
    EXPECT_EQ(timer.remainingSeconds(), 1);
    EXPECT_FALSE(timer.hasFinished());
    h.scheduler.advance(Seconds(1));
    EXPECT_TRUE(timer.hasFinished());
}

TEST(FocusTimer, ExpiryStopsThenFinishesThenRingsThenAlerts) {
    FocusHarness h;
    h.defaults.seed(kKey, 1);
    h.preferences.setAlarmRepeats(true);
    FocusTimer& timer = h.build();
    h.watch(&timer, &FocusTimer::isRunningChanged, "isRunning");
    h.watch(&timer, &FocusTimer::hasFinishedChanged, "hasFinished");
    timer.start();
    h.log.entries.clear();
    h.scheduler.advance(Seconds(60));
    EXPECT_EQ(h.log.entries, (QStringList{"isRunning false", "hasFinished true", "haptic levelChange",
                                          "sound Glass", "alert Timer finished"}));
    EXPECT_EQ(timer.progress(), 1.0);
    EXPECT_EQ(timer.timeText(), "00:00");
    EXPECT_EQ(h.scheduler.pendingCount(), 1u) << "only the alarm's repeating haptic is left";
    EXPECT_TRUE(h.alerts.pendingEvents().at(0).isUrgent);

    // A finished timer does not start again until it is refilled; reset and start silence the alarm.
    timer.start();
    EXPECT_FALSE(timer.isRunning());
    EXPECT_EQ(h.sounds.playingCount(), 1);
    timer.reset();
    EXPECT_EQ(h.sounds.playingCount(), 0);
    EXPECT_FALSE(timer.hasFinished());
    EXPECT_EQ(timer.remainingSeconds(), 60);
    h.alarm.play(true);
    timer.start();
    EXPECT_EQ(h.sounds.playingCount(), 0);
    EXPECT_TRUE(timer.isRunning());

    // The ticker goes with the timer.
    h.timer.reset();
    EXPECT_EQ(h.scheduler.pendingCount(), 0u);
    h.scheduler.advance(Seconds(3600));
}

TEST(FocusTimer, ProgressStaysWithinZeroAndOne) {
    FocusHarness h;
    FocusTimer& timer = h.build();
    EXPECT_EQ(timer.progress(), 0.0);
    timer.start();
    h.scheduler.advance(Seconds(60));
    // A shorter duration during a run keeps the run's end; the fraction must not go negative.
    timer.updateDuration(1);
    EXPECT_EQ(timer.remainingSeconds(), 1440);
    EXPECT_EQ(timer.progress(), 0.0);
    // A wall clock set back during a run leaves more than the duration; still within range.
    timer.updateDuration(25);
    h.clock.setWallTime(addSeconds(h.clock.now(), Seconds(-600)));
    h.scheduler.advance(Seconds(1));
    EXPECT_GT(timer.remainingSeconds(), 1500);
    EXPECT_EQ(timer.progress(), 0.0);
}
