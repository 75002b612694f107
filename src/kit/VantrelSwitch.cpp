#include "kit/VantrelSwitch.h"

#include "kit/VantrelHaptics.h"
#include "kit/KitPaint.h"

#include <QPainter>
#include <QPainterPath>

namespace vantrel {

SwitchLayout SwitchLayout::of(const QRectF& bounds, bool on) {
    const QRectF track(bounds.center().x() - kWidth / 2, bounds.center().y() - kHeight / 2, kWidth, kHeight);
    const double diameter = kHeight - 2 * kKnobInset;
    const double x = on ? track.right() - kKnobInset - diameter : track.left() + kKnobInset;
    return {track, QRectF(x, track.top() + kKnobInset, diameter, diameter)};
}

VantrelSwitch::VantrelSwitch(VantrelHaptics* haptics, QWidget* parent)
    : QAbstractButton(parent), haptics_(haptics) {
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize VantrelSwitch::sizeHint() const {
    return QSize(int(SwitchLayout::kWidth), int(SwitchLayout::kHeight));
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

bool VantrelSwitch::hitButton(const QPoint& pos) const { return rect().contains(pos); }

void VantrelSwitch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    KitPaint::paintSwitch(painter, SwitchLayout::of(QRectF(rect()), isChecked()), isChecked(),
                          KitPaint::tint(this), KitPaint::scheme(this), isEnabled(), hasFocus());
}

} // namespace vantrel
