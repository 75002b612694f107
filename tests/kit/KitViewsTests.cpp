#include "KitRender.h"
#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "kit/GlassCard.h"
#include "kit/GlyphCatalogue.h"
#include "kit/Navigation.h"
#include "kit/OutlineWindowShape.h"
#include "kit/SectionTitle.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelConcentricGeometry.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelIcon.h"
#include "kit/VantrelMotion.h"
#include "kit/VantrelPillButtonStyle.h"
#include "kit/VantrelSecondaryButtonStyle.h"
#include "kit/VantrelSelectionButtonStyle.h"
#include "kit/VantrelShadow.h"
#include "kit/VantrelType.h"
#include "support/FakeSystemAppearance.h"
#include "support/ManualScheduler.h"
#include "support/RecordingHapticPerformer.h"
#include "support/RecordingUserDefaults.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QLayout>
#include <QScopeGuard>
#include <QSemaphore>
#include <QTest>
#include <QThreadPool>
#include <QVBoxLayout>
#include <QVariantAnimation>
#include <gtest/gtest.h>
#include <vector>
#if defined(__SANITIZE_ADDRESS__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

using namespace vantrel;
using namespace vantrel::test;

namespace {

struct KitHarness {
    RecordingUserDefaults defaults;
    VantrelPreferences preferences{defaults};
};

QImage glyphImage(const QString& name, QFont::Weight weight = QFont::Normal) {
    // The box sits in the middle of a larger image, so drawing outside it would show.
    QImage image(48, 48, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    GlyphCatalogue::paint(painter, name, QRectF(12, 12, 24, 24), Qt::white, weight);
    return image;
}

} // namespace

TEST(GlyphCatalogue, EverySymbolDrawsWithinItsBoxAndUnknownNamesDrawTheFallback) {
    // The symbols the settings, the shell and the modules name.
    const QStringList used = {"sparkles",
                              "doc.on.clipboard",
                              "calendar",
                              "timer",
                              "stopwatch",
                              "gauge.with.dots.needle.67percent",
                              "note.text",
                              "tray.full",
                              "camera",
                              "bookmark",
                              "chevron.left.2",
                              "chevron.right.2",
                              "questionmark.circle",
                              "exclamationmark.triangle.fill",
                              "chevron.up",
                              "play.fill",
                              "pause.fill",
                              "forward.fill",
                              "backward.fill",
                              "chevron.up.chevron.down"};
    for (const QString& name : used) EXPECT_TRUE(GlyphCatalogue::contains(name)) << name.toStdString();
    for (NotchTab tab : allCasesOf<NotchTab>()) EXPECT_TRUE(GlyphCatalogue::contains(symbol(tab)));

    QList<QImage> sheet;
    const QImage fallback = glyphImage(QStringLiteral("no.such.symbol"));
    const QStringList drawn = GlyphCatalogue::names() << QStringLiteral("no.such.symbol");
    for (const QString& name : drawn) {
        const QImage image = glyphImage(name);
        sheet << image;
        // Strokes may reach half a line width past the 24-unit box, never further.
        const int inside = paintedPixels(image, QRect(10, 10, 28, 28));
        EXPECT_GT(inside, 40) << name.toStdString();
        EXPECT_EQ(paintedPixels(image, image.rect()), inside) << name.toStdString();
        if (name != u"no.such.symbol") {
            EXPECT_NE(image, fallback) << name.toStdString();
        }
    }
    EXPECT_FALSE(GlyphCatalogue::contains(u"no.such.symbol"));
    EXPECT_EQ(glyphImage(QStringLiteral("another.unknown")), fallback);
    // Heavier weights draw thicker lines.
    EXPECT_GT(paintedPixels(glyphImage("timer", QFont::Black), QRect(0, 0, 48, 48)),
              paintedPixels(glyphImage("timer", QFont::Light), QRect(0, 0, 48, 48)));
    // The line thickens in even steps from the thinnest weight to the blackest.
    const QList<QFont::Weight> weights = {QFont::Thin,   QFont::ExtraLight, QFont::Light,
                                          QFont::Normal, QFont::Medium,     QFont::DemiBold,
                                          QFont::Bold,   QFont::ExtraBold,  QFont::Black};
    const double step =
        GlyphCatalogue::strokeWidth(QFont::Black) - GlyphCatalogue::strokeWidth(QFont::ExtraBold);
    EXPECT_GT(step, 0);
    for (qsizetype i = 1; i < weights.size(); ++i)
        EXPECT_NEAR(GlyphCatalogue::strokeWidth(weights[i]) - GlyphCatalogue::strokeWidth(weights[i - 1]),
                    step, 1e-9)
            << int(weights[i]);
    saveSheet(QStringLiteral("glyphs"), sheet, 8);
}

TEST(VantrelGlyph, DrawsItsSymbolAtThePointSizeCentredInItsFrame) {
    VantrelGlyph glyph(QStringLiteral("questionmark.circle"), Qt::white, 12, QFont::DemiBold, 25, 25);
    EXPECT_EQ(glyph.size(), QSize(25, 25));
    EXPECT_TRUE(glyph.testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_EQ(VantrelGlyph::glyphRect(QRectF(0, 0, 25, 25), 12), QRectF(6.5, 6.5, 12, 12));
    const QImage image = renderWidget(glyph);
    EXPECT_GT(paintedPixels(image, QRect(6, 6, 13, 13)), 20);
    EXPECT_EQ(paintedPixels(image, image.rect()), paintedPixels(image, QRect(5, 5, 15, 15)));
}

namespace {
// Counts the paint events a widget receives.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(int& count) : count_(count) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count_;
        return false;
    }

private:
    int& count_;
};
} // namespace

TEST(VantrelIcon, AnIconInTheAccentFollowsItAndAFixedColourStays) {
    KitHarness h;
    VantrelIcon accent(h.preferences, QStringLiteral("power"), IconColor::accent(), 40);
    VantrelIcon fixed(h.preferences, QStringLiteral("power"), VantrelTheme::accent(Accent::graphite), 40);
    EXPECT_TRUE(accent.followsAccent());
    EXPECT_FALSE(fixed.followsAccent());
    EXPECT_EQ(accent.iconColor(), VantrelTheme::accent(Accent::graphite));
    const QImage before = renderWidget(accent);
    EXPECT_EQ(before, renderWidget(fixed));
    // Both on screen: only the icon in the accent is asked to draw again.
    accent.show();
    fixed.show();
    QCoreApplication::processEvents();
    int accentPaints = 0;
    int fixedPaints = 0;
    PaintCounter accentCounter(accentPaints);
    PaintCounter fixedCounter(fixedPaints);
    accent.installEventFilter(&accentCounter);
    fixed.installEventFilter(&fixedCounter);
    h.preferences.setAccent(Accent::coral);
    QCoreApplication::processEvents();
    EXPECT_GE(accentPaints, 1);
    EXPECT_EQ(fixedPaints, 0);
    EXPECT_EQ(accent.iconColor(), VantrelTheme::accent(Accent::coral));
    EXPECT_EQ(fixed.iconColor(), VantrelTheme::accent(Accent::graphite));
    EXPECT_NE(renderWidget(accent), before);
    EXPECT_EQ(renderWidget(fixed), before);
}

