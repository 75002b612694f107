#include "dock/DockControllerFixture.h"
#include "dock/DockSettingsStore.h"
#include "dock/NativeDockSettingsTransaction.h"
#include "dock/ProcessDockDefaultsClient.h"
#include "platform/InMemoryDefaults.h"
#include "platform/linux/JsonFileDefaults.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// A store on a manual system-Dock queue whose every client talks to one recording domain.
struct StoreFixture {
    InMemoryDefaultsProvider own;
    RecordingDockDefaultsClient dock;
    ManualWorkQueue queue;
    std::unique_ptr<DockSettingsStore> store;

    DockSettingsStore& make() {
        store = std::make_unique<DockSettingsStore>(DockSettingsStore::Dependencies{
            .systemDockQueue = queue, .ownDefaults = own.standard(), .makeClient = [this] {
                return std::make_unique<SharedDockClient>(dock);
            }});
        return *store;
    }
    void seed(const char* key, const char* value) {
        dock.values[QString::fromLatin1(key)] = QString::fromLatin1(value);
    }
    QString value(const char* key) const {
        auto it = dock.values.find(QString::fromLatin1(key));
        return it == dock.values.end() ? QStringLiteral("<absent>") : it->second;
    }
    QStringList commandsSince(qsizetype mark) const { return dock.commands.entries.mid(mark); }
};

// The single writes and deletions of `commands`, a batch's parts in their places.
QStringList changesIn(const QStringList& commands) {
    QStringList out;
    for (const QString& command : commands) {
        if (command.startsWith(u"batch: "))
            out += command.mid(7).split(QStringLiteral("; "));
        else if (command.startsWith(u"write ") || command.startsWith(u"delete "))
            out += command;
    }
    return out;
}

const QStringList kReads = {
    "read tilesize",     "read largesize",   "read magnification", "read autohide",    "read autohide-delay",
    "read show-recents", "read static-only", "read showhidden",    "read orientation", "read mineffect"};

} // namespace

TEST(DockSettingsStore, StartsFromTheEditorsDefaultsAndReadsTheSystemAtOnce) {
    StoreFixture f;
    f.seed("tilesize", "63.7");
    f.seed("largesize", "96");
    f.seed("magnification", "0");
    f.seed("autohide", "YES");
    f.seed("autohide-delay", "0.5");
    f.seed("show-recents", "no");
    f.seed("static-only", "TRUE");
    f.seed("showhidden", "1");
    f.seed("orientation", "left");
    f.seed("mineffect", "suck");
    DockSettingsStore& store = f.make();

    EXPECT_TRUE(store.isLoading());
    EXPECT_FALSE(store.isApplying());
    EXPECT_EQ(store.statusMessage(), QStringLiteral("Reading the macOS Dock\u2026"));
    EXPECT_EQ(store.tileSize(), 48);
    EXPECT_EQ(store.magnificationSize(), 72);
    EXPECT_TRUE(store.magnification());
    EXPECT_FALSE(store.autoHide());
    EXPECT_EQ(store.autoHideDelay(), 0.12);
    EXPECT_TRUE(store.showRecents());
    EXPECT_FALSE(store.showOnlyRunning());
    EXPECT_FALSE(store.translucentHiddenApps());
    EXPECT_EQ(store.position(), DockPosition::bottom);
    EXPECT_EQ(store.minimizeEffect(), DockMinimizeEffect::genie);
    EXPECT_TRUE(f.dock.commands.entries.isEmpty()) << "the reading happens on the queue";

    QSignalSpy changed(&store, &DockSettingsStore::changed);
    f.queue.drain();
    EXPECT_EQ(f.dock.commands.entries, kReads);
    EXPECT_FALSE(store.isLoading());
    EXPECT_EQ(store.statusMessage(), QStringLiteral("Loaded current macOS Dock settings"));
    EXPECT_EQ(store.tileSize(), 63.7);
    EXPECT_EQ(store.magnificationSize(), 96);
    EXPECT_FALSE(store.magnification());
    EXPECT_TRUE(store.autoHide());
    EXPECT_EQ(store.autoHideDelay(), 0.5);
    EXPECT_FALSE(store.showRecents());
    EXPECT_TRUE(store.showOnlyRunning());
    EXPECT_TRUE(store.translucentHiddenApps());
    EXPECT_EQ(store.position(), DockPosition::left);
    EXPECT_EQ(store.minimizeEffect(), DockMinimizeEffect::suck);
    EXPECT_GE(changed.count(), 1);
}

