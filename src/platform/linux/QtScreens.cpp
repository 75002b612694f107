#include "platform/linux/QtScreens.h"

#include "platform/linux/QtXcbConnection.h"
#include "platform/linux/X11PanelStruts.h"
#include "platform/linux/X11PointerReading.h"

#include "platform/Environment.h"

#include <QAbstractNativeEventFilter>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <xcb/xcb.h>

namespace vantrel {

// The window manager announces the current workspace in the root window's _NET_CURRENT_DESKTOP;
// Qt already listens to the root window's property changes, so the events only need noticing.
class QtScreens::WorkspaceWatcher final : public QAbstractNativeEventFilter {
public:
    WorkspaceWatcher(QtScreens& owner, xcb_connection_t* connection)
        : owner_(owner), atom_(internAtom(connection, QByteArrayLiteral("_NET_CURRENT_DESKTOP"))) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (atom_ == XCB_ATOM_NONE || eventType != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & ~0x80) != XCB_PROPERTY_NOTIFY) return false;
        if (reinterpret_cast<const xcb_property_notify_event_t*>(event)->atom == atom_)
            Q_EMIT owner_.activeWorkspaceChanged();
        return false;
    }

private:
    QtScreens& owner_;
    xcb_atom_t atom_ = XCB_ATOM_NONE;
};

QtScreens::QtScreens(const Environment& environment, SystemLog& log, QObject* parent)
    : Screens(parent),
      notch_(SimulatedNotch::parse(environment.value(QStringLiteral("VANTREL_NOTCH")), log)) {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app) return;
    // A Wayland client cannot hang a panel from the top edge: with no housing the notch panel stays
    // hidden, as on any screen without one, rather than showing wherever the compositor puts it.
    if (QGuiApplication::platformName().startsWith(u"wayland")) notch_.reset();
    for (QScreen* screen : QGuiApplication::screens()) watch(screen);
    connect(app, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        watch(screen);
        Q_EMIT screensChanged();
    });
    connect(app, &QGuiApplication::screenRemoved, this, &Screens::screensChanged);
    connect(app, &QGuiApplication::primaryScreenChanged, this, &Screens::screensChanged);
    if (xcb_connection_t* connection = qtXcbConnection()) {
        workspaceWatcher_ = std::make_unique<WorkspaceWatcher>(*this, connection);
        app->installNativeEventFilter(workspaceWatcher_.get());
        struts_ = std::make_unique<X11PanelStruts>(qtXcbDisplayName());
        connect(struts_.get(), &X11PanelStruts::changed, this, &Screens::screensChanged);
    }
}

QtScreens::~QtScreens() {
    if (workspaceWatcher_ && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(workspaceWatcher_.get());
}

void QtScreens::watch(QScreen* screen) {
    connect(screen, &QScreen::geometryChanged, this, &Screens::screensChanged);
    connect(screen, &QScreen::availableGeometryChanged, this, &Screens::screensChanged);
}

quint32 QtScreens::displayNumber(const QScreen* screen) const {
    auto found = numbers_.constFind(screen->name());
    if (found != numbers_.constEnd()) return *found;
    const auto number = static_cast<quint32>(numbers_.size() + 1);
    numbers_.insert(screen->name(), number);
    return number;
}

std::optional<ScreenInfo> QtScreens::describe(const QScreen* screen) const {
    if (!screen) return std::nullopt;
    ScreenInfo info{screen->name(), screen->geometry(), screen->availableGeometry(), displayNumber(screen)};
    // A work area that leaves nothing of the screen is one a window manager that has gone left
    // behind for screens as they were: the whole screen is free.
    if (info.visibleFrame.isEmpty()) info.visibleFrame = info.frame;
    if (struts_ && !struts_->strips().empty()) {
        // The strips are in the server's pixels; a screen keeps its origin there, and its size is
        // in points.
        const double scale = screen->devicePixelRatio();
        const QPoint origin = info.frame.topLeft();
        const QRect native(origin, (QSizeF(info.frame.size()) * scale).toSize());
        const QRect left = X11PanelStruts::workArea(native, struts_->strips());
        const QRect inPoints(origin + (left.topLeft() - origin) / scale,
                             origin + (left.bottomRight() + QPoint(1, 1) - origin) / scale - QPoint(1, 1));
        // Strips that leave nothing of the screen are no panel's honest ones.
        if (const QRect kept = info.visibleFrame.intersected(inPoints); !kept.isEmpty())
            info.visibleFrame = kept;
    }
    const QList<QScreen*> all = QGuiApplication::screens();
    if (notch_ && notch_->isOn(static_cast<int>(all.indexOf(const_cast<QScreen*>(screen))),
                               screen == QGuiApplication::primaryScreen()))
        notch_->applyTo(info);
    return info;
}

std::vector<ScreenInfo> QtScreens::screens() const {
    std::vector<ScreenInfo> result;
    for (const QScreen* screen : QGuiApplication::screens())
        if (auto info = describe(screen)) result.push_back(*info);
    return result;
}

std::optional<ScreenInfo> QtScreens::mainScreen() const {
    return describe(QGuiApplication::primaryScreen());
}

std::optional<ScreenInfo> QtScreens::screenOf(const QWidget& window) const {
    // A window that was never shown has no native window yet and so no screen of its own.
    if (!window.window()->windowHandle()) return std::nullopt;
    // While a screen that went is announced, its windows still name it; they are moved off it only
    // afterwards.
    QScreen* screen = window.screen();
    if (!QGuiApplication::screens().contains(screen)) return std::nullopt;
    return describe(screen);
}

QPoint QtScreens::pointerLocation() const {
    return QCursor::pos();
}

std::optional<QPoint> QtScreens::recentPointerLocation() const {
    // Looked up once: the connection lasts as long as the application.
    if (!pointerConnection_) pointerConnection_ = qtXcbConnection();
    xcb_connection_t* connection = *pointerConnection_;
    // The X server speaks in device pixels; only where they are the screens' own points is its
    // answer used as it is. Elsewhere Qt's own reading converts it.
    const auto scaled = [] {
        const QList<QScreen*> all = QGuiApplication::screens();
        return std::any_of(all.begin(), all.end(),
                           [](const QScreen* screen) { return screen->devicePixelRatio() != 1.0; });
    };
    if (!connection || scaled()) return pointerLocation();
    if (!pointerReading_)
        pointerReading_ = std::make_unique<X11PointerReading>(connection, qtXcbDisplayName());
    return pointerReading_->read();
}

Qt::MouseButtons QtScreens::pressedMouseButtons() const {
    xcb_connection_t* connection = qtXcbConnection();
    // Elsewhere only the buttons over this application's own windows are known.
    if (!connection) return QGuiApplication::mouseButtons();
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen) return Qt::NoButton;
    xcb_query_pointer_reply_t* reply =
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, screen->root), nullptr);
    if (!reply) return Qt::NoButton;
    const uint16_t mask = reply->mask;
    std::free(reply);
    Qt::MouseButtons buttons;
    if (mask & XCB_BUTTON_MASK_1) buttons |= Qt::LeftButton;
    if (mask & XCB_BUTTON_MASK_2) buttons |= Qt::MiddleButton;
    if (mask & XCB_BUTTON_MASK_3) buttons |= Qt::RightButton;
    return buttons;
}

std::optional<ScreenInfo> QtScreens::screenAtPointer() const {
    return describe(QGuiApplication::screenAt(QCursor::pos()));
}

} // namespace vantrel
