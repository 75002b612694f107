#include "platform/linux/BoundedIcon.h"

#include "platform/AtomicFile.h"
#include "platform/WorkQueue.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QSet>
#include <QXmlStreamReader>
#include <QtEndian>
#include <algorithm>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <memory>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <zlib.h>

namespace vantrel {

namespace {

constexpr int kCachedPixmaps = 8;
// Past this many files' icons kept, those no longer in use are forgotten.
constexpr qsizetype kKeptStates = 256;

constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";
constexpr qsizetype kPngSignatureBytes = 8;

quint32 bigEndianAt(const QByteArray& bytes, qsizetype at) {
    return qFromBigEndian<quint32>(bytes.constData() + at);
}

} // namespace

std::optional<QSize> pngSize(const QByteArray& bytes) {
    // The signature, then the header chunk, which must come first and whole: its length (13), its
    // type, the width and the height, five bytes more and its checksum.
    if (bytes.size() < kPngSignatureBytes + 25 ||
        !bytes.startsWith(QByteArrayView(kPngSignature, kPngSignatureBytes)) ||
        bigEndianAt(bytes, kPngSignatureBytes) != 13 ||
        QByteArrayView(bytes).sliced(kPngSignatureBytes + 4, 4) != "IHDR")
        return std::nullopt;
    const quint32 width = bigEndianAt(bytes, kPngSignatureBytes + 8);
    const quint32 height = bigEndianAt(bytes, kPngSignatureBytes + 12);
    constexpr quint32 kLargest = 0x7fffffff;
    if (width == 0 || height == 0 || width > kLargest || height > kLargest) return std::nullopt;
    return QSize(int(width), int(height));
}

namespace {

// Calls `chunk` with each whole chunk's type and the offset and length of its data, in order.
template <typename F> void forEachPngChunk(const QByteArray& bytes, F chunk) {
    qsizetype at = kPngSignatureBytes;
    while (at + 12 <= bytes.size()) {
        const qsizetype length = qsizetype(bigEndianAt(bytes, at));
        if (length > bytes.size() - at - 12) return;
        chunk(QByteArrayView(bytes).sliced(at + 4, 4), at + 8, length);
        at += 12 + length;
    }
}

} // namespace

std::optional<PngData> pngData(const QByteArray& bytes) {
    const std::optional<QSize> size = pngSize(bytes);
    if (!size) return std::nullopt;
    // After the width and the height: the bit depth, the colour type and, third, the interlace.
    const int depth = quint8(bytes[kPngSignatureBytes + 16]);
    const int colorType = quint8(bytes[kPngSignatureBytes + 17]);
    const int interlace = quint8(bytes[kPngSignatureBytes + 20]);
    int channels = 0;
    switch (colorType) {
    case 0: // grey
    case 3: // palette
        channels = 1;
        break;
    case 2: // colour
        channels = 3;
        break;
    case 4: // grey and alpha
        channels = 2;
        break;
    case 6: // colour and alpha
        channels = 4;
        break;
    default:
        return std::nullopt;
    }
    if ((depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16) || interlace > 1)
        return std::nullopt;
    PngData data;
    // A header may name sides of up to 2^31 - 1, whose rows hold more bytes than a qint64 counts:
    // the count stops at a bound no file reaches, where longestData() still cannot overflow.
    constexpr qint64 kRawBytesBound = qint64(1) << 56;
    const auto addPass = [&](qint64 width, qint64 height) {
        if (width <= 0 || height <= 0) return;
        data.rows += height;
        qint64 passBytes = 0;
        if (__builtin_mul_overflow(height, 1 + (width * depth * channels + 7) / 8, &passBytes) ||
            passBytes > kRawBytesBound - data.rawBytes)
            data.rawBytes = kRawBytesBound;
        else
            data.rawBytes += passBytes;
    };
    const qint64 width = size->width(), height = size->height();
    if (interlace == 0) {
        addPass(width, height);
    } else {
        // Adam7's seven passes: where each starts across and down, and its steps.
        static constexpr int kPasses[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                              {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
        for (const auto& p : kPasses)
            addPass((width - p[0] + p[2] - 1) / p[2], (height - p[1] + p[3] - 1) / p[3]);
    }
    forEachPngChunk(bytes, [&](QByteArrayView type, qsizetype, qsizetype length) {
        if (type == "IDAT") data.dataBytes += length;
    });
    return data;
}

bool pngDataWithinPicture(const QByteArray& bytes) {
    if (!bytes.startsWith(QByteArrayView(kPngSignature, kPngSignatureBytes))) return true;
    const std::optional<PngData> data = pngData(bytes);
    if (!data || data->dataBytes > data->longestData()) return false;
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return false;
    qint64 inflated = 0;
    bool ended = false;
    // Stops one byte past the rows: inflating to the end is what takes the time.
    forEachPngChunk(bytes, [&](QByteArrayView type, qsizetype at, qsizetype length) {
        if (type != "IDAT" || ended || inflated > data->rawBytes) return;
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData() + at));
        stream.avail_in = uInt(length);
        for (;;) {
            char scratch[1 << 14];
            stream.next_out = reinterpret_cast<Bytef*>(scratch);
            stream.avail_out = sizeof scratch;
            const int status = inflate(&stream, Z_NO_FLUSH);
            inflated += qint64(sizeof scratch - stream.avail_out);
            // Nothing more to give before the next chunk's data.
            if (status == Z_BUF_ERROR) return;
            // Its end, or a damaged stream, which the reader refuses as it reaches it.
            if (status != Z_OK) {
                ended = true;
                return;
            }
            if (inflated > data->rawBytes || (stream.avail_in == 0 && stream.avail_out > 0)) return;
        }
    });
    inflateEnd(&stream);
    return inflated <= data->rawBytes;
}

QByteArray withoutTextChunks(QByteArray bytes) {
    if (!bytes.startsWith(QByteArrayView(kPngSignature, kPngSignatureBytes))) return bytes;
    QByteArray kept;
    kept.reserve(bytes.size());
    kept.append(bytes.left(kPngSignatureBytes));
    qsizetype at = kPngSignatureBytes;
    // Each chunk: its length, its type, its data and its checksum.
    while (at + 12 <= bytes.size()) {
        const qsizetype end = at + 12 + qsizetype(bigEndianAt(bytes, at));
        if (end > bytes.size()) break;
        const QByteArrayView type = QByteArrayView(bytes).sliced(at + 4, 4);
        if (type != "tEXt" && type != "zTXt" && type != "iTXt") kept.append(bytes.sliced(at, end - at));
        at = end;
    }
    // A chunk cut off, or whatever follows the last one, goes to the reader as it is.
    kept.append(bytes.sliced(at));
    return kept;
}

std::optional<QByteArray> inflatedDrawing(const QByteArray& bytes, qsizetype maximumBytes) {
    if (!bytes.startsWith("\x1f\x8b")) return bytes;
    z_stream stream{};
    // 16: a gzip stream, as a compressed drawing is.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
    stream.avail_in = uInt(bytes.size());
    QByteArray drawing;
    int status = Z_OK;
    while (status == Z_OK) {
        char chunk[1 << 16];
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        status = inflate(&stream, Z_NO_FLUSH);
        drawing.append(chunk, qsizetype(sizeof chunk - stream.avail_out));
        if (drawing.size() > maximumBytes) status = Z_MEM_ERROR;
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END) return std::nullopt;
    return drawing;
}

namespace {

// How deep drawings placed in drawings are looked into; one deeper is refused.
constexpr int kDeepestPlacedDrawing = 4;

bool placesOnlyInlinePictures(const QByteArray& drawing, int depth);

// Whether a picture placed inline is one the renderer decodes without reading past it.
bool placedPictureReadsOnlyItself(const QByteArray& picture, int depth) {
    if (pngSize(picture)) return pngDataWithinPicture(picture);
    if (picture.startsWith("\x1f\x8b")) {
        const std::optional<QByteArray> inflated = inflatedDrawing(picture, kMaximumIconFileBytes);
        return inflated && placesOnlyInlinePictures(*inflated, depth);
    }
    // Only a drawing names other files; the image plugins recognise one by this.
    if (picture.left(4096).contains("<svg")) return placesOnlyInlinePictures(picture, depth);
    return true;
}

bool placesOnlyInlinePictures(const QByteArray& drawing, int depth) {
    if (depth > kDeepestPlacedDrawing) return false;
    QXmlStreamReader xml(drawing);
    // Names as the renderer reads them, prefixes and all, whatever namespaces they are bound to.
    xml.setNamespaceProcessing(false);
    const auto local = [](QStringView name) { return name.mid(name.lastIndexOf(u':') + 1); };
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const QStringView element = local(xml.qualifiedName());
        if (element != u"image" && element != u"feImage") continue;
        for (const QXmlStreamAttribute& attribute : xml.attributes()) {
            if (local(attribute.qualifiedName()) != u"href") continue;
            // As the renderer takes an inline picture: the base64 after its last "base64,".
            const QStringView reference = attribute.value();
            if (!reference.startsWith(u"data:")) return false;
            const qsizetype base64 = reference.lastIndexOf(u"base64,");
            if (base64 >= 0 && !placedPictureReadsOnlyItself(
                                   QByteArray::fromBase64(reference.mid(base64 + 7).toLatin1()), depth + 1))
                return false;
        }
    }
    return !xml.hasError();
}

} // namespace

