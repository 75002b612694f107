#include "core/LocalPersistence.h"

#include "core/FileNotices.h"
#include "platform/AppPaths.h"
#include "platform/AtomicFile.h"
#include "platform/BundleInfo.h"
#include "platform/FileManager.h"
#include "platform/SystemLog.h"
#include "platform/WriteRefusal.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QRegularExpression>
#include <QSet>
#include <QUuid>
#include <algorithm>
#include <cstdlib>
#include <cxxabi.h>
#include <memory>
#include <system_error>
#include <typeinfo>

namespace vantrel {

namespace {

const QString kCategory = QStringLiteral("Persistence");

QString demangle(const char* mangled) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                std::free);
    QString result = QString::fromLatin1(status == 0 && name ? name.get() : mangled);
    // An error thrown with std::throw_with_nested carries a wrapper type; the log names what was thrown.
    const QString wrapper = QStringLiteral("std::_Nested_exception<");
    if (result.startsWith(wrapper) && result.endsWith(QLatin1Char('>')))
        result = result.mid(wrapper.size(), result.size() - wrapper.size() - 1);
    return result;
}

// A missing file, or a missing folder on its path, is no failure: the store starts empty. The
// error may come wrapped in others (std::throw_with_nested), so the test follows the chain.
bool isMissingFileError(std::exception_ptr error) {
    for (int depth = 0; error && depth < 64; ++depth) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            if (const auto* system = dynamic_cast<const std::system_error*>(&e);
                system && system->code() == std::errc::no_such_file_or_directory)
                return true;
            const auto* nested = dynamic_cast<const std::nested_exception*>(&e);
            error = nested ? nested->nested_ptr() : nullptr;
        } catch (const std::nested_exception& nested) {
            error = nested.nested_ptr();
        } catch (...) {
            return false;
        }
    }
    return false;
}

QByteArray toBytes(const QJsonValue& value) {
    if (value.isObject()) return QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
    if (value.isArray()) return QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
    throw JsonEncodingError(QStringLiteral("a data file holds an object or an array at its top"));
}

// The qualified name of the error's dynamic type, "unknown" when there is none.
QString errorTypeName(const std::exception_ptr& error) {
    if (!error) return QStringLiteral("unknown");
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return demangle(typeid(e).name());
    } catch (...) {
        return QStringLiteral("unknown");
    }
}

// Where a save was refused and why, in words for the user: a folder that refused (the one a link
// leads into, for a file written through a link, or the data folder that could not be made), or,
// without one, what else refused (the disk, the file, what stands in its place).
using Refusal = WriteRefusal;

Refusal refusalOf(const PersistenceFailure& failure, const QString& directory, const QString& path) {
    const bool makingFolder = failure.kind == PersistenceFailureKind::directory;
    const QString folder = makingFolder ? directory : QFileInfo(path).absolutePath();
    try {
        if (failure.error) std::rethrow_exception(failure.error);
    } catch (const FileWriteError& e) {
        return WriteRefusal::of(e);
    } catch (const std::system_error& e) {
        const bool posix =
            e.code().category() == std::generic_category() || e.code().category() == std::system_category();
        return WriteRefusal::of(posix ? std::optional<int>(e.code().value()) : std::nullopt, makingFolder,
                                folder, QString::fromLocal8Bit(e.code().message()));
    } catch (const std::exception& e) {
        return {folder, QString::fromLocal8Bit(e.what())};
    } catch (...) {
    }
    return {folder, QStringLiteral("unknown error")};
}

// What the window says of a file that could not be read, from its load on, through every save
// that goes to its recovery file instead: one wording, so a notice the user closed stays closed.
QString unreadableNotice(const QString& file) {
    return QFileInfo(file).fileName() +
           QStringLiteral(" could not be read: the file is left untouched and changes are written beside it");
}

} // namespace

QString PersistenceFailure::diagnosticSummary() const {
    QString name = QFileInfo(file).fileName();
    if (name.isEmpty()) name = QStringLiteral("unknown");
    return QStringLiteral("kind=%1 file=%2 error=%3").arg(rawValue(kind), name, errorTypeName(error));
}

