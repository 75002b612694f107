#pragma once

#include "platform/KeyboardGuard.h"

#include <QByteArray>
#include <QObject>
#include <cstdint>
#include <memory>

namespace vantrel {

// Holds the keyboard of an X11 session with a grab on the root window, over an X connection and
// a thread of its own. The thread reads the grabbed keys, passes presses and media keys to the
// main thread (releases and modifier changes are dropped) and gives the keyboard back by itself
// at the deadline, however busy the main thread is; should the process die, the server ends the
// grab with the connection. Keys the system handles below the programs (switching consoles, the
// power key) cannot be held.
class X11KeyboardGuard final : public QObject, public KeyboardGuard {
    Q_OBJECT
public:
    // `display` names the server, the one Qt opened (qtXcbDisplayName()); empty: no X11 session,
    // every hold fails.
    explicit X11KeyboardGuard(QByteArray display, QObject* parent = nullptr);
    ~X11KeyboardGuard() override;
    X11KeyboardGuard(const X11KeyboardGuard&) = delete;
    X11KeyboardGuard& operator=(const X11KeyboardGuard&) = delete;

    bool hold(Seconds holdAtMost, Handler handler) override;
    void release() override;

private:
    class Session;

    QByteArray display_;
    std::unique_ptr<Session> session_;
    Handler handler_;
    // Raised by every hold and release: keys an earlier hold posted are dropped.
    std::uint64_t generation_ = 0;
};

} // namespace vantrel
