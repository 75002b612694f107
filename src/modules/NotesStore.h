#pragma once

#include "core/StoreFile.h"
#include "modules/NotesDocument.h"
#include "platform/Scheduler.h"

#include <QObject>
#include <optional>

namespace vantrel {

class LocalPersistence;
class QAObserver;

// The user's notes, folders and checklists, kept in one document file. Every change to the notes
// or folders is written 0.35 seconds after the last one of a burst, each write first copying the
// present file aside unless its newest copy holds the same; `saveNow()` writes at once when the
// application stops. The file is read once at start.
class NotesStore final : public QObject {
    Q_OBJECT
public:
    static constexpr double kSaveDelay = 0.35;
    // Typing without a pause would otherwise hold the save back for as long as it goes on.
    static constexpr double kLongestSaveDeferral = 1.0;
    // The "previous" copies kept beside the file; older ones are removed, "corrupt" ones never.
    static constexpr int kPreviousCopiesKept = 20;
    static constexpr qsizetype kTitleLength = 42;
    // Seconds between tries while the notes cannot be written to their file.
    static constexpr double kRetryInterval = 30;

    static QString unreadableMessage();
    // While the file stays unreadable, where the notes are written instead.
    static QString recoveredMessage(const QString& path);
    static QString migratedMessage();
    static QString malformedBackedUpMessage();
    static QString malformedMessage();
    static QString saveFailedMessage();

    NotesStore(QString storageName, LocalPersistence& persistence, QAObserver& observer, const Clock& clock,
               Scheduler& scheduler, QObject* parent = nullptr);

    const QList<VantrelNote>& notes() const { return notes_; }
    void setNotes(QList<VantrelNote> notes);
    const QList<VantrelNoteFolder>& folders() const { return folders_; }
    void setFolders(QList<VantrelNoteFolder> folders);
    const std::optional<QUuid>& selectedID() const { return selectedID_; }
    void setSelectedID(std::optional<QUuid> id);
    const std::optional<QUuid>& selectedFolderID() const { return selectedFolderID_; }
    void setSelectedFolderID(std::optional<QUuid> id);
    const QString& searchQuery() const { return searchQuery_; }
    void setSearchQuery(const QString& query);
    const std::optional<QString>& recoveryMessage() const { return recoveryMessage_; }
    void setRecoveryMessage(std::optional<QString> message);

    // Whether the last save failed to write the notes where the next start reads them (a save to
    // the recovery file of a file that could not be read counts as written).
    bool saveFailed() const { return file_.state().kind == SaveState::Kind::failed; }
    // Whether the notes are not (yet) all in their file: a change waiting for its save, or a save
    // that failed or could only go to the recovery file.
    bool unsaved() const { return file_.unsaved(); }
    // Whether the notes are in their file: what views say of it.
    const SaveState& saveState() const { return file_.state(); }
    // The data file's name, "notes.json".
    const QString& storageName() const { return storageName_; }

    // Cancels the pending save and writes the present state at once.
    void saveNow();
    bool hasPendingSave() const { return file_.isWaiting(); }

    // Editing.
    std::optional<qsizetype> selectedIndex() const;
    QList<VantrelNote> visibleNotes() const;
    void add(std::optional<QUuid> folderID = std::nullopt);
    // Gives the selected note `body`, its title following the first line while it has not been
    // named otherwise; false, and nothing changes, without a selected note.
    bool updateSelected(const QString& body);
    // None toggles.
    void setPinned(std::optional<bool> pinned = std::nullopt);
    void cleanUpSelected();
    void makeBulletList();
    void addChecklistItem(const QString& text);
    void toggleChecklistItem(const QUuid& id);
    void deleteSelected();

Q_SIGNALS:
    // The notes as a list changed: one came or went, or a change may have moved one in the
    // visible notes' order or taken it in or out of them. Every change to the notes fires this
    // or noteEdited, never both.
    void notesChanged();
    // Only the body of note `id` changed, with its title and time: the visible notes are the same
    // notes in the same order. Typing fires this, so that views redraw the one note rather than
    // every one.
    void noteEdited(const QUuid& id);
    void foldersChanged();
    void selectedIDChanged();
    void selectedFolderIDChanged();
    void searchQueryChanged();
    void recoveryMessageChanged();
    void saveFailedChanged();
    void unsavedChanged(bool unsaved);
    void saveStateChanged();

private:
    struct Loaded {
        NotesDocument document;
        bool migrated = false;
        std::optional<QString> message;
    };

    Loaded loadDocument();
    // The first line with more than tabs and spaces on it, cut to kTitleLength characters; "Quick
    // note" without one.
    static QString titleFromBody(const QString& body);
    // Whether the visible notes stay the same notes in the same order now that the note at `index`
    // changed from `before` in its body, title or time only.
    bool keepsVisibleOrder(const VantrelNote& before, qsizetype index) const;
    VantrelNote makeNote(const QString& title, std::optional<QUuid> folderID, std::int64_t order) const;
    std::int64_t nextOrder(const std::optional<QUuid>& folderID) const;
    // Applies `change` to the selected note, publishes and schedules a save; nothing without one.
    template <typename Change> bool changeSelected(Change&& change);
    void touchSelected();

    // Tells how a write ended, in the notes' own words.
    void saveFinished(SaveOutcome outcome);
    // The notes an earlier session could not save, taken back from their recovery files into
    // `held` (what the file gave, written at `heldWritten`; null and none when nothing).
    std::optional<NotesDocument> takeBack(const QJsonValue& held, std::optional<WallTime> heldWritten) const;
    QString filePath() const;

    QString storageName_;
    LocalPersistence& persistence_;
    QAObserver& observer_;
    const Clock& clock_;
    Scheduler& scheduler_;

    QList<VantrelNote> notes_;
    QList<VantrelNoteFolder> folders_;
    std::optional<QUuid> selectedID_;
    std::optional<QUuid> selectedFolderID_;
    QString searchQuery_;
    std::optional<QString> recoveryMessage_;

    StoreFile file_;
    bool saveFailed_ = false;
};

} // namespace vantrel
