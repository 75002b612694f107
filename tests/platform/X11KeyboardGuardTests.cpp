#include "platform/linux/X11KeyClassifier.h"
#include "platform/linux/X11KeyboardGuard.h"
#include "services/KeyboardCleaningController.h"
#include "support/ManualScheduler.h"
#include "support/RecordingPermissionSystem.h"
#include "support/XClient.h"
#include "support/XvfbServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <poll.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

using Type = GuardedKeyEvent::Type;
constexpr int kTimeoutMs = 10'000;

constexpr std::uint32_t kEscape = 0xff1b, kLetterA = 0x61, kShiftL = 0xffe1, kControlL = 0xffe3,
                        kAltL = 0xffe9, kSuperL = 0xffeb, kNumLock = 0xff7f, kVolumeUp = 0x1008ff13;

TEST(X11KeyClassifier, ModifiersMediaKeysEscapeAndTheHeldFlags) {
    // Keycodes 8 on: Escape, a, Shift_L, Volume Up; Shift_L is a modifier.
    const X11KeyClassifier keys({10}, 8, {kEscape, kLetterA, kShiftL, kVolumeUp});
    const std::uint16_t control = XCB_MOD_MASK_CONTROL, alt = XCB_MOD_MASK_1, super = XCB_MOD_MASK_4,
                        shift = XCB_MOD_MASK_SHIFT, numLock = XCB_MOD_MASK_2, capsLock = XCB_MOD_MASK_LOCK;
    EXPECT_EQ(keys.classify(8, control | alt | super, true), (GuardedKeyEvent{Type::keyDown, 53, 0x1C0000}));
    EXPECT_EQ(keys.classify(9, shift | numLock | capsLock, true),
              (GuardedKeyEvent{Type::keyDown, -1, 0x20000 | 0x200000 | 0x10000}));
    EXPECT_EQ(keys.classify(9, 0, false), (GuardedKeyEvent{Type::keyUp, -1, 0}));
    EXPECT_EQ(keys.classify(8, 0, false).type, Type::keyUp) << "Escape released";
    EXPECT_EQ(keys.classify(10, 0, true).type, Type::flagsChanged);
    EXPECT_EQ(keys.classify(10, shift, false).type, Type::flagsChanged);
    EXPECT_EQ(keys.classify(11, 0, true).type, Type::systemDefined);
    EXPECT_EQ(keys.classify(11, 0, false).type, Type::keyUp) << "a media key counts once";
    // Keycodes outside the table, and Mod3 and Mod5, say nothing more.
    EXPECT_EQ(keys.classify(7, XCB_MOD_MASK_3 | XCB_MOD_MASK_5, true),
              (GuardedKeyEvent{Type::keyDown, -1, 0}));
    EXPECT_EQ(keys.classify(200, 0, true), (GuardedKeyEvent{Type::keyDown, -1, 0}));
}

// Runs the event loop until `done` holds, for at most ten seconds; whether it held.
bool waitUntil(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(kTimeoutMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return done();
}

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};

// Another program of the display: a window that has the keyboard focus, and XTest keys.
class FocusedClient : public XClient {
public:
    explicit FocusedClient(const QByteArray& display) : XClient(display) {
        window_ = xcb_generate_id(c);
        const std::uint32_t mask = XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_FOCUS_CHANGE;
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window_, root, 0, 0, 100, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
        xcb_map_window(c, window_);
        xcb_set_input_focus(c, XCB_INPUT_FOCUS_POINTER_ROOT, window_, XCB_CURRENT_TIME);
        roundTrip();
    }
    // Waits, at most ten seconds, for an event that `wanted` accepts, dropping the others.
    bool waitFor(const std::function<bool(const xcb_generic_event_t&)>& wanted) {
        const QDeadlineTimer deadline(kTimeoutMs);
        for (;;) {
            while (xcb_generic_event_t* raw = xcb_poll_for_event(c)) {
                std::unique_ptr<xcb_generic_event_t, FreeReply> event(raw);
                if (wanted(*event)) return true;
            }
            if (deadline.hasExpired()) return false;
            pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
            poll(&fd, 1, int(deadline.remainingTime()));
        }
    }
    bool waitForKeyPress() {
        return waitFor(
            [](const xcb_generic_event_t& e) { return (e.response_type & 0x7f) == XCB_KEY_PRESS; });
    }
    // The focus came back when the grab ended.
    bool waitForUngrab() {
        return waitFor([](const xcb_generic_event_t& e) {
            return (e.response_type & 0x7f) == XCB_FOCUS_IN &&
                   reinterpret_cast<const xcb_focus_in_event_t&>(e).mode == XCB_NOTIFY_MODE_UNGRAB;
        });
    }
    bool waitForGrab() {
        return waitFor([](const xcb_generic_event_t& e) {
            return (e.response_type & 0x7f) == XCB_FOCUS_OUT &&
                   reinterpret_cast<const xcb_focus_out_event_t&>(e).mode == XCB_NOTIFY_MODE_GRAB;
        });
    }
    // Key presses that reached the window by now.
    int keyPressesSoFar() {
        roundTrip();
        int count = 0;
        while (xcb_generic_event_t* raw = xcb_poll_for_event(c)) {
            std::unique_ptr<xcb_generic_event_t, FreeReply> event(raw);
            count += (event->response_type & 0x7f) == XCB_KEY_PRESS ? 1 : 0;
        }
        return count;
    }

private:
    xcb_window_t window_;
};

