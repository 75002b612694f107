#include "notch/DisplayCoordinator.h"
#include "notch/VantrelDisplaySelection.h"
#include "support/DiagnosticsRecorder.h"
#include "support/FakeScreens.h"

#include <gtest/gtest.h>
#include <limits>

using namespace vantrel;
using namespace vantrel::test;

namespace {
const QRect kBuiltIn(0, 0, 1512, 982);
const QRect kExternal(1512, 0, 1920, 1080);

VantrelDisplayEligibility notched(quint32 id) {
    return VantrelDisplayEligibility{id, QRect(), true, 185, 32};
}
VantrelDisplayEligibility plain(quint32 id) {
    return VantrelDisplayEligibility{id, QRect(), false, 0, 0};
}
} // namespace

TEST(VantrelDisplayEligibility, TheGapMustBeWiderThanEightyPointsUnderAVisibleBand) {
    struct Row {
        double gap;
        double band;
        bool qualifies;
    };
    for (const Row& row :
         {Row{80, 32, false}, Row{80.5, 32, true}, Row{185, 0, false}, Row{185.7, 38, true}}) {
        const VantrelDisplayEligibility record =
            VantrelDisplayEligibility::of(notchedScreen(4, kBuiltIn, row.gap, row.band));
        EXPECT_EQ(record.hasPhysicalNotch, row.qualifies) << row.gap << " " << row.band;
        EXPECT_NEAR(record.notchWidth, row.qualifies ? row.gap : 0, 1e-9);
        EXPECT_EQ(record.topSafeArea, row.qualifies ? row.band : 0);
        EXPECT_EQ(record.id, 4u);
        EXPECT_EQ(record.frame, kBuiltIn);
    }
    // One band missing, bands that overlap, or a gap that is not a number: no housing.
    ScreenInfo oneBand = notchedScreen(1, kBuiltIn, 185);
    oneBand.auxiliaryTopRightArea.reset();
    EXPECT_FALSE(VantrelDisplayEligibility::of(oneBand).hasPhysicalNotch);
    ScreenInfo overlapping = notchedScreen(1, kBuiltIn, 185);
    overlapping.auxiliaryTopRightArea->moveLeft(0);
    EXPECT_EQ(VantrelDisplayEligibility::of(overlapping),
              (VantrelDisplayEligibility{1, kBuiltIn, false, 0, 0}));
    ScreenInfo nan = notchedScreen(1, kBuiltIn, 185);
    nan.auxiliaryTopRightArea->moveLeft(std::numeric_limits<double>::quiet_NaN());
    EXPECT_FALSE(VantrelDisplayEligibility::of(nan).hasPhysicalNotch);
    EXPECT_FALSE(VantrelDisplayEligibility::of(plainScreen(2, kExternal)).hasPhysicalNotch);
}

TEST(VantrelDisplaySelection, RetainedWinsOverMainWhichWinsOverTheFirst) {
    using VantrelDisplaySelection::preferredNotchDisplay;
    const std::vector<VantrelDisplayEligibility> displays{plain(1), notched(2), notched(3), notched(4)};
    EXPECT_EQ(preferredNotchDisplay(displays, 4u, 3u)->id, 4u);
    EXPECT_EQ(preferredNotchDisplay(displays, std::nullopt, 3u)->id, 3u);
    // A retained or main display that no longer has a notch does not count.
    EXPECT_EQ(preferredNotchDisplay(displays, 1u, 3u)->id, 3u);
    EXPECT_EQ(preferredNotchDisplay(displays, 1u, 1u)->id, 2u);
    EXPECT_EQ(preferredNotchDisplay(displays, 9u, std::nullopt)->id, 2u);
    EXPECT_EQ(preferredNotchDisplay(displays, std::nullopt, std::nullopt)->id, 2u);
    // Two records with one number: the first one.
    const std::vector<VantrelDisplayEligibility> twins{
        VantrelDisplayEligibility{0, QRect(0, 0, 1, 1), true, 90, 30},
        VantrelDisplayEligibility{0, QRect(5, 5, 1, 1), true, 90, 30}};
    EXPECT_EQ(preferredNotchDisplay(twins, 0u, 0u)->frame, QRect(0, 0, 1, 1));
    EXPECT_FALSE(preferredNotchDisplay(std::vector{plain(1), plain(2)}, 1u, 2u));
    EXPECT_FALSE(preferredNotchDisplay({}, std::nullopt, std::nullopt));
}

