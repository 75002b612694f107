#include "kit/GlassCard.h"

#include "core/VantrelPreferences.h"
#include "kit/VantrelConcentricGeometry.h"
#include "kit/VantrelShadow.h"

#include <QEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace vantrel {

using VantrelTheme::withOpacity;

double GlassCardLook::cornerRadiusFor(CornerStyle style) {
    switch (style) {
    case CornerStyle::compact:
        return 12;
    case CornerStyle::rounded:
        return 18;
    case CornerStyle::soft:
        return 26;
    }
    return 18;
}

double GlassCardLook::surfaceOpacityFor(GlassStyle style) {
    switch (style) {
    case GlassStyle::quiet:
        return 0.6;
    case GlassStyle::balanced:
        return 0.76;
    case GlassStyle::deep:
        return 0.9;
    }
    return 0.76;
}

GlassCardLook GlassCardLook::from(const VantrelPreferences& preferences) {
    return {cornerRadiusFor(preferences.interfaceCornerStyle()), surfaceOpacityFor(preferences.glassStyle()),
            VantrelTheme::accent(preferences.accent()), preferences.appearanceGlowIntensity()};
}

GlassCard::GlassCard(VantrelPreferences& preferences, double padding, QWidget* content, QWidget* parent)
    : QWidget(parent), preferences_(preferences), padding_(padding), layout_(new QVBoxLayout(this)) {
    const int p = qRound(padding);
    layout_->setContentsMargins(p, p, p, p);
    layout_->setSpacing(0);
    setContent(content);
    shadow_ = new VantrelShadow(this, [this](const QRectF& rect) {
        return VantrelConcentricGeometry::containerShape(look().cornerRadius).path(rect);
    });
    refreshLook();
    connect(&preferences_, &VantrelPreferences::changed, this, [this](VantrelPreferences::Setting setting) {
        using S = VantrelPreferences::Setting;
        if (setting == S::interfaceCornerStyle || setting == S::glassStyle || setting == S::accent ||
            setting == S::appearanceGlowIntensity)
            refreshLook();
    });
}

GlassCard::~GlassCard() {
    delete shadow_;
}

void GlassCard::setContent(QWidget* content) {
    if (content == content_) return;
    delete content_;
    content_ = content;
    if (content) layout_->addWidget(content);
}

void GlassCard::refreshLook() {
    if (shadow_) {
        shadow_->setLook({VantrelTheme::shadow().resolve(this), 15, QPointF(0, 7)});
        shadow_->invalidateShape(); // the corner radius may have changed
    }
    update();
}

namespace {

// What fills coat 0 (the surface) or coat 1 (the sheen) of a card in `rect`.
QBrush coatBrush(int coat, const QRectF& rect, const GlassCardLook& look, ColorScheme scheme) {
    if (coat == 0) return withOpacity(VantrelTheme::surface().resolve(scheme), look.surfaceOpacity);
    const QColor highlight = VantrelTheme::surfaceHighlight().resolve(scheme);
    QLinearGradient sheen(rect.topLeft(), rect.bottomRight());
    sheen.setColorAt(0, withOpacity(highlight, 0.085));
    sheen.setColorAt(0.5, withOpacity(highlight, 0.018));
    sheen.setColorAt(1, withOpacity(look.accent, 0.012 * look.glowIntensity));
    return sheen;
}

// One coat of the card: 0 the surface, 1 the sheen, 2 the keyline edge.
void paintCoat(QPainter& painter, int coat, const QPainterPath& shape, const QRectF& rect,
               const GlassCardLook& look, ColorScheme scheme) {
    if (coat < 2) {
        painter.fillPath(shape, coatBrush(coat, rect, look, scheme));
        return;
    }
    const QColor border = VantrelTheme::border().resolve(scheme);
    QLinearGradient edge(rect.topLeft(), rect.bottomRight());
    edge.setColorAt(0, VantrelTheme::keyline().resolve(scheme));
    edge.setColorAt(1.0 / 3, withOpacity(border, 0.58));
    edge.setColorAt(2.0 / 3, withOpacity(look.accent, 0.075));
    edge.setColorAt(1, withOpacity(border, 0.24));
    painter.strokePath(shape, QPen(QBrush(edge), 0.75));
}

// How far from each side the outline of a card of `size` bends away from it: beyond that, along
// both axes, every pixel is wholly inside.
QSizeF cornerExtent(const QPainterPath& shape, QSize size) {
    double x = 0, y = 0;
    for (int i = 0; i < shape.elementCount(); ++i) {
        const QPainterPath::Element e = shape.elementAt(i);
        x = std::max(x, std::min(e.x, size.width() - e.x));
        y = std::max(y, std::min(e.y, size.height() - e.y));
    }
    return {x, y};
}

} // namespace

