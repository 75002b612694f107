#include "platform/linux/JsonFileDefaults.h"

#include "platform/AtomicFile.h"
#include "platform/Clock.h"
#include "platform/SystemLog.h"
#include "platform/WriteRefusal.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>
#include <sys/stat.h>
#include <system_error>

namespace vantrel {

namespace {
const QString kCategory = QStringLiteral("Defaults");
// The system Dock's own settings: another program's file, never ours to start anew.
const QLatin1String kSystemDockDomain("com.apple.dock");

// A domain name becomes a file name: keep it inside the folder whatever it holds.
QString safeFileStem(const QString& domain) {
    QString stem = domain;
    stem.replace(QLatin1Char('/'), QLatin1Char('_'));
    if (stem.isEmpty() || stem == u"." || stem == u"..") stem = QStringLiteral("_");
    return stem;
}
// What the user is told of a settings file that could not be read and is kept as it is.
QString leftAsItIs(const QString& path, const QString& reason) {
    return QStringLiteral("The settings file %1 could not be read (%2). It is left as it is, and changes "
                          "are not saved.")
        .arg(path, reason);
}

} // namespace

JsonFileDefaults::JsonFileDefaults(QString domain, QString folder, Scheduler* scheduler, const Clock& clock,
                                   SystemLog& log, ProblemHandler onProblem, Unparsable unparsable)
    : domain_(std::move(domain)), folder_(std::move(folder)), scheduler_(scheduler), clock_(clock), log_(log),
      writeThrough_(scheduler == nullptr), unparsable_(unparsable), onProblem_(std::move(onProblem)) {
    load();
}

JsonFileDefaults::~JsonFileDefaults() {
    flush();
}

QString JsonFileDefaults::filePath() const {
    return folder_ + QLatin1Char('/') + safeFileStem(domain_) + QStringLiteral(".json");
}

std::optional<FileStamp> JsonFileDefaults::stampOf(const QString& path) {
    struct stat info {};
    const QByteArray name = QFile::encodeName(path);
    if (::lstat(name.constData(), &info) != 0) return std::nullopt;
    // A link is read through: what it leads to changes when the file is written.
    if (S_ISLNK(info.st_mode)) (void)::stat(name.constData(), &info);
    return FileStamp::of(info);
}

QJsonValue JsonFileDefaults::object(const QString& key) const {
    // Reading follows the file; the object is never really const (it lives in one place).
    const_cast<JsonFileDefaults*>(this)->followFile();
    return values_.value(key);
}

QString JsonFileDefaults::readProblem() const {
    const_cast<JsonFileDefaults*>(this)->followFile();
    return readProblem_;
}

QStringList JsonFileDefaults::keys() const {
    const_cast<JsonFileDefaults*>(this)->followFile();
    return values_.keys();
}

void JsonFileDefaults::followFile() {
    if (stampOf(filePath()) != stamp_) load();
}

std::optional<QJsonObject> JsonFileDefaults::decode(const QByteArray& bytes, QString* problem) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error == QJsonParseError::NoError && document.isObject()) return document.object();
    if (problem)
        *problem =
            error.error == QJsonParseError::NoError ? QStringLiteral("not an object") : error.errorString();
    return std::nullopt;
}

