// A section switch of the control center: the page of each section the navigation offers built
// by the window's page factory and painted for the first time at the settings window's default
// size (1080 by 720, less the navigation bar), the way the window rebuilds a page on every
// switch. Each has to stay under one 60 Hz frame (16 ms).

#include "BenchSupport.h"
#include "control-center/ControlCenterContext.h"
#include "control-center/PageFactory.h"
#include "control-center/RootView.h"
#include "control-center/SectionNavigation.h"
#include "core/LocalPersistence.h"
#include "core/PermissionCenter.h"
#include "core/QAObserver.h"
#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "kit/ThemeImageStore.h"
#include "kit/VantrelMotion.h"
#include "kit/VantrelTheme.h"
#include "modules/AlarmController.h"
#include "modules/CalendarStore.h"
#include "modules/ClipboardStore.h"
#include "modules/FileShelfStore.h"
#include "modules/FocusTimer.h"
#include "modules/NotesStore.h"
#include "modules/NotificationSignalStore.h"
#include "modules/StopwatchStore.h"
#include "modules/TimerAlarm.h"
#include "platform/AppPaths.h"
#include "platform/CalendarService.h"
#include "platform/Environment.h"
#include "platform/InMemoryDefaults.h"
#include "platform/LoginItems.h"
#include "platform/Pasteboard.h"
#include "platform/PermissionSystem.h"
#include "platform/SoundPlayer.h"
#include "platform/ThreadWorkQueue.h"
#include "platform/linux/LinuxSharingService.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/linux/PosixFileManager.h"
#include "platform/linux/QtMenuPresenter.h"
#include "platform/linux/QtOpenPanel.h"
#include "services/KeyboardCleaningController.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace vantrel;

namespace {

const QSize kWindow(1080, 720);

class NoHaptics final : public HapticPerformer {
public:
    void perform(HapticFeedbackPattern) override {}
};
class NoSounds final : public SoundPlayer {
public:
    std::unique_ptr<Sound> soundNamed(const QString&) override { return nullptr; }
};
class DarkDesktop final : public SystemAppearance {
public:
    ColorScheme colorScheme() const override { return ColorScheme::dark; }
    bool increasedContrast() const override { return false; }
    bool reduceMotion() const override { return false; }
    bool reduceTransparency() const override { return false; }
};
class EmptyPasteboard final : public Pasteboard {
public:
    std::int64_t changeCount() const override { return 0; }
    QStringList types() const override { return {}; }
    std::optional<QString> string() const override { return std::nullopt; }
    void writeString(const QString&) override {}
};
// Some permissions missing, so the permissions page shows every kind of row.
class MixedPermissions final : public PermissionSystem {
public:
    bool isAccessibilityTrusted(bool) override { return true; }
    bool listenEventAccessGranted() override { return false; }
    void requestListenEventAccess() override {}
    CaptureAuthorizationStatus videoCaptureAuthorization() override {
        return CaptureAuthorizationStatus::denied;
    }
    void requestVideoCaptureAccess(std::function<void(bool)> completion) override { completion(false); }
};
class NoLoginItems final : public LoginItems {
public:
    LoginItemStatus status() const override { return LoginItemStatus::notRegistered; }
    bool registerItem() override { return false; }
    bool unregisterItem() override { return false; }
};
class NoCalendar final : public CalendarService {
public:
    CalendarAuthorizationStatus authorizationStatus() const override {
        return CalendarAuthorizationStatus::notDetermined;
    }
    void requestFullAccess(AccessCompletion done) override { done(false, std::nullopt); }
    void events(WallTime, WallTime, EventsAnswer answer) override { answer({}); }
};

// Everything the control center's pages are built from, on the real stores over quiet backends.
struct Window {
    QTemporaryDir home;
    AppPaths paths = [this] {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            qputenv(name, home.path().toUtf8());
        ProcessEnvironment environment;
        return AppPaths::fromEnvironment(environment);
    }();
    SystemClock clock;
    bench::IdleScheduler scheduler;
    bench::SilentLog log;
    InMemoryDefaultsProvider defaults;
    VantrelPreferences preferences{defaults.standard()};
    NoHaptics performer;
    NoSounds sounds;
    VantrelHaptics haptics{preferences, performer, scheduler};
    AlarmController alarm{preferences, performer, sounds, scheduler};
    NotificationSignalStore alerts{preferences, clock};
    DarkDesktop desktop;
    VantrelMotion motion{desktop};
    PosixFileManager files;
    ThemeImageStore themeImages{files, QCoreApplication::applicationDirPath()};
    LocalPersistence persistence{{paths.dataFolder(), &files}, clock, log, QStringLiteral("com.vantrel.mac")};
    QAObserver observer{clock, files, paths};
    EmptyPasteboard pasteboard;
    LinuxWorkspace workspace{log};
    LinuxSharingService sharing;
    MixedPermissions permissionSystem;
    NoLoginItems loginItems;
    NoCalendar calendarService;
    QtOpenPanel openPanel{{}};
    QtMenuPresenter menus;
    SectionNavigation sections;