void GlassCard::paintCard(QPainter& painter, const QRectF& rect, const GlassCardLook& look,
                          ColorScheme scheme) {
    const QPainterPath shape = VantrelConcentricGeometry::containerShape(look.cornerRadius).path(rect);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    for (int coat = 0; coat < 3; ++coat) paintCoat(painter, coat, shape, rect, look, scheme);
    painter.restore();
}

void GlassCard::paintEvent(QPaintEvent*) {
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    // The appearance may have changed on an ancestor since the last paint; the shadow follows.
    if (shadow_) shadow_->setLook({VantrelTheme::shadow().resolve(scheme), 15, QPointF(0, 7)});
    QPainter painter(this);
    const GlassCardLook current = look();
    const double ratio = painter.device() ? painter.device()->devicePixelRatio() : 1.0;
    const bool again = paintedSize_ == size() && paintedLook_ == current && paintedScheme_ == scheme &&
                       paintedRatio_ == ratio;
    const QRectF area(rect());
    if (again && shape_.isEmpty()) {
        shape_ = VantrelConcentricGeometry::containerShape(current.cornerRadius).path(area);
        const QSizeF extent = cornerExtent(shape_, size());
        cornerSize_ = QSize(int(std::ceil(extent.width())), int(std::ceil(extent.height())));
        // Corners that meet leave nothing plain between them, and at a fractional pixel ratio the
        // rectangles would not meet the corners on whole pixels: such a card is painted whole.
        if (2 * cornerSize_.width() > width() || 2 * cornerSize_.height() > height() ||
            ratio != std::floor(ratio))
            shape_ = QPainterPath();
    }
    if (!again || shape_.isEmpty()) {
        shape_ = QPainterPath();
        paintedSize_ = size();
        paintedLook_ = current;
        paintedScheme_ = scheme;
        paintedRatio_ = ratio;
        // A card shown once (a page passed through) is painted directly, and so is a small one.
        paintCard(painter, area, current, scheme);
        return;
    }
    // Painted again as it was: filling the rounded outline across the whole card costs several
    // times what filling it within its corners only, where it covers pixels in part, and the plain
    // rectangles between them as rectangles does, and a running timer repaints the page every
    // second. Each coat is laid down whole before the next, as painting the outline does; the thin
    // keyline edge is stroked as before.
    const int w = width(), h = height(), cw = cornerSize_.width(), ch = cornerSize_.height();
    QRegion corners;
    for (const QPoint origin : {QPoint(0, 0), QPoint(w - cw, 0), QPoint(0, h - ch), QPoint(w - cw, h - ch)})
        corners += QRect(origin, cornerSize_);
    for (int coat = 0; coat < 2; ++coat) {
        const QBrush brush = coatBrush(coat, area, current, scheme);
        painter.save();
        painter.setClipRegion(corners, Qt::IntersectClip);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(shape_, brush);
        painter.restore();
        for (const QRect& between :
             {QRect(cw, 0, w - 2 * cw, ch), QRect(0, ch, w, h - 2 * ch), QRect(cw, h - ch, w - 2 * cw, ch)})
            if (!between.isEmpty()) painter.fillRect(between, brush);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    paintCoat(painter, 2, shape_, area, current, scheme);
}

void GlassCard::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // A card out of sight starts afresh.
    shape_ = QPainterPath();
    paintedSize_ = QSize();
}

} // namespace vantrel
