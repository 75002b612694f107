#pragma once

#include <QByteArray>
#include <optional>
#include <xcb/xcb.h>

namespace vantrel {

// The xcb connection Qt holds when the application runs on the xcb platform; null on any other
// platform and before the application object exists. The backends that act on this program's own
// windows share it; those that watch other programs' windows open connections of their own, since
// an event mask belongs to the connection that selects it.
xcb_connection_t* qtXcbConnection();

// The name of the display Qt's connection is open to, which the command line may give (-display)
// instead of $DISPLAY; empty away from X11. A Qt built without Xlib cannot be asked and is taken
// to have opened $DISPLAY.
QByteArray qtXcbDisplayName();
// The screen of that display Qt works on (":0.1" is screen 1); 0 away from X11.
int qtXcbScreenNumber();

// A connection of a reader's own and the root window of the screen its display names.
struct OwnXcbConnection {
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = XCB_WINDOW_NONE;
};
// Connects to `display`, the name qtXcbDisplayName() gives; the caller disconnects. None, with
// nothing left open, when the name is empty, the server refuses or lacks the screen it names: the
// reader then gives up rather than read another display's windows.
std::optional<OwnXcbConnection> connectToDisplay(const QByteArray& display);

// Adds `events` to what `connection` hears of `window`, keeping what it selected before: on Qt's
// connection a mask set outright would replace Qt's own. Where the current mask cannot be read
// nothing is selected, and false is returned.
bool addEventMask(xcb_connection_t* connection, xcb_window_t window, quint32 events);

// The atom named `name`, or XCB_ATOM_NONE when the server gives no answer.
xcb_atom_t internAtom(xcb_connection_t* connection, const QByteArray& name);

} // namespace vantrel
