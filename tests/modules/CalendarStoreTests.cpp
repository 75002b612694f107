#include "modules/CalendarStore.h"

#include "support/FakeCalendarService.h"
#include "support/ManualScheduler.h"
#include "support/UtcTime.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

struct CalendarFixture : ::testing::Test {
    // Monday 2026-01-05 09:00 UTC.
    ManualClock clock;
    ManualScheduler scheduler{clock};
    FakeCalendarService service;

    std::unique_ptr<CalendarStore> makeStore(QTimeZone zone = QTimeZone::utc()) {
        return std::make_unique<CalendarStore>(service, clock, scheduler, zone,
                                               QLocale(QLocale::English, QLocale::UnitedKingdom));
    }
    CalendarEvent timed(const char* title, double startMinutes, double endMinutes) const {
        CalendarEvent event;
        event.identifier = QString::fromLatin1(title);
        event.title = QString::fromLatin1(title);
        event.startDate = addSeconds(clock.now(), Seconds(startMinutes * 60));
        event.endDate = addSeconds(clock.now(), Seconds(endMinutes * 60));
        return event;
    }
    QString briefingFor(std::vector<CalendarEvent> events) {
        service.stored = std::move(events);
        auto store = makeStore();
        store->refresh();
        return store->briefing();
    }
    // The window of the latest events question.
    std::pair<WallTime, WallTime> lastWindow() const { return service.windows.back(); }
};

} // namespace

TEST_F(CalendarFixture, BriefingTexts) {
    CalendarEvent allDay = timed("Offsite", -540, 900);
    allDay.isAllDay = true;
    EXPECT_EQ(briefingFor({}), QStringLiteral("Your day is clear."));
    EXPECT_EQ(briefingFor({timed("Breakfast", -120, -60)}), QStringLiteral("No more events today."));
    // All-day events start at midnight, so they sort ahead of later timed ones.
    EXPECT_EQ(briefingFor({timed("Review", 30, 60), allDay}),
              QStringLiteral("Offsite is scheduled all day."));
    EXPECT_EQ(briefingFor({timed("Stand-up", -10, 5)}), QStringLiteral("Stand-up is happening now."));
    EXPECT_EQ(briefingFor({timed("Review", 59.9, 90)}), QStringLiteral("Review starts in 59 minutes."));
    EXPECT_EQ(briefingFor({timed("Review", 60.5, 90)}), QStringLiteral("1 event remaining; next at 10:00."))
        << "a whole hour ahead is counted, not given in minutes";
    EXPECT_EQ(briefingFor({timed("Lunch", 90, 150), timed("Gym", 300, 360), timed("Breakfast", -120, -60)}),
              QStringLiteral("2 events remaining; next at 10:30."));
    EXPECT_EQ(briefingFor({timed("Lunch", 90, 150)}), QStringLiteral("1 event remaining; next at 10:30."));
}

TEST_F(CalendarFixture, ItemsTakeDefaultsAndSortStably) {
    CalendarEvent nameless = timed("x", 5, 10);
    nameless.identifier.reset();
    nameless.title.reset();
    service.stored = {timed("Later", 60, 70), nameless, timed("", 5, 10)};
    auto store = makeStore();
    store->refresh();
    QStringList titles;
    for (const CalendarItem& item : store->events()) titles.append(item.title);
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Untitled event"), QString(), QStringLiteral("Later")}))
        << "an empty title stays; the same start keeps the store's order";
}

TEST_F(CalendarFixture, TenChangesGiveOneRefreshAndMidnightAnother) {
    auto store = makeStore();
    for (int i = 0; i < 10; ++i) {
        service.announceChange();
        scheduler.advance(Seconds(0.01));
    }
    scheduler.advance(Seconds(0.239));
    EXPECT_TRUE(service.windows.empty()) << "250 ms after the last, not the first";
    scheduler.advance(Seconds(0.002));
    ASSERT_EQ(service.windows.size(), 1u);
    EXPECT_EQ(lastWindow(), std::make_pair(utc("2026-01-05T00:00:00Z"), utc("2026-01-06T00:00:00Z")));

    scheduler.advance(Seconds(15 * 3600));
    ASSERT_EQ(service.windows.size(), 2u);
    EXPECT_EQ(lastWindow(), std::make_pair(utc("2026-01-06T00:00:00Z"), utc("2026-01-07T00:00:00Z")));

    store.reset();
    service.announceChange();
    scheduler.advance(Seconds(1));
    EXPECT_EQ(service.windows.size(), 2u) << "a destroyed store refreshes nothing";
}

