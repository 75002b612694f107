#include "platform/linux/X11BackdropBlur.h"

#include "platform/linux/QtXcbConnection.h"
#include "platform/linux/XcbReply.h"

#include <QCoreApplication>
#include <QTransform>
#include <QVector>
#include <QWidget>
#include <cstdlib>
#include <memory>

namespace vantrel {

namespace {

// A window manager lists a few hundred atoms at most; the read stops well beyond that.
constexpr quint32 kMaxSupportedAtoms = 4096;

// The root of the screen Qt works on.
xcb_window_t rootOfDisplay(xcb_connection_t* c) {
    const int screen = qtXcbScreenNumber();
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screen && it.rem > 1; ++i) xcb_screen_next(&it);
    return it.data ? it.data->root : XCB_NONE;
}

} // namespace

X11BackdropBlur::X11BackdropBlur() {
    xcb_connection_t* c = qtXcbConnection();
    if (!c) return;
    setUp(c, rootOfDisplay(c));
    QCoreApplication::instance()->installNativeEventFilter(this);
    filtering_ = true;
}

X11BackdropBlur::X11BackdropBlur(xcb_connection_t* connection, xcb_window_t root) {
    if (connection) setUp(connection, root);
}

X11BackdropBlur::~X11BackdropBlur() {
    if (filtering_ && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

void X11BackdropBlur::setUp(xcb_connection_t* connection, xcb_window_t root) {
    c_ = connection;
    root_ = root;
    supported_ = internAtom(c_, "_NET_SUPPORTED");
    blurRegion_ = internAtom(c_, "_KDE_NET_WM_BLUR_BEHIND_REGION");
    // Told when the root's properties change, on top of what this client already hears of it.
    addEventMask(c_, root_, XCB_EVENT_MASK_PROPERTY_CHANGE);
    refresh();
}

void X11BackdropBlur::refresh() {
    bool available = false;
    if (supported_ != XCB_NONE && blurRegion_ != XCB_NONE) {
        std::unique_ptr<xcb_get_property_reply_t, FreeReply> reply(xcb_get_property_reply(
            c_, xcb_get_property(c_, 0, root_, supported_, XCB_ATOM_ATOM, 0, kMaxSupportedAtoms), nullptr));
        if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
            const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
            const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_atom_t));
            for (int i = 0; i < count && !available; ++i) available = atoms[i] == blurRegion_;
        }
    }
    if (available == available_) return;
    available_ = available;
    Q_EMIT availabilityChanged();
}

void X11BackdropBlur::blurBehind(QWidget& window, const QRegion& region) {
    if (!c_ || !available_) return;
    // The compositor counts in the screen's pixels.
    const qreal ratio = window.devicePixelRatioF();
    blurBehind(quint32(window.winId()),
               ratio == 1 ? region : QTransform::fromScale(ratio, ratio).map(region));
}

void X11BackdropBlur::clearBlur(QWidget& window) {
    // A window without a native one yet carries no request to withdraw.
    if (c_ && window.internalWinId()) clearBlur(quint32(window.internalWinId()));
}

void X11BackdropBlur::blurBehind(quint32 window, const QRegion& region) {
    if (!c_ || !available_ || !window) return;
    QVector<quint32> values;
    values.reserve(int(region.rectCount()) * 4);
    for (const QRect& rect : region)
        values << quint32(rect.x()) << quint32(rect.y()) << quint32(rect.width()) << quint32(rect.height());
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, window, blurRegion_, XCB_ATOM_CARDINAL, 32,
                        quint32(values.size()), values.constData());
    xcb_flush(c_);
}

void X11BackdropBlur::clearBlur(quint32 window) {
    if (!c_ || !window) return;
    xcb_delete_property(c_, window, blurRegion_);
    xcb_flush(c_);
}

void X11BackdropBlur::handleEvent(const xcb_generic_event_t& event) {
    if ((event.response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return;
    const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
    if (notify.window == root_ && notify.atom == supported_) refresh();
}

bool X11BackdropBlur::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (c_ && eventType == "xcb_generic_event_t")
        handleEvent(*static_cast<const xcb_generic_event_t*>(message));
    return false;
}

} // namespace vantrel
