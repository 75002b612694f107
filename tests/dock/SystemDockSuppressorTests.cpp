#include "dock/ProcessDockDefaultsClient.h"
#include "dock/SystemDockSuppressor.h"
#include "platform/linux/JsonFileDefaults.h"
#include "support/ManualScheduler.h"
#include "support/RecordingDockDefaultsClient.h"
#include "support/RecordingSystemLog.h"
#include "support/RecordingUserDefaults.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <map>

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
                                           "write autohide-delay -float 0.5",
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
    EXPECT_TRUE(client.commands.entries.contains(QStringLiteral("write autohide-delay -float 0.5")));
    EXPECT_FALSE(client.commands.entries.contains(QStringLiteral("restart")));
    EXPECT_TRUE(store.boolValue(QStringLiteral("vantrelDock.systemDockRestorePending")));

    // A key that has to go but cannot be deleted fails the restore the same way.
    client.failing.clear();
    client.commands.entries.clear();
    client.values[QStringLiteral("autohide-time-modifier")] = QStringLiteral("0");
    client.failingDeletes.insert(QStringLiteral("autohide-time-modifier"));
    EXPECT_FALSE((SystemDockSuppressor{client, store}.restorePreservedState()));
    EXPECT_TRUE(client.commands.entries.contains(QStringLiteral("delete autohide-time-modifier")));
    EXPECT_FALSE(client.commands.entries.contains(QStringLiteral("restart")));
    EXPECT_TRUE(store.boolValue(QStringLiteral("vantrelDock.systemDockRestorePending")));
    client.failingDeletes.clear();

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
    EXPECT_EQ(client.read(QStringLiteral("tilesize")),
              DockPreferenceRead::value(QStringLiteral("48"), QStringLiteral("-float")));

    // Written through without waiting for the coalescing delay: a crash right after must not lose it.
    QFile file(home.paths().defaultsFolder() + QStringLiteral("/com.apple.dock.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject onDisk = QJsonDocument::fromJson(file.readAll()).object();
    EXPECT_EQ(onDisk.value(QStringLiteral("autohide")), QJsonValue(true));

    EXPECT_TRUE(client.deleteKey(QStringLiteral("autohide")));
    EXPECT_FALSE(client.deleteKey(QStringLiteral("autohide")));
}

namespace {
// The system Dock as a user left it: some keys set, the others absent.
void seedUserDock(RecordingDockDefaultsClient& client) {
    client.values[QStringLiteral("autohide")] = QStringLiteral("0");
    client.values[QStringLiteral("autohide-delay")] = QStringLiteral("0.5");
    client.values[QStringLiteral("tilesize")] = QStringLiteral("64");
    client.values[QStringLiteral("magnification")] = QStringLiteral("YES");
    client.values[QStringLiteral("show-recents")] = QStringLiteral("no");
}

const QStringList kSuppressedWrites = {
    "write autohide -bool true",
    "write autohide-delay -float 1000",
    "write autohide-time-modifier -float 0",
    "write tilesize -float 1",
    "write largesize -float 1",
    "write magnification -bool false",
    "write show-recents -bool false",
    "write show-process-indicators -bool false",
};
} // namespace

TEST(SystemDockSuppressor, SuppressionReadsEverythingFlushesTheSnapshotThenWritesAndRestarts) {
    RecordingDockDefaultsClient client;
    RecordingUserDefaults store;
    store.calls = &client.commands; // one ordered log of commands and flushes
    seedUserDock(client);

    EXPECT_TRUE((SystemDockSuppressor{client, store}.suppressPreservingState()));
    QStringList expected = {"read autohide",
                            "read autohide-delay",
                            "read autohide-time-modifier",
                            "read tilesize",
                            "read largesize",
                            "read magnification",
                            "read show-recents",
                            "read show-process-indicators",
                            "flush com.vantrel.mac"};
    expected += kSuppressedWrites;
    expected += "restart";
    EXPECT_EQ(client.commands.entries, expected);

    // The snapshot: what was set and its value, "YES" taken as true, absent keys as unset.
    EXPECT_TRUE(store.boolValue("vantrelDock.systemDockRestorePending"));
    EXPECT_TRUE(store.boolValue("vantrelDock.visualSnapshotCaptured.v1"));
    EXPECT_EQ(store.object("vantrelDock.originalAutohideWasSet"), QJsonValue(true));
    EXPECT_EQ(store.object("vantrelDock.originalAutohide"), QJsonValue(false));
    EXPECT_EQ(store.object("vantrelDock.originalDelay"), QJsonValue(0.5));
    EXPECT_EQ(store.object("vantrelDock.originalAutohideAnimationWasSet"), QJsonValue(false));
    EXPECT_EQ(store.object("vantrelDock.originalAutohideAnimation"), QJsonValue(0.0));
    EXPECT_EQ(store.object("vantrelDock.originalTileSize"), QJsonValue(64.0));
    EXPECT_EQ(store.object("vantrelDock.originalLargeSizeWasSet"), QJsonValue(false));
    EXPECT_EQ(store.object("vantrelDock.originalMagnification"), QJsonValue(true));
    EXPECT_EQ(store.object("vantrelDock.originalShowRecentsWasSet"), QJsonValue(true));
    EXPECT_EQ(store.object("vantrelDock.originalShowRecents"), QJsonValue(false));
    EXPECT_EQ(store.object("vantrelDock.originalShowIndicatorsWasSet"), QJsonValue(false));
    EXPECT_TRUE(SystemDockProcess::hasPendingRestore(store));

    // Suppressing again takes no second snapshot: it only writes again and restarts.
    client.commands.entries.clear();
    client.values[QStringLiteral("tilesize")] = QStringLiteral("30");
    EXPECT_TRUE((SystemDockSuppressor{client, store}.suppressPreservingState()));
    EXPECT_EQ(client.commands.entries, kSuppressedWrites + QStringList{"restart"});
    EXPECT_EQ(store.object("vantrelDock.originalTileSize"), QJsonValue(64.0));

    // The restore puts the user's Dock back exactly.
    EXPECT_TRUE((SystemDockSuppressor{client, store}.restorePreservedState()));
    EXPECT_EQ(client.values, (std::map<QString, QString>{{"autohide", "false"},
                                                         {"autohide-delay", "0.5"},
                                                         {"tilesize", "64"},
                                                         {"magnification", "true"},
                                                         {"show-recents", "false"}}));
    EXPECT_FALSE(SystemDockProcess::hasPendingRestore(store));
}

TEST(SystemDockSuppressor, OnlyTheGroupWithoutItsFlagIsCaptured) {
    RecordingDockDefaultsClient client;
    RecordingUserDefaults store;
    seedUserDock(client);
    store.seed("vantrelDock.systemDockRestorePending", true);
    EXPECT_TRUE(SystemDockProcess::hasPendingRestore(store));

    EXPECT_TRUE((SystemDockSuppressor{client, store}.suppressPreservingState()));
    EXPECT_EQ(client.commands.entries.filter(QRegularExpression("^read")),
              (QStringList{"read tilesize", "read largesize", "read magnification", "read show-recents",
                           "read show-process-indicators"}));
    EXPECT_FALSE(store.journalKeys().contains("vantrelDock.originalAutohide"));
    EXPECT_TRUE(store.boolValue("vantrelDock.visualSnapshotCaptured.v1"));

    // With only the visual flag set, the next suppression captures the behaviour group alone.
    RecordingUserDefaults other;
    other.seed("vantrelDock.visualSnapshotCaptured.v1", true);
    EXPECT_TRUE(SystemDockProcess::hasPendingRestore(other));
    client.commands.entries.clear();
    EXPECT_TRUE((SystemDockSuppressor{client, other}.suppressPreservingState()));
    EXPECT_EQ(client.commands.entries.filter(QRegularExpression("^read")),
              (QStringList{"read autohide", "read autohide-delay", "read autohide-time-modifier"}));
}

TEST(SystemDockSuppressor, AnUnusableReadStopsTheSuppressionBeforeAnythingIsStoredOrWritten) {
    struct Case {
        const char* key;
        const char* value; // nullptr: the read fails
    };
    // "maybe" is no boolean; the float texts are not whole C-locale numbers, or not finite.
    const Case cases[] = {{"show-recents", "maybe"}, {"tilesize", "48px"},        {"tilesize", " 48"},
                          {"tilesize", ""},          {"tilesize", "48,5"},        {"largesize", "inf"},
                          {"largesize", "nan"},      {"autohide-delay", "1e999"}, {"autohide", nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " = " + (c.value ? c.value : "failure"));
        RecordingDockDefaultsClient client;
        RecordingUserDefaults store;
        store.calls = &client.commands;
        seedUserDock(client);
        if (c.value)
            client.values[QString::fromLatin1(c.key)] = QString::fromLatin1(c.value);
        else
            client.failing.insert(QString::fromLatin1(c.key));
        EXPECT_FALSE((SystemDockSuppressor{client, store}.suppressPreservingState()));
        EXPECT_TRUE(store.journal().empty());
        EXPECT_EQ(store.synchronizeCount, 0);
        EXPECT_TRUE(client.commands.entries.filter(QRegularExpression("^(write|restart|delete)")).isEmpty());
        EXPECT_FALSE(SystemDockProcess::hasPendingRestore(store));
    }

    // Numbers the C locale reads are taken whole, with an exponent too.
    RecordingDockDefaultsClient client;
    RecordingUserDefaults store;
    client.values[QStringLiteral("tilesize")] = QStringLiteral("4.8e1");
    client.values[QStringLiteral("largesize")] = QStringLiteral("-0.25");
    EXPECT_TRUE((SystemDockSuppressor{client, store}.suppressPreservingState()));
    EXPECT_EQ(store.object("vantrelDock.originalTileSize"), QJsonValue(48.0));
    EXPECT_EQ(store.object("vantrelDock.originalLargeSize"), QJsonValue(-0.25));

    // Every boolean word is accepted, whatever its case.
    RecordingDockDefaultsClient words;
    RecordingUserDefaults wordStore;
    words.values[QStringLiteral("autohide")] = QStringLiteral("1");
    words.values[QStringLiteral("magnification")] = QStringLiteral("TRUE");
    words.values[QStringLiteral("show-recents")] = QStringLiteral("false");
    words.values[QStringLiteral("show-process-indicators")] = QStringLiteral("No");
    EXPECT_TRUE((SystemDockSuppressor{words, wordStore}.suppressPreservingState()));
    EXPECT_EQ(wordStore.object("vantrelDock.originalAutohide"), QJsonValue(true));
    EXPECT_EQ(wordStore.object("vantrelDock.originalMagnification"), QJsonValue(true));
    EXPECT_EQ(wordStore.object("vantrelDock.originalShowRecentsWasSet"), QJsonValue(true));
    EXPECT_EQ(wordStore.object("vantrelDock.originalShowRecents"), QJsonValue(false));
    EXPECT_EQ(wordStore.object("vantrelDock.originalShowIndicators"), QJsonValue(false));
}

TEST(SystemDockSuppressor, AFailedWriteStillTriesTheOthersSkipsTheRestartAndKeepsTheSnapshot) {
    RecordingDockDefaultsClient client;
    RecordingUserDefaults store;
    seedUserDock(client);
    client.failingWrites.insert(QStringLiteral("autohide-delay"));

    EXPECT_FALSE((SystemDockSuppressor{client, store}.suppressPreservingState()));
    EXPECT_EQ(client.commands.entries.filter(QRegularExpression("^write")), kSuppressedWrites);
    EXPECT_FALSE(client.commands.entries.contains("restart"));
    EXPECT_TRUE(SystemDockProcess::hasPendingRestore(store));

    // A failed restart is a failed suppression too, with the snapshot kept.
    RecordingDockDefaultsClient restartFails;
    RecordingUserDefaults kept;
    restartFails.restartSucceeds = false;
    EXPECT_FALSE((SystemDockSuppressor{restartFails, kept}.suppressPreservingState()));
    EXPECT_TRUE(restartFails.commands.entries.contains("restart"));
    EXPECT_TRUE(SystemDockProcess::hasPendingRestore(kept));
}

TEST(SystemDockSuppressor, OnRealFilesSuppressThenRestoreLeavesTheDockFileAsItWas) {
    TempHome home;
    const QByteArray original = R"({"autohide":false,"largesize":72.5,"orientation":"left","tilesize":48})";
    home.writeFile(QStringLiteral("home/.config/Vantrel/defaults/com.apple.dock.json"), original);
    const QString dockFile = home.paths().defaultsFolder() + QStringLiteral("/com.apple.dock.json");
    ManualClock clock;
    ManualScheduler scheduler(clock);
    RecordingSystemLog log;
    {
        JsonDefaultsProvider defaults(home.paths().defaultsFolder(), scheduler, clock, log);
        ProcessDockDefaultsClient client(QStringLiteral("com.apple.dock"), 4.0, defaults, log);
        ASSERT_TRUE((SystemDockSuppressor{client, defaults.standard()}.suppressPreservingState()));
        const QJsonObject suppressed = QJsonDocument::fromJson(home.readFile(dockFile)).object();
        EXPECT_EQ(suppressed.value("tilesize"), QJsonValue(1.0));
        EXPECT_EQ(suppressed.value("autohide-delay"), QJsonValue(1000.0));
        EXPECT_EQ(suppressed.value("show-recents"), QJsonValue(false));
        // The snapshot reached the disk without the scheduler's coalescing delay.
        const QJsonObject snapshot =
            QJsonDocument::fromJson(home.readFile(home.paths().defaultsFolder() + "/com.vantrel.mac.json"))
                .object();
        EXPECT_EQ(snapshot.value("vantrelDock.originalLargeSize"), QJsonValue(72.5));
        EXPECT_EQ(snapshot.value("vantrelDock.visualSnapshotCaptured.v1"), QJsonValue(true));
    }
    {
        // A later run restores from what is on disk.
        JsonDefaultsProvider defaults(home.paths().defaultsFolder(), scheduler, clock, log);
        ProcessDockDefaultsClient client(QStringLiteral("com.apple.dock"), 4.0, defaults, log);
        ASSERT_TRUE((SystemDockSuppressor{client, defaults.standard()}.restorePreservedState()));
    }
    EXPECT_EQ(QJsonDocument::fromJson(home.readFile(dockFile)).object(),
              QJsonDocument::fromJson(original).object());
}

TEST(SystemDockSuppressor, OnRealFilesTheRestorePutsBackEveryValueWithItsTextAndType) {
    TempHome home;
    // Tiny and long fractions, a size and a delay held as strings, a boolean held as a number.
    const QByteArray original = R"({"autohide":true,"autohide-delay":0.0004,"autohide-time-modifier":"0.25",
        "tilesize":47.12345,"largesize":"64","magnification":1,"show-recents":false,"orientation":"left"})";
    home.writeFile(QStringLiteral("home/.config/Vantrel/defaults/com.apple.dock.json"), original);
    const QString folder = home.paths().defaultsFolder();
    ManualClock clock;
    ManualScheduler scheduler(clock);
    RecordingSystemLog log;
    {
        JsonDefaultsProvider defaults(folder, scheduler, clock, log);
        ProcessDockDefaultsClient client(QStringLiteral("com.apple.dock"), 4.0, defaults, log);
        ASSERT_TRUE((SystemDockSuppressor{client, defaults.standard()}.suppressPreservingState()));
        const QJsonObject snapshot =
            QJsonDocument::fromJson(home.readFile(folder + "/com.vantrel.mac.json")).object();
        EXPECT_EQ(snapshot.value("vantrelDock.originalDelay"), QJsonValue(0.0004));
        EXPECT_EQ(snapshot.value("vantrelDock.originalAutohideAnimationAsRead"),
                  QJsonValue(QJsonObject{{"typeFlag", "-string"}, {"value", "0.25"}}));
    }
    {
        // Restored by the crash handler's kind of instance, which writes every change at once.
        JsonDefaultsProvider defaults(folder, clock, log);
        ProcessDockDefaultsClient client(QStringLiteral("com.apple.dock"), 4.0, defaults, log);
        ASSERT_TRUE((SystemDockSuppressor{client, defaults.standard()}.restorePreservedState()));
    }
    const QJsonObject restored =
        QJsonDocument::fromJson(home.readFile(folder + "/com.apple.dock.json")).object();
    EXPECT_EQ(restored.value("autohide-delay"), QJsonValue(0.0004));
    EXPECT_EQ(restored.value("tilesize"), QJsonValue(47.12345));
    EXPECT_EQ(restored.value("autohide-time-modifier"), QJsonValue("0.25"));
    EXPECT_EQ(restored.value("largesize"), QJsonValue("64"));
    EXPECT_EQ(restored.value("magnification"), QJsonValue(1));
    EXPECT_EQ(restored, QJsonDocument::fromJson(original).object());
}

