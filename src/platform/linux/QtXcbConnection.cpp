#include "platform/linux/QtXcbConnection.h"

#include <QGuiApplication>
#include <cstdlib>

// Only for the name of the display Qt opened through Xlib: read from its Display, nothing called.
#include <X11/Xlib.h>

namespace vantrel {

xcb_connection_t* qtXcbConnection() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app || QGuiApplication::platformName() != u"xcb") return nullptr;
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

namespace {

Display* qtXlibDisplay() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app || QGuiApplication::platformName() != u"xcb") return nullptr;
    auto* x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

} // namespace

QByteArray qtXcbDisplayName() {
    if (!qtXcbConnection()) return {};
    if (Display* display = qtXlibDisplay(); display && DisplayString(display)) return DisplayString(display);
    return qgetenv("DISPLAY");
}

int qtXcbScreenNumber() {
    if (Display* display = qtXlibDisplay()) return DefaultScreen(display);
    int number = 0, screen = 0;
    char* host = nullptr;
    if (!qtXcbConnection() || !xcb_parse_display(qgetenv("DISPLAY").constData(), &host, &number, &screen))
        return 0;
    std::free(host);
    return screen;
}

std::optional<OwnXcbConnection> connectToDisplay(const QByteArray& display) {
    if (display.isEmpty()) return std::nullopt;
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(display.constData(), &screenNumber);
    xcb_screen_iterator_t screens{};
    if (!xcb_connection_has_error(connection)) {
        screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
        for (int i = 0; i < screenNumber && screens.rem; ++i) xcb_screen_next(&screens);
    }
    if (!screens.rem) {
        xcb_disconnect(connection);
        return std::nullopt;
    }
    return OwnXcbConnection{connection, screens.data->root};
}

bool addEventMask(xcb_connection_t* connection, xcb_window_t window, quint32 events) {
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr);
    if (!attributes) return false;
    const quint32 mask = attributes->your_event_mask | events;
    std::free(attributes);
    xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);
    return true;
}

xcb_atom_t internAtom(xcb_connection_t* connection, const QByteArray& name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, quint16(name.size()), name.constData()), nullptr);
    if (!reply) return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

} // namespace vantrel
