// The open notch surface's look at the clipboard size, and its outline: what the opening animation
// draws on every frame must stay far under a frame's time.

#include "notch/NotchExpandedShape.h"
#include "notch/NotchSurfaceBody.h"
#include "support/NotchSurfaceBodyFixture.h"

#include <QGuiApplication>
#include <QPainter>
#include <benchmark/benchmark.h>

using namespace vantrel;

namespace {

NotchSurfaceBody::Key key(NotchAppearance appearance) {
    NotchSurfaceBody::Key k = test::notchSurfaceBodyKey(appearance, QSize(820, 470));
    // A custom tint, so that every layer of the look is drawn.
    k.look.customTintEnabled = true;
    return k;
}

// Building the look's layers: what a size or settings change costs once.
void BM_RenderLook(benchmark::State& state, NotchAppearance appearance) {
    const NotchSurfaceBody::Key k = key(appearance);
    for (auto _ : state) benchmark::DoNotOptimize(NotchSurfaceBody::render(k));
}

// One frame of the open surface: the rendered look drawn into the panel's backing store.
void BM_PaintSurface(benchmark::State& state, NotchAppearance appearance) {
    const QImage body = NotchSurfaceBody::render(key(appearance));
    QImage target(820, 470, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        target.fill(Qt::transparent);
        QPainter painter(&target);
        painter.drawImage(QPointF(0, 0), body);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}

void BM_ShapePath(benchmark::State& state) {
    const NotchExpandedShape shape{true, 185, 32};
    const QRectF rect(0, 0, 820, 470);
    for (auto _ : state) benchmark::DoNotOptimize(shape.path(rect));
}

BENCHMARK_CAPTURE(BM_RenderLook, midnight, NotchAppearance::midnight)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RenderLook, crystal, NotchAppearance::crystal)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PaintSurface, midnight, NotchAppearance::midnight)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PaintSurface, crystal, NotchAppearance::crystal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShapePath)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
