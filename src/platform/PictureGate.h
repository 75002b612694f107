#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

namespace vantrel {

// Every picture that comes from outside (an icon file, a theme's or a window's icon, a screenshot's
// thumbnail, anything a peer or a file names) passes here before anything decodes it, with one
// policy: the file is a regular file of bounded size, read by the gate's reader alone and only off
// the main thread; a drawing (SVG) reads nothing but itself; and every picture's decoded size is
// read from its header and bounded before it is decoded.

// The most bytes one icon file may hold; a theme's largest bitmaps take a few hundred kilobytes.
constexpr qint64 kMaximumIconFileBytes = 8 << 20;
// The widest and tallest bitmap taken as an icon, and drawn from a drawing.
constexpr int kMaximumIconSide = 2048;
// What the pictures a drawing holds inline may take together once decoded: a drawing of a few
// kilobytes can inline dozens of lossless pictures of thousands of pixels a side.
constexpr qint64 kMaximumInlinedPictureBytes = 32 << 20;

// How the gate reads a file. The reader is called on the gate's worker only; the real one opens
// without waiting (a FIFO never holds it), takes only a regular file of at most `maximumBytes` (a
// link is followed, as themes link their icons to each other) and reads no more than that.
class PictureFileReader {
public:
    virtual ~PictureFileReader() = default;
    // The file's bytes; none when it is missing, no regular file or larger than allowed.
    virtual std::optional<QByteArray> read(const QString& path, qint64 maximumBytes) = 0;
};
// The reader of real files, shared by every gate; stateless, so any thread may use it.
PictureFileReader& regularPictureFiles();

// The size a PNG's header chunk names, read from its first bytes alone; none for what is no PNG.
std::optional<QSize> pngSize(const QByteArray& bytes);
// What a PNG's image data takes: `rows` rows of `rawBytes` together inflated (each row's filter
// byte included, and each pass of an interlaced picture), held in `dataBytes` of its data chunks,
// among `chunks` chunks in all.
struct PngData {
    qint64 rawBytes = 0;
    qint64 rows = 0;
    qint64 dataBytes = 0;
    qint64 chunks = 0;

    // The most any deflate stream of the rows takes: fixed codes spend 9 bits on some bytes,
    // stored blocks 5 bytes each, at worst one per row.
    qint64 longestData() const { return rawBytes + rawBytes / 8 + 5 * rows + 64; }
};
// None for what is no PNG, or one whose header names no picture a reader can decode.
std::optional<PngData> pngData(const QByteArray& bytes);
// Whether a PNG's image data is what its rows take and no more: no longer than deflate's worst
// for them, and inflating to no more than they hold. The reader would inflate whatever runs on
// past the last row to its end, however long: a megabyte of it holds a gigabyte of zeros. Checked
// by inflating no further than one byte past the rows. Anything but a PNG passes.
bool pngDataWithinPicture(const QByteArray& bytes);
// A PNG's bytes without its text chunks (compressed or not), which a reader would otherwise hold
// whole in memory, inflated: a few kilobytes can name gigabytes. Anything else comes back as it is.
QByteArray withoutTextChunks(QByteArray bytes);
// A compressed drawing (gzip) inflated, none when it is damaged or holds more than `maximumBytes`:
// the image reader inflates one without a bound, and a few megabytes of it can hold gigabytes.
// Anything else comes back as it is.
std::optional<QByteArray> inflatedDrawing(const QByteArray& bytes, qsizetype maximumBytes);

// The size a bitmap's header names (PNG, JPEG, GIF, WebP, BMP), from its first bytes alone; none
// for anything else or a header that names no size.
std::optional<QSize> bitmapHeaderSize(const QByteArray& bytes);

// The pictures of a window's icon property (_NET_WM_ICON: width, height, then width × height ARGB
// pixels, again and again), each size read before its pixels are taken: the pictures up to the
// first that is empty, wider or taller than `maximumSide`, or holds fewer pixels than it names.
std::vector<QImage> picturesFromCardinals(const std::vector<quint32>& values, quint32 maximumSide);

// Whether a drawing (SVG) reads nothing but itself, looked at through every drawing it holds
// inline: no processing instruction but the XML declaration (a style sheet's names a file the
// renderer reads whole), no DOCTYPE or entity, and no reference (href, url(), @import) but to
// `data:` or to a `#fragment` of the same document. Each picture held inline must be one whose
// header gives a size within the icon side limit, and together they decode to no more than the
// inlined budget. One that does not parse is refused: the renderer would have opened what it
// named before the fault.
bool drawingReadsOnlyItself(const QByteArray& drawing);

// What a picture's bytes are, as far as its header tells: its format, its size (a drawing's is
// known only once it is parsed, which takes as long as drawing it: taken as 512 square), and for a
// PNG what its data takes. None for what no reader takes, or a bitmap larger than `maximumSide`
// either way, or a PNG whose data is longer than its rows can take.
struct PictureHeader {
    QByteArray format;
    QSize natural;
    bool scalable = false;
    std::optional<PngData> png;
};
std::optional<PictureHeader> pictureHeader(const QByteArray& bytes, const QString& name,
                                           int maximumSide = kMaximumIconSide);

// How a picture is decoded: fitted into `size` with its aspect kept (a drawing drawn at that size),
// a bitmap enlarged to it only when `enlarge`, turned upright by its orientation tag when
// `upright`, and refused when its header names a side over `maximumSide` or more than
// `maximumPixels` in all.
struct PictureFit {
    QSize size;
    bool enlarge = true;
    bool upright = false;
    int maximumSide = kMaximumIconSide;
    qint64 maximumPixels = qint64(kMaximumIconSide) * kMaximumIconSide;
};
// The picture `bytes` hold (`name` hints its format by its extension; the content decides),
// decoded within the policy above, or null. To be called off the main thread, but for the small
// pictures already in memory that decode in a few milliseconds.
QImage decodePicture(QByteArray bytes, const QString& name, const PictureFit& fit);

} // namespace vantrel
