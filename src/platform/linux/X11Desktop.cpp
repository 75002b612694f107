#include "platform/linux/X11Desktop.h"

#include "platform/linux/QtXcbConnection.h"
#include "platform/linux/X11DockWindow.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

namespace vantrel {

struct X11Desktop::Connection {
    xcb_connection_t* c = nullptr;
    xcb_window_t root = XCB_NONE;
    xcb_atom_t cmSelection = XCB_NONE;
    xcb_atom_t wmSelection = XCB_NONE;
    xcb_atom_t supportingCheck = XCB_NONE;
    xcb_atom_t windowType = XCB_NONE;
    xcb_atom_t dockType = XCB_NONE;
    xcb_atom_t state = XCB_NONE;
    QList<xcb_atom_t> states;
    // The code of XFixes' selection events on this connection; 0 without the extension.
    uint8_t selectionNotify = 0;
};

namespace {

xcb_atom_t atom(xcb_connection_t* c, const QByteArray& name) {
    return internAtom(c, name);
}

} // namespace

// The screen's number names the compositor's selection.
X11Desktop::X11Desktop() : X11Desktop(qtXcbConnection(), qtXcbScreenNumber()) {}

X11Desktop::X11Desktop(xcb_connection_t* c, int screen) {
    if (!c) return;
    x11_ = new Connection;
    x11_->c = c;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(x11_->c));
    for (int i = 0; i < screen && it.rem > 1; ++i) xcb_screen_next(&it);
    x11_->root = it.data->root;
    x11_->cmSelection = atom(x11_->c, "_NET_WM_CM_S" + QByteArray::number(screen));
    x11_->wmSelection = atom(x11_->c, "WM_S" + QByteArray::number(screen));
    x11_->supportingCheck = atom(x11_->c, "_NET_SUPPORTING_WM_CHECK");
    x11_->windowType = atom(x11_->c, "_NET_WM_WINDOW_TYPE");
    x11_->dockType = atom(x11_->c, "_NET_WM_WINDOW_TYPE_DOCK");
    x11_->state = atom(x11_->c, "_NET_WM_STATE");
    for (const char* name : {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_TASKBAR",
                             "_NET_WM_STATE_SKIP_PAGER"})
        x11_->states << atom(x11_->c, name);
    // Told of every top-level window that is mapped or restacked, which may rise over a kept one,
    // and of a window manager announcing itself.
    addEventMask(x11_->c, x11_->root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE);
    // The compositor's selection changing hands is announced with its new owner, so its state is
    // known without asking. Selected before the owner is first read, so no change falls between.
    const xcb_query_extension_reply_t* fixes = xcb_get_extension_data(x11_->c, &xcb_xfixes_id);
    if (fixes && fixes->present) {
        xcb_xfixes_query_version_reply_t* version = xcb_xfixes_query_version_reply(
            x11_->c, xcb_xfixes_query_version(x11_->c, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
            nullptr);
        if (version && version->major_version >= 1) {
            for (const xcb_atom_t selection : {x11_->cmSelection, x11_->wmSelection})
                xcb_xfixes_select_selection_input(
                    x11_->c, x11_->root, selection,
                    XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                        XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                        XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
            x11_->selectionNotify = uint8_t(fixes->first_event + XCB_XFIXES_SELECTION_NOTIFY);
        }
        free(version);
    }
    // Asked once; without XFixes a compositor that starts or stops later goes unnoticed.
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(x11_->c, xcb_get_selection_owner(x11_->c, x11_->cmSelection), nullptr);
    compositing_ = owner && owner->owner != XCB_NONE;
    free(owner);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11Desktop::~X11Desktop() {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
    delete x11_;
}

void X11Desktop::keepAbove(QWidget& window) {
    // Kept in the order last asked, so what asks last (the alert dot over its glow) lies on top.
    kept_.removeAll(&window);
    kept_.removeAll(nullptr);
    kept_ << &window;
    if (!x11_) return;
    const xcb_window_t id = xcb_window_t(window.winId());
    xcb_change_property(x11_->c, XCB_PROP_MODE_REPLACE, id, x11_->windowType, XCB_ATOM_ATOM, 32, 1,
                        &x11_->dockType);
    xcb_change_property(x11_->c, XCB_PROP_MODE_REPLACE, id, x11_->state, XCB_ATOM_ATOM, 32,
                        quint32(x11_->states.size()), x11_->states.constData());
    if (window.isVisible()) {
        const quint32 above = XCB_STACK_MODE_ABOVE;
        xcb_configure_window(x11_->c, id, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    }
    xcb_flush(x11_->c);
}

void X11Desktop::release(QWidget& window) {
    kept_.removeAll(&window);
}

bool X11Desktop::markAsDock(QWidget& window) {
    // Creates the native window without mapping it.
    return X11DockWindow::prepare(static_cast<quint32>(window.winId()));
}

bool X11Desktop::ownsWindow(quint32 window) const {
    for (const QPointer<QWidget>& kept : kept_)
        if (kept && kept->internalWinId() == window) return true;
    return false;
}

void X11Desktop::setCompositing(bool compositing) {
    if (compositing == compositing_) return;
    compositing_ = compositing;
    Q_EMIT changed();
}

void X11Desktop::mapKeptAgain() {
    // Mapping a mapped window does nothing; an unmapped one goes to the manager now in charge.
    bool mapped = false;
    for (const QPointer<QWidget>& window : std::as_const(kept_)) {
        if (!window || !window->isVisible() || !window->internalWinId()) continue;
        xcb_map_window(x11_->c, xcb_window_t(window->internalWinId()));
        mapped = true;
    }
    if (mapped) xcb_flush(x11_->c);
}

void X11Desktop::raiseKept() {
    const quint32 above = XCB_STACK_MODE_ABOVE;
    bool raised = false;
    for (const QPointer<QWidget>& window : std::as_const(kept_)) {
        if (!window || !window->isVisible() || !window->internalWinId()) continue;
        xcb_configure_window(x11_->c, xcb_window_t(window->internalWinId()), XCB_CONFIG_WINDOW_STACK_MODE,
                             &above);
        raised = true;
    }
    if (raised) xcb_flush(x11_->c);
}

bool X11Desktop::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const uint8_t type = event->response_type & ~0x80;
    if (x11_->selectionNotify && type == x11_->selectionNotify) {
        const auto* notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event);
        // A window destroyed or a client gone takes its selection with it.
        if (notify->selection == x11_->cmSelection)
            setCompositing(notify->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER &&
                           notify->owner != XCB_NONE);
        else if (notify->selection == x11_->wmSelection)
            mapKeptAgain();
        return false;
    }
    switch (type) {
    case XCB_PROPERTY_NOTIFY: {
        // A manager that replaces another takes the screen over only once the old one has gone;
        // a window mapped in between asked the old one, which left without answering, and the
        // new one adopts only windows it finds mapped. It announces itself once in charge.
        const auto* property = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (property->window == x11_->root && property->atom == x11_->supportingCheck) mapKeptAgain();
        break;
    }
    case XCB_MAP_NOTIFY: {
        const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
        // Menus and tooltips (override-redirect) open over everything, the panels' own included.
        if (map->event == x11_->root && !map->override_redirect && !ownsWindow(map->window)) raiseKept();
        break;
    }
    case XCB_CONFIGURE_NOTIFY: {
        const auto* configure = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
        if (configure->event == x11_->root && !configure->override_redirect && !ownsWindow(configure->window))
            raiseKept();
        break;
    }
    default:
        break;
    }
    return false;
}

} // namespace vantrel
