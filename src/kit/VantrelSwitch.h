#pragma once

#include "kit/SettingBinding.h"
#include "kit/VantrelMotion.h"

#include <QAbstractButton>
#include <QPointer>

class QVariantAnimation;

namespace vantrel {

class VantrelHaptics;

// Where the switch draws its track and knob.
struct SwitchLayout {
    QRectF track; // a capsule
    QRectF knob;  // a circle at the leading end when off, the trailing end when on

    static constexpr double kWidth = 38;
    static constexpr double kHeight = 22;
    static constexpr double kKnobInset = 1.5;

    // How much wider the knob grows, toward the middle of the track, while the switch is held.
    static constexpr double kPressStretch = 5;

    // Centred in `bounds`, at rest.
    static SwitchLayout of(const QRectF& bounds, bool on) { return of(bounds, on ? 1.0 : 0.0, 0.0); }
    // The knob `position` of the way from the leading end (0) to the trailing one (1), stretched
    // by `press` (0 at rest, 1 held down) without leaving the track.
    static SwitchLayout of(const QRectF& bounds, double position, double press);
};

// An on/off switch in the system style that plays the controls haptic when the user flips it,
// before anyone hears of the new value. Setting it from the model (setChecked) plays nothing and
// announces nothing but `toggled`; `clicked` is the user's flip. On screen, the knob slides to its
// new end while the track takes on the new colour, and the knob stretches while it is held; both
// movements are shortened while motion is reduced.
class VantrelSwitch : public QAbstractButton {
    Q_OBJECT
public:
    // Without haptics the switch stays silent (some cards ask for that).
    explicit VantrelSwitch(VantrelHaptics* haptics, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Shows the binding's value and keeps showing it; a flip by the user writes it, once.
    void bind(SettingBinding<bool> binding);

    // The reduced-motion wish the animations follow (none: the standard ones).
    void setMotion(VantrelMotion* motion) { motion_ = motion; }
    // Where the knob is drawn: 0 at the off end, 1 at the on end.
    double knobPosition() const { return position_; }
    // How far the held knob has stretched: 0 at rest, 1 fully.
    double pressAmount() const { return press_; }
    QVariantAnimation* knobAnimation() const { return knobAnimation_; }
    QVariantAnimation* pressAnimation() const { return pressAnimation_; }
    // The knob's slide, and its stretch, as they run without reduced motion.
    static VantrelAnimation standardKnobAnimation();
    static VantrelAnimation standardPressAnimation();

protected:
    void nextCheckState() override;
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    // Runs `animation` from the value now to `target`, or jumps there when nothing is to be seen.
    void animate(QVariantAnimation* animation, VantrelMotion::Kind kind, const VantrelAnimation& standard,
                 double from, double target);

    VantrelHaptics* haptics_;
    QPointer<VantrelMotion> motion_;
    QVariantAnimation* knobAnimation_;
    QVariantAnimation* pressAnimation_;
    double position_ = 0;
    double press_ = 0;
};

} // namespace vantrel
