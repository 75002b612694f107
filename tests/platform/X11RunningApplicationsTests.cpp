#include "support/TempHome.h"
#include "support/XClient.h"
#include "support/XvfbServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QSysInfo>
#include <algorithm>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <optional>
#include <vector>

using namespace vantrel::test;

namespace {

const QString kApplications = QStringLiteral(VANTREL_TEST_DATA_DIR "/applications");
constexpr int kTimeoutMs = 20000;

// The test's part: the window manager, holding the root window's redirection, keeping the EWMH
// properties and receiving the clients' requests; and the clients' windows themselves.
class WindowManager : public XClient {
public:
    explicit WindowManager(const QByteArray& display) : XClient(display) {
        if (!ok()) return;
        const quint32 mask = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT;
        xcb_generic_error_t* error =
            xcb_request_check(c, xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &mask));
        redirecting = !error;
        free(error);
    }

    void set32(xcb_window_t window, const char* property, xcb_atom_t type,
               const std::vector<quint32>& values) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom(property), type, 32,
                            quint32(values.size()), values.data());
        xcb_flush(c);
    }
    void setAtoms(xcb_window_t window, const char* property, const std::vector<const char*>& names) {
        std::vector<quint32> atoms;
        for (const char* name : names) atoms.push_back(atom(name));
        set32(window, property, XCB_ATOM_ATOM, atoms);
    }
    void setText(xcb_window_t window, xcb_atom_t property, const QByteArray& text) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, XCB_ATOM_STRING, 8,
                            quint32(text.size()), text.constData());
        xcb_flush(c);
    }
    // A client's window with its process, class names and host.
    xcb_window_t client(std::optional<quint32> pid, const QByteArray& wmClass, const QByteArray& host) {
        const xcb_window_t w = window();
        if (pid) set32(w, "_NET_WM_PID", XCB_ATOM_CARDINAL, {*pid});
        setText(w, XCB_ATOM_WM_CLASS, wmClass);
        setText(w, XCB_ATOM_WM_CLIENT_MACHINE, host);
        return w;
    }
    // The next request of the given type that a client sent to the root window.
    std::optional<xcb_client_message_event_t> request(const char* type) {
        const xcb_atom_t wanted = atom(type);
        pollfd descriptor{xcb_get_file_descriptor(c), POLLIN, 0};
        for (;;) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
                std::optional<xcb_client_message_event_t> found;
                if ((event->response_type & ~0x80) == XCB_CLIENT_MESSAGE) {
                    const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
                    if (message->type == wanted) found = *message;
                }
                free(event);
                if (found) return found;
            }
            if (::poll(&descriptor, 1, kTimeoutMs) <= 0) return std::nullopt;
        }
    }

    // Whether it holds the root window's redirection.
    bool redirecting = false;
};

class Driver {
public:
    // `measuring`: the driver feeds a Dock's store of running applications, which asks for the
    // icons of the tiles it shows.
    // `qtOptions` come before the application folders, as Qt's own options do.
    Driver(const QByteArray& display, const TempHome& home, bool measuring = false,
           const QStringList& qtOptions = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", QString::fromLatin1(display));
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("HOME", home.root());
        env.insert("XDG_DATA_HOME", home.root() + "/data");
        env.insert("XDG_CONFIG_HOME", home.root() + "/config");
        env.insert("XDG_DATA_DIRS", VANTREL_TEST_DATA_DIR);
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        if (measuring) env.insert("VANTREL_MEASURE", "1");
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(VANTREL_BINARY_DIR "/tests/vantrel_running_apps_driver",
                       qtOptions + QStringList{kApplications});
    }
    ~Driver() {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(kTimeoutMs)) process_.kill();
    }
    void send(const QString& line) {
        process_.write((line + '\n').toUtf8());
        process_.waitForBytesWritten(kTimeoutMs);
    }
    // The rest of the first line said that starts with `prefix`; lines said before it are kept
    // for later questions.
    QString expect(const QString& prefix) {
        for (;;) {
            for (qsizetype i = 0; i < lines_.size(); ++i) {
                if (!lines_[i].startsWith(prefix)) continue;
                const QString rest = lines_[i].mid(prefix.size());
                lines_.remove(i);
                return rest;
            }
            if (!process_.canReadLine() && !process_.waitForReadyRead(kTimeoutMs))
                return QStringLiteral("<silent>");
            while (process_.canReadLine()) lines_.append(QString::fromUtf8(process_.readLine()).trimmed());
        }
    }
    // The list as announced next, or as it is now.
    QJsonArray apps(bool ask) {
        if (ask) send("list");
        return QJsonDocument::fromJson(expect(ask ? "listed " : "apps ").toUtf8()).array();
    }
    int iconReads() { return reads().value(0).toInt(); }
    // Windows whose icons the service keeps.
    int keptIcons() { return reads().value(2).toInt(); }
    // Replies to the service's questions that the driver's main thread waited for.
    int mainThreadReplies() { return reads().value(1).toInt(); }
    // How many lists were announced before the first that `wanted` accepts, which is returned.
    std::pair<int, QJsonArray> announcedUntil(const std::function<bool(const QJsonArray&)>& wanted) {
        for (int before = 0;; ++before) {
            const QString said = expect("apps ");
            const QJsonArray apps = QJsonDocument::fromJson(said.toUtf8()).array();
            if (said == u"<silent>" || wanted(apps)) return {before, apps};
        }
    }
    quint32 pid() const { return quint32(process_.processId()); }

