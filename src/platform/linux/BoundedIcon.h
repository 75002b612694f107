#pragma once

#include "platform/ResultPort.h"

#include <QIcon>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

namespace vantrel {

// Icons named by other programs (an entry's Icon=, a file an icon theme holds) are read only from
// regular files of bounded size and bounded pixel size, with a read that never waits: a FIFO or
// a device in an icon's place gives no icon instead of a program stuck in open() for good.

// The most bytes one icon file may hold; a theme's largest bitmaps take a few hundred kilobytes.
constexpr qint64 kMaximumIconFileBytes = 8 << 20;
// The widest and tallest bitmap taken.
constexpr int kMaximumIconSide = 2048;

class WorkQueue;

// The widest and tallest bitmap decoded on the asking thread: a small PNG decodes in a few
// milliseconds; anything larger, and any other format, may take seconds.
constexpr int kMaximumInlineDecodeSide = 256;

// Where the pictures too costly to decode on the asking thread are decoded, and how the asker
// learns that they are in (posted to its thread once none is left to decode, so that a row of
// icons decoded together is asked for again once, not once each). The owner clears `queue` before
// it goes; without one, every picture is decoded on the asking thread.
struct IconDecoding {
    IconDecoding(WorkQueue* queue, ResultPort::Handle port, std::function<void()> decoded)
        : queue(queue), port(std::move(port)), decoded(std::move(decoded)) {}

    WorkQueue* queue = nullptr;
    ResultPort::Handle port;
    std::function<void()> decoded;
    mutable std::atomic<int> pending{0};
};

// An icon drawn from `files`, looked at when it is first drawn or asked whether it is null, and
// read again for each size drawn. It is null when none of them is a regular file within the
// limits with a picture's header; a file whose pixels then do not read gives way to the next.
// Given `decoding`, a size that is not a small PNG is drawn as nothing until it is decoded there.
QIcon boundedIcon(QStringList files, std::shared_ptr<const IconDecoding> decoding = nullptr);

} // namespace vantrel
