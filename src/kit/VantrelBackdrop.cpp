#include "kit/VantrelBackdrop.h"

#include "core/VantrelPreferences.h"
#include "kit/CalmThemeRefraction.h"
#include "kit/ThemeImageStore.h"
#include "kit/VantrelMotion.h"

#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QRadialGradient>
#include <cmath>

namespace vantrel {

using VantrelTheme::withOpacity;

namespace {

QColor clearOf(QColor color) {
    color.setAlpha(0);
    return color;
}

QImage blankImage(const QSize& size, qreal ratio) {
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

bool BackdropLayout::customTintInForce(const VantrelPreferences& preferences) {
    return preferences.customBackgroundTintEnabled() && preferences.themeScope() != ThemeScope::notchOnly;
}

ArtTheme BackdropLayout::activeTheme(const VantrelPreferences& preferences) {
    return preferences.themeScope() == ThemeScope::notchOnly ? ArtTheme::neutral : preferences.artTheme();
}

BackdropLayout BackdropLayout::make(const VantrelPreferences& preferences, ColorScheme scheme,
                                    bool reduceMotion) {
    const double amount = preferences.themeColorAmount();
    const ArtTheme theme = activeTheme(preferences);
    const bool customTint = customTintInForce(preferences);
    BackdropLayout l;
    l.scheme = scheme;
    l.canvasTop = VantrelTheme::canvasTop().resolve(scheme);
    l.canvasMiddle = VantrelTheme::canvasMiddle().resolve(scheme);
    l.canvasBottom = VantrelTheme::canvasBottom().resolve(scheme);

    l.artwork.theme = theme;
    l.artwork.isDark = scheme == ColorScheme::dark;
    l.artwork.thumbnail = false;
    if (customTint) l.artwork.hueTint = preferences.backgroundTint();
    l.artwork.hueAmount = amount;
    l.artworkOpacity = theme == ArtTheme::neutral ? 0.0 : 0.28 + 0.45 * amount;

    l.showsRefraction = supportsCalmMotion(theme) && !reduceMotion;
    l.refractionTint = theme == ArtTheme::canyonAlloy ? QColor::fromRgbF(0.72f, 0.54f, 0.38f)
                                                      : QColor::fromRgbF(0.45f, 0.64f, 0.82f);
    l.refractionOpacity = 0.08 + 0.08 * amount;

    l.showsGlows = !customTint;
    l.accentGlow = withOpacity(VantrelTheme::accent(preferences.accent()), 0.055 * amount);
    l.blueGlow = withOpacity(VantrelTheme::blueLight(), 0.035 * amount);

    const bool dark = scheme == ColorScheme::dark;
    l.veilTop = withOpacity(Qt::white, dark ? 0.02 : 0.24);
    l.veilBottom = withOpacity(Qt::black, dark ? 0.3 : 0.06);
    return l;
}

VantrelBackdrop::VantrelBackdrop(VantrelPreferences& preferences, ThemeImageStore& store,
                                 VantrelMotion& motion, QWidget* parent)
    : QWidget(parent), preferences_(preferences), store_(store), motion_(&motion),
      refraction_(new CalmThemeRefraction(QColor(), this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(refraction_, &CalmThemeRefraction::changed, this, qOverload<>(&QWidget::update));
    connect(&preferences_, &VantrelPreferences::changed, this, [this](VantrelPreferences::Setting setting) {
        using S = VantrelPreferences::Setting;
        switch (setting) {
        case S::accent:
        case S::artTheme:
        case S::themeScope:
        case S::themeColorAmount:
        case S::backgroundTint:
        case S::customBackgroundTintEnabled:
            refresh();
            break;
        default:
            break;
        }
    });
    connect(&motion, &VantrelMotion::prefersReducedMotionChanged, this, &VantrelBackdrop::refresh);
    // A recoloured copy finished on the worker replaces the source shown meanwhile.
    connect(&store_, &ThemeImageStore::remappedImageReady, this, [this] {
        std::optional<QImage> image = layout_.artwork.resolve(store_);
        if (image == artworkImage_) return;
        artworkImage_ = std::move(image);
        base_ = QImage();
        gradients_ = RowRunImage();
        update();
    });
    refresh();
}

VantrelBackdrop::~VantrelBackdrop() = default;

void VantrelBackdrop::refresh() {
    const bool reduce = motion_ && motion_->prefersReducedMotion();
    BackdropLayout next = BackdropLayout::make(preferences_, VantrelTheme::colorScheme(this), reduce);
    if (next == layout_) {
        followSweep();
        return;
    }
    // Loading and recolouring happen here, when a setting changes, never while painting.
    if (!(next.artwork == layout_.artwork)) artworkImage_ = next.artwork.resolve(store_);
    layout_ = next;
    base_ = QImage();
    overlay_ = QImage();
    gradients_ = RowRunImage();
    refraction_->setTint(layout_.refractionTint);
    followSweep();
    update();
}

void VantrelBackdrop::followSweep() {
    if (layout_.showsRefraction && isVisible())
        refraction_->start();
    else if (!layout_.showsRefraction || !isVisible())
        refraction_->stop();
}

bool VantrelBackdrop::event(QEvent* event) {
    if (event->type() == VantrelTheme::colorSchemeChangeEvent() || event->type() == QEvent::ParentChange)
        refresh();
    return QWidget::event(event);
}

void VantrelBackdrop::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
}

void VantrelBackdrop::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    refraction_->stop();
    // A closed window keeps no window-sized images: they are painted again when it shows.
    base_ = QImage();
    overlay_ = QImage();
    gradients_ = RowRunImage();
}

void VantrelBackdrop::paintBase(QPainter& painter, const QRectF& rect, const BackdropLayout& l,
                                const std::optional<QImage>& artwork) {
    QLinearGradient canvas(rect.topLeft(), rect.bottomLeft());
    canvas.setColorAt(0, l.canvasTop);
    canvas.setColorAt(0.5, l.canvasMiddle);
    canvas.setColorAt(1, l.canvasBottom);
    painter.fillRect(rect, canvas);
    if (artwork) ThemeArtwork::paint(painter, *artwork, rect, l.artworkOpacity);
}

void VantrelBackdrop::paintOverlay(QPainter& painter, const QRectF& rect, const BackdropLayout& l) {
    if (l.showsGlows) {
        // Each glow is clear beyond its radius, so only the rows and columns it reaches are
        // filled. Every row still starts at the left edge: Qt steps a gradient along a row from
        // where the row starts, and another start would round some pixels differently.
        const auto reach = [&rect](QPointF centre, double radius) {
            return rect.intersected(
                QRectF(rect.left(), centre.y() - radius, centre.x() + radius - rect.left(), 2 * radius));
        };
        QRadialGradient accent(rect.topLeft(), BackdropLayout::kAccentGlowRadius);
        accent.setColorAt(0, l.accentGlow);
        accent.setColorAt(1, clearOf(l.accentGlow));
        painter.fillRect(reach(rect.topLeft(), BackdropLayout::kAccentGlowRadius), accent);
        QRadialGradient blue(rect.topRight(), BackdropLayout::kBlueGlowRadius);
        blue.setColorAt(0, l.blueGlow);
        blue.setColorAt(1, clearOf(l.blueGlow));
        painter.fillRect(reach(rect.topRight(), BackdropLayout::kBlueGlowRadius), blue);
    }
    QLinearGradient veil(rect.topLeft(), rect.bottomLeft());
    veil.setColorAt(0, l.veilTop);
    veil.setColorAt(0.5, Qt::transparent);
    veil.setColorAt(1, l.veilBottom);
    painter.fillRect(rect, veil);
}

void VantrelBackdrop::paintEvent(QPaintEvent* event) {
    const QRectF bounds(rect());
    const qreal ratio = devicePixelRatioF();
    const QSize deviceSize = size() * ratio;
    if (!artworkImage_ && !layout_.showsRefraction) {
        if (gradients_.size() != deviceSize)
            gradients_ = RowRunImage::render(deviceSize, ratio, [&](QPainter& p) {
                paintBase(p, bounds, layout_, artworkImage_);
                paintOverlay(p, bounds, layout_);
            });
        const QRectF exposed = QRectF(event->rect()).intersected(bounds);
        const QRect device(
            QPoint(int(std::floor(exposed.left() * ratio)), int(std::floor(exposed.top() * ratio))),
            QPoint(int(std::ceil(exposed.right() * ratio)) - 1,
                   int(std::ceil(exposed.bottom() * ratio)) - 1));
        QPainter painter(this);
        gradients_.draw(painter, device);
        return;
    }
    if (base_.size() != deviceSize) {
        base_ = blankImage(size(), ratio);
        QPainter p(&base_);
        paintBase(p, bounds, layout_, artworkImage_);
        // Without the sweep between them the layers above go into the same image: one window-sized
        // image held instead of two.
        if (layout_.showsRefraction) {
            overlay_ = blankImage(size(), ratio);
            QPainter o(&overlay_);
            paintOverlay(o, bounds, layout_);
        } else {
            overlay_ = QImage();
            paintOverlay(p, bounds, layout_);
        }
    }
    QPainter painter(this);
    painter.drawImage(0, 0, base_);
    if (layout_.showsRefraction) {
        refraction_->paint(painter, bounds.size(), layout_.refractionOpacity);
        painter.drawImage(0, 0, overlay_);
    }
}

void vantrelPageBackground(QWidget* page) {
    if (!page) return;
    page->setAutoFillBackground(false);
    page->setAttribute(Qt::WA_NoSystemBackground);
    page->setAttribute(Qt::WA_TranslucentBackground);
}

} // namespace vantrel
