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
    EXPECT_EQ(x11.logLine, QStringLiteral("X11 session: running on the xcb platform"));

    const PlatformChoice wayland = PlatformChoice::choose(FakeEnvironment{{"WAYLAND_DISPLAY", "wayland-0"}});
    EXPECT_EQ(wayland.platform, QStringLiteral("wayland"));
    EXPECT_EQ(wayland.logLine, QStringLiteral("Wayland session without Xwayland: running on Wayland"));

    // A Wayland desktop with Xwayland: the X server, where the panel can be placed.
    const PlatformChoice both = PlatformChoice::choose(FakeEnvironment{
        {"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}, {"XDG_SESSION_TYPE", "wayland"}});
    EXPECT_EQ(both.platform, QStringLiteral("xcb"));
    EXPECT_EQ(both.logLine,
              QStringLiteral("Wayland session with Xwayland: running as an X11 client (xcb), so the "
                             "notch panel can be placed and the clipboard and hot keys heard"));

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
    // The one line at start names what is off.
    const QString limits = PlatformChoice::waylandLimitsLogLine();
    for (const char* off : {"Wayland without Xwayland", "notch panel", "global hot keys", "window list",
                            "focus hand-back", "keyboard guard", "need X11 and are off"})
        EXPECT_TRUE(limits.contains(QLatin1String(off))) << off;
}
