#include "core/HapticPattern.h"
#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "support/ManualScheduler.h"
#include "support/RecordingHapticPerformer.h"
#include "support/RecordingUserDefaults.h"

#include <gtest/gtest.h>
#include <memory>

using namespace vantrel;
using namespace vantrel::test;

namespace {
constexpr HapticFeedbackPattern A = HapticFeedbackPattern::alignment, G = HapticFeedbackPattern::generic,
                                L = HapticFeedbackPattern::levelChange;

void expectPulses(const HapticPulseList& actual, const std::vector<HapticFeedbackPattern>& patterns,
                  const std::vector<double>& delays) {
    ASSERT_EQ(actual.size(), patterns.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].pattern, patterns[i]) << "pulse " << i;
        EXPECT_NEAR(actual[i].delay, delays[i], 1e-9) << "pulse " << i;
    }
}

struct HapticsHarness {
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingUserDefaults defaults;
    VantrelPreferences preferences{defaults};
    RecordingHapticPerformer performer{&clock};
    std::unique_ptr<VantrelHaptics> haptics =
        std::make_unique<VantrelHaptics>(preferences, performer, scheduler);

    // What one play of the surface performed, as a pulse list timed from the play.
    HapticPulseList played(HapticSurface surface) {
        const MonoTime start = clock.monotonicNow();
        const std::size_t from = performer.count();
        haptics->play(surface);
        scheduler.advance(Seconds(1));
        HapticPulseList out;
        for (std::size_t i = from; i < performer.count(); ++i)
            out.push_back({performer.pulses()[i].pattern, secondsBetween(start, performer.pulses()[i].at)});
        return out;
    }
};
} // namespace

TEST(HapticPattern, EveryStyleHasItsPulsesInBothVariants) {
    const struct {
        HapticStyle style;
        std::vector<HapticFeedbackPattern> patterns;
        std::vector<double> normal, fast;
    } rows[] = {
        {HapticStyle::feather, {A}, {0}, {0}},
        {HapticStyle::soft, {A, A}, {0, 0.068}, {0, 0.042}},
        {HapticStyle::tick, {G}, {0}, {0}},
        {HapticStyle::click, {G, L}, {0, 0.044}, {0, 0.026}},
        {HapticStyle::detent, {A, L}, {0, 0.032}, {0, 0.020}},
        {HapticStyle::doubleTap, {G, G}, {0, 0.095}, {0, 0.060}},
        {HapticStyle::ratchet, {G, G, L}, {0, 0.040, 0.082}, {0, 0.024, 0.050}},
        {HapticStyle::firm, {L, L, G}, {0, 0.065, 0.125}, {0, 0.040, 0.078}},
    };
    ASSERT_EQ(std::size(rows), allCasesOf<HapticStyle>().size());
    for (const auto& row : rows) {
        SCOPED_TRACE(rawValue(row.style).toStdString());
        expectPulses(HapticPattern::pulses(row.style, false), row.patterns, row.normal);
        expectPulses(HapticPattern::pulses(row.style, true), row.patterns, row.fast);
    }
}

TEST(HapticPattern, StrengthBandsStartAtTheirLowerEdges) {
    const HapticPulseList mixed = {{G, 0.0}, {A, 0.04}, {L, 0.08}};
    const struct {
        HapticPulseList input;
        std::vector<double> strengths;
        std::vector<HapticFeedbackPattern> patterns;
        std::vector<double> delays;
    } bands[] = {
        {mixed, {0.0, 0.1999999}, {A}, {0}},
        {mixed, {0.2, 0.3999999}, {A, A, G}, {0, 0.04, 0.08}},
        {mixed, {0.4, 0.6499999}, {G, A, L}, {0, 0.04, 0.08}},
        {mixed, {0.65, 0.8499999}, {L, G, L}, {0, 0.04, 0.08}}, // three pulses get no fourth here
        {mixed, {0.85, 1.0}, {L, L, L, L}, {0, 0.04, 0.08, 0.135}},
        {HapticPulseList(5, {G, 0.0}), {1.0}, {L, L, L, L, L}, {0, 0, 0, 0, 0}},
        {{}, {0.2, 0.8499}, {}, {}}, // empty lists stay empty until the strongest band
        {{}, {0.85}, {L, L, L, L}, {0.055, 0.110, 0.165, 0.220}},
    };
    for (const auto& band : bands)
        for (double s : band.strengths) {
            SCOPED_TRACE(s);
            expectPulses(HapticPattern::applyingStrength(band.input, s), band.patterns, band.delays);
        }
}

TEST(VantrelHaptics, PlaysTheSurfaceStyleAtTheChosenStrengthOnSchedule) {
    HapticsHarness h;
    h.preferences.setFeedbackStrength(0.7);
    expectPulses(h.played(HapticSurface::controls), {L, L, L}, {0, 0.044, 0.096}); // controls: click
    h.preferences.setInterfaceHapticStyles({{"notch", "firm"}, {"dock", "thud"}});
    h.preferences.setFeedbackStrength(0.9);
    expectPulses(h.played(HapticSurface::notch), {L, L, L, L}, {0, 0.065, 0.125, 0.180});
    h.preferences.setFeedbackStrength(0.19);
    expectPulses(h.played(HapticSurface::dock), {A}, {0}); // an unknown style falls back to tick
}

TEST(VantrelHaptics, SwitchedOffPlaysNothingAndSilencesDelayedPulses) {
    HapticsHarness h;
    h.preferences.setInterfaceHapticsEnabled(false);
    EXPECT_TRUE(h.played(HapticSurface::notch).empty());
    EXPECT_EQ(h.scheduler.pendingCount(), 0u);

    h.preferences.setInterfaceHapticsEnabled(true);
    h.preferences.setInterfaceHapticStyles({{"controls", "ratchet"}});
    h.haptics->play(HapticSurface::controls); // pulses at 0, 0.040, 0.082
    h.scheduler.advance(Seconds(0.05));
    h.preferences.setInterfaceHapticsEnabled(false);
    h.scheduler.advance(Seconds(1));
    EXPECT_EQ(h.performer.count(), 2u);

    // Delayed pulses that outlive the haptics do nothing.
    h.preferences.setInterfaceHapticsEnabled(true);
    h.haptics->play(HapticSurface::controls);
    h.haptics.reset();
    h.scheduler.advance(Seconds(1));
    EXPECT_EQ(h.performer.count(), 3u);
}
