#pragma once

#include <QFont>
#include <QRectF>
#include <QString>

class QPainter;

namespace vantrel {

// Text whose digits all take one width, the advance of the font's widest digit, so that a
// running time or a changing figure keeps its width and its separators keep their places. Qt 6.4
// cannot ask a font for its tabular figures, so each digit is drawn centred in a cell of that
// width; every other character keeps its own advance.
namespace TabularFigures {

// The width of one digit cell in `font`.
double digitWidth(const QFont& font);
// The width `text` takes in `font` with its digits in cells.
double advance(const QFont& font, const QString& text);
// `text` cut at the end with "…" where it is wider than `width`; the whole text when it fits.
QString elided(const QFont& font, const QString& text, double width);
// Draws `text` on one line in the painter's font and pen, placed in `rect` by `alignment` (left,
// right or centred across; top, bottom or centred down); it is elided first where it does not fit.
void draw(QPainter& painter, const QRectF& rect, Qt::Alignment alignment, const QString& text);

} // namespace TabularFigures

} // namespace vantrel
