#include "control-center/PageFactory.h"
#include "control-center/RootView.h"
#include "kit/KitRender.h"
#include "kit/VantrelTheme.h"
#include "settings/AppearancePage.h"
#include "settings/NotchSettingsPreview.h"
#include "settings/ThemeGallery.h"
#include "settings/TintEditor.h"
#include "support/ControlCenterHarness.h"

#include <QLayout>
#include <QPainter>
#include <QVariantAnimation>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// The window on `section`'s page, tall enough to show the whole page.
QImage window(VantrelSection section, int width, AppearanceMode mode,
              const std::function<void(ControlCenterHarness&)>& setUp = {}) {
    ControlCenterHarness c;
    c.h.preferences.setHasCompletedOnboarding(true);
    c.h.preferences.setAppearanceMode(mode);
    if (setUp) setUp(c);
    c.sections.select(section);
    RootView root(c.context());
    root.resize(width, 1250);
    root.show();
    return renderWidget(root, Qt::black);
}

} // namespace

TEST(SettingsSheets, TheAppearancePageInBothAppearancesAtTwoWidths) {
    QList<QImage> images;
    for (AppearanceMode mode : {AppearanceMode::dark, AppearanceMode::light})
        for (int width : {720, 1200}) images.append(window(VantrelSection::appearance, width, mode));
    // A saved hue on a recoloured theme, with a colour waiting to be saved in the icon editor.
    images.append(window(VantrelSection::appearance, 1200, AppearanceMode::dark, [](ControlCenterHarness& c) {
        c.h.preferences.setArtTheme(ArtTheme::glacialVeil);
        c.h.preferences.setAccent(Accent::sky);
        c.h.preferences.setBackgroundTint(BackgroundTint(0.85, 0.35, 0.55));
        c.h.preferences.setCustomBackgroundTintEnabled(true);
    }));
    saveSheet(QStringLiteral("settings-appearance"), images, 2);
    for (const QImage& image : images) EXPECT_GT(paintedPixels(image, QRect(0, 0, 60, 60)), 0);
}

TEST(SettingsSheets, TheChipsAndTheBackgroundResetAtTheStartMiddleAndEndOfTheirTransitions) {
    ControlCenterHarness c;
    c.h.preferences.setBackgroundTint(BackgroundTint(0.2, 0.4, 0.6));
    c.h.preferences.setCustomBackgroundTintEnabled(true);
    std::unique_ptr<QWidget> made(PageFactory(c.context()).makePage(VantrelSection::appearance));
    auto* page = static_cast<AppearancePage*>(made.get());
    VantrelTheme::setColorScheme(page, ColorScheme::dark);
    page->resize(1000, 1200);
    page->show();
    const QColor backdrop(18, 20, 26);
    QList<QImage> images;
    ThemeGallery& gallery = *page->gallery();
    gallery.chip(ArtTheme::glacialVeil)->click();
    for (int ms : {0, 90, 180}) {
        for (const ArtTheme theme : {ArtTheme::neutral, ArtTheme::glacialVeil})
            gallery.chip(theme)->selectionAnimation()->setCurrentTime(ms);
        gallery.hero()->crossFade()->setCurrentTime(ms * 240 / 180);
        images.append(renderWidget(gallery, backdrop));
    }
    TintEditor& editor = *page->backgroundEditor();
    editor.well()->click();
    c.views.colorPicker.choose(QColor::fromRgbF(0.95f, 0.3f, 0.2f));
    // The row takes its pending shape (as one turn of the event loop does) before Reset is pressed.
    for (int pass = 0; pass < 4; ++pass) QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const auto editorCell = [&] {
        QImage cell(gallery.width(), editor.height() + 24, QImage::Format_ARGB32_Premultiplied);
        cell.fill(backdrop);
        QPainter painter(&cell);
        painter.drawImage(QPoint(12, 12), renderWidget(editor, backdrop));
        painter.end();
        return cell;
    };
    const QImage pending = editorCell();
    editor.resetButton()->click();
    for (int ms : {0, 90, 180}) {
        editor.resetTransition()->setCurrentTime(ms);
        images.append(editorCell());
    }
    // Last, alone: the pending row as it was when Reset was pressed.
    images.append(pending);
    saveSheet(QStringLiteral("settings-appearance-transitions"), images, 3);
    EXPECT_NE(images[5], pending) << "Reset took the buttons away";
    EXPECT_NE(images[0], images[2]) << "the chips changed";
    EXPECT_NE(images[3], images[5]) << "the editor changed";
}

