#include "platform/linux/X11Desktop.h"

#include "support/XClient.h"
#include "support/XvfbServer.h"

#include <QAbstractEventDispatcher>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdlib>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// Hands what the server has queued on `client` to the application's native event filters, as
// Qt does with the events of its own connection; the number handed on.
int deliver(XClient& client) {
    int count = 0;
    while (xcb_generic_event_t* event = xcb_poll_for_queued_event(client.c)) {
        qintptr result = 0;
        QAbstractEventDispatcher::instance()->filterNativeEvent("xcb_generic_event_t", event, &result);
        free(event);
        ++count;
    }
    return count;
}

} // namespace

TEST(X11Desktop, TheCompositorsSelectionIsFollowedWithoutAskingTheServerPerWindowEvent) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    const QByteArray display = server.display().toLatin1();
    XClient own(display), peer(display);
    ASSERT_TRUE(own.ok() && peer.ok());

    X11Desktop desktop(own.c, 0);
    QSignalSpy changes(&desktop, &CompositorState::changed);
    EXPECT_FALSE(desktop.isCompositing()) << "nobody owns _NET_WM_CM_S0";

    // Another program makes, shows, moves, hides and ends 500 windows.
    for (int i = 0; i < 500; ++i) {
        const xcb_window_t w = peer.window();
        xcb_map_window(peer.c, w);
        const quint32 x = quint32(1 + i % 300);
        xcb_configure_window(peer.c, w, XCB_CONFIG_WINDOW_X, &x);
        xcb_unmap_window(peer.c, w);
        xcb_destroy_window(peer.c, w);
    }
    peer.roundTrip();
    const unsigned int before = own.roundTrip();
    EXPECT_EQ(deliver(own), 2500) << "created, mapped, configured, unmapped and destroyed";
    EXPECT_EQ(own.roundTrip(), before + 1) << "no request of the desktop's own between the two round trips";
    EXPECT_EQ(changes.count(), 0);

    // A compositor takes the selection: the announcement itself says so.
    const xcb_window_t selectionWindow = peer.window();
    xcb_set_selection_owner(peer.c, selectionWindow, peer.atom("_NET_WM_CM_S0"), XCB_CURRENT_TIME);
    peer.roundTrip();
    const unsigned int taken = own.roundTrip();
    EXPECT_EQ(deliver(own), 2) << "the selection window's creation and the new owner";
    EXPECT_TRUE(desktop.isCompositing());
    EXPECT_EQ(changes.count(), 1);
    // Another screen's compositor is none of this one's business.
    xcb_set_selection_owner(peer.c, selectionWindow, peer.atom("_NET_WM_CM_S1"), XCB_CURRENT_TIME);
    peer.roundTrip();
    own.roundTrip();
    deliver(own);
    EXPECT_TRUE(desktop.isCompositing());
    EXPECT_EQ(changes.count(), 1);

    // It ends: its window goes, and the selection with it.
    xcb_destroy_window(peer.c, selectionWindow);
    peer.roundTrip();
    own.roundTrip();
    EXPECT_EQ(deliver(own), 2) << "the window's destruction and the selection's loss";
    EXPECT_FALSE(desktop.isCompositing());
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(own.roundTrip(), taken + 3) << "only the test's own round trips";

    // A desktop that starts while a compositor runs knows it at once.
    const xcb_window_t second = peer.window();
    xcb_set_selection_owner(peer.c, second, peer.atom("_NET_WM_CM_S0"), XCB_CURRENT_TIME);
    peer.roundTrip();
    X11Desktop later(own.c, 0);
    EXPECT_TRUE(later.isCompositing());
}
