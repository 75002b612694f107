#include "platform/linux/PortalSystemAppearance.h"
#include "support/PrivateSessionBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QPalette>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

using SettingsTable = QMap<QString, QVariantMap>;

const char* const kAppearance = "org.freedesktop.appearance";
const char* const kGnomeA11y = "org.gnome.desktop.a11y.interface";
const char* const kGnomeInterface = "org.gnome.desktop.interface";

// A settings portal of our own on a private bus: it answers "ReadAll" from its table and
// announces every change it is given.
class FakeSettingsPortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    FakeSettingsPortal(const QString& address, SettingsTable table)
        : bus(QDBusConnection::connectToBus(address, "portal")), table_(std::move(table)) {
        qDBusRegisterMetaType<SettingsTable>();
        bus.registerObject("/org/freedesktop/portal/desktop", this, QDBusConnection::ExportAllSlots);
        bus.registerService("org.freedesktop.portal.Desktop");
    }
    ~FakeSettingsPortal() override { QDBusConnection::disconnectFromBus(bus.name()); }

    void announce(const QString& nameSpace, const QString& key, const QVariant& value) {
        table_[nameSpace][key] = value;
        QDBusMessage changed = QDBusMessage::createSignal(
            "/org/freedesktop/portal/desktop", "org.freedesktop.portal.Settings", "SettingChanged");
        changed << nameSpace << key << QVariant::fromValue(QDBusVariant(value));
        bus.send(changed);
        // Sending only queues the signal on our connection: a round trip on that same connection
        // returns once the bus has it and has passed it on, so a later round trip of the client's
        // cannot overtake it.
        bus.call(QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                "org.freedesktop.DBus", "GetId"));
    }
    QDBusConnection bus;

public Q_SLOTS:
    SettingsTable ReadAll(const QStringList& namespaces) {
        SettingsTable asked;
        for (const QString& name : namespaces)
            if (table_.contains(name)) asked.insert(name, table_.value(name));
        return asked;
    }

private:
    SettingsTable table_;
};

// One round trip to the bus on the client's connection: everything sent to the client before it
// has been handled when it returns.
void settle(const QDBusConnection& client) {
    QDBusMessage ping = QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                       "org.freedesktop.DBus", "GetId");
    QDBusPendingCallWatcher roundTrip(client.asyncCall(ping));
    ASSERT_TRUE(QSignalSpy(&roundTrip, &QDBusPendingCallWatcher::finished).wait(5000));
}

struct Seen {
    ColorScheme scheme;
    bool contrast;
    bool motion;
    bool operator==(const Seen&) const = default;
};
Seen seen(const SystemAppearance& appearance) {
    EXPECT_FALSE(appearance.reduceTransparency()) << "no desktop publishes it";
    return {appearance.colorScheme(), appearance.increasedContrast(), appearance.reduceMotion()};
}

} // namespace

