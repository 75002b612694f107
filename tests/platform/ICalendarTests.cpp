#include "platform/linux/ICalendar.h"

#include <QDateTime>
#include <QFile>
#include <gtest/gtest.h>

using namespace vantrel;

namespace {

QByteArray fixture(const char* name) {
    QFile file(QStringLiteral(VANTREL_TEST_DATA_DIR "/calendars/") + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

// "title start end", times in UTC ISO text, "*" after an all-day event; "-" for no title.
QStringList describe(const ICalendarParseResult& result) {
    QStringList out;
    if (!result.calendar) return {result.error};
    for (const CalendarEvent& e : result.calendar->events)
        out.append(QStringLiteral("%1 %2 %3%4")
                       .arg(e.title.value_or(QStringLiteral("-")),
                            toQDateTime(e.startDate).toUTC().toString(Qt::ISODate),
                            toQDateTime(e.endDate).toUTC().toString(Qt::ISODate), e.isAllDay ? u"*" : u""));
    return out;
}

} // namespace

TEST(ICalendar, ReadsUtcZonedAllDayDurationAndFoldedEvents) {
    const auto result = parseICalendar(fixture("work.ics"), QTimeZone("Asia/Tokyo"));
    // The alarm's summary is not the event's; a named zone keeps its daylight-saving rules; dates
    // are days of the local zone with an exclusive end; a duration gives the end.
    EXPECT_EQ(
        describe(result),
        (QStringList{QStringLiteral("Stand-up 2026-01-05T08:30:00Z 2026-01-05T08:45:00Z"),
                     QStringLiteral("Quarterly review, planning; budget and a very long title that is folded "
                                    "across two lines 2026-07-06T08:00:00Z 2026-07-06T09:30:00Z"),
                     QStringLiteral("Offsite 2026-01-04T15:00:00Z 2026-01-06T15:00:00Z*"),
                     QStringLiteral("- 2026-01-05T14:00:00Z 2026-01-05T15:30:00Z")}));
    ASSERT_TRUE(result.calendar);
    EXPECT_EQ(result.calendar->events[0].identifier, QStringLiteral("standup-1@example.com"));
    // #RRGGBBAA from the vendor property, carried by every event.
    const std::vector<double> pink{1.0, 0x29 / 255.0, 0x68 / 255.0, 1.0};
    EXPECT_EQ(result.calendar->events[2].calendarColor, pink);

    // A zone the system does not know is read from the file's own offset, +05:30; floating time
    // is local time; no end makes an instant; CSS teal is #008080.
    const auto personal = parseICalendar(fixture("personal.ics"), QTimeZone("Asia/Tokyo"));
    EXPECT_EQ(
        describe(personal),
        (QStringList{QStringLiteral(" 2026-01-05T09:30:00Z 2026-01-05T10:30:00Z"),
                     QStringLiteral("Dinner\nwith friends 2026-01-05T09:00:00Z 2026-01-05T09:00:00Z")}));
    ASSERT_TRUE(personal.calendar);
    EXPECT_DOUBLE_EQ(personal.calendar->color.at(1), 128 / 255.0);
}

TEST(ICalendar, MalformedFilesAreRefusedWithTheirLine) {
    EXPECT_EQ(describe(parseICalendar(fixture("malformed.ics"), QTimeZone::utc())),
              QStringList{QStringLiteral("line 7: END:VCALENDAR does not close VEVENT")});
    for (const char* text :
         {"", "BEGIN:VEVENT\nDTSTART:20260105T100000Z\nEND:VEVENT\n",
          "BEGIN:VCALENDAR\nBEGIN:VEVENT\nSUMMARY:no start\nEND:VEVENT\nEND:VCALENDAR\n",
          "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART:20261305T100000Z\nEND:VEVENT\nEND:VCALENDAR\n",
          "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART:20260105T100000Z\nDURATION:P\nEND:VEVENT\nEND:VCALENDAR\n",
          "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART;TZID=\"open:20260105T100000\nEND:VEVENT\nEND:VCALENDAR\n",
          "BEGIN:VCALENDAR\nEND:VCALENDAR\nSUMMARY:stray\n"}) {
        const auto result = parseICalendar(QByteArray(text), QTimeZone::utc());
        EXPECT_TRUE(!result.calendar && !result.error.isEmpty()) << text;
    }
    const auto empty = parseICalendar("BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n", QTimeZone::utc());
    ASSERT_TRUE(empty.calendar) << "a calendar without events is fine";
    EXPECT_TRUE(empty.calendar->events.empty());
}

TEST(ICalendar, AllDayWithoutEndLastsOneLocalDayAcrossDaylightSaving) {
    const auto result = parseICalendar(
        "BEGIN:VCALENDAR\nCOLOR:#12\nBEGIN:VEVENT\nDTSTART;VALUE=DATE:20260329\nEND:VEVENT\n"
        "BEGIN:VEVENT\nDTSTART;TZID=Europe/Berlin:20260329T013000\nDURATION:P1D\nEND:VEVENT\nEND:VCALENDAR\n",
        QTimeZone("Europe/Berlin"));
    // The day the clocks go forward has 23 hours; a day of duration is a calendar day.
    EXPECT_EQ(describe(result), (QStringList{QStringLiteral("- 2026-03-28T23:00:00Z 2026-03-29T22:00:00Z*"),
                                             QStringLiteral("- 2026-03-29T00:30:00Z 2026-03-29T23:30:00Z")}));
    EXPECT_TRUE(result.calendar->color.empty()) << "an unreadable colour is no colour";
}
