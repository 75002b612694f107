#include "kit/MetricPill.h"

#include "kit/TextAdvance.h"
#include "kit/VantrelConcentricGeometry.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vantrel {

using L = MetricPillLayout;
using VantrelTheme::withOpacity;

namespace {
QSizeF textSize(const QString& text, const QFont& font) {
    const QFontMetricsF metrics(font);
    return {std::ceil(TextAdvance::of(font, text)), std::ceil(metrics.height())};
}
} // namespace

MetricPillLayout MetricPillLayout::of(const QSizeF& value, const QSizeF& title) {
    MetricPillLayout layout;
    const double textWidth = std::max(value.width(), title.width());
    const double textHeight = value.height() + title.height();
    const double height = std::max(kTile, textHeight);
    layout.tile = QRectF(kPaddingH, kPaddingV + (height - kTile) / 2, kTile, kTile);
    const double textX = kPaddingH + kTile + kSpacing;
    const double textY = kPaddingV + (height - textHeight) / 2;
    layout.value = QRectF(textX, textY, value.width(), value.height());
    layout.title = QRectF(textX, textY + value.height(), title.width(), title.height());
    layout.size = QSizeF(textX + textWidth + kPaddingH, height + 2 * kPaddingV);
    return layout;
}

MetricPillLayout MetricPillLayout::narrowed(double width) const {
    if (width >= size.width()) return *this;
    MetricPillLayout layout = *this;
    const double textX = value.left();
    layout.size.setWidth(std::max(width, textX + kPaddingH));
    const double room = layout.size.width() - kPaddingH - textX;
    layout.value.setWidth(std::min(value.width(), room));
    layout.title.setWidth(std::min(title.width(), room));
    return layout;
}

MetricPill::MetricPill(const QString& title, const QString& value, const QString& symbol, const QColor& color,
                       QWidget* parent)
    : QWidget(parent), title_(title), value_(value), symbol_(symbol), color_(color) {
    setAccessibleName(title);
    setAccessibleDescription(value);
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
}

void MetricPill::setValue(const QString& value) {
    value_ = value;
    setAccessibleDescription(value);
    updateGeometry();
    update();
}

void MetricPill::setColor(const QColor& color) {
    color_ = color;
    update();
}

QFont MetricPill::valueFont() {
    return VantrelType::font(15, QFont::Bold);
}
QFont MetricPill::titleFont() {
    return VantrelType::font(9.5, QFont::Normal);
}

MetricPillLayout MetricPill::pillLayout() const {
    return MetricPillLayout::of(textSize(value_, valueFont()), textSize(title_, titleFont()));
}

QSize MetricPill::sizeHint() const {
    return pillLayout().size.toSize();
}

QSize MetricPill::minimumSizeHint() const {
    return pillLayout().narrowed(0).size.toSize();
}

void MetricPill::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    const MetricPillLayout layout = pillLayout().narrowed(width());
    const QRectF frame(QPointF(0, 0), layout.size);
    const QPainterPath shape = VantrelConcentricGeometry::nestedRectangle(L::kRadius).path(frame);

    const QColor elevated = VantrelTheme::elevated().resolve(scheme);
    QLinearGradient fill(frame.topLeft(), frame.bottomRight());
    fill.setColorAt(0, elevated);
    fill.setColorAt(1, withOpacity(elevated, 0.45));
    painter.fillPath(shape, fill);
    QPen border(VantrelTheme::border().resolve(scheme), L::kBorder);
    border.setMiterLimit(10);
    painter.strokePath(shape, border);

    painter.fillPath(VantrelConcentricGeometry::nestedRectangle(L::kTileRadius).path(layout.tile),
                     withOpacity(color_, 0.12));
    VantrelGlyph::paint(painter, layout.tile, symbol_, color_, 12, QFont::DemiBold);

    painter.setFont(valueFont());
    painter.setPen(VantrelTheme::primary(scheme));
    painter.drawText(layout.value, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     QFontMetricsF(valueFont()).elidedText(value_, Qt::ElideRight, layout.value.width()));
    painter.setFont(titleFont());
    painter.setPen(VantrelTheme::secondaryText().resolve(scheme));
    painter.drawText(layout.title, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     QFontMetricsF(titleFont()).elidedText(title_, Qt::ElideRight, layout.title.width()));
}

} // namespace vantrel
