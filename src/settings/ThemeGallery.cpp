#include "settings/ThemeGallery.h"

#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "kit/KeyActivation.h"
#include "kit/KitPaint.h"
#include "kit/ThemeImageStore.h"
#include "kit/VantrelConcentricGeometry.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelMotion.h"
#include "kit/VantrelShadow.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>
#include <QVariantAnimation>
#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

constexpr std::array<ThemeChoiceInfo, 5> kThemes{{
    {ArtTheme::neutral, "Neutral", "Quiet graphite", {0.54, 0.58, 0.64}, Accent::graphite},
    {ArtTheme::obsidianFold, "Obsidian Fold", "Mineral glass", {0.25, 0.29, 0.34}, Accent::graphite},
    {ArtTheme::glacialVeil, "Glacial Veil", "Frosted silver", {0.66, 0.75, 0.82}, Accent::sky},
    {ArtTheme::midnightCurrent, "Midnight Current", "Calm motion", {0.25, 0.39, 0.58}, Accent::indigo},
    {ArtTheme::canyonAlloy, "Canyon Alloy", "Warm calm motion", {0.58, 0.42, 0.30}, Accent::sand},
}};

QColor srgb(double red, double green, double blue, double alpha = 1) {
    return QColor::fromRgbF(float(red), float(green), float(blue), float(alpha));
}

// The theme change's own animation, which the hero's cross-fade runs with.
VantrelAnimation themeChangeAnimation() {
    return VantrelAnimation::easeInOut(0.24);
}

// A chip easing into or out of its selected look.
VantrelAnimation chipSelectionAnimation() {
    return VantrelAnimation::easeInOut(0.18);
}

double mix(double from, double to, double t) {
    return from + (to - from) * t;
}

QColor mix(const QColor& from, const QColor& to, double t) {
    return QColor::fromRgbF(float(mix(from.redF(), to.redF(), t)), float(mix(from.greenF(), to.greenF(), t)),
                            float(mix(from.blueF(), to.blueF(), t)),
                            float(mix(from.alphaF(), to.alphaF(), t)));
}

} // namespace

QColor ThemeChoiceInfo::swatchColor() const {
    return srgb(swatch[0], swatch[1], swatch[2]);
}

const ThemeChoiceInfo& themeChoiceInfo(ArtTheme theme) {
    return kThemes[std::size_t(theme)];
}

bool previewIsDark(AppearanceMode mode, ColorScheme system) {
    switch (mode) {
    case AppearanceMode::dark:
        return true;
    case AppearanceMode::light:
        return false;
    case AppearanceMode::system:
        break;
    }
    return system == ColorScheme::dark;
}

// MARK: hero

ThemeHero::ThemeHero(const ThemeGalleryContext& context, QWidget* parent)
    : QWidget(parent), context_(context), fade_(new QVariantAnimation(this)) {
    setFixedSize(int(kWidth), int(kHeight));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(fade_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        previousOpacity_ = value.toDouble();
        update();
    });
    connect(fade_, &QVariantAnimation::finished, this, [this] {
        previous_ = QImage();
        update();
    });
    const VantrelPreferences::Setting watched[] = {
        VantrelPreferences::Setting::artTheme, VantrelPreferences::Setting::appearanceMode,
        VantrelPreferences::Setting::backgroundTint, VantrelPreferences::Setting::customBackgroundTintEnabled,
        VantrelPreferences::Setting::themeColorAmount};
    for (const auto setting : watched) context_.preferences.onChange(setting, this, [this] { sync(); });
    connect(&context_.appearance, &SystemAppearance::changed, this, [this] { sync(); });
    // A recoloured copy made beside the event loop replaces the source shown meanwhile.
    connect(&context_.themeImages, &ThemeImageStore::remappedImageReady, this, [this] {
        if (!request_) return;
        image_ = request_->resolve(context_.themeImages);
        update();
    });
    theme_ = context_.preferences.artTheme();
    isDark_ = previewIsDark(context_.preferences.appearanceMode(), context_.appearance.colorScheme());
    request_ = requestFor(context_.preferences, context_.appearance.colorScheme());
    if (request_) image_ = request_->resolve(context_.themeImages);
}