TEST(VantrelIcon, TheTileTakesTheIconColourOnlyTowardTheMiddleOfItsDiagonal) {
    // The tile's gradient runs from the highlight at the top leading corner, through the icon
    // colour at the middle, to the recess: two icons differing only in colour differ most halfway.
    auto draw = [](const QColor& color) {
        QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        VantrelIcon::paint(painter, QRectF(0, 0, 100, 100), u"power", color, ColorScheme::dark);
        return image;
    };
    const QImage red = draw(Qt::red), green = draw(Qt::green);
    auto difference = [&](QPoint at) {
        const QRgb a = red.pixel(at), b = green.pixel(at);
        return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
    };
    // (30, 4) lies a sixth of the way along the diagonal, (85, 15) halfway; both inside the tile,
    // clear of its edge line and of the symbol.
    const int early = difference(QPoint(30, 4)), halfway = difference(QPoint(85, 15));
    EXPECT_GT(halfway, 30);
    EXPECT_LT(early, halfway * 0.6);
}

TEST(VantrelIcon, CustomIconTintRecoloursEveryIcon) {
    KitHarness h;
    VantrelIcon red(h.preferences, QStringLiteral("timer"), Qt::red, 39);
    VantrelIcon blue(h.preferences, QStringLiteral("timer"), Qt::blue, 39);
    EXPECT_EQ(red.size(), QSize(39, 39));
    EXPECT_NEAR(VantrelIcon::cornerRadius(39), 9.36, 1e-9);
    EXPECT_EQ(red.iconColor(), QColor(Qt::red));
    EXPECT_NE(renderWidget(red), renderWidget(blue));

    h.preferences.setIconTint(BackgroundTint(0.2, 0.9, 0.4));
    h.preferences.setCustomIconTintEnabled(true);
    EXPECT_EQ(red.iconColor(), QColor::fromRgbF(0.2f, 0.9f, 0.4f, 1.0f));
    EXPECT_EQ(blue.iconColor(), red.iconColor());
    const QImage tinted = renderWidget(red);
    EXPECT_EQ(tinted, renderWidget(blue));
    // The symbol is drawn in the tint: its centre is green-dominant.
    const QColor centre = tinted.pixelColor(19, 19);
    EXPECT_GT(centre.green(), centre.red());
    // Away from the symbol the tile shows the icon colour at only 0.105 over the recessed end.
    h.preferences.setCustomIconTintEnabled(false);
    VantrelTheme::setColorScheme(&red, ColorScheme::dark);
    EXPECT_LT(alphaAt(renderWidget(red), {33, 6}), 0.4);
    // The tile's corners stay clear, its middle is filled.
    EXPECT_EQ(alphaAt(tinted, {0, 0}), 0.0);
    EXPECT_GT(alphaAt(tinted, {4, 30}), 0.0);
}

TEST(GlassCard, RadiusAndSurfaceOpacityFollowTheCornerAndGlassStyles) {
    KitHarness h;
    EXPECT_EQ(GlassCardLook::cornerRadiusFor(CornerStyle::compact), 12);
    EXPECT_EQ(GlassCardLook::cornerRadiusFor(CornerStyle::rounded), 18);
    EXPECT_EQ(GlassCardLook::cornerRadiusFor(CornerStyle::soft), 26);
    EXPECT_EQ(GlassCardLook::surfaceOpacityFor(GlassStyle::quiet), 0.6);
    EXPECT_EQ(GlassCardLook::surfaceOpacityFor(GlassStyle::balanced), 0.76);
    EXPECT_EQ(GlassCardLook::surfaceOpacityFor(GlassStyle::deep), 0.9);

    QWidget page;
    page.resize(260, 160);
    VantrelTheme::setColorScheme(&page, ColorScheme::dark);
    auto* card = new GlassCard(h.preferences, 16, new QLabel(QStringLiteral("Card content")), &page);
    card->setGeometry(30, 20, 200, 110);
    page.show();
    EXPECT_EQ(card->layout()->contentsMargins(), QMargins(16, 16, 16, 16));
    // The shadow has its look before the card first paints: 15 blur, 7 down.
    EXPECT_EQ(card->shadow()->look().radius, 15);
    EXPECT_EQ(card->shadow()->look().offset, QPointF(0, 7));

    QList<QImage> sheet;
    for (CornerStyle corner : allCasesOf<CornerStyle>()) {
        h.preferences.setInterfaceCornerStyle(corner);
        const double r = GlassCardLook::cornerRadiusFor(corner);
        const QImage image = renderWidget(*card);
        // The continuous corner crosses the diagonal 0.29 of the radius in from the corner.
        EXPECT_EQ(alphaAt(image, {0.2 * r, 0.2 * r}), 0.0) << rawName(corner);
        EXPECT_EQ(card->shadow()->look().radius, 15);
        EXPECT_EQ(card->shadow()->look().offset, QPointF(0, 7));
        EXPECT_GT(alphaAt(image, {0.45 * r, 0.45 * r}), 0.0) << rawName(corner);
    }
    for (GlassStyle glass : allCasesOf<GlassStyle>()) {
        h.preferences.setGlassStyle(glass);
        const QImage image = renderWidget(*card);
        // In the middle the surface shows at the style's opacity under a faint sheen (0.018).
        const double surfaceAlpha = GlassCardLook::surfaceOpacityFor(glass);
        EXPECT_NEAR(alphaAt(image, {100, 55}), surfaceAlpha + (1 - surfaceAlpha) * 0.018, 0.01)
            << rawName(glass);
    }
    h.preferences.setGlassStyle(GlassStyle::balanced);
    {
        // The sheen starts at 0.085 in the top-left corner and fades to 0.018 by the middle.
        const QImage image = renderWidget(*card);
        EXPECT_GT(alphaAt(image, {14, 14}), alphaAt(image, {100, 55}) + 0.008);
    }

    // The accent tints the sheen's far corner by 0.012 × the glow intensity: barely, and not at
    // all without glow.
    h.preferences.setAccent(Accent::crimson);
    const QColor glowing = renderWidget(*card).pixelColor(190, 100);
    h.preferences.setAppearanceGlowIntensity(0);
    const QColor unlit = renderWidget(*card).pixelColor(190, 100);
    EXPECT_LE(std::abs(glowing.red() - unlit.red()), 3);
    EXPECT_LT(unlit.red(), 40);
    h.preferences.setAppearanceGlowIntensity(0.72);

    // The shadow falls below the card (offset 7, blur 15), beyond the card's own rectangle.
    ASSERT_NE(card->shadow(), nullptr);
    EXPECT_TRUE(card->shadow()->isVisible());
    QImage withShadow = renderWidget(page);
    EXPECT_GT(alphaAt(withShadow, {130, 130 + 6}), 0.05);
    EXPECT_GT(alphaAt(withShadow, {130, 130 + 6}), alphaAt(withShadow, {130, 20 - 6}));
    for (CornerStyle corner : allCasesOf<CornerStyle>())
        for (GlassStyle glass : allCasesOf<GlassStyle>()) {
            h.preferences.setInterfaceCornerStyle(corner);
            h.preferences.setGlassStyle(glass);
            sheet << renderWidget(page, VantrelTheme::canvasMiddle().resolve(ColorScheme::dark));
        }
    VantrelTheme::setColorScheme(&page, ColorScheme::light);
    for (GlassStyle glass : allCasesOf<GlassStyle>()) {
        h.preferences.setGlassStyle(glass);
        sheet << renderWidget(page, VantrelTheme::canvasMiddle().resolve(ColorScheme::light));
    }
    saveSheet(QStringLiteral("glass-cards"), sheet, 3);
}

