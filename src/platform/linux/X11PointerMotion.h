#pragma once

#include "platform/linux/ThreadWake.h"

#include <QByteArray>
#include <atomic>
#include <cstdint>
#include <thread>

struct xcb_connection_t;

namespace vantrel {

// Counts the pointer's motion on an X11 desktop from XInput2's raw events, read on an X
// connection and a thread of its own: a reader of the pointer at a steady pace can tell that
// nothing moved without asking the X server, and at rest the thread sleeps. Once it has counted a
// motion, further motion tells the reader nothing new until it has taken the count, so the thread
// sleeps until then (or a second at most, so that unread events never pile up at the server):
// it wakes at most once per reading. Raw events come from input devices only: a program that
// warps the pointer is not counted.
class X11PointerMotion {
public:
    enum class State { starting, watching, unavailable };

    // `display` names the server, the one Qt opened (qtXcbDisplayName()); empty: none.
    explicit X11PointerMotion(QByteArray display);
    ~X11PointerMotion();
    X11PointerMotion(const X11PointerMotion&) = delete;
    X11PointerMotion& operator=(const X11PointerMotion&) = delete;

    // Unavailable where the server has no XInput 2.1 or the connection failed or ended.
    State state() const { return state_.load(std::memory_order_acquire); }
    // Raised at least once for every motion after the state became `watching`.
    std::uint64_t motionCount() const { return count_.load(std::memory_order_acquire); }
    // The reader has taken the count: the next motion is counted as soon as it comes.
    void countTaken() const { wake_.raise(); }

private:
    void run();
    void serve(xcb_connection_t* connection, quint32 root);

    QByteArray display_;
    std::atomic<State> state_{State::starting};
    std::atomic<std::uint64_t> count_{0};
    std::atomic<bool> stopping_{false};
    ThreadWake wake_;
    std::thread thread_;
};

} // namespace vantrel