TEST_F(CalendarFixture, TodaysWindowOnDaylightSavingDays) {
    const QTimeZone berlin("Europe/Berlin");
    clock.setWallTime(utc("2026-03-29T12:00:00Z"));
    makeStore(berlin)->refresh();
    EXPECT_EQ(lastWindow(), std::make_pair(utc("2026-03-28T23:00:00Z"), utc("2026-03-29T22:00:00Z")));

    clock.setWallTime(utc("2026-10-25T22:30:00Z")); // 23:30 in Berlin, after the clocks went back
    makeStore(berlin)->refresh();
    EXPECT_EQ(lastWindow(), std::make_pair(utc("2026-10-24T22:00:00Z"), utc("2026-10-25T23:00:00Z")));
}

TEST_F(CalendarFixture, NothingIsReadUntilAccessIsGrantedOnALaterTurn) {
    service.status = CalendarAuthorizationStatus::notDetermined;
    service.stored = {timed("Stand-up", 10, 20)};
    auto store = makeStore();
    store->refresh();
    EXPECT_TRUE(store->events().empty());
    EXPECT_EQ(store->briefing(), QStringLiteral("Connect Calendar to build an on-device day briefing."));
    int completions = 0;
    store->requestAccess([&] { ++completions; });
    EXPECT_EQ(completions, 0);
    scheduler.runDue();
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(store->events().size(), 1u) << "granted access refreshes at once";

    service.accessError = QStringLiteral("The calendars folder could not be created.");
    store->requestAccess({});
    scheduler.runDue();
    EXPECT_EQ(store->errorMessage(), QStringLiteral("The calendars folder could not be created."));
    store->requestAccess([&] { ++completions; });
    store.reset();
    scheduler.runDue();
    EXPECT_EQ(completions, 2) << "the caller hears back even when the store is gone";
}

TEST_F(CalendarFixture, ColourTextIsAlwaysSixUpperCaseDigits) {
    EXPECT_EQ(CalendarStore::hexString({0.5, 0.5}), QStringLiteral("5AAEFF")) << "a grey colour";
    EXPECT_EQ(CalendarStore::hexString({1.2, -0.1, 0.5, 0.3}), QStringLiteral("FF007F")) << "extended range";
    EXPECT_EQ(CalendarStore::hexString({std::nan(""), 1e300, -1e300}), QStringLiteral("00FF00"));
    for (int k = 0; k < 256; ++k) {
        const double c = k / 255.0;
        EXPECT_EQ(CalendarStore::hexString({c, c, c}), QString::asprintf("%02X%02X%02X", k, k, k));
    }
}

TEST_F(CalendarFixture, AnAccessRequestStartsAndEndsWithoutAnOldError) {
    service.status = CalendarAuthorizationStatus::notDetermined;
    auto store = makeStore();
    service.accessError = QStringLiteral("Calendar daemon gone.");
    store->requestAccess();
    scheduler.runDue();
    ASSERT_EQ(store->errorMessage(), QStringLiteral("Calendar daemon gone."));

    // The next request clears it as it starts; a refusal without an error leaves none, so the
    // denied status shows for what it is.
    service.accessError.reset();
    service.grants = false;
    int changes = 0;
    QObject::connect(store.get(), &CalendarStore::errorMessageChanged, [&] { ++changes; });
    store->requestAccess();
    EXPECT_FALSE(store->errorMessage().has_value());
    EXPECT_EQ(changes, 1);
    scheduler.runDue();
    EXPECT_FALSE(store->errorMessage().has_value());
    EXPECT_EQ(store->authorizationStatus(), CalendarAuthorizationStatus::denied);
    EXPECT_EQ(changes, 1);

    // An error that comes back while the answer waits is published again.
    service.accessError = QStringLiteral("Still gone.");
    store->requestAccess();
    scheduler.runDue();
    EXPECT_EQ(store->errorMessage(), QStringLiteral("Still gone."));
}

TEST_F(CalendarFixture, AFailedRequestKeepsItsErrorEvenWithAccess) {
    service.stored = {timed("Stand-up", 10, 20)};
    auto store = makeStore();
    store->refresh();
    service.accessError = QStringLiteral("Calendar daemon gone.");
    store->requestAccess();
    scheduler.runDue();
    EXPECT_EQ(store->errorMessage(), QStringLiteral("Calendar daemon gone.")) << "no refresh wipes it";
}

