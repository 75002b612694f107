#pragma once

#include "platform/Clock.h"

#include <QString>

namespace vantrel {

// One event of today as the calendar tab shows it.
struct CalendarItem {
    QString id;
    QString title;
    WallTime startDate;
    WallTime endDate;
    // Six upper-case hexadecimal digits RRGGBB.
    QString colorHex;
    bool isAllDay = false;

    bool operator==(const CalendarItem&) const = default;
};

} // namespace vantrel
