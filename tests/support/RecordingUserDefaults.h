#pragma once

#include "platform/InMemoryDefaults.h"
#include "support/CallLog.h"

#include <vector>

namespace vantrel::test {

// In-memory defaults that keep an ordered journal of every set and remove.
class RecordingUserDefaults final : public UserDefaults {
public:
    struct Entry {
        enum class Kind { set, remove } kind;
        QString key;
        QJsonValue value; // undefined for a remove
        bool operator==(const Entry&) const = default;
    };

    explicit RecordingUserDefaults(QString domain = QString::fromLatin1(kStandardDefaultsDomain))
        : store_(std::move(domain)) {}

    QString domain() const override { return store_.domain(); }
    QJsonValue object(const QString& key) const override { return store_.object(key); }
    void set(const QString& key, const QJsonValue& value) override {
        journal_.push_back({value.isUndefined() || value.isNull() ? Entry::Kind::remove : Entry::Kind::set,
                            key, value.isNull() ? QJsonValue(QJsonValue::Undefined) : value});
        store_.set(key, value);
    }
    void remove(const QString& key) override {
        journal_.push_back({Entry::Kind::remove, key, QJsonValue(QJsonValue::Undefined)});
        store_.remove(key);
    }
    QStringList keys() const override { return store_.keys(); }
    // Adds "flush <domain>" to `calls`, when set, so a test can see where the flush falls among
    // other services' calls.
    void synchronize() override {
        ++synchronizeCount;
        if (calls) calls->add(QStringLiteral("flush ") + domain());
    }
    int synchronizeCount = 0;
    CallLog* calls = nullptr;

    // Seeds a value without recording it, as if it had been stored by an earlier run.
    void seed(const QString& key, const QJsonValue& value) { store_.set(key, value); }
    const std::vector<Entry>& journal() const { return journal_; }
    void clearJournal() { journal_.clear(); }
    // The keys written (set or removed), in order.
    QStringList journalKeys() const {
        QStringList out;
        for (const auto& e : journal_) out.append(e.key);
        return out;
    }

private:
    InMemoryDefaults store_;
    std::vector<Entry> journal_;
};

} // namespace vantrel::test