TEST(SystemDockSuppressor, PaddedTextsAreSuppressedAndComeBackExactlyAsRead) {
    TempHome home;
    const QByteArray original = R"({"autohide":"true ","autohide-delay":" 0.5","tilesize":"\t48\n"})";
    home.writeFile(QStringLiteral("home/.config/Vantrel/defaults/com.apple.dock.json"), original);
    const QString folder = home.paths().defaultsFolder();
    ManualClock clock;
    RecordingSystemLog log;
    {
        JsonDefaultsProvider defaults(folder, clock, log);
        ProcessDockDefaultsClient client(QStringLiteral("com.apple.dock"), 4.0, defaults, log);
        SystemDockSuppressor suppressor{client, defaults.standard()};
        ASSERT_TRUE(suppressor.suppressPreservingState()) << "the blanks make no value unusable";
        EXPECT_EQ(defaults.standard().doubleValue(QStringLiteral("vantrelDock.originalDelay")), 0.5);
        EXPECT_TRUE(defaults.standard().boolValue(QStringLiteral("vantrelDock.originalAutohide")));
        ASSERT_TRUE(suppressor.restorePreservedState());
    }
    const QJsonObject restored =
        QJsonDocument::fromJson(home.readFile(folder + "/com.apple.dock.json")).object();
    EXPECT_EQ(restored.value("autohide-delay"), QJsonValue(" 0.5"));
    EXPECT_EQ(restored.value("autohide"), QJsonValue("true "));
    EXPECT_EQ(restored, QJsonDocument::fromJson(original).object());
}

