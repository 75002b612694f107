#pragma once

#include "platform/CalendarService.h"

#include <utility>

namespace vantrel::test {

// A calendar database held in memory: every question for events gets all of them, and its window
// is recorded. Access requests are granted unless the test set an error or a refusal.
class FakeCalendarService final : public CalendarService {
public:
    CalendarAuthorizationStatus authorizationStatus() const override { return status; }
    void requestFullAccess(AccessCompletion done) override {
        ++requests;
        if (accessError) {
            done(false, accessError);
            return;
        }
        status = grants ? CalendarAuthorizationStatus::fullAccess : CalendarAuthorizationStatus::denied;
        done(grants, std::nullopt);
    }
    std::vector<CalendarEvent> events(WallTime start, WallTime end) override {
        windows.emplace_back(start, end);
        return stored;
    }
    void announceChange() { Q_EMIT storeChanged(); }

    CalendarAuthorizationStatus status = CalendarAuthorizationStatus::fullAccess;
    std::optional<QString> accessError;
    // Whether the user allows access when asked (and no error stops the request).
    bool grants = true;
    int requests = 0;
    std::vector<CalendarEvent> stored;
    std::vector<std::pair<WallTime, WallTime>> windows;
};

} // namespace vantrel::test
