#pragma once

#include "core/SharedInstance.h"
#include "platform/SystemAppearance.h"

#include <QEasingCurve>
#include <QObject>
#include <QPointer>
#include <optional>

class QVariant;
class QVariantAnimation;

namespace vantrel {

// An animation as views run it: an easing curve over a duration in seconds.
struct VantrelAnimation {
    QEasingCurve easing;
    double duration = 0;

    static VantrelAnimation easeOut(double seconds);
    static VantrelAnimation easeInOut(double seconds);

    // Gives `animation` this easing and this duration in whole milliseconds.
    void applyTo(QVariantAnimation& animation) const;
    // Runs `animation` from `from` to `to` with this easing and duration.
    void run(QVariantAnimation& animation, const QVariant& from, const QVariant& to) const;
    bool operator==(const VantrelAnimation& other) const {
        return easing == other.easing && duration == other.duration;
    }
};

// Follows the desktop's reduced-motion wish and turns the animations of views into short calm
// ones while it is on.
class VantrelMotion final : public QObject, public SharedInstance<VantrelMotion> {
    Q_OBJECT
    Q_PROPERTY(bool prefersReducedMotion READ prefersReducedMotion NOTIFY prefersReducedMotionChanged)
public:
    enum class Kind {
        essential,  // carries meaning: kept as it is
        transition, // moves between states: shortened
        flourish,   // decoration: shortened most
    };

    explicit VantrelMotion(SystemAppearance& appearance, QObject* parent = nullptr);

    bool prefersReducedMotion() const { return prefersReducedMotion_; }
    // The desktop wishes it follows, for views that follow its other wishes too.
    SystemAppearance* appearance() const { return appearance_; }

    // The animation a view should run for `kind`, given the one it would run normally. An absent
    // standard animation stays absent unless motion is reduced.
    std::optional<VantrelAnimation> resolve(Kind kind, const std::optional<VantrelAnimation>& standard) const;

Q_SIGNALS:
    void prefersReducedMotionChanged(bool prefersReducedMotion);

private:
    void refresh();

    QPointer<SystemAppearance> appearance_;
    bool prefersReducedMotion_ = false;
};

} // namespace vantrel