PersistenceError::PersistenceError(PersistenceFailure failure)
    : std::runtime_error(failure.diagnosticSummary().toStdString()), failure_(std::move(failure)) {}

QString LocalPersistence::Store::url(const QString& file) const {
    return directory + QLatin1Char('/') + file;
}

LoadOutcome<QJsonValue> LocalPersistence::Store::loadJson(const QString& file, QByteArray* read) const {
    QByteArray bytes;
    try {
        bytes = fileManager->readData(url(file), kReadLimit);
        if (read) *read = bytes;
    } catch (...) {
        const std::exception_ptr error = std::current_exception();
        if (isMissingFileError(error)) return LoadOutcome<QJsonValue>::missing();
        return LoadOutcome<QJsonValue>::failed({Failure::Kind::unreadable, file, error});
    }
    return decodeJson(file, bytes);
}

LoadOutcome<QJsonValue> LocalPersistence::Store::decodeJson(const QString& file, const QByteArray& bytes) {
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parse);
    if (parse.error != QJsonParseError::NoError) {
        const JsonDecodingError error(
            QStringLiteral("%1 at offset %2").arg(parse.errorString()).arg(parse.offset));
        return LoadOutcome<QJsonValue>::failed(
            {Failure::Kind::corrupt, file, std::make_exception_ptr(error)});
    }
    return LoadOutcome<QJsonValue>::loaded(document.isArray() ? QJsonValue(document.array())
                                                              : QJsonValue(document.object()));
}

QString LocalPersistence::dataDirectory(const AppPaths& paths, const BundleInfo& bundle) {
    const QJsonValue channel = bundle.info.value(QStringLiteral("VantrelBuildChannel"));
    if (channel.isString() && channel.toString() == u"qa") {
        const QString identifier = bundle.identifier && !bundle.identifier->isEmpty()
                                       ? *bundle.identifier
                                       : QStringLiteral("isolated");
        return paths.dataHome + QStringLiteral("/Vantrel QA/") + identifier;
    }
    return paths.dataFolder();
}

QString LocalPersistence::logSubsystem(const BundleInfo& bundle) {
    return bundle.identifier && !bundle.identifier->isEmpty() ? *bundle.identifier
                                                              : QString::fromLatin1(kLogSubsystem);
}

LocalPersistence::LocalPersistence(Store store, const Clock& clock, SystemLog& log, QString logSubsystem,
                                   std::function<void(const QString&)> recordDiagnostics)
    : store_(std::move(store)), clock_(clock), log_(log), logSubsystem_(std::move(logSubsystem)),
      recordDiagnostics_(std::move(recordDiagnostics)) {}

void LocalPersistence::noteLoad(const QString& file, const Failure* failure) {
    const QString path = store_.url(file);
    if (!failure) {
        protections_.erase(path);
        if (notices_) notices_->resolve(path);
        return;
    }
    protections_[path] =
        failure->kind == Failure::Kind::corrupt ? Protection::copyBeforeReplacing : Protection::neverReplace;
    report(*failure);
    if (failure->kind != Failure::Kind::unreadable) return;
    explainUnreadable(*failure);
}

std::optional<LocalPersistence::Failure> LocalPersistence::clearToReplace(const QString& file) {
    const QString path = store_.url(file);
    const auto it = protections_.find(path);
    if (it == protections_.end()) return std::nullopt;
    // Gone meanwhile: nothing is left to protect. Else copied aside first, a damaged file as
    // "corrupt", one that could not be read (once it can be) as "previous".
    if (!store_.fileManager->fileExists(path) ||
        backup(path, it->second == Protection::copyBeforeReplacing ? QStringLiteral("corrupt")
                                                                   : QStringLiteral("previous"))) {
        protections_.erase(it);
        return std::nullopt;
    }
    // Kept: the next save tries again.
    const QString reason =
        it->second == Protection::neverReplace
            ? QStringLiteral("the file could not be read when it was loaded; it is left untouched")
            : QStringLiteral("the damaged file could not be copied aside; it is left untouched");
    return Failure{Failure::Kind::write, file, std::make_exception_ptr(FileWriteError(path, reason))};
}

