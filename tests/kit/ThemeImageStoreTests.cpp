#include "KitRender.h"
#include "kit/ThemeArtwork.h"
#include "kit/ThemeImageStore.h"
#include "support/FakeFileManager.h"

#include <QBuffer>
#include <QDir>
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