TEST(DockSettingsStore, ReadTextsThatMeanNothingLeaveTheFieldsWithoutAFailure) {
    StoreFixture f;
    f.seed("tilesize", " 50");        // leading white space: no number
    f.seed("largesize", "80pt");      // trailing characters
    f.seed("magnification", "maybe"); // no boolean
    f.seed("autohide-delay", "1000"); // a number, but no delay the editor takes
    f.seed("show-recents", "");       // empty
    f.seed("orientation", "Bottom");  // case matters
    f.seed("mineffect", "Genie");
    f.seed("static-only", "yes");
    DockSettingsStore& store = f.make();
    store.setPosition(DockPosition::right);
    store.setAutoHideDelay(0.3);
    f.queue.drain();

    EXPECT_EQ(store.statusMessage(), QStringLiteral("Loaded current macOS Dock settings"));
    EXPECT_EQ(store.tileSize(), 48);
    EXPECT_EQ(store.magnificationSize(), 72);
    EXPECT_TRUE(store.magnification());
    EXPECT_EQ(store.autoHideDelay(), 0.3);
    EXPECT_TRUE(store.showRecents());
    EXPECT_TRUE(store.showOnlyRunning());
    EXPECT_EQ(store.position(), DockPosition::right) << "\"Bottom\" is no position";
    EXPECT_EQ(store.minimizeEffect(), DockMinimizeEffect::genie);

    f.seed("autohide-delay", "9.99");
    store.reload();
    f.queue.drain();
    EXPECT_EQ(store.autoHideDelay(), 9.99) << "below ten is taken";
}

TEST(DockSettingsStore, AFailedReadKeepsTheFieldAndIsReported) {
    StoreFixture f;
    f.seed("tilesize", "60");
    f.seed("autohide", "1");
    f.dock.failing.insert(QStringLiteral("tilesize"));
    DockSettingsStore& store = f.make();
    f.queue.drain();
    EXPECT_EQ(f.dock.commands.entries, kReads) << "one failed read does not stop the others";
    EXPECT_EQ(store.tileSize(), 48);
    EXPECT_TRUE(store.autoHide());
    EXPECT_EQ(store.statusMessage(), QStringLiteral("Some native Dock settings could not be read"));
}

TEST(DockSettingsStore, NumbersThatAreNotFiniteAreIgnoredOnReadAndRefusedOnApply) {
    StoreFixture f;
    f.seed("tilesize", "nan");
    f.seed("largesize", "inf");
    f.seed("autohide-delay", "-inf");
    DockSettingsStore& store = f.make();
    f.queue.drain();
    EXPECT_EQ(store.tileSize(), 48);
    EXPECT_EQ(store.magnificationSize(), 72);
    EXPECT_EQ(store.autoHideDelay(), 0.12);
    EXPECT_EQ(store.statusMessage(), QStringLiteral("Loaded current macOS Dock settings"));

    // An edit the controls never make, but the store must not turn it into a text.
    store.setTileSize(std::numeric_limits<double>::quiet_NaN());
    const qsizetype mark = f.dock.commands.entries.size();
    store.apply();
    f.queue.drain();
    EXPECT_TRUE(f.commandsSince(mark).isEmpty()) << f.commandsSince(mark).join(u'\n').toStdString();
    EXPECT_EQ(store.statusMessage(),
              QStringLiteral("Dock settings were not applied; original values were restored"));
    EXPECT_FALSE(store.isApplying());

    EXPECT_EQ(DockSettingsStore::numberValue(QStringLiteral("1e3")), 1000);
    EXPECT_EQ(DockSettingsStore::numberValue(QStringLiteral("1,000")), std::nullopt);
    EXPECT_EQ(DockSettingsStore::numberValue(QStringLiteral("0.5 ")), std::nullopt);
    EXPECT_EQ(DockSettingsStore::boolValue(QStringLiteral("Yes")), true);
    EXPECT_EQ(DockSettingsStore::boolValue(QStringLiteral("FALSE")), false);
    EXPECT_EQ(DockSettingsStore::boolValue(QStringLiteral("on")), std::nullopt);
}

