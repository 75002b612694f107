#include "platform/linux/ICalendar.h"
#include "platform/linux/IcsCalendarService.h"

#include "support/TempHome.h"
#include "support/UtcTime.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

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

struct IcsServiceFixture : ::testing::Test {
    TempHome home;
    QStringList diagnostics;
    QString folder = home.paths().dataFolder() + QStringLiteral("/calendars");
    std::unique_ptr<IcsCalendarService> makeService() {
        return std::make_unique<IcsCalendarService>(
            folder, QTimeZone::utc(), [this](const QString& message) { diagnostics.append(message); });
    }
    void install(const char* name, const QString& as) const {
        QDir().mkpath(folder);
        QFile::copy(QStringLiteral(VANTREL_TEST_DATA_DIR "/calendars/") + QString::fromLatin1(name),
                    folder + QLatin1Char('/') + as);
    }
    std::optional<QString> requestAccess(CalendarService& service) {
        std::optional<QString> error;
        service.requestFullAccess([&](bool ok, std::optional<QString> e) { error = ok ? QString() : e; });
        return error;
    }
    QStringList titles(CalendarService& service, const char* from = "2026-01-05T00:00:00Z",
                       const char* to = "2026-01-06T00:00:00Z") {
        QStringList out;
        for (const auto& event : service.events(utc(from), utc(to)))
            out.append(event.title.value_or(QStringLiteral("<none>")));
        out.sort();
        return out;
    }
};

} // namespace

TEST_F(IcsServiceFixture, AccessFollowsTheFolder) {
    auto service = makeService();
    EXPECT_EQ(service->authorizationStatus(), CalendarAuthorizationStatus::notDetermined);
    EXPECT_EQ(requestAccess(*service), QString());
    EXPECT_EQ(service->authorizationStatus(), CalendarAuthorizationStatus::fullAccess);

    // A file in place of the folder is an error naming the folder.
    QDir(folder).removeRecursively();
    home.writeFile(QStringLiteral("home/.local/share/Vantrel/calendars"), "not a folder");
    const auto error = requestAccess(*service);
    EXPECT_TRUE(error && error->contains(folder));
    EXPECT_EQ(service->authorizationStatus(), CalendarAuthorizationStatus::notDetermined);
}

TEST_F(IcsServiceFixture, AMalformedFileIsSkippedAndReportedOnceWithoutEmptyingTheOthers) {
    install("work.ics", QStringLiteral("work.ics"));
    install("personal.ics", QStringLiteral("personal.ics"));
    install("malformed.ics", QStringLiteral("broken.ics"));
    home.writeFile(QStringLiteral("home/.local/share/Vantrel/calendars/notes.txt"), "BEGIN:VCALENDAR");
    auto service = makeService();

    // Personal's call (09:30), its floating 18:00 instant read as UTC; work's stand-up, offsite
    // and untitled event. The July review lies outside the window.
    EXPECT_EQ(titles(*service),
              (QStringList{QString(), QStringLiteral("<none>"), QStringLiteral("Dinner\nwith friends"),
                           QStringLiteral("Offsite"), QStringLiteral("Stand-up")}));
    titles(*service);
    EXPECT_EQ(diagnostics,
              QStringList{QStringLiteral(
                  "calendar file broken.ics skipped: line 7: END:VCALENDAR does not close VEVENT")})
        << "an unchanged damaged file is reported once";

    // An instant on a window's end belongs to the next window.
    EXPECT_FALSE(
        titles(*service, "2026-01-05T12:00:00Z", "2026-01-05T18:00:00Z").contains(u"Dinner\nwith friends"));
    EXPECT_TRUE(
        titles(*service, "2026-01-05T18:00:00Z", "2026-01-05T19:00:00Z").contains(u"Dinner\nwith friends"));
}

TEST_F(IcsServiceFixture, ADroppedFileIsNoticed) {
    QDir().mkpath(folder);
    auto service = makeService();
    QSignalSpy changed(service.get(), &CalendarService::storeChanged);
    install("work.ics", QStringLiteral("dropped.ics"));
    // The file system reports the change on its own schedule; wait for the notification itself.
    ASSERT_TRUE(changed.wait(10000));
    EXPECT_EQ(titles(*service).size(), 3);
}

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
          "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART:20261305T100000Z\nEND:VEVENT\nEND:VCALENDAR\n"}) {
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
