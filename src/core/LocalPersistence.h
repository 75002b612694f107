#pragma once

#include "core/JsonCoding.h"
#include "platform/Clock.h"
#include "platform/EnumTraits.h"
#include "platform/SystemLog.h"

#include <QJsonValue>
#include <QString>
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <type_traits>
#include <variant>

namespace vantrel {

class FileManager;
class FileNotices;
class Scheduler;
struct AppPaths;
struct BundleInfo;

#define VANTREL_PERSISTENCE_FAILURE_KINDS(C) C(unreadable) C(corrupt) C(encoding) C(directory) C(write)
VANTREL_STRING_ENUM(PersistenceFailureKind, VANTREL_PERSISTENCE_FAILURE_KINDS)

// Where a save left a store's value: in its file (`written`); in its recovery file, while the file
// could not be read (`heldBack`) or because the write failed (`rescued`); or nowhere (`lost`,
// kept only in memory). Only `written` is saved where the next start reads it without help.
enum class SaveOutcome { written, heldBack, rescued, lost };

struct PersistenceFailure {
    using Kind = PersistenceFailureKind;

    Kind kind;
    QString file; // as the caller passed it
    std::exception_ptr error;

    // "kind=corrupt file=clipboard.json error=vantrel::JsonDecodingError"
    QString diagnosticSummary() const;
};

// What saveOrThrow throws: the failure, with the error underneath it.
class PersistenceError : public std::runtime_error {
public:
    explicit PersistenceError(PersistenceFailure failure);
    const PersistenceFailure& failure() const { return failure_; }

private:
    PersistenceFailure failure_;
};

template <typename T> class LoadOutcome {
public:
    static LoadOutcome loaded(T value) { return LoadOutcome(std::move(value)); }
    static LoadOutcome failed(PersistenceFailure failure) { return LoadOutcome(std::move(failure)); }
    static LoadOutcome missing() { return LoadOutcome(std::monostate{}); }

    bool isLoaded() const { return std::holds_alternative<T>(state_); }
    bool isFailed() const { return std::holds_alternative<PersistenceFailure>(state_); }
    bool isMissing() const { return std::holds_alternative<std::monostate>(state_); }
    // The value when loaded, else null.
    const T* value() const { return std::get_if<T>(&state_); }
    T* value() { return std::get_if<T>(&state_); }
    const PersistenceFailure* failure() const { return std::get_if<PersistenceFailure>(&state_); }

private:
    template <typename V> explicit LoadOutcome(V&& state) : state_(std::forward<V>(state)) {}
    std::variant<std::monostate, T, PersistenceFailure> state_;
};

// The stores' JSON files in the data folder. A load tells a missing file from a damaged one; a
// save encodes, makes the folder and writes atomically; failures of load and save go to the log
// under "Persistence" as one line. A file whose load failed is protected for the rest of the run:
// a damaged ("corrupt") one is copied aside before the first save replaces it, and one that could
// not be read at all is never replaced while it stays so: each save tries again to copy it aside
// ("previous") and goes ahead only once that worked, so no save can destroy data that was merely
// unreadable. Such a file is said once, in the log and in one diagnostics record; the saves it
// holds back go to a recovery file beside it instead (see saveRecovery), so nothing is lost.
// A save that fails is told in the window, naming what refused it, and what the
// session holds goes to the same recovery file in the data folder, where it can be written.
class LocalPersistence {
public:
    using Failure = PersistenceFailure;
    // Joins what a file holds (first) and what an older recovery file kept (second), as JSON.
    using Merge = std::function<QJsonValue(const QJsonValue&, const QJsonValue&)>;
    // The older version of an item that changed on both sides as an item of its own (a new id);
    // null when the newer version alone stands for both.
    using AsOwnItem = std::function<QJsonValue(const QJsonObject&)>;
    // The earlier versions a store keeps beside its file: before each write the present file is
    // copied aside with `reason` (unless its newest such copy holds the same), and after it only
    // the newest `kept` copies stay.
    struct Copies {
        QString reason;
        int kept = 0;
    };

