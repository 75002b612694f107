#pragma once

#include <QColor>
#include <QImage>
#include <QObject>
#include <QRectF>

class QPainter;
class QVariantAnimation;

namespace vantrel {

// Where the refraction band lies for a window size and a point of the sweep.
struct RefractionLayout {
    QRectF band;      // before rotation and offset: centred in the window
    double angle = 0; // degrees, about the band's centre
    QPointF offset;
};

// A soft band of light that sweeps across the window from left to right every 26 seconds and
// starts again from the left. The backdrop paints it; this object keeps the sweep and the
// prerendered band.
class CalmThemeRefraction final : public QObject {
    Q_OBJECT
public:
    static constexpr double kPeriod = 26; // seconds per sweep
    static constexpr double kAngle = -14; // degrees
    static constexpr double kBlurRadius = 34;

    explicit CalmThemeRefraction(QColor tint, QObject* parent = nullptr);

    QColor tint() const { return tint_; }
    void setTint(const QColor& tint);

    // Whether the sweep has begun (it begins when the band is first shown).
    bool hasTravelled() const { return hasTravelled_; }
    // Begins the endless sweep; a running sweep goes on.
    void start();
    // Stops the sweep and returns the band to its start.
    void stop();
    // How far the current sweep has gone, 0...1.
    double progress() const;
    QVariantAnimation* animation() const { return animation_; }

    static RefractionLayout layout(const QSizeF& size, double progress);
    // Draws the band for the current point of the sweep at `opacity`.
    void paint(QPainter& painter, const QSizeF& size, double opacity);

Q_SIGNALS:
    // The band moved: the window should repaint.
    void changed();

private:
    const QImage& band(const QSizeF& size);

    QColor tint_;
    bool hasTravelled_ = false;
    QVariantAnimation* animation_;
    QImage band_; // rotated, for bandSize_
    QSizeF bandSize_;
};

} // namespace vantrel