TEST_F(CalendarFixture, EventsArriveWhenTheCalendarsAnswerAndOnlyTheLatestAnswerCounts) {
    service.holdsAnswers = true;
    service.stored = {timed("Stand-up", 30, 45)};
    auto store = makeStore();
    store->refresh();
    // Until the calendars answer, the briefing shows what it had: nothing yet.
    EXPECT_TRUE(store->events().empty());
    EXPECT_EQ(store->briefing(), QStringLiteral("Your day is clear."));
    service.answerHeld();
    EXPECT_EQ(store->briefing(), QStringLiteral("Stand-up starts in 30 minutes."));
    const WallTime was = clock.now();
    clock.setWallTime(addSeconds(was, Seconds(28.5 * 60)));
    EXPECT_EQ(store->briefing(), QStringLiteral("Stand-up starts in 1 minutes.")) << "the same words for one";
    clock.setWallTime(was);

    // A refresh keeps the earlier events on show while its answer is on its way.
    service.stored = {timed("Review", 20, 50)};
    store->refresh();
    EXPECT_EQ(store->briefing(), QStringLiteral("Stand-up starts in 30 minutes."));
    // Two questions in flight: the older answer is dropped, the newer one shown.
    store->refresh();
    ASSERT_EQ(service.held.size(), 2u);
    auto older = std::move(service.held.front());
    service.held.erase(service.held.begin());
    older({timed("Stale", 5, 10)});
    EXPECT_EQ(store->briefing(), QStringLiteral("Stand-up starts in 30 minutes."));
    service.answerHeld();
    EXPECT_EQ(store->briefing(), QStringLiteral("Review starts in 20 minutes."));

    // Access withdrawn while a question is out: its late answer shows nothing.
    store->refresh();
    service.status = CalendarAuthorizationStatus::denied;
    store->refresh();
    service.status = CalendarAuthorizationStatus::fullAccess;
    service.answerHeld();
    EXPECT_TRUE(store->events().empty());

    // An answer arriving after the store is gone is harmless.
    store->refresh();
    store.reset();
    service.answerHeld();
}

TEST_F(CalendarFixture, AccessLostInTheSettingsEmptiesTheEventsWhenARequestComesBack) {
    service.holdsAnswers = true;
    service.stored = {timed("Stand-up", 30, 45)};
    auto store = makeStore();
    store->refresh();
    service.answerHeld();
    ASSERT_EQ(store->events().size(), 1u);

    // Withdrawn in the system settings while a question is out; the next request is refused.
    store->refresh();
    ASSERT_EQ(service.held.size(), 1u);
    service.status = CalendarAuthorizationStatus::denied;
    service.grants = false;
    int eventChanges = 0;
    QObject::connect(store.get(), &CalendarStore::eventsChanged, [&] { ++eventChanges; });
    store->requestAccess();
    scheduler.runDue();
    EXPECT_EQ(store->authorizationStatus(), CalendarAuthorizationStatus::denied);
    EXPECT_TRUE(store->events().empty()) << "a refusal shows no events";
    EXPECT_EQ(eventChanges, 1);
    EXPECT_EQ(store->briefing(), QStringLiteral("Connect Calendar to build an on-device day briefing."));
    service.answerHeld();
    EXPECT_TRUE(store->events().empty()) << "an answer asked for with access is dropped without it";
    EXPECT_EQ(eventChanges, 1);

    // Back with full access, then restricted and a request that fails with an error.
    service.status = CalendarAuthorizationStatus::fullAccess;
    store->refresh();
    service.answerHeld();
    ASSERT_EQ(store->events().size(), 1u);
    store->refresh();
    service.status = CalendarAuthorizationStatus::restricted;
    service.accessError = QStringLiteral("Calendar access is restricted.");
    store->requestAccess();
    scheduler.runDue();
    EXPECT_EQ(store->errorMessage(), QStringLiteral("Calendar access is restricted."));
    EXPECT_TRUE(store->events().empty());
    service.status = CalendarAuthorizationStatus::fullAccess;
    service.answerHeld();
    EXPECT_TRUE(store->events().empty()) << "the late answer stays dropped though access came back";
}
