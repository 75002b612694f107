#include "modules/ClipboardStore.h"

#include "core/LocalPersistence.h"
#include "core/PlainText.h"
#include "modules/ClipboardCapturePolicy.h"
#include "platform/Pasteboard.h"
#include "platform/SetIfChanged.h"
#include "platform/WorkQueue.h"

#include <QPointer>
#include <algorithm>

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
    // Whatever is on the clipboard at launch was copied before we ran: never record it.
    lastChangeCount_ = pasteboard_.changeCount();
    auto outcome = persistence_.load(fileName(), [](const QJsonValue& json) {
        return decodeArray(json, [](const QJsonValue& value) { return ClipboardEntry::fromJson(value); });
    });
    if (const auto* loaded = outcome.value())
        entries_ = QList<ClipboardEntry>(loaded->begin(), loaded->end());
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
    persist();
}

void ClipboardStore::copy(const ClipboardEntry& entry) {
    writeToPasteboard(entry.text);
    if (playControlsHaptic_) playControlsHaptic_();
}

void ClipboardStore::deleteEntry(const ClipboardEntry& entry) {
    QList<ClipboardEntry> kept = entries_;
    kept.removeIf([&](const ClipboardEntry& e) { return e.id == entry.id; });
    setEntries(std::move(kept));
    persist();
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

ClipboardStore::~ClipboardStore() {
    stop();
    const bool outstanding = writing_ || unwritten_;
    // Waits for the write in progress; one queued but not started is dropped, so the newest
    // history is written here, where nothing else can touch the file any more.
    writeQueue_.reset();
    if (outstanding) persistence_.save(entries_, fileName(), encodeEntries);
}

void ClipboardStore::persist() {
    const auto target =
        persistence_.prepareSave(fileName(), [this] { return QJsonValue(encodeEntries(entries_)); });
    if (!target) return;
    if (*target != fileName()) {
        // The file could not be read: the history goes beside it, written here at once (this
        // happens only in that rare state), so no capture is lost at quit.
        persistence_.saveRecovery(fileName(), [this] { return QJsonValue(encodeEntries(entries_)); });
        return;
    }
    unwritten_ = entries_;
    if (!writing_) writeNext();
}

void ClipboardStore::writeNext() {
    writing_ = true;
    QList<ClipboardEntry> snapshot = std::move(*unwritten_);
    unwritten_.reset();
    writeQueue_->async([this, store = persistence_.store(), snapshot = std::move(snapshot)] {
        std::optional<PersistenceFailure> failure = LocalPersistence::writeEncoded(
            store, fileName(), [&] { return QJsonValue(encodeEntries(snapshot)); });
        // The store outlives this work: its destructor waits for it before anything is torn down.
        QMetaObject::invokeMethod(
            this, [this, failure = std::move(failure)] { writeFinished(failure); }, Qt::QueuedConnection);
    });
}

void ClipboardStore::writeFinished(std::optional<PersistenceFailure> failure) {
    writing_ = false;
    // The history this session holds goes where it can be written, and the window says where.
    if (failure)
        persistence_.saveFailed(*failure, [this] { return QJsonValue(encodeEntries(entries_)); });
    else if (!unwritten_)
        persistence_.saved(fileName());
    if (unwritten_) writeNext();
}

} // namespace vantrel
