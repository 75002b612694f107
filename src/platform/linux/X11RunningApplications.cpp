#include "platform/linux/X11RunningApplications.h"

#include "platform/PictureGate.h"
#include "platform/linux/ConfirmedProcess.h"
#include "platform/linux/IconThemes.h"
#include "platform/linux/QtScheduler.h"
#include "platform/linux/QtXcbConnection.h"
#include "platform/linux/XcbReply.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QSocketNotifier>
#include <QSysInfo>
#include <QThread>
#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <iterator>
#include <limits>
#include <type_traits>
#include <utility>

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
// ICCCM's WM_HINTS: nine values, the icon pixmap fourth and its mask eighth, each present when
// its flag is set.
constexpr quint32 kHintsLongs = 9;
constexpr quint32 kIconPixmapHint = 1 << 2;
constexpr quint32 kIconMaskHint = 1 << 5;
// EWMH: the request comes from a pager or task bar, acting for the user.
constexpr quint32 kSourcePager = 2;
constexpr quint32 kMaximumWindowIconSide = 1024;
// Enough for a program's whole set of icon sizes: the largest side taken, each with its width and
// height, then the smaller ones, which take a third of it when each is half the one before.
constexpr quint32 kMaximumIconLongs = (kMaximumWindowIconSide * kMaximumWindowIconSide + 2) / 2 * 3;
constexpr quint32 kMaximumClients = 1 << 16;
// What one batch of the worker reads at most, so that each batch is short whatever the desktop
// holds, and quitting never waits long for the one under way.
constexpr std::size_t kWindowsPerBatch = 256;
constexpr std::size_t kIconsPerBatch = 16;
// Windows whose icons are kept: more than a Dock's row of 64 tiles, with some to spare for a list
// that changes. Others are read again when next asked for.
constexpr qsizetype kKeptIcons = 96;
// A tile draws an icon a few hundred pixels wide at most: a larger picture is kept at this side,
// and one window's pictures together at most this many pixels.
constexpr int kKeptIconSide = 256;
constexpr qint64 kKeptIconPixels = 2 * kKeptIconSide * kKeptIconSide;

using PropertyReply = std::unique_ptr<xcb_get_property_reply_t, FreeReply>;
using ClientIdsReply = std::unique_ptr<xcb_res_query_client_ids_reply_t, FreeReply>;

QString latin1Part(const QByteArray& bytes, int index) {
    const QList<QByteArray> parts = bytes.split('\0');
    return index < parts.size() ? QString::fromLocal8Bit(parts[index]) : QString();
}

// The sizes of _NET_WM_ICON: width, height, then width x height ARGB pixels, again and again.
// Taken through the picture gate, each size bounded before its pixels are copied.
std::vector<QImage> imagesFromCardinals(const std::vector<quint32>& values) {
    return picturesFromCardinals(values, kMaximumWindowIconSide);
}

// What is kept of a window's pictures: the largest first, none wider than kKeptIconSide, one per
// size, within kKeptIconPixels together.
std::vector<QImage> keptPictures(std::vector<QImage> images) {
    std::stable_sort(images.begin(), images.end(), [](const QImage& a, const QImage& b) {
        return a.width() * a.height() > b.width() * b.height();
    });
    std::vector<QImage> kept;
    qint64 pixels = 0;
    for (QImage& image : images) {
        if (image.width() > kKeptIconSide || image.height() > kKeptIconSide)
            image = image.scaled(kKeptIconSide, kKeptIconSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const qint64 area = qint64(image.width()) * image.height();
        if (pixels + area > kKeptIconPixels ||
            std::any_of(kept.begin(), kept.end(), [&](const QImage& k) { return k.size() == image.size(); }))
            continue;
        pixels += area;
        kept.push_back(std::move(image));
    }
    return kept;
}

QString processName(qint32 pid) {
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly)) return {};
    return QString::fromLocal8Bit(comm.read(64)).trimmed();
}

bool onMainThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

} // namespace

// A program's own window icon, read from the server only once it is drawn or asked about (its
// sizes, whether it is null): what the Dock shows is read, and not every listed window's. Until
// it is read it is null; its reading is announced as a change of the list.
class X11RunningApplications::WindowIconEngine final : public QIconEngine {
public:
    WindowIconEngine(const X11RunningApplications& reader, std::vector<quint32> windows)
        : reader_(const_cast<X11RunningApplications*>(&reader)), windows_(std::move(windows)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        current().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return current().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return current().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return current().availableSizes(mode, state);
    }
    bool isNull() override { return current().isNull(); }
    QString key() const override { return QStringLiteral("vantrel-window"); }
    QIconEngine* clone() const override { return new WindowIconEngine(*this); }

private:
    QIcon current() const { return reader_ ? reader_->windowIcon(windows_) : QIcon(); }

