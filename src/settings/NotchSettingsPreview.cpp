#include "settings/NotchSettingsPreview.h"

#include "core/VantrelPreferences.h"
#include "kit/ThemeArtwork.h"
#include "kit/ThemeImageStore.h"
#include "kit/VantrelConcentricGeometry.h"
#include "kit/VantrelMotion.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "notch/NotchExpandedShape.h"
#include "notch/NotchSurfaceLayout.h"
#include "notch/NotchTabGlyph.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QVariantAnimation>
#include <algorithm>

namespace vantrel {

namespace {

QColor srgb(double red, double green, double blue, double alpha) {
    return QColor::fromRgbF(float(red), float(green), float(blue), float(alpha));
}

} // namespace

NotchSettingsPreview::NotchSettingsPreview(VantrelPreferences& preferences, ThemeImageStore& themeImages,
                                           VantrelMotion& motion, QWidget* parent)
    : QWidget(parent), preferences_(preferences), themeImages_(themeImages), motion_(motion),
      look_(lookOf(preferences)), lookFade_(new QVariantAnimation(this)),
      resize_(new QVariantAnimation(this)) {
    setAccessibleName(QStringLiteral("Interactive notch preview"));
    setFixedHeight(int(NotchPreviewGeometry::kHeight));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAttribute(Qt::WA_Hover);
    connect(lookFade_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        previousOpacity_ = value.toDouble();
        update();
    });
    connect(lookFade_, &QVariantAnimation::finished, this, [this] {
        previous_ = QImage();
        previousOpacity_ = 0;
        update();
    });
    connect(resize_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        sizeProgress_ = value.toDouble();
        update();
    });
    connect(resize_, &QVariantAnimation::finished, this, [this] {
        sizeProgress_ = 1;
        update();
    });
    connect(&preferences_, &VantrelPreferences::changed, this, &NotchSettingsPreview::refreshLook);
    loadArtwork();
}

NotchSettingsPreview::Look NotchSettingsPreview::lookOf(const VantrelPreferences& preferences) {
    return {.material = preferences.notchAppearance(),
            .size = preferences.notchSize(),
            .theme = preferences.artTheme(),
            .scope = preferences.themeScope(),
            // A stored strength outside the slider's range draws as its nearest end.
            .amount = std::clamp(preferences.themeColorAmount(), 0.0, 1.0),
            .tint = preferences.backgroundTint(),
            .tintEnabled = preferences.customBackgroundTintEnabled(),
            .accent = preferences.accent(),
            .widgetSignature = signature(NotchSurfaceLayout::availableTabs(preferences))};
}

QString NotchSettingsPreview::signature(const std::vector<NotchTab>& tabs) {
    QStringList names;
    for (const NotchTab tab : tabs) names.append(rawValue(tab));
    return names.join(QLatin1Char('|'));
}

std::vector<NotchTab> NotchSettingsPreview::tabs() const {
    // The panel's own rule: a stored "home" or a repeated entry shows once.
    return NotchSurfaceLayout::availableTabs(preferences_);
}

ArtTheme NotchSettingsPreview::previewTheme() const {
    return look_.scope == ThemeScope::settingsOnly ? ArtTheme::neutral : look_.theme;
}

bool NotchSettingsPreview::previewTintIsActive() const {
    return look_.tintEnabled && look_.scope != ThemeScope::settingsOnly;
}

void NotchSettingsPreview::setExpanded(bool expanded) {
    if (expanded == expanded_) return;
    expanded_ = expanded;
    update();
}

void NotchSettingsPreview::setExpansion(double progress) {
    if (progress == expansion_) return;
    expansion_ = progress;
    update();
}

void NotchSettingsPreview::setHovering(bool hovering) {
    if (hovering == hovering_) return;
    hovering_ = hovering;
    update();
}

NotchPreviewGeometry NotchSettingsPreview::geometry() const {
    const double w = width();
    const auto opened = [this, w](NotchSize size) {
        if (expansion_ >= 1) return NotchPreviewGeometry::compute(w, size, true);
        if (expansion_ <= 0) return NotchPreviewGeometry::compute(w, size, false);
        return NotchPreviewGeometry::blend(NotchPreviewGeometry::compute(w, size, false),
                                           NotchPreviewGeometry::compute(w, size, true), expansion_);
    };
    if (sizeProgress_ >= 1) return opened(look_.size);
    return NotchPreviewGeometry::blend(opened(sizeBefore_), opened(look_.size), sizeProgress_);
}

double NotchSettingsPreview::capsuleWidth() const {
    return !expanded_ && hovering_ ? 0.36 * geometry().compactSize.width() : 0;
}

double NotchSettingsPreview::capsuleOpacity() const {
    return !expanded_ && hovering_ ? 0.82 : 0;
}