void LocalPersistence::protect(const QString& file, bool unreadable) {
    protections_[store_.url(file)] = unreadable ? Protection::neverReplace : Protection::copyBeforeReplacing;
}

bool LocalPersistence::isHeldBack(const QString& file) const {
    const auto it = protections_.find(store_.url(file));
    return it != protections_.end() && it->second == Protection::neverReplace;
}

SaveOutcome LocalPersistence::write(const QString& file, const std::function<QJsonValue()>& encode,
                                    const Copies* copies) {
    // Encoded first, so a value that cannot be encoded touches nothing on disk.
    QByteArray bytes;
    if (auto failure = encodeBytes(file, encode, bytes)) {
        rescue(*failure, nullptr);
        return SaveOutcome::lost;
    }
    QString target;
    if (auto failure = prepare(file, target, copies))
        return rescue(*failure, &bytes) ? SaveOutcome::rescued : SaveOutcome::lost;
    if (target != file) return writeRecovery(file, bytes) ? SaveOutcome::heldBack : SaveOutcome::lost;
    if (auto failure = writeBytes(store_, file, bytes))
        return rescue(*failure, &bytes) ? SaveOutcome::rescued : SaveOutcome::lost;
    saved(file);
    pruneAfterWrite(file, copies);
    return SaveOutcome::written;
}

SaveOutcome LocalPersistence::finishWrite(const QString& file, const std::optional<Failure>& failure,
                                          const std::function<QJsonValue()>& encode, const Copies* copies) {
    if (failure) return saveFailed(*failure, encode) ? SaveOutcome::rescued : SaveOutcome::lost;
    saved(file);
    pruneAfterWrite(file, copies);
    return SaveOutcome::written;
}

void LocalPersistence::pruneAfterWrite(const QString& file, const Copies* copies) {
    if (copies) pruneBackups(store_.url(file), copies->reason, copies->kept);
}

std::optional<LocalPersistence::Failure> LocalPersistence::prepare(const QString& file, QString& target,
                                                                   const Copies* copies) {
    try {
        store_.fileManager->createDirectory(store_.directory);
    } catch (...) {
        return Failure{Failure::Kind::directory, file, std::current_exception()};
    }
    if (auto failure = clearToReplace(file)) {
        // A file that could not be read was said once, when it was loaded; the saves it holds
        // back go to its recovery file instead.
        if (!isHeldBack(file)) return failure;
        target = recoveryName(file);
        return std::nullopt;
    }
    target = file;
    // The present file goes aside first; a file just copied aside (above) is not copied twice.
    const QString path = store_.url(file);
    if (copies && !matchesNewestCopy(path, copies->reason)) backup(path, copies->reason);
    return std::nullopt;
}

std::optional<QString> LocalPersistence::prepareSave(const QString& file,
                                                     const std::function<QJsonValue()>& encode,
                                                     SaveOutcome& refused, const Copies* copies) {
    QString target;
    if (auto failure = prepare(file, target, copies)) {
        refused = saveFailed(*failure, encode) ? SaveOutcome::rescued : SaveOutcome::lost;
        return std::nullopt;
    }
    return target;
}

bool LocalPersistence::matchesNewestCopy(const QString& path, const QString& reason,
                                         const QByteArray* bytes) const {
    const std::optional<QString> newest = newestBackup(path, reason);
    if (!newest) return false;
    FileManager& files = *store_.fileManager;
    const std::optional<qint64> size = bytes ? std::optional<qint64>(bytes->size()) : files.fileSize(path);
    if (!size || files.fileSize(*newest) != size) return false;
    try {
        return (bytes ? *bytes : files.readData(path, Store::kReadLimit)) ==
               files.readData(*newest, Store::kReadLimit);
    } catch (...) {
        // Not known to be the same: copied as before.
        return false;
    }
}

