#pragma once

#include <QFont>
#include <QString>

class QColor;
class QPainter;
class QRectF;

namespace vantrel::NotchTabText {

// The font of a tab's section label ("CPU", "Stopwatch", ...).
QFont labelFont();

// A section label: the symbol in a square as tall as the label font's size, then the title,
// elided to the rectangle.
void paintLabel(QPainter& painter, const QRectF& rect, const QString& symbol, const QString& title,
                const QColor& color);

// One line of text shrunk down to `minimumScale` of its size, then elided, to fit `rect`, in the
// painter's pen.
void paintFittedLine(QPainter& painter, const QRectF& rect, const QString& text, QFont font,
                     double minimumScale);

} // namespace vantrel::NotchTabText
