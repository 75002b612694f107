// The X11 running-applications service on the display Qt opened (DISPLAY, or -display when
// given), beside the screens service, for a test that plays the window manager on that display.
// The arguments are the application folders. It says "ready <root event mask before> <after>" once the
// service is built; "apps <JSON list>" whenever the service announces a change of the list, "frontmost <pid>"
// when the frontmost application changes and "workspace" when the screens service sees the current workspace
// change. Commands come one per line on standard input: "list" (answered by "listed <JSON list>"),
// "activate", "hide", "quit" and "kill" with a process identifier (answered by "done <command>
// <true|false>"), "id <path>" (answered by "id <desktop-file id>") and "reads" (answered by "reads <icon
// reads so far> <replies the main thread waited for so far> <windows whose icons are kept>").
//
// Started as "--window <instance> <class> [--no-host] [--fork]" it is instead a program of its
// own with one window that names its true process and, unless --no-host, this host; it says
// "window <id>" and lives until its standard input closes. With --fork, the line "fork" on its
// standard input makes it hand its X connection to a child of its own, say "child <pid>" and end;
// the child lives until killed.
//
// For scripts/measure-running-apps.py: with VANTREL_MEASURE set, the service feeds a Dock's store
// instead of announcing, SIGTERM quits through the event loop, and "stall" is answered by
// "stall <longest event-loop turn since last asked, ms> <tiles>". "--flood <count> [<icon side>]"
// maps that many windows with icons of that side (default 64), 50 at a time, says "flooded"; "--storm <count>
// <per second>" rewrites one window's invalid icon that often, says "stormed"; both live until standard input
// closes.

#include "dock/RunningAppsStore.h"
#include "platform/AlertPresenter.h"
#include "platform/Environment.h"
#include "platform/ThreadWorkQueue.h"
#include "platform/linux/IconThemes.h"
#include "platform/linux/QtScreens.h"
#include "platform/linux/QtXcbConnection.h"
#include "platform/linux/SyslogSystemLog.h"
#include "platform/linux/X11RunningApplications.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>
#include <QSysInfo>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

using namespace vantrel;

namespace {

void say(const QString& line) {
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

quint32 rootEventMask() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c) return 0;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    auto* reply = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, root), nullptr);
    const quint32 mask = reply ? reply->your_event_mask : 0;
    free(reply);
    return mask;
}

QString describe(const std::vector<RunningApplication>& apps) {
    QJsonArray list;
    for (const RunningApplication& app : apps) {
        QJsonArray sizes;
        QSize largest;
        for (const QSize& size : app.icon.availableSizes()) {
            sizes.append(QStringLiteral("%1x%2").arg(size.width()).arg(size.height()));
            if (size.width() > largest.width()) largest = size;
        }
        // The top-left and the centre pixel of its largest size, as #aarrggbb.
        QJsonArray pixels;
        if (!largest.isEmpty()) {
            const QImage image = app.icon.pixmap(largest).toImage();
            for (const QPoint at : {QPoint(0, 0), QPoint(image.width() / 2, image.height() / 2)})
                pixels.append(image.pixelColor(at).name(QColor::HexArgb));
        }
        list.append(QJsonObject{{QStringLiteral("pid"), app.processIdentifier},
                                {QStringLiteral("name"), app.localizedName},
                                {QStringLiteral("id"), app.bundleIdentifier},
                                {QStringLiteral("url"), app.bundleURL.value_or(QString())},
                                {QStringLiteral("regular"), app.isRegular},
                                {QStringLiteral("hidden"), app.isHidden},
                                {QStringLiteral("terminated"), app.isTerminated},
                                {QStringLiteral("verified"), app.processVerified},
                                {QStringLiteral("icon"), sizes},
                                {QStringLiteral("pixels"), pixels}});
    }
    return QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact));
}