std::optional<QString> LocalPersistence::saveFailed(const Failure& failure,
                                                    const std::function<QJsonValue()>& encode) {
    QByteArray bytes;
    if (failure.kind == Failure::Kind::encoding || encodeBytes(failure.file, encode, bytes))
        return rescue(failure, nullptr);
    return rescue(failure, &bytes);
}

std::optional<QString> LocalPersistence::rescue(const Failure& failure, const QByteArray* bytes) {
    report(failure);
    const QString path = store_.url(failure.file);
    std::optional<QString> recovery;
    if (bytes) {
        const QString name = recoveryName(failure.file);
        if (auto refused = writeRecoveryBytes(failure.file, name, *bytes)) {
            report(*refused);
        } else {
            recovery = store_.url(name);
            if (announced_.insert(path).second)
                log_.log(LogLevel::error, logSubsystem_, kCategory,
                         QFileInfo(failure.file).fileName() +
                             QStringLiteral(" could not be saved: what this session keeps is written to ") +
                             *recovery);
        }
    }
    const Refusal refusal = refusalOf(failure, store_.directory, path);
    tell(failure.file,
         saveFailedNotice(QFileInfo(failure.file).fileName(), refusal.folder, refusal.reason, recovery));
    return recovery;
}

void LocalPersistence::saved(const QString& file) {
    problems_.erase(store_.url(file));
    if (notices_) notices_->resolve(store_.url(file));
    // The file now holds all that the recovery files beside it kept.
    removeRecoveries(file, false);
}

void LocalPersistence::removeRecoveries(const QString& file, bool keepSessions) {
    const QString path = store_.url(file);
    QStringList doomed;
    if (const auto it = takenBack_.find(path); it != takenBack_.end()) {
        doomed = it->second;
        takenBack_.erase(it);
    }
    const auto own = recoveries_.find(path);
    const QString session = own != recoveries_.end() ? store_.url(own->second) : QString();
    if (keepSessions) {
        doomed.removeAll(session);
    } else if (own != recoveries_.end()) {
        doomed.append(session);
        recoveryDigests_.erase(session);
        announced_.erase(path);
    }
    doomed.removeDuplicates();
    for (const QString& recovery : std::as_const(doomed)) {
        try {
            if (store_.fileManager->fileExists(recovery)) store_.fileManager->removeItem(recovery);
        } catch (...) {
            // Left where it is: the next start takes it back again, and nothing is lost.
            log_.log(LogLevel::error, logSubsystem_, kCategory,
                     QStringLiteral("%1 could not be removed after its content was saved").arg(recovery));
        }
    }
}

void LocalPersistence::tell(const QString& file, const QString& notice) {
    problems_[store_.url(file)] = notice;
    if (notices_) notices_->set(store_.url(file), notice);
}

QString LocalPersistence::saveFailedNotice(const QString& file, const QString& folder, const QString& reason,
                                           const std::optional<QString>& recovery) {
    const QString failed =
        folder.isEmpty() ? QStringLiteral("Vantrel could not save %1: %2.").arg(file, reason)
                         : QStringLiteral("Vantrel could not save %1: the folder %2 refused the write (%3).")
                               .arg(file, folder, reason);
    if (recovery)
        return failed + QStringLiteral(" What this session holds is kept in %1 instead.").arg(*recovery);
    return failed + QStringLiteral(" Nothing could be written anywhere: your changes are kept only while "
                                   "Vantrel runs, and saved again with the next change.");
}

std::optional<QString> LocalPersistence::saveRecovery(const QString& file,
                                                      const std::function<QJsonValue()>& encode) {
    QByteArray bytes;
    if (auto failure = encodeBytes(file, encode, bytes)) {
        report(*failure);
        return std::nullopt;
    }
    try {
        store_.fileManager->createDirectory(store_.directory);
    } catch (...) {
        report({Failure::Kind::directory, file, std::current_exception()});
        return std::nullopt;
    }
    return writeRecovery(file, bytes);
}

QString LocalPersistence::problem(const QString& file) const {
    const auto it = problems_.find(store_.url(file));
    return it == problems_.end() ? QString() : it->second;
}