TEST(DockSettingsStore, AppliesEveryFieldAsTextsInTableOrderThenRestartsOnce) {
    StoreFixture f;
    DockSettingsStore& store = f.make();
    f.queue.drain(); // every key absent: all read, none failed
    store.setTileSize(63.7);
    store.setMagnificationSize(128.99);
    store.setMagnification(false);
    store.setAutoHide(true);
    store.setAutoHideDelay(0);
    store.setShowRecents(false);
    store.setShowOnlyRunning(true);
    store.setTranslucentHiddenApps(true);
    store.setPosition(DockPosition::right);
    store.setMinimizeEffect(DockMinimizeEffect::scale);
    EXPECT_TRUE(f.dock.values.empty()) << "edits stay in the copy";
    EXPECT_EQ(store.statusMessage(), QStringLiteral("Loaded current macOS Dock settings"));

    const qsizetype mark = f.dock.commands.entries.size();
    store.apply();
    EXPECT_TRUE(store.isApplying());
    EXPECT_EQ(store.statusMessage(), QStringLiteral("Applying Dock settings\u2026"));
    store.setTileSize(30); // after the call: belongs to the next apply
    f.queue.drain();
    QStringList expected = kReads;
    expected
        << "batch: write tilesize -float 63; write largesize -float 128; write magnification -bool false; "
           "write autohide -bool true; write autohide-delay -float 0.00; write show-recents -bool false; "
           "write static-only -bool true; write showhidden -bool true; write orientation -string right; "
           "write mineffect -string scale"
        << "restart";
    EXPECT_EQ(f.commandsSince(mark), expected);
    EXPECT_FALSE(store.isApplying());
    EXPECT_EQ(store.statusMessage(), QStringLiteral("Dock updated"));
    EXPECT_EQ(store.tileSize(), 30) << "no reload after an apply";

    const auto texts =
        DockSettingsStore::settingsFor(DockSettingsStore::Values{.tileSize = 47.9, .autoHideDelay = 0.5},
                                       DockSettingsStore::FieldSet().set());
    ASSERT_TRUE(texts);
    EXPECT_EQ((*texts)[0], (NativeDockSetting{"tilesize", "-float", "47"}));
    EXPECT_EQ((*texts)[1], (NativeDockSetting{"largesize", "-float", "72"}));
    EXPECT_EQ((*texts)[4], (NativeDockSetting{"autohide-delay", "-float", "0.50"}));
    EXPECT_EQ((*texts)[8], (NativeDockSetting{"orientation", "-string", "bottom"}));
    EXPECT_EQ((*texts)[9], (NativeDockSetting{"mineffect", "-string", "genie"}));
}

