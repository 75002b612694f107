#include "platform/linux/PortalReducedMotionSource.h"
#include "support/PrivateSessionBus.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <optional>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// A settings portal of our own on a private bus, answering "Read" as older portals do (the value
// wrapped in two variants) and refusing keys it does not have.
class FakeSettingsPortal : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    FakeSettingsPortal(const QString& address, const QString& name)
        : bus(QDBusConnection::connectToBus(address, name)) {
        bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), this,
                           QDBusConnection::ExportAllSlots);
        bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop"));
    }
    ~FakeSettingsPortal() override { QDBusConnection::disconnectFromBus(bus.name()); }
    // Announces a changed setting to every listener on the bus.
    void announce(const QString& key, const QVariant& value) {
        QDBusMessage changed = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/portal/desktop"),
                                                          QStringLiteral("org.freedesktop.portal.Settings"),
                                                          QStringLiteral("SettingChanged"));
        changed << QStringLiteral("org.gnome.desktop.interface") << key
                << QVariant::fromValue(QDBusVariant(value));
        bus.send(changed);
    }

    QDBusConnection bus;
    std::optional<bool> enableAnimations;

Q_SIGNALS:
    void wasRead();

public Q_SLOTS:
    QDBusVariant Read(const QString& nameSpace, const QString& key) {
        Q_EMIT wasRead();
        if (nameSpace != "org.gnome.desktop.interface" || key != "enable-animations" || !enableAnimations) {
            sendErrorReply(QStringLiteral("org.freedesktop.portal.Error.NotFound"),
                           QStringLiteral("no such key"));
            return {};
        }
        return QDBusVariant(QVariant::fromValue(QDBusVariant(*enableAnimations)));
    }
};

// Bus messages arrive when the daemon routes them: wait for the signal unless it came already.
bool reached(QSignalSpy& spy, int count) {
    while (spy.count() < count)
        if (!spy.wait(5000)) return false;
    return true;
}

} // namespace

TEST(PortalReducedMotionSource, ReadsAndFollowsThePortalOnTheSessionBus) {
    PrivateSessionBus bus;
    if (!bus.isRunning()) GTEST_SKIP() << "dbus-daemon is not available";
    for (const std::optional<bool> known : {std::optional(false), std::optional<bool>()}) {
        const QString suffix = known ? "known" : "unknown";
        FakeSettingsPortal portal(bus.address(), "portal-" + suffix);
        portal.enableAnimations = known;
        QSignalSpy reads(&portal, &FakeSettingsPortal::wasRead);
        PortalReducedMotionSource source(QDBusConnection::connectToBus(bus.address(), "client-" + suffix));
        QSignalSpy changes(&source, &ReducedMotionSource::displayOptionsChanged);
        EXPECT_FALSE(source.prefersReducedMotion()) << "nothing is known before the portal answers";
        ASSERT_TRUE(reached(reads, 1));
        ASSERT_TRUE(reached(changes, known ? 1 : 0));
        EXPECT_EQ(source.prefersReducedMotion(), known.has_value());

        // Another key, or a value of the wrong type, is ignored; then the one that matters counts.
        portal.announce("cursor-size", 24);
        portal.announce("enable-animations", QStringLiteral("no"));
        portal.announce("enable-animations", known.has_value());
        ASSERT_TRUE(reached(changes, known ? 2 : 1));
        EXPECT_EQ(source.prefersReducedMotion(), !known.has_value());
        EXPECT_EQ(changes.count(), known ? 2 : 1);
    }
}

#include "PortalBusTests.moc"
