#include "kit/KitPaint.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"

#include "KitRender.h"

#include <QApplication>
#include <QFontInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>
#include <gtest/gtest.h>

using namespace vantrel;

namespace {

struct Rgba {
    double r, g, b, a;
};

void expectColor(const QColor& actual, Rgba expected, const char* what) {
    EXPECT_NEAR(actual.redF(), expected.r, 1e-4) << what;
    EXPECT_NEAR(actual.greenF(), expected.g, 1e-4) << what;
    EXPECT_NEAR(actual.blueF(), expected.b, 1e-4) << what;
    EXPECT_NEAR(actual.alphaF(), expected.a, 1e-4) << what;
}

constexpr Rgba white(double a) {
    return {1, 1, 1, a};
}
constexpr Rgba black(double a) {
    return {0, 0, 0, a};
}

} // namespace

TEST(VantrelTheme, NamedColoursResolveToTheirDarkAndLightValues) {
    const struct {
        const char* name;
        const AdaptiveColor& color;
        Rgba dark, light;
    } rows[] = {
        {"canvasTop", VantrelTheme::canvasTop(), {0.038, 0.044, 0.057, 1}, {0.965, 0.968, 0.972, 1}},
        {"canvasMiddle", VantrelTheme::canvasMiddle(), {0.019, 0.023, 0.031, 1}, {0.93, 0.938, 0.948, 1}},
        {"canvasBottom", VantrelTheme::canvasBottom(), {0.007, 0.008, 0.012, 1}, {0.895, 0.906, 0.92, 1}},
        {"elevated", VantrelTheme::elevated(), white(0.062), white(0.6)},
        {"border", VantrelTheme::border(), white(0.115), black(0.105)},
        {"keyline", VantrelTheme::keyline(), white(0.16), white(0.92)},
        {"surfaceHighlight", VantrelTheme::surfaceHighlight(), white(1), white(1)},
        {"secondaryText", VantrelTheme::secondaryText(), white(0.59), black(0.6)},
        {"tertiaryText", VantrelTheme::tertiaryText(), white(0.38), black(0.4)},
        {"surface", VantrelTheme::surface(), {0.035, 0.04, 0.052, 1}, {0.985, 0.987, 0.99, 1}},
        {"recessed", VantrelTheme::recessed(), black(0.22), black(0.035)},
        {"shadow", VantrelTheme::shadow(), black(0.38), black(0.16)},
        {"dormant", VantrelTheme::dormant(), white(0.42), black(0.4)},
    };
    for (const auto& row : rows) {
        expectColor(row.color.resolve(ColorScheme::dark), row.dark, row.name);
        expectColor(row.color.resolve(ColorScheme::light), row.light, row.name);
    }

    // A widget draws in the appearance its nearest ancestor names; none, or a name that is no
    // appearance, draws the light values.
    QWidget window, unnamed;
    QWidget* child = new QWidget(new QWidget(&window));
    expectColor(VantrelTheme::keyline().resolve(child), white(0.92), "no appearance");
    VantrelTheme::setColorScheme(&window, ColorScheme::dark);
    expectColor(VantrelTheme::keyline().resolve(child), white(0.16), "dark window");
    EXPECT_EQ(VantrelTheme::colorScheme(child), ColorScheme::dark);
    VantrelTheme::setColorScheme(child, ColorScheme::light);
    EXPECT_EQ(VantrelTheme::colorScheme(child), ColorScheme::light);
    unnamed.setProperty("vantrelColorScheme", QStringLiteral("darkAqua"));
    EXPECT_EQ(VantrelTheme::colorScheme(&unnamed), ColorScheme::light);
    EXPECT_EQ(VantrelTheme::colorScheme(nullptr), ColorScheme::light);
}

