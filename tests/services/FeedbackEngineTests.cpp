#include "core/QAObserver.h"
#include "core/VantrelPreferences.h"
#include "platform/InMemoryDefaults.h"
#include "services/FeedbackEngine.h"
#include "support/FakeEventMonitors.h"
#include "support/FakeFileManager.h"
#include "support/ManualScheduler.h"
#include "support/RecordingHapticPerformer.h"
#include "support/TempHome.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

using namespace vantrel;
using namespace vantrel::test;

namespace {

using P = HapticFeedbackPattern;
using T = InputEventType;

class FeedbackEngineTest : public ::testing::Test {
protected:
    FeedbackEngineTest() {
        qa.setSession(QAObserver::Session{});
        preferences.setFeedbackEnabled(true);
        engine.setPreferences(&preferences);
    }

    QStringList records() const {
        QStringList messages;
        for (const QAObserver::Event& event : qa.session()->events) {
            EXPECT_EQ(event.category, QStringLiteral("haptic"));
            messages << event.message;
        }
        return messages;
    }
    std::vector<P> patterns() const {
        std::vector<P> out;
        for (const auto& pulse : performer.pulses()) out.push_back(pulse.pattern);
        return out;
    }
    // Milliseconds after the first pulse at which each pulse played.
    std::vector<long> offsets() const {
        std::vector<long> out;
        for (const auto& pulse : performer.pulses())
            out.push_back(long(std::lround(secondsBetween(performer.pulses().front().at, pulse.at) * 1000)));
        return out;
    }
    // Pulse requests played: each detent pattern starts with its one alignment pulse.
    int requests() const {
        const std::vector<P> played = patterns();
        return int(std::count(played.begin(), played.end(), P::alignment));
    }
    void advance(double seconds) { scheduler.advance(Seconds(seconds)); }
    void click() { monitors.post(T::leftMouseDown); }