    QPointer<X11RunningApplications> reader_;
    std::vector<quint32> windows_;
};

// A connection to the X server of this service's own, its screen's root window and the atoms this
// service uses. An event mask belongs to the connection that selects it: watching other programs'
// windows on the connection Qt holds would replace the mask Qt selected on this program's own
// windows (its keys, exposures and resizes), and the root's, from another thread. On a connection
// of its own the masks are its own. xcb lets any thread ask and wait for its own answers; the
// worker does.
class X11RunningApplications::Connection {
public:
    static std::unique_ptr<Connection> open(const QByteArray& display) {
        const std::optional<OwnXcbConnection> own = connectToDisplay(display);
        return own ? std::unique_ptr<Connection>(new Connection(*own)) : nullptr;
    }
    ~Connection() { xcb_disconnect(c); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

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
        return propertyValues32(PropertyReply(property(cookie)).get());
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
        counted();
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
    // The picture of a pixmap named by a window's hints, through its mask when it has one; null
    // when it is gone, too large or of a kind not drawn here.
    QImage pixmapImage(xcb_pixmap_t pixmap, xcb_pixmap_t mask) const {
        using GeometryReply = std::unique_ptr<xcb_get_geometry_reply_t, FreeReply>;
        const xcb_get_geometry_cookie_t pixmapCookie = xcb_get_geometry(c, pixmap);
        const std::optional<xcb_get_geometry_cookie_t> maskCookie =
            mask ? std::optional(xcb_get_geometry(c, mask)) : std::nullopt;
        counted();
        const GeometryReply geometry(xcb_get_geometry_reply(c, pixmapCookie, nullptr));
        const GeometryReply maskGeometry(maskCookie ? xcb_get_geometry_reply(c, *maskCookie, nullptr)
                                                    : nullptr);
        if (!geometry || geometry->width == 0 || geometry->height == 0 ||
            geometry->width > kMaximumWindowIconSide || geometry->height > kMaximumWindowIconSide)
            return {};
        QImage image = picture(pixmap, geometry->width, geometry->height, geometry->depth);
        // A mask of another size or depth is no mask of this icon.
        if (image.isNull() || !maskGeometry || maskGeometry->depth != 1 ||
            maskGeometry->width != geometry->width || maskGeometry->height != geometry->height)
            return image;
        const QImage shape = picture(mask, geometry->width, geometry->height, 1);
        if (shape.isNull()) return image;
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            const auto* shapeLine = reinterpret_cast<const QRgb*>(shape.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if (qRed(shapeLine[x]) != 0) line[x] = 0; // a clear bit draws white in a bitmap
        }
        return image;
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
    // Replies the main thread waited for once built; read and written there only.
    mutable quint64 mainThreadWaits = 0;

private:
    void counted() const {
        if (onMainThread()) ++mainThreadWaits;
    }
    // A window gone meanwhile answers with an error, which is no news to anyone.
    xcb_get_property_reply_t* property(xcb_get_property_cookie_t cookie) const {
        counted();
        xcb_generic_error_t* error = nullptr;
        xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, &error);
        free(error);
        return reply;
    }
    // A pixmap's pixels in ARGB: true colour of 24 or 32 bits, or a bitmap's set bits black on
    // white.
    QImage picture(xcb_pixmap_t pixmap, int width, int height, quint8 depth) const {
        const xcb_setup_t* setup = xcb_get_setup(c);
        int bitsPerPixel = 0, pad = 0;
        for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it)) {
            if (it.data->depth != depth) continue;
            bitsPerPixel = it.data->bits_per_pixel;
            pad = it.data->scanline_pad;
        }
        if (!(depth == 1 && bitsPerPixel == 1) && !((depth == 24 || depth == 32) && bitsPerPixel == 32))
            return {};
        if (pad < 8 || pad % 8) return {};
        counted();
        const Reply<xcb_get_image_reply_t> reply(xcb_get_image_reply(
            c,
            xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, 0, 0, quint16(width), quint16(height), ~0u),
            nullptr));
        if (!reply) return {};
        const std::size_t stride = (std::size_t(width) * bitsPerPixel + pad - 1) / pad * (pad / 8);
        if (std::size_t(xcb_get_image_data_length(reply.get())) < stride * height) return {};
        const quint8* data = xcb_get_image_data(reply.get());
        const bool lsbBytes = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
        const bool lsbBits = setup->bitmap_format_bit_order == XCB_IMAGE_ORDER_LSB_FIRST;
        QImage image(width, height,
                     depth == 32 ? QImage::Format_ARGB32_Premultiplied : QImage::Format_ARGB32);
        for (int y = 0; y < height; ++y) {
            const quint8* row = data + std::size_t(y) * stride;
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < width; ++x) {
                if (depth == 1) {
                    const int bit = lsbBits ? x % 8 : 7 - x % 8;
                    line[x] = (row[x / 8] >> bit) & 1 ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
                    continue;
                }
                const quint8* p = row + std::size_t(x) * 4;
                const quint32 v =
                    lsbBytes ? quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24
                             : quint32(p[3]) | quint32(p[2]) << 8 | quint32(p[1]) << 16 | quint32(p[0]) << 24;
                line[x] = depth == 32 ? v : (v | 0xff000000u);
            }
        }
        return image;
    }

    explicit Connection(const OwnXcbConnection& own) : c(own.connection), root(own.root) {
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

// One batch for the worker.
struct X11RunningApplications::Job {
    bool readList = false;
    bool readActive = false;
    // With the list: the windows read before, which are not read again.
    QSet<quint32> known;
    // Windows to read whole, with when they were first seen.
    std::vector<std::pair<quint32, std::chrono::nanoseconds>> fresh;
    // Windows whose properties, or whose icons, changed.
    std::vector<quint32> attributes;
    std::vector<quint32> icons;
};

// What the worker read of one batch.
struct X11RunningApplications::Reading {
    std::optional<std::vector<quint32>> clients;
    std::chrono::nanoseconds listedAt{};
    bool activeRead = false;
    std::optional<qint32> frontmost;
    struct Fresh {
        Window window;
        qint32 serverPid = 0;
        std::shared_ptr<const ConfirmedProcess> process;
    };
    std::vector<Fresh> fresh;
    std::vector<Window> attributes;
    // Pictures only: pixmaps are made on the main thread.
    std::vector<std::pair<quint32, std::vector<QImage>>> icons;
};

// The worker's side: the connection it asks on and the processes it holds. Only the worker
// touches it once built.
struct X11RunningApplications::Worker {
    // The questions about one window.
    struct Asked {
        xcb_get_property_cookie_t pid, type, state, wmClass, machine;
    };

    const Connection& x;
    QByteArray host;
    // One descriptor per process, however many windows it has, while any window keeps it.
    QHash<qint32, std::weak_ptr<const ConfirmedProcess>> processes;

    std::shared_ptr<const ConfirmedProcess> confirm(qint32 pid, std::chrono::nanoseconds firstSeen) {
        if (std::shared_ptr<const ConfirmedProcess> held = processes.value(pid).lock();
            held && held->isRunning())
            return held;
        for (auto it = processes.begin(); it != processes.end();)
            it = it->expired() ? processes.erase(it) : std::next(it);
        std::shared_ptr<const ConfirmedProcess> process = ConfirmedProcess::confirm(pid, firstSeen);
        if (process) processes.insert(pid, process);
        return process;
    }

    Reading read(Job job) {
        Reading reading;
        if (job.readList) {
            reading.listedAt = ConfirmedProcess::sinceBoot();
            reading.clients = x.values(x.request(x.root, netClientList, XCB_ATOM_WINDOW, kMaximumClients));
            QSet<quint32> taken = job.known;
            for (const auto& [window, seen] : job.fresh) taken.insert(window);
            for (const quint32 window : *reading.clients) {
                if (job.fresh.size() >= kWindowsPerBatch) break;
                if (!taken.contains(window)) job.fresh.emplace_back(window, reading.listedAt);
                taken.insert(window);
            }
        }
        if (job.readActive) {
            reading.activeRead = true;
            const std::vector<quint32> active =
                x.values(x.request(x.root, netActiveWindow, XCB_ATOM_WINDOW, 1));
            if (!active.empty() && active.front() != XCB_WINDOW_NONE) {
                const std::vector<quint32> pid =
                    x.values(x.request(active.front(), netWmPid, XCB_ATOM_CARDINAL, 1));
                if (!pid.empty() && pid.front() != 0 &&
                    pid.front() <= quint32(std::numeric_limits<qint32>::max()))
                    reading.frontmost = qint32(pid.front());
            }
        }
        // Told of changes before reading, so none falls between the read and the watch.
        for (const auto& [window, seen] : job.fresh) x.watch(window);
        const auto ask = [this](quint32 window) {
            return Asked{x.request(window, netWmPid, XCB_ATOM_CARDINAL, 1),
                         x.request(window, netWmWindowType, XCB_ATOM_ATOM, 64),
                         x.request(window, netWmState, XCB_ATOM_ATOM, 64),
                         x.request(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 256),
                         x.request(window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, 256)};
        };
        // Every question of the batch asked before the first answer is read: one round trip.
        std::vector<Asked> fresh, changed;
        std::vector<std::optional<xcb_res_query_client_ids_cookie_t>> owners;
        for (const auto& [window, seen] : job.fresh) {
            fresh.push_back(ask(window));
            owners.push_back(x.requestOwner(window));
        }
        for (const quint32 window : job.attributes) changed.push_back(ask(window));
        std::vector<std::pair<xcb_get_property_cookie_t, xcb_get_property_cookie_t>> icons;
        for (const quint32 window : job.icons)
            icons.emplace_back(x.request(window, netWmIcon, XCB_ATOM_CARDINAL, kMaximumIconLongs),
                               x.request(window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, kHintsLongs));

        for (std::size_t i = 0; i < job.fresh.size(); ++i) {
            Reading::Fresh read{answer(job.fresh[i].first, fresh[i]), x.owner(owners[i]), nullptr};
            if (read.serverPid > 0 && read.serverPid != qint32(::getpid()))
                read.process = confirm(read.serverPid, job.fresh[i].second);
            reading.fresh.push_back(std::move(read));
        }
        for (std::size_t i = 0; i < job.attributes.size(); ++i)
            reading.attributes.push_back(answer(job.attributes[i], changed[i]));
        for (std::size_t i = 0; i < job.icons.size(); ++i) {
            std::vector<QImage> images = keptPictures(imagesFromCardinals(x.values(icons[i].first)));
            const std::vector<quint32> hints = x.values(icons[i].second);
            // Without an icon of its own size set, the picture its hints name, as xterm gives.
            if (images.empty() && hints.size() >= kHintsLongs && (hints[0] & kIconPixmapHint) && hints[3]) {
                const QImage image = x.pixmapImage(hints[3], (hints[0] & kIconMaskHint) ? hints[7] : 0);
                if (!image.isNull()) images.push_back(image);
            }
            reading.icons.emplace_back(job.icons[i], std::move(images));
        }
        return reading;
    }

private:
    Window answer(quint32 id, const Asked& asked) const {
        Window window;
        window.id = id;
        const std::vector<quint32> pid = x.values(asked.pid);
        if (!pid.empty() && pid.front() <= quint32(std::numeric_limits<qint32>::max()))
            window.pid = qint32(pid.front());
        const std::vector<quint32> types = x.values(asked.type);
        const std::vector<quint32> states = x.values(asked.state);
        const auto has = [](const std::vector<quint32>& list, xcb_atom_t atom) {
            return atom != XCB_ATOM_NONE && std::find(list.begin(), list.end(), atom) != list.end();
        };
        // A window that names no type is a normal one.
        window.regular = (types.empty() || has(types, x.atoms[netWmWindowTypeNormal])) &&
                         !has(states, x.atoms[netWmStateSkipTaskbar]);
        window.hidden = has(states, x.atoms[netWmStateHidden]);
        const QByteArray wmClass = x.bytes(asked.wmClass);
        window.instance = latin1Part(wmClass, 0);
        window.windowClass = latin1Part(wmClass, 1);
        QByteArray machine = x.bytes(asked.machine);
        while (machine.endsWith('\0')) machine.chop(1);
        window.namesThisHost = !machine.isEmpty() && machine == host;
        window.namesOtherHost = !machine.isEmpty() && machine != host;
        return window;
    }
};

bool X11RunningApplications::Known::verified() const {
    // A window named by another host came through a proxy of this one, whose process the server
    // names; a window that names no host is taken at the server's word.
    return window.pid > 0 && serverPid == window.pid && !window.namesOtherHost;
}

bool X11RunningApplications::Known::local() const {
    return window.namesThisHost || verified();
}

X11RunningApplications::X11RunningApplications(const QByteArray& display, QStringList applicationFolders,
                                               IconThemes* themes, Scheduler* scheduler, QObject* parent)
    : RunningApplications(parent), ownThemes_(themes ? nullptr : std::make_unique<IconThemes>()),
      themes_(themes ? *themes : *ownThemes_),
      ownScheduler_(scheduler ? nullptr : std::make_unique<QtScheduler>()),
      scheduler_(scheduler ? *scheduler : *ownScheduler_), x_(Connection::open(display)),
      index_(applicationFolders) {
    connect(&themes_, &IconThemes::changed, this, &RunningApplications::iconsChanged);
    for (const QString& folder : applicationFolders)
        if (QFileInfo(folder).isDir()) folders_.addPath(folder);
    connect(&folders_, &QFileSystemWatcher::directoryChanged, this, [this] { indexLoaded_ = false; });
    if (!x_) return;
    worker_ = std::make_shared<Worker>(Worker{*x_, QSysInfo::machineHostName().toLocal8Bit(), {}});
    listDirty_ = activeDirty_ = true;
    // Told of the window manager's changes of the client list and the active window.
    const quint32 mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(x_->c, x_->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x_->c);
    events_ = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(x_->c), QSocketNotifier::Read);
    connect(events_.get(), &QSocketNotifier::activated, this, &X11RunningApplications::takeEvents);
    schedule();
}

