#include "kit/ThemeArtwork.h"

#include "kit/ThemeImageStore.h"

#include <QPainter>
#include <algorithm>

namespace vantrel {

std::optional<QImage> ThemeArtworkRequest::resolve(ThemeImageStore& store) const {
    const std::optional<QString> name = resourceName(theme, isDark, thumbnail);
    if (!name) return std::nullopt;
    std::optional<ThemeHueRemap::Pixel> target;
    if (hueTint) {
        // The tint's channels are clamped into 0...1 whatever was stored.
        const BackgroundTint t(hueTint->red, hueTint->green, hueTint->blue);
        target = ThemeHueRemap::Pixel{t.red, t.green, t.blue, 1};
    }
    return store.image(*name, target, hueAmount, ThemeHueRemap::profile(theme));
}

ThemeArtwork::ThemeArtwork(ThemeImageStore& store, ThemeArtworkRequest request, QWidget* parent)
    : QWidget(parent), store_(store), request_(request), image_(request_.resolve(store_)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // A recoloured copy finished on the worker replaces the source shown meanwhile.
    connect(&store_, &ThemeImageStore::remappedImageReady, this, [this] {
        std::optional<QImage> image = request_.resolve(store_);
        if (image == image_) return;
        image_ = std::move(image);
        update();
    });
}

void ThemeArtwork::setRequest(const ThemeArtworkRequest& request) {
    if (request == request_) return;
    request_ = request;
    image_ = request_.resolve(store_);
    update();
}

QRectF ThemeArtwork::fillRect(const QSizeF& imageSize, const QRectF& bounds) {
    if (imageSize.isEmpty()) return bounds;
    const double scale = std::max(bounds.width() / imageSize.width(), bounds.height() / imageSize.height());
    const QSizeF size = imageSize * scale;
    return {bounds.center().x() - size.width() / 2, bounds.center().y() - size.height() / 2, size.width(),
            size.height()};
}

void ThemeArtwork::paint(QPainter& painter, const QImage& image, const QRectF& bounds, double opacity) {
    if (image.isNull() || opacity <= 0) return;
    painter.save();
    painter.setClipRect(bounds, Qt::IntersectClip);
    painter.setOpacity(painter.opacity() * opacity);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSizeF pointSize = image.deviceIndependentSize();
    painter.drawImage(fillRect(pointSize, bounds), image);
    painter.restore();
}

void ThemeArtwork::paintEvent(QPaintEvent*) {
    if (!image_) return;
    QPainter painter(this);
    paint(painter, *image_, QRectF(rect()));
}

} // namespace vantrel
