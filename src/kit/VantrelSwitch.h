#pragma once

#include "kit/SettingBinding.h"

#include <QAbstractButton>
#include <QPointer>

namespace vantrel {

class VantrelHaptics;

// Where the switch draws its track and knob.
struct SwitchLayout {
    QRectF track; // a capsule
    QRectF knob;  // a circle at the leading end when off, the trailing end when on

    static constexpr double kWidth = 38;
    static constexpr double kHeight = 22;
    static constexpr double kKnobInset = 1.5;

    // Centred in `bounds`.
    static SwitchLayout of(const QRectF& bounds, bool on);
};

// An on/off switch in the system style that plays the controls haptic when the user flips it,
// before anyone hears of the new value. Setting it from the model (setChecked) plays nothing and
// announces nothing but `toggled`; `clicked` is the user's flip.
class VantrelSwitch : public QAbstractButton {
    Q_OBJECT
public:
    // Without haptics the switch stays silent (some cards ask for that).
    explicit VantrelSwitch(VantrelHaptics* haptics, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Shows the binding's value and keeps showing it; a flip by the user writes it, once.
    void bind(SettingBinding<bool> binding);

protected:
    void nextCheckState() override;
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    VantrelHaptics* haptics_;
};

} // namespace vantrel
