#include "kit/HapticPattern.h"

#include <gtest/gtest.h>

using namespace vantrel;
using P = HapticFeedbackPattern;

namespace {
void expectPulses(const HapticPulseList& actual, const HapticPulseList& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].pattern, expected[i].pattern) << "pulse " << i;
        EXPECT_NEAR(actual[i].delay, expected[i].delay, 1e-9) << "pulse " << i;
    }
}
} // namespace

TEST(HapticPattern, EveryStyleHasItsPulsesInBothVariants) {
    const struct {
        HapticStyle style;
        HapticPulseList normal, fast;
    } rows[] = {
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
    for (const auto& row : rows) {
        SCOPED_TRACE(rawValue(row.style).toStdString());
        expectPulses(HapticPattern::pulses(row.style, false), row.normal);
        expectPulses(HapticPattern::pulses(row.style, true), row.fast);
    }
}

TEST(HapticPattern, StrengthBandsStartAtTheirLowerEdges) {
    const HapticPulseList mixed = {{P::generic, 0.0}, {P::alignment, 0.04}, {P::levelChange, 0.08}};
    const struct {
        std::vector<double> strengths;
        HapticPulseList expected;
    } bands[] = {
        {{0.0, 0.19, 0.1999999}, {{P::alignment, 0.0}}},
        {{0.2, 0.3999999}, {{P::alignment, 0.0}, {P::alignment, 0.04}, {P::generic, 0.08}}},
        {{0.4, 0.6499999}, mixed},
        // Three pulses get no fourth in this band.
        {{0.65, 0.8499999}, {{P::levelChange, 0.0}, {P::generic, 0.04}, {P::levelChange, 0.08}}},
        {{0.85, 1.0},
         {{P::levelChange, 0.0}, {P::levelChange, 0.04}, {P::levelChange, 0.08}, {P::levelChange, 0.135}}},
    };
    for (const auto& band : bands)
        for (double s : band.strengths) {
            SCOPED_TRACE(s);
            expectPulses(HapticPattern::applyingStrength(mixed, s), band.expected);
        }

    // Short lists gain trailing pulses; long ones keep their length; empty ones stay empty until
    // the strongest band.
    expectPulses(HapticPattern::applyingStrength(HapticPattern::pulses(HapticStyle::click, false), 0.7),
                 {{P::levelChange, 0}, {P::levelChange, 0.044}, {P::levelChange, 0.096}});
    expectPulses(
        HapticPattern::applyingStrength({{P::alignment, 0.0}}, 0.9),
        {{P::levelChange, 0}, {P::levelChange, 0.055}, {P::levelChange, 0.110}, {P::levelChange, 0.165}});
    EXPECT_EQ(HapticPattern::applyingStrength(HapticPulseList(5, {P::generic, 0.0}), 1.0).size(), 5u);
    for (double s : {0.2, 0.5, 0.8499})
        EXPECT_TRUE(HapticPattern::applyingStrength({}, s).empty()) << s;
    expectPulses(
        HapticPattern::applyingStrength({}, 0.85),
        {{P::levelChange, 0.055}, {P::levelChange, 0.110}, {P::levelChange, 0.165}, {P::levelChange, 0.220}});
}
