#include "core/VantrelPreferences.h"
#include "kit/VantrelHaptics.h"
#include "support/ManualScheduler.h"
#include "support/RecordingHapticPerformer.h"
#include "support/RecordingUserDefaults.h"

#include <gtest/gtest.h>
#include <memory>

using namespace vantrel;
using namespace vantrel::test;
using P = HapticFeedbackPattern;

namespace {
struct HapticsHarness {
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingUserDefaults defaults;
    VantrelPreferences preferences{defaults};
    RecordingHapticPerformer performer{&clock};
    std::unique_ptr<VantrelHaptics> haptics =
        std::make_unique<VantrelHaptics>(preferences, performer, scheduler);
};
} // namespace

TEST(VantrelHaptics, PlaysTheSurfaceStyleAtTheChosenStrengthOnSchedule) {
    const struct {
        HapticSurface surface;
        StringMap styles;
        double strength;
        P pattern; // of every pulse
        std::vector<double> delays;
    } cases[] = {
        {HapticSurface::notch, {{"notch", "firm"}}, 0.9, P::levelChange, {0, 0.065, 0.125, 0.180}},
        {HapticSurface::controls, {}, 0.7, P::levelChange, {0, 0.044, 0.096}}, // controls default to click
        // A stored style that names none falls back to the dock's tick.
        {HapticSurface::dock, {{"dock", "thud"}}, 0.19, P::alignment, {0}},
    };
    for (const auto& c : cases) {
        HapticsHarness h;
        const MonoTime start = h.clock.monotonicNow();
        h.preferences.setInterfaceHapticStyles(c.styles);
        h.preferences.setFeedbackStrength(c.strength);
        h.haptics->play(c.surface);
        EXPECT_EQ(h.performer.count(), 1u) << "only the first pulse plays at once";
        h.scheduler.advance(Seconds(1));
        ASSERT_EQ(h.performer.count(), c.delays.size());
        for (std::size_t i = 0; i < c.delays.size(); ++i) {
            EXPECT_EQ(h.performer.pulses()[i].pattern, c.pattern) << i;
            EXPECT_NEAR(secondsBetween(start, h.performer.pulses()[i].at), c.delays[i], 1e-6) << i;
        }
    }
}

TEST(VantrelHaptics, SwitchedOffPlaysNothingAndSilencesDelayedPulses) {
    HapticsHarness h;
    h.preferences.setInterfaceHapticsEnabled(false);
    h.haptics->play(HapticSurface::notch);
    EXPECT_EQ(h.performer.count(), 0u);
    EXPECT_EQ(h.scheduler.pendingCount(), 0u);

    h.preferences.setInterfaceHapticsEnabled(true);
    h.preferences.setInterfaceHapticStyles({{"controls", "ratchet"}});
    h.haptics->play(HapticSurface::controls); // pulses at 0, 0.040, 0.082
    h.scheduler.advance(Seconds(0.05));
    EXPECT_EQ(h.performer.count(), 2u);
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
