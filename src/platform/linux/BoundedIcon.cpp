#include "platform/linux/BoundedIcon.h"

#include "platform/WorkQueue.h"

#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QSet>
#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>

namespace vantrel {

namespace {

constexpr int kCachedPixmaps = 8;
// Past this many files' icons kept, those no longer in use are forgotten.
constexpr qsizetype kKeptStates = 256;
// A file kept in memory once read, to draw its other sizes at once: a small PNG of few chunks.
// Each chunk is walked by the reader, several times: hundreds of thousands of empty ones hold a
// thread for a quarter of a second.
constexpr qsizetype kMaximumInlineBytes = 32 << 10;
constexpr qint64 kMaximumInlineChunks = 64;

// What one file holds, as far as its header tells. Its pixels are read again only to draw a size
// not drawn yet, so an icon keeps the sizes it is drawn at rather than every file of its theme.
struct Picture {
    QString path;
    PictureHeader header;
    bool unusable = false; // its header read, but its pixels did not
    // The file's bytes, kept when they decode in a few milliseconds whatever the file holds.
    QByteArray bytes;

    bool decodesInline() const { return !bytes.isEmpty(); }
};

bool quickToDecode(const QByteArray& bytes, const PictureHeader& header) {
    return header.png && bytes.size() <= kMaximumInlineBytes && header.png->chunks <= kMaximumInlineChunks &&
           header.png->dataBytes <= header.png->rawBytes &&
           header.natural.width() <= kMaximumInlineDecodeSide &&
           header.natural.height() <= kMaximumInlineDecodeSide;
}

std::optional<Picture> readPicture(PictureFileReader& reader, const QString& path) {
    std::optional<QByteArray> bytes = reader.read(path, kMaximumIconFileBytes);
    if (!bytes) return std::nullopt;
    const std::optional<PictureHeader> header = pictureHeader(*bytes, path);
    if (!header) return std::nullopt;
    Picture picture{path, *header, false, {}};
    if (quickToDecode(*bytes, *header)) picture.bytes = std::move(*bytes);
    return picture;
}

// The picture at `size`, from the bytes kept when `fromMemory` (on the asking thread, which reads
// no file), else its file read again (it may have changed since, so within the limits again).
QImage render(PictureFileReader& reader, const Picture& picture, const QSize& size, bool fromMemory = false) {
    std::optional<QByteArray> bytes =
        fromMemory ? picture.bytes : reader.read(picture.path, kMaximumIconFileBytes);
    if (!bytes) return {};
    return decodePicture(std::move(*bytes), picture.path, PictureFit{size});
}

// Shared by every icon of the same files while any of them, or any pixmap drawn from them, is in
// use (the tiles of one application take their pixmap from an icon they then let go): the files
// are looked at once, when first needed, and each size is drawn once. No file is read and no
// picture decoded with the lock held, so that a read or a decoding that takes long on another
// thread never holds up the asking thread.
struct IconState : std::enable_shared_from_this<IconState> {
    enum class Files { unread, reading, read };

    QStringList files;
    std::mutex mutex;
    Files state = Files::unread;
    // Read on the queue and not asked for since: kept for the asker that is told.
    bool fresh = false;
    std::vector<Picture> pictures;
    QHash<quint64, QPixmap> pixmaps;
    // Sizes being decoded elsewhere, and those decoded there, not yet taken (null: none read).
    QSet<quint64> decoding;
    QHash<quint64, QImage> decoded;
    // Sizes asked for while the files were read, decoded once they are.
    QList<QSize> waiting;

    void readFiles(PictureFileReader& reader) {
        {
            const std::lock_guard lock(mutex);
            if (state == Files::read) return;
        }
        std::vector<Picture> found;
        for (const QString& file : files)
            if (auto picture = readPicture(reader, file)) found.push_back(std::move(*picture));
        const std::lock_guard lock(mutex);
        if (state == Files::read) return;
        pictures = std::move(found);
        state = Files::read;
    }

    // The smallest bitmap at least as large as asked, else a scalable picture, else the largest.
    // With the lock held, the files read.
    Picture* bestFor(const QSize& size) {
        Picture* best = nullptr;
        Picture* largest = nullptr;
        Picture* scalable = nullptr;
        for (Picture& p : pictures) {
            if (p.unusable) continue;
            const QSize natural = p.header.natural;
            if (p.header.scalable) {
                if (!scalable) scalable = &p;
                continue;
            }
            const bool covers = natural.width() >= size.width() && natural.height() >= size.height();
            if (covers && (!best || natural.width() < best->header.natural.width())) best = &p;
            if (!largest || natural.width() > largest->header.natural.width()) largest = &p;
        }
        return best ? best : scalable ? scalable : largest;
    }