X11RunningApplications::~X11RunningApplications() {
    scheduler_.cancel(iconChangeTask_);
}

void X11RunningApplications::takeEvents() {
    // The worker's waits for its answers read events too, which then wait in xcb's queue with
    // nothing left on the socket to tell of them: they are taken here after each batch as well.
    while (xcb_generic_event_t* raw = xcb_poll_for_event(x_->c)) {
        const Reply<xcb_generic_event_t> event(raw);
        if ((event->response_type & ~0x80) != XCB_PROPERTY_NOTIFY) continue;
        const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event.get());
        const xcb_atom_t atom = notify->atom;
        if (notify->window == x_->root) {
            if (atom == x_->atoms[netClientList]) listChanged();
            if (atom == x_->atoms[netActiveWindow]) activeChanged();
        } else if (atom == x_->atoms[netWmIcon] || atom == XCB_ATOM_WM_HINTS) {
            windowChanged(notify->window, true);
        } else if (atom == x_->atoms[netWmPid] || atom == x_->atoms[netWmWindowType] ||
                   atom == x_->atoms[netWmState] || atom == XCB_ATOM_WM_CLASS ||
                   atom == XCB_ATOM_WM_CLIENT_MACHINE) {
            windowChanged(notify->window, false);
        }
    }
    // A server gone leaves the socket readable for good; nothing more will come.
    if (xcb_connection_has_error(x_->c)) events_->setEnabled(false);
}

