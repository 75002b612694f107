#pragma once

#include "platform/PowerSources.h"

#include <QDBusConnection>
#include <QString>

namespace vantrel {

// The battery as UPower on the system bus reports it: the first device of type battery that is
// present, its "Percentage" rounded half away from zero. Without UPower, or without a battery in
// it, the kernel's power-supply folder: the first "Battery" there, its "capacity", else
// "energy_now" / "energy_full", else "charge_now" / "charge_full".
class UPowerPowerSources final : public PowerSources {
public:
    static constexpr const char* kPowerSupplyFolder = "/sys/class/power_supply";

    UPowerPowerSources(QDBusConnection bus,
                       QString powerSupplyFolder = QString::fromLatin1(kPowerSupplyFolder));

    std::optional<int> batteryLevel() const override;

    std::optional<int> upowerLevel() const;
    std::optional<int> sysfsLevel() const;

private:
    QDBusConnection bus_;
    QString folder_;
};

} // namespace vantrel