TEST(PortalSystemAppearance, ReadsThePortalOnceThenFollowsEachKeyWithOneSignalPerChange) {
    PrivateSessionBus bus;
    if (!bus.isRunning()) GTEST_SKIP() << "dbus-daemon is not available";
    FakeSettingsPortal portal(
        bus.address(), {{kAppearance, {{"color-scheme", 1u}, {"contrast", 0u}, {"reduced-motion", 0u}}},
                        {kGnomeA11y, {{"high-contrast", false}}},
                        {kGnomeInterface, {{"enable-animations", true}}}});
    ColorScheme palette = ColorScheme::light;
    const QDBusConnection client = QDBusConnection::connectToBus(bus.address(), "client");
    PortalSystemAppearance appearance(client, [&palette] { return palette; });
    QSignalSpy changes(&appearance, &SystemAppearance::changed);
    EXPECT_EQ(seen(appearance), (Seen{ColorScheme::light, false, false}))
        << "the palette's scheme until the portal answers";
    ASSERT_TRUE(changes.wait(5000));
    EXPECT_EQ(seen(appearance), (Seen{ColorScheme::dark, false, false}));

    // Each step: the key, its new value, what the appearance shows then, and whether that is a change.
    struct Step {
        const char* nameSpace;
        const char* key;
        QVariant value;
        Seen expected;
        bool announced;
    };
    const ColorScheme dark = ColorScheme::dark, light = ColorScheme::light;
    const Step steps[] = {
        {kAppearance, "color-scheme", 2u, {light, false, false}, true},
        {kAppearance, "contrast", 1u, {light, true, false}, true},
        {kGnomeA11y, "high-contrast", true, {light, true, false}, false},
        {kAppearance, "contrast", 0u, {light, true, false}, false},
        {kGnomeA11y, "high-contrast", false, {light, false, false}, true},
        {kGnomeA11y, "high-contrast", true, {light, true, false}, true},
        {kGnomeA11y, "high-contrast", QStringLiteral("yes"), {light, false, false}, true},
        {kAppearance, "contrast", 2u, {light, false, false}, false},
        {kAppearance, "reduced-motion", 1u, {light, false, true}, true},
        {kGnomeInterface, "enable-animations", false, {light, false, true}, false},
        {kAppearance, "reduced-motion", 0u, {light, false, true}, false},
        {kGnomeInterface, "enable-animations", true, {light, false, false}, true},
        {kAppearance, "reduced-motion", 9u, {light, false, false}, false},
        // Other keys and namespaces are not ours.
        {kGnomeInterface, "color-scheme", 1u, {light, false, false}, false},
        {"org.kde.kdeglobals.General", "contrast", 1u, {light, false, false}, false},
        {kAppearance, "accent-color", 1u, {light, false, false}, false},
        // No preference, an unknown number or a wrong type: the palette decides.
        {kAppearance, "color-scheme", 0u, {light, false, false}, false},
        {kAppearance, "color-scheme", 1, {dark, false, false}, true},
        {kAppearance, "color-scheme", 7u, {light, false, false}, true},
        {kAppearance, "color-scheme", QStringLiteral("dark"), {light, false, false}, false},
    };
    for (const Step& step : steps) {
        changes.clear();
        portal.announce(step.nameSpace, step.key, step.value);
        settle(client);
        EXPECT_EQ(seen(appearance), step.expected) << step.nameSpace << " " << step.key;
        EXPECT_EQ(changes.count(), step.announced ? 1 : 0) << step.nameSpace << " " << step.key;
    }

    // While the portal has no scheme, a palette change counts.
    changes.clear();
    palette = ColorScheme::dark;
    QEvent paletteChange(QEvent::ApplicationPaletteChange);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &paletteChange);
    EXPECT_EQ(appearance.colorScheme(), ColorScheme::dark);
    EXPECT_EQ(changes.count(), 1);
}

TEST(PortalSystemAppearance, WithoutAPortalOrABusThePaletteDecidesAndEverythingIsOff) {
    PrivateSessionBus bus;
    if (!bus.isRunning()) GTEST_SKIP() << "dbus-daemon is not available";
    const QDBusConnection client = QDBusConnection::connectToBus(bus.address(), "lonely");
    PortalSystemAppearance noPortal(client, [] { return ColorScheme::dark; });
    QSignalSpy changes(&noPortal, &SystemAppearance::changed);
    settle(client);
    QCoreApplication::processEvents();
    EXPECT_EQ(seen(noPortal), (Seen{ColorScheme::dark, false, false}));
    EXPECT_EQ(changes.count(), 0);

    PortalSystemAppearance noBus(QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "vantrel-none"),
                                 [] { return ColorScheme::light; });
    QCoreApplication::processEvents();
    EXPECT_EQ(seen(noBus), (Seen{ColorScheme::light, false, false}));
}

TEST(PortalSystemAppearance, ThePalettesWindowLightnessGivesTheScheme) {
    const QPalette original = QGuiApplication::palette();
    PortalSystemAppearance appearance(
        QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "vantrel-none"));
    QSignalSpy changes(&appearance, &SystemAppearance::changed);
    QPalette palette = original;
    for (const auto& [window, scheme] : {std::pair{QColor(30, 30, 32), ColorScheme::dark},
                                         std::pair{QColor(127, 127, 127), ColorScheme::dark},
                                         std::pair{QColor(128, 128, 128), ColorScheme::light},
                                         std::pair{QColor(246, 245, 244), ColorScheme::light}}) {
        palette.setColor(QPalette::Window, window);
        QGuiApplication::setPalette(palette);
        EXPECT_EQ(PortalSystemAppearance::schemeFromPalette(), scheme) << window.name().toStdString();
        EXPECT_EQ(appearance.colorScheme(), scheme) << "followed when the palette changes";
    }
    EXPECT_EQ(changes.count(), 2) << "light to dark, dark to light";
    QGuiApplication::setPalette(original);
}

#include "PortalSystemAppearanceTests.moc"