// A cleaning controller over the real guard on `display`, trusted, on a manual clock.
struct CleaningSession {
    explicit CleaningSession(const QByteArray& display) : guard(display) {
        permissions.accessibilityTrusted = true;
    }
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingPermissionSystem permissions;
    X11KeyboardGuard guard;
    KeyboardCleaningController controller{{permissions, guard, clock, scheduler, {}}};
};

TEST(X11KeyboardGuard, AnotherProgramGetsNoKeysWhileHeldAndAllAgainAfter) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    const QByteArray display = server.display().toLatin1();
    FocusedClient client(display);
    client.tap(kLetterA);
    ASSERT_TRUE(client.waitForKeyPress()) << "the client has the keyboard";

    X11KeyboardGuard guard(display);
    std::vector<GuardedKeyEvent> taken;
    ASSERT_TRUE(guard.hold(Seconds(60), [&taken](const GuardedKeyEvent& event) { taken.push_back(event); }));
    ASSERT_TRUE(client.waitForGrab());
    for (int i = 0; i < 3; ++i) client.tap(kLetterA);
    client.tap(kShiftL);
    client.tap(kVolumeUp);
    ASSERT_TRUE(waitUntil([&taken] { return taken.size() >= 4; }));
    EXPECT_EQ(client.keyPressesSoFar(), 0) << "every key went to the guard";
    ASSERT_EQ(taken.size(), 4u) << "releases and the modifier are not passed on";
    EXPECT_EQ(taken[0], (GuardedKeyEvent{Type::keyDown, -1, 0}));
    EXPECT_EQ(taken[3].type, Type::systemDefined);

    // Escape goes last: once it is here, everything pressed before it has been passed on.
    client.tap(kEscape);
    ASSERT_TRUE(waitUntil([&taken] { return !taken.empty() && taken.back().keyCode == 53; }));
    EXPECT_EQ(taken.size(), 5u) << "nothing more came between the media key and Escape";

    // A second guard cannot take what is held; the first gives it back on release.
    X11KeyboardGuard second(display);
    EXPECT_FALSE(second.hold(Seconds(60), [](const GuardedKeyEvent&) {}));
    guard.release();
    ASSERT_TRUE(client.waitForUngrab());
    client.tap(kLetterA);
    EXPECT_TRUE(client.waitForKeyPress());
    QCoreApplication::processEvents();
    EXPECT_EQ(taken.size(), 5u) << "nothing after the release";
    EXPECT_TRUE(second.hold(Seconds(60), [](const GuardedKeyEvent&) {})) << "free to be taken again";
    ASSERT_TRUE(client.waitForGrab());
    second.release();
    EXPECT_TRUE(client.waitForUngrab());

    EXPECT_FALSE(X11KeyboardGuard(QByteArray()).hold(Seconds(1), [](const GuardedKeyEvent&) {}))
        << "no X11 session";
}

TEST(X11KeyboardGuard, TheChordEndsACleaningSessionWithNumLockOn) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    const QByteArray display = server.display().toLatin1();
    FocusedClient client(display);
    client.tap(kNumLock);

    CleaningSession session(display);
    KeyboardCleaningController& controller = session.controller;
    controller.start();
    ASSERT_TRUE(controller.isActive());
    ASSERT_TRUE(client.waitForGrab());
    client.tap(kLetterA);
    for (const std::uint32_t modifier : {kControlL, kAltL, kSuperL}) client.key(modifier, true);
    client.key(kEscape, true);
    ASSERT_TRUE(waitUntil([&controller] { return !controller.isActive(); }));
    EXPECT_EQ(controller.blockedKeyCount(), 1) << "the letter; not the modifiers, not the chord";
    EXPECT_TRUE(client.waitForUngrab());
    for (const std::uint32_t key : {kEscape, kSuperL, kAltL, kControlL}) client.key(key, false);
}

