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

// The files of icon `name` in the current icon theme (QIcon::themeName(), in
// QIcon::themeSearchPaths()), else in the themes it inherits, else hicolor, else in the
// fallback folders of loose pictures (QIcon::fallbackSearchPaths(), /usr/share/pixmaps). Only
// names are looked at here; nothing is opened but the themes' index files.
QStringList themeIconFiles(const QString& name);

// An icon drawn from `files`, looked at when it is first drawn or asked whether it is null, and
// read again for each size drawn. It is null when none of them is a regular file within the
// limits with a picture's header; a file whose pixels then do not read gives way to the next.
QIcon boundedIcon(QStringList files);

// The icon an entry's Icon= names: a file when it is an absolute path, else a name looked up in
// the icon themes. Null when nothing readable is found.
QIcon iconNamed(const QString& icon);

} // namespace vantrel
