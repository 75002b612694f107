#pragma once

#include "platform/CalendarService.h"

#include <QByteArray>
#include <QTimeZone>
#include <optional>
#include <vector>

namespace vantrel {

// The part of an iCalendar file (RFC 5545) that the day briefing uses.
struct ICalendarData {
    // The calendar's colour from COLOR or X-APPLE-CALENDAR-COLOR, as red, green, blue, alpha in
    // 0...1; empty when the file names none or one that cannot be read.
    std::vector<double> color;
    // The VEVENT components, each carrying the calendar's colour.
    std::vector<CalendarEvent> events;
};

struct ICalendarParseResult {
    std::optional<ICalendarData> calendar;
    // Why the file was refused, with its line number; set exactly when `calendar` is none.
    QString error;
};

// Parses the VEVENT subset: UID, SUMMARY, DTSTART, DTEND or DURATION, all-day dates, times in
// UTC, with a TZID (a known zone name, or a VTIMEZONE of the file read as its standard offset),
// or floating. Dates and floating times are read in `localZone`. A file with broken structure, or
// an event without a readable start, is refused as a whole.
ICalendarParseResult parseICalendar(const QByteArray& text, const QTimeZone& localZone);

} // namespace vantrel
