#include "platform/linux/X11EventMonitors.h"

#include "platform/linux/QtXcbConnection.h"
#include "platform/linux/ThreadWake.h"
#include "platform/linux/XInputDecoder.h"
#include "platform/linux/XcbReply.h"

#include <QMetaObject>
#include <QPointer>
#include <cstdlib>
#include <memory>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xinput.h>

namespace vantrel {

namespace {

constexpr InputEventMask kGestureTypes = InputEventType::magnify | InputEventType::swipe;

// XInput2 event numbers, which are also their bits in a selection mask (XI 2.4's gestures lie
// past the first 32 bits).
enum XiEvent : int {
    hierarchy = 11,
    rawButtonPress = 15,
    rawButtonRelease = 16,
    rawMotion = 17,
    pinchBegin = 27,
    pinchUpdate = 28,
    pinchEnd = 29,
    swipeBegin = 30,
    swipeUpdate = 31,
    swipeEnd = 32,
};

using SelectionWords = std::vector<std::uint32_t>;

void setBit(SelectionWords& words, int event) {
    words[std::size_t(event / 32)] |= 1u << (event % 32);
}

// What the server must send for `wanted`, for the master devices.
SelectionWords selectionFor(InputEventMask wanted, bool withGestures) {
    SelectionWords words(2, 0);
    if (wanted & maskOf(InputEventType::scrollWheel)) {
        setBit(words, rawMotion);
        setBit(words, rawButtonPress); // legacy wheel buttons
    }
    if (wanted & (InputEventType::leftMouseDown | InputEventType::rightMouseDown))
        setBit(words, rawButtonPress);
    if (wanted & maskOf(InputEventType::leftMouseUp)) setBit(words, rawButtonRelease);
    if (withGestures && (wanted & maskOf(InputEventType::magnify)))
        for (const int event : {pinchBegin, pinchUpdate, pinchEnd}) setBit(words, event);
    if (withGestures && (wanted & maskOf(InputEventType::swipe)))
        for (const int event : {swipeBegin, swipeUpdate, swipeEnd}) setBit(words, event);
    return words;
}

} // namespace

// The thread that owns the X connection: it selects what is wanted on the root window, decodes
// what arrives and posts the wanted events to the owner on the main thread.
class X11EventMonitors::Reader {
public:
    Reader(QByteArray display, X11EventMonitors* owner, InputEventMask wanted, std::uint64_t generation)
        : display_(std::move(display)), owner_(owner), generation_(generation), wanted_(wanted) {
        thread_ = std::thread([this] { run(); });
    }
    ~Reader() {
        stopping_ = true;
        wake_.raise();
        thread_.join();
    }

    void want(InputEventMask wanted) {
        wanted_ = wanted;
        wake_.raise();
    }

private:
    void post(std::function<void()> work) {
        QMetaObject::invokeMethod(owner_, std::move(work), Qt::QueuedConnection);
    }

    bool select(xcb_connection_t* c, xcb_window_t root, InputEventMask wanted, bool withGestures) {
        const SelectionWords words = selectionFor(wanted, withGestures);
        // Two masks: the wanted events of the master devices, and device changes of all devices.
        std::vector<std::uint32_t> buffer;
        buffer.push_back(XCB_INPUT_DEVICE_ALL_MASTER | (std::uint32_t(words.size()) << 16));
        buffer.insert(buffer.end(), words.begin(), words.end());
        buffer.push_back(XCB_INPUT_DEVICE_ALL | (1u << 16));
        buffer.push_back(1u << hierarchy);
        const xcb_void_cookie_t cookie = xcb_input_xi_select_events_checked(
            c, root, 2, reinterpret_cast<const xcb_input_event_mask_t*>(buffer.data()));
        Reply<xcb_generic_error_t> error(xcb_request_check(c, cookie));
        return !error;
    }

    void readDevices(xcb_connection_t* c, XInputDecoder& decoder) {
        Reply<xcb_input_xi_query_device_reply_t> devices(
            xcb_input_xi_query_device_reply(c, xcb_input_xi_query_device(c, XCB_INPUT_DEVICE_ALL), nullptr));
        decoder.readDevices(devices.get());
    }

    void run() {
        const std::optional<OwnXcbConnection> own = connectToDisplay(display_);
        if (!own) return;
        serve(own->connection, own->root);
        xcb_disconnect(own->connection);
    }

