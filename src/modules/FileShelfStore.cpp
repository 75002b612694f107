#include "modules/FileShelfStore.h"

#include "core/JsonCoding.h"
#include "core/VantrelHaptics.h"
#include "platform/FileManager.h"
#include "platform/SharingService.h"
#include "platform/UserDefaults.h"
#include "platform/Workspace.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

const QString kItemsKey = QStringLiteral("shelf.items.v2");
const QString kLegacyPathsKey = QStringLiteral("shelf.paths");
const QString kNoticeShownKey = QStringLiteral("shelf.hasShownLargeFileNotice");

// The earliest representable date of the older data, which carried no time at all.
constexpr double kDistantPast = -63'114'076'800.0;
// About 250 years either side of 1970, inside the nanosecond clock's range.
constexpr double kClockRange = 7.9e9;

QString pathOf(const QUrl& url) {
    return url.isLocalFile() ? url.toLocalFile() : url.path();
}

} // namespace

FileShelfStore::FileShelfStore(UserDefaults& defaults, const FileManager& files, const Clock& clock,
                               Scheduler& scheduler, Workspace& workspace, SharingService& sharing,
                               VantrelHaptics& haptics, QObject* parent)
    : QObject(parent), defaults_(defaults), files_(files), clock_(clock), scheduler_(scheduler),
      workspace_(workspace), sharing_(sharing), haptics_(haptics) {
    connect(&workspace_, &Workspace::iconsChanged, this, &FileShelfStore::iconsChanged);
    load();
    pruneAndPublish();
    scheduleExpiryPruning();
}

FileShelfStore::~FileShelfStore() = default;

double FileShelfStore::nowSeconds() const {
    return Seconds(clock_.now().time_since_epoch()).count() - kReferenceDateUnixSeconds;
}

void FileShelfStore::load() {
    // The current format first; anything wrong with it falls back to the plain path list.
    if (const auto bytes = defaults_.data(kItemsKey)) {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(*bytes, &error);
        if (error.error == QJsonParseError::NoError && document.isArray()) {
            try {
                storedItems_ = decodeArray(QJsonValue(document.array()), [](const QJsonValue& value) {
                    const QJsonObject object = requireObject(value, u"shelf item");
                    return StoredItem{requireString(object, u"path"), requireDouble(object, u"addedAt"),
                                      optionalDouble(object, u"expiresAt")};
                });
                return;
            } catch (const JsonDecodingError&) {
                storedItems_.clear();
            }
        }
    }
    for (const QString& path : defaults_.stringList(kLegacyPathsKey).value_or(QStringList()))
        storedItems_.push_back({path, kDistantPast, std::nullopt});
}

void FileShelfStore::add(const QList<QUrl>& urls) {
    const double now = nowSeconds();
    std::optional<QUrl> firstLargeFile;
    for (const QUrl& url : urls) {
        const QString path = pathOf(url);
        if (path.isEmpty()) continue;
        std::erase_if(storedItems_, [&](const StoredItem& item) { return item.path == path; });
        const bool isLarge = files_.fileSize(path).value_or(0) >= kLargeFileBytes;
        StoredItem item{path, now, std::nullopt};
        if (isLarge) item.expiresAt = now + kLargeFileLifetimeSeconds;
        storedItems_.insert(storedItems_.begin(), std::move(item));
        if (isLarge && !firstLargeFile) firstLargeFile = url;
    }
    if (firstLargeFile && !defaults_.boolValue(kNoticeShownKey)) {
        largeFileNotice_ = firstLargeFile->fileName() +
                           QStringLiteral(" is large and will be removed from the shelf after one hour.");
        Q_EMIT largeFileNoticeChanged();
        defaults_.setBool(kNoticeShownKey, true);
    }
    pruneAndPublish();
    scheduleExpiryPruning();
    if (!urls.isEmpty()) haptics_.play(HapticSurface::controls);
}

void FileShelfStore::remove(const QUrl& url) {
    const QString path = pathOf(url);
    std::erase_if(storedItems_, [&](const StoredItem& item) { return item.path == path; });
    pruneAndPublish();
    scheduleExpiryPruning();
}

void FileShelfStore::clear() {
    storedItems_.clear();
    pruneAndPublish();
    scheduleExpiryPruning();
}