std::optional<ThemeArtworkRequest> ThemeHero::requestFor(const VantrelPreferences& preferences,
                                                         ColorScheme system) {
    if (preferences.artTheme() == ArtTheme::neutral) return std::nullopt;
    ThemeArtworkRequest request;
    request.theme = preferences.artTheme();
    request.isDark = previewIsDark(preferences.appearanceMode(), system);
    request.thumbnail = true;
    if (preferences.customBackgroundTintEnabled()) request.hueTint = preferences.backgroundTint();
    request.hueAmount = preferences.themeColorAmount();
    return request;
}

void ThemeHero::sync() {
    const ArtTheme theme = context_.preferences.artTheme();
    const bool dark = previewIsDark(context_.preferences.appearanceMode(), context_.appearance.colorScheme());
    std::optional<ThemeArtworkRequest> request =
        requestFor(context_.preferences, context_.appearance.colorScheme());
    if (theme == theme_ && dark == isDark_ && request == request_) return;
    if (theme != theme_) {
        // The card of the old theme, as it is drawn now, fades out over the new one.
        const std::optional<VantrelAnimation> animation =
            context_.motion.resolve(VantrelMotion::Kind::transition, themeChangeAnimation());
        if (animation && animation->duration > 0) {
            QImage snapshot(size(), QImage::Format_ARGB32_Premultiplied);
            snapshot.fill(Qt::transparent);
            QPainter painter(&snapshot);
            paintCard(painter);
            painter.end();
            previous_ = snapshot;
            previousOpacity_ = 1;
            fade_->stop();
            animation->run(*fade_, 1.0, 0.0);
        }
    }
    theme_ = theme;
    isDark_ = dark;
    request_ = std::move(request);
    image_ = request_ ? request_->resolve(context_.themeImages) : std::nullopt;
    update();
}

ThemeHeroLayout ThemeHeroLayout::of(double titleHeight, double captionHeight) {
    const QRectF inner = QRectF(0, 0, ThemeHero::kWidth, ThemeHero::kHeight).adjusted(15, 15, -15, -15);
    const double glyph = 24;
    const double texts = titleHeight + 2 + captionHeight;
    const double column = std::max(texts, glyph);
    const double top = inner.bottom() - column;
    const double textTop = top + (column - texts) / 2;
    const double textWidth = inner.width() - glyph - 8;
    ThemeHeroLayout layout;
    layout.title = QRectF(inner.left(), textTop, textWidth, titleHeight);
    layout.caption = QRectF(inner.left(), layout.title.bottom() + 2, textWidth, captionHeight);
    layout.glyph = QRectF(inner.right() - glyph, top + (column - glyph) / 2, glyph, glyph);
    return layout;
}

QGradientStops ThemeHero::neutralStops(bool dark) {
    if (dark) return {{0, srgb(0.08, 0.09, 0.11)}, {1, QColor(Qt::black)}};
    return {{0, QColor(Qt::white)}, {1, srgb(0.84, 0.86, 0.89)}};
}

QGradientStops ThemeHero::shadeStops() {
    return {{0, QColor(Qt::transparent)}, {1, VantrelTheme::black(0.62)}};
}

QFont ThemeHero::titleFont() {
    return VantrelType::font(17, QFont::Bold);
}

QFont ThemeHero::captionFont() {
    return VantrelType::font(10.5, QFont::Medium);
}

void ThemeHero::paintCard(QPainter& painter) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds(0, 0, kWidth, kHeight);
    const QPainterPath shape = ContinuousRoundedRectangle{kRadius}.path(bounds);
    painter.setClipPath(shape, Qt::IntersectClip);

    // The picture behind: the theme's artwork, or the neutral gradient.
    if (!request_) {
        QLinearGradient neutral(bounds.topLeft(), bounds.bottomRight());
        neutral.setStops(neutralStops(isDark_));
        painter.fillRect(bounds, neutral);
    } else if (image_) {
        ThemeArtwork::paint(painter, *image_, bounds);
    }

    // The fade that keeps the white texts readable.
    QLinearGradient shade(QPointF(bounds.left(), bounds.center().y()), bounds.bottomLeft());
    shade.setStops(shadeStops());
    painter.fillRect(bounds, shade);

    const ThemeChoiceInfo& info = themeChoiceInfo(theme_);
    const QFont title = titleFont();
    const QFont caption = captionFont();
    const QFontMetricsF titleMetrics(title);
    const QFontMetricsF captionMetrics(caption);
    const ThemeHeroLayout layout = ThemeHeroLayout::of(titleMetrics.height(), captionMetrics.height());
    painter.setPen(Qt::white);
    painter.setFont(title);
    painter.drawText(
        layout.title, Qt::AlignLeft | Qt::AlignVCenter,
        titleMetrics.elidedText(QString::fromUtf8(info.title), Qt::ElideRight, layout.title.width()));
    painter.setFont(caption);
    painter.setPen(VantrelTheme::white(0.78));
    painter.drawText(
        layout.caption, Qt::AlignLeft | Qt::AlignVCenter,
        captionMetrics.elidedText(QString::fromUtf8(info.caption), Qt::ElideRight, layout.caption.width()));
    VantrelGlyph::paint(painter, layout.glyph, u"checkmark.circle.fill", Qt::white, 17, QFont::Bold);

    painter.setClipping(false);
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    painter.setPen(QPen(VantrelTheme::keyline().resolve(scheme), 0.9));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shape);
    painter.restore();
}