bool drawingReadsOnlyItself(const QByteArray& drawing) {
    return placesOnlyInlinePictures(drawing, 0);
}

namespace {

// What one file holds, as far as its header tells. Its pixels are read again only to draw a size
// not drawn yet, so an icon keeps the sizes it is drawn at rather than every file of its theme.
struct Picture {
    QString path;
    QSize natural;
    bool scalable = false;
    bool unusable = false; // its header read, but its pixels did not
    QByteArray format;
    std::optional<PngData> png;

    // Decoding it at `size` is quick enough for the asking thread, whatever the file holds: a
    // small PNG whose data is no longer than its rows, as compressed data is.
    bool decodesInline() const {
        return png && png->dataBytes <= png->rawBytes && natural.width() <= kMaximumInlineDecodeSide &&
               natural.height() <= kMaximumInlineDecodeSide;
    }
};

// A reader of `buffer`, read from `path`, that is usable within the limits, or none, with the
// format it reads. A file that is what its extension says is read by that format alone, so it
// wakes no other image plugin (each one loaded stays mapped: the whole set costs more than a
// megabyte); only one that is not is recognised by its content, trying each.
struct Reader {
    std::unique_ptr<QImageReader> reader;
    QByteArray format;
    QSize natural;
    bool scalable() const { return format == "svg" || format == "svgz"; }
};

// A scalable picture's size is known only once the whole drawing is parsed, which takes as long as
// drawing it: looked at for its header alone, it is taken as square.
constexpr QSize kUnmeasuredScalable(512, 512);

Reader readerWithin(QBuffer& buffer, const QString& path, bool measureScalable) {
    Reader r;
    if (const std::optional<QSize> png = pngSize(buffer.data())) {
        // Its size is the header's: asked, the reader would first read every chunk before the
        // pixels, inflating whatever text they hold.
        r.reader = std::make_unique<QImageReader>(&buffer, "png");
        r.reader->setAutoDetectImageFormat(false);
        r.format = "png";
        r.natural = *png;
    } else {
        r.reader = std::make_unique<QImageReader>(&buffer, QFileInfo(path).suffix().toLower().toLatin1());
        r.reader->setAutoDetectImageFormat(false);
        if (!r.reader->canRead()) r.reader = std::make_unique<QImageReader>(&buffer);
        if (!r.reader->canRead()) return {};
        r.format = r.reader->format();
        // Measured, a drawing is parsed, and the pictures it names read.
        if (measureScalable && r.scalable() && !drawingReadsOnlyItself(buffer.data())) return {};
        r.natural = !measureScalable && r.scalable() ? kUnmeasuredScalable : r.reader->size();
    }
    if (r.natural.isEmpty()) return {};
    // Checked before any pixel is decoded: what a bitmap takes in memory follows from its size.
    if (!r.scalable() && (r.natural.width() > kMaximumIconSide || r.natural.height() > kMaximumIconSide))
        return {};
    return r;
}

QByteArray readIconFile(const QString& path) {
    // Looked at before it is opened, so that nothing but a regular file is ever opened; the read
    // checks again what it opened, which may have been swapped meanwhile.
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size > kMaximumIconFileBytes)
        return {};
    try {
        return readStoredFile(path, kMaximumIconFileBytes, LinkPolicy::follow);
    } catch (...) {
        return {};
    }
}