int ownWindow(const QByteArray& instance, const QByteArray& windowClass, bool namesHost, bool forks) {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) return 1;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, root, 0, 0, 10, 10, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    const char* name = "_NET_WM_PID";
    auto* atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, quint16(std::strlen(name)), name), nullptr);
    const quint32 pid = quint32(::getpid());
    if (atom)
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom->atom, XCB_ATOM_CARDINAL, 32, 1, &pid);
    free(atom);
    const QByteArray classes = instance + '\0' + windowClass + '\0';
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        quint32(classes.size()), classes.constData());
    const QByteArray host = QSysInfo::machineHostName().toLocal8Bit();
    if (namesHost)
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, 8,
                            quint32(host.size()), host.constData());
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    say(QStringLiteral("window %1").arg(window));
    char buffer[64];
    ssize_t n;
    while ((n = ::read(STDIN_FILENO, buffer, sizeof buffer)) > 0) {
        if (!forks || std::strncmp(buffer, "fork", 4) != 0) continue;
        // The child keeps the connection and the window; the server still names the parent.
        const pid_t child = ::fork();
        if (child < 0) return 1;
        if (child > 0) {
            say(QStringLiteral("child %1").arg(child));
            ::_exit(0);
        }
        // Lives until killed, two minutes at most.
        ::alarm(120);
        for (;;) ::pause();
    }
    xcb_disconnect(c);
    return 0;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    auto* reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, quint16(std::strlen(name)), name), nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return found;
}

void setCardinals(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                  const std::vector<quint32>& values) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, type, 32, quint32(values.size()),
                        values.data());
}

// Windows of another client: `count` of them with a `side` x `side` icon, or one whose invalid
// icon is rewritten `count` times, `perSecond` a second.
int otherClient(bool flood, int count, int perSecond, quint32 side = 64) {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) return 1;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t clientList = atom(c, "_NET_CLIENT_LIST"), pidAtom = atom(c, "_NET_WM_PID"),
                     iconAtom = atom(c, "_NET_WM_ICON");
    const QByteArray host = QSysInfo::machineHostName().toLocal8Bit();
    std::vector<quint32> icon(2 + side * side, 0xff3366cc);
    icon[0] = icon[1] = side;
    // The flood's windows name no host, so that the processes they claim are not looked for.
    const auto make = [&](quint32 pid, bool namesHost) {
        const xcb_window_t w = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, w, root, 0, 0, 10, 10, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        setCardinals(c, w, pidAtom, XCB_ATOM_CARDINAL, {pid});
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, 12,
                            "flood\0Flood\0");
        if (namesHost)
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, 8,
                                quint32(host.size()), host.constData());
        return w;
    };
    auto* listed = xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, clientList, XCB_ATOM_WINDOW, 0, 1 << 16), nullptr);
    std::vector<quint32> list;
    if (listed && listed->format == 32) {
        const auto* data = static_cast<const quint32*>(xcb_get_property_value(listed));
        list.assign(data, data + xcb_get_property_value_length(listed) / 4);
    }
    free(listed);
    if (flood) {
        for (int i = 0; i < count; ++i) {
            const xcb_window_t w = make(quint32(3000000 + i), false);
            setCardinals(c, w, iconAtom, XCB_ATOM_CARDINAL, icon);
            list.push_back(w);
            if (i % 50 == 49 || i == count - 1) {
                setCardinals(c, root, clientList, XCB_ATOM_WINDOW, list);
                free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
            }
        }
        say(QStringLiteral("flooded"));
    } else {
        const xcb_window_t w = make(quint32(::getpid()), true);
        setCardinals(c, w, iconAtom, XCB_ATOM_CARDINAL, {64, 64, 1});
        list.push_back(w);
        setCardinals(c, root, clientList, XCB_ATOM_WINDOW, list);
        xcb_flush(c);
        for (int i = 0; i < count; ++i) {
            setCardinals(c, w, iconAtom, XCB_ATOM_CARDINAL, {64, 64, quint32(i)});
            xcb_flush(c);
            ::usleep(useconds_t(1000000 / perSecond));
        }
        say(QStringLiteral("stormed"));
    }
    char buffer[64];
    while (::read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
    }
    xcb_disconnect(c);
    return 0;
}

// No question is ever asked while measuring.
class NoAlerts final : public AlertPresenter {
public:
    std::optional<int> run(const Request&) override { return std::nullopt; }
};

