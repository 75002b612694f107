#pragma once

#include "platform/CalendarService.h"

#include <utility>

namespace vantrel::test {

// A calendar database held in memory: every question for events gets all of them (at once, or
// when the test lets held answers go), and its window is recorded. Access requests are granted unless the
// test set an error or a refusal.
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
    void events(WallTime start, WallTime end, EventsAnswer answer) override {
        windows.emplace_back(start, end);
        if (holdsAnswers)
            held.push_back(std::move(answer));
        else
            answer(stored);
    }
    // Answers the questions held so far with what is stored now, oldest first.
    void answerHeld() {
        auto pending = std::move(held);
        held.clear();
        for (auto& answer : pending) answer(stored);
    }
    void announceChange() { Q_EMIT storeChanged(); }

    CalendarAuthorizationStatus status = CalendarAuthorizationStatus::fullAccess;
    std::optional<QString> accessError;
    // Whether the user allows access when asked (and no error stops the request).
    bool grants = true;
    int requests = 0;
    std::vector<CalendarEvent> stored;
    std::vector<std::pair<WallTime, WallTime>> windows;
    // Whether questions wait for answerHeld(), as calendars read on a worker do.
    bool holdsAnswers = false;
    std::vector<EventsAnswer> held;
};

} // namespace vantrel::test