TEST(SystemDockSuppressor, ASnapshotOfAnEarlierVersionIsRestoredFromItsNumbersWithoutRounding) {
    RecordingDockDefaultsClient client;
    RecordingUserDefaults store;
    store.seed("vantrelDock.systemDockRestorePending", true);
    store.seed("vantrelDock.originalAutohideWasSet", true);
    store.seed("vantrelDock.originalAutohide", true);
    store.seed("vantrelDock.originalDelayWasSet", true);
    store.seed("vantrelDock.originalDelay", 0.0004);
    store.seed("vantrelDock.originalAutohideAnimationWasSet", true);
    store.seed("vantrelDock.originalAutohideAnimation", 47.12345);
    EXPECT_TRUE((SystemDockSuppressor{client, store}.restorePreservedState()));
    EXPECT_EQ(client.commands.entries,
              (QStringList{"write autohide -bool true", "write autohide-delay -float 0.0004",
                           "write autohide-time-modifier -float 47.12345", "restart"}));

    // A record of the value as read is written back with its type; one that no capture could have
    // stored (an edited file) is passed over for the number.
    client.commands.entries.clear();
    store.seed("vantrelDock.systemDockRestorePending", true);
    store.seed("vantrelDock.originalDelayAsRead", QJsonObject{{"typeFlag", "-string"}, {"value", "0.25"}});
    EXPECT_TRUE((SystemDockSuppressor{client, store}.restorePreservedState()));
    EXPECT_EQ(client.commands.entries.at(1), QStringLiteral("write autohide-delay -string 0.25"));
    for (const QJsonValue& damaged :
         {QJsonValue("0.25"), QJsonValue(QJsonObject{{"typeFlag", "-int"}, {"value", "3"}}),
          QJsonValue(QJsonObject{{"typeFlag", "-string"}, {"value", 3}}),
          QJsonValue(QJsonObject{{"value", "3"}}),
          QJsonValue(QJsonObject{{"typeFlag", "-float"}, {"value", "soon"}}),
          QJsonValue(QJsonObject{{"typeFlag", "-string"}, {"value", "soon"}}),
          QJsonValue(QJsonObject{{"typeFlag", "-bool"}, {"value", "0.25"}})}) {
        client.commands.entries.clear();
        store.seed("vantrelDock.systemDockRestorePending", true);
        store.seed("vantrelDock.originalDelayAsRead", damaged);
        EXPECT_TRUE((SystemDockSuppressor{client, store}.restorePreservedState()));
        EXPECT_EQ(client.commands.entries.at(1), QStringLiteral("write autohide-delay -float 0.0004"));
    }
}

