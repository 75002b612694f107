#include "platform/linux/QtXcbConnection.h"

#include "support/XClient.h"
#include "support/XvfbServer.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

quint32 eventMask(XClient& client, xcb_window_t window) {
    const std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
        xcb_get_window_attributes_reply(client.c, xcb_get_window_attributes(client.c, window), nullptr),
        &std::free);
    return attributes ? attributes->your_event_mask : 0;
}

TEST(QtXcbConnection, AddingEventsToAWindowOrTheRootKeepsWhatTheConnectionSelectedBefore) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    XClient qt(server.display().toLatin1());
    ASSERT_TRUE(qt.ok());
    // What a toolkit selects on its own window and on the root before a backend adds to either.
    const xcb_window_t window = qt.window();
    const quint32 own = XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_FOCUS_CHANGE;
    const quint32 root = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(qt.c, window, XCB_CW_EVENT_MASK, &own);
    xcb_change_window_attributes(qt.c, qt.root, XCB_CW_EVENT_MASK, &root);

    EXPECT_TRUE(addEventMask(qt.c, window, XCB_EVENT_MASK_PROPERTY_CHANGE));
    EXPECT_TRUE(addEventMask(qt.c, qt.root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY));
    EXPECT_EQ(eventMask(qt, window), quint32(XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_FOCUS_CHANGE |
                                             XCB_EVENT_MASK_PROPERTY_CHANGE));
    EXPECT_EQ(eventMask(qt, qt.root),
              quint32(XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE |
                      XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY));

    // A window gone: nothing is selected, and the caller is told.
    xcb_destroy_window(qt.c, window);
    EXPECT_FALSE(addEventMask(qt.c, window, XCB_EVENT_MASK_PROPERTY_CHANGE));
}

} // namespace
