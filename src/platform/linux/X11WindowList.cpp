#include "platform/linux/X11WindowList.h"

#include "platform/linux/QtXcbConnection.h"
#include "platform/linux/XcbReply.h"

#include <QList>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace vantrel {

namespace {

std::vector<xcb_atom_t> atomList(xcb_get_property_reply_t* reply) {
    if (!reply || reply->format != 32 || reply->type != XCB_ATOM_ATOM) return {};
    const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
    return std::vector<xcb_atom_t>(values, values + xcb_get_property_value_length(reply) / 4);
}

} // namespace

X11WindowList::X11WindowList(QByteArray display) : display_(std::move(display)) {}

X11WindowList::~X11WindowList() {
    if (connection_) xcb_disconnect(connection_);
}

bool X11WindowList::connect() {
    if (connection_) return true;
    if (failed_) return false;
    const std::optional<OwnXcbConnection> own = connectToDisplay(display_);
    if (!own) {
        failed_ = true;
        return false;
    }
    connection_ = own->connection;
    root_ = own->root;

    static constexpr std::array<const char*, atomCount> names = {
        "_NET_CLIENT_LIST_STACKING",  "_NET_CLIENT_LIST",          "_NET_WM_STATE",
        "_NET_WM_STATE_FULLSCREEN",   "_NET_WM_STATE_HIDDEN",      "_NET_WM_PID",
        "_NET_WM_WINDOW_TYPE",        "_NET_WM_WINDOW_TYPE_DOCK",  "_NET_WM_WINDOW_TYPE_DESKTOP",
        "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_WINDOW_TYPE_DIALOG"};
    std::array<xcb_intern_atom_cookie_t, atomCount> cookies{};
    for (std::size_t i = 0; i < names.size(); ++i)
        cookies[i] = xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(names[i])), names[i]);
    for (std::size_t i = 0; i < names.size(); ++i) {
        Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection_, cookies[i], nullptr));
        atoms_[i] = reply ? reply->atom : quint32(XCB_ATOM_NONE);
    }
    return true;
}

std::vector<WindowListEntry> X11WindowList::onScreenWindows() {
    if (!connect()) return {};
    if (xcb_connection_has_error(connection_)) return {};

    std::vector<xcb_window_t> windows;
    for (const Atom list : {clientListStacking, clientList}) {
        Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, root_, atoms_[list], XCB_ATOM_WINDOW, 0, 4096),
            nullptr));
        if (!reply || reply->format != 32 || reply->type != XCB_ATOM_WINDOW) continue;
        const auto* values = static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
        windows.assign(values, values + xcb_get_property_value_length(reply.get()) / 4);
        break;
    }

    // Every request goes out before the first answer is awaited: one round trip for the lot.
    struct Pending {
        xcb_window_t window;
        xcb_get_window_attributes_cookie_t attributes;
        xcb_get_geometry_cookie_t geometry;
        xcb_translate_coordinates_cookie_t origin;
        xcb_get_property_cookie_t state, type, pid, wmClass;
    };
    std::vector<Pending> pending;
    pending.reserve(windows.size());
    for (const xcb_window_t window : windows) {
        pending.push_back(
            {window, xcb_get_window_attributes(connection_, window), xcb_get_geometry(connection_, window),
             xcb_translate_coordinates(connection_, window, root_, 0, 0),
             xcb_get_property(connection_, 0, window, atoms_[wmState], XCB_ATOM_ATOM, 0, 64),
             xcb_get_property(connection_, 0, window, atoms_[wmWindowType], XCB_ATOM_ATOM, 0, 64),
             xcb_get_property(connection_, 0, window, atoms_[wmPid], XCB_ATOM_CARDINAL, 0, 1),
             xcb_get_property(connection_, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256)});
    }

    std::vector<WindowListEntry> entries;
    for (const Pending& request : pending) {
        // A window that went away meanwhile answers with errors; it is simply not listed.
        Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(connection_, request.attributes, nullptr));
        Reply<xcb_get_geometry_reply_t> geometry(
            xcb_get_geometry_reply(connection_, request.geometry, nullptr));
        Reply<xcb_translate_coordinates_reply_t> origin(
            xcb_translate_coordinates_reply(connection_, request.origin, nullptr));
        Reply<xcb_get_property_reply_t> state(xcb_get_property_reply(connection_, request.state, nullptr));
        Reply<xcb_get_property_reply_t> type(xcb_get_property_reply(connection_, request.type, nullptr));
        Reply<xcb_get_property_reply_t> pid(xcb_get_property_reply(connection_, request.pid, nullptr));
        Reply<xcb_get_property_reply_t> wmClass(
            xcb_get_property_reply(connection_, request.wmClass, nullptr));
        if (!attributes || !geometry || !origin) continue;
        if (attributes->map_state != XCB_MAP_STATE_VIEWABLE) continue;

        WindowListEntry entry;
        entry.id = request.window;
        entry.frame = QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
        bool hidden = false;
        for (const xcb_atom_t atom : atomList(state.get())) {
            if (atom == atoms_[wmStateFullScreen]) entry.isFullScreen = true;
            if (atom == atoms_[wmStateHidden]) hidden = true;
        }
        if (hidden) continue;
        const std::vector<xcb_atom_t> types = atomList(type.get());
        if (!types.empty()) {
            const xcb_atom_t first = types.front();
            if (first == atoms_[typeDesktop]) continue;
            if (first == atoms_[typeDock])
                entry.layer = WindowListEntry::kDockLayer;
            else if (first != atoms_[typeNormal] && first != atoms_[typeDialog])
                entry.layer = WindowListEntry::kUtilityLayer;
        }
        if (pid && pid->format == 32 && pid->type == XCB_ATOM_CARDINAL &&
            xcb_get_property_value_length(pid.get()) >= 4)
            entry.processId = *static_cast<const uint32_t*>(xcb_get_property_value(pid.get()));
        if (wmClass && wmClass->format == 8) {
            // WM_CLASS holds the instance name and then the class name, each ending in a zero.
            const QByteArray both(static_cast<const char*>(xcb_get_property_value(wmClass.get())),
                                  xcb_get_property_value_length(wmClass.get()));
            const QList<QByteArray> parts = both.split('\0');
            entry.ownerName =
                QString::fromUtf8(parts.size() > 1 && !parts[1].isEmpty() ? parts[1] : parts.value(0));
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

} // namespace vantrel