TEST(SystemDockSuppressor, TheSnapshotKeysAndFlagsHaveTheirStoredNames) {
    RecordingDockDefaultsClient client;
    RecordingUserDefaults store;
    const char* keys[] = {"autohide",  "autohide-delay", "autohide-time-modifier", "tilesize",
                          "largesize", "magnification",  "show-recents",           "show-process-indicators"};
    for (const char* key : keys) {
        client.values[QString::fromLatin1(key)] = QStringLiteral("1");
        client.types[QString::fromLatin1(key)] = QStringLiteral("-float");
    }
    ASSERT_TRUE((SystemDockSuppressor{client, store}.suppressPreservingState()));
    QStringList written = store.journalKeys();
    written.sort();
    QStringList expected = {
        "vantrelDock.originalAutohide",
        "vantrelDock.originalAutohideWasSet",
        "vantrelDock.originalAutohideAsRead",
        "vantrelDock.originalDelay",
        "vantrelDock.originalDelayWasSet",
        "vantrelDock.originalDelayAsRead",
        "vantrelDock.originalAutohideAnimation",
        "vantrelDock.originalAutohideAnimationWasSet",
        "vantrelDock.originalAutohideAnimationAsRead",
        "vantrelDock.systemDockRestorePending",
        "vantrelDock.originalTileSize",
        "vantrelDock.originalTileSizeWasSet",
        "vantrelDock.originalTileSizeAsRead",
        "vantrelDock.originalLargeSize",
        "vantrelDock.originalLargeSizeWasSet",
        "vantrelDock.originalLargeSizeAsRead",
        "vantrelDock.originalMagnification",
        "vantrelDock.originalMagnificationWasSet",
        "vantrelDock.originalMagnificationAsRead",
        "vantrelDock.originalShowRecents",
        "vantrelDock.originalShowRecentsWasSet",
        "vantrelDock.originalShowRecentsAsRead",
        "vantrelDock.originalShowIndicators",
        "vantrelDock.originalShowIndicatorsWasSet",
        "vantrelDock.originalShowIndicatorsAsRead",
        "vantrelDock.visualSnapshotCaptured.v1",
    };
    expected.sort();
    EXPECT_EQ(written, expected);

    // The restore reads them by the same names: a snapshot stored under them alone, each key
    // with its own value, comes back key by key.
    RecordingDockDefaultsClient restored;
    RecordingUserDefaults seeded;
    seeded.seed("vantrelDock.systemDockRestorePending", true);
    seeded.seed("vantrelDock.visualSnapshotCaptured.v1", true);
    const std::tuple<const char*, const char*, QJsonValue> values[] = {
        {"vantrelDock.originalAutohide", "vantrelDock.originalAutohideWasSet", true},
        {"vantrelDock.originalDelay", "vantrelDock.originalDelayWasSet", 0.25},
        {"vantrelDock.originalAutohideAnimation", "vantrelDock.originalAutohideAnimationWasSet", 0.5},
        {"vantrelDock.originalTileSize", "vantrelDock.originalTileSizeWasSet", 36.0},
        {"vantrelDock.originalLargeSize", "vantrelDock.originalLargeSizeWasSet", 90.0},
        {"vantrelDock.originalMagnification", "vantrelDock.originalMagnificationWasSet", true},
        {"vantrelDock.originalShowRecents", "vantrelDock.originalShowRecentsWasSet", false},
        {"vantrelDock.originalShowIndicators", "vantrelDock.originalShowIndicatorsWasSet", true},
    };
    for (const auto& [valueKey, wasSetKey, value] : values) {
        seeded.seed(valueKey, value);
        seeded.seed(wasSetKey, true);
    }
    ASSERT_TRUE((SystemDockSuppressor{restored, seeded}.restorePreservedState()));
    EXPECT_EQ(restored.commands.entries,
              (QStringList{"write autohide -bool true", "write autohide-delay -float 0.25",
                           "write autohide-time-modifier -float 0.5", "write tilesize -float 36",
                           "write largesize -float 90", "write magnification -bool true",
                           "write show-recents -bool false", "write show-process-indicators -bool true",
                           "restart"}));
    EXPECT_EQ(seeded.object("vantrelDock.systemDockRestorePending"), QJsonValue(false));
    EXPECT_EQ(seeded.object("vantrelDock.visualSnapshotCaptured.v1"), QJsonValue(false));
}

