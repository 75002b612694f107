#include "notch/NotchSystemView.h"

#include "kit/GlyphCatalogue.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/SystemMonitor.h"
#include "notch/NotchStateView.h"
#include "notch/NotchTabText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vantrel {

using NotchTabText::labelFont;
using NotchTabText::paintFittedLine;
using NotchTabText::paintLabel;

namespace {

constexpr double kRowSpacing = 8;
constexpr double kGaugeSpacing = 12;
constexpr double kGaugeInnerSpacing = 4;
constexpr double kBarHeight = 4;
constexpr double kGaugeSparklineHeight = 12;
constexpr double kNetworkSpacing = 5;
constexpr double kThroughputSpacing = 18;
constexpr double kThroughputInnerSpacing = 4;
constexpr double kThroughputSymbolSpacing = 6;
constexpr double kThroughputTextSpacing = 1;
constexpr double kThroughputSparklineWidth = 102;
constexpr double kThroughputSparklineHeight = 14;
// The gaps close up no further than to this share before the caption is left out.
constexpr double kTightestGapScale = 0.5;
// A label's symbol sits before its title with this gap.

const char* const kCaption = "Live trend \u00B7 sampled every 2 seconds while this widget is open.";

QFont gaugeCaptionFont() {
    return VantrelType::font(19, QFont::DemiBold);
}
// The rates in the monospaced design, so their figures keep their places from sample to sample.
QFont rateFont() {
    return VantrelType::monospaced(12, QFont::DemiBold);
}
QFont rateLabelFont() {
    return VantrelType::font(9, QFont::Normal);
}
QFont footerFont() {
    return VantrelType::font(9.5, QFont::Normal);
}

double lineHeight(const QFont& font) {
    return QFontMetricsF(font).height();
}

} // namespace

NotchSystemView::NotchSystemView(SystemMonitor& monitor, QColor accent, QWidget* parent)
    : QWidget(parent), monitor_(monitor), accent_(accent) {
    setAccessibleName(QStringLiteral("System"));
    for (auto signal :
         {&SystemMonitor::cpuUsageChanged, &SystemMonitor::memoryUsedBytesChanged,
          &SystemMonitor::memoryTotalBytesChanged, &SystemMonitor::downloadBytesPerSecondChanged,
          &SystemMonitor::uploadBytesPerSecondChanged, &SystemMonitor::cpuHistoryChanged,
          &SystemMonitor::memoryHistoryChanged, &SystemMonitor::downloadHistoryChanged,
          &SystemMonitor::uploadHistoryChanged})
        connect(&monitor_, signal, this, &NotchSystemView::monitorChanged);
    monitorChanged();
}

NotchSystemView::~NotchSystemView() {
    // A view that goes while on screen still gives its registration back.
    setObserving(false);
}

bool NotchSystemView::isCollectingFirstSample(const SystemMonitor& monitor) {
    return monitor.memoryTotalBytes() == 0 && monitor.cpuHistory().isEmpty() &&
           monitor.memoryHistory().isEmpty();
}

QColor NotchSystemView::systemRed() {
    return QColor(255, 69, 58);
}

QColor NotchSystemView::tint(double value, QColor accent) {
    if (value >= kRedThreshold) return systemRed();
    if (value >= kCautionThreshold) return VantrelTheme::caution();
    return accent;
}

QString NotchSystemView::cpuCaption(double cpuUsage) {
    const double percent = cpuUsage * 100;
    // Truncated toward zero; a reading that is not a number shows as none at all.
    const long long whole =
        std::isfinite(percent) ? static_cast<long long>(std::clamp(percent, -1e12, 1e12)) : 0;
    return QString::number(whole) + QLatin1Char('%');
}

QString NotchSystemView::memoryCaption(quint64 usedBytes, quint64 totalBytes) {
    return SystemMonitor::formatBytes(double(usedBytes)) + QStringLiteral(" / ") +
           SystemMonitor::formatBytes(double(totalBytes));
}

QString NotchSystemView::rateText(double bytesPerSecond) {
    return SystemMonitor::formatBytes(bytesPerSecond) + QStringLiteral("/s");
}