private:
    QStringList reads() {
        send("reads");
        return expect("reads ").split(' ');
    }

    QProcess process_;
    QStringList lines_;
};

// Another program of this host with one window of its own, which names its true process.
class OwnWindowProgram {
public:
    OwnWindowProgram(const QByteArray& display, const QByteArray& instance, const QByteArray& windowClass,
                     const QStringList& options = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", QString::fromLatin1(display));
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(
            VANTREL_BINARY_DIR "/tests/vantrel_running_apps_driver",
            QStringList{"--window", QString::fromLatin1(instance), QString::fromLatin1(windowClass)} +
                options);
        const QByteArray line = readLine();
        if (line.startsWith("window ")) window = line.mid(7).toUInt();
    }
    QByteArray readLine() {
        while (!process.canReadLine() && process.waitForReadyRead(kTimeoutMs)) {
        }
        return process.readLine().trimmed();
    }
    // With --fork: the window's maker hands its window to a child and ends; the child's id.
    pid_t forkAway() {
        process.write("fork\n");
        const QByteArray said = readLine();
        EXPECT_TRUE(said.startsWith("child ")) << said.constData();
        EXPECT_TRUE(process.waitForFinished(kTimeoutMs));
        return pid_t(said.mid(6).toInt());
    }
    ~OwnWindowProgram() {
        process.closeWriteChannel();
        if (!process.waitForFinished(kTimeoutMs)) process.kill();
    }
    quint32 pid() const { return quint32(process.processId()); }

    QProcess process;
    xcb_window_t window = XCB_WINDOW_NONE;
};

QJsonObject appOf(const QJsonArray& apps, quint32 pid) {
    for (const QJsonValue& app : apps)
        if (app.toObject()["pid"].toInteger() == pid) return app.toObject();
    return {};
}

QSet<QString> iconSizes(const QJsonValue& app) {
    QSet<QString> sizes;
    for (const QJsonValue& size : app.toObject()["icon"].toArray()) sizes.insert(size.toString());
    return sizes;
}

} // namespace

