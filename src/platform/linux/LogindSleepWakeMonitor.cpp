#include "platform/linux/LogindSleepWakeMonitor.h"

#include <vector>

namespace vantrel {

LogindSleepWakeMonitor::LogindSleepWakeMonitor(QDBusConnection bus) {
    if (!bus.isConnected()) return;
    listening_ =
        bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                    QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"), this,
                    SLOT(handlePrepareForSleep(bool)));
}

SleepWakeMonitor::ObserverId LogindSleepWakeMonitor::addObserver(PowerEvent event,
                                                                 std::function<void()> handler) {
    const ObserverId id = nextId_++;
    observers_.emplace(id, Observer{event, std::move(handler)});
    return id;
}

void LogindSleepWakeMonitor::removeObserver(ObserverId id) {
    observers_.erase(id);
}

void LogindSleepWakeMonitor::handlePrepareForSleep(bool goingToSleep) {
    const PowerEvent event = goingToSleep ? PowerEvent::willSleep : PowerEvent::didWake;
    // A handler may remove observers: run what was registered when the signal came, if still there.
    std::vector<ObserverId> due;
    for (const auto& [id, observer] : observers_)
        if (observer.event == event) due.push_back(id);
    for (ObserverId id : due) {
        auto it = observers_.find(id);
        if (it == observers_.end()) continue;
        auto handler = it->second.handler;
        handler();
    }
}

} // namespace vantrel
