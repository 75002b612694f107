// The X11 running-applications service on Qt's own xcb connection, beside the screens service,
// for a test that plays the window manager on the display of DISPLAY. The arguments are the
// application folders. It says "ready <root event mask before> <after>" once the service is
// built; "apps <JSON list>" whenever the service announces a change of the list, "frontmost
// <pid>" when the frontmost application changes and "workspace" when the screens service sees
// the current workspace change. Commands come one per line on standard input: "list" (answered
// by "apps ..."), "activate", "hide", "quit" and "kill" with a process identifier (answered by
// "done <command> <true|false>"), "id <path>" (answered by "id <desktop-file id>") and "reads"
// (answered by "reads <icon reads so far>").
//
// Started as "--window <instance> <class>" it is instead a program of its own with one window
// that names its true process and this host; it says "window <id>" and lives until its standard
// input closes.

#include "platform/Environment.h"
#include "platform/linux/QtScreens.h"
#include "platform/linux/SyslogSystemLog.h"
#include "platform/linux/X11RunningApplications.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>
#include <QSysInfo>
#include <cstdio>
#include <cstring>
#include <unistd.h>
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
        for (const QSize& size : app.icon.availableSizes())
            sizes.append(QStringLiteral("%1x%2").arg(size.width()).arg(size.height()));
        list.append(QJsonObject{{QStringLiteral("pid"), app.processIdentifier},
                                {QStringLiteral("name"), app.localizedName},
                                {QStringLiteral("id"), app.bundleIdentifier},
                                {QStringLiteral("url"), app.bundleURL.value_or(QString())},
                                {QStringLiteral("regular"), app.isRegular},
                                {QStringLiteral("hidden"), app.isHidden},
                                {QStringLiteral("terminated"), app.isTerminated},
                                {QStringLiteral("verified"), app.processVerified},
                                {QStringLiteral("icon"), sizes}});
    }
    return QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact));
}

int ownWindow(const QByteArray& instance, const QByteArray& windowClass) {
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
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, 8,
                        quint32(host.size()), host.constData());
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    say(QStringLiteral("window %1").arg(window));
    char buffer[64];
    while (::read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
    }
    xcb_disconnect(c);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--window") == 0) return ownWindow(argv[2], argv[3]);
    QGuiApplication app(argc, argv);
    const quint32 before = rootEventMask();
    X11RunningApplications running(app.arguments().mid(1));
    ProcessEnvironment environment;
    SyslogSystemLog log;
    QtScreens screens(environment, log);
    say(QStringLiteral("ready %1 %2").arg(before).arg(rootEventMask()));

    QObject::connect(&running, &RunningApplications::applicationsChanged,
                     [&] { say(QStringLiteral("apps ") + describe(running.runningApplications())); });
    QObject::connect(&running, &RunningApplications::frontmostChanged, [&] {
        const auto pid = running.frontmostProcessIdentifier();
        say(QStringLiteral("frontmost %1").arg(pid ? *pid : 0));
    });
    QObject::connect(&screens, &Screens::activeWorkspaceChanged, [] { say(QStringLiteral("workspace")); });

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
            if (command == u"list") {
                say(QStringLiteral("apps ") + describe(running.runningApplications()));
            } else if (command == u"reads") {
                say(QStringLiteral("reads %1").arg(running.iconReads()));
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
