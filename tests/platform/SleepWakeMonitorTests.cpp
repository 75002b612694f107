#include "platform/linux/LogindSleepWakeMonitor.h"

#include <QDBusConnection>
#include <gtest/gtest.h>

using namespace vantrel;

TEST(LogindSleepWakeMonitor, WithoutABusObservesNothingAndReportsNoError) {
    // A connection that was never opened stands for a machine without a system bus.
    LogindSleepWakeMonitor monitor(QDBusConnection(QStringLiteral("vantrel-no-bus")));
    EXPECT_FALSE(monitor.isListening());
    int calls = 0;
    const auto id = monitor.addObserver(PowerEvent::willSleep, [&] { ++calls; });
    monitor.removeObserver(id);
    monitor.removeObserver(id); // twice is harmless
    EXPECT_EQ(calls, 0);
}

TEST(LogindSleepWakeMonitor, PrepareForSleepReachesTheMatchingObservers) {
    LogindSleepWakeMonitor monitor(QDBusConnection(QStringLiteral("vantrel-no-bus")));
    QStringList seen;
    monitor.addObserver(PowerEvent::willSleep, [&] { seen << QStringLiteral("sleep"); });
    const auto wake = monitor.addObserver(PowerEvent::didWake, [&] { seen << QStringLiteral("wake"); });
    // An observer removed by another one during delivery is not called afterwards.
    monitor.addObserver(PowerEvent::willSleep, [&] { monitor.removeObserver(wake); });

    monitor.handlePrepareForSleep(true);
    EXPECT_EQ(seen, QStringList{QStringLiteral("sleep")});
    monitor.handlePrepareForSleep(false);
    EXPECT_EQ(seen, QStringList{QStringLiteral("sleep")});
}
