#pragma once

#include "platform/Clock.h"
#include "platform/ResultPort.h"

#include <QHash>
#include <QImage>
#include <QSet>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace vantrel {

class FileManager;
class WorkQueue;

// The decoded images of the workspace's screenshots. Each file is read and decoded once for as
// long as its modification time and size stay the same, so a page that repaints every second of
// a running timer never touches the disk for them; a file that cannot be read as an image is
// remembered as such (a null image) in the same way. Images are decoded through the picture gate
// down to what a thumbnail needs, never larger than their file. Given `worker`, every look at a
// file (its time and size, its bytes) and every decoding runs there, never on the asking thread:
// image() answers with what it has (null while a file is first read) and `changed` follows each
// image that is in or has changed. Without one, files are read and decoded at once.
class ThumbnailCache {
public:
    // Larger files are not read at all: they show the placeholder.
    static constexpr qint64 kMaximumFileBytes = 64 * 1024 * 1024;
    // The largest screenshot decoded, by its header: an 8K screen's.
    static constexpr int kMaximumShotSide = 8192;
    static constexpr qint64 kMaximumShotPixels = qint64(7680) * 4320;

    // `maximumSide` bounds both sides of a decoded image, in pixels.
    explicit ThumbnailCache(FileManager& files, int maximumSide = 480, WorkQueue* worker = nullptr,
                            std::function<void()> changed = {});

    // The image of the file at `path`; null when it cannot be read as an image (or, with a worker,
    // is not read yet).
    QImage image(const QString& path);
    // Forgets every file but these.
    void retain(const QStringList& paths);

    // How many times a file was read and decoded.
    int decodeCount() const { return *decodes_; }

    // The part of an image of `imageSize` that fills `frame` with its aspect kept: centred, the
    // overflow cut off.
    static QRectF fillSource(const QSizeF& imageSize, const QSizeF& frame);

private:
    struct Entry {
        std::optional<WallTime> modified;
        std::optional<qint64> size;
        QImage image;
    };

    // What the worker's work needs, held by it too: the cache may be gone before the work is.
    struct Reading {
        FileManager& files;
        int maximumSide;
        std::shared_ptr<std::atomic<int>> decodes;

        // The entry for `path` as it is now, decoded again only when it differs from `known`.
        Entry check(const QString& path, const std::optional<Entry>& known) const;
        QImage decode(const QString& path) const;
    };

    Reading reading_;
    WorkQueue* worker_;
    std::function<void()> changed_;
    QHash<QString, Entry> entries_;
    // Files being looked at on the worker.
    QSet<QString> checking_;
    std::shared_ptr<std::atomic<int>> decodes_ = std::make_shared<std::atomic<int>>(0);
    ResultPort results_;
};

} // namespace vantrel
