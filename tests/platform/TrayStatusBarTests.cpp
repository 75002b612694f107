#include "platform/linux/SimulatedMenuBar.h"
#include "platform/linux/StatusNotifierItemSource.h"
#include "platform/linux/TrayStatusBar.h"
#include "support/FakeScreens.h"
#include "support/FakeStatusNotifierHost.h"
#include "support/ManualScheduler.h"
#include "support/PrivateSessionBus.h"
#include "support/QtPrinters.h"
#include "support/RecordingStatusBar.h"
#include "support/RecordingSystemLog.h"
#include "support/XvfbServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMenu>
#include <QPainter>
#include <QSet>
#include <QSystemTrayIcon>
#include <QTest>
#include <algorithm>
#include <cmath>
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return silent->askedCount() == 2; }, 10000));
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

    // The silent panel leaves: the bus answers for it that nobody has the name, which is no tray.
    silent.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar.tray() != TrayStatusBar::Tray::asking; }, 10000));
    EXPECT_EQ(bar.tray(), TrayStatusBar::Tray::absent);
    EXPECT_EQ(iconOf(*item), nullptr) << "Qt would take this for no tray, for good";

    // A restarted panel takes the name, and answers: the items go into the tray as they were set
    // up meanwhile.
    FakeStatusNotifierWatcher answering(tray.bus.address());
    ASSERT_TRUE(answering.isRegistered());
    ASSERT_TRUE(QTest::qWaitFor([&] { return iconOf(*item) != nullptr; }, 10000));
    EXPECT_EQ(bar.tray(), TrayStatusBar::Tray::open);
    QSystemTrayIcon* icon = iconOf(*item);
    EXPECT_EQ(icon->toolTip(), QStringLiteral("Open Vantrel · right-click for menu"));
    EXPECT_EQ(icon->contextMenu(), &menu);
    EXPECT_FALSE(icon->icon().isNull());
    EXPECT_NE(iconOf(*later), nullptr);
    EXPECT_EQ(tray.log.messages(QStringLiteral("StatusItem")).last(),
              QStringLiteral("The desktop's tray changed owner; the status item is added."));
    EXPECT_EQ(tray.scheduler.pendingCount(), 0u);
}

namespace {
// A watcher that answers Properties.Get but never Introspect, as a half-hung panel may.
class PropertiesOnlyWatcher final : public FakeBusObject {
public:
    explicit PropertiesOnlyWatcher(const QString& busAddress)
        : FakeBusObject(JoinLater{}, busAddress, QStringLiteral("org.kde.StatusNotifierWatcher"),
                        QStringLiteral("/StatusNotifierWatcher"),
                        QStringLiteral("org.kde.StatusNotifierWatcher"),
                        {{QStringLiteral("IsStatusNotifierHostRegistered"), true}}, false, true) {
        joinBus();
    }
    ~PropertiesOnlyWatcher() override { leaveBus(); }

protected:
    bool answer(const QDBusMessage& message, const QDBusConnection& connection) override {
        return message.member() == u"Introspect" || FakeBusObject::answer(message, connection);
    }
};
} // namespace

TEST(TrayStatusBar, AWatcherThatAnswersOnlyPartlyOrNoneAtAllKeepsQtFromTheItemUntilAWorkingOneComes) {
    TrayBus tray;
    if (!tray.bus.isRunning()) GTEST_SKIP() << "dbus-daemon could not be started";
    // Qt's tray would introspect this one and wait 25 seconds: the limit is 1 second.
    auto partial = std::make_unique<PropertiesOnlyWatcher>(tray.bus.address());
    TrayStatusBar bar(tray.client(), tray.scheduler, tray.log);
    std::unique_ptr<StatusItem> item = bar.createItem(QStringLiteral("VantrelPrimary"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return partial->askedCount() == 2; }, 10000));
    tray.scheduler.advance(Seconds(0.999));
    EXPECT_EQ(bar.tray(), TrayStatusBar::Tray::asking);
    tray.scheduler.advance(Seconds(0.001));
    EXPECT_EQ(bar.tray(), TrayStatusBar::Tray::silent);
    EXPECT_EQ(iconOf(*item), nullptr);

    partial.reset();
    FakeStatusNotifierWatcher watcher(tray.bus.address());
    ASSERT_TRUE(QTest::qWaitFor([&] { return iconOf(*item) != nullptr; }, 10000));
    EXPECT_EQ(tray.scheduler.pendingCount(), 0u);

    // Shown again after it was hidden, Qt's icon asks the watcher once more: not before the
    // watcher answered the bar again.
    item->setVisible(false);
    const int asked = watcher.askedCount();
    item->setVisible(true);
    EXPECT_EQ(bar.tray(), TrayStatusBar::Tray::asking);
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar.tray() == TrayStatusBar::Tray::open; }, 10000));
    EXPECT_EQ(watcher.askedCount(), asked + 2);

    // No watcher, but an X tray that embeds icons: the item goes there at once.
    TrayBus empty;
    TrayStatusBar embedding(empty.client(), empty.scheduler, empty.log, [] { return true; });
    std::unique_ptr<StatusItem> embedded = embedding.createItem(QStringLiteral("VantrelPrimary"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return iconOf(*embedded) != nullptr; }, 10000));
    EXPECT_TRUE(empty.log.lines().empty());
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

    // A watcher slowed past the limit (its answers are still on their way when the second is up)
    // brings the item in when it does answer.
    TrayBus slow;
    FakeStatusNotifierWatcher slowWatcher(slow.bus.address());
    TrayStatusBar slowBar(slow.client(), slow.scheduler, slow.log);
    std::unique_ptr<StatusItem> slowItem = slowBar.createItem(QStringLiteral("VantrelPrimary"));
    slow.scheduler.advance(Seconds(1.0));
    EXPECT_EQ(slowBar.tray(), TrayStatusBar::Tray::silent);
    ASSERT_TRUE(QTest::qWaitFor([&] { return iconOf(*slowItem) != nullptr; }, 10000));
    EXPECT_EQ(slowBar.tray(), TrayStatusBar::Tray::open);
    EXPECT_EQ(slow.log.messages(QStringLiteral("StatusItem")).last(),
              QStringLiteral("The desktop's tray answered late; the status item is added."));

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

