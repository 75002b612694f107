#include "kit/ThemeHueRemap.h"

#include <QColor>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::ThemeHueRemap;

namespace {

const Profile obsidianFold{0.6, 0.14, 0.1};
const Profile canyonAlloy{0.075, 0.16, 0.12};
const Pixel red{1, 0, 0, 1};

Pixel fromHsl(double h, double s, double l) {
    return rgb(h, s, l);
}

double luma(const Pixel& p) {
    return 0.2126 * p.red + 0.7152 * p.green + 0.0722 * p.blue;
}

void expectPixel(const Pixel& actual, const Pixel& expected, double tolerance = 1e-9) {
    EXPECT_NEAR(actual.red, expected.red, tolerance);
    EXPECT_NEAR(actual.green, expected.green, tolerance);
    EXPECT_NEAR(actual.blue, expected.blue, tolerance);
    EXPECT_NEAR(actual.alpha, expected.alpha, tolerance);
}

// How far `out` moved from `p` toward `full`, along the largest channel difference.
double movedFraction(const Pixel& p, const Pixel& out, const Pixel& full) {
    const double dr = full.red - p.red, dg = full.green - p.green, db = full.blue - p.blue;
    if (std::abs(dr) >= std::abs(dg) && std::abs(dr) >= std::abs(db)) return (out.red - p.red) / dr;
    if (std::abs(dg) >= std::abs(db)) return (out.green - p.green) / dg;
    return (out.blue - p.blue) / db;
}

} // namespace

TEST(ThemeHueRemap, ProfilesOfTheFourArtThemes) {
    EXPECT_FALSE(profile(ArtTheme::neutral));
    EXPECT_EQ(profile(ArtTheme::obsidianFold), (Profile{0.6, 0.14, 0.1}));
    EXPECT_EQ(profile(ArtTheme::glacialVeil), (Profile{0.56, 0.13, 0.09}));
    EXPECT_EQ(profile(ArtTheme::midnightCurrent), (Profile{0.62, 0.17, 0.11}));
    EXPECT_EQ(profile(ArtTheme::canyonAlloy), (Profile{0.075, 0.16, 0.12}));
}

TEST(ThemeHueRemap, HslConversionsAgreeWithTheStandardOnes) {
    for (QColor c : {QColor(255, 0, 0), QColor(12, 200, 90), QColor(30, 60, 240), QColor(250, 128, 20),
                     QColor(200, 20, 160), QColor(128, 128, 128)}) {
        const HSL h = hsl(c.redF(), c.greenF(), c.blueF());
        if (c.hslSaturationF() > 0) {
            EXPECT_NEAR(h.hue, c.hslHueF(), 1e-3);
        }
        EXPECT_NEAR(h.saturation, c.hslSaturationF(), 1e-3);
        EXPECT_NEAR(h.lightness, c.lightnessF(), 1e-3);
        const Pixel back = rgb(h.hue, h.saturation, h.lightness);
        expectPixel(back, {c.redF(), c.greenF(), c.blueF(), 1}, 1e-6);
    }
    // Magenta-reds have a negative remainder before the wrap: hue stays in 0...1.
    EXPECT_NEAR(hsl(1, 0, 0.2).hue, 1 - 0.2 / 6, 1e-12);
    expectPixel(rgb(0.3, 0, 0.4), {0.4, 0.4, 0.4, 1});
}

