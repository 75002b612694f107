#include "notch/NotchPanelShape.h"

#include "kit/VantrelConcentricGeometry.h"

#include <QBitmap>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>

namespace vantrel {

double NotchPanelShape::compactRadius(double compactHeight) {
    return std::clamp(compactHeight * 0.43, 12.0, 18.0);
}

double NotchPanelShape::expandedRadius(double expandedHeight, double compactHeight) {
    return std::clamp((expandedHeight - compactHeight) * 0.22, 24.0, 30.0);
}

QPainterPath NotchPanelShape::roundedOutline(const QRectF& rect, double radius) {
    QPainterPath path;
    if (rect.isEmpty()) return path;
    const double r = std::clamp(radius, 0.0, std::min(rect.width(), rect.height()) / 2);
    path.addRoundedRect(rect, r, r);
    return path;
}

QPainterPath NotchPanelShape::compactOutline(const QSizeF& size, double radius) {
    const QRectF rect(QPointF(0, 0), size);
    if (rect.isEmpty()) return QPainterPath();
    return ContinuousRoundedRectangle{radius, true}.path(rect);
}

QPainterPath NotchPanelShape::expandedOutline(const QSizeF& size, const NotchExpandedShape& shape) {
    const QRectF rect(QPointF(0, 0), size);
    if (rect.isEmpty()) return QPainterPath();
    return shape.path(rect);
}

QRegion NotchPanelShape::coverage(const QPainterPath& outline) {
    if (outline.isEmpty()) return QRegion();
    // Rows of whole pixels: each row spans from the leftmost to the rightmost pixel the outline
    // touches anywhere within that row's height.
    const QRectF bounds = outline.boundingRect();
    const int top = static_cast<int>(std::floor(bounds.top()));
    const int bottom = static_cast<int>(std::ceil(bounds.bottom()));
    const QPolygonF polygon = outline.toFillPolygon();
    QRegion region;
    int runStart = top;
    int runLeft = 0;
    int runRight = -1;
    const auto flush = [&](int end) {
        if (runRight >= runLeft && end > runStart)
            region += QRect(runLeft, runStart, runRight - runLeft, end - runStart);
    };
    for (int y = top; y < bottom; ++y) {
        double left = bounds.right();
        double right = bounds.left();
        // The outline's extent within the band [y, y + 1]: its edges crossing the band, and its
        // corners inside the band.
        for (qsizetype i = 0; i + 1 < polygon.size(); ++i) {
            const QPointF a = polygon[i];
            const QPointF b = polygon[i + 1];
            const double lo = std::max<double>(y, std::min(a.y(), b.y()));
            const double hi = std::min<double>(y + 1, std::max(a.y(), b.y()));
            // A level edge on the row's top or bottom boundary, or a slanted one that only
            // touches it, covers nothing of the row: the shoulder line under the see-through
            // band beside the notch must not claim the band's last row.
            const bool level = a.y() == b.y();
            if (level ? (a.y() <= y || a.y() >= y + 1) : lo >= hi) continue;
            for (double at : {lo, hi}) {
                const double x = a.y() == b.y() ? std::min(a.x(), b.x())
                                                : a.x() + (b.x() - a.x()) * (at - a.y()) / (b.y() - a.y());
                const double x2 = a.y() == b.y() ? std::max(a.x(), b.x()) : x;
                left = std::min(left, x);
                right = std::max(right, x2);
            }
        }
        const int l = static_cast<int>(std::floor(left));
        const int r = static_cast<int>(std::ceil(right));
        if (l != runLeft || r != runRight) {
            flush(y);
            runStart = y;
            runLeft = l;
            runRight = r;
        }
    }
    flush(bottom);
    return region;
}

} // namespace vantrel

namespace vantrel {

QRegion NotchPanelShape::solidCoverage(const QPainterPath& outline) {
    const QRect bounds = outline.boundingRect().toAlignedRect();
    if (outline.isEmpty() || bounds.isEmpty()) return QRegion();
    QImage image(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.translate(-bounds.topLeft());
    painter.fillPath(outline, Qt::black);
    painter.end();
    return QRegion(QBitmap::fromImage(image.createAlphaMask())).translated(bounds.topLeft());
}

} // namespace vantrel
