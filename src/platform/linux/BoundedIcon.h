#pragma once

#include "platform/ResultPort.h"

#include <QByteArray>
#include <QIcon>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace vantrel {

// Icons named by other programs (an entry's Icon=, a file an icon theme holds) are read only from
// regular files of bounded size and bounded pixel size, with a read that never waits: a FIFO or
// a device in an icon's place gives no icon instead of a program stuck in open() for good.

// The most bytes one icon file may hold; a theme's largest bitmaps take a few hundred kilobytes.
constexpr qint64 kMaximumIconFileBytes = 8 << 20;
// The widest and tallest bitmap taken.
constexpr int kMaximumIconSide = 2048;

class WorkQueue;

// The widest and tallest bitmap decoded on the asking thread: a small PNG whose image data is no
// longer than its rows decodes in a few milliseconds; anything larger, and any other format, may
// take seconds.
constexpr int kMaximumInlineDecodeSide = 256;

// Where the pictures too costly to decode on the asking thread are decoded, and how the asker
// learns that one is in (posted to its thread as each one is decoded; the asker gathers those that
// come close together). The owner clears `queue` before it goes; without one, every picture is
// decoded on the asking thread.
struct IconDecoding {
    IconDecoding(WorkQueue* queue, ResultPort::Handle port, std::function<void()> decoded)
        : queue(queue), port(std::move(port)), decoded(std::move(decoded)) {}

    WorkQueue* queue = nullptr;
    ResultPort::Handle port;
    std::function<void()> decoded;
};

// An icon drawn from `files`, looked at when it is first drawn or asked whether it is null, and
// read again for each size drawn. It is null when none of them is a regular file within the
// limits with a picture's header; a file whose pixels then do not read gives way to the next.
// Given `decoding`, a size that is not a small PNG is drawn as nothing until it is decoded there.
// Each size drawn is kept for every icon of the same files, but for the active mode's pictures
// (drawn while the pointer is over the icon), which only their asker holds.
QIcon boundedIcon(QStringList files, std::shared_ptr<const IconDecoding> decoding = nullptr);

// Makes every block of a megabyte or more a mapping of its own, given back to the system as soon as
// it is freed, by whichever thread. The C library otherwise raises that bound to the largest block
// freed so far (up to 32 MiB); from then on a decoded picture's tens of megabytes stay in the heap
// of the thread that decoded it, whose top goes back to the system only past a bound raised alike,
// and which returnFreedMemory() leaves alone. Called once, before the first picture is decoded.
void mapLargeBlocksApart();
// Gives the memory that decoding freed back to the system, from every thread's heap. It holds each
// heap while it looks through it, so it is for after a burst of decoding, not after each picture.
void returnFreedMemory();

// The size a PNG's header chunk names, read from its first bytes alone; none for what is no PNG.
std::optional<QSize> pngSize(const QByteArray& bytes);
// What a PNG's image data takes: `rows` rows of `rawBytes` together inflated (each row's filter
// byte included, and each pass of an interlaced picture), held in `dataBytes` of its data chunks.
struct PngData {
    qint64 rawBytes = 0;
    qint64 rows = 0;
    qint64 dataBytes = 0;

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
// Whether a drawing (SVG) names no file but itself: each picture it places (`<image>`) is inline
// (`data:`), and any such picture that is itself a drawing does the same. The renderer opens a
// picture's file by any path it names, relative ones from the working folder, a FIFO too, where
// the read waits for ever. One that does not parse is refused: the renderer would have opened
// what it named before the fault.
bool drawingReadsOnlyItself(const QByteArray& drawing);
// A compressed drawing (gzip) inflated, none when it is damaged or holds more than `maximumBytes`:
// the image reader inflates one without a bound, and a few megabytes of it can hold gigabytes.
// Anything else comes back as it is.
std::optional<QByteArray> inflatedDrawing(const QByteArray& bytes, qsizetype maximumBytes);

} // namespace vantrel