TEST(DockSettingsStore, ASecondCallWhileTheFirstRunsChangesNothing) {
    StoreFixture f;
    DockSettingsStore& store = f.make();
    EXPECT_EQ(f.queue.pendingCount(), 1u);
    store.reload();
    EXPECT_EQ(f.queue.pendingCount(), 1u) << "a second reload while loading";
    store.apply();
    EXPECT_EQ(f.queue.pendingCount(), 2u) << "an apply may follow a reload";
    store.apply();
    EXPECT_EQ(f.queue.pendingCount(), 2u) << "a second apply while applying";
    EXPECT_TRUE(store.isLoading());
    EXPECT_TRUE(store.isApplying());
    f.queue.drain();
    EXPECT_EQ(store.statusMessage(), QStringLiteral("Dock updated")) << "the apply ran after the reload";
    EXPECT_FALSE(store.isLoading());
    EXPECT_FALSE(store.isApplying());
}

TEST(DockSettingsStore, BothAreRefusedWhileARestoreOfTheSystemDockIsPending) {
    StoreFixture f;
    f.seed("tilesize", "60");
    f.own.standard().setBool(QStringLiteral("vantrelDock.systemDockRestorePending"), true);
    DockSettingsStore& store = f.make();
    store.setAutoHide(true);
    f.queue.drain();
    EXPECT_TRUE(f.dock.commands.entries.isEmpty());
    EXPECT_FALSE(store.isLoading());
    EXPECT_EQ(store.statusMessage(),
              QStringLiteral("Turn off Vantrel Dock before reading native Dock settings"));
    EXPECT_EQ(store.tileSize(), 48);
    EXPECT_TRUE(store.autoHide());

    store.apply();
    f.queue.drain();
    EXPECT_TRUE(f.dock.commands.entries.isEmpty());
    EXPECT_FALSE(store.isApplying());
    EXPECT_EQ(store.statusMessage(),
              QStringLiteral("Turn off Vantrel Dock before changing native Dock settings"));
    EXPECT_TRUE(f.dock.values.count(QStringLiteral("autohide")) == 0);

    // The visual snapshot's flag counts as well.
    f.own.standard().remove(QStringLiteral("vantrelDock.systemDockRestorePending"));
    f.own.standard().setBool(QStringLiteral("vantrelDock.visualSnapshotCaptured.v1"), true);
    store.reload();
    f.queue.drain();
    EXPECT_TRUE(f.dock.commands.entries.isEmpty());
    f.own.standard().remove(QStringLiteral("vantrelDock.visualSnapshotCaptured.v1"));
    store.reload();
    f.queue.drain();
    EXPECT_EQ(f.dock.commands.entries, kReads);
    EXPECT_EQ(store.tileSize(), 60);
}

TEST(DockSettingsStore, AWriteThatCannotBeDoneChangesNoKeyAndSkipsTheRestart) {
    StoreFixture f;
    f.seed("tilesize", "64");
    f.seed("largesize", "128");
    f.seed("magnification", "1");
    f.seed("autohide", "0");
    f.seed("show-recents", "1");
    // "autohide-delay" absent before the apply
    DockSettingsStore& store = f.make();
    f.queue.drain();
    store.setTileSize(50);
    store.setMagnification(false);
    store.setAutoHide(true);
    store.setAutoHideDelay(0.7);
    f.dock.failingWrites.insert(QStringLiteral("show-recents"));
    const qsizetype mark = f.dock.commands.entries.size();
    store.apply();
    f.queue.drain();

    const QStringList commands = f.commandsSince(mark);
    EXPECT_EQ(commands.mid(0, 10), kReads);
    ASSERT_EQ(commands.size(), 11) << "one write of the whole set, nothing to put back, no restart";
    EXPECT_TRUE(commands.last().startsWith(QStringLiteral("batch: write tilesize -float 50;")));
    EXPECT_EQ(store.statusMessage(),
              QStringLiteral("Dock settings were not applied; original values were restored"));
    EXPECT_EQ(f.dock.values, (std::map<QString, QString>{{"tilesize", "64"},
                                                         {"largesize", "128"},
                                                         {"magnification", "1"},
                                                         {"autohide", "0"},
                                                         {"show-recents", "1"}}));
}

