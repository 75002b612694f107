#include "KitRender.h"
#include "core/VantrelPreferences.h"
#include "kit/CalmThemeRefraction.h"
#include "kit/GlassCard.h"
#include "kit/SectionTitle.h"
#include "kit/ThemeImageStore.h"
#include "kit/VantrelBackdrop.h"
#include "kit/VantrelMotion.h"
#include "support/FakeFileManager.h"
#include "support/FakeSystemAppearance.h"
#include "support/ManualWorkQueue.h"
#include "support/RecordingUserDefaults.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QVariantAnimation>
#include <array>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

struct BackdropHarness {
    RecordingUserDefaults defaults;
    VantrelPreferences preferences{defaults};
    FakeSystemAppearance appearance;
    VantrelMotion motion{appearance};
    FakeFileManager files;
    // The artwork drawn by the build.
    ThemeImageStore store{files, QStringLiteral(VANTREL_BINARY_DIR)};

    BackdropLayout layout(ColorScheme scheme = ColorScheme::dark) {
        return BackdropLayout::make(preferences, scheme, motion.prefersReducedMotion());
    }
};

void expectRgb(const QColor& actual, double r, double g, double b, double tolerance) {
    EXPECT_NEAR(actual.redF(), r, tolerance);
    EXPECT_NEAR(actual.greenF(), g, tolerance);
    EXPECT_NEAR(actual.blueF(), b, tolerance);
}

} // namespace

TEST(VantrelBackdrop, LayersFollowThemeScopeTintAndMotion) {
    BackdropHarness h;
    // Defaults: the neutral theme, no artwork, the glows, no sweep.
    BackdropLayout l = h.layout();
    EXPECT_EQ(l.artwork.theme, ArtTheme::neutral);
    EXPECT_EQ(l.artworkOpacity, 0);
    EXPECT_TRUE(l.showsGlows);
    EXPECT_FALSE(l.showsRefraction);
    EXPECT_NEAR(l.accentGlow.alphaF(), 0.055 * 0.42, 1e-4);
    EXPECT_NEAR(l.blueGlow.alphaF(), 0.035 * 0.42, 1e-4);
    EXPECT_EQ(BackdropLayout::kAccentGlowRadius, 680);
    EXPECT_EQ(BackdropLayout::kBlueGlowRadius, 620);
    EXPECT_NEAR(l.veilTop.alphaF(), 0.02, 1e-4);
    EXPECT_NEAR(l.veilBottom.alphaF(), 0.3, 1e-4);
    EXPECT_EQ(l.veilBottom.rgb(), QColor(Qt::black).rgb());
    const BackdropLayout light = h.layout(ColorScheme::light);
    EXPECT_NEAR(light.veilTop.alphaF(), 0.24, 1e-4);
    EXPECT_NEAR(light.veilBottom.alphaF(), 0.06, 1e-4);
    EXPECT_FALSE(light.artwork.isDark);
    EXPECT_EQ(light.canvasTop, VantrelTheme::canvasTop().resolve(ColorScheme::light));

    h.preferences.setArtTheme(ArtTheme::obsidianFold);
    l = h.layout();
    EXPECT_EQ(l.artwork.theme, ArtTheme::obsidianFold);
    EXPECT_TRUE(l.artwork.isDark);
    EXPECT_FALSE(l.artwork.thumbnail);
    EXPECT_NEAR(l.artworkOpacity, 0.469, 1e-9);
    EXPECT_FALSE(l.showsRefraction);
    EXPECT_FALSE(l.artwork.hueTint);

    // A custom tint in force hides the glows and recolours the artwork toward it.
    h.preferences.setBackgroundTint(BackgroundTint(0.9, 0.2, 0.3));
    h.preferences.setCustomBackgroundTintEnabled(true);
    l = h.layout();
    EXPECT_FALSE(l.showsGlows);
    EXPECT_EQ(l.artwork.hueTint, BackgroundTint(0.9, 0.2, 0.3));
    EXPECT_NEAR(l.artwork.hueAmount, 0.42, 1e-12);

    // For the notch only, the backdrop ignores both the art theme and the tint.
    h.preferences.setThemeScope(ThemeScope::notchOnly);
    l = h.layout();
    EXPECT_EQ(l.artwork.theme, ArtTheme::neutral);
    EXPECT_EQ(l.artworkOpacity, 0);
    EXPECT_TRUE(l.showsGlows);
    EXPECT_FALSE(l.artwork.hueTint);
    h.preferences.setThemeScope(ThemeScope::settingsOnly);
    EXPECT_FALSE(h.layout().showsGlows);
    h.preferences.setCustomBackgroundTintEnabled(false);

    // The calm sweep: midnightCurrent and canyonAlloy only, and not with reduced motion.
    h.preferences.setThemeColorAmount(0.5);
    h.preferences.setArtTheme(ArtTheme::midnightCurrent);
    l = h.layout();
    EXPECT_TRUE(l.showsRefraction);
    expectRgb(l.refractionTint, 0.45, 0.64, 0.82, 1e-4);
    EXPECT_NEAR(l.refractionOpacity, 0.12, 1e-9);
    EXPECT_NEAR(l.artworkOpacity, 0.505, 1e-9);
    h.preferences.setArtTheme(ArtTheme::canyonAlloy);
    expectRgb(h.layout().refractionTint, 0.72, 0.54, 0.38, 1e-4);
    h.preferences.setArtTheme(ArtTheme::glacialVeil);
    EXPECT_FALSE(h.layout().showsRefraction);
    h.preferences.setArtTheme(ArtTheme::canyonAlloy);
    h.appearance.setReduceMotion(true);
    QCoreApplication::processEvents();
    EXPECT_FALSE(h.layout().showsRefraction);
}

