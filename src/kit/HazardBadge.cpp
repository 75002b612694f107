#include "kit/HazardBadge.h"

#include "kit/TextAdvance.h"
#include "kit/VantrelConcentricGeometry.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace vantrel {

using L = HazardBadgeLayout;
using VantrelTheme::withOpacity;

HazardBadgeLayout HazardBadgeLayout::of(const QSizeF& text) {
    HazardBadgeLayout layout;
    const double height = std::max(kTile, text.height());
    layout.tile = QRectF(kPaddingH, kPaddingV + (height - kTile) / 2, kTile, kTile);
    layout.text = QRectF(kPaddingH + kTile + kSpacing, kPaddingV + (height - text.height()) / 2, text.width(),
                         text.height());
    layout.size = QSizeF(layout.text.right() + kPaddingH, height + 2 * kPaddingV);
    return layout;
}

HazardBadge::HazardBadge(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
    setAccessibleName(text);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QColor HazardBadge::red(const QWidget* widget) {
    static const AdaptiveColor systemRed{QColor(255, 69, 58), QColor(255, 59, 48)};
    return systemRed.resolve(widget);
}

QFont HazardBadge::font() {
    return VantrelType::font(9.5, QFont::Bold);
}

HazardBadgeLayout HazardBadge::badgeLayout() const {
    const QFontMetricsF metrics(font());
    return HazardBadgeLayout::of(
        QSizeF(std::ceil(TextAdvance::of(font(), text_)), std::ceil(metrics.height())));
}

QSize HazardBadge::sizeHint() const {
    return badgeLayout().size.toSize();
}

void HazardBadge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor systemRed = red(this);
    const HazardBadgeLayout layout = badgeLayout();
    const QRectF capsule = QRectF(QPointF(0, 0), layout.size).adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = capsule.height() / 2;
    QPen stroke(withOpacity(systemRed, 0.38), L::kStroke);
    stroke.setMiterLimit(10);
    painter.setPen(stroke);
    painter.setBrush(withOpacity(systemRed, 0.12));
    painter.drawRoundedRect(capsule, radius, radius);

    painter.fillPath(VantrelConcentricGeometry::nestedRectangle(L::kTileRadius).path(layout.tile), systemRed);
    VantrelGlyph::paint(painter, layout.tile, u"exclamationmark.triangle.fill", Qt::white, 9, QFont::Black);

    painter.setFont(font());
    painter.setPen(systemRed);
    painter.drawText(layout.text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text_);
}

} // namespace vantrel