TEST(X11KeyboardGuard, ASessionCountsWhatTheClientNeverSeesAndEndsAtFifteenSecondsOfItsClock) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    const QByteArray display = server.display().toLatin1();
    FocusedClient client(display);

    CleaningSession session(display);
    KeyboardCleaningController& controller = session.controller;
    controller.start();
    ASSERT_TRUE(controller.isActive());
    ASSERT_TRUE(client.waitForGrab());

    // Two letters, a media key, Escape alone and Escape with only two of the chord's modifiers
    // count; Shift, Control and Option themselves do not.
    client.tap(kLetterA);
    client.tap(kShiftL);
    client.tap(kVolumeUp);
    client.tap(kEscape);
    client.key(kControlL, true);
    client.key(kAltL, true);
    client.tap(kEscape);
    client.key(kAltL, false);
    client.key(kControlL, false);
    client.tap(kLetterA);
    ASSERT_TRUE(waitUntil([&controller] { return controller.blockedKeyCount() >= 5; }));
    EXPECT_EQ(controller.blockedKeyCount(), 5);
    EXPECT_TRUE(controller.isActive());
    EXPECT_EQ(client.keyPressesSoFar(), 0) << "the client saw none of them";

    // Only the injected clock moves the session on; the guard's own limit lies a second past
    // its end, well beyond this test's waits.
    session.scheduler.advance(Seconds(14.5));
    EXPECT_TRUE(controller.isActive());
    EXPECT_EQ(controller.remainingSeconds(), 1);
    session.scheduler.advance(Seconds(0.5));
    EXPECT_FALSE(controller.isActive());
    ASSERT_TRUE(client.waitForUngrab()) << "the session's end gave the keyboard back";
    client.tap(kLetterA);
    EXPECT_TRUE(client.waitForKeyPress());
    QCoreApplication::processEvents();
    EXPECT_EQ(controller.blockedKeyCount(), 5) << "nothing after the end";

    // Free for the next holder, and for a second session of the same controller.
    X11KeyboardGuard other(display);
    EXPECT_TRUE(other.hold(Seconds(60), [](const GuardedKeyEvent&) {}));
    ASSERT_TRUE(client.waitForGrab());
    other.release();
    ASSERT_TRUE(client.waitForUngrab());
    controller.start();
    EXPECT_TRUE(controller.isActive());
    EXPECT_EQ(controller.blockedKeyCount(), 0);
    ASSERT_TRUE(client.waitForGrab());
    controller.stop(KeyboardCleaningController::StopReason::userRequested);
    EXPECT_TRUE(client.waitForUngrab());
}

TEST(X11KeyboardGuard, TheKeyboardComesBackAtTheDeadlineWhileTheMainThreadIsBlocked) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    const QByteArray display = server.display().toLatin1();
    FocusedClient client(display);
    X11KeyboardGuard guard(display);
    ASSERT_TRUE(guard.hold(Seconds(0.5), [](const GuardedKeyEvent&) {}));
    // This thread runs no event loop from here on: only the guard's own thread can let go.
    ASSERT_TRUE(client.waitForGrab());
    EXPECT_TRUE(client.waitForUngrab());
    client.tap(kLetterA);
    EXPECT_TRUE(client.waitForKeyPress());
}

TEST(X11KeyboardGuard, AKilledProcessLeavesTheKeyboardFree) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    const QByteArray display = server.display().toLatin1();
    FocusedClient client(display);

    QProcess driver;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", QString::fromLatin1(display));
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    driver.setProcessEnvironment(env);
    driver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    driver.start(VANTREL_BINARY_DIR "/tests/vantrel_keyboard_guard_driver", {});
    ASSERT_TRUE(driver.waitForReadyRead(kTimeoutMs));
    ASSERT_EQ(driver.readLine().trimmed(), QByteArray("held"));
    ASSERT_TRUE(client.waitForGrab());
    client.tap(kLetterA);
    EXPECT_EQ(client.keyPressesSoFar(), 0);

    driver.kill();
    driver.waitForFinished(kTimeoutMs);
    EXPECT_TRUE(client.waitForUngrab()) << "the server ends the grab with the connection";
    client.tap(kLetterA);
    EXPECT_TRUE(client.waitForKeyPress());
}

} // namespace