TEST(X11RunningApplications, ClientsOfTheWindowManagerAreMatchedToEntriesAndFollowed) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    const QByteArray display = server.display().toLatin1();
    WindowManager wm(display);
    ASSERT_TRUE(wm.redirecting) << "the test holds the root window's redirection";

    // Two more programs of this host: one whose process name its entry's program, one unknown.
    QProcess sleeper, helper;
    sleeper.start("sleep", {"600"});
    helper.start("cat", {});
    ASSERT_TRUE(sleeper.waitForStarted(kTimeoutMs));
    ASSERT_TRUE(helper.waitForStarted(kTimeoutMs));
    const auto sleeperPid = quint32(sleeper.processId());
    const auto helperPid = quint32(helper.processId());
    const auto ownPid = quint32(::getpid());

    TempHome home;
    Driver driver(display, home);
    const QStringList masks = driver.expect("ready ").split(' ');
    ASSERT_EQ(masks.size(), 2);
    const quint32 qtMask = masks[0].toUInt(), mask = masks[1].toUInt();
    EXPECT_NE(qtMask, 0u) << "Qt listens to the root window";
    EXPECT_EQ(mask, qtMask) << "the root window's mask on Qt's connection stays Qt's own";

    const QByteArray host = QSysInfo::machineHostName().toLocal8Bit();
    const xcb_window_t editor = wm.client(ownPid, QByteArray("editor\0VantrelFixtureEditor\0", 29), host);
    wm.setAtoms(editor, "_NET_WM_WINDOW_TYPE", {"_NET_WM_WINDOW_TYPE_NORMAL"});
    wm.set32(editor, "_NET_WM_ICON", XCB_ATOM_CARDINAL,
             {2, 2, 0xffff0000, 0xffff0000, 0xff00ff00, 0xff00ff00, 1, 1, 0xff0000ff});
    const xcb_window_t sleeperWindow = wm.client(sleeperPid, QByteArray("xsleeper\0XSleeper\0", 19), host);
    wm.set32(sleeperWindow, "_NET_WM_ICON", XCB_ATOM_CARDINAL,
             {3, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9, /* cut short: */ 4, 4, 1});
    const xcb_window_t sleeperDialog = wm.client(sleeperPid, QByteArray("xsleeper\0XSleeper\0", 19), host);
    wm.setAtoms(sleeperDialog, "_NET_WM_WINDOW_TYPE", {"_NET_WM_WINDOW_TYPE_DIALOG"});
    const xcb_window_t anonymous = wm.client(std::nullopt, QByteArray("anon\0Anon\0", 10), host);
    // Only an instance name, no class.
    const xcb_window_t helperWindow = wm.client(helperPid, QByteArray("helper\0", 7), host);
    wm.setAtoms(helperWindow, "_NET_WM_STATE", {"_NET_WM_STATE_SKIP_TASKBAR"});
    const xcb_window_t remote = wm.client(424242, QByteArray("remote\0Remote\0", 14), "elsewhere.example");
    wm.set32(wm.root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW,
             {editor, sleeperWindow, sleeperDialog, anonymous, helperWindow, remote});

    // Window icons are read once asked about, and their reading is announced.
    QJsonArray apps = driver
                          .announcedUntil([](const QJsonArray& listed) {
                              return listed.size() == 4 && !iconSizes(listed[0]).isEmpty() &&
                                     !iconSizes(listed[1]).isEmpty();
                          })
                          .second;
    ASSERT_EQ(apps.size(), 4) << QJsonDocument(apps).toJson().constData();
    EXPECT_EQ(apps[0].toObject()["pid"].toInteger(), ownPid);
    EXPECT_EQ(apps[0].toObject()["name"].toString(), "Fixture Editor") << "by its window class";
    EXPECT_EQ(apps[0].toObject()["id"].toString(), "fixture-editor.desktop");
    EXPECT_EQ(apps[0].toObject()["url"].toString(), kApplications + "/fixture-editor.desktop");
    EXPECT_TRUE(apps[0].toObject()["regular"].toBool());
    EXPECT_TRUE(apps[0].toObject()["verified"].toBool()) << "the test made the window it names itself in";
    EXPECT_EQ(iconSizes(apps[0]), (QSet<QString>{"2x2", "1x1"}));
    EXPECT_EQ(apps[1].toObject()["pid"].toInteger(), sleeperPid);
    EXPECT_EQ(apps[1].toObject()["name"].toString(), "Fixture Sleeper") << "by its process name";
    EXPECT_EQ(apps[1].toObject()["id"].toString(), "fixture-sleeper.desktop");
    EXPECT_TRUE(apps[1].toObject()["regular"].toBool());
    EXPECT_FALSE(apps[1].toObject()["verified"].toBool()) << "the test made the windows, not the sleeper";
    EXPECT_EQ(iconSizes(apps[1]), QSet<QString>{"3x3"}) << "the theme lacks the entry's icon";
    EXPECT_EQ(apps[2].toObject()["pid"].toInteger(), helperPid);
    EXPECT_EQ(apps[2].toObject()["name"].toString(), "helper") << "no entry, no class: its instance name";
    EXPECT_EQ(apps[2].toObject()["id"].toString(), QString());
    EXPECT_FALSE(apps[2].toObject()["regular"].toBool()) << "kept out of the task bar";
    EXPECT_EQ(apps[3].toObject()["name"].toString(), "Remote");
    EXPECT_FALSE(apps[3].toObject()["terminated"].toBool())
        << "another host's process is not looked for here";
    for (const QJsonValue& app : apps) EXPECT_FALSE(app.toObject()["hidden"].toBool());

    // The window manager changes the active window; the service follows.
    wm.set32(wm.root, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW, {sleeperWindow});
    EXPECT_EQ(driver.expect("frontmost ").toUInt(), sleeperPid);
    // Qt's own root events still arrive: the screens service sees the workspace change.
    wm.set32(wm.root, "_NET_CURRENT_DESKTOP", XCB_ATOM_CARDINAL, {1});
    EXPECT_EQ(driver.expect("workspace"), QString());

    driver.send(QStringLiteral("activate %1").arg(ownPid));
    const auto activation = wm.request("_NET_ACTIVE_WINDOW");
    ASSERT_TRUE(activation);
    EXPECT_EQ(activation->window, editor);
    EXPECT_EQ(activation->data.data32[0], 2u) << "asked for by a task bar";
    EXPECT_EQ(activation->data.data32[1], 0u) << "no time stamp";
    EXPECT_EQ(activation->data.data32[2], 0u) << "no active window of its own";
    EXPECT_EQ(driver.expect("done activate "), "true");
    wm.set32(wm.root, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW, {editor});
    EXPECT_EQ(driver.expect("frontmost ").toUInt(), ownPid);

    driver.send(QStringLiteral("hide %1").arg(sleeperPid));
    const auto iconify = wm.request("WM_CHANGE_STATE");
    ASSERT_TRUE(iconify);
    EXPECT_EQ(iconify->window, sleeperWindow) << "its main window; the dialog follows it";
    EXPECT_EQ(iconify->data.data32[0], 3u) << "iconic";
    EXPECT_EQ(driver.expect("done hide "), "true");
    wm.setAtoms(sleeperWindow, "_NET_WM_STATE", {"_NET_WM_STATE_HIDDEN"});
    apps = driver.announcedUntil([](const QJsonArray& apps) { return apps[1].toObject()["hidden"].toBool(); })
               .second;
    ASSERT_EQ(apps.size(), 4);
    EXPECT_TRUE(apps[1].toObject()["hidden"].toBool());
    EXPECT_FALSE(apps[0].toObject()["hidden"].toBool());

    driver.send(QStringLiteral("quit %1").arg(helperPid));
    const auto close = wm.request("_NET_CLOSE_WINDOW");
    ASSERT_TRUE(close);
    EXPECT_EQ(close->window, helperWindow);
    EXPECT_EQ(driver.expect("done quit "), "true");

    driver.send("kill 424242");
    EXPECT_EQ(driver.expect("done kill "), "false") << "never a process of another host";
    driver.send("activate 999999");
    EXPECT_EQ(driver.expect("done activate "), "false") << "no windows";
    driver.send("activate 0");
    EXPECT_EQ(driver.expect("done activate "), "false") << "windows without a process are nobody's";
    driver.send(QStringLiteral("kill %1").arg(sleeperPid));
    EXPECT_EQ(driver.expect("done kill "), "false") << "its windows only claim the sleeper";
    EXPECT_EQ(sleeper.state(), QProcess::Running);
    sleeper.kill();
    ASSERT_TRUE(sleeper.waitForFinished(kTimeoutMs));
    // Its windows are still listed until the window manager drops them; the program has ended.
    apps = driver.apps(true);
    ASSERT_EQ(apps.size(), 4);
    EXPECT_TRUE(apps[1].toObject()["terminated"].toBool());
    EXPECT_FALSE(apps[0].toObject()["terminated"].toBool());

    driver.send("id " + kApplications + "/fixture-sleeper.desktop");
    EXPECT_EQ(driver.expect("id "), "fixture-sleeper.desktop");
    helper.kill();
    helper.waitForFinished(kTimeoutMs);
}

