#include "core/QAObserver.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/SystemMonitor.h"
#include "notch/NotchStateView.h"
#include "notch/NotchSystemView.h"
#include "platform/AppPaths.h"
#include "support/FakeFileManager.h"
#include "support/FakeSystemCounters.h"
#include "support/ManualClock.h"
#include "support/ManualScheduler.h"

#include <QFontMetricsF>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QColor kAccent(10, 132, 255);

struct SystemHarness {
    ManualClock clock;
    ManualScheduler scheduler{clock};
    FakeFileManager files;
    QAObserver qa{clock, files, AppPaths{"/tmp/h", "/tmp/c", "/tmp/d"}};
    FakeSystemCounters counters;
    SystemMonitor monitor{counters, scheduler, clock, qa};
    std::uint64_t busy = 0;
    std::uint64_t total = 0;

    SystemHarness() {
        counters.cpu = CpuTicks{0, 0};
        counters.mem = MemoryCounters{16ull << 30, 9ull << 30};
        counters.nets = std::vector<InterfaceCounters>{{"eth0", 0, 0}};
    }
};

QList<QPointF> points(const QPainterPath& path) {
    QList<QPointF> out;
    for (int i = 0; i < path.elementCount(); ++i)
        out.append(QPointF(path.elementAt(i).x, path.elementAt(i).y));
    return out;
}

} // namespace

TEST(NotchSystemView, TintThresholdsAreInclusive) {
    EXPECT_EQ(NotchSystemView::tint(0.92, kAccent), NotchSystemView::systemRed());
    EXPECT_EQ(NotchSystemView::tint(1.0, kAccent), NotchSystemView::systemRed());
    EXPECT_EQ(NotchSystemView::tint(0.9199, kAccent), VantrelTheme::caution());
    EXPECT_EQ(NotchSystemView::tint(0.75, kAccent), VantrelTheme::caution());
    EXPECT_EQ(NotchSystemView::tint(0.7499, kAccent), kAccent);
    EXPECT_EQ(NotchSystemView::tint(0, kAccent), kAccent);
    EXPECT_NE(NotchSystemView::systemRed(), VantrelTheme::caution());
}

TEST(NotchSystemView, CaptionsAndRates) {
    EXPECT_EQ(NotchSystemView::cpuCaption(0.999), "99%");
    EXPECT_EQ(NotchSystemView::cpuCaption(0.457), "45%");
    EXPECT_EQ(NotchSystemView::cpuCaption(0), "0%");
    EXPECT_EQ(NotchSystemView::memoryCaption(0, 0), "0 B / 0 B");
    EXPECT_EQ(NotchSystemView::memoryCaption(9771050598ull, 17179869184ull), "9.1 GB / 16.0 GB");
    EXPECT_EQ(NotchSystemView::rateText(1023), "1023 B/s");
    EXPECT_EQ(NotchSystemView::rateText(1024), "1.0 KB/s");
    EXPECT_EQ(NotchSystemView::rateText(150 * 1024), "150 KB/s");
    EXPECT_EQ(NotchSystemView::rateText(10.0 * 1024 * 1024 * 1024), "10.0 GB/s");
    EXPECT_EQ(NotchSystemView::rateText(4096.0 * 1024 * 1024 * 1024), "4096 GB/s")
        << "larger rates stay in GB";
}

TEST(NotchSystemView, SparklinePoints) {
    const QSizeF box(100, 14);
    // No line for none or one value: the path only moves.
    EXPECT_EQ(points(UsageSparkline{{}, Qt::red, false}.path(box)), QList<QPointF>{QPointF(0, 14)});
    EXPECT_EQ(points(UsageSparkline{{0.5}, Qt::red, false}.path(box)), QList<QPointF>{QPointF(0, 7)});
    // Two values: one segment across the full width.
    EXPECT_EQ(points(UsageSparkline{{0.25, 0.75}, Qt::red, false}.path(box)),
              (QList<QPointF>{QPointF(0, 10.5), QPointF(100, 3.5)}));
    // Normalised to the largest value: from the middle to the top edge.
    EXPECT_EQ(points(UsageSparkline{{500, 1000}, Qt::red, true}.path(box)),
              (QList<QPointF>{QPointF(0, 7), QPointF(100, 0)}));
    // Rates below one byte per second are drawn against 1, near the bottom.
    const QList<QPointF> small = points(UsageSparkline{{0.2, 0.4}, Qt::red, true}.path(box));
    ASSERT_EQ(small.size(), 2);
    EXPECT_NEAR(small[0].y(), 11.2, 1e-9);
    EXPECT_NEAR(small[1].y(), 8.4, 1e-9);
    // Un-normalised values above 1 are clipped to the top; points spread evenly.
    EXPECT_EQ(points(UsageSparkline{{0, 1.7, 0.5}, Qt::red, false}.path(box)),
              (QList<QPointF>{QPointF(0, 14), QPointF(50, 0), QPointF(100, 7)}));
}

