#pragma once

#include "support/XClient.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

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

} // namespace vantrel::test