TEST(X11RunningApplications, OnlyAProcessTheServerNamesAsTheWindowsMakerIsKilled) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    const QByteArray display = server.display().toLatin1();
    WindowManager wm(display);
    ASSERT_TRUE(wm.redirecting);
    QProcess bystander;
    bystander.start("cat", {});
    ASSERT_TRUE(bystander.waitForStarted(kTimeoutMs));
    const auto bystanderPid = quint32(bystander.processId());
    OwnWindowProgram real(display, "real", "RealProgram");
    ASSERT_NE(real.window, XCB_WINDOW_NONE);
    TempHome home;
    Driver driver(display, home);
    driver.expect("ready ");

    const QByteArray host = QSysInfo::machineHostName().toLocal8Bit();
    // A window that names an unrelated process of the user, one that joins the real program's
    // windows, and one that names the Dock's own process.
    const xcb_window_t forged = wm.client(bystanderPid, QByteArray("forged\0Forged\0", 14), host);
    const xcb_window_t impostor = wm.client(real.pid(), QByteArray("impostor\0Impostor\0", 18), host);
    const xcb_window_t mirror = wm.client(driver.pid(), QByteArray("mirror\0Mirror\0", 14), host);
    wm.set32(wm.root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, {forged, impostor, real.window, mirror});

    const QJsonArray apps = driver.apps(false);
    ASSERT_EQ(apps.size(), 2) << QJsonDocument(apps).toJson().constData();
    EXPECT_EQ(apps[0].toObject()["pid"].toInteger(), bystanderPid);
    EXPECT_EQ(apps[0].toObject()["name"].toString(), "Forged");
    EXPECT_FALSE(apps[0].toObject()["verified"].toBool());
    EXPECT_EQ(apps[1].toObject()["pid"].toInteger(), real.pid());
    EXPECT_EQ(apps[1].toObject()["name"].toString(), "RealProgram") << "not the impostor's name";
    EXPECT_TRUE(apps[1].toObject()["verified"].toBool());
    EXPECT_TRUE(appOf(apps, driver.pid()).isEmpty()) << "never the Dock's own process";

    driver.send(QStringLiteral("kill %1").arg(bystanderPid));
    EXPECT_EQ(driver.expect("done kill "), "false");
    driver.send(QStringLiteral("kill %1").arg(driver.pid()));
    EXPECT_EQ(driver.expect("done kill "), "false");
    // Its window can still be closed as its close button would.
    driver.send(QStringLiteral("quit %1").arg(bystanderPid));
    const auto close = wm.request("_NET_CLOSE_WINDOW");
    ASSERT_TRUE(close);
    EXPECT_EQ(close->window, forged);
    EXPECT_EQ(driver.expect("done quit "), "true");
    // The real program's requests reach its own window only.
    driver.send(QStringLiteral("quit %1").arg(real.pid()));
    const auto closeReal = wm.request("_NET_CLOSE_WINDOW");
    ASSERT_TRUE(closeReal);
    EXPECT_EQ(closeReal->window, real.window);
    EXPECT_EQ(driver.expect("done quit "), "true");

    driver.send(QStringLiteral("kill %1").arg(real.pid()));
    EXPECT_EQ(driver.expect("done kill "), "true");
    ASSERT_TRUE(real.process.waitForFinished(kTimeoutMs));
    EXPECT_EQ(real.process.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(bystander.state(), QProcess::Running);
    bystander.kill();
    bystander.waitForFinished(kTimeoutMs);
}

