#include "BenchSupport.h"
#include "kit/VantrelTheme.h"
#include "modules/SystemMonitor.h"
#include "notch/NotchSystemView.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cmath>

using namespace vantrel;

namespace {

// Counters of a busy machine that move on every read.
class SwingingCounters final : public SystemCounters {
public:
    std::optional<CpuTicks> cpuTicks() override {
        ++step_;
        total_ += 1000;
        idle_ += std::uint64_t(500 + 400 * std::sin(step_ * 0.5));
        return CpuTicks{idle_, total_};
    }
    std::optional<MemoryCounters> memory() override {
        return MemoryCounters{16ull << 30, (8ull << 30) + std::uint64_t(step_ % 24) * (200ull << 20)};
    }
    std::optional<std::vector<InterfaceCounters>> interfaces() override {
        received_ += std::uint64_t(150 * 1024 * (1.2 + std::sin(step_ * 0.8)));
        sent_ += std::uint64_t(24 * 1024 * (1.1 + std::cos(step_ * 0.6)));
        return std::vector<InterfaceCounters>{{QStringLiteral("eth0"), received_, sent_}};
    }

private:
    int step_ = 0;
    std::uint64_t idle_ = 0, total_ = 0, received_ = 0, sent_ = 0;
};

// One paint of the system tab at the large panel's content size with all four histories full.
void BM_PaintSystemTabFullHistories(benchmark::State& state) {
    SwingingCounters counters;
    bench::SampledMonitor sampled(counters);
    SystemMonitor& monitor = sampled.monitor;
    for (int i = 0; i < SystemMonitor::kHistoryLength + 2; ++i) sampled.sample();

    NotchSystemView view(monitor, QColor(10, 132, 255));
    view.resize(892, 207);
    VantrelTheme::setColorScheme(&view, ColorScheme::dark);
    QImage target(view.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        target.fill(Qt::black);
        view.render(&target, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::DoNotOptimize(target.constBits());
    }
    monitor.removeObserver();
}
BENCHMARK(BM_PaintSystemTabFullHistories)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
