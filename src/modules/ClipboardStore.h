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
// The whole history is written to "clipboard.json" once a burst of changes has passed (a copy a
// second is one write, not one each), encoded and written on the store's own queue so that a long
// history never holds up the desktop; writes never overlap, the newest history is always the last
// one written, a write that fails is tried again, and destroying the store writes what is left.
class ClipboardStore final : public QObject {
    Q_OBJECT
public:
    static constexpr int kLimit = 120;
    static constexpr qsizetype kMaximumCharacters = 100'000;
    static constexpr double kPollInterval = 0.55;
    static constexpr double kPollTolerance = 0.18;
    // A kill loses at most the changes of this spell; a stream of copies is written this often.
    static constexpr StoreFile::Timing kSaveTiming{1.0, 5.0, 30.0};
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
    void persist();
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

    std::unique_ptr<WorkQueue> writeQueue_;
    std::unique_ptr<StoreFile> file_; // after the queue, which it waits for as it goes
};

} // namespace vantrel