namespace {

constexpr int kTimeoutMs = 20'000;

// The tray driver on a bus and X display of the test's own; see tests/drivers/TrayDriver.cpp.
class TrayDriver {
public:
    // `scale`: the program's QT_SCALE_FACTOR; none: unset.
    TrayDriver(const QString& busAddress, const QString& display, const QString& scale = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!scale.isEmpty()) env.insert("QT_SCALE_FACTOR", scale);
        env.insert("DBUS_SESSION_BUS_ADDRESS", busAddress);
        env.insert("DISPLAY", display);
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(VANTREL_BINARY_DIR "/tests/vantrel_tray_driver", {});
    }
    ~TrayDriver() {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(kTimeoutMs)) process_.kill();
    }
    // The rest of the next line said that starts with `prefix`.
    QString expect(const QString& prefix) {
        for (;;) {
            while (process_.canReadLine()) {
                const QString line = QString::fromUtf8(process_.readLine()).trimmed();
                if (line.startsWith(prefix)) return line.mid(prefix.size());
            }
            if (!process_.waitForReadyRead(kTimeoutMs)) return QStringLiteral("<silent>");
        }
    }
    QString ask(const QString& command, const QString& answer) {
        process_.write((command + '\n').toUtf8());
        return expect(answer);
    }
    // The bar's state and whether Qt has the item, once it has moved on from asking and from `left`.
    QString settledState(const QString& left = {}) {
        QString state;
        // Each question is a round trip to the driver.
        for (const QDeadlineTimer deadline(kTimeoutMs); !deadline.hasExpired();)
            if (state = ask("state", "state "); !state.startsWith(u"asking") && state != left) break;
        return state;
    }

private:
    QProcess process_;
};

double luminance(QRgb colour) {
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(colour)) + 0.7152 * linear(qGreen(colour)) + 0.0722 * linear(qBlue(colour));
}

// The contrast that at least a fifth of the icon's ink (pixels it covers by half or more) reaches
// against `background`.
double inkContrast(const QImage& icon, QRgb background) {
    QImage composite(icon.size(), QImage::Format_RGB32);
    composite.fill(background);
    QPainter(&composite).drawImage(0, 0, icon);
    std::vector<double> ink;
    const double b = luminance(background);
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            if (qAlpha(icon.pixel(x, y)) >= 128) {
                const double l = luminance(composite.pixel(x, y));
                ink.push_back((std::max(l, b) + 0.05) / (std::min(l, b) + 0.05));
            }
    if (ink.empty()) return 0;
    std::sort(ink.rbegin(), ink.rend());
    return ink[(ink.size() - 1) / 5];
}

