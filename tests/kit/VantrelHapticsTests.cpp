#include "core/VantrelPreferences.h"
#include "kit/HapticPattern.h"
#include "kit/VantrelHaptics.h"
#include "support/ManualScheduler.h"
#include "support/RecordingHapticPerformer.h"
#include "support/RecordingUserDefaults.h"

#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;
using P = HapticFeedbackPattern;

TEST(HapticPattern, EveryStyleHasItsPulsesInBothVariants) {
    struct Row {
        HapticStyle style;
        HapticPulseList normal;
        HapticPulseList fast;
    };
    const Row rows[] = {
        {HapticStyle::feather, {{P::alignment, 0}}, {{P::alignment, 0}}},
        {HapticStyle::soft,
         {{P::alignment, 0}, {P::alignment, 0.068}},
         {{P::alignment, 0}, {P::alignment, 0.042}}},
        {HapticStyle::tick, {{P::generic, 0}}, {{P::generic, 0}}},
        {HapticStyle::click,
         {{P::generic, 0}, {P::levelChange, 0.044}},
         {{P::generic, 0}, {P::levelChange, 0.026}}},
        {HapticStyle::detent,
         {{P::alignment, 0}, {P::levelChange, 0.032}},
         {{P::alignment, 0}, {P::levelChange, 0.020}}},
        {HapticStyle::doubleTap,
         {{P::generic, 0}, {P::generic, 0.095}},
         {{P::generic, 0}, {P::generic, 0.060}}},
        {HapticStyle::ratchet,
         {{P::generic, 0}, {P::generic, 0.040}, {P::levelChange, 0.082}},
         {{P::generic, 0}, {P::generic, 0.024}, {P::levelChange, 0.050}}},
        {HapticStyle::firm,
         {{P::levelChange, 0}, {P::levelChange, 0.065}, {P::generic, 0.125}},
         {{P::levelChange, 0}, {P::levelChange, 0.040}, {P::generic, 0.078}}},
    };
    ASSERT_EQ(std::size(rows), allCasesOf<HapticStyle>().size());
    for (const Row& row : rows) {
        EXPECT_EQ(HapticPattern::pulses(row.style, false), row.normal) << rawValue(row.style).toStdString();
        EXPECT_EQ(HapticPattern::pulses(row.style, true), row.fast) << rawValue(row.style).toStdString();
    }
    // Ratchet at 0.7 keeps three pulses, all levelChange.
    EXPECT_EQ(HapticPattern::applyingStrength(HapticPattern::pulses(HapticStyle::ratchet, false), 0.7),
              (HapticPulseList{{P::levelChange, 0}, {P::levelChange, 0.040}, {P::levelChange, 0.082}}));
}

namespace {
struct HapticsHarness {
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingUserDefaults defaults;
    VantrelPreferences preferences{defaults};
    RecordingHapticPerformer performer{&clock};
    VantrelHaptics haptics{preferences, performer, scheduler};
    MonoTime start = clock.monotonicNow();

    std::vector<std::pair<P, double>> played() const {
        std::vector<std::pair<P, double>> out;
        for (const auto& p : performer.pulses())
            out.emplace_back(p.pattern, secondsBetween(start, p.at));
        return out;
    }
};

void expectPlayed(const std::vector<std::pair<P, double>>& actual, const HapticPulseList& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].first, expected[i].pattern) << i;
        EXPECT_NEAR(actual[i].second, expected[i].delay, 1e-6) << i;
    }
}
} // namespace

TEST(VantrelHaptics, PlaysTheSurfaceStyleAtTheChosenStrengthOnSchedule) {
    {
        HapticsHarness h; // the firm style at 0.9: four levelChange pulses
        h.preferences.setInterfaceHapticStyles({{"notch", "firm"}});
        h.preferences.setFeedbackStrength(0.9);
        h.haptics.play(HapticSurface::notch);
        EXPECT_EQ(h.performer.count(), 1u) << "only the first pulse plays at once";
        h.scheduler.advance(Seconds(1));
        expectPlayed(
            h.played(),
            {{P::levelChange, 0}, {P::levelChange, 0.065}, {P::levelChange, 0.125}, {P::levelChange, 0.180}});
    }
    {
        HapticsHarness h; // controls default to click; 0.7 hardens and extends it
        h.preferences.setFeedbackStrength(0.7);
        h.haptics.play(HapticSurface::controls);
        h.scheduler.advance(Seconds(1));
        expectPlayed(h.played(), {{P::levelChange, 0}, {P::levelChange, 0.044}, {P::levelChange, 0.096}});
    }
    {
        HapticsHarness h; // a stored style that names none falls back to the dock's tick
        h.preferences.setInterfaceHapticStyles({{"dock", "thud"}});
        h.preferences.setFeedbackStrength(0.19);
        h.haptics.play(HapticSurface::dock);
        h.scheduler.advance(Seconds(1));
        expectPlayed(h.played(), {{P::alignment, 0}});
    }
}

TEST(VantrelHaptics, SwitchedOffPlaysNothingAndSilencesDelayedPulses) {
    HapticsHarness h;
    h.preferences.setInterfaceHapticsEnabled(false);
    h.haptics.play(HapticSurface::notch);
    EXPECT_EQ(h.performer.count(), 0u);
    EXPECT_EQ(h.scheduler.pendingCount(), 0u);

    h.preferences.setInterfaceHapticsEnabled(true);
    h.preferences.setInterfaceHapticStyles({{"controls", "ratchet"}});
    h.haptics.play(HapticSurface::controls); // pulses at 0, 0.040, 0.082
    h.scheduler.advance(Seconds(0.05));
    EXPECT_EQ(h.performer.count(), 2u);
    h.preferences.setInterfaceHapticsEnabled(false);
    h.scheduler.advance(Seconds(1));
    EXPECT_EQ(h.performer.count(), 2u);
}

TEST(VantrelHaptics, DelayedPulsesOutlivingTheHapticsDoNothing) {
    ManualClock clock;
    ManualScheduler scheduler(clock);
    RecordingUserDefaults defaults;
    VantrelPreferences preferences(defaults);
    RecordingHapticPerformer performer;
    auto haptics = std::make_unique<VantrelHaptics>(preferences, performer, scheduler);
    haptics->play(HapticSurface::notch); // detent: a second pulse after 0.032 s
    haptics.reset();
    scheduler.advance(Seconds(1));
    EXPECT_EQ(performer.count(), 1u);
}
