#include "control-center/ThumbnailCache.h"

#include "platform/FileManager.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <exception>

namespace vantrel {

ThumbnailCache::ThumbnailCache(FileManager& files, int maximumSide)
    : files_(files), maximumSide_(maximumSide) {}

QImage ThumbnailCache::image(const QString& path) {
    const std::optional<WallTime> modified = files_.modificationDate(path);
    const std::optional<qint64> size = files_.fileSize(path);
    const auto found = entries_.constFind(path);
    if (found != entries_.constEnd() && found->modified == modified && found->size == size)
        return found->image;
    Entry entry{modified, size, modified && size ? decode(path) : QImage()};
    entries_.insert(path, entry);
    return entry.image;
}

void ThumbnailCache::retain(const QStringList& paths) {
    entries_.removeIf([&](const QHash<QString, Entry>::iterator& it) { return !paths.contains(it.key()); });
}

QImage ThumbnailCache::decode(const QString& path) {
    ++decodes_;
    QByteArray bytes;
    try {
        bytes = files_.readData(path, kMaximumFileBytes);
    } catch (const std::exception&) {
        return {};
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    // The extension is only a hint: a file whose content says otherwise is still read.
    QImageReader reader(&buffer, QFileInfo(path).suffix().toLower().toLatin1());
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (full.isValid() && (full.width() > maximumSide_ || full.height() > maximumSide_))
        reader.setScaledSize(full.scaled(maximumSide_, maximumSide_, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull()) return {};
    if (image.width() > maximumSide_ || image.height() > maximumSide_)
        image = image.scaled(maximumSide_, maximumSide_, Qt::KeepAspectRatio, Qt::SmoothTransformation);
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