    FocusTimer focus{defaults.standard(), TimerAlarm(alarm, alerts, preferences), clock, scheduler};
    StopwatchStore stopwatch{TimerAlarm(alarm, alerts, preferences), haptics, clock, scheduler};
    ClipboardStore clipboard{pasteboard,
                             persistence,
                             clock,
                             scheduler,
                             std::make_unique<ThreadWorkQueue>(QStringLiteral("clipboard")),
                             [] {}};
    FileShelfStore shelf{defaults.standard(), files, clock, scheduler, workspace, sharing, haptics};
    NotesStore notes{QStringLiteral("notes.json"), persistence, observer, clock, scheduler};
    CalendarStore calendar{calendarService, clock, scheduler};
    PermissionCenter permissions{permissionSystem, [] { return CalendarAuthorizationStatus::notDetermined; },
                                 loginItems, workspace, scheduler};
    KeyboardCleaningController cleaning;

    ControlCenterContext context() {
        return {.preferences = preferences,
                .motion = motion,
                .haptics = haptics,
                .appearance = desktop,
                .themeImages = themeImages,
                .scheduler = scheduler,
                .sections = sections,
                .permissions = permissions,
                .calendar = calendar,
                .keyboardCleaning = cleaning,
                .menus = menus,
                .applyPreferences = [] {},
                .home = {preferences, motion, haptics, desktop, clock, focus, stopwatch, clipboard, shelf,
                         notes, permissions, cleaning, openPanel, menus, files, [](VantrelSection) {}, [] {}},
                .alerts = alerts,
                .alarm = alarm};
    }
};

void switchTo(benchmark::State& state, VantrelSection section) {
    Window window;
    // Two alerts waiting, so the notifications page shows its pending line.
    window.alerts.recordVantrelEvent(QStringLiteral("Timer finished"), false);
    window.alerts.recordVantrelEvent(QStringLiteral("Countdown finished"), false);
    const PageFactory pages(window.context());
    QWidget host;
    VantrelTheme::setColorScheme(&host, ColorScheme::dark);
    const RootLayout layout = RootLayout::make(kWindow);
    host.resize(layout.page.size().toSize());
    host.show();
    QImage frame(host.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QWidget* page = pages.makePage(section, &host);
        page->setGeometry(host.rect());
        page->show();
        frame.fill(Qt::black);
        page->render(&frame);
        delete page;
        benchmark::DoNotOptimize(frame);
    }
}

} // namespace

BENCHMARK_CAPTURE(switchTo, home, VantrelSection::home)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(switchTo, notch, VantrelSection::notch)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(switchTo, menuBar, VantrelSection::menuBar)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(switchTo, dock, VantrelSection::dock)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(switchTo, feedback, VantrelSection::feedback)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(switchTo, notifications, VantrelSection::notifications)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(switchTo, appearance, VantrelSection::appearance)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(switchTo, permissions, VantrelSection::permissions)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
