#include "kit/KitRender.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelSliderRow.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "settings/NotchSettingsPreview.h"
#include "settings/PlainButtonStyle.h"
#include "settings/ThemeGallery.h"
#include "settings/TintEditor.h"
#include "settings/TintEditorModel.h"
#include "support/ControlCenterHarness.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QTest>
#include <QVariantAnimation>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

ThemeGalleryContext galleryContext(
    ControlCenterHarness& c, std::function<void()> apply = [] {}) {
    return {.preferences = c.h.preferences,
            .haptics = c.haptics,
            .motion = c.views.motion,
            .appearance = c.appearance,
            .themeImages = c.views.themeImages,
            .applyPreferences = std::move(apply)};
}

} // namespace

TEST(SliderRowLayout, ARowWithoutATitleColumnStartsWithItsSlider) {
    SliderRowStyle bare;
    bare.titleWidth = 0;
    bare.spacing = 10;
    bare.valueWidth = 38;
    const SliderRowLayout layout = SliderRowLayout::of(QSizeF(378, 24), bare);
    EXPECT_EQ(layout.slider, QRectF(0, 0, 330, 24));
    EXPECT_EQ(layout.value, QRectF(340, 0, 38, 24));
    // A titled row keeps its column and spacing.
    const SliderRowLayout titled = SliderRowLayout::of(QSizeF(400, 24), SliderRowStyle{});
    EXPECT_EQ(titled.title, QRectF(0, 0, 110, 24));
    EXPECT_EQ(titled.slider, QRectF(118, 0, 400 - 110 - 54 - 16, 24));
}