int terminationPipe[2] = {-1, -1};

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--flood") == 0)
        return otherClient(true, std::atoi(argv[2]), 0,
                           argc >= 4 ? quint32(std::clamp(std::atoi(argv[3]), 1, 1024)) : 64);
    if (argc >= 4 && std::strcmp(argv[1], "--storm") == 0)
        return otherClient(false, std::atoi(argv[2]), std::max(1, std::atoi(argv[3])));
    if (argc >= 4 && std::strcmp(argv[1], "--window") == 0) {
        bool namesHost = true, forks = false;
        for (int i = 4; i < argc; ++i) {
            namesHost = namesHost && std::strcmp(argv[i], "--no-host") != 0;
            forks = forks || std::strcmp(argv[i], "--fork") == 0;
        }
        return ownWindow(argv[2], argv[3], namesHost, forks);
    }
    QGuiApplication app(argc, argv);
    const quint32 before = rootEventMask();
    // Icon themes are read beside the event loop, as the program reads them.
    ThreadWorkQueue themeReader(QStringLiteral("icon-themes"), std::chrono::milliseconds(250));
    IconThemes themes(&themeReader);
    X11RunningApplications running(qtXcbDisplayName(), app.arguments().mid(1), &themes);
    ProcessEnvironment environment;
    SyslogSystemLog log;
    QtScreens screens(environment, log);
    say(QStringLiteral("ready %1 %2").arg(before).arg(rootEventMask()));

    // While measuring, only the Dock's store hears the news.
    const bool measuring = qEnvironmentVariableIsSet("VANTREL_MEASURE");
    if (!measuring) {
        QObject::connect(&running, &RunningApplications::applicationsChanged,
                         [&] { say(QStringLiteral("apps ") + describe(running.runningApplications())); });
        QObject::connect(&running, &RunningApplications::frontmostChanged, [&] {
            const auto pid = running.frontmostProcessIdentifier();
            say(QStringLiteral("frontmost %1").arg(pid ? *pid : 0));
        });
        QObject::connect(&screens, &Screens::activeWorkspaceChanged,
                         [] { say(QStringLiteral("workspace")); });
    }

    NoAlerts alerts;
    std::optional<RunningAppsStore> store;
    QElapsedTimer sinceTick;
    qint64 longestTurn = 0;
    QTimer ticks;
    std::optional<QSocketNotifier> termination;
    if (measuring) {
        store.emplace(running, alerts);
        sinceTick.start();
        QObject::connect(&ticks, &QTimer::timeout,
                         [&] { longestTurn = std::max(longestTurn, sinceTick.restart()); });
        ticks.start(5);
        if (::pipe(terminationPipe) == 0) {
            std::signal(SIGTERM, [](int) {
                const char byte = 0;
                [[maybe_unused]] const ssize_t written = ::write(terminationPipe[1], &byte, 1);
            });
            termination.emplace(terminationPipe[0], QSocketNotifier::Read);
            QObject::connect(&*termination, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
        }
    }

    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[512];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            app.quit();
            return;
        }
        pending.append(buffer, n);
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QStringList words = QString::fromUtf8(pending.left(end)).split(QLatin1Char(' '));
            pending.remove(0, end + 1);
            const QString& command = words.value(0);
            const qint32 pid = words.value(1).toInt();
            if (command == u"stall") {
                say(QStringLiteral("stall %1 %2").arg(longestTurn).arg(store ? store->apps().size() : 0));
                longestTurn = 0;
            } else if (command == u"list") {
                say(QStringLiteral("listed ") + describe(running.runningApplications()));
            } else if (command == u"reads") {
                say(QStringLiteral("reads %1 %2 %3")
                        .arg(running.iconReads())
                        .arg(running.mainThreadReplies())
                        .arg(running.keptIcons()));
            } else if (command == u"id") {
                say(QStringLiteral("id ") + running.bundleIdentifier(words.value(1)));
            } else {
                bool done = false;
                if (command == u"activate") done = running.activate(pid);
                if (command == u"hide") done = running.hide(pid);
                if (command == u"quit") done = running.terminate(pid);
                if (command == u"kill") done = running.forceTerminate(pid);
                say(QStringLiteral("done %1 %2")
                        .arg(command, done ? QStringLiteral("true") : QStringLiteral("false")));
            }
        }
    });
    return app.exec();
}
