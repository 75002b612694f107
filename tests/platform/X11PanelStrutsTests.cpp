#include "platform/linux/X11PanelStruts.h"
#include "support/QtPrinters.h"
#include "support/XClient.h"
#include "support/XvfbServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

using Edge = X11PanelStruts::Strip::Edge;

} // namespace

// Two monitors side by side, the right one shorter (1920 x 900 beside 1920 x 1080), a panel 30
// high along its bottom: its partial strut reaches the root window's bottom edge across the right
// monitor's columns only. Old struts, stacked monitors and hand-made values too.
TEST(X11PanelStruts, AMonitorsWorkAreaLeavesOutOnlyThePanelsKeptOnIt) {
    const QSize root(3840, 1080);
    const QRect tall(0, 0, 1920, 1080);
    const QRect shorter(1920, 0, 1920, 900);
    const auto strips = X11PanelStruts::stripsOf({0, 0, 0, 210, 0, 0, 0, 0, 0, 0, 1920, 3839}, root);
    EXPECT_EQ(X11PanelStruts::workArea(shorter, strips), QRect(1920, 0, 1920, 870));
    EXPECT_EQ(X11PanelStruts::workArea(tall, strips), tall);
    // An old strut spans its whole edge: 40 at the bottom, 24 at the left; and a top and a right one.
    const auto old = X11PanelStruts::stripsOf({24, 0, 0, 40}, root);
    EXPECT_EQ(X11PanelStruts::workArea(tall, old), QRect(24, 0, 1896, 1040));
    EXPECT_EQ(X11PanelStruts::workArea(shorter, old), shorter);
    const auto topRight = X11PanelStruts::stripsOf({0, 30, 28, 0, 0, 0, 0, 899, 0, 1919, 0, 0}, root);
    EXPECT_EQ(X11PanelStruts::workArea(tall, topRight), QRect(0, 28, 1920, 1052));
    EXPECT_EQ(X11PanelStruts::workArea(shorter, topRight), QRect(1920, 0, 1890, 900));
    // Stacked: a panel along the lower monitor's bottom keeps the upper one whole.
    const auto stacked =
        X11PanelStruts::stripsOf({0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 0, 1919}, QSize(1920, 2080));
    EXPECT_EQ(X11PanelStruts::workArea(QRect(0, 0, 1920, 1080), stacked), QRect(0, 0, 1920, 1080));
    EXPECT_EQ(X11PanelStruts::workArea(QRect(0, 1080, 1920, 1000), stacked), QRect(0, 1080, 1920, 970));
    // Forged or broken values: clipped to the root window, or nothing.
    EXPECT_EQ(X11PanelStruts::stripsOf({0, 0, 0, ~0u, 0, 0, 0, 0, 0, 0, 0, ~0u}, root),
              (std::vector<X11PanelStruts::Strip>{{Edge::bottom, QRect(QPoint(0, 0), root)}}));
    EXPECT_TRUE(X11PanelStruts::stripsOf({0, 0, 0, ~0u, 0, 0, 0, 0, 0, 0, ~0u - 9, ~0u}, root).empty());
    EXPECT_TRUE(X11PanelStruts::stripsOf({0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 900, 100}, root).empty());
    EXPECT_TRUE(X11PanelStruts::stripsOf({0, 0, 30}, root).empty());
}

// The strips follow the panels: a listed window's strut as it is set and changed, and the list.
TEST(X11PanelStruts, TheStripsFollowTheListedWindowsStruts) {
    XvfbServer server(800, 600);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    const QByteArray display = server.display().toLatin1();
    XClient wm(display);
    ASSERT_TRUE(wm.ok());
    const auto set32 = [&](xcb_window_t window, const char* property, xcb_atom_t type,
                           const std::vector<quint32>& values) {
        xcb_change_property(wm.c, XCB_PROP_MODE_REPLACE, window, wm.atom(property), type, 32,
                            quint32(values.size()), values.data());
        wm.roundTrip();
    };
    const xcb_window_t panel = wm.window();
    const xcb_window_t other = wm.window();
    set32(panel, "_NET_WM_STRUT_PARTIAL", XCB_ATOM_CARDINAL, {0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 0, 399});
    set32(wm.root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, {other, panel});
    X11PanelStruts struts(display);
    using Strips = std::vector<X11PanelStruts::Strip>;
    ASSERT_TRUE(processEventsUntil([&] {
        return struts.strips() == Strips{{Edge::bottom, QRect(0, 570, 400, 30)}};
    }));

    QSignalSpy changed(&struts, &X11PanelStruts::changed);
    set32(panel, "_NET_WM_STRUT_PARTIAL", XCB_ATOM_CARDINAL, {0, 0, 0, 50, 0, 0, 0, 0, 0, 0, 0, 399});
    EXPECT_TRUE(processEventsUntil([&] {
        return struts.strips() == Strips{{Edge::bottom, QRect(0, 550, 400, 50)}};
    }));
    set32(other, "_NET_WM_STRUT", XCB_ATOM_CARDINAL, {0, 0, 20, 0});
    set32(wm.root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, {other});
    EXPECT_TRUE(processEventsUntil([&] {
        return struts.strips() == Strips{{Edge::top, QRect(0, 0, 800, 20)}};
    })) << "a window no longer listed keeps nothing";
    EXPECT_GE(changed.count(), 2);
}
