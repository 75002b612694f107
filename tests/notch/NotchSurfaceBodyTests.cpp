#include "notch/NotchSurfaceBody.h"

#include <gtest/gtest.h>

using namespace vantrel;

namespace {

NotchSurfaceBody::Key key(NotchAppearance appearance) {
    NotchLookSettings look;
    look.appearance = appearance;
    return {.size = QSize(400, 200),
            .devicePixelRatio = 1,
            .look = look,
            .shape = {true, 185, 32},
            .reduceTransparency = false,
            .accent = qRgb(142, 142, 147),
            .artwork = std::nullopt};
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
        EXPECT_GT(qRed(themed) - qGreen(themed), qRed(plain) - qGreen(plain) + 10) << rawValue(appearance).toStdString();
        // Kept to the settings window, the theme leaves the notch alone.
        k.look.themeScope = ThemeScope::settingsOnly;
        EXPECT_EQ(NotchSurfaceBody::render(k).pixel(100, 150), plain);
        // Outside the outline nothing is drawn.
        k.look.themeScope = ThemeScope::all;
        EXPECT_EQ(qAlpha(NotchSurfaceBody::render(k).pixel(20, 4)), 0);
    }
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
