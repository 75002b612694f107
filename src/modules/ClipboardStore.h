#pragma once

#include "core/LocalPersistence.h"
#include "core/StoreFile.h"
#include "modules/ClipboardEntry.h"
#include "modules/ClipboardTransform.h"
#include "platform/Scheduler.h"

#include <QList>
#include <QObject>
#include <functional>
#include <memory>
#include <optional>

namespace vantrel {

class Pasteboard;
class WorkQueue;

// The history of plain text copied on the desktop. Where the clipboard announces its changes, each
// announcement has the change counter compared on the next turn of the event loop and nothing runs
// in between; elsewhere a repeating poll compares it. Each new text that no program marked as
// secret or temporary becomes the newest entry.
// What changes is appended to a journal beside "clipboard.json" (see ClipboardJournal) within a
// second of the change, so a copy costs about its own size on disk and a kill loses at most the
// last second; nothing is written when nothing changed. The whole history is written to
// "clipboard.json" (its journal folded in) after the first change of a run, once the journal has
// grown past twice the file, and when the store goes. Every write is made on the store's own queue so that a
// long history never holds up the desktop; writes never overlap, the newest history is always the last one
// written. While the journal cannot be written, or the file could not be read as it stood, each change is
// written whole instead, after a burst of changes has passed; such a write that fails is tried again. The
// history and every file beside it are the user's alone (0600).
class ClipboardStore final : public QObject {
    Q_OBJECT
public:
    static constexpr int kLimit = 120;
    static constexpr qsizetype kMaximumCharacters = 100'000;
    static constexpr double kPollInterval = 0.55;
    static constexpr double kPollTolerance = 0.18;
    // A kill loses at most the changes of this spell; a stream of copies is written this often.
    static constexpr StoreFile::Timing kSaveTiming{1.0, 5.0, 30.0};
    // The journal takes what changed within this many seconds of the change.
    static constexpr double kJournalDelay = 1.0;
    // The journal is folded into the file once it is this many times the file's size, and never
    // below this many bytes, so the whole history is rewritten at most once per that much copied.
    static constexpr qint64 kFoldRatio = 2;
    static constexpr qint64 kSmallestFold = 512 * 1024;
    static QString fileName() { return QStringLiteral("clipboard.json"); }

    // `playControlsHaptic` gives the interface feedback of the controls surface after a copy.
    ClipboardStore(Pasteboard& pasteboard, LocalPersistence& persistence, const Clock& clock,
                   Scheduler& scheduler, std::unique_ptr<WorkQueue> writeQueue,
                   std::function<void()> playControlsHaptic, QObject* parent = nullptr);
    ~ClipboardStore() override;

    // Stored order: pinned entries first in their own order, then the rest, newest capture first.
    const QList<ClipboardEntry>& entries() const { return entries_; }
    const QString& searchText() const { return searchText_; }
    void setSearchText(const QString& text);

    void start();
    void stop();
    // Started: listening to the clipboard's announcements, or polling where it makes none.
    bool isWatching() const { return listening_ || timer_.isActive(); }

    void captureIfNeeded();
    // Pinned first, then newest first, narrowed to the entries containing the search text.
    QList<ClipboardEntry> filteredEntries() const;

    void togglePin(const ClipboardEntry& entry);
    void clearUnpinned();
    void copy(const ClipboardEntry& entry);
    void deleteEntry(const ClipboardEntry& entry);
    void copyTransformed(const ClipboardEntry& entry, ClipboardTransform transform);

    // Whether the history is not (yet) all in its file: see StoreFile::unsaved().
    bool unsaved() const { return file_->unsaved(); }
    // Whether the history is in its file: what views say of it.
    const SaveState& saveState() const { return file_->state(); }

Q_SIGNALS:
    void entriesChanged();
    void searchTextChanged();
    void unsavedChanged(bool unsaved);
    void saveStateChanged();

private:
    // Runs the capture rule on the next turn of the event loop; announcements arriving before then
    // share that one run.
    void captureSoon();
    void writeToPasteboard(const QString& text);
    void setEntries(QList<ClipboardEntry> entries);
    void insertNewest(const QString& text);
    void trimAndSave();
    // Records what changed since the last call: in the journal, or as a write of the whole history.
    // False when nothing changed.
    bool persist();
    void persistDeletion();
    // `alreadyIn`: the journal is not read over the history, only emptied with the next write.
    void readJournal(bool fileUsable, bool alreadyIn);
    bool journalBehindRecovery() const;
    void appendJournal();
    // Appends `bytes` to the journal on the queue.
    void sendToJournal(QByteArray bytes);
    void journalAppended(std::exception_ptr failure, qint64 bytes, quint64 ticket);
    void foldFinished();
    // Empties the journal once the file holds everything it says (on the queue, after any append).
    void dropJournal();
    QString journalPath() const;
    // Pinned entries first in their order, then the rest newest first, no more than the limit.
    static QList<ClipboardEntry> ordered(QList<ClipboardEntry> entries);

    Pasteboard& pasteboard_;
    LocalPersistence& persistence_;
    const Clock& clock_;
    Scheduler& scheduler_;
    std::function<void()> playControlsHaptic_;

    QList<ClipboardEntry> entries_;
    QString searchText_;
    ScheduledTask timer_;
    bool listening_ = false;
    ScheduledTask pendingCapture_;
    std::int64_t lastChangeCount_ = 0;

    // The history as last recorded (journaled or handed to the file): what persist() compares with.
    QList<ClipboardEntry> recorded_;
    // Lines not yet handed to the queue, and how many of the journal's writes are there now.
    QByteArray pendingJournal_;
    ScheduledTask journalFlush_;
    int appending_ = 0;
    // False while changes go to the file whole (the journal failed, or the file could not be read).
    bool journalUsable_ = true;
    bool journalUnreadable_ = false;
    // What the journal on disk holds, and the file's size when it was last written or read.
    qint64 journalBytes_ = 0;
    qint64 fileBytes_ = 0;
    // Counts the changes recorded; a write of the whole history that took all of them in (its
    // snapshot's count is the latest) lets the journal go.
    quint64 changeCount_ = 0;
    quint64 foldedCount_ = 0;
    // Bumped when the journal is emptied: an append that ran before does not count toward it.
    quint64 journalTicket_ = 0;
    bool foldAsked_ = false;
    // Going: the whole history is written here, and the journal only when that fails.
    bool quitting_ = false;

    std::unique_ptr<WorkQueue> writeQueue_;
    std::unique_ptr<StoreFile> file_; // after the queue, which it waits for as it goes
};

} // namespace vantrel
