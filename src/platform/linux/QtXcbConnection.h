#pragma once

#include <QByteArray>
#include <xcb/xcb.h>

namespace vantrel {

// The xcb connection Qt holds when the application runs on the xcb platform; null on any other
// platform and before the application object exists. The X11 backends share it rather than open
// their own, so the server sees one client.
xcb_connection_t* qtXcbConnection();

// The atom named `name`, or XCB_ATOM_NONE when the server gives no answer.
xcb_atom_t internAtom(xcb_connection_t* connection, const QByteArray& name);

} // namespace vantrel
