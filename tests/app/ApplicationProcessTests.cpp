// The built `vantrel` program run as a child process, headless, in a home of its own.

#include "support/FakeStatusNotifierHost.h"
#include "support/HostileFiles.h"
#include "support/PrivateSessionBus.h"
#include "support/TempHome.h"
#include "support/XClient.h"
#include "support/Xfwm4.h"
#include "support/XvfbServer.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>

using vantrel::test::TempHome;
using vantrel::test::XClient;

namespace {
constexpr int kTimeoutMs = 60000;

class ChildHome : public TempHome {
public:
    ChildHome() {
        QDir().mkpath(runtimeFolder());
        QFile::setPermissions(runtimeFolder(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        // The replacement Dock is on and has suppressed the system Dock; only the stop at
        // termination restores it, so a restored Dock shows that the stop ran.
        writeFile(QStringLiteral("home/.config/Vantrel/defaults/com.vantrel.mac.json"), R"({
            "dock.customEnabled": true,
            "vantrelDock.systemDockRestorePending": true,
            "vantrelDock.originalAutohideWasSet": true, "vantrelDock.originalAutohide": false,
            "vantrelDock.originalDelayWasSet": false,
            "vantrelDock.originalAutohideAnimationWasSet": false})");
        writeFile(QStringLiteral("home/.config/Vantrel/defaults/com.apple.dock.json"),
                  R"({"autohide": true, "autohide-delay": 1000, "autohide-time-modifier": 0})");
    }
    QString runtimeFolder() const { return root() + QStringLiteral("/run"); }

    // Starts `vantrel` in this home; on the session bus at `busAddress`, the X display `display`
    // and in the working folder `folder` when they are given.
    std::unique_ptr<QProcess> launch(const QString& busAddress = {}, const QString& display = {},
                                     const QString& folder = {}) const {
        auto process = std::make_unique<QProcess>();
        if (!folder.isEmpty()) process->setWorkingDirectory(folder);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), paths().home);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), paths().configHome);
        environment.insert(QStringLiteral("XDG_DATA_HOME"), paths().dataHome);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        if (!busAddress.isEmpty()) environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
        if (!display.isEmpty()) {
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
            environment.insert(QStringLiteral("DISPLAY"), display);
        }
        process->setProcessEnvironment(environment);
        process->start(QStringLiteral(VANTREL_BINARY_DIR "/vantrel"), {});
        return process;
    }

    // True once the program listens for later launches, which it does only after its signal
    // handlers are in place.
    bool waitUntilRunning(QProcess& process) const {
        const QString socket = runtimeFolder() + QStringLiteral("/vantrel.instance");
        return QTest::qWaitFor(
                   [&] { return QFileInfo::exists(socket) || process.state() == QProcess::NotRunning; },
                   kTimeoutMs) &&
               process.state() == QProcess::Running;
    }
};
// The labels of a com.canonical.dbusmenu layout, depth first; `ids` gets each label's item id.
void readMenuLayout(const QDBusArgument& layout, QStringList& labels, QMap<QString, int>& ids) {
    int id = 0;
    QVariantMap properties;
    layout.beginStructure();
    layout >> id >> properties;
    if (properties.contains(QStringLiteral("label"))) {
        labels.append(properties.value(QStringLiteral("label")).toString());
        ids.insert(labels.last(), id);
    } else if (properties.value(QStringLiteral("type")) == QStringLiteral("separator")) {
        labels.append(QStringLiteral("-"));
    }
    layout.beginArray();
    while (!layout.atEnd()) {
        QDBusVariant child;
        layout >> child;
        readMenuLayout(child.variant().value<QDBusArgument>(), labels, ids);
    }
    layout.endArray();
    layout.endStructure();
}
// The program's managed window of the type given, named "Vantrel" where that is asked.
xcb_window_t managedWindow(XClient& x, qint64 pid, const char* type, bool named) {
    for (const quint32 window : x.cardinals(x.root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW)) {
        const std::vector<quint32> pids = x.cardinals(window, "_NET_WM_PID", XCB_ATOM_CARDINAL);
        const std::vector<quint32> types = x.cardinals(window, "_NET_WM_WINDOW_TYPE", XCB_ATOM_ATOM);
        if (pids.empty() || pids.front() != pid || types.empty() || types.front() != x.atom(type)) continue;
        std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> name(
            xcb_get_property_reply(
                x.c, xcb_get_property(x.c, 0, window, x.atom("_NET_WM_NAME"), XCB_ATOM_ANY, 0, 64), nullptr),
            &std::free);
        const QByteArray title =
            name ? QByteArray(static_cast<const char*>(xcb_get_property_value(name.get())),
                              xcb_get_property_value_length(name.get()))
                 : QByteArray();
        if (!named || title == "Vantrel") return window;
    }
    return XCB_NONE;
}

// What every client together has selected on `window`.
quint32 selectedEvents(XClient& x, xcb_window_t window) {
    std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
        xcb_get_window_attributes_reply(x.c, xcb_get_window_attributes(x.c, window), nullptr), &std::free);
    return attributes ? attributes->all_event_masks : 0;
}

// The pixels drawn in `area` of `window`; empty when they cannot be read.
QByteArray pixelsIn(XClient& x, xcb_window_t window, const QRect& area) {
    std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> image(
        xcb_get_image_reply(x.c,
                            xcb_get_image(x.c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, qint16(area.x()),
                                          qint16(area.y()), quint16(area.width()), quint16(area.height()),
                                          ~0u),
                            nullptr),
        &std::free);
    if (!image) return {};
    return QByteArray(reinterpret_cast<const char*>(xcb_get_image_data(image.get())),
                      xcb_get_image_data_length(image.get()));
}

// Whether anything bright is drawn in `area` of `window` (dark page, light buttons and text).
bool drawsBrightIn(XClient& x, xcb_window_t window, const QRect& area) {
    const QByteArray pixels = pixelsIn(x, window, area);
    for (qsizetype i = 0; i + 3 < pixels.size(); i += 4)
        if (qGray(quint8(pixels[i + 2]), quint8(pixels[i + 1]), quint8(pixels[i])) > 128) return true;
    return false;
}

// The brightest grey drawn in `area` of `window`; -1 when it cannot be read.
int brightestIn(XClient& x, xcb_window_t window, const QRect& area) {
    const QByteArray pixels = pixelsIn(x, window, area);
    int brightest = pixels.isEmpty() ? -1 : 0;
    for (qsizetype i = 0; i + 3 < pixels.size(); i += 4)
        brightest =
            std::max(brightest, qGray(quint8(pixels[i + 2]), quint8(pixels[i + 1]), quint8(pixels[i])));
    return brightest;
}

// Waits, at most `milliseconds`, until `area` of `window` draws pure white. The white text chosen
// comes to rest in `area` at the end of a fade: before that end it is drawn see-through over the
// dark below and never reaches full white, and where it moves it is nowhere near it. Pixels that
// merely stopped changing are no end: an animation held up on a busy machine stops too.
bool restsWhiteIn(XClient& x, xcb_window_t window, const QRect& area, int milliseconds) {
    return x.waitFor([&] { return brightestIn(x, window, area) == 255; }, milliseconds);
}

