#pragma once

#include "core/PreferenceEnums.h"
#include "kit/ThemeHueRemap.h"

#include <QImage>
#include <QWidget>
#include <optional>

namespace vantrel {

class ThemeImageStore;

// What ThemeArtwork draws: one theme image, recoloured toward a tint when one is given.
struct ThemeArtworkRequest {
    ArtTheme theme = ArtTheme::neutral;
    bool isDark = true;
    bool thumbnail = false;
    std::optional<BackgroundTint> hueTint;
    double hueAmount = 0.42;
    bool operator==(const ThemeArtworkRequest&) const = default;

    // The image the store gives for this request (the theme's name, the tint as the target, the
    // theme's profile); none for the neutral theme or a missing file.
    std::optional<QImage> resolve(ThemeImageStore& store) const;
};

// One theme image, scaled to fill its rectangle with its aspect ratio kept (the overflow is
// cut off); clear when there is no image. The image is fetched when the request changes, never
// while painting.
class ThemeArtwork : public QWidget {
    Q_OBJECT
public:
    ThemeArtwork(ThemeImageStore& store, ThemeArtworkRequest request, QWidget* parent = nullptr);

    const ThemeArtworkRequest& request() const { return request_; }
    void setRequest(const ThemeArtworkRequest& request);
    // The image drawn, if any.
    const std::optional<QImage>& image() const { return image_; }

    // The rectangle an image of `imageSize` takes to fill `bounds`, centred, aspect kept.
    static QRectF fillRect(const QSizeF& imageSize, const QRectF& bounds);
    // Draws `image` to fill `bounds` (clipped to it) at `opacity`.
    static void paint(QPainter& painter, const QImage& image, const QRectF& bounds, double opacity = 1);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ThemeImageStore& store_;
    ThemeArtworkRequest request_;
    std::optional<QImage> image_;
};

} // namespace vantrel
