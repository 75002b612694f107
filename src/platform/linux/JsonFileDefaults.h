#pragma once

#include "platform/Scheduler.h"
#include "platform/UserDefaults.h"

#include <QJsonObject>
#include <map>
#include <memory>

namespace vantrel {

class Clock;
class SystemLog;

// One defaults domain kept in `<folder>/<domain>.json`. Changes are written atomically, a burst
// of them coalesced into one write within half a second; `flush()` writes at once. Without a
// scheduler every change is written at once.
class JsonFileDefaults final : public UserDefaults {
public:
    static constexpr double kFlushDelaySeconds = 0.5;

    JsonFileDefaults(QString domain, QString folder, Scheduler* scheduler, const Clock& clock,
                     SystemLog& log);
    ~JsonFileDefaults() override;

    QString domain() const override { return domain_; }
    QJsonValue object(const QString& key) const override { return values_.value(key); }
    void set(const QString& key, const QJsonValue& value) override;
    void remove(const QString& key) override;
    QStringList keys() const override { return values_.keys(); }
    void synchronize() override { flush(); }

    void flush();
    // From now on every change is written at once and nothing is scheduled: for the end of the
    // process, when the scheduler may be gone before this object is.
    void writeThrough();
    QString filePath() const;
    int writeCount() const { return writeCount_; }

private:
    void load();
    void markDirty();

    QString domain_;
    QString folder_;
    Scheduler* scheduler_;
    const Clock& clock_;
    SystemLog& log_;
    QJsonObject values_;
    ScheduledTask pendingFlush_;
    bool dirty_ = false;
    bool writeThrough_ = false;
    // False when the file on disk could neither be read nor set aside: it must not be replaced.
    bool mayReplaceFile_ = true;
    int writeCount_ = 0;
};

class JsonDefaultsProvider final : public UserDefaultsProvider {
public:
    JsonDefaultsProvider(QString folder, Scheduler& scheduler, const Clock& clock, SystemLog& log);
    // Writes every change at once and schedules nothing.
    JsonDefaultsProvider(QString folder, const Clock& clock, SystemLog& log);
    UserDefaults& standard() override { return suite(QString::fromLatin1(kStandardDefaultsDomain)); }
    UserDefaults& suite(const QString& domain) override;
    // Shares only the folder, the clock and the log, none of which changes after construction.
    std::unique_ptr<UserDefaultsProvider> makeIndependentInstance() const override;
    void flushAll();
    // Writes what is pending and makes every domain, present or later, write through.
    void finishScheduling();

private:
    QString folder_;
    Scheduler* scheduler_;
    const Clock& clock_;
    SystemLog& log_;
    std::map<QString, std::unique_ptr<JsonFileDefaults>> domains_;
    bool writeThrough_ = false;
};

} // namespace vantrel
