#include "dock/ProcessDockDefaultsClient.h"
#include "dock/SystemDockSuppressor.h"
#include "platform/linux/JsonFileDefaults.h"
#include "support/ManualScheduler.h"
#include "support/RecordingDockDefaultsClient.h"
#include "support/RecordingSystemLog.h"
#include "support/RecordingUserDefaults.h"
#include "support/TempHome.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {
void seedBehaviorSnapshot(RecordingUserDefaults& store) {
    store.seed(QStringLiteral("vantrelDock.systemDockRestorePending"), true);
    store.seed(QStringLiteral("vantrelDock.originalAutohideWasSet"), true);
    store.seed(QStringLiteral("vantrelDock.originalAutohide"), false);
    store.seed(QStringLiteral("vantrelDock.originalDelayWasSet"), true);
    store.seed(QStringLiteral("vantrelDock.originalDelay"), 0.5);
    store.seed(QStringLiteral("vantrelDock.originalAutohideAnimationWasSet"), false);
}
} // namespace

TEST(SystemDockSuppressor, RestoresOnlyThePendingGroupsAndClearsTheirFlags) {
    RecordingDockDefaultsClient client;
    RecordingUserDefaults store;
    EXPECT_TRUE((SystemDockSuppressor{client, store}.restorePreservedState()));
    EXPECT_TRUE(client.commands.entries.isEmpty()) << "nothing pending, nothing run";

    client.values[QStringLiteral("autohide-time-modifier")] = QStringLiteral("0");
    seedBehaviorSnapshot(store);
    EXPECT_TRUE((SystemDockSuppressor{client, store}.restorePreservedState()));
    EXPECT_EQ(client.commands.entries, (QStringList{
                                           "write autohide -bool false",
                                           "write autohide-delay -float 0.500",
                                           "read autohide-time-modifier",
                                           "delete autohide-time-modifier",
                                           "restart",
                                       }));
    EXPECT_FALSE(store.boolValue(QStringLiteral("vantrelDock.systemDockRestorePending")));

    // A visual snapshot of keys that had no value: they are read, found absent and left alone.
    client.commands.entries.clear();
    store.seed(QStringLiteral("vantrelDock.visualSnapshotCaptured.v1"), true);
    EXPECT_TRUE((SystemDockSuppressor{client, store}.restorePreservedState()));
    EXPECT_TRUE(client.commands.entries.filter(QStringLiteral("delete")).isEmpty());
    EXPECT_FALSE(store.boolValue(QStringLiteral("vantrelDock.visualSnapshotCaptured.v1")));
}

TEST(SystemDockSuppressor, AFailedKeyOrRestartKeepsTheFlagsForTheNextTry) {
    RecordingDockDefaultsClient client;
    RecordingUserDefaults store;
    seedBehaviorSnapshot(store);
    client.failing.insert(QStringLiteral("autohide"));
    EXPECT_FALSE((SystemDockSuppressor{client, store}.restorePreservedState()));
    // The remaining keys were still processed, but the Dock was not restarted.
    EXPECT_TRUE(client.commands.entries.contains(QStringLiteral("write autohide-delay -float 0.500")));
    EXPECT_FALSE(client.commands.entries.contains(QStringLiteral("restart")));
    EXPECT_TRUE(store.boolValue(QStringLiteral("vantrelDock.systemDockRestorePending")));

    client.failing.clear();
    client.restartSucceeds = false;
    EXPECT_FALSE((SystemDockSuppressor{client, store}.restorePreservedState()));
    EXPECT_TRUE(store.boolValue(QStringLiteral("vantrelDock.systemDockRestorePending")));
    client.restartSucceeds = true;
    EXPECT_TRUE((SystemDockSuppressor{client, store}.restorePreservedState()));
    EXPECT_FALSE(store.boolValue(QStringLiteral("vantrelDock.systemDockRestorePending")));
}

TEST(ProcessDockDefaultsClient, SimulatesTheDockDomainAsAFileWrittenAtOnce) {
    TempHome home;
    ManualClock clock;
    ManualScheduler scheduler(clock);
    RecordingSystemLog log;
    JsonDefaultsProvider defaults(home.paths().defaultsFolder(), scheduler, clock, log);
    ProcessDockDefaultsClient client(QStringLiteral("com.apple.dock"), 4.0, defaults, log);

    EXPECT_EQ(client.read(QStringLiteral("tilesize")), DockPreferenceRead::absent());
    EXPECT_TRUE(client.write(QStringLiteral("tilesize"), QStringLiteral("-float"), QStringLiteral("48.000")));
    EXPECT_TRUE(client.write(QStringLiteral("autohide"), QStringLiteral("-bool"), QStringLiteral("true")));
    EXPECT_FALSE(client.write(QStringLiteral("tilesize"), QStringLiteral("-float"), QStringLiteral("big")));
    EXPECT_EQ(client.read(QStringLiteral("tilesize")), DockPreferenceRead::value(QStringLiteral("48")));

    // Written through without waiting for the coalescing delay: a crash right after must not lose it.
    QFile file(home.paths().defaultsFolder() + QStringLiteral("/com.apple.dock.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject onDisk = QJsonDocument::fromJson(file.readAll()).object();
    EXPECT_EQ(onDisk.value(QStringLiteral("autohide")), QJsonValue(true));

    EXPECT_TRUE(client.deleteKey(QStringLiteral("autohide")));
    EXPECT_FALSE(client.deleteKey(QStringLiteral("autohide")));
}
