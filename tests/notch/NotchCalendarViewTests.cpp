#include "core/ClockText.h"
#include "kit/KitPaint.h"
#include "kit/KitRender.h"
#include "modules/CalendarStore.h"
#include "notch/NotchCalendarView.h"
#include "notch/PaintedTexts.h"
#include "support/FakeCalendarService.h"
#include "support/ManualScheduler.h"
#include "support/RecordingWorkspace.h"
#include "support/UtcTime.h"

#include <QApplication>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

using Status = CalendarAuthorizationStatus;

struct CalendarTab : ::testing::Test {
    // Monday 2026-01-05 09:00 UTC.
    ManualClock clock;
    ManualScheduler scheduler{clock};
    FakeCalendarService service;
    RecordingWorkspace workspace;
    CalendarStore store{service, clock, scheduler, QTimeZone::utc(),
                        QLocale(QLocale::English, QLocale::UnitedKingdom)};
    const QColor accent{255, 99, 71};

    std::unique_ptr<NotchCalendarView> makeView() {
        auto view = std::make_unique<NotchCalendarView>(store, workspace, accent);
        view->resize(640, 320);
        return view;
    }
    CalendarEvent event(const char* title, const char* start, const char* end, bool allDay = false) {
        CalendarEvent e;
        e.identifier = QString::fromLatin1(title);
        e.title = QString::fromLatin1(title);
        e.startDate = utc(start);
        e.endDate = utc(end);
        e.isAllDay = allDay;
        return e;
    }
    void setStatus(Status status) {
        service.status = status;
        store.refresh();
    }
    // The state view's title, message and button text ("" without a button).
    static QStringList stateOf(const NotchCalendarView& view) {
        const NotchStateView* state = view.stateView();
        if (!state) return {};
        return {state->symbol(), state->title(), state->message(),
                state->actionButton() ? state->actionButton()->text() : QString()};
    }
};

const QString kSettings =
    QStringLiteral("x-apple.systempreferences:com.apple.preference.security?Privacy_Calendars");

} // namespace

TEST_F(CalendarTab, EachBodyWithItsTexts) {
    auto view = makeView();
    const QStringList connect{"calendar.badge.exclamationmark", "Connect Calendar",
                              "Vantrel reads today\u2019s events on this Mac to build your briefing.",
                              "Allow Calendar"};
    const QStringList off{"calendar.badge.exclamationmark", "Calendar access is off",
                          "Allow Vantrel in Privacy & Security to show today\u2019s events.",
                          "Open Settings"};
    for (auto [status, expected] :
         {std::pair{Status::notDetermined, connect}, std::pair{Status::writeOnly, connect},
          std::pair{Status::denied, off}, std::pair{Status::restricted, off}}) {
        setStatus(status);
        EXPECT_EQ(view->currentBody(), NotchCalendarView::Body::access);
        EXPECT_EQ(stateOf(*view), expected) << int(status);
        EXPECT_EQ(view->eventList(), nullptr);
    }

    // Full access, nothing today: the list with the empty state over it, and no button.
    setStatus(Status::fullAccess);
    EXPECT_EQ(view->currentBody(), NotchCalendarView::Body::events);
    ASSERT_NE(view->eventList(), nullptr);
    EXPECT_EQ(stateOf(*view),
              QStringList({"checkmark.circle", "Nothing else today", "Enjoy the breathing room.", ""}));
    EXPECT_TRUE(paintedTexts(*view).contains("Your day is clear.")) << "the header keeps the briefing";

    // With events: rows and no state view.
    service.stored = {event("Design review", "2026-01-05T14:00:00Z", "2026-01-05T15:30:00Z"),
                      event("Offsite", "2026-01-05T00:00:00Z", "2026-01-06T00:00:00Z", true)};
    store.refresh();
    EXPECT_EQ(view->stateView(), nullptr);
    ASSERT_NE(view->eventList(), nullptr);
    EXPECT_GE(view->eventList()->widget()->minimumSizeHint().height(), 2 * 62 + 8);

    // An error wins over every status, with the system's own words.
    service.accessError = QStringLiteral("The calendars folder could not be created.");
    setStatus(Status::denied);
    store.requestAccess();
    scheduler.runDue();
    EXPECT_EQ(view->currentBody(), NotchCalendarView::Body::error);
    EXPECT_EQ(stateOf(*view), QStringList({"calendar.badge.exclamationmark", "Calendar could not load",
                                           "The calendars folder could not be created.", "Try Again"}));
}

