#include "core/QAObserver.h"
#include "core/VantrelPreferences.h"
#include "platform/InMemoryDefaults.h"
#include "platform/linux/QtEventMonitors.h"
#include "platform/linux/X11EventMonitors.h"
#include "platform/linux/XInputDecoder.h"
#include "services/FeedbackEngine.h"
#include "support/FakeFileManager.h"
#include "support/ManualScheduler.h"
#include "support/RecordingHapticPerformer.h"
#include "support/TempHome.h"
#include "support/XvfbServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QSignalSpy>
#include <QWheelEvent>
#include <QWindow>
#include <cstring>
#include <gtest/gtest.h>
#include <xcb/xinput.h>
#include <xcb/xtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

using T = InputEventType;

// XInput2 events laid out as xcb hands them over: the 32-byte event, xcb's full sequence
// number, then the event's variable part.
std::vector<std::uint8_t> rawEvent(std::uint16_t type, std::uint16_t sourceid, std::uint32_t detail,
                                   std::uint32_t flags, std::vector<std::uint32_t> mask = {},
                                   std::vector<std::pair<std::int32_t, std::uint32_t>> values = {}) {
    xcb_input_raw_button_press_event_t header{};
    header.response_type = XCB_GE_GENERIC;
    header.event_type = type;
    header.deviceid = 2;
    header.sourceid = sourceid;
    header.detail = detail;
    header.flags = flags;
    header.valuators_len = std::uint16_t(mask.size());
    header.length = std::uint32_t(mask.size() + values.size() * 4);
    std::vector<std::uint8_t> bytes(sizeof header);
    std::memcpy(bytes.data(), &header, sizeof header);
    const auto append = [&bytes](const void* data, std::size_t size) {
        const auto* p = static_cast<const std::uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + size);
    };
    for (const std::uint32_t word : mask) append(&word, 4);
    // Processed values, then the unaccelerated ones: the same here.
    for (int copy = 0; copy < 2; ++copy)
        for (const auto& [integral, frac] : values) {
            const xcb_input_fp3232_t value{integral, frac};
            append(&value, sizeof value);
        }
    return bytes;
}

std::vector<std::uint8_t> gestureEvent(std::uint16_t type) {
    xcb_input_gesture_pinch_begin_event_t event{};
    event.response_type = XCB_GE_GENERIC;
    event.event_type = type;
    std::vector<std::uint8_t> bytes(sizeof event);
    std::memcpy(bytes.data(), &event, sizeof event);
    return bytes;
}

constexpr std::uint32_t kEmulated = XCB_INPUT_POINTER_EVENT_FLAGS_POINTER_EMULATED;

