#pragma once

#include <QPointer>
#include <QWidget>

namespace vantrel {

// The focus ring of a control that is exactly as wide as its label (a text button), drawn round
// the outside of the control's rect so that it keeps clear of the label. A widget cannot paint
// outside its own rect, so the halo is a sibling stacked over the control, following its geometry
// and visibility; it takes no input and goes with the control. The control then draws no ring of
// its own (KitPaint::ringDrawnOutside).
class FocusHalo final : public QWidget {
    Q_OBJECT
public:
    // `control` must have a parent and watch its focus reason.
    static FocusHalo* install(QWidget* control);

    // How far the halo reaches beyond the control on each side.
    static constexpr int kReach = 4;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    explicit FocusHalo(QWidget* control);
    void follow();

    QPointer<QWidget> control_;
    bool ringShown_ = false;
};

} // namespace vantrel
