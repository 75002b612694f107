#include "platform/linux/SimulatedMenuBar.h"
#include "platform/linux/StatusNotifierItemSource.h"
#include "services/MenuBarScanner.h"
#include "support/FakeScreens.h"
#include "support/FakeStatusNotifierHost.h"
#include "support/ManualClock.h"
#include "support/ManualScheduler.h"
#include "support/PrivateSessionBus.h"
#include "support/RecordingPermissionSystem.h"
#include "support/RecordingRunningApplications.h"
#include "support/RecordingStatusBar.h"

#include <QCoreApplication>
#include <QDBusPendingCallWatcher>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// Items as a desktop would list them, set by the test.
class ScriptedItems final : public MenuBarItemSource {
public:
    void requestMenuBarItems(Delivery deliver) override { deliver(records); }
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
    void TearDown() override {
        sources.clear();
        QDBusConnection::disconnectFromBus(QStringLiteral("vantrel-tray"));
    }

    FakeBusObject& addItem(const QString& name, const QString& path, QVariantMap properties,
                           bool silent = false) {
        objects.push_back(std::make_unique<FakeBusObject>(bus.address(), name, path,
                                                          QStringLiteral("org.kde.StatusNotifierItem"),
                                                          std::move(properties), silent));
        EXPECT_TRUE(objects.back()->isRegistered()) << name.toStdString();
        return *objects.back();
    }
    void watch(QStringList entries, bool silent = false) {
        watcher.reset();
        watcher = std::make_unique<FakeStatusNotifierWatcher>(bus.address(), silent, entries);
        ASSERT_TRUE(watcher->isRegistered());
    }
    QDBusConnection client() {
        return QDBusConnection::connectToBus(bus.address(), QStringLiteral("vantrel-tray"));
    }
    StatusNotifierItemSource& source(qint64 ownProcessId = kVantrelProcess) {
        // The bus never gives up on a call here: only the budget, on the manual clock, ends a pass.
        sources.push_back(std::make_unique<StatusNotifierItemSource>(
            StatusNotifierItemSource::Sources{.connection = client(),
                                              .model = model,
                                              .scheduler = scheduler,
                                              .runningApplications = &running,
                                              .ownProcessId = ownProcessId,
                                              .procRoot = proc.path(),
                                              .callTimeoutMs = 600000}));
        return *sources.back();
    }
    // One pass of the scanner, run through the event loop until it has published.
    void scanToTheEnd(MenuBarScanner& scanner) {
        QSignalSpy published(&scanner, &MenuBarScanner::lastScanChanged);
        scanner.scan();
        ASSERT_TRUE(published.count() == 1 || published.wait(10000));
    }
    // Returns once every answer `object` sent before the call has been handled here.
    void settle(FakeBusObject& object) {
        object.roundTrip();
        QDBusPendingCallWatcher ping(client().asyncCall(QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId"))));
        ASSERT_TRUE(QSignalSpy(&ping, &QDBusPendingCallWatcher::finished).wait(10000));
    }

    static constexpr qint64 kVantrelProcess = 999999;
    PrivateSessionBus bus;
    QTemporaryDir proc;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    FakeScreens screens{{plainScreen(1, QRect(0, 0, 1512, 982))}, plainScreen(1, QRect(0, 0, 1512, 982))};
    RecordingPermissionSystem permissions;
    RecordingRunningApplications running;
    RecordingStatusBar tray;
    SimulatedMenuBar model{tray, screens};
    std::vector<std::unique_ptr<FakeBusObject>> objects;
    std::unique_ptr<FakeBusObject> watcher;
    std::vector<std::unique_ptr<StatusNotifierItemSource>> sources;
};

std::optional<std::vector<MenuBarItemRecord>> itemsOf(MenuBarItemSource& source) {
    std::optional<std::vector<MenuBarItemRecord>> delivered;
    source.requestMenuBarItems([&delivered](std::vector<MenuBarItemRecord> records) { delivered = records; });
    if (!QTest::qWaitFor([&] { return delivered.has_value(); }, 10000)) ADD_FAILURE() << "never delivered";
    return delivered;
}

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
    MenuBarScanner scanner(permissions, screens, clock, &source());
    permissions.accessibilityTrusted = true;

    // Everyone answered: the pass ends without the clock moving.
    scanToTheEnd(scanner);
    // Laid out right to left from the screen's right edge in the watcher's order.
    EXPECT_EQ(titles(scanner),
              (QStringList{"Wired connection 1 · nm-applet @1464", "Nextcloud Sync · nm-applet @1488"}));
    EXPECT_EQ(scanner.scanMessage(), QStringLiteral("Found 2 menu-bar items."));
    EXPECT_EQ(scheduler.pendingCount(), 0u) << "the budget's end is cancelled";

    // The running application's name goes before the process's command name.
    RunningApplication nextcloud;
    nextcloud.processIdentifier = static_cast<qint32>(QCoreApplication::applicationPid());
    nextcloud.localizedName = QStringLiteral("Nextcloud");
    running.applications = {nextcloud};
    const int readsBefore = running.listReads;
    scanToTheEnd(scanner);
    EXPECT_EQ(scanner.items().back().owner, QStringLiteral("Nextcloud"));
    EXPECT_EQ(scanner.items().front().owner, QStringLiteral("Nextcloud"));
    EXPECT_EQ(running.listReads - readsBefore, 1) << "one read of the running applications for both items";

    // Every item of Vantrel's own process is left out, whatever it is called.
    const auto own = itemsOf(source(QCoreApplication::applicationPid()));
    ASSERT_TRUE(own.has_value());
    EXPECT_TRUE(own->empty());
}

TEST_F(TrayBusTest, EmptyNamesUnknownProgramsAndSilentItemsFollowTheTitleChain) {
    addItem(QStringLiteral("org.example.Blank"), QStringLiteral("/StatusNotifierItem"),
            trayItemProperties(QString(), QStringLiteral("unused"), QStringLiteral("unused")));
    addItem(QStringLiteral("org.example.Tip"), QStringLiteral("/StatusNotifierItem"),
            trayItemProperties(std::nullopt, QString(), QStringLiteral("unused")));
    addItem(QStringLiteral("org.example.Silent"), QStringLiteral("/StatusNotifierItem"), {}, true);
    watch({QStringLiteral("org.example.Blank"), QStringLiteral("org.example.Tip"),
           QStringLiteral("org.example.Gone"), QStringLiteral("org.example.Silent"), QString()});
    MenuBarScanner scanner(permissions, screens, clock, &source());
    permissions.accessibilityTrusted = true;
    QSignalSpy published(&scanner, &MenuBarScanner::lastScanChanged);

    scanner.scan();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return std::all_of(objects.begin(), objects.end(),
                               [](const auto& o) { return o->askedCount() == 1; });
        },
        10000));
    for (const auto& object : objects) settle(*object);
    EXPECT_EQ(published.count(), 0) << "the silent item holds the pass until the budget ends";
    scheduler.advance(Seconds(1));
    ASSERT_EQ(published.count(), 1);
    EXPECT_EQ(titles(scanner), (QStringList{"nm-applet · nm-applet @1416", "Menu item · macOS @1440",
                                            "nm-applet · nm-applet @1464", "nm-applet · nm-applet @1488"}));
}