TEST(X11RunningApplications, AWindowsIconIsReadOnceUntilTheWindowChangesIt) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    const QByteArray display = server.display().toLatin1();
    WindowManager wm(display);
    ASSERT_TRUE(wm.redirecting);
    QProcess other;
    other.start("cat", {});
    ASSERT_TRUE(other.waitForStarted(kTimeoutMs));
    TempHome home;
    Driver driver(display, home);
    driver.expect("ready ");

    const QByteArray host = QSysInfo::machineHostName().toLocal8Bit();
    const xcb_window_t painter = wm.client(quint32(::getpid()), QByteArray("painter\0Painter\0", 16), host);
    wm.set32(painter, "_NET_WM_ICON", XCB_ATOM_CARDINAL, {2, 2, 1, 2, 3, 4});
    const xcb_window_t sketch =
        wm.client(quint32(other.processId()), QByteArray("sketch\0Sketch\0", 14), host);
    wm.set32(wm.root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, {painter, sketch});
    QJsonArray apps = driver
                          .announcedUntil([](const QJsonArray& listed) {
                              return listed.size() == 2 && !iconSizes(listed[0]).isEmpty();
                          })
                          .second;
    ASSERT_EQ(apps.size(), 2);
    EXPECT_EQ(iconSizes(apps[0]), QSet<QString>{"2x2"});
    EXPECT_TRUE(iconSizes(apps[1]).isEmpty());
    EXPECT_EQ(driver.iconReads(), 2);

    // The list read again and again, as each change of the active window has it read.
    for (int i = 0; i < 3; ++i) {
        wm.set32(wm.root, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW, {i % 2 ? painter : sketch});
        driver.expect("frontmost ");
        apps = driver.apps(true);
        EXPECT_EQ(iconSizes(apps[0]), QSet<QString>{"2x2"});
    }
    EXPECT_EQ(driver.iconReads(), 2);

    // The painter changes its icon, then the sketch shows its first one, which is announced.
    wm.set32(painter, "_NET_WM_ICON", XCB_ATOM_CARDINAL, {3, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    wm.set32(sketch, "_NET_WM_ICON", XCB_ATOM_CARDINAL, {1, 1, 5});
    apps = driver.announcedUntil([](const QJsonArray& listed) { return !iconSizes(listed[1]).isEmpty(); })
               .second;
    ASSERT_EQ(apps.size(), 2);
    EXPECT_EQ(iconSizes(apps[0]), QSet<QString>{"3x3"});
    EXPECT_EQ(iconSizes(apps[1]), QSet<QString>{"1x1"});
    EXPECT_EQ(driver.iconReads(), 4);
    driver.apps(true);
    EXPECT_EQ(driver.iconReads(), 4);

    // Gone from the list and back: read anew.
    wm.set32(wm.root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, {sketch});
    driver.apps(false);
    wm.set32(wm.root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, {sketch, painter});
    apps = driver
               .announcedUntil([](const QJsonArray& listed) {
                   return !iconSizes(appOf(listed, quint32(::getpid()))).isEmpty();
               })
               .second;
    EXPECT_EQ(iconSizes(appOf(apps, quint32(::getpid()))), QSet<QString>{"3x3"});
    EXPECT_EQ(driver.iconReads(), 5);

    // Back once more with its largest picture first, 1024 pixels wide, and a 32-pixel one after
    // it: both are read, the largest kept at 256 pixels.
    wm.set32(wm.root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, {sketch});
    driver.apps(false);
    std::vector<quint32> icon{1024, 1024};
    icon.resize(2 + 1024 * 1024, 0xff3366cc);
    icon.insert(icon.end(), {32, 32});
    icon.resize(icon.size() + 32 * 32, 0xffcc6633);
    wm.set32(painter, "_NET_WM_ICON", XCB_ATOM_CARDINAL, icon);
    wm.set32(wm.root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, {sketch, painter});
    apps = driver
               .announcedUntil([](const QJsonArray& listed) {
                   return !iconSizes(appOf(listed, quint32(::getpid()))).isEmpty();
               })
               .second;
    EXPECT_EQ(iconSizes(appOf(apps, quint32(::getpid()))), (QSet<QString>{"256x256", "32x32"}));
    other.kill();
    other.waitForFinished(kTimeoutMs);
}

TEST(X11RunningApplications,
     ForceQuitIsOfferedAndSentByOneRuleToTheProcessConfirmedWhenItsWindowWasFirstSeen) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    const QByteArray display = server.display().toLatin1();
    WindowManager wm(display);
    ASSERT_TRUE(wm.redirecting);
    // One program whose window names no host; one that will hand its connection to a child.
    OwnWindowProgram hostless(display, "bare", "BareProgram", {"--no-host"});
    OwnWindowProgram forking(display, "forking", "ForkingProgram", {"--fork"});
    ASSERT_NE(hostless.window, XCB_WINDOW_NONE);
    ASSERT_NE(forking.window, XCB_WINDOW_NONE);
    TempHome home;
    Driver driver(display, home);
    driver.expect("ready ");
    wm.set32(wm.root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, {hostless.window, forking.window});
    QJsonArray apps = driver.apps(false);
    ASSERT_EQ(apps.size(), 2) << QJsonDocument(apps).toJson().constData();
    EXPECT_TRUE(appOf(apps, hostless.pid())["verified"].toBool()) << "the server vouches for it";
    EXPECT_TRUE(appOf(apps, forking.pid())["verified"].toBool());

    // Offered, so killed: a missing host name is no other host's.
    driver.send(QStringLiteral("kill %1").arg(hostless.pid()));
    EXPECT_EQ(driver.expect("done kill "), "true");
    ASSERT_TRUE(hostless.process.waitForFinished(kTimeoutMs));
    EXPECT_EQ(hostless.process.exitStatus(), QProcess::CrashExit);

    // The server still names the ended maker's id, now free for any process to take.
    const quint32 maker = forking.pid();
    const pid_t child = forking.forkAway();
    apps = driver.apps(true);
    ASSERT_EQ(appOf(apps, maker)["name"].toString(), "ForkingProgram") << "its window is still listed";
    EXPECT_FALSE(appOf(apps, maker)["verified"].toBool()) << "no Force Quit for a process that ended";
    driver.send(QStringLiteral("kill %1").arg(maker));
    EXPECT_EQ(driver.expect("done kill "), "false");
    EXPECT_EQ(::kill(child, 0), 0) << "the window's owner runs on";
    ::kill(child, SIGKILL);
}