TEST(DockSettingsStore, AFailedRestartReturnsEveryKeyAndRestartsOnceMore) {
    StoreFixture f;
    f.seed("tilesize", "64");
    DockSettingsStore& store = f.make();
    f.queue.drain();
    store.setTileSize(40);
    f.dock.restartSucceeds = false;
    qsizetype mark = f.dock.commands.entries.size();
    store.apply();
    f.queue.drain();
    QStringList commands = f.commandsSince(mark);
    EXPECT_EQ(commands.count(QStringLiteral("restart")), 2);
    EXPECT_EQ(commands.last(), QStringLiteral("restart"));
    // Ten keys returned in one change: the one that held a value written back, the nine absent
    // ones deleted.
    const QStringList rollback = commands.mid(commands.indexOf(QStringLiteral("restart")) + 1);
    EXPECT_EQ(rollback,
              (QStringList{"batch: write tilesize -float 64; delete largesize; delete magnification; "
                           "delete autohide; delete autohide-delay; delete show-recents; "
                           "delete static-only; delete showhidden; delete orientation; delete mineffect",
                           "restart"}));
    EXPECT_EQ(f.dock.values.size(), 1u);
    EXPECT_EQ(store.statusMessage(), QStringLiteral("Dock recovery needs attention; reload before retrying"))
        << "the second restart failed as well";

    // A second restart that works makes it a clean roll back.
    int restarts = 0;
    f.dock.commands.onAdd = [&](const QString& entry) {
        if (entry == u"restart") f.dock.restartSucceeds = ++restarts > 1;
    };
    store.apply();
    f.queue.drain();
    EXPECT_EQ(restarts, 2);
    EXPECT_EQ(store.statusMessage(),
              QStringLiteral("Dock settings were not applied; original values were restored"));

    // A key that cannot be returned spoils the recovery even though the Dock restarts.
    restarts = 0;
    f.dock.failingDeletes.insert(QStringLiteral("mineffect"));
    store.apply();
    f.queue.drain();
    EXPECT_EQ(store.statusMessage(), QStringLiteral("Dock recovery needs attention; reload before retrying"));
}

TEST(DockSettingsStore, AFailedFirstReadWritesNothing) {
    StoreFixture f;
    DockSettingsStore& store = f.make();
    f.queue.drain();
    store.setTileSize(50);
    f.dock.failing.insert(QStringLiteral("mineffect"));
    const qsizetype mark = f.dock.commands.entries.size();
    store.apply();
    f.queue.drain();
    const QStringList commands = f.commandsSince(mark);
    EXPECT_EQ(commands, kReads);
    EXPECT_EQ(store.statusMessage(),
              QStringLiteral("Dock settings were not applied; original values were restored"));
}

TEST(DockSettingsStore, ApplyWritesOnlyWhatWasReadOrEdited) {
    StoreFixture f;
    f.seed("tilesize", "64");
    f.seed("largesize", "90");
    f.dock.failing.insert(QStringLiteral("tilesize"));
    DockSettingsStore& store = f.make();

    // Pressed while the first load still waits: only the edit goes out.
    store.setAutoHide(true);
    store.apply();
    f.queue.drain();
    EXPECT_TRUE(f.dock.commands.entries.mid(10).startsWith(QStringLiteral("read autohide")));
    QStringList writes = changesIn(f.dock.commands.entries);
    EXPECT_EQ(writes, QStringList{"write autohide -bool true"});
    EXPECT_EQ(f.value("largesize"), QStringLiteral("90"));

    // After the load, a failed "tilesize" read keeps that key out; the others were read.
    f.dock.failing.clear();
    const qsizetype mark = f.dock.commands.entries.size();
    store.apply();
    f.queue.drain();
    writes = changesIn(f.commandsSince(mark));
    EXPECT_EQ(writes.size(), 9);
    EXPECT_FALSE(f.commandsSince(mark).contains(QStringLiteral("read tilesize")));
    EXPECT_EQ(writes.first(), QStringLiteral("write largesize -float 90"));
    EXPECT_EQ(f.value("tilesize"), QStringLiteral("64")) << "the starting 48 never reaches the system";
    EXPECT_TRUE(store.knownFields().all() == false);

    // Editing the field brings it back in.
    store.setTileSize(store.tileSize());
    store.apply();
    f.queue.drain();
    EXPECT_EQ(f.value("tilesize"), QStringLiteral("48"));
    EXPECT_TRUE(store.knownFields().all());
}

