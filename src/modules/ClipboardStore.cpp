#include "modules/ClipboardStore.h"

#include "core/LocalPersistence.h"
#include "core/PlainText.h"
#include "modules/ClipboardCapturePolicy.h"
#include "modules/ClipboardJournal.h"
#include "platform/FileManager.h"
#include "platform/Pasteboard.h"
#include "platform/SetIfChanged.h"
#include "platform/WorkQueue.h"

#include <QPointer>
#include <algorithm>
#include <system_error>

namespace vantrel {

namespace {

QJsonArray encodeEntries(const QList<ClipboardEntry>& entries) {
    return encodeArray(entries, [](const ClipboardEntry& e) { return e.toJson(); });
}

} // namespace

ClipboardStore::ClipboardStore(Pasteboard& pasteboard, LocalPersistence& persistence, const Clock& clock,
                               Scheduler& scheduler, std::unique_ptr<WorkQueue> writeQueue,
                               std::function<void()> playControlsHaptic, QObject* parent)
    : QObject(parent), pasteboard_(pasteboard), persistence_(persistence), clock_(clock),
      scheduler_(scheduler), playControlsHaptic_(std::move(playControlsHaptic)),
      writeQueue_(std::move(writeQueue)) {
    persistence_.keepPrivate(fileName());
    file_ = std::make_unique<StoreFile>(
        persistence_, &scheduler_, fileName(),
        [this] {
            // The lines of what the file will hold reach the journal first: a kill between the
            // two writes then reads the journal over a file that holds all of it, which changes
            // nothing, rather than older lines over newer entries (a deleted one back).
            if (!quitting_ && journalUsable_ && !pendingJournal_.isEmpty()) {
                journalFlush_.cancel();
                sendToJournal(std::exchange(pendingJournal_, {}));
            }
            foldedCount_ = changeCount_;
            return [entries = entries_] { return QJsonValue(encodeEntries(entries)); };
        },
        kSaveTiming, writeQueue_.get());
    connect(file_.get(), &StoreFile::unsavedChanged, this, &ClipboardStore::unsavedChanged);
    connect(file_.get(), &StoreFile::stateChanged, this, &ClipboardStore::saveStateChanged);
    connect(file_.get(), &StoreFile::saveFinished, this, [this](SaveOutcome outcome) {
        if (outcome == SaveOutcome::written) foldFinished();
    });
    // Whatever is on the clipboard at launch was copied before we ran: never record it.
    lastChangeCount_ = pasteboard_.changeCount();
    // An entry's text never changes: of one on both sides the newer file's (its pin) stands for both.
    const auto merge = [](const QJsonValue& kept, const QJsonValue& recovered) {
        return QJsonValue(
            LocalPersistence::mergeItems(kept, recovered, [](const QJsonObject&) { return QJsonValue(); }));
    };
    auto outcome = persistence_.load(fileName(), merge, [](const QJsonValue& json) {
        return decodeArray(json, [](const QJsonValue& value) { return ClipboardEntry::fromJson(value); });
    });
    if (const auto* loaded = outcome.value())
        entries_ = QList<ClipboardEntry>(loaded->begin(), loaded->end());
    file_->loaded();
    const bool takenBack = !persistence_.takenBack(fileName()).isEmpty();
    if (takenBack) entries_ = ordered(std::move(entries_));
    fileBytes_ = persistence_.store().fileManager->fileSize(persistence_.store().url(fileName())).value_or(0);
    readJournal(!outcome.isFailed() && !takenBack, takenBack && journalBehindRecovery());
    recorded_ = entries_;
    // What an earlier session could not save is back: it goes to the file with the next write.
    if (takenBack) {
        ++changeCount_;
        file_->changed();
    }
}

QString ClipboardStore::journalPath() const {
    return persistence_.store().url(ClipboardJournal::fileName());
}

bool ClipboardStore::journalBehindRecovery() const {
    // Once a write of the file fails, every change goes to it whole, and so to its recovery file:
    // a journal no newer than a recovery file taken back is already in it, and read over it would
    // bring back what that run deleted.
    FileManager& files = *persistence_.store().fileManager;
    const std::optional<WallTime> journal = files.modificationDate(journalPath());
    if (!journal) return false;
    for (const QString& recovery : persistence_.takenBack(fileName())) {
        const std::optional<WallTime> taken = files.modificationDate(recovery);
        if (taken && *journal <= *taken) return true;
    }
    return false;
}

void ClipboardStore::readJournal(bool fileUsable, bool alreadyIn) {
    // Over a file that could not be read as it stood, every change is written whole, through the
    // persistence's own care for such a file.
    journalUsable_ = fileUsable;
    QByteArray bytes;
    try {
        bytes =
            persistence_.store().fileManager->readData(journalPath(), LocalPersistence::Store::kReadLimit);
    } catch (const std::exception& e) {
        if (const auto* missing = dynamic_cast<const std::system_error*>(&e);
            missing && missing->code() == std::errc::no_such_file_or_directory)
            return;
        journalUsable_ = false;
        journalUnreadable_ = true;
        persistence_.log(LogLevel::error, QStringLiteral("%1 could not be read (%2); it is left as it is")
                                              .arg(journalPath(), QString::fromLocal8Bit(e.what())));
        return;
    }
    journalBytes_ = bytes.size(); // emptied with the next write of the file
    if (bytes.isEmpty() || alreadyIn) return;
    ClipboardJournal::Replayed replayed = ClipboardJournal::replay(std::move(entries_), bytes);
    entries_ = ordered(std::move(replayed.entries));
    if (replayed.ignored > 0)
        persistence_.log(
            LogLevel::info,
            QStringLiteral("%1 line(s) of %2 could not be read and are left out (a write cut short)")
                .arg(replayed.ignored)
                .arg(ClipboardJournal::fileName()));
}

void ClipboardStore::setSearchText(const QString& text) {
    setIfChanged(this, searchText_, text, &ClipboardStore::searchTextChanged);
}

void ClipboardStore::start() {
    if (isWatching()) return;
    if (pasteboard_.announcesChanges()) {
        listening_ = true;
        pasteboard_.setChangeListener([this] { captureSoon(); });
        // What was copied while nobody listened (during sleep) is taken at once, as a poll would.
        captureSoon();
        return;
    }
    QPointer<ClipboardStore> self(this);
    timer_ = ScheduledTask(
        scheduler_, scheduler_.scheduleRepeating(Seconds(kPollInterval), Seconds(kPollTolerance), [self] {
            if (self) self->captureIfNeeded();
        }));
}

void ClipboardStore::stop() {
    timer_.cancel();
    pendingCapture_.cancel();
    if (listening_) pasteboard_.setChangeListener({});
    listening_ = false;
}

void ClipboardStore::captureSoon() {
    if (pendingCapture_.isActive()) return;
    // The announcement may come from inside the clipboard's own notification; reading the content
    // there would re-enter it, so the rule runs once control is back in the event loop.
    pendingCapture_ =
        ScheduledTask(scheduler_, scheduler_.schedule(Seconds(0), [this] { captureIfNeeded(); }));
}

void ClipboardStore::captureIfNeeded() {
    const std::int64_t count = pasteboard_.changeCount();
    if (count == lastChangeCount_) return;
    // From here on the item counts as seen, so a refused item is never read again.
    lastChangeCount_ = count;
    if (!ClipboardCapturePolicy::allowsCapture(pasteboard_.types())) return;
    const std::optional<QString> raw = pasteboard_.string();
    if (!raw) return;
    const QString text = raw->trimmed();
    if (text.isEmpty() || plaintext::characterCount(text, kMaximumCharacters) > kMaximumCharacters) return;
    if (!entries_.isEmpty() && plaintext::canonicallyEqual(entries_.first().text, text)) return;
    insertNewest(text);
}

QList<ClipboardEntry> ClipboardStore::filteredEntries() const {
    QList<ClipboardEntry> sorted = entries_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const ClipboardEntry& a, const ClipboardEntry& b) {
        if (a.isPinned != b.isPinned) return a.isPinned;
        return a.createdAt > b.createdAt;
    });
    if (searchText_.isEmpty()) return sorted;
    sorted.removeIf(
        [&](const ClipboardEntry& e) { return !e.text.contains(searchText_, Qt::CaseInsensitive); });
    return sorted;
}