TEST_F(TrayBusTest, TwoHundredSilentItemsAndASilentWatcherCostTheMainThreadNothingAndOneSecondAtMost) {
    addItem(QStringLiteral("org.example.Sync"), QStringLiteral("/StatusNotifierItem"),
            trayItemProperties(QStringLiteral("Nextcloud Sync"), std::nullopt, std::nullopt));
    addItem(QStringLiteral("org.example.Net"), QStringLiteral("/StatusNotifierItem"),
            trayItemProperties(std::nullopt, QStringLiteral("Wired connection 1"), std::nullopt));
    // One program with 200 items, none of which ever answers.
    FakeBusObject& silent =
        addItem(QStringLiteral("org.example.Hung0"), QStringLiteral("/StatusNotifierItem"), {}, true);
    QStringList entries{QStringLiteral("org.example.Sync"), QStringLiteral("org.example.Net")};
    for (int i = 0; i < 200; ++i) {
        const QString name = QStringLiteral("org.example.Hung%1").arg(i);
        if (i > 0) {
            ASSERT_TRUE(silent.addName(name));
        }
        entries.append(name);
    }
    watch(entries);
    MenuBarScanner scanner(permissions, screens, clock, &source());
    permissions.accessibilityTrusted = true;
    QSignalSpy published(&scanner, &MenuBarScanner::lastScanChanged);

    // The scan returns at once and the main thread goes on with its events while all 200
    // questions are out together.
    bool eventRan = false;
    QTimer::singleShot(0, [&eventRan] { eventRan = true; });
    scanner.scan();
    EXPECT_FALSE(eventRan);
    EXPECT_EQ(published.count(), 0);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return silent.askedCount() == 200 && objects[0]->askedCount() == 1 &&
                   objects[1]->askedCount() == 1;
        },
        30000));
    EXPECT_TRUE(eventRan);
    settle(*objects[0]);
    settle(*objects[1]);
    EXPECT_EQ(published.count(), 0);
    scanner.scan();
    EXPECT_EQ(scheduler.pendingCount(), 1u) << "a scan under way answers the second call";
    scheduler.advance(Seconds(0.999));
    EXPECT_EQ(published.count(), 0);
    scheduler.advance(Seconds(0.001));
    ASSERT_EQ(published.count(), 1) << "the whole scan ends after one second";
    // What answered is shown by its name; the rest by its program's, as far as the bar reaches
    // (716 points in: 33 items).
    EXPECT_EQ(scanner.scanMessage(), QStringLiteral("Found 33 menu-bar items."));
    ASSERT_EQ(scanner.items().size(), 33u);
    EXPECT_EQ(scanner.items().back().title, QStringLiteral("Nextcloud Sync"));
    EXPECT_EQ(scanner.items()[31].title, QStringLiteral("Wired connection 1"));
    EXPECT_EQ(scanner.items()[30].title, QStringLiteral("nm-applet"));
    EXPECT_EQ(scanner.items().front().xPosition, 720);

    // A watcher that lists nothing and never answers: an empty list after one second.
    watch({}, true);
    scanner.scan();
    ASSERT_TRUE(QTest::qWaitFor([&] { return watcher->askedCount() == 1; }, 10000));
    scheduler.advance(Seconds(0.999));
    EXPECT_EQ(published.count(), 1);
    EXPECT_EQ(scanner.items().size(), 33u);
    scheduler.advance(Seconds(0.001));
    EXPECT_EQ(published.count(), 2);
    EXPECT_TRUE(scanner.items().empty());
    EXPECT_EQ(scanner.scanMessage(), QStringLiteral("No accessible items found."));
    EXPECT_EQ(scanner.lastScan(), clock.now());

    // Taking the permission away drops a pass under way.
    scanner.scan();
    permissions.accessibilityTrusted = false;
    scanner.scan();
    scheduler.advance(Seconds(1));
    EXPECT_EQ(published.count(), 2);
    EXPECT_EQ(scanner.scanMessage(), QStringLiteral("Allow Accessibility, then press Scan Menu Bar again."));
}