std::optional<QString> LocalPersistence::recoveryFile(const QString& file) const {
    const QString path = store_.url(file);
    if (!announced_.count(path)) return std::nullopt;
    return recoveries_.at(path);
}

QString LocalPersistence::recoveryName(const QString& file) {
    const QString path = store_.url(file);
    const auto it = recoveries_.find(path);
    if (it != recoveries_.end()) return it->second;
    return recoveries_.emplace(path, file + QStringLiteral(".recovered-") + fileNameTimestamp(clock_.now()))
        .first->second;
}

std::optional<LocalPersistence::Failure>
LocalPersistence::writeRecoveryBytes(const QString& file, const QString& name, const QByteArray& bytes) {
    const QString path = store_.url(name);
    // A save tried again while nothing changed would rewrite the same content: once is enough.
    const QByteArray digest = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
    if (const auto it = recoveryDigests_.find(path);
        it != recoveryDigests_.end() && it->second == digest && store_.fileManager->fileExists(path))
        return std::nullopt;
    try {
        // Never more readable than the file it stands for (a history kept private stays so).
        if (store_.privateFiles.count(file))
            store_.fileManager->writePrivateData(bytes, path);
        else
            store_.fileManager->writeStandIn(bytes, path, store_.url(file));
    } catch (...) {
        recoveryDigests_.erase(path);
        return Failure{Failure::Kind::write, name, std::current_exception()};
    }
    recoveryDigests_[path] = digest;
    // What earlier sessions kept is in this one's recovery file now.
    removeRecoveries(file, true);
    return std::nullopt;
}

std::optional<QString> LocalPersistence::writeRecovery(const QString& file, const QByteArray& bytes) {
    const QString name = recoveryName(file);
    if (auto failure = writeRecoveryBytes(file, name, bytes)) {
        // Nowhere to keep it: the file's notice says so, in place of where it would have gone.
        report(*failure);
        const Refusal refusal = refusalOf(*failure, store_.directory, store_.url(name));
        tell(file,
             saveFailedNotice(QFileInfo(file).fileName(), refusal.folder, refusal.reason, std::nullopt));
        return std::nullopt;
    }
    const QString where = QFileInfo(file).fileName() +
                          QStringLiteral(" could not be read: what this session keeps is written to ") +
                          store_.url(name);
    if (announced_.insert(store_.url(file)).second) {
        log_.log(LogLevel::error, logSubsystem_, kCategory, where);
        if (recordDiagnostics_) recordDiagnostics_(where);
    }
    // The words said at load: a notice the user closed stays closed while the saves go where it said.
    tell(file, unreadableNotice(file));
    return name;
}

std::optional<LocalPersistence::Failure>
LocalPersistence::writeEncoded(const Store& store, const QString& file,
                               const std::function<QJsonValue()>& encode) {
    QByteArray bytes;
    if (auto failure = encodeBytes(file, encode, bytes)) return failure;
    return writeBytes(store, file, bytes);
}

std::optional<LocalPersistence::Failure>
LocalPersistence::writeEncoded(const Store& store, const QString& file,
                               const std::function<QJsonValue()>& encode, QByteArray& encoded) {
    encoded.clear();
    if (auto failure = encodeBytes(file, encode, encoded)) return failure;
    return writeBytes(store, file, encoded);
}

SaveOutcome LocalPersistence::finishEncodedWrite(const QString& file, const std::optional<Failure>& failure,
                                                 const QByteArray& encoded,
                                                 const std::function<QJsonValue()>& encode,
                                                 const Copies* copies) {
    if (!failure || encoded.isEmpty()) return finishWrite(file, failure, encode, copies);
    return rescue(*failure, &encoded) ? SaveOutcome::rescued : SaveOutcome::lost;
}

std::optional<LocalPersistence::Failure>
LocalPersistence::encodeBytes(const QString& file, const std::function<QJsonValue()>& encode,
                              QByteArray& bytes) {
    try {
        bytes = toBytes(encode());
    } catch (...) {
        return Failure{Failure::Kind::encoding, file, std::current_exception()};
    }
    return std::nullopt;
}

