#include "platform/linux/TrayStatusBar.h"
#include "support/FakeStatusNotifierHost.h"
#include "support/ManualScheduler.h"
#include "support/PrivateSessionBus.h"
#include "support/RecordingSystemLog.h"

#include <QCoreApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

TEST(TrayStatusItem, KeepsItsLengthAndLeavesTheTrayWhileHidden) {
    TrayStatusBar bar;
    std::unique_ptr<StatusItem> item = bar.createItem(QStringLiteral("VantrelHiddenSection"));
    auto* icon = dynamic_cast<QObject*>(item.get())->findChild<QSystemTrayIcon*>();
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(item->autosaveName(), QStringLiteral("VantrelHiddenSection"));
    EXPECT_EQ(item->length(), -1);
    EXPECT_TRUE(item->isVisible());

    item->setImage(QStringLiteral("chevron.left.2"), QStringLiteral("Vantrel menu-bar divider"));
    const qint64 shown = icon->icon().cacheKey();
    // Stretched to hide: no image, a length no icon can have, and out of the tray.
    item->setImage(QString(), QString());
    item->setLength(2048);
    item->setVisible(false);
    EXPECT_EQ(item->length(), 2048);
    EXPECT_FALSE(item->isVisible());
    EXPECT_FALSE(icon->isVisible());
    EXPECT_EQ(icon->icon().cacheKey(), shown) << "a tray icon is never left empty";

    item->setImage(QStringLiteral("line.3.horizontal.decrease"), QStringLiteral("Vantrel menu-bar divider"));
    EXPECT_NE(icon->icon().cacheKey(), shown);
    item->setLength(-1);
    item->setVisible(true);
    EXPECT_TRUE(item->isVisible());
    // Shown again only where a tray exists to show it in.
    EXPECT_EQ(icon->isVisible(), QSystemTrayIcon::isSystemTrayAvailable());
}

namespace {

struct TrayBus {
    PrivateSessionBus bus;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingSystemLog log;

    QDBusConnection client() const { return QDBusConnection::connectToBus(bus.address(), name()); }
    QString name() const { return QStringLiteral("vantrel-tray-") + bus.address(); }
    ~TrayBus() { QDBusConnection::disconnectFromBus(name()); }
};

QSystemTrayIcon* iconOf(StatusItem& item) {
    return dynamic_cast<QObject&>(item).findChild<QSystemTrayIcon*>();
}

} // namespace

