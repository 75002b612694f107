#include "platform/PictureGate.h"

#include "platform/AtomicFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <memory>
#include <zlib.h>

namespace vantrel {

namespace {

constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";
constexpr qsizetype kPngSignatureBytes = 8;

quint32 bigEndianAt(const QByteArray& bytes, qsizetype at) {
    return qFromBigEndian<quint32>(bytes.constData() + at);
}

class RegularPictureFiles final : public PictureFileReader {
public:
    std::optional<QByteArray> read(const QString& path, qint64 maximumBytes) override {
        try {
            return readStoredFile(path, maximumBytes, LinkPolicy::follow);
        } catch (...) {
            return std::nullopt;
        }
    }
};

} // namespace

PictureFileReader& regularPictureFiles() {
    static RegularPictureFiles files;
    return files;
}

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
        ++data.chunks;
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

quint16 littleEndian16(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}
quint32 littleEndian24(const QByteArray& bytes, qsizetype at) {
    return quint32(quint8(bytes[at])) | quint32(quint8(bytes[at + 1])) << 8 |
           quint32(quint8(bytes[at + 2])) << 16;
}

std::optional<QSize> jpegSize(const QByteArray& bytes) {
    qsizetype at = 2;
    while (at + 4 <= bytes.size()) {
        if (quint8(bytes[at]) != 0xff) return std::nullopt;
        const quint8 marker = quint8(bytes[at + 1]);
        if (marker == 0xff) { // fill
            ++at;
            continue;
        }
        if ((marker >= 0xd0 && marker <= 0xd8) || marker == 0x01) { // no length of their own
            at += 2;
            continue;
        }
        const qsizetype length = qFromBigEndian<quint16>(bytes.constData() + at + 2);
        if (length < 2) return std::nullopt;
        // A frame's header: its length, the sample precision, then the height and the width.
        if (marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc) {
            if (at + 9 > bytes.size()) return std::nullopt;
            const int height = qFromBigEndian<quint16>(bytes.constData() + at + 5);
            const int width = qFromBigEndian<quint16>(bytes.constData() + at + 7);
            if (width == 0 || height == 0) return std::nullopt;
            return QSize(width, height);
        }
        at += 2 + length;
    }
    return std::nullopt;
}

std::optional<QSize> webpSize(const QByteArray& bytes) {
    if (bytes.size() < 30 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WEBP") return std::nullopt;
    const QByteArray chunk = bytes.mid(12, 4);
    if (chunk == "VP8 " && quint8(bytes[23]) == 0x9d && quint8(bytes[24]) == 0x01 &&
        quint8(bytes[25]) == 0x2a)
        return QSize(littleEndian16(bytes, 26) & 0x3fff, littleEndian16(bytes, 28) & 0x3fff);
    if (chunk == "VP8L" && quint8(bytes[20]) == 0x2f) {
        const quint32 bits = qFromLittleEndian<quint32>(bytes.constData() + 21);
        return QSize(int(bits & 0x3fff) + 1, int((bits >> 14) & 0x3fff) + 1);
    }
    if (chunk == "VP8X") return QSize(int(littleEndian24(bytes, 24)) + 1, int(littleEndian24(bytes, 27)) + 1);
    return std::nullopt;
}

std::optional<QSize> bmpSize(const QByteArray& bytes) {
    if (bytes.size() < 26 || !bytes.startsWith("BM")) return std::nullopt;
    if (qFromLittleEndian<quint32>(bytes.constData() + 14) == 12)
        return QSize(littleEndian16(bytes, 18), littleEndian16(bytes, 20));
    const qint64 width = qFromLittleEndian<qint32>(bytes.constData() + 18);
    const qint64 height = qFromLittleEndian<qint32>(bytes.constData() + 22);
    constexpr qint64 kLargest = 0x7fffffff;
    if (width <= 0 || height == 0 || height < -kLargest) return std::nullopt;
    return QSize(int(width), int(std::abs(height)));
}

} // namespace

std::vector<QImage> picturesFromCardinals(const std::vector<quint32>& values, quint32 maximumSide) {
    std::vector<QImage> images;
    std::size_t at = 0;
    while (values.size() - at >= 2) {
        const quint32 width = values[at], height = values[at + 1];
        at += 2;
        if (width == 0 || height == 0 || width > maximumSide || height > maximumSide) break;
        const std::size_t pixels = std::size_t(width) * height;
        if (values.size() - at < pixels) break;
        QImage image(int(width), int(height), QImage::Format_ARGB32);
        for (quint32 y = 0; y < height; ++y)
            std::memcpy(image.scanLine(int(y)), values.data() + at + std::size_t(y) * width, width * 4);
        images.push_back(std::move(image));
        at += pixels;
    }
    return images;
}

std::optional<QSize> bitmapHeaderSize(const QByteArray& bytes) {
    std::optional<QSize> size;
    if (bytes.startsWith(QByteArrayView(kPngSignature, kPngSignatureBytes)))
        size = pngSize(bytes);
    else if (bytes.startsWith("\xff\xd8"))
        size = jpegSize(bytes);
    else if ((bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a")) && bytes.size() >= 10)
        // The logical screen, which every frame is drawn into.
        size = QSize(littleEndian16(bytes, 6), littleEndian16(bytes, 8));
    else if (bytes.startsWith("RIFF"))
        size = webpSize(bytes);
    else if (bytes.startsWith("BM"))
        size = bmpSize(bytes);
    if (!size || size->isEmpty()) return std::nullopt;
    return size;
}

namespace {

// How deep drawings held in drawings are looked into; one deeper is refused.
constexpr int kDeepestPlacedDrawing = 4;

bool readsOnlyItself(const QByteArray& drawing, int depth, qint64& inlined);

// A length in a drawing's width or height, in pixels as the renderer takes it; none for a share of
// a box (a percentage) or what names no length.
std::optional<double> drawingLength(QStringView value) {
    value = value.trimmed();
    static const std::pair<const char16_t*, double> kUnits[] = {
        {u"px", 1},        {u"pt", 1.25}, {u"pc", 15}, {u"mm", 3.543307},
        {u"cm", 35.43307}, {u"in", 90},   {u"em", 16}, {u"ex", 8}};
    double factor = 1;
    for (const auto& [unit, scale] : kUnits)
        if (value.endsWith(QStringView(unit))) {
            value.chop(2);
            factor = scale;
            break;
        }
    bool ok = false;
    const double number = value.trimmed().toDouble(&ok);
    if (!ok || !(number >= 0)) return std::nullopt;
    return number * factor;
}

// What a drawing held inline takes once the renderer decodes it: it draws one at the size its root
// names, else its view box's, else the renderer's default of 100 square.
std::optional<qint64> inlinedDrawingBytes(const QByteArray& drawing) {
    QXmlStreamReader xml(drawing);
    while (!xml.atEnd() && xml.readNext() != QXmlStreamReader::StartElement) {
    }
    if (xml.tokenType() != QXmlStreamReader::StartElement) return std::nullopt;
    const QXmlStreamAttributes attributes = xml.attributes();
    std::optional<double> width = drawingLength(attributes.value(QStringLiteral("width")));
    std::optional<double> height = drawingLength(attributes.value(QStringLiteral("height")));
    const QList<QStringView> box =
        attributes.value(QStringLiteral("viewBox"))
            .split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
    if (box.size() == 4) {
        if (!width) width = box[2].toDouble();
        if (!height) height = box[3].toDouble();
    }
    const double w = width.value_or(100), h = height.value_or(100);
    if (!(w <= kMaximumIconSide) || !(h <= kMaximumIconSide)) return std::nullopt;
    return qint64(std::ceil(w)) * qint64(std::ceil(h)) * 4;
}

// Whether a picture held inline decodes within the side limit and the drawing's budget, and, when
// it is itself a drawing, reads nothing but itself.
bool inlinedPictureWithin(const QByteArray& picture, int depth, qint64& inlined) {
    if (depth > kDeepestPlacedDrawing) return false;
    if (picture.startsWith("\x1f\x8b")) {
        const std::optional<QByteArray> inflated = inflatedDrawing(picture, kMaximumIconFileBytes);
        return inflated && !inflated->startsWith("\x1f\x8b") &&
               inlinedPictureWithin(*inflated, depth, inlined);
    }
    qint64 bytes = 0;
    if (const std::optional<QSize> size = bitmapHeaderSize(picture)) {
        if (size->width() > kMaximumIconSide || size->height() > kMaximumIconSide) return false;
        if (!pngDataWithinPicture(picture)) return false;
        bytes = qint64(size->width()) * size->height() * 4;
    } else if (picture.left(4096).contains("<svg")) {
        const std::optional<qint64> drawn = inlinedDrawingBytes(picture);
        if (!drawn || !readsOnlyItself(picture, depth, inlined)) return false;
        bytes = *drawn;
    } else {
        // No picture whose size its header tells: nothing to decode blind.
        return false;
    }
    inlined += bytes;
    return inlined <= kMaximumInlinedPictureBytes;
}

// Whether a reference names only the drawing itself: a fragment of it, or a picture held inline
// (which must pass in turn). Anything else names a file, or a place the renderer would fetch.
bool referenceWithin(QStringView reference, int depth, qint64& inlined) {
    if (reference.startsWith(u'#')) return true;
    if (!reference.startsWith(u"data:")) return false;
    // As the renderer takes an inline picture: the base64 after its last "base64,".
    const qsizetype base64 = reference.lastIndexOf(u"base64,");
    QByteArray picture;
    if (base64 >= 0) {
        picture = QByteArray::fromBase64(reference.mid(base64 + 7).toLatin1());
    } else {
        const qsizetype comma = reference.indexOf(u',');
        if (comma < 0) return false;
        picture = QByteArray::fromPercentEncoding(reference.mid(comma + 1).toUtf8());
    }
    return inlinedPictureWithin(picture, depth + 1, inlined);
}

// Whether style text (a style attribute's value, a style element's) names nothing outside: no
// import, no escapes that could spell one, and each url() a reference within. Any other attribute's
// value (`css` false) is only looked at for its url()s.
bool styleWithin(QStringView style, int depth, qint64& inlined, bool css) {
    if (css && (style.contains(u'\\') || style.contains(u"@import", Qt::CaseInsensitive))) return false;
    for (qsizetype at = style.indexOf(u"url(", 0, Qt::CaseInsensitive); at >= 0;
         at = style.indexOf(u"url(", at + 4, Qt::CaseInsensitive)) {
        const qsizetype end = style.indexOf(u')', at + 4);
        if (end < 0) return false;
        QStringView reference = style.mid(at + 4, end - at - 4).trimmed();
        if (reference.size() >= 2 && (reference.front() == u'"' || reference.front() == u'\'') &&
            reference.back() == reference.front())
            reference = reference.mid(1, reference.size() - 2);
        if (!referenceWithin(reference, depth, inlined)) return false;
    }
    return true;
}

bool readsOnlyItself(const QByteArray& drawing, int depth, qint64& inlined) {
    if (depth > kDeepestPlacedDrawing) return false;
    QXmlStreamReader xml(drawing);
    // Names as the renderer reads them, prefixes and all, whatever namespaces they are bound to.
    xml.setNamespaceProcessing(false);
    const auto local = [](QStringView name) { return name.mid(name.lastIndexOf(u':') + 1); };
    int inStyle = 0;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::ProcessingInstruction: // the XML declaration is StartDocument
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            return false;
        case QXmlStreamReader::StartElement:
            if (local(xml.qualifiedName()) == u"style" || inStyle) ++inStyle;
            for (const QXmlStreamAttribute& attribute : xml.attributes()) {
                const QStringView name = local(attribute.qualifiedName());
                if ((name == u"href" || name == u"src") &&
                    !referenceWithin(attribute.value(), depth, inlined))
                    return false;
                if (name != u"href" && !styleWithin(attribute.value(), depth, inlined, name == u"style"))
                    return false;
            }
            break;
        case QXmlStreamReader::EndElement:
            if (inStyle) --inStyle;
            break;
        case QXmlStreamReader::Characters:
            if (inStyle && !styleWithin(xml.text(), depth, inlined, true)) return false;
            break;
        default:
            break;
        }
    }
    return !xml.hasError();
}

} // namespace

bool drawingReadsOnlyItself(const QByteArray& drawing) {
    qint64 inlined = 0;
    return readsOnlyItself(drawing, 0, inlined);
}

namespace {

// A reader of `buffer`, named `name`, that is usable within the limits, or none, with the format it
// reads. A file that is what its extension says is read by that format alone, so it wakes no other
// image plugin (each one loaded stays mapped: the whole set costs more than a megabyte); only one
// that is not is recognised by its content, trying each.
struct Reader {
    std::unique_ptr<QImageReader> reader;
    QByteArray format;
    QSize natural;
    bool scalable() const { return format == "svg" || format == "svgz"; }
};

// A scalable picture's size is known only once the whole drawing is parsed, which takes as long as
// drawing it: looked at for its header alone, it is taken as square.
constexpr QSize kUnmeasuredScalable(512, 512);

Reader readerWithin(QBuffer& buffer, const QString& name, bool measureScalable, int maximumSide,
                    qint64 maximumPixels) {
    Reader r;
    if (const std::optional<QSize> png = pngSize(buffer.data())) {
        // Its size is the header's: asked, the reader would first read every chunk before the
        // pixels, inflating whatever text they hold.
        r.reader = std::make_unique<QImageReader>(&buffer, "png");
        r.reader->setAutoDetectImageFormat(false);
        r.format = "png";
        r.natural = *png;
    } else {
        r.reader = std::make_unique<QImageReader>(&buffer, QFileInfo(name).suffix().toLower().toLatin1());
        r.reader->setAutoDetectImageFormat(false);
        if (!r.reader->canRead()) r.reader = std::make_unique<QImageReader>(&buffer);
        if (!r.reader->canRead()) return {};
        r.format = r.reader->format();
        if (r.scalable()) {
            // Measured, a drawing is parsed, and what it names read: only one that names nothing.
            if (measureScalable && !drawingReadsOnlyItself(buffer.data())) return {};
            r.natural = measureScalable ? r.reader->size() : kUnmeasuredScalable;
        } else {
            const std::optional<QSize> header = bitmapHeaderSize(buffer.data());
            r.natural = header ? *header : r.reader->size();
        }
    }
    if (r.natural.isEmpty()) return {};
    // Checked before any pixel is decoded: what a bitmap takes in memory follows from its size.
    if (!r.scalable() && (r.natural.width() > maximumSide || r.natural.height() > maximumSide ||
                          qint64(r.natural.width()) * r.natural.height() > maximumPixels))
        return {};
    return r;
}

} // namespace

std::optional<PictureHeader> pictureHeader(const QByteArray& bytes, const QString& name, int maximumSide) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    const Reader r = readerWithin(buffer, name, false, maximumSide, qint64(maximumSide) * maximumSide);
    if (!r.reader) return std::nullopt;
    PictureHeader header{r.format, r.natural, r.scalable(), std::nullopt};
    if (r.format == "png") {
        // Data longer than its rows can take is refused before it is ever inflated.
        header.png = pngData(bytes);
        if (header.png && header.png->dataBytes > header.png->longestData()) return std::nullopt;
    }
    return header;
}

