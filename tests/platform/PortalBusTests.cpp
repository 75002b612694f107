#include "platform/linux/PortalReducedMotionSource.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QEventLoop>
#include <QProcess>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>
#include <optional>

using namespace vantrel;

namespace {

// A settings portal of our own on a private bus, answering "Read" as older portals do (the value
// wrapped in two variants) and refusing keys it does not have.
class FakeSettingsPortal : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    std::optional<bool> enableAnimations;
    int reads = 0;

    // Announces a changed setting to every listener on the bus.
    static void announce(QDBusConnection bus, const QString& key, const QVariant& value) {
        QDBusMessage changed = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/portal/desktop"),
                                                          QStringLiteral("org.freedesktop.portal.Settings"),
                                                          QStringLiteral("SettingChanged"));
        changed << QStringLiteral("org.gnome.desktop.interface") << key
                << QVariant::fromValue(QDBusVariant(value));
        bus.send(changed);
    }

public Q_SLOTS:
    QDBusVariant Read(const QString& nameSpace, const QString& key) {
        ++reads;
        if (nameSpace != "org.gnome.desktop.interface" || key != "enable-animations" || !enableAnimations) {
            sendErrorReply(QStringLiteral("org.freedesktop.portal.Error.NotFound"),
                           QStringLiteral("no such key"));
            return {};
        }
        return QDBusVariant(QVariant::fromValue(QDBusVariant(*enableAnimations)));
    }
};

// A private session bus for one test, ended with it.
class PrivateBus {
public:
    PrivateBus() {
        daemon_.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                      QStringLiteral("--print-address")});
        if (!daemon_.waitForStarted(5000)) return;
        while (!daemon_.canReadLine() && daemon_.waitForReadyRead(5000)) {
        }
        address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus() {
        QDBusConnection::disconnectFromBus(QStringLiteral("vantrel-portal"));
        QDBusConnection::disconnectFromBus(QStringLiteral("vantrel-client"));
        daemon_.kill();
        daemon_.waitForFinished(5000);
    }
    bool isValid() const { return !address_.isEmpty(); }
    QDBusConnection connect(const QString& name) { return QDBusConnection::connectToBus(address_, name); }

private:
    QProcess daemon_;
    QString address_;
};

// Runs the event loop until `done` holds, for at most five seconds: bus messages arrive when the
// daemon routes them, not at a time the test controls.
template <typename F> bool deliverUntil(F done) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    poll.start(5);
    if (!done()) loop.exec();
    return done();
}

} // namespace

TEST(PortalReducedMotionSource, ReadsAndFollowsThePortalOnTheSessionBus) {
    PrivateBus bus;
    if (!bus.isValid()) GTEST_SKIP() << "dbus-daemon is not available";
    FakeSettingsPortal portal;
    portal.enableAnimations = false;
    QDBusConnection portalSide = bus.connect(QStringLiteral("vantrel-portal"));
    ASSERT_TRUE(portalSide.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
                                          QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(portalSide.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));

    PortalReducedMotionSource source(bus.connect(QStringLiteral("vantrel-client")));
    QSignalSpy changes(&source, &ReducedMotionSource::displayOptionsChanged);
    EXPECT_FALSE(source.prefersReducedMotion()) << "nothing is known before the portal answers";
    ASSERT_TRUE(deliverUntil([&] { return changes.count() == 1; }));
    EXPECT_TRUE(source.prefersReducedMotion());
    EXPECT_EQ(portal.reads, 1);

    // Another key first, then the one that matters: only the second is taken.
    FakeSettingsPortal::announce(portalSide, "cursor-size", 24);
    FakeSettingsPortal::announce(portalSide, "enable-animations", true);
    ASSERT_TRUE(deliverUntil([&] { return changes.count() == 2; }));
    EXPECT_FALSE(source.prefersReducedMotion());
}

TEST(PortalReducedMotionSource, APortalWithoutTheSettingLeavesMotionAlone) {
    PrivateBus bus;
    if (!bus.isValid()) GTEST_SKIP() << "dbus-daemon is not available";
    FakeSettingsPortal portal; // knows no value
    QDBusConnection portalSide = bus.connect(QStringLiteral("vantrel-portal"));
    ASSERT_TRUE(portalSide.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
                                          QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(portalSide.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));

    PortalReducedMotionSource source(bus.connect(QStringLiteral("vantrel-client")));
    ASSERT_TRUE(deliverUntil([&] { return portal.reads == 1; }));
    QSignalSpy changes(&source, &ReducedMotionSource::displayOptionsChanged);
    // A value of the wrong type is ignored as well; the later good one still counts.
    FakeSettingsPortal::announce(portalSide, "enable-animations", QStringLiteral("no"));
    FakeSettingsPortal::announce(portalSide, "enable-animations", false);
    ASSERT_TRUE(deliverUntil([&] { return changes.count() == 1; }));
    EXPECT_TRUE(source.prefersReducedMotion());
}

#include "PortalBusTests.moc"
