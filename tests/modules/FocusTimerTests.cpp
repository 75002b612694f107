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
    void build() {
        defaults.clearJournal();
        timer = std::make_unique<FocusTimer>(defaults, timerAlarm(), clock, scheduler);
    }
    // Records the timer's published changes on the shared call log.
    void watch() {
        QObject::connect(timer.get(), &FocusTimer::isRunningChanged,
                         [this](bool v) { log.add(QString("isRunning ") + (v ? "true" : "false")); });
        QObject::connect(timer.get(), &FocusTimer::hasFinishedChanged,
                         [this](bool v) { log.add(QString("hasFinished ") + (v ? "true" : "false")); });
    }
};
} // namespace

TEST(FocusTimer, DurationKeysFallBackAndTheCurrentKeyIsWrittenOnce) {
    struct Case {
        QJsonValue current, legacy;
        qint64 duration;
        bool writes;
    };
    const QJsonValue none(QJsonValue::Undefined);
    const Case cases[] = {
        {none, none, 25, true},
        {none, QJsonValue(40), 40, true},
        {QJsonValue(0), QJsonValue(-3), 25, true},
        {QJsonValue(180), QJsonValue(40), 180, false}, // long stored values are honoured
        {QJsonValue(50), QJsonValue(40), 50, false},
        // Damaged values too large to count in seconds stop at one year instead of overflowing.
        {QJsonValue(9.2e18), none, 525600, false},
        {none, QJsonValue(1e300), 525600, true},
    };
    for (const Case& c : cases) {
        FocusHarness h;
        if (!c.current.isUndefined()) h.defaults.seed(kKey, c.current);
        if (!c.legacy.isUndefined()) h.defaults.seed(kLegacy, c.legacy);
        h.build();
        SCOPED_TRACE(c.duration);
        EXPECT_EQ(h.timer->durationMinutes(), c.duration);
        EXPECT_EQ(h.timer->remainingSeconds(), c.duration * 60);
        EXPECT_FALSE(h.timer->isRunning());
        EXPECT_FALSE(h.timer->hasFinished());
        if (c.writes) {
            EXPECT_EQ(h.defaults.journal(),
                      (std::vector<Entry>{{Entry::Kind::set, kKey, QJsonValue(c.duration)}}));
        } else {
            EXPECT_TRUE(h.defaults.journal().empty());
        }
        EXPECT_EQ(h.defaults.object(kLegacy), c.legacy) << "the older key is never touched";
        // A one-year run still starts, ticks and pauses without overflow.
        h.timer->start();
        h.scheduler.advance(Seconds(2));
        EXPECT_EQ(h.timer->remainingSeconds(), c.duration * 60 - 2);
    }
}

TEST(FocusTimer, UpdateDurationClampsPublishesThenStores) {
    FocusHarness h;
    h.build();
    qint64 storedWhenPublished = -1;
    QObject::connect(h.timer.get(), &FocusTimer::durationMinutesChanged,
                     [&](qint64) { storedWhenPublished = h.defaults.integer(kKey); });
    h.timer->updateDuration(0);
    EXPECT_EQ(h.timer->durationMinutes(), 1);
    EXPECT_EQ(storedWhenPublished, 25) << "observers hear of the change before it is stored";
    EXPECT_EQ(h.defaults.integer(kKey), 1);
    EXPECT_EQ(h.timer->timeText(), "01:00");
    h.timer->updateDuration(500);
    EXPECT_EQ(h.timer->durationMinutes(), 120);
    EXPECT_EQ(h.defaults.integer(kKey), 120);
    EXPECT_EQ(h.timer->timeText(), "120:00");
    EXPECT_EQ(h.timer->remainingSeconds(), 7200);
}

TEST(FocusTimer, PauseAndResumeCountWholeSecondsFromTheWallClockEnd) {
    FocusHarness h;
    h.build();
    h.timer->start();
    EXPECT_TRUE(h.timer->isRunning());
    EXPECT_EQ(h.scheduler.pendingCount(), 1u);
    h.clock.advance(Seconds(10.2));
    h.timer->pause();
    EXPECT_EQ(h.timer->remainingSeconds(), 1490);
    EXPECT_FALSE(h.timer->isRunning());
    EXPECT_EQ(h.scheduler.pendingCount(), 0u) << "no ticker while paused";
    EXPECT_NEAR(h.timer->progress(), 10.0 / 1500, 1e-12);

    h.scheduler.advance(Seconds(300)); // paused time does not count
    EXPECT_EQ(h.timer->remainingSeconds(), 1490);
    h.timer->start();
    h.scheduler.advance(Seconds(90.5));
    EXPECT_EQ(h.timer->remainingSeconds(), 1400); // 1399.5 shows as 1400
    EXPECT_EQ(h.timer->timeText(), "23:20");
}