    // Where the files are and how they are touched; tests substitute the folder or the file manager.
    struct Store {
        QString directory;
        FileManager* fileManager = nullptr; // not owned
        // The files kept for the user alone (see keepPrivate).
        std::set<QString> privateFiles = {};

        // The most a load reads of a data file; a larger one counts as unreadable.
        static constexpr qint64 kReadLimit = 64 * 1024 * 1024;

        QString url(const QString& file) const;

        // Reads and parses without logging anything; `bytes`, when given, gets what was read.
        LoadOutcome<QJsonValue> loadJson(const QString& file, QByteArray* bytes = nullptr) const;
        // Parses bytes as a data file: an object or an array, else corrupt (for a fuzzer too).
        static LoadOutcome<QJsonValue> decodeJson(const QString& file, const QByteArray& bytes);

        // `decode` turns the parsed JSON into the value; anything it throws makes the file corrupt.
        template <typename Decode>
        auto load(const QString& file, Decode&& decode) const
            -> LoadOutcome<std::decay_t<std::invoke_result_t<Decode&, const QJsonValue&>>> {
            return decodeWith(file, loadJson(file), std::forward<Decode>(decode));
        }
        // What a read gave, turned into the value by `decode`.
        template <typename Decode>
        static auto decodeWith(const QString& file, const LoadOutcome<QJsonValue>& json, Decode&& decode)
            -> LoadOutcome<std::decay_t<std::invoke_result_t<Decode&, const QJsonValue&>>> {
            using T = std::decay_t<std::invoke_result_t<Decode&, const QJsonValue&>>;
            if (json.isMissing()) return LoadOutcome<T>::missing();
            if (const Failure* failure = json.failure()) return LoadOutcome<T>::failed(*failure);
            try {
                return LoadOutcome<T>::loaded(decode(*json.value()));
            } catch (...) {
                return LoadOutcome<T>::failed({Failure::Kind::corrupt, file, std::current_exception()});
            }
        }
    };

    // The data folder: "<data home>/Vantrel", or "<data home>/Vantrel QA/<identifier or isolated>"
    // for a build whose channel is exactly "qa", so a QA build never touches regular data.
    static QString dataDirectory(const AppPaths& paths, const BundleInfo& bundle);
    // The bundle identifier, or "com.vantrel.mac" without one.
    static QString logSubsystem(const BundleInfo& bundle);

    // `recordDiagnostics` takes the diagnostics record of a file that could not be read.
    LocalPersistence(Store store, const Clock& clock, SystemLog& log, QString logSubsystem,
                     std::function<void(const QString&)> recordDiagnostics = {});

    const QString& directory() const { return store_.directory; }
    // `file` and every file beside it that stands for it (its recovery file, its copies set aside)
    // are written readable and writable by the user alone, whatever mode they had: a history of
    // what was copied may hold passwords.
    void keepPrivate(const QString& file) { store_.privateFiles.insert(file); }
    // Where the window is told of each file that could not be read or saved, until it is read or
    // saved again; none tells nothing (not owned).
    void setNotices(FileNotices* notices) { notices_ = notices; }
    // What the stores' files time their writes and their tries again with (StoreFile); none:
    // each change is written at once, and a failed save is tried again with the next (not owned).
    void setScheduler(Scheduler* scheduler) { scheduler_ = scheduler; }
    Scheduler* scheduler() const { return scheduler_; }
    FileNotices* notices() const { return notices_; }
    const Store& store() const { return store_; }

    // A failed load is logged; missing and loaded are not.
    template <typename Decode> auto load(const QString& file, Decode&& decode) {
        auto outcome = store_.load(file, std::forward<Decode>(decode));
        noteLoad(file, outcome.failure());
        return outcome;
    }

