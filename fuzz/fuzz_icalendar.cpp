// An iCalendar file as the calendar reads it from the calendars folder: any bytes give a calendar
// or a reason, never a crash or a hang; every occurrence it gives lies in the window asked for,
// ends no earlier than it starts, and carries a colour of four components in 0...1 or none.

#include "platform/Clock.h"
#include "platform/linux/ICalendar.h"
#include "support/FuzzSupport.h"

#include <QDateTime>
#include <QTimeZone>
#include <algorithm>

using namespace vantrel;

namespace {

WallTime at(int year, int month, int day) {
    return *fromQDateTime(QDateTime(QDate(year, month, day), QTime(0, 0), QTimeZone::utc()));
}

std::vector<CalendarEvent> checkWindow(const ICalendar& calendar, WallTime start, WallTime end) {
    std::vector<CalendarEvent> events = calendar.events(start, end);
    for (const CalendarEvent& event : events) {
        FUZZ_CHECK(event.startDate <= event.endDate);
        if (event.startDate == event.endDate)
            FUZZ_CHECK(event.startDate >= start && event.startDate < end);
        else
            FUZZ_CHECK(event.startDate < end && event.endDate > start);
        FUZZ_CHECK(event.calendarColor == calendar.color());
    }
    return events;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QTimeZone local("Europe/Berlin");
    const ICalendarParseResult result = parseICalendar(fuzz::bytesOf(data, size), local);
    if (!result.calendar) {
        FUZZ_CHECK(!result.problems.isEmpty());
        return 0;
    }
    const std::vector<double>& color = result.calendar->color();
    FUZZ_CHECK(color.empty() || color.size() == 4);
    for (double component : color) FUZZ_CHECK(component >= 0 && component <= 1);
    // Today, as the briefing asks, and the month around it.
    const auto today = checkWindow(*result.calendar, at(2026, 1, 5), at(2026, 1, 6));
    const auto month = checkWindow(*result.calendar, at(2025, 12, 20), at(2026, 2, 1));
    // What overlaps the day overlaps the month around it.
    for (const CalendarEvent& event : today)
        FUZZ_CHECK(std::find(month.begin(), month.end(), event) != month.end());
    return 0;
}