TEST_F(TrayBusTest, AWatcherListingThousandsOfItemsIsAskedAboutTheFirst512) {
    QStringList entries;
    for (int i = 0; i < 3000; ++i) entries.append(QStringLiteral("org.example.Gone%1").arg(i));
    watch(entries);
    const auto records = itemsOf(source());
    ASSERT_TRUE(records.has_value());
    ASSERT_EQ(records->size(), 512u);
    EXPECT_EQ(records->back().title, std::nullopt);
    EXPECT_EQ(records->back().ownerName, std::nullopt);
}

TEST_F(TrayBusTest, WithoutAWatcherTheModelAnswers) {
    model.setOtherItems({{QStringLiteral("Simulated"), {}, {}, QStringLiteral("Program")}});
    StatusNotifierItemSource& items = source();
    EXPECT_EQ(itemsOf(items), model.menuBarItems());
    ASSERT_EQ(model.menuBarItems().size(), 1u);

    StatusNotifierItemSource noBus(
        {.connection = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/vantrel-bus"),
                                                     QStringLiteral("vantrel-none")),
         .model = model,
         .scheduler = scheduler});
    std::optional<std::vector<MenuBarItemRecord>> delivered;
    noBus.requestMenuBarItems([&](std::vector<MenuBarItemRecord> records) { delivered = records; });
    EXPECT_EQ(delivered, model.menuBarItems()) << "at once: there is nobody to ask";
    QDBusConnection::disconnectFromBus(QStringLiteral("vantrel-none"));

    model.setOtherItems({});
    const auto none = itemsOf(items);
    ASSERT_TRUE(none.has_value());
    EXPECT_TRUE(none->empty()) << "empty unless filled";
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