TEST(XInputDecoder, ScrollValuatorsBecomePointsAndOtherMotionIsDropped) {
    XInputDecoder decoder;
    // A touchpad (device 11): x and y on 0 and 1, vertical scroll on 2 with 15 units per
    // increment, horizontal on 3 with 15.
    decoder.setScrollValuators(11, {{2, true, 15}, {3, false, 15}});

    // Half an increment down: 7.5 units, five points.
    auto bytes = rawEvent(XCB_INPUT_RAW_MOTION, 11, 0, 0, {0b100}, {{7, 0x80000000u}});
    std::optional<InputEvent> event = decoder.decode(bytes.data());
    ASSERT_TRUE(event);
    EXPECT_EQ(event->type, T::scrollWheel);
    EXPECT_DOUBLE_EQ(event->scrollingDeltaY, 5);
    EXPECT_DOUBLE_EQ(event->scrollingDeltaX, 0);

    // A movement with x, y and both scroll axes: only the scroll axes count, each in its direction.
    bytes = rawEvent(XCB_INPUT_RAW_MOTION, 11, 0, 0, {0b1111}, {{3, 0}, {-4, 0}, {-30, 0}, {45, 0}});
    event = decoder.decode(bytes.data());
    ASSERT_TRUE(event);
    EXPECT_DOUBLE_EQ(event->scrollingDeltaY, -20);
    EXPECT_DOUBLE_EQ(event->scrollingDeltaX, 30);

    // Plain pointer motion, and motion of a device without scroll valuators, post nothing.
    bytes = rawEvent(XCB_INPUT_RAW_MOTION, 11, 0, 0, {0b11}, {{3, 0}, {-4, 0}});
    EXPECT_FALSE(decoder.decode(bytes.data()));
    bytes = rawEvent(XCB_INPUT_RAW_MOTION, 12, 0, 0, {0b100}, {{30, 0}});
    EXPECT_FALSE(decoder.decode(bytes.data()));
    // A mask that promises more values than the event carries stops at the last one.
    bytes = rawEvent(XCB_INPUT_RAW_MOTION, 11, 0, 0, {0b1100}, {});
    EXPECT_FALSE(decoder.decode(bytes.data()));

    // A valuator past the first 32, on a device that has one.
    decoder.setScrollValuators(13, {{33, true, 120}});
    bytes = rawEvent(XCB_INPUT_RAW_MOTION, 13, 0, 0, {0b1, 0b10}, {{1, 0}, {-240, 0}});
    event = decoder.decode(bytes.data());
    ASSERT_TRUE(event);
    EXPECT_DOUBLE_EQ(event->scrollingDeltaY, -20);

    // A device that lost its scroll valuators.
    decoder.setScrollValuators(11, {});
    bytes = rawEvent(XCB_INPUT_RAW_MOTION, 11, 0, 0, {0b100}, {{30, 0}});
    EXPECT_FALSE(decoder.decode(bytes.data()));
}

TEST(XInputDecoder, ButtonsGesturesAndEmulatedWheelButtons) {
    XInputDecoder decoder;
    const auto decode = [&decoder](const std::vector<std::uint8_t>& bytes) {
        return decoder.decode(bytes.data());
    };

    EXPECT_EQ(decode(rawEvent(XCB_INPUT_RAW_BUTTON_PRESS, 4, 1, 0))->type, T::leftMouseDown);
    EXPECT_EQ(decode(rawEvent(XCB_INPUT_RAW_BUTTON_PRESS, 4, 3, 0))->type, T::rightMouseDown);
    EXPECT_FALSE(decode(rawEvent(XCB_INPUT_RAW_BUTTON_PRESS, 4, 2, 0))) << "the middle button";
    EXPECT_FALSE(decode(rawEvent(XCB_INPUT_RAW_BUTTON_PRESS, 4, 8, 0))) << "a side button";
    EXPECT_EQ(decode(rawEvent(XCB_INPUT_RAW_BUTTON_RELEASE, 4, 1, 0))->type, T::leftMouseUp);
    EXPECT_FALSE(decode(rawEvent(XCB_INPUT_RAW_BUTTON_RELEASE, 4, 3, 0)));

    // A wheel notch is one increment, ten points: 4 up, 5 down, 6 left, 7 right.
    const std::vector<std::pair<double, double>> notches{{0, -10}, {0, 10}, {-10, 0}, {10, 0}};
    for (std::uint32_t button = 4; button <= 7; ++button) {
        const auto event = decode(rawEvent(XCB_INPUT_RAW_BUTTON_PRESS, 4, button, 0));
        ASSERT_TRUE(event) << button;
        EXPECT_EQ(event->type, T::scrollWheel);
        EXPECT_DOUBLE_EQ(event->scrollingDeltaX, notches[button - 4].first) << button;
        EXPECT_DOUBLE_EQ(event->scrollingDeltaY, notches[button - 4].second) << button;
        // Emulated from a smooth scroll the valuators have already counted.
        EXPECT_FALSE(decode(rawEvent(XCB_INPUT_RAW_BUTTON_PRESS, 4, button, kEmulated))) << button;
        EXPECT_FALSE(decode(rawEvent(XCB_INPUT_RAW_BUTTON_RELEASE, 4, button, 0))) << button;
    }
    // A left click the server made from a touch still is a click.
    EXPECT_EQ(decode(rawEvent(XCB_INPUT_RAW_BUTTON_PRESS, 4, 1, kEmulated))->type, T::leftMouseDown);

    for (const std::uint16_t type :
         {XCB_INPUT_GESTURE_PINCH_BEGIN, XCB_INPUT_GESTURE_PINCH_UPDATE, XCB_INPUT_GESTURE_PINCH_END})
        EXPECT_EQ(decode(gestureEvent(type))->type, T::magnify) << type;
    for (const std::uint16_t type :
         {XCB_INPUT_GESTURE_SWIPE_BEGIN, XCB_INPUT_GESTURE_SWIPE_UPDATE, XCB_INPUT_GESTURE_SWIPE_END})
        EXPECT_EQ(decode(gestureEvent(type))->type, T::swipe) << type;
    EXPECT_FALSE(decode(gestureEvent(XCB_INPUT_RAW_KEY_PRESS)));
}