    // Loads as above (the file read once), and takes back what earlier sessions kept in recovery
    // files beside `file` (see takeBackRecoveries): a file that is missing, damaged or unreadable
    // then loads as what the recovery files hold. `merge(held, recovered)` joins the file with an
    // older recovery file (see mergeItems).
    template <typename Decode> auto load(const QString& file, const Merge& merge, Decode&& decode) {
        using T = std::decay_t<std::invoke_result_t<Decode&, const QJsonValue&>>;
        const LoadOutcome<QJsonValue> json = store_.loadJson(file);
        auto outcome = Store::decodeWith(file, json, decode);
        noteLoad(file, outcome.failure());
        if (!hasRecoveries(file)) return outcome;
        // Only a file that loaded is joined with them; anything else is what they replace.
        const QJsonValue* held = outcome.isLoaded() ? json.value() : nullptr;
        std::optional<T> taken;
        const auto accept = [&](const QJsonValue& merged) {
            try {
                taken.emplace(decode(merged));
                return true;
            } catch (...) {
                return false;
            }
        };
        if (takeBackRecoveries(file, held ? *held : QJsonValue(), held ? modified(file) : std::nullopt, merge,
                               accept))
            return LoadOutcome<T>::loaded(std::move(*taken));
        return outcome;
    }
    // The one way a store's value is saved: encoded, written atomically, and the outcome told (a
    // failure in the window, with the value kept in the recovery file; a success withdraws what
    // was said and removes the recovery files the file now stands for). Never throws.
    SaveOutcome write(const QString& file, const std::function<QJsonValue()>& encode,
                      const Copies* copies = nullptr);
    // The end of a save whose file was written elsewhere (writeEncoded on a worker thread), told
    // as write() tells it; `encode` gives what goes to the recovery file after a failure.
    SaveOutcome finishWrite(const QString& file, const std::optional<Failure>& failure,
                            const std::function<QJsonValue()>& encode, const Copies* copies = nullptr);

    // As write(); true when the value is on disk where the next start reads it (or, while the
    // file could not be read, in its recovery file); false when the save failed.
    template <typename T, typename Encode> bool save(const T& value, const QString& file, Encode&& encode) {
        const SaveOutcome outcome = write(file, [&] { return QJsonValue(encode(value)); });
        return outcome == SaveOutcome::written || outcome == SaveOutcome::heldBack;
    }

    // What earlier sessions kept in recovery files beside `file`, taken back at start, oldest
    // first. A recovery file holds the whole state of the run that wrote it: one written since
    // `held` (what the file holds, last written at `heldWritten`; null and none when nothing) is
    // that state, and what it lacks was deleted; an older one is joined with it by `merge`. Only
    // regular files of the user's own are read, never through a link; anything else, and one that
    // cannot be read or decoded, is left in place and named in the window. None when nothing was
    // taken. Said once in the window; each one taken is removed once a save has put its content
    // in `file` (or in this session's recovery file). `accept` says whether the store can use the
    // result; none is taken back when it cannot.
    std::optional<QJsonValue> takeBackRecoveries(const QString& file, const QJsonValue& held,
                                                 std::optional<WallTime> heldWritten, const Merge& merge,
                                                 const std::function<bool(const QJsonValue&)>& accept = {});
    // Whether recovery files of `file` that earlier sessions left lie beside it.
    bool hasRecoveries(const QString& file) const;
    // When `file` was last written; none when it is not there.
    std::optional<WallTime> modified(const QString& file) const;
    // Two arrays of items (objects with an "id"): the file's (`newer`) and an older recovery
    // file's, joined so that nothing of either is lost. An item the same on both sides is one; one
    // that differs keeps its newer version in place and its older one, made its own by
    // `asOwnItem` (a new id without it), right after it. The newer order leads; an item only the
    // older has follows the item it followed there. A value that is no array counts as none.
    static QJsonArray mergeItems(const QJsonValue& newer, const QJsonValue& older,
                                 const AsOwnItem& asOwnItem = {});
    // The recovery files earlier sessions left that were taken back and are not yet removed.
    QStringList takenBack(const QString& file) const;