// Run by the test below in a process-id space of its own, where ids can be handed out at will.
TEST(X11RunningApplications, AnIdTakenByANewcomerAfterTheWindowsMakerEndedIsNotItsProcess) {
    if (!qEnvironmentVariableIsSet("VANTREL_IN_PID_NAMESPACE")) GTEST_SKIP() << "started by the test below";
    XvfbServer server(640, 480);
    ASSERT_TRUE(server.isRunning());
    const QByteArray display = server.display().toLatin1();
    WindowManager wm(display);
    ASSERT_TRUE(wm.redirecting);
    OwnWindowProgram forking(display, "forking", "ForkingProgram", {"--fork"});
    ASSERT_NE(forking.window, XCB_WINDOW_NONE);
    TempHome home;
    Driver driver(display, home);
    driver.expect("ready ");
    wm.set32(wm.root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, {forking.window});
    ASSERT_TRUE(appOf(driver.apps(false), forking.pid())["verified"].toBool());

    const quint32 maker = forking.pid();
    const pid_t child = forking.forkAway();
    // The next process started gets the maker's id.
    QProcess newcomer;
    for (int attempt = 0; attempt < 5 && quint32(newcomer.processId()) != maker; ++attempt) {
        if (newcomer.state() != QProcess::NotRunning) {
            newcomer.kill();
            newcomer.waitForFinished(kTimeoutMs);
        }
        QFile last(QStringLiteral("/proc/sys/kernel/ns_last_pid"));
        ASSERT_TRUE(last.open(QIODevice::WriteOnly));
        last.write(QByteArray::number(maker - 1));
        last.close();
        newcomer.start("sleep", {"600"});
        ASSERT_TRUE(newcomer.waitForStarted(kTimeoutMs));
    }
    ASSERT_EQ(quint32(newcomer.processId()), maker);

    const QJsonArray apps = driver.apps(true);
    const QJsonObject app = appOf(apps, maker);
    ASSERT_FALSE(app.isEmpty()) << QJsonDocument(apps).toJson().constData();
    EXPECT_FALSE(app["verified"].toBool()) << "the newcomer is not the window's maker";
    driver.send(QStringLiteral("kill %1").arg(maker));
    EXPECT_EQ(driver.expect("done kill "), "false");
    EXPECT_EQ(newcomer.state(), QProcess::Running);
    EXPECT_EQ(::kill(child, 0), 0);
    newcomer.kill();
    newcomer.waitForFinished(kTimeoutMs);
    ::kill(child, SIGKILL);
}

