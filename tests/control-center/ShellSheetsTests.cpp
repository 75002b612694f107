#include "control-center/OnboardingView.h"
#include "control-center/RootView.h"
#include "control-center/TopNavigationBar.h"
#include "kit/KitRender.h"
#include "kit/VantrelTheme.h"
#include "support/ControlCenterHarness.h"

#include <QVariantAnimation>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

QImage shell(int width, AppearanceMode mode, bool increasedContrast, bool reduceTransparency) {
    ControlCenterHarness c;
    c.h.preferences.setHasCompletedOnboarding(true);
    c.h.preferences.setAppearanceMode(mode);
    c.appearance.setIncreasedContrast(increasedContrast);
    c.appearance.setReduceTransparency(reduceTransparency);
    c.sections.select(VantrelSection::notch);
    RootView root(c.context());
    root.resize(width, 420);
    root.show();
    return renderWidget(root, Qt::black);
}

// The flow at `step`; the change into it is drawn `fraction` of the way through.
QImage onboarding(int step, AppearanceMode mode, double fraction = 1) {
    ControlCenterHarness c;
    c.h.preferences.setAppearanceMode(mode);
    c.h.permissionSystem.accessibilityTrusted = true;
    c.stores.permissions.refresh();
    RootView root(c.context());
    root.resize(1000, 680);
    root.show();
    for (int i = 0; i < step; ++i) {
        root.onboarding()->flow().advance();
        QVariantAnimation* animation = root.onboarding()->stepAnimation();
        animation->setCurrentTime(int(animation->duration() * (i + 1 == step ? fraction : 1.0)));
    }
    return renderWidget(root, Qt::black);
}

} // namespace

TEST(ShellSheets, TheShellAtThreeWidthsInBothAppearancesAndTheOnboardingSteps) {
    QList<QImage> images;
    for (AppearanceMode mode : {AppearanceMode::dark, AppearanceMode::light})
        for (int width : {720, 1000, 1200}) images.append(shell(width, mode, false, false));
    images.append(shell(1000, AppearanceMode::dark, true, false));
    images.append(shell(1000, AppearanceMode::light, true, true));
    saveSheet(QStringLiteral("control-center-shell"), images, 2);

    // The bar is drawn in each appearance: inside its left padding and in the strip between
    // buttons (where the strip lets the bar show through), dark over dark, light over light.
    for (const QPoint probe : {QPoint(28, 59), QPoint(500, 30)}) {
        EXPECT_LT(images[1].pixelColor(probe).lightnessF(), 0.25);
        EXPECT_GT(images[4].pixelColor(probe).lightnessF(), 0.75);
    }

    QList<QImage> steps;
    for (AppearanceMode mode : {AppearanceMode::dark, AppearanceMode::light})
        for (int step = 0; step < 4; ++step) steps.append(onboarding(step, mode));
    // The change from the welcome step to the modules: both steps faded and scaled.
    for (double fraction : {0.06, 0.12, 0.2}) steps.append(onboarding(1, AppearanceMode::dark, fraction));
    saveSheet(QStringLiteral("control-center-onboarding"), steps, 4);
    // The current step's dot is drawn in the accent colour, 28 wide.
    const OnboardingLayout l = OnboardingLayout::make(QSizeF(1000, 680), 1);
    const QColor dot = steps[1].pixelColor(l.dots[1].center().toPoint());
    EXPECT_GT(dot.alpha(), 200);
}