NotchSystemView::Layout NotchSystemView::layout(const QSizeF& size, const SystemMonitor& monitor,
                                                QColor accent) {
    // The rows as they are meant to stand, when they fit. In a shorter panel the gaps between the
    // rows close up first; when even that leaves no room for the caption under the network lines, the
    // caption is left out rather than cut through, and the gaps close only as far as the figures
    // need.
    const double height = size.height();
    const Layout natural = layout(size, monitor, accent, 1);
    if (natural.caption.bottom() <= height) return natural;
    const double closed = layout(size, monitor, accent, 0).down.sparklineRect.bottom();
    const double gaps = natural.down.sparklineRect.bottom() - closed;
    const double captionRow = natural.caption.height();
    const double withCaption = (height - closed - captionRow) / (gaps + kRowSpacing);
    if (withCaption >= kTightestGapScale) return layout(size, monitor, accent, withCaption);
    Layout l = layout(size, monitor, accent, gaps > 0 ? std::clamp((height - closed) / gaps, 0.0, 1.0) : 0);
    l.caption = QRectF();
    return l;
}

NotchSystemView::Layout NotchSystemView::layout(const QSizeF& size, const SystemMonitor& monitor,
                                                QColor accent, double gapScale) {
    const double rowGap = kRowSpacing * gapScale;
    const double gaugeGap = kGaugeInnerSpacing * gapScale;
    const double networkGap = kNetworkSpacing * gapScale;
    const double throughputGap = kThroughputInnerSpacing * gapScale;
    Layout l;
    const double width = size.width();
    const double labelHeight = lineHeight(labelFont());
    const double captionHeight = lineHeight(gaugeCaptionFont());

    // Two gauges share the first row equally.
    const double gaugeWidth = std::max((width - kGaugeSpacing) / 2, 0.0);
    const auto gauge = [&](Gauge& g, double x, const QString& title, const QString& symbol,
                           const QString& caption, double value, const QList<double>& history) {
        g.title = title;
        g.symbol = symbol;
        g.caption = caption;
        g.value = value;
        g.tint = tint(value, accent);
        double y = 0;
        g.label = QRectF(x, y, gaugeWidth, labelHeight);
        y += labelHeight + gaugeGap;
        g.captionRect = QRectF(x, y, gaugeWidth, captionHeight);
        y += captionHeight + gaugeGap;
        g.bar = QRectF(x, y, gaugeWidth, kBarHeight);
        y += kBarHeight + gaugeGap;
        g.sparklineRect = QRectF(x, y, gaugeWidth, kGaugeSparklineHeight);
        g.sparkline = {history, g.tint, false};
    };
    gauge(l.cpu, 0, QStringLiteral("CPU"), QStringLiteral("cpu"), cpuCaption(monitor.cpuUsage()),
          monitor.cpuUsage(), monitor.cpuHistory());
    gauge(l.memory, gaugeWidth + kGaugeSpacing, QStringLiteral("Memory"), QStringLiteral("memorychip"),
          memoryCaption(monitor.memoryUsedBytes(), monitor.memoryTotalBytes()), monitor.memoryUsedFraction(),
          monitor.memoryHistory());

    double y = l.cpu.sparklineRect.bottom() + rowGap;
    l.networkLabel = QRectF(0, y, width, labelHeight);
    y += labelHeight + networkGap;

    const double rateHeight = lineHeight(rateFont());
    const double rateLabelHeight = lineHeight(rateLabelFont());
    const double textBlock = rateHeight + kThroughputTextSpacing + rateLabelHeight;
    const double symbolSide = 11;
    const auto throughput = [&](Throughput& t, double x, const QString& symbol, const QString& label,
                                double value, const QList<double>& history) {
        t.symbol = symbol;
        t.label = label;
        t.rate = rateText(value);
        const double textWidth = std::max(QFontMetricsF(rateFont()).horizontalAdvance(t.rate),
                                          QFontMetricsF(rateLabelFont()).horizontalAdvance(label));
        t.symbolRect = QRectF(x, y + (textBlock - symbolSide) / 2, symbolSide, symbolSide);
        const double textX = x + symbolSide + kThroughputSymbolSpacing;
        t.rateRect = QRectF(textX, y, textWidth, rateHeight);
        t.labelRect = QRectF(textX, y + rateHeight + kThroughputTextSpacing, textWidth, rateLabelHeight);
        t.sparklineRect =
            QRectF(x, y + textBlock + throughputGap, kThroughputSparklineWidth, kThroughputSparklineHeight);
        t.sparkline = {history, accent, true};
        // The figure is as wide as its widest row.
        return std::max(symbolSide + kThroughputSymbolSpacing + textWidth, kThroughputSparklineWidth);
    };
    const double downWidth = throughput(l.down, 0, QStringLiteral("arrow.down"), QStringLiteral("Down"),
                                        monitor.downloadBytesPerSecond(), monitor.downloadHistory());
    throughput(l.up, downWidth + kThroughputSpacing, QStringLiteral("arrow.up"), QStringLiteral("Up"),
               monitor.uploadBytesPerSecond(), monitor.uploadHistory());
    y += textBlock + throughputGap + kThroughputSparklineHeight + rowGap;

    l.captionText = QString::fromUtf8(kCaption);
    l.caption = QRectF(0, y, width, lineHeight(footerFont()));
    return l;
}

