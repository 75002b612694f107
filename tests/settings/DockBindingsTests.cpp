#include "settings/DockBindings.h"
#include "support/ControlCenterHarness.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// The surfaces get styles whose first pulses differ, so the log tells them apart.
const QString kControls = QStringLiteral("haptic generic");
const QString kDock = QStringLiteral("haptic alignment");

struct BindingsFixture {
    ControlCenterHarness c;
    DockBindings bindings{c.h.preferences, c.haptics,
                          [this] { c.h.log.add(QStringLiteral("applyBehavior")); },
                          [this] { c.h.log.add(QStringLiteral("reposition")); }};
    BindingsFixture() {
        c.h.preferences.setInterfaceHapticStyles(
            StringMap{{QStringLiteral("controls"), QStringLiteral("tick")},
                      {QStringLiteral("dock"), QStringLiteral("feather")}});
    }
};

struct Table {
    const DockBindings::Choice* choice;
    double lower;
    double upper;
    std::array<double, 3> values;
    const char* key;
    bool reapplies;
};

const Table kTables[] = {
    {&DockBindings::reveal, 0.07, 0.16, {0.03, 0.1, 0.24}, "dock.revealDelay", true},
    {&DockBindings::hide, 0.3, 0.62, {0.18, 0.45, 0.82}, "dock.hideDelay", true},
    {&DockBindings::spacing, 6, 10, {4, 8, 13}, "dock.spacing", false},
    {&DockBindings::shape, 20, 34, {14, 25, 48}, "dock.cornerRadius", false},
    {&DockBindings::magnification, 1.17, 1.3, {1.11, 1.23, 1.38}, "dock.magnificationScale", false},
    {&DockBindings::glass, 0.62, 0.82, {0.5, 0.72, 0.92}, "dock.opacity", false},
};

} // namespace

TEST(DockBindings, EachTableReadsStrictlyAtAndBesideItsThresholds) {
    for (const Table& t : kTables) {
        SCOPED_TRACE(t.key);
        const auto& choice = *t.choice;
        EXPECT_EQ(DockBindings::index(choice, std::nextafter(t.lower, -1e9)), 0);
        EXPECT_EQ(DockBindings::index(choice, t.lower), 1);
        EXPECT_EQ(DockBindings::index(choice, t.upper), 1);
        EXPECT_EQ(DockBindings::index(choice, std::nextafter(t.upper, 1e9)), 2);
        EXPECT_EQ(DockBindings::index(choice, std::numeric_limits<double>::quiet_NaN()), 1);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(DockBindings::index(choice, t.values[std::size_t(i)]), i);
    }
    // The defaults all read as the middle segment, the opacity on its upper threshold included.
    BindingsFixture f;
    EXPECT_EQ(f.bindings.dockRevealChoice().get(), 1);
    EXPECT_EQ(f.bindings.dockHideChoice().get(), 1);
    EXPECT_EQ(f.bindings.dockSpacingChoice().get(), 1);
    EXPECT_EQ(f.bindings.dockShapeChoice().get(), 1);
    EXPECT_EQ(f.bindings.dockMagnificationChoice().get(), 1);
    EXPECT_EQ(f.bindings.dockGlassChoice().get(), 1);
}

TEST(DockBindings, AChoicePlaysTheControlsHapticThenWritesItsExactValueThenFollowsUp) {
    BindingsFixture f;
    for (const Table& t : kTables) {
        SCOPED_TRACE(t.key);
        for (int i : {0, 2, 1}) {
            const qsizetype mark = f.c.mark();
            f.bindings.write(*t.choice, i);
            QStringList expected{
                kControls,
                QStringLiteral("set %1 %2").arg(QLatin1StringView(t.key)).arg(t.values[std::size_t(i)])};
            if (t.reapplies) expected << QStringLiteral("applyBehavior");
            EXPECT_EQ(f.c.callsSince(mark), expected);
            EXPECT_EQ(f.bindings.read(*t.choice), i);
        }
        const qsizetype mark = f.c.mark();
        f.bindings.write(*t.choice, 3);
        f.bindings.write(*t.choice, -1);
        EXPECT_TRUE(f.c.callsSince(mark).isEmpty()) << "no value for an index outside 0...2";
    }
}

