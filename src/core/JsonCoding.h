#pragma once

// The one place where stored JSON gets its shapes: dates are seconds since 1 January 2001 UTC as
// JSON numbers, UUIDs upper-case text. Every store encodes and decodes through these, so the
// files of all stores agree. Decoders throw JsonDecodingError naming the key that failed; the
// persistence layer turns that into a "corrupt" load.

#include "platform/Clock.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>
#include <optional>
#include <stdexcept>
#include <vector>

namespace vantrel {

class JsonDecodingError : public std::runtime_error {
public:
    explicit JsonDecodingError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

class JsonEncodingError : public std::runtime_error {
public:
    explicit JsonEncodingError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// 2001-01-01T00:00:00Z in seconds since the Unix epoch.
inline constexpr double kReferenceDateUnixSeconds = 978307200.0;

QJsonValue encodeDate(WallTime time);
WallTime decodeDate(const QJsonValue& value, QStringView what = u"date");

// "E621E1F8-C36C-495A-93FC-0C247A3E6E5F".
QString encodeUuid(const QUuid& id);
QUuid decodeUuid(const QJsonValue& value, QStringView what = u"id");

// "2026-03-01T09:05:07Z": whole seconds, UTC. For files meant to be read by people.
QString encodeIsoDate(WallTime time);
WallTime decodeIsoDate(const QJsonValue& value, QStringView what = u"date");

// Fails on NaN and infinity, which JSON cannot hold.
QJsonValue encodeDouble(double value, QStringView what = u"number");

QJsonObject requireObject(const QJsonValue& value, QStringView what);
QJsonArray requireArray(const QJsonValue& value, QStringView what);

// Members of an object. A missing key or a value of another type fails, except for the
// optional readers, which give none for a missing key or null.
QString requireString(const QJsonObject& object, QStringView key);
double requireDouble(const QJsonObject& object, QStringView key);
qint64 requireInteger(const QJsonObject& object, QStringView key);
bool requireBool(const QJsonObject& object, QStringView key);
WallTime requireDate(const QJsonObject& object, QStringView key);
QUuid requireUuid(const QJsonObject& object, QStringView key);
std::optional<QString> optionalString(const QJsonObject& object, QStringView key);
std::optional<double> optionalDouble(const QJsonObject& object, QStringView key);
std::optional<bool> optionalBool(const QJsonObject& object, QStringView key);
std::optional<WallTime> optionalDate(const QJsonObject& object, QStringView key);
std::optional<qint64> optionalInteger(const QJsonObject& object, QStringView key);
std::optional<QUuid> optionalUuid(const QJsonObject& object, QStringView key);

// Decodes every element with `decode`; one bad element fails the whole array.
template <typename Decode>
auto decodeArray(const QJsonValue& value, Decode&& decode, QStringView what = u"list") {
    using T = std::decay_t<decltype(decode(QJsonValue()))>;
    const QJsonArray array = requireArray(value, what);
    std::vector<T> out;
    out.reserve(static_cast<std::size_t>(array.size()));
    for (const QJsonValue& element : array) out.push_back(decode(element));
    return out;
}

template <typename Container, typename Encode>
QJsonArray encodeArray(const Container& values, Encode&& encode) {
    QJsonArray array;
    for (const auto& value : values) array.append(encode(value));
    return array;
}

} // namespace vantrel
