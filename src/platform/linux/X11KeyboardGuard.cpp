#include "platform/linux/X11KeyboardGuard.h"

#include "platform/linux/QtXcbConnection.h"
#include "platform/linux/ThreadWake.h"
#include "platform/linux/X11KeyClassifier.h"
#include "platform/linux/XcbReply.h"

#include <QMetaObject>
#include <QPointer>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>
#include <xcb/xcb.h>

namespace vantrel {

// One hold: the connection that holds the grab and the thread that serves it until the release
// or the deadline.
class X11KeyboardGuard::Session {
public:
    Session(xcb_connection_t* connection, X11KeyClassifier classifier,
            std::chrono::steady_clock::time_point deadline, X11KeyboardGuard* owner, std::uint64_t generation)
        : connection_(connection), classifier_(std::move(classifier)), deadline_(deadline), owner_(owner),
          generation_(generation) {
        thread_ = std::thread([this] { run(); });
    }
    ~Session() {
        stopping_ = true;
        wake_.raise();
        thread_.join();
        xcb_disconnect(connection_);
    }

private:
    void run() {
        while (!stopping_ && !xcb_connection_has_error(connection_)) {
            while (xcb_generic_event_t* raw = xcb_poll_for_event(connection_)) {
                std::unique_ptr<xcb_generic_event_t, FreeReply> event(raw);
                const std::uint8_t type = event->response_type & 0x7f;
                if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) continue;
                const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event.get());
                const GuardedKeyEvent guarded =
                    classifier_.classify(key->detail, key->state, type == XCB_KEY_PRESS);
                // Only what can count or end the session goes to the main thread.
                if (guarded.type != GuardedKeyEvent::Type::keyDown &&
                    guarded.type != GuardedKeyEvent::Type::systemDefined)
                    continue;
                const QPointer<X11KeyboardGuard> owner(owner_);
                const std::uint64_t generation = generation_;
                QMetaObject::invokeMethod(
                    owner_,
                    [owner, generation, guarded] {
                        if (!owner || owner->generation_ != generation || !owner->handler_) return;
                        const Handler handler = owner->handler_;
                        handler(guarded);
                    },
                    Qt::QueuedConnection);
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline_ - std::chrono::steady_clock::now());
            if (left.count() <= 0) break;
            wake_.wait(xcb_get_file_descriptor(connection_),
                       int(std::min<long long>(left.count() + 1, 60'000)));
        }
        // Given back here, on the deadline or the release, without waiting for the main thread.
        xcb_ungrab_keyboard(connection_, XCB_CURRENT_TIME);
        std::unique_ptr<xcb_get_input_focus_reply_t, FreeReply> settled(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

    xcb_connection_t* connection_;
    X11KeyClassifier classifier_;
    std::chrono::steady_clock::time_point deadline_;
    X11KeyboardGuard* owner_;
    std::uint64_t generation_;
    ThreadWake wake_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

X11KeyboardGuard::X11KeyboardGuard(QByteArray display, QObject* parent)
    : QObject(parent), display_(std::move(display)) {}

X11KeyboardGuard::~X11KeyboardGuard() {
    release();
}

bool X11KeyboardGuard::hold(Seconds holdAtMost, Handler handler) {
    release();
    const std::optional<OwnXcbConnection> own = connectToDisplay(display_);
    if (!own) return false;
    xcb_connection_t* connection = own->connection;
    X11KeyClassifier classifier = X11KeyClassifier::fromServer(connection);
    // Every key comes to this connection, the pointer stays free, and neither is frozen.
    std::unique_ptr<xcb_grab_keyboard_reply_t, FreeReply> grab(
        xcb_grab_keyboard_reply(connection,
                                xcb_grab_keyboard(connection, 0, own->root, XCB_CURRENT_TIME,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                nullptr));
    if (!grab || grab->status != XCB_GRAB_STATUS_SUCCESS) {
        xcb_disconnect(connection);
        return false;
    }
    handler_ = std::move(handler);
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::duration_cast<std::chrono::steady_clock::duration>(holdAtMost);
    session_ = std::make_unique<Session>(connection, std::move(classifier), deadline, this, ++generation_);
    return true;
}

void X11KeyboardGuard::release() {
    if (!session_) return;
    ++generation_;
    handler_ = nullptr;
    session_.reset();
}

} // namespace vantrel