// The item's IconPixmap: ARGB32 pictures in network byte order.
std::vector<QImage> exportedPixmaps(const QString& busAddress, const QString& item) {
    QDBusConnection reader = QDBusConnection::connectToBus(busAddress, QStringLiteral("icon-reader"));
    QDBusMessage get = QDBusMessage::createMethodCall(item, QStringLiteral("/StatusNotifierItem"),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << QStringLiteral("org.kde.StatusNotifierItem") << QStringLiteral("IconPixmap");
    const QDBusMessage reply = reader.call(get, QDBus::Block, kTimeoutMs);
    std::vector<QImage> pixmaps;
    if (reply.type() == QDBusMessage::ReplyMessage) {
        const QDBusArgument list =
            reply.arguments().constFirst().value<QDBusVariant>().variant().value<QDBusArgument>();
        list.beginArray();
        while (!list.atEnd()) {
            int width = 0, height = 0;
            QByteArray bytes;
            list.beginStructure();
            list >> width >> height >> bytes;
            list.endStructure();
            QImage image(width, height, QImage::Format_ARGB32);
            for (int i = 0; i < width * height && (i + 1) * 4 <= bytes.size(); ++i) {
                const auto* p = reinterpret_cast<const uchar*>(bytes.constData()) + i * 4;
                image.setPixel(i % width, i / width, qRgba(p[1], p[2], p[3], p[0]));
            }
            pixmaps.push_back(image);
        }
        list.endArray();
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("icon-reader"));
    return pixmaps;
}

} // namespace

TEST(TrayBus, TheTrayAndItsScanNameTheInterfaceOfEachCallAsTheWatcherAndTheItemsExportIt) {
    TrayBus tray;
    if (!tray.bus.isRunning()) GTEST_SKIP() << "dbus-daemon could not be started";
    // A panel whose host has not come yet, listing another program's item.
    FakeStatusNotifierWatcher watcher(tray.bus.address(), false, {QStringLiteral("org.example.Sync")}, false);
    FakeBusObject other(tray.bus.address(), QStringLiteral("org.example.Sync"),
                        QStringLiteral("/StatusNotifierItem"), QStringLiteral("org.kde.StatusNotifierItem"),
                        trayItemProperties(QStringLiteral("Nextcloud Sync"), std::nullopt, std::nullopt));
    ASSERT_TRUE(watcher.isRegistered() && other.isRegistered());

    // As a real service, the test watcher refuses a member on another interface or on none, and
    // another interface's property.
    QDBusConnection client = tray.client();
    const auto errorOf = [&client](const char* interface, const char* member, const QVariantList& arguments) {
        QDBusMessage call =
            QDBusMessage::createMethodCall(QStringLiteral("org.kde.StatusNotifierWatcher"),
                                           QStringLiteral("/StatusNotifierWatcher"), interface, member);
        call.setArguments(arguments);
        return client.call(call, QDBus::Block, kTimeoutMs).errorName();
    };
    const QVariantList hostProperty{QStringLiteral("org.kde.StatusNotifierWatcher"),
                                    QStringLiteral("IsStatusNotifierHostRegistered")};
    EXPECT_EQ(errorOf("org.kde.StatusNotifierWatcher", "Introspect", {}),
              "org.freedesktop.DBus.Error.UnknownMethod");
    EXPECT_EQ(errorOf("", "Get", hostProperty), "org.freedesktop.DBus.Error.UnknownMethod");
    EXPECT_EQ(errorOf("org.freedesktop.DBus.Properties", "Get",
                      {QStringLiteral("org.kde.StatusNotifierItem"),
                       QStringLiteral("IsStatusNotifierHostRegistered")}),
              "org.freedesktop.DBus.Error.UnknownInterface");

    // No host: no tray. The host's coming, which the watcher announces, lets the item in.
    TrayStatusBar bar(tray.client(), tray.scheduler, tray.log, [] { return false; });
    std::unique_ptr<StatusItem> item = bar.createItem(QStringLiteral("VantrelPrimary"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar.tray() == TrayStatusBar::Tray::absent; }, kTimeoutMs));
    watcher.registerHost();
    EXPECT_TRUE(QTest::qWaitFor([&] { return iconOf(*item) != nullptr; }, kTimeoutMs));

    // The scan reads the watcher's list, the item's process and its names.
    RecordingStatusBar statusBar;
    FakeScreens screens{{plainScreen(1, QRect(0, 0, 1512, 982))}, plainScreen(1, QRect(0, 0, 1512, 982))};
    SimulatedMenuBar model(statusBar, screens);
    StatusNotifierItemSource source({.connection = tray.client(),
                                     .model = model,
                                     .scheduler = tray.scheduler,
                                     .ownProcessId = 999999,
                                     .callTimeoutMs = kTimeoutMs});
    std::optional<std::vector<MenuBarItemRecord>> records;
    source.requestMenuBarItems(
        [&records](std::vector<MenuBarItemRecord> found) { records = std::move(found); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return records.has_value(); }, kTimeoutMs));
    ASSERT_EQ(records->size(), 1u);
    EXPECT_EQ(records->front().title, QStringLiteral("Nextcloud Sync"));
    EXPECT_TRUE(records->front().ownerName.has_value()) << "the bus names the item's process";
}