TEST_F(CalendarTab, RowsShowTitlesAsWrittenAndTheirTimes) {
    service.stored = {event("<b>Stand-up</b>", "2026-01-05T09:30:00Z", "2026-01-05T09:45:00Z"),
                      event("Offsite", "2026-01-05T00:00:00Z", "2026-01-06T00:00:00Z", true)};
    store.refresh();
    auto view = makeView();
    view->show();
    const QStringList texts = paintedTexts(*view);
    // All-day events sort first; the title's markup is text.
    const qsizetype offsite = texts.indexOf("Offsite");
    const qsizetype standup = texts.indexOf("<b>Stand-up</b>");
    ASSERT_GE(offsite, 0);
    ASSERT_GE(standup, 0);
    EXPECT_LT(offsite, standup);
    EXPECT_EQ(texts[offsite + 1], "All day");
    EXPECT_EQ(texts[standup + 1], QString::fromUtf8("09:30 \u2013 09:45"));
    EXPECT_EQ(texts.first(), "Monday, 5 January") << "the date leads the header";
    // The rows paint over the notch's own surface: the 8 between two rows stays clear.
    QScrollArea* area = view->findChild<QScrollArea*>();
    ASSERT_NE(area, nullptr);
    ASSERT_NE(area->widget(), nullptr);
    QImage list(area->widget()->size(), QImage::Format_ARGB32_Premultiplied);
    list.fill(Qt::transparent);
    area->widget()->render(&list, QPoint(), QRegion(), QWidget::DrawChildren);
    ASSERT_GT(list.height(), 66);
    EXPECT_EQ(qAlpha(list.pixel(list.width() / 2, 66)), 0);
    EXPECT_GT(qAlpha(list.pixel(list.width() / 2, 30)), 0) << "a row's own fill";

    // Rows: padding 11, a 4 by 40 bar, 8 between rows.
    const auto rows = NotchCalendarView::rowRects(300, 2);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], QRectF(0, 0, 300, 62));
    EXPECT_EQ(rows[1], QRectF(0, 70, 300, 62));
    const auto row = NotchCalendarView::rowLayout(rows[1]);
    EXPECT_EQ(row.bar, QRectF(11, 81, 4, 40));
    EXPECT_EQ(row.title.left(), 26);
    EXPECT_EQ(row.title.right(), 289);
    EXPECT_DOUBLE_EQ(row.time.top(), row.title.bottom() + 3);
    EXPECT_DOUBLE_EQ(row.title.top() - rows[1].top(), rows[1].bottom() - row.time.bottom())
        << "centred in the row";
}

