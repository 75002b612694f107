#include "KitRender.h"
#include "kit/VantrelHelpButton.h"
#include "kit/VantrelMenuPicker.h"
#include "kit/VantrelSegmentedControl.h"
#include "kit/VantrelSwitch.h"
#include "kit/VantrelTheme.h"
#include "support/KitHarness.h"
#include "support/RecordingMenuPresenter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

using namespace vantrel;
using namespace vantrel::test;

// A control clicked shows no focus ring, also once its window is active again or a popup it
// opened has closed; reached with Tab it shows one.
TEST(KitFocusRing, AClickLeavesNoRingTabShowsOneOnEveryControl) {
    KitHarness kit;
    RecordingMenuPresenter menus;
    QWidget window;
    VantrelTheme::setColorScheme(&window, ColorScheme::dark);
    auto* help = new VantrelHelpButton(kit.preferences, kit.appearance, "Theme", "Pick a theme.", &window);
    auto* toggle = new VantrelSwitch(nullptr, &window);
    auto* picker = new VantrelMenuPicker("Accent", {"Blue", "Pink"}, menus, nullptr, &window);
    auto* segments = new VantrelSegmentedControl("Mode", {"Dark", "Light"}, nullptr, &window);
    help->move(0, 0);
    toggle->move(40, 0);
    picker->setGeometry(100, 0, 120, 28);
    segments->setGeometry(0, 40, 220, 28);
    window.resize(240, 80);
    window.show();
    QApplication::setActiveWindow(&window);

    // Each control drawn, and the part of it that takes the focus: a segment of the segments.
    const std::vector<std::pair<QWidget*, QWidget*>> controls{
        {help, help},
        {toggle, toggle},
        {picker, picker},
        {segments, segments->findChild<QAbstractButton*>()}};
    for (const auto& [control, focused] : controls) {
        const std::string name = control->metaObject()->className();
        QTest::mouseClick(focused, Qt::LeftButton, {}, QPoint(10, focused->height() / 2));
        if (help->popover()) help->popover()->close();
        // The window loses the keys and has them back, as when another window was in front.
        QApplication::setActiveWindow(nullptr);
        QApplication::setActiveWindow(&window);
        const QImage clicked = renderWidget(*control, Qt::black);
        window.setFocus();
        const QImage unfocused = renderWidget(*control, Qt::black);
        EXPECT_EQ(largestChannelDifference(clicked, unfocused), 0) << name << ": no ring after a click";
        focused->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(focused->hasFocus()) << name;
        const RingSeen ring = ringSeen(renderWidget(*control, Qt::black), unfocused, 40);
        EXPECT_FALSE(ring.box.isEmpty()) << name << ": the ring, reached by Tab";
        EXPECT_EQ(ring.missingSides.join(u", ").toStdString(), "") << name << ": the ring seen whole";
        window.setFocus();
    }
}