void NotchSystemView::monitorChanged() {
    const bool waiting = isCollectingFirstSample(monitor_);
    if (waiting && !measuring_) {
        measuring_ =
            new NotchStateView(QStringLiteral("waveform.path.ecg"), QStringLiteral("Measuring your Mac"),
                               QStringLiteral("CPU, memory, and network activity will appear after the "
                                              "first sample."),
                               accent_, std::nullopt, {}, nullptr, this);
        measuring_->setGeometry(rect());
        measuring_->show();
    } else if (!waiting && measuring_) {
        delete measuring_;
    }
    update();
}

void NotchSystemView::setObserving(bool observing) {
    if (observing == isObserving_) return;
    isObserving_ = observing;
    if (observing)
        monitor_.addObserver();
    else
        monitor_.removeObserver();
}

void NotchSystemView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    setObserving(true);
}

void NotchSystemView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    setObserving(false);
}

void NotchSystemView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (measuring_) measuring_->setGeometry(rect());
}

void NotchSystemView::paintEvent(QPaintEvent*) {
    if (measuring_) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ColorScheme scheme = VantrelTheme::colorScheme(this);
    const QColor primary = VantrelTheme::primary(scheme);
    const QColor secondary = VantrelTheme::secondaryText().resolve(scheme);
    const Layout l = layout(QSizeF(size()), monitor_, accent_);

    for (const Gauge* g : {&l.cpu, &l.memory}) {
        paintLabel(painter, g->label, g->symbol, g->title, secondary);
        painter.setPen(primary);
        paintFittedLine(painter, g->captionRect, g->caption, gaugeCaptionFont(), 0.7);
        const double radius = g->bar.height() / 2;
        painter.setPen(Qt::NoPen);
        painter.setBrush(VantrelTheme::withOpacity(primary, 0.14));
        painter.drawRoundedRect(g->bar, radius, radius);
        const double fraction = std::isfinite(g->value) ? std::clamp(g->value, 0.0, 1.0) : 0.0;
        if (fraction > 0) {
            painter.setBrush(g->tint);
            painter.drawRoundedRect(
                QRectF(g->bar.topLeft(), QSizeF(g->bar.width() * fraction, g->bar.height())), radius, radius);
        }
        g->sparkline.paint(painter, g->sparklineRect);
    }

    paintLabel(painter, l.networkLabel, QStringLiteral("network"), QStringLiteral("Network"), secondary);
    for (const Throughput* t : {&l.down, &l.up}) {
        GlyphCatalogue::paint(painter, t->symbol, t->symbolRect, accent_, QFont::Bold);
        painter.setPen(primary);
        painter.setFont(rateFont());
        painter.drawText(t->rateRect, Qt::AlignLeft | Qt::AlignVCenter, t->rate);
        painter.setPen(secondary);
        painter.setFont(rateLabelFont());
        painter.drawText(t->labelRect, Qt::AlignLeft | Qt::AlignVCenter, t->label);
        t->sparkline.paint(painter, t->sparklineRect);
    }

    if (l.caption.isEmpty()) return;
    painter.setPen(VantrelTheme::tertiaryText().resolve(scheme));
    painter.setFont(footerFont());
    painter.drawText(
        l.caption, Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetricsF(footerFont()).elidedText(l.captionText, Qt::ElideRight, l.caption.width()));
}

} // namespace vantrel