// A top-level window of the program named `name`, managed or not; none while there is none.
xcb_window_t namedWindow(XClient& x, qint64 pid, const QByteArray& name) {
    std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
        xcb_query_tree_reply(x.c, xcb_query_tree(x.c, x.root), nullptr), &std::free);
    if (!tree) return XCB_NONE;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    std::vector<xcb_window_t> candidates(children, children + xcb_query_tree_children_length(tree.get()));
    // Managed windows sit inside the manager's frames.
    for (const quint32 window : x.cardinals(x.root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW))
        candidates.push_back(window);
    for (const xcb_window_t window : candidates) {
        const std::vector<quint32> pids = x.cardinals(window, "_NET_WM_PID", XCB_ATOM_CARDINAL);
        if (pids.empty() || pids.front() != pid) continue;
        std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> title(
            xcb_get_property_reply(
                x.c, xcb_get_property(x.c, 0, window, x.atom("_NET_WM_NAME"), XCB_ATOM_ANY, 0, 64), nullptr),
            &std::free);
        if (title && QByteArray(static_cast<const char*>(xcb_get_property_value(title.get())),
                                xcb_get_property_value_length(title.get())) == name)
            return window;
    }
    return XCB_NONE;
}

bool isViewable(XClient& x, xcb_window_t window) {
    std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
        xcb_get_window_attributes_reply(x.c, xcb_get_window_attributes(x.c, window), nullptr), &std::free);
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

int heightOf(XClient& x, xcb_window_t window) {
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(x.c, xcb_get_geometry(x.c, window), nullptr), &std::free);
    return geometry ? geometry->height : 0;
}

int widthOf(XClient& x, xcb_window_t window) {
    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(x.c, xcb_get_geometry(x.c, window), nullptr), &std::free);
    return geometry ? geometry->width : 0;
}

xcb_window_t inputFocus(XClient& x) {
    std::unique_ptr<xcb_get_input_focus_reply_t, decltype(&std::free)> focus(
        xcb_get_input_focus_reply(x.c, xcb_get_input_focus(x.c), nullptr), &std::free);
    return focus ? focus->focus : xcb_window_t(XCB_NONE);
}

xcb_window_t activeWindow(XClient& x) {
    const std::vector<quint32> active = x.cardinals(x.root, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW);
    return active.empty() ? xcb_window_t(XCB_NONE) : active.front();
}

// The screen position of `window`'s point (`dx`, `dy`).
QPoint onScreen(XClient& x, xcb_window_t window, int dx, int dy) {
    std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> origin(
        xcb_translate_coordinates_reply(x.c, xcb_translate_coordinates(x.c, window, x.root, 0, 0), nullptr),
        &std::free);
    return origin ? QPoint(origin->dst_x + dx, origin->dst_y + dy) : QPoint(dx, dy);
}

// The top-level window the pointer is over, as the server hands it a click.
xcb_window_t windowUnderPointer(XClient& x) {
    std::unique_ptr<xcb_query_pointer_reply_t, decltype(&std::free)> pointer(
        xcb_query_pointer_reply(x.c, xcb_query_pointer(x.c, x.root), nullptr), &std::free);
    return pointer ? pointer->child : xcb_window_t(XCB_NONE);
}

// Tab and Shift+Tab walk Quick Controls; Escape closes it and gives the focus back to the Timer
// metric, on which Space opens it again, and Escape closes it once more. Empty when all of it held.
std::string walkQuickControlsAndBack(XClient& x, xcb_window_t window, const QRect& panelTitle,
                                     int milliseconds) {
    for (int i = 0; i < 25; ++i) x.tap(0xff09); // Tab
    x.key(0xffe1, true);                        // Shift_L
    for (int i = 0; i < 25; ++i) x.tap(0xff09);
    x.key(0xffe1, false);
    x.tap(0xff1b); // Escape
    if (!x.waitFor([&] { return !drawsBrightIn(x, window, panelTitle); }, milliseconds))
        return "Escape did not close the panel";
    x.tap(' ');
    if (!x.waitFor([&] { return drawsBrightIn(x, window, panelTitle); }, milliseconds))
        return "the focus did not come back to the Timer metric";
    x.tap(0xff1b);
    if (!x.waitFor([&] { return !drawsBrightIn(x, window, panelTitle); }, milliseconds))
        return "Escape did not close the panel again";
    return {};
}

// The window manager holds a click to focus a window until it has seen it, while keys go on to
// the focused window: a key typed at once would overtake the click. Once nobody holds the pointer,
// the click has gone on.
bool clickHasGoneOn(XClient& x) {
    return x.waitFor(
        [&] {
            std::unique_ptr<xcb_grab_pointer_reply_t, decltype(&std::free)> grab(
                xcb_grab_pointer_reply(x.c,
                                       xcb_grab_pointer(x.c, 0, x.root, 0, XCB_GRAB_MODE_ASYNC,
                                                        XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE,
                                                        XCB_CURRENT_TIME),
                                       nullptr),
                &std::free);
            xcb_ungrab_pointer(x.c, XCB_CURRENT_TIME);
            return grab && grab->status == XCB_GRAB_STATUS_SUCCESS;
        },
        kTimeoutMs);
}

// Presses `keysym` with the modifiers held, as a user's chord.
void chord(XClient& x, std::initializer_list<std::uint32_t> modifiers, std::uint32_t keysym) {
    for (const std::uint32_t modifier : modifiers) x.key(modifier, true);
    x.tap(keysym);
    for (const std::uint32_t modifier : modifiers) x.key(modifier, false);
    x.roundTrip();
}
} // namespace

