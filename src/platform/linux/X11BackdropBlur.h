#pragma once

#include "platform/BackdropBlur.h"

#include <QAbstractNativeEventFilter>
#include <xcb/xcb.h>

namespace vantrel {

// The blur behind windows that KWin and compositors like it offer: a window lists the rectangles
// to blur in `_KDE_NET_WM_BLUR_BEHIND_REGION` (CARDINAL x, y, width, height each; an empty list is
// the whole window), and the compositor says it reads that property by listing the atom in the
// root window's `_NET_SUPPORTED`. The list is read again whenever the root's copy changes, as a
// compositor starts, stops or loads its blur. Nothing is written where no compositor offers it.
class X11BackdropBlur final : public BackdropBlur, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // Over the connection Qt holds, on the screen Qt works on; away from X11 nothing is offered.
    X11BackdropBlur();
    // Over `connection`, whose events reach it through handleEvent() only.
    X11BackdropBlur(xcb_connection_t* connection, xcb_window_t root);
    ~X11BackdropBlur() override;

    bool isAvailable() const override { return available_; }
    void blurBehind(QWidget& window, const QRegion& region) override;
    void clearBlur(QWidget& window) override;

    // The same for a native window.
    void blurBehind(quint32 window, const QRegion& region);
    void clearBlur(quint32 window);
    // Reads `_NET_SUPPORTED` again when `event` tells it changed.
    void handleEvent(const xcb_generic_event_t& event);

private:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    void setUp(xcb_connection_t* connection, xcb_window_t root);
    void refresh();

    xcb_connection_t* c_ = nullptr;
    xcb_window_t root_ = XCB_NONE;
    xcb_atom_t supported_ = XCB_NONE;
    xcb_atom_t blurRegion_ = XCB_NONE;
    bool available_ = false;
    bool filtering_ = false;
};

} // namespace vantrel
