#include "KitRender.h"
#include "kit/ThemeArtwork.h"
#include "kit/ThemeImageStore.h"
#include "platform/ThreadWorkQueue.h"
#include "support/FakeFileManager.h"
#include "support/ManualWorkQueue.h"

#include <QBuffer>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <system_error>

using namespace vantrel;
using namespace vantrel::test;
using ThemeHueRemap::Pixel;
using ThemeHueRemap::Profile;

namespace {

const Profile obsidian{0.6, 0.14, 0.1};

QByteArray png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QImage blueImage(QSize size = QSize(40, 20)) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor::fromHslF(0.6f, 0.6f, 0.4f));
    return image;
}

// An application folder in a temporary directory, with artwork placed where the test says.
struct StoreHarness {
    QTemporaryDir app;
    FakeFileManager files;
    int filterCalls = 0;
    bool filterFails = false;
    ThemeImageStore store{files, app.path(),
                          [this](const QImage& image, const QByteArray& cube, int dimension) {
                              ++filterCalls;
                              if (filterFails) return std::optional<QImage>();
                              return ThemeHueRemap::applyCube(image, cube, dimension);
                          }};

    void put(const QString& relativePath, const QByteArray& bytes) {
        const QString path = app.path() + QLatin1Char('/') + relativePath;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

// The cube filter as it was first written: one thread, one pixel after another, std::lround. The
// faster filter must give exactly its pixels.
QImage referenceCube(const QImage& image, const QByteArray& cube, int n) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    const auto* entries = reinterpret_cast<const float*>(cube.constData());
    const auto axis = [n](int v) {
        const float position = float(v) / 255.0f * float(n - 1);
        const int lower = std::min(int(position), n - 2);
        return std::pair<int, float>(lower, position - float(lower));
    };
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const QRgb px = out.pixel(x, y);
            const auto [r, tr] = axis(qRed(px));
            const auto [g, tg] = axis(qGreen(px));
            const auto [b, tb] = axis(qBlue(px));
            int channel[3];
            for (int c = 0; c < 3; ++c) {
                // Clang 14 cannot capture structured bindings.
                const auto at = [&, r = r, g = g, b = b](int dr, int dg, int db) {
                    return entries[(((b + db) * n + (g + dg)) * n + (r + dr)) * 4 + c];
                };
                const float c00 = at(0, 0, 0) + (at(1, 0, 0) - at(0, 0, 0)) * tr;
                const float c10 = at(0, 1, 0) + (at(1, 1, 0) - at(0, 1, 0)) * tr;
                const float c01 = at(0, 0, 1) + (at(1, 0, 1) - at(0, 0, 1)) * tr;
                const float c11 = at(0, 1, 1) + (at(1, 1, 1) - at(0, 1, 1)) * tr;
                const float c0 = c00 + (c10 - c00) * tg;
                const float c1 = c01 + (c11 - c01) * tg;
                channel[c] = int(std::lround(std::clamp(c0 + (c1 - c0) * tb, 0.0f, 1.0f) * 255.0f));
            }
            out.setPixel(x, y, qRgba(channel[0], channel[1], channel[2], qAlpha(px)));
        }
    return out;
}

} // namespace

