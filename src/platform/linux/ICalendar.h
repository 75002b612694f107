#pragma once

#include "platform/CalendarService.h"

#include <QByteArray>
#include <QStringList>
#include <QTimeZone>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vantrel {

// Asked now and then during long work; true when the file's budget of time or memory is spent,
// which stops the work.
using ICalendarBudget = std::function<bool()>;

// What a look at a window may tell besides the events.
struct ICalendarLook {
    // Events refused during the look, each named once over the calendar's life.
    QStringList problems;
    ICalendarBudget spent;
    // Set when the budget stopped the look; the events are then incomplete and dropped.
    bool stopped = false;
};

// One iCalendar file (RFC 5545) read with libical, ready to give the occurrences of its events in
// any window: time zones defined in the file with their daylight-saving rules, named zones
// (IANA or Windows names), recurrence rules, extra and excluded dates, moved occurrences, and
// cancelled events and occurrences left out.
class ICalendar {
public:
    // The calendar's colour from COLOR or X-APPLE-CALENDAR-COLOR, as red, green, blue, alpha in
    // 0...1; empty when the file names none or one that cannot be read.
    const std::vector<double>& color() const;
    // Every occurrence that overlaps [start, end), each carrying the calendar's colour: an
    // instant counts when it falls inside the window, a span when it overlaps it. An event whose
    // recurrence needs more steps than the cap to cross the window is left out from then on, and
    // named once in the look's problems.
    std::vector<CalendarEvent> events(WallTime start, WallTime end, ICalendarLook* look = nullptr) const;

    // What the reader built; opaque outside ICalendar.cpp.
    struct Data;
    explicit ICalendar(std::shared_ptr<const Data> data) : data_(std::move(data)) {}

private:
    std::shared_ptr<const Data> data_;
};

struct ICalendarParseResult {
    // None when nothing in the file is a calendar.
    std::optional<ICalendar> calendar;
    // What was left out, one entry each (a broken line, an unclosed component, an event without
    // a readable start); when `calendar` is none, why the file was refused.
    QStringList problems;
    // The budget was spent before the file was read (`calendar` is then none).
    bool overBudget = false;
};

// Reads `text`. Dates and floating times count in `localZone`, and so do times with a zone name
// that neither the file defines nor the system knows. A malformed property or event is left out
// and named in the problems; the rest of the file is kept.
// `spent`, when given, is asked between steps and stops the read.
ICalendarParseResult parseICalendar(const QByteArray& text, const QTimeZone& localZone,
                                    const ICalendarBudget& spent = {});

} // namespace vantrel
