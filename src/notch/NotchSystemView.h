#pragma once

#include "notch/NotchStateView.h"
#include "notch/UsageSparkline.h"

#include <QColor>
#include <QPointer>
#include <QWidget>

namespace vantrel {

class SystemMonitor;
class VantrelHaptics;

// The system tab of the open notch: processor and memory gauges with their trend lines, the
// network's download and upload rates, and a caption. It is the monitor's observer exactly while
// it is on screen, so the monitor samples only then; before the first sample it shows a waiting
// message instead.
class NotchSystemView final : public QWidget {
    Q_OBJECT
public:
    static constexpr double kRedThreshold = 0.92;
    static constexpr double kCautionThreshold = 0.75;

    NotchSystemView(SystemMonitor& monitor, QColor accent, QWidget* parent = nullptr);
    ~NotchSystemView() override;

    // Whether the monitor has not yet delivered its first sample.
    static bool isCollectingFirstSample(const SystemMonitor& monitor);
    // Red from 0.92, the caution colour from 0.75, else the accent.
    static QColor tint(double value, QColor accent);
    static QColor systemRed();
    // "45%": the usage as a whole percentage, truncated.
    static QString cpuCaption(double cpuUsage);
    // "9.1 GB / 16.0 GB".
    static QString memoryCaption(quint64 usedBytes, quint64 totalBytes);
    // "1.2 MB/s".
    static QString rateText(double bytesPerSecond);

    struct Gauge {
        QString title;
        QString symbol;
        QString caption;
        double value = 0;
        QColor tint;
        QRectF label;
        QRectF captionRect;
        QRectF bar;
        UsageSparkline sparkline;
        QRectF sparklineRect;
    };
    struct Throughput {
        QString symbol;
        QString label;
        QString rate;
        QRectF symbolRect;
        QRectF rateRect;
        QRectF labelRect;
        UsageSparkline sparkline;
        QRectF sparklineRect;
    };
    struct Layout {
        Gauge cpu;
        Gauge memory;
        QRectF networkLabel;
        Throughput down;
        Throughput up;
        QRectF caption;
        QString captionText;
    };
    // The metrics in a view of `size`, from the monitor's current values.
    // Where the rows do not fit the height, their gaps close up and, if need be, the caption is
    // left out (an empty `caption`).
    static Layout layout(const QSizeF& size, const SystemMonitor& monitor, QColor accent);

    bool isObserving() const { return isObserving_; }
    // The "Measuring your Mac" message while it is shown; null otherwise.
    NotchStateView* measuringView() const { return measuring_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The rows with their gaps scaled by `gapScale` (1: as meant).
    static Layout layout(const QSizeF& size, const SystemMonitor& monitor, QColor accent, double gapScale);
    void monitorChanged();
    void setObserving(bool observing);

    SystemMonitor& monitor_;
    QColor accent_;
    bool isObserving_ = false;
    QPointer<NotchStateView> measuring_;
};

} // namespace vantrel
