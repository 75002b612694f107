#include "support/XvfbServer.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace vantrel::test;

namespace {

constexpr int kTimeoutMs = 20000;
// X keycode of the Space position (evdev 57 + 8).
constexpr xcb_keycode_t kSpace = 65;

// The hot-key driver on the test's display; see tests/drivers/HotkeyDriver.cpp.
class Driver {
public:
    explicit Driver(const QString& display) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display);
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(VANTREL_BINARY_DIR "/tests/vantrel_hotkey_driver", {});
    }
    ~Driver() {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(kTimeoutMs)) process_.kill();
    }
    void send(const QString& line) {
        process_.write((line + '\n').toUtf8());
        process_.waitForBytesWritten(kTimeoutMs);
    }
    // The rest of the next line said that starts with `prefix`; other lines are kept in order.
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

private:
    QProcess process_;
    QStringList lines_;
};

// Presses keys through the XTest extension, as a person at the keyboard would.
bool xdotool(const QString& display, const QStringList& arguments) {
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    tool.setProcessEnvironment(env);
    tool.start(QStringLiteral("xdotool"), arguments);
    return tool.waitForFinished(kTimeoutMs) && tool.exitCode() == 0;
}

} // namespace

TEST(X11HotKeyService, AGrabbedHotKeyRunsItsActionOnceOnTheMainThreadAlsoWithNumLockOn) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) GTEST_SKIP() << "no xdotool";
    Driver driver(server.display());
    ASSERT_EQ(driver.expect("ready "), QStringLiteral("ok"));
    // The server's default layout is a US one.
    EXPECT_EQ(driver.expect("name "), QStringLiteral("A Q"));

    ASSERT_TRUE(xdotool(server.display(), {"key", "ctrl+space"}));
    EXPECT_EQ(driver.expect("pressed "), QStringLiteral("commandPalette main"));
    // Neither the bare key nor another combination of it is taken.
    ASSERT_TRUE(xdotool(server.display(), {"key", "space", "ctrl+alt+space"}));
    ASSERT_TRUE(xdotool(server.display(), {"key", "Num_Lock"}));
    ASSERT_TRUE(xdotool(server.display(), {"key", "ctrl+space"}));
    EXPECT_EQ(driver.expect("pressed "), QStringLiteral("commandPalette main"));
    ASSERT_TRUE(xdotool(server.display(), {"key", "Num_Lock", "Caps_Lock", "ctrl+space", "Caps_Lock"}));
    EXPECT_EQ(driver.expect("pressed "), QStringLiteral("commandPalette main"));
    driver.send("count");
    EXPECT_EQ(driver.expect("count "), QStringLiteral("3")) << "one action for each press";

    // Held down, the server repeats the press; the action runs once for the whole hold.
    ASSERT_TRUE(xdotool(server.display(), {"keydown", "ctrl+space"}));
    EXPECT_EQ(driver.expect("pressed "), QStringLiteral("commandPalette main"));
    EXPECT_EQ(driver.expect("raw press 6"), QString()) << "two repeats arrived";
    ASSERT_TRUE(xdotool(server.display(), {"keyup", "space", "ctrl"}));
    driver.send("count");
    EXPECT_EQ(driver.expect("count "), QStringLiteral("4"));
    // Let go, the next press is a new one.
    ASSERT_TRUE(xdotool(server.display(), {"key", "ctrl+space"}));
    EXPECT_EQ(driver.expect("pressed "), QStringLiteral("commandPalette main"));
    driver.send("count");
    EXPECT_EQ(driver.expect("count "), QStringLiteral("5"));

    // Held while the action gives the keyboard to a window of the program: that window gets
    // neither the repeats nor the release, and the next press is a new one that acts even with
    // the program's own window focused.
    driver.send("window");
    EXPECT_EQ(driver.expect("window"), QString());
    ASSERT_TRUE(xdotool(server.display(), {"keydown", "ctrl+space"}));
    EXPECT_EQ(driver.expect("pressed "), QStringLiteral("commandPalette main"));
    EXPECT_EQ(driver.expect("focused"), QString());
    ASSERT_TRUE(xdotool(server.display(), {"keyup", "space", "ctrl"}));
    ASSERT_TRUE(xdotool(server.display(), {"key", "ctrl+space"}));
    EXPECT_EQ(driver.expect("pressed "), QStringLiteral("commandPalette main"));
    driver.send("count");
    EXPECT_EQ(driver.expect("count "), QStringLiteral("7"));

    // Released: the key reaches whoever has the focus again, and no action runs.
    driver.send("unregister");
    EXPECT_EQ(driver.expect("unregistered"), QString());
    ASSERT_TRUE(xdotool(server.display(), {"key", "ctrl+space"}));
    driver.send("count");
    EXPECT_EQ(driver.expect("count "), QStringLiteral("7"));
}

