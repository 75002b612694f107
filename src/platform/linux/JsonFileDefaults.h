#pragma once

#include "platform/AtomicFile.h"
#include "platform/Scheduler.h"
#include "platform/UserDefaults.h"
#include "platform/linux/FileStamp.h"

#include <QJsonObject>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace vantrel {

class Clock;
class SystemLog;

// One defaults domain kept in `<folder>/<domain>.json`. Changes are written atomically, a burst
// of them coalesced into one write within half a second; `flush()` writes at once. Without a
// scheduler every change is written at once. The file may also be changed by someone else while
// this object lives (the user's editor, another instance): every read looks whether the file
// changed since it was last read or written here and, if so, reads it again, keeping only this
// object's own unwritten changes over it; a write does the same first, so it never puts back
// values the file no longer holds. A link in the file's place (as dotfile managers make) is read
// and written through when it leads to a regular file of the user's; any other is never used.
class JsonFileDefaults final : public UserDefaults {
public:
    static constexpr double kFlushDelaySeconds = 0.5;
    // The most a load reads; a larger file counts as unreadable.
    static constexpr qint64 kReadLimit = 8 * 1024 * 1024;

    // The settings a file's bytes hold: a JSON object, else none (for a fuzzer too). `problem`
    // receives what is wrong with them.
    static std::optional<QJsonObject> decode(const QByteArray& bytes, QString* problem = nullptr);

    // Told, in words for the user, each time the file (its path) cannot be read or its changes
    // cannot be saved; told with an empty problem once it was read or written again.
    using ProblemHandler = std::function<void(const QString& file, const QString& problem)>;

    // What becomes of a file that is there but holds no settings (not JSON, not an object).
    enum class Unparsable {
        // Our own settings: copied aside, and the settings start anew.
        copyAsideAndStartAnew,
        // Another program's domain: its values are not ours to guess at or replace, so it reads
        // as unreadable and is left as it is, as a file that cannot be opened is.
        leaveAsItIs,
    };

    JsonFileDefaults(QString domain, QString folder, Scheduler* scheduler, const Clock& clock, SystemLog& log,
                     ProblemHandler onProblem = {},
                     Unparsable unparsable = Unparsable::copyAsideAndStartAnew);
    ~JsonFileDefaults() override;

    QString domain() const override { return domain_; }
    QJsonValue object(const QString& key) const override;
    void set(const QString& key, const QJsonValue& value) override;
    void remove(const QString& key) override;
    QStringList keys() const override;
    void synchronize() override { flush(); }
    // Written at once with whatever else is pending, in one replace of the file. When that write
    // fails the set is taken back out of this object too, so no later write brings it in.
    bool setAll(const QJsonObject& values) override;

    void flush();
    // From now on every change is written at once and nothing is scheduled: for the end of the
    // process, when the scheduler may be gone before this object is.
    void writeThrough();
    QString filePath() const;
    int writeCount() const { return writeCount_; }
    // Sees every write of the file complete under its temporary name, before it takes the file's
    // name: for a test that kills the process or fails the write there.
    void setBeforeCommit(BeforeCommit hook) { beforeCommit_ = std::move(hook); }
    void setProblemHandler(ProblemHandler handler) { onProblem_ = std::move(handler); }
    // The last problem said of the file; empty once it was read or written since.
    const QString& problem() const { return problem_; }
    // Looks at the file again first: it may have become readable meanwhile.
    QString readProblem() const override;

private:
    // What the file looks like now; none when nothing stands in its place.
    static std::optional<FileStamp> stampOf(const QString& path);

    void load();
    // Reads the file again when someone else changed it.
    void followFile();
    void change(const QString& key, const QJsonValue& value);
    void markDirty();
    void setProblem(const QString& problem);

    QString domain_;
    QString folder_;
    Scheduler* scheduler_;
    const Clock& clock_;
    SystemLog& log_;
    QJsonObject values_;
    // Changes made here and not yet written, an undefined value for a removed key: they stand
    // over whatever the file holds when it is read again.
    std::map<QString, QJsonValue> unwritten_;
    // What the file looked like when it was last read or written here.
    std::optional<FileStamp> stamp_;
    ScheduledTask pendingFlush_;
    bool dirty_ = false;
    bool writeThrough_ = false;
    Unparsable unparsable_;
    // False when the file on disk could neither be read nor set aside: it must not be replaced.
    bool mayReplaceFile_ = true;
    // Why the file in place could not be used, while it cannot.
    QString readProblem_;
    int writeCount_ = 0;
    BeforeCommit beforeCommit_;
    ProblemHandler onProblem_;
    QString problem_;
};

// Our own domains (the standard one and the suites only this program writes) start anew from a
// file that holds no settings, copied aside first; the system Dock's domain is another program's,
// and such a file of it is left as it is and read as unreadable.
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
    // At start-up: removes from the folder the temporary files that a process killed while
    // writing left there more than a minute ago.
    void removeLeftovers();
    // Writes what is pending and makes every domain, present or later, write through.
    void finishScheduling();
    // Told of every domain's problems, those of the domains already read included.
    void setProblemHandler(JsonFileDefaults::ProblemHandler handler);

private:
    QString folder_;
    Scheduler* scheduler_;
    const Clock& clock_;
    SystemLog& log_;
    std::map<QString, std::unique_ptr<JsonFileDefaults>> domains_;
    bool writeThrough_ = false;
    JsonFileDefaults::ProblemHandler onProblem_;
};

} // namespace vantrel