QImage decodePicture(QByteArray bytes, const QString& name, const PictureFit& fit) {
    // The reader never sees a text chunk, nor a compressed drawing: it would inflate each one
    // whole, however large.
    std::optional<QByteArray> inflated = inflatedDrawing(bytes, kMaximumIconFileBytes);
    if (!inflated) return {};
    bytes = withoutTextChunks(std::move(*inflated));
    if (!pngDataWithinPicture(bytes)) return {};
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const Reader r = readerWithin(buffer, name, true, fit.maximumSide, fit.maximumPixels);
    if (!r.reader) return {};
    r.reader->setAutoTransform(fit.upright);
    // A drawing is drawn no larger than the largest bitmap taken, whatever size is asked.
    const QSize bound = fit.size.boundedTo(QSize(kMaximumIconSide, kMaximumIconSide)).expandedTo(QSize(1, 1));
    const QSize fitted = r.natural.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    if (r.scalable()) {
        r.reader->setScaledSize(fitted);
        return r.reader->read();
    }
    if (!fit.enlarge) {
        // Decoded down to what is asked where the format can (a JPEG's scaled decoding), never up.
        if (r.natural.width() > bound.width() || r.natural.height() > bound.height())
            r.reader->setScaledSize(fitted);
        QImage image = r.reader->read();
        if (image.width() > bound.width() || image.height() > bound.height())
            image = image.scaled(bound, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        return image;
    }
    const QImage bitmap = r.reader->read();
    if (bitmap.isNull() || bitmap.size() == fitted) return bitmap;
    return bitmap.scaled(fitted, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace vantrel