TEST(ThemeImageStore, LoadsFromEitherBundleFolderOnceAndNothingWhenMissingOrDamaged) {
    StoreHarness h;
    EXPECT_EQ(h.store.candidatePaths(QStringLiteral("glacial-veil-dark")),
              QStringList({h.app.path() + "/Contents/Resources/Vantrel_Vantrel.bundle/glacial-veil-dark.png",
                           h.app.path() + "/Vantrel_Vantrel.bundle/glacial-veil-dark.png"}));

    EXPECT_FALSE(h.store.originalImage(QStringLiteral("glacial-veil-dark")));
    EXPECT_FALSE(h.store.image(QStringLiteral("glacial-veil-dark"), Pixel{1, 0, 0, 1}, 0.5, obsidian));

    // Directly in the application folder; later found, as a miss is not remembered.
    h.put("Vantrel_Vantrel.bundle/glacial-veil-dark.png", png(blueImage()));
    ASSERT_TRUE(h.store.originalImage(QStringLiteral("glacial-veil-dark")));
    EXPECT_EQ(h.store.originalImage(QStringLiteral("glacial-veil-dark"))->size(), QSize(40, 20));
    EXPECT_EQ(h.files.count(FakeFileManager::Operation::readData), 1);

    // The resources folder comes first.
    h.put("Contents/Resources/Vantrel_Vantrel.bundle/canyon-alloy-dark.png", png(blueImage(QSize(8, 8))));
    h.put("Vantrel_Vantrel.bundle/canyon-alloy-dark.png", png(blueImage(QSize(4, 4))));
    EXPECT_EQ(h.store.originalImage(QStringLiteral("canyon-alloy-dark"))->size(), QSize(8, 8));

    // A file that cannot be read, or is no picture, gives nothing.
    h.put("Vantrel_Vantrel.bundle/midnight-current-dark.png", png(blueImage()));
    h.files.failWith(FakeFileManager::Operation::readData,
                     std::make_exception_ptr(std::system_error(std::make_error_code(std::errc::io_error))));
    EXPECT_FALSE(h.store.originalImage(QStringLiteral("midnight-current-dark")));
    h.files.clearFailure(FakeFileManager::Operation::readData);
    h.put("Vantrel_Vantrel.bundle/obsidian-fold-dark.png", "not a picture");
    EXPECT_FALSE(h.store.originalImage(QStringLiteral("obsidian-fold-dark")));
    EXPECT_EQ(h.store.originalCount(), 2);
}

TEST(ThemeImageStore, RecolouredCopiesAreCachedByQuantisedKeyAndFailuresAreNot) {
    EXPECT_EQ(ThemeImageStore::remapKey("obsidian-fold-dark", {0.37, 0.58, 0.88, 1}, 0.42, obsidian),
              QStringLiteral("obsidian-fold-dark|09|14|21|08|060"));
    // Halves round away from zero; the amount is limited to 1.
    EXPECT_EQ(
        ThemeImageStore::remapKey("canyon-alloy-light", {1.5 / 24, 0, 1, 1}, 1.7, Profile{0.075, 0.16, 0.12}),
        QStringLiteral("canyon-alloy-light|02|00|24|20|008"));

    StoreHarness h;
    h.put("Vantrel_Vantrel.bundle/obsidian-fold-dark.png", png(blueImage()));
    const QString name = QStringLiteral("obsidian-fold-dark");
    const QImage source = *h.store.originalImage(name);

    // No target, no profile or no amount: the source itself.
    EXPECT_EQ(*h.store.image(name, std::nullopt, 0.5, obsidian), source);
    EXPECT_EQ(*h.store.image(name, Pixel{1, 0, 0, 1}, 0.5, std::nullopt), source);
    EXPECT_EQ(*h.store.image(name, Pixel{1, 0, 0, 1}, 0, obsidian), source);
    EXPECT_EQ(*h.store.image(name, Pixel{1, 0, 0, 1}, -1, obsidian), source);
    EXPECT_EQ(h.filterCalls, 0);

    // Tints within the same 24ths and amounts within the same twentieth share one image.
    const QImage first = *h.store.image(name, Pixel{1, 0, 0, 1}, 0.41, obsidian);
    const QImage second = *h.store.image(name, Pixel{0.99, 0.01, 0, 1}, 0.42, obsidian);
    EXPECT_EQ(h.filterCalls, 1);
    EXPECT_EQ(h.store.remappedCount(), 1);
    EXPECT_EQ(first, second);
    EXPECT_NE(first, source);
    EXPECT_EQ(first.size(), source.size());
    EXPECT_GT(first.pixelColor(5, 5).red(), source.pixelColor(5, 5).red());

    // A failed recolouring gives the source and is tried again next time.
    h.filterFails = true;
    EXPECT_EQ(*h.store.image(name, Pixel{0, 1, 0, 1}, 0.5, obsidian), source);
    EXPECT_EQ(*h.store.image(name, Pixel{0, 1, 0, 1}, 0.5, obsidian), source);
    EXPECT_EQ(h.filterCalls, 3);
    EXPECT_EQ(h.store.remappedCount(), 1);

    // The caches hold 18 recoloured images.
    h.filterFails = false;
    for (int i = 0; i < 20; ++i) h.store.image(name, Pixel{i / 24.0, 0, 1, 1}, 0.5, obsidian);
    EXPECT_EQ(h.store.remappedCount(), 18);
}

