#pragma once

#include <QByteArray>
#include <xcb/xcb.h>

namespace vantrel {

// The xcb connection Qt holds when the application runs on the xcb platform; null on any other
// platform and before the application object exists. The backends that act on this program's own
// windows share it; those that watch other programs' windows open connections of their own, since
// an event mask belongs to the connection that selects it.
xcb_connection_t* qtXcbConnection();

// Adds `events` to what `connection` hears of `window`, keeping what it selected before: on Qt's
// connection a mask set outright would replace Qt's own. Where the current mask cannot be read
// nothing is selected, and false is returned.
bool addEventMask(xcb_connection_t* connection, xcb_window_t window, quint32 events);

// The atom named `name`, or XCB_ATOM_NONE when the server gives no answer.
xcb_atom_t internAtom(xcb_connection_t* connection, const QByteArray& name);

} // namespace vantrel