TEST(SystemDockSuppressor, AHandEditedInfiniteOrNaNValueIsNeverWrittenBack) {
    for (const QString& edited : {QStringLiteral("inf"), QStringLiteral(" -Infinity"), QStringLiteral("nan"),
                                  QStringLiteral("1e999")}) {
        RecordingDockDefaultsClient client;
        RecordingUserDefaults store;
        seedBehaviorSnapshot(store);
        store.seed(QStringLiteral("vantrelDock.originalDelay"), edited);
        EXPECT_TRUE((SystemDockSuppressor{client, store}.restorePreservedState()));
        EXPECT_TRUE(client.commands.entries.contains(QStringLiteral("write autohide-delay -float 0")))
            << edited.toStdString() << ": " << client.commands.entries.join(", ").toStdString();
    }
    // A number held as text is still read as that number.
    RecordingDockDefaultsClient client;
    RecordingUserDefaults store;
    seedBehaviorSnapshot(store);
    store.seed(QStringLiteral("vantrelDock.originalDelay"), QStringLiteral(" 2.5 "));
    EXPECT_TRUE((SystemDockSuppressor{client, store}.restorePreservedState()));
    EXPECT_TRUE(client.commands.entries.contains(QStringLiteral("write autohide-delay -float 2.5")));
}

