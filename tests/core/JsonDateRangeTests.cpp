#include "core/JsonCoding.h"

#include <gtest/gtest.h>

using namespace vantrel;

TEST(JsonDateRange, DatesBeyondTheClocksRangeAreDecodingErrors) {
    EXPECT_EQ(decodeDate(QJsonValue(0.0)), WallTime(std::chrono::seconds(978307200)));
    EXPECT_EQ(encodeDate(decodeDate(QJsonValue(-978307200.5))).toDouble(), -978307200.5);
    for (double wild : {1e300, -1e300, -63114076800.0, 9.1e9})
        EXPECT_THROW(decodeDate(QJsonValue(wild)), JsonDecodingError) << wild;
}
