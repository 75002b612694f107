#include "app/PlatformChoice.h"
#include "support/FakeEnvironment.h"

#include <gtest/gtest.h>

using namespace vantrel;
using vantrel::test::FakeEnvironment;

TEST(PlatformChoiceTest, AnXServerWinsOverWaylandAndANamedPlatformStands) {
    // Nothing to choose from: Qt's own default and its own message stand.
    EXPECT_EQ(PlatformChoice::choose(FakeEnvironment{}), PlatformChoice{});

    const PlatformChoice x11 = PlatformChoice::choose(FakeEnvironment{{"DISPLAY", ":0"}});
    EXPECT_EQ(x11.platform, QStringLiteral("xcb"));
    EXPECT_TRUE(x11.logLine.contains(u"xcb")) << x11.logLine.toStdString();

    const PlatformChoice wayland = PlatformChoice::choose(FakeEnvironment{{"WAYLAND_DISPLAY", "wayland-0"}});
    EXPECT_EQ(wayland.platform, QStringLiteral("wayland"));
    EXPECT_TRUE(wayland.logLine.contains(u"without Xwayland")) << wayland.logLine.toStdString();

    // A Wayland desktop with Xwayland: the X server, where the panel can be placed.
    const PlatformChoice both = PlatformChoice::choose(FakeEnvironment{
        {"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_SESSION_TYPE", "wayland"}});
    EXPECT_EQ(both.platform, QStringLiteral("xcb"));
    EXPECT_TRUE(both.logLine.contains(u"Xwayland")) << both.logLine.toStdString();
    EXPECT_NE(both.logLine, x11.logLine);

    // A platform the user named is never overridden, whichever displays are there.
    for (const char* named : {"wayland", "xcb"}) {
        EXPECT_EQ(PlatformChoice::choose(FakeEnvironment{
                      {"QT_QPA_PLATFORM", named}, {"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}}),
                  PlatformChoice{})
            << named;
        EXPECT_EQ(PlatformChoice::choose(FakeEnvironment{{"QT_QPA_PLATFORM", named}}), PlatformChoice{})
            << named;
    }

    // Set but empty is not set.
    EXPECT_EQ(
        PlatformChoice::choose(FakeEnvironment{{"QT_QPA_PLATFORM", ""}, {"WAYLAND_DISPLAY", "wayland-1"}})
            .platform,
        QStringLiteral("wayland"));
    EXPECT_EQ(
        PlatformChoice::choose(FakeEnvironment{{"DISPLAY", ""}, {"WAYLAND_DISPLAY", "wayland-1"}}).platform,
        QStringLiteral("wayland"));
}

TEST(PlatformChoiceTest, OnlyTheWaylandPlatformsLoseWhatNeedsX11) {
    EXPECT_TRUE(PlatformChoice::isWayland(QStringLiteral("wayland")));
    EXPECT_TRUE(PlatformChoice::isWayland(QStringLiteral("wayland-egl")));
    EXPECT_FALSE(PlatformChoice::isWayland(QStringLiteral("xcb")));
    EXPECT_FALSE(PlatformChoice::isWayland(QStringLiteral("offscreen")));
    EXPECT_FALSE(PlatformChoice::waylandLimitsLogLine().isEmpty());
}
