#include "platform/linux/X11RunningApplications.h"

#include "platform/linux/BoundedIcon.h"
#include "platform/linux/QtXcbConnection.h"
#include "platform/linux/XcbReply.h"

#include <QAbstractNativeEventFilter>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QSet>
#include <QSysInfo>
#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <iterator>
#include <limits>
#include <type_traits>

#include <gio/gio.h>
#include <unistd.h>
#include <xcb/res.h>
#include <xcb/xcb.h>

namespace vantrel {

namespace {

// One client asked about, as the X-Resource query takes it: the type of its third parameter.
template <typename> struct ThirdParameter;
template <typename R, typename A, typename B, typename C> struct ThirdParameter<R (*)(A, B, C)> {
    using type = std::remove_const_t<std::remove_pointer_t<C>>;
};
using ClientQuery = ThirdParameter<decltype(&xcb_res_query_client_ids)>::type;

enum Atom {
    netClientList,
    netActiveWindow,
    netWmPid,
    netWmWindowType,
    netWmWindowTypeNormal,
    netWmState,
    netWmStateSkipTaskbar,
    netWmStateHidden,
    netCloseWindow,
    netWmIcon,
    wmChangeState,
    atomCount
};
constexpr const char* kAtomNames[atomCount] = {"_NET_CLIENT_LIST",
                                               "_NET_ACTIVE_WINDOW",
                                               "_NET_WM_PID",
                                               "_NET_WM_WINDOW_TYPE",
                                               "_NET_WM_WINDOW_TYPE_NORMAL",
                                               "_NET_WM_STATE",
                                               "_NET_WM_STATE_SKIP_TASKBAR",
                                               "_NET_WM_STATE_HIDDEN",
                                               "_NET_CLOSE_WINDOW",
                                               "_NET_WM_ICON",
                                               "WM_CHANGE_STATE"};

// ICCCM's iconic state, asked for through WM_CHANGE_STATE.
constexpr quint32 kIconicState = 3;
// EWMH: the request comes from a pager or task bar, acting for the user.
constexpr quint32 kSourcePager = 2;
// Enough for a program's whole set of icon sizes up to 512 by 512.
constexpr quint32 kMaximumIconLongs = 1 << 20;
constexpr quint32 kMaximumIconSide = 1024;
constexpr quint32 kMaximumClients = 1 << 16;

using PropertyReply = std::unique_ptr<xcb_get_property_reply_t, FreeReply>;
using ClientIdsReply = std::unique_ptr<xcb_res_query_client_ids_reply_t, FreeReply>;

QString latin1Part(const QByteArray& bytes, int index) {
    const QList<QByteArray> parts = bytes.split('\0');
    return index < parts.size() ? QString::fromLocal8Bit(parts[index]) : QString();
}

// The sizes of _NET_WM_ICON: width, height, then width x height ARGB pixels, again and again.
QIcon iconFromCardinals(const std::vector<quint32>& values) {
    QIcon icon;
    std::size_t at = 0;
    while (values.size() - at >= 2) {
        const quint32 width = values[at], height = values[at + 1];
        at += 2;
        if (width == 0 || height == 0 || width > kMaximumIconSide || height > kMaximumIconSide) break;
        const std::size_t pixels = std::size_t(width) * height;
        if (values.size() - at < pixels) break;
        QImage image(int(width), int(height), QImage::Format_ARGB32);
        for (quint32 y = 0; y < height; ++y)
            std::memcpy(image.scanLine(int(y)), values.data() + at + std::size_t(y) * width, width * 4);
        icon.addPixmap(QPixmap::fromImage(image));
        at += pixels;
    }
    return icon;
}

QIcon iconFromEntry(const QString& name) {
    if (name.isEmpty()) return {};
    return iconNamed(name);
}

QString processName(qint32 pid) {
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly)) return {};
    return QString::fromLocal8Bit(comm.read(64)).trimmed();
}

} // namespace

// The xcb connection Qt holds, its first screen's root window and the atoms this service uses.
class X11RunningApplications::Connection {
public:
    static std::unique_ptr<Connection> open() {
        xcb_connection_t* c = qtXcbConnection();
        if (!c) return nullptr;
        auto connection = std::unique_ptr<Connection>(new Connection(c));
        return connection->root ? std::move(connection) : nullptr;
    }

