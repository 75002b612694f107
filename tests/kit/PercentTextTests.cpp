#include "kit/PercentText.h"

#include <gtest/gtest.h>

#include <limits>

using vantrel::percentText;

TEST(PercentText, TruncatesTowardZeroAndRefusesWhatIsNoNumber) {
    EXPECT_EQ(percentText(0.55), "55%");
    EXPECT_EQ(percentText(0.29), "28%");
    EXPECT_EQ(percentText(0.429), "42%");
    EXPECT_EQ(percentText(0.75), "75%");
    EXPECT_EQ(percentText(0.0), "0%");
    EXPECT_EQ(percentText(1.0), "100%");
    EXPECT_EQ(percentText(-0.019), "-1%");
    EXPECT_EQ(percentText(12.5), "1250%");
    EXPECT_EQ(percentText(std::numeric_limits<double>::quiet_NaN()), "—");
    EXPECT_EQ(percentText(std::numeric_limits<double>::infinity()), "—");
    EXPECT_EQ(percentText(-std::numeric_limits<double>::infinity()), "—");
    EXPECT_EQ(percentText(1e300), "—");
    EXPECT_EQ(percentText(1e7), "—");
    EXPECT_EQ(percentText(9.9e6), "990000000%");
}
