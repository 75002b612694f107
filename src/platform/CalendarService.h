#pragma once

#include "platform/Clock.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace vantrel {

// The values the calendar database reports for a program's access to events. Only full access
// lets a program read them.
enum class CalendarAuthorizationStatus {
    notDetermined = 0,
    restricted = 1,
    denied = 2,
    fullAccess = 3,
    writeOnly = 4
};

// One event as the calendar database gives it.
struct CalendarEvent {
    std::optional<QString> identifier;
    std::optional<QString> title;
    WallTime startDate;
    WallTime endDate;
    bool isAllDay = false;
    // The components of the event's calendar colour in its own colour space (red, green, blue
    // and alpha for an RGB colour); empty when the calendar has none.
    std::vector<double> calendarColor;

    bool operator==(const CalendarEvent&) const = default;
};

// Read-only access to the user's calendars. Emits storeChanged() whenever the calendars
// change, in this process or elsewhere.
class CalendarService : public QObject {
    Q_OBJECT

public:
    using AccessCompletion = std::function<void(bool granted, std::optional<QString> error)>;
    using EventsAnswer = std::function<void(std::vector<CalendarEvent> events)>;

    using QObject::QObject;

    virtual CalendarAuthorizationStatus authorizationStatus() const = 0;
    // Asks for full access to events; `done` gets whether it was granted, or the error that
    // stopped the request.
    virtual void requestFullAccess(AccessCompletion done) = 0;
    // Every event of every calendar that overlaps [start, end), in no particular order, handed
    // to `answer` on the caller's (main) thread: at once, or on a later turn of its event loop
    // when the calendars take time to read. A service destroyed first never answers.
    virtual void events(WallTime start, WallTime end, EventsAnswer answer) = 0;

Q_SIGNALS:
    void storeChanged();
};

} // namespace vantrel
