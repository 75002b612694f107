#include "TimerHarness.h"

#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {
struct Case {
    AlarmDelivery delivery;
    AlarmSound sound;
    bool repeating;
    int hapticsAtOnce;
    bool repeatsHaptic;
    const char* soundPlayed; // nullptr: no sound
};
} // namespace

TEST(AlarmController, DeliveryMatrix) {
    const Case cases[] = {
        {AlarmDelivery::sound, AlarmSound::glass, false, 0, false, "Glass"},
        {AlarmDelivery::sound, AlarmSound::submarine, true, 0, false, "Submarine"},
        {AlarmDelivery::sound, AlarmSound::none, false, 0, false, nullptr},
        {AlarmDelivery::sound, AlarmSound::none, true, 0, false, nullptr},
        {AlarmDelivery::haptics, AlarmSound::ping, false, 1, false, nullptr},
        {AlarmDelivery::haptics, AlarmSound::ping, true, 1, true, nullptr},
        {AlarmDelivery::both, AlarmSound::hero, false, 1, false, "Hero"},
        {AlarmDelivery::both, AlarmSound::purr, true, 1, true, "Purr"},
        {AlarmDelivery::both, AlarmSound::none, false, 1, false, nullptr},
        {AlarmDelivery::both, AlarmSound::none, true, 1, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(rawValue(c.delivery).toStdString() + "/" + rawValue(c.sound).toStdString() +
                     (c.repeating ? "/repeating" : "/once"));
        TimerHarness h;
        h.preferences.setAlarmDelivery(c.delivery);
        h.preferences.setAlarmSound(c.sound);
        h.alarm.play(c.repeating);

        EXPECT_EQ(int(h.performer.count()), c.hapticsAtOnce);
        EXPECT_EQ(h.scheduler.pendingCount(), c.repeatsHaptic ? 1u : 0u);
        if (c.soundPlayed) {
            ASSERT_EQ(h.sounds.sounds().size(), 1u);
            const auto& sound = *h.sounds.sounds().front();
            EXPECT_EQ(sound.name, c.soundPlayed);
            EXPECT_TRUE(sound.playing);
            EXPECT_EQ(sound.loops, c.repeating);
            EXPECT_FLOAT_EQ(sound.volume, 0.75f);
            // The haptic comes before the sound.
            if (c.hapticsAtOnce) {
                EXPECT_EQ(h.log.entries,
                          (QStringList{"haptic levelChange", QString("sound ") + c.soundPlayed}));
            }
        } else {
            EXPECT_TRUE(h.sounds.lookups().isEmpty()) << "no sound is even looked up";
        }
        h.alarm.dismiss();
        EXPECT_EQ(h.sounds.playingCount(), 0);
        EXPECT_EQ(h.scheduler.pendingCount(), 0u);
    }
}

TEST(AlarmController, RepeatingHapticEveryOnePointTwoFiveSecondsUntilDismissed) {
    TimerHarness h;
    h.preferences.setAlarmDelivery(AlarmDelivery::haptics);
    const MonoTime start = h.clock.monotonicNow();
    h.alarm.play(true);
    h.scheduler.advance(Seconds(1.24));
    EXPECT_EQ(h.performer.count(), 1u);
    h.scheduler.advance(Seconds(3.76)); // to 5.0 s
    ASSERT_EQ(h.performer.count(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_NEAR(secondsBetween(start, h.performer.pulses()[i].at), 1.25 * double(i), 1e-6);
        EXPECT_EQ(h.performer.pulses()[i].pattern, HapticFeedbackPattern::levelChange);
    }
    h.alarm.dismiss();
    h.alarm.dismiss();
    h.scheduler.advance(Seconds(10));
    EXPECT_EQ(h.performer.count(), 5u);
}

TEST(AlarmController, ASecondPlayLeavesOneAlarmAndDismissStopsEverything) {
    TimerHarness h;
    h.alarm.play(true);
    h.alarm.play(true);
    ASSERT_EQ(h.sounds.sounds().size(), 2u);
    EXPECT_FALSE(h.sounds.sounds()[0]->playing);
    EXPECT_TRUE(h.sounds.sounds()[0]->destroyed);
    EXPECT_EQ(h.sounds.playingCount(), 1);
    EXPECT_EQ(h.scheduler.pendingCount(), 1u);
    h.scheduler.advance(Seconds(1.25));
    EXPECT_EQ(h.performer.count(), 3u) << "two at once, then one repeating timer";

    h.alarm.dismiss();
    EXPECT_EQ(h.sounds.playingCount(), 0);
    EXPECT_EQ(h.sounds.sounds()[1]->stopCount, 1);
    h.scheduler.advance(Seconds(5));
    EXPECT_EQ(h.performer.count(), 3u);
}

TEST(AlarmController, VolumeIsClampedAndAnUnknownSoundLeavesTheHapticAlone) {
    for (auto [setting, expected] : {std::pair{1.4, 1.0f}, {-0.2, 0.0f}, {0.3, 0.3f}, {std::nan(""), 0.0f}}) {
        TimerHarness h;
        h.preferences.setAlarmVolume(setting);
        h.alarm.play(true);
        ASSERT_EQ(h.sounds.sounds().size(), 1u);
        EXPECT_FLOAT_EQ(h.sounds.sounds()[0]->volume, expected) << setting;
        EXPECT_TRUE(h.sounds.sounds()[0]->loops) << "a silent sound still runs";
    }
    // A library without the sound (or a machine without audio): silence, no error, haptics still play.
    ManualClock clock;
    ManualScheduler scheduler(clock);
    RecordingUserDefaults defaults;
    VantrelPreferences preferences(defaults);
    RecordingHapticPerformer performer;
    RecordingSoundPlayer empty({});
    AlarmController alarm(preferences, performer, empty, scheduler);
    alarm.play(true);
    EXPECT_EQ(empty.lookups(), QStringList{"Glass"});
    EXPECT_EQ(performer.count(), 1u);
    scheduler.advance(Seconds(1.25));
    EXPECT_EQ(performer.count(), 2u);
}

TEST(NotificationSignalStore, KeepsTheNewest25WhileEnabled) {
    TimerHarness h;
    EXPECT_EQ(h.alerts.statusMessage(), "No Vantrel alerts are waiting.");
    h.alerts.recordVantrelEvent("Timer finished", true);
    EXPECT_EQ(h.alerts.statusMessage(), "Waiting: Timer finished");
    const WallTime first = h.clock.now();
    EXPECT_EQ(h.alerts.lastSignalAt(), first);
    h.alerts.recordVantrelEvent("Second", false);
    EXPECT_EQ(h.alerts.statusMessage(), "Waiting: 2 Vantrel alerts");

    for (int i = 3; i <= 30; ++i) {
        h.clock.advance(Seconds(1));
        h.alerts.recordVantrelEvent(QString::number(i), false);
    }
    const auto& events = h.alerts.pendingEvents();
    ASSERT_EQ(events.size(), 25u);
    EXPECT_EQ(events.front().title, "6");
    EXPECT_EQ(events.back().title, "30");
    EXPECT_NE(events.front().id, events.back().id);
    EXPECT_EQ(events.back().source, SignalEventSource::timer);
    EXPECT_LT(events.front().createdAt, events.back().createdAt);
    EXPECT_EQ(h.alerts.statusMessage(), "Waiting: 25 Vantrel alerts");

    const WallTime last = h.clock.now();
    h.alerts.setPendingEvents({});
    EXPECT_EQ(h.alerts.statusMessage(), "No Vantrel alerts are waiting.");
    EXPECT_EQ(h.alerts.lastSignalAt(), last);
}

TEST(NotificationSignalStore, RecordsNothingWhileDisabled) {
    TimerHarness h;
    h.alerts.recordVantrelEvent("Before", true);
    const auto before = h.alerts.pendingEvents();
    const auto lastAt = h.alerts.lastSignalAt();
    h.preferences.setNotificationsEnabled(false);
    h.clock.advance(Seconds(5));
    h.alerts.recordVantrelEvent("Timer finished", true);
    EXPECT_EQ(h.alerts.pendingEvents(), before);
    EXPECT_EQ(h.alerts.lastSignalAt(), lastAt);
}