TEST(ThemeGalleryPieces, TheChipIsACapsuleOfItsLabelAndFillsOnlyWhenSelected) {
    ControlCenterHarness c;
    QWidget holder;
    VantrelTheme::setColorScheme(&holder, ColorScheme::light);
    int applied = 0;
    ThemeChip neutral(ArtTheme::neutral, galleryContext(c), &holder);
    ThemeChip canyon(ArtTheme::canyonAlloy, galleryContext(c, [&applied] { ++applied; }), &holder);
    const QFontMetricsF bold(VantrelType::font(10.5, QFont::Bold));
    EXPECT_EQ(canyon.sizeHint().height(), 34);
    EXPECT_EQ(canyon.sizeHint().width(),
              int(std::ceil(2 * 11 + 8 + 6 + bold.horizontalAdvance(QStringLiteral("Canyon Alloy")))));
    EXPECT_EQ(neutral.labelFont().weight(), QFont::Bold);
    EXPECT_EQ(canyon.labelFont().weight(), QFont::DemiBold);
    EXPECT_EQ(themeChoiceInfo(ArtTheme::canyonAlloy).swatchColor(), QColor::fromRgbF(0.58f, 0.42f, 0.30f));
    EXPECT_EQ(themeChoiceInfo(ArtTheme::glacialVeil).swatchColor(), QColor::fromRgbF(0.66f, 0.75f, 0.82f));

    neutral.resize(neutral.sizeHint());
    canyon.resize(canyon.sizeHint());
    const QImage selected = renderWidget(neutral);
    const QImage plain = renderWidget(canyon);
    const QPoint inside(neutral.width() - 8, 17);
    EXPECT_GT(selected.pixelColor(inside).alpha(), 100) << "the elevated fill";
    EXPECT_EQ(plain.pixelColor(QPoint(canyon.width() - 8, 17)).alpha(), 0) << "clear inside";
    // The swatch sits at the start of the label.
    const double start =
        (canyon.width() - (8 + 6 + QFontMetricsF(canyon.labelFont()).horizontalAdvance(canyon.text()))) / 2;
    EXPECT_EQ(plain.pixelColor(QPoint(int(start + 4), 17)), QColor::fromRgbF(0.58f, 0.42f, 0.30f).rgb());

    // The selected label is drawn in the primary colour over the fill.
    const ThemeChipLayout selectedLayout = ThemeChipLayout::of(
        QSizeF(neutral.size()), QFontMetricsF(neutral.labelFont()).horizontalAdvance(neutral.text()));
    int ink = 0;
    for (int x = int(selectedLayout.label.left()); x < int(selectedLayout.label.right()); ++x)
        for (int y = 10; y < 24; ++y)
            if (selected.pixelColor(QPoint(x, y)).lightnessF() < 0.4 &&
                selected.pixelColor(QPoint(x, y)).alpha() > 128)
                ++ink;
    EXPECT_GT(ink, 20) << "the label";

    // Only the capsule takes the click: not its corners, nor just outside the curve.
    holder.show();
    QTest::mouseClick(&canyon, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(applied, 0);
    QTest::mouseClick(&canyon, Qt::LeftButton, {}, QPoint(4, 6));
    EXPECT_EQ(applied, 0);
    QTest::mouseClick(&canyon, Qt::LeftButton, {}, QPoint(6, 17));
    EXPECT_EQ(applied, 1) << "inside the curve";
    applied = 0;
    QTest::mouseClick(&canyon, Qt::LeftButton, {}, QPoint(canyon.width() / 2, 17));
    EXPECT_EQ(applied, 1);
}

TEST(ThemeGalleryPieces, TheChipsLookEasesEachColourFromPlainToSelected) {
    const auto expectColour = [](const QColor& actual, double white, double alpha, const char* what) {
        EXPECT_NEAR(actual.redF(), white, 1e-3) << what;
        EXPECT_NEAR(actual.greenF(), white, 1e-3) << what;
        EXPECT_NEAR(actual.alphaF(), alpha, 1e-3) << what;
    };
    // Dark: no fill, the border at 0.62 and the secondary text, toward the elevated fill, the
    // keyline and white.
    const ThemeChipLook plain = ThemeChipLook::of(0, ColorScheme::dark);
    expectColour(plain.fill, 1, 0, "plain fill");
    expectColour(plain.outline, 1, 0.115 * 0.62, "plain outline");
    expectColour(plain.text, 1, 0.59, "plain text");
    EXPECT_EQ(plain.boldOpacity, 0);
    const ThemeChipLook selected = ThemeChipLook::of(1, ColorScheme::dark);
    expectColour(selected.fill, 1, 0.062, "selected fill");
    expectColour(selected.outline, 1, 0.16, "selected outline");
    expectColour(selected.text, 1, 1, "selected text");
    EXPECT_EQ(selected.boldOpacity, 1);
    const ThemeChipLook half = ThemeChipLook::of(0.5, ColorScheme::dark);
    expectColour(half.fill, 1, 0.031, "half fill");
    expectColour(half.outline, 1, (0.115 * 0.62 + 0.16) / 2, "half outline");
    expectColour(half.text, 1, (0.59 + 1) / 2, "half text");
    EXPECT_EQ(half.boldOpacity, 0.5);
    // Light: black border and text, a white keyline and fill.
    const ThemeChipLook light = ThemeChipLook::of(0, ColorScheme::light);
    expectColour(light.outline, 0, 0.105 * 0.62, "light plain outline");
    expectColour(light.text, 0, 0.6, "light plain text");
    const ThemeChipLook lightSelected = ThemeChipLook::of(1, ColorScheme::light);
    expectColour(lightSelected.fill, 1, 0.6, "light selected fill");
    expectColour(lightSelected.outline, 1, 0.92, "light selected outline");
    expectColour(lightSelected.text, 0, 1, "light selected text");
    // Past either end it holds there.
    EXPECT_EQ(ThemeChipLook::of(1.4, ColorScheme::dark).fill, selected.fill);
    EXPECT_EQ(ThemeChipLook::of(-0.3, ColorScheme::dark).text, plain.text);
}

TEST(ThemeGalleryPieces, TheChipCentresItsEightPointSwatchAndLabelSixApartInItsCapsule) {
    const ThemeChipLayout layout = ThemeChipLayout::of(QSizeF(120, 34), 80);
    EXPECT_EQ(layout.capsule, QRectF(0.5, 0.5, 119, 33));
    EXPECT_DOUBLE_EQ(layout.radius, 16.5);
    // 8 + 6 + 80 = 94 wide together, 13 in from each side.
    EXPECT_EQ(layout.swatch, QRectF(13, 13, 8, 8));
    EXPECT_EQ(layout.label, QRectF(27, 0, 81, 34));
    const ThemeChipLayout wide = ThemeChipLayout::of(QSizeF(200, 34), 40);
    EXPECT_EQ(wide.swatch, QRectF(73, 13, 8, 8));
    EXPECT_DOUBLE_EQ(wide.label.left(), 87);
    // The label in 10.5 points: semibold, bold once selected.
    EXPECT_DOUBLE_EQ(VantrelType::pixelSize(ThemeChip::labelFont(false)), 10.5);
    EXPECT_EQ(ThemeChip::labelFont(false).weight(), QFont::DemiBold);
    EXPECT_DOUBLE_EQ(VantrelType::pixelSize(ThemeChip::labelFont(true)), 10.5);
    EXPECT_EQ(ThemeChip::labelFont(true).weight(), QFont::Bold);
}

TEST(ThemeGalleryPieces, TheHeroIsItsFixedCardWithTheNeutralGradientsAndShade) {
    ControlCenterHarness c;
    ThemeHero hero(galleryContext(c));
    EXPECT_EQ(hero.size(), QSize(330, 176));
    const QImage dark = renderWidget(hero);
    // Dark: from (0.08, 0.09, 0.11) at the top left toward black; the bottom is shaded further.
    const QColor topLeft = dark.pixelColor(QPoint(24, 12));
    EXPECT_NEAR(topLeft.redF(), 0.08, 0.03);
    EXPECT_NEAR(topLeft.blueF(), 0.11, 0.03);
    EXPECT_EQ(dark.pixelColor(QPoint(0, 0)).alpha(), 0) << "the rounded corner is clipped";
    c.h.preferences.setAppearanceMode(AppearanceMode::light);
    const QImage light = renderWidget(hero);
    EXPECT_GT(light.pixelColor(QPoint(24, 12)).lightnessF(), 0.95) << "light starts white";
    EXPECT_LT(light.pixelColor(QPoint(300, 170)).lightnessF(), light.pixelColor(QPoint(300, 60)).lightnessF())
        << "the shade darkens the bottom";
    // The title is white over the shade.
    int white = 0;
    for (int x = 15; x < 120; ++x)
        if (light.pixelColor(QPoint(x, 176 - 15 - 20)).lightnessF() > 0.9) ++white;
    EXPECT_GT(white, 5);
}

TEST(TintEditorPieces, TheWellShowsItsColourAndTheTextButtonsTheirs) {
    ControlCenterHarness c;
    VantrelPreferences* store = &c.h.preferences;
    TintEditorModel model({.wellLabel = QStringLiteral("Background hue"),
                           .defaultStatus = QStringLiteral("Theme default"),
                           .saveLabel = QStringLiteral("Save background hue"),
                           .resetHelp = QStringLiteral("help")},
                          {.tint = [store] { return store->backgroundTint(); },
                           .setTint = [store](BackgroundTint tint) { store->setBackgroundTint(tint); },
                           .enabled = [store] { return store->customBackgroundTintEnabled(); },
                           .setEnabled = [store](bool on) { store->setCustomBackgroundTintEnabled(on); }},
                          c.haptics);
    QWidget holder;
    VantrelTheme::setColorScheme(&holder, ColorScheme::dark);
    TintEditor editor(model, c.h.preferences, c.haptics, c.views.motion, c.views.colorPicker, &holder);
    holder.resize(500, 40);
    editor.resize(500, 40);
    holder.show();
    EXPECT_EQ(editor.well()->sizeHint(), QSize(44, 24));
    EXPECT_EQ(editor.findChild<TextButton*>(QStringLiteral("reset")), editor.resetButton());
    EXPECT_EQ(editor.findChild<TextButton*>(QStringLiteral("cancel")), editor.cancelButton());
    EXPECT_EQ(editor.findChild<VantrelButton*>(QStringLiteral("saveColor")), editor.saveButton());
    EXPECT_EQ(editor.saveButton()->text(), QStringLiteral("Save color"));
    EXPECT_EQ(editor.cancelButton()->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(editor.resetButton()->text(), QStringLiteral("Reset"));
    EXPECT_EQ(editor.well()->pos(), QPoint(0, (40 - 24) / 2)) << "the row starts with the well";
    const QImage image = renderWidget(*editor.well());
    EXPECT_EQ(image.pixelColor(QPoint(22, 12)), TintEditorModel::color(BackgroundTint()).rgb());
    // The well's frame runs along its very edge, around the swatch.
    EXPECT_GT(image.pixelColor(QPoint(0, 12)).alpha(), 0);
    EXPECT_GT(image.pixelColor(QPoint(43, 12)).alpha(), 0);
    EXPECT_NE(image.pixelColor(QPoint(1, 12)).rgb(), image.pixelColor(QPoint(22, 12)).rgb());
    EXPECT_EQ(image.pixelColor(QPoint(5, 12)).rgb(), image.pixelColor(QPoint(22, 12)).rgb())
        << "the swatch fills all but a 3.5-point border";
    EXPECT_EQ(editor.cancelButton()->color(), VantrelTheme::secondaryText().dark);
    c.h.preferences.setCustomBackgroundTintEnabled(true);
    EXPECT_EQ(editor.resetButton()->color(), VantrelTheme::accent(Accent::graphite));
    c.h.preferences.setAccent(Accent::coral);
    EXPECT_EQ(editor.resetButton()->color(), VantrelTheme::accent(Accent::coral)) << "the accent follows";
    // Saving without a pending colour does nothing.
    const qsizetype mark = c.mark();
    model.save();
    EXPECT_EQ(c.callsSince(mark), QStringList());
    model.setPending(QColor());
    EXPECT_FALSE(model.pending().has_value()) << "an invalid colour is no choice";
}

TEST(TintEditorPieces, AFocusedTextButtonShowsItsWholeTwoPointRingInsideItsOwnBounds) {
    TextButton reset(QStringLiteral("Reset"));
    reset.setColor(Qt::black);
    reset.resize(reset.sizeHint());
    reset.show();
    QApplication::setActiveWindow(&reset);
    // The focus it took with its window shows no ring; reached with Tab it does.
    reset.clearFocus();
    reset.setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(reset.hasFocus());
    const QImage look = renderWidget(reset);
    // Keyboard focus must be seen: the ring is 2 wide on every side, none of it clipped away.
    for (const QPoint& ring : innerRingProbes(look))
        EXPECT_GT(qAlpha(look.pixel(ring)), 200) << ring.x() << "," << ring.y();
}

TEST(NotchPreviewPieces, TheTintGlowsFromTheBottomLeadingCornerOnlyWhileActive) {
    ControlCenterHarness c;
    c.h.preferences.setNotchAppearance(NotchAppearance::midnight);
    c.h.preferences.setNotchSize(NotchSize::large);
    c.h.preferences.setBackgroundTint(BackgroundTint(1, 0, 0));
    c.h.preferences.setThemeColorAmount(1);
    NotchSettingsPreview preview(c.h.preferences, c.views.themeImages, c.views.motion);
    preview.resize(795, 294);
    const QRectF notch = preview.geometry().notchRect(795);
    const QPoint corner(int(notch.left() + 30), int(notch.bottom() - 6));
    const QImage without = renderWidget(preview, Qt::black);
    c.h.preferences.setCustomBackgroundTintEnabled(true);
    preview.lookAnimation()->setCurrentTime(preview.lookAnimation()->duration());
    const QImage with = renderWidget(preview, Qt::black);
    EXPECT_GT(with.pixelColor(corner).red(), without.pixelColor(corner).red() + 15);
    EXPECT_LT(with.pixelColor(corner).red(), without.pixelColor(corner).red() + 60) << "at 0.18 at most";
    EXPECT_LT(with.pixelColor(corner).green(), 20);
    // Far from the corner, the glow has faded out.
    const QPoint far(int(notch.right() - 30), int(notch.bottom() - 6));
    EXPECT_LE(std::abs(with.pixelColor(far).red() - without.pixelColor(far).red()), 6);
    // The outline is stroked faintly in midnight.
    EXPECT_EQ(preview.look().material, NotchAppearance::midnight);
}

TEST(ThemeGalleryPieces, EachThemesTitleCaptionAndAccent) {
    const char* captions[] = {"Quiet graphite", "Mineral glass", "Frosted silver", "Calm motion",
                              "Warm calm motion"};
    const Accent accents[] = {Accent::graphite, Accent::graphite, Accent::sky, Accent::indigo, Accent::sand};
    for (const ArtTheme theme : allCasesOf<ArtTheme>()) {
        EXPECT_STREQ(themeChoiceInfo(theme).caption, captions[int(theme)]);
        EXPECT_EQ(themeChoiceInfo(theme).accent, accents[int(theme)]);
        EXPECT_EQ(themeChoiceInfo(theme).theme, theme);
    }
    EXPECT_EQ(themeChoiceInfo(ArtTheme::neutral).swatchColor(), QColor::fromRgbF(0.54f, 0.58f, 0.64f));
    EXPECT_EQ(themeChoiceInfo(ArtTheme::obsidianFold).swatchColor(), QColor::fromRgbF(0.25f, 0.29f, 0.34f));
    EXPECT_EQ(themeChoiceInfo(ArtTheme::midnightCurrent).swatchColor(),
              QColor::fromRgbF(0.25f, 0.39f, 0.58f));
    EXPECT_EQ(themeChoiceInfo(ArtTheme::glacialVeil).swatchColor(), QColor::fromRgbF(0.66f, 0.75f, 0.82f));
    EXPECT_EQ(themeChoiceInfo(ArtTheme::canyonAlloy).swatchColor(), QColor::fromRgbF(0.58f, 0.42f, 0.30f));
}

TEST(ThemeGalleryPieces, TheHeroStandsItsTextsAndCheckMarkOnAFifteenPointInset) {
    // A title of 20 and a caption of 13: a column of 35, standing on 176 - 15.
    const ThemeHeroLayout tall = ThemeHeroLayout::of(20, 13);
    EXPECT_EQ(tall.title, QRectF(15, 126, 330 - 30 - 24 - 8, 20));
    EXPECT_EQ(tall.caption, QRectF(15, 148, 268, 13));
    EXPECT_EQ(tall.glyph, QRectF(330 - 15 - 24, 126 + (35 - 24) / 2.0, 24, 24));
    // Texts lower than the 24-point check mark are centred on it.
    const ThemeHeroLayout low = ThemeHeroLayout::of(10, 8);
    EXPECT_EQ(low.glyph, QRectF(291, 137, 24, 24));
    EXPECT_EQ(low.title, QRectF(15, 139, 268, 10));
    EXPECT_EQ(low.caption, QRectF(15, 151, 268, 8));

    EXPECT_EQ(ThemeHero::titleFont(), VantrelType::font(17, QFont::Bold));
    EXPECT_EQ(ThemeHero::captionFont(), VantrelType::font(10.5, QFont::Medium));
    const QGradientStops dark = ThemeHero::neutralStops(true);
    ASSERT_EQ(dark.size(), 2);
    EXPECT_EQ(dark[0], (QGradientStop{0, QColor::fromRgbF(0.08f, 0.09f, 0.11f)}));
    EXPECT_EQ(dark[1], (QGradientStop{1, QColor(Qt::black)}));
    const QGradientStops light = ThemeHero::neutralStops(false);
    ASSERT_EQ(light.size(), 2);
    EXPECT_EQ(light[0], (QGradientStop{0, QColor(Qt::white)}));
    EXPECT_EQ(light[1], (QGradientStop{1, QColor::fromRgbF(0.84f, 0.86f, 0.89f)}));
    const QGradientStops shade = ThemeHero::shadeStops();
    ASSERT_EQ(shade.size(), 2);
    EXPECT_EQ(shade[0].first, 0);
    EXPECT_EQ(shade[0].second.alpha(), 0);
    EXPECT_EQ(shade[1].first, 1);
    EXPECT_EQ(shade[1].second.rgb(), QColor(Qt::black).rgb());
    EXPECT_NEAR(shade[1].second.alphaF(), 0.62, 1e-3);

    const VantrelShadow::Look shadow = ThemeGallery::shadowLook(ColorScheme::dark);
    EXPECT_EQ(shadow.radius, 16);
    EXPECT_EQ(shadow.offset, QPointF(0, 8));
    EXPECT_EQ(shadow.color, VantrelTheme::shadow().dark);
    EXPECT_EQ(ThemeGallery::shadowLook(ColorScheme::light).color, VantrelTheme::shadow().light);
}

TEST(ThemeGalleryPieces, AtTheStartOfTheCrossFadeTheOldCardStillShows) {
    ControlCenterHarness c;
    c.h.preferences.setAppearanceMode(AppearanceMode::light);
    ThemeHero hero(galleryContext(c));
    const QColor neutralTop = renderWidget(hero).pixelColor(QPoint(40, 20));
    c.h.preferences.setArtTheme(ArtTheme::canyonAlloy);
    hero.crossFade()->setCurrentTime(0);
    EXPECT_EQ(renderWidget(hero).pixelColor(QPoint(40, 20)), neutralTop);
    hero.crossFade()->setCurrentTime(hero.crossFade()->duration());
    EXPECT_NE(renderWidget(hero).pixelColor(QPoint(40, 20)), neutralTop) << "the new artwork once faded in";
}

TEST(NotchPreviewPieces, TheBridgeHasSquareTopCornersAndTheHeaderItsTileAndBars) {
    ControlCenterHarness c;
    c.h.preferences.setNotchSize(NotchSize::large);
    NotchSettingsPreview preview(c.h.preferences, c.views.themeImages, c.views.motion);
    preview.resize(795, 294);
    const NotchPreviewGeometry g = preview.geometry();
    const QRectF notch = g.notchRect(795);
    const QImage image = renderWidget(preview, Qt::black);
    const double bridgeLeft = 795 / 2.0 - g.compactSize.width() / 2;
    EXPECT_LT(image.pixelColor(QPoint(int(bridgeLeft + 1), int(notch.top() + 1))).lightnessF(), 0.05)
        << "square at the top";
    // The mirror glass body: pale, with a lilac middle.
    const QColor middle = image.pixelColor(QPoint(int(notch.right() - 120), int(notch.bottom() - 10)));
    EXPECT_GT(middle.lightnessF(), 0.6);
    EXPECT_GT(middle.blue(), middle.green() + 4);
    // The title bar is 92 long and 7 high, the subtitle bar under it; beside them the glass.
    const QRectF header = g.headerRect(795);
    const double left = header.left() + g.tile + 10;
    const double top = header.center().y() - 8;
    EXPECT_LT(image.pixelColor(QPoint(int(left + 90), int(top + 3))).lightnessF(), 0.5);
    EXPECT_GT(image.pixelColor(QPoint(int(left + 94), int(top + 3))).lightnessF(), 0.6);
    EXPECT_GT(image.pixelColor(QPoint(int(left + 40), int(top - 2))).lightnessF(), 0.6);
    EXPECT_LT(image.pixelColor(QPoint(int(left + 30), int(top + 13))).lightnessF(), 0.6);
    EXPECT_GT(image.pixelColor(QPoint(int(left + 70), int(top + 13))).lightnessF(), 0.6) << "64 long";
    // The subtitle bar starts 4 under the 7-high title bar and is 5 high: its first row is darker
    // than the row just under it.
    EXPECT_GT(image.pixelColor(QPoint(int(left + 30), int(top + 9))).lightnessF(), 0.6) << "the gap";
    EXPECT_LT(image.pixelColor(QPoint(int(left + 30), int(top + 11))).lightnessF(),
              image.pixelColor(QPoint(int(left + 30), int(top + 17))).lightnessF() - 0.1);
}

TEST(NotchPreviewPieces, TheArtworkShowsFaintlyOnlyForAThemeWithArtwork) {
    ControlCenterHarness c;
    c.h.preferences.setNotchSize(NotchSize::large);
    c.h.preferences.setNotchAppearance(NotchAppearance::midnight);
    c.h.preferences.setThemeColorAmount(1);
    NotchSettingsPreview preview(c.h.preferences, c.views.themeImages, c.views.motion);
    preview.resize(795, 294);
    const QRectF notch = preview.geometry().notchRect(795);
    const QRect body(int(notch.left() + 40), int(notch.bottom() - 14), int(notch.width() - 80), 8);
    const auto brightness = [&preview, &body] {
        preview.lookAnimation()->setCurrentTime(preview.lookAnimation()->duration());
        const QImage image = renderWidget(preview, Qt::black);
        double sum = 0;
        for (int y = body.top(); y <= body.bottom(); ++y)
            for (int x = body.left(); x <= body.right(); ++x) sum += image.pixelColor(x, y).lightnessF();
        return sum / (body.width() * body.height());
    };
    const double plain = brightness();
    c.h.preferences.setArtTheme(ArtTheme::canyonAlloy);
    const double art = brightness();
    EXPECT_GT(art, plain + 0.01) << "the canyon artwork lightens the black a little";
    EXPECT_LT(art, plain + 0.25) << "at 0.26 at most";
}

TEST(PlainButtonStyle, OnlyTheTextIsDrawnInItsColourDimmedWhilePressed) {
    const AdaptiveColor tint{QColor(10, 132, 255), QColor(0, 122, 255)};
    const PlainButtonStyle style(tint);
    for (const ColorScheme scheme : {ColorScheme::dark, ColorScheme::light}) {
        const ButtonLook released = style.look(0, scheme);
        EXPECT_EQ(released.fillStart.alpha(), 0);
        EXPECT_EQ(released.fillEnd.alpha(), 0);
        EXPECT_EQ(released.outline.alpha(), 0);
        EXPECT_EQ(released.foreground, tint.resolve(scheme));
        EXPECT_EQ(released.font, VantrelType::button());
        const ButtonLook pressed = style.look(1, scheme);
        EXPECT_EQ(pressed.foreground.rgb(), tint.resolve(scheme).rgb());
        EXPECT_LT(pressed.foreground.alphaF(), 0.75) << "visibly dimmed while held";
        EXPECT_GT(pressed.foreground.alphaF(), 0.25) << "yet still readable";
        EXPECT_GT(style.look(0.5, scheme).foreground.alphaF(), pressed.foreground.alphaF());
        EXPECT_EQ(pressed.horizontalPadding, released.horizontalPadding) << "a press does not move the text";
    }
}
