#pragma once

#include "modules/ClipboardEntry.h"
#include "modules/ClipboardTransform.h"
#include "platform/Scheduler.h"

#include <QList>
#include <QObject>
#include <functional>

namespace vantrel {

class LocalPersistence;
class Pasteboard;

// The history of plain text copied on the desktop. A repeating poll compares the clipboard's change
// counter; each new text that no program marked as secret or temporary becomes the newest entry.
// The whole history is written to "clipboard.json" after every change to it.
class ClipboardStore final : public QObject {
    Q_OBJECT
public:
    static constexpr int kLimit = 120;
    static constexpr qsizetype kMaximumCharacters = 100'000;
    static constexpr double kPollInterval = 0.55;
    static constexpr double kPollTolerance = 0.18;
    static QString fileName() { return QStringLiteral("clipboard.json"); }

    // `playControlsHaptic` gives the interface feedback of the controls surface after a copy.
    ClipboardStore(Pasteboard& pasteboard, LocalPersistence& persistence, const Clock& clock,
                   Scheduler& scheduler, std::function<void()> playControlsHaptic, QObject* parent = nullptr);

    // Stored order: pinned entries first in their own order, then the rest, newest capture first.
    const QList<ClipboardEntry>& entries() const { return entries_; }
    const QString& searchText() const { return searchText_; }
    void setSearchText(const QString& text);

    void start();
    void stop();
    bool isPolling() const { return timer_.isActive(); }

    void captureIfNeeded();
    // Pinned first, then newest first, narrowed to the entries containing the search text.
    QList<ClipboardEntry> filteredEntries() const;

    void togglePin(const ClipboardEntry& entry);
    void clearUnpinned();
    void copy(const ClipboardEntry& entry);
    void deleteEntry(const ClipboardEntry& entry);
    void copyTransformed(const ClipboardEntry& entry, ClipboardTransform transform);

Q_SIGNALS:
    void entriesChanged();
    void searchTextChanged();

private:
    void writeToPasteboard(const QString& text);
    void setEntries(QList<ClipboardEntry> entries);
    void insertNewest(const QString& text);
    void trimAndSave();
    void persist();

    Pasteboard& pasteboard_;
    LocalPersistence& persistence_;
    const Clock& clock_;
    Scheduler& scheduler_;
    std::function<void()> playControlsHaptic_;

    QList<ClipboardEntry> entries_;
    QString searchText_;
    ScheduledTask timer_;
    std::int64_t lastChangeCount_ = 0;
};

} // namespace vantrel
