#pragma once

#include "core/PreferenceEnums.h"

#include <QRectF>
#include <QSizeF>

namespace vantrel {

// The notch preview's geometry for an offered width: the scale of the miniature, the compact and
// expanded sizes it draws to that scale, the rendered notch and its corner radius, and the
// header's metrics. The rules repeat the real panel's, so the miniature matches the notch that
// opens on the display. Pure.
struct NotchPreviewGeometry {
    static constexpr double kHeight = 294;       // the stage
    static constexpr double kStageRadius = 24;   // the stage's corners
    static constexpr double kNotchTop = 14;      // the notch hangs this far below the stage's top
    static constexpr double kStageMargin = 36;   // the width the stage keeps for itself
    static constexpr double kFullWidth = 920;    // the widest expanded panel, drawn at scale 1
    static constexpr double kMaximumWidth = 759; // the widest the miniature is drawn
    static constexpr double kCompactWidth = 170; // the panel's default hardware notch width
    static constexpr double kCompactHeight = 38; // and top bridge height
    static constexpr double kHeaderInset = 18;   // the header, from the notch's sides

    double scale = 0;
    QSizeF compactSize;  // 170 × 38, scaled
    QSizeF expandedSize; // the size's first-tier panel, scaled
    QSizeF shownSize;    // what is drawn: compact or expanded
    double cornerRadius = 0;
    double bridgeRadius = 0; // the bridge's bottom corners
    double tile = 0;         // the header's accent tile
    double glyph = 0;        // the rail's glyphs

    // The rendered notch in a stage `width` wide: centred, hanging 14 below its top.
    QRectF notchRect(double width) const;
    // The header's band in a stage `width` wide: inset 18 at the sides and the bridge height + 4
    // from the notch's top, as tall as its tile.
    QRectF headerRect(double width) const;

    static NotchPreviewGeometry compute(double width, NotchSize size, bool expanded);
    // The geometry `t` of the way from `from` to `to` (for the opening and closing and a change of
    // size).
    static NotchPreviewGeometry blend(const NotchPreviewGeometry& from, const NotchPreviewGeometry& to,
                                      double t);
};

} // namespace vantrel