TEST(X11RunningApplications, ANewcomerWithTheIdOfAWindowsEndedMakerIsNeverKilled) {
    if (qEnvironmentVariableIsSet("VANTREL_IN_PID_NAMESPACE")) GTEST_SKIP();
    if (QStandardPaths::findExecutable("Xvfb").isEmpty()) GTEST_SKIP() << "Xvfb is not installed";
    QProcess inside;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VANTREL_IN_PID_NAMESPACE", "1");
    inside.setProcessEnvironment(env);
    inside.setProcessChannelMode(QProcess::MergedChannels);
    QStringList arguments{"--pid", "--fork", "--mount-proc"};
    if (::geteuid() != 0) arguments.prepend("--map-root-user");
    inside.start("unshare",
                 arguments + QStringList{QCoreApplication::applicationFilePath(),
                                         "--gtest_filter=X11RunningApplications."
                                         "AnIdTakenByANewcomerAfterTheWindowsMakerEndedIsNotItsProcess"});
    ASSERT_TRUE(inside.waitForFinished(3 * kTimeoutMs));
    const QString output = QString::fromLocal8Bit(inside.readAll());
    if (!output.contains("[  PASSED  ]") && !output.contains("[  FAILED  ]"))
        GTEST_SKIP() << "no process-id space of its own here: " << output.toStdString();
    EXPECT_EQ(inside.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

TEST(X11RunningApplications, WindowsAreReadOffTheMainThreadAndAnIconStormRereadsOnlyItsOwnWindow) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    const QByteArray display = server.display().toLatin1();
    WindowManager wm(display);
    ASSERT_TRUE(wm.redirecting);
    TempHome home;
    Driver driver(display, home);
    driver.expect("ready ");
    const int repliesBefore = driver.mainThreadReplies();

    // One client with many windows, each claiming a process of its own, each icon invalid.
    const QByteArray host = QSysInfo::machineHostName().toLocal8Bit();
    constexpr int kWindows = 300;
    std::vector<quint32> list;
    for (int i = 0; i < kWindows; ++i) {
        const xcb_window_t w = wm.client(quint32(3000000 + i), QByteArray("flood\0Flood\0", 12), host);
        wm.set32(w, "_NET_WM_ICON", XCB_ATOM_CARDINAL, {4, 4, 1});
        list.push_back(w);
    }
    wm.set32(wm.root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, list);
    driver.announcedUntil([](const QJsonArray& apps) { return apps.size() == kWindows; });
    // Their icons come in batches after the list, each answer of the driver a round trip.
    for (const QDeadlineTimer deadline(kTimeoutMs);
         driver.iconReads() < kWindows && !deadline.hasExpired();) {
    }
    EXPECT_EQ(driver.iconReads(), kWindows) << "each window's icon read once";

    // One of them rewrites its invalid icon again and again.
    const xcb_window_t stormy = list.front();
    for (int i = 0; i < 500; ++i) wm.set32(stormy, "_NET_WM_ICON", XCB_ATOM_CARDINAL, {4, 4, 1});
    const xcb_window_t marker = wm.client(4000000, QByteArray("marker\0Marker\0", 14), host);
    list.push_back(marker);
    wm.set32(wm.root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, list);
    const auto [announced, apps] =
        driver.announcedUntil([](const QJsonArray& apps) { return !appOf(apps, 4000000).isEmpty(); });
    EXPECT_EQ(announced, 0) << "an icon that stays invalid changes no list";
    EXPECT_LE(driver.iconReads(), kWindows + 1 + 500) << "only the changed window's icon is read again";
    EXPECT_EQ(driver.mainThreadReplies(), repliesBefore) << "the main thread never waits for the server";
}

TEST(X11RunningApplications, AWindowWithOnlyAnIconPixmapInItsHintsShowsThatPixmapThroughItsMask) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    const QByteArray display = server.display().toLatin1();
    WindowManager wm(display);
    ASSERT_TRUE(wm.redirecting);
    QProcess terminal, other;
    terminal.start("cat", {});
    other.start("cat", {});
    ASSERT_TRUE(terminal.waitForStarted(kTimeoutMs));
    ASSERT_TRUE(other.waitForStarted(kTimeoutMs));
    TempHome home;
    Driver driver(display, home);
    driver.expect("ready ");

    const auto pixmap = [&](quint8 depth, quint32 colour, xcb_rectangle_t painted) {
        const xcb_pixmap_t id = xcb_generate_id(wm.c);
        xcb_create_pixmap(wm.c, depth, id, wm.root, 16, 16);
        const xcb_gcontext_t gc = xcb_generate_id(wm.c);
        const quint32 clear = 0;
        xcb_create_gc(wm.c, gc, id, XCB_GC_FOREGROUND, &clear);
        const xcb_rectangle_t whole{0, 0, 16, 16};
        xcb_poly_fill_rectangle(wm.c, id, gc, 1, &whole);
        xcb_change_gc(wm.c, gc, XCB_GC_FOREGROUND, &colour);
        xcb_poly_fill_rectangle(wm.c, id, gc, 1, &painted);
        xcb_free_gc(wm.c, gc);
        return id;
    };
    const quint8 depth = xcb_setup_roots_iterator(xcb_get_setup(wm.c)).data->root_depth;
    // Red, seen only through the mask's middle; and a bare bitmap, as xterm's own icon is.
    const xcb_pixmap_t red = pixmap(depth, 0xff0000, {0, 0, 16, 16});
    const xcb_pixmap_t mask = pixmap(1, 1, {4, 4, 8, 8});
    const xcb_pixmap_t bitmap = pixmap(1, 1, {0, 0, 16, 16});
    const QByteArray host = QSysInfo::machineHostName().toLocal8Bit();
    const xcb_window_t xterm =
        wm.client(quint32(terminal.processId()), QByteArray("xterm\0XTerm\0", 12), host);
    // Flags: an icon pixmap (4) and its mask (32).
    wm.set32(xterm, "WM_HINTS", XCB_ATOM_WM_HINTS, {4 | 32, 1, 1, red, 0, 0, 0, mask, 0});
    const xcb_window_t plain = wm.client(quint32(other.processId()), QByteArray("plain\0Plain\0", 12), host);
    wm.set32(plain, "WM_HINTS", XCB_ATOM_WM_HINTS, {4, 1, 1, bitmap, 0, 0, 0, 0, 0});
    wm.set32(wm.root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, {xterm, plain});

    const quint32 terminalPid = quint32(terminal.processId()), otherPid = quint32(other.processId());
    const auto bothHaveIcons = [&](const QJsonArray& apps) {
        return !iconSizes(appOf(apps, terminalPid)).isEmpty() && !iconSizes(appOf(apps, otherPid)).isEmpty();
    };
    const QJsonArray apps = driver.announcedUntil(bothHaveIcons).second;
    EXPECT_EQ(iconSizes(appOf(apps, terminalPid)), QSet<QString>{"16x16"});
    EXPECT_EQ(appOf(apps, terminalPid)["pixels"].toArray(), (QJsonArray{"#00000000", "#ffff0000"}))
        << "clear outside the mask, red inside";
    EXPECT_EQ(appOf(apps, otherPid)["pixels"].toArray(), (QJsonArray{"#ff000000", "#ff000000"}))
        << "a bitmap's set bits in black";
    for (QProcess* process : {&terminal, &other}) {
        process->kill();
        process->waitForFinished(kTimeoutMs);
    }
}

