#pragma once

#include <QAbstractButton>
#include <functional>

namespace vantrel {

// A plain button of the notch surface: no frame or fill of its own, its label drawn by the
// surface. Its accessible name and tooltip say what it does.
class NotchSurfaceButton final : public QAbstractButton {
    Q_OBJECT
public:
    using Painter = std::function<void(QPainter& painter, const QRectF& rect, bool hovered, bool pressed)>;

    NotchSurfaceButton(const QString& accessibleName, Painter painter, QWidget* parent = nullptr);

    void setPainter(Painter painter);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    Painter painter_;
    bool hovered_ = false;
};

} // namespace vantrel
