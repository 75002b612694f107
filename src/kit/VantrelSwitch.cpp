#include "kit/VantrelSwitch.h"
#include "kit/KeyActivation.h"

#include "core/VantrelHaptics.h"
#include "kit/KitPaint.h"

#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>
#include <algorithm>
#include <cmath>

namespace vantrel {

SwitchLayout SwitchLayout::of(const QRectF& bounds, double position, double press) {
    const QRectF track(bounds.center().x() - kWidth / 2, bounds.center().y() - kHeight / 2, kWidth, kHeight);
    const double diameter = kHeight - 2 * kKnobInset;
    const double width = diameter + kPressStretch * std::clamp(press, 0.0, 1.0);
    // The knob's left edge travels the track's inner length; a stretched knob travels less, so it
    // grows toward the middle from whichever end it rests at.
    const double travel = track.width() - 2 * kKnobInset - width;
    const double x = track.left() + kKnobInset + travel * std::clamp(position, 0.0, 1.0);
    return {track, QRectF(x, track.top() + kKnobInset, width, diameter)};
}

VantrelAnimation VantrelSwitch::standardKnobAnimation() {
    return {QEasingCurve(QEasingCurve::InOutCubic), 0.2};
}

VantrelAnimation VantrelSwitch::standardPressAnimation() {
    return VantrelAnimation::easeOut(0.12);
}

VantrelSwitch::VantrelSwitch(VantrelHaptics* haptics, QWidget* parent)
    : QAbstractButton(parent), haptics_(haptics), knobAnimation_(new QVariantAnimation(this)),
      pressAnimation_(new QVariantAnimation(this)) {
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    KitPaint::watchFocusReason(this);
    KeyActivation::pressOnReturn(this);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(knobAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        position_ = value.toDouble();
        update();
    });
    connect(pressAnimation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        press_ = value.toDouble();
        update();
    });
    // Whoever sets the value, the knob goes to its end; only the user's flip plays the haptic.
    connect(this, &QAbstractButton::toggled, this, [this](bool on) {
        animate(knobAnimation_, VantrelMotion::Kind::transition, standardKnobAnimation(), position_,
                on ? 1 : 0);
    });
    connect(this, &QAbstractButton::pressed, this, [this] {
        animate(pressAnimation_, VantrelMotion::Kind::flourish, standardPressAnimation(), press_, 1);
    });
    connect(this, &QAbstractButton::released, this, [this] {
        animate(pressAnimation_, VantrelMotion::Kind::flourish, standardPressAnimation(), press_, 0);
    });
}

void VantrelSwitch::animate(QVariantAnimation* animation, VantrelMotion::Kind kind,
                            const VantrelAnimation& standard, double from, double target) {
    animation->stop();
    const std::optional<VantrelAnimation> resolved = motion_ ? motion_->resolve(kind, standard) : standard;
    // A switch not on screen (being built, or bound to its first value) shows its state at once.
    if (!isVisible() || !resolved || resolved->duration <= 0) {
        (animation == knobAnimation_ ? position_ : press_) = target;
        update();
        return;
    }
    resolved->run(*animation, from, target);
}

QSize VantrelSwitch::sizeHint() const {
    // The track keeps the ring's room around it, so that the ring is seen whole.
    const int room = int(2 * KitPaint::kFocusRingRoom);
    return QSize(int(SwitchLayout::kWidth) + room, int(SwitchLayout::kHeight) + room);
}

void VantrelSwitch::bind(SettingBinding<bool> binding) {
    setChecked(binding.get());
    binding.observe(this, [this, get = binding.get] { setChecked(get()); });
    connect(this, &QAbstractButton::clicked, this, [set = binding.set](bool on) { set(on); });
}

void VantrelSwitch::nextCheckState() {
    // Only a flip by the user comes here (a click, the space bar): the haptic comes first, then
    // the new state and the `clicked` that writes it.
    if (haptics_) haptics_->play(HapticSurface::controls);
    QAbstractButton::nextCheckState();
}

bool VantrelSwitch::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

void VantrelSwitch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    KitPaint::paintSwitch(painter, SwitchLayout::of(QRectF(rect()), position_, press_), position_,
                          KitPaint::tint(this), KitPaint::scheme(this), isEnabled(),
                          KitPaint::showsFocusRing(this), KitPaint::focusRingColor(this));
}

} // namespace vantrel