// Twelve events do not fit the notch: the keyboard reaches the list by Tab and walks its rows with
// the arrows, Page Up and Page Down, Home and End (with or without Ctrl), the list scrolling to the
// row it is on, which wears the focus ring.
TEST_F(CalendarTab, TheKeyboardReachesTheListAndScrollsToEveryRow) {
    std::vector<CalendarEvent> events;
    for (int hour = 9; hour < 21; ++hour) {
        const QByteArray start =
            QStringLiteral("2026-01-05T%1:00:00Z").arg(hour, 2, 10, QChar(u'0')).toLatin1();
        const QByteArray end =
            QStringLiteral("2026-01-05T%1:30:00Z").arg(hour, 2, 10, QChar(u'0')).toLatin1();
        events.push_back(event(QStringLiteral("Event %1").arg(hour).toLatin1().constData(), start.constData(),
                               end.constData()));
    }
    service.stored = events;
    store.refresh();
    ASSERT_EQ(store.events().size(), 12u);
    QWidget window;
    auto* before = new QPushButton(QStringLiteral("Calendar"), &window);
    auto view = makeView();
    view->setParent(&window);
    view->move(0, 40);
    window.resize(640, 360);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QScrollArea* area = view->eventList();
    ASSERT_NE(area, nullptr);
    QWidget* list = area->widget();
    ASSERT_LT(area->viewport()->height(), 12 * 70) << "the rows overflow the list";

    before->setFocus(Qt::TabFocusReason);
    QTest::keyClick(before, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), list) << "Tab reaches the list";
    EXPECT_TRUE(list->accessibleDescription().startsWith("Event 9, 09:00"))
        << list->accessibleDescription().toStdString();
    const QImage resting = [&] {
        list->clearFocus();
        return renderWidget(*list);
    }();
    list->setFocus(Qt::TabFocusReason);
    EXPECT_NE(renderWidget(*list), resting) << "the row the keyboard is on wears a ring";

    // The row the keyboard is on is always wholly in view.
    const auto rowInView = [&](int index) {
        const QRectF row = NotchCalendarView::rowRects(list->width(), 12)[std::size_t(index)];
        const QRect shown(list->mapFrom(area->viewport(), QPoint(0, 0)), area->viewport()->size());
        return shown.contains(row.toAlignedRect());
    };
    const auto scrolled = [&] { return area->verticalScrollBar()->value(); };
    EXPECT_EQ(scrolled(), 0);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_TRUE(list->accessibleDescription().startsWith("Event 11"));
    QTest::keyClick(list, Qt::Key_PageDown);
    const int page = scrolled();
    EXPECT_GT(page, 0) << "Page Down scrolls";
    EXPECT_FALSE(rowInView(0));
    QTest::keyClick(list, Qt::Key_PageDown);
    EXPECT_GT(scrolled(), page);
    QTest::keyClick(list, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(scrolled(), area->verticalScrollBar()->maximum()) << "Ctrl+End reaches the last row";
    EXPECT_TRUE(rowInView(11));
    EXPECT_TRUE(list->accessibleDescription().startsWith("Event 20, 20:00"));
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_TRUE(rowInView(11)) << "no further than the last";
    QTest::keyClick(list, Qt::Key_PageUp);
    EXPECT_LT(scrolled(), area->verticalScrollBar()->maximum());
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Home);
    EXPECT_EQ(scrolled(), 0);
    EXPECT_TRUE(rowInView(0));
    QTest::keyClick(list, Qt::Key_End);
    EXPECT_TRUE(rowInView(11));
    QTest::keyClick(list, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_TRUE(rowInView(0));

    // Leaving, the list stays where the keyboard left it.
    QTest::keyClick(list, Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), list);
    EXPECT_EQ(scrolled(), 0) << "the list jumped as the focus left it";
    view->setParent(nullptr);
}

TEST_F(CalendarTab, DateTitleInTheLocalesOrderWithoutTheYear) {
    const QDate monday(2026, 12, 7);
    EXPECT_EQ(NotchCalendarView::dateTitle(monday, QLocale(QLocale::English, QLocale::UnitedStates)),
              "Monday, December 7");
    EXPECT_EQ(NotchCalendarView::dateTitle(monday, QLocale(QLocale::German, QLocale::Germany)),
              "Montag, 7. Dezember");
    EXPECT_EQ(NotchCalendarView::dateTitle(monday, QLocale(QLocale::English, QLocale::UnitedKingdom)),
              "Monday, 7 December");
}

