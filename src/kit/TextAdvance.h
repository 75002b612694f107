#pragma once

#include <QFont>
#include <QString>

namespace vantrel {

// The width of a line of text in a font, measured once and then looked up. Layouts ask a widget
// for its size hint many times while a window is built (80 times for the ten navigation buttons
// of the control center), and each measurement shapes the text anew. For the main thread only,
// like every widget.
namespace TextAdvance {

// What QFontMetricsF(font).horizontalAdvance(text) returns.
double of(const QFont& font, const QString& text);

// What QFontMetricsF(font).elidedText(text, Qt::ElideRight, width) returns, measured once and then
// looked up: a view repainted every second asks the same question each time.
QString elidedRight(const QFont& font, const QString& text, double width);

// Entries kept before the cache starts over, so that texts of other programs (clipboard entries,
// file names) cannot grow it without end.
inline constexpr int kCapacity = 512;
int cachedCount();
int cachedElidedCount();
void clear();

} // namespace TextAdvance

} // namespace vantrel