// A user's first steps under a window manager: typing into a field of the control center,
// resizing it and quitting with Ctrl+Q, with the replacement Dock off and on, while the running
// applications are read (they are from the start) and other programs' windows are watched.
TEST(ApplicationProcess, UnderAWindowManagerTheControlCenterTakesKeysFollowsAResizeAndQuitsOnCtrlQ) {
    if (QStandardPaths::findExecutable(QStringLiteral("xfwm4")).isEmpty()) GTEST_SKIP() << "no xfwm4";
    for (const bool dock : {false, true}) {
        SCOPED_TRACE(dock ? "with the Dock" : "without the Dock");
        vantrel::test::Xfwm4Desktop desktop(1600, 1000);
        if (!desktop.serverRunning()) GTEST_SKIP() << "Xvfb could not be started";
        ASSERT_TRUE(desktop.managed()) << "xfwm4 took no charge";
        XClient& x = *desktop.x;
        ChildHome home;
        home.writeFile(QStringLiteral("home/.config/Vantrel/defaults/com.vantrel.mac.json"),
                       dock ? R"({"onboarding.complete": true, "dock.customEnabled": true})"
                            : R"({"onboarding.complete": true})");
        auto process = home.launch({}, desktop.display());
        ASSERT_TRUE(process->waitForStarted(kTimeoutMs));

        xcb_window_t window = XCB_NONE;
        ASSERT_TRUE(x.waitFor(
            [&] {
                return (window = managedWindow(x, process->processId(), "_NET_WM_WINDOW_TYPE_NORMAL", true));
            },
            kTimeoutMs))
            << "no control center";
        // What Qt selects on its windows: replaced by another selection of the program's on Qt's
        // connection, keys and exposures go unheard and each wait below would run its full
        // minute. The masks are checked first, and every wait ends once one is lost.
        xcb_window_t panel = XCB_NONE;
        const auto lostMask = [&] {
            const quint32 own = XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_EXPOSURE;
            const quint32 dock = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
            return (selectedEvents(x, window) & own) != own ||
                   (panel != XCB_NONE && (selectedEvents(x, panel) & dock) != dock);
        };
        const auto masks = [&] {
            return "selected: " + std::to_string(selectedEvents(x, window)) + ", the Dock's " +
                   std::to_string(panel != XCB_NONE ? selectedEvents(x, panel) : 0);
        };
        ASSERT_FALSE(lostMask()) << masks();
        // Drawn: the navigation's bright "Actions" button at the right of its 1080-point width.
        ASSERT_TRUE(x.waitFor([&] { return lostMask() || drawsBrightIn(x, window, QRect(900, 40, 170, 90)); },
                              kTimeoutMs));
        ASSERT_FALSE(lostMask()) << masks();
        if (dock) {
            ASSERT_TRUE(x.waitFor(
                [&] {
                    return (panel =
                                managedWindow(x, process->processId(), "_NET_WM_WINDOW_TYPE_DOCK", false));
                },
                kTimeoutMs))
                << "no Dock";
            ASSERT_FALSE(lostMask()) << "the Dock hears its exposures and resizes; " << masks();
        }

        // Into the home page's note, below its title.
        const auto origin = std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)>(
            xcb_translate_coordinates_reply(x.c, xcb_translate_coordinates(x.c, window, x.root, 0, 0),
                                            nullptr),
            &std::free);
        ASSERT_TRUE(origin);
        x.click(origin->dst_x + 620, origin->dst_y + 600);
        ASSERT_TRUE(clickHasGoneOn(x));
        x.type("typed into the note");
        const QString notes = home.paths().dataHome + QStringLiteral("/Vantrel/notes.json");
        QByteArray saved;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                QFile file(notes);
                saved = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
                return lostMask() || saved.contains("\"body\":\"typed into the note\"");
            },
            kTimeoutMs))
            << "the typed line never reached the note: " << saved.toStdString();
        ASSERT_FALSE(lostMask()) << masks();

        // Made wider, the page is laid out again over the new width: its navigation reaches past
        // the old right edge.
        const quint32 size[] = {1400, 900};
        xcb_configure_window(x.c, window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
        EXPECT_TRUE(x.waitFor(
            [&] { return lostMask() || drawsBrightIn(x, window, QRect(1150, 40, 240, 90)); }, kTimeoutMs))
            << "the page was not laid out over 1400 points";
        ASSERT_FALSE(lostMask()) << masks();

        x.key(0xffe3, true); // Control_L
        x.tap('q');
        x.key(0xffe3, false);
        EXPECT_TRUE(process->waitForFinished(kTimeoutMs)) << "Ctrl+Q did not quit";
        EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(kTimeoutMs);
        }
    }
}

// A keyboard user in Quick Controls under a window manager: Tab stays among the panel's
// controls, the note behind it gets none of the keys, and Escape gives the focus back to the
// Timer metric that opened the panel.
TEST(ApplicationProcess, TabInQuickControlsStaysInThePanelAndTheNoteBehindKeepsItsText) {
    if (QStandardPaths::findExecutable(QStringLiteral("xfwm4")).isEmpty()) GTEST_SKIP() << "no xfwm4";
    vantrel::test::Xfwm4Desktop desktop(1600, 1000);
    if (!desktop.serverRunning()) GTEST_SKIP() << "Xvfb could not be started";
    ASSERT_TRUE(desktop.managed()) << "xfwm4 took no charge";
    XClient& x = *desktop.x;
    ChildHome home;
    home.writeFile(QStringLiteral("home/.config/Vantrel/defaults/com.vantrel.mac.json"),
                   R"({"onboarding.complete": true})");
    auto process = home.launch({}, desktop.display());
    ASSERT_TRUE(process->waitForStarted(kTimeoutMs));
    xcb_window_t window = XCB_NONE;
    ASSERT_TRUE(x.waitFor(
        [&] { return (window = managedWindow(x, process->processId(), "_NET_WM_WINDOW_TYPE_NORMAL", true)); },
        kTimeoutMs));
    ASSERT_TRUE(x.waitFor([&] { return drawsBrightIn(x, window, QRect(900, 40, 170, 90)); }, kTimeoutMs));
    const auto origin = std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)>(
        xcb_translate_coordinates_reply(x.c, xcb_translate_coordinates(x.c, window, x.root, 0, 0), nullptr),
        &std::free);
    ASSERT_TRUE(origin);
    const auto clickThrough = [&](int left, int top) {
        x.click(origin->dst_x + left, origin->dst_y + top);
        return clickHasGoneOn(x);
    };
    const QString notes = home.paths().dataHome + QStringLiteral("/Vantrel/notes.json");
    QByteArray saved;
    const auto noteSaved = [&](const QByteArray& body) {
        return QTest::qWaitFor(
            [&] {
                QFile file(notes);
                saved = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
                return saved.contains("\"body\":\"" + body + "\"");
            },
            kTimeoutMs);
    };
    ASSERT_TRUE(clickThrough(620, 600));
    x.type("groceries");
    ASSERT_TRUE(noteSaved("groceries")) << saved.toStdString();

    // The Timer metric opens the panel, whose title is drawn where the page has nothing bright.
    const QRect panelTitle(268, 108, 140, 32);
    ASSERT_FALSE(drawsBrightIn(x, window, panelTitle));
    ASSERT_TRUE(clickThrough(562, 305));
    ASSERT_TRUE(restsWhiteIn(x, window, panelTitle, kTimeoutMs)) << "no Quick Controls";
    ASSERT_EQ(walkQuickControlsAndBack(x, window, panelTitle, kTimeoutMs), "");

    // Typed into the note again, it holds the two words and nothing between them.
    ASSERT_TRUE(clickThrough(620, 600));
    x.type(" milk");
    EXPECT_TRUE(noteSaved("groceries milk"))
        << "the note took keys meant for the panel: " << saved.toStdString();

    process->terminate();
    EXPECT_TRUE(process->waitForFinished(kTimeoutMs));
}

