#pragma once

#include "platform/CompositorState.h"
#include "platform/WindowStacking.h"

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QPointer>
#include <QWidget>

struct xcb_connection_t;

namespace vantrel {

// The X server's desktop as the floating panels see it, through the xcb connection Qt holds: a
// compositing manager runs while someone owns the `_NET_WM_CM_S<screen>` selection, which the
// server announces through XFixes each time it changes hands, and windows kept above are raised
// again whenever another managed window is mapped or restacked. When a window manager takes over
// (from another, say), every kept window that is shown is mapped again. Nothing here waits for the server
// while events arrive. Away from X11 the platform composites and stacks by itself: it reports a
// compositor and keeps nothing.
class X11Desktop final : public CompositorState, public WindowStacking, private QAbstractNativeEventFilter {
    Q_OBJECT
public:
    // On Qt's connection and the screen Qt works on.
    X11Desktop();
    // On `connection` and its screen `screen`; its events must reach the application's native
    // event filters, as those of Qt's own connection do. Null: away from X11.
    X11Desktop(xcb_connection_t* connection, int screen);
    ~X11Desktop() override;

    bool isCompositing() const override { return compositing_; }
    void keepAbove(QWidget& window) override;
    void release(QWidget& window) override;
    bool markAsDock(QWidget& window) override;

private:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    bool ownsWindow(quint32 window) const;
    void setCompositing(bool compositing);
    void raiseKept();
    // Maps again every kept window that is shown, in case its mapping went astray.
    void mapKeptAgain();

    struct Connection;
    Connection* x11_ = nullptr;
    bool compositing_ = true;
    QList<QPointer<QWidget>> kept_;
};

} // namespace vantrel
