#include "platform/linux/ICalendar.h"
#include "platform/linux/IcsCalendarReader.h"
#include "platform/linux/IcsCalendarService.h"

#include "support/HostileFiles.h"
#include "support/TempHome.h"
#include "support/UtcTime.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QSignalSpy>
#include <QTimer>
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
QStringList describe(const std::vector<CalendarEvent>& events) {
    QStringList out;
    for (const CalendarEvent& e : events)
        out.append(QStringLiteral("%1 %2 %3%4")
                       .arg(e.title.value_or(QStringLiteral("-")),
                            toQDateTime(e.startDate).toUTC().toString(Qt::ISODate),
                            toQDateTime(e.endDate).toUTC().toString(Qt::ISODate), e.isAllDay ? u"*" : u""));
    return out;
}

// The events of the file in the UTC day that starts at `day` ("2026-01-05"), or the problems
// when the file is refused.
QStringList describeDay(const ICalendarParseResult& result, const char* day) {
    if (!result.calendar) return result.problems;
    const WallTime start = utc((QByteArray(day) + "T00:00:00Z").constData());
    return describe(result.calendar->events(start, addSeconds(start, Seconds(24 * 3600))));
}

QStringList describeYear(const ICalendarParseResult& result) {
    if (!result.calendar) return result.problems;
    return describe(result.calendar->events(utc("2026-01-01T00:00:00Z"), utc("2027-01-01T00:00:00Z")));
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
    // The service answers from its worker; the answer arrives through the event loop.
    static std::vector<CalendarEvent> fetch(CalendarService& service, WallTime from, WallTime to) {
        std::optional<std::vector<CalendarEvent>> answer;
        QEventLoop loop;
        service.events(from, to, [&](std::vector<CalendarEvent> events) {
            answer = std::move(events);
            loop.quit();
        });
        if (!answer) {
            QTimer::singleShot(30000, &loop, &QEventLoop::quit);
            loop.exec();
        }
        EXPECT_TRUE(answer) << "the calendars never answered";
        return answer.value_or(std::vector<CalendarEvent>());
    }
    QStringList titles(CalendarService& service, const char* from = "2026-01-05T00:00:00Z",
                       const char* to = "2026-01-06T00:00:00Z") {
        QStringList out;
        for (const auto& event : fetch(service, utc(from), utc(to)))
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

TEST_F(IcsServiceFixture, ADamagedFileKeepsItsOtherEventsAndIsReportedOnce) {
    install("work.ics", QStringLiteral("work.ics"));
    install("personal.ics", QStringLiteral("personal.ics"));
    install("malformed.ics", QStringLiteral("broken.ics"));
    home.writeFile(QStringLiteral("home/.local/share/Vantrel/calendars/notes.txt"), "BEGIN:VCALENDAR");
    home.writeFile(QStringLiteral("home/.local/share/Vantrel/calendars/junk.ics"), "no calendar here\n");
    auto service = makeService();

    // Personal's call (09:30), its floating 18:00 instant read as UTC; work's stand-up, offsite
    // and untitled event. The July review lies outside the window.
    EXPECT_EQ(titles(*service),
              (QStringList{QString(), QStringLiteral("<none>"), QStringLiteral("Dinner\nwith friends"),
                           QStringLiteral("Offsite"), QStringLiteral("Stand-up")}));
    titles(*service);
    EXPECT_EQ(diagnostics,
              (QStringList{
                  QStringLiteral("calendar file broken.ics partly read, left out: line 3: VEVENT not closed"),
                  QStringLiteral("calendar file junk.ics skipped: no VCALENDAR in the file")}))
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

TEST_F(IcsServiceFixture, ABrokenLineOrEventLeavesTheRestOfTheFile) {
    install("broken-line.ics", QStringLiteral("broken-line.ics"));
    auto service = makeService();
    EXPECT_EQ(
        describe(fetch(*service, utc("2026-01-05T00:00:00Z"), utc("2026-01-06T00:00:00Z"))),
        (QStringList{QStringLiteral("Kept despite a broken line 2026-01-05T09:00:00Z 2026-01-05T10:00:00Z"),
                     QStringLiteral("Also kept 2026-01-05T11:00:00Z 2026-01-05T11:00:00Z")}));
    ASSERT_EQ(diagnostics.size(), 1);
    EXPECT_TRUE(diagnostics[0].startsWith(u"calendar file broken-line.ics partly read, left out: "));
    EXPECT_TRUE(diagnostics[0].contains(u"event \"kept@example.com\": ") &&
                diagnostics[0].contains(u"THIS LINE IS BROKEN"))
        << diagnostics[0].toStdString();
    EXPECT_TRUE(diagnostics[0].endsWith(u"; event \"impossible@example.com\": unreadable DTSTART"))
        << diagnostics[0].toStdString();
}

TEST_F(IcsServiceFixture, DatesBeyondTheClocksRangeAreRefusedInOneRecord) {
    install("far-dates.ics", QStringLiteral("far-dates.ics"));
    auto service = makeService();
    // The yearly birthday since 1604 shows this year's day; the single events of 1604, 1600 and
    // 9999, and the one that ends in 9999, are refused.
    EXPECT_EQ(describe(fetch(*service, utc("2026-01-05T00:00:00Z"), utc("2026-01-06T00:00:00Z"))),
              (QStringList{QStringLiteral("Birthday 2026-01-05T00:00:00Z 2026-01-06T00:00:00Z*"),
                           QStringLiteral("Meeting 2026-01-05T09:00:00Z 2026-01-05T10:00:00Z")}));
    EXPECT_EQ(diagnostics, QStringList{QStringLiteral("calendar file far-dates.ics partly read, left out: "
                                                      "event \"founding@example.com\": start out of range; "
                                                      "event \"century@example.com\": start out of range; "
                                                      "event \"far-future@example.com\": start out of range; "
                                                      "event \"forever@example.com\": end out of range")});
}

TEST(ICalendar, ReadsUtcZonedAllDayDurationAndFoldedEvents) {
    const auto result = parseICalendar(fixture("work.ics"), QTimeZone("Asia/Tokyo"));
    // The alarm's summary is not the event's; the file's own zone keeps its daylight-saving
    // rules; dates are days of the local zone with an exclusive end; a duration gives the end.
    EXPECT_EQ(
        describeYear(result),
        (QStringList{QStringLiteral("Stand-up 2026-01-05T08:30:00Z 2026-01-05T08:45:00Z"),
                     QStringLiteral("Quarterly review, planning; budget and a very long title that is folded "
                                    "across two lines 2026-07-06T08:00:00Z 2026-07-06T09:30:00Z"),
                     QStringLiteral("Offsite 2026-01-04T15:00:00Z 2026-01-06T15:00:00Z*"),
                     QStringLiteral("- 2026-01-05T14:00:00Z 2026-01-05T15:30:00Z")}));
    ASSERT_TRUE(result.calendar);
    EXPECT_TRUE(result.problems.isEmpty());
    // #RRGGBBAA from the vendor property, carried by every event.
    const std::vector<double> pink{1.0, 0x29 / 255.0, 0x68 / 255.0, 1.0};
    EXPECT_EQ(result.calendar->color(), pink);
    EXPECT_EQ(
        result.calendar->events(utc("2026-01-05T08:00:00Z"), utc("2026-01-05T09:00:00Z")).at(0).calendarColor,
        pink);

    // A zone defined only in the file, +05:30; an empty title stays empty; floating time is
    // local time; no end makes an instant; CSS teal is #008080.
    const auto personal = parseICalendar(fixture("personal.ics"), QTimeZone("Asia/Tokyo"));
    EXPECT_EQ(
        describeYear(personal),
        (QStringList{QStringLiteral(" 2026-01-05T09:30:00Z 2026-01-05T10:30:00Z"),
                     QStringLiteral("Dinner\nwith friends 2026-01-05T09:00:00Z 2026-01-05T09:00:00Z")}));
    ASSERT_TRUE(personal.calendar);
    EXPECT_DOUBLE_EQ(personal.calendar->color().at(1), 128 / 255.0);
}

TEST(ICalendar, ZonesDefinedInTheFileAndWindowsNamesFollowDaylightSaving) {
    // Five hours behind UTC in winter, four in summer, by the file's own rules.
    const auto custom = parseICalendar(fixture("custom-zone.ics"), QTimeZone::utc());
    EXPECT_EQ(describeYear(custom),
              (QStringList{QStringLiteral("Winter sync 2026-01-15T15:00:00Z 2026-01-15T16:00:00Z"),
                           QStringLiteral("Summer sync 2026-07-15T14:00:00Z 2026-07-15T15:00:00Z")}));
    // Outlook's names without a VTIMEZONE: Pacific in winter (-8), western Europe in summer (+2).
    const auto outlook = parseICalendar(fixture("outlook.ics"), QTimeZone::utc());
    EXPECT_EQ(describeYear(outlook),
              (QStringList{QStringLiteral("Budget 2026-01-05T17:00:00Z 2026-01-05T18:00:00Z"),
                           QStringLiteral("Design review 2026-07-06T07:00:00Z 2026-07-06T08:00:00Z")}));
}

TEST(ICalendar, RecurrencesAreExpandedOverTheWindow) {
    const auto result = parseICalendar(fixture("recurring.ics"), QTimeZone::utc());
    ASSERT_TRUE(result.calendar);
    EXPECT_TRUE(result.problems.isEmpty()) << result.problems.join(u'|').toStdString();
    // The weekly Monday meeting at 10:00 Berlin time, the three-day conference; the cancelled
    // lunch is left out.
    EXPECT_EQ(describeDay(result, "2026-01-05"),
              (QStringList{QStringLiteral("Team meeting 2026-01-05T09:00:00Z 2026-01-05T10:00:00Z"),
                           QStringLiteral("Conference 2026-01-05T00:00:00Z 2026-01-06T00:00:00Z*")}));
    EXPECT_EQ(describeDay(result, "2026-01-06"),
              QStringList{QStringLiteral("Conference 2026-01-06T00:00:00Z 2026-01-07T00:00:00Z*")});
    EXPECT_EQ(describeDay(result, "2026-01-07"),
              QStringList{QStringLiteral("Team meeting 2026-01-07T15:00:00Z 2026-01-07T16:00:00Z")})
        << "an extra date";
    EXPECT_EQ(describeDay(result, "2026-01-12"), QStringList()) << "an excluded date";
    EXPECT_EQ(describeDay(result, "2026-01-19"), QStringList()) << "moved to the next day";
    EXPECT_EQ(describeDay(result, "2026-01-20"),
              QStringList{QStringLiteral("Team meeting (moved) 2026-01-20T13:00:00Z 2026-01-20T14:00:00Z")});
    EXPECT_EQ(describeDay(result, "2026-01-26"), QStringList()) << "a cancelled occurrence";
    EXPECT_EQ(describeDay(result, "2026-02-02"),
              QStringList{QStringLiteral("Team meeting 2026-02-02T09:00:00Z 2026-02-02T10:00:00Z")});
    EXPECT_EQ(describeDay(result, "2026-07-06"),
              QStringList{QStringLiteral("Team meeting 2026-07-06T08:00:00Z 2026-07-06T09:00:00Z")})
        << "summer time in Berlin";
    const auto occurrence = result.calendar->events(utc("2026-07-06T00:00:00Z"), utc("2026-07-07T00:00:00Z"));
    EXPECT_EQ(occurrence.at(0).identifier, QStringLiteral("team@example.com"));
}

TEST(ICalendar, DamageIsLeftOutAndNamed) {
    const auto malformed = parseICalendar(fixture("malformed.ics"), QTimeZone::utc());
    ASSERT_TRUE(malformed.calendar);
    EXPECT_EQ(malformed.problems, QStringList{QStringLiteral("line 3: VEVENT not closed")});
    EXPECT_EQ(describeYear(malformed), QStringList());

    for (const char* text : {"", "garbage\n", "BEGIN:VEVENT\nDTSTART:20260105T100000Z\nEND:VEVENT\n"}) {
        const auto result = parseICalendar(QByteArray(text), QTimeZone::utc());
        EXPECT_FALSE(result.calendar) << text;
        EXPECT_EQ(result.problems.value(0), QStringLiteral("no VCALENDAR in the file")) << text;
    }
    // A property libical cannot read is dropped (the event without an end is an instant); a
    // value it reads but no calendar has refuses its event.
    const auto damaged = parseICalendar(
        "BEGIN:VCALENDAR\nBEGIN:VEVENT\nSUMMARY:no start\nEND:VEVENT\nEND:BOGUS\nBEGIN:VEVENT\nUID:b\n"
        "DTSTART:20260105T100000Z\nDTEND:20261305T110000Z\nEND:VEVENT\nBEGIN:VEVENT\nUID:c\n"
        "DTSTART:20260105T120000Z\nDTEND:20260105T1300\nEND:VEVENT\n",
        QTimeZone::utc());
    ASSERT_TRUE(damaged.calendar);
    EXPECT_EQ(describeYear(damaged),
              QStringList{QStringLiteral("- 2026-01-05T12:00:00Z 2026-01-05T12:00:00Z")});
    ASSERT_EQ(damaged.problems.size(), 5) << damaged.problems.join(u'|').toStdString();
    EXPECT_EQ(damaged.problems.mid(0, 2), (QStringList{QStringLiteral("line 5: END:BOGUS without BEGIN"),
                                                       QStringLiteral("line 1: VCALENDAR not closed")}));
    EXPECT_TRUE(damaged.problems[2].startsWith(u"event \"c\": ") && damaged.problems[2].contains(u"DTEND"));
    EXPECT_EQ(damaged.problems.mid(3), (QStringList{QStringLiteral("event 1 of the file: no DTSTART"),
                                                    QStringLiteral("event \"b\": unreadable DTEND")}));

    // A file cut off inside an event keeps what came before; a byte-order mark and a stray NUL
    // byte are no damage.
    const char cut[] = "\xEF\xBB\xBF"
                       "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART:20260105T100000Z\nSUMMARY:A\0B\n"
                       "END:VEVENT\nBEGIN:VEVENT\nDTSTART:20260105T110000Z\n";
    const auto cutOff = parseICalendar(QByteArray(cut, sizeof cut - 1), QTimeZone::utc());
    EXPECT_EQ(describeYear(cutOff),
              QStringList{QStringLiteral("AB 2026-01-05T10:00:00Z 2026-01-05T10:00:00Z")});
    EXPECT_EQ(cutOff.problems, (QStringList{QStringLiteral("line 6: VEVENT not closed"),
                                            QStringLiteral("line 1: VCALENDAR not closed")}));

    const auto empty = parseICalendar("BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n", QTimeZone::utc());
    ASSERT_TRUE(empty.calendar) << "a calendar without events is fine";
    EXPECT_TRUE(empty.problems.isEmpty());
}

TEST(ICalendar, AllDayWithoutEndLastsOneLocalDayAcrossDaylightSaving) {
    const auto result = parseICalendar(
        "BEGIN:VCALENDAR\nCOLOR:#12\nBEGIN:VEVENT\nDTSTART;VALUE=DATE:20260329\nEND:VEVENT\n"
        "BEGIN:VEVENT\nDTSTART;TZID=Europe/Berlin:20260329T013000\nDURATION:P1D\nEND:VEVENT\nEND:VCALENDAR\n",
        QTimeZone("Europe/Berlin"));
    // The day the clocks go forward has 23 hours; a day of duration is a calendar day.
    EXPECT_EQ(describeYear(result),
              (QStringList{QStringLiteral("- 2026-03-28T23:00:00Z 2026-03-29T22:00:00Z*"),
                           QStringLiteral("- 2026-03-29T00:30:00Z 2026-03-29T23:30:00Z")}));
    EXPECT_TRUE(result.calendar->color().empty()) << "an unreadable colour is no colour";
    for (const char* colour : {"#-1FFFF", "#+fffff", "#FF F00", "#123456-7"}) {
        const auto signed_ = parseICalendar(
            QByteArray("BEGIN:VCALENDAR\nCOLOR:") + colour + "\nEND:VCALENDAR\n", QTimeZone::utc());
        ASSERT_TRUE(signed_.calendar);
        EXPECT_TRUE(signed_.calendar->color().empty()) << colour << " is no colour";
    }
    const auto lower = parseICalendar("BEGIN:VCALENDAR\nCOLOR:#fa2968\nEND:VCALENDAR\n", QTimeZone::utc());
    EXPECT_EQ(lower.calendar->color(), (std::vector<double>{0xFA / 255.0, 0x29 / 255.0, 0x68 / 255.0, 1.0}));
}

TEST(ICalendar, DeepNestingIsRefusedWithoutExhaustingTheStack) {
    // 30,000 nested components with no END, and 20,000 nested zones closed properly: each would
    // take a stack frame per level in a recursive walk.
    QByteArray open = "BEGIN:VCALENDAR\nBEGIN:VEVENT\nUID:kept\nDTSTART:20260105T100000Z\nSUMMARY:Kept\n"
                      "END:VEVENT\n";
    for (int i = 0; i < 30'000; ++i) open += "BEGIN:A\n";
    const auto unclosed = parseICalendar(open, QTimeZone::utc());
    ASSERT_TRUE(unclosed.calendar);
    EXPECT_EQ(describeYear(unclosed),
              QStringList{QStringLiteral("Kept 2026-01-05T10:00:00Z 2026-01-05T10:00:00Z")});
    EXPECT_TRUE(unclosed.problems.contains(QStringLiteral("line 70: A nested deeper than 64 components")))
        << unclosed.problems.mid(0, 3).join(u'|').toStdString();

    QByteArray zones = "BEGIN:VCALENDAR\n";
    for (int i = 0; i < 20'000; ++i) zones += "BEGIN:VTIMEZONE\nX-BROKEN\n";
    for (int i = 0; i < 20'000; ++i) zones += "END:VTIMEZONE\n";
    zones += "BEGIN:VEVENT\nDTSTART:20260105T110000Z\nSUMMARY:After\nEND:VEVENT\nEND:VCALENDAR\n";
    const auto closed = parseICalendar(zones, QTimeZone::utc());
    ASSERT_TRUE(closed.calendar);
    EXPECT_EQ(describeYear(closed),
              QStringList{QStringLiteral("After 2026-01-05T11:00:00Z 2026-01-05T11:00:00Z")});
    EXPECT_EQ(closed.problems.filter(u"nested deeper than 64").size(), 1);
}

TEST(ICalendar, AZoneRepeatingMoreOftenThanDailyIsRefusedAndItsTimesCountAsUtc) {
    // libical would expand this zone's observances second by second, without end.
    const QByteArray text = "BEGIN:VCALENDAR\nBEGIN:VTIMEZONE\nTZID:Tick\nBEGIN:STANDARD\n"
                            "DTSTART:19700101T000000\nRRULE:FREQ=SECONDLY\nTZOFFSETFROM:+0100\n"
                            "TZOFFSETTO:+0200\nEND:STANDARD\nEND:VTIMEZONE\nBEGIN:VEVENT\nUID:t\n"
                            "DTSTART;TZID=Tick:20260105T100000\nDTEND;TZID=Tick:20260105T110000\n"
                            "SUMMARY:Tick\nEND:VEVENT\nEND:VCALENDAR\n";
    const auto result = parseICalendar(text, QTimeZone("Asia/Tokyo"));
    ASSERT_TRUE(result.calendar);
    EXPECT_EQ(describeYear(result),
              QStringList{QStringLiteral("Tick 2026-01-05T10:00:00Z 2026-01-05T11:00:00Z")});
    EXPECT_EQ(result.problems,
              QStringList{
                  QStringLiteral("line 2: time zone \"Tick\" refused, a rule repeats more often than daily; "
                                 "its times count as UTC")});
    // Hourly and minutely rules are refused alike; a daily one is read by its rules.
    for (const char* frequency : {"HOURLY", "MINUTELY"}) {
        QByteArray other = text;
        other.replace("FREQ=SECONDLY", QByteArray("FREQ=") + frequency);
        EXPECT_EQ(parseICalendar(other, QTimeZone::utc()).problems.size(), 1) << frequency;
    }
    QByteArray daily = text;
    daily.replace("DTSTART:19700101T000000\nRRULE:FREQ=SECONDLY",
                  "DTSTART:20250101T000000\nRRULE:FREQ=DAILY");
    const auto kept = parseICalendar(daily, QTimeZone::utc());
    EXPECT_TRUE(kept.problems.isEmpty()) << kept.problems.join(u'|').toStdString();
    EXPECT_EQ(describeYear(kept),
              QStringList{QStringLiteral("Tick 2026-01-05T08:00:00Z 2026-01-05T09:00:00Z")});
}

TEST(ICalendar, AZoneOfMoreThanAThousandObservancesIsRefused) {
    const auto zoneOf = [](int observances) {
        QByteArray text = "BEGIN:VCALENDAR\nBEGIN:VTIMEZONE\nTZID:Huge\n";
        for (int i = 0; i < observances; ++i)
            text += QStringLiteral("BEGIN:STANDARD\nDTSTART:%1\nTZOFFSETFROM:+0000\nTZOFFSETTO:+0100\n"
                                   "END:STANDARD\n")
                        .arg(QDateTime(QDate(1800, 1, 1), QTime(0, 0), QTimeZone::utc())
                                 .addSecs(qint64(i) * 3600)
                                 .toString(QStringLiteral("yyyyMMdd'T'HHmmss")))
                        .toUtf8();
        text += "END:VTIMEZONE\nBEGIN:VEVENT\nDTSTART;TZID=Huge:20260105T100000\nSUMMARY:Huge\nEND:VEVENT\n"
                "END:VCALENDAR\n";
        return text;
    };
    // Past the bound: refused before libical reads it.
    const auto refused = parseICalendar(zoneOf(5'000), QTimeZone::utc());
    ASSERT_TRUE(refused.calendar);
    EXPECT_EQ(describeYear(refused),
              QStringList{QStringLiteral("Huge 2026-01-05T10:00:00Z 2026-01-05T10:00:00Z")});
    EXPECT_EQ(refused.problems,
              QStringList{QStringLiteral(
                  "line 2: time zone \"Huge\" refused, more than 1000 observances; its times count as UTC")});
    // At the bound the zone is read (one hour ahead of UTC).
    const auto kept = parseICalendar(zoneOf(1000), QTimeZone::utc());
    EXPECT_TRUE(kept.problems.isEmpty()) << kept.problems.mid(0, 2).join(u'|').toStdString();
    EXPECT_EQ(describeYear(kept),
              QStringList{QStringLiteral("Huge 2026-01-05T09:00:00Z 2026-01-05T09:00:00Z")});
}

TEST(ICalendar, CountedRecurrencesStartAtTheWindowAndOverlongWalksAreRefusedOnce) {
    const auto calendarOf = [](const char* rules) {
        return QByteArray("BEGIN:VCALENDAR\n") + rules + "END:VCALENDAR\n";
    };
    // Hourly for a million hours since 2000: the window in 2026 lies far past 100,000 steps from
    // the first occurrence.
    const auto hourly =
        parseICalendar(calendarOf("BEGIN:VEVENT\nUID:h\nSUMMARY:Hourly\nDTSTART:20000101T000000Z\n"
                                  "RRULE:FREQ=MINUTELY;INTERVAL=60;COUNT=1000000\nEND:VEVENT\n"),
                       QTimeZone::utc());
    ASSERT_TRUE(hourly.calendar);
    EXPECT_TRUE(hourly.problems.isEmpty()) << hourly.problems.join(u'|').toStdString();
    const QStringList day = describeDay(hourly, "2026-01-05");
    ASSERT_EQ(day.size(), 24);
    EXPECT_EQ(day.front(), QStringLiteral("Hourly 2026-01-05T00:00:00Z 2026-01-05T00:00:00Z"));
    EXPECT_EQ(day.back(), QStringLiteral("Hourly 2026-01-05T23:00:00Z 2026-01-05T23:00:00Z"));
    // The COUNT still ends the series: ten daily occurrences from 1 January.
    const auto ten = parseICalendar(calendarOf("BEGIN:VEVENT\nSUMMARY:Ten\nDTSTART:20260101T090000Z\n"
                                               "RRULE:FREQ=DAILY;COUNT=10\nEND:VEVENT\n"),
                                    QTimeZone::utc());
    EXPECT_EQ(describeDay(ten, "2026-01-10"),
              QStringList{QStringLiteral("Ten 2026-01-10T09:00:00Z 2026-01-10T09:00:00Z")});
    EXPECT_EQ(describeDay(ten, "2026-01-11"), QStringList());
    // Hourly, 4,000 times from 1 January: the last is 3,999 hours later, 16 June at 15:00.
    const auto hours = parseICalendar(calendarOf("BEGIN:VEVENT\nSUMMARY:H\nDTSTART:20260101T000000Z\n"
                                                 "RRULE:FREQ=HOURLY;COUNT=4000\nEND:VEVENT\n"),
                                      QTimeZone::utc());
    const QStringList lastDay = describeDay(hours, "2026-06-16");
    ASSERT_EQ(lastDay.size(), 16);
    EXPECT_EQ(lastDay.back(), QStringLiteral("H 2026-06-16T15:00:00Z 2026-06-16T15:00:00Z"));
    // A counted rule with BY parts is walked once when read: 3 Mondays and Wednesdays.
    const auto byDay = parseICalendar(calendarOf("BEGIN:VEVENT\nSUMMARY:ByDay\nDTSTART:20260105T090000Z\n"
                                                 "RRULE:FREQ=WEEKLY;BYDAY=MO,WE;COUNT=3\nEND:VEVENT\n"),
                                      QTimeZone::utc());
    EXPECT_EQ(describeDay(byDay, "2026-01-12"),
              QStringList{QStringLiteral("ByDay 2026-01-12T09:00:00Z 2026-01-12T09:00:00Z")});
    EXPECT_EQ(describeDay(byDay, "2026-01-14"), QStringList());
    // Months differ in length: a counted monthly rule is walked once, three months from January.
    const auto monthly = parseICalendar(calendarOf("BEGIN:VEVENT\nSUMMARY:Monthly\nDTSTART:20260105T090000Z\n"
                                                   "RRULE:FREQ=MONTHLY;COUNT=3\nEND:VEVENT\n"),
                                        QTimeZone::utc());
    EXPECT_EQ(describeDay(monthly, "2026-03-05"),
              QStringList{QStringLiteral("Monthly 2026-03-05T09:00:00Z 2026-03-05T09:00:00Z")});
    EXPECT_EQ(describeDay(monthly, "2026-04-05"), QStringList());

    // A counted rule that cannot be worked out without passing the step cap is refused when read.
    const auto counted =
        parseICalendar(calendarOf("BEGIN:VEVENT\nUID:c\nDTSTART:20260101T000000Z\n"
                                  "RRULE:FREQ=MINUTELY;BYSECOND=0,30;COUNT=500000\nEND:VEVENT\n"),
                       QTimeZone::utc());
    EXPECT_EQ(counted.problems,
              QStringList{QStringLiteral("event \"c\": more than 100000 occurrences to walk")});
    EXPECT_EQ(describeYear(counted), QStringList());

    // Every second without end: the walk into the window passes the cap, so the event is left
    // out, said once, and not walked at the next look.
    const auto secondly =
        parseICalendar(calendarOf("BEGIN:VEVENT\nUID:s\nSUMMARY:Tick\nDTSTART:20260104T000000Z\n"
                                  "RRULE:FREQ=SECONDLY\nEND:VEVENT\nBEGIN:VEVENT\nSUMMARY:Other\n"
                                  "DTSTART:20260105T100000Z\nEND:VEVENT\n"),
                       QTimeZone::utc());
    ASSERT_TRUE(secondly.calendar);
    ICalendarLook look;
    const WallTime from = utc("2026-01-05T00:00:00Z");
    const WallTime to = utc("2026-01-06T00:00:00Z");
    EXPECT_EQ(describe(secondly.calendar->events(from, to, &look)),
              QStringList{QStringLiteral("Other 2026-01-05T10:00:00Z 2026-01-05T10:00:00Z")});
    EXPECT_EQ(look.problems,
              QStringList{QStringLiteral("event \"s\": more than 100000 occurrences to walk")});
    EXPECT_EQ(secondly.calendar->events(from, to, &look).size(), 1u);
    EXPECT_EQ(look.problems.size(), 1) << "refused once";
}

TEST(IcsCalendarReader, AFileOverItsBudgetIsLeftOutOnceAndTheOtherFilesAreKept) {
    TempHome home;
    const QString folder = home.root() + QStringLiteral("/calendars");
    QDir().mkpath(folder);
    const auto write = [&](const char* name, const QByteArray& text) {
        home.writeFile(QStringLiteral("calendars/") + QString::fromLatin1(name), text);
    };
    write("good.ics", "BEGIN:VCALENDAR\nBEGIN:VEVENT\nSUMMARY:Kept\nDTSTART:20260105T100000Z\nEND:VEVENT\n"
                      "END:VCALENDAR\n");
    // 3,000 events: read step by step, each step costing a millisecond of the budget's clock.
    QByteArray heavy = "BEGIN:VCALENDAR\n";
    for (int i = 0; i < 3000; ++i)
        heavy += "BEGIN:VEVENT\nSUMMARY:Heavy\nDTSTART:20260105T110000Z\nEND:VEVENT\n";
    write("heavy.ics", heavy + "END:VCALENDAR\n");
    // Hostile neighbours: a FIFO (not even listed as a file) and a sparse file past 32 MB are
    // skipped without a read.
    ASSERT_TRUE(makeHostile(Hostile::fifo, folder + QStringLiteral("/fifo.ics"), QString(), 0));
    ASSERT_TRUE(
        makeHostile(Hostile::overLimit, folder + QStringLiteral("/huge.ics"), QString(), 32 * 1024 * 1024));

    auto ticks = std::chrono::steady_clock::time_point();
    IcsCalendarReader reader(
        folder, QTimeZone::utc(), {}, [&] { return ticks += std::chrono::milliseconds(1); },
        [] { return qint64(0); });
    const WallTime from = utc("2026-01-05T00:00:00Z");
    const WallTime to = utc("2026-01-06T00:00:00Z");
    IcsCalendarReader::Answer answer = reader.events(from, to);
    EXPECT_EQ(describe(answer.events),
              QStringList{QStringLiteral("Kept 2026-01-05T10:00:00Z 2026-01-05T10:00:00Z")});
    EXPECT_EQ(answer.diagnostics,
              (QStringList{QStringLiteral(
                               "calendar file heavy.ics skipped: it needed more than 2 s or 256 MB to read"),
                           QStringLiteral("calendar file huge.ics skipped: larger than 33554432 bytes")}))
        << answer.diagnostics.join(u'|').toStdString();
    // Unchanged, the files are neither read nor reported again.
    answer = reader.events(from, to);
    EXPECT_EQ(answer.events.size(), 1u);
    EXPECT_TRUE(answer.diagnostics.isEmpty());

    // Memory counts too: a file whose reading adds more than 256 MB is left out alike.
    qint64 inUse = 0;
    IcsCalendarReader hungry(
        folder, QTimeZone::utc(), {}, [] { return std::chrono::steady_clock::time_point(); },
        [&] { return inUse += 200 * 1024 * 1024; });
    EXPECT_TRUE(hungry.events(from, to).diagnostics.contains(
        QStringLiteral("calendar file good.ics skipped: it needed more than 2 s or 256 MB to read")));
}