QColor NotchSettingsPreview::primary(double crystalOpacity, double midnightOpacity) const {
    return look_.material == NotchAppearance::crystal ? VantrelTheme::black(crystalOpacity)
                                                      : VantrelTheme::white(midnightOpacity);
}

void NotchSettingsPreview::loadArtwork() {
    const ArtTheme theme = previewTheme();
    ThemeArtworkRequest request;
    request.theme = theme;
    request.isDark = look_.material == NotchAppearance::midnight;
    request.thumbnail = true;
    artwork_ = request.resolve(themeImages_);
}

void NotchSettingsPreview::refreshLook() {
    Look next = lookOf(preferences_);
    if (next == look_) return;
    Look sameSize = next;
    sameSize.size = look_.size;
    const bool restyled = !(sameSize == look_);
    const std::optional<VantrelAnimation> animation =
        motion_.resolve(VantrelMotion::Kind::transition, VantrelAnimation::easeOut(0.18));
    const bool animated = animation && animation->duration > 0 && !size().isEmpty();
    // A new size moves the outline from where it is drawn now, so the workspace grows or shrinks
    // like the real panel instead of showing two outlines at once.
    if (next.size != look_.size) {
        resize_->stop();
        sizeBefore_ = look_.size;
        sizeProgress_ = animated ? 0 : 1;
        if (animated) animation->run(*resize_, 0.0, 1.0);
    }
    // Any other change: the miniature as drawn now fades out over the new one.
    if (animated && restyled) {
        QImage snapshot(size(), QImage::Format_ARGB32_Premultiplied);
        snapshot.fill(Qt::transparent);
        QPainter painter(&snapshot);
        paintPreview(painter);
        painter.end();
        previous_ = snapshot;
        previousOpacity_ = 1;
        lookFade_->stop();
        animation->run(*lookFade_, 1.0, 0.0);
    }
    const bool reload =
        next.theme != look_.theme || next.scope != look_.scope || next.material != look_.material;
    look_ = std::move(next);
    if (reload) loadArtwork();
    update();
}

QSize NotchSettingsPreview::sizeHint() const {
    return QSize(int(NotchPreviewGeometry::kMaximumWidth + NotchPreviewGeometry::kStageMargin),
                 int(NotchPreviewGeometry::kHeight));
}

QSize NotchSettingsPreview::minimumSizeHint() const {
    return QSize(0, int(NotchPreviewGeometry::kHeight));
}

void NotchSettingsPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintPreview(painter);
    if (!previous_.isNull() && previousOpacity_ > 0) {
        painter.setOpacity(previousOpacity_);
        painter.drawImage(QPointF(0, 0), previous_);
    }
}

void NotchSettingsPreview::paintSurface(QPainter& painter, const QRectF& notch,
                                        const QPainterPath& outline) const {
    const bool crystal = look_.material == NotchAppearance::crystal;
    painter.save();
    painter.setClipPath(outline, Qt::IntersectClip);
    if (crystal) {
        QLinearGradient base(notch.topLeft(), notch.bottomRight());
        base.setColorAt(0, VantrelTheme::white(0.78));
        base.setColorAt(0.5, srgb(0.83, 0.79, 0.90, 0.68));
        base.setColorAt(1, VantrelTheme::white(0.64));
        painter.fillPath(outline, base);
    } else {
        painter.fillPath(outline, VantrelTheme::black(0.96));
    }
    if (artwork_ && artworkOpacity() > 0) ThemeArtwork::paint(painter, *artwork_, notch, artworkOpacity());
    if (tintOpacity() > 0) painter.fillPath(outline, tintGlow(notch));
    painter.restore();
}

double NotchSettingsPreview::artworkOpacity() const {
    if (!artwork_ || previewTheme() == ArtTheme::neutral) return 0;
    return look_.material == NotchAppearance::crystal ? look_.amount * 0.18 + 0.12
                                                      : look_.amount * 0.16 + 0.10;
}

double NotchSettingsPreview::tintOpacity() const {
    if (!previewTintIsActive()) return 0;
    return look_.amount * (look_.material == NotchAppearance::crystal ? 0.16 : 0.18);
}

QColor NotchSettingsPreview::tileColor() const {
    return VantrelTheme::withOpacity(VantrelTheme::accent(look_.accent),
                                     look_.material == NotchAppearance::crystal ? 0.42 : 0.72);
}

QRadialGradient NotchSettingsPreview::tintGlow(const QRectF& notch) const {
    QRadialGradient glow(notch.bottomLeft(), 340);
    glow.setColorAt(0, srgb(look_.tint.red, look_.tint.green, look_.tint.blue, tintOpacity()));
    glow.setColorAt(1, Qt::transparent);
    return glow;
}

