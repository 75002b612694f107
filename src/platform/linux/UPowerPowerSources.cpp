#include "platform/linux/UPowerPowerSources.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <QFile>
#include <cmath>

namespace vantrel {

namespace {

const QString kService = QStringLiteral("org.freedesktop.UPower");
// UPower's device type of a battery.
constexpr uint kBatteryType = 2;
// A system service that does not answer in this time is taken as absent.
constexpr int kCallTimeoutMs = 500;

std::optional<QString> readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    return QString::fromLatin1(file.read(64)).trimmed();
}

std::optional<double> readNumber(const QString& path) {
    const std::optional<QString> text = readText(path);
    if (!text) return std::nullopt;
    bool ok = false;
    const double value = text->toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<int> percent(double value) {
    if (!std::isfinite(value) || value < 0) return std::nullopt;
    // std::round rounds halves away from zero.
    return static_cast<int>(std::round(std::min(value, 100.0)));
}

std::optional<int> ratio(const QString& folder, const QString& now, const QString& full) {
    const std::optional<double> current = readNumber(folder + now);
    const std::optional<double> capacity = readNumber(folder + full);
    if (!current || !capacity || *capacity <= 0) return std::nullopt;
    return percent(*current / *capacity * 100);
}

} // namespace

UPowerPowerSources::UPowerPowerSources(QDBusConnection bus, QString powerSupplyFolder)
    : bus_(std::move(bus)), folder_(std::move(powerSupplyFolder)) {}

std::optional<int> UPowerPowerSources::batteryLevel() const {
    if (const std::optional<int> level = upowerLevel()) return level;
    return sysfsLevel();
}

std::optional<int> UPowerPowerSources::upowerLevel() const {
    if (!bus_.isConnected()) return std::nullopt;
    const QDBusMessage reply =
        bus_.call(QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/UPower"),
                                                 kService, QStringLiteral("EnumerateDevices")),
                  QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
    QList<QDBusObjectPath> devices;
    const QVariant list = reply.arguments().constFirst();
    if (list.canConvert<QDBusArgument>())
        list.value<QDBusArgument>() >> devices;
    else
        devices = list.value<QList<QDBusObjectPath>>();
    for (const QDBusObjectPath& device : devices) {
        QDBusMessage get = QDBusMessage::createMethodCall(kService, device.path(),
                                                          QStringLiteral("org.freedesktop.DBus.Properties"),
                                                          QStringLiteral("GetAll"));
        get << QStringLiteral("org.freedesktop.UPower.Device");
        const QDBusMessage properties = bus_.call(get, QDBus::Block, kCallTimeoutMs);
        if (properties.type() != QDBusMessage::ReplyMessage || properties.arguments().isEmpty()) continue;
        QVariantMap map;
        const QVariant value = properties.arguments().constFirst();
        if (value.canConvert<QDBusArgument>())
            value.value<QDBusArgument>() >> map;
        else
            map = value.toMap();
        if (map.value(QStringLiteral("Type")).toUInt() != kBatteryType) continue;
        if (!map.value(QStringLiteral("IsPresent")).toBool()) continue;
        bool ok = false;
        const double level = map.value(QStringLiteral("Percentage")).toDouble(&ok);
        if (!ok) continue;
        if (const std::optional<int> result = percent(level)) return result;
    }
    return std::nullopt;
}

std::optional<int> UPowerPowerSources::sysfsLevel() const {
    const QDir dir(folder_);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name)) {
        const QString supply = dir.filePath(name) + QLatin1Char('/');
        if (readText(supply + QStringLiteral("type")) != QStringLiteral("Battery")) continue;
        if (readText(supply + QStringLiteral("present")) == QStringLiteral("0")) continue;
        if (const std::optional<double> capacity = readNumber(supply + QStringLiteral("capacity")))
            if (const std::optional<int> level = percent(*capacity)) return level;
        if (const std::optional<int> level =
                ratio(supply, QStringLiteral("energy_now"), QStringLiteral("energy_full")))
            return level;
        if (const std::optional<int> level =
                ratio(supply, QStringLiteral("charge_now"), QStringLiteral("charge_full")))
            return level;
    }
    return std::nullopt;
}

} // namespace vantrel
