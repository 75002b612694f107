#pragma once

#include "platform/Clock.h"

#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>
#include <optional>

namespace vantrel {

class FileManager;

// The decoded images of the workspace's screenshots. Each file is read and decoded once for as
// long as its modification time and size stay the same, so a page that repaints every second of
// a running timer never touches the disk for them; a file that cannot be read as an image is
// remembered as such (a null image) in the same way. Images are decoded down to what a thumbnail
// needs, never larger than their file.
class ThumbnailCache {
public:
    // Larger files are not read at all: they show the placeholder.
    static constexpr qint64 kMaximumFileBytes = 64 * 1024 * 1024;

    // `maximumSide` bounds both sides of a decoded image, in pixels.
    explicit ThumbnailCache(FileManager& files, int maximumSide = 480);

    // The image of the file at `path`; null when it cannot be read as an image.
    QImage image(const QString& path);
    // Forgets every file but these.
    void retain(const QStringList& paths);

    // How many times a file was read and decoded.
    int decodeCount() const { return decodes_; }

    // The part of an image of `imageSize` that fills `frame` with its aspect kept: centred, the
    // overflow cut off.
    static QRectF fillSource(const QSizeF& imageSize, const QSizeF& frame);

private:
    struct Entry {
        std::optional<WallTime> modified;
        std::optional<qint64> size;
        QImage image;
    };

    QImage decode(const QString& path);

    FileManager& files_;
    int maximumSide_;
    QHash<QString, Entry> entries_;
    int decodes_ = 0;
};

} // namespace vantrel
