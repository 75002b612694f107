#include "platform/Clock.h"

#include <gtest/gtest.h>

using namespace vantrel;

TEST(Clock, QtTimesOutsideTheClocksRangeAreRefused) {
    const auto at = [](const char* iso) {
        return fromQDateTime(QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODateWithMs));
    };
    EXPECT_EQ(at("1678-01-01T00:00:00Z"), WallTime(std::chrono::seconds(-9214560000)));
    EXPECT_EQ(at("2261-12-31T00:00:00Z"), WallTime(std::chrono::seconds(9214560000)));
    // The first and last milliseconds the clock can count, and the ones beyond them.
    EXPECT_TRUE(at("1677-09-21T00:12:43.146Z"));
    EXPECT_FALSE(at("1677-09-21T00:12:43.145Z"));
    EXPECT_TRUE(at("2262-04-11T23:47:16.854Z"));
    EXPECT_FALSE(at("2262-04-11T23:47:16.855Z"));
    for (const char* far : {"1604-01-05T00:00:00Z", "1600-01-01T00:00:00Z", "9999-12-31T23:59:59Z"})
        EXPECT_EQ(at(far), std::nullopt) << far;
    EXPECT_EQ(fromQDateTime(QDateTime()), std::nullopt);
    // Every point of the clock converts to Qt and back unchanged, to the millisecond.
    const WallTime early(std::chrono::milliseconds(-9'223'372'036'854));
    EXPECT_EQ(fromQDateTime(toQDateTime(early)), early);
}