TEST(ThemeImageStore, TheCachesHoldAtMost32MegabytesOfPictures) {
    StoreHarness h;
    // 1600 by 1000 at four bytes a pixel: 6.1 MiB each, so five fit in 32 MiB and a sixth does not.
    const QStringList names{"canyon-alloy-dark",  "canyon-alloy-light",    "glacial-veil-dark",
                            "glacial-veil-light", "midnight-current-dark", "midnight-current-light",
                            "obsidian-fold-dark"};
    for (const QString& name : names)
        h.put("Vantrel_Vantrel.bundle/" + name + ".png", png(blueImage(QSize(1600, 1000))));
    for (const QString& name : names) ASSERT_TRUE(h.store.originalImage(name));
    EXPECT_EQ(h.store.originalCount(), 5);
    // The most recent ones are the ones kept: asking again reads nothing.
    h.files.failWith(FakeFileManager::Operation::readData,
                     std::make_exception_ptr(std::system_error(std::make_error_code(std::errc::io_error))));
    EXPECT_TRUE(h.store.originalImage(names.last()));
    EXPECT_FALSE(h.store.originalImage(names.first()));
    h.files.clearFailure(FakeFileManager::Operation::readData);

    // Recoloured copies of large pictures are bounded the same way.
    for (int i = 0; i < 7; ++i) h.store.image(names.last(), Pixel{i / 24.0, 0, 1, 1}, 0.5, obsidian);
    EXPECT_EQ(h.store.remappedCount(), 5);
}

TEST(ThemeArtwork, DrawsTheThemeImageFilledOrNothing) {
    StoreHarness h;
    ThemeArtwork artwork(h.store, {ArtTheme::obsidianFold, true, false, std::nullopt, 0.42});
    artwork.resize(100, 100);
    // A theme image missing from both folders draws nothing.
    EXPECT_FALSE(artwork.image());
    EXPECT_EQ(paintedPixels(renderWidget(artwork), QRect(0, 0, 100, 100)), 0);

    h.put("Vantrel_Vantrel.bundle/obsidian-fold-light-thumb.png", png(blueImage()));
    artwork.setRequest({ArtTheme::obsidianFold, false, true, std::nullopt, 0.42});
    ASSERT_TRUE(artwork.image());
    const QImage drawn = renderWidget(artwork);
    EXPECT_EQ(paintedPixels(drawn, QRect(0, 0, 100, 100)), 100 * 100);
    EXPECT_EQ(drawn.pixelColor(50, 50).rgb(), blueImage().pixelColor(0, 0).rgb());
    // Filling keeps the aspect ratio: a 2:1 picture in a square overflows left and right.
    EXPECT_EQ(ThemeArtwork::fillRect(QSizeF(40, 20), QRectF(0, 0, 100, 100)), QRectF(-50, 0, 200, 100));
    EXPECT_EQ(ThemeArtwork::fillRect(QSizeF(40, 20), QRectF(0, 0, 400, 100)), QRectF(0, -50, 400, 200));

    // A tint recolours it; its channels are clamped first.
    artwork.setRequest({ArtTheme::obsidianFold, false, true, BackgroundTint{}, 0.42});
    const QImage tintedDefault = *artwork.image();
    ThemeArtworkRequest wild{ArtTheme::obsidianFold, false, true, BackgroundTint{}, 1};
    wild.hueTint->red = 7;
    wild.hueTint->green = -2;
    wild.hueTint->blue = -2;
    const QImage clamped = *wild.resolve(h.store);
    const ThemeArtworkRequest pureRed{ArtTheme::obsidianFold, false, true, BackgroundTint(1, 0, 0), 1};
    EXPECT_EQ(clamped, *pureRed.resolve(h.store));
    EXPECT_NE(clamped, blueImage());

    // The neutral theme has no image.
    artwork.setRequest({ArtTheme::neutral, false, false, std::nullopt, 0.42});
    EXPECT_FALSE(artwork.image());
    EXPECT_EQ(paintedPixels(renderWidget(artwork), QRect(0, 0, 100, 100)), 0);
}

