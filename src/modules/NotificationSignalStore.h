#pragma once

#include "core/SharedInstance.h"
#include "platform/Clock.h"
#include "platform/EnumTraits.h"

#include <QObject>
#include <QUuid>
#include <optional>
#include <vector>

namespace vantrel {

class VantrelPreferences;

#define VANTREL_SIGNAL_SOURCE_CASES(C) C(timer) C(macOS)
VANTREL_STRING_ENUM(SignalEventSource, VANTREL_SIGNAL_SOURCE_CASES)
#undef VANTREL_SIGNAL_SOURCE_CASES

// The system's own pending alerts, in memory only: the list starts empty at every launch.
class NotificationSignalStore final : public QObject, public SharedInstance<NotificationSignalStore> {
    Q_OBJECT
public:
    static constexpr std::size_t kCapacity = 25;

    struct SignalEvent {
        using Source = SignalEventSource;
        QUuid id;
        Source source = Source::timer;
        QString title;
        WallTime createdAt;
        bool isUrgent = false;
        bool operator==(const SignalEvent&) const = default;
    };

    NotificationSignalStore(const VantrelPreferences& preferences, const Clock& clock,
                            QObject* parent = nullptr);

    // Records one alert while alerts are enabled; only the newest 25 are kept.
    void recordVantrelEvent(const QString& title, bool isUrgent);

    // Oldest first.
    const std::vector<SignalEvent>& pendingEvents() const { return pendingEvents_; }
    // Callers clear the alerts by setting an empty list.
    void setPendingEvents(std::vector<SignalEvent> events);
    std::optional<WallTime> lastSignalAt() const { return lastSignalAt_; }

    QString statusMessage() const;

Q_SIGNALS:
    void pendingEventsChanged();
    void lastSignalAtChanged();

private:
    const VantrelPreferences& preferences_;
    const Clock& clock_;
    std::vector<SignalEvent> pendingEvents_;
    std::optional<WallTime> lastSignalAt_;
};

} // namespace vantrel