TEST_F(CalendarTab, ActionsRequestAccessOrOpenTheCalendarsPane) {
    auto view = makeView();
    setStatus(Status::denied);
    view->stateView()->actionButton()->click();
    ASSERT_EQ(workspace.opened.size(), 1u);
    EXPECT_EQ(workspace.opened[0].toString(), kSettings);
    EXPECT_EQ(service.requests, 0) << "settings only: no request";

    setStatus(Status::notDetermined);
    view->stateView()->actionButton()->click();
    EXPECT_EQ(service.requests, 1);
    scheduler.runDue();
    EXPECT_EQ(view->currentBody(), NotchCalendarView::Body::events);
    EXPECT_EQ(workspace.opened.size(), 1u);

    // "Try Again" asks again even while access is denied.
    service.accessError = QStringLiteral("Calendar daemon gone.");
    service.status = Status::denied;
    store.requestAccess();
    scheduler.runDue();
    ASSERT_EQ(view->currentBody(), NotchCalendarView::Body::error);
    view->stateView()->actionButton()->click();
    EXPECT_EQ(service.requests, 3);
    EXPECT_EQ(workspace.opened.size(), 1u);
}

TEST_F(CalendarTab, AStaleErrorGivesWayToTheDeniedPath) {
    auto view = makeView();
    service.status = Status::notDetermined;
    service.accessError = QStringLiteral("Calendar daemon gone.");
    store.requestAccess();
    scheduler.runDue();
    ASSERT_EQ(view->currentBody(), NotchCalendarView::Body::error);

    // The user tries again and declines: the error is gone as soon as the request starts, and the
    // refusal leads to the settings, not back to "Try Again".
    service.accessError.reset();
    service.grants = false;
    view->stateView()->actionButton()->click();
    EXPECT_FALSE(store.errorMessage().has_value());
    scheduler.runDue();
    EXPECT_FALSE(store.errorMessage().has_value());
    EXPECT_EQ(view->currentBody(), NotchCalendarView::Body::access);
    EXPECT_EQ(view->stateView()->title(), "Calendar access is off");
    view->stateView()->actionButton()->click();
    ASSERT_EQ(workspace.opened.size(), 1u);
    EXPECT_EQ(workspace.opened[0].toString(), kSettings);
}

TEST(EventTimes, HoursAndMinutesInEveryLocaleAlsoWhereTheShortFormatHasSeconds) {
    CalendarItem late;
    late.title = QStringLiteral("Late review");
    late.startDate = utc("2026-01-05T22:00:00Z");
    late.endDate = utc("2026-01-05T23:15:00Z");
    // Under LANG=C.UTF-8 the locale is C, whose short time format is "HH:mm:ss".
    ASSERT_EQ(QLocale::c().timeFormat(QLocale::ShortFormat), "HH:mm:ss");
    EXPECT_EQ(NotchCalendarView::timeLine(late, QTimeZone::utc(), QLocale::c()),
              QString::fromUtf8("22:00 \u2013 23:15"));
    EXPECT_EQ(NotchCalendarView::timeLine(late, QTimeZone::utc(), QLocale(QLocale::German, QLocale::Germany)),
              QString::fromUtf8("22:00 \u2013 23:15"));
    EXPECT_EQ(ClockText::hoursAndMinutes(QLocale::c(), QTime(7, 5, 42)), "07:05");
    // A twelve-hour locale keeps its day half: 10:00 PM.
    const QString evening =
        ClockText::hoursAndMinutes(QLocale(QLocale::English, QLocale::UnitedStates), QTime(22, 0, 30));
    EXPECT_TRUE(evening.startsWith("10:00") && evening.endsWith("PM")) << evening.toStdString();
    EXPECT_EQ(evening.size(), 8);
    EXPECT_EQ(ClockText::hoursAndMinutesFormat(QLocale::c()), "HH:mm");

    // The day briefing names the next event's time the same way.
    ManualClock clock;
    clock.setWallTime(utc("2026-01-05T20:30:00Z"));
    ManualScheduler scheduler{clock};
    FakeCalendarService service;
    service.status = CalendarAuthorizationStatus::fullAccess;
    CalendarEvent event;
    event.identifier = event.title = QStringLiteral("Late review");
    event.startDate = late.startDate;
    event.endDate = late.endDate;
    service.stored = {event};
    CalendarStore store{service, clock, scheduler, QTimeZone::utc(), QLocale::c()};
    store.refresh();
    EXPECT_EQ(store.briefing(), "1 event remaining; next at 22:00.");
}