    // For a store that tells the user itself (through saveFailed): throws PersistenceError and logs
    // nothing. When `backupExisting` is set, the present file is first copied aside with the reason
    // "previous".
    template <typename T, typename Encode>
    void saveOrThrow(const T& value, const QString& file, bool backupExisting, Encode&& encode) {
        saveJsonOrThrow(file, backupExisting, [&] { return QJsonValue(encode(value)); });
    }

    // Copies the file at `path` to "<name without extension>.<reason>-<UTC time>.json" beside it.
    // None when there is no file or the copy fails. A copy of that name made earlier within the
    // same second stays, and is found before anything is read or written.
    std::optional<QString> backup(const QString& path, const QString& reason);

    // "notes.json", "previous", 09:05:07 UTC on 1 March 2026 -> "notes.previous-2026-03-01T09-05-07Z.json".
    static QString backupPath(const QString& path, const QString& reason, WallTime time);

    // Saving from a worker thread, for a store whose file takes too long to write where it lives:
    // prepareSave() runs there first (the folder, and a damaged file copied aside or kept), and
    // reports and answers none when the save must not go ahead; writeEncoded() then encodes and
    // writes on any thread, touching only the store's file manager; a failure it gives back is
    // handed to report() where the store lives.
    // Answers the file name the save goes to: the file itself, or, while the file could not be
    // read, its recovery file (see saveRecovery); none when the save must not go ahead, which is
    // then told as a failed save, with `encode` giving what goes to the recovery file.
    // `refused` tells where a save that must not go ahead left the value (rescued or lost).
    std::optional<QString> prepareSave(const QString& file, const std::function<QJsonValue()>& encode,
                                       SaveOutcome& refused, const Copies* copies = nullptr);
    static std::optional<Failure> writeEncoded(const Store& store, const QString& file,
                                               const std::function<QJsonValue()>& encode);
    // As above, keeping what was encoded in `encoded` (empty when encoding failed), so that a
    // failure is told with finishEncodedWrite without encoding the whole value once more where the
    // store lives.
    static std::optional<Failure> writeEncoded(const Store& store, const QString& file,
                                               const std::function<QJsonValue()>& encode,
                                               QByteArray& encoded);
    // As finishWrite, the recovery file taking `encoded` as it is; `encode` only when it is empty.
    SaveOutcome finishEncodedWrite(const QString& file, const std::optional<Failure>& failure,
                                   const QByteArray& encoded, const std::function<QJsonValue()>& encode,
                                   const Copies* copies = nullptr);
    // The one log line of a failure.
    void report(const Failure& failure);

    // A save of `failure.file` that failed: logged, and told in the window, naming the folder
    // that refused it. What the session holds (`encode`) goes to the file's recovery file (see
    // saveRecovery) instead, so nothing is lost; the notice says where, or that nothing could be
    // written anywhere. A notice the user closed shows again only when its words change.
    // Answers the recovery file's path, or none when it could not be written either.
    std::optional<QString> saveFailed(const Failure& failure, const std::function<QJsonValue()>& encode);
    // A save of `file` went through: what the window said of the file goes.
    void saved(const QString& file);
    // What the window says of a save of `file` refused by `folder` for `reason` (without a folder,
    // `reason` names what refused: the disk, the file, what stands in its place): where the data
    // went instead (`recovery`), or, without one, that it is only in memory.
    static QString saveFailedNotice(const QString& file, const QString& folder, const QString& reason,
                                    const std::optional<QString>& recovery);
    // For a file that could not be read: one log line saying why (a FIFO in its place, a link,
    // too large, the system's error), and the diagnostics record, which the window shows.
    void explainUnreadable(const Failure& failure);
    // A line of a store about its file (one it reads only in part, say), under "Persistence".
    void log(LogLevel level, const QString& message);

    // While `file` could not be read, what the session holds is never lost nor written over it:
    // it goes to "<file>.recovered-<UTC time>" beside it, one such file per file and session,
    // rewritten by every later save. The first write says where, in the log and in one
    // diagnostics record. Answers the recovery file's name, or none when it could not be written.
    std::optional<QString> saveRecovery(const QString& file, const std::function<QJsonValue()>& encode);
    // The recovery file of `file` in this session, once one was written.
    std::optional<QString> recoveryFile(const QString& file) const;
    // What the window last said of a save of `file` that failed or went beside it; empty once saved.
    QString problem(const QString& file) const;

