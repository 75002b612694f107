#include "TimerHarness.h"

#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

TEST(AlarmController, DeliveryMatrix) {
    const struct {
        AlarmDelivery delivery;
        AlarmSound sound;
        bool repeating;
        bool haptic;
        const char* soundPlayed; // nullptr: no sound, not even looked up
    } cases[] = {
        {AlarmDelivery::sound, AlarmSound::glass, false, false, "Glass"},
        {AlarmDelivery::sound, AlarmSound::submarine, true, false, "Submarine"},
        {AlarmDelivery::sound, AlarmSound::none, true, false, nullptr},
        {AlarmDelivery::haptics, AlarmSound::ping, false, true, nullptr},
        {AlarmDelivery::haptics, AlarmSound::ping, true, true, nullptr},
        {AlarmDelivery::both, AlarmSound::hero, false, true, "Hero"},
        {AlarmDelivery::both, AlarmSound::purr, true, true, "Purr"},
        {AlarmDelivery::both, AlarmSound::none, true, true, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(rawValue(c.delivery).toStdString() + "/" + rawValue(c.sound).toStdString() +
                     (c.repeating ? "/repeating" : "/once"));
        TimerHarness h;
        h.preferences.setAlarmDelivery(c.delivery);
        h.preferences.setAlarmSound(c.sound);
        h.alarm.play(c.repeating);

        QStringList expected;
        if (c.haptic) expected << "haptic levelChange"; // the haptic comes first
        if (c.soundPlayed) expected << QString("sound ") + c.soundPlayed;
        EXPECT_EQ(h.log.entries, expected);
        EXPECT_EQ(h.scheduler.pendingCount(), c.haptic && c.repeating ? 1u : 0u) << "the repeating haptic";
        if (c.soundPlayed) {
            EXPECT_EQ(h.sounds.sounds.front()->loops, c.repeating);
            EXPECT_FLOAT_EQ(h.sounds.sounds.front()->volume, 0.75f);
        } else {
            EXPECT_TRUE(h.sounds.lookups.isEmpty());
        }
        h.alarm.dismiss();
        EXPECT_EQ(h.sounds.playingCount(), 0);
        EXPECT_EQ(h.scheduler.pendingCount(), 0u);
    }
}

TEST(AlarmController, RepeatingHapticEveryOnePointTwoFiveSecondsAndOneAlarmAtATime) {
    TimerHarness h;
    const MonoTime start = h.clock.monotonicNow();
    h.alarm.play(true);
    h.alarm.play(true);
    EXPECT_EQ(h.sounds.sounds.size(), 2u);
    EXPECT_EQ(h.sounds.playingCount(), 1) << "the second play silenced the first";
    h.scheduler.advance(Seconds(1.24));
    EXPECT_EQ(h.performer.count(), 2u);
    h.scheduler.advance(Seconds(3.76)); // to 5.0 s: one repeating timer, not two
    ASSERT_EQ(h.performer.count(), 6u);
    for (std::size_t i = 2; i < 6; ++i)
        EXPECT_NEAR(secondsBetween(start, h.performer.pulses()[i].at), 1.25 * double(i - 1), 1e-6);
    h.alarm.dismiss();
    h.alarm.dismiss();
    h.scheduler.advance(Seconds(10));
    EXPECT_EQ(h.performer.count(), 6u);
    EXPECT_EQ(h.sounds.playingCount(), 0);
}

TEST(AlarmController, VolumeIsClampedAndAMissingSoundLeavesTheHapticAlone) {
    for (auto [setting, expected] : {std::pair{1.4, 1.0f}, {-0.2, 0.0f}, {0.3, 0.3f}, {std::nan(""), 0.0f}}) {
        TimerHarness h;
        h.preferences.setAlarmVolume(setting);
        h.alarm.play(true);
        EXPECT_FLOAT_EQ(h.sounds.sounds.at(0)->volume, expected) << setting;
        EXPECT_TRUE(h.sounds.sounds.at(0)->playing) << "a silent sound still runs";
    }
    TimerHarness h; // a library without the sound, or a machine without audio
    h.sounds.silent = true;
    h.alarm.play(true);
    EXPECT_EQ(h.sounds.lookups, QStringList{"Glass"});
    h.scheduler.advance(Seconds(1.25));
    EXPECT_EQ(h.performer.count(), 2u);
}

TEST(NotificationSignalStore, KeepsTheNewest25WhileEnabled) {
    TimerHarness h;
    EXPECT_EQ(h.alerts.statusMessage(), "No Vantrel alerts are waiting.");
    h.alerts.recordVantrelEvent("Timer finished", true);
    EXPECT_EQ(h.alerts.statusMessage(), "Waiting: Timer finished");
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
    EXPECT_EQ(events.back().createdAt, h.clock.now());

    const WallTime last = h.clock.now();
    h.alerts.setPendingEvents({});
    EXPECT_EQ(h.alerts.statusMessage(), "No Vantrel alerts are waiting.");
    EXPECT_EQ(h.alerts.lastSignalAt(), last);

    h.preferences.setNotificationsEnabled(false);
    h.clock.advance(Seconds(5));
    h.alerts.recordVantrelEvent("Timer finished", true);
    EXPECT_TRUE(h.alerts.pendingEvents().empty());
    EXPECT_EQ(h.alerts.lastSignalAt(), last);
}
