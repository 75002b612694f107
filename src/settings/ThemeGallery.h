#pragma once

#include "core/PreferenceEnums.h"
#include "kit/ThemeArtwork.h"
#include "kit/VantrelShadow.h"
#include "platform/SystemAppearance.h"

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QGradientStops>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

class QVariantAnimation;

namespace vantrel {

class ThemeImageStore;
class VantrelHaptics;
class VantrelMotion;
class VantrelPreferences;

// What the gallery shows of one art theme, and the accent it brings along.
struct ThemeChoiceInfo {
    ArtTheme theme;
    const char* title;
    const char* caption;
    double swatch[3]; // sRGB
    Accent accent;

    QColor swatchColor() const;
};
const ThemeChoiceInfo& themeChoiceInfo(ArtTheme theme);

// Whether the previews draw the dark artwork: by the chosen appearance, and under "Follow
// System" by the desktop's.
bool previewIsDark(AppearanceMode mode, ColorScheme system);

// What the theme card of the appearance page reads and calls.
struct ThemeGalleryContext {
    VantrelPreferences& preferences;
    VantrelHaptics& haptics;
    VantrelMotion& motion;
    SystemAppearance& appearance;
    ThemeImageStore& themeImages;
    std::function<void()> applyPreferences;
};

// Where the hero draws its texts and check mark, for the heights of its title and caption lines:
// a column of the two, 2 apart, and the 24-point check mark, centred on each other and standing
// on the card's 15-point inset at the bottom; the texts keep 8 points from the check mark.
struct ThemeHeroLayout {
    QRectF title;
    QRectF caption;
    QRectF glyph;

    static ThemeHeroLayout of(double titleHeight, double captionHeight);
};

// The large preview card of the active theme: its artwork as it will look (light or dark,
// recoloured by the saved background hue at the saved strength) or, for the neutral theme, a
// plain gradient; its title, caption and a check mark over a dark fade. A change of theme
// cross-fades from the old card to the new one.
class ThemeHero final : public QWidget {
    Q_OBJECT
public:
    static constexpr double kWidth = 330;
    static constexpr double kHeight = 176;
    static constexpr double kRadius = 20;

    explicit ThemeHero(const ThemeGalleryContext& context, QWidget* parent = nullptr);

    ArtTheme theme() const { return theme_; }
    bool isDark() const { return isDark_; }
    // The artwork asked for; none for the neutral theme, which draws its gradient.
    const std::optional<ThemeArtworkRequest>& request() const { return request_; }
    const std::optional<QImage>& image() const { return image_; }
    QVariantAnimation* crossFade() const { return fade_; }

    // The neutral theme's picture, top leading to bottom trailing.
    static QGradientStops neutralStops(bool dark);
    // The fade under the texts, from the middle to the bottom edge.
    static QGradientStops shadeStops();
    static QFont titleFont();
    static QFont captionFont();

    // The request of the hero for the settings and the desktop's scheme as they are.
    static std::optional<ThemeArtworkRequest> requestFor(const VantrelPreferences& preferences,
                                                         ColorScheme system);

    // Reads the settings again; a new theme cross-fades.
    void sync();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintCard(QPainter& painter) const;

    ThemeGalleryContext context_;
    ArtTheme theme_ = ArtTheme::neutral;
    bool isDark_ = true;
    std::optional<ThemeArtworkRequest> request_;
    std::optional<QImage> image_;
    QImage previous_; // the card before a change of theme, fading out
    double previousOpacity_ = 0;
    QVariantAnimation* fade_;
    QPointer<VantrelShadow> shadow_;
};

// The colours of a chip `selected` of the way (0 to 1) from its plain look to its selected one.
struct ThemeChipLook {
    QColor fill;        // the elevated fill, faded in with the selection
    QColor outline;     // the border at 0.62 toward the keyline
    QColor text;        // the secondary text toward the primary
    double boldOpacity; // the bold label over the semibold one

    static ThemeChipLook of(double selected, ColorScheme scheme);
};

// Where a chip of `size` draws its capsule, swatch and label (one `textWidth` wide): the swatch
// and label centred together, 6 apart.
struct ThemeChipLayout {
    QRectF capsule;
    double radius = 0;
    QRectF swatch;
    QRectF label;

    static ThemeChipLayout of(QSizeF size, double textWidth);
};

// One theme's chip: its swatch and title in a capsule, outlined, filled while selected; a change
// of selection eases into the new look. A click plays the controls haptic, sets the theme and its
// accent, and applies the settings.
class ThemeChip final : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr double kHeight = 34;
    static constexpr double kPadding = 11;
    static constexpr double kSwatch = 8;
    static constexpr double kSpacing = 6;
    // The label: 10.5 points, bold while selected, semibold otherwise.
    static QFont labelFont(bool selected);

    ThemeChip(ArtTheme theme, const ThemeGalleryContext& context, QWidget* parent = nullptr);

    ArtTheme theme() const { return theme_; }
    bool isSelected() const;
    // The label's font when selected or not (the drawn label cross-fades between the two).
    QFont labelFont() const;
    // How far the chip is drawn into its selected look, 0 to 1.
    double selection() const { return selection_; }
    QVariantAnimation* selectionAnimation() const { return selectionAnimation_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    void choose();
    void followSelection();

    ArtTheme theme_;
    ThemeGalleryContext context_;
    double selection_ = 0;
    QVariantAnimation* selectionAnimation_;
};

// The theme card's gallery: the hero over one chip per theme, in declaration order.
class ThemeGallery final : public QWidget {
    Q_OBJECT
public:
    explicit ThemeGallery(const ThemeGalleryContext& context, QWidget* parent = nullptr);

    ThemeHero* hero() const { return hero_; }
    ThemeChip* chip(ArtTheme theme) const;
    VantrelShadow* heroShadow() const { return shadow_; }
    // The hero's shadow in `scheme`.
    static VantrelShadow::Look shadowLook(ColorScheme scheme);

protected:
    bool event(QEvent* event) override;

private:
    void applyShadow();

    ThemeHero* hero_;
    VantrelShadow* shadow_;
    std::array<ThemeChip*, 5> chips_{};
};

} // namespace vantrel