void ClipboardStore::togglePin(const ClipboardEntry& entry) {
    const auto it =
        std::find_if(entries_.cbegin(), entries_.cend(), [&](const auto& e) { return e.id == entry.id; });
    if (it == entries_.cend()) return;
    const qsizetype index = it - entries_.cbegin();
    QList<ClipboardEntry> changed = entries_;
    changed[index].isPinned = !changed[index].isPinned;
    setEntries(std::move(changed));
    persist();
}

void ClipboardStore::clearUnpinned() {
    QList<ClipboardEntry> kept = entries_;
    kept.removeIf([](const ClipboardEntry& e) { return !e.isPinned; });
    setEntries(std::move(kept));
    persistDeletion();
}

void ClipboardStore::copy(const ClipboardEntry& entry) {
    writeToPasteboard(entry.text);
    if (playControlsHaptic_) playControlsHaptic_();
}

void ClipboardStore::deleteEntry(const ClipboardEntry& entry) {
    QList<ClipboardEntry> kept = entries_;
    kept.removeIf([&](const ClipboardEntry& e) { return e.id == entry.id; });
    setEntries(std::move(kept));
    persistDeletion();
}

void ClipboardStore::copyTransformed(const ClipboardEntry& entry, ClipboardTransform transform) {
    const QString result = transformedClipboardText(transform, entry.text);
    writeToPasteboard(result);
    if (playControlsHaptic_) playControlsHaptic_();
    if (plaintext::canonicallyEqual(result, entry.text)) return;
    for (const ClipboardEntry& e : entries_)
        if (plaintext::canonicallyEqual(e.text, result)) return;
    insertNewest(result);
}