    xcb_get_property_cookie_t request(xcb_window_t window, Atom atom, xcb_atom_t type, quint32 longs) const {
        return xcb_get_property(c, 0, window, atoms[atom], type, 0, longs);
    }
    xcb_get_property_cookie_t request(xcb_window_t window, xcb_atom_t atom, xcb_atom_t type,
                                      quint32 longs) const {
        return xcb_get_property(c, 0, window, atom, type, 0, longs);
    }
    // The 32-bit values of the answer; empty when the property is absent or of another kind, or
    // the window is gone.
    std::vector<quint32> values(xcb_get_property_cookie_t cookie) const {
        const PropertyReply reply(property(cookie));
        if (!reply || reply->format != 32) return {};
        const auto* data = static_cast<const quint32*>(xcb_get_property_value(reply.get()));
        return std::vector<quint32>(data, data + xcb_get_property_value_length(reply.get()) / 4);
    }
    QByteArray bytes(xcb_get_property_cookie_t cookie) const {
        const PropertyReply reply(property(cookie));
        if (!reply || reply->format != 8) return {};
        return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                          xcb_get_property_value_length(reply.get()));
    }
    // Asks the server which local process made `window`'s client; none without the extension.
    std::optional<xcb_res_query_client_ids_cookie_t> requestOwner(xcb_window_t window) const {
        if (!res) return std::nullopt;
        const ClientQuery asked{window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
        return xcb_res_query_client_ids(c, 1, &asked);
    }
    // The process of the answer; 0 when the server cannot tell (a remote client, a window gone).
    qint32 owner(std::optional<xcb_res_query_client_ids_cookie_t> cookie) const {
        if (!cookie) return 0;
        xcb_generic_error_t* error = nullptr;
        const ClientIdsReply reply(xcb_res_query_client_ids_reply(c, *cookie, &error));
        free(error);
        if (!reply) return 0;
        for (auto it = xcb_res_query_client_ids_ids_iterator(reply.get()); it.rem;
             xcb_res_client_id_value_next(&it)) {
            const auto& [answered, length] = *it.data;
            if (!(answered.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) ||
                xcb_res_client_id_value_value_length(it.data) != 1)
                continue;
            const quint32 pid = *xcb_res_client_id_value_value(it.data);
            if (pid > 0 && pid <= quint32(std::numeric_limits<qint32>::max())) return qint32(pid);
        }
        return 0;
    }
    // Told when `window` changes a property. A window that is already gone answers with an error,
    // which nobody needs to see.
    void watch(xcb_window_t window) const {
        const quint32 mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_discard_reply(c,
                          xcb_change_window_attributes_checked(c, window, XCB_CW_EVENT_MASK, &mask).sequence);
    }
    // A request to the window manager about `window`, as EWMH has clients send them.
    void send(xcb_window_t window, Atom type, std::array<quint32, 5> data) const {
        xcb_client_message_event_t event;
        std::memset(&event, 0, sizeof event);
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = atoms[type];
        std::memcpy(event.data.data32, data.data(), sizeof event.data.data32);
        xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
        xcb_flush(c);
    }

    xcb_connection_t* c;
    xcb_window_t root = XCB_WINDOW_NONE;
    xcb_atom_t atoms[atomCount] = {};
    // The server names the processes of its local clients (X-Resource 1.2).
    bool res = false;

private:
    // A window gone meanwhile answers with an error, which is no news to anyone.
    xcb_get_property_reply_t* property(xcb_get_property_cookie_t cookie) const {
        xcb_generic_error_t* error = nullptr;
        xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, &error);
        free(error);
        return reply;
    }

    explicit Connection(xcb_connection_t* connection) : c(connection) {
        const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(c));
        if (!screens.rem) return;
        root = screens.data->root;
        xcb_intern_atom_cookie_t cookies[atomCount];
        for (int i = 0; i < atomCount; ++i)
            cookies[i] = xcb_intern_atom(c, 0, quint16(std::strlen(kAtomNames[i])), kAtomNames[i]);
        for (int i = 0; i < atomCount; ++i) {
            if (auto* reply = xcb_intern_atom_reply(c, cookies[i], nullptr)) {
                atoms[i] = reply->atom;
                free(reply);
            }
        }
        const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_res_id);
        if (!extension || !extension->present) return;
        const std::unique_ptr<xcb_res_query_version_reply_t, FreeReply> version(
            xcb_res_query_version_reply(c, xcb_res_query_version(c, 1, 2), nullptr));
        res = version &&
              (version->server_major > 1 || (version->server_major == 1 && version->server_minor >= 2));
    }
};

