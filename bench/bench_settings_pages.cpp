// The two live pictures of the settings pages: the notch preview at a wide window's width (mirror
// glass over artwork with a tint) and the theme hero with a saved hue. Both repaint on every
// settings change and while their animations run, so a paint has to stay well under a frame; the
// recoloured thumbnail is made once and reused by every repaint.

#include "BenchSupport.h"
#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "kit/ThemeImageStore.h"
#include "kit/VantrelMotion.h"
#include "platform/HapticPerformer.h"
#include "platform/InMemoryDefaults.h"
#include "platform/SystemAppearance.h"
#include "platform/linux/PosixFileManager.h"
#include "settings/NotchSettingsPreview.h"
#include "settings/ThemeGallery.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

using namespace vantrel;

namespace {

class StillAppearance final : public SystemAppearance {
public:
    ColorScheme colorScheme() const override { return ColorScheme::dark; }
    bool increasedContrast() const override { return false; }
    bool reduceMotion() const override { return false; }
    bool reduceTransparency() const override { return false; }
};

class SilentHaptics final : public HapticPerformer {
public:
    void perform(HapticFeedbackPattern) override {}
};

// The artwork drawn by the build, in the folder above the benchmarks'.
struct Pictures {
    InMemoryDefaultsProvider defaults;
    VantrelPreferences preferences{defaults.standard()};
    StillAppearance appearance;
    VantrelMotion motion{appearance};
    bench::IdleScheduler scheduler;
    SilentHaptics performer;
    VantrelHaptics haptics{preferences, performer, scheduler};
    PosixFileManager files;
    ThemeImageStore images{files, QCoreApplication::applicationDirPath() + QStringLiteral("/..")};
};

void BM_NotchPreviewPaint1040(benchmark::State& state) {
    Pictures p;
    p.preferences.setNotchAppearance(NotchAppearance::crystal);
    p.preferences.setArtTheme(ArtTheme::midnightCurrent);
    p.preferences.setCustomBackgroundTintEnabled(true);
    p.preferences.setNotchSize(NotchSize::large);
    NotchSettingsPreview preview(p.preferences, p.images, p.motion);
    preview.resize(1040, 294);
    if (!preview.artwork()) state.SkipWithError("the artwork is missing (build vantrel_artwork_files)");
    QImage image(preview.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        preview.render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_NotchPreviewPaint1040)->Unit(benchmark::kMillisecond);

void BM_ThemeHeroPaintWithSavedHue(benchmark::State& state) {
    Pictures p;
    p.preferences.setArtTheme(ArtTheme::glacialVeil);
    p.preferences.setBackgroundTint(BackgroundTint(0.86, 0.3, 0.52));
    p.preferences.setCustomBackgroundTintEnabled(true);
    ThemeHero hero({.preferences = p.preferences,
                    .haptics = p.haptics,
                    .motion = p.motion,
                    .appearance = p.appearance,
                    .themeImages = p.images,
                    .applyPreferences = [] {}});
    if (!hero.image()) state.SkipWithError("the artwork is missing (build vantrel_artwork_files)");
    QImage image(hero.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        hero.render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
    // Every repaint drew the one recoloured copy made before the loop.
    state.counters["remapped_copies"] = p.images.remappedCount();
}
BENCHMARK(BM_ThemeHeroPaintWithSavedHue)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