TEST(ThemeArtwork, GeneratedImagesLieInTheirThemesHueBands) {
    FakeFileManager files;
    ThemeImageStore store(files, QStringLiteral(VANTREL_BINARY_DIR));
    QList<QImage> sheet;
    for (ArtTheme theme : allCasesOf<ArtTheme>()) {
        const std::optional<Profile> profile = ThemeHueRemap::profile(theme);
        if (!profile) continue;
        for (bool dark : {true, false})
            for (bool thumbnail : {false, true}) {
                const QString name = *resourceName(theme, dark, thumbnail);
                const std::optional<QImage> image = store.originalImage(name);
                ASSERT_TRUE(image) << name.toStdString();
                EXPECT_EQ(image->size(), thumbnail ? QSize(240, 150) : QSize(1600, 1000))
                    << name.toStdString();
                // Nearly every pixel is saturated enough and close enough to the band's centre to
                // take a custom tint at full weight.
                int samples = 0, fullWeight = 0;
                for (int y = 0; y < image->height(); y += 7)
                    for (int x = 0; x < image->width(); x += 7) {
                        const QColor c = image->pixelColor(x, y);
                        const ThemeHueRemap::HSL hsl = ThemeHueRemap::hsl(c.redF(), c.greenF(), c.blueF());
                        const double d = std::abs(hsl.hue - profile->hue);
                        const double distance = std::min(d, 1 - d);
                        ++samples;
                        fullWeight += hsl.saturation >= profile->saturationThreshold + 0.24 &&
                                      distance <= 0.42 * profile->width;
                    }
                EXPECT_GT(fullWeight, samples * 0.9) << name.toStdString();
                if (thumbnail) sheet << *image;
            }
    }
    saveSheet(QStringLiteral("artwork-thumbnails"), sheet, 4);
}