TEST(DockSettingsStore, AResultForAStoreThatIsGoneIsDropped) {
    StoreFixture f;
    f.make().apply();
    f.store.reset();
    f.queue.drain();
    EXPECT_EQ(f.dock.commands.entries.count(QStringLiteral("restart")), 1) << "the work itself still ran";
}

TEST(ProcessDockDefaultsClient, WritesStringsAndRollsBooleansBackAsRead) {
    TempHome home;
    ManualClock clock;
    ManualScheduler scheduler(clock);
    RecordingSystemLog log;
    JsonDefaultsProvider defaults(home.paths().defaultsFolder(), scheduler, clock, log);
    ProcessDockDefaultsClient client(QStringLiteral("com.apple.dock"), 4.0, defaults, log);

    EXPECT_TRUE(
        client.write(QStringLiteral("orientation"), QStringLiteral("-string"), QStringLiteral("left")));
    EXPECT_EQ(client.read(QStringLiteral("orientation")),
              DockPreferenceRead::value(QStringLiteral("left"), QStringLiteral("-string")));
    EXPECT_TRUE(client.write(QStringLiteral("magnification"), QStringLiteral("-bool"), QStringLiteral("1")));
    EXPECT_EQ(client.read(QStringLiteral("magnification")),
              DockPreferenceRead::value(QStringLiteral("1"), QStringLiteral("-bool")));
    EXPECT_FALSE(client.write(QStringLiteral("tilesize"), QStringLiteral("-int"), QStringLiteral("4")));
    EXPECT_EQ(client.read(QStringLiteral("tilesize")), DockPreferenceRead::absent());

    QFile file(home.paths().defaultsFolder() + QStringLiteral("/com.apple.dock.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonObject onDisk = QJsonDocument::fromJson(file.readAll()).object();
    EXPECT_EQ(onDisk.value(QStringLiteral("orientation")), QJsonValue(QStringLiteral("left")));
    EXPECT_EQ(onDisk.value(QStringLiteral("magnification")), QJsonValue(true));
}

TEST(NativeDockSettingsTransaction, AFailedRestartPutsEveryKeyBackWithTheTypeItWasReadWith) {
    RecordingDockDefaultsClient dock;
    dock.values = {{"autohide-delay", "0.25"}, {"tilesize", "64"}, {"magnification", "1"}};
    dock.types = {{"autohide-delay", "-string"}, {"tilesize", "-float"}};
    int restarts = 0;
    dock.commands.onAdd = [&](const QString& entry) {
        if (entry == u"restart") dock.restartSucceeds = ++restarts > 1;
    };
    dock.restartSucceeds = false;
    const auto result = NativeDockSettingsTransaction(dock).apply({{"tilesize", "-float", "50"},
                                                                   {"autohide-delay", "-float", "0.50"},
                                                                   {"magnification", "-bool", "false"},
                                                                   {"mineffect", "-string", "scale"}});
    EXPECT_EQ(result, NativeDockSettingsTransactionResult::rolledBack);
    EXPECT_EQ(dock.commands.entries.mid(4),
              (QStringList{"batch: write tilesize -float 50; write autohide-delay -float 0.50; "
                           "write magnification -bool false; write mineffect -string scale",
                           "restart",
                           "batch: write tilesize -float 64; write autohide-delay -string 0.25; "
                           "write magnification -bool 1; delete mineffect",
                           "restart"}));
    EXPECT_EQ(dock.types.at("autohide-delay"), QStringLiteral("-string"));
    EXPECT_EQ(dock.values.count("mineffect"), 0u);

    // A roll back that cannot be written is a recovery that failed, even with the Dock restarted.
    restarts = 0;
    dock.restartSucceeds = false;
    dock.failingDeletes.insert(QStringLiteral("mineffect"));
    EXPECT_EQ(NativeDockSettingsTransaction(dock).apply({{"mineffect", "-string", "suck"}}),
              NativeDockSettingsTransactionResult::recoveryFailed);
}

namespace {
const QByteArray kEarlierDock =
    R"({"autohide":false,"autohide-delay":0.2,"largesize":72,"magnification":true,"mineffect":"genie",)"
    R"("orientation":"left","show-recents":true,"showhidden":false,"static-only":false,"tilesize":48})";

QJsonObject jsonOf(const QByteArray& bytes) {
    return QJsonDocument::fromJson(bytes).object();
}
} // namespace

TEST(ProcessDockDefaultsClient, WritesAWholeSetInOneReplaceOfTheFileOrNothingAtAll) {
    for (const bool writeThrough : {true, false}) {
        SCOPED_TRACE(writeThrough ? "writing each change at once" : "coalescing changes");
        TempHome home;
        home.writeFile(QStringLiteral("home/.config/Vantrel/defaults/com.apple.dock.json"), kEarlierDock);
        const QString path = home.paths().defaultsFolder() + QStringLiteral("/com.apple.dock.json");
        ManualClock clock;
        ManualScheduler scheduler(clock);
        RecordingSystemLog log;
        std::unique_ptr<JsonDefaultsProvider> defaults =
            writeThrough ? std::make_unique<JsonDefaultsProvider>(home.paths().defaultsFolder(), clock, log)
                         : std::make_unique<JsonDefaultsProvider>(home.paths().defaultsFolder(), scheduler,
                                                                  clock, log);
        auto& file = dynamic_cast<JsonFileDefaults&>(defaults->suite(QStringLiteral("com.apple.dock")));
        ProcessDockDefaultsClient client(QStringLiteral("com.apple.dock"), 4.0, *defaults, log);

        const int writes = file.writeCount();
        EXPECT_TRUE(client.writeAll({{"tilesize", "-float", "60"},
                                     {"autohide", "-bool", "true"},
                                     {"orientation", "-string", "right"},
                                     {"autohide-delay", "-float", "0.50"}},
                                    {"largesize", "no-such-key"}));
        EXPECT_EQ(file.writeCount(), writes + 1);
        const QByteArray applied = home.readFile(path);
        EXPECT_EQ(
            jsonOf(applied),
            jsonOf(R"({"autohide":true,"autohide-delay":0.5,"magnification":true,"mineffect":"genie",)"
                   R"("orientation":"right","show-recents":true,"showhidden":false,"static-only":false,)"
                   R"("tilesize":60})"));

        // Numbers read back as the shortest text that gives the very same number.
        EXPECT_TRUE(client.write(QStringLiteral("largesize"), QStringLiteral("-float"),
                                 QStringLiteral("0.30000000000000004")));
        EXPECT_EQ(client.read(QStringLiteral("largesize")),
                  DockPreferenceRead::value("0.30000000000000004", "-float"));
        EXPECT_TRUE(
            client.write(QStringLiteral("largesize"), QStringLiteral("-float"), QStringLiteral("1e-9")));
        EXPECT_EQ(client.read(QStringLiteral("largesize")), DockPreferenceRead::value("1e-09", "-float"));
        EXPECT_TRUE(client.deleteKey(QStringLiteral("largesize")));
        const int afterSingles = file.writeCount();

        // One text that cannot be stored refuses the whole set.
        EXPECT_FALSE(
            client.writeAll({{"tilesize", "-float", "30"}, {"autohide-delay", "-float", "soon"}}, {}));
        EXPECT_FALSE(client.writeAll({{"tilesize", "-float", "30"}, {"magnification", "-int", "1"}}, {}));
        EXPECT_EQ(file.writeCount(), afterSingles);
        EXPECT_EQ(client.read(QStringLiteral("tilesize")), DockPreferenceRead::value("60", "-float"));

        // The write itself fails after its temporary file was made: the file keeps the earlier set
        // whole, and so does what is read here.
        file.setBeforeCommit([](const QString& temporary) { QFile::remove(temporary); });
        EXPECT_FALSE(client.writeAll({{"tilesize", "-float", "30"}, {"orientation", "-string", "left"}},
                                     {"autohide"}));
        // Single commands that the disk refuses fail the same way rather than pass for done.
        EXPECT_FALSE(
            client.write(QStringLiteral("tilesize"), QStringLiteral("-float"), QStringLiteral("30")));
        EXPECT_FALSE(client.deleteKey(QStringLiteral("autohide")));
        file.setBeforeCommit({});
        EXPECT_EQ(home.readFile(path), applied);
        EXPECT_EQ(client.read(QStringLiteral("tilesize")), DockPreferenceRead::value("60", "-float"));
        EXPECT_EQ(client.read(QStringLiteral("autohide")), DockPreferenceRead::value("1", "-bool"));
        // A later change of another key brings none of it in.
        EXPECT_TRUE(
            client.write(QStringLiteral("mineffect"), QStringLiteral("-string"), QStringLiteral("suck")));
        QJsonObject expected = jsonOf(applied);
        expected.insert("mineffect", "suck");
        EXPECT_EQ(jsonOf(home.readFile(path)), expected);
    }
}

TEST(DockSettingsStore, OnRealFilesAnApplyWhoseWriteFailsLeavesTheEarlierSetWhole) {
    TempHome home;
    home.writeFile(QStringLiteral("home/.config/Vantrel/defaults/com.apple.dock.json"), kEarlierDock);
    const QString path = home.paths().defaultsFolder() + QStringLiteral("/com.apple.dock.json");
    ManualClock clock;
    ManualScheduler scheduler(clock);
    RecordingSystemLog log;
    JsonDefaultsProvider defaults(home.paths().defaultsFolder(), scheduler, clock, log);
    InMemoryDefaultsProvider own;
    ManualWorkQueue queue;
    DockSettingsStore store({.systemDockQueue = queue, .ownDefaults = own.standard(), .makeClient = [&] {
                                 return std::make_unique<ProcessDockDefaultsClient>(
                                     QStringLiteral("com.apple.dock"), 4.0, defaults, log);
                             }});
    queue.drain();
    store.setTileSize(60);
    store.setPosition(DockPosition::right);
    store.setAutoHide(true);
    auto& file = dynamic_cast<JsonFileDefaults&>(defaults.suite(QStringLiteral("com.apple.dock")));
    int commits = 0;
    file.setBeforeCommit([&](const QString& temporary) {
        ++commits;
        QFile::remove(temporary);
    });
    store.apply();
    queue.drain();
    EXPECT_EQ(commits, 1);
    EXPECT_EQ(store.statusMessage(),
              QStringLiteral("Dock settings were not applied; original values were restored"));
    EXPECT_EQ(jsonOf(home.readFile(path)), jsonOf(kEarlierDock));

    file.setBeforeCommit({});
    store.apply();
    queue.drain();
    EXPECT_EQ(store.statusMessage(), QStringLiteral("Dock updated"));
    QJsonObject expected = jsonOf(kEarlierDock);
    expected.insert("tilesize", 60);
    expected.insert("orientation", "right");
    expected.insert("autohide", true);
    EXPECT_EQ(jsonOf(home.readFile(path)), expected);
}
