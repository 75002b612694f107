#include "platform/linux/X11WindowList.h"
#include "support/XClient.h"
#include "support/Xfwm4.h"
#include "support/XvfbServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <list>
#include <map>
#include <poll.h>
#include <xcb/xcb.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QByteArray kUserDock = R"({"autohide":false,"largesize":72.5,"orientation":"left","tilesize":48})";

QString dockFile(const QString& home) {
    return home + "/config/Vantrel/defaults/com.apple.dock.json";
}

void writeUserDock(const QString& home) {
    QDir().mkpath(home + "/config/Vantrel/defaults");
    QFile file(dockFile(home));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kUserDock);
}

QJsonObject readJson(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

// Starts the Dock driver in `home`; `display` empty: without a screen of its own (offscreen).
void startDriver(QProcess& driver, const QString& home, const QString& mode, const QString& display = {},
                 int pauseAfterWrite = 0, int pauseBeforeCommit = 0, const QStringList& options = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home);
    environment.insert("XDG_DATA_HOME", home + "/data");
    environment.insert("XDG_CONFIG_HOME", home + "/config");
    if (display.isEmpty()) {
        environment.insert("QT_QPA_PLATFORM", "offscreen");
    } else {
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.insert("DISPLAY", display);
    }
    if (pauseAfterWrite > 0)
        environment.insert("VANTREL_DRIVER_PAUSE_AFTER_WRITE", QString::number(pauseAfterWrite));
    if (pauseBeforeCommit > 0)
        environment.insert("VANTREL_DRIVER_PAUSE_BEFORE_COMMIT", QString::number(pauseBeforeCommit));
    driver.setProcessEnvironment(environment);
    driver.setProcessChannelMode(QProcess::SeparateChannels);
    driver.start(VANTREL_BINARY_DIR "/tests/vantrel_dock_driver", QStringList{mode} + options);
}

// The driver's next line that starts with `prefix` (earlier lines are skipped); the limits are
// generous for slow, sanitized builds.
QString lineStartingWith(QProcess& driver, const QString& prefix) {
    for (;;) {
        while (!driver.canReadLine())
            if (!driver.waitForReadyRead(30'000)) return {};
        const QString line = QString::fromUtf8(driver.readLine()).trimmed();
        if (line.startsWith(prefix)) return line;
    }
}

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::vector<quint32> cardinals(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property,
                               xcb_atom_t type) {
    std::unique_ptr<xcb_get_property_reply_t, FreeDeleter> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, 64), nullptr));
    if (!reply || reply->format != 32) return {};
    const auto* values = static_cast<const quint32*>(xcb_get_property_value(reply.get()));
    return std::vector<quint32>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

} // namespace

