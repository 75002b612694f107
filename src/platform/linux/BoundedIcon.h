#pragma once

#include "platform/PictureGate.h"
#include "platform/ResultPort.h"

#include <QIcon>
#include <QStringList>
#include <functional>
#include <memory>

namespace vantrel {

// Icons named by other programs (an entry's Icon=, a file an icon theme holds) are read and
// decoded through the picture gate: a FIFO, a device or a file too large in an icon's place gives
// no icon, and a slow or hung file system never holds up the asking thread.

class WorkQueue;

// The widest and tallest bitmap decoded on the asking thread, from bytes already in memory: a
// small PNG of few chunks whose image data is no longer than its rows decodes in a few
// milliseconds; anything larger, and any other format, may take seconds.
constexpr int kMaximumInlineDecodeSide = 256;

// Where icon files are read and their pictures decoded, and how the asker learns that one is in
// (posted to its thread as each one is in; the asker gathers those that come close together). The
// owner clears `queue` before it goes; without one, every file is read and every picture decoded
// on the asking thread. `reader` is how the files are read (the real files by default).
struct IconDecoding {
    IconDecoding(WorkQueue* queue, ResultPort::Handle port, std::function<void()> decoded,
                 PictureFileReader* reader = nullptr)
        : queue(queue), port(std::move(port)), decoded(std::move(decoded)),
          reader(reader ? reader : &regularPictureFiles()) {}

    WorkQueue* queue = nullptr;
    ResultPort::Handle port;
    std::function<void()> decoded;
    PictureFileReader* reader = nullptr;
};

// An icon drawn from `files`, looked at when it is first drawn or asked whether it is null, and
// read again for each size drawn. It is null when none of them is a regular file within the
// limits with a picture's header; a file whose pixels then do not read gives way to the next.
// Given `decoding`, the files are read there, never on the asking thread: until they are, the icon
// is not null and draws as nothing, as while a picture is decoded; once read, only a small PNG
// kept in memory is decoded at once, every other size there, told as each is in. Each size drawn
// is kept for every icon of the same files, but for the active mode's pictures (drawn while the
// pointer is over the icon), which only their asker holds.
QIcon boundedIcon(QStringList files, std::shared_ptr<const IconDecoding> decoding = nullptr);

} // namespace vantrel