quint64 X11RunningApplications::mainThreadReplies() const {
    return x_ ? x_->mainThreadWaits : 0;
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

void X11RunningApplications::listChanged() {
    listDirty_ = true;
    schedule();
}

void X11RunningApplications::activeChanged() {
    activeDirty_ = true;
    schedule();
}

void X11RunningApplications::windowChanged(quint32 window, bool icon) {
    if (noteChange(window, icon)) schedule();
}

bool X11RunningApplications::noteChange(quint32 window, bool icon) {
    const auto known = known_.find(window);
    if (known == known_.end()) {
        // The batch under way may be reading it for the first time, from before or after this
        // change: it is noted again once the batch is in.
        if (busy_) (icon ? iconsWhileRead_ : attributesWhileRead_).insert(window);
        return false;
    }
    if (!icon) {
        attributesDirty_.insert(window);
    } else {
        known->iconStale = true;
        // Read again only where it was read before, which is where it is shown, and only once
        // for all the changes of an interval.
        if (!known->icon && !known->iconAsked) return false;
        iconsChanging_.insert(window);
        if (!scheduler_.isScheduled(iconChangeTask_))
            iconChangeTask_ = scheduler_.schedule(kIconChangeInterval, [this] {
                iconsWanted_.unite(iconsChanging_);
                iconsChanging_.clear();
                schedule();
            });
        return false;
    }
    return true;
}

void X11RunningApplications::schedule() const {
    if (busy_ || !worker_) return;
    Job job;
    job.readList = listDirty_;
    job.readActive = activeDirty_;
    if (job.readList) job.known = QSet<quint32>(known_.keyBegin(), known_.keyEnd());
    // Windows listed before and not read yet keep the time they were first seen.
    job.fresh.assign(unread_.begin(),
                     unread_.begin() + std::ptrdiff_t(std::min(unread_.size(), kWindowsPerBatch)));
    auto* self = const_cast<X11RunningApplications*>(this);
    for (auto it = self->attributesDirty_.begin();
         it != self->attributesDirty_.end() && job.attributes.size() < kWindowsPerBatch;) {
        job.attributes.push_back(*it);
        it = self->attributesDirty_.erase(it);
    }
    for (auto it = iconsWanted_.begin(); it != iconsWanted_.end() && job.icons.size() < kIconsPerBatch;) {
        if (const auto known = self->known_.find(*it); known != self->known_.end()) {
            job.icons.push_back(*it);
            known->iconStale = false;
            known->iconAsked = true;
        }
        it = iconsWanted_.erase(it);
    }
    if (!job.readList && !job.readActive && job.fresh.empty() && job.attributes.empty() && job.icons.empty())
        return;
    listDirty_ = false;
    activeDirty_ = false;
    busy_ = true;
    queue_.async([worker = worker_, job = std::move(job), port = results_.handle(), self]() mutable {
        auto reading = std::make_shared<Reading>(worker->read(std::move(job)));
        port.post([self, reading] { self->apply(std::move(*reading)); });
    });
}

void X11RunningApplications::apply(Reading reading) {
    // While still busy, what the events tell is only noted, and read after this batch is in.
    takeEvents();
    busy_ = false;
    bool changed = false;
    if (reading.clients) {
        changed = changed || *reading.clients != clients_;
        clients_ = std::move(*reading.clients);
        // What is known of windows no longer listed is of no further use, and their ids may be
        // given to new windows.
        const QSet<quint32> listed(clients_.begin(), clients_.end());
        for (auto it = known_.begin(); it != known_.end();)
            it = listed.contains(it.key()) ? std::next(it) : known_.erase(it);
        QHash<quint32, std::chrono::nanoseconds> seen;
        for (const auto& [window, at] : unread_) seen.insert(window, at);
        unread_.clear();
        for (const quint32 window : clients_)
            if (!known_.contains(window)) unread_.emplace_back(window, seen.value(window, reading.listedAt));
    }
    if (!reading.fresh.empty()) {
        QSet<quint32> read;
        for (Reading::Fresh& fresh : reading.fresh) {
            const quint32 id = fresh.window.id;
            read.insert(id);
            if (known_.contains(id)) continue;
            known_.insert(id, Known{std::move(fresh.window), fresh.serverPid, std::move(fresh.process),
                                    std::nullopt, false, false, 0, false});
            changed = true;
        }
        std::erase_if(unread_, [&](const auto& entry) {
            return read.contains(entry.first) || known_.contains(entry.first);
        });
    }
    for (Window& window : reading.attributes) {
        const auto known = known_.find(window.id);
        if (known == known_.end() || known->window == window) continue;
        known->window = std::move(window);
        changed = true;
    }
    bool iconShown = false;
    QSet<qint32> redrawn;
    for (auto& [window, images] : reading.icons) {
        const auto known = known_.find(window);
        if (known == known_.end()) continue;
        ++iconReads_;
        known->iconAsked = false;
        QIcon icon;
        for (const QImage& image : images) icon.addPixmap(QPixmap::fromImage(image));
        // A program showing its first icon, or losing its last, is shown so at once; one that
        // keeps changing its icon does not have the list read each time.
        const bool hadNone = !known->icon || known->icon->isNull();
        // One let go and read again is told of no more: whoever asked for it again asks on.
        if (hadNone != icon.isNull() && !known->iconForgotten) iconShown = true;
        // Read again only because it changed: what was drawn of it is told to be out of date.
        else if (!hadNone && !icon.isNull() && known->window.pid > 0)
            redrawn.insert(known->window.pid);
        known->iconForgotten = false;
        known->icon = std::move(icon);
    }
    if (reading.activeRead && reading.frontmost != frontmost_) {
        frontmost_ = reading.frontmost;
        announce(&X11RunningApplications::frontmostChanged, frontmostPending_);
    }
    if (!reading.icons.empty()) forgetIcons();
    if (changed || iconShown) announce(&X11RunningApplications::applicationsChanged, applicationsPending_);
    if (!redrawn.isEmpty()) {
        const bool pending = !iconsRedrawn_.isEmpty();
        iconsRedrawn_.unite(redrawn);
        if (!pending)
            QMetaObject::invokeMethod(
                this,
                [this] {
                    const QSet<qint32> processes = std::exchange(iconsRedrawn_, {});
                    Q_EMIT windowIconsChanged(QList<qint32>(processes.begin(), processes.end()));
                },
                Qt::QueuedConnection);
    }
    // Changes that came while the batch was read, of windows it made known, are read next; those
    // of windows still unknown are of windows no longer listed.
    for (const quint32 window : std::exchange(attributesWhileRead_, {})) noteChange(window, false);
    for (const quint32 window : std::exchange(iconsWhileRead_, {})) noteChange(window, true);
    schedule();
}

const DesktopEntryIndex& X11RunningApplications::index() const {
    if (!indexLoaded_) {
        index_.reload();
        indexLoaded_ = true;
        matches_.clear();
    }
    return index_;
}

const DesktopEntryIndex::Entry* X11RunningApplications::match(const QString& instance,
                                                              const QString& windowClass,
                                                              const QString& processName) const {
    const DesktopEntryIndex& entries = index();
    // Many windows share their names, and each look-up walks every entry.
    const QString key = instance + QLatin1Char('\n') + windowClass + QLatin1Char('\n') + processName;
    if (const auto known = matches_.constFind(key); known != matches_.cend()) return *known;
    if (matches_.size() >= qsizetype(kMaximumClients)) matches_.clear();
    return *matches_.insert(key, entries.match(instance, windowClass, processName));
}

std::vector<const X11RunningApplications::Known*> X11RunningApplications::windows() const {
    const qint32 self = qint32(::getpid());
    std::vector<const Known*> result;
    result.reserve(clients_.size());
    for (const quint32 id : clients_) {
        const auto known = known_.constFind(id);
        if (known == known_.cend()) continue;
        // This program's own windows, and any that claim to be, are never another application.
        if (known->window.pid == self || known->serverPid == self) continue;
        result.push_back(&*known);
    }
    return result;
}

std::shared_ptr<const ConfirmedProcess>
X11RunningApplications::killable(const std::vector<const Known*>& windows) {
    for (const Known* known : windows)
        if (known->verified() && known->process && known->process->pid() == known->serverPid &&
            known->process->isRunning())
            return known->process;
    return nullptr;
}

std::vector<RunningApplication> X11RunningApplications::runningApplications() const {
    const std::vector<const Known*> all = windows();
    // Grouped by process in the order of each one's first window; a window without a process
    // identifier belongs to no application that could be told apart.
    std::vector<qint32> order;
    QHash<qint32, std::vector<const Known*>> groups;
    for (const Known* known : all) {
        const qint32 pid = known->window.pid;
        if (pid <= 0) continue;
        auto& group = groups[pid];
        if (group.empty()) order.push_back(pid);
        group.push_back(known);
    }
    std::vector<RunningApplication> result;
    result.reserve(order.size());
    for (const qint32 pid : order) {
        std::vector<const Known*>& group = groups[pid];
        // Where the server vouches for some of its windows, the others merely claim the process.
        const bool verified =
            std::any_of(group.begin(), group.end(), [](const Known* k) { return k->verified(); });
        if (verified) std::erase_if(group, [](const Known* k) { return !k->verified(); });
        std::vector<const Known*> regular;
        std::copy_if(group.begin(), group.end(), std::back_inserter(regular),
                     [](const Known* k) { return k->window.regular; });
        const std::vector<const Known*>& shown = regular.empty() ? group : regular;
        RunningApplication app;
        app.processIdentifier = pid;
        app.processVerified = killable(group) != nullptr;
        app.isRegular = !regular.empty();
        app.isHidden =
            std::all_of(shown.begin(), shown.end(), [](const Known* k) { return k->window.hidden; });
        const bool local = group.front()->local();
        app.isTerminated = local && ::kill(pid, 0) != 0 && errno == ESRCH;
        // Only here does the process identifier name a process whose name can be read.
        const QString name = local ? processName(pid) : QString();
        const DesktopEntryIndex::Entry* entry = nullptr;
        for (const Known* k : shown)
            if ((entry = match(k->window.instance, k->window.windowClass, name))) break;
        if (entry) {
            app.localizedName = entry->entry.name;
            if (!entry->entry.icon.isEmpty()) app.icon = themes_.icon(entry->entry.icon);
            app.bundleIdentifier = entry->id;
            app.bundleURL = entry->path;
        } else {
            const Window& first = shown.front()->window;
            app.localizedName = first.windowClass.isEmpty() ? first.instance : first.windowClass;
        }
        if (app.icon.isNull()) {
            std::vector<quint32> ids;
            ids.reserve(shown.size());
            for (const Known* k : shown) ids.push_back(k->window.id);
            app.icon = QIcon(new WindowIconEngine(*this, std::move(ids)));
        }
        result.push_back(std::move(app));
    }
    return result;
}

QIcon X11RunningApplications::windowIcon(const std::vector<quint32>& windows) const {
    const quint64 asked = ++iconAsks_;
    QIcon found;
    for (const quint32 id : windows) {
        const auto known = known_.constFind(id);
        if (known == known_.cend()) continue;
        known->iconUsed = asked;
        // Unread, or changed since: read in the next batch, and shown once it is; changes being
        // gathered are read when the gathering ends.
        if ((!known->icon || known->iconStale) && !known->iconAsked && !iconsChanging_.contains(id))
            iconsWanted_.insert(id);
        if (known->icon && !known->icon->isNull()) {
            found = *known->icon;
            break;
        }
        // The next window is asked for only once this one is known to have none.
        if (!known->icon) break;
    }
    if (!iconsWanted_.isEmpty() && !iconBatchQueued_) {
        iconBatchQueued_ = true;
        QMetaObject::invokeMethod(
            const_cast<X11RunningApplications*>(this),
            [this] {
                iconBatchQueued_ = false;
                schedule();
            },
            Qt::QueuedConnection);
    }
    return found;
}

void X11RunningApplications::forgetIcons() {
    std::vector<std::pair<quint64, quint32>> kept;
    for (auto it = known_.cbegin(); it != known_.cend(); ++it)
        if (it->icon && !it->icon->isNull()) kept.emplace_back(it->iconUsed, it.key());
    if (qsizetype(kept.size()) <= kKeptIcons) return;
    std::sort(kept.begin(), kept.end());
    for (std::size_t i = 0; i < kept.size() - std::size_t(kKeptIcons); ++i) {
        Known& known = known_[kept[i].second];
        known.icon.reset();
        known.iconStale = false;
        known.iconForgotten = true;
    }
}

int X11RunningApplications::keptIcons() const {
    return int(std::count_if(known_.cbegin(), known_.cend(),
                             [](const Known& k) { return k.icon && !k.icon->isNull(); }));
}

std::optional<qint32> X11RunningApplications::frontmostProcessIdentifier() const {
    return frontmost_;
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

QIcon X11RunningApplications::genericApplicationIcon() const {
    return themes_.icon(QStringLiteral("application-x-executable"));
}

std::vector<const X11RunningApplications::Known*>
X11RunningApplications::windowsOf(qint32 processIdentifier) const {
    std::vector<const Known*> mine;
    if (processIdentifier <= 0) return mine;
    for (const Known* known : windows())
        if (known->window.pid == processIdentifier) mine.push_back(known);
    if (std::any_of(mine.begin(), mine.end(), [](const Known* k) { return k->verified(); }))
        std::erase_if(mine, [](const Known* k) { return !k->verified(); });
    // Its dialogs and panels follow their main windows.
    if (std::any_of(mine.begin(), mine.end(), [](const Known* k) { return k->window.regular; }))
        std::erase_if(mine, [](const Known* k) { return !k->window.regular; });
    return mine;
}

bool X11RunningApplications::activate(qint32 processIdentifier) {
    const std::vector<const Known*> mine = windowsOf(processIdentifier);
    for (const Known* known : mine)
        x_->send(known->window.id, netActiveWindow, {kSourcePager, XCB_CURRENT_TIME, 0, 0, 0});
    return !mine.empty();
}

bool X11RunningApplications::hide(qint32 processIdentifier) {
    const std::vector<const Known*> mine = windowsOf(processIdentifier);
    for (const Known* known : mine) x_->send(known->window.id, wmChangeState, {kIconicState, 0, 0, 0, 0});
    return !mine.empty();
}

bool X11RunningApplications::terminate(qint32 processIdentifier) {
    const std::vector<const Known*> mine = windowsOf(processIdentifier);
    for (const Known* known : mine)
        x_->send(known->window.id, netCloseWindow, {XCB_CURRENT_TIME, kSourcePager, 0, 0, 0});
    return !mine.empty();
}

bool X11RunningApplications::forceTerminate(qint32 processIdentifier) {
    // The same judgement that offers Force Quit, and the signal goes to the very process it
    // judged: any program can write any number on its window, and ids are given again.
    const std::shared_ptr<const ConfirmedProcess> process = killable(windowsOf(processIdentifier));
    return process && process->kill();
}

} // namespace vantrel
