#include "services/KeyboardBacklightSignal.h"
#include "support/FakeKeyboardBacklightSources.h"
#include "support/ManualScheduler.h"
#include "support/ManualWorkQueue.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

using Support = KeyboardBacklightSignal::Support;
using Diagnostic = KeyboardBacklightSignal::Diagnostic;

const QString kLooking = QStringLiteral("Looking for the built-in keyboard backlight control…");
const QString kChecking = QStringLiteral("Checking the built-in keyboard…");

class KeyboardBacklightTest : public ::testing::Test {
protected:
    void start() { probe.start({}); }
    void wait2s() { scheduler.advance(Seconds(2)); }

    ManualClock clock;
    ManualScheduler scheduler{clock};
    FakeKeyboardBacklightSources sources;
    ManualWorkQueue* worker = new ManualWorkQueue;
    bool granted = true;
    KeyboardBacklightSignal probe{[this] { return granted; },
                                  {sources, std::unique_ptr<WorkQueue>(worker), scheduler}};
};

TEST_F(KeyboardBacklightTest, WithoutInputMonitoringNoSourceIsRead) {
    granted = false;
    int completions = 0;
    probe.start([&completions] { ++completions; });
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(probe.diagnostic(),
              (Diagnostic{Support::needsInputMonitoring,
                          "Allow Input Monitoring so Vantrel can communicate with the built-in keyboard."}));
    EXPECT_EQ(worker->pendingCount(), 0u);
    worker->drain();
    EXPECT_EQ(sources.searches, 0);
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST_F(KeyboardBacklightTest, AFoundBacklightIsAvailableAndFinal) {
    sources.finding = {true, 1, std::nullopt};
    QSignalSpy changes(&probe, &KeyboardBacklightSignal::diagnosticChanged);
    start();
    EXPECT_EQ(probe.diagnostic(), (Diagnostic{Support::checking, kLooking}));
    EXPECT_EQ(sources.searches, 0) << "the search runs on the worker";
    worker->drain();
    EXPECT_EQ(
        probe.diagnostic(),
        (Diagnostic{Support::available,
                    "Built-in keyboard backlight ready. Vantrel restores your current brightness after each "
                    "signal."}));
    wait2s();
    EXPECT_EQ(probe.diagnostic().support, Support::available) << "the time-out finds nothing to end";
    start();
    EXPECT_EQ(worker->pendingCount(), 0u) << "available is final for start";
    EXPECT_EQ(changes.count(), 2);
}

TEST_F(KeyboardBacklightTest, NothingFoundIsUnavailableTwoSecondsLaterNamingTheDevices) {
    sources.finding = {false, 1, std::nullopt};
    start();
    worker->drain();
    scheduler.advance(Seconds(1.999));
    EXPECT_EQ(probe.diagnostic().support, Support::checking);
    scheduler.advance(Seconds(0.001));
    EXPECT_EQ(
        probe.diagnostic(),
        (Diagnostic{Support::unavailable,
                    "Vantrel found 1 built-in HID device, but none exposes a keyboard-backlight control."}));

    // From unavailable a later start looks again.
    sources.finding = {false, 2, std::nullopt};
    start();
    EXPECT_EQ(probe.diagnostic().message, kLooking);
    worker->drain();
    wait2s();
    EXPECT_EQ(probe.diagnostic().message,
              QStringLiteral(
                  "Vantrel found 2 built-in HID devices, but none exposes a keyboard-backlight control."));

    sources.finding = {false, 0, std::nullopt};
    start();
    worker->drain();
    wait2s();
    EXPECT_EQ(probe.diagnostic(),
              (Diagnostic{Support::unavailable, "No built-in HID keyboard was discovered."}));

    // A search that has not answered within the two seconds: unavailable with what is known.
    sources.finding = {true, 3, std::nullopt};
    start();
    wait2s();
    EXPECT_EQ(probe.diagnostic().message, QStringLiteral("No built-in HID keyboard was discovered."));
    worker->drain();
    EXPECT_EQ(probe.diagnostic().support, Support::unavailable) << "its late answer is dropped";
}

TEST_F(KeyboardBacklightTest, ARefusalFailsAndALaterStartLooksAgain) {
    sources.finding = {false, 1, QStringLiteral("Permission denied by the polkit policy")};
    start();
    worker->drain();
    EXPECT_EQ(
        probe.diagnostic(),
        (Diagnostic{Support::failed, "Keyboard access failed: Permission denied by the polkit policy."}));
    wait2s();
    EXPECT_EQ(probe.diagnostic().support, Support::failed);
    sources.finding = {true, 1, std::nullopt};
    start();
    worker->drain();
    EXPECT_EQ(probe.diagnostic().support, Support::available);
    EXPECT_EQ(sources.searches, 2);
}

TEST_F(KeyboardBacklightTest, StopAndASecondStartDuringDiscovery) {
    sources.finding = {false, 1, std::nullopt};
    start();
    start();
    EXPECT_EQ(worker->pendingCount(), 1u) << "a discovery already running is left alone";
    EXPECT_EQ(scheduler.pendingCount(), 1u);

    probe.stop();
    EXPECT_EQ(probe.diagnostic(), (Diagnostic{Support::checking, kChecking}));
    worker->drain();
    wait2s();
    EXPECT_EQ(probe.diagnostic(), (Diagnostic{Support::checking, kChecking}))
        << "the old time-out does nothing";

    // A found backlight is forgotten by stop.
    sources.finding = {true, 1, std::nullopt};
    start();
    worker->drain();
    probe.stop();
    EXPECT_EQ(probe.diagnostic().support, Support::checking);
    start();
    EXPECT_EQ(worker->pendingCount(), 1u);
}

} // namespace