TEST(SystemDockSuppressor, OnRealFilesASnapshotThatCannotBeSavedLeavesTheDockAsItIsAcrossARestart) {
    TempHome home;
    const QByteArray original = R"({"autohide":false,"orientation":"left","tilesize":48})";
    home.writeFile(QStringLiteral("home/.config/Vantrel/defaults/com.apple.dock.json"), original);
    const QString folder = home.paths().defaultsFolder();
    const QString dockFile = folder + QStringLiteral("/com.apple.dock.json");
    ManualClock clock;
    ManualScheduler scheduler(clock);
    RecordingSystemLog log;
    {
        // Our own settings cannot be saved (a read-only folder behind a link, a full disk).
        JsonDefaultsProvider defaults(folder, scheduler, clock, log);
        static_cast<JsonFileDefaults&>(defaults.standard()).setBeforeCommit([](const QString& temporary) {
            QFile::remove(temporary);
            throw FileWriteError(temporary, QStringLiteral("Read-only file system"));
        });
        ProcessDockDefaultsClient client(QStringLiteral("com.apple.dock"), 4.0, defaults, log);
        SystemDockSuppressor suppressor{client, defaults.standard()};
        QString problem;
        EXPECT_FALSE(suppressor.suppressPreservingState(&problem));
        EXPECT_EQ(problem, "The macOS Dock was left as it is: its settings could not be saved first, so they "
                           "could not be put back later.");
        EXPECT_EQ(home.readFile(dockFile), original) << "not reduced";
        EXPECT_FALSE(SystemDockProcess::hasPendingRestore(defaults.standard())) << "no snapshot in memory";
        // The process is killed here: nothing else runs.
    }
    {
        // The next run, with the settings writable again, takes the user's values, not reduced ones.
        JsonDefaultsProvider defaults(folder, scheduler, clock, log);
        ProcessDockDefaultsClient client(QStringLiteral("com.apple.dock"), 4.0, defaults, log);
        ASSERT_TRUE((SystemDockSuppressor{client, defaults.standard()}.suppressPreservingState()));
        EXPECT_EQ(defaults.standard().object("vantrelDock.originalTileSize"), QJsonValue(48.0));
        ASSERT_TRUE((SystemDockSuppressor{client, defaults.standard()}.restorePreservedState()));
    }
    EXPECT_EQ(QJsonDocument::fromJson(home.readFile(dockFile)).object(),
              QJsonDocument::fromJson(original).object());
}

