#include "core/JsonCoding.h"

#include <gtest/gtest.h>

using namespace vantrel;

TEST(JsonDateRange, DatesBeyondTheClocksRangeAreDecodingErrors) {
    EXPECT_EQ(decodeDate(QJsonValue(0.0)), WallTime(std::chrono::seconds(978307200)));
    EXPECT_EQ(encodeDate(decodeDate(QJsonValue(-978307200.5))).toDouble(), -978307200.5);
    for (double wild : {1e300, -1e300, -63114076800.0, 9.1e9})
        EXPECT_THROW(decodeDate(QJsonValue(wild)), JsonDecodingError) << wild;
    EXPECT_EQ(decodeIsoDate(QJsonValue(QStringLiteral("2026-01-05T09:00:00Z"))),
              WallTime(std::chrono::seconds(1767603600)));
    for (const char* far : {"1600-01-05T10:00:00Z", "9999-12-31T23:59:59Z", "not a date"})
        EXPECT_THROW(decodeIsoDate(QJsonValue(QString::fromLatin1(far))), JsonDecodingError) << far;
}