    void markUnusable(const QString& path) {
        for (Picture& p : pictures)
            if (p.path == path) p.unusable = true;
    }

    // The picture drawn at `size`, the files tried best first; a file whose pixels do not read
    // gives way to the next best. Called without the lock held, the files read.
    QImage decode(PictureFileReader& reader, const QSize& size) {
        for (;;) {
            std::optional<Picture> picture;
            {
                const std::lock_guard lock(mutex);
                if (Picture* best = bestFor(size)) picture = *best;
            }
            if (!picture) return {};
            QImage image = render(reader, *picture, size);
            if (!image.isNull()) return image;
            const std::lock_guard lock(mutex);
            markUnusable(picture->path);
        }
    }

    static quint64 keyOf(const QSize& size) {
        return (quint64(quint32(size.width())) << 32) | quint32(size.height());
    }

    QPixmap keep(quint64 key, const QImage& image) {
        if (pixmaps.size() >= kCachedPixmaps) pixmaps.clear();
        return *pixmaps.insert(key, QPixmap::fromImage(image));
    }

    static bool queued(const std::shared_ptr<const IconDecoding>& decoder) {
        return decoder && decoder->queue;
    }

    // With the lock held: the files are read on the queue, and the sizes asked meanwhile decoded
    // there too; the asker is told once they are in.
    void startReading(const std::shared_ptr<const IconDecoding>& decoder) {
        if (state != Files::unread) return;
        state = Files::reading;
        decoder->queue->async([state = shared_from_this(), decoder] {
            state->readFiles(*decoder->reader);
            QList<QSize> sizes;
            {
                const std::lock_guard lock(state->mutex);
                sizes = std::exchange(state->waiting, {});
                state->fresh = true;
            }
            for (const QSize& size : sizes) state->finish(keyOf(size), state->decode(*decoder->reader, size));
            if (decoder->decoded) decoder->port.post(decoder->decoded);
        });
    }

    void finish(quint64 key, QImage image) {
        const std::lock_guard lock(mutex);
        decoding.remove(key);
        // Nothing read: asked again, the files are tried again.
        decoded.insert(key, std::move(image));
    }

    // `shared`: kept for every later ask of the size; else (a picture drawn for a moment, as while
    // the pointer is over it) held only by the asker, and gone with its last copy.
    QPixmap pixmap(const QSize& size, const std::shared_ptr<const IconDecoding>& decoder, bool shared) {
        if (size.isEmpty()) return {};
        std::unique_lock lock(mutex);
        const quint64 key = keyOf(size);
        const auto keepIf = [&](const QImage& image) {
            if (image.isNull()) return QPixmap();
            return shared ? keep(key, image) : QPixmap::fromImage(image);
        };
        if (auto it = pixmaps.constFind(key); it != pixmaps.constEnd()) return *it;
        if (auto it = decoded.find(key); it != decoded.end()) {
            const QImage image = std::move(*it);
            decoded.erase(it);
            return keepIf(image);
        }
        if (decoding.contains(key)) return {};
        if (!queued(decoder)) {
            // No queue: everything on the asking thread.
            lock.unlock();
            readFiles(regularPictureFiles());
            QImage image = decode(regularPictureFiles(), size);
            lock.lock();
            return keepIf(image);
        }
        if (state != Files::read) {
            // Not read yet is taken as being decoded.
            decoding.insert(key);
            waiting.push_back(size);
            startReading(decoder);
            return {};
        }
        for (;;) {
            const Picture* best = bestFor(size);
            if (!best) return {};
            if (!best->decodesInline()) break;
            // In memory already, and quick: drawn at once.
            const Picture picture = *best;
            lock.unlock();
            QImage image = render(*decoder->reader, picture, size, true);
            lock.lock();
            if (!image.isNull()) return keepIf(image);
            markUnusable(picture.path);
        }
        decoding.insert(key);
        decoder->queue->async([state = shared_from_this(), size, key, decoder] {
            state->finish(key, state->decode(*decoder->reader, size));
            // Told as soon as it is in, not once the queue is empty: a drawing that takes seconds
            // behind it would keep this one from showing as long.
            if (decoder->decoded) decoder->port.post(decoder->decoded);
        });
        return {};
    }

