#include "platform/UserDefaults.h"

#include <QJsonArray>
#include <QJsonObject>
#include <cmath>
#include <limits>

namespace vantrel {

namespace {
constexpr const char* kDataKey = "$data";
}

bool UserDefaults::setAll(const QJsonObject& values) {
    for (auto it = values.begin(); it != values.end(); ++it) set(it.key(), it.value());
    synchronize();
    return true;
}

bool UserDefaults::boolValue(const QString& key) const {
    const QJsonValue v = object(key);
    if (v.isBool()) return v.toBool();
    if (v.isDouble()) return v.toDouble() != 0.0;
    if (v.isString()) {
        const QString s = v.toString().trimmed().toLower();
        return s == u"true" || s == u"yes" || s == u"1";
    }
    return false;
}

qint64 UserDefaults::integer(const QString& key) const {
    const QJsonValue v = object(key);
    if (v.isBool()) return v.toBool() ? 1 : 0;
    if (v.isDouble()) {
        const double d = v.toDouble();
        if (!(d == d)) return 0;
        if (d >= 9.2e18) return std::numeric_limits<qint64>::max();
        if (d <= -9.2e18) return std::numeric_limits<qint64>::min();
        return static_cast<qint64>(d);
    }
    if (v.isString()) return v.toString().trimmed().toLongLong();
    return 0;
}

double UserDefaults::doubleValue(const QString& key) const {
    const QJsonValue v = object(key);
    if (v.isBool()) return v.toBool() ? 1.0 : 0.0;
    if (v.isDouble()) return v.toDouble();
    if (v.isString()) {
        // A hand-edited "inf" or "nan" reads as a number to Qt; no setting can hold one, and it
        // would reach geometry and the system Dock's own settings.
        const double parsed = v.toString().trimmed().toDouble();
        return std::isfinite(parsed) ? parsed : 0.0;
    }
    return 0.0;
}

std::optional<bool> UserDefaults::optionalBool(const QString& key) const {
    const QJsonValue v = object(key);
    if (v.isBool()) return v.toBool();
    return std::nullopt;
}

std::optional<double> UserDefaults::optionalDouble(const QString& key) const {
    const QJsonValue v = object(key);
    if (v.isDouble()) return v.toDouble();
    return std::nullopt;
}

std::optional<QString> UserDefaults::string(const QString& key) const {
    const QJsonValue v = object(key);
    if (v.isString()) return v.toString();
    return std::nullopt;
}

std::optional<QStringList> UserDefaults::stringList(const QString& key) const {
    const QJsonValue v = object(key);
    if (!v.isArray()) return std::nullopt;
    QStringList out;
    for (const QJsonValue& item : v.toArray()) {
        if (!item.isString()) return std::nullopt;
        out.append(item.toString());
    }
    return out;
}

std::optional<QByteArray> UserDefaults::data(const QString& key) const {
    const QJsonValue v = object(key);
    if (!v.isObject()) return std::nullopt;
    const QJsonObject o = v.toObject();
    if (o.size() != 1 || !o.value(QLatin1String(kDataKey)).isString()) return std::nullopt;
    auto decoded = QByteArray::fromBase64Encoding(o.value(QLatin1String(kDataKey)).toString().toLatin1(),
                                                  QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) return std::nullopt;
    return *decoded;
}

void UserDefaults::setStringList(const QString& key, const QStringList& value) {
    set(key, QJsonArray::fromStringList(value));
}

void UserDefaults::setData(const QString& key, const QByteArray& value) {
    QJsonObject o;
    o.insert(QLatin1String(kDataKey), QString::fromLatin1(value.toBase64()));
    set(key, o);
}

} // namespace vantrel