TEST(CalmThemeRefraction, BandSweepsFromLeftToRightEvery26Seconds) {
    const RefractionLayout start = CalmThemeRefraction::layout(QSizeF(1000, 600), 0);
    EXPECT_EQ(start.band.size(), QSizeF(460, 1020));
    EXPECT_EQ(start.band.center(), QPointF(500, 300));
    EXPECT_EQ(start.angle, -14);
    EXPECT_EQ(start.offset, QPointF(-750, -180));
    EXPECT_EQ(CalmThemeRefraction::layout(QSizeF(1000, 600), 1).offset, QPointF(1250, -180));
    // Narrow windows keep a band 360 wide.
    EXPECT_EQ(CalmThemeRefraction::layout(QSizeF(500, 400), 0.5).band.width(), 360);

    CalmThemeRefraction refraction(Qt::white);
    EXPECT_FALSE(refraction.hasTravelled());
    EXPECT_EQ(refraction.progress(), 0);
    refraction.start();
    EXPECT_TRUE(refraction.hasTravelled());
    EXPECT_EQ(refraction.animation()->duration(), 26000);
    EXPECT_EQ(refraction.animation()->loopCount(), -1);
    EXPECT_EQ(refraction.animation()->easingCurve().type(), QEasingCurve::Linear);
    refraction.animation()->setCurrentTime(13000);
    EXPECT_NEAR(refraction.progress(), 0.5, 1e-9);
    // It starts again from the left.
    refraction.animation()->setCurrentTime(26000 + 2600);
    EXPECT_NEAR(refraction.progress(), 0.1, 1e-9);
    refraction.stop();
    EXPECT_FALSE(refraction.hasTravelled());
}