TEST(SettingsSheets, TheNotchPageWithAndWithoutANotch) {
    QList<QImage> images;
    for (AppearanceMode mode : {AppearanceMode::dark, AppearanceMode::light})
        for (int width : {720, 1200}) images.append(window(VantrelSection::notch, width, mode));
    const auto noNotch = [](ControlCenterHarness& c) {
        const ScreenInfo plain = plainScreen(1, QRect(0, 0, 1512, 982));
        c.h.screens.set({plain}, plain);
        c.h.displays.refreshActiveDisplay();
    };
    images.append(window(VantrelSection::notch, 1200, AppearanceMode::dark, noNotch));
    images.append(window(VantrelSection::notch, 720, AppearanceMode::light, noNotch));
    saveSheet(QStringLiteral("settings-notch"), images, 2);
    for (const QImage& image : images) EXPECT_GT(paintedPixels(image, QRect(0, 0, 60, 60)), 0);
}

TEST(SettingsSheets, EachThemesHeroDarkAndLight) {
    QList<QImage> images;
    for (const bool dark : {true, false}) {
        for (const ArtTheme theme : allCasesOf<ArtTheme>()) {
            ControlCenterHarness c;
            c.h.preferences.setAppearanceMode(dark ? AppearanceMode::dark : AppearanceMode::light);
            c.h.preferences.setArtTheme(theme);
            QWidget holder;
            VantrelTheme::setColorScheme(&holder, dark ? ColorScheme::dark : ColorScheme::light);
            ThemeGallery gallery({.preferences = c.h.preferences,
                                  .haptics = c.haptics,
                                  .motion = c.views.motion,
                                  .appearance = c.appearance,
                                  .themeImages = c.views.themeImages,
                                  .applyPreferences = [] {}},
                                 &holder);
            holder.resize(600, 250);
            gallery.resize(600, 250);
            holder.show();
            images.append(renderWidget(holder, dark ? QColor(20, 22, 26) : QColor(238, 240, 243)));
        }
    }
    // A saved hue recolours the artwork themes.
    for (const ArtTheme theme : {ArtTheme::glacialVeil, ArtTheme::canyonAlloy}) {
        ControlCenterHarness c;
        c.h.preferences.setArtTheme(theme);
        c.h.preferences.setBackgroundTint(BackgroundTint(0.9, 0.25, 0.5));
        c.h.preferences.setCustomBackgroundTintEnabled(true);
        c.h.preferences.setThemeColorAmount(0.9);
        ThemeHero hero({.preferences = c.h.preferences,
                        .haptics = c.haptics,
                        .motion = c.views.motion,
                        .appearance = c.appearance,
                        .themeImages = c.views.themeImages,
                        .applyPreferences = [] {}});
        images.append(renderWidget(hero, QColor(20, 22, 26)));
    }
    saveSheet(QStringLiteral("settings-theme-heroes"), images, 5);
    // Dark neutral is near black at its bottom right; light neutral is pale at its top left.
    const QPoint heroOrigin((600 - 330) / 2, 0);
    EXPECT_LT(images[0].pixelColor(heroOrigin + QPoint(320, 120)).lightnessF(), 0.1);
    EXPECT_GT(images[5].pixelColor(heroOrigin + QPoint(30, 20)).lightnessF(), 0.85);
}

TEST(SettingsSheets, ThePreviewCollapsedAndExpandedInBothMaterialsAndSizes) {
    QList<QImage> images;
    for (const NotchAppearance material : {NotchAppearance::crystal, NotchAppearance::midnight}) {
        for (const NotchSize size : {NotchSize::small, NotchSize::large}) {
            for (const bool expanded : {true, false}) {
                ControlCenterHarness c;
                c.h.preferences.setNotchAppearance(material);
                c.h.preferences.setNotchSize(size);
                c.h.preferences.setArtTheme(ArtTheme::midnightCurrent);
                c.h.preferences.setAccent(Accent::indigo);
                c.h.preferences.setCustomBackgroundTintEnabled(material == NotchAppearance::midnight);
                QWidget holder;
                VantrelTheme::setColorScheme(&holder, ColorScheme::dark);
                NotchSettingsPreview preview(c.h.preferences, c.views.themeImages, c.views.motion, &holder);
                holder.resize(795, 294);
                preview.resize(795, 294);
                preview.setExpanded(expanded);
                preview.setExpansion(expanded ? 1 : 0);
                preview.setHovering(!expanded);
                holder.show();
                images.append(renderWidget(holder, QColor(20, 22, 26)));
            }
        }
    }
    saveSheet(QStringLiteral("settings-notch-preview"), images, 2);
    EXPECT_EQ(images.size(), 8);
}
