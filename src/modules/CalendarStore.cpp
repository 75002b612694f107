#include "modules/CalendarStore.h"

#include "core/ClockText.h"
#include "platform/SetIfChanged.h"

#include <QDateTime>
#include <QPointer>
#include <QUuid>
#include <algorithm>
#include <cmath>

namespace vantrel {

CalendarStore::CalendarStore(CalendarService& service, const Clock& clock, Scheduler& scheduler,
                             QTimeZone zone, QLocale locale, QObject* parent)
    : QObject(parent), service_(service), clock_(clock), scheduler_(scheduler), zone_(std::move(zone)),
      locale_(std::move(locale)), authorizationStatus_(service.authorizationStatus()) {
    connect(&service_, &CalendarService::storeChanged, this, &CalendarStore::scheduleRefresh);
    scheduleDayChange();
}

QDate CalendarStore::today() const {
    return toQDateTime(clock_.now()).toTimeZone(zone_).date();
}

std::pair<WallTime, WallTime> CalendarStore::todayWindow() const {
    const QDate today = this->today();
    // startOfDay also copes with zones whose clocks skip midnight itself.
    // Only on the first or last day the clock can count is part of the day beyond its range; the
    // window then stops at the range's end.
    return {fromQDateTime(today.startOfDay(zone_)).value_or(WallTime::min()),
            fromQDateTime(today.addDays(1).startOfDay(zone_)).value_or(WallTime::max())};
}

QString CalendarStore::hexString(const std::vector<double>& components) {
    if (components.size() < 3) return kDefaultColorHex;
    int bytes[3];
    for (int i = 0; i < 3; ++i) {
        const double c = components[static_cast<std::size_t>(i)];
        // Extended-range colours reach beyond 0...1; a component past either end is that end, so
        // the text is always two digits per component. The tiny bias keeps k/255 from truncating
        // to k-1 through rounding error.
        const double clamped = std::isnan(c) ? 0.0 : std::clamp(c, 0.0, 1.0);
        bytes[i] = static_cast<int>(std::floor(clamped * 255.0 + 1e-9));
    }
    return QString::asprintf("%02X%02X%02X", bytes[0], bytes[1], bytes[2]);
}

void CalendarStore::refresh() {
    // Re-armed on every refresh, so a day change missed during sleep is caught up.
    scheduleDayChange();
    setAuthorizationStatus(service_.authorizationStatus());
    if (authorizationStatus_ != CalendarAuthorizationStatus::fullAccess) return;
    // An answer still on its way belongs to an older question.
    const std::uint64_t question = ++question_;
    setErrorMessage(std::nullopt);
    const auto [start, end] = todayWindow();
    // The events shown stay until the answer comes (the calendars may take a while to read).
    QPointer<CalendarStore> self(this);
    service_.events(start, end, [self, question](std::vector<CalendarEvent> found) {
        if (self && question == self->question_) self->applyEvents(std::move(found));
    });
}

void CalendarStore::applyEvents(std::vector<CalendarEvent> found) {
    std::stable_sort(found.begin(), found.end(), [](const CalendarEvent& a, const CalendarEvent& b) {
        return a.startDate < b.startDate;
    });
    std::vector<CalendarItem> items;
    items.reserve(found.size());
    for (const CalendarEvent& event : found) {
        items.push_back(
            {event.identifier.value_or(QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()),
             event.title.value_or(QStringLiteral("Untitled event")), event.startDate, event.endDate,
             hexString(event.calendarColor), event.isAllDay});
    }
    setEvents(std::move(items));
}

void CalendarStore::requestAccess(std::function<void()> completion) {
    // An error of an earlier request says nothing about this one; left standing it would hide
    // the state that shows the way on (for example the path to the settings after a refusal).
    setErrorMessage(std::nullopt);
    QPointer<CalendarStore> self(this);
    Scheduler* scheduler = &scheduler_;
    service_.requestFullAccess([self, scheduler, completion = std::move(completion)](
                                   bool granted, std::optional<QString> error) mutable {
        // The answer is handled on a later turn of the main loop, never inside the request.
        scheduler->schedule(Seconds(0),
                            [self, granted, error = std::move(error), completion = std::move(completion)] {
                                if (self) {
                                    self->setErrorMessage(error);
                                    self->setAuthorizationStatus(self->service_.authorizationStatus());
                                    if (granted && !error) self->refresh();
                                }
                                if (completion) completion();
                            });
    });
}

QString CalendarStore::briefing() const {
    if (authorizationStatus_ != CalendarAuthorizationStatus::fullAccess)
        return QStringLiteral("Connect Calendar to build an on-device day briefing.");
    const WallTime now = clock_.now();
    std::vector<const CalendarItem*> remaining;
    for (const CalendarItem& item : events_)
        if (item.endDate > now) remaining.push_back(&item);
    if (remaining.empty())
        return events_.empty() ? QStringLiteral("Your day is clear.")
                               : QStringLiteral("No more events today.");
    const CalendarItem& next = *remaining.front();
    const auto minutes = static_cast<long long>(std::trunc(secondsBetween(now, next.startDate) / 60.0));
    if (next.isAllDay) return next.title + QStringLiteral(" is scheduled all day.");
    if (minutes <= 0) return next.title + QStringLiteral(" is happening now.");
    if (minutes < 60) return next.title + QStringLiteral(" starts in %1 minutes.").arg(minutes);
    const auto count = remaining.size();
    const QTime startTime = toQDateTime(next.startDate).toTimeZone(zone_).time();
    return QStringLiteral("%1 event%2 remaining; next at %3.")
        .arg(count)
        .arg(count == 1 ? QString() : QStringLiteral("s"))
        .arg(ClockText::hoursAndMinutes(locale_, startTime));
}

void CalendarStore::scheduleRefresh() {
    // Each notification pushes the refresh back, so a burst ends in one refresh after the last.
    // The task belongs to the store and dies with it.
    pendingRefresh_ = ScheduledTask(scheduler_, scheduler_.schedule(Seconds(kRefreshDebounceSeconds), [this] {
        pendingRefresh_ = ScheduledTask();
        refresh();
    }));
}

void CalendarStore::scheduleDayChange() {
    const WallTime nextDay = todayWindow().second;
    const double delay = std::max(secondsBetween(clock_.now(), nextDay), 1.0);
    dayChange_ = ScheduledTask(scheduler_, scheduler_.schedule(Seconds(delay), [this] {
        dayChange_ = ScheduledTask();
        scheduleDayChange();
        scheduleRefresh();
    }));
}

void CalendarStore::setAuthorizationStatus(CalendarAuthorizationStatus status) {
    // Without full access no event may show, whoever read the status (a refresh or the answer to
    // a refused request); an answer asked for while access lasted is dropped when it comes.
    if (status != CalendarAuthorizationStatus::fullAccess) {
        ++question_;
        setEvents({});
    }
    setIfChanged(this, authorizationStatus_, status, &CalendarStore::authorizationStatusChanged);
}

void CalendarStore::setEvents(std::vector<CalendarItem> events) {
    setIfChanged(this, events_, std::move(events), &CalendarStore::eventsChanged);
}

void CalendarStore::setErrorMessage(std::optional<QString> message) {
    setIfChanged(this, errorMessage_, std::move(message), &CalendarStore::errorMessageChanged);
}

} // namespace vantrel