void JsonFileDefaults::load() {
    const QString path = filePath();
    stamp_ = stampOf(path);
    if (!stamp_) {
        // Gone (or never there): only what was changed here and not yet written remains.
        values_ = {};
        for (const auto& [key, value] : unwritten_)
            if (!value.isUndefined()) values_.insert(key, value);
        mayReplaceFile_ = true;
        readProblem_.clear();
        setProblem({});
        return;
    }
    QByteArray bytes;
    try {
        bytes = readStoredFile(path, kReadLimit, LinkPolicy::toOwnFile);
    } catch (const std::exception& e) {
        // A folder, a FIFO, a link to another's file, a huge file or an error of the system: never
        // ours to replace.
        mayReplaceFile_ = false;
        log_.log(
            LogLevel::error, QString::fromLatin1(kLogSubsystem), kCategory,
            QStringLiteral("Cannot read %1 (%2); its settings are not used and the file is left untouched")
                .arg(path, QString::fromLocal8Bit(e.what())));
        QString reason;
        if (const auto* unreadable = dynamic_cast<const UnreadableFileError*>(&e))
            reason = unreadable->reason();
        else if (const auto* system = dynamic_cast<const std::system_error*>(&e))
            reason = qt_error_string(system->code().value());
        else
            reason = QString::fromLocal8Bit(e.what());
        readProblem_ = leftAsItIs(path, reason);
        setProblem(readProblem_);
        return;
    }
    QString problem;
    if (std::optional<QJsonObject> decoded = decode(bytes, &problem)) {
        values_ = std::move(*decoded);
        for (const auto& [key, value] : unwritten_) {
            if (value.isUndefined())
                values_.remove(key);
            else
                values_.insert(key, value);
        }
        mayReplaceFile_ = true;
        readProblem_.clear();
        setProblem({});
        return;
    }
    if (unparsable_ == Unparsable::leaveAsItIs) {
        // Read as empty, its keys would count as absent: reduced from nothing, and deleted when
        // put back.
        mayReplaceFile_ = false;
        log_.log(
            LogLevel::error, QString::fromLatin1(kLogSubsystem), kCategory,
            QStringLiteral("%1 is not valid settings (%2); its settings are not used and the file is left "
                           "untouched")
                .arg(path, problem));
        readProblem_ = leftAsItIs(path, problem);
        setProblem(readProblem_);
        return;
    }
    const QString backup = folder_ + QLatin1Char('/') + safeFileStem(domain_) + QStringLiteral(".corrupt-") +
                           fileNameTimestamp(clock_.now()) + QStringLiteral(".json");
    try {
        createFileAtomically(backup, bytes);
    } catch (const std::system_error&) {
        mayReplaceFile_ = false;
        log_.log(
            LogLevel::error, QString::fromLatin1(kLogSubsystem), kCategory,
            QStringLiteral("%1 is not valid settings and could not be copied aside; it is left untouched")
                .arg(path));
        readProblem_ = leftAsItIs(path, problem);
        setProblem(readProblem_);
        return;
    }
    mayReplaceFile_ = true;
    readProblem_.clear();
    log_.log(LogLevel::error, QString::fromLatin1(kLogSubsystem), kCategory,
             QStringLiteral("%1 is not valid settings (%2); copied to %3 and starting empty")
                 .arg(path, problem, backup));
    setProblem(QStringLiteral("The settings file %1 could not be read (%2). It was copied to %3, and the "
                              "settings start anew.")
                   .arg(path, problem, backup));
}

void JsonFileDefaults::setProblem(const QString& problem) {
    if (problem == problem_) return;
    problem_ = problem;
    if (onProblem_) onProblem_(filePath(), problem_);
}

void JsonFileDefaults::set(const QString& key, const QJsonValue& value) {
    change(key, value.isNull() ? QJsonValue(QJsonValue::Undefined) : value);
}

void JsonFileDefaults::remove(const QString& key) {
    change(key, QJsonValue(QJsonValue::Undefined));
}

void JsonFileDefaults::change(const QString& key, const QJsonValue& value) {
    if (value.isUndefined())
        values_.remove(key);
    else
        values_.insert(key, value);
    unwritten_[key] = value;
    markDirty();
}

bool JsonFileDefaults::setAll(const QJsonObject& values) {
    // What each key held here before, to put back when the write fails.
    struct Earlier {
        QJsonValue value;
        std::optional<QJsonValue> unwritten;
    };
    std::map<QString, Earlier> earlier;
    for (auto it = values.begin(); it != values.end(); ++it) {
        const auto pending = unwritten_.find(it.key());
        earlier[it.key()] = {values_.value(it.key()),
                             pending == unwritten_.end() ? std::nullopt : std::optional(pending->second)};
        const QJsonValue value = it.value().isNull() ? QJsonValue(QJsonValue::Undefined) : it.value();
        if (value.isUndefined())
            values_.remove(it.key());
        else
            values_.insert(it.key(), value);
        unwritten_[it.key()] = value;
    }
    dirty_ = true;
    const int writes = writeCount_;
    flush();
    if (writeCount_ != writes) return true;
    for (const auto& [key, before] : earlier) {
        if (before.value.isUndefined())
            values_.remove(key);
        else
            values_.insert(key, before.value);
        if (before.unwritten)
            unwritten_[key] = *before.unwritten;
        else
            unwritten_.erase(key);
    }
    // Changes made before the set were waiting for the scheduler: they wait for it again.
    if (unwritten_.empty())
        dirty_ = false;
    else if (!writeThrough_)
        markDirty();
    return false;
}