std::optional<LocalPersistence::Failure> LocalPersistence::writeBytes(const Store& store, const QString& file,
                                                                      const QByteArray& bytes) {
    try {
        if (store.privateFiles.count(file))
            store.fileManager->writePrivateData(bytes, store.url(file));
        else
            store.fileManager->writeData(bytes, store.url(file));
    } catch (...) {
        return Failure{Failure::Kind::write, file, std::current_exception()};
    }
    return std::nullopt;
}

void LocalPersistence::saveJsonOrThrow(const QString& file, bool backupExisting,
                                       const std::function<QJsonValue()>& encode) {
    const auto fail = [&](Failure::Kind kind) {
        throw PersistenceError({kind, file, std::current_exception()});
    };
    try {
        store_.fileManager->createDirectory(store_.directory);
    } catch (...) {
        fail(Failure::Kind::directory);
    }
    if (auto refusal = clearToReplace(file)) throw PersistenceError(*refusal);
    if (backupExisting) backup(store_.url(file), QStringLiteral("previous"));
    QByteArray bytes;
    try {
        bytes = toBytes(encode());
    } catch (...) {
        fail(Failure::Kind::encoding);
    }
    try {
        store_.fileManager->writeData(bytes, store_.url(file));
    } catch (...) {
        fail(Failure::Kind::write);
    }
    saved(file);
}

QString LocalPersistence::backupPath(const QString& path, const QString& reason, WallTime time) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    // A dot that starts the name (".hidden") or belongs to a folder is no extension.
    const QString stem = dot > slash + 1 ? path.left(dot) : path;
    return stem + QLatin1Char('.') + reason + QLatin1Char('-') + fileNameTimestamp(time) +
           QStringLiteral(".json");
}

std::optional<QString> LocalPersistence::backup(const QString& path, const QString& reason) {
    if (!store_.fileManager->fileExists(path)) return std::nullopt;
    const QString copy = backupPath(path, reason, clock_.now());
    if (store_.fileManager->fileExists(copy)) return std::nullopt;
    const bool isPrivate = std::any_of(store_.privateFiles.begin(), store_.privateFiles.end(),
                                       [&](const QString& file) { return store_.url(file) == path; });
    try {
        if (isPrivate)
            store_.fileManager->copyPrivateItem(path, copy);
        else
            store_.fileManager->copyItem(path, copy);
    } catch (...) {
        return std::nullopt;
    }
    return copy;
}

void LocalPersistence::removeLeftovers() {
    store_.fileManager->removeStaleTemporaryFiles(store_.directory, addSeconds(clock_.now(), Seconds(-60)));
}

std::optional<QStringList> LocalPersistence::backupCopies(const QString& path, const QString& reason) const {
    const QString sample = backupPath(path, reason, WallTime());
    const QString timeAndExtension = fileNameTimestamp(WallTime()) + QStringLiteral(".json");
    const QFileInfo info(sample.left(sample.size() - timeAndExtension.size()));
    // Only names this helper makes: the stem, the reason and a time that sorts as it reads.
    const QString pattern = QRegularExpression::escape(info.fileName()) +
                            QStringLiteral(R"(\d{4}-\d\d-\d\dT\d\d-\d\d-\d\dZ\.json)");
    const QRegularExpression copyName(QRegularExpression::anchoredPattern(pattern));
    QStringList copies;
    try {
        for (const QString& name : store_.fileManager->contentsOfDirectory(info.absolutePath()))
            if (copyName.match(name).hasMatch()) copies.append(name);
    } catch (...) {
        return std::nullopt;
    }
    copies.sort();
    for (QString& name : copies) name = info.absolutePath() + QLatin1Char('/') + name;
    return copies;
}

std::optional<QString> LocalPersistence::newestBackup(const QString& path, const QString& reason) const {
    const std::optional<QStringList> copies = backupCopies(path, reason);
    if (!copies || copies->isEmpty()) return std::nullopt;
    return copies->last();
}