TEST(TrayStatusBarProcess, TheItemRegistersWithTheWatcherThatWorksAfterAnyOrderOfWatchersAndReadsOnAnyPanel) {
    XvfbServer x(640, 480);
    if (!x.isRunning()) GTEST_SKIP() << "Xvfb could not be started";
    const auto registersWithANewWatcher = [](const PrivateSessionBus& bus) {
        FakeStatusNotifierWatcher watcher(bus.address());
        return QTest::qWaitFor([&] { return !watcher.registeredItems().isEmpty(); }, kTimeoutMs);
    };
    const QString silence = QStringLiteral(
        "The desktop's tray (org.kde.StatusNotifierWatcher) did not answer within 1 second; starting without "
        "the status item, which is added once the tray changes owner.");

    {
        SCOPED_TRACE("a panel, killed, then started again");
        PrivateSessionBus bus;
        if (!bus.isRunning()) GTEST_SKIP() << "dbus-daemon could not be started";
        auto first = std::make_unique<FakeStatusNotifierWatcher>(bus.address());
        TrayDriver driver(bus.address(), x.display());
        ASSERT_EQ(driver.expect("ready"), QString());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !first->registeredItems().isEmpty(); }, kTimeoutMs));

        // What the panel draws reads on a light and on a dark panel.
        const std::vector<QImage> pixmaps =
            exportedPixmaps(bus.address(), first->registeredItems().constFirst());
        ASSERT_FALSE(pixmaps.empty());
        for (const QImage& pixmap : pixmaps)
            for (const QRgb panel : {qRgb(0xf0, 0xf0, 0xf0), qRgb(0x30, 0x30, 0x30)})
                EXPECT_GE(inkContrast(pixmap, panel), 3.0)
                    << pixmap.width() << " px on " << std::hex << panel;

        // Hidden and shown while no panel is there; the next panel gets it.
        first.reset();
        driver.ask("hide", "hidden");
        driver.ask("show", "shown");
        EXPECT_TRUE(registersWithANewWatcher(bus));
    }
    {
        SCOPED_TRACE("a silent panel, then none, then one that answers");
        PrivateSessionBus bus;
        auto silent = std::make_unique<FakeStatusNotifierWatcher>(bus.address(), true);
        TrayDriver driver(bus.address(), x.display());
        ASSERT_EQ(driver.expect("log "), silence);
        silent.reset();
        EXPECT_EQ(driver.settledState(QStringLiteral("silent none")), QStringLiteral("absent none"));
        EXPECT_TRUE(registersWithANewWatcher(bus));
    }
    {
        SCOPED_TRACE("no panel at start, one later");
        PrivateSessionBus bus;
        TrayDriver driver(bus.address(), x.display());
        ASSERT_EQ(driver.expect("ready"), QString());
        EXPECT_EQ(driver.settledState(), QStringLiteral("absent none"));
        EXPECT_TRUE(registersWithANewWatcher(bus));
    }
    {
        SCOPED_TRACE("a panel that answers Get but not Introspect, then one that works");
        PrivateSessionBus bus;
        auto partial = std::make_unique<PropertiesOnlyWatcher>(bus.address());
        TrayDriver driver(bus.address(), x.display());
        // Qt's tray would have waited 25 seconds for the description before anything was said.
        ASSERT_EQ(driver.expect("log "), silence);
        EXPECT_EQ(driver.settledState(), QStringLiteral("silent none"));
        EXPECT_EQ(partial->askedCount(), 2) << "only the bar's own questions";
        EXPECT_TRUE(registersWithANewWatcher(bus));
    }
}

TEST(TrayStatusBarProcess, AtTwiceTheScaleTheItemOffersEverySizeAPanelAsksForEachWithItsDarkEdge) {
    XvfbServer x(640, 480);
    if (!x.isRunning()) GTEST_SKIP() << "Xvfb could not be started";
    PrivateSessionBus bus;
    if (!bus.isRunning()) GTEST_SKIP() << "dbus-daemon could not be started";
    FakeStatusNotifierWatcher watcher(bus.address());
    TrayDriver driver(bus.address(), x.display(), QStringLiteral("2"));
    ASSERT_EQ(driver.expect("ready"), QString());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher.registeredItems().isEmpty(); }, kTimeoutMs));
    const std::vector<QImage> pixmaps =
        exportedPixmaps(bus.address(), watcher.registeredItems().constFirst());
    QSet<int> sides;
    for (const QImage& pixmap : pixmaps) {
        sides.insert(pixmap.width());
        // Drawn at its size, not scaled up from a smaller one: the ink fills as much of it.
        for (const QRgb panel : {qRgb(0xf0, 0xf0, 0xf0), qRgb(0x30, 0x30, 0x30)})
            EXPECT_GE(inkContrast(pixmap, panel), 3.0) << pixmap.width() << " px on " << std::hex << panel;
    }
    for (const int side : {16, 22, 24, 32, 44, 48, 64}) EXPECT_TRUE(sides.contains(side)) << side << " px";
}