void ClipboardStore::writeToPasteboard(const QString& text) {
    pasteboard_.writeString(text);
    // Our own write must not come back as a capture at the next poll.
    lastChangeCount_ = pasteboard_.changeCount();
}

void ClipboardStore::setEntries(QList<ClipboardEntry> entries) {
    entries_ = std::move(entries);
    Q_EMIT entriesChanged();
}

void ClipboardStore::insertNewest(const QString& text) {
    entries_.prepend(ClipboardEntry{QUuid::createUuid(), text, clock_.now(), false});
    trimAndSave();
}

void ClipboardStore::trimAndSave() {
    QList<ClipboardEntry> pinned;
    QList<ClipboardEntry> unpinned;
    for (const ClipboardEntry& e : std::as_const(entries_)) (e.isPinned ? pinned : unpinned).append(e);
    const qsizetype room = std::max<qsizetype>(0, kLimit - pinned.size());
    if (unpinned.size() > room) unpinned.resize(room);
    pinned.append(unpinned);
    setEntries(std::move(pinned));
    persist();
}

QList<ClipboardEntry> ClipboardStore::ordered(QList<ClipboardEntry> entries) {
    QList<ClipboardEntry> pinned;
    QList<ClipboardEntry> unpinned;
    for (ClipboardEntry& e : entries) (e.isPinned ? pinned : unpinned).append(std::move(e));
    std::stable_sort(unpinned.begin(), unpinned.end(), [](const ClipboardEntry& a, const ClipboardEntry& b) {
        return a.createdAt > b.createdAt;
    });
    const qsizetype room = std::max<qsizetype>(0, kLimit - pinned.size());
    if (unpinned.size() > room) unpinned.resize(room);
    pinned.append(unpinned);
    return pinned;
}

ClipboardStore::~ClipboardStore() {
    stop();
    quitting_ = true;
    journalFlush_.cancel();
    // Appends still on the queue finish first; their answers go with this object.
    writeQueue_->sync([] {});
    disconnect(file_.get(), nullptr, this, nullptr);
    FileManager& files = *persistence_.store().fileManager;
    if (journalBytes_ == 0 && appending_ == 0 && pendingJournal_.isEmpty()) {
        // What the queue or a timer still held is written here, where nothing else touches the file.
        file_->flush();
        return;
    }
    // The journal is folded into the file as the store goes, so the next start reads one file.
    if (file_->saveNow() == SaveOutcome::written) {
        try {
            if (files.fileExists(journalPath())) files.removeItem(journalPath());
        } catch (...) {
            // Left in place: read again over the file at the next start, it changes nothing.
        }
        return;
    }
    if (pendingJournal_.isEmpty() || !journalUsable_) return;
    try {
        files.appendPrivateData(pendingJournal_, journalPath());
    } catch (...) {
        // The recovery file the failed write left holds the whole history.
    }
}