void ThemeHero::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintCard(painter);
    if (!previous_.isNull()) {
        painter.setOpacity(previousOpacity_);
        painter.drawImage(QPointF(0, 0), previous_);
    }
}

// MARK: chip

ThemeChipLook ThemeChipLook::of(double selected, ColorScheme scheme) {
    const double t = std::clamp(selected, 0.0, 1.0);
    ThemeChipLook look;
    look.fill = VantrelTheme::withOpacity(VantrelTheme::elevated().resolve(scheme), t);
    look.outline = mix(VantrelTheme::withOpacity(VantrelTheme::border().resolve(scheme), 0.62),
                       VantrelTheme::keyline().resolve(scheme), t);
    look.text = mix(VantrelTheme::secondaryText().resolve(scheme), VantrelTheme::primary(scheme), t);
    look.boldOpacity = t;
    return look;
}

ThemeChipLayout ThemeChipLayout::of(QSizeF size, double textWidth) {
    ThemeChipLayout layout;
    // Half a point in, so the 0.7 outline stays inside the widget.
    layout.capsule = QRectF(QPointF(0, 0), size).adjusted(0.5, 0.5, -0.5, -0.5);
    layout.radius = layout.capsule.height() / 2;
    const double content = ThemeChip::kSwatch + ThemeChip::kSpacing + textWidth;
    const double x = (size.width() - content) / 2;
    layout.swatch =
        QRectF(x, (size.height() - ThemeChip::kSwatch) / 2, ThemeChip::kSwatch, ThemeChip::kSwatch);
    layout.label = QRectF(x + ThemeChip::kSwatch + ThemeChip::kSpacing, 0, textWidth + 1, size.height());
    return layout;
}

ThemeChip::ThemeChip(ArtTheme theme, const ThemeGalleryContext& context, QWidget* parent)
    : QAbstractButton(parent), theme_(theme), context_(context),
      selectionAnimation_(new QVariantAnimation(this)) {
    const QString title = QString::fromUtf8(themeChoiceInfo(theme).title);
    setText(title);
    setAccessibleName(title);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    KitPaint::watchFocusReason(this);
    KeyActivation::pressOnReturn(this);
    setFixedHeight(int(kHeight));
    connect(this, &QAbstractButton::clicked, this, &ThemeChip::choose);
    selection_ = isSelected() ? 1 : 0;
    connect(selectionAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        selection_ = value.toDouble();
        update();
    });
    context_.preferences.onChange(VantrelPreferences::Setting::artTheme, this, [this] { followSelection(); });
}

void ThemeChip::followSelection() {
    const double target = isSelected() ? 1 : 0;
    const bool running = selectionAnimation_->state() == QAbstractAnimation::Running;
    if (target == selection_ && !running) return;
    if (running && selectionAnimation_->endValue().toDouble() == target) return;
    selectionAnimation_->stop();
    const std::optional<VantrelAnimation> animation =
        context_.motion.resolve(VantrelMotion::Kind::transition, chipSelectionAnimation());
    if (animation && animation->duration > 0) {
        animation->run(*selectionAnimation_, selection_, target);
    } else {
        selection_ = target;
    }
    update();
}

bool ThemeChip::isSelected() const {
    return context_.preferences.artTheme() == theme_;
}

QFont ThemeChip::labelFont() const {
    return VantrelType::font(10.5, isSelected() ? QFont::Bold : QFont::DemiBold);
}

