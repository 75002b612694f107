#include "platform/linux/X11PanelStruts.h"

#include "platform/linux/QtXcbConnection.h"
#include "platform/linux/XcbReply.h"

#include <QSocketNotifier>
#include <algorithm>
#include <xcb/xcb.h>

namespace vantrel {

struct X11PanelStruts::Connection {
    xcb_connection_t* c = nullptr;
    xcb_window_t root = XCB_WINDOW_NONE;
    xcb_atom_t clientList = XCB_ATOM_NONE;
    xcb_atom_t strutPartial = XCB_ATOM_NONE;
    xcb_atom_t strut = XCB_ATOM_NONE;
    ~Connection() {
        if (c) xcb_disconnect(c);
    }
};

namespace {

// The values of a 32-bit property of the answer; empty when absent, of another kind or gone.
std::vector<quint32> values(xcb_connection_t* c, xcb_get_property_cookie_t cookie) {
    return propertyValues32(
        Reply<xcb_get_property_reply_t>(xcb_get_property_reply(c, cookie, nullptr)).get());
}

} // namespace

std::vector<X11PanelStruts::Strip> X11PanelStruts::readAll(const Connection& x) {
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(x.c, xcb_get_geometry(x.c, x.root), nullptr));
    if (!geometry) return {};
    const QSize root(geometry->width, geometry->height);
    const std::vector<quint32> clients =
        values(x.c, xcb_get_property(x.c, 0, x.root, x.clientList, XCB_ATOM_WINDOW, 0,
                                     X11PanelStruts::kMaximumWindows));
    std::vector<std::pair<xcb_get_property_cookie_t, xcb_get_property_cookie_t>> asked;
    asked.reserve(clients.size());
    const quint32 mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    for (const quint32 window : clients) {
        // On this reader's own connection the mask is its own; a window gone answers nothing.
        xcb_change_window_attributes(x.c, window, XCB_CW_EVENT_MASK, &mask);
        asked.emplace_back(xcb_get_property(x.c, 0, window, x.strutPartial, XCB_ATOM_CARDINAL, 0, 12),
                           xcb_get_property(x.c, 0, window, x.strut, XCB_ATOM_CARDINAL, 0, 4));
    }
    std::vector<X11PanelStruts::Strip> strips;
    for (const auto& [partial, whole] : asked) {
        std::vector<quint32> strut = values(x.c, partial);
        const std::vector<quint32> old = values(x.c, whole);
        if (strut.size() != 12) strut = old;
        for (const X11PanelStruts::Strip& strip : X11PanelStruts::stripsOf(strut, root))
            strips.push_back(strip);
    }
    return strips;
}

X11PanelStruts::X11PanelStruts(const QByteArray& display, QObject* parent) : QObject(parent) {
    const std::optional<OwnXcbConnection> own = connectToDisplay(display);
    if (!own) return;
    x_ = std::make_shared<Connection>();
    x_->c = own->connection;
    x_->root = own->root;
    x_->clientList = internAtom(x_->c, "_NET_CLIENT_LIST");
    x_->strutPartial = internAtom(x_->c, "_NET_WM_STRUT_PARTIAL");
    x_->strut = internAtom(x_->c, "_NET_WM_STRUT");
    // The list's changes, and the root window's size (a monitor plugged or changed).
    const quint32 mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(x_->c, x_->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x_->c);
    events_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(x_->c), QSocketNotifier::Read);
    connect(events_.get(), &QSocketNotifier::activated, this, &X11PanelStruts::takeEvents);
    read();
}

X11PanelStruts::~X11PanelStruts() = default;