    void serve(xcb_connection_t* c, xcb_window_t root) {
        const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_input_id);
        if (!extension || !extension->present) return;
        Reply<xcb_input_xi_query_version_reply_t> version(
            xcb_input_xi_query_version_reply(c, xcb_input_xi_query_version(c, 2, 4), nullptr));
        // Raw events reach a client that grabs nothing from XI 2.1 on; gestures came with 2.4.
        if (!version || (version->major_version == 2 && version->minor_version < 1)) return;
        bool withGestures = version->major_version > 2 || version->minor_version >= 4;

        XInputDecoder decoder;
        readDevices(c, decoder);
        InputEventMask selected = ~InputEventMask(0);
        while (!stopping_ && !xcb_connection_has_error(c)) {
            const InputEventMask wanted = wanted_;
            if (wanted != selected) {
                // Only one client may take the gestures of a window: where another has, the
                // rest is still watched.
                if (!select(c, root, wanted, withGestures)) {
                    withGestures = false;
                    select(c, root, wanted, false);
                }
                selected = wanted;
                const QPointer<X11EventMonitors> owner(owner_);
                const std::uint64_t generation = generation_;
                post([owner, wanted, generation] {
                    // A reader that has gone since speaks for nothing.
                    if (!owner || owner->readerGeneration_ != generation) return;
                    owner->selectedMask_ = wanted;
                    Q_EMIT owner->selected(wanted);
                });
            }
            while (xcb_generic_event_t* raw = xcb_poll_for_event(c)) {
                Reply<xcb_generic_event_t> event(raw);
                if ((event->response_type & 0x7f) != XCB_GE_GENERIC) continue;
                const auto* generic = reinterpret_cast<const xcb_ge_generic_event_t*>(event.get());
                if (generic->extension != extension->major_opcode) continue;
                if (generic->event_type == hierarchy) {
                    readDevices(c, decoder);
                    continue;
                }
                const std::optional<InputEvent> decoded = decoder.decode(generic);
                if (!decoded || !(wanted_ & maskOf(decoded->type))) continue;
                const InputEvent input = *decoded;
                X11EventMonitors* owner = owner_;
                const std::uint64_t generation = generation_;
                post([owner, input, generation] {
                    if (owner->readerGeneration_ == generation) owner->deliver(input);
                });
            }
            wake_.wait(xcb_get_file_descriptor(c), -1);
        }
    }

    QByteArray display_;
    X11EventMonitors* owner_;
    const std::uint64_t generation_;
    std::atomic<InputEventMask> wanted_;
    std::atomic<bool> stopping_{false};
    ThreadWake wake_;
    std::thread thread_;
};

X11EventMonitors::X11EventMonitors(QByteArray display, QObject* parent)
    : QObject(parent), display_(std::move(display)) {}

X11EventMonitors::~X11EventMonitors() {
    // Joined before the object goes, so nothing it posts can outlive it.
    reader_.reset();
}

EventMonitors::Token X11EventMonitors::addGlobalMonitor(InputEventMask mask, Handler handler) {
    const Token token = next_++;
    Monitor monitor{mask, std::move(handler)};
    if (mask & kGestureTypes)
        monitor.gestureToken = ownWindows_.addLocalMonitor(mask & kGestureTypes, monitor.handler);
    monitors_.emplace(token, std::move(monitor));
    updateReader();
    return token;
}

void X11EventMonitors::removeMonitor(Token token) {
    const auto found = monitors_.find(token);
    if (found == monitors_.end()) return;
    if (found->second.gestureToken != kRefused) ownWindows_.removeMonitor(found->second.gestureToken);
    monitors_.erase(found);
    updateReader();
}

InputEventMask X11EventMonitors::wantedMask() const {
    InputEventMask wanted = 0;
    for (const auto& [token, monitor] : monitors_) wanted |= monitor.mask;
    return wanted;
}

void X11EventMonitors::updateReader() {
    const InputEventMask wanted = wantedMask();
    if (wanted == 0) {
        reader_.reset();
        ++readerGeneration_;
        selectedMask_ = 0;
        return;
    }
    if (reader_)
        reader_->want(wanted);
    else
        reader_ = std::make_unique<Reader>(display_, this, wanted, ++readerGeneration_);
}

void X11EventMonitors::deliver(const InputEvent& event) {
    std::vector<Handler> handlers;
    for (const auto& [token, monitor] : monitors_)
        if (monitor.mask & maskOf(event.type)) handlers.push_back(monitor.handler);
    for (const Handler& handler : handlers) handler(event);
}

} // namespace vantrel