// The window manager's maximize and full screen hold, with and without its compositor, however
// often they are asked for, and restoring gives the window back the size it had.
TEST(ApplicationProcess, UnderXfwm4MaximizeAndFullScreenHoldAndRestoringGivesBackTheSize) {
    if (QStandardPaths::findExecutable(QStringLiteral("xfwm4")).isEmpty()) GTEST_SKIP() << "no xfwm4";
    for (const bool compositor : {false, true}) {
        SCOPED_TRACE(compositor ? "with the compositor" : "without the compositor");
        vantrel::test::Xfwm4Desktop desktop(1600, 1000, compositor);
        if (!desktop.serverRunning()) GTEST_SKIP() << "Xvfb could not be started";
        ASSERT_TRUE(desktop.managed()) << "xfwm4 took no charge";
        XClient& x = *desktop.x;
        ChildHome home;
        home.writeFile(QStringLiteral("home/.config/Vantrel/defaults/com.vantrel.mac.json"),
                       R"({"onboarding.complete": true})");
        auto process = home.launch({}, desktop.display());
        ASSERT_TRUE(process->waitForStarted(kTimeoutMs));
        xcb_window_t window = XCB_NONE;
        ASSERT_TRUE(x.waitFor(
            [&] {
                return (window = managedWindow(x, process->processId(), "_NET_WM_WINDOW_TYPE_NORMAL", true));
            },
            kTimeoutMs));
        ASSERT_TRUE(x.waitFor([&] { return drawsBrightIn(x, window, QRect(900, 40, 170, 90)); }, kTimeoutMs));
        const QSize size(widthOf(x, window), heightOf(x, window));

        const auto has = [&](const char* state) {
            const std::vector<quint32> states = x.cardinals(window, "_NET_WM_STATE", XCB_ATOM_ATOM);
            return std::find(states.begin(), states.end(), x.atom(state)) != states.end();
        };
        // As a pager asks: `wmctrl -b add,maximized_vert,maximized_horz` and the like.
        const auto ask = [&](bool add, const char* state, const char* second = nullptr) {
            xcb_client_message_event_t message{};
            message.response_type = XCB_CLIENT_MESSAGE;
            message.format = 32;
            message.window = window;
            message.type = x.atom("_NET_WM_STATE");
            message.data.data32[0] = add ? 1 : 0;
            message.data.data32[1] = x.atom(state);
            message.data.data32[2] = second ? x.atom(second) : 0;
            message.data.data32[3] = 2;
            xcb_send_event(x.c, 0, x.root,
                           XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char*>(&message));
            x.roundTrip();
        };
        // Drawn over the whole width, the program has had the new size; whatever it asked of the
        // window manager in return has been done once the manager has done a later request too.
        const auto heldAfterTheProgramsAnswer = [&](const char* state) {
            if (!x.waitFor([&] { return drawsBrightIn(x, window, QRect(1250, 40, 300, 90)); }, kTimeoutMs))
                return false;
            ask(true, "_NET_WM_STATE_SKIP_PAGER");
            const bool answered = x.waitFor([&] { return has("_NET_WM_STATE_SKIP_PAGER"); }, kTimeoutMs);
            const bool held = answered && has(state) && widthOf(x, window) > 1590;
            ask(false, "_NET_WM_STATE_SKIP_PAGER");
            return held && x.waitFor([&] { return !has("_NET_WM_STATE_SKIP_PAGER"); }, kTimeoutMs);
        };
        const auto restored = [&] {
            return x.waitFor([&] { return QSize(widthOf(x, window), heightOf(x, window)) == size; },
                             kTimeoutMs);
        };
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE("maximize " + std::to_string(i + 1));
            ask(true, "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ");
            ASSERT_TRUE(x.waitFor([&] { return has("_NET_WM_STATE_MAXIMIZED_HORZ"); }, kTimeoutMs));
            EXPECT_TRUE(heldAfterTheProgramsAnswer("_NET_WM_STATE_MAXIMIZED_HORZ")) << "maximize undone";
            ask(false, "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ");
            EXPECT_TRUE(restored()) << "restored to " << widthOf(x, window) << " by " << heightOf(x, window);
        }
        ask(true, "_NET_WM_STATE_FULLSCREEN");
        ASSERT_TRUE(x.waitFor([&] { return has("_NET_WM_STATE_FULLSCREEN"); }, kTimeoutMs));
        EXPECT_TRUE(heldAfterTheProgramsAnswer("_NET_WM_STATE_FULLSCREEN")) << "full screen undone";
        EXPECT_EQ(heightOf(x, window), 1000);
        ask(false, "_NET_WM_STATE_FULLSCREEN");
        EXPECT_TRUE(restored()) << "restored to " << widthOf(x, window) << " by " << heightOf(x, window);

        process->terminate();
        EXPECT_TRUE(process->waitForFinished(kTimeoutMs));
    }
}

TEST(ApplicationProcess, ASecondLaunchHandsOverAndSigtermOrSigintStopTheApplicationInFullAndExitZero) {
    for (int signalNumber : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signalNumber);
        ChildHome home;
        auto process = home.launch();
        ASSERT_TRUE(process->waitForStarted(kTimeoutMs));
        ASSERT_TRUE(home.waitUntilRunning(*process)) << process->readAllStandardError().toStdString();

        // A second launch hands over to the running one, which carries on, and exits 0.
        auto second = home.launch();
        ASSERT_TRUE(second->waitForFinished(kTimeoutMs));
        EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second->exitCode(), 0);
        EXPECT_EQ(process->state(), QProcess::Running);

        ::kill(static_cast<pid_t>(process->processId()), signalNumber);
        ASSERT_TRUE(process->waitForFinished(kTimeoutMs));
        EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();

        const QJsonObject dock =
            QJsonDocument::fromJson(home.readFile(home.paths().defaultsFolder() + "/com.apple.dock.json"))
                .object();
        EXPECT_EQ(dock.value(QStringLiteral("autohide")), QJsonValue(false));
        EXPECT_FALSE(dock.contains(QStringLiteral("autohide-delay")));
    }
}

TEST(ApplicationProcess, HostileFilesInPlaceOfEveryStoreFileNeitherHoldUpStartNorGetTouched) {
    for (const vantrel::test::Hostile kind : vantrel::test::kEveryHostileKind) {
        SCOPED_TRACE(vantrel::test::nameOf(kind));
        ChildHome home;
        const QString outside = home.root() + QStringLiteral("/outside");
        const bool linkOutside = kind == vantrel::test::Hostile::linkOutside;
        const QString settings = home.paths().defaultsFolder() + QStringLiteral("/com.vantrel.mac.json");
        QFile::remove(settings);
        QStringList targets;
        for (const QString& file :
             {QStringLiteral("notes.json"), QStringLiteral("clipboard.json"),
              QStringLiteral("bookmarks.json"), QStringLiteral("com.vantrel.mac.json")}) {
            const bool isSettings = file == u"com.vantrel.mac.json";
            const QString path = isSettings ? settings : home.paths().dataFolder() + QLatin1Char('/') + file;
            const QString target = outside + QLatin1Char('/') + file;
            if (linkOutside) home.writeFile(QStringLiteral("outside/") + file, "{}");
            // 64 MB for data, 8 MB for settings: the most a read takes in.
            ASSERT_TRUE(vantrel::test::makeHostile(kind, path, target, (isSettings ? 8 : 64) * 1024 * 1024));
            targets.append(target);
        }
        auto process = home.launch();
        ASSERT_TRUE(process->waitForStarted(kTimeoutMs));
        ASSERT_TRUE(home.waitUntilRunning(*process)) << process->readAllStandardError().toStdString();
        ::kill(static_cast<pid_t>(process->processId()), SIGTERM);
        ASSERT_TRUE(process->waitForFinished(kTimeoutMs)) << "start-up was held up";
        EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();

        // Nothing outside the folders was written or made, and nothing inside copied from outside.
        for (const QString& target : targets) {
            if (linkOutside)
                EXPECT_EQ(home.readFile(target), "{}") << target.toStdString();
            else
                EXPECT_FALSE(QFileInfo::exists(target)) << target.toStdString();
        }
        EXPECT_TRUE(QDir(home.paths().dataFolder())
                        .entryList({QStringLiteral("*previous*"), QStringLiteral("*corrupt*")})
                        .isEmpty());
    }
}