TEST(QtEventMonitors, OwnWindowsInputIsTranslatedOnceAndPassedOn) {
    const auto wheel = [](QPoint pixels, QPoint angle) {
        return QWheelEvent(QPointF(), QPointF(), pixels, angle, Qt::NoButton, Qt::NoModifier,
                           Qt::NoScrollPhase, false);
    };
    auto event = QtEventMonitors::translate(wheel(QPoint(), QPoint(0, -120)));
    ASSERT_TRUE(event);
    EXPECT_DOUBLE_EQ(event->scrollingDeltaY, -10) << "one notch, ten points";
    event = QtEventMonitors::translate(wheel(QPoint(3, 4), QPoint(0, 120)));
    EXPECT_DOUBLE_EQ(event->scrollingDeltaX, 3) << "a touchpad's own points win";
    EXPECT_DOUBLE_EQ(event->scrollingDeltaY, 4);

    const auto mouse = [](QEvent::Type type, Qt::MouseButton button) {
        return QMouseEvent(type, QPointF(), QPointF(), button, button, Qt::NoModifier);
    };
    EXPECT_EQ(QtEventMonitors::translate(mouse(QEvent::MouseButtonPress, Qt::LeftButton))->type,
              T::leftMouseDown);
    EXPECT_EQ(QtEventMonitors::translate(mouse(QEvent::MouseButtonPress, Qt::RightButton))->type,
              T::rightMouseDown);
    EXPECT_FALSE(QtEventMonitors::translate(mouse(QEvent::MouseButtonPress, Qt::MiddleButton)));
    EXPECT_EQ(QtEventMonitors::translate(mouse(QEvent::MouseButtonRelease, Qt::LeftButton))->type,
              T::leftMouseUp);
    EXPECT_FALSE(QtEventMonitors::translate(mouse(QEvent::MouseButtonRelease, Qt::RightButton)));

    const auto gesture = [](Qt::NativeGestureType type) {
        return QNativeGestureEvent(type, QPointingDevice::primaryPointingDevice(), 2, QPointF(), QPointF(),
                                   QPointF(), 0.1, QPointF());
    };
    EXPECT_EQ(QtEventMonitors::translate(gesture(Qt::ZoomNativeGesture))->type, T::magnify);
    EXPECT_EQ(QtEventMonitors::translate(gesture(Qt::SwipeNativeGesture))->type, T::swipe);
    EXPECT_FALSE(QtEventMonitors::translate(gesture(Qt::RotateNativeGesture)));

    // Installed, it sees an event at its window and not again at the widgets it travels on to.
    QtEventMonitors monitors;
    EXPECT_EQ(monitors.addGlobalMonitor(maskOf(T::leftMouseDown), [](const InputEvent&) {}),
              EventMonitors::kRefused);
    std::vector<InputEvent> seen;
    const EventMonitors::Token token = monitors.addLocalMonitor(
        maskOf(T::leftMouseDown), [&seen](const InputEvent& e) { seen.push_back(e); });
    QWindow window;
    QObject child;
    QMouseEvent press = mouse(QEvent::MouseButtonPress, Qt::LeftButton);
    QMouseEvent release = mouse(QEvent::MouseButtonRelease, Qt::LeftButton);
    QCoreApplication::sendEvent(&window, &press);
    QCoreApplication::sendEvent(&child, &press);
    QCoreApplication::sendEvent(&window, &release);
    EXPECT_EQ(seen.size(), 1u);
    monitors.removeMonitor(token);
    QCoreApplication::sendEvent(&window, &press);
    EXPECT_EQ(seen.size(), 1u);
}

