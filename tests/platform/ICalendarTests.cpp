#include "platform/linux/ICalendar.h"

#include "support/UtcTime.h"

#include <QDateTime>
#include <QFile>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

QByteArray fixture(const char* name) {
    QFile file(QStringLiteral(VANTREL_TEST_DATA_DIR "/calendars/") + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

const QTimeZone kTokyo("Asia/Tokyo");

} // namespace

TEST(ICalendar, ReadsUtcZonedAllDayDurationAndFoldedEvents) {
    const auto result = parseICalendar(fixture("work.ics"), kTokyo);
    ASSERT_TRUE(result.calendar) << result.error.toStdString();
    EXPECT_TRUE(result.error.isEmpty());
    const auto& events = result.calendar->events;
    ASSERT_EQ(events.size(), 4u);

    EXPECT_EQ(events[0].identifier, QStringLiteral("standup-1@example.com"));
    EXPECT_EQ(events[0].title, QStringLiteral("Stand-up")) << "the alarm's summary is not the event's";
    EXPECT_EQ(events[0].startDate, utc("2026-01-05T08:30:00Z"));
    EXPECT_EQ(events[0].endDate, utc("2026-01-05T08:45:00Z"));
    EXPECT_FALSE(events[0].isAllDay);

    // A named zone keeps its daylight-saving rules: 10:00 in Berlin in July is 08:00 UTC.
    EXPECT_EQ(
        events[1].title,
        QStringLiteral(
            "Quarterly review, planning; budget and a very long title that is folded across two lines"));
    EXPECT_EQ(events[1].startDate, utc("2026-07-06T08:00:00Z"));
    EXPECT_EQ(events[1].endDate, utc("2026-07-06T09:30:00Z"));

    // Dates are days of the local zone; the end date is exclusive.
    EXPECT_TRUE(events[2].isAllDay);
    EXPECT_EQ(events[2].startDate, utc("2026-01-04T15:00:00Z"));
    EXPECT_EQ(events[2].endDate, utc("2026-01-06T15:00:00Z"));

    EXPECT_EQ(events[3].identifier, std::nullopt);
    EXPECT_EQ(events[3].title, std::nullopt);
    EXPECT_EQ(events[3].endDate, utc("2026-01-05T15:30:00Z"));

    // #RRGGBBAA from the vendor property, carried by every event.
    const std::vector<double> pink{1.0, 0x29 / 255.0, 0x68 / 255.0, 1.0};
    EXPECT_EQ(result.calendar->color, pink);
    EXPECT_EQ(events[2].calendarColor, pink);
}

TEST(ICalendar, OffsetZonesFloatingTimesAndNamedColours) {
    const auto result = parseICalendar(fixture("personal.ics"), kTokyo);
    ASSERT_TRUE(result.calendar) << result.error.toStdString();
    const auto& events = result.calendar->events;
    ASSERT_EQ(events.size(), 2u);
    // A zone the system does not know is read from the file's own offset, +05:30.
    EXPECT_EQ(events[0].startDate, utc("2026-01-05T09:30:00Z"));
    EXPECT_EQ(events[0].title, QString()) << "an empty title stays empty";
    // Floating time is local time; no end makes an instant.
    EXPECT_EQ(events[1].startDate, utc("2026-01-05T09:00:00Z"));
    EXPECT_EQ(events[1].endDate, events[1].startDate);
    EXPECT_EQ(events[1].title, QStringLiteral("Dinner\nwith friends"));
    ASSERT_EQ(result.calendar->color.size(), 4u);
    EXPECT_DOUBLE_EQ(result.calendar->color[1], 128 / 255.0) << "CSS teal is #008080";
}

TEST(ICalendar, MalformedFilesAreRefusedWithTheirLine) {
    const auto unclosed = parseICalendar(fixture("malformed.ics"), kTokyo);
    EXPECT_FALSE(unclosed.calendar);
    EXPECT_EQ(unclosed.error, QStringLiteral("line 7: END:VCALENDAR does not close VEVENT"));

    const auto refused = [](const char* text) {
        const auto result = parseICalendar(QByteArray(text), kTokyo);
        return !result.calendar && !result.error.isEmpty();
    };
    EXPECT_TRUE(refused(""));
    EXPECT_TRUE(refused("not a calendar at all"));
    EXPECT_TRUE(refused("BEGIN:VEVENT\nDTSTART:20260105T100000Z\nEND:VEVENT\n")) << "no VCALENDAR";
    EXPECT_TRUE(refused("BEGIN:VCALENDAR\nBEGIN:VEVENT\nSUMMARY:x\nEND:VEVENT\nEND:VCALENDAR\n"))
        << "no start";
    EXPECT_TRUE(
        refused("BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART:20261305T100000Z\nEND:VEVENT\nEND:VCALENDAR\n"));
    EXPECT_TRUE(refused("BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART:tomorrow\nEND:VEVENT\nEND:VCALENDAR\n"));
    EXPECT_TRUE(refused(
        "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART:20260105T100000Z\nDURATION:P\nEND:VEVENT\nEND:VCALENDAR\n"));
    EXPECT_TRUE(refused(
        "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART;TZID=\"open:20260105T100000\nEND:VEVENT\nEND:VCALENDAR\n"));
    EXPECT_TRUE(refused("BEGIN:VCALENDAR\nEND:VCALENDAR\nSUMMARY:stray\n"));

    const auto empty = parseICalendar("BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n", kTokyo);
    ASSERT_TRUE(empty.calendar) << "a calendar without events is fine";
    EXPECT_TRUE(empty.calendar->events.empty());
    EXPECT_TRUE(empty.calendar->color.empty());
}

TEST(ICalendar, AllDayWithoutEndLastsOneLocalDayAcrossDaylightSaving) {
    const QTimeZone berlin("Europe/Berlin");
    const auto result = parseICalendar(
        "BEGIN:VCALENDAR\nCOLOR:#12\nBEGIN:VEVENT\nDTSTART;VALUE=DATE:20260329\nEND:VEVENT\n"
        "BEGIN:VEVENT\nDTSTART;TZID=Europe/Berlin:20260329T013000\nDURATION:P1D\nEND:VEVENT\nEND:VCALENDAR\n",
        berlin);
    ASSERT_TRUE(result.calendar) << result.error.toStdString();
    const auto& day = result.calendar->events.at(0);
    EXPECT_EQ(day.startDate, utc("2026-03-28T23:00:00Z"));
    EXPECT_EQ(day.endDate, utc("2026-03-29T22:00:00Z")) << "the day the clocks go forward has 23 hours";
    const auto& nominal = result.calendar->events.at(1);
    EXPECT_EQ(nominal.endDate, utc("2026-03-29T23:30:00Z")) << "a day of duration is a calendar day";
    EXPECT_TRUE(result.calendar->color.empty()) << "an unreadable colour is no colour";
}