TEST(TrayStatusBar, ASilentWatcherLeavesTheItemOutWithoutHoldingStartUpUntilTheWatcherChangesOwner) {
    TrayBus tray;
    if (!tray.bus.isRunning()) GTEST_SKIP() << "dbus-daemon could not be started";
    auto silent = std::make_unique<FakeStatusNotifierWatcher>(tray.bus.address(), true);
    ASSERT_TRUE(silent->isRegistered());

    TrayStatusBar bar(tray.client(), tray.scheduler, tray.log);
    std::unique_ptr<StatusItem> item = bar.createItem(QStringLiteral("VantrelPrimary"));
    QMenu menu;
    menu.addAction(QStringLiteral("Quit Vantrel"));
    item->setImage(QStringLiteral("sparkles"), QStringLiteral("Open Vantrel"));
    item->setToolTip(QStringLiteral("Open Vantrel · right-click for menu"));
    item->setContextMenu(&menu);
    // Both returned before the watcher was even asked: the question goes out from the event loop.
    EXPECT_EQ(bar.tray(), TrayStatusBar::Tray::asking);
    ASSERT_TRUE(QTest::qWaitFor([&] { return silent->askedCount() == 1; }, 10000));
    EXPECT_EQ(iconOf(*item), nullptr) << "Qt is not handed the item while the watcher is silent";

    tray.scheduler.advance(Seconds(0.999));
    EXPECT_EQ(bar.tray(), TrayStatusBar::Tray::asking);
    EXPECT_TRUE(tray.log.messages().isEmpty());
    tray.scheduler.advance(Seconds(0.001));
    EXPECT_EQ(bar.tray(), TrayStatusBar::Tray::silent);
    EXPECT_EQ(iconOf(*item), nullptr);
    EXPECT_EQ(
        tray.log.messages(QStringLiteral("StatusItem")),
        QStringList{"The desktop's tray (org.kde.StatusNotifierWatcher) did not answer within 1 second; "
                    "starting without the status item, which is added once the tray changes owner."});
    ASSERT_EQ(tray.log.lines().size(), 1u);
    EXPECT_EQ(tray.log.lines()[0].level, LogLevel::error);
    EXPECT_FALSE(item->frameOnScreen().has_value());
    // A late item of the same bar waits too.
    std::unique_ptr<StatusItem> later = bar.createItem(QStringLiteral("VantrelHiddenSection"));
    EXPECT_EQ(iconOf(*later), nullptr);

    // A restarted panel takes the name over, and answers: the items go into the tray as they
    // were set up meanwhile.
    FakeStatusNotifierWatcher answering(tray.bus.address());
    ASSERT_TRUE(answering.isRegistered());
    ASSERT_TRUE(QTest::qWaitFor([&] { return iconOf(*item) != nullptr; }, 10000));
    EXPECT_EQ(bar.tray(), TrayStatusBar::Tray::open);
    EXPECT_EQ(answering.askedCount(), 1);
    QSystemTrayIcon* icon = iconOf(*item);
    EXPECT_EQ(icon->toolTip(), QStringLiteral("Open Vantrel · right-click for menu"));
    EXPECT_EQ(icon->contextMenu(), &menu);
    EXPECT_FALSE(icon->icon().isNull());
    EXPECT_NE(iconOf(*later), nullptr);
    EXPECT_EQ(tray.log.messages(QStringLiteral("StatusItem")).last(),
              QStringLiteral("The desktop's tray changed owner; the status item is added."));
    EXPECT_EQ(tray.scheduler.pendingCount(), 0u);
}

TEST(TrayStatusBar, AnAnsweringWatcherOrNoBusLetTheItemInAtOnceAndTheTrayOpensItsOwnContextMenu) {
    TrayBus tray;
    if (!tray.bus.isRunning()) GTEST_SKIP() << "dbus-daemon could not be started";
    FakeStatusNotifierWatcher watcher(tray.bus.address());
    TrayStatusBar bar(tray.client(), tray.scheduler, tray.log);
    std::unique_ptr<StatusItem> item = bar.createItem(QStringLiteral("VantrelPrimary"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return iconOf(*item) != nullptr; }, 10000));
    EXPECT_EQ(tray.scheduler.pendingCount(), 0u) << "no clock needed";
    EXPECT_TRUE(tray.log.lines().empty());

    // No watcher on the bus at all: Qt's own question is answered by the bus at once.
    TrayBus empty;
    TrayStatusBar bare(empty.client(), empty.scheduler, empty.log);
    std::unique_ptr<StatusItem> lone = bare.createItem(QStringLiteral("VantrelPrimary"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return iconOf(*lone) != nullptr; }, 10000));
    EXPECT_TRUE(empty.log.lines().empty());

    // Without a bus connection there is nothing to ask.
    TrayStatusBar noBus(QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/vantrel-bus"),
                                                      QStringLiteral("vantrel-no-tray")),
                        tray.scheduler, tray.log);
    EXPECT_NE(iconOf(*noBus.createItem(QStringLiteral("VantrelPrimary"))), nullptr);
    QDBusConnection::disconnectFromBus(QStringLiteral("vantrel-no-tray"));

    // A right click goes to the menu the tray opens, not to the handler as well.
    std::vector<StatusItemClick> clicks;
    item->setClickHandler([&clicks](StatusItemClick click) { clicks.push_back(click); });
    QSystemTrayIcon* icon = iconOf(*item);
    QMenu menu;
    item->setContextMenu(&menu);
    EXPECT_EQ(icon->contextMenu(), &menu);
    Q_EMIT icon->activated(QSystemTrayIcon::Context);
    Q_EMIT icon->activated(QSystemTrayIcon::Trigger);
    item->setContextMenu(nullptr);
    Q_EMIT icon->activated(QSystemTrayIcon::Context);
    EXPECT_EQ(clicks, (std::vector{StatusItemClick::left, StatusItemClick::right}));
}
