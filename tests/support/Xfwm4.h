#pragma once

#include "support/XClient.h"
#include "support/XvfbServer.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <memory>

namespace vantrel::test {

// Starts xfwm4 on `display`, replacing the running manager or not; true once it has taken charge,
// its compositor running or not as asked. `x` is any client of that display. A compositor asked
// for is the new manager's own: the one replaced holds its selection until it has gone.
inline bool startXfwm4(QProcess& manager, XClient& x, const QString& display, bool compositor,
                       bool replacing = false) {
    const xcb_window_t before = x.selectionOwner("WM_S0");
    const xcb_window_t compositorBefore = x.selectionOwner("_NET_WM_CM_S0");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display);
    manager.setProcessEnvironment(environment);
    QStringList arguments{compositor ? "--compositor=on" : "--compositor=off"};
    if (replacing) arguments.prepend("--replace");
    manager.start(QStandardPaths::findExecutable(QStringLiteral("xfwm4")), arguments);
    return manager.waitForStarted(10'000) && x.waitFor([&] {
        const xcb_window_t owner = x.selectionOwner("WM_S0");
        const xcb_window_t compositorOwner = x.selectionOwner("_NET_WM_CM_S0");
        return owner != XCB_NONE && owner != before &&
               (compositor ? compositorOwner != XCB_NONE && compositorOwner != compositorBefore
                           : compositorOwner == XCB_NONE);
    });
}

// A private X server of `width` by `height` with xfwm4 managing its windows, its compositor on or
// off as asked, and a client of it. `serverRunning()` is false where Xvfb could not be started,
// `managed()` where xfwm4 took no charge. Everything stops with the object.
class Xfwm4Desktop {
public:
    Xfwm4Desktop(int width, int height, bool compositor = false) : server(width, height) {
        if (!server.isRunning()) return;
        x = std::make_unique<XClient>(server.display().toLatin1());
        managed_ = x->ok() && startXfwm4(manager, *x, server.display(), compositor);
    }
    ~Xfwm4Desktop() {
        manager.terminate();
        manager.waitForFinished(10'000);
    }
    Xfwm4Desktop(const Xfwm4Desktop&) = delete;
    Xfwm4Desktop& operator=(const Xfwm4Desktop&) = delete;

    bool serverRunning() const { return server.isRunning(); }
    bool managed() const { return managed_; }
    const QString& display() const { return server.display(); }

    XvfbServer server;
    std::unique_ptr<XClient> x;
    QProcess manager;

private:
    bool managed_ = false;
};

} // namespace vantrel::test
