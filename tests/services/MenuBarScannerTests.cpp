#include "platform/linux/SimulatedMenuBar.h"
#include "platform/linux/StatusNotifierItemSource.h"
#include "services/MenuBarScanner.h"
#include "support/FakeScreens.h"
#include "support/FakeStatusNotifierHost.h"
#include "support/ManualClock.h"
#include "support/PrivateSessionBus.h"
#include "support/RecordingPermissionSystem.h"
#include "support/RecordingRunningApplications.h"
#include "support/RecordingStatusBar.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// Items as a desktop would list them, set by the test.
class ScriptedItems final : public MenuBarItemSource {
public:
    std::vector<MenuBarItemRecord> menuBarItems() override { return records; }
    std::vector<MenuBarItemRecord> records;
};

MenuBarItemRecord at(double x, std::optional<QString> title, std::optional<QString> description = {},
                     std::optional<QString> help = {}, std::optional<QString> owner = QStringLiteral("Owner"),
                     double y = 0) {
    return {std::move(title), std::move(description), std::move(help), std::move(owner), QPointF(x, y)};
}

QStringList titles(const MenuBarScanner& scanner) {
    QStringList result;
    for (const MenuBarItemModel& item : scanner.items())
        result.append(item.title + QStringLiteral(" · ") + item.owner + QStringLiteral(" @") +
                      QString::number(item.xPosition));
    return result;
}

class ScannerTest : public ::testing::Test {
protected:
    ManualClock clock;
    FakeScreens screens{{plainScreen(1, QRect(0, 0, 1512, 982))}, plainScreen(1, QRect(0, 0, 1512, 982))};
    RecordingPermissionSystem permissions;
    ScriptedItems source;
    MenuBarScanner scanner{permissions, screens, clock, &source};
};

} // namespace

TEST_F(ScannerTest, ListsTheRightHalfOfTheBarByPositionWithTheTitleChain) {
    EXPECT_EQ(scanner.scanMessage(), QStringLiteral("Grant Accessibility to search menu-bar items."));
    EXPECT_EQ(scanner.lastScan(), WallTime::min());
    permissions.accessibilityTrusted = true;
    // The left bound is the middle of the main screen less 40 points: 716, itself included.
    source.records = {
        at(900, std::nullopt, QStringLiteral("Battery")),
        at(715.9, QStringLiteral("Too far left")),
        at(716, QStringLiteral("Bound")),
        at(1000, QStringLiteral("Below the bar"), {}, {}, QStringLiteral("Owner"), 48),
        at(1000, QStringLiteral("Lowest in the bar"), {}, {}, QStringLiteral("Owner"), 47.5),
        at(800, QString(), QStringLiteral("unused"), {}, QStringLiteral("Dropbox")),
        at(800, std::nullopt, QString(), QStringLiteral("unused"), QStringLiteral("Second at 800")),
        at(1100, std::nullopt, std::nullopt, QStringLiteral("help text")),
        at(1200, std::nullopt, std::nullopt, std::nullopt, QStringLiteral("Only the owner")),
        at(1300, std::nullopt, std::nullopt, std::nullopt, std::nullopt),
    };
    clock.advance(Seconds(5));
    scanner.scan();
    EXPECT_EQ(
        titles(scanner),
        (QStringList{"Bound · Owner @716", "Dropbox · Dropbox @800", "Second at 800 · Second at 800 @800",
                     "Battery · Owner @900", "Lowest in the bar · Owner @1000", "help text · Owner @1100",
                     "Only the owner · Only the owner @1200", "Menu item · macOS @1300"}));
    EXPECT_EQ(scanner.scanMessage(), QStringLiteral("Found 8 menu-bar items."));
    EXPECT_EQ(scanner.lastScan(), clock.now());
    // Every scan names its items anew.
    const QUuid first = scanner.items().front().id;
    scanner.scan();
    EXPECT_NE(scanner.items().front().id, first);
    EXPECT_FALSE(scanner.items().front().id.isNull());

    source.records = {at(1000, QStringLiteral("Alone"))};
    scanner.scan();
    EXPECT_EQ(scanner.scanMessage(), QStringLiteral("Found 1 menu-bar items."));
    source.records.clear();
    scanner.scan();
    EXPECT_TRUE(scanner.items().empty());
    EXPECT_EQ(scanner.scanMessage(), QStringLiteral("No accessible items found."));

    // Without a main screen the bound is 460.
    screens.main.reset();
    source.records = {at(459, QStringLiteral("Left")), at(460, QStringLiteral("Right"))};
    scanner.scan();
    EXPECT_EQ(titles(scanner), QStringList{"Right · Owner @460"});
}

