#include "kit/GlassCard.h"

#include "core/VantrelPreferences.h"
#include "kit/VantrelConcentricGeometry.h"
#include "kit/VantrelShadow.h"

#include <QEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

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

// One coat of the card: 0 the surface, 1 the sheen, 2 the keyline edge.
void paintCoat(QPainter& painter, int coat, const QPainterPath& shape, const QRectF& rect,
               const GlassCardLook& look, ColorScheme scheme) {
    switch (coat) {
    case 0:
        painter.fillPath(shape, withOpacity(VantrelTheme::surface().resolve(scheme), look.surfaceOpacity));
        return;
    case 1: {
        const QColor highlight = VantrelTheme::surfaceHighlight().resolve(scheme);
        QLinearGradient sheen(rect.topLeft(), rect.bottomRight());
        sheen.setColorAt(0, withOpacity(highlight, 0.085));
        sheen.setColorAt(0.5, withOpacity(highlight, 0.018));
        sheen.setColorAt(1, withOpacity(look.accent, 0.012 * look.glowIntensity));
        painter.fillPath(shape, sheen);
        return;
    }
    default: {
        const QColor border = VantrelTheme::border().resolve(scheme);
        QLinearGradient edge(rect.topLeft(), rect.bottomRight());
        edge.setColorAt(0, VantrelTheme::keyline().resolve(scheme));
        edge.setColorAt(1.0 / 3, withOpacity(border, 0.58));
        edge.setColorAt(2.0 / 3, withOpacity(look.accent, 0.075));
        edge.setColorAt(1, withOpacity(border, 0.24));
        painter.strokePath(shape, QPen(QBrush(edge), 0.75));
        return;
    }
    }
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
    if (!again) {
        coats_ = {};
        paintedSize_ = size();
        paintedLook_ = current;
        paintedScheme_ = scheme;
        paintedRatio_ = ratio;
        // A card shown once (a page passed through) is painted directly.
        paintCard(painter, QRectF(rect()), current, scheme);
        return;
    }
    // Painted again as it was: the surface and the sheen are kept as images, since filling the
    // rounded outline with them costs several times what blending the finished coats does, and a
    // running timer repaints the page every second. One image per coat, blended in turn, gives the
    // values painting the coats one over the other does; one image of both would round them
    // differently. The thin keyline edge is stroked afresh, as its image would not blend to the
    // same values where the stroke's spans overlap.
    const QRectF area(rect());
    if (coats_[0].isNull()) {
        shape_ = VantrelConcentricGeometry::containerShape(current.cornerRadius).path(area);
        for (int coat = 0; coat < 2; ++coat) {
            QImage& image = coats_[std::size_t(coat)];
            image = QImage((area.size() * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::transparent);
            QPainter coatPainter(&image);
            coatPainter.setRenderHint(QPainter::Antialiasing);
            paintCoat(coatPainter, coat, shape_, area, current, scheme);
        }
    }
    for (const QImage& coat : coats_) painter.drawImage(0, 0, coat);
    painter.setRenderHint(QPainter::Antialiasing);
    paintCoat(painter, 2, shape_, area, current, scheme);
}

void GlassCard::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // A card out of sight holds no image.
    coats_ = {};
    paintedSize_ = QSize();
}

} // namespace vantrel