void FileShelfStore::pruneAndPublish() {
    const double now = nowSeconds();
    std::erase_if(storedItems_,
                  [&](const StoredItem& item) { return item.expiresAt && *item.expiresAt <= now; });
    if (storedItems_.size() > static_cast<std::size_t>(kMaximumItems)) storedItems_.resize(kMaximumItems);

    QList<QUrl> urls;
    QStringList paths;
    QJsonArray encoded;
    for (const StoredItem& item : storedItems_) {
        urls.append(QUrl::fromLocalFile(item.path));
        paths.append(item.path);
        QJsonObject object{{QStringLiteral("path"), item.path}, {QStringLiteral("addedAt"), item.addedAt}};
        if (item.expiresAt) object.insert(QStringLiteral("expiresAt"), *item.expiresAt);
        encoded.append(object);
    }
    items_ = urls;
    Q_EMIT itemsChanged();
    defaults_.setData(kItemsKey, QJsonDocument(encoded).toJson(QJsonDocument::Compact));
    defaults_.setStringList(kLegacyPathsKey, paths);
}

void FileShelfStore::scheduleExpiryPruning() {
    expiryTimer_.cancel();
    std::optional<double> earliest;
    for (const StoredItem& item : storedItems_)
        if (item.expiresAt && (!earliest || *item.expiresAt < *earliest)) earliest = item.expiresAt;
    if (!earliest) return;
    const double delay = std::max(*earliest - nowSeconds(), 1.0);
    const double tolerance = std::min(delay * 0.1, 30.0);
    // The task belongs to the store and is cancelled with it, so the callback never outlives it.
    expiryTimer_ =
        ScheduledTask(scheduler_, scheduler_.scheduleOnce(Seconds(delay), Seconds(tolerance), [this] {
            pruneAndPublish();
            scheduleExpiryPruning();
        }));
}

void FileShelfStore::setShareStatus(const QString& text) {
    shareStatus_ = text;
    Q_EMIT shareStatusChanged();
}

void FileShelfStore::open(const QUrl& url) {
    if (!files_.fileExists(pathOf(url))) {
        setShareStatus(
            url.fileName() +
            QStringLiteral(" moved or is no longer available. Remove it from Vantrel or add it again."));
        return;
    }
    workspace_.open(QUrl::fromLocalFile(pathOf(url)));
}

void FileShelfStore::reveal(const QUrl& url) {
    if (!files_.fileExists(pathOf(url))) {
        setShareStatus(url.fileName() + QStringLiteral(" is no longer available in its original location."));
        return;
    }
    workspace_.reveal(pathOf(url));
}

void FileShelfStore::airDrop(const QList<QUrl>& urls) {
    QList<QUrl> existing;
    for (const QUrl& url : urls)
        if (files_.fileExists(pathOf(url))) existing.append(url);
    if (existing.isEmpty()) {
        setShareStatus(QStringLiteral("Add files to the shelf before using AirDrop."));
        return;
    }
    if (!sharing_.isAirDropAvailable()) {
        setShareStatus(QStringLiteral("AirDrop is unavailable on this Mac."));
        return;
    }
    setShareStatus(QStringLiteral("Opening AirDrop\u2026"));
    sharing_.sendViaAirDrop(existing);
}

void FileShelfStore::clearLargeFileNotice() {
    if (!largeFileNotice_) return;
    largeFileNotice_.reset();
    Q_EMIT largeFileNoticeChanged();
}

bool FileShelfStore::fileExists(const QUrl& url) const {
    return files_.fileExists(pathOf(url));
}

QIcon FileShelfStore::icon(const QUrl& url) const {
    return workspace_.iconForFile(pathOf(url));
}

std::optional<WallTime> FileShelfStore::expiration(const QUrl& url) const {
    const QString path = pathOf(url);
    for (const StoredItem& item : storedItems_) {
        if (item.path != path) continue;
        if (!item.expiresAt) return std::nullopt;
        // Stored data may hold any number; keep it inside what a clock value can carry.
        const double unixSeconds =
            std::clamp(*item.expiresAt + kReferenceDateUnixSeconds, -kClockRange, kClockRange);
        return WallTime(std::chrono::duration_cast<WallTime::duration>(Seconds(unixSeconds)));
    }
    return std::nullopt;
}

} // namespace vantrel
