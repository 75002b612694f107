#include "kit/OutlineWindowShape.h"

#include "platform/CompositorState.h"

#include <QBitmap>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace vantrel {

OutlineWindowShape::OutlineWindowShape(QWidget& window, WhileCompositing whileCompositing)
    : QObject(&window), window_(window), whileCompositing_(whileCompositing) {}

void OutlineWindowShape::setOutline(std::optional<QPainterPath> outline) {
    // A window that only moves (a slide) keeps its shape; working it out again costs a rendering.
    if (outline == outline_) return;
    outline_ = std::move(outline);
    apply();
}

void OutlineWindowShape::setCompositorState(CompositorState* compositor) {
    if (compositor_) disconnect(compositor_, nullptr, this, nullptr);
    compositor_ = compositor;
    if (compositor) {
        connect(compositor, &CompositorState::changed, this, [this] {
            apply();
            Q_EMIT compositingChanged();
        });
    }
    apply();
}

bool OutlineWindowShape::blendsEdges() const {
    return !compositor_ || compositor_->isCompositing();
}

void OutlineWindowShape::apply() {
    if (!outline_)
        window_.clearMask();
    else if (!blendsEdges())
        window_.setMask(solidCoverage(*outline_));
    else if (whileCompositing_ == WhileCompositing::outlineCoverage)
        window_.setMask(coverage(*outline_));
    else
        window_.clearMask();
}

QRegion OutlineWindowShape::coverage(const QPainterPath& outline) {
    if (outline.isEmpty()) return QRegion();
    // Each closed shape on its own: one polygon of them all would join them with edges that
    // cover the gaps between.
    QRegion region;
    for (QPolygonF polygon : outline.toSubpathPolygons()) {
        if (polygon.size() < 2) continue;
        if (polygon.first() != polygon.last()) polygon << polygon.first();
        region += polygonCoverage(polygon);
    }
    return region;
}

QRegion OutlineWindowShape::polygonCoverage(const QPolygonF& polygon) {
    // Rows of whole pixels: each row spans from the leftmost to the rightmost pixel the outline
    // touches anywhere within that row's height.
    const QRectF bounds = polygon.boundingRect();
    const int top = static_cast<int>(std::floor(bounds.top()));
    const int bottom = static_cast<int>(std::ceil(bounds.bottom()));
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

QRegion OutlineWindowShape::solidCoverage(const QPainterPath& outline) {
    const QRect bounds = outline.boundingRect().toAlignedRect();
    if (outline.isEmpty() || bounds.isEmpty()) return QRegion();
    // A strip at a time: a Dock of a few hundred items is a window many thousand pixels wide, and a
    // rendering of all of it would stay with the allocator after the call.
    constexpr int kStripWidth = 512;
    QImage strip(std::min(kStripWidth, bounds.width()), bounds.height(), QImage::Format_ARGB32_Premultiplied);
    QRegion region;
    for (int left = bounds.left(); left <= bounds.right(); left += kStripWidth) {
        strip.fill(Qt::transparent);
        QPainter painter(&strip);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.translate(-left, -bounds.top());
        painter.fillPath(outline, Qt::black);
        painter.end();
        region += QRegion(QBitmap::fromImage(strip.createAlphaMask())).translated(left, bounds.top());
    }
    return region;
}

} // namespace vantrel
