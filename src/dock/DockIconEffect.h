#pragma once

#include "core/PreferenceEnums.h"
#include "dock/DockIconVisualState.h"
#include "kit/DampedSpring.h"
#include "kit/VantrelMotion.h"

#include <QObject>
#include <QPointer>
#include <QTransform>
#include <QVariantAnimation>
#include <functional>
#include <optional>

class QPainter;
class QRectF;

namespace vantrel {

class VantrelPreferences;

// The curve a Dock icon moves along when its hover state changes.
struct DockIconAnimationChoice {
    enum class Curve { none, spring, easeOut };
    Curve curve = Curve::none;
    // The ease-out's length in seconds; 0 for `none`.
    double duration = 0;
    // The spring's response and damping, for `spring`.
    DampedSpring spring;
    // How reduced motion treats it.
    VantrelMotion::Kind kind = VantrelMotion::Kind::transition;

    // The chosen effect at the chosen speed; no effect when `magnification` is off.
    static DockIconAnimationChoice forEffect(bool magnification, DockIconAnimation animation,
                                             DockAnimationSpeed speed);
    // The duration factor of a speed.
    static double speedFactor(DockAnimationSpeed speed);

    // The animation as it runs normally.
    VantrelAnimation standard() const;
    // The animation to run, reduced motion considered.
    VantrelAnimation resolved(const VantrelMotion* motion) const;
};

// The hover effect of one Dock icon: follows the tile's hover state and the Dock's settings,
// animating between rest and the effect's state, and draws the icon transformed.
class DockIconEffect final : public QObject {
    Q_OBJECT
public:
    DockIconEffect(VantrelPreferences& preferences, const VantrelMotion* motion, QObject* parent = nullptr);

    void setHovering(bool hovering);
    bool hovering() const { return hovering_; }
    // The state drawn now.
    const DockIconVisualState& current() const { return current_; }
    // The state the icon is heading for.
    DockIconVisualState target() const;
    // The scale the icon is drawn at while hovered, at least 1, whether hovered now or not.
    double hoveredScale() const;
    // The animation that runs, or none; tests step it.
    QVariantAnimation* animation() const { return animation_; }
    // The animation that the last change started with.
    const std::optional<VantrelAnimation>& lastAnimation() const { return lastAnimation_; }

    // What takes what is drawn into `iconRect` to where the current state draws it.
    QTransform transform(const QRectF& iconRect) const;
    // Draws with `painter` transformed so that what is drawn into `iconRect` takes the current
    // state; `draw` paints the icon into `iconRect`.
    void paint(QPainter& painter, const QRectF& iconRect, const std::function<void(QPainter&)>& draw) const;

Q_SIGNALS:
    // The drawn state changed; the icon needs drawing again.
    void changed();

private:
    void retarget();

    VantrelPreferences& preferences_;
    QPointer<const VantrelMotion> motion_;
    bool hovering_ = false;
    DockIconVisualState current_;
    DockIconVisualState from_;
    DockIconVisualState to_;
    QPointer<QVariantAnimation> animation_;
    std::optional<VantrelAnimation> lastAnimation_;
};

} // namespace vantrel