void X11PanelStruts::takeEvents() {
    bool again = false;
    while (xcb_generic_event_t* raw = xcb_poll_for_event(x_->c)) {
        const Reply<xcb_generic_event_t> event(raw);
        const uint8_t type = event->response_type & ~0x80;
        if (type == XCB_PROPERTY_NOTIFY) {
            const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event.get());
            if (notify->window == x_->root ? notify->atom == x_->clientList
                                           : notify->atom == x_->strutPartial || notify->atom == x_->strut)
                again = true;
        } else if (type == XCB_CONFIGURE_NOTIFY) {
            again = again ||
                    reinterpret_cast<const xcb_configure_notify_event_t*>(event.get())->window == x_->root;
        }
    }
    // A server gone leaves the socket readable for good; nothing more will come.
    if (xcb_connection_has_error(x_->c)) events_->setEnabled(false);
    if (again) read();
}

void X11PanelStruts::read() {
    // Changes during a read are read once it is in: one read at a time, however many changes.
    if (reading_) {
        readAgain_ = true;
        return;
    }
    reading_ = true;
    readAgain_ = false;
    queue_.async([x = x_, port = results_.handle(), this] {
        std::vector<Strip> strips = readAll(*x);
        port.post([this, strips = std::move(strips)]() mutable {
            reading_ = false;
            const bool differ = strips != strips_;
            strips_ = std::move(strips);
            // The worker's waits for its answers read events too, which then wait in xcb's queue
            // with nothing left on the socket to tell of them.
            takeEvents();
            if (readAgain_) read();
            if (differ) Q_EMIT changed();
        });
    });
}

std::vector<X11PanelStruts::Strip> X11PanelStruts::stripsOf(const std::vector<quint32>& strut, QSize root) {
    if (strut.size() != 12 && strut.size() != 4) return {};
    const QRect desktop(QPoint(0, 0), root);
    const qint64 w = root.width();
    const qint64 h = root.height();
    // Forged values stay within the root window before anything is added to them.
    const auto at = [&](std::size_t i, qint64 limit) { return int(std::min<qint64>(strut[i], limit)); };
    const bool partial = strut.size() == 12;
    const auto from = [&](std::size_t i, qint64 limit) { return partial ? at(i, limit) : 0; };
    const auto to = [&](std::size_t i, qint64 limit) { return partial ? at(i, limit) : int(limit - 1); };
    std::vector<Strip> strips;
    const auto add = [&](Strip::Edge edge, QRect area) {
        // A strip that ends before it starts keeps nothing.
        if (!area.isValid()) return;
        area = area.intersected(desktop);
        if (!area.isEmpty()) strips.push_back({edge, area});
    };
    if (const int left = at(0, w); left > 0)
        add(Strip::Edge::left, QRect(QPoint(0, from(4, h)), QPoint(left - 1, to(5, h))));
    if (const int right = at(1, w); right > 0)
        add(Strip::Edge::right, QRect(QPoint(int(w) - right, from(6, h)), QPoint(int(w) - 1, to(7, h))));
    if (const int top = at(2, h); top > 0)
        add(Strip::Edge::top, QRect(QPoint(from(8, w), 0), QPoint(to(9, w), top - 1)));
    if (const int bottom = at(3, h); bottom > 0)
        add(Strip::Edge::bottom, QRect(QPoint(from(10, w), int(h) - bottom), QPoint(to(11, w), int(h) - 1)));
    return strips;
}

QRect X11PanelStruts::workArea(const QRect& monitor, const std::vector<Strip>& strips) {
    QRect area = monitor;
    for (const Strip& strip : strips) {
        if (!strip.area.intersects(monitor)) continue;
        switch (strip.edge) {
        case Strip::Edge::left:
            area.setLeft(std::max(area.left(), strip.area.right() + 1));
            break;
        case Strip::Edge::right:
            area.setRight(std::min(area.right(), strip.area.left() - 1));
            break;
        case Strip::Edge::top:
            area.setTop(std::max(area.top(), strip.area.bottom() + 1));
            break;
        case Strip::Edge::bottom:
            area.setBottom(std::min(area.bottom(), strip.area.top() - 1));
            break;
        }
    }
    return area;
}

} // namespace vantrel
