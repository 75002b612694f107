#pragma once

#include "platform/EnumTraits.h"

#include <QColor>
#include <QString>
#include <optional>

namespace vantrel {

// The colour tag of a pinned folder, in the order the colour menu lists them. `none` stands for
// the plain folder icon when chosen in a menu, but once stored it still counts as a colour tag.
#define VANTREL_DOCK_FOLDER_COLORS(C)                                                                        \
    C(none) C(red) C(orange) C(yellow) C(green) C(blue) C(purple) C(pink) C(graphite)
VANTREL_STRING_ENUM(DockFolderColor, VANTREL_DOCK_FOLDER_COLORS)

// "Default" for `none`, else the raw value with its first letter in upper case ("Red").
QString title(DockFolderColor color);
// The tag's sRGB colour at full opacity; none for `none`.
std::optional<QColor> color(DockFolderColor color);

} // namespace vantrel
