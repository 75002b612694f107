// A section switch of the control center: the page of each section the navigation offers (the Dock
// page in both of its modes) built by the window's page factory and painted for the first time at
// the settings window's default size (1080 by 720, less the navigation bar), the way the window
// rebuilds a page on every switch. Each has to stay under one 60 Hz frame (16 ms).

#include "../tests/settings/DockPageFixture.h"
#include "BenchSupport.h"
#include "control-center/PageFactory.h"
#include "control-center/RootView.h"
#include "kit/VantrelTheme.h"
#include "support/ControlCenterHarness.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

using namespace vantrel;

namespace {

const QSize kWindow(1080, 720);

// Which variant of a page is timed where a page has several.
enum class Variant { standard, replacementDock };

void switchTo(benchmark::State& state, VantrelSection section, Variant variant = Variant::standard) {
    // The pages over the tests' stores and recording services, the Dock page with its own stores:
    // what is timed is the page's own building and painting.
    test::DockPageFixture fixture;
    test::ControlCenterHarness& window = fixture.c;
    // Two alerts waiting, so the notifications page shows its pending line.
    window.h.alerts.recordVantrelEvent(QStringLiteral("Timer finished"), false);
    window.h.alerts.recordVantrelEvent(QStringLiteral("Countdown finished"), false);
    // The menu-bar organizer on and set up: the page with its action row and its reveal card.
    window.h.preferences.setMenuMaskEnabled(true);
    window.h.preferences.setMenuSetupComplete(true);
    window.menuBarAppearance.apply(window.h.preferences, window.menuBarScanner);
    window.h.preferences.setCustomDockEnabled(variant == Variant::replacementDock);
    const PageFactory pages(fixture.context);
    QWidget host;
    VantrelTheme::setColorScheme(&host, ColorScheme::dark);
    const RootLayout layout = RootLayout::make(kWindow);
    host.resize(layout.page.size().toSize());
    host.show();
    QImage frame(host.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QWidget* page = pages.makePage(section, &host);
        page->setGeometry(host.rect());
        page->show();
        frame.fill(Qt::black);
        page->render(&frame);
        delete page;
        benchmark::DoNotOptimize(frame);
    }
}

} // namespace

BENCHMARK_CAPTURE(switchTo, home, VantrelSection::home)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(switchTo, notch, VantrelSection::notch)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(switchTo, menuBar, VantrelSection::menuBar)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(switchTo, dock, VantrelSection::dock)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(switchTo, dockReplacement, VantrelSection::dock, Variant::replacementDock)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(switchTo, feedback, VantrelSection::feedback)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(switchTo, notifications, VantrelSection::notifications)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(switchTo, appearance, VantrelSection::appearance)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(switchTo, permissions, VantrelSection::permissions)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