TEST(X11HotKeyService, AKeyAnotherClientHoldsIsRefusedWithTheMessage) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    const QByteArray display = server.display().toLatin1();
    xcb_connection_t* other = xcb_connect(display.constData(), nullptr);
    ASSERT_FALSE(xcb_connection_has_error(other));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
    xcb_generic_error_t* error =
        xcb_request_check(other, xcb_grab_key_checked(other, 1, root, XCB_MOD_MASK_CONTROL, kSpace,
                                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    ASSERT_EQ(error, nullptr) << "the other client holds Control-Space";

    {
        Driver driver(server.display());
        EXPECT_EQ(driver.expect("ready "),
                  QStringLiteral("macOS refused \u2303Space \u2014 another app may already use it."));
    }
    // Let go by the other client, the key is Vantrel's on its next start.
    xcb_ungrab_key(other, kSpace, root, XCB_MOD_MASK_CONTROL);
    xcb_flush(other);
    free(xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr));
    Driver again(server.display());
    EXPECT_EQ(again.expect("ready "), QStringLiteral("ok"));
    xcb_disconnect(other);
}

namespace {

// Moves every Num Lock key of the server from the modifier it sits on to Mod3, as a user's
// xmodmap may; false when the server would not take the new map.
bool moveNumLockToMod3(xcb_connection_t* c) {
    constexpr xcb_keysym_t kNumLock = 0xff7f;
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    std::vector<xcb_keycode_t> numLockKeys;
    xcb_get_keyboard_mapping_reply_t* mapping = xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, setup->min_keycode, quint8(count)), nullptr);
    if (!mapping) return false;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(mapping);
    for (int key = 0; key < count; ++key)
        for (int level = 0; level < mapping->keysyms_per_keycode; ++level)
            if (syms[key * mapping->keysyms_per_keycode + level] == kNumLock) {
                // A key listed once, however many of its levels say Num Lock.
                numLockKeys.push_back(xcb_keycode_t(setup->min_keycode + key));
                break;
            }
    free(mapping);
    if (numLockKeys.empty()) return false;

    xcb_get_modifier_mapping_reply_t* modifiers =
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr);
    if (!modifiers) return false;
    const int perModifier = std::max<int>(modifiers->keycodes_per_modifier, int(numLockKeys.size()));
    std::vector<xcb_keycode_t> table(std::size_t(8 * perModifier), 0);
    const xcb_keycode_t* keys = xcb_get_modifier_mapping_keycodes(modifiers);
    for (int modifier = 0; modifier < 8; ++modifier) {
        int slot = 0;
        for (int i = 0; i < modifiers->keycodes_per_modifier; ++i) {
            const xcb_keycode_t key = keys[modifier * modifiers->keycodes_per_modifier + i];
            // Mod3 holds Num Lock alone.
            if (key == 0 || modifier == 5 ||
                std::find(numLockKeys.begin(), numLockKeys.end(), key) != numLockKeys.end())
                continue;
            table[std::size_t(modifier * perModifier + slot++)] = key;
        }
    }
    free(modifiers);
    for (std::size_t i = 0; i < numLockKeys.size(); ++i)
        table[std::size_t(5 * perModifier) + i] = numLockKeys[i];
    xcb_set_modifier_mapping_reply_t* set = xcb_set_modifier_mapping_reply(
        c, xcb_set_modifier_mapping(c, quint8(perModifier), table.data()), nullptr);
    const bool done = set && set->status == XCB_MAPPING_STATUS_SUCCESS;
    free(set);
    return done;
}

// The modifiers and lock states the server holds now.
std::uint16_t serverModifierState(xcb_connection_t* c) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_query_pointer_reply_t* pointer = xcb_query_pointer_reply(c, xcb_query_pointer(c, root), nullptr);
    const std::uint16_t mask = pointer ? pointer->mask : 0;
    free(pointer);
    return mask;
}

} // namespace

TEST(X11HotKeyService, NumLockOnAModifierOtherThanMod2StillLetsTheHotKeyThrough) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) GTEST_SKIP() << "no xdotool";
    const QByteArray display = server.display().toLatin1();
    xcb_connection_t* setup = xcb_connect(display.constData(), nullptr);
    ASSERT_FALSE(xcb_connection_has_error(setup));
    ASSERT_TRUE(moveNumLockToMod3(setup));

    Driver driver(server.display());
    ASSERT_EQ(driver.expect("ready "), QStringLiteral("ok"));
    ASSERT_TRUE(xdotool(server.display(), {"key", "Num_Lock"}));
    // The server now reports Num Lock as Mod3, and no longer as Mod2.
    ASSERT_EQ(serverModifierState(setup) & (XCB_MOD_MASK_3 | XCB_MOD_MASK_2), XCB_MOD_MASK_3);
    ASSERT_TRUE(xdotool(server.display(), {"key", "ctrl+space"}));
    EXPECT_EQ(driver.expect("pressed "), QStringLiteral("commandPalette main"));
    ASSERT_TRUE(xdotool(server.display(), {"key", "Caps_Lock", "ctrl+space", "Caps_Lock"}));
    EXPECT_EQ(driver.expect("pressed "), QStringLiteral("commandPalette main"));
    driver.send("count");
    EXPECT_EQ(driver.expect("count "), QStringLiteral("2")) << "one action for each press with Num Lock on";
    xcb_disconnect(setup);
}
