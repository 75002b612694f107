#pragma once

#include "core/PreferenceEnums.h"
#include "kit/Navigation.h"
#include "settings/NotchPreviewGeometry.h"

#include <QColor>
#include <QImage>
#include <QRadialGradient>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

class QVariantAnimation;

namespace vantrel {

class ThemeImageStore;
class VantrelMotion;
class VantrelPreferences;

// The live miniature of the notch panel on the notch page: the compact notch or the expanded
// workspace for the chosen size, to scale, in the chosen material, with the art theme, the
// background hue, the accent and the rail of the tabs that are on. It keeps no state of its own:
// the page says how far it is open and whether the pointer is over it, and hears of hovers and
// taps. A change of size eases the outline to its new size over 0.18 s; any other change of
// what it draws cross-fades over the same time.
class NotchSettingsPreview final : public QWidget {
    Q_OBJECT
public:
    // What the miniature draws; a change of any of it but the size cross-fades.
    struct Look {
        NotchAppearance material = NotchAppearance::crystal;
        NotchSize size = NotchSize::medium;
        ArtTheme theme = ArtTheme::neutral;
        ThemeScope scope = ThemeScope::all;
        double amount = 0.42;
        BackgroundTint tint;
        bool tintEnabled = false;
        Accent accent = Accent::graphite;
        QString widgetSignature;
        bool operator==(const Look&) const = default;
    };

    NotchSettingsPreview(VantrelPreferences& preferences, ThemeImageStore& themeImages, VantrelMotion& motion,
                         QWidget* parent = nullptr);

    // Whether the preview shows the expanded notch (the page's flag) and how far the opening has
    // come (0 compact, 1 expanded), which the page animates.
    void setExpanded(bool expanded);
    void setExpansion(double progress);
    void setHovering(bool hovering);
    bool isExpanded() const { return expanded_; }
    bool isHovering() const { return hovering_; }
    double expansion() const { return expansion_; }

    // The geometry drawn now, for the current width and opening.
    NotchPreviewGeometry geometry() const;
    const Look& look() const { return look_; }
    // The tabs in the rail, home first.
    std::vector<NotchTab> tabs() const;
    // The theme and the tint the miniature shows: none of either where the theme is for the
    // settings only.
    ArtTheme previewTheme() const;
    bool previewTintIsActive() const;
    // The hover capsule under the bridge: 0.36 of the compact width at 0.82 while collapsed and
    // hovered, else nothing.
    double capsuleWidth() const;
    double capsuleOpacity() const;
    // The artwork the surface draws, if any.
    const std::optional<QImage>& artwork() const { return artwork_; }
    // How strongly the surface shows the theme's artwork (0 without one) and the background hue
    // (0 while it is off), from the colour strength.
    double artworkOpacity() const;
    double tintOpacity() const;
    // The hue's glow: from the notch's bottom-leading corner out to 340 points, fading to clear.
    QRadialGradient tintGlow(const QRectF& notch) const;
    // The header's marks on the surface: black on mirror glass, white on midnight.
    QColor primaryColor() const { return primary(0.84, 0.92); }
    QColor secondaryColor() const { return primary(0.52, 0.56); }
    // The header's tile: the accent at 0.42 on mirror glass, 0.72 on midnight.
    QColor tileColor() const;
    QVariantAnimation* lookAnimation() const { return lookFade_; }
    // The easing from the size drawn before a change of size to the new one.
    QVariantAnimation* sizeAnimation() const { return resize_; }

    static Look lookOf(const VantrelPreferences& preferences);
    // The raw values of `tabs` joined by "|".
    static QString signature(const std::vector<NotchTab>& tabs);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void hoverChanged(bool hovering);
    void tapped();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void paintPreview(QPainter& painter) const;
    void paintSurface(QPainter& painter, const QRectF& notch, const QPainterPath& outline) const;
    void paintHeader(QPainter& painter, const NotchPreviewGeometry& g, const QRectF& header) const;
    void refreshLook();
    void loadArtwork();
    QColor primary(double crystalOpacity, double midnightOpacity) const;

    VantrelPreferences& preferences_;
    ThemeImageStore& themeImages_;
    VantrelMotion& motion_;
    Look look_;
    bool expanded_ = true;
    bool hovering_ = false;
    double expansion_ = 1;
    std::optional<QImage> artwork_;
    QImage previous_; // the miniature before a change of look, fading out
    double previousOpacity_ = 0;
    QVariantAnimation* lookFade_;
    NotchSize sizeBefore_ = NotchSize::medium; // the size a change of size eases from
    double sizeProgress_ = 1;                  // eased, 0 to 1, while it runs
    QVariantAnimation* resize_;
};

} // namespace vantrel
