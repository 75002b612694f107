#include "notch/NotchSurfaceBody.h"
#include "support/NotchSurfaceBodyFixture.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace vantrel;

namespace {

NotchSurfaceBody::Key key(NotchAppearance appearance) {
    return test::notchSurfaceBodyKey(appearance, QSize(400, 200));
}

QImage solid(QColor color) {
    QImage image(40, 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

} // namespace

TEST(NotchSurfaceBody, ArtworkShowsOnlyForAThemeThatReachesTheNotch) {
    for (NotchAppearance appearance : {NotchAppearance::midnight, NotchAppearance::crystal}) {
        NotchSurfaceBody::Key k = key(appearance);
        k.artwork = solid(Qt::red);
        // The neutral theme draws no artwork even with an image at hand.
        const QRgb plain = NotchSurfaceBody::render(k).pixel(100, 150);
        k.look.artTheme = ArtTheme::canyonAlloy;
        const QRgb themed = NotchSurfaceBody::render(k).pixel(100, 150);
        EXPECT_GT(qRed(themed) - qGreen(themed), qRed(plain) - qGreen(plain) + 10)
            << rawValue(appearance).toStdString();
        // Kept to the settings window, the theme leaves the notch alone.
        k.look.themeScope = ThemeScope::settingsOnly;
        EXPECT_EQ(NotchSurfaceBody::render(k).pixel(100, 150), plain);
        // Outside the outline nothing is drawn.
        k.look.themeScope = ThemeScope::all;
        EXPECT_EQ(qAlpha(NotchSurfaceBody::render(k).pixel(20, 4)), 0);
    }
}

TEST(NotchSurfaceBody, ArtworkStrengthByLookAndImagesAtThePixelRatio) {
    // White artwork at colour amount 0: over the midnight body at 0.12, over the crystal glass
    // at 0.035.
    NotchSurfaceBody::Key k = key(NotchAppearance::midnight);
    k.artwork = solid(Qt::white);
    k.look.artTheme = ArtTheme::canyonAlloy;
    k.look.themeColorAmount = 0;
    EXPECT_NEAR(qRed(NotchSurfaceBody::render(k).pixel(200, 120)), 0.12 * 255, 2);
    k.look.themeColorAmount = 1;
    EXPECT_NEAR(qRed(NotchSurfaceBody::render(k).pixel(200, 120)), 0.30 * 255, 2);

    // At a pixel ratio of 2 the image has twice the pixels each way and the same size in points.
    NotchSurfaceBody::Key sharp = key(NotchAppearance::midnight);
    sharp.devicePixelRatio = 2;
    const QImage image = NotchSurfaceBody::render(sharp);
    EXPECT_EQ(image.size(), QSize(800, 400));
    EXPECT_EQ(image.deviceIndependentSize(), QSizeF(400, 200));
}

TEST(NotchSurfaceBody, CustomTintGlowsFromTheBottomLeadingCorner) {
    NotchSurfaceBody::Key k = key(NotchAppearance::midnight);
    k.look.customTintEnabled = true;
    k.look.backgroundTint = BackgroundTint(0, 1, 0);
    k.look.themeColorAmount = 1;
    const QImage tinted = NotchSurfaceBody::render(k);
    // Strongest near the bottom-leading corner, fading away from it.
    EXPECT_GT(qGreen(tinted.pixel(30, 190)), qGreen(tinted.pixel(370, 60)));
    EXPECT_GT(qGreen(tinted.pixel(30, 190)), 20);
    k.look.themeScope = ThemeScope::settingsOnly;
    EXPECT_LT(qGreen(NotchSurfaceBody::render(k).pixel(30, 190)), 3);
}

TEST(NotchSurfaceBody, ReducedTransparencyMakesTheGlassOpaque) {
    NotchSurfaceBody::Key k = key(NotchAppearance::crystal);
    k.reduceTransparency = true;
    EXPECT_EQ(qAlpha(NotchSurfaceBody::render(k).pixel(200, 120)), 255);
    // Equal keys render the same; a different image is a different key.
    NotchSurfaceBody::Key other = k;
    EXPECT_EQ(k, other);
    other.artwork = solid(Qt::blue);
    EXPECT_FALSE(k == other);
}

TEST(NotchSurfaceBody, TheMidnightEdgeLineStaysInsideTheOutline) {
    // 400 by 200 under a 185 by 32 notch: the shoulders meet the body at y 32, so row 31 beside
    // the neck lies outside the outline and the 0.75-point edge line must not reach into it.
    const QImage midnight = NotchSurfaceBody::render(key(NotchAppearance::midnight));
    for (int x : {20, 73, 327, 380}) EXPECT_EQ(qAlpha(midnight.pixel(x, 31)), 0) << x;
    // Inside, the line still shows: lighter than the black body a little further in.
    EXPECT_GT(qRed(midnight.pixel(73, 32)), qRed(midnight.pixel(73, 40)));
    EXPECT_GT(qRed(midnight.pixel(399, 100)), qRed(midnight.pixel(390, 100)));
}

TEST(NotchSurfaceBody, WithoutABlurBehindNoTextBehindTheGlassCanBeRead) {
    // A black line across a white window behind the glass, at its thinnest (density 0): under
    // glass with nothing blurred, the line must not stand out from the white around it.
    const auto contrast = [](bool blurredBehind) {
        NotchSurfaceBody::Key k = key(NotchAppearance::crystal);
        k.look.glassDensity = 0;
        k.blurredBehind = blurredBehind;
        QImage behind(400, 200, QImage::Format_ARGB32_Premultiplied);
        behind.fill(Qt::white);
        QPainter painter(&behind);
        painter.fillRect(QRect(0, 118, 400, 4), Qt::black);
        painter.drawImage(0, 0, NotchSurfaceBody::render(k));
        painter.end();
        int most = 0;
        for (int x = 40; x < 360; x += 20)
            for (int c : {0, 1, 2}) {
                const QRgb line = behind.pixel(x, 120), around = behind.pixel(x, 110);
                const int shift = c * 8;
                most = std::max(most, std::abs(int((around >> shift) & 0xff) - int((line >> shift) & 0xff)));
            }
        return most;
    };
    EXPECT_LE(contrast(false), 3);
    // Over a blur the glass stays translucent; the compositor has softened what shows through.
    EXPECT_GT(contrast(true), 10);
    // The body alone is at least 0.97 opaque wherever it is drawn.
    NotchSurfaceBody::Key k = key(NotchAppearance::crystal);
    k.look.glassDensity = 0;
    const QImage body = NotchSurfaceBody::render(k);
    for (QPoint p : {QPoint(200, 120), QPoint(30, 180), QPoint(370, 60), QPoint(200, 10)})
        EXPECT_GE(qAlpha(body.pixel(p)), 248) << p.x() << "," << p.y();
}
