#pragma once

#include <QSlider>

namespace vantrel {

// A slider that shows keyboard focus with the kit's ring, inside its own rect. The arrow keys move
// it by one per cent of its range, Page Up and Page Down by ten, Home and End to its ends (a
// slider row moves its own in the units of its read-out).
class VantrelSlider : public QSlider {
    Q_OBJECT
public:
    explicit VantrelSlider(Qt::Orientation orientation, QWidget* parent = nullptr);

    // How many units a key moves the value (up is more), 0 for a key that moves none; Home and
    // End are not counted here.
    static int unitsOf(int key, bool rightToLeft);
    // Where `units` whole units from `at` (counted in units from the start) lands: on the grid
    // of whole units, so the read-out stays on whole figures; from between two, the first move
    // goes to the next whole unit that way.
    static double unitsAfter(double at, int units);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The groove and the knob keep clear of the ring, which runs round the slider's edge; the
    // pointer is read against the same rectangle, a press in the margin as at the nearer end.
    void initStyleOption(QStyleOptionSlider* option) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    template <typename Handler> void withinGroove(QMouseEvent* event, Handler handler);
};

} // namespace vantrel