TEST(X11RunningApplications, OnlyTheIconsOfTheTilesShownAndAFewMoreAreReadAndKept) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    const QByteArray display = server.display().toLatin1();
    WindowManager wm(display);
    ASSERT_TRUE(wm.redirecting);
    TempHome home;
    Driver driver(display, home, true);
    driver.expect("ready ");

    // One client maps 300 windows, each claiming a process of its own, each with a 32 x 32 icon;
    // they name no host, so that the processes they claim are not looked for.
    constexpr int kWindows = 300;
    std::vector<quint32> icon(2 + 32 * 32, 0xff3366cc);
    icon[0] = icon[1] = 32;
    std::vector<quint32> list;
    for (int i = 0; i < kWindows; ++i) {
        const xcb_window_t w = wm.client(quint32(3000000 + i), QByteArray("flood\0Flood\0", 12), {});
        wm.set32(w, "_NET_WM_ICON", XCB_ATOM_CARDINAL, icon);
        list.push_back(w);
    }
    wm.set32(wm.root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, list);
    // The Dock's 64 tiles, drawn with their icons.
    for (const QDeadlineTimer deadline(kTimeoutMs); !deadline.hasExpired();) {
        driver.send("stall");
        if (driver.expect("stall ").split(' ').value(1) == u"64" && driver.keptIcons() >= 64) break;
    }
    EXPECT_EQ(driver.keptIcons(), 64) << "the shown tiles' icons";
    EXPECT_LE(driver.iconReads(), 96) << "not every listed window's";

    // Every application asked about, again and again: the icons kept stay a bounded few.
    for (const QDeadlineTimer deadline(kTimeoutMs); driver.iconReads() < kWindows && !deadline.hasExpired();)
        driver.apps(true);
    EXPECT_GE(driver.iconReads(), kWindows);
    EXPECT_LE(driver.keptIcons(), 96);
}

TEST(X11RunningApplications, TheWindowsOfTheDisplayQtWasGivenAreListedAndActedOnNotThoseOfDISPLAY) {
    XvfbServer environmentServer(640, 480), givenServer(640, 480);
    if (!environmentServer.isRunning() || !givenServer.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    const QByteArray inEnvironment = environmentServer.display().toLatin1(),
                     given = givenServer.display().toLatin1();
    WindowManager environmentWm(inEnvironment), givenWm(given);
    ASSERT_TRUE(environmentWm.redirecting && givenWm.redirecting);
    const xcb_window_t there = environmentWm.client(3000001, QByteArray("there\0There\0", 12), {});
    environmentWm.set32(environmentWm.root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, {there});
    const xcb_window_t here = givenWm.client(3000002, QByteArray("here\0Here\0", 10), {});
    givenWm.set32(givenWm.root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, {here});

    TempHome home;
    Driver driver(inEnvironment, home, false, {"-display", QString::fromLatin1(given)});
    driver.expect("ready ");
    const QJsonArray apps =
        driver.announcedUntil([](const QJsonArray& apps) { return !appOf(apps, 3000002).isEmpty(); }).second;
    EXPECT_EQ(appOf(apps, 3000002)["name"].toString(), "Here") << "the given display's window";
    EXPECT_TRUE(appOf(driver.apps(true), 3000001).isEmpty()) << "not the one of DISPLAY";
    driver.send("activate 3000002");
    EXPECT_EQ(driver.expect("done activate "), "true");
    const auto activation = givenWm.request("_NET_ACTIVE_WINDOW");
    ASSERT_TRUE(activation.has_value()) << "asked of the given display's window manager";
    EXPECT_EQ(activation->window, here);
}

TEST(X11RunningApplications, WindowsHiddenRightAfterTheyAreListedAreAllShownHidden) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    const QByteArray display = server.display().toLatin1();
    WindowManager wm(display);
    ASSERT_TRUE(wm.redirecting);
    TempHome home;
    Driver driver(display, home);
    driver.expect("ready ");

    // 600 windows, each claiming a process of its own and naming no host, each hidden as soon as
    // the service, having read the list, starts to watch it: while it reads it the first time.
    constexpr int kWindows = 600;
    std::vector<quint32> waiting;
    for (int i = 0; i < kWindows; ++i)
        waiting.push_back(wm.client(quint32(3000000 + i), QByteArray("flood\0Flood\0", 12), {}));
    wm.set32(wm.root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, waiting);
    for (const QDeadlineTimer deadline(kTimeoutMs); !waiting.empty() && !deadline.hasExpired();) {
        std::vector<xcb_get_window_attributes_cookie_t> asked;
        for (const quint32 window : waiting) asked.push_back(xcb_get_window_attributes(wm.c, window));
        std::vector<quint32> still;
        for (std::size_t i = 0; i < waiting.size(); ++i) {
            auto* attributes = xcb_get_window_attributes_reply(wm.c, asked[i], nullptr);
            const bool watched = attributes && (attributes->all_event_masks & XCB_EVENT_MASK_PROPERTY_CHANGE);
            free(attributes);
            if (watched)
                wm.setAtoms(waiting[i], "_NET_WM_STATE", {"_NET_WM_STATE_HIDDEN"});
            else
                still.push_back(waiting[i]);
        }
        waiting = std::move(still);
    }
    ASSERT_TRUE(waiting.empty());
    const auto hidden = [](const QJsonArray& apps) {
        return qsizetype(std::count_if(apps.begin(), apps.end(), [](const QJsonValue& app) {
            return app.toObject()["hidden"].toBool();
        }));
    };
    driver.announcedUntil([&](const QJsonArray& apps) { return hidden(apps) == kWindows; });
    const QJsonArray apps = driver.apps(true);
    EXPECT_EQ(apps.size(), kWindows);
    EXPECT_EQ(hidden(apps), kWindows) << "every window's change kept";
}