TEST(VantrelBackdrop, RendersEachThemeScopeAndTint) {
    BackdropHarness h;
    QWidget window;
    window.resize(1080, 720);
    VantrelTheme::setColorScheme(&window, ColorScheme::dark);
    auto* backdrop = new VantrelBackdrop(h.preferences, h.store, h.motion, &window);
    backdrop->resize(window.size());
    window.show();

    // A page over the backdrop lets it show through.
    auto* page = new QWidget(&window);
    page->setAutoFillBackground(true);
    page->setGeometry(0, 0, 1080, 720);
    vantrelPageBackground(page);
    EXPECT_FALSE(page->autoFillBackground());

    // The neutral theme: the canvas under the veil, which is clear halfway down. The backdrop
    // covers the whole window, edges included.
    QImage image = renderWidget(window);
    for (QPoint corner : {QPoint(0, 0), QPoint(1079, 0), QPoint(0, 719), QPoint(1079, 719)})
        EXPECT_EQ(qAlpha(image.pixel(corner)), 255);
    const QColor top = VantrelTheme::canvasTop().resolve(ColorScheme::dark);
    const QColor bottom = VantrelTheme::canvasBottom().resolve(ColorScheme::dark);
    // At the bottom the veil darkens the canvas by 0.3 toward black.
    expectRgb(image.pixelColor(540, 719), bottom.redF() * 0.7, bottom.greenF() * 0.7, bottom.blueF() * 0.7,
              0.006);
    EXPECT_GT(image.pixelColor(540, 0).blueF(), top.blueF() - 0.01);
    const QColor middle = VantrelTheme::canvasMiddle().resolve(ColorScheme::dark);
    expectRgb(image.pixelColor(540, 360), middle.redF(), middle.greenF(), middle.blueF(), 0.012);
    const QColor neutralCorner = image.pixelColor(2, 2);

    // A custom tint hides the glows: the top-leading corner loses the accent's light.
    h.preferences.setCustomBackgroundTintEnabled(true);
    const QColor unlitCorner = renderWidget(window).pixelColor(2, 2);
    EXPECT_LT(unlitCorner.blueF() + unlitCorner.greenF(), neutralCorner.blueF() + neutralCorner.greenF());
    h.preferences.setCustomBackgroundTintEnabled(false);

    // The artwork shows at 0.28 + 0.45 × the colour strength.
    h.preferences.setArtTheme(ArtTheme::glacialVeil);
    ASSERT_TRUE(backdrop->artworkImage());
    image = renderWidget(window);
    const QImage art = *backdrop->artworkImage();
    // The 1600 by 1000 picture filling 1080 by 720 is scaled by 0.72 and centred.
    const QColor source = art.pixelColor(QPointF(800, 500).toPoint());
    const double a = 0.469;
    expectRgb(image.pixelColor(540, 360), middle.redF() * (1 - a) + source.redF() * a,
              middle.greenF() * (1 - a) + source.greenF() * a, middle.blueF() * (1 - a) + source.blueF() * a,
              0.02);

    // A custom tint recolours the artwork toward it: the blue picture turns red.
    h.preferences.setBackgroundTint(BackgroundTint(0.95, 0.2, 0.15));
    h.preferences.setThemeColorAmount(1);
    h.preferences.setCustomBackgroundTintEnabled(true);
    const QColor tinted = renderWidget(window).pixelColor(540, 300);
    EXPECT_GT(tinted.redF(), tinted.blueF());
    h.preferences.setThemeScope(ThemeScope::notchOnly);
    EXPECT_FALSE(backdrop->artworkImage());
    const QColor notchOnly = renderWidget(window).pixelColor(2, 2);
    EXPECT_EQ(notchOnly.rgb(), renderWidget(window).pixelColor(2, 2).rgb());
    EXPECT_GT(notchOnly.blueF(), unlitCorner.blueF()); // the glows are back

    // A new appearance on the window reaches the backdrop.
    VantrelTheme::setColorScheme(&window, ColorScheme::light);
    EXPECT_EQ(backdrop->backdropLayout().scheme, ColorScheme::light);
    const QColor lightMiddle = VantrelTheme::canvasMiddle().resolve(ColorScheme::light);
    expectRgb(renderWidget(window).pixelColor(540, 360), lightMiddle.redF(), lightMiddle.greenF(),
              lightMiddle.blueF(), 0.012);
}