TEST(DockBindings, AStoredValueBetweenSegmentsIsShownNotRewritten) {
    BindingsFixture f;
    f.c.h.preferences.setCustomDockRevealDelay(0.05);
    f.c.h.preferences.setCustomDockRevealDelay(0.05);
    EXPECT_EQ(f.bindings.dockRevealChoice().get(), 0);
    f.c.h.preferences.setCustomDockRevealDelay(0.2);
    EXPECT_EQ(f.bindings.dockRevealChoice().get(), 2);
    EXPECT_EQ(f.c.h.preferences.customDockRevealDelay(), 0.2);
    f.c.h.preferences.setCustomDockRevealDelay(0.07);
    EXPECT_EQ(f.bindings.dockRevealChoice().get(), 1);
    f.bindings.dockRevealChoice().set(2);
    EXPECT_EQ(f.c.h.preferences.customDockRevealDelay(), 0.24);
}

TEST(DockBindings, DirectBindingsPlayTheirHapticWriteAndCallTheirOneFollowUp) {
    BindingsFixture f;
    qsizetype mark = f.c.mark();
    f.bindings.dockHideModeBinding().set(DockHideMode::never);
    EXPECT_EQ(f.c.callsSince(mark),
              (QStringList{kDock, "set dock.hideMode never", "set dock.autoHide false", "applyBehavior"}));
    mark = f.c.mark();
    f.bindings.dockHideModeBinding().set(DockHideMode::whenFullscreen);
    f.bindings.dockHideModeBinding().set(DockHideMode::always);
    EXPECT_EQ(
        f.c.callsSince(mark),
        (QStringList{kDock, "set dock.hideMode whenFullscreen", "set dock.autoHide true", "applyBehavior",
                     kDock, "set dock.hideMode always", "set dock.autoHide true", "applyBehavior"}));
    EXPECT_EQ(f.bindings.dockHideModeBinding().get(), DockHideMode::always);

    mark = f.c.mark();
    f.bindings.dockAlignmentBinding().set(DockAlignment::left);
    EXPECT_EQ(f.c.callsSince(mark), (QStringList{kControls, "set dock.alignment left", "reposition"}));

    mark = f.c.mark();
    f.bindings.dockTintBinding().set(DockTint::ink);
    f.bindings.dockAnimationBinding().set(DockIconAnimation::sway);
    f.bindings.dockAnimationSpeedBinding().set(DockAnimationSpeed::snappy);
    EXPECT_EQ(f.c.callsSince(mark),
              (QStringList{kControls, "set dock.tint ink", kControls, "set dock.iconAnimation sway",
                           kControls, "set dock.animationSpeed snappy"}));
    EXPECT_EQ(f.bindings.dockTintBinding().get(), DockTint::ink);
    EXPECT_EQ(f.bindings.dockAnimationBinding().get(), DockIconAnimation::sway);
    EXPECT_EQ(f.bindings.dockAnimationSpeedBinding().get(), DockAnimationSpeed::snappy);
    EXPECT_EQ(f.bindings.dockAlignmentBinding().get(), DockAlignment::left);

    mark = f.c.mark();
    f.bindings.dockIconSizeBinding().set(61);
    f.bindings.dockThicknessBinding().set(17);
    EXPECT_EQ(f.c.callsSince(mark), (QStringList{"set dock.iconSize 61", "set dock.verticalPadding 17"}));
    EXPECT_EQ(f.bindings.dockIconSizeBinding().get(), 61);
    EXPECT_EQ(f.bindings.dockThicknessBinding().get(), 17);
}

TEST(DockBindings, AChoiceBindingAnnouncesChangesOfItsOwnSettingOnly) {
    BindingsFixture f;
    QObject context;
    int heard = 0;
    f.bindings.dockGlassChoice().observe(&context, [&] { ++heard; });
    f.c.h.preferences.setCustomDockSpacing(13);
    EXPECT_EQ(heard, 0);
    f.c.h.preferences.setCustomDockOpacity(0.5);
    EXPECT_EQ(heard, 1);
}
