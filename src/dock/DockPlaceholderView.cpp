#include "dock/DockPlaceholderView.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace vantrel {

namespace {
// The panel is 37 points taller than a tile; tiles sit 8 points apart.
constexpr double kChrome = 37;
constexpr double kSpacing = 8;
constexpr double kCornerRadius = 25;
constexpr double kOpacity = 0.82;

double tileSize(const QWidget& view) {
    return std::max(0.0, view.height() - kChrome);
}
} // namespace

DockPlaceholderView::DockPlaceholderView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
}

int DockPlaceholderView::placeCount() const {
    const double tile = tileSize(*this);
    if (tile <= 0) return 0;
    const double room = width() - 2 * (kSpacing + 1) - 46 + kSpacing;
    return std::max(0, static_cast<int>(room / (tile + 5 + kSpacing)));
}

void DockPlaceholderView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF slab = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = std::min(kCornerRadius, slab.height() / 2);
    painter.setPen(QPen(QColor(255, 255, 255, 46), 1));
    painter.setBrush(QColor(28, 28, 32, static_cast<int>(255 * kOpacity)));
    painter.drawRoundedRect(slab, radius, radius);

    const double tile = tileSize(*this);
    const int count = placeCount();
    if (count == 0) return;
    const double rowWidth = count * tile + (count - 1) * (kSpacing + 5);
    double x = (width() - rowWidth) / 2;
    const double y = (height() - tile) / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 40));
    for (int i = 0; i < count; ++i) {
        painter.drawRoundedRect(QRectF(x, y, tile, tile), tile * 0.22, tile * 0.22);
        x += tile + kSpacing + 5;
    }
}

} // namespace vantrel
