#include "core/JsonCoding.h"

#include <QDateTime>
#include <cmath>

namespace vantrel {

namespace {

[[noreturn]] void fail(QStringView what, const char* expected) {
    throw JsonDecodingError(what.toString() + QStringLiteral(": expected ") + QString::fromLatin1(expected));
}

QJsonValue member(const QJsonObject& object, QStringView key) {
    const QJsonValue value = object.value(key);
    if (value.isUndefined()) throw JsonDecodingError(key.toString() + QStringLiteral(": missing"));
    return value;
}

bool absent(const QJsonValue& value) {
    return value.isUndefined() || value.isNull();
}

} // namespace

QJsonValue encodeDate(WallTime time) {
    const double unix = Seconds(time.time_since_epoch()).count();
    return QJsonValue(unix - kReferenceDateUnixSeconds);
}

WallTime decodeDate(const QJsonValue& value, QStringView what) {
    // The clock counts nanoseconds in 64 bits, about 292 years either side of 1970; a number
    // beyond that in a damaged file would overflow the conversion, so it is no date.
    constexpr double kLimit = 9.0e9;
    const double unix = value.toDouble() + kReferenceDateUnixSeconds;
    if (!value.isDouble() || !std::isfinite(unix) || std::abs(unix) > kLimit) fail(what, "a date in seconds");
    return WallTime(std::chrono::duration_cast<WallTime::duration>(Seconds(unix)));
}

QString encodeUuid(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces).toUpper();
}

QUuid decodeUuid(const QJsonValue& value, QStringView what) {
    const QUuid id = value.isString() ? QUuid::fromString(value.toString()) : QUuid();
    // A text form with braces is not what any store writes; reject it with everything else.
    if (id.isNull() || value.toString().startsWith(QLatin1Char('{'))) fail(what, "a UUID");
    return id;
}

QString encodeIsoDate(WallTime time) {
    const auto whole = std::chrono::floor<std::chrono::seconds>(time);
    return toQDateTime(WallTime(whole)).toString(Qt::ISODate);
}

WallTime decodeIsoDate(const QJsonValue& value, QStringView what) {
    const auto time =
        value.isString() ? fromQDateTime(QDateTime::fromString(value.toString(), Qt::ISODate)) : std::nullopt;
    // Also a year the clock cannot count, 1600 or 9999, is no date here.
    if (!time) fail(what, "an ISO 8601 date");
    return *time;
}

QJsonValue encodeDouble(double value, QStringView what) {
    if (!std::isfinite(value))
        throw JsonEncodingError(what.toString() + QStringLiteral(": a number that is not finite"));
    return QJsonValue(value);
}

QJsonObject requireObject(const QJsonValue& value, QStringView what) {
    if (!value.isObject()) fail(what, "an object");
    return value.toObject();
}

QJsonArray requireArray(const QJsonValue& value, QStringView what) {
    if (!value.isArray()) fail(what, "an array");
    return value.toArray();
}

QString requireString(const QJsonObject& object, QStringView key) {
    const QJsonValue value = member(object, key);
    if (!value.isString()) fail(key, "a string");
    return value.toString();
}

double requireDouble(const QJsonObject& object, QStringView key) {
    const QJsonValue value = member(object, key);
    if (!value.isDouble()) fail(key, "a number");
    return value.toDouble();
}

namespace {

qint64 decodeInteger(const QJsonValue& value, QStringView key) {
    const double number = value.toDouble();
    if (!value.isDouble() || std::trunc(number) != number || std::abs(number) > 9.007199254740992e15)
        fail(key, "an integer");
    return static_cast<qint64>(number);
}

} // namespace

qint64 requireInteger(const QJsonObject& object, QStringView key) {
    return decodeInteger(member(object, key), key);
}

bool requireBool(const QJsonObject& object, QStringView key) {
    const QJsonValue value = member(object, key);
    if (!value.isBool()) fail(key, "true or false");
    return value.toBool();
}

WallTime requireDate(const QJsonObject& object, QStringView key) {
    return decodeDate(member(object, key), key);
}

QUuid requireUuid(const QJsonObject& object, QStringView key) {
    return decodeUuid(member(object, key), key);
}

std::optional<QString> optionalString(const QJsonObject& object, QStringView key) {
    const QJsonValue value = object.value(key);
    if (absent(value)) return std::nullopt;
    if (!value.isString()) fail(key, "a string");
    return value.toString();
}

std::optional<double> optionalDouble(const QJsonObject& object, QStringView key) {
    const QJsonValue value = object.value(key);
    if (absent(value)) return std::nullopt;
    if (!value.isDouble()) fail(key, "a number");
    return value.toDouble();
}

std::optional<bool> optionalBool(const QJsonObject& object, QStringView key) {
    const QJsonValue value = object.value(key);
    if (absent(value)) return std::nullopt;
    if (!value.isBool()) fail(key, "true or false");
    return value.toBool();
}

std::optional<WallTime> optionalDate(const QJsonObject& object, QStringView key) {
    const QJsonValue value = object.value(key);
    if (absent(value)) return std::nullopt;
    return decodeDate(value, key);
}

std::optional<qint64> optionalInteger(const QJsonObject& object, QStringView key) {
    const QJsonValue value = object.value(key);
    if (absent(value)) return std::nullopt;
    return decodeInteger(value, key);
}

std::optional<QUuid> optionalUuid(const QJsonObject& object, QStringView key) {
    const QJsonValue value = object.value(key);
    if (absent(value)) return std::nullopt;
    return decodeUuid(value, key);
}

} // namespace vantrel