// Runs the event loop until `done` holds, for at most ten seconds; whether it held.
bool waitUntil(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(10'000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return done();
}

// A second client of the X server that presses buttons through XTest.
struct XTestClient {
    explicit XTestClient(const QByteArray& display) {
        connection = xcb_connect(display.constData(), nullptr);
        root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    }
    ~XTestClient() { xcb_disconnect(connection); }
    void click(std::uint8_t button) {
        xcb_test_fake_input(connection, XCB_BUTTON_PRESS, button, XCB_CURRENT_TIME, root, 0, 0, 0);
        xcb_test_fake_input(connection, XCB_BUTTON_RELEASE, button, XCB_CURRENT_TIME, root, 0, 0, 0);
        xcb_flush(connection);
    }
    xcb_connection_t* connection;
    xcb_window_t root;
};

TEST(X11EventMonitors, XTestWheelAndClickReachTheFeedbackEngine) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    const QByteArray display = server.display().toLatin1();

    X11EventMonitors monitors(display);
    EXPECT_EQ(monitors.addLocalMonitor(maskOf(T::scrollWheel), [](const InputEvent&) {}),
              EventMonitors::kRefused)
        << "raw events cover this program's windows too";

    ManualClock clock;
    ManualScheduler scheduler(clock);
    RecordingHapticPerformer performer(&clock);
    TempHome home;
    FakeFileManager files;
    QAObserver qa(clock, files, home.paths());
    qa.setSession(QAObserver::Session{});
    InMemoryDefaults defaults;
    VantrelPreferences preferences(defaults);
    preferences.setFeedbackEnabled(true);
    preferences.setFeedbackTrigger(FeedbackTrigger::click, true);
    FeedbackEngine engine({monitors, performer, clock, scheduler, qa});
    engine.setPreferences(&preferences);

    engine.start();
    ASSERT_TRUE(engine.isListening());
    ASSERT_TRUE(waitUntil([&monitors] { return monitors.isSelected(); }))
        << "the reader selected the raw events";

    XTestClient client(display);
    QSignalSpy pulses(&engine, &FeedbackEngine::pulseCountChanged);
    client.click(4);
    ASSERT_TRUE(pulses.wait(10'000)) << "a wheel notch up";
    EXPECT_DOUBLE_EQ(engine.lastVelocity(), 10);
    scheduler.advance(Seconds(1));
    const int afterScroll = engine.pulseCount();
    EXPECT_EQ(afterScroll, 2) << "both pulses of detent";

    client.click(1);
    ASSERT_TRUE(pulses.wait(10'000)) << "a left click";
    ASSERT_FALSE(qa.session()->events.isEmpty());
    EXPECT_EQ(qa.session()->events[2].message, QStringLiteral("requested trigger=click style=detent"));
    EXPECT_EQ(engine.pulseCount(), afterScroll + 1);

    // Stopped, the engine hears nothing more. A monitor of left presses alone sees the left
    // press after a middle click and a wheel notch, and nothing of those.
    engine.stop();
    EXPECT_TRUE(monitors.isSelected()) << "nothing is wanted";
    std::vector<InputEvent> seen;
    const EventMonitors::Token token = monitors.addGlobalMonitor(
        maskOf(T::leftMouseDown), [&seen](const InputEvent& e) { seen.push_back(e); });
    ASSERT_TRUE(waitUntil([&monitors] { return monitors.isSelected(); }));
    client.click(2);
    client.click(5);
    client.click(1);
    ASSERT_TRUE(waitUntil([&seen] { return !seen.empty(); }));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].type, T::leftMouseDown);
    EXPECT_EQ(engine.pulseCount(), afterScroll + 1);
    monitors.removeMonitor(token);
}

} // namespace