    // The files read on the asking thread when there is no queue; else whether they are read,
    // asking the queue to read them.
    bool ensureRead(std::unique_lock<std::mutex>& lock, const std::shared_ptr<const IconDecoding>& decoder) {
        if (state == Files::read) return true;
        if (queued(decoder)) {
            startReading(decoder);
            return false;
        }
        lock.unlock();
        readFiles(regularPictureFiles());
        lock.lock();
        return true;
    }

    // Whether nothing holds a pixmap drawn from it, nor is any being decoded or waiting to be
    // taken, nor were its files read for an asker not told yet: a tile lets its icon go while the
    // picture is decoded and asks for it again once told, and a state forgotten meanwhile would
    // read and decode it afresh, and tell again, without end.
    bool pixmapsUnused() {
        const std::lock_guard lock(mutex);
        return !fresh && state != Files::reading && decoding.isEmpty() && decoded.isEmpty() &&
               std::all_of(pixmaps.begin(), pixmaps.end(), [](const QPixmap& p) { return p.isDetached(); });
    }

    // Not read yet is taken as being decoded: not null.
    bool isNull(const std::shared_ptr<const IconDecoding>& decoder) {
        std::unique_lock lock(mutex);
        if (!ensureRead(lock, decoder)) return false;
        return std::all_of(pictures.begin(), pictures.end(), [](const Picture& p) { return p.unusable; });
    }
};

class BoundedIconEngine final : public QIconEngine {
public:
    BoundedIconEngine(std::shared_ptr<IconState> state, std::shared_ptr<const IconDecoding> decoding)
        : state_(std::move(state)), decoding_(std::move(decoding)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        // Painted, a picture is not held by anyone: kept, whatever the mode.
        const QPixmap image = state_->pixmap(rect.size() * ratio, decoding_, true);
        if (image.isNull()) return;
        const QSize shown = image.size().scaled(rect.size(), Qt::KeepAspectRatio);
        QRect target(QPoint(), shown);
        target.moveCenter(rect.center());
        painter->drawPixmap(target, image);
    }
    // A picture for the icon's active mode (the pointer over it) is drawn at the size asked like
    // any other, but not kept once its asker lets it go: the asker holds it while it is active.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        return state_->pixmap(size, decoding_, mode != QIcon::Active);
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        std::unique_lock lock(state_->mutex);
        if (!state_->ensureRead(lock, decoding_)) return size;
        const Picture* picture = state_->bestFor(size);
        return picture ? picture->header.natural.scaled(size, Qt::KeepAspectRatio).boundedTo(size) : QSize();
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        std::unique_lock lock(state_->mutex);
        if (!state_->ensureRead(lock, decoding_)) return {};
        QList<QSize> sizes;
        for (const Picture& p : state_->pictures)
            if (!p.header.scalable && !p.unusable) sizes.push_back(p.header.natural);
        return sizes;
    }
    bool isNull() override { return state_->isNull(decoding_); }
    QString key() const override { return QStringLiteral("vantrel-bounded"); }
    QIconEngine* clone() const override { return new BoundedIconEngine(state_, decoding_); }

private:
    std::shared_ptr<IconState> state_;
    std::shared_ptr<const IconDecoding> decoding_;
};

} // namespace

QIcon boundedIcon(QStringList files, std::shared_ptr<const IconDecoding> decoding) {
    if (files.empty()) return {};
    static std::mutex mutex;
    static QHash<QString, std::shared_ptr<IconState>> states;
    static qsizetype sweepAt = kKeptStates;
    // Held only here, with none of its pixmaps in use, a state is forgotten: the next icon of
    // its files looks at them afresh.
    const auto unused = [](const std::shared_ptr<IconState>& state) {
        return state.use_count() == 1 && state->pixmapsUnused();
    };
    const QString key = files.join(QLatin1Char('\n'));
    const std::lock_guard lock(mutex);
    if (const auto found = states.constFind(key); found != states.constEnd() && !unused(*found)) {
        {
            const std::lock_guard held((*found)->mutex);
            (*found)->fresh = false;
        }
        return QIcon(new BoundedIconEngine(*found, std::move(decoding)));
    }
    if (states.size() >= sweepAt) {
        states.removeIf([&](const auto& entry) { return unused(entry.value()); });
        sweepAt = std::max(kKeptStates, 2 * states.size());
    }
    auto state = std::make_shared<IconState>();
    state->files = std::move(files);
    states.insert(key, state);
    return QIcon(new BoundedIconEngine(state, std::move(decoding)));
}

} // namespace vantrel
