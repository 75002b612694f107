#include "platform/linux/X11BackdropBlur.h"
#include "support/XClient.h"
#include "support/XvfbServer.h"

#include <QSignalSpy>
#include <QVector>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <xcb/xcb.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};

// A client of the display playing the compositor: it lists what it supports on the root and
// reads the windows' properties.
class Compositor : public XClient {
public:
    using XClient::XClient;

    void support(const QVector<xcb_atom_t>& atoms) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, atom("_NET_SUPPORTED"), XCB_ATOM_ATOM, 32,
                            uint32_t(atoms.size()), atoms.constData());
        // Done by the server before anyone else's next request is answered.
        roundTrip();
    }
    // A 300 × 120 window that can be drawn in, unlike the base input-only one.
    xcb_window_t window() {
        const xcb_window_t id = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, id, root, 0, 0, 300, 120, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_flush(c);
        return id;
    }
    // The blur region on `window`: none while it carries no such property.
    std::optional<QVector<uint32_t>> region(xcb_window_t window) {
        std::unique_ptr<xcb_get_property_reply_t, FreeReply> reply(xcb_get_property_reply(
            c,
            xcb_get_property(c, 0, window, atom("_KDE_NET_WM_BLUR_BEHIND_REGION"), XCB_ATOM_CARDINAL, 0, 64),
            nullptr));
        if (!reply || reply->type == XCB_ATOM_NONE) return std::nullopt;
        const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
        return QVector<uint32_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
    }
};

// Hands `blur` the events of its connection until it has heard of every change made so far.
void deliver(xcb_connection_t* c, X11BackdropBlur& blur) {
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
        blur.handleEvent(*event);
        free(event);
    }
}

} // namespace

TEST(X11BackdropBlur, WritesTheRegionOnlyWhereTheRootListsTheProperty) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    const QByteArray name = server.display().toLatin1();
    Compositor compositor(name);
    const xcb_window_t window = compositor.window();

    // The backend's own connection, as Qt's is in the application.
    XClient own(name);
    X11BackdropBlur blur(own.c, own.root);
    QSignalSpy announced(&blur, &BackdropBlur::availabilityChanged);
    EXPECT_FALSE(blur.isAvailable()) << "no _NET_SUPPORTED at all";
    blur.blurBehind(window, QRegion(0, 0, 300, 120));
    deliver(own.c, blur);
    EXPECT_EQ(compositor.region(window), std::nullopt) << "nothing written where nobody reads it";

    // A compositor that lists other atoms only offers no blur either.
    compositor.support({compositor.atom("_NET_WM_STATE"), compositor.atom("_NET_ACTIVE_WINDOW")});
    deliver(own.c, blur);
    EXPECT_FALSE(blur.isAvailable());
    EXPECT_EQ(announced.count(), 0);

    // Once it lists the blur region, the request goes onto the window as x, y, width, height.
    compositor.support({compositor.atom("_NET_WM_STATE"), compositor.atom("_KDE_NET_WM_BLUR_BEHIND_REGION")});
    deliver(own.c, blur);
    EXPECT_TRUE(blur.isAvailable());
    EXPECT_EQ(announced.count(), 1);
    QRegion region(QRect(10, 0, 280, 40));
    region += QRect(0, 40, 300, 80);
    // (Each request is waited for on its own connection before the other one reads: the server
    // orders the requests of two clients only so.)
    blur.blurBehind(window, region);
    deliver(own.c, blur);
    EXPECT_EQ(compositor.region(window), (QVector<uint32_t>{10, 0, 280, 40, 0, 40, 300, 80}));
    // An empty list asks for the whole window.
    blur.blurBehind(window, QRegion());
    deliver(own.c, blur);
    EXPECT_EQ(compositor.region(window), QVector<uint32_t>{});
    // Withdrawn, the property is gone.
    blur.clearBlur(window);
    deliver(own.c, blur);
    EXPECT_EQ(compositor.region(window), std::nullopt);

    // The compositor stops offering it.
    compositor.support({compositor.atom("_NET_WM_STATE")});
    deliver(own.c, blur);
    EXPECT_FALSE(blur.isAvailable());
    EXPECT_EQ(announced.count(), 2);

    // Created while the root already lists it, a backend sees the offer at once.
    compositor.support({compositor.atom("_KDE_NET_WM_BLUR_BEHIND_REGION")});
    XClient later(name);
    EXPECT_TRUE(X11BackdropBlur(later.c, later.root).isAvailable());
}