bool ClipboardStore::persist() {
    QByteArray lines = ClipboardJournal::changes(recorded_, entries_);
    recorded_ = entries_;
    if (lines.isEmpty()) return false; // nothing changed: nothing is written
    ++changeCount_;
    // While the file waits for a write, or refused one, the change goes to it too: a refused file
    // is tried again with every change, as it is told.
    if (!journalUsable_ || file_->unsaved()) file_->changed();
    if (!journalUsable_) return true;
    pendingJournal_ += lines;
    // Within a second of the change, however many follow: a kill loses at most that second.
    if (!journalFlush_.isActive())
        journalFlush_ = ScheduledTask(
            scheduler_, scheduler_.schedule(Seconds(kJournalDelay), [this] { appendJournal(); }));
    return true;
}

// What the user deleted leaves the file and the journal with the next write of the whole history,
// not hundreds of copies later: a copied password, once deleted, does not wait on the disk.
void ClipboardStore::persistDeletion() {
    if (persist()) file_->changed();
}

void ClipboardStore::appendJournal() {
    journalFlush_.cancel();
    // One append at a time: the running one sends the rest.
    if (appending_ > 0 || pendingJournal_.isEmpty()) return;
    sendToJournal(std::exchange(pendingJournal_, {}));
}

// The queue runs one piece of work at a time, in order: an append lands after those handed to it
// before, and before the file's writes handed to it after.
void ClipboardStore::sendToJournal(QByteArray bytes) {
    ++appending_;
    writeQueue_->async([this, store = persistence_.store(), path = journalPath(), bytes,
                        ticket = journalTicket_] {
        std::exception_ptr failure;
        try {
            store.fileManager->createDirectory(store.directory);
            store.fileManager->appendPrivateData(bytes, path);
        } catch (...) {
            failure = std::current_exception();
        }
        // Dropped, with the store, when the store is gone meanwhile (it waits for the queue as it goes).
        QMetaObject::invokeMethod(
            this, [this, failure, size = bytes.size(), ticket] { journalAppended(failure, size, ticket); },
            Qt::QueuedConnection);
    });
}

void ClipboardStore::journalAppended(std::exception_ptr failure, qint64 bytes, quint64 ticket) {
    --appending_;
    if (failure) {
        persistence_.report({PersistenceFailure::Kind::write, ClipboardJournal::fileName(), failure});
        // The whole history goes to the file instead, with its tries again and its recovery file.
        journalUsable_ = false;
        pendingJournal_.clear();
        file_->changed();
        return;
    }
    if (ticket == journalTicket_) journalBytes_ += bytes;
    if (!pendingJournal_.isEmpty()) {
        appendJournal();
        return;
    }
    // The first change of a run is written whole too, so a file that refuses is told while the
    // user is there, not at quit. A write already asked for folds the journal as it stands.
    if (!foldAsked_ ||
        (journalBytes_ >= std::max(kSmallestFold, kFoldRatio * fileBytes_) && !file_->unsaved())) {
        foldAsked_ = true;
        file_->changed();
    }
}

void ClipboardStore::foldFinished() {
    fileBytes_ = persistence_.store().fileManager->fileSize(persistence_.store().url(fileName())).value_or(0);
    // A change made since the history was taken for the file still needs its journal; that
    // change asked for another write of the whole history, which lets the journal go.
    if (foldedCount_ != changeCount_) return;
    // A journal that could not be read at start is left as it is for the run.
    journalUsable_ = !journalUnreadable_;
    journalFlush_.cancel();
    pendingJournal_.clear();
    if (journalBytes_ > 0 || appending_ > 0) dropJournal();
}

void ClipboardStore::dropJournal() {
    journalBytes_ = 0;
    ++journalTicket_;
    writeQueue_->async([store = persistence_.store(), path = journalPath()] {
        try {
            if (store.fileManager->fileExists(path)) store.fileManager->removeItem(path);
        } catch (...) {
            // Left in place: read again over the file at the next start, it changes nothing.
        }
    });
}

} // namespace vantrel
