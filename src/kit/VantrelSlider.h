#pragma once

#include <QSlider>

namespace vantrel {

// A slider that shows keyboard focus with the kit's ring, inside its own rect.
class VantrelSlider : public QSlider {
    Q_OBJECT
public:
    explicit VantrelSlider(Qt::Orientation orientation, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace vantrel
