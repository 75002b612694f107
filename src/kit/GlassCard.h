#pragma once

#include "core/PreferenceEnums.h"
#include "kit/VantrelShadow.h"
#include "kit/VantrelTheme.h"

#include <QPainterPath>
#include <QPointer>
#include <QWidget>

class QVBoxLayout;

namespace vantrel {

class VantrelPreferences;

// The look of a glass card for a set of settings, as GlassCard paints it.
struct GlassCardLook {
    double cornerRadius = 0;   // by the corner style: compact 12, rounded 18, soft 26
    double surfaceOpacity = 0; // by the glass style: quiet 0.6, balanced 0.76, deep 0.9
    QColor accent;
    double glowIntensity = 0;

    static double cornerRadiusFor(CornerStyle style);
    static double surfaceOpacityFor(GlassStyle style);
    // The look the settings ask for.
    static GlassCardLook from(const VantrelPreferences& preferences);
    bool operator==(const GlassCardLook&) const = default;
};

// A rounded glass card around any content: a translucent surface fill, a soft sheen, a keyline
// edge and a drop shadow. It follows the corner style, glass style, accent and glow settings.
class GlassCard : public QWidget {
    Q_OBJECT
public:
    // `content` (may be null, see setContent) is padded by `padding` on every edge.
    GlassCard(VantrelPreferences& preferences, double padding, QWidget* content = nullptr,
              QWidget* parent = nullptr);
    ~GlassCard() override;

    // Replaces the content; the card takes ownership, the previous content is deleted.
    void setContent(QWidget* content);
    QWidget* content() const { return content_; }
    double padding() const { return padding_; }
    GlassCardLook look() const { return GlassCardLook::from(preferences_); }
    // The shadow sibling (for tests and for containers that restack the card).
    VantrelShadow* shadow() const { return shadow_; }

    // Paints the card's background (fill, sheen and keyline, no shadow) into `rect`. Other
    // card-shaped views draw themselves with it.
    static void paintCard(QPainter& painter, const QRectF& rect, const GlassCardLook& look,
                          ColorScheme scheme);

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void refreshLook();

    VantrelPreferences& preferences_;
    double padding_;
    QVBoxLayout* layout_;
    QPointer<QWidget> content_;
    QPointer<VantrelShadow> shadow_;
    // What the card was last painted for, and, once it has been painted so twice, its outline and
    // how far its corners reach.
    QSize paintedSize_;
    GlassCardLook paintedLook_;
    ColorScheme paintedScheme_ = ColorScheme::light;
    double paintedRatio_ = 0;
    QSize cornerSize_;
    QPainterPath shape_;
};

} // namespace vantrel
