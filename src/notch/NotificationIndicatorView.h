#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QRectF>
#include <functional>

namespace vantrel {

// The red alert dot: a filled circle with a thin light ring, clickable on the circle only.
class NotificationIndicatorView final : public QAbstractButton {
    Q_OBJECT
public:
    struct Layout {
        QRectF circle;
        QColor fill;
        // The ring is stroked on the circle's edge, inside it.
        QRectF ring;
        QColor ringColor;
        double ringWidth = 0;
    };
    static Layout layout(const QSizeF& size);

    explicit NotificationIndicatorView(std::function<void()> action, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& position) const override;
};

} // namespace vantrel