TEST(NotchSystemView, MeasuringOnlyBeforeTheFirstSampleAndObservingOnlyWhileShown) {
    SystemHarness h;
    auto view = std::make_unique<NotchSystemView>(h.monitor, kAccent);
    view->resize(692, 157);
    ASSERT_NE(view->measuringView(), nullptr);
    EXPECT_EQ(view->measuringView()->title(), "Measuring your Mac");
    EXPECT_EQ(view->measuringView()->message(),
              "CPU, memory, and network activity will appear after the first sample.");
    EXPECT_EQ(view->measuringView()->symbol(), "waveform.path.ecg");
    EXPECT_EQ(view->measuringView()->actionButton(), nullptr);
    EXPECT_FALSE(h.monitor.isSampling()) << "nothing samples before the view is on screen";
    // A change that leaves the monitor still waiting keeps the same message.
    NotchStateView* waiting = view->measuringView();
    Q_EMIT h.monitor.cpuUsageChanged();
    EXPECT_EQ(view->measuringView(), waiting);

    view->show();
    EXPECT_TRUE(view->isObserving());
    EXPECT_TRUE(h.monitor.isSampling());
    EXPECT_EQ(h.counters.reads, 1) << "the first sample at once";
    EXPECT_EQ(view->measuringView(), nullptr) << "the metrics replace the waiting state";
    h.scheduler.advance(Seconds(2));
    EXPECT_EQ(h.counters.reads, 2) << "then every 2 seconds";

    view->hide();
    EXPECT_FALSE(view->isObserving());
    EXPECT_FALSE(h.monitor.isSampling()) << "the last observer left";
    h.scheduler.advance(Seconds(20));
    EXPECT_EQ(h.counters.reads, 2) << "no sampling while hidden";
    EXPECT_EQ(view->measuringView(), nullptr) << "the waiting state never returns";

    // Shown twice in a row still registers once; a second monitor user keeps it sampling.
    view->show();
    view->show();
    EXPECT_EQ(h.counters.reads, 3);
    h.monitor.addObserver();
    view->hide();
    EXPECT_TRUE(h.monitor.isSampling()) << "one removal per registration";
    h.monitor.removeObserver();
    EXPECT_FALSE(h.monitor.isSampling());

    // A view that goes while shown gives its registration back.
    view->show();
    EXPECT_TRUE(h.monitor.isSampling());
    view.reset();
    EXPECT_FALSE(h.monitor.isSampling());
}

