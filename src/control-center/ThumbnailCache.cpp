#include "control-center/ThumbnailCache.h"

#include "platform/FileManager.h"
#include "platform/PictureGate.h"
#include "platform/WorkQueue.h"

#include <exception>
#include <memory>

namespace vantrel {

ThumbnailCache::ThumbnailCache(FileManager& files, int maximumSide, WorkQueue* worker,
                               std::function<void()> changed)
    : reading_{files, maximumSide, nullptr}, worker_(worker), changed_(std::move(changed)) {
    reading_.decodes = decodes_;
}

QImage ThumbnailCache::image(const QString& path) {
    const auto found = entries_.constFind(path);
    const std::optional<Entry> known =
        found != entries_.constEnd() ? std::optional<Entry>(*found) : std::nullopt;
    if (!worker_) {
        Entry entry = reading_.check(path, known);
        entries_.insert(path, entry);
        return entry.image;
    }
    // Looked at again on the worker each time it is asked for: a file that changed is told.
    if (!checking_.contains(path)) {
        checking_.insert(path);
        worker_->async([this, reading = reading_, path, known, port = results_.handle()] {
            auto entry = std::make_shared<Entry>(reading.check(path, known));
            port.post([this, path, known, entry] {
                checking_.remove(path);
                const bool same = known && known->modified == entry->modified && known->size == entry->size &&
                                  known->image.cacheKey() == entry->image.cacheKey();
                if (same) return;
                entries_.insert(path, *entry);
                if (changed_) changed_();
            });
        });
    }
    return known ? known->image : QImage();
}

ThumbnailCache::Entry ThumbnailCache::Reading::check(const QString& path,
                                                     const std::optional<Entry>& known) const {
    const std::optional<WallTime> modified = files.modificationDate(path);
    const std::optional<qint64> size = files.fileSize(path);
    if (known && known->modified == modified && known->size == size) return *known;
    return Entry{modified, size, modified && size ? decode(path) : QImage()};
}

void ThumbnailCache::retain(const QStringList& paths) {
    entries_.removeIf([&](const QHash<QString, Entry>::iterator& it) { return !paths.contains(it.key()); });
}

QImage ThumbnailCache::Reading::decode(const QString& path) const {
    ++*decodes;
    QByteArray bytes;
    try {
        bytes = files.readData(path, kMaximumFileBytes);
    } catch (const std::exception&) {
        return {};
    }
    // The extension is only a hint: a file whose content says otherwise is still read, within the
    // gate's bounds (a drawing saved as a PNG reads nothing but itself).
    QImage image = decodePicture(std::move(bytes), path,
                                 PictureFit{.size = QSize(maximumSide, maximumSide),
                                            .enlarge = false,
                                            .upright = true,
                                            .maximumSide = kMaximumShotSide,
                                            .maximumPixels = kMaximumShotPixels});
    if (image.isNull()) return {};
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QRectF ThumbnailCache::fillSource(const QSizeF& imageSize, const QSizeF& frame) {
    if (imageSize.isEmpty() || frame.isEmpty()) return {};
    const double scale = std::max(frame.width() / imageSize.width(), frame.height() / imageSize.height());
    const QSizeF source(frame.width() / scale, frame.height() / scale);
    return {QPointF((imageSize.width() - source.width()) / 2, (imageSize.height() - source.height()) / 2),
            source};
}

} // namespace vantrel
