#include "modules/NotesStore.h"

#include "core/JsonCoding.h"
#include "core/LocalPersistence.h"
#include "core/PlainText.h"
#include "core/QAObserver.h"
#include "platform/FileManager.h"
#include "platform/SetIfChanged.h"

#include <QJsonObject>
#include <QPointer>
#include <QStringTokenizer>
#include <QUuid>
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
      clock_(clock), scheduler_(scheduler),
      file_(persistence_, &scheduler_, storageName_,
            [this] {
                return [document = NotesDocument{NotesDocument::kCurrentSchemaVersion, folders_, notes_}] {
                    return QJsonValue(document.toJson());
                };
            },
            {kSaveDelay, kLongestSaveDeferral, kRetryInterval}) {
    file_.keepCopies({QStringLiteral("previous"), kPreviousCopiesKept});
    connect(&file_, &StoreFile::unsavedChanged, this, &NotesStore::unsavedChanged);
    connect(&file_, &StoreFile::stateChanged, this, &NotesStore::saveStateChanged);
    connect(&file_, &StoreFile::stateChanged, this,
            [this] { setIfChanged(this, saveFailed_, saveFailed(), &NotesStore::saveFailedChanged); });
    connect(&file_, &StoreFile::saveFinished, this, &NotesStore::saveFinished);
    Loaded loaded = loadDocument();
    file_.loaded();
    notes_ = loaded.document.notes;
    // The first note lives only in memory until the first change saves it.
    if (notes_.isEmpty()) notes_.append(makeNote(VantrelNote::quickNoteTitle(), std::nullopt, 0));
    folders_ = loaded.document.folders;
    selectedID_ = notes_.first().id;
    recoveryMessage_ = loaded.message;
    // Notes taken back from an earlier session's recovery files go to the file at once.
    if (loaded.migrated || !persistence_.takenBack(storageName_).isEmpty()) file_.saveNow();
}

std::optional<NotesDocument> NotesStore::takeBack(const QJsonValue& held,
                                                  std::optional<WallTime> heldWritten) const {
    const auto notesOf = [](const QJsonValue& document) {
        return document.isArray() ? document : document.toObject().value(QStringLiteral("notes"));
    };
    // A note changed on both sides is kept twice: the older text as a note of its own.
    const auto recoveredNote = [](const QJsonObject& note) {
        QJsonObject own = note;
        own[QStringLiteral("id")] = encodeUuid(QUuid::createUuid());
        own[QStringLiteral("title")] =
            note.value(QStringLiteral("title")).toString() + QStringLiteral(" (recovered)");
        return QJsonValue(own);
    };
    const auto merge = [&](const QJsonValue& kept, const QJsonValue& recovered) {
        QJsonObject merged = kept.isObject() ? kept.toObject() : recovered.toObject();
        merged[QStringLiteral("schemaVersion")] = static_cast<qint64>(NotesDocument::kCurrentSchemaVersion);
        merged[QStringLiteral("notes")] =
            LocalPersistence::mergeItems(notesOf(kept), notesOf(recovered), recoveredNote);
        // A folder is a name: the newer one stands for both.
        merged[QStringLiteral("folders")] =
            LocalPersistence::mergeItems(kept.toObject().value(QStringLiteral("folders")),
                                         recovered.toObject().value(QStringLiteral("folders")),
                                         [](const QJsonObject&) { return QJsonValue(); });
        return QJsonValue(merged);
    };
    const WallTime now = clock_.now();
    std::optional<NotesDocument> document;
    persistence_.takeBackRecoveries(storageName_, held, heldWritten, merge, [&](const QJsonValue& taken) {
        try {
            document = NotesDocument::fromJson(taken, now);
            return true;
        } catch (const std::exception&) {
        }
        // A recovery file an older version wrote holds the notes alone.
        try {
            NotesDocument legacy;
            legacy.notes = NotesDocument::legacyNotesFromJson(taken, now);
            document = std::move(legacy);
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
    // Read once; the notes tell the user themselves, so the load goes around the persistence log.
    QByteArray bytes;
    const LoadOutcome<QJsonValue> json = persistence_.store().loadJson(storageName_, &bytes);
    auto outcome = LocalPersistence::Store::decodeWith(storageName_, json, [now](const QJsonValue& value) {
        try {
            return Decoded{NotesDocument::fromJson(value, now), false};
        } catch (const std::exception&) {
        }
        NotesDocument legacy;
        legacy.notes = NotesDocument::legacyNotesFromJson(value, now);
        return Decoded{std::move(legacy), true};
    });

    Loaded loaded;
    if (const PersistenceFailure* failure = outcome.failure()) {
        if (failure->kind == PersistenceFailure::Kind::unreadable) {
            loaded.message = unreadableMessage();
            observer_.record(kPersistenceCategory, QStringLiteral("notes recovery: read failed"));
            persistence_.explainUnreadable(*failure);
            // Replaced only once a copy of it exists; the notes go beside it until then.
            persistence_.protect(storageName_, true);
        } else {
            // Left in place until the first save, the same damaged file is met at every launch:
            // one copy of it is enough.
            const QString path = filePath();
            const bool copied = persistence_.matchesNewestCopy(path, QStringLiteral("corrupt"), &bytes) ||
                                persistence_.backup(path, QStringLiteral("corrupt")).has_value();
            loaded.message = copied ? malformedBackedUpMessage() : malformedMessage();
            if (!copied) persistence_.protect(storageName_, true);
            observer_.record(kPersistenceCategory, QStringLiteral("notes recovery: malformed document"));
        }
    } else if (Decoded* decoded = outcome.value()) {
        loaded.document = std::move(decoded->document);
        if (decoded->legacy) {
            loaded.migrated = true;
            loaded.message = migratedMessage();
        } else {
            loaded.migrated = loaded.document.schemaVersion != NotesDocument::kCurrentSchemaVersion;
        }
    }
    if (persistence_.hasRecoveries(storageName_)) {
        const bool held = outcome.isLoaded();
        if (std::optional<NotesDocument> taken =
                takeBack(held ? *json.value() : QJsonValue(),
                         held ? persistence_.modified(storageName_) : std::nullopt)) {
            loaded.document = std::move(*taken);
            if (loaded.message == migratedMessage()) loaded.message.reset();
        }
    }
    return loaded;
}

// Published state.

void NotesStore::setNotes(QList<VantrelNote> notes) {
    notes_ = std::move(notes);
    Q_EMIT notesChanged();
    file_.changed();
}

void NotesStore::setFolders(QList<VantrelNoteFolder> folders) {
    folders_ = std::move(folders);
    Q_EMIT foldersChanged();
    file_.changed();
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

void NotesStore::setRecoveryMessage(std::optional<QString> message) {
    setIfChanged(this, recoveryMessage_, std::move(message), &NotesStore::recoveryMessageChanged);
}

// Saving.

QString NotesStore::filePath() const {
    return persistence_.store().url(storageName_);
}

void NotesStore::saveNow() {
    file_.saveNow();
}

void NotesStore::saveFinished(SaveOutcome outcome) {
    switch (outcome) {
    case SaveOutcome::written:
        break;
    case SaveOutcome::heldBack:
        // Beside a file that could not be used: the message says where the notes are.
        if (const std::optional<QString> recovery = persistence_.recoveryFile(storageName_))
            setRecoveryMessage(recoveredMessage(persistence_.store().url(*recovery)));
        break;
    case SaveOutcome::rescued:
    case SaveOutcome::lost:
        observer_.record(kPersistenceCategory, QStringLiteral("notes save failed"));
        setRecoveryMessage(saveFailedMessage());
        break;
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
    file_.changed();
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
