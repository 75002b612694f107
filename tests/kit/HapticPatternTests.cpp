#include "kit/HapticPattern.h"

#include <gtest/gtest.h>

using namespace vantrel;
using P = HapticFeedbackPattern;

namespace {
const HapticPulseList kMixed = {{P::generic, 0.0}, {P::alignment, 0.04}, {P::levelChange, 0.08}};
const HapticPulseList kTwo = {{P::generic, 0.0}, {P::levelChange, 0.044}};

void expectPulses(const HapticPulseList& actual, const HapticPulseList& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].pattern, expected[i].pattern) << "pulse " << i;
        EXPECT_NEAR(actual[i].delay, expected[i].delay, 1e-9) << "pulse " << i;
    }
}
} // namespace

TEST(HapticPatternStrength, EachBandStartsAtItsLowerEdge) {
    // Below 0.2 every list collapses to one alignment pulse.
    for (double s : {0.0, 0.1, 0.19, 0.1999999})
        expectPulses(HapticPattern::applyingStrength(kMixed, s), {{P::alignment, 0.0}});
    // 0.2 up to 0.4: same delays, softened patterns.
    const HapticPulseList soft = {{P::alignment, 0.0}, {P::alignment, 0.04}, {P::generic, 0.08}};
    for (double s : {0.2, 0.3, 0.3999999})
        expectPulses(HapticPattern::applyingStrength(kMixed, s), soft);
    // 0.4 up to 0.65: unchanged.
    for (double s : {0.4, 0.5, 0.6499999})
        expectPulses(HapticPattern::applyingStrength(kMixed, s), kMixed);
    // 0.65 up to 0.85: hardened, three pulses get no fourth.
    const HapticPulseList hard = {{P::levelChange, 0.0}, {P::generic, 0.04}, {P::levelChange, 0.08}};
    for (double s : {0.65, 0.75, 0.8499999})
        expectPulses(HapticPattern::applyingStrength(kMixed, s), hard);
    // 0.85 and above: all levelChange, padded to four at 0.055 steps.
    const HapticPulseList strongest = {
        {P::levelChange, 0.0}, {P::levelChange, 0.04}, {P::levelChange, 0.08}, {P::levelChange, 0.135}};
    for (double s : {0.85, 0.9, 1.0})
        expectPulses(HapticPattern::applyingStrength(kMixed, s), strongest);
}

TEST(HapticPatternStrength, ShortListsGainTrailingPulses) {
    expectPulses(HapticPattern::applyingStrength(kTwo, 0.7),
                 {{P::levelChange, 0.0}, {P::levelChange, 0.044}, {P::levelChange, 0.096}});
    expectPulses(HapticPattern::applyingStrength({{P::alignment, 0.0}}, 0.7),
                 {{P::generic, 0.0}, {P::levelChange, 0.052}});
    expectPulses(
        HapticPattern::applyingStrength({{P::alignment, 0.0}}, 0.9),
        {{P::levelChange, 0.0}, {P::levelChange, 0.055}, {P::levelChange, 0.110}, {P::levelChange, 0.165}});
    // Five pulses stay five at full strength.
    HapticPulseList five(5, {P::generic, 0.0});
    EXPECT_EQ(HapticPattern::applyingStrength(five, 1.0).size(), 5u);
}

TEST(HapticPatternStrength, EmptyListStaysEmptyUntilTheStrongestBand) {
    for (double s : {0.2, 0.5, 0.7, 0.8499})
        EXPECT_TRUE(HapticPattern::applyingStrength({}, s).empty()) << s;
    expectPulses(HapticPattern::applyingStrength({}, 0.1), {{P::alignment, 0.0}});
    expectPulses(
        HapticPattern::applyingStrength({}, 0.85),
        {{P::levelChange, 0.055}, {P::levelChange, 0.110}, {P::levelChange, 0.165}, {P::levelChange, 0.220}});
}