// A change of today's events keeps the list with the focus on the event the keyboard was on,
// wherever it now stands, or on the one that took its place when it went.
TEST_F(CalendarTab, AChangeOfTheEventsKeepsTheFocusOnTheEventTheKeyboardWasOn) {
    service.stored = {event("Standup", "2026-01-05T10:00:00Z", "2026-01-05T10:15:00Z"),
                      event("Review", "2026-01-05T11:00:00Z", "2026-01-05T12:00:00Z"),
                      event("Lunch", "2026-01-05T12:30:00Z", "2026-01-05T13:30:00Z")};
    store.refresh();
    QWidget window;
    auto view = makeView();
    view->setParent(&window);
    window.resize(640, 320);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QWidget* list = view->eventList()->widget();
    list->setFocus(Qt::TabFocusReason);
    QTest::keyClick(list, Qt::Key_Down);
    ASSERT_TRUE(list->accessibleDescription().startsWith("Review"));

    service.stored.insert(service.stored.begin(),
                          event("Gym", "2026-01-05T09:30:00Z", "2026-01-05T09:45:00Z"));
    store.refresh();
    EXPECT_EQ(QApplication::focusWidget(), list);
    EXPECT_TRUE(list->accessibleDescription().startsWith("Review, 11:00"))
        << list->accessibleDescription().toStdString();
    service.stored.erase(service.stored.begin() + 2);
    store.refresh();
    EXPECT_EQ(QApplication::focusWidget(), list);
    EXPECT_TRUE(list->accessibleDescription().startsWith("Lunch, 12:30"))
        << list->accessibleDescription().toStdString();
    view->setParent(nullptr);
}

// A click on a row selects it and puts the keys there, with no ring: the arrows go on from it.
TEST_F(CalendarTab, AClickSelectsItsRowAndTheArrowsGoOnFromIt) {
    service.stored = {event("Standup", "2026-01-05T10:00:00Z", "2026-01-05T10:15:00Z"),
                      event("Review", "2026-01-05T11:00:00Z", "2026-01-05T12:00:00Z"),
                      event("Lunch", "2026-01-05T12:30:00Z", "2026-01-05T13:30:00Z")};
    store.refresh();
    QWidget window;
    auto view = makeView();
    view->setParent(&window);
    window.resize(640, 320);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QWidget* list = view->eventList()->widget();
    const QImage resting = renderWidget(*list);
    const QRectF review = NotchCalendarView::rowRects(list->width(), 3)[1];
    QTest::mouseClick(list, Qt::LeftButton, {}, review.center().toPoint());
    EXPECT_EQ(QApplication::focusWidget(), list);
    EXPECT_TRUE(list->accessibleDescription().startsWith("Review, 11:00"))
        << list->accessibleDescription().toStdString();
    EXPECT_FALSE(KitPaint::showsFocusRing(list)) << "a click brings no ring";
    const QImage selected = renderWidget(*list);
    EXPECT_NE(selected.pixel(review.center().toPoint() + QPoint(0, 26)),
              resting.pixel(review.center().toPoint() + QPoint(0, 26)))
        << "the clicked row shows as selected";
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_TRUE(list->accessibleDescription().startsWith("Lunch, 12:30"));
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_TRUE(list->accessibleDescription().startsWith("Standup, 10:00"));
    view->setParent(nullptr);
}