TEST_F(ScannerTest, WithoutAccessEveryScanEmptiesTheListAndKeepsTheLastScan) {
    permissions.accessibilityTrusted = true;
    source.records = {at(1000, QStringLiteral("Item"))};
    scanner.scan();
    const WallTime scanned = scanner.lastScan();
    ASSERT_EQ(scanner.items().size(), 1u);

    permissions.accessibilityTrusted = false;
    clock.advance(Seconds(60));
    scanner.scan();
    scanner.scan();
    EXPECT_TRUE(scanner.items().empty());
    EXPECT_EQ(scanner.scanMessage(), QStringLiteral("Allow Accessibility, then press Scan Menu Bar again."));
    EXPECT_EQ(scanner.lastScan(), scanned);
    EXPECT_EQ(permissions.accessibilityQueries, (std::vector<bool>{true, true, true})) << "asked every time";

    // No source at all: nothing is ever found.
    MenuBarScanner bare(permissions, screens, clock, nullptr);
    permissions.accessibilityTrusted = true;
    bare.scan();
    EXPECT_EQ(bare.scanMessage(), QStringLiteral("No accessible items found."));
}

namespace {

// A bus with a tray watcher; items of the test's own are added to it.
class TrayBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!bus.isRunning()) GTEST_SKIP() << "dbus-daemon could not be started";
        // This process stands for the other programs; "Vantrel" is a process that is not running.
        const QString pidFolder = QString::number(QCoreApplication::applicationPid());
        ASSERT_TRUE(QDir(proc.path()).mkpath(pidFolder));
        QFile comm(proc.filePath(pidFolder + QStringLiteral("/comm")));
        ASSERT_TRUE(comm.open(QIODevice::WriteOnly));
        comm.write("nm-applet\n");
    }
    void TearDown() override { QDBusConnection::disconnectFromBus(QStringLiteral("vantrel-tray")); }

    void addItem(const QString& name, const QString& path, QVariantMap properties, bool silent = false) {
        objects.push_back(
            std::make_unique<FakeBusObject>(bus.address(), name, path, std::move(properties), silent));
        EXPECT_TRUE(objects.back()->isRegistered()) << name.toStdString();
    }
    void watch(QStringList entries) {
        watcher.reset();
        watcher = fakeStatusNotifierWatcher(bus.address(), std::move(entries));
        ASSERT_TRUE(watcher->isRegistered());
    }
    StatusNotifierItemSource source(qint64 ownProcessId = kVantrelProcess) {
        return StatusNotifierItemSource(
            {.connection = QDBusConnection::connectToBus(bus.address(), QStringLiteral("vantrel-tray")),
             .model = model,
             .runningApplications = &running,
             .ownProcessId = ownProcessId,
             .procRoot = proc.path()});
    }

    static constexpr qint64 kVantrelProcess = 999999;
    PrivateSessionBus bus;
    QTemporaryDir proc;
    ManualClock clock;
    FakeScreens screens{{plainScreen(1, QRect(0, 0, 1512, 982))}, plainScreen(1, QRect(0, 0, 1512, 982))};
    RecordingPermissionSystem permissions;
    RecordingRunningApplications running;
    RecordingStatusBar tray;
    SimulatedMenuBar model{tray, screens};
    std::vector<std::unique_ptr<FakeBusObject>> objects;
    std::unique_ptr<FakeBusObject> watcher;
};

} // namespace

