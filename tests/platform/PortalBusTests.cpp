#include "platform/linux/PortalReducedMotionSource.h"
#include "support/PrivateSessionBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// A settings portal of our own on a private bus whose desktop has animations off, answering "Read"
// as older portals do (the value wrapped in two variants).
class FakeSettingsPortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    explicit FakeSettingsPortal(const QString& address)
        : bus(QDBusConnection::connectToBus(address, "portal")) {
        bus.registerObject("/org/freedesktop/portal/desktop", this, QDBusConnection::ExportAllSlots);
        bus.registerService("org.freedesktop.portal.Desktop");
    }
    ~FakeSettingsPortal() override { QDBusConnection::disconnectFromBus(bus.name()); }
    // Announces a changed setting to every listener on the bus.
    void announce(const QString& key, const QVariant& value) {
        QDBusMessage changed = QDBusMessage::createSignal(
            "/org/freedesktop/portal/desktop", "org.freedesktop.portal.Settings", "SettingChanged");
        changed << QStringLiteral("org.gnome.desktop.interface") << key
                << QVariant::fromValue(QDBusVariant(value));
        bus.send(changed);
    }
    QDBusConnection bus;

public Q_SLOTS:
    QDBusVariant Read(const QString& nameSpace, const QString& key) {
        const bool off = nameSpace == "org.gnome.desktop.interface" && key == "enable-animations";
        return QDBusVariant(QVariant::fromValue(QDBusVariant(!off)));
    }
};

} // namespace

TEST(PortalReducedMotionSource, ReadsAndFollowsThePortalOnTheSessionBus) {
    PrivateSessionBus bus;
    if (!bus.isRunning()) GTEST_SKIP() << "dbus-daemon is not available";
    FakeSettingsPortal portal(bus.address());
    PortalReducedMotionSource source(QDBusConnection::connectToBus(bus.address(), "client"));
    QSignalSpy changes(&source, &ReducedMotionSource::displayOptionsChanged);
    EXPECT_FALSE(source.prefersReducedMotion()) << "nothing is known before the portal answers";
    ASSERT_TRUE(changes.wait(5000));
    EXPECT_TRUE(source.prefersReducedMotion());

    // Another key, or a value of the wrong type, is ignored; then the one that matters counts. A
    // round trip to the portal brings every announcement made before it.
    portal.announce("cursor-blink", true);
    portal.announce("enable-animations", QStringLiteral("no"));
    QDBusMessage read =
        QDBusMessage::createMethodCall("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                                       "org.freedesktop.portal.Settings", "Read");
    QDBusPendingCallWatcher roundTrip(QDBusConnection("client").asyncCall(read << QString() << QString()));
    ASSERT_TRUE(QSignalSpy(&roundTrip, &QDBusPendingCallWatcher::finished).wait(5000));
    EXPECT_TRUE(source.prefersReducedMotion());
    portal.announce("enable-animations", true);
    ASSERT_TRUE(changes.wait(5000));
    EXPECT_FALSE(source.prefersReducedMotion());
}

#include "PortalBusTests.moc"
