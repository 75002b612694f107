#pragma once

#include "platform/UserDefaults.h"

#include <QJsonObject>
#include <map>
#include <memory>

namespace vantrel {

// A domain that lives only in memory: for tests and for suites that must not touch disk.
class InMemoryDefaults : public UserDefaults {
public:
    explicit InMemoryDefaults(QString domain = QString::fromLatin1(kStandardDefaultsDomain))
        : domain_(std::move(domain)) {}

    QString domain() const override { return domain_; }
    QJsonValue object(const QString& key) const override { return values_.value(key); }
    void set(const QString& key, const QJsonValue& value) override;
    void remove(const QString& key) override { values_.remove(key); }
    QStringList keys() const override { return values_.keys(); }

    const QJsonObject& values() const { return values_; }

private:
    QString domain_;
    QJsonObject values_;
};

class InMemoryDefaultsProvider final : public UserDefaultsProvider {
public:
    UserDefaults& standard() override { return suite(QString::fromLatin1(kStandardDefaultsDomain)); }
    UserDefaults& suite(const QString& domain) override;

private:
    std::map<QString, std::unique_ptr<InMemoryDefaults>> domains_;
};

} // namespace vantrel