    ManualClock clock;
    ManualScheduler scheduler{clock};
    FakeEventMonitors monitors;
    RecordingHapticPerformer performer{&clock};
    TempHome home;
    FakeFileManager files;
    QAObserver qa{clock, files, home.paths()};
    InMemoryDefaults defaults;
    VantrelPreferences preferences{defaults};
    FeedbackEngine engine{{monitors, performer, clock, scheduler, qa}};
};

TEST_F(FeedbackEngineTest, DefaultSettingsWatchOnlyScrollAndTriggersFollowTheirEntries) {
    EXPECT_EQ(preferences.feedbackTriggers(), (BoolMap{{"scroll", true}}));
    EXPECT_FALSE(engine.isListening());
    engine.start();
    EXPECT_TRUE(engine.isListening());
    ASSERT_EQ(monitors.count(), 2u) << "a global and a local scroll monitor";
    EXPECT_EQ(monitors.countWithMask(maskOf(T::scrollWheel)), 2u);

    // A second start while listening installs nothing more.
    engine.start();
    EXPECT_EQ(monitors.count(), 2u);

    // Trigger changes take effect through stop and start only.
    preferences.setFeedbackTrigger(FeedbackTrigger::click, true);
    preferences.setFeedbackTrigger(FeedbackTrigger::forceClick, true);
    preferences.setFeedbackTrigger(FeedbackTrigger::swipe, true);
    engine.start();
    EXPECT_EQ(monitors.count(), 2u);
    engine.stop();
    EXPECT_FALSE(engine.isListening());
    EXPECT_EQ(monitors.count(), 0u);
    EXPECT_EQ(monitors.removals, 2);
    engine.start();
    EXPECT_EQ(monitors.count(), 8u);
    EXPECT_EQ(monitors.countWithMask(T::leftMouseDown | T::rightMouseDown), 2u);
    EXPECT_EQ(monitors.countWithMask(T::pressure | T::leftMouseUp), 2u);
    EXPECT_EQ(monitors.countWithMask(T::magnify | T::swipe), 2u);
    engine.stop();

    // Scroll switched off with every other entry missing: nothing to watch.
    preferences.setFeedbackTriggers(BoolMap{{"scroll", false}});
    engine.start();
    EXPECT_EQ(monitors.count(), 0u);
    EXPECT_FALSE(engine.isListening());

    // Without settings, scroll is watched and nothing else.
    preferences.setFeedbackTriggers(BoolMap{{"scroll", true}, {"click", true}});
    engine.setPreferences(nullptr);
    engine.start();
    EXPECT_EQ(monitors.count(), 2u);
    EXPECT_EQ(monitors.countWithMask(maskOf(T::scrollWheel)), 2u);
    engine.stop();

    // A platform that refuses the local monitors: the global ones are kept and enough to listen.
    engine.setPreferences(&preferences);
    monitors.refuseLocal = true;
    engine.start();
    EXPECT_EQ(monitors.count(), 2u) << "global scroll and global click";
    EXPECT_TRUE(engine.isListening());
    engine.stop();
    monitors.refuseGlobal = true;
    engine.start();
    EXPECT_FALSE(engine.isListening()) << "every monitor refused";
}

TEST_F(FeedbackEngineTest, ScrollBelowTheThresholdIsIgnoredAndFastScrollsUseTheFastPattern) {
    engine.start();
    monitors.scroll(1.0, -0.7);
    EXPECT_EQ(performer.count(), 0u) << "|dx| + |dy| = 1.7";
    monitors.scroll(-0.8, 1.0);
    ASSERT_EQ(performer.count(), 1u) << "1.8 plays";
    EXPECT_DOUBLE_EQ(engine.lastVelocity(), 1.8);
    advance(1);
    // Detent at strength 0.5: alignment, then level change 32 ms later.
    EXPECT_EQ(patterns(), (std::vector<P>{P::alignment, P::levelChange}));
    EXPECT_EQ(offsets(), (std::vector<long>{0, 32}));
    EXPECT_EQ(engine.pulseCount(), 2);
    EXPECT_EQ(records(), (QStringList{"performed pulse=1 style=detent velocity=1",
                                      "performed pulse=2 style=detent velocity=1"}))
        << "scroll records only what it performed";

    // Above 24 points the fast form: its second pulse 20 ms later, and a gap of 20 + 24 ms.
    performer.clear();
    monitors.scroll(0, 25);
    advance(0.043);
    EXPECT_EQ(offsets(), (std::vector<long>{0, 20}));
    monitors.scroll(0, -25);
    EXPECT_EQ(requests(), 1) << "43 ms is inside the fast gap of 44 ms";
    advance(0.001);
    monitors.scroll(0, -25);
    EXPECT_EQ(requests(), 2) << "44 ms is enough";

    // Each event's own speed decides its gap: 50 ms is too early for a slow scroll (32 + 24 ms),
    // not for a fast one.
    advance(0.050);
    monitors.scroll(20, 0);
    EXPECT_EQ(requests(), 2);
    monitors.scroll(30, 0);
    EXPECT_EQ(requests(), 3);
    EXPECT_DOUBLE_EQ(engine.lastVelocity(), 30);
    advance(0.055);
    monitors.scroll(20, 0);
    EXPECT_EQ(requests(), 3);
    advance(0.001);
    monitors.scroll(20, 0);
    EXPECT_EQ(requests(), 4);
    advance(1);

    // Off, or without settings, scrolling plays nothing; an odd delta neither.
    const std::size_t before = performer.count();
    preferences.setFeedbackEnabled(false);
    monitors.scroll(0, 30);
    preferences.setFeedbackEnabled(true);
    monitors.scroll(std::nan(""), 30);
    engine.setPreferences(nullptr);
    monitors.scroll(0, 30);
    EXPECT_EQ(performer.count(), before);
}

TEST_F(FeedbackEngineTest, ClicksCloserThanTheGapAreRateLimitedAndDisabledClicksAreRecorded) {
    preferences.setFeedbackTrigger(FeedbackTrigger::click, true);
    preferences.setFeedbackStyle(HapticStyle::tick, FeedbackTrigger::click);
    engine.start();
    click();
    advance(0.020);
    monitors.post(T::rightMouseDown);
    EXPECT_EQ(records(),
              (QStringList{"requested trigger=click style=tick", "performed pulse=1 style=tick velocity=20",
                           "ignored trigger=click rate-limited"}));
    EXPECT_EQ(patterns(), (std::vector<P>{P::generic}));
    EXPECT_DOUBLE_EQ(engine.lastVelocity(), 20);

    // Tick's gap is the 40 ms floor.
    advance(0.020);
    click();
    EXPECT_EQ(performer.count(), 2u);

    // Off: a click that reaches the monitor is recorded as disabled and plays nothing.
    advance(1);
    qa.setSession(QAObserver::Session{});
    preferences.setFeedbackEnabled(false);
    click();
    preferences.setFeedbackEnabled(true);
    // The click entry switched off without a restart: the monitor stays, the click is disabled.
    preferences.setFeedbackTrigger(FeedbackTrigger::click, false);
    click();
    EXPECT_EQ(records(), (QStringList{"ignored trigger=click disabled", "ignored trigger=click disabled"}));
    EXPECT_EQ(performer.count(), 2u);
    // A left release is not a click.
    preferences.setFeedbackTrigger(FeedbackTrigger::click, true);
    monitors.send({T::leftMouseUp}, true);
    EXPECT_EQ(records().size(), 2);
}

TEST_F(FeedbackEngineTest, OneDeepPressGivesOnePulseUntilItIsReleased) {
    preferences.setFeedbackTrigger(FeedbackTrigger::forceClick, true);
    preferences.setFeedbackStyle(HapticStyle::feather, FeedbackTrigger::forceClick);
    engine.start();
    monitors.post(T::pressure, 1);
    EXPECT_EQ(performer.count(), 0u) << "stage 1 is an ordinary click";
    for (int i = 0; i < 10; ++i) {
        monitors.post(T::pressure, 2);
        advance(0.1);
    }
    EXPECT_EQ(performer.count(), 1u);
    monitors.post(T::leftMouseUp);
    monitors.post(T::pressure, 2);
    EXPECT_EQ(performer.count(), 2u) << "released and pressed again";
    monitors.post(T::pressure, 3);
    advance(0.1);
    monitors.post(T::pressure, 1);
    monitors.post(T::pressure, 2);
    EXPECT_EQ(performer.count(), 3u) << "a shallower stage also ends the press";
    EXPECT_EQ(records().first(), QStringLiteral("requested trigger=forceClick style=feather"));

    // Stopping forgets a press held across it.
    monitors.post(T::pressure, 2);
    engine.stop();
    engine.start();
    advance(0.1);
    monitors.post(T::pressure, 2);
    EXPECT_EQ(performer.count(), 4u);
}

TEST_F(FeedbackEngineTest, SwipesAndPinchesFireTheSwipeTriggerOncePerGap) {
    preferences.setFeedbackTrigger(FeedbackTrigger::swipe, true);
    engine.start();
    monitors.post(T::magnify);
    monitors.post(T::swipe);
    monitors.post(T::swipe);
    EXPECT_EQ(
        records(),
        (QStringList{"requested trigger=swipe style=detent", "performed pulse=1 style=detent velocity=20",
                     "ignored trigger=swipe rate-limited", "ignored trigger=swipe rate-limited"}));
    // Local events count as well.
    advance(0.056);
    monitors.send({T::swipe}, false);
    EXPECT_EQ(engine.pulseCount(), 3) << "the second pulse of the first pattern, then the new first";
}

TEST_F(FeedbackEngineTest, StopAndSwitchingOffDropThePendingPulsesButPreviewsPlayOn) {
    preferences.setFeedbackTrigger(FeedbackTrigger::click, true);
    preferences.setFeedbackStyle(HapticStyle::ratchet, FeedbackTrigger::click);
    engine.start();
    click();
    EXPECT_EQ(engine.pulseCount(), 1);
    engine.stop();
    advance(1);
    EXPECT_EQ(engine.pulseCount(), 1) << "the 40 and 82 ms pulses were dropped";
    EXPECT_EQ(patterns(), (std::vector<P>{P::generic}));

    engine.start();
    click();
    advance(0.040);
    EXPECT_EQ(engine.pulseCount(), 3);
    preferences.setFeedbackEnabled(false);
    advance(1);
    EXPECT_EQ(engine.pulseCount(), 3) << "switched off before the third pulse";

    // Switching the trigger off also drops what is pending.
    preferences.setFeedbackEnabled(true);
    click();
    preferences.setFeedbackTrigger(FeedbackTrigger::click, false);
    advance(1);
    EXPECT_EQ(engine.pulseCount(), 4);

    // A preview plays all its pulses while feedback is off.
    performer.clear();
    engine.preview(HapticStyle::ratchet);
    preferences.setFeedbackEnabled(false);
    advance(1);
    EXPECT_EQ(patterns(), (std::vector<P>{P::generic, P::generic, P::levelChange}));
    EXPECT_EQ(offsets(), (std::vector<long>{0, 40, 82}));
    EXPECT_EQ(engine.pulseCount(), 7);
    EXPECT_EQ(records().last(), QStringLiteral("performed pulse=7 style=ratchet velocity=20"));
    // A stop drops a preview's later pulses as well.
    engine.preview(HapticStyle::ratchet);
    engine.stop();
    advance(1);
    EXPECT_EQ(engine.pulseCount(), 8);
}

TEST_F(FeedbackEngineTest, PreviewsCloserThanThePreviewGapAreDroppedAndMoveThePulseClock) {
    engine.preview(HapticStyle::tick);
    EXPECT_EQ(engine.pulseCount(), 1);
    advance(0.050);
    engine.preview(HapticStyle::tick);
    EXPECT_EQ(engine.pulseCount(), 1) << "50 ms apart";
    // Tick's preview gap is the 85 ms floor; exactly that apart is still too close.
    advance(0.035);
    engine.preview(HapticStyle::tick);
    EXPECT_EQ(engine.pulseCount(), 1);
    advance(0.001);
    engine.preview(HapticStyle::tick);
    EXPECT_EQ(engine.pulseCount(), 2);

    // Ratchet lasts 82 ms: its preview gap is 82 + 24 ms.
    advance(1);
    engine.preview(HapticStyle::ratchet);
    advance(0.106);
    engine.preview(HapticStyle::ratchet);
    EXPECT_EQ(engine.pulseCount(), 5);
    advance(0.001);
    engine.preview(HapticStyle::ratchet);
    EXPECT_EQ(engine.pulseCount(), 6);

    // Without a style the chosen feedback style plays; a click right after a preview waits.
    advance(1);
    preferences.setFeedbackHapticStyle(HapticStyle::firm);
    preferences.setFeedbackTrigger(FeedbackTrigger::click, true);
    engine.start();
    qa.setSession(QAObserver::Session{});
    engine.preview();
    click();
    EXPECT_EQ(records(), (QStringList{"performed pulse=9 style=firm velocity=20",
                                      "ignored trigger=click rate-limited"}));

    // Without settings nothing plays, and nothing is throttled by it.
    advance(1);
    engine.setPreferences(nullptr);
    engine.preview();
    EXPECT_EQ(engine.pulseCount(), 11);
}

TEST_F(FeedbackEngineTest, StrengthShapesThePatternAndItsGap) {
    preferences.setFeedbackTrigger(FeedbackTrigger::click, true);
    preferences.setFeedbackStrength(0.1);
    engine.start();
    click();
    advance(0.039);
    click();
    advance(1);
    EXPECT_EQ(patterns(), (std::vector<P>{P::alignment})) << "below 0.2 one soft pulse, 40 ms gap";
    performer.clear();
    preferences.setFeedbackStrength(0.95);
    advance(1);
    click();
    advance(1);
    // The strongest band: four level changes, the last 32 + 55 + 55 ms in.
    EXPECT_EQ(patterns(), (std::vector<P>{P::levelChange, P::levelChange, P::levelChange, P::levelChange}));
    EXPECT_EQ(offsets(), (std::vector<long>{0, 32, 87, 142}));
}

TEST_F(FeedbackEngineTest, EventsAfterTheEngineIsGoneDoNothing) {
    auto other = std::make_unique<FeedbackEngine>(
        FeedbackEngine::Dependencies{monitors, performer, clock, scheduler, qa});
    other->setPreferences(&preferences);
    other->start();
    monitors.scroll(0, 10);
    ASSERT_EQ(performer.count(), 1u);
    other.reset();
    advance(1);
    monitors.scroll(0, 10);
    EXPECT_EQ(performer.count(), 1u) << "neither the pending pulse nor the new scroll";
}

} // namespace
