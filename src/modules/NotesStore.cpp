#include "modules/NotesStore.h"

#include "core/JsonCoding.h"
#include "core/LocalPersistence.h"
#include "core/PlainText.h"
#include "core/QAObserver.h"
#include "platform/FileManager.h"
#include "platform/SetIfChanged.h"

#include <QPointer>
#include <QStringTokenizer>
#include <algorithm>
#include <limits>

namespace vantrel {

namespace {

const QString kPersistenceCategory = QStringLiteral("persistence");

// Whether `note` is among the visible notes of `folder` that match `query` (trimmed, lower case).
bool isVisible(const VantrelNote& note, const std::optional<QUuid>& folder, const QString& query) {
    if (folder && note.folderID != folder) return false;
    return query.isEmpty() || note.title.toLower().contains(query) || note.body.toLower().contains(query);
}

// The visible notes' order, before the notes' own: pinned first, then by order, the latest first.
bool listsBefore(const VantrelNote& a, const VantrelNote& b) {
    if (a.isPinned != b.isPinned) return a.isPinned;
    if (a.order != b.order) return a.order < b.order;
    return a.modifiedAt > b.modifiedAt;
}

} // namespace

QString NotesStore::unreadableMessage() {
    return QStringLiteral("Vantrel could not open the notes file. Your existing file was left untouched.");
}
QString NotesStore::recoveredMessage(const QString& path) {
    return QStringLiteral("Vantrel could not open the notes file. Your existing file was left untouched; "
                          "your notes are saved in %1.")
        .arg(path);
}
QString NotesStore::migratedMessage() {
    return QStringLiteral("Your notes were safely updated to the new local format.");
}
QString NotesStore::malformedBackedUpMessage() {
    return QStringLiteral(
        "Vantrel could not read the notes file. A backup was saved before a new notes space was created.");
}
QString NotesStore::malformedMessage() {
    return QStringLiteral("Vantrel could not read the notes file. A new empty notes space was created.");
}
QString NotesStore::saveFailedMessage() {
    return QStringLiteral("Vantrel could not save your notes. Your changes are still here and will be saved "
                          "again with your next change.");
}

NotesStore::NotesStore(QString storageName, LocalPersistence& persistence, QAObserver& observer,
                       const Clock& clock, Scheduler& scheduler, QObject* parent)
    : QObject(parent), storageName_(std::move(storageName)), persistence_(persistence), observer_(observer),
      clock_(clock), scheduler_(scheduler) {
    Loaded loaded = loadDocument();
    notes_ = loaded.document.notes;
    // The first note lives only in memory until the first change saves it.
    if (notes_.isEmpty()) notes_.append(makeNote(VantrelNote::quickNoteTitle(), std::nullopt, 0));
    folders_ = loaded.document.folders;
    selectedID_ = notes_.first().id;
    recoveryMessage_ = loaded.message;
    fileNeedsCopyBeforeReplacing_ = loaded.fileNeedsCopyBeforeReplacing;
    // Notes taken back from an earlier session's recovery files go to the file at once.
    if (loaded.migrated || !persistence_.takenBack(storageName_).isEmpty()) persistNow();
}

std::optional<NotesDocument> NotesStore::takeBack(const QJsonValue& held) const {
    const auto notesOf = [](const QJsonValue& document) {
        return document.isArray() ? document : document.toObject().value(QStringLiteral("notes"));
    };
    const auto merge = [&](const QJsonValue& kept, const QJsonValue& recovered) {
        QJsonObject merged = recovered.toObject();
        merged[QStringLiteral("schemaVersion")] = static_cast<qint64>(NotesDocument::kCurrentSchemaVersion);
        merged[QStringLiteral("notes")] =
            LocalPersistence::mergeItems(notesOf(kept), notesOf(recovered), QStringLiteral("modifiedAt"));
        merged[QStringLiteral("folders")] =
            LocalPersistence::mergeItems(kept.toObject().value(QStringLiteral("folders")),
                                         recovered.toObject().value(QStringLiteral("folders")));
        return QJsonValue(merged);
    };
    const WallTime now = clock_.now();
    std::optional<NotesDocument> document;
    persistence_.takeBackRecoveries(storageName_, held, merge, [&](const QJsonValue& merged) {
        try {
            document = NotesDocument::fromJson(merged, now);
            return true;
        } catch (const std::exception&) {
            return false;
        }
    });
    return document;
}

NotesStore::Loaded NotesStore::loadDocument() {
    const WallTime now = clock_.now();
    struct Decoded {
        NotesDocument document;
        bool legacy = false;
    };
    // The notes tell the user themselves, so the load goes around the persistence log.
    auto outcome = persistence_.store().load(storageName_, [now](const QJsonValue& json) {
        try {
            return Decoded{NotesDocument::fromJson(json, now), false};
        } catch (const std::exception&) {
        }
        NotesDocument legacy;
        legacy.notes = NotesDocument::legacyNotesFromJson(json, now);
        return Decoded{std::move(legacy), true};
    });

    Loaded loaded;
    if (persistence_.hasRecoveries(storageName_)) {
        // Read again as JSON only when there is something to merge it with (rare).
        const LoadOutcome<QJsonValue> held = persistence_.store().loadJson(storageName_);
        if (std::optional<NotesDocument> taken = takeBack(held.value() ? *held.value() : QJsonValue()))
            loaded.document = std::move(*taken);
    }
    if (outcome.isMissing()) return loaded;
    if (const PersistenceFailure* failure = outcome.failure()) {
        if (failure->kind == PersistenceFailure::Kind::unreadable) {
            loaded.message = unreadableMessage();
            loaded.fileNeedsCopyBeforeReplacing = true;
            observer_.record(kPersistenceCategory, QStringLiteral("notes recovery: read failed"));
            persistence_.explainUnreadable(*failure);
        } else {
            // Left in place until the first save, the same damaged file is met at every launch:
            // one copy of it is enough.
            const QString path = filePath();
            const bool copied = fileMatchesNewestCopy(path, QStringLiteral("corrupt")) ||
                                persistence_.backup(path, QStringLiteral("corrupt")).has_value();
            loaded.message = copied ? malformedBackedUpMessage() : malformedMessage();
            loaded.fileNeedsCopyBeforeReplacing = !copied;
            observer_.record(kPersistenceCategory, QStringLiteral("notes recovery: malformed document"));
        }
        return loaded;
    }
    Decoded& decoded = *outcome.value();
    if (!persistence_.takenBack(storageName_).isEmpty()) return loaded;
    loaded.document = std::move(decoded.document);
    if (decoded.legacy) {
        loaded.migrated = true;
        loaded.message = migratedMessage();
    } else {
        loaded.migrated = loaded.document.schemaVersion != NotesDocument::kCurrentSchemaVersion;
    }
    return loaded;
}

// Published state.

void NotesStore::setNotes(QList<VantrelNote> notes) {
    notes_ = std::move(notes);
    Q_EMIT notesChanged();
    scheduleSave();
}

void NotesStore::setFolders(QList<VantrelNoteFolder> folders) {
    folders_ = std::move(folders);
    Q_EMIT foldersChanged();
    scheduleSave();
}

void NotesStore::setSelectedID(std::optional<QUuid> id) {
    setIfChanged(this, selectedID_, id, &NotesStore::selectedIDChanged);
}

void NotesStore::setSelectedFolderID(std::optional<QUuid> id) {
    setIfChanged(this, selectedFolderID_, id, &NotesStore::selectedFolderIDChanged);
}

void NotesStore::setSearchQuery(const QString& query) {
    setIfChanged(this, searchQuery_, query, &NotesStore::searchQueryChanged);
}

void NotesStore::setSaveFailed(bool failed) {
    setIfChanged(this, saveFailed_, failed, &NotesStore::saveFailedChanged);
}

void NotesStore::setUnsaved(bool unsaved) {
    if (unsaved_ == unsaved) return;
    unsaved_ = unsaved;
    Q_EMIT unsavedChanged(unsaved);
}

void NotesStore::retryLater() {
    setUnsaved(true);
    QPointer<NotesStore> self(this);
    // The present notes, not the ones that failed: a change meanwhile has its own save pending.
    retry_ = ScheduledTask(scheduler_, scheduler_.schedule(Seconds(kRetryInterval), [self] {
        if (self && !self->pendingSave_.isActive()) self->persistNow();
    }));
}

void NotesStore::setRecoveryMessage(std::optional<QString> message) {
    setIfChanged(this, recoveryMessage_, std::move(message), &NotesStore::recoveryMessageChanged);
}

// Saving.

QString NotesStore::filePath() const {
    return persistence_.store().url(storageName_);
}

void NotesStore::scheduleSave() {
    pendingSave_.cancel();
    setUnsaved(true);
    NotesDocument snapshot{NotesDocument::kCurrentSchemaVersion, folders_, notes_};
    const MonoTime now = clock_.monotonicNow();
    if (!firstUnsavedChange_) firstUnsavedChange_ = now;
    const double deferredSoFar = secondsBetween(*firstUnsavedChange_, now);
    const double delay = std::clamp(kLongestSaveDeferral - deferredSoFar, 0.0, kSaveDelay);
    QPointer<NotesStore> self(this);
    pendingSave_ = ScheduledTask(scheduler_, scheduler_.schedule(Seconds(delay), [self, snapshot] {
        if (self) self->write(snapshot);
    }));
}

void NotesStore::saveNow() {
    pendingSave_.cancel();
    persistNow();
}

void NotesStore::persistNow() {
    write(NotesDocument{NotesDocument::kCurrentSchemaVersion, folders_, notes_});
}

void NotesStore::write(const NotesDocument& document) {
    firstUnsavedChange_.reset();
    retry_.cancel();
    const QString path = filePath();
    bool copyAside = true;
    if (fileNeedsCopyBeforeReplacing_) {
        // A file we could not use may still hold the user's notes: replace it only once a copy of
        // it exists. Until then the edits stay in memory and the file stays as the message says.
        if (persistence_.store().fileManager->fileExists(path)) {
            if (!persistence_.backup(path, QStringLiteral("previous"))) {
                // Nor is anything lost meanwhile: the notes go to a file of their own beside it.
                const auto recovery = persistence_.saveRecovery(
                    storageName_, [&document] { return QJsonValue(document.toJson()); });
                if (recovery) setRecoveryMessage(recoveredMessage(persistence_.store().url(*recovery)));
                setSaveFailed(!recovery);
                // Safe where it went: the next change tries the file again.
                setUnsaved(true);
                if (!recovery) retryLater();
                return;
            }
            copyAside = false;
        }
        fileNeedsCopyBeforeReplacing_ = false;
    }
    if (copyAside && fileMatchesNewestCopy(path, QStringLiteral("previous"))) copyAside = false;
    try {
        persistence_.saveOrThrow(document, storageName_, copyAside,
                                 [](const NotesDocument& d) { return d.toJson(); });
    } catch (const PersistenceError& error) {
        observer_.record(kPersistenceCategory, QStringLiteral("notes save failed"));
        setRecoveryMessage(saveFailedMessage());
        // Told in the window, and the notes kept where they can be written meanwhile.
        persistence_.saveFailed(error.failure(), [&document] { return QJsonValue(document.toJson()); });
        setSaveFailed(true);
        retryLater();
        return;
    }
    setSaveFailed(false);
    if (!pendingSave_.isActive()) setUnsaved(false);
    persistence_.pruneBackups(path, QStringLiteral("previous"), kPreviousCopiesKept);
}

bool NotesStore::fileMatchesNewestCopy(const QString& path, const QString& reason) const {
    const std::optional<QString> newest = persistence_.newestBackup(path, reason);
    if (!newest) return false;
    FileManager& files = *persistence_.store().fileManager;
    const std::optional<qint64> size = files.fileSize(path);
    if (!size || files.fileSize(*newest) != size) return false;
    try {
        return files.readData(path, LocalPersistence::Store::kReadLimit) ==
               files.readData(*newest, LocalPersistence::Store::kReadLimit);
    } catch (...) {
        // Not known to be the same: copied as before.
        return false;
    }
}

// Editing.

std::optional<qsizetype> NotesStore::selectedIndex() const {
    if (!selectedID_) return std::nullopt;
    for (qsizetype i = 0; i < notes_.size(); ++i)
        if (notes_[i].id == *selectedID_) return i;
    return std::nullopt;
}

QList<VantrelNote> NotesStore::visibleNotes() const {
    const QString query = searchQuery_.trimmed().toLower();
    QList<VantrelNote> visible;
    for (const VantrelNote& note : notes_)
        if (isVisible(note, selectedFolderID_, query)) visible.append(note);
    std::stable_sort(visible.begin(), visible.end(), listsBefore);
    return visible;
}

VantrelNote NotesStore::makeNote(const QString& title, std::optional<QUuid> folderID,
                                 std::int64_t order) const {
    VantrelNote note;
    note.id = QUuid::createUuid();
    note.title = title;
    note.modifiedAt = clock_.now();
    note.folderID = folderID;
    note.order = order;
    return note;
}

std::int64_t NotesStore::nextOrder(const std::optional<QUuid>& folderID) const {
    std::optional<std::int64_t> highest;
    for (const VantrelNote& note : notes_)
        if (note.folderID == folderID && (!highest || note.order > *highest)) highest = note.order;
    if (!highest) return 0;
    // An order at the very top of the range stays there rather than wrapping to the bottom.
    return *highest == std::numeric_limits<std::int64_t>::max() ? *highest : *highest + 1;
}

void NotesStore::add(std::optional<QUuid> folderID) {
    const std::optional<QUuid> folder = folderID ? folderID : selectedFolderID_;
    const VantrelNote note = makeNote(VantrelNote::newNoteTitle(), folder, nextOrder(folder));
    QList<VantrelNote> changed = notes_;
    changed.prepend(note);
    setNotes(std::move(changed));
    setSelectedID(note.id);
}

template <typename Change> bool NotesStore::changeSelected(Change&& change) {
    const std::optional<qsizetype> index = selectedIndex();
    if (!index) return false;
    QList<VantrelNote> changed = notes_;
    change(changed[*index]);
    setNotes(std::move(changed));
    return true;
}

void NotesStore::touchSelected() {
    const WallTime now = clock_.now();
    changeSelected([now](VantrelNote& note) { note.modifiedAt = now; });
}

QString NotesStore::titleFromBody(const QString& body) {
    // Runs on every key typed, however long the note: only the first line with more than blanks
    // on it is read, and of that only as far as the title's characters reach.
    for (const QStringView line : qTokenize(body, u'\n', Qt::SkipEmptyParts)) {
        // A line of tabs and spaces alone names nothing: the title would read as blank.
        if (std::ranges::all_of(line, plaintext::isBlank)) continue;
        // The boundaries of the characters before a cut are those of the whole line: a title that
        // ends before the cut is the whole line's.
        for (qsizetype reach = 4 * kTitleLength;; reach *= 2) {
            const QString part = line.left(reach).toString();
            const QString title = plaintext::characterPrefix(part, kTitleLength);
            if (title.size() < part.size() || reach >= line.size()) return title;
        }
    }
    return VantrelNote::quickNoteTitle();
}

bool NotesStore::updateSelected(const QString& body) {
    const std::optional<qsizetype> index = selectedIndex();
    if (!index) return false;
    const VantrelNote before = notes_[*index];
    // A title still made from the first line goes on following it while the note is typed, one
    // keystroke at a time; only a title that no longer matches the first line is the user's own.
    const bool titleFollowsBody = before.hasDefaultTitle() || before.title == titleFromBody(before.body);
    VantrelNote& note = notes_[*index];
    note.body = body;
    note.modifiedAt = clock_.now();
    if (titleFollowsBody) note.title = titleFromBody(body);
    const QUuid id = note.id;
    if (keepsVisibleOrder(before, *index))
        Q_EMIT noteEdited(id);
    else
        Q_EMIT notesChanged();
    scheduleSave();
    return true;
}

bool NotesStore::keepsVisibleOrder(const VantrelNote& before, qsizetype index) const {
    const VantrelNote& after = notes_[index];
    const QString query = searchQuery_.trimmed().toLower();
    const bool shown = isVisible(after, selectedFolderID_, query);
    if (shown != isVisible(before, selectedFolderID_, query)) return false;
    if (!shown || before.modifiedAt == after.modifiedAt) return true;
    // Only the time moved: the note can pass those of its pin and order alone, ties keeping the
    // notes' own order.
    for (qsizetype i = 0; i < notes_.size(); ++i) {
        const VantrelNote& other = notes_[i];
        if (i == index || other.isPinned != after.isPinned || other.order != after.order) continue;
        const auto ahead = [&](const VantrelNote& note) {
            return listsBefore(other, note) || (!listsBefore(note, other) && i < index);
        };
        if (ahead(before) != ahead(after) && isVisible(other, selectedFolderID_, query)) return false;
    }
    return true;
}

void NotesStore::setPinned(std::optional<bool> pinned) {
    if (!changeSelected([&](VantrelNote& note) { note.isPinned = pinned.value_or(!note.isPinned); })) return;
    touchSelected();
}

void NotesStore::cleanUpSelected() {
    const std::optional<qsizetype> index = selectedIndex();
    if (!index) return;
    QStringList lines = plaintext::splitLines(notes_[*index].body);
    for (QString& line : lines) line = plaintext::collapseWhitespace(plaintext::trimBlanks(line));
    QString body = lines.join(QLatin1Char('\n'));
    // One pass: the replaced text is not looked at again, so four line feeds become three.
    body.replace(QStringLiteral("\n\n\n"), QStringLiteral("\n\n"));
    updateSelected(body);
}

void NotesStore::makeBulletList() {
    const std::optional<qsizetype> index = selectedIndex();
    if (!index) return;
    static const QString bullet = QStringLiteral("\u2022 ");
    QStringList bullets;
    for (const QString& line : plaintext::splitLines(notes_[*index].body)) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty()) continue;
        bullets.append(trimmed.startsWith(bullet) ? trimmed : bullet + trimmed);
    }
    updateSelected(bullets.join(QLatin1Char('\n')));
}