TEST(FocusTimer, LateAndCoalescedTicksNeverDrift) {
    FocusHarness h;
    h.defaults.seed(kKey, 2);
    h.build();
    h.timer->start();
    // The event loop stalls for 37.3 seconds, then every overdue tick arrives at once.
    h.clock.advance(Seconds(37.3));
    h.scheduler.runDue();
    EXPECT_EQ(h.timer->remainingSeconds(), 83); // 82.7 left
    // Ticks arriving 0.4 s late each time.
    for (int i = 0; i < 40; ++i) {
        h.clock.advance(Seconds(1.4));
        h.scheduler.runDue();
    }
    EXPECT_EQ(h.timer->remainingSeconds(), 27); // 120 - 37.3 - 56 = 26.7
    EXPECT_TRUE(h.timer->isRunning());
    // The end comes exactly at two minutes, however the ticks fall.
    h.clock.advance(Seconds(26.69));
    h.scheduler.runDue();
    EXPECT_EQ(h.timer->remainingSeconds(), 1);
    EXPECT_FALSE(h.timer->hasFinished());
    h.scheduler.advance(Seconds(1));
    EXPECT_TRUE(h.timer->hasFinished());
    EXPECT_EQ(h.timer->remainingSeconds(), 0);
}

TEST(FocusTimer, ExpiryStopsThenFinishesThenRingsThenAlerts) {
    FocusHarness h;
    h.defaults.seed(kKey, 1);
    h.preferences.setAlarmRepeats(true);
    h.build();
    h.watch();
    h.timer->start();
    h.log.entries.clear();
    h.scheduler.advance(Seconds(60));
    EXPECT_EQ(h.log.entries, (QStringList{"isRunning false", "hasFinished true", "haptic levelChange",
                                          "sound Glass", "alert Timer finished"}));
    EXPECT_EQ(h.timer->progress(), 1.0);
    EXPECT_EQ(h.timer->timeText(), "00:00");
    EXPECT_EQ(h.scheduler.pendingCount(), 1u) << "only the alarm's repeating haptic is left";
    ASSERT_EQ(h.alerts.pendingEvents().size(), 1u);
    EXPECT_TRUE(h.alerts.pendingEvents()[0].isUrgent);

    // A finished timer does not start again until it is refilled; reset silences the alarm.
    h.timer->start();
    EXPECT_FALSE(h.timer->isRunning());
    EXPECT_EQ(h.sounds.playingCount(), 1);
    h.timer->reset();
    EXPECT_EQ(h.sounds.playingCount(), 0);
    EXPECT_EQ(h.scheduler.pendingCount(), 0u);
    EXPECT_FALSE(h.timer->hasFinished());
    EXPECT_EQ(h.timer->remainingSeconds(), 60);

    // Starting again also silences a sounding alarm.
    h.alarm.play(true);
    h.timer->start();
    EXPECT_EQ(h.sounds.playingCount(), 0);
    EXPECT_TRUE(h.timer->isRunning());
}

TEST(FocusTimer, ProgressStaysWithinZeroAndOne) {
    FocusHarness h;
    h.build();
    EXPECT_EQ(h.timer->progress(), 0.0);
    h.timer->start();
    h.scheduler.advance(Seconds(60));
    // A shorter duration during a run keeps the run's end; the fraction must not go negative.
    h.timer->updateDuration(1);
    EXPECT_TRUE(h.timer->isRunning());
    EXPECT_EQ(h.timer->remainingSeconds(), 1440);
    EXPECT_EQ(h.timer->progress(), 0.0);
    // A wall clock set back during a run leaves more than the duration; still within range.
    h.timer->updateDuration(25);
    h.clock.setWallTime(addSeconds(h.clock.now(), Seconds(-600)));
    h.scheduler.advance(Seconds(1));
    EXPECT_GT(h.timer->remainingSeconds(), 1500);
    EXPECT_EQ(h.timer->progress(), 0.0);
}

TEST(FocusTimer, TheTickerLivesOnlyWhileRunningAndNotBeyondTheTimer) {
    FocusHarness h;
    h.build();
    h.timer->start();
    h.timer->start();
    EXPECT_EQ(h.scheduler.pendingCount(), 1u) << "a second start adds no ticker";
    h.timer.reset();
    EXPECT_EQ(h.scheduler.pendingCount(), 0u);
    h.scheduler.advance(Seconds(3600)); // nothing left to call into the destroyed timer
    EXPECT_TRUE(h.log.entries.isEmpty());
}