TEST(ThemeHueRemap, ApplyWeighsByAmountSaturationAndHueBand) {
    const Pixel blue = fromHsl(0.6, 0.5, 0.45);
    // Amount 0 or below: unchanged; above 1 acts as 1.
    expectPixel(apply(blue, red, 0, obsidianFold), blue);
    expectPixel(apply(blue, red, -0.5, obsidianFold), blue);
    expectPixel(apply(blue, red, 3, obsidianFold), apply(blue, red, 1, obsidianFold));

    // On the band's centre with saturation at least threshold + 0.24 the weight is the amount:
    // half the amount moves half as far.
    const Pixel full = apply(blue, red, 1, obsidianFold);
    const Pixel half = apply(blue, red, 0.5, obsidianFold);
    EXPECT_GT(full.red, blue.red + 0.2);
    EXPECT_NEAR(movedFraction(blue, half, full), 0.5, 1e-9);
    // The recoloured pixel takes the target's hue and keeps the Rec. 709 luminance.
    EXPECT_NEAR(hsl(full.red, full.green, full.blue).hue, 0.0, 1e-6);
    EXPECT_NEAR(luma(full), luma(blue), 1e-9);
    EXPECT_NEAR(full.alpha, 1, 1e-12);

    // A grey pixel is never recoloured; nor is one at the threshold's saturation.
    expectPixel(apply({0.5, 0.5, 0.5, 1}, red, 1, obsidianFold), {0.5, 0.5, 0.5, 1});
    expectPixel(apply(fromHsl(0.6, 0.1, 0.45), red, 1, obsidianFold), fromHsl(0.6, 0.1, 0.45));
    // Halfway up the saturation ramp (0.1 + 0.12) the smoothstep weight is one half.
    const Pixel midSaturation = fromHsl(0.6, 0.22, 0.45);
    const Pixel midFull = apply(midSaturation, red, 1, Profile{0.6, 0.14, -1});
    EXPECT_NEAR(movedFraction(midSaturation, apply(midSaturation, red, 1, obsidianFold), midFull), 0.5, 1e-9);

    // A threshold with no room for the ramp above it (1 and more) is a step: a pixel at or above
    // it takes the amount as its weight, one below it stays.
    const Profile stepped{0.6, 0.14, 1};
    const Pixel vivid = fromHsl(0.6, 1, 0.45);
    EXPECT_NEAR(movedFraction(vivid, apply(vivid, red, 0.25, stepped), apply(vivid, red, 1, stepped)), 0.25,
                1e-9);
    expectPixel(apply(fromHsl(0.6, 0.95, 0.45), red, 1, stepped), fromHsl(0.6, 0.95, 0.45));

    // The hue distance wraps: hue 0.95 lies 0.125 from canyonAlloy's 0.075, inside the band but
    // beyond 0.42 × 0.16, so the weight is partial: 1 − smoothstep((0.125 − 0.0672) / 0.0928).
    const Pixel rose = fromHsl(0.95, 0.8, 0.5);
    const Pixel teal{0, 0.6, 0.6, 1};
    const Pixel wrapped = apply(rose, teal, 1, canyonAlloy);
    const Pixel centred = apply(rose, teal, 1, Profile{0.95, 0.16, 0.12});
    EXPECT_NEAR(movedFraction(rose, wrapped, centred), 0.3195, 1e-3);
    // Beyond the band's width nothing moves.
    const Pixel green = fromHsl(0.3, 0.8, 0.5);
    expectPixel(apply(green, teal, 1, canyonAlloy), green);

    // Luminance is kept unless clamping prevents it: a pale blue recoloured to yellow would need
    // channels above 1 to keep it, and they are clamped.
    const Pixel paleBlue = fromHsl(0.6, 1, 0.9);
    const Pixel yellowed = apply(paleBlue, {1, 1, 0, 1}, 1, obsidianFold);
    EXPECT_LE(std::max({yellowed.red, yellowed.green, yellowed.blue}), 1.0);
    EXPECT_GE(std::min({yellowed.red, yellowed.green, yellowed.blue}), 0.0);
}

TEST(ThemeHueRemap, ColourCubeLayoutAndSize) {
    const Pixel target{0.2, 0.8, 0.4, 1};
    EXPECT_EQ(colorCubeData(target, 0.5, obsidianFold, 0).size(), 8 * 4 * 4);
    EXPECT_EQ(colorCubeData(target, 0.5, obsidianFold, 1).size(), 8 * 4 * 4);
    const QByteArray cube = colorCubeData(target, 0.5, obsidianFold, 24);
    ASSERT_EQ(cube.size(), 221184);
    const auto* f = reinterpret_cast<const float*>(cube.constData());
    auto entry = [&](int r, int g, int b) {
        const int i = (b * 24 * 24 + g * 24 + r) * 4;
        return Pixel{f[i], f[i + 1], f[i + 2], f[i + 3]};
    };
    const Pixel black = apply({0, 0, 0, 1}, target, 0.5, obsidianFold);
    const Pixel white = apply({1, 1, 1, 1}, target, 0.5, obsidianFold);
    expectPixel(entry(0, 0, 0), black, 1e-7);
    expectPixel(entry(23, 23, 23), white, 1e-7);
    // Red varies fastest, blue slowest.
    expectPixel(entry(23, 0, 0), apply({1, 0, 0, 1}, target, 0.5, obsidianFold), 1e-6);
    expectPixel(entry(0, 0, 23), apply({0, 0, 1, 1}, target, 0.5, obsidianFold), 1e-6);
    expectPixel(entry(0, 23, 0), apply({0, 1, 0, 1}, target, 0.5, obsidianFold), 1e-6);
    const Pixel level{7 / 23.0, 15 / 23.0, 20 / 23.0, 1};
    expectPixel(entry(7, 15, 20), apply(level, target, 0.5, obsidianFold), 1e-6);
}