// Notices the window manager's changes of the client list and the active window among the root
// window's property events, which pass on to Qt untouched.
class X11RunningApplications::RootWatcher final : public QAbstractNativeEventFilter {
public:
    explicit RootWatcher(X11RunningApplications& owner) : owner_(owner) {}

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & ~0x80) != XCB_PROPERTY_NOTIFY) return false;
        const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        const Connection& x = *owner_.x_;
        if (notify->window != x.root) {
            if (notify->atom == x.atoms[netWmIcon]) iconChanged(notify->window);
            return false;
        }
        if (notify->atom == x.atoms[netClientList])
            owner_.announce(&X11RunningApplications::applicationsChanged, owner_.applicationsPending_);
        else if (notify->atom == x.atoms[netActiveWindow])
            owner_.announce(&X11RunningApplications::frontmostChanged, owner_.frontmostPending_);
        return false;
    }

private:
    void iconChanged(xcb_window_t window) {
        const auto known = owner_.known_.find(window);
        if (known == owner_.known_.end()) return;
        // Read again when next needed. A program showing its first icon is shown with it at once;
        // one that keeps changing its icon does not make the list be read each time.
        const bool hadNone = known->icon && known->icon->isNull();
        known->icon.reset();
        if (hadNone)
            owner_.announce(&X11RunningApplications::applicationsChanged, owner_.applicationsPending_);
    }

    X11RunningApplications& owner_;
};

struct X11RunningApplications::Window {
    xcb_window_t id = XCB_WINDOW_NONE;
    // As the window claims it; 0: the window does not say.
    qint32 pid = 0;
    // The X server says the window's client is that process.
    bool verified = false;
    bool regular = false;
    bool hidden = false;
    QString instance;
    QString windowClass;
    bool local = false;
};

X11RunningApplications::X11RunningApplications(QStringList applicationFolders, QObject* parent)
    : RunningApplications(parent), x_(Connection::open()), index_(applicationFolders) {
    for (const QString& folder : applicationFolders)
        if (QFileInfo(folder).isDir()) folders_.addPath(folder);
    connect(&folders_, &QFileSystemWatcher::directoryChanged, this, [this] { indexLoaded_ = false; });
    if (!x_) return;
    // Qt listens to the root window already; its own event mask is kept, property changes added.
    using AttributesReply = std::unique_ptr<xcb_get_window_attributes_reply_t, FreeReply>;
    const AttributesReply attributes(
        xcb_get_window_attributes_reply(x_->c, xcb_get_window_attributes(x_->c, x_->root), nullptr));
    // Without Qt's mask in hand, setting one would drop Qt's own root events: no changes are
    // announced then, and the list is read whenever asked.
    if (!attributes) return;
    const quint32 mask = attributes->your_event_mask | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(x_->c, x_->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x_->c);
    watcher_ = std::make_unique<RootWatcher>(*this);
    QCoreApplication::instance()->installNativeEventFilter(watcher_.get());
}

