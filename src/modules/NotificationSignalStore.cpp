#include "modules/NotificationSignalStore.h"

#include "core/VantrelPreferences.h"

namespace vantrel {

NotificationSignalStore::NotificationSignalStore(const VantrelPreferences& preferences, const Clock& clock,
                                                 QObject* parent)
    : QObject(parent), preferences_(preferences), clock_(clock) {}

void NotificationSignalStore::recordVantrelEvent(const QString& title, bool isUrgent) {
    if (!preferences_.notificationsEnabled()) return;
    const WallTime now = clock_.now();
    pendingEvents_.push_back({QUuid::createUuid(), SignalEvent::Source::timer, title, now, isUrgent});
    if (pendingEvents_.size() > kCapacity)
        pendingEvents_.erase(pendingEvents_.begin(),
                             pendingEvents_.end() - static_cast<std::ptrdiff_t>(kCapacity));
    Q_EMIT pendingEventsChanged();
    lastSignalAt_ = now;
    Q_EMIT lastSignalAtChanged();
}

void NotificationSignalStore::setPendingEvents(std::vector<SignalEvent> events) {
    pendingEvents_ = std::move(events);
    Q_EMIT pendingEventsChanged();
}

QString NotificationSignalStore::statusMessage() const {
    if (pendingEvents_.empty()) return QStringLiteral("No Vantrel alerts are waiting.");
    if (pendingEvents_.size() == 1) return QStringLiteral("Waiting: ") + pendingEvents_.front().title;
    return QStringLiteral("Waiting: %1 Vantrel alerts").arg(pendingEvents_.size());
}

} // namespace vantrel