TEST(VantrelTheme, FixedAccentAndDockColours) {
    expectColor(VantrelTheme::blueLight(), {0.37, 0.58, 0.88, 1}, "blueLight");
    const BackgroundTint defaultTint;
    expectColor(VantrelTheme::blueLight(), {defaultTint.red, defaultTint.green, defaultTint.blue, 1},
                "default tint");
    expectColor(VantrelTheme::caution(), {0.95, 0.68, 0.3, 1}, "caution");

    const struct {
        Accent accent;
        Rgba rgb;
    } accents[] = {
        {Accent::sky, {0.18, 0.67, 1.0, 1}},       {Accent::violet, {0.67, 0.43, 1.0, 1}},
        {Accent::mint, {0.17, 0.9, 0.72, 1}},      {Accent::coral, {1.0, 0.4, 0.45, 1}},
        {Accent::graphite, {0.64, 0.72, 0.84, 1}}, {Accent::amber, {1.0, 0.75, 0.28, 1}},
        {Accent::rose, {1.0, 0.48, 0.72, 1}},      {Accent::teal, {0.22, 0.78, 0.85, 1}},
        {Accent::emerald, {0.3, 0.85, 0.46, 1}},   {Accent::indigo, {0.46, 0.52, 1.0, 1}},
        {Accent::crimson, {1.0, 0.36, 0.36, 1}},   {Accent::sand, {0.88, 0.79, 0.62, 1}},
    };
    ASSERT_EQ(std::size(accents), allCasesOf<Accent>().size());
    for (const auto& row : accents)
        expectColor(VantrelTheme::accent(row.accent), row.rgb, rawName(row.accent));

    const struct {
        DockTint tint;
        Rgba rgb;
    } tints[] = {
        {DockTint::graphite, {0.055, 0.065, 0.085, 1}},
        {DockTint::ink, {0.02, 0.02, 0.03, 1}},
        {DockTint::slate, {0.1, 0.13, 0.17, 1}},
        {DockTint::warm, {0.12, 0.09, 0.07, 1}},
    };
    for (const auto& row : tints)
        for (Accent accent : allCasesOf<Accent>())
            expectColor(VantrelTheme::dockTint(row.tint, accent), row.rgb, rawName(row.tint));
    expectColor(VantrelTheme::dockTint(DockTint::accent, Accent::sky), {0.18, 0.67, 1.0, 0.55}, "accent sky");
    expectColor(VantrelTheme::dockTint(DockTint::accent, Accent::sand), {0.88, 0.79, 0.62, 0.55},
                "accent sand");

    expectColor(VantrelTheme::withOpacity(QColor::fromRgbF(1, 0, 0, 0.5f), 0.5), {1, 0, 0, 0.25}, "opacity");
    expectColor(VantrelTheme::withOpacity(Qt::white, 3), white(1), "opacity above 1");
    expectColor(VantrelTheme::primary(ColorScheme::dark), white(1), "primary dark");
    expectColor(VantrelTheme::primary(ColorScheme::light), black(1), "primary light");
}

TEST(VantrelType, EightFontsOfTheInstalledFamilyAtTheirSizesAndWeights) {
    const struct {
        const char* name;
        const QFont& font;
        double pixels;
        QFont::Weight weight;
    } rows[] = {
        {"overline", VantrelType::overline(), 9, QFont::Bold},
        {"pageTitle", VantrelType::pageTitle(), 38, QFont::ExtraBold},
        {"sectionTitle", VantrelType::sectionTitle(), 15, QFont::Bold},
        {"subtitle", VantrelType::subtitle(), 14, QFont::Normal},
        {"body", VantrelType::body(), 12.5, QFont::Normal},
        {"label", VantrelType::label(), 12, QFont::DemiBold},
        {"caption", VantrelType::caption(), 10.5, QFont::Normal},
        {"button", VantrelType::button(), 12.5, QFont::Bold},
    };
    for (const auto& row : rows) {
        EXPECT_NEAR(VantrelType::pixelSize(row.font), row.pixels, 1e-9) << row.name;
        EXPECT_EQ(row.font.weight(), row.weight) << row.name;
        EXPECT_EQ(row.font.family(), QStringLiteral("Inter")) << row.name;
        // The family is installed by the setup script, so nothing falls back to another one.
        EXPECT_EQ(QFontInfo(row.font).family(), QStringLiteral("Inter")) << row.name;
    }
    // The fonts are shared, not rebuilt per use.
    EXPECT_EQ(&VantrelType::body(), &VantrelType::body());
}

