#pragma once

#include "platform/CalendarService.h"

#include <utility>

namespace vantrel::test {

// A calendar database held in memory. Records the windows asked for; answers access requests
// with what the test set up.
class FakeCalendarService final : public CalendarService {
public:
    CalendarAuthorizationStatus authorizationStatus() const override { return status; }
    void requestFullAccess(AccessCompletion done) override {
        if (!accessError) status = CalendarAuthorizationStatus::fullAccess;
        done(!accessError, accessError);
    }
    std::vector<CalendarEvent> events(WallTime start, WallTime end) override {
        windows.emplace_back(start, end);
        std::vector<CalendarEvent> found;
        for (const CalendarEvent& event : stored)
            if (event.startDate < end && event.endDate > start) found.push_back(event);
        return found;
    }
    void announceChange() { Q_EMIT storeChanged(); }

    CalendarAuthorizationStatus status = CalendarAuthorizationStatus::fullAccess;
    std::optional<QString> accessError;
    std::vector<CalendarEvent> stored;
    std::vector<std::pair<WallTime, WallTime>> windows;
};

} // namespace vantrel::test
