// The two hot paths of the input services. A scroll gesture delivers a raw event every few
// milliseconds: decoding it and letting the feedback engine decide must stay far under 20 µs. A
// blocked key press repaints the cleaning canvas: one paint with 180 marks on a card of 1120 by
// 680 points has to fit a frame (under 4 ms in a Release build).

#include "control-center/KeyboardCleaningOverlay.h"
#include "core/QAObserver.h"
#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "kit/VantrelMotion.h"
#include "platform/AppPaths.h"
#include "platform/HapticPerformer.h"
#include "platform/InMemoryDefaults.h"
#include "platform/PermissionSystem.h"
#include "platform/SystemAppearance.h"
#include "platform/linux/PosixFileManager.h"
#include "platform/linux/XInputDecoder.h"
#include "services/FeedbackEngine.h"
#include "services/KeyboardCleaningController.h"
#include "support/FakeEventMonitors.h"
#include "support/FakeKeyboardGuard.h"
#include "support/ManualClock.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstring>
#include <vector>
#include <xcb/xinput.h>

using namespace vantrel;

namespace {

class SilentPerformer final : public HapticPerformer {
public:
    void perform(HapticFeedbackPattern) override { ++count; }
    long count = 0;
};

class StillAppearance final : public SystemAppearance {
public:
    ColorScheme colorScheme() const override { return ColorScheme::dark; }
    bool increasedContrast() const override { return false; }
    bool reduceMotion() const override { return false; }
    bool reduceTransparency() const override { return false; }
};

class Trusting final : public PermissionSystem {
public:
    bool isAccessibilityTrusted(bool) override { return true; }
    bool listenEventAccessGranted() override { return true; }
    void requestListenEventAccess() override {}
    CaptureAuthorizationStatus videoCaptureAuthorization() override {
        return CaptureAuthorizationStatus::authorized;
    }
    void requestVideoCaptureAccess(std::function<void(bool)> completion) override { completion(true); }
};

// A touchpad's raw scroll: the vertical scroll valuator (2) moved by a third of an increment.
std::vector<std::uint8_t> rawScroll() {
    xcb_input_raw_button_press_event_t header{};
    header.response_type = XCB_GE_GENERIC;
    header.event_type = XCB_INPUT_RAW_MOTION;
    header.sourceid = 11;
    header.valuators_len = 1;
    header.length = 1 + 3 * 4;
    std::vector<std::uint8_t> bytes(sizeof header);
    std::memcpy(bytes.data(), &header, sizeof header);
    const std::uint32_t mask = 0b111;
    bytes.insert(bytes.end(), reinterpret_cast<const std::uint8_t*>(&mask),
                 reinterpret_cast<const std::uint8_t*>(&mask) + 4);
    for (int copy = 0; copy < 2; ++copy)
        for (const xcb_input_fp3232_t value :
             {xcb_input_fp3232_t{2, 0}, xcb_input_fp3232_t{-1, 0}, xcb_input_fp3232_t{5, 0}})
            bytes.insert(bytes.end(), reinterpret_cast<const std::uint8_t*>(&value),
                         reinterpret_cast<const std::uint8_t*>(&value) + sizeof value);
    return bytes;
}

// Decoding one raw scroll event and the engine's decision on it; the clock moves 4 ms per event,
// so every few events one pattern plays, as in a real gesture.
void BM_ScrollEventToFeedback(benchmark::State& state) {
    test::ManualClock clock;
    bench::IdleScheduler scheduler;
    SilentPerformer performer;
    QTemporaryDir temp;
    PosixFileManager files;
    QAObserver qa(clock, files, AppPaths{temp.path(), temp.path(), temp.path()});
    test::FakeEventMonitors monitors;
    InMemoryDefaults defaults;
    VantrelPreferences preferences(defaults);
    preferences.setFeedbackEnabled(true);
    FeedbackEngine engine({monitors, performer, clock, scheduler, qa});
    engine.setPreferences(&preferences);
    engine.start();
    XInputDecoder decoder;
    decoder.setScrollValuators(11, {{2, true, 15}, {3, false, 15}});
    const std::vector<std::uint8_t> event = rawScroll();
    for (auto _ : state) {
        clock.advance(Seconds(0.004));
        const std::optional<InputEvent> decoded = decoder.decode(event.data());
        monitors.send(*decoded);
    }
    benchmark::DoNotOptimize(performer.count);
    state.counters["pulses"] = double(performer.count);
}
BENCHMARK(BM_ScrollEventToFeedback)->Unit(benchmark::kMicrosecond);

// One paint of the canvas after a press, 180 marks on the sheet, the card at its largest.
void BM_CleaningCanvasPaint180Marks(benchmark::State& state) {
    test::ManualClock clock;
    bench::IdleScheduler scheduler;
    Trusting permissions;
    test::FakeKeyboardGuard guard;
    InMemoryDefaults defaults;
    VantrelPreferences preferences(defaults);
    StillAppearance appearance;
    VantrelMotion motion(appearance);
    SilentPerformer performer;
    VantrelHaptics haptics(preferences, performer, scheduler);
    KeyboardCleaningController controller({permissions, guard, clock, scheduler, {}});
    KeyboardCleaningOverlay overlay({controller, preferences, motion, haptics, clock, scheduler});
    // The card's largest size, 1120 by 680, in a window 72 points larger each way.
    overlay.resize(1192, 752);
    controller.start();
    for (int i = 0; i < 180; ++i) guard.press();
    overlay.setOpacity(1);
    QImage image(overlay.size(), QImage::Format_ARGB32_Premultiplied);
    overlay.render(&image);
    for (auto _ : state) {
        guard.press();
        overlay.render(&image);
    }
    benchmark::DoNotOptimize(image);
}
BENCHMARK(BM_CleaningCanvasPaint180Marks)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