TEST(NotchSystemView, MetricsLayoutFromTheMonitor) {
    SystemHarness h;
    h.monitor.addObserver();
    h.counters.cpu = CpuTicks{8, 100};
    h.counters.mem = MemoryCounters{0, 0};
    h.counters.nets = std::vector<InterfaceCounters>{{"eth0", 1024 * 2, 1023 * 2}};
    h.scheduler.advance(Seconds(2));
    ASSERT_NEAR(h.monitor.cpuUsage(), 0.92, 1e-9);

    const auto l = NotchSystemView::layout(QSizeF(692, 157), h.monitor, kAccent);
    EXPECT_EQ(l.cpu.title, "CPU");
    EXPECT_EQ(l.cpu.symbol, "cpu");
    EXPECT_EQ(l.cpu.caption, "92%");
    EXPECT_EQ(l.cpu.tint, NotchSystemView::systemRed());
    EXPECT_EQ(l.cpu.sparkline.color, NotchSystemView::systemRed()) << "the line takes the gauge's tint";
    EXPECT_FALSE(l.cpu.sparkline.normalizesValues);
    EXPECT_EQ(l.cpu.sparkline.values, h.monitor.cpuHistory());
    // A total of 0 with samples in: no waiting state, an empty accent bar and 0 B / 0 B.
    EXPECT_FALSE(NotchSystemView::isCollectingFirstSample(h.monitor));
    EXPECT_EQ(l.memory.title, "Memory");
    EXPECT_EQ(l.memory.symbol, "memorychip");
    EXPECT_EQ(l.memory.caption, "0 B / 0 B");
    EXPECT_EQ(l.memory.value, 0.0);
    EXPECT_EQ(l.memory.tint, kAccent);
    // The two gauges share the row, 12 apart.
    EXPECT_DOUBLE_EQ(l.cpu.label.width(), l.memory.label.width());
    EXPECT_DOUBLE_EQ(l.memory.label.left() - l.cpu.label.right(), 12);
    EXPECT_DOUBLE_EQ(l.cpu.sparklineRect.height(), 12);
    // Throughput figures: rates, labels, normalised accent lines of 102 by 14, 18 apart.
    EXPECT_EQ(l.down.rate, "1.0 KB/s");
    EXPECT_EQ(l.up.rate, "1023 B/s");
    EXPECT_EQ(l.down.label, "Down");
    EXPECT_EQ(l.up.label, "Up");
    EXPECT_EQ(l.down.symbol, "arrow.down");
    EXPECT_EQ(l.up.symbol, "arrow.up");
    EXPECT_TRUE(l.down.sparkline.normalizesValues);
    EXPECT_EQ(l.down.sparkline.color, kAccent);
    EXPECT_EQ(l.down.sparklineRect.size(), QSizeF(102, 14));
    EXPECT_DOUBLE_EQ(l.up.sparklineRect.left() - l.down.sparklineRect.right(), 18);
    EXPECT_EQ(l.captionText,
              QString::fromUtf8("Live trend \u00B7 sampled every 2 seconds while this widget is open."));
    // Rows 8 apart; the network label 5 over its figures; symbols 6 before the rates.
    EXPECT_DOUBLE_EQ(l.networkLabel.top() - l.cpu.sparklineRect.bottom(), 8);
    EXPECT_DOUBLE_EQ(l.down.rateRect.top() - l.networkLabel.bottom(), 5);
    EXPECT_DOUBLE_EQ(l.down.rateRect.left() - l.down.symbolRect.right(), 6);
    EXPECT_DOUBLE_EQ(l.down.sparklineRect.top() - l.down.labelRect.bottom(), 4);
    EXPECT_DOUBLE_EQ(l.caption.top() - l.down.sparklineRect.bottom(), 8);
    EXPECT_DOUBLE_EQ(l.cpu.captionRect.top() - l.cpu.label.bottom(), 4);
    EXPECT_DOUBLE_EQ(l.cpu.bar.top() - l.cpu.captionRect.bottom(), 4);
    // The bars are linear progress bars, 4 points thick.
    EXPECT_DOUBLE_EQ(l.cpu.bar.height(), 4);
    EXPECT_DOUBLE_EQ(l.memory.bar.height(), 4);
    EXPECT_DOUBLE_EQ(l.cpu.sparklineRect.top() - l.cpu.bar.bottom(), 4);
    EXPECT_DOUBLE_EQ(l.down.labelRect.top() - l.down.rateRect.bottom(), 1);
    // Rates in 12-point monospaced type, their labels in 9, the gauge captions in 19.
    EXPECT_DOUBLE_EQ(l.down.rateRect.height(),
                     QFontMetricsF(VantrelType::monospaced(12, QFont::DemiBold)).height());
    EXPECT_DOUBLE_EQ(l.down.labelRect.height(), QFontMetricsF(VantrelType::font(9, QFont::Normal)).height());
    EXPECT_DOUBLE_EQ(l.cpu.captionRect.height(),
                     QFontMetricsF(VantrelType::font(19, QFont::DemiBold)).height());
    h.monitor.removeObserver();
}

TEST(NotchSystemView, TheSmallPanelShowsEveryFigureWholeAndNoHalfCaption) {
    SystemHarness h;
    h.monitor.addObserver();
    h.counters.cpu = CpuTicks{50, 100};
    h.scheduler.advance(Seconds(2));
    // 117 is the content height of the small panel's standard tier, 157 of the medium one.
    const auto small = NotchSystemView::layout(QSizeF(692, 117), h.monitor, kAccent);
    EXPECT_LE(small.down.sparklineRect.bottom(), 117) << "the network lines are drawn, not cut off";
    EXPECT_LE(small.up.sparklineRect.bottom(), 117);
    EXPECT_TRUE(small.caption.isEmpty()) << "no room for the caption: left out, not cut through";
    EXPECT_GT(small.networkLabel.top(), small.cpu.sparklineRect.bottom());
    EXPECT_GT(small.down.rateRect.top(), small.networkLabel.bottom() - 1e-9);
    const auto medium = NotchSystemView::layout(QSizeF(692, 157), h.monitor, kAccent);
    EXPECT_FALSE(medium.caption.isEmpty());
    EXPECT_LE(medium.caption.bottom(), 157);
    EXPECT_DOUBLE_EQ(medium.networkLabel.top() - medium.cpu.sparklineRect.bottom(), 8);
    // A height between the two keeps the caption whole with closer rows.
    const auto between = NotchSystemView::layout(QSizeF(692, 145), h.monitor, kAccent);
    EXPECT_FALSE(between.caption.isEmpty());
    EXPECT_LE(between.caption.bottom(), 145);
    EXPECT_LT(between.networkLabel.top() - between.cpu.sparklineRect.bottom(), 8);
    h.monitor.removeObserver();
}