X11RunningApplications::~X11RunningApplications() {
    if (watcher_ && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(watcher_.get());
}

void X11RunningApplications::announce(void (X11RunningApplications::*signal)(), bool& pending) {
    // Once per turn of the event loop, and never from inside Qt's event processing.
    if (pending) return;
    pending = true;
    QMetaObject::invokeMethod(
        this,
        [this, signal, &pending] {
            pending = false;
            (this->*signal)();
        },
        Qt::QueuedConnection);
}

const DesktopEntryIndex& X11RunningApplications::index() const {
    if (!indexLoaded_) {
        index_.reload();
        indexLoaded_ = true;
    }
    return index_;
}

std::vector<X11RunningApplications::Window> X11RunningApplications::windows() const {
    if (!x_) return {};
    const Connection& x = *x_;
    const std::vector<quint32> clients =
        x.values(x.request(x.root, netClientList, XCB_ATOM_WINDOW, kMaximumClients));
    // What is known of windows no longer listed is of no further use, and their ids may be
    // given to new windows.
    const QSet<quint32> listed(clients.begin(), clients.end());
    for (auto it = known_.begin(); it != known_.end();)
        it = listed.contains(it.key()) ? std::next(it) : known_.erase(it);
    struct Pending {
        xcb_get_property_cookie_t pid, type, state, wmClass, machine;
        bool isNew;
        std::optional<xcb_res_query_client_ids_cookie_t> owner;
    };
    // Every question asked before the first answer is read: one round trip for the whole list.
    std::vector<Pending> pending;
    pending.reserve(clients.size());
    for (const quint32 window : clients) {
        const bool isNew = !known_.contains(window);
        pending.push_back({x.request(window, netWmPid, XCB_ATOM_CARDINAL, 1),
                           x.request(window, netWmWindowType, XCB_ATOM_ATOM, 64),
                           x.request(window, netWmState, XCB_ATOM_ATOM, 64),
                           x.request(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 256),
                           x.request(window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, 256), isNew,
                           isNew ? x.requestOwner(window) : std::nullopt});
    }
    const QByteArray host = QSysInfo::machineHostName().toLocal8Bit();
    const qint32 self = qint32(::getpid());
    std::vector<Window> result;
    result.reserve(clients.size());
    for (std::size_t i = 0; i < clients.size(); ++i) {
        Window window;
        window.id = clients[i];
        const std::vector<quint32> pid = x.values(pending[i].pid);
        if (!pid.empty() && pid.front() <= quint32(std::numeric_limits<qint32>::max()))
            window.pid = qint32(pid.front());
        if (pending[i].isNew) known_.insert(window.id, Known{x.owner(pending[i].owner), std::nullopt});
        const qint32 serverPid = known_.value(window.id).serverPid;
        window.verified = window.pid > 0 && serverPid == window.pid;
        const std::vector<quint32> types = x.values(pending[i].type);
        const std::vector<quint32> states = x.values(pending[i].state);
        const auto has = [](const std::vector<quint32>& list, xcb_atom_t atom) {
            return atom != XCB_ATOM_NONE && std::find(list.begin(), list.end(), atom) != list.end();
        };
        // A window that names no type is a normal one.
        window.regular = (types.empty() || has(types, x.atoms[netWmWindowTypeNormal])) &&
                         !has(states, x.atoms[netWmStateSkipTaskbar]);
        window.hidden = has(states, x.atoms[netWmStateHidden]);
        const QByteArray wmClass = x.bytes(pending[i].wmClass);
        window.instance = latin1Part(wmClass, 0);
        window.windowClass = latin1Part(wmClass, 1);
        QByteArray machine = x.bytes(pending[i].machine);
        while (machine.endsWith('\0')) machine.chop(1);
        window.local = !machine.isEmpty() && machine == host;
        // This program's own windows, and any that claim to be, are never another application.
        if (window.pid == self || serverPid == self) continue;
        if (pending[i].isNew) x.watch(window.id);
        result.push_back(std::move(window));
    }
    return result;
}

std::vector<RunningApplication> X11RunningApplications::runningApplications() const {
    const std::vector<Window> all = windows();
    // Grouped by process in the order of each one's first window; a window without a process
    // identifier belongs to no application that could be told apart.
    std::vector<qint32> order;
    QHash<qint32, std::vector<const Window*>> groups;
    for (const Window& window : all) {
        if (window.pid <= 0) continue;
        auto& group = groups[window.pid];
        if (group.empty()) order.push_back(window.pid);
        group.push_back(&window);
    }
    std::vector<RunningApplication> result;
    result.reserve(order.size());
    for (const qint32 pid : order) {
        std::vector<const Window*>& group = groups[pid];
        // Where the server vouches for some of its windows, the others merely claim the process.
        const bool verified =
            std::any_of(group.begin(), group.end(), [](const Window* w) { return w->verified; });
        if (verified) std::erase_if(group, [](const Window* w) { return !w->verified; });
        std::vector<const Window*> regular;
        std::copy_if(group.begin(), group.end(), std::back_inserter(regular),
                     [](const Window* w) { return w->regular; });
        const std::vector<const Window*>& shown = regular.empty() ? group : regular;
        RunningApplication app;
        app.processIdentifier = pid;
        app.processVerified = verified;
        app.isRegular = !regular.empty();
        app.isHidden = std::all_of(shown.begin(), shown.end(), [](const Window* w) { return w->hidden; });
        const bool local = group.front()->local;
        app.isTerminated = local && ::kill(pid, 0) != 0 && errno == ESRCH;
        // Only here does the process identifier name a process whose name can be read.
        const QString name = local ? processName(pid) : QString();
        const DesktopEntryIndex::Entry* entry = nullptr;
        for (const Window* w : shown)
            if ((entry = index().match(w->instance, w->windowClass, name))) break;
        if (entry) {
            app.localizedName = entry->entry.name;
            app.icon = iconFromEntry(entry->entry.icon);
            app.bundleIdentifier = entry->id;
            app.bundleURL = entry->path;
        } else {
            const Window& first = *shown.front();
            app.localizedName = first.windowClass.isEmpty() ? first.instance : first.windowClass;
        }
        for (const Window* w : shown) {
            if (!app.icon.isNull()) break;
            app.icon = windowIcon(w->id);
        }
        result.push_back(std::move(app));
    }
    return result;
}

const QIcon& X11RunningApplications::windowIcon(quint32 window) const {
    Known& known = known_[window];
    if (!known.icon) {
        ++iconReads_;
        known.icon = iconFromCardinals(
            x_->values(x_->request(window, netWmIcon, XCB_ATOM_CARDINAL, kMaximumIconLongs)));
    }
    return *known.icon;
}

std::optional<qint32> X11RunningApplications::frontmostProcessIdentifier() const {
    if (!x_) return std::nullopt;
    const std::vector<quint32> active =
        x_->values(x_->request(x_->root, netActiveWindow, XCB_ATOM_WINDOW, 1));
    if (active.empty() || active.front() == XCB_WINDOW_NONE) return std::nullopt;
    const std::vector<quint32> pid = x_->values(x_->request(active.front(), netWmPid, XCB_ATOM_CARDINAL, 1));
    if (pid.empty() || pid.front() == 0 || pid.front() > quint32(std::numeric_limits<qint32>::max()))
        return std::nullopt;
    return qint32(pid.front());
}

QString X11RunningApplications::fileManagerIdentifier() const {
    GAppInfo* handler = g_app_info_get_default_for_type("inode/directory", FALSE);
    if (!handler) return {};
    const char* id = g_app_info_get_id(handler);
    const QString result = id ? QString::fromUtf8(id) : QString();
    g_object_unref(handler);
    return result;
}

QString X11RunningApplications::bundleIdentifier(const QString& entryPath) const {
    return index_.idOf(entryPath);
}

std::vector<X11RunningApplications::Window>
X11RunningApplications::windowsOf(qint32 processIdentifier) const {
    std::vector<Window> mine;
    if (processIdentifier <= 0) return mine;
    for (Window& window : windows())
        if (window.pid == processIdentifier) mine.push_back(std::move(window));
    if (std::any_of(mine.begin(), mine.end(), [](const Window& w) { return w.verified; }))
        std::erase_if(mine, [](const Window& w) { return !w.verified; });
    // Its dialogs and panels follow their main windows.
    if (std::any_of(mine.begin(), mine.end(), [](const Window& w) { return w.regular; }))
        std::erase_if(mine, [](const Window& w) { return !w.regular; });
    return mine;
}

bool X11RunningApplications::activate(qint32 processIdentifier) {
    const std::vector<Window> mine = windowsOf(processIdentifier);
    for (const Window& window : mine)
        x_->send(window.id, netActiveWindow, {kSourcePager, XCB_CURRENT_TIME, 0, 0, 0});
    return !mine.empty();
}

bool X11RunningApplications::hide(qint32 processIdentifier) {
    const std::vector<Window> mine = windowsOf(processIdentifier);
    for (const Window& window : mine) x_->send(window.id, wmChangeState, {kIconicState, 0, 0, 0, 0});
    return !mine.empty();
}

bool X11RunningApplications::terminate(qint32 processIdentifier) {
    const std::vector<Window> mine = windowsOf(processIdentifier);
    for (const Window& window : mine)
        x_->send(window.id, netCloseWindow, {XCB_CURRENT_TIME, kSourcePager, 0, 0, 0});
    return !mine.empty();
}

bool X11RunningApplications::forceTerminate(qint32 processIdentifier) {
    // Only the process the server names as the maker of the windows, and only on the host whose
    // program made them: any program can write any number on its window.
    const std::vector<Window> mine = windowsOf(processIdentifier);
    if (mine.empty() ||
        !std::all_of(mine.begin(), mine.end(), [](const Window& w) { return w.verified && w.local; }))
        return false;
    return ::kill(processIdentifier, SIGKILL) == 0;
}

} // namespace vantrel