    // A store that reads its file itself (notes) hands its failed load over: a damaged file is
    // copied aside as "corrupt" before the first save replaces it, one that could not be read
    // (`unreadable`) is replaced only once it could be copied aside as "previous", its saves
    // going beside it until then. Nothing is logged or told.
    void protect(const QString& file, bool unreadable);
    // True while the file's load found it unreadable and no copy of it could be made since.
    bool isHeldBack(const QString& file) const;
    // Whether the file at `path` holds the same as its newest copy made for `reason` (`bytes`: what
    // it holds, when the caller read it already): one more copy would keep nothing new.
    bool matchesNewestCopy(const QString& path, const QString& reason,
                           const QByteArray* bytes = nullptr) const;

    // At start-up: removes from the data folder the temporary files that a process killed while
    // writing left there more than a minute ago (younger ones may be another instance's write).
    void removeLeftovers();

    // Removes all but the newest `keep` copies of the file made with `reason`; copies made for
    // any other reason are never touched. Like backups, never reports and never throws.
    void pruneBackups(const QString& path, const QString& reason, int keep);
    // The path of the newest copy of the file made with `reason`; none without one.
    std::optional<QString> newestBackup(const QString& path, const QString& reason) const;

private:
    enum class Protection { copyBeforeReplacing, neverReplace };

    // The paths of the copies of the file made with `reason`, oldest first; none when the folder
    // cannot be listed.
    std::optional<QStringList> backupCopies(const QString& path, const QString& reason) const;
    // The names of the recovery files beside `file` that earlier sessions left, oldest first.
    QStringList recoveryFiles(const QString& file) const;
    void noteLoad(const QString& file, const Failure* failure);
    // Whether a save may go ahead, and to which file (`target`): the failure when it may not.
    std::optional<Failure> prepare(const QString& file, QString& target, const Copies* copies);
    void pruneAfterWrite(const QString& file, const Copies* copies);
    // Tells the failed save and writes `bytes` (none when they could not be encoded) to the
    // recovery file; answers its path when it was written.
    std::optional<QString> rescue(const Failure& failure, const QByteArray* bytes);
    void tell(const QString& file, const QString& notice);
    void saveJsonOrThrow(const QString& file, bool backupExisting, const std::function<QJsonValue()>& encode);
    std::optional<QString> writeRecovery(const QString& file, const QByteArray& bytes);
    std::optional<Failure> writeRecoveryBytes(const QString& file, const QString& name,
                                              const QByteArray& bytes);
    QString recoveryName(const QString& file);
    // Lets a save go ahead over a file whose load failed, or says why it must not.
    std::optional<Failure> clearToReplace(const QString& file);
    static std::optional<Failure> encodeBytes(const QString& file, const std::function<QJsonValue()>& encode,
                                              QByteArray& bytes);
    static std::optional<Failure> writeBytes(const Store& store, const QString& file,
                                             const QByteArray& bytes);

    Store store_;
    const Clock& clock_;
    SystemLog& log_;
    QString logSubsystem_;
    std::function<void(const QString&)> recordDiagnostics_;
    FileNotices* notices_ = nullptr;
    Scheduler* scheduler_ = nullptr;
    std::map<QString, Protection> protections_;
    // Recovery file names by the path of the file they stand in for, and those already said.
    std::map<QString, QString> recoveries_;
    std::set<QString> announced_;
    // What was last written to each recovery file: the same again is not written twice.
    std::map<QString, QByteArray> recoveryDigests_;
    // By the path of the file they stand in for: the recovery files taken back at start.
    std::map<QString, QStringList> takenBack_;
    // By the path of the file: what the window last said of its save.
    std::map<QString, QString> problems_;
    void removeRecoveries(const QString& file, bool keepSessions);
};

} // namespace vantrel
