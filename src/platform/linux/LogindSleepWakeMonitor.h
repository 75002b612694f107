#pragma once

#include "platform/SleepWakeMonitor.h"

#include <QDBusConnection>
#include <QObject>
#include <map>

namespace vantrel {

// Sleep and wake from the login manager's PrepareForSleep signal on the system bus. Without a
// system bus nothing is observed and nothing is reported: the handlers simply never run.
class LogindSleepWakeMonitor final : public QObject, public SleepWakeMonitor {
    Q_OBJECT
public:
    explicit LogindSleepWakeMonitor(QDBusConnection bus = QDBusConnection::systemBus());

    ObserverId addObserver(PowerEvent event, std::function<void()> handler) override;
    void removeObserver(ObserverId id) override;

    bool isListening() const { return listening_; }

public Q_SLOTS:
    // PrepareForSleep(true) comes before sleep, PrepareForSleep(false) after waking.
    void handlePrepareForSleep(bool goingToSleep);

private:
    struct Observer {
        PowerEvent event;
        std::function<void()> handler;
    };
    std::map<ObserverId, Observer> observers_;
    ObserverId nextId_ = 1;
    bool listening_ = false;
};

} // namespace vantrel