void NotchSettingsPreview::paintHeader(QPainter& painter, const NotchPreviewGeometry& g,
                                       const QRectF& header) const {
    const QColor accent = VantrelTheme::accent(look_.accent);
    const QColor primaryColor = this->primaryColor();
    const QColor secondaryColor = this->secondaryColor();

    // The accent tile with its placeholder mark.
    const QRectF tile(header.left(), header.top(), g.tile, g.tile);
    painter.fillPath(ContinuousRoundedRectangle{g.tile * 0.28}.path(tile), tileColor());
    painter.setPen(primaryColor);
    painter.setFont(VantrelType::font(16, QFont::DemiBold));
    painter.drawText(tile, Qt::AlignCenter, QStringLiteral("?"));

    // Two placeholder bars for the title and the subtitle.
    const double barsTop = header.center().y() - (7 + 4 + 5) / 2.0;
    const double barsLeft = tile.right() + 10;
    painter.fillPath(ContinuousRoundedRectangle{2}.path(QRectF(barsLeft, barsTop, 92, 7)),
                     VantrelTheme::withOpacity(primaryColor, 0.78));
    painter.fillPath(ContinuousRoundedRectangle{2}.path(QRectF(barsLeft, barsTop + 11, 64, 5)),
                     secondaryColor);

    // The rail, centred over the row.
    const std::vector<NotchTab> rail = tabs();
    const double railWidth = rail.size() * g.glyph + (rail.empty() ? 0 : (rail.size() - 1) * 2.0);
    double x = header.center().x() - railWidth / 2;
    const double y = header.center().y() - g.glyph / 2;
    for (const NotchTab tab : rail) {
        const bool selected = tab == NotchTab::home;
        NotchTabGlyph glyph{.tab = tab,
                            .foreground = selected ? accent : secondaryColor,
                            .selectionFill = VantrelTheme::withOpacity(accent, 0.18),
                            .isSelected = selected,
                            .buttonSize = g.glyph};
        glyph.paint(painter, QPointF(x, y));
        x += g.glyph + 2;
    }
}

void NotchSettingsPreview::paintPreview(QPainter& painter) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    const QRectF stage(0, 0, width(), height());
    const QPainterPath stageShape = ContinuousRoundedRectangle{NotchPreviewGeometry::kStageRadius}.path(
        stage.adjusted(0.35, 0.35, -0.35, -0.35));
    QLinearGradient fill(stage.topLeft(), stage.bottomLeft());
    fill.setColorAt(0, VantrelTheme::withOpacity(VantrelTheme::elevated().resolve(scheme), 0.54));
    fill.setColorAt(0.5, VantrelTheme::withOpacity(VantrelTheme::recessed().resolve(scheme), 0.54));
    fill.setColorAt(1, VantrelTheme::withOpacity(VantrelTheme::surface().resolve(scheme), 0.54));
    painter.fillPath(stageShape, fill);
    painter.setPen(QPen(VantrelTheme::border().resolve(scheme), 0.7));
    painter.drawPath(stageShape);
    painter.setClipPath(stageShape);

    const NotchPreviewGeometry g = geometry();
    if (g.scale <= 0) {
        painter.restore();
        return;
    }
    const QRectF notch = g.notchRect(width());
    const bool open = notch.width() > g.compactSize.width() + 0.5;
    // Open, the outline is the panel's own; shut, it is the compact cap.
    const QPainterPath outline = open ? NotchExpandedShape{.hasPhysicalNotch = true,
                                                           .notchWidth = g.compactSize.width(),
                                                           .bridgeHeight = g.compactSize.height()}
                                            .path(notch)
                                      : ContinuousRoundedRectangle{g.cornerRadius, true}.path(notch);
    paintSurface(painter, notch, outline);

    // The header lies inside the outline only; while shut it falls outside and is cut away.
    painter.save();
    painter.setClipPath(outline, Qt::IntersectClip);
    paintHeader(painter, g, g.headerRect(width()));
    painter.restore();

    // The bridge over the hardware notch, and the hover capsule at its bottom edge.
    const QRectF bridge(stage.center().x() - g.compactSize.width() / 2, notch.top(), g.compactSize.width(),
                        g.compactSize.height());
    painter.fillPath(ContinuousRoundedRectangle{g.bridgeRadius, true}.path(bridge), Qt::black);
    const double capsule = capsuleWidth();
    if (capsule > 0) {
        const QRectF line(bridge.center().x() - capsule / 2, bridge.bottom() - 4, capsule, 1);
        painter.fillPath(ContinuousRoundedRectangle{0.5}.path(line), VantrelTheme::white(capsuleOpacity()));
    }

    const bool crystal = look_.material == NotchAppearance::crystal;
    painter.setPen(QPen(VantrelTheme::white(crystal ? 0.7 : 0.11), 0.8));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outline);
    painter.restore();
}

void NotchSettingsPreview::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    Q_EMIT hoverChanged(true);
}

void NotchSettingsPreview::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    Q_EMIT hoverChanged(false);
}

void NotchSettingsPreview::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Q_EMIT tapped();
    QWidget::mouseReleaseEvent(event);
}

} // namespace vantrel