TEST(SystemDockSuppressor, OnRealFilesADockDomainThatCannotBeReadIsNeitherReducedNorTouched) {
    TempHome home;
    const QByteArray original =
        R"({"autohide":false,"autohide-delay":0.5,"autohide-time-modifier":0.7,"tilesize":48,"largesize":64,
            "magnification":true,"show-recents":true,"orientation":"left"})";
    const QString folder = home.paths().defaultsFolder();
    const QString dockFile = folder + QStringLiteral("/com.apple.dock.json");
    // Unreadable at start (as root a folder in its place stands for a file of mode 000).
    ASSERT_TRUE(QDir().mkpath(dockFile));
    const auto makeReadable = [&] {
        ASSERT_TRUE(QDir(dockFile).removeRecursively());
        home.writeFile(QStringLiteral("home/.config/Vantrel/defaults/com.apple.dock.json"), original);
    };
    const QString unreadable = "The macOS Dock was left as it is: its settings file could not be read.";
    ManualClock clock;
    ManualScheduler scheduler(clock);
    RecordingSystemLog log;
    {
        JsonDefaultsProvider defaults(folder, scheduler, clock, log);
        ProcessDockDefaultsClient client(QStringLiteral("com.apple.dock"), 4.0, defaults, log);
        EXPECT_EQ(client.read(QStringLiteral("tilesize")), DockPreferenceRead::failure());
        QString problem;
        EXPECT_FALSE((SystemDockSuppressor{client, defaults.standard()}.suppressPreservingState(&problem)));
        EXPECT_EQ(problem, unreadable);
        EXPECT_FALSE(SystemDockProcess::hasPendingRestore(defaults.standard())) << "no snapshot of nothing";

        // Readable while the program runs; the normal quit touches nothing.
        makeReadable();
        EXPECT_TRUE((SystemDockSuppressor{client, defaults.standard()}.restorePreservedState()));
        defaults.flushAll();
    }
    EXPECT_EQ(home.readFile(dockFile), original);
    {
        // A later run reduces it from the values it now reads, and a restore that meets the
        // domain unreadable again deletes nothing and keeps the snapshot for the next try.
        JsonDefaultsProvider defaults(folder, scheduler, clock, log);
        ProcessDockDefaultsClient client(QStringLiteral("com.apple.dock"), 4.0, defaults, log);
        ASSERT_TRUE((SystemDockSuppressor{client, defaults.standard()}.suppressPreservingState()));
        const QByteArray reduced = home.readFile(dockFile);
        const QString aside = folder + QStringLiteral("/aside.json");
        ASSERT_TRUE(QFile::rename(dockFile, aside));
        ASSERT_TRUE(QDir().mkpath(dockFile));
        QString problem;
        EXPECT_FALSE((SystemDockSuppressor{client, defaults.standard()}.restorePreservedState(&problem)));
        EXPECT_EQ(problem, unreadable) << "a key it had no value for cannot be looked at";
        EXPECT_TRUE(SystemDockProcess::hasPendingRestore(defaults.standard()));
        ASSERT_TRUE(QDir(dockFile).removeRecursively());
        ASSERT_TRUE(QFile::rename(aside, dockFile));
        EXPECT_EQ(home.readFile(dockFile), reduced);
        ASSERT_TRUE((SystemDockSuppressor{client, defaults.standard()}.restorePreservedState()));
    }
    EXPECT_EQ(QJsonDocument::fromJson(home.readFile(dockFile)).object(),
              QJsonDocument::fromJson(original).object());
}