TEST(VantrelShadow, BlurSpreadsCoverageOverTheRadius) {
    QPainterPath square;
    square.addRect(20, 20, 40, 40);
    const QImage sharp = VantrelShadow::blurredMask(square, QSize(80, 80), 0);
    const QImage soft = VantrelShadow::blurredMask(square, QSize(80, 80), 15);
    EXPECT_EQ(qAlpha(sharp.pixel(40, 40)), 255);
    EXPECT_EQ(qAlpha(sharp.pixel(15, 40)), 0);
    EXPECT_EQ(qAlpha(soft.pixel(40, 40)), 255);
    EXPECT_GT(qAlpha(soft.pixel(15, 40)), 0);
    EXPECT_NEAR(qAlpha(soft.pixel(20, 40)), 128, 20); // half coverage at the edge
    EXPECT_LT(qAlpha(soft.pixel(2, 40)), 5);
    EXPECT_LT(qAlpha(soft.pixel(2, 40)), qAlpha(soft.pixel(10, 40)));
    EXPECT_EQ(VantrelShadow::reach({Qt::black, 15, QPointF(0, 7)}), 23);
}

// A plain reading of the blur: each pass averages a window of 2r + 1 pixels along a line, rounded
// to nearest, with zeros beyond the edges; rows first, then columns, three times.
static std::vector<int> referenceBlur(const QImage& sharp, int r) {
    const int w = sharp.width(), h = sharp.height(), window = 2 * r + 1;
    std::vector<int> pixels(std::size_t(w * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) pixels[std::size_t(y * w + x)] = sharp.constScanLine(y)[x];
    const auto pass = [&](bool rows) {
        std::vector<int> out(pixels.size());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int sum = 0;
                for (int d = -r; d <= r; ++d) {
                    const int px = rows ? x + d : x, py = rows ? y : y + d;
                    if (px >= 0 && px < w && py >= 0 && py < h) sum += pixels[std::size_t(py * w + px)];
                }
                out[std::size_t(y * w + x)] = (sum + window / 2) / window;
            }
        pixels = out;
    };
    for (int i = 0; i < 3; ++i) {
        pass(true);
        pass(false);
    }
    return pixels;
}

TEST(VantrelShadow, BlurMatchesThreeWindowAveragesOnALopsidedShape) {
    // Width and height differ and rows are padded, so a swapped axis or a stride error shows.
    QPainterPath shape;
    shape.addRoundedRect(9, 5, 50, 22, 6, 6);
    shape.addEllipse(QPointF(62, 44), 12, 9);
    const QSize size(83, 61);
    const QImage sharp = VantrelShadow::blurredMask(shape, size, 0);
    const QImage soft = VantrelShadow::blurredMask(shape, size, 9); // sigma 4.5: windows of 9
    const std::vector<int> expected = referenceBlur(sharp, 4);
    int differing = 0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            differing += soft.constScanLine(y)[x] != expected[std::size_t(y * size.width() + x)];
    EXPECT_EQ(differing, 0);
    EXPECT_GT(soft.constScanLine(30)[4], 0); // coverage spread beyond the shape's left edge
}

TEST(VantrelShadow, PaintsTheBlurredCoverageInItsColourAtItsOpacity) {
    QWidget parent;
    parent.resize(140, 140);
    auto* target = new QWidget(&parent);
    target->setGeometry(40, 40, 60, 60);
    const auto rectangle = [](const QRectF& rect) {
        QPainterPath path;
        path.addRect(rect);
        return path;
    };
    auto* shadow = new VantrelShadow(target, rectangle);
    for (const QColor& opaque : {QColor(Qt::black), QColor(200, 40, 0)}) {
        QColor color = opaque;
        color.setAlphaF(0.5f);
        shadow->setLook({color, 10, QPointF()});
        const int reach = VantrelShadow::reach(shadow->look());
        ASSERT_EQ(shadow->size(), QSize(60 + 2 * reach, 60 + 2 * reach));
        const QImage coverage = VantrelShadow::blurredMask(rectangle(QRectF(reach, reach, 60, 60)),
                                                           shadow->size(), shadow->look().radius);
        QImage painted(shadow->size(), QImage::Format_ARGB32_Premultiplied);
        painted.fill(Qt::transparent);
        shadow->render(&painted);
        for (const QPoint at :
             {QPoint(reach - 3, 40), QPoint(reach + 2, reach + 2), QPoint(40, reach + 30)}) {
            const QColor pixel = painted.pixelColor(at);
            const double expectedAlpha = qAlpha(coverage.pixel(at)) / 255.0 * 0.5;
            EXPECT_NEAR(pixel.alphaF(), expectedAlpha, 0.01) << opaque.name().toStdString();
            if (expectedAlpha > 0.1) {
                EXPECT_NEAR(pixel.redF(), opaque.redF(), 0.05) << opaque.name().toStdString();
                EXPECT_NEAR(pixel.greenF(), opaque.greenF(), 0.05) << opaque.name().toStdString();
            }
        }
    }
}