std::optional<Picture> readPicture(const QString& path) {
    QByteArray bytes = readIconFile(path);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const Reader r = readerWithin(buffer, path, false);
    if (!r.reader) return std::nullopt;
    Picture picture{path, r.natural, r.scalable(), false, r.format, std::nullopt};
    if (r.format == "png") {
        // Data longer than its rows can take is refused before it is ever inflated.
        picture.png = pngData(bytes);
        if (picture.png && picture.png->dataBytes > picture.png->longestData()) return std::nullopt;
    }
    return picture;
}

// The picture's file read again (it may have changed since, so within the limits again) at `size`.
QImage render(const Picture& picture, const QSize& size) {
    // The reader never sees a text chunk, nor a compressed drawing: it would inflate each one
    // whole, however large.
    std::optional<QByteArray> inflated = inflatedDrawing(readIconFile(picture.path), kMaximumIconFileBytes);
    if (!inflated) return {};
    QByteArray bytes = withoutTextChunks(std::move(*inflated));
    if (!pngDataWithinPicture(bytes)) return {};
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const Reader r = readerWithin(buffer, picture.path, true);
    if (!r.reader) return {};
    // A drawing is drawn no larger than the largest bitmap taken, whatever size is asked.
    const QSize fitted =
        r.natural.scaled(size.boundedTo(QSize(kMaximumIconSide, kMaximumIconSide)), Qt::KeepAspectRatio)
            .expandedTo(QSize(1, 1));
    if (r.scalable()) {
        r.reader->setScaledSize(fitted);
        return r.reader->read();
    }
    const QImage bitmap = r.reader->read();
    if (bitmap.isNull() || bitmap.size() == fitted) return bitmap;
    return bitmap.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// Shared by every icon of the same files while any of them, or any pixmap drawn from them, is in
// use (the tiles of one application take their pixmap from an icon they then let go): the files
// are looked at once, when first needed, and each size is drawn once.
struct IconState : std::enable_shared_from_this<IconState> {
    QStringList files;
    std::recursive_mutex mutex;
    bool read = false;
    std::vector<Picture> pictures;
    QHash<quint64, QPixmap> pixmaps;
    // Sizes being decoded elsewhere, and those decoded there, not yet taken (null: none read).
    QSet<quint64> decoding;
    QHash<quint64, QImage> decoded;

    void readFiles() {
        const std::lock_guard lock(mutex);
        if (read) return;
        read = true;
        for (const QString& file : files)
            if (auto picture = readPicture(file)) pictures.push_back(std::move(*picture));
    }

    // The smallest bitmap at least as large as asked, else a scalable picture, else the largest.
    Picture* bestFor(const QSize& size) {
        const std::lock_guard lock(mutex);
        readFiles();
        Picture* best = nullptr;
        Picture* largest = nullptr;
        Picture* scalable = nullptr;
        for (Picture& p : pictures) {
            if (p.unusable) continue;
            if (p.scalable) {
                if (!scalable) scalable = &p;
                continue;
            }
            const bool covers = p.natural.width() >= size.width() && p.natural.height() >= size.height();
            if (covers && (!best || p.natural.width() < best->natural.width())) best = &p;
            if (!largest || p.natural.width() > largest->natural.width()) largest = &p;
        }
        return best ? best : scalable ? scalable : largest;
    }

    // The picture drawn at `size`, the files tried best first; a file whose pixels do not read
    // gives way to the next best. Decoded without the lock held, so that a long decoding on
    // another thread never holds up the asking thread.
    QImage decode(const QSize& size) {
        for (;;) {
            std::optional<Picture> picture;
            {
                const std::lock_guard lock(mutex);
                if (Picture* best = bestFor(size)) picture = *best;
            }
            if (!picture) return {};
            QImage image = render(*picture, size);
            if (!image.isNull()) return image;
            const std::lock_guard lock(mutex);
            for (Picture& p : pictures)
                if (p.path == picture->path) p.unusable = true;
        }
    }

    static quint64 keyOf(const QSize& size) {
        return (quint64(quint32(size.width())) << 32) | quint32(size.height());
    }

    QPixmap keep(quint64 key, const QImage& image) {
        if (pixmaps.size() >= kCachedPixmaps) pixmaps.clear();
        return *pixmaps.insert(key, QPixmap::fromImage(image));
    }

    // `shared`: kept for every later ask of the size; else (a picture drawn for a moment, as while
    // the pointer is over it) held only by the asker, and gone with its last copy.
    QPixmap pixmap(const QSize& size, const std::shared_ptr<const IconDecoding>& decoder, bool shared) {
        if (size.isEmpty()) return {};
        const std::lock_guard lock(mutex);
        const quint64 key = keyOf(size);
        const auto keepIf = [&](const QImage& image) {
            if (image.isNull()) return QPixmap();
            return shared ? keep(key, image) : QPixmap::fromImage(image);
        };
        if (auto it = pixmaps.constFind(key); it != pixmaps.constEnd()) return *it;
        if (auto it = decoded.find(key); it != decoded.end()) {
            const QImage image = std::move(*it);
            decoded.erase(it);
            // Nothing read: asked again, the files are tried again.
            return keepIf(image);
        }
        if (decoding.contains(key)) return {};
        const Picture* best = bestFor(size);
        if (!best) return {};
        if (!decoder || !decoder->queue || best->decodesInline()) return keepIf(decode(size));
        decoding.insert(key);
        decoder->queue->async([state = shared_from_this(), size, key, decoder] {
            QImage image = state->decode(size);
            {
                const std::lock_guard lock(state->mutex);
                state->decoding.remove(key);
                state->decoded.insert(key, std::move(image));
            }
            // Told as soon as it is in, not once the queue is empty: a drawing that takes seconds
            // behind it would keep this one from showing as long.
            if (decoder->decoded) decoder->port.post(decoder->decoded);
        });
        return {};
    }

    // Whether nothing holds a pixmap drawn from it, nor is any being decoded or waiting to be
    // taken: a tile lets its icon go while the picture is decoded and asks for it again once told,
    // and a state forgotten meanwhile would decode it afresh, and tell again, without end.
    bool pixmapsUnused() {
        const std::lock_guard lock(mutex);
        return decoding.isEmpty() && decoded.isEmpty() &&
               std::all_of(pixmaps.begin(), pixmaps.end(), [](const QPixmap& p) { return p.isDetached(); });
    }

    bool isNull() {
        const std::lock_guard lock(mutex);
        readFiles();
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
        const std::lock_guard lock(state_->mutex);
        const Picture* picture = state_->bestFor(size);
        return picture ? picture->natural.scaled(size, Qt::KeepAspectRatio).boundedTo(size) : QSize();
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        const std::lock_guard lock(state_->mutex);
        state_->readFiles();
        QList<QSize> sizes;
        for (const Picture& p : state_->pictures)
            if (!p.scalable && !p.unusable) sizes.push_back(p.natural);
        return sizes;
    }
    bool isNull() override { return state_->isNull(); }
    QString key() const override { return QStringLiteral("vantrel-bounded"); }
    QIconEngine* clone() const override { return new BoundedIconEngine(state_, decoding_); }

private:
    std::shared_ptr<IconState> state_;
    std::shared_ptr<const IconDecoding> decoding_;
};

} // namespace

// A drawing of many shapes parses into tens of megabytes of small allocations, and a large bitmap
// decodes into one of tens; freed, they stay with the heap of the thread that made them (or that
// of the thread that freed them), which no later icon of ordinary size reuses, for as long as the
// program runs.
void returnFreedMemory() {
#ifdef __GLIBC__
    ::malloc_trim(0);
#endif
}

void mapLargeBlocksApart() {
#ifdef __GLIBC__
    ::mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
}

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
    if (const auto found = states.constFind(key); found != states.constEnd() && !unused(*found))
        return QIcon(new BoundedIconEngine(*found, std::move(decoding)));
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