TEST(ApplicationProcess, StartUpWithEveryHostileInputInPlaceFinishesAndSigtermExitsZero) {
    ChildHome home;
    // A 2 GB sparse autostart entry behind a valid start.
    const QString entry = home.paths().autostartFolder() + QStringLiteral("/vantrel.desktop");
    home.writeFile(QStringLiteral("home/.config/autostart/vantrel.desktop"),
                   "[Desktop Entry]\nType=Application\nName=Vantrel\nExec=vantrel\n");
    QFile sparse(entry);
    ASSERT_TRUE(sparse.open(QIODevice::ReadWrite) && sparse.resize(qint64(2) * 1024 * 1024 * 1024));
    sparse.close();

    // Calendars: deep nesting, a zone repeating every second, a zone of 20,000 observances,
    // counted rules too long to walk, a FIFO, and one good file.
    const QString calendars = home.paths().dataFolder() + QStringLiteral("/calendars/");
    const auto calendar = [&](const QString& name, const QByteArray& body) {
        home.writeFile(QStringLiteral("home/.local/share/Vantrel/calendars/") + name,
                       "BEGIN:VCALENDAR\n" + body + "END:VCALENDAR\n");
    };
    QByteArray nested;
    for (int i = 0; i < 30'000; ++i) nested += "BEGIN:A\n";
    calendar(QStringLiteral("nested.ics"), nested);
    calendar(QStringLiteral("tick.ics"),
             "BEGIN:VTIMEZONE\nTZID:Tick\nBEGIN:STANDARD\nDTSTART:19700101T000000\n"
             "RRULE:FREQ=SECONDLY\nTZOFFSETFROM:+0100\nTZOFFSETTO:+0200\nEND:STANDARD\n"
             "END:VTIMEZONE\nBEGIN:VEVENT\nDTSTART;TZID=Tick:20260105T100000\n"
             "SUMMARY:Tick\nEND:VEVENT\n");
    QByteArray zone = "BEGIN:VTIMEZONE\nTZID:Huge\n";
    for (int i = 0; i < 20'000; ++i)
        zone +=
            "BEGIN:STANDARD\nDTSTART:18000101T000000\nTZOFFSETFROM:+0000\nTZOFFSETTO:+0100\nEND:STANDARD\n";
    calendar(QStringLiteral("zone.ics"),
             zone + "END:VTIMEZONE\nBEGIN:VEVENT\nDTSTART;TZID=Huge:20260105T100000\n"
                    "SUMMARY:Huge\nEND:VEVENT\n");
    QByteArray counted;
    for (int i = 0; i < 100; ++i)
        counted += "BEGIN:VEVENT\nDTSTART:20000101T000000Z\nRRULE:FREQ=MINUTELY;BYSECOND=0,30;COUNT=99999\n"
                   "SUMMARY:Counted\nEND:VEVENT\n";
    calendar(QStringLiteral("counted.ics"), counted);
    ASSERT_TRUE(vantrel::test::makeHostile(vantrel::test::Hostile::fifo,
                                           calendars + QStringLiteral("fifo.ics"), QString(), 0));
    calendar(QStringLiteral("good.ics"), "BEGIN:VEVENT\nDTSTART;VALUE=DATE:20260105\nRRULE:FREQ=DAILY\n"
                                         "SUMMARY:Every day\nEND:VEVENT\n");

    // A store's file that cannot be read, so what the session captures has to go beside it.
    ASSERT_TRUE(vantrel::test::makeHostile(vantrel::test::Hostile::fifo,
                                           home.paths().dataFolder() + QStringLiteral("/clipboard.json"),
                                           QString(), 0));

    auto process = home.launch();
    ASSERT_TRUE(process->waitForStarted(kTimeoutMs));
    ASSERT_TRUE(home.waitUntilRunning(*process)) << process->readAllStandardError().toStdString();
    // The signal is answered by the event loop, which runs only once start-up is through.
    ::kill(static_cast<pid_t>(process->processId()), SIGTERM);
    ASSERT_TRUE(process->waitForFinished(kTimeoutMs)) << "start-up or quitting was held up";
    EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();
    EXPECT_EQ(QFileInfo(entry).size(), qint64(2) * 1024 * 1024 * 1024) << "the entry is left as it was";
}

TEST(ApplicationProcess, ASilentTrayWatcherDelaysOnlyTheTrayItemWhoseMenuTheNextWatcherReadsAndQuitsWith) {
    vantrel::test::PrivateSessionBus bus;
    if (!bus.isRunning()) GTEST_SKIP() << "dbus-daemon could not be started";
    // A tray icon of Qt's exists only on a real platform.
    vantrel::test::XvfbServer x;
    if (!x.isRunning()) GTEST_SKIP() << "Xvfb could not be started";
    auto silent = std::make_unique<vantrel::test::FakeStatusNotifierWatcher>(bus.address(), true);
    ChildHome home;
    auto process = home.launch(bus.address(), x.display());
    ASSERT_TRUE(process->waitForStarted(kTimeoutMs));
    ASSERT_TRUE(home.waitUntilRunning(*process)) << process->readAllStandardError().toStdString();
    QByteArray errors;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            errors += process->readAllStandardError();
            return errors.contains("did not answer within 1 second; starting without the status item");
        },
        kTimeoutMs))
        << errors.toStdString();
    // Only the program's own two questions reached the watcher; Qt's, which wait, were never asked.
    EXPECT_EQ(silent->askedCount(), 2);

    // The panel comes back under the same name: the item registers and carries the status menu.
    vantrel::test::FakeStatusNotifierWatcher watcher(bus.address());
    ASSERT_TRUE(watcher.isRegistered());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher.registeredItems().isEmpty(); }, kTimeoutMs))
        << process->readAllStandardError().toStdString();
    const QString item = watcher.registeredItems().constFirst();

    const QString reader = QStringLiteral("menu-reader");
    QDBusConnection connection = QDBusConnection::connectToBus(bus.address(), reader);
    QDBusMessage get = QDBusMessage::createMethodCall(item, QStringLiteral("/StatusNotifierItem"),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << QStringLiteral("org.kde.StatusNotifierItem") << QStringLiteral("Menu");
    const QDBusMessage menuPath = connection.call(get, QDBus::Block, kTimeoutMs);
    ASSERT_EQ(menuPath.type(), QDBusMessage::ReplyMessage) << menuPath.errorMessage().toStdString();
    const QString path =
        menuPath.arguments().constFirst().value<QDBusVariant>().variant().value<QDBusObjectPath>().path();
    ASSERT_FALSE(path.isEmpty());

    QDBusMessage getLayout = QDBusMessage::createMethodCall(
        item, path, QStringLiteral("com.canonical.dbusmenu"), QStringLiteral("GetLayout"));
    getLayout << 0 << -1 << QStringList();
    const QDBusMessage layout = connection.call(getLayout, QDBus::Block, kTimeoutMs);
    ASSERT_EQ(layout.type(), QDBusMessage::ReplyMessage) << layout.errorMessage().toStdString();
    ASSERT_EQ(layout.arguments().size(), 2);
    QStringList labels;
    QMap<QString, int> ids;
    readMenuLayout(layout.arguments().at(1).value<QDBusArgument>(), labels, ids);
    EXPECT_EQ(labels,
              (QStringList{"Open Vantrel", "Open Notch", "Command Palette", "-", "Show Hidden Menu Items",
                           "-", "Start Timer", "Clipboard", "File Shelf", "-", "Quit Vantrel"}));

    // Choosing "Quit Vantrel" in the panel's copy of the menu ends the program normally.
    ASSERT_TRUE(ids.contains(QStringLiteral("Quit Vantrel")));
    QDBusMessage event = QDBusMessage::createMethodCall(item, path, QStringLiteral("com.canonical.dbusmenu"),
                                                        QStringLiteral("Event"));
    event << ids.value(QStringLiteral("Quit Vantrel")) << QStringLiteral("clicked")
          << QVariant::fromValue(QDBusVariant(0)) << 0u;
    connection.call(event, QDBus::Block, kTimeoutMs);
    QDBusConnection::disconnectFromBus(reader);
    ASSERT_TRUE(process->waitForFinished(kTimeoutMs));
    EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().toStdString();
}

