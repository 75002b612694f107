#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace vantrel {

// A key-value settings domain. Values keep their JSON type: a boolean stays a boolean and a
// number a number, so readers can tell a stored `true` from a stored `1`.
class UserDefaults {
public:
    virtual ~UserDefaults() = default;

    virtual QString domain() const = 0;
    // The stored value, or an undefined value when the key is absent.
    virtual QJsonValue object(const QString& key) const = 0;
    // Storing an undefined or null value removes the key.
    virtual void set(const QString& key, const QJsonValue& value) = 0;
    virtual void remove(const QString& key) = 0;
    virtual QStringList keys() const = 0;
    // Writes pending changes to disk at once (a store that keeps nothing on disk does nothing).
    virtual void synchronize() {}
    // Sets several keys as one change (a null value removes its key) and writes them to disk at
    // once. A store on disk writes them in one replace of its file, so nobody reading the file
    // ever finds some of them changed and the others not; false, with none of them changed, when
    // they cannot be written.
    virtual bool setAll(const QJsonObject& values);

    // Why the stored domain cannot be read, empty when it can (or nothing is stored). While it
    // cannot, a key missing here says nothing of whether the domain holds it.
    virtual QString readProblem() const { return {}; }

    bool contains(const QString& key) const { return !object(key).isUndefined(); }

    // Plain lookups: an absent key, or a value of no fitting type, reads as false or 0.
    bool boolValue(const QString& key) const;
    qint64 integer(const QString& key) const;
    double doubleValue(const QString& key) const;

    // Typed lookups: none unless the stored value has exactly that type.
    std::optional<bool> optionalBool(const QString& key) const;
    std::optional<double> optionalDouble(const QString& key) const;
    std::optional<QString> string(const QString& key) const;
    std::optional<QStringList> stringList(const QString& key) const;
    std::optional<QByteArray> data(const QString& key) const;

    void setBool(const QString& key, bool value) { set(key, QJsonValue(value)); }
    void setDouble(const QString& key, double value) { set(key, QJsonValue(value)); }
    void setInteger(const QString& key, qint64 value) { set(key, QJsonValue(value)); }
    void setString(const QString& key, const QString& value) { set(key, QJsonValue(value)); }
    void setStringList(const QString& key, const QStringList& value);
    void setData(const QString& key, const QByteArray& value);
};

// Hands out the standard domain and named suites (other applications' domains). Each domain is
// one object for the life of the provider.
class UserDefaultsProvider {
public:
    virtual ~UserDefaultsProvider() = default;
    virtual UserDefaults& standard() = 0;
    virtual UserDefaults& suite(const QString& domain) = 0;
    // Another provider over the same stored domains that shares nothing with this one: it reads
    // the files afresh and writes every change at once, touching no scheduler. For a thread that
    // must not reach into this provider (the crash handler). None where the domains live only in
    // this object.
    virtual std::unique_ptr<UserDefaultsProvider> makeIndependentInstance() const { return nullptr; }
};

inline constexpr const char* kStandardDefaultsDomain = "com.vantrel.mac";

} // namespace vantrel
