#pragma once

#include "kit/RowRunImage.h"
#include "kit/ThemeArtwork.h"
#include "kit/VantrelTheme.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

namespace vantrel {

class CalmThemeRefraction;
class ThemeImageStore;
class VantrelMotion;
class VantrelPreferences;

// What the backdrop draws, back to front, for a set of settings, an appearance and the
// reduced-motion wish.
struct BackdropLayout {
    ColorScheme scheme = ColorScheme::dark;
    // 1: the canvas gradient, top to bottom.
    QColor canvasTop, canvasMiddle, canvasBottom;
    // 2: the artwork of the active theme (neutral when the theme is for the notch only).
    ThemeArtworkRequest artwork;
    double artworkOpacity = 0;
    // 3: the calm sweep, for themes with calm motion while motion is not reduced.
    bool showsRefraction = false;
    QColor refractionTint;
    double refractionOpacity = 0;
    // 4: the accent and blue glows, unless a custom tint is in force.
    bool showsGlows = false;
    QColor accentGlow; // at the top-leading corner, to clear at radius 680
    QColor blueGlow;   // at the top-trailing corner, to clear at radius 620
    // 5: the veil, white at the top, clear in the middle, black at the bottom.
    QColor veilTop, veilBottom;

    static constexpr double kAccentGlowRadius = 680;
    static constexpr double kBlueGlowRadius = 620;

    // Whether the custom background tint is in force: on, and the theme not for the notch only.
    static bool customTintInForce(const VantrelPreferences& preferences);
    static ArtTheme activeTheme(const VantrelPreferences& preferences);
    static BackdropLayout make(const VantrelPreferences& preferences, ColorScheme scheme, bool reduceMotion);
    bool operator==(const BackdropLayout&) const = default;
};

// The full-window background of the settings window: the canvas gradient, the theme artwork,
// the calm sweep, the glows and the veil. Everything but the sweep is rendered once per size and
// settings and then only copied; without artwork or sweep, the layers are only gradients and are
// kept as runs along each row rather than as a window-sized image.
class VantrelBackdrop : public QWidget {
    Q_OBJECT
public:
    VantrelBackdrop(VantrelPreferences& preferences, ThemeImageStore& store, VantrelMotion& motion,
                    QWidget* parent = nullptr);
    ~VantrelBackdrop() override;

    const BackdropLayout& backdropLayout() const { return layout_; }
    CalmThemeRefraction* refraction() const { return refraction_; }
    // The artwork image drawn (none for the neutral theme or a missing file).
    const std::optional<QImage>& artworkImage() const { return artworkImage_; }
    // The bytes of the rendered layers kept between paints (none while hidden).
    qsizetype keptImageBytes() const {
        return base_.sizeInBytes() + overlay_.sizeInBytes() + gradients_.sizeInBytes();
    }

    // Paints every layer but the sweep into `base` (layers 1–2) and `overlay` (layers 4–5).
    static void paintBase(QPainter& painter, const QRectF& rect, const BackdropLayout& layout,
                          const std::optional<QImage>& artwork);
    static void paintOverlay(QPainter& painter, const QRectF& rect, const BackdropLayout& layout);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void refresh();
    void followSweep();

    VantrelPreferences& preferences_;
    ThemeImageStore& store_;
    QPointer<VantrelMotion> motion_;
    BackdropLayout layout_;
    std::optional<QImage> artworkImage_;
    CalmThemeRefraction* refraction_;
    QImage base_;           // layers 1–2 (and 4–5 when there is no sweep) for the current size and layout
    QImage overlay_;        // layers 4–5, kept apart only while the sweep runs between them
    RowRunImage gradients_; // every layer, in place of `base_` when there is no artwork and no sweep
};

// Makes `page` clear, so the backdrop behind the window shows through it.
void vantrelPageBackground(QWidget* page);

} // namespace vantrel
