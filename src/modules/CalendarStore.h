#pragma once

#include "modules/CalendarItem.h"
#include "platform/CalendarService.h"
#include "platform/Scheduler.h"

#include <QLocale>
#include <QObject>
#include <QTimeZone>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace vantrel {

// Today's events from the user's calendars and a one-sentence briefing of the day. Follows
// calendar changes and the change of day by itself, 250 ms after the last of a burst.
class CalendarStore : public QObject {
    Q_OBJECT

public:
    static constexpr double kRefreshDebounceSeconds = 0.25;
    static inline const QString kDefaultColorHex = QStringLiteral("5AAEFF");

    CalendarStore(CalendarService& service, const Clock& clock, Scheduler& scheduler,
                  QTimeZone zone = QTimeZone::systemTimeZone(), QLocale locale = QLocale(),
                  QObject* parent = nullptr);

    const std::vector<CalendarItem>& events() const { return events_; }
    CalendarAuthorizationStatus authorizationStatus() const { return authorizationStatus_; }
    const std::optional<QString>& errorMessage() const { return errorMessage_; }

    // Reads the access state and, with full access, asks for today's events; they are published
    // when the calendars answer, and the earlier ones shown until then.
    void refresh();
    // Asks for full access, then calls `completion` on a later turn of the event loop.
    void requestAccess(std::function<void()> completion = {});
    // The briefing for this moment.
    QString briefing() const;
    // Today's date in the store's time zone.
    QDate today() const;
    // Where and how the store reads and words times, so views show them the same way.
    const QTimeZone& zone() const { return zone_; }
    const QLocale& locale() const { return locale_; }

    // Today in the store's time zone: from the start of the day to the start of the next one,
    // which is 23 or 25 hours away on a daylight-saving day.
    std::pair<WallTime, WallTime> todayWindow() const;
    // RRGGBB from the first three colour components, each clamped to 0...1; "5AAEFF" for fewer
    // than three components.
    static QString hexString(const std::vector<double>& components);

Q_SIGNALS:
    void eventsChanged();
    void authorizationStatusChanged();
    void errorMessageChanged();

private:
    void setAuthorizationStatus(CalendarAuthorizationStatus status);
    void setEvents(std::vector<CalendarItem> events);
    void applyEvents(std::vector<CalendarEvent> found);
    void setErrorMessage(std::optional<QString> message);
    void scheduleRefresh();
    void scheduleDayChange();

    CalendarService& service_;
    const Clock& clock_;
    Scheduler& scheduler_;
    QTimeZone zone_;
    QLocale locale_;

    std::vector<CalendarItem> events_;
    CalendarAuthorizationStatus authorizationStatus_;
    std::optional<QString> errorMessage_;
    std::uint64_t question_ = 0;
    ScheduledTask pendingRefresh_;
    ScheduledTask dayChange_;
};

} // namespace vantrel
