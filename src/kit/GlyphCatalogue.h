#pragma once

#include <QColor>
#include <QFont>
#include <QPainterPath>
#include <QStringList>
#include <vector>

class QPainter;

namespace vantrel {

// One layer of a glyph drawing, in the catalogue's 24 by 24 unit box.
struct GlyphLayer {
    QPainterPath path;
    bool stroked = true;    // stroked with the weight's line width, else filled
    bool secondary = false; // drawn at the hierarchical secondary opacity
};

// The drawings behind symbol names ("doc.on.clipboard", "timer", ...): one drawing of our own per
// name, and a neutral fallback for any name it does not know. New names are added to the table in
// GlyphCatalogue.cpp.
namespace GlyphCatalogue {

// The side of the square every drawing is made in.
inline constexpr double kBoxSide = 24.0;
// The opacity of secondary layers, relative to the glyph's colour.
inline constexpr double kSecondaryOpacity = 0.5;

// Whether `name` has a drawing of its own.
bool contains(QStringView name);
// Every name with a drawing, in table order.
QStringList names();
// The layers of `name`'s drawing; the fallback's for an unknown name.
std::vector<GlyphLayer> layers(QStringView name);
// The stroke width, in box units, of a glyph drawn at `weight`.
double strokeWidth(QFont::Weight weight);

// Draws `name` scaled to fit `box` (centred, aspect kept) in `color` at `weight`, primary layers
// in the colour, secondary ones at kSecondaryOpacity of it.
void paint(QPainter& painter, QStringView name, const QRectF& box, const QColor& color,
           QFont::Weight weight = QFont::Normal);

} // namespace GlyphCatalogue

} // namespace vantrel