void LocalPersistence::pruneBackups(const QString& path, const QString& reason, int keep) {
    const std::optional<QStringList> copies = backupCopies(path, reason);
    if (!copies) return;
    for (qsizetype i = 0; i + keep < copies->size(); ++i) {
        try {
            store_.fileManager->removeItem(copies->at(i));
        } catch (...) {
        }
    }
}

void LocalPersistence::explainUnreadable(const Failure& failure) {
    QString reason = QStringLiteral("unknown error");
    try {
        if (failure.error) std::rethrow_exception(failure.error);
    } catch (const std::exception& e) {
        reason = QString::fromLocal8Bit(e.what());
    } catch (...) {
    }
    log_.log(LogLevel::error, logSubsystem_, kCategory,
             QStringLiteral("%1 could not be read and is left untouched: %2")
                 .arg(QFileInfo(failure.file).fileName(), reason));
    // The record and the notice are what the user is shown, whichever store met the file.
    const QString told = unreadableNotice(failure.file);
    if (recordDiagnostics_) recordDiagnostics_(told);
    tell(failure.file, told);
}

void LocalPersistence::log(LogLevel level, const QString& message) {
    log_.log(level, logSubsystem_, kCategory, message);
}

void LocalPersistence::report(const Failure& failure) {
    log_.log(LogLevel::error, logSubsystem_, kCategory, failure.diagnosticSummary());
}

QStringList LocalPersistence::recoveryFiles(const QString& file) const {
    const QFileInfo info(store_.url(file));
    // Only names this helper makes; the time in them sorts as it reads, so oldest first.
    const QRegularExpression pattern(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(info.fileName()) +
        QStringLiteral(R"(\.recovered-\d{4}-\d\d-\d\dT\d\d-\d\d-\d\dZ)")));
    QStringList names;
    try {
        for (const QString& name : store_.fileManager->contentsOfDirectory(info.absolutePath()))
            if (pattern.match(name).hasMatch()) names.append(name);
    } catch (...) {
        return {};
    }
    names.sort();
    return names;
}

bool LocalPersistence::hasRecoveries(const QString& file) const {
    return !recoveryFiles(file).isEmpty();
}

std::optional<WallTime> LocalPersistence::modified(const QString& file) const {
    return store_.fileManager->modificationDate(store_.url(file));
}

namespace {

// Why a recovery file was left where it is, in words for the window.
QString whyLeft(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const UnreadableFileError& e) {
        return e.reason();
    } catch (const JsonDecodingError&) {
        return QStringLiteral("it could not be decoded");
    } catch (const std::system_error& e) {
        return QString::fromLocal8Bit(e.code().message()).toLower();
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
    }
    return QStringLiteral("unknown error");
}

} // namespace

