// A section switch of the control center: the new page built and painted for the first time at
// the settings window's default size (1080 by 720, less the navigation bar), for the home page
// and for a section that shows its placeholder, and the navigation bar's repaint. Each has to
// stay under one 60 Hz frame (16 ms).

#include "BenchSupport.h"
#include "control-center/PlaceholderPage.h"
#include "control-center/RootView.h"
#include "core/VantrelPreferences.h"
#include "kit/VantrelTheme.h"
#include "platform/InMemoryDefaults.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

using namespace vantrel;

namespace {

const QSize kWindow(1080, 720);

void switchTo(benchmark::State& state, VantrelSection section) {
    InMemoryDefaultsProvider defaults;
    VantrelPreferences preferences(defaults.standard());
    QWidget host;
    VantrelTheme::setColorScheme(&host, ColorScheme::dark);
    const RootLayout layout = RootLayout::make(kWindow);
    host.resize(layout.page.size().toSize());
    QImage frame(host.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        auto* page = new PlaceholderPage(preferences, title(section), &host);
        page->setGeometry(host.rect());
        page->show();
        frame.fill(Qt::black);
        page->render(&frame);
        delete page;
        benchmark::DoNotOptimize(frame);
    }
}

void BM_SwitchToHome(benchmark::State& state) {
    switchTo(state, VantrelSection::home);
}
BENCHMARK(BM_SwitchToHome)->Unit(benchmark::kMillisecond);

void BM_SwitchToPlaceholder(benchmark::State& state) {
    switchTo(state, VantrelSection::notifications);
}
BENCHMARK(BM_SwitchToPlaceholder)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