TEST(SystemDockSuppressor,
     OnRealFilesADockDomainThatIsNotJsonIsToldNeitherReducedNorReplacedAndNothingIsDeleted) {
    TempHome home;
    const QString folder = home.paths().defaultsFolder();
    const QString dockFile = folder + QStringLiteral("/com.apple.dock.json");
    const QByteArray corrupt = R"({"tilesize": 48, "autohide": fal)";
    home.writeFile(QStringLiteral("home/.config/Vantrel/defaults/com.apple.dock.json"), corrupt);
    home.writeFile(QStringLiteral("home/.config/Vantrel/defaults/com.vantrel.mac.json"),
                   "{\"notch.enabled\": tru");
    ManualClock clock;
    ManualScheduler scheduler(clock);
    RecordingSystemLog log;
    const QByteArray repaired = R"({"tilesize": 48, "autohide": false})";
    for (int run = 0; run < 2; ++run) {
        // The second run is the restart after the first was killed.
        SCOPED_TRACE(run);
        std::map<QString, QString> told;
        JsonDefaultsProvider defaults(folder, scheduler, clock, log);
        defaults.setProblemHandler(
            [&](const QString& file, const QString& problem) { told[file] = problem; });
        ProcessDockDefaultsClient client(QStringLiteral("com.apple.dock"), 4.0, defaults, log);
        EXPECT_EQ(client.read(QStringLiteral("tilesize")), DockPreferenceRead::failure());
        QString problem;
        EXPECT_FALSE((SystemDockSuppressor{client, defaults.standard()}.suppressPreservingState(&problem)));
        EXPECT_EQ(problem, "The macOS Dock was left as it is: its settings file could not be read.");
        EXPECT_FALSE(SystemDockProcess::hasPendingRestore(defaults.standard()));
        EXPECT_TRUE(told[dockFile].startsWith("The settings file " + dockFile + " could not be read ("));
        EXPECT_TRUE(told[dockFile].endsWith("). It is left as it is, and changes are not saved."));
        EXPECT_EQ(home.readFile(dockFile), corrupt);
        if (run == 0) {
            // Our own settings still start anew from a copy set aside.
            EXPECT_EQ(QDir(folder).entryList({QStringLiteral("com.vantrel.mac.corrupt-*.json")}).size(), 1);
            continue;
        }
        // Put right by the user meanwhile: the quit deletes none of it.
        home.writeFile(QStringLiteral("home/.config/Vantrel/defaults/com.apple.dock.json"), repaired);
        EXPECT_TRUE((SystemDockSuppressor{client, defaults.standard()}.restorePreservedState()));
        defaults.flushAll();
        EXPECT_EQ(home.readFile(dockFile), repaired);
        EXPECT_EQ(client.read(QStringLiteral("tilesize")),
                  DockPreferenceRead::value(QStringLiteral("48"), QStringLiteral("-float")));
        EXPECT_TRUE(told[dockFile].isEmpty());
    }
    EXPECT_TRUE(QDir(folder).entryList({QStringLiteral("com.apple.dock.corrupt-*")}).isEmpty());
}