std::optional<QJsonValue>
LocalPersistence::takeBackRecoveries(const QString& file, const QJsonValue& held,
                                     std::optional<WallTime> heldWritten, const Merge& merge,
                                     const std::function<bool(const QJsonValue&)>& accept) {
    const QFileInfo info(store_.url(file));
    const QStringList names = recoveryFiles(file);
    if (names.isEmpty()) return std::nullopt;
    QJsonValue value = held;
    QStringList taken;
    QStringList left;
    for (const QString& name : std::as_const(names)) {
        const QString path = info.absolutePath() + QLatin1Char('/') + name;
        FileManager::OwnFile read;
        LoadOutcome<QJsonValue> recovered = LoadOutcome<QJsonValue>::missing();
        try {
            // Another user's file, or a link to anything, is never read: it is not this user's run.
            read = store_.fileManager->readOwnFile(path, Store::kReadLimit);
            recovered = Store::decodeJson(name, read.bytes);
        } catch (...) {
            recovered =
                LoadOutcome<QJsonValue>::failed({Failure::Kind::unreadable, name, std::current_exception()});
        }
        if (const Failure* failure = recovered.failure()) {
            // Left in place, and never removed: it may still hold something the user wants.
            report(*failure);
            left.append(QStringLiteral("%1 is left in place: %2.").arg(path, whyLeft(failure->error)));
            continue;
        }
        // Written since the file was: the whole state of a later run, in which what it lacks was
        // deleted. Else the file was written since, by a run that never saw it: both are kept.
        if (!heldWritten || read.modified >= *heldWritten) {
            value = *recovered.value();
            heldWritten = read.modified;
        } else {
            value = merge(value, *recovered.value());
        }
        taken.append(path);
    }
    if (!taken.isEmpty() && accept && !accept(value)) {
        log_.log(LogLevel::error, logSubsystem_, kCategory,
                 QStringLiteral("%1 could not be taken back: its content does not fit %2")
                     .arg(taken.join(QStringLiteral(", ")), info.fileName()));
        for (const QString& path : std::as_const(taken))
            left.append(QStringLiteral("%1 is left in place: its content does not fit %2.")
                            .arg(path, info.fileName()));
        taken.clear();
    }
    QStringList told;
    if (!taken.isEmpty())
        told.append(
            QStringLiteral("%1 was not saved when Vantrel last ran: what was kept in %2 is taken back.")
                .arg(info.fileName(), taken.join(QStringLiteral(", "))));
    else if (!left.isEmpty())
        told.append(QStringLiteral("%1 was not saved when Vantrel last ran, and what was kept for it could "
                                   "not be taken back.")
                        .arg(info.fileName()));
    told += left;
    const QString notice = told.join(QLatin1Char(' '));
    log_.log(taken.isEmpty() ? LogLevel::error : LogLevel::info, logSubsystem_, kCategory, notice);
    // Said under a recovery file's own name, so the save that follows does not take it away unseen.
    if (notices_)
        notices_->set(
            taken.isEmpty() ? info.absolutePath() + QLatin1Char('/') + names.first() : taken.first(), notice);
    if (taken.isEmpty()) return std::nullopt;
    takenBack_[info.absoluteFilePath()] += taken;
    return value;
}

QStringList LocalPersistence::takenBack(const QString& file) const {
    const auto it = takenBack_.find(store_.url(file));
    return it == takenBack_.end() ? QStringList() : it->second;
}

QJsonArray LocalPersistence::mergeItems(const QJsonValue& newer, const QJsonValue& older,
                                        const AsOwnItem& asOwnItem) {
    const QJsonArray newerItems = newer.toArray();
    const QJsonArray olderItems = older.toArray();
    const auto idOf = [](const QJsonValue& item) {
        return item.toObject().value(QStringLiteral("id")).toString();
    };
    const auto ownItem = [&](const QJsonObject& item) -> QJsonValue {
        if (asOwnItem) return asOwnItem(item);
        QJsonObject own = item;
        own[QStringLiteral("id")] = encodeUuid(QUuid::createUuid());
        return own;
    };
    std::map<QString, QJsonValue> newerById;
    for (const QJsonValue& item : newerItems) newerById.emplace(idOf(item), item);
    QJsonArray merged;
    QSet<QString> placed;
    for (const QJsonValue& item : newerItems) {
        const QString id = idOf(item);
        if (placed.contains(id)) continue;
        placed.insert(id);
        merged.append(item);
    }
    // Where an item of the older side goes: after the item it followed there (first, after none).
    const auto positionAfter = [&](const QString& previous) {
        if (previous.isNull()) return qsizetype(0);
        for (qsizetype i = merged.size() - 1; i >= 0; --i)
            if (idOf(merged.at(i)) == previous) return i + 1;
        return qsizetype(0);
    };
    QString previous;
    QSet<QString> seenOlder;
    for (const QJsonValue& item : olderItems) {
        const QString id = idOf(item);
        if (seenOlder.contains(id)) continue;
        seenOlder.insert(id);
        const auto it = newerById.find(id);
        if (it == newerById.end()) {
            merged.insert(positionAfter(previous), item);
            placed.insert(id);
        } else if (it->second != item) {
            const QJsonValue own = ownItem(item.toObject());
            if (own.isObject()) {
                // Right after the newer version, so the two are seen together.
                merged.insert(positionAfter(id), own);
                previous = idOf(own);
                continue;
            }
        }
        previous = id;
    }
    return merged;
}

} // namespace vantrel
