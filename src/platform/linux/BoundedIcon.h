#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

namespace vantrel {

// Icons named by other programs (an entry's Icon=, a file an icon theme holds) are read only from
// regular files of bounded size and bounded pixel size, with a read that never waits: a FIFO or
// a device in an icon's place gives no icon instead of a program stuck in open() for good.

// The most bytes one icon file may hold; a theme's largest bitmaps take a few hundred kilobytes.
constexpr qint64 kMaximumIconFileBytes = 8 << 20;
// The widest and tallest bitmap taken.
constexpr int kMaximumIconSide = 2048;

// An icon drawn from `files`, looked at when it is first drawn or asked whether it is null, and
// read again for each size drawn. It is null when none of them is a regular file within the
// limits with a picture's header; a file whose pixels then do not read gives way to the next.
QIcon boundedIcon(QStringList files);

} // namespace vantrel