TEST_F(TrayBusTest, ListsTheTwoTestItemsWithTheirTitlesAndNeverVantrelsOwn) {
    addItem(QStringLiteral("org.example.Sync"), QStringLiteral("/StatusNotifierItem"),
            trayItemProperties(QStringLiteral("Nextcloud Sync"), QStringLiteral("Up to date"),
                               QStringLiteral("sync")));
    addItem(QStringLiteral("org.example.Net"), QStringLiteral("/org/ayatana/NotificationItem/net"),
            trayItemProperties(std::nullopt, QStringLiteral("Wired connection 1"), QStringLiteral("nm")));
    addItem(QStringLiteral("org.kde.StatusNotifierItem-999999-1"), QStringLiteral("/StatusNotifierItem"),
            trayItemProperties(QStringLiteral("Vantrel"), std::nullopt, std::nullopt));
    watch({QStringLiteral("org.example.Sync"), QStringLiteral("org.kde.StatusNotifierItem-999999-1"),
           QStringLiteral("org.example.Net/org/ayatana/NotificationItem/net")});
    StatusNotifierItemSource items = source();
    MenuBarScanner scanner(permissions, screens, clock, &items);
    permissions.accessibilityTrusted = true;

    scanner.scan();
    // Laid out right to left from the screen's right edge in the watcher's order.
    EXPECT_EQ(titles(scanner),
              (QStringList{"Wired connection 1 · nm-applet @1464", "Nextcloud Sync · nm-applet @1488"}));
    EXPECT_EQ(scanner.scanMessage(), QStringLiteral("Found 2 menu-bar items."));

    // The running application's name goes before the process's command name.
    RunningApplication nextcloud;
    nextcloud.processIdentifier = static_cast<qint32>(QCoreApplication::applicationPid());
    nextcloud.localizedName = QStringLiteral("Nextcloud");
    running.applications = {nextcloud};
    scanner.scan();
    EXPECT_EQ(scanner.items().back().owner, QStringLiteral("Nextcloud"));

    // Every item of Vantrel's own process is left out, whatever it is called.
    StatusNotifierItemSource own = source(QCoreApplication::applicationPid());
    EXPECT_TRUE(own.menuBarItems().empty());
}

TEST_F(TrayBusTest, EmptyNamesUnknownProgramsAndSilentItemsFollowTheTitleChain) {
    addItem(QStringLiteral("org.example.Blank"), QStringLiteral("/StatusNotifierItem"),
            trayItemProperties(QString(), QStringLiteral("unused"), QStringLiteral("unused")));
    addItem(QStringLiteral("org.example.Tip"), QStringLiteral("/StatusNotifierItem"),
            trayItemProperties(std::nullopt, QString(), QStringLiteral("unused")));
    addItem(QStringLiteral("org.example.Silent"), QStringLiteral("/StatusNotifierItem"), {}, true);
    watch({QStringLiteral("org.example.Blank"), QStringLiteral("org.example.Tip"),
           QStringLiteral("org.example.Gone"), QStringLiteral("org.example.Silent"), QString()});
    StatusNotifierItemSource items = source();
    MenuBarScanner scanner(permissions, screens, clock, &items);
    permissions.accessibilityTrusted = true;

    QElapsedTimer elapsed;
    elapsed.start();
    scanner.scan();
    // One time-out of 250 ms for the silent item, not one per name it was asked for.
    EXPECT_LT(elapsed.elapsed(), 600);
    EXPECT_EQ(titles(scanner), (QStringList{"nm-applet · nm-applet @1416", "Menu item · macOS @1440",
                                            "nm-applet · nm-applet @1464", "nm-applet · nm-applet @1488"}));
}

TEST_F(TrayBusTest, WithoutAWatcherTheModelAnswers) {
    model.setOtherItems({{QStringLiteral("Simulated"), {}, {}, QStringLiteral("Program")}});
    StatusNotifierItemSource items = source();
    EXPECT_EQ(items.menuBarItems(), model.menuBarItems());
    ASSERT_EQ(items.menuBarItems().size(), 1u);

    StatusNotifierItemSource noBus(
        {.connection = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/vantrel-bus"),
                                                     QStringLiteral("vantrel-none")),
         .model = model});
    EXPECT_EQ(noBus.menuBarItems(), model.menuBarItems());
    QDBusConnection::disconnectFromBus(QStringLiteral("vantrel-none"));

    model.setOtherItems({});
    EXPECT_TRUE(items.menuBarItems().empty()) << "empty unless filled";
}

TEST(StatusNotifierItemSource, WatcherEntriesNameABusNameAndAPath) {
    using Address = StatusNotifierItemSource::Address;
    EXPECT_EQ(
        StatusNotifierItemSource::addressOf(QStringLiteral("org.kde.StatusNotifierItem-4-1")),
        (Address{QStringLiteral("org.kde.StatusNotifierItem-4-1"), QStringLiteral("/StatusNotifierItem")}));
    EXPECT_EQ(StatusNotifierItemSource::addressOf(QStringLiteral(":1.52/org/ayatana/NotificationItem/x")),
              (Address{QStringLiteral(":1.52"), QStringLiteral("/org/ayatana/NotificationItem/x")}));
    EXPECT_EQ(StatusNotifierItemSource::addressOf(QStringLiteral("/StatusNotifierItem")),
              (Address{QString(), QStringLiteral("/StatusNotifierItem")}))
        << "no bus name: nothing to ask";
    EXPECT_FALSE(StatusNotifierItemSource::toolTipTitle(QStringLiteral("plain text")).has_value());
}