TEST(DisplayCoordinator, ChoosesRecordsAndKeepsTheDisplayItLivesOn) {
    DiagnosticsRecorder d;
    FakeScreens screens;
    DisplayCoordinator coordinator(screens, d.diagnostics);
    int published = 0;
    QObject::connect(&coordinator, &DisplayCoordinator::activeEligibilityChanged, [&] { ++published; });

    // No screens: nothing chosen, nothing recorded, but published all the same.
    EXPECT_FALSE(coordinator.refreshActiveDisplay());
    EXPECT_EQ(published, 1);
    EXPECT_TRUE(d.records().isEmpty());

    // First refresh: the notched main screen, though another notched screen is listed first.
    const ScreenInfo other = notchedScreen(7, kExternal, 200, 38);
    const ScreenInfo builtIn = notchedScreen(1, kBuiltIn, 185.7);
    screens.all = {other, builtIn};
    screens.main = builtIn;
    auto active = coordinator.refreshActiveDisplay();
    ASSERT_TRUE(active);
    EXPECT_EQ(active->screen, builtIn);
    EXPECT_EQ(active->eligibility.id, 1u);
    EXPECT_EQ(active->eligibility.frame, kBuiltIn);
    EXPECT_TRUE(active->eligibility.hasPhysicalNotch);
    EXPECT_NEAR(active->eligibility.notchWidth, 185.7, 1e-9);
    EXPECT_EQ(active->eligibility.topSafeArea, 32);
    EXPECT_EQ(coordinator.activeEligibility(), active->eligibility);
    EXPECT_EQ(d.records(),
              QStringList{"[displayChanged] display=1 physicalNotch=true width=185 retained=false"});

    // The main screen moves to the other notched screen: the panel's display is kept, quietly.
    screens.main = other;
    EXPECT_EQ(coordinator.refreshActiveDisplay()->eligibility.id, 1u);
    EXPECT_EQ(d.records().size(), 1);
    EXPECT_EQ(published, 3);

    // A resolution change of the chosen display is a new record of the same display.
    const ScreenInfo scaled = notchedScreen(1, QRect(0, 0, 1800, 1169), 185.7);
    screens.all = {other, scaled};
    EXPECT_EQ(coordinator.refreshActiveDisplay()->screen, scaled);
    EXPECT_EQ(d.records().last(), "[displayChanged] display=1 physicalNotch=true width=185 retained=true");

    // The chosen display goes: the remaining notched one takes over.
    screens.all = {other, plainScreen(9, kBuiltIn)};
    EXPECT_EQ(coordinator.refreshActiveDisplay()->eligibility.id, 7u);
    EXPECT_EQ(d.records().last(), "[displayChanged] display=7 physicalNotch=true width=200 retained=false");

    // Losing the last notched screen is recorded once.
    screens.all = {plainScreen(9, kBuiltIn)};
    screens.main.reset();
    EXPECT_FALSE(coordinator.refreshActiveDisplay());
    EXPECT_FALSE(coordinator.refreshActiveDisplay());
    EXPECT_FALSE(coordinator.activeEligibility());
    EXPECT_EQ(d.records().filter("no eligible").size(), 1);
    EXPECT_EQ(d.records().last(), "[displayChanged] no eligible physical-notch display");

    // With no previous choice and no main screen: the first notched screen in order.
    screens.all = {plainScreen(9, kBuiltIn), notchedScreen(5, kExternal, 150), other};
    EXPECT_EQ(coordinator.refreshActiveDisplay()->eligibility.id, 5u);
}
