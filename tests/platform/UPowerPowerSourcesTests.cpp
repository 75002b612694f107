#include "platform/linux/UPowerPowerSources.h"
#include "support/FakeUPower.h"
#include "support/PrivateSessionBus.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

QVariantMap device(uint type, bool present, double percentage) {
    return {{QStringLiteral("Type"), type},
            {QStringLiteral("IsPresent"), present},
            {QStringLiteral("Percentage"), percentage}};
}

// A power-supply folder with the given files per supply.
QString
supplies(const TempHome& home,
         const std::vector<std::pair<QString, std::vector<std::pair<QString, QByteArray>>>>& entries) {
    for (const auto& [supply, files] : entries)
        for (const auto& [name, content] : files)
            home.writeFile(QStringLiteral("ps/") + supply + "/" + name, content);
    return home.root() + QStringLiteral("/ps");
}

} // namespace

TEST(UPowerPowerSources, TheFirstPresentBatteryOfUPowerRoundedHalfAwayFromZero) {
    PrivateSessionBus bus;
    if (!bus.isRunning()) GTEST_SKIP() << "no dbus-daemon";
    TempHome home;
    // The kernel's files say otherwise: UPower wins while it has a battery.
    const QString folder = supplies(home, {{"BAT0", {{"type", "Battery\n"}, {"capacity", "90\n"}}}});
    {
        FakeUPower upower(bus.address(),
                          {{"/org/freedesktop/UPower/devices/line_power_AC", device(1, true, 0)},
                           {"/org/freedesktop/UPower/devices/battery_BAT9", device(2, false, 3)},
                           {"/org/freedesktop/UPower/devices/battery_BAT0", device(2, true, 24.5)},
                           {"/org/freedesktop/UPower/devices/battery_BAT1", device(2, true, 70)}});
        ASSERT_TRUE(upower.isRegistered());
        UPowerPowerSources power(QDBusConnection::connectToBus(bus.address(), QStringLiteral("power-client")),
                                 folder);
        EXPECT_EQ(power.batteryLevel(), 25);
        EXPECT_EQ(power.upowerLevel(), 25);
    }
    {
        // UPower with no battery: the kernel's files.
        FakeUPower upower(bus.address(),
                          {{"/org/freedesktop/UPower/devices/line_power_AC", device(1, true, 0)}});
        ASSERT_TRUE(upower.isRegistered());
        UPowerPowerSources power(
            QDBusConnection::connectToBus(bus.address(), QStringLiteral("power-client-2")), folder);
        EXPECT_FALSE(power.upowerLevel().has_value());
        EXPECT_EQ(power.batteryLevel(), 90);
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("power-client"));
    QDBusConnection::disconnectFromBus(QStringLiteral("power-client-2"));
}

TEST(UPowerPowerSources, TheKernelsFilesGiveCapacityElseEnergyElseCharge) {
    // No bus at all.
    const QDBusConnection none =
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent"), QStringLiteral("no-bus"));
    const auto level = [&none](const QString& folder) {
        return UPowerPowerSources(none, folder).batteryLevel();
    };
    {
        TempHome home;
        EXPECT_EQ(level(supplies(home, {{"AC", {{"type", "Mains"}, {"online", "1"}}},
                                        {"BAT0", {{"type", "Battery"}, {"capacity", "57"}}}})),
                  57);
    }
    {
        TempHome home;
        EXPECT_EQ(
            level(supplies(
                home,
                {{"BAT0", {{"type", "Battery"}, {"energy_now", "41500000"}, {"energy_full", "83000000"}}}})),
            50);
    }
    {
        TempHome home;
        // 1 of 8 is 12.5: halves round away from zero.
        EXPECT_EQ(
            level(supplies(
                home, {{"BAT1", {{"type", "Battery"}, {"charge_now", "1000"}, {"charge_full", "8000"}}}})),
            13);
    }
    {
        TempHome home;
        // An absent battery, a battery with an empty capacity of zero, then a good one.
        EXPECT_EQ(
            level(supplies(
                home,
                {{"BAT0", {{"type", "Battery"}, {"present", "0"}, {"capacity", "5"}}},
                 {"BAT1", {{"type", "Battery"}, {"energy_now", "5"}, {"energy_full", "0"}}},
                 {"BAT2",
                  {{"type", "Battery"}, {"capacity", "x"}, {"charge_now", "3"}, {"charge_full", "4"}}}})),
            75);
    }
    {
        TempHome home;
        EXPECT_FALSE(level(supplies(home, {{"AC", {{"type", "Mains"}}}})).has_value());
        EXPECT_FALSE(level(home.root() + QStringLiteral("/missing")).has_value());
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("no-bus"));
}
