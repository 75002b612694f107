#include "notch/NotchSurfaceBody.h"

#include "kit/ThemeArtwork.h"
#include "kit/VantrelConcentricGeometry.h"
#include "kit/VantrelShadow.h"
#include "kit/VantrelTheme.h"
#include "notch/FrostedMirrorBackdrop.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <tuple>

namespace vantrel::NotchSurfaceBody {

namespace Look = NotchSurfaceLook;

namespace {

using VantrelTheme::black;
using VantrelTheme::white;

// Butt caps, miter joins, miter limit 10, no dash.
void stroke(QPainter& painter, const QPainterPath& path, const QColor& color, double width) {
    QPen pen(color, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    painter.strokePath(path, pen);
}

// A radial glow from `color` at `opacity` to clear.
QRadialGradient glow(QPointF centre, double radius, QColor color, double opacity) {
    QRadialGradient gradient(centre, radius);
    gradient.setColorAt(0, VantrelTheme::withOpacity(color, opacity));
    QColor clear = color;
    clear.setAlpha(0);
    gradient.setColorAt(1, clear);
    return gradient;
}

auto lookTie(const NotchLookSettings& l) {
    return std::tie(l.appearance, l.glassDensity, l.themeScope, l.artTheme, l.customTintEnabled,
                    l.backgroundTint.red, l.backgroundTint.green, l.backgroundTint.blue, l.themeColorAmount);
}

// The art theme's image over the body, clipped to the outline; nothing for the neutral theme.
void paintArtwork(QPainter& painter, const Key& key, const QPainterPath& outline, const QRectF& area,
                  bool dark) {
    const double opacity = Look::artworkOpacity(key.look, dark);
    if (!key.artwork || key.artwork->isNull() || opacity <= 0) return;
    painter.save();
    painter.setClipPath(outline, Qt::IntersectClip);
    ThemeArtwork::paint(painter, *key.artwork, area, opacity);
    painter.restore();
}

} // namespace

bool Key::operator==(const Key& other) const {
    return size == other.size && devicePixelRatio == other.devicePixelRatio &&
           lookTie(look) == lookTie(other.look) && shape == other.shape &&
           reduceTransparency == other.reduceTransparency && blurredBehind == other.blurredBehind &&
           accent == other.accent && artwork.has_value() == other.artwork.has_value() &&
           (!artwork || artwork->cacheKey() == other.artwork->cacheKey());
}

QImage render(const Key& key) {
    QImage image(key.size * key.devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(key.devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF area(QPointF(0, 0), QSizeF(key.size));
    const QPainterPath outline = key.shape.path(area);
    const bool dark = key.look.appearance == NotchAppearance::midnight;
    const QColor tint = Look::backgroundTint(key.look, QColor::fromRgba(key.accent));
    const double tintOpacity = Look::tintGlowOpacity(key.look, dark);

    if (dark) {
        painter.fillPath(outline, NotchOLED::black);
        paintArtwork(painter, key, outline, area, true);
        if (tintOpacity > 0)
            painter.fillPath(outline, glow(area.bottomLeft(), Look::tintGlowRadius(true), tint, tintOpacity));
        // The edge line is clipped with the rest of the look: its outer half would otherwise
        // lie over the see-through band beside the notch and round the body's corners.
        painter.setClipPath(outline);
        stroke(painter, outline, white(0.1), 0.75);
        return image;
    }

    // The crystal glass casts a soft shadow under its body. A blur this wide loses nothing at a
    // quarter of the resolution, which makes it sixteen times cheaper.
    constexpr double kShadowScale = 0.25;
    const QSize shadowSize = (QSizeF(key.size) * kShadowScale).toSize().expandedTo(QSize(1, 1));
    QImage shadow = VantrelShadow::blurredMask(QTransform::fromScale(kShadowScale, kShadowScale).map(outline),
                                               shadowSize, 18 * kShadowScale);
    if (!shadow.isNull()) {
        QPainter shade(&shadow);
        shade.setCompositionMode(QPainter::CompositionMode_SourceIn);
        shade.fillRect(shadow.rect(), black(0.16));
        shade.end();
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(QPointF(0, 8), QSizeF(key.size)), shadow);
        // The shadow lies outside the body only: the glass is see-through.
        painter.setCompositionMode(QPainter::CompositionMode_Clear);
        painter.fillPath(outline, Qt::black);
        painter.restore();
    }

    painter.save();
    painter.setClipPath(outline);
    FrostedMirrorBackdrop(!key.reduceTransparency, key.blurredBehind).paint(painter, outline);
    QColor glass = QColor::fromRgbF(0.88f, 0.89f, 0.89f, 1);
    painter.fillPath(outline,
                     VantrelTheme::withOpacity(
                         glass, Look::glassFillOpacity(key.look.glassDensity, key.reduceTransparency)));
    paintArtwork(painter, key, outline, area, false);
    if (tintOpacity > 0)
        painter.fillPath(outline, glow(area.bottomLeft(), Look::tintGlowRadius(false), tint, tintOpacity));
    QLinearGradient sheen(area.topLeft(), area.bottomRight());
    sheen.setColorAt(0, white(0.28));
    sheen.setColorAt(0.4, white(0.07));
    sheen.setColorAt(0.72, QColor::fromRgbF(0.62f, 0.62f, 0.62f, 0.07f));
    sheen.setColorAt(1, white(0.16));
    painter.fillPath(outline, sheen);
    painter.fillPath(outline, glow(area.topLeft(), 480, Qt::white, 0.16));
    stroke(painter, outline, white(0.52), 0.8);
    stroke(painter, key.shape.path(area.adjusted(0.7, 0.7, -0.7, -0.7)), black(0.08), 1);

    // The black bridge over the hardware notch.
    if (key.shape.hasPhysicalNotch) {
        const QRectF bridge(area.center().x() - key.shape.notchWidth / 2, 0, key.shape.notchWidth,
                            key.shape.bridgeHeight);
        painter.fillPath(
            ContinuousRoundedRectangle{Look::capCornerRadius(key.shape.bridgeHeight), true}.path(bridge),
            NotchOLED::black);
    }
    painter.restore();
    return image;
}

} // namespace vantrel::NotchSurfaceBody