// A keyboard user beside another program, under xfwm4 without a compositor: Tab and Shift+Tab walk
// Quick Controls and leave the note behind it alone, Escape gives the focus back to the metric that
// opened it, Ctrl+Tab leaves the note without typing into it, Return in "Add Files…" shelves the
// file, the palette opened from an xterm gives way to a click back into it or on the desktop, the
// notch opened from the keyboard closes on Escape or on a click on the desktop or into the xterm
// and hands the keys back or leaves them there, the notch opened by the pointer takes the keys
// when clicked, and its Files tab's large-file alert holds the keys until Escape puts it away with
// the notch still open.
TEST(ApplicationProcess, KeyboardUseBesideAnotherProgramKeepsTheKeysWhereTheUserIsAndGivesThemBack) {
    // Each step waits at most this long, so a fault fails the test well inside ctest's limit.
    constexpr int kStepMs = 20'000;
    const QString xterm = QStandardPaths::findExecutable(QStringLiteral("xterm"));
    ASSERT_FALSE(xterm.isEmpty()) << "xterm is not installed (scripts/setup.sh installs it)";
    ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("xfwm4")).isEmpty())
        << "xfwm4 is not installed (scripts/setup.sh installs it)";
    vantrel::test::XvfbServer server(1600, 1000);
    ASSERT_TRUE(server.isRunning()) << "Xvfb could not be started";
    XClient x(server.display().toLatin1());
    ASSERT_TRUE(x.ok());
    QProcess manager;
    ASSERT_TRUE(vantrel::test::startXfwm4(manager, x, server.display(), false)) << "xfwm4 took no charge";

    // A key held down is pressed once, however long it is held.
    const quint32 noRepeat = XCB_AUTO_REPEAT_MODE_OFF;
    xcb_change_keyboard_control(x.c, XCB_KB_AUTO_REPEAT_MODE, &noRepeat);
    x.roundTrip();

    ChildHome home;
    // Control-Space opens the palette and Control-Shift-N the notch from any program.
    const QByteArray hotkeys = QByteArray(R"({"commandPalette":{"keyCode":49,"carbonModifiers":4096},)"
                                          R"("openNotch":{"keyCode":45,"carbonModifiers":4608}})")
                                   .toBase64();
    home.writeFile(QStringLiteral("home/.config/Vantrel/defaults/com.vantrel.mac.json"),
                   R"({"onboarding.complete": true, "hotkeys.bindings.v1": {"$data": ")" + hotkeys +
                       R"("}})");
    // What the xterm's shell is typed goes to a file as it comes.
    const QString typed = home.root() + QStringLiteral("/typed.txt");
    QProcess terminal;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), server.display());
    terminal.setProcessEnvironment(environment);
    terminal.start(xterm, {QStringLiteral("-geometry"), QStringLiteral("60x8+40+820"), QStringLiteral("-e"),
                           QStringLiteral("sh"), QStringLiteral("-c"),
                           QStringLiteral("stty -icanon -echo; exec cat > \"$0\""), typed});
    ASSERT_TRUE(terminal.waitForStarted(kStepMs)) << "xterm did not start";
    const auto typedText = [&] {
        QFile file(typed);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };

    // The file dialog opens in the program's working folder.
    // Large enough to raise the Files tab's alert, and sparse.
    ASSERT_TRUE(QFile(home.writeFile(QStringLiteral("files/shelved.txt"), "shelved")).resize(524'288'001));
    auto process = home.launch({}, server.display(), home.root() + QStringLiteral("/files"));
    ASSERT_TRUE(process->waitForStarted(kStepMs));
    const auto stop = qScopeGuard([&] {
        process->kill();
        process->waitForFinished(kStepMs);
        terminal.kill();
        terminal.waitForFinished(kStepMs);
        manager.terminate();
        manager.waitForFinished(kStepMs);
    });
    xcb_window_t window = XCB_NONE;
    ASSERT_TRUE(x.waitFor(
        [&] { return (window = managedWindow(x, process->processId(), "_NET_WM_WINDOW_TYPE_NORMAL", true)); },
        kTimeoutMs))
        << "no control center";
    ASSERT_TRUE(x.waitFor([&] { return drawsBrightIn(x, window, QRect(900, 40, 170, 90)); }, kTimeoutMs))
        << "the control center was never drawn";
    xcb_window_t term = XCB_NONE;
    ASSERT_TRUE(x.waitFor(
        [&] {
            for (const quint32 client : x.cardinals(x.root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW))
                if (x.cardinals(client, "_NET_WM_PID", XCB_ATOM_CARDINAL) ==
                    std::vector<quint32>{quint32(terminal.processId())})
                    term = client;
            return term != XCB_NONE;
        },
        kStepMs))
        << "no xterm window";

    const qint64 pid = process->processId();
    const auto clickAt = [&](xcb_window_t target, int dx, int dy) {
        const QPoint point = onScreen(x, target, dx, dy);
        x.click(point.x(), point.y());
        return clickHasGoneOn(x);
    };
    // Quick Controls from the Timer metric, its File Shelf section opened, then "Add Files…":
    // the file's name typed and Return shelve it.
    // The panel's title is drawn where the page has nothing bright.
    const QRect panelTitle(268, 108, 140, 32);
    ASSERT_FALSE(drawsBrightIn(x, window, panelTitle));
    ASSERT_TRUE(clickAt(window, 557, 305));
    ASSERT_TRUE(restsWhiteIn(x, window, panelTitle, kStepMs)) << "no Quick Controls";
    // "Add Files…" moves up as the Timer's controls fold away and fades in: its text is white
    // where the click goes only once both are over.
    ASSERT_TRUE(clickAt(window, 300, 551));
    ASSERT_TRUE(restsWhiteIn(x, window, QRect(770, 386, 60, 14), kStepMs)) << "no \"Add Files…\"";
    ASSERT_TRUE(clickAt(window, 797, 394));
    xcb_window_t dialog = XCB_NONE;
    ASSERT_TRUE(x.waitFor(
        [&] {
            dialog = namedWindow(x, pid, "Open");
            return dialog != XCB_NONE && inputFocus(x) == dialog;
        },
        kStepMs))
        << "no file dialog with the keys";
    x.type("shelved.txt");
    x.tap(0xff0d); // Return
    const QString settings = home.paths().defaultsFolder() + QStringLiteral("/com.vantrel.mac.json");
    const auto shelf = [&] {
        const QJsonObject items = QJsonDocument::fromJson(home.readFile(settings))
                                      .object()
                                      .value(QStringLiteral("shelf.items.v2"))
                                      .toObject();
        return QByteArray::fromBase64(items.value(QStringLiteral("$data")).toString().toLatin1());
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return shelf().contains("/files/shelved.txt"); }, kStepMs))
        << "Return in \"Add Files…\" shelved nothing: " << shelf().toStdString();
    ASSERT_TRUE(x.waitFor([&] { return !isViewable(x, dialog); }, kStepMs)) << "the file dialog stayed";
    // The manager hands the keys back to the window a moment after the dialog has gone: keys
    // typed before then go nowhere, as a user's would.
    ASSERT_TRUE(x.waitFor([&] { return inputFocus(x) == window; }, kStepMs))
        << "no keys back from the dialog";

    // Tab and Shift+Tab walk Quick Controls; Escape closes it and gives the focus back to the Timer
    // metric, on which Space opens it again. The note behind it takes only what is typed into it.
    ASSERT_EQ(walkQuickControlsAndBack(x, window, panelTitle, kStepMs), "");
    ASSERT_TRUE(clickAt(window, 620, 600));
    x.type("marker");
    const QString notes = home.paths().dataHome + QStringLiteral("/Vantrel/notes.json");
    QByteArray saved;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            saved = home.readFile(notes);
            return saved.contains("\"body\":\"marker\"") && !saved.contains("\\t");
        },
        kStepMs))
        << "Tab reached the note behind Quick Controls: " << saved.toStdString();
    // Ctrl+Tab leaves the note typing nothing, so what is typed next is not the note's; Shift+Tab
    // comes back into it.
    chord(x, {0xffe3}, 0xff09); // Control_L, Tab
    x.type("q");
    chord(x, {0xffe1}, 0xff09); // Shift_L, Tab
    x.type("done");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            saved = home.readFile(notes);
            return saved.contains("\"body\":\"markerdone\"");
        },
        kStepMs))
        << "Ctrl+Tab typed into the note or left it in place: " << saved.toStdString();

    // Keyboard cleaning from the keyboard: the guard's grab takes the keys from the window for the
    // session and gives them back as the exit chord ends it, often only after the canvas has gone.
    // Either way the focus is back on "Open Cleaning Canvas", where Space starts the next session.
    // From the note: its row, "New note", the mode's two segments, the card's help, the button.
    chord(x, {0xffe3, 0xffe1}, 0xff09);                     // Control_L, Shift_L, Tab
    for (int i = 0; i < 5; ++i) chord(x, {0xffe1}, 0xff09); // Shift_L, Tab
    // Where the canvas lays its paper sheet over the page.
    const QRect sheet(380, 420, 60, 40);
    // Settled once unchanged for a second: two equal reads in a row may catch an animation held
    // up on a busy machine, and the page it ends on would never show "as it was".
    QByteArray page;
    QElapsedTimer unchanged;
    ASSERT_TRUE(x.waitFor(
        [&] {
            const QByteArray now = pixelsIn(x, window, sheet);
            if (now.isEmpty() || now != page) {
                page = now;
                unchanged.start();
                return false;
            }
            return unchanged.elapsed() >= 1000;
        },
        kStepMs));
    const auto canvasShows = [&] {
        const QByteArray pixels = pixelsIn(x, window, sheet);
        for (qsizetype i = 0; i + 3 < pixels.size(); i += 4)
            if (qGray(quint8(pixels[i + 2]), quint8(pixels[i + 1]), quint8(pixels[i])) < 200) return false;
        return !pixels.isEmpty();
    };
    for (int session = 1; session <= 3; ++session) {
        x.tap(' ');
        ASSERT_TRUE(x.waitFor(canvasShows, kStepMs)) << "Space started no cleaning session " << session;
        chord(x, {0xffe3, 0xffe9, 0xffeb}, 0xff1b); // Control_L, Alt_L, Super_L, Escape
        // Gone when the page shows again as it was.
        ASSERT_TRUE(x.waitFor([&] { return pixelsIn(x, window, sheet) == page; }, kStepMs))
            << "the exit chord left the canvas";
        ASSERT_TRUE(x.waitFor([&] { return inputFocus(x) == window; }, kStepMs)) << "no keys back";
    }

    // Control-Space from the xterm, a search typed, then a click back into the xterm: the palette
    // goes and what is typed next is the xterm's.
    ASSERT_TRUE(clickAt(term, 120, 40));
    ASSERT_TRUE(x.waitFor([&] { return activeWindow(x) == term && inputFocus(x) == term; }, kStepMs))
        << "the xterm was never given the keys";
    x.type("one ");
    ASSERT_TRUE(QTest::qWaitFor([&] { return typedText() == "one "; }, kStepMs)) << typedText().toStdString();
    // Held as a user holds it, until the palette is there: it takes the keys while the hot key's
    // grab still holds the keyboard.
    x.key(0xffe3, true); // Control_L
    x.key(' ', true);
    xcb_window_t palette = XCB_NONE;
    const bool paletteOpened = x.waitFor(
        [&] {
            palette = namedWindow(x, pid, "Command Palette");
            return palette != XCB_NONE && isViewable(x, palette) && inputFocus(x) == palette;
        },
        kStepMs);
    x.key(' ', false);
    x.key(0xffe3, false);
    ASSERT_TRUE(paletteOpened) << "Control-Space opened no palette that took the keys";
    x.type("notes");
    ASSERT_TRUE(clickAt(term, 120, 40));
    EXPECT_TRUE(x.waitFor([&] { return !isViewable(x, palette); }, kStepMs))
        << "the palette stayed open after a click into the xterm";
    x.type("two ");
    ASSERT_TRUE(QTest::qWaitFor([&] { return typedText() == "one two "; }, kStepMs))
        << "the keys after a click into the xterm went elsewhere: " << typedText().toStdString();
    // Opened again, the palette hides on a click on the bare desktop, where no window takes the
    // keys, and hands them back to the xterm.
    x.key(0xffe3, true);
    x.key(' ', true);
    const bool paletteBack =
        x.waitFor([&] { return isViewable(x, palette) && inputFocus(x) == palette; }, kStepMs);
    x.key(' ', false);
    x.key(0xffe3, false);
    ASSERT_TRUE(paletteBack) << "Control-Space brought no palette back that took the keys: " << inputFocus(x)
                             << " " << palette << " " << isViewable(x, palette) << " "
                             << namedWindow(x, pid, "Command Palette");
    x.click(1500, 500);
    EXPECT_TRUE(x.waitFor([&] { return !isViewable(x, palette); }, kStepMs))
        << "the palette stayed open after a click on the desktop";
    ASSERT_TRUE(x.waitFor([&] { return inputFocus(x) == term; }, kStepMs)) << "the keys did not go back";
    x.type("two ");
    ASSERT_TRUE(QTest::qWaitFor([&] { return typedText() == "one two two "; }, kStepMs))
        << typedText().toStdString();

    // Control-Shift-N from the xterm opens the notch with the keys; Escape closes it and hands them
    // back to the xterm.
    const xcb_window_t notch = namedWindow(x, pid, "Vantrel Notch");
    ASSERT_NE(notch, xcb_window_t(XCB_NONE)) << "no notch";
    const int closedHeight = heightOf(x, notch);
    chord(x, {0xffe3, 0xffe1}, 'n'); // Control_L, Shift_L
    ASSERT_TRUE(
        x.waitFor([&] { return heightOf(x, notch) > closedHeight + 40 && inputFocus(x) == notch; }, kStepMs))
        << "Control-Shift-N opened no notch that took the keys";
    x.tap(0xff1b); // Escape
    EXPECT_TRUE(x.waitFor([&] { return heightOf(x, notch) == closedHeight; }, kStepMs))
        << "Escape left the notch open";
    ASSERT_TRUE(x.waitFor([&] { return inputFocus(x) == term && activeWindow(x) == term; }, kStepMs))
        << "the keys did not go back to the xterm";
    x.type("three ");
    ASSERT_TRUE(QTest::qWaitFor([&] { return typedText() == "one two two three "; }, kStepMs))
        << typedText().toStdString();

    // Opened again from the xterm, the notch closes on a click on the bare desktop and hands the
    // keys back; opened once more, a click into the xterm closes it and leaves the keys there.
    const auto openNotch = [&] {
        chord(x, {0xffe3, 0xffe1}, 'n');
        return x.waitFor([&] { return heightOf(x, notch) > closedHeight + 40 && inputFocus(x) == notch; },
                         kStepMs);
    };
    ASSERT_TRUE(openNotch()) << "Control-Shift-N opened no notch that took the keys";
    x.click(1500, 500);
    EXPECT_TRUE(x.waitFor([&] { return heightOf(x, notch) == closedHeight; }, kStepMs))
        << "a click on the desktop left the notch open";
    ASSERT_TRUE(x.waitFor([&] { return inputFocus(x) == term; }, kStepMs)) << "the keys did not go back";
    x.type("four ");
    ASSERT_TRUE(QTest::qWaitFor([&] { return typedText().endsWith("four "); }, kStepMs))
        << typedText().toStdString();
    ASSERT_TRUE(openNotch()) << "Control-Shift-N opened no notch that took the keys";
    ASSERT_TRUE(clickAt(term, 120, 40));
    EXPECT_TRUE(x.waitFor([&] { return heightOf(x, notch) == closedHeight; }, kStepMs))
        << "a click into the xterm left the notch open";
    // The manager took the xterm for active all along and may leave the focus where it is: within
    // the xterm, or with the closed panel until it hands the keys back.
    EXPECT_TRUE(x.waitFor([&] { return inputFocus(x) != notch; }, kStepMs))
        << "the closed notch kept the keys: " << inputFocus(x) << " xterm " << term;
    x.type("five ");
    ASSERT_TRUE(QTest::qWaitFor([&] { return typedText().endsWith("four five "); }, kStepMs))
        << "the keys after a click into the xterm went elsewhere: " << typedText().toStdString();

    // The notch's Files tab, reached along the glance row from the collapse button, shows the
    // large file's alert dark over the light crystal shelf; Escape puts the alert away and the
    // notch stays open; Escape again closes it.
    ASSERT_TRUE(openNotch()) << "Control-Shift-N opened no notch that took the keys";
    for (int i = 0; i < 12; ++i) x.tap(0xff09); // Tab: transport, calendar and the rail to Files
    x.tap(' ');
    const auto alertShows = [&] {
        const int width = widthOf(x, notch);
        const int height = heightOf(x, notch);
        const QByteArray pixels = pixelsIn(x, notch, QRect(width / 2 - 100, height / 2 - 20, 200, 40));
        int dark = 0;
        for (qsizetype i = 0; i + 3 < pixels.size(); i += 4)
            dark += qGray(quint8(pixels[i + 2]), quint8(pixels[i + 1]), quint8(pixels[i])) < 60;
        // The Files tab is taller than the glance row the notch passes through on the way.
        return height > closedHeight + 200 && pixels.size() > 0 && dark > int(pixels.size() / 4) * 9 / 10;
    };
    // Held for a moment at one size: a window that grows shows what lay below it, dark, in its new
    // part until it has been drawn.
    QElapsedTimer alertSeen;
    QSize alertSize;
    const auto alertHolds = [&] {
        const QSize size(widthOf(x, notch), heightOf(x, notch));
        if (!alertShows()) {
            alertSeen.invalidate();
            return false;
        }
        if (!alertSeen.isValid() || size != alertSize) {
            alertSeen.start();
            alertSize = size;
            return false;
        }
        return alertSeen.elapsed() >= 300;
    };
    ASSERT_TRUE(x.waitFor(alertHolds, kStepMs)) << "no large-file alert over the Files tab";
    const int openHeight = heightOf(x, notch);
    x.tap(0xff1b); // Escape
    EXPECT_TRUE(x.waitFor([&] { return !alertShows(); }, kStepMs)) << "Escape left the alert";
    EXPECT_EQ(heightOf(x, notch), openHeight) << "Escape put the alert away and closed the notch too";
    EXPECT_EQ(inputFocus(x), notch);
    x.tap(0xff1b); // Escape
    EXPECT_TRUE(x.waitFor([&] { return heightOf(x, notch) == closedHeight; }, kStepMs))
        << "the second Escape left the notch open";
    ASSERT_TRUE(x.waitFor([&] { return inputFocus(x) == term; }, kStepMs));

    // Opened by the pointer, the notch leaves the keys with the xterm until it is clicked; clicked
    // anywhere, it takes them, and Escape hands them back and closes it, the pointer resting on it.
    const QPoint cap = onScreen(x, notch, widthOf(x, notch) / 2, closedHeight / 2);
    x.move(cap.x(), cap.y());
    // Open, and taking the click there: the outline follows the new frame a moment later.
    ASSERT_TRUE(x.waitFor(
        [&] { return heightOf(x, notch) > closedHeight + 40 && windowUnderPointer(x) == notch; }, kStepMs))
        << "the pointer opened no notch";
    EXPECT_EQ(inputFocus(x), term);
    // Under the camera, where the opening outline always reaches.
    x.click(cap.x(), cap.y());
    EXPECT_TRUE(x.waitFor([&] { return inputFocus(x) == notch; }, kStepMs))
        << "a click gave the notch no keys";
    x.type("six");
    x.tap(0xff1b); // Escape
    ASSERT_TRUE(x.waitFor([&] { return inputFocus(x) == term; }, kStepMs)) << "the keys did not go back";
    EXPECT_TRUE(x.waitFor([&] { return heightOf(x, notch) == closedHeight; }, kStepMs))
        << "the notch stayed open under the pointer";
    // The hover delay is long gone by the time a reopened notch would have grown again.
    EXPECT_FALSE(x.waitFor([&] { return heightOf(x, notch) != closedHeight; }, 1500))
        << "the pointer resting on the notch opened it again";
    x.move(1500, 950);
    EXPECT_TRUE(x.waitFor([&] { return heightOf(x, notch) == closedHeight; }, kStepMs))
        << "the notch stayed open";
    x.type("seven ");
    ASSERT_TRUE(QTest::qWaitFor([&] { return typedText().endsWith("five seven "); }, kStepMs))
        << "what was typed into the clicked notch reached the xterm: " << typedText().toStdString();
}
