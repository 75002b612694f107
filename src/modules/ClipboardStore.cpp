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
    file_ = std::make_unique<StoreFile>(
        persistence_, &scheduler_, fileName(),
        [this] { return [entries = entries_] { return QJsonValue(encodeEntries(entries)); }; }, kSaveTiming,
        writeQueue_.get());
    connect(file_.get(), &StoreFile::unsavedChanged, this, &ClipboardStore::unsavedChanged);
    connect(file_.get(), &StoreFile::stateChanged, this, &ClipboardStore::saveStateChanged);
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
    // What an earlier session could not save is back: it goes to the file with the next write.
    if (!persistence_.takenBack(fileName()).isEmpty()) {
        entries_ = ordered(std::move(entries_));
        persist();
    }
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
    // What the queue or a timer still held is written here, where nothing else touches the file.
    file_->flush();
}

void ClipboardStore::persist() {
    file_->changed();
}

} // namespace vantrel