TEST(VantrelBackdrop, GlowsPaintOnlyWithinTheirRadiusAndAClosedWindowKeepsNoImage) {
    BackdropHarness h;
    h.preferences.setThemeColorAmount(1);
    const BackdropLayout l = h.layout();
    ASSERT_TRUE(l.showsGlows);
    ASSERT_GT(l.accentGlow.alpha(), 0);
    ASSERT_GT(l.blueGlow.alpha(), 0);
    // The overlay filled whole: the accent glow from the top-leading corner clearing at 680, the
    // blue one from the top-trailing corner clearing at 620, then the veil.
    const auto plain = [&l](QPainter& painter, const QRectF& rect) {
        const auto glow = [&](QPointF centre, double radius, QColor color) {
            QRadialGradient gradient(centre, radius);
            gradient.setColorAt(0, color);
            color.setAlpha(0);
            gradient.setColorAt(1, color);
            painter.fillRect(rect, gradient);
        };
        glow(rect.topLeft(), 680, l.accentGlow);
        glow(rect.topRight(), 620, l.blueGlow);
        QLinearGradient veil(rect.topLeft(), rect.bottomLeft());
        veil.setColorAt(0, l.veilTop);
        veil.setColorAt(0.5, Qt::transparent);
        veil.setColorAt(1, l.veilBottom);
        painter.fillRect(rect, veil);
    };
    for (const QSize size : {QSize(1512, 982), QSize(1080, 720), QSize(500, 300)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        QImage expected(size, QImage::Format_ARGB32_Premultiplied);
        expected.fill(l.canvasMiddle);
        QImage painted = expected.copy();
        {
            QPainter p(&expected);
            plain(p, QRectF(QPointF(), QSizeF(size)));
        }
        {
            QPainter p(&painted);
            VantrelBackdrop::paintOverlay(p, QRectF(QPointF(), QSizeF(size)), l);
        }
        int differing = 0;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                if (painted.pixel(x, y) != expected.pixel(x, y) && differing++ < 3)
                    ADD_FAILURE() << x << "," << y << " " << std::hex << painted.pixel(x, y) << " "
                                  << expected.pixel(x, y);
        EXPECT_EQ(differing, 0);
        // The glows reach the painted corners.
        EXPECT_NE(painted.pixel(0, 0), qRgba(0, 0, 0, 0));
    }

    // Shown, the neutral theme keeps its gradients as runs along the rows, far less than one
    // window-sized image (1080 × 720 × 4 bytes), and draws what painting every layer draws, whole
    // or a part at a time; closed it keeps nothing, and shown again it draws the same.
    QWidget window;
    window.resize(1080, 720);
    VantrelTheme::setColorScheme(&window, ColorScheme::dark);
    auto* backdrop = new VantrelBackdrop(h.preferences, h.store, h.motion, &window);
    backdrop->resize(window.size());
    window.show();
    const QImage shown = renderWidget(window);
    EXPECT_GT(backdrop->keptImageBytes(), 0);
    EXPECT_LT(backdrop->keptImageBytes(), 1080 * 720 * 4 / 10);
    QImage direct(window.size(), QImage::Format_ARGB32_Premultiplied);
    direct.fill(Qt::transparent);
    {
        QPainter p(&direct);
        VantrelBackdrop::paintBase(p, QRectF(direct.rect()), backdrop->backdropLayout(), std::nullopt);
        VantrelBackdrop::paintOverlay(p, QRectF(direct.rect()), backdrop->backdropLayout());
    }
    EXPECT_LE(largestChannelDifference(shown, direct), 1);
    for (const QRect part : {QRect(3, 5, 200, 37), QRect(1000, 690, 80, 30), QRect(0, 0, 1080, 1)}) {
        QImage partial(part.size(), QImage::Format_ARGB32_Premultiplied);
        partial.fill(Qt::transparent);
        window.render(&partial, QPoint(), QRegion(part));
        EXPECT_EQ(partial, shown.copy(part)) << part.x() << "," << part.y();
    }
    window.hide();
    EXPECT_EQ(backdrop->keptImageBytes(), 0);
    window.show();
    EXPECT_EQ(renderWidget(window), shown);
}

TEST(VantrelBackdrop, SweepIsDrawnOnlyWithoutReducedMotion) {
    BackdropHarness h;
    h.preferences.setArtTheme(ArtTheme::midnightCurrent);
    QWidget window;
    window.resize(1080, 720);
    VantrelTheme::setColorScheme(&window, ColorScheme::dark);
    auto* backdrop = new VantrelBackdrop(h.preferences, h.store, h.motion, &window);
    backdrop->resize(window.size());
    window.show();

    CalmThemeRefraction* refraction = backdrop->refraction();
    EXPECT_TRUE(refraction->hasTravelled());
    ASSERT_EQ(refraction->animation()->state(), QAbstractAnimation::Running);
    refraction->animation()->setCurrentTime(0);
    const QImage atStart = renderWidget(window);
    refraction->animation()->setCurrentTime(13000);
    const QImage halfway = renderWidget(window);
    // Halfway the band's centre is a quarter of the width to the right of the window's centre,
    // lifted by 0.3 of the height: the light shows there and not at the start.
    const QPoint probe(540 + 270, 360 - 216 + 150);
    EXPECT_GT(halfway.pixelColor(probe).lightnessF(), atStart.pixelColor(probe).lightnessF() + 0.01);

    h.appearance.setReduceMotion(true);
    QCoreApplication::processEvents();
    EXPECT_FALSE(backdrop->backdropLayout().showsRefraction);
    EXPECT_FALSE(refraction->hasTravelled());
    EXPECT_NE(refraction->animation()->state(), QAbstractAnimation::Running);
    const QImage reduced = renderWidget(window);
    refraction->animation()->setCurrentTime(13000);
    EXPECT_EQ(renderWidget(window), reduced);
    EXPECT_LT(reduced.pixelColor(probe).lightnessF(), halfway.pixelColor(probe).lightnessF());

    // Hidden, the sweep stops.
    h.appearance.setReduceMotion(false);
    QCoreApplication::processEvents();
    EXPECT_TRUE(refraction->hasTravelled());
    window.hide();
    EXPECT_FALSE(refraction->hasTravelled());
}

TEST(VantrelBackdrop, SheetOfEveryThemeAndCardStyle) {
    BackdropHarness h;
    // One settings store per card, so the three glass styles and corner styles show side by side.
    struct CardSettings {
        RecordingUserDefaults defaults;
        VantrelPreferences preferences{defaults};
    };
    std::array<CardSettings, 3> cards;
    for (int i = 0; i < 3; ++i) {
        cards[i].preferences.setGlassStyle(allCasesOf<GlassStyle>()[i]);
        cards[i].preferences.setInterfaceCornerStyle(allCasesOf<CornerStyle>()[i]);
        cards[i].preferences.setAccent(Accent::sky);
    }
    QList<QImage> sheet;
    for (ColorScheme scheme : {ColorScheme::dark, ColorScheme::light})
        for (ArtTheme theme : allCasesOf<ArtTheme>())
            for (bool tinted : {false, true}) {
                h.preferences.setArtTheme(theme);
                h.preferences.setBackgroundTint(BackgroundTint(0.86, 0.3, 0.52));
                h.preferences.setCustomBackgroundTintEnabled(tinted);
                h.preferences.setAccent(Accent::sky);
                QWidget window;
                window.resize(720, 450);
                VantrelTheme::setColorScheme(&window, scheme);
                auto* backdrop = new VantrelBackdrop(h.preferences, h.store, h.motion, &window);
                backdrop->resize(window.size());
                auto* title = new SectionTitle(
                    h.preferences, QString::fromLatin1(rawName(theme)),
                    tinted ? QStringLiteral("Custom tint") : QStringLiteral("Theme colours"), &window);
                title->setGeometry(36, 28, 600, title->heightForWidth(600));
                int x = 36;
                for (CardSettings& settings : cards) {
                    auto* label = new QLabel(QString::fromLatin1(rawName(settings.preferences.glassStyle())));
                    label->setStyleSheet(scheme == ColorScheme::dark ? "color: white" : "color: black");
                    auto* card = new GlassCard(settings.preferences, 16, label, &window);
                    card->setGeometry(x, 200, 200, 180);
                    x += 224;
                }
                window.show();
                backdrop->refraction()->animation()->setCurrentTime(11000);
                sheet << renderWidget(window).scaled(540, 338, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            }
    const QString path = saveSheet(QStringLiteral("backdrops"), sheet, 4);
    EXPECT_TRUE(QFileInfo::exists(path));
}

TEST(VantrelBackdrop, TakesTheRecolouredArtworkWhenTheWorkerHandsItBack) {
    BackdropHarness h;
    ManualWorkQueue worker;
    h.store.setWorker(&worker);
    h.preferences.setArtTheme(ArtTheme::obsidianFold);
    h.preferences.setBackgroundTint(BackgroundTint(0.9, 0.2, 0.3));
    h.preferences.setCustomBackgroundTintEnabled(true);
    QWidget window;
    window.resize(400, 300);
    VantrelTheme::setColorScheme(&window, ColorScheme::dark);
    auto* backdrop = new VantrelBackdrop(h.preferences, h.store, h.motion, &window);
    backdrop->resize(window.size());
    const BackdropLayout layout = h.layout(ColorScheme::dark);
    ASSERT_TRUE(layout.artwork.hueTint);
    const QImage source = *h.store.originalImage(QStringLiteral("obsidian-fold-dark"));

    // Meanwhile the source is shown, and the paint does not wait for the worker.
    ASSERT_TRUE(backdrop->artworkImage());
    EXPECT_EQ(*backdrop->artworkImage(), source);
    const QImage before = renderWidget(*backdrop);
    EXPECT_EQ(worker.pendingCount(), 1u);

    worker.drain();
    const std::optional<QImage> recoloured = layout.artwork.resolve(h.store);
    ASSERT_TRUE(recoloured);
    EXPECT_NE(*recoloured, source);
    ASSERT_TRUE(backdrop->artworkImage());
    EXPECT_EQ(*backdrop->artworkImage(), *recoloured);
    // The cached layer is drawn again with it.
    EXPECT_NE(renderWidget(*backdrop), before);
    EXPECT_EQ(worker.pendingCount(), 0u);
}