TEST(DockProcess, AChildKilledAfterAWriteLeavesTheDockFileToBeRestoredByTheNextStartWithTheDockOff) {
    for (const int killedAfter : {1, 5, 8}) {
        SCOPED_TRACE(killedAfter);
        QTemporaryDir home;
        writeUserDock(home.path());
        QProcess driver;
        startDriver(driver, home.path(), "on", {}, killedAfter);
        ASSERT_EQ(lineStartingWith(driver, "paused"), "paused");
        ::kill(static_cast<pid_t>(driver.processId()), SIGKILL);
        ASSERT_TRUE(driver.waitForFinished(30'000));
        EXPECT_NE(readJson(dockFile(home.path())), QJsonDocument::fromJson(kUserDock).object())
            << "the system Dock was changed before the kill";

        QProcess next;
        startDriver(next, home.path(), "off");
        EXPECT_EQ(lineStartingWith(next, "status"), "status Native macOS Dock restored");
        ASSERT_TRUE(next.waitForFinished(30'000));
        EXPECT_EQ(readJson(dockFile(home.path())), QJsonDocument::fromJson(kUserDock).object());
        const QJsonObject own = readJson(home.path() + "/config/Vantrel/defaults/com.vantrel.mac.json");
        EXPECT_EQ(own.value("vantrelDock.systemDockRestorePending"), QJsonValue(false));
        EXPECT_EQ(own.value("vantrelDock.visualSnapshotCaptured.v1"), QJsonValue(false));
    }

    // With nothing pending, the next start with the Dock off runs no command.
    QTemporaryDir home;
    writeUserDock(home.path());
    QProcess idle;
    startDriver(idle, home.path(), "off");
    EXPECT_EQ(lineStartingWith(idle, "status"),
              QString::fromUtf8("status Native macOS Dock active \u00b7 Vantrel Dock off"));
    ASSERT_TRUE(idle.waitForFinished(30'000));
    EXPECT_EQ(readJson(dockFile(home.path())), QJsonDocument::fromJson(kUserDock).object());
}

TEST(DockProcess, AChildKilledWhileApplyingNativeSettingsLeavesEitherTheWholeEarlierOrTheWholeNewSet) {
    const QByteArray earlier =
        R"({"autohide":false,"autohide-delay":0.2,"largesize":72,"magnification":true,"mineffect":"genie",)"
        R"("orientation":"left","show-recents":true,"showhidden":false,"static-only":false,"tilesize":48})";
    const QJsonObject applied =
        QJsonDocument::fromJson(
            R"({"autohide":true,"autohide-delay":0.5,"largesize":100,"magnification":false,"mineffect":"scale",)"
            R"("orientation":"right","show-recents":false,"showhidden":true,"static-only":true,"tilesize":60})")
            .object();
    // Killed just before the first, second, sixth and tenth replace of the file would take its
    // name: every point at which a write one key at a time would leave a mix.
    for (const int killedAt : {1, 2, 6, 10}) {
        SCOPED_TRACE(killedAt);
        QTemporaryDir home;
        QDir().mkpath(home.path() + "/config/Vantrel/defaults");
        QFile file(dockFile(home.path()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(earlier);
        file.close();
        QProcess driver;
        startDriver(driver, home.path(), "apply", {}, 0, killedAt);
        QString line;
        while (!line.startsWith("paused") && !line.startsWith("status")) {
            line = lineStartingWith(driver, "");
            if (line.isEmpty()) break;
        }
        ::kill(static_cast<pid_t>(driver.processId()), SIGKILL);
        ASSERT_TRUE(driver.waitForFinished(30'000));
        const QJsonObject onDisk = readJson(dockFile(home.path()));
        if (killedAt == 1) {
            EXPECT_EQ(line, "paused");
            EXPECT_EQ(onDisk, QJsonDocument::fromJson(earlier).object());
        } else {
            // The one replace happened before the point: the set is whole and the Dock updated.
            EXPECT_EQ(line, "status Dock updated");
            EXPECT_EQ(onDisk, applied);
        }
    }
}

TEST(DockProcess, OnX11ThePanelIsAnUnfocusedStickyDockThatSlidesOutLeavingThreePointsAndComesBackAtTheEdge) {
    XvfbServer server(1512, 982);
    if (!server.isRunning()) GTEST_SKIP() << "no Xvfb";
    QTemporaryDir home;
    writeUserDock(home.path());
    QProcess driver;
    startDriver(driver, home.path(), "on", server.display());
    ASSERT_TRUE(lineStartingWith(driver, "status").contains("1 pt Mission Control footprint"));
    const QString windowLine = lineStartingWith(driver, "window");
    const xcb_window_t window = windowLine.section(' ', 1).toUInt();
    ASSERT_NE(window, 0u);

    // Revealed first, centred, the bottom 8 above the screen's (no panels on this desktop).
    EXPECT_EQ(lineStartingWith(driver, "settled"), "settled 1 671 893 170 81");

    XClient client(server.display().toLatin1());
    xcb_connection_t* c = client.c;
    ASSERT_FALSE(xcb_connection_has_error(c));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const std::vector<quint32> types = cardinals(c, window, atom(c, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM);
    ASSERT_FALSE(types.empty());
    EXPECT_EQ(types.front(), atom(c, "_NET_WM_WINDOW_TYPE_DOCK"));
    const std::vector<quint32> states = cardinals(c, window, atom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM);
    EXPECT_NE(std::find(states.begin(), states.end(), atom(c, "_NET_WM_STATE_STICKY")), states.end());
    EXPECT_EQ(cardinals(c, window, atom(c, "_NET_WM_DESKTOP"), XCB_ATOM_CARDINAL),
              std::vector<quint32>{0xFFFFFFFF});
    EXPECT_TRUE(cardinals(c, window, atom(c, "_NET_WM_STRUT_PARTIAL"), XCB_ATOM_CARDINAL).empty())
        << "no struts";
    // WM_HINTS: the input hint is set and says no.
    const std::vector<quint32> hints = cardinals(c, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS);
    ASSERT_GE(hints.size(), 2u);
    EXPECT_TRUE(hints[0] & 1u);
    EXPECT_EQ(hints[1], 0u);
    std::unique_ptr<xcb_get_input_focus_reply_t, FreeDeleter> focus(
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    ASSERT_TRUE(focus);
    EXPECT_NE(focus->focus, window);

    // The pointer rests in the middle of the screen: 0.45 s later the Dock slides out, 3 points
    // of it left on screen.
    EXPECT_EQ(lineStartingWith(driver, "settled"), "settled 0 671 979 170 81");
    std::unique_ptr<xcb_translate_coordinates_reply_t, FreeDeleter> origin(
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, window, root, 0, 0), nullptr));
    ASSERT_TRUE(origin);
    EXPECT_EQ(982 - origin->dst_y, 3);

    // The pointer at the bottom edge brings it back.
    xcb_warp_pointer(c, XCB_NONE, root, 0, 0, 0, 0, 200, 981);
    xcb_flush(c);
    EXPECT_EQ(lineStartingWith(driver, "settled"), "settled 1 671 893 170 81");

    driver.write("quit\n");
    EXPECT_EQ(lineStartingWith(driver, "status"), "status Native macOS Dock restored");
    ASSERT_TRUE(driver.waitForFinished(30'000));
    EXPECT_EQ(readJson(dockFile(home.path())), QJsonDocument::fromJson(kUserDock).object());
}

TEST(X11WindowList, ListsTheMappedClientsOfTheStackingListWithTheirFrameStatePidAndClass) {
    XvfbServer server(1512, 982);
    if (!server.isRunning()) GTEST_SKIP() << "no Xvfb";
    // The test is the window manager: it creates the clients and publishes the stacking list.
    XClient client(server.display().toLatin1());
    xcb_connection_t* c = client.c;
    ASSERT_FALSE(xcb_connection_has_error(c));
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const auto makeWindow = [&](int x, int y, int w, int h) {
        const xcb_window_t window = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, x, y, w, h, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        return window;
    };
    const xcb_window_t editor = makeWindow(10, 20, 800, 600);
    const xcb_window_t player = makeWindow(0, 0, 1512, 982);
    const xcb_window_t panel = makeWindow(0, 0, 1512, 30);
    const xcb_window_t minimised = makeWindow(5, 5, 300, 300);
    const xcb_window_t unmapped = makeWindow(5, 5, 300, 300);
    const auto setAtoms = [&](xcb_window_t w, const char* property, std::vector<xcb_atom_t> values) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, atom(c, property), XCB_ATOM_ATOM, 32,
                            static_cast<uint32_t>(values.size()), values.data());
    };
    const uint32_t pid = 4321;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, editor, atom(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1,
                        &pid);
    const char wmClass[] = "gedit\0Gedit";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, editor, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        sizeof wmClass, wmClass);
    setAtoms(editor, "_NET_WM_WINDOW_TYPE", {atom(c, "_NET_WM_WINDOW_TYPE_NORMAL")});
    setAtoms(player, "_NET_WM_STATE", {atom(c, "_NET_WM_STATE_ABOVE"), atom(c, "_NET_WM_STATE_FULLSCREEN")});
    setAtoms(panel, "_NET_WM_WINDOW_TYPE", {atom(c, "_NET_WM_WINDOW_TYPE_DOCK")});
    setAtoms(minimised, "_NET_WM_STATE", {atom(c, "_NET_WM_STATE_HIDDEN")});
    for (const xcb_window_t w : {editor, player, panel, minimised}) xcb_map_window(c, w);
    const std::vector<xcb_window_t> stacking = {editor, player, panel, minimised, unmapped};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, screen->root, atom(c, "_NET_CLIENT_LIST_STACKING"),
                        XCB_ATOM_WINDOW, 32, static_cast<uint32_t>(stacking.size()), stacking.data());
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); // a round trip: all applied

    X11WindowList list(server.display().toLatin1());
    const std::vector<WindowListEntry> windows = list.onScreenWindows();
    ASSERT_EQ(windows.size(), 3u);
    EXPECT_EQ(windows[0], (WindowListEntry{.id = editor,
                                           .processId = 4321,
                                           .ownerName = "Gedit",
                                           .frame = QRect(10, 20, 800, 600),
                                           .layer = WindowListEntry::kNormalLayer,
                                           .isFullScreen = false}));
    EXPECT_EQ(windows[1].id, player);
    EXPECT_TRUE(windows[1].isFullScreen);
    EXPECT_EQ(windows[1].processId, 0);
    EXPECT_EQ(windows[2].id, panel);
    EXPECT_EQ(windows[2].layer, WindowListEntry::kDockLayer);

    // A window that goes away is simply no longer listed.
    xcb_destroy_window(c, editor);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    EXPECT_EQ(list.onScreenWindows().size(), 2u);

    // Away from X11 the list is empty.
    EXPECT_TRUE(X11WindowList(QByteArray()).onScreenWindows().empty());
}

namespace {

// Reads the X server's events until `done` holds, for at most ten seconds; whether it held. Each
// answer of `done` is final: asked once more, a condition that reads on (the driver's lines) could
// take back what it had found.
bool waitForX(xcb_connection_t* c, const std::function<bool()>& done) {
    const QDeadlineTimer deadline(10'000);
    pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
    for (;;) {
        if (done()) return true;
        if (deadline.hasExpired()) return false;
        ::poll(&fd, 1, 100);
        while (xcb_generic_event_t* event = xcb_poll_for_event(c)) std::free(event);
    }
}

xcb_window_t activeWindow(xcb_connection_t* c, xcb_window_t root) {
    const std::vector<quint32> active = cardinals(c, root, atom(c, "_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW);
    return active.empty() ? xcb_window_t(XCB_NONE) : active.front();
}

xcb_window_t inputFocus(xcb_connection_t* c) {
    std::unique_ptr<xcb_get_input_focus_reply_t, FreeDeleter> focus(
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return focus ? focus->focus : xcb_window_t(XCB_NONE);
}

// The mapped top-level windows of the tooltip type.
int shownTooltips(xcb_connection_t* c, xcb_window_t root) {
    std::unique_ptr<xcb_query_tree_reply_t, FreeDeleter> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr));
    if (!tree) return 0;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    int count = 0;
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        std::unique_ptr<xcb_get_window_attributes_reply_t, FreeDeleter> attributes(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr));
        if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE) continue;
        const std::vector<quint32> types =
            cardinals(c, children[i], atom(c, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM);
        if (std::find(types.begin(), types.end(), atom(c, "_NET_WM_WINDOW_TYPE_TOOLTIP")) != types.end())
            ++count;
    }
    return count;
}

} // namespace

TEST(DockProcess, TheTilesShowTheirTooltipsWhileAnotherWindowIsActive) {
    XvfbServer server(1512, 982);
    if (!server.isRunning()) GTEST_SKIP() << "no Xvfb";
    XClient client(server.display().toLatin1());
    xcb_connection_t* c = client.c;
    ASSERT_FALSE(xcb_connection_has_error(c));
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t root = screen->root;
    const quint32 rootEvents = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &rootEvents);

    // A window manager without a compositor, where one is installed.
    QProcess manager;
    const QString xfwm4 = QStandardPaths::findExecutable(QStringLiteral("xfwm4"));
    const bool managed = !xfwm4.isEmpty();
    if (managed) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", server.display());
        manager.setProcessEnvironment(environment);
        manager.start(xfwm4, {QStringLiteral("--compositor=off")});
        ASSERT_TRUE(manager.waitForStarted(10'000));
        ASSERT_TRUE(waitForX(c, [&] {
            std::unique_ptr<xcb_get_selection_owner_reply_t, FreeDeleter> owner(
                xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom(c, "WM_S0")), nullptr));
            return owner && owner->owner != XCB_NONE;
        })) << "xfwm4 took no charge of the screen";
    }

    // Another program's window, active and holding the keyboard focus.
    const xcb_window_t editor = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, editor, root, 100, 100, 600, 400, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    xcb_map_window(c, editor);
    xcb_flush(c);
    if (managed) {
        // Once the manager has taken the window in, it is asked to make it the active one.
        ASSERT_TRUE(waitForX(c, [&] {
            std::unique_ptr<xcb_get_property_reply_t, FreeDeleter> state(xcb_get_property_reply(
                c, xcb_get_property(c, 0, editor, atom(c, "WM_STATE"), XCB_ATOM_ANY, 0, 2), nullptr));
            return state && xcb_get_property_value_length(state.get()) > 0;
        })) << "xfwm4 did not manage the window";
        xcb_client_message_event_t activate{};
        activate.response_type = XCB_CLIENT_MESSAGE;
        activate.format = 32;
        activate.window = editor;
        activate.type = atom(c, "_NET_ACTIVE_WINDOW");
        activate.data.data32[0] = 2; // asked for by the user
        xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&activate));
        xcb_flush(c);
        ASSERT_TRUE(waitForX(c, [&] { return activeWindow(c, root) == editor; }));
    } else {
        xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, editor, XCB_CURRENT_TIME);
        ASSERT_TRUE(waitForX(c, [&] { return inputFocus(c) == editor; }));
    }

    QTemporaryDir home;
    writeUserDock(home.path());
    QProcess driver;
    startDriver(driver, home.path(), "row", server.display());
    ASSERT_FALSE(lineStartingWith(driver, "window").isEmpty());
    // No pinned items and no running applications of ours: the shelf, then the Trash.
    std::map<QString, QPoint> tiles;
    for (int i = 0; i < 2; ++i) {
        const QStringList tile = lineStartingWith(driver, "tile").split(' ');
        ASSERT_GE(tile.size(), 4);
        tiles[tile.mid(3).join(' ')] = QPoint(tile[1].toInt(), tile[2].toInt());
    }
    ASSERT_EQ(tiles.count("Temporary File Shelf"), 1u);
    const QString trash = QString::fromUtf8("Trash \u2014 empty");
    ASSERT_EQ(tiles.count(trash), 1u);
    EXPECT_EQ(shownTooltips(c, root), 0);

    const QPoint shelf = tiles["Temporary File Shelf"];
    xcb_warp_pointer(c, XCB_NONE, root, 0, 0, 0, 0, int16_t(shelf.x()), int16_t(shelf.y()));
    xcb_flush(c);
    EXPECT_EQ(lineStartingWith(driver, "tooltip"), "tooltip Temporary File Shelf");
    EXPECT_TRUE(waitForX(c, [&] { return shownTooltips(c, root) == 1; })) << "a tooltip window on the screen";
    const QPoint can = tiles[trash];
    xcb_warp_pointer(c, XCB_NONE, root, 0, 0, 0, 0, int16_t(can.x()), int16_t(can.y()));
    xcb_flush(c);
    EXPECT_EQ(lineStartingWith(driver, "tooltip"), QStringLiteral("tooltip ") + trash);

    // The other window stayed active throughout.
    EXPECT_EQ(inputFocus(c), editor);
    if (managed) {
        EXPECT_EQ(activeWindow(c, root), editor);
    }

    driver.write("quit\n");
    EXPECT_EQ(lineStartingWith(driver, "status"), "status Native macOS Dock restored");
    ASSERT_TRUE(driver.waitForFinished(30'000));
    if (managed) {
        manager.terminate();
        if (!manager.waitForFinished(10'000)) {
            manager.kill();
            manager.waitForFinished(10'000);
        }
    }
}

namespace {

// The driver's lines as they come, keeping track of the panel's current window.
struct DriverLines {
    QProcess& driver;
    xcb_window_t window = XCB_NONE;

    const QString& note(const QString& line) {
        if (line.startsWith("window ")) window = line.section(' ', 1).toUInt();
        return line;
    }
    // The next line that starts with `prefix`, as lineStartingWith, noting windows on the way.
    QString next(const QString& prefix) {
        for (;;)
            if (const QString line = note(lineStartingWith(driver, QString()));
                line.isEmpty() || line.startsWith(prefix))
                return line;
    }
    // The "settled 1" line of the Dock at rest with the row's own size, which is when the tiles
    // are said: on a slow machine it may settle once before the row has told it its size.
    QString revealedWithTheRow() {
        QString revealed;
        for (QString line; !(line = next(QString())).isEmpty() && !line.startsWith("tile ");)
            if (line.startsWith("settled 1")) revealed = line;
        return revealed;
    }
    // Sets the root window's _VANTREL_DRIVER_SYNC and reads on to the driver's "synced": by then
    // the Dock has taken in every change the X server made before, and its window is known.
    bool sync(XClient& x) {
        const quint32 marker = 1;
        xcb_change_property(x.c, XCB_PROP_MODE_REPLACE, x.root, x.atom("_VANTREL_DRIVER_SYNC"),
                            XCB_ATOM_CARDINAL, 32, 1, &marker);
        xcb_flush(x.c);
        return next("synced") == "synced";
    }
    // Reads what has arrived, without waiting.
    void drain() {
        driver.waitForReadyRead(0);
        while (driver.canReadLine()) note(QString::fromUtf8(driver.readLine()).trimmed());
    }
};

bool isViewable(xcb_connection_t* c, xcb_window_t window) {
    std::unique_ptr<xcb_get_window_attributes_reply_t, FreeDeleter> attributes(
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

void stop(QProcess& process) {
    if (process.state() == QProcess::NotRunning) return;
    process.terminate();
    if (!process.waitForFinished(10'000)) {
        process.kill();
        process.waitForFinished(10'000);
    }
}

} // namespace

TEST(DockProcess, AfterTheWindowManagerIsReplacedTheDockIsOnTheScreenAndRevealedAtTheBottomEdge) {
    if (QStandardPaths::findExecutable(QStringLiteral("xfwm4")).isEmpty()) GTEST_SKIP() << "no xfwm4";
    XvfbServer server(1512, 982);
    if (!server.isRunning()) GTEST_SKIP() << "no Xvfb";
    XClient client(server.display().toLatin1());
    xcb_connection_t* c = client.c;
    ASSERT_FALSE(xcb_connection_has_error(c));

    std::list<QProcess> managers;
    ASSERT_TRUE(startXfwm4(managers.emplace_back(), client, server.display(), true))
        << "xfwm4 took no charge";

    QTemporaryDir home;
    writeUserDock(home.path());
    QProcess driver;
    startDriver(driver, home.path(), "row", server.display(), 0, 0, {"hiding"});
    DriverLines lines{driver};
    const QString revealed = lines.revealedWithTheRow();
    ASSERT_FALSE(revealed.isEmpty());
    const int revealedY = revealed.section(' ', 3, 3).toInt();
    const QPoint onTheDock(revealed.section(' ', 2, 2).toInt() + revealed.section(' ', 4, 4).toInt() / 2,
                           revealedY + 70);
    const auto warp = [&](QPoint at) {
        xcb_warp_pointer(c, XCB_NONE, client.root, 0, 0, 0, 0, int16_t(at.x()), int16_t(at.y()));
        xcb_flush(c);
    };
    // The Dock's window is mapped, its top where the revealed Dock's is.
    const auto onScreen = [&] {
        return waitForX(c, [&] {
            lines.drain();
            if (!isViewable(c, lines.window)) return false;
            std::unique_ptr<xcb_translate_coordinates_reply_t, FreeDeleter> origin(
                xcb_translate_coordinates_reply(
                    c, xcb_translate_coordinates(c, lines.window, client.root, 0, 0), nullptr));
            return origin && origin->dst_y == revealedY;
        });
    };

    // Each replacement once with the Dock slid out, once with it shown (the pointer resting on it),
    // to a manager with or without a compositor, from one with or without.
    const struct {
        bool compositor;
        bool slidOut;
    } replacements[] = {{false, true}, {true, false}, {true, true}, {false, false}, {false, true}};
    for (const auto& replacement : replacements) {
        SCOPED_TRACE(std::string(replacement.compositor ? "on" : "off") +
                     (replacement.slidOut ? ", slid out" : ", shown"));
        if (replacement.slidOut) {
            warp(QPoint(700, 300));
            ASSERT_FALSE(lines.next("settled 0").isEmpty());
        } else {
            warp(onTheDock);
        }
        ASSERT_TRUE(
            startXfwm4(managers.emplace_back(), client, server.display(), replacement.compositor, true))
            << "the new xfwm4 took no charge";
        // A compositor come or gone gives the Dock a new window: judged before the Dock has heard
        // of it, the window about to go would be taken for the Dock.
        ASSERT_TRUE(lines.sync(client)) << "the driver did not answer";
        if (replacement.slidOut) {
            // The pointer rests on the bottom edge. (A window rebuilt for the new compositor may
            // settle, still slid out, before the reveal does.)
            warp(QPoint(200, 981));
            EXPECT_EQ(lines.next("settled 1"), revealed);
        }
        EXPECT_TRUE(onScreen()) << "the Dock's window is not on the screen";
    }

    driver.write("quit\n");
    EXPECT_EQ(lines.next("status"), "status Native macOS Dock restored");
    ASSERT_TRUE(driver.waitForFinished(30'000));
    for (QProcess& manager : managers) stop(manager);
}

TEST(DockProcess, UnderXfwm4sCompositorNothingDarkensTheDesktopAroundTheDocksSurface) {
    if (QStandardPaths::findExecutable(QStringLiteral("xfwm4")).isEmpty()) GTEST_SKIP() << "no xfwm4";
    XvfbServer server(1512, 982);
    if (!server.isRunning()) GTEST_SKIP() << "no Xvfb";
    XClient client(server.display().toLatin1());
    xcb_connection_t* c = client.c;
    ASSERT_FALSE(xcb_connection_has_error(c));
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;

    // A plain grey desktop under every window.
    const quint32 grey = 0x808080;
    const xcb_window_t desktop = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, desktop, client.root, 0, 0, 1512, 982, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL, &grey);
    const xcb_atom_t desktopType = atom(c, "_NET_WM_WINDOW_TYPE_DESKTOP");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, desktop, atom(c, "_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32,
                        1, &desktopType);
    xcb_map_window(c, desktop);
    xcb_flush(c);

    QProcess manager;
    ASSERT_TRUE(startXfwm4(manager, client, server.display(), true)) << "xfwm4's compositor did not start";

    QTemporaryDir home;
    writeUserDock(home.path());
    QProcess driver;
    startDriver(driver, home.path(), "row", server.display());
    DriverLines lines{driver};
    const QStringList settled = lines.revealedWithTheRow().split(' ');
    ASSERT_EQ(settled.size(), 6);
    const QRect frame(settled[2].toInt(), settled[3].toInt(), settled[4].toInt(), settled[5].toInt());
    // The surface, inside the clear margins: 50 + 7 at each side, 28 + 7 above and 7 below.
    const QRect surface = frame.adjusted(57, 35, -57, -7);
    const QRect around = frame.adjusted(-24, -24, 24, 24) & QRect(0, 0, 1512, 982);

    // What the screen shows around the Dock, once the compositor has drawn it to each edge of its
    // surface (a Dock drawn in a smaller size than its window shows the desktop there), and drawn
    // nothing more since.
    const auto capture = [&] {
        std::unique_ptr<xcb_get_image_reply_t, FreeDeleter> image(xcb_get_image_reply(
            c,
            xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, client.root, int16_t(around.x()), int16_t(around.y()),
                          uint16_t(around.width()), uint16_t(around.height()), ~0u),
            nullptr));
        if (!image) return QByteArray();
        return QByteArray(reinterpret_cast<const char*>(xcb_get_image_data(image.get())),
                          xcb_get_image_data_length(image.get()));
    };
    const auto pixel = [&](const QByteArray& image, QPoint at) {
        const qsizetype offset = ((at.y() - around.y()) * around.width() + (at.x() - around.x())) * 4;
        return std::array<int, 3>{uchar(image[offset]), uchar(image[offset + 1]), uchar(image[offset + 2])};
    };
    QByteArray shown;
    ASSERT_TRUE(waitForX(c, [&] {
        const QByteArray now = capture();
        const QPoint centre = surface.center();
        const bool drawn =
            now.size() == qsizetype(around.width()) * around.height() * 4 &&
            std::ranges::none_of(std::array{centre, QPoint(centre.x(), surface.top() + 2),
                                            QPoint(centre.x(), surface.bottom() - 2),
                                            QPoint(surface.left() + 2, centre.y()),
                                            QPoint(surface.right() - 2, centre.y())},
                                 [&](QPoint at) {
                                     return pixel(now, at) == std::array<int, 3>{0x80, 0x80, 0x80};
                                 });
        const bool stable = drawn && now == shown;
        shown = now;
        return stable;
    })) << "the Dock was not drawn";

    int darkest = 0;
    for (int y = around.top(); y <= around.bottom(); ++y)
        for (int x = around.left(); x <= around.right(); ++x) {
            if (surface.adjusted(-1, -1, 1, 1).contains(x, y)) continue;
            for (const int channel : pixel(shown, QPoint(x, y))) darkest = std::max(darkest, 0x80 - channel);
        }
    EXPECT_EQ(darkest, 0) << "the desktop is darker beside the surface";

    driver.write("quit\n");
    EXPECT_EQ(lineStartingWith(driver, "status"), "status Native macOS Dock restored");
    ASSERT_TRUE(driver.waitForFinished(30'000));
    stop(manager);
}