TEST(ThemeHueRemap, CubeFilterInterpolatesAndRefusesMismatchedInput) {
    QImage image(64, 4, QImage::Format_ARGB32);
    for (int x = 0; x < 64; ++x)
        for (int y = 0; y < 4; ++y)
            image.setPixelColor(x, y, QColor::fromHslF(0.5 + x / 640.0, 0.7, 0.2 + y * 0.15, 0.8));

    // The identity cube gives any colour back: every channel interpolates between its levels.
    const QByteArray identity = colorCubeData(red, 0, obsidianFold, 24);
    QImage spread(64, 16, QImage::Format_ARGB32);
    for (int x = 0; x < 64; ++x)
        for (int y = 0; y < 16; ++y)
            spread.setPixel(x, y,
                            qRgba((x * 37) % 256, (x * 91 + y * 53) % 256, (x * 13 + y * 101) % 256, 255));
    const std::optional<QImage> back = applyCube(spread, identity, 24);
    ASSERT_TRUE(back);
    for (int x = 0; x < 64; ++x)
        for (int y = 0; y < 16; ++y) {
            const QRgb a = spread.pixel(x, y), b = back->pixel(x, y);
            ASSERT_LE(std::abs(qRed(a) - qRed(b)), 1);
            ASSERT_LE(std::abs(qGreen(a) - qGreen(b)), 1);
            ASSERT_LE(std::abs(qBlue(a) - qBlue(b)), 1);
        }
    const std::optional<QImage> same = applyCube(image, identity, 24);
    ASSERT_TRUE(same);
    for (int x = 0; x < 64; x += 7)
        for (int y = 0; y < 4; ++y) {
            const QColor a = image.pixelColor(x, y), b = same->pixelColor(x, y);
            EXPECT_LE(std::abs(a.red() - b.red()), 1);
            EXPECT_LE(std::abs(a.green() - b.green()), 1);
            EXPECT_LE(std::abs(a.blue() - b.blue()), 1);
            EXPECT_EQ(a.alpha(), b.alpha());
        }

    // A recolouring cube lands close to the per-pixel remap.
    const Profile band{0.55, 0.2, 0.1};
    const std::optional<QImage> recoloured = applyCube(image, colorCubeData(red, 1, band, 24), 24);
    ASSERT_TRUE(recoloured);
    for (int x = 0; x < 64; x += 9) {
        const QColor in = image.pixelColor(x, 2);
        const Pixel expected = apply({in.redF(), in.greenF(), in.blueF(), 1}, red, 1, band);
        const QColor out = recoloured->pixelColor(x, 2);
        EXPECT_NEAR(out.redF(), expected.red, 0.03);
        EXPECT_NEAR(out.greenF(), expected.green, 0.03);
        EXPECT_NEAR(out.blueF(), expected.blue, 0.03);
    }

    // The smallest cube, two levels a channel, already gives every colour back.
    const std::optional<QImage> coarse = applyCube(spread, colorCubeData(red, 0, obsidianFold, 2), 2);
    ASSERT_TRUE(coarse);
    for (int x = 0; x < 64; x += 5) {
        const QRgb a = spread.pixel(x, 7), b = coarse->pixel(x, 7);
        EXPECT_LE(std::abs(qRed(a) - qRed(b)), 1) << x;
        EXPECT_LE(std::abs(qGreen(a) - qGreen(b)), 1) << x;
        EXPECT_LE(std::abs(qBlue(a) - qBlue(b)), 1) << x;
    }
    EXPECT_FALSE(applyCube(QImage(), identity, 24));
    EXPECT_FALSE(applyCube(image, identity, 23));
    EXPECT_FALSE(applyCube(image, identity.left(100), 24));
}
