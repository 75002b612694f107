#include "kit/VantrelPanel.h"
#include "notch/NotchPanelShape.h"
#include "platform/linux/X11InputFocus.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

using namespace vantrel;

namespace {

// The body of the panel: black, as the compact cap and the midnight look are.
class BlackView final : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::black); }
};

// One frame of the opening of a tall panel: the mask's size and radius at some point of the
// animation, its outline and window region, and the panel painted through it at 820 by 470.
void BM_NotchOpeningFrame(benchmark::State& state) {
    X11InputFocus focus;
    VantrelPanel panel(focus);
    panel.setContentView(new BlackView);
    panel.setGeometry(346, 0, 820, 470);
    QImage image(820, 470, QImage::Format_ARGB32_Premultiplied);
    const QSizeF from(185, 32);
    const QSizeF to(820, 470);
    const double fromRadius = NotchPanelShape::compactRadius(32);
    const double toRadius = NotchPanelShape::expandedRadius(470, 32);
    int frame = 0;
    for (auto _ : state) {
        // 15 frames of a 0.25-second opening at 60 Hz.
        const double t = (frame++ % 15) / 14.0;
        const QSizeF size(from.width() + (to.width() - from.width()) * t,
                          from.height() + (to.height() - from.height()) * t);
        const double radius = fromRadius + (toRadius - fromRadius) * t;
        panel.setOutline(
            NotchPanelShape::roundedOutline(QRectF(QPointF((820 - size.width()) / 2, 0), size), radius));
        image.fill(Qt::transparent);
        panel.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::DoNotOptimize(image.constBits());
    }
}

} // namespace

BENCHMARK(BM_NotchOpeningFrame)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
