#include "control-center/RootView.h"
#include "kit/KitRender.h"
#include "support/ControlCenterHarness.h"

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
