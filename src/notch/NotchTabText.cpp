#include "notch/NotchTabText.h"

#include "kit/GlyphCatalogue.h"
#include "kit/VantrelType.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vantrel::NotchTabText {

namespace {
constexpr double kLabelIconGap = 5;
}

QFont labelFont() {
    return VantrelType::font(10.5, QFont::DemiBold);
}

void paintLabel(QPainter& painter, const QRectF& rect, const QString& symbol, const QString& title,
                const QColor& color) {
    const QFont font = labelFont();
    const double side = VantrelType::pixelSize(font) + 1;
    GlyphCatalogue::paint(painter, symbol, QRectF(rect.left(), rect.center().y() - side / 2, side, side),
                          color, QFont::DemiBold);
    painter.setFont(font);
    painter.setPen(color);
    const QRectF text = rect.adjusted(side + kLabelIconGap, 0, 0, 0);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetricsF(font).elidedText(title, Qt::ElideRight, text.width()));
}

void paintFittedLine(QPainter& painter, const QRectF& rect, const QString& text, QFont font,
                     double minimumScale) {
    const double size = VantrelType::pixelSize(font);
    const double width = QFontMetricsF(font).horizontalAdvance(text);
    if (width > rect.width() && width > 0) {
        const double scale = std::max(rect.width() / width, minimumScale);
        font.setPixelSize(std::max(1, int(std::floor(size * scale))));
    }
    painter.setFont(font);
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetricsF(font).elidedText(text, Qt::ElideRight, rect.width()));
}

} // namespace vantrel::NotchTabText