TEST(ThemeImageStore, OnTheWorkerTheArtworkIsRecolouredExactlyAsBefore) {
    FakeFileManager files;
    ManualWorkQueue worker;
    ThemeImageStore store(files, QStringLiteral(VANTREL_BINARY_DIR));
    store.setWorker(&worker);
    QSignalSpy ready(&store, &ThemeImageStore::remappedImageReady);
    const Pixel tint{0.86, 0.3, 0.52, 1};
    int compared = 0;
    QList<QImage> sheet;
    for (ArtTheme theme : allCasesOf<ArtTheme>()) {
        const std::optional<Profile> profile = ThemeHueRemap::profile(theme);
        if (!profile) continue;
        for (bool dark : {true, false})
            for (bool thumbnail : {true, false}) {
                // The full-size pictures of one theme are enough to cover many bands of rows.
                if (!thumbnail && theme != ArtTheme::midnightCurrent) continue;
                const QString name = *resourceName(theme, dark, thumbnail);
                const std::optional<QImage> source = store.originalImage(name);
                ASSERT_TRUE(source) << name.toStdString();
                const int readyBefore = int(ready.size());

                // Until the worker is done: the source, and one piece of work however often asked.
                EXPECT_EQ(*store.image(name, tint, 0.8, profile), *source);
                EXPECT_EQ(*store.image(name, tint, 0.8, profile), *source);
                EXPECT_EQ(worker.pendingCount(), 1u);
                EXPECT_EQ(store.pendingCount(), 1);
                worker.drain();
                EXPECT_EQ(ready.size(), readyBefore + 1);
                EXPECT_EQ(store.pendingCount(), 0);

                const std::optional<QImage> recoloured = store.image(name, tint, 0.8, profile);
                ASSERT_TRUE(recoloured);
                EXPECT_EQ(worker.pendingCount(), 0u);
                const QImage expected =
                    referenceCube(*source, ThemeHueRemap::colorCubeData(tint, 0.8, *profile, 24), 24);
                EXPECT_EQ(recoloured->convertToFormat(QImage::Format_ARGB32), expected) << name.toStdString();
                EXPECT_NE(*recoloured, *source);
                ++compared;
                if (thumbnail) sheet << *recoloured;
            }
    }
    EXPECT_EQ(compared, 10);
    saveSheet(QStringLiteral("artwork-recoloured-on-worker"), sheet, 4);
}

TEST(ThemeImageStore, AWorkerThreadsResultReachesTheViewsAndOutlivesNoStore) {
    StoreHarness h;
    h.put("Vantrel_Vantrel.bundle/obsidian-fold-dark.png", png(blueImage(QSize(640, 480))));
    h.put("Vantrel_Vantrel.bundle/obsidian-fold-dark-thumb.png", png(blueImage()));
    const QString name = QStringLiteral("obsidian-fold-dark");
    const QImage source = *h.store.originalImage(name);
    const QImage expected = *h.store.remappedImage(source, Pixel{1, 0, 0, 1}, 1, obsidian);

    // A real thread: the copy arrives on the main thread, and the artwork view takes it.
    {
        ThreadWorkQueue thread(QStringLiteral("test.theme-remap"));
        h.store.setWorker(&thread);
        ThemeArtwork artwork(h.store, {ArtTheme::obsidianFold, true, false, BackgroundTint(1, 0, 0), 1});
        EXPECT_EQ(*artwork.image(), source);
        QSignalSpy ready(&h.store, &ThemeImageStore::remappedImageReady);
        ASSERT_TRUE(ready.wait(10000));
        EXPECT_EQ(*artwork.image(), expected);
        EXPECT_EQ(*h.store.image(name, Pixel{1, 0, 0, 1}, 1, obsidian), expected);
    }

    // A failure on the worker is not cached and says nothing; the next request tries again.
    ManualWorkQueue worker;
    h.store.setWorker(&worker);
    QSignalSpy ready(&h.store, &ThemeImageStore::remappedImageReady);
    h.filterFails = true;
    const int calls = h.filterCalls;
    EXPECT_EQ(*h.store.image(name, Pixel{0, 1, 0, 1}, 1, obsidian), source);
    worker.drain();
    EXPECT_EQ(h.filterCalls, calls + 1);
    EXPECT_EQ(ready.size(), 0);
    EXPECT_EQ(h.store.pendingCount(), 0);
    h.store.image(name, Pixel{0, 1, 0, 1}, 1, obsidian);
    EXPECT_EQ(worker.pendingCount(), 1u);
    worker.drain();

    // A store gone before its work is done: the result is dropped, nothing breaks.
    {
        FakeFileManager files;
        auto store = std::make_unique<ThemeImageStore>(files, h.app.path());
        store->setWorker(&worker);
        store->image(name, Pixel{0, 0, 1, 1}, 1, obsidian);
        EXPECT_EQ(worker.pendingCount(), 1u);
        store.reset();
        worker.drain();
    }
}
