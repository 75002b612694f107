// The recolouring of theme artwork at a large display's size, and the backdrop's repaint at a
// settings window's size: once rendered, a repaint only copies its cached layers (and moves the
// calm sweep), which has to stay well under one 60 Hz frame (16 ms).

#include "core/VantrelPreferences.h"
#include "kit/CalmThemeRefraction.h"
#include "kit/ThemeHueRemap.h"
#include "kit/ThemeImageStore.h"
#include "kit/VantrelBackdrop.h"
#include "kit/VantrelMotion.h"
#include "platform/InMemoryDefaults.h"
#include "platform/SystemAppearance.h"
#include "platform/ThreadWorkQueue.h"
#include "platform/linux/PosixFileManager.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QVariantAnimation>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>

using namespace vantrel;

namespace {

// A desktop that never changes its wishes.
class StillAppearance final : public SystemAppearance {
public:
    ColorScheme colorScheme() const override { return ColorScheme::dark; }
    bool increasedContrast() const override { return false; }
    bool reduceMotion() const override { return false; }
    bool reduceTransparency() const override { return false; }
};

// A picture with every hue of the theme band and a spread of lightness, like the artwork.
QImage bandImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] =
                QColor::fromHslF(float(0.5 + 0.2 * x / width), 0.6f, float(0.1 + 0.7 * y / height)).rgb();
    }
    return image;
}

void BM_HueRemap2560x1600(benchmark::State& state) {
    const QImage source = bandImage(2560, 1600);
    const ThemeHueRemap::Pixel target{0.86, 0.3, 0.52, 1};
    const ThemeHueRemap::Profile profile = *ThemeHueRemap::profile(ArtTheme::obsidianFold);
    for (auto _ : state) {
        const QByteArray cube =
            ThemeHueRemap::colorCubeData(target, 0.42, profile, ThemeImageStore::kCubeDimension);
        std::optional<QImage> out = ThemeHueRemap::applyCube(source, cube, ThemeImageStore::kCubeDimension);
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(state.iterations() * 2560 * 1600);
}
BENCHMARK(BM_HueRemap2560x1600)->Unit(benchmark::kMillisecond);

// The same recolouring asked of the store with its worker, as the application does: the time is
// until the copy is back on the main thread; "request_us" is what the request itself held the main
// thread (it answers with the source at once).
void BM_HueRemapOnWorker2560x1600(benchmark::State& state) {
    QTemporaryDir app;
    const QString folder = app.path() + QStringLiteral("/Vantrel_Vantrel.bundle");
    QDir().mkpath(folder);
    bandImage(2560, 1600).save(folder + QStringLiteral("/obsidian-fold-dark.png"));
    PosixFileManager files;
    ThreadWorkQueue worker(QStringLiteral("bench.theme-remap"));
    ThemeImageStore store(files, app.path());
    store.setWorker(&worker);
    const QString name = QStringLiteral("obsidian-fold-dark");
    store.originalImage(name);
    const ThemeHueRemap::Profile profile = *ThemeHueRemap::profile(ArtTheme::obsidianFold);
    bool ready = false;
    QObject::connect(&store, &ThemeImageStore::remappedImageReady, [&ready] { ready = true; });
    double requestSeconds = 0;
    int tint = 0;
    for (auto _ : state) {
        // A tint not asked before, so that nothing comes from the cache.
        const ThemeHueRemap::Pixel target{(tint++ % 24) / 24.0, 0.3, (tint / 24 % 24) / 24.0, 1};
        ready = false;
        const auto start = std::chrono::steady_clock::now();
        std::optional<QImage> shown = store.image(name, target, 0.42, profile);
        requestSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(shown);
        while (!ready) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    state.counters["request_us"] = benchmark::Counter(requestSeconds * 1e6 / double(state.iterations()));
}
BENCHMARK(BM_HueRemapOnWorker2560x1600)->Unit(benchmark::kMillisecond)->UseRealTime();

struct BackdropEnvironment {
    QTemporaryDir app;
    InMemoryDefaults defaults{QStringLiteral("com.vantrel.mac")};
    VantrelPreferences preferences{defaults};
    StillAppearance appearance;
    VantrelMotion motion{appearance};
    PosixFileManager files;
    std::unique_ptr<ThemeImageStore> store;
    QWidget window;
    VantrelBackdrop* backdrop = nullptr;
    QImage target{1080, 720, QImage::Format_ARGB32_Premultiplied};

    explicit BackdropEnvironment(ArtTheme theme) {
        const QString folder = app.path() + QStringLiteral("/Vantrel_Vantrel.bundle");
        QDir().mkpath(folder);
        for (const char* name : {"obsidian-fold-dark", "midnight-current-dark"})
            bandImage(1600, 1000)
                .save(folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
        store = std::make_unique<ThemeImageStore>(files, app.path());
        preferences.setArtTheme(theme);
        window.resize(1080, 720);
        VantrelTheme::setColorScheme(&window, ColorScheme::dark);
        backdrop = new VantrelBackdrop(preferences, *store, motion, &window);
        backdrop->resize(window.size());
        window.show();
    }
    void paint() { backdrop->render(&target); }
};

// The first paint after a change of size or settings renders every layer.
void BM_BackdropFirstPaint1080x720(benchmark::State& state) {
    BackdropEnvironment env(ArtTheme::obsidianFold);
    int width = 1080;
    for (auto _ : state) {
        width = width == 1080 ? 1079 : 1080;
        env.backdrop->resize(width, 720);
        env.paint();
    }
}
BENCHMARK(BM_BackdropFirstPaint1080x720)->Unit(benchmark::kMillisecond);

// A repaint with nothing changed: the cached layers copied.
void BM_BackdropCachedRepaint1080x720(benchmark::State& state) {
    BackdropEnvironment env(ArtTheme::obsidianFold);
    env.paint();
    for (auto _ : state) env.paint();
}
BENCHMARK(BM_BackdropCachedRepaint1080x720)->Unit(benchmark::kMillisecond);

// A repaint of the plain (neutral) backdrop, its gradients kept as runs along the rows.
void BM_BackdropPlainRepaint1080x720(benchmark::State& state) {
    BackdropEnvironment env(ArtTheme::neutral);
    env.paint();
    for (auto _ : state) env.paint();
    state.counters["kept bytes"] = double(env.backdrop->keptImageBytes());
}
BENCHMARK(BM_BackdropPlainRepaint1080x720)->Unit(benchmark::kMillisecond);

// A frame of the calm sweep: the cached layers and the moving band.
void BM_BackdropSweepFrame1080x720(benchmark::State& state) {
    BackdropEnvironment env(ArtTheme::midnightCurrent);
    env.paint();
    int time = 0;
    for (auto _ : state) {
        time = (time + 16) % 26000;
        env.backdrop->refraction()->animation()->setCurrentTime(time);
        env.paint();
    }
}
BENCHMARK(BM_BackdropSweepFrame1080x720)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