QFont ThemeChip::labelFont(bool selected) {
    return VantrelType::font(10.5, selected ? QFont::Bold : QFont::DemiBold);
}

QSize ThemeChip::sizeHint() const {
    // Wide enough for the bold label, so selecting a chip does not shift its neighbours.
    const QFontMetricsF metrics(labelFont(true));
    const double width = 2 * kPadding + kSwatch + kSpacing + metrics.horizontalAdvance(text());
    return QSize(int(std::ceil(width)), int(kHeight));
}

bool ThemeChip::hitButton(const QPoint& pos) const {
    const ThemeChipLayout layout = ThemeChipLayout::of(QSizeF(size()), 0);
    QPainterPath capsule;
    capsule.addRoundedRect(layout.capsule, layout.radius, layout.radius);
    return capsule.contains(QPointF(pos));
}

void ThemeChip::choose() {
    context_.haptics.play(HapticSurface::controls);
    context_.preferences.setArtTheme(theme_);
    context_.preferences.setAccent(themeChoiceInfo(theme_).accent);
    if (context_.applyPreferences) context_.applyPreferences();
}

void ThemeChip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    const ThemeChipLook look = ThemeChipLook::of(selection_, scheme);
    const QFont semibold = labelFont(false);
    const QFont bold = labelFont(true);
    const double textWidth = mix(QFontMetricsF(semibold).horizontalAdvance(text()),
                                 QFontMetricsF(bold).horizontalAdvance(text()), look.boldOpacity);
    const ThemeChipLayout layout = ThemeChipLayout::of(QSizeF(size()), textWidth);

    QPainterPath capsule;
    capsule.addRoundedRect(layout.capsule, layout.radius, layout.radius);
    painter.fillPath(capsule, look.fill);
    painter.setPen(QPen(look.outline, 0.7));
    painter.drawPath(capsule);

    painter.setPen(Qt::NoPen);
    painter.setBrush(themeChoiceInfo(theme_).swatchColor());
    painter.drawEllipse(layout.swatch);
    // The weight changes as a cross-fade of the two labels.
    painter.setPen(look.text);
    const auto label = [&](const QFont& font, double opacity) {
        if (opacity <= 0) return;
        painter.setOpacity(opacity);
        painter.setFont(font);
        painter.drawText(layout.label, Qt::AlignLeft | Qt::AlignVCenter, text());
    };
    label(semibold, 1 - look.boldOpacity);
    label(bold, look.boldOpacity);
    painter.setOpacity(1);
    if (KitPaint::showsFocusRing(this))
        KitPaint::paintFocusRingInside(painter, layout.capsule, layout.radius,
                                       KitPaint::focusRingColor(this));
}

// MARK: gallery

ThemeGallery::ThemeGallery(const ThemeGalleryContext& context, QWidget* parent) : QWidget(parent) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(18);
    hero_ = new ThemeHero(context, this);
    hero_->setObjectName(QStringLiteral("themeHero"));
    stack->addWidget(hero_, 0, Qt::AlignHCenter);
    // The hero's shadow lies under it, in the window's shadow colour.
    shadow_ = new VantrelShadow(
        hero_, [](const QRectF& rect) { return ContinuousRoundedRectangle{ThemeHero::kRadius}.path(rect); });
    applyShadow();

    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    row->addStretch(1);
    for (const ArtTheme theme : allCasesOf<ArtTheme>()) {
        auto* chip = new ThemeChip(theme, context, this);
        chip->setObjectName(QStringLiteral("themeChip ") + rawValue(theme));
        chips_[std::size_t(theme)] = chip;
        row->addWidget(chip);
    }
    row->addStretch(1);
    stack->addLayout(row);
}

VantrelShadow::Look ThemeGallery::shadowLook(ColorScheme scheme) {
    return {VantrelTheme::shadow().resolve(scheme), 16, QPointF(0, 8)};
}

void ThemeGallery::applyShadow() {
    shadow_->setLook(shadowLook(VantrelTheme::colorScheme(this)));
}

bool ThemeGallery::event(QEvent* event) {
    if (event->type() == VantrelTheme::colorSchemeChangeEvent()) applyShadow();
    return QWidget::event(event);
}

ThemeChip* ThemeGallery::chip(ArtTheme theme) const {
    return chips_[std::size_t(theme)];
}

} // namespace vantrel