// A card in a column exactly as wide as itself, in a page with room around it: its shadow shows on
// every side, round the rounded corners, and follows the card where the column moves, rather than
// being cut square at the column's edge.
TEST(VantrelShadow, ACardInAColumnAsWideAsItselfCastsItsShadowOnEverySide) {
    QWidget page;
    page.resize(300, 300);
    auto* column = new QWidget(&page);
    column->setGeometry(100, 40, 100, 200);
    auto* card = new QWidget(column);
    card->setGeometry(0, 0, 100, 120);
    auto* shadow = new VantrelShadow(card, [](const QRectF& rect) {
        QPainterPath path;
        path.addRoundedRect(rect, 18, 18);
        return path;
    });
    shadow->setLook({QColor(0, 0, 0, 160), 15, QPointF(0, 7)});
    page.show();
    const auto alphaAround = [&] {
        QImage image(page.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        page.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        const QRect at(card->mapTo(&page, QPoint()), card->size());
        return std::vector<int>{qAlpha(image.pixel(at.left() - 5, at.center().y())),
                                qAlpha(image.pixel(at.right() + 5, at.center().y())),
                                qAlpha(image.pixel(at.right() + 5, at.bottom() + 5))};
    };
    const std::vector<int> seen = alphaAround();
    EXPECT_GT(seen[0], 0) << "left of the card";
    EXPECT_NEAR(seen[1], seen[0], 2) << "right of the card, as on its left";
    EXPECT_GT(seen[2], 0) << "beyond the rounded bottom-right corner";
    column->move(40, 60);
    EXPECT_EQ(alphaAround(), seen) << "after the column moved";
}

namespace {

// A shadow image painted black at `size`, either whole or stretched from a smaller copy.
QImage paintedShadow(const QImage& image, QSize size) {
    QImage painted(size, QImage::Format_ARGB32_Premultiplied);
    painted.fill(Qt::transparent);
    QPainter painter(&painted);
    if (image.size() == size)
        painter.drawImage(0, 0, image);
    else
        VantrelShadow::drawStretched(painter, image, size);
    return painted;
}

QImage shadowOf(const VantrelShadow::Shape& shape, QSize target, const VantrelShadow::Look& look) {
    const int m = VantrelShadow::reach(look);
    return VantrelShadow::blurredMask(
        shape(QRectF(QPointF(), QSizeF(target))).translated(QPointF(m, m) + look.offset),
        target + QSize(2 * m, 2 * m), look.radius);
}

} // namespace

TEST(VantrelShadow, RoundedShapesStretchASmallCopyThatPaintsEveryPixelOfTheFullBlur) {
    const std::vector<std::pair<const char*, VantrelShadow::Shape>> shapes = {
        {"continuous 18", [](const QRectF& r) { return ContinuousRoundedRectangle{18}.path(r); }},
        {"continuous 26 square top",
         [](const QRectF& r) {
             return ContinuousRoundedRectangle{26, true}.path(r);
         }},
        {"rounded 22",
         [](const QRectF& r) {
             QPainterPath path;
             path.addRoundedRect(r, 22, 22);
             return path;
         }},
    };
    const std::vector<VantrelShadow::Look> looks = {
        {Qt::black, 15, QPointF(0, 7)}, {Qt::black, 42, QPointF(0, 22)}, {Qt::black, 12, QPointF(3, 5)}};
    for (const auto& [name, shape] : shapes)
        for (const VantrelShadow::Look& look : looks)
            for (const QSize target : {QSize(1070, 119), QSize(558, 525), QSize(290, 200)}) {
                SCOPED_TRACE(testing::Message() << name << " radius " << look.radius << " at "
                                                << target.width() << "x" << target.height());
                const std::optional<QSize> copy = VantrelShadow::stretchableCopy(shape, target, look);
                ASSERT_TRUE(copy.has_value());
                EXPECT_LE(copy->width(), target.width());
                EXPECT_LE(copy->height(), target.height());
                EXPECT_LT(copy->width() * copy->height(), target.width() * target.height());
                const int m = VantrelShadow::reach(look);
                const QImage whole =
                    paintedShadow(shadowOf(shape, target, look), target + QSize(2 * m, 2 * m));
                const QImage stretched =
                    paintedShadow(shadowOf(shape, *copy, look), target + QSize(2 * m, 2 * m));
                int differing = 0;
                for (int y = 0; y < whole.height(); ++y)
                    for (int x = 0; x < whole.width(); ++x)
                        differing += whole.pixel(x, y) != stretched.pixel(x, y);
                EXPECT_EQ(differing, 0);
            }
}

TEST(VantrelShadow, ShapesThatDoNotStretchAlongStraightEdgesAreBlurredWhole) {
    const VantrelShadow::Look look{Qt::black, 15, QPointF(0, 7)};
    const auto ellipse = [](const QRectF& r) {
        QPainterPath path;
        path.addEllipse(r);
        return path;
    };
    // A roof: its slanted edges cross the middle line, so stretching would bend them.
    const auto roof = [](const QRectF& r) {
        QPainterPath path;
        path.moveTo(r.bottomLeft());
        path.lineTo(r.center().x(), r.top());
        path.lineTo(r.bottomRight());
        path.closeSubpath();
        return path;
    };
    // A notch in the middle of the top edge.
    const auto notched = [](const QRectF& r) {
        QPainterPath path;
        path.moveTo(r.topLeft());
        path.lineTo(r.center().x() - 10, r.top());
        path.lineTo(r.center().x() - 10, r.top() + 8);
        path.lineTo(r.center().x() + 10, r.top() + 8);
        path.lineTo(r.center().x() + 10, r.top());
        path.lineTo(r.topRight());
        path.lineTo(r.bottomRight());
        path.lineTo(r.bottomLeft());
        path.closeSubpath();
        return path;
    };
    // A card whose sides lean in: slanted edges cross the middle row.
    const auto leaning = [](const QRectF& r) {
        QPainterPath path;
        path.moveTo(r.topLeft());
        path.lineTo(r.topRight());
        path.lineTo(r.right() - 40, r.bottom());
        path.lineTo(r.left() + 40, r.bottom());
        path.closeSubpath();
        return path;
    };
    // Two parts: a corner cut off along the diagonal (closed by its slanted edge back to the start)
    // and a small square; the first part's closing edge would bend.
    const auto cutCorner = [](const QRectF& r) {
        QPainterPath path;
        path.moveTo(r.topLeft());
        path.lineTo(r.topRight());
        path.lineTo(r.bottomRight());
        path.addRect(QRectF(r.topLeft() + QPointF(10, 10), QSizeF(20, 20)));
        return path;
    };
    for (const VantrelShadow::Shape& shape :
         std::vector<VantrelShadow::Shape>{ellipse, roof, leaning, cutCorner})
        EXPECT_FALSE(VantrelShadow::stretchableCopy(shape, QSize(600, 400), look).has_value());
    // The notch keeps the width whole; the height still stretches along the straight sides.
    EXPECT_EQ(VantrelShadow::stretchableCopy(notched, QSize(600, 400), look).value_or(QSize()).width(), 600);
    EXPECT_LT(VantrelShadow::stretchableCopy(notched, QSize(600, 400), look).value_or(QSize(0, 400)).height(),
              400);
    // A rounded rectangle too small for a smaller copy is blurred whole as well.
    const auto rounded = [](const QRectF& r) { return ContinuousRoundedRectangle{18}.path(r); };
    EXPECT_FALSE(VantrelShadow::stretchableCopy(rounded, QSize(90, 80), look).has_value());
    EXPECT_TRUE(VantrelShadow::stretchableCopy(rounded, QSize(600, 400), look).has_value());
}

TEST(VantrelShadow, CardsOfOneLookShareOneSmallImageWhateverTheirSize) {
    QWidget parent;
    parent.resize(1400, 900);
    const auto rounded = [](const QRectF& r) { return ContinuousRoundedRectangle{18}.path(r); };
    const VantrelShadow::Look look{QColor(0, 0, 0, 60), 15, QPointF(0, 7)};
    std::vector<VantrelShadow*> shadows;
    for (const QRect geometry :
         {QRect(40, 40, 1070, 119), QRect(40, 200, 558, 525), QRect(700, 200, 294, 272)}) {
        auto* card = new QWidget(&parent);
        card->setGeometry(geometry);
        auto* shadow = new VantrelShadow(card, rounded);
        shadow->setLook(look);
        QImage painted(shadow->size(), QImage::Format_ARGB32_Premultiplied);
        painted.fill(Qt::transparent);
        shadow->render(&painted);
        // What it painted is the whole blur at the look's opacity.
        const QImage whole = paintedShadow(shadowOf(rounded, geometry.size(), look), shadow->size());
        for (const QPoint at : {QPoint(5, 30), QPoint(shadow->width() / 2, 3),
                                QPoint(shadow->width() / 2, shadow->height() - 4)})
            EXPECT_NEAR(qAlpha(painted.pixel(at)), qAlpha(whole.pixel(at)) * 60 / 255.0, 1.0);
        shadows.push_back(shadow);
    }
    const QImage& first = shadows[0]->image();
    EXPECT_LT(first.width() * first.height(), 300 * 300);
    EXPECT_EQ(shadows[1]->image().cacheKey(), first.cacheKey());
    EXPECT_EQ(shadows[2]->image().cacheKey(), first.cacheKey());
    // Another blur or colour makes an image of its own.
    shadows[2]->setLook({QColor(0, 0, 0, 60), 12, QPointF(0, 7)});
    shadows[1]->setLook({QColor(200, 0, 0, 60), 15, QPointF(0, 7)});
    for (VantrelShadow* shadow : {shadows[1], shadows[2]}) {
        QImage painted(shadow->size(), QImage::Format_ARGB32_Premultiplied);
        shadow->render(&painted);
        EXPECT_NE(shadow->image().cacheKey(), first.cacheKey());
    }
    EXPECT_NE(shadows[1]->image().cacheKey(), shadows[2]->image().cacheKey());

    // Closed, the shadows let go of their images; shown again, they paint the same.
    parent.show();
    const QImage shown = renderWidget(parent);
    ASSERT_FALSE(shadows[0]->image().isNull());
    parent.hide();
    for (VantrelShadow* shadow : shadows) EXPECT_TRUE(shadow->image().isNull());
    parent.show();
    EXPECT_EQ(renderWidget(parent), shown);
    for (VantrelShadow* shadow : shadows) EXPECT_FALSE(shadow->image().isNull());
}

TEST(SectionTitle, WordmarkRowTitleAndOptionalSubtitle) {
    KitHarness h;
    const SectionTitleLayout plain = SectionTitle::layout(500, QStringLiteral("Appearance"), std::nullopt);
    EXPECT_EQ(plain.leadingCapsule.size(), QSizeF(24, 3));
    EXPECT_EQ(plain.trailingCapsule.size(), QSizeF(24, 3));
    EXPECT_DOUBLE_EQ(plain.wordmark.left() - plain.leadingCapsule.right(), 9);
    EXPECT_DOUBLE_EQ(plain.trailingCapsule.left() - plain.wordmark.right(), 9);
    EXPECT_DOUBLE_EQ(plain.leadingCapsule.center().y(), plain.wordmark.center().y());
    EXPECT_DOUBLE_EQ(plain.title.top() - plain.wordmark.bottom(), 7);
    EXPECT_FALSE(plain.subtitle);
    EXPECT_DOUBLE_EQ(plain.height, plain.title.bottom());
    EXPECT_FALSE(SectionTitle::layout(500, QStringLiteral("Appearance"), QString()).subtitle);

    const SectionTitleLayout full = SectionTitle::layout(500, QStringLiteral("Appearance"),
                                                         QStringLiteral("Colours, artwork and glass."));
    ASSERT_TRUE(full.subtitle);
    EXPECT_DOUBLE_EQ(full.subtitle->top() - full.title.bottom(), 7);
    EXPECT_DOUBLE_EQ(full.height, full.subtitle->bottom());
    // A subtitle too long for one line wraps, two points between its lines.
    const QString longText = QStringLiteral("Every surface follows the palette, ").repeated(6);
    const SectionTitleLayout wrapped = SectionTitle::layout(300, QStringLiteral("Appearance"), longText);
    const double line = QFontMetricsF(SectionTitle::subtitleFont()).height();
    const double lines = std::round((wrapped.subtitle->height() + 2) / (line + 2));
    EXPECT_GT(lines, 1);
    EXPECT_NEAR(wrapped.subtitle->height(), lines * line + (lines - 1) * 2, 1e-6);
    // A column 300 wide asks for the title's wrapped height, not its height at its natural width.
    QWidget column;
    auto* stack = new QVBoxLayout(&column);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(new SectionTitle(h.preferences, QStringLiteral("Appearance"), longText, &column));
    EXPECT_GE(column.heightForWidth(300), int(std::ceil(wrapped.height)));

    EXPECT_EQ(SectionTitle::wordmarkText(), QStringLiteral("VANTREL CONTROL"));
    // Qt keeps letter spacing in 64ths of a pixel.
    EXPECT_NEAR(SectionTitle::wordmarkFont().letterSpacing(), 1.75, 1.0 / 64);
    EXPECT_NEAR(SectionTitle::titleFont().letterSpacing(), -1.15, 1.0 / 64);

    // The capsules take the accent from the settings when drawn.
    h.preferences.setAccent(Accent::crimson);
    SectionTitle title(h.preferences, QStringLiteral("Appearance"),
                       QStringLiteral("Colours, artwork and glass."));
    VantrelTheme::setColorScheme(&title, ColorScheme::dark);
    title.resize(520, title.heightForWidth(520));
    EXPECT_EQ(title.accessibleName(), QStringLiteral("Appearance"));
    const QImage image = renderWidget(title);
    // The wordmark is the accent at 0.92: its strokes never reach full opacity.
    int strongest = 0;
    for (int y = int(full.wordmark.top()); y < int(full.wordmark.bottom()); ++y)
        for (int x = int(full.wordmark.left()); x < int(full.wordmark.right()); ++x)
            strongest = std::max(strongest, qAlpha(image.pixel(x, y)));
    EXPECT_NEAR(strongest, 235, 4);
    const QColor capsule = image.pixelColor(full.leadingCapsule.center().toPoint());
    EXPECT_EQ(capsule.rgb(), VantrelTheme::accent(Accent::crimson).rgb());
    EXPECT_GT(paintedPixels(image, full.subtitle->toRect()), 50);
    saveSheet(QStringLiteral("section-title"), {renderWidget(title, QColor(10, 11, 15))}, 1);
}

TEST(ButtonStyles, LooksReleasedAndPressed) {
    const QColor tint = VantrelTheme::accent(Accent::sky);
    const ColorScheme dark = ColorScheme::dark;
    auto alpha = [](const QColor& c) { return c.alphaF(); };

    const VantrelPillButtonStyle pill(tint);
    const ButtonLook up = pill.look(0, dark), down = pill.look(1, dark);
    EXPECT_EQ(up.shape.cornerRadius, 10);
    EXPECT_EQ(up.font, VantrelType::button());
    EXPECT_EQ(up.horizontalPadding, 18);
    EXPECT_EQ(up.verticalPadding, 10.5);
    EXPECT_FALSE(up.fillsWidth);
    EXPECT_NEAR(alpha(up.fillStart), 0.98, 1e-4);
    EXPECT_NEAR(alpha(down.fillStart), 0.76, 1e-4);
    EXPECT_NEAR(alpha(up.fillEnd), 0.66, 1e-4);
    EXPECT_NEAR(alpha(down.fillEnd), 0.66, 1e-4);
    EXPECT_NEAR(alpha(up.outline), 0.16 * 0.9, 1e-4);
    EXPECT_EQ(up.outlineWidth, 0.7);
    EXPECT_EQ(up.foreground, QColor(Qt::white));
    EXPECT_NEAR(alpha(up.shadow.color), 0.2, 1e-4);
    EXPECT_NEAR(alpha(down.shadow.color), 0.08, 1e-4);
    EXPECT_EQ(up.shadow.radius, 12);
    EXPECT_EQ(up.shadow.offset, QPointF(0, 5));
    EXPECT_EQ(up.scale, 1);
    EXPECT_NEAR(down.scale, 0.965, 1e-12);
    ASSERT_TRUE(pill.pressAnimation());
    EXPECT_NEAR(pill.pressAnimation()->duration, 0.24, 1e-12);

    const VantrelSelectionButtonStyle selected(true, tint), unselected(false, tint);
    const ButtonLook s0 = selected.look(0, dark), s1 = selected.look(1, dark);
    EXPECT_EQ(s0.shape.cornerRadius, 9);
    EXPECT_NEAR(VantrelType::pixelSize(s0.font), 10.5, 1e-9);
    EXPECT_EQ(s0.font.weight(), QFont::DemiBold);
    EXPECT_EQ(s0.horizontalPadding, 10);
    EXPECT_EQ(s0.verticalPadding, 9);
    EXPECT_TRUE(s0.fillsWidth);
    EXPECT_NEAR(alpha(s0.fillStart), 0.19, 1e-4);
    EXPECT_NEAR(alpha(s1.fillStart), 0.27, 1e-4);
    EXPECT_NEAR(alpha(s0.outline), 0.65, 1e-4);
    EXPECT_EQ(s0.outlineWidth, 0.75);
    EXPECT_EQ(s0.foreground, tint);
    EXPECT_NEAR(alpha(s0.shadow.color), 0.14, 1e-4);
    EXPECT_EQ(s0.shadow.radius, 9);
    EXPECT_EQ(s0.shadow.offset, QPointF());
    EXPECT_NEAR(s1.scale, 0.975, 1e-12);
    const ButtonLook u0 = unselected.look(0, dark), u1 = unselected.look(1, dark);
    EXPECT_NEAR(alpha(u0.fillStart), 0.062 * 0.72, 1e-4);
    EXPECT_NEAR(alpha(u1.fillStart), 0.062, 1e-4);
    EXPECT_EQ(u0.outline, VantrelTheme::border().resolve(dark));
    EXPECT_NEAR(alpha(u0.foreground), 0.78, 1e-4);
    EXPECT_EQ(u0.shadow.color.alpha(), 0);
    EXPECT_EQ(u0.shadow.radius, 9);
    EXPECT_FALSE(selected.pressAnimation());

    const VantrelSecondaryButtonStyle secondary;
    const ButtonLook c0 = secondary.look(0, ColorScheme::light), c1 = secondary.look(1, ColorScheme::light);
    EXPECT_EQ(c0.shape.cornerRadius, 9);
    EXPECT_EQ(c0.font, VantrelType::label());
    EXPECT_EQ(c0.horizontalPadding, 15);
    EXPECT_EQ(c0.verticalPadding, 9.5);
    EXPECT_FALSE(c0.fillsWidth);
    EXPECT_NEAR(alpha(c0.fillStart), 0.6 * 0.9, 1e-4);
    EXPECT_NEAR(alpha(c1.fillStart), 0.6, 1e-4);
    EXPECT_NEAR(alpha(c0.fillEnd), 0.6 * 0.48, 1e-4);
    EXPECT_EQ(c0.outlineWidth, 0.7);
    EXPECT_EQ(c0.outline, VantrelTheme::border().resolve(ColorScheme::light));
    EXPECT_NEAR(alpha(c0.foreground), 0.84, 1e-4);
    EXPECT_NEAR(alpha(c1.foreground), 0.66, 1e-4);
    EXPECT_EQ(c0.foreground.rgb(), QColor(Qt::black).rgb());
    EXPECT_EQ(c0.shadow.color.alpha(), 0);
    EXPECT_NEAR(c1.scale, 0.975, 1e-12);
}

TEST(VantrelButton, PillPlaysOneHapticPerPressAndSpringsWhileOthersPlayNone) {
    KitHarness h;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingHapticPerformer performer{&clock};
    VantrelHaptics haptics(h.preferences, performer, scheduler);
    haptics.play(HapticSurface::controls);
    scheduler.advance(Seconds(1));
    const std::size_t perPlay = performer.count();
    ASSERT_GT(perPlay, 0u);
    performer.clear();

    QWidget window;
    window.resize(400, 200);
    VantrelTheme::setColorScheme(&window, ColorScheme::dark);
    const QColor tint = VantrelTheme::accent(Accent::sky);
    auto* pill = new VantrelButton(QStringLiteral("Save"),
                                   std::make_shared<VantrelPillButtonStyle>(tint, &haptics), &window);
    auto* selection = new VantrelButton(QStringLiteral("Dark"),
                                        std::make_shared<VantrelSelectionButtonStyle>(true, tint), &window);
    auto* secondary =
        new VantrelButton(QStringLiteral("Cancel"), std::make_shared<VantrelSecondaryButtonStyle>(), &window);
    pill->move(20, 20);
    selection->setGeometry(20, 80, 200, selection->sizeHint().height());
    secondary->move(240, 20);
    window.show();

    // Pill and secondary fit their labels plus padding; the selection button takes the width.
    const QFontMetricsF pillMetrics(VantrelType::button());
    EXPECT_EQ(pill->sizeHint(), QSize(int(std::ceil(pillMetrics.horizontalAdvance("Save") + 36)),
                                      int(std::ceil(pillMetrics.height() + 21))));
    EXPECT_EQ(pill->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    EXPECT_EQ(selection->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    EXPECT_EQ(pill->accessibleName().isEmpty() ? pill->text() : pill->accessibleName(),
              QStringLiteral("Save"));

    const QImage released = renderWidget(window);
    QTest::mousePress(pill, Qt::LeftButton);
    scheduler.advance(Seconds(1));
    EXPECT_EQ(performer.count(), perPlay);
    // The press springs in over 0.24 s.
    ASSERT_EQ(pill->pressAnimation()->state(), QAbstractAnimation::Running);
    EXPECT_EQ(pill->pressAnimation()->duration(), 240);
    pill->pressAnimation()->setCurrentTime(240);
    EXPECT_DOUBLE_EQ(pill->pressProgress(), 1);
    EXPECT_NEAR(pill->currentLook().scale, 0.965, 1e-9);
    const QImage pressed = renderWidget(window);
    QTest::mouseRelease(pill, Qt::LeftButton);
    scheduler.advance(Seconds(1));
    EXPECT_EQ(performer.count(), perPlay);
    pill->pressAnimation()->setCurrentTime(240);
    EXPECT_DOUBLE_EQ(pill->pressProgress(), 0);
    EXPECT_NE(released, pressed);

    for (VantrelButton* quiet : {selection, secondary}) {
        QTest::mousePress(quiet, Qt::LeftButton);
        EXPECT_DOUBLE_EQ(quiet->pressProgress(), 1); // no animation: pressed at once
        QTest::mouseRelease(quiet, Qt::LeftButton);
        EXPECT_DOUBLE_EQ(quiet->pressProgress(), 0);
    }
    scheduler.advance(Seconds(1));
    EXPECT_EQ(performer.count(), perPlay);

    // Under reduced motion the spring becomes the short calm ease.
    FakeSystemAppearance reduced;
    reduced.setReduceMotion(true);
    VantrelMotion motion(reduced);
    pill->setMotion(&motion);
    QTest::mousePress(pill, Qt::LeftButton);
    EXPECT_EQ(pill->pressAnimation()->duration(), 100);
    QTest::mouseRelease(pill, Qt::LeftButton);

    // Keyboard focus shows on the button.
    QApplication::setActiveWindow(&window);
    secondary->setFocus();
    ASSERT_TRUE(secondary->hasFocus());
    const QImage focused = renderWidget(*secondary);
    secondary->clearFocus();
    EXPECT_NE(focused, renderWidget(*secondary));

    // The pill's tinted shadow shows below it.
    const QRect g = pill->geometry();
    EXPECT_GT(alphaAt(released, {double(g.center().x()), g.bottom() + 5.0}), 0.0);
    QList<QImage> sheet{released, pressed};
    VantrelTheme::setColorScheme(&window, ColorScheme::light);
    sheet << renderWidget(window, VantrelTheme::canvasMiddle().resolve(ColorScheme::light));
    saveSheet(QStringLiteral("buttons"), sheet, 1);
}

// Filled from its kept corners, a card paints what painting its outline afresh does, to within one
// level of a channel (a gradient's steps fall a little differently along a plain rectangle).
TEST(GlassCard, KeptCornersPaintWhatTheCardPaintsAfresh) {
    KitHarness h;
    QWidget page;
    page.resize(300, 200);
    auto* card = new GlassCard(h.preferences, 16, nullptr, &page);
    card->setGeometry(30, 20, 200, 110);
    page.show();
    // Over a backdrop of every shade, so each blend shows in the last bit.
    const auto backdrop = [] {
        QImage image(300, 200, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        QLinearGradient shades(0, 0, 300, 200);
        shades.setColorAt(0, QColor(250, 40, 90));
        shades.setColorAt(1, QColor(10, 200, 160, 120));
        image.fill(Qt::transparent);
        painter.fillRect(image.rect(), shades);
        return image;
    };
    const auto compare = [&](ColorScheme scheme, const char* what) {
        VantrelTheme::setColorScheme(&page, scheme);
        for (int repaint = 0; repaint < 2; ++repaint) {
            QImage kept = backdrop();
            card->render(&kept, QPoint(30, 20), QRegion(), QWidget::RenderFlags());
            QImage fresh = backdrop();
            QPainter painter(&fresh);
            painter.translate(30, 20);
            painter.setClipRect(0, 0, 200, 110); // as the widget's own bounds clip it
            GlassCard::paintCard(painter, QRectF(0, 0, 200, 110), card->look(), scheme);
            painter.end();
            int differing = 0, worst = 0;
            for (int y = 0; y < kept.height(); ++y)
                for (int x = 0; x < kept.width(); ++x) {
                    const QRgb a = kept.pixel(x, y), b = fresh.pixel(x, y);
                    if (a == b) continue;
                    ++differing;
                    worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                      std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
                }
            EXPECT_LE(worst, 1) << what << ", paint " << repaint + 1 << ", " << differing << " differing";
        }
    };
    compare(ColorScheme::dark, "dark");
    compare(ColorScheme::light, "light, after dark");
    h.preferences.setAccent(Accent::crimson);
    h.preferences.setAppearanceGlowIntensity(1);
    compare(ColorScheme::light, "a new accent and glow");
    h.preferences.setInterfaceCornerStyle(CornerStyle::soft);
    h.preferences.setGlassStyle(GlassStyle::deep);
    compare(ColorScheme::light, "new corners and glass");
    card->resize(240, 130);
    VantrelTheme::setColorScheme(&page, ColorScheme::dark);
    QImage kept = backdrop();
    card->render(&kept, QPoint(30, 20), QRegion(), QWidget::RenderFlags());
    QImage fresh = backdrop();
    QPainter painter(&fresh);
    painter.translate(30, 20);
    painter.setClipRect(0, 0, 240, 130);
    GlassCard::paintCard(painter, QRectF(0, 0, 240, 130), card->look(), ColorScheme::dark);
    painter.end();
    EXPECT_EQ(kept, fresh) << "a new size, painted afresh";
}

TEST(GlassCard, RepaintsFromKeptCornersFollowTheAppearanceAccentAndSize) {
    KitHarness h;
    QWidget page;
    page.resize(300, 200);
    auto* card = new GlassCard(h.preferences, 16, nullptr, &page);
    card->setGeometry(20, 20, 200, 110);
    page.show();
    // The third paint of each state comes from what the second one kept.
    const auto third = [&] {
        QImage image;
        for (int paint = 0; paint < 3; ++paint) {
            image = QImage(card->size(), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::black);
            card->render(&image);
        }
        return image;
    };
    VantrelTheme::setColorScheme(&page, ColorScheme::dark);
    const QImage dark = third();
    // The dark surface at 0.76 over black, with the faint sheen: a dark middle.
    EXPECT_LT(qRed(dark.pixel(100, 55)), 100);
    VantrelTheme::setColorScheme(&page, ColorScheme::light);
    const QImage light = third();
    // The light surface (0.985 at 0.76) over black.
    EXPECT_GT(qRed(light.pixel(100, 55)), 180);

    // With the glow at its full strength the sheen ends in the accent; another accent repaints it.
    h.preferences.setAppearanceGlowIntensity(1);
    h.preferences.setAccent(Accent::crimson);
    const QImage crimson = third();
    h.preferences.setAccent(Accent::mint);
    const QImage mint = third();
    const QPoint nearEnd(190, 100);
    EXPECT_GT(qRed(crimson.pixel(nearEnd)) - qGreen(crimson.pixel(nearEnd)),
              qRed(mint.pixel(nearEnd)) - qGreen(mint.pixel(nearEnd)));

    // A taller, wider card fills its new corner, not the old size's.
    card->resize(240, 130);
    const QImage larger = third();
    ASSERT_EQ(larger.size(), QSize(240, 130));
    // Beyond the old size's corner, over black: the light surface, not the backdrop.
    EXPECT_GT(qRed(larger.pixel(215, 115)), 180);
    EXPECT_GT(qRed(larger.pixel(25, 120)), 180);
}

TEST(VantrelShadow, ARepaintedShadowPaintsWhatItsFirstPaintDidAtEachSize) {
    QWidget parent;
    parent.resize(600, 400);
    auto* target = new QWidget(&parent);
    target->setGeometry(60, 60, 300, 200);
    auto* shadow =
        new VantrelShadow(target, [](const QRectF& r) { return ContinuousRoundedRectangle{18}.path(r); });
    shadow->setLook({QColor(0, 0, 0, 97), 15, QPointF(0, 7)});
    parent.show();
    const auto paint = [&] {
        QImage image(shadow->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(QColor(40, 120, 200));
        shadow->render(&image);
        return image;
    };
    const QImage first = paint();
    // Stretched from a smaller copy, then repainted from strips of it: the same pixels.
    ASSERT_LT(shadow->image().width(), shadow->width());
    EXPECT_EQ(paint(), first);
    EXPECT_EQ(paint(), first);
    // Deep inside, where the card hides it, the shadow is the colour at its full coverage:
    // 97 / 255 of black over the backdrop.
    EXPECT_EQ(qBlue(first.pixel(shadow->width() / 2, shadow->height() / 2)), 124);

    target->resize(180, 330);
    const QImage resizedFirst = paint();
    ASSERT_EQ(resizedFirst.size(), shadow->size());
    EXPECT_EQ(paint(), resizedFirst);
    EXPECT_EQ(paint(), resizedFirst);
    // A new shadow of the new size paints the same from its first paint on.
    auto* fresh =
        new VantrelShadow(target, [](const QRectF& r) { return ContinuousRoundedRectangle{18}.path(r); });
    fresh->setLook(shadow->look());
    fresh->show();
    QImage expected(fresh->size(), QImage::Format_ARGB32_Premultiplied);
    expected.fill(QColor(40, 120, 200));
    fresh->render(&expected);
    EXPECT_EQ(resizedFirst, expected);
    // Below the card, in the band the old size ended in, the shadow now fades out lower down.
    const int bottom = shadow->height() - VantrelShadow::reach(shadow->look());
    EXPECT_LT(qBlue(resizedFirst.pixel(shadow->width() / 2, bottom)), 200);
}

namespace {

// What the process has allocated and not freed yet.
std::ptrdiff_t allocatedBytes() {
#if defined(__SANITIZE_ADDRESS__)
    return std::ptrdiff_t(__sanitizer_get_current_allocated_bytes());
#else
    const struct mallinfo2 info = mallinfo2();
    return std::ptrdiff_t(info.uordblks + info.hblkhd);
#endif
}

} // namespace

// What a card and its shadow keep to repaint from does not grow with them: a window-sized card
// keeps as much as a small one.
TEST(GlassCard, WhatACardAndItsShadowKeepDoesNotGrowWithThem) {
    KitHarness h;
    // Qt lays large fills out over its global thread pool, which starts a thread (about 10 KB
    // kept) whenever none is idle: how many a paint starts depends on how busy the machine is.
    // Every thread the pool may have is started first and kept until the test ends.
    QThreadPool& pool = *QThreadPool::globalInstance();
    const int expiry = pool.expiryTimeout();
    pool.setExpiryTimeout(-1);
    const auto restoreExpiry = qScopeGuard([&] { pool.setExpiryTimeout(expiry); });
    QSemaphore started, released, finished;
    for (int i = 0; i < pool.maxThreadCount(); ++i)
        pool.start([&] {
            started.release();
            released.acquire();
            finished.release();
        });
    started.acquire(pool.maxThreadCount());
    released.release(pool.maxThreadCount());
    finished.acquire(pool.maxThreadCount());
    // The first card also fills Qt's own caches (gradient tables, the painter's buffers).
    std::vector<std::ptrdiff_t> kept;
    for (const QSize size : {QSize(300, 200), QSize(300, 200), QSize(1200, 800)}) {
        QWidget page;
        page.resize(size + QSize(80, 80));
        VantrelTheme::setColorScheme(&page, ColorScheme::dark);
        auto* card = new GlassCard(h.preferences, 16, nullptr, &page);
        card->setGeometry(40, 40, size.width(), size.height());
        QImage frame(page.size(), QImage::Format_ARGB32_Premultiplied);
        frame.fill(Qt::black);
        const std::ptrdiff_t before = allocatedBytes();
        for (int paint = 0; paint < 3; ++paint) page.render(&frame);
        kept.push_back(allocatedBytes() - before);
    }
    EXPECT_LT(std::abs(kept[2] - kept[1]), 64 * 1024) << kept[1] << " then " << kept[2] << " bytes";
}

// A window several strips wide (a long Dock) takes its shape from every strip of its outline, the
// strips joined without a seam.
TEST(OutlineWindowShape, AWideOutlineIsShapedWholeAcrossItsStrips) {
    QPainterPath outline;
    outline.addRoundedRect(QRectF(0, 10, 1500, 60), 20, 20);
    const QRegion region = OutlineWindowShape::solidCoverage(outline);
    EXPECT_EQ(region.boundingRect(), QRect(0, 10, 1500, 60));
    for (const QPoint inside : {QPoint(511, 40), QPoint(512, 40), QPoint(1023, 10), QPoint(1024, 69),
                                QPoint(1499, 40), QPoint(750, 10)})
        EXPECT_TRUE(region.contains(inside)) << inside.x() << ", " << inside.y();
    EXPECT_FALSE(region.contains(QPoint(0, 10))) << "a rounded corner";
    EXPECT_FALSE(region.contains(QPoint(1499, 69))) << "a rounded corner";
}

TEST(VantrelButton, RepaintsAtRestFromAKeptFillThatFollowsTheStyleAndSize) {
    QWidget window;
    window.resize(300, 120);
    VantrelTheme::setColorScheme(&window, ColorScheme::dark);
    auto* button = new VantrelButton(QStringLiteral("Go"),
                                     std::make_shared<VantrelPillButtonStyle>(QColor(230, 30, 40)), &window);
    button->setGeometry(20, 20, 160, 40);
    window.show();
    // The third paint comes from the fill the second one kept; the probe sits left of the label.
    const auto third = [&] {
        QImage image;
        for (int paint = 0; paint < 3; ++paint) image = renderWidget(*button, Qt::black);
        return image;
    };
    const QImage red = third();
    const QPoint left(14, 20);
    EXPECT_GT(qRed(red.pixel(left)), qGreen(red.pixel(left)) + 60);
    const QImage again = third();
    EXPECT_EQ(again, red);

    button->setButtonStyle(std::make_shared<VantrelPillButtonStyle>(QColor(30, 210, 90)));
    const QImage green = third();
    EXPECT_GT(qGreen(green.pixel(left)), qRed(green.pixel(left)) + 60);

    button->resize(220, 40);
    const QImage wider = third();
    ASSERT_EQ(wider.width(), 220);
    // The fill reaches the new right end, where the old size's image ended.
    EXPECT_GT(qGreen(wider.pixel(200, 20)), qRed(wider.pixel(200, 20)) + 60);
}
