#pragma once

#include "platform/CalendarService.h"

#include <utility>

namespace vantrel::test {

// A calendar database held in memory: every question for events gets all of them, and its window
// is recorded. Access requests are granted unless the test set an error.
class FakeCalendarService final : public CalendarService {
public:
    CalendarAuthorizationStatus authorizationStatus() const override { return status; }
    void requestFullAccess(AccessCompletion done) override {
        if (!accessError) status = CalendarAuthorizationStatus::fullAccess;
        done(!accessError, accessError);
    }
    std::vector<CalendarEvent> events(WallTime start, WallTime end) override {
        windows.emplace_back(start, end);
        return stored;
    }
    void announceChange() { Q_EMIT storeChanged(); }

    CalendarAuthorizationStatus status = CalendarAuthorizationStatus::fullAccess;
    std::optional<QString> accessError;
    std::vector<CalendarEvent> stored;
    std::vector<std::pair<WallTime, WallTime>> windows;
};

} // namespace vantrel::test
