#pragma once

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QVariantAnimation>

class QPainter;

namespace vantrel {

class VantrelMotion;

// The name bubble over a hovered Dock tile: one line, elided in the middle, on a dark capsule.
// It fades in and out and never takes the pointer: the Dock view draws it over its clear band.
class DockHoverLabel final : public QObject {
    Q_OBJECT
public:
    static constexpr double kMaximumTextWidth = 104;
    static constexpr double kFadeSeconds = 0.12;

    struct Layout {
        QString text;   // as shown, elided
        QRectF capsule; // the bubble, text inset 8 left and right and 4 above and below
        QRectF textRect;
    };

    explicit DockHoverLabel(QObject* parent = nullptr);

    static QFont font(); // 10.5, semibold
    // The bubble with its top edge centred on `topCentre`.
    static Layout layout(const QString& text, QPointF topCentre);
    // Draws the bubble at `opacity`.
    static void paint(QPainter& painter, const Layout& layout, double opacity);

    const QString& text() const { return text_; }
    void setText(const QString& text) { text_ = text; }
    bool visible() const { return visible_; }
    // Fades to opacity 1 (visible) or 0 over 0.12 s, ease-out.
    void setVisible(bool visible);
    double opacity() const { return opacity_; }
    QVariantAnimation* animation() const { return fade_; }

Q_SIGNALS:
    void changed();

private:
    QString text_;
    bool visible_ = false;
    double opacity_ = 0;
    QPointer<QVariantAnimation> fade_;
};

} // namespace vantrel