void NotesStore::addChecklistItem(const QString& text) {
    const VantrelChecklistItem item{QUuid::createUuid(), text, false};
    if (!changeSelected([&](VantrelNote& note) { note.checklist.append(item); })) return;
    touchSelected();
}

void NotesStore::toggleChecklistItem(const QUuid& id) {
    const std::optional<qsizetype> index = selectedIndex();
    if (!index) return;
    const QList<VantrelChecklistItem>& checklist = notes_[*index].checklist;
    const auto it =
        std::find_if(checklist.begin(), checklist.end(), [&](const auto& item) { return item.id == id; });
    if (it == checklist.end()) return;
    const qsizetype position = it - checklist.begin();
    changeSelected([&](VantrelNote& note) {
        note.checklist[position].isComplete = !note.checklist[position].isComplete;
    });
    touchSelected();
}

void NotesStore::deleteSelected() {
    if (!selectedID_) return;
    const QUuid removed = *selectedID_;
    QList<VantrelNote> kept = notes_;
    kept.removeIf([&](const VantrelNote& note) { return note.id == removed; });
    setNotes(std::move(kept));
    if (notes_.isEmpty()) setNotes({makeNote(VantrelNote::quickNoteTitle(), std::nullopt, 0)});
    setSelectedID(notes_.first().id);
}

} // namespace vantrel
