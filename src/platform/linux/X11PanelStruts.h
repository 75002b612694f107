#pragma once

#include "platform/ResultPort.h"
#include "platform/ThreadWorkQueue.h"

#include <QByteArray>
#include <QObject>
#include <QRect>
#include <QSize>
#include <memory>
#include <vector>

class QSocketNotifier;

namespace vantrel {

// The strips of the desktop that its panels keep for themselves, as each window listed by the
// window manager asks in its _NET_WM_STRUT_PARTIAL (else its older _NET_WM_STRUT). The window
// manager's own work area is one rectangle for the whole desktop: a panel along the bottom of the
// shorter of two monitors keeps a strip that does not reach the root window's edge, and that
// rectangle cannot leave it out. Read on an X connection of this reader's own, on a worker thread,
// a bounded number of windows and values at a time; again whenever the list, a listed window's
// strut or the root window's size changes. The main thread only takes the server's events, which
// never wait, and the finished strips.
class X11PanelStruts final : public QObject {
    Q_OBJECT
public:
    // One strip kept, in the root window's pixels, and the edge of the desktop it is kept at.
    struct Strip {
        enum class Edge { left, right, top, bottom };
        Edge edge = Edge::bottom;
        QRect area;
        bool operator==(const Strip&) const = default;
    };

    // Windows looked at, at most: far more than any desktop has panels.
    static constexpr quint32 kMaximumWindows = 1024;

    // On `display`; away from X11 (empty, or refused) it keeps no strips and reads nothing.
    explicit X11PanelStruts(const QByteArray& display, QObject* parent = nullptr);
    ~X11PanelStruts() override;

    const std::vector<Strip>& strips() const { return strips_; }

    // The strips a window's strut asks for on a root window of size `root`: twelve values of a
    // partial strut, or four of an old one spanning whole edges; clipped to the root window,
    // nothing for anything else.
    static std::vector<Strip> stripsOf(const std::vector<quint32>& strut, QSize root);
    // What is left of `monitor` (root pixels) once every strip that crosses it is taken away from
    // the edge it is kept at.
    static QRect workArea(const QRect& monitor, const std::vector<Strip>& strips);

Q_SIGNALS:
    // The strips differ from the ones read before.
    void changed();

private:
    struct Connection;
    // On the worker: every listed window's strips, its strut watched from now on.
    static std::vector<Strip> readAll(const Connection& x);
    void takeEvents();
    void read();

    std::shared_ptr<Connection> x_;
    std::unique_ptr<QSocketNotifier> events_;
    std::vector<Strip> strips_;
    bool reading_ = false;
    bool readAgain_ = false;
    ResultPort results_;
    // Last: a read under way is finished before the connection it uses goes.
    ThreadWorkQueue queue_{QStringLiteral("x11-panel-struts")};
};

} // namespace vantrel
