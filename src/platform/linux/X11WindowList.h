#pragma once

#include "platform/WindowList.h"

#include <QByteArray>
#include <array>

struct xcb_connection_t;

namespace vantrel {

// The window list of an X11 desktop, from the window manager's _NET_CLIENT_LIST_STACKING with
// each window's geometry, _NET_WM_STATE, _NET_WM_WINDOW_TYPE, _NET_WM_PID and WM_CLASS. It reads
// over an X connection of its own, opened on the thread of the first read and used only there,
// so it never shares Qt's connection with the main thread. Away from X11, or without a window
// manager that publishes the list, the list is empty.
class X11WindowList final : public WindowList {
public:
    // `display` names the server, the one Qt opened (qtXcbDisplayName()); empty: none (the list
    // stays empty).
    explicit X11WindowList(QByteArray display);
    ~X11WindowList() override;
    X11WindowList(const X11WindowList&) = delete;
    X11WindowList& operator=(const X11WindowList&) = delete;

    std::vector<WindowListEntry> onScreenWindows() override;

private:
    enum Atom {
        clientListStacking,
        clientList,
        wmState,
        wmStateFullScreen,
        wmStateHidden,
        wmPid,
        wmWindowType,
        typeDock,
        typeDesktop,
        typeNormal,
        typeDialog,
        atomCount
    };

    bool connect();

    QByteArray display_;
    xcb_connection_t* connection_ = nullptr;
    bool failed_ = false;
    quint32 root_ = 0;
    std::array<quint32, atomCount> atoms_{};
};

} // namespace vantrel