TEST(VantrelTheme, QtMenusTakeTheThemesColoursAndFontInBothAppearances) {
    // A window's menu bar and its menu made before the theme is applied, a pop-up menu after.
    QMainWindow window;
    QMenu* command = window.menuBar()->addMenu(QStringLiteral("Vantrel"));
    command->addAction(QStringLiteral("Open Notch"));
    command->addAction(QStringLiteral("Start Timer"))->setEnabled(false);
    QMenu tray;
    tray.addAction(QStringLiteral("Quit Vantrel"));
    const QColor blue = VantrelTheme::accent(Accent::sky);
    QList<QImage> sheet;
    struct Expected {
        ColorScheme scheme;
        Rgba surface;
        Rgba text;
        Rgba disabled;
    };
    // Disabled items: the tertiary text (white at 0.38, black at 0.4) as it shows on the surface.
    for (const Expected& e :
         {Expected{ColorScheme::dark, {0.035, 0.04, 0.052, 1}, white(1), {0.4017, 0.4048, 0.41224, 1}},
          Expected{ColorScheme::light, {0.985, 0.987, 0.99, 1}, black(1), {0.591, 0.5922, 0.594, 1}}}) {
        SCOPED_TRACE(rawValue(e.scheme).toStdString());
        VantrelTheme::applyToMenus(e.scheme, blue);
        QMenu picker;
        picker.addAction(QStringLiteral("Balanced"));
        picker.ensurePolished();
        for (QWidget* menu : std::initializer_list<QWidget*>{window.menuBar(), command, &tray, &picker}) {
            SCOPED_TRACE(menu == &picker   ? "picker"
                         : menu == &tray   ? "tray"
                         : menu == command ? "menu"
                                           : "bar");
            const QPalette p = menu->palette();
            expectColor(p.color(QPalette::Window), e.surface, "background");
            expectColor(p.color(QPalette::WindowText), e.text, "text");
            expectColor(p.color(QPalette::Text), e.text, "item text");
            // The item under the pointer: white text on the accent deepened to read at 4.5:1.
            EXPECT_EQ(p.color(QPalette::HighlightedText), QColor(Qt::white));
            EXPECT_GE(KitPaint::contrastRatio(p.color(QPalette::Highlight), Qt::white), 4.5);
            EXPECT_NEAR(p.color(QPalette::Highlight).hueF(), blue.hueF(), 0.02);
            // Disabled items in the tertiary tone over the surface: between the text and the surface.
            const QColor disabled = p.color(QPalette::Disabled, QPalette::Text);
            EXPECT_NEAR(disabled.redF(), e.disabled.r, 2e-3);
            EXPECT_NEAR(disabled.greenF(), e.disabled.g, 2e-3);
            EXPECT_NEAR(disabled.blueF(), e.disabled.b, 2e-3);
            EXPECT_EQ(QFontInfo(menu->font()).family(), QStringLiteral("Inter"));
            EXPECT_EQ(menu->font(), VantrelType::font(13, QFont::Normal));
        }
        // Drawn, the menu's background is the surface.
        command->adjustSize();
        const QImage image = vantrel::test::renderWidget(*command);
        const QColor middle = image.pixelColor(image.width() - 4, image.height() / 2);
        EXPECT_NEAR(middle.redF(), e.surface.r, 0.02);
        EXPECT_NEAR(middle.blueF(), e.surface.b, 0.02);
        sheet << image;
    }
    vantrel::test::saveSheet(QStringLiteral("menus"), sheet, 2);
}