void JsonFileDefaults::markDirty() {
    dirty_ = true;
    if (writeThrough_) {
        flush();
        return;
    }
    if (pendingFlush_.isActive()) return;
    pendingFlush_ =
        ScheduledTask(*scheduler_, scheduler_->schedule(Seconds(kFlushDelaySeconds), [this] { flush(); }));
}

void JsonFileDefaults::writeThrough() {
    writeThrough_ = true;
    flush();
}

void JsonFileDefaults::flush() {
    pendingFlush_.cancel();
    if (!dirty_) return;
    // What someone else wrote since stays; only the changes made here go over it.
    followFile();
    if (!mayReplaceFile_) {
        dirty_ = false;
        return;
    }
    try {
        try {
            // Settings others could replace would be theirs: the folders made here are the user's alone.
            createPrivateFolders(folder_);
        } catch (const std::system_error&) {
            throw FileWriteError(filePath(), QStringLiteral("the folder %1 could not be made").arg(folder_));
        }
        writeFileAtomically(filePath(), QJsonDocument(values_).toJson(QJsonDocument::Indented), beforeCommit_,
                            LinkPolicy::toOwnFile);
        stamp_ = stampOf(filePath());
        unwritten_.clear();
        ++writeCount_;
        dirty_ = false;
        setProblem({});
    } catch (const FileWriteError& e) {
        // Keep the values dirty: the next change or the flush at exit tries again.
        log_.log(LogLevel::error, QString::fromLatin1(kLogSubsystem), kCategory,
                 QStringLiteral("Cannot write settings: %1").arg(QString::fromStdString(e.what())));
        // The words name what refused: a file its owner made read-only, the folder, the disk.
        const QString where = e.refusedByFile() ? QStringLiteral(" (%1)").arg(e.reason())
                                                : QStringLiteral(": ") + WriteRefusal::of(e).words();
        setProblem(QStringLiteral("Changes to the settings could not be saved to %1%2. They hold only until "
                                  "Vantrel quits.")
                       .arg(e.path(), where));
    }
}

JsonDefaultsProvider::JsonDefaultsProvider(QString folder, Scheduler& scheduler, const Clock& clock,
                                           SystemLog& log)
    : folder_(std::move(folder)), scheduler_(&scheduler), clock_(clock), log_(log) {}

JsonDefaultsProvider::JsonDefaultsProvider(QString folder, const Clock& clock, SystemLog& log)
    : folder_(std::move(folder)), scheduler_(nullptr), clock_(clock), log_(log), writeThrough_(true) {}

std::unique_ptr<UserDefaultsProvider> JsonDefaultsProvider::makeIndependentInstance() const {
    return std::make_unique<JsonDefaultsProvider>(folder_, clock_, log_);
}

UserDefaults& JsonDefaultsProvider::suite(const QString& domain) {
    auto& slot = domains_[domain];
    if (!slot) {
        // Only the system Dock's domain belongs to another program; every other one (the standard
        // domain, the status item's and the menu-bar sections' positions) is written here alone.
        const auto unparsable = domain == kSystemDockDomain
                                    ? JsonFileDefaults::Unparsable::leaveAsItIs
                                    : JsonFileDefaults::Unparsable::copyAsideAndStartAnew;
        slot = std::make_unique<JsonFileDefaults>(domain, folder_, writeThrough_ ? nullptr : scheduler_,
                                                  clock_, log_, onProblem_, unparsable);
        if (writeThrough_) slot->writeThrough();
    }
    return *slot;
}

void JsonDefaultsProvider::setProblemHandler(JsonFileDefaults::ProblemHandler handler) {
    onProblem_ = std::move(handler);
    for (auto& [domain, defaults] : domains_) {
        defaults->setProblemHandler(onProblem_);
        if (onProblem_ && !defaults->problem().isEmpty())
            onProblem_(defaults->filePath(), defaults->problem());
    }
}

void JsonDefaultsProvider::removeLeftovers() {
    removeStaleTemporaryFiles(folder_, addSeconds(clock_.now(), Seconds(-60)));
}

void JsonDefaultsProvider::flushAll() {
    for (auto& [domain, defaults] : domains_) defaults->flush();
}

void JsonDefaultsProvider::finishScheduling() {
    writeThrough_ = true;
    for (auto& [domain, defaults] : domains_) defaults->writeThrough();
}

} // namespace vantrel
