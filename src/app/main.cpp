#include "app/AppState.h"
#include "app/AppStateFactory.h"
#include "app/CommandLine.h"
#include "app/ControlCenterWiring.h"
#include "app/LazyStandardIconStyle.h"
#include "app/PlatformChoice.h"
#include "app/VantrelApp.h"
#include "app/VantrelAppDelegate.h"
#include "core/CapabilityCenter.h"
#include "core/FileNotices.h"
#include "core/LocalPersistence.h"
#include "core/PermissionCenter.h"
#include "core/QAObserver.h"
#include "core/VantrelDiagnostics.h"
#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "dock/CustomDockController.h"
#include "dock/SystemDockQueue.h"
#include "kit/ApplicationChooserPanel.h"
#include "kit/ThemeImageStore.h"
#include "kit/VantrelMotion.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/AlarmController.h"
#include "modules/NotificationSignalStore.h"
#include "notch/DisplayCoordinator.h"
#include "platform/AppPaths.h"
#include "platform/BundleInfo.h"
#include "platform/Environment.h"
#include "platform/ThreadWorkQueue.h"
#include "platform/linux/DesktopEntry.h"
#include "platform/linux/FreedesktopTrash.h"
#include "platform/linux/HeapMemory.h"
#include "platform/linux/IconThemes.h"
#include "platform/linux/IcsCalendarService.h"
#include "platform/linux/JsonFileDefaults.h"
#include "platform/linux/LinuxKeyboardBacklightSources.h"
#include "platform/linux/LinuxPermissionSystem.h"
#include "platform/linux/LinuxSharingService.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/linux/LocalSocketSingleInstance.h"
#include "platform/linux/LoggingHapticPerformer.h"
#include "platform/linux/LogindSleepWakeMonitor.h"
#include "platform/linux/MprisMediaAutomation.h"
#include "platform/linux/PaintingThreadFills.h"
#include "platform/linux/PortalSystemAppearance.h"
#include "platform/linux/PosixFileManager.h"
#include "platform/linux/ProcSystemCounters.h"
#include "platform/linux/QtAlertPresenter.h"
#include "platform/linux/QtApplicationShell.h"
#include "platform/linux/QtCameraCapture.h"
#include "platform/linux/QtColorPicker.h"
#include "platform/linux/QtEventMonitors.h"
#include "platform/linux/QtHttpClient.h"
#include "platform/linux/QtMenuPresenter.h"
#include "platform/linux/QtOpenPanel.h"
#include "platform/linux/QtPasteboard.h"
#include "platform/linux/QtScheduler.h"
#include "platform/linux/QtScreens.h"
#include "platform/linux/QtSoundPlayer.h"
#include "platform/linux/QtXcbConnection.h"
#include "platform/linux/SimulatedMenuBar.h"
#include "platform/linux/StatusNotifierItemSource.h"
#include "platform/linux/SyslogSystemLog.h"
#include "platform/linux/TrayStatusBar.h"
#include "platform/linux/UPowerPowerSources.h"
#include "platform/linux/V4l2VideoCaptureDevices.h"
#include "platform/linux/X11BackdropBlur.h"
#include "platform/linux/X11Desktop.h"
#include "platform/linux/X11EventMonitors.h"
#include "platform/linux/X11HotKeyService.h"
#include "platform/linux/X11InputFocus.h"
#include "platform/linux/X11KeyboardGuard.h"
#include "platform/linux/X11RunningApplications.h"
#include "platform/linux/X11WindowList.h"
#include "platform/linux/XdgAutostartLoginItems.h"
#include "services/HotkeyManager.h"
#include "services/KeyboardBacklightSignal.h"

#include <QApplication>
#include <QDBusConnection>
#include <QGuiApplication>
#include <QStyleFactory>
#include <QThreadPool>
#include <QTimeZone>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

using namespace vantrel;

// The composition root: builds the production object graph once and runs the event loop.
int main(int argc, char** argv) {
    // Asking for the help or the version, or a mistyped option, starts nothing.
    QStringList given;
    for (int i = 1; i < argc; ++i) given.append(QString::fromLocal8Bit(argv[i]));
    const CommandLineRequest request = readCommandLine(given, QStringLiteral(VANTREL_VERSION));
    if (!request.run) {
        std::fputs(request.output.toLocal8Bit().constData(), stdout);
        std::fputs(request.error.toLocal8Bit().constData(), stderr);
        return request.exitCode;
    }
    // Before anything large is allocated: a picture's memory goes back once it is freed.
    mapLargeBlocksApart();
    ProcessEnvironment environment;
    // Chosen before the application object exists, and passed as an argument rather than through
    // the environment, so the programs Vantrel opens still make their own choice.
    const PlatformChoice platform = PlatformChoice::choose(environment);
    std::vector<char*> arguments(argv, argv + argc);
    QByteArray platformArgument = QByteArrayLiteral("-platform");
    QByteArray platformName = platform.platform.value_or(QString()).toLatin1();
    if (platform.platform) {
        arguments.insert(arguments.begin() + std::min(argc, 1),
                         {platformArgument.data(), platformName.data()});
    }
    arguments.push_back(nullptr);
    int argumentCount = static_cast<int>(arguments.size()) - 1;
    QApplication app(argumentCount, arguments.data());
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    QApplication::setDesktopFileName(QStringLiteral("vantrel"));
    // Qt's raster engine would hand the bands of every large fill to the global pool; they stay on
    // the painting thread. Whatever else of Qt's uses the pool gets one thread, not one per core.
    keepFillsOnThePaintingThread();
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    QApplication::setStyle(new LazyStandardIconStyle(QStyleFactory::create(QApplication::style()->name())));
    // Widgets made before they join a window (and menus and tool tips) start in the interface's
    // font, not the desktop's default, whose face would otherwise be looked up and loaded as well.
    QApplication::setFont(VantrelType::body());

    // Signals are handled from here on, so SIGTERM and Ctrl-C always take the normal way out.
    QtApplicationShell shell(app);

    LocalSocketSingleInstance instance(LocalSocketSingleInstance::defaultSocketPath(environment));
    if (!instance.claim()) {
        // Vantrel already runs for this user: it comes forward instead.
        instance.requestReopen();
        return 0;
    }
    instance.setReopenHandler([&shell] { shell.reopen(); });

    int code = 0;
    {
        SystemClock clock;
        QtScheduler scheduler;
        // Static: the crash handler may still need them while the stack unwinds.
        static SyslogSystemLog log;
        if (!platform.logLine.isEmpty())
            log.log(LogLevel::info, QString::fromLatin1(kLogSubsystem), QStringLiteral("Platform"),
                    platform.logLine);
        const bool withoutX11 = PlatformChoice::isWayland(QGuiApplication::platformName());
        if (withoutX11)
            log.log(LogLevel::error, QString::fromLatin1(kLogSubsystem), QStringLiteral("Platform"),
                    PlatformChoice::waylandLimitsLogLine());
        const AppPaths paths = AppPaths::fromEnvironment(environment);
        static JsonDefaultsProvider defaults(paths.defaultsFolder(), scheduler, clock, log);
        defaults.removeLeftovers();
        // A settings or data file that cannot be read or saved is told in the window, not only in
        // the log, until it is read or saved again.
        FileNotices fileNotices;
        defaults.setProblemHandler(
            [&fileNotices](const QString& file, const QString& problem) { fileNotices.set(file, problem); });

        VantrelPreferences preferences(defaults.standard());
        VantrelPreferences::setShared(&preferences);
        // Global hot keys are passive grabs on the X server; elsewhere every one is refused.
        std::optional<X11HotKeyService> x11HotKeys;
        if (QGuiApplication::platformName() == u"xcb") x11HotKeys.emplace();
        HotkeyManager hotkeys(defaults.standard(), x11HotKeys ? &*x11HotKeys : nullptr);
        HotkeyManager::setShared(&hotkeys);
        LinuxPermissionSystem::Sources permissionSources;
        permissionSources.platformName = QGuiApplication::platformName();
        LinuxPermissionSystem permissionSystem(permissionSources);
        // Counting /dev/video* nodes keeps the media framework unloaded until a sound plays.
        V4l2VideoCaptureDevices cameras;
        // The backlight is looked for in the kernel's LED folders and through UPower, off the
        // main thread; quitting waits a quarter second for a look that hangs.
        LinuxKeyboardBacklightSources backlightSources(QStringLiteral("/sys/class/leds"),
                                                       QDBusConnection::systemBus());
        KeyboardBacklightSignal keyboardBacklight(
            [&permissionSystem] { return permissionSystem.listenEventAccessGranted(); },
            {.sources = backlightSources,
             .worker = std::make_unique<ThreadWorkQueue>(QStringLiteral("com.vantrel.keyboard-backlight"),
                                                         std::chrono::milliseconds(250)),
             .scheduler = scheduler});
        KeyboardBacklightSignal::setShared(&keyboardBacklight);

        PosixFileManager fileManager;
        QAObserver qaObserver(clock, fileManager, paths);
        QAObserver::setShared(&qaObserver);
        VantrelDiagnostics diagnostics(clock, log, environment, defaults.standard(), qaObserver);
        VantrelDiagnostics::setShared(&diagnostics);
        CapabilityCenter capabilities(diagnostics);
        CapabilityCenter::setShared(&capabilities);

        XdgAutostartLoginItems loginItems(paths.autostartFolder(), QCoreApplication::applicationFilePath(),
                                          QStringLiteral(VANTREL_BUILD_TREE));
        const QStringList applicationEntryFolders = applicationFolders(paths, environment);
        // Icon themes are read beside the event loop: a large one takes most of a second.
        ThreadWorkQueue iconThemeReader(QStringLiteral("com.vantrel.icon-themes"),
                                        std::chrono::milliseconds(250));
        IconThemes iconThemes(&iconThemeReader, &scheduler);
        // The X display that the services reading the desktop open connections of their own to,
        // and that applications, files and links are started on: the one Qt opened, which
        // -display may have named instead of $DISPLAY; empty away from X11.
        const QByteArray x11Display = qtXcbDisplayName();
        LinuxWorkspace workspace(log, applicationEntryFolders, &iconThemes, x11Display);
        // A calendar file that cannot be read is skipped and leaves a diagnostics record.
        IcsCalendarService calendarService(paths.dataFolder() + QStringLiteral("/calendars"),
                                           QTimeZone::systemTimeZone(),
                                           [&diagnostics](const QString& message) {
                                               diagnostics.record(DiagnosticsCategory::persistence, message);
                                           });
        LinuxSharingService sharing;
        QtOpenPanel fileDialogs(applicationEntryFolders);
        // Applications are chosen from the installed ones by name and icon, in the settings' look.
        ApplicationChooserPanel openPanel(
            fileDialogs, workspace, [&preferences] { return VantrelTheme::accent(preferences.accent()); });
        LoggingHapticPerformer hapticPerformer(log);
        // Scrolls, clicks and gestures of the whole desktop on X11; elsewhere only Vantrel's own.
        std::unique_ptr<EventMonitors> eventMonitors;
        if (!x11Display.isEmpty())
            eventMonitors = std::make_unique<X11EventMonitors>(x11Display);
        else
            eventMonitors = std::make_unique<QtEventMonitors>();
        // Holds the keyboard over an X connection of its own; away from X11 it cannot.
        X11KeyboardGuard keyboardGuard(x11Display);
        X11InputFocus inputFocus;
        VantrelHaptics haptics(preferences, hapticPerformer, scheduler);
        VantrelHaptics::setShared(&haptics);

        const BundleInfo bundle = BundleInfo::main();
        LocalPersistence persistence({LocalPersistence::dataDirectory(paths, bundle), &fileManager}, clock,
                                     log, LocalPersistence::logSubsystem(bundle),
                                     [&diagnostics](const QString& message) {
                                         diagnostics.record(DiagnosticsCategory::persistence, message);
                                     });
        persistence.setNotices(&fileNotices);
        persistence.setScheduler(&scheduler);
        persistence.removeLeftovers();
        QtPasteboard pasteboard(QGuiApplication::clipboard(),
                                QtPasteboard::platformAnnouncesChanges(QGuiApplication::platformName()));
        ProcSystemCounters systemCounters;
        MprisMediaAutomation mediaAutomation(QDBusConnection::sessionBus(), &iconThemes);
        QtHttpClient http;

        // The alarm plays tones of our own; its haptic goes to the log like every other pulse.
        QtSoundPlayer sounds(log, environment);
        AlarmController alarm(preferences, hapticPerformer, sounds, scheduler);
        AlarmController::setShared(&alarm);
        NotificationSignalStore alerts(preferences, clock);
        NotificationSignalStore::setShared(&alerts);
        PortalSystemAppearance appearance(QDBusConnection::sessionBus());
        VantrelMotion motion(appearance);
        VantrelMotion::setShared(&motion);
        // The theme artwork is drawn at build time into the folder beside the executable.
        // Recolouring a large picture takes a frame or more: it happens beside the event loop.
        ThreadWorkQueue themeWorker(QStringLiteral("com.vantrel.theme-remap"));
        ThemeImageStore themeImages(fileManager, QCoreApplication::applicationDirPath());
        themeImages.setWorker(&themeWorker);
        ThemeImageStore::setShared(&themeImages);

        QtScreens screens(environment, log);
        DisplayCoordinator displays(screens, diagnostics);
        DisplayCoordinator::setShared(&displays);
        LogindSleepWakeMonitor sleepWake;
        QtMenuPresenter menus;
        QtColorPicker colorPicker;
        // Opens QtMultimedia only when the mirror tab first asks for a camera.
        QtCameraCapture camera(cameras, log);
        TrayStatusBar tray(QDBusConnection::sessionBus(), scheduler, log);
        // Every status item of Vantrel goes through the menu-bar model, which lays the tray out as
        // the organizer sees it; the scanner reads the desktop's tray items, or the model's.
        SimulatedMenuBar statusBar(tray, screens);
        // Whether a compositor runs, and the keeper of the notch and its dot above other windows.
        X11Desktop desktop;
        appearance.setCompositor(&desktop);
        X11BackdropBlur backdropBlur;
        X11RunningApplications runningApplications(x11Display, applicationEntryFolders, &iconThemes,
                                                   &scheduler);
        StatusNotifierItemSource menuBarItems({.connection = QDBusConnection::sessionBus(),
                                               .model = statusBar,
                                               .scheduler = scheduler,
                                               .runningApplications = &runningApplications,
                                               .ownProcessId = QCoreApplication::applicationPid()});
        QtAlertPresenter alertPresenter;
        FreedesktopTrash trash(paths.dataHome, {}, &clock);
        // The battery of the automation rules: UPower on the system bus, else the kernel's files.
        UPowerPowerSources power(QDBusConnection::systemBus());
        SystemDockQueue systemDockQueue;
        SystemDockQueue::setShared(&systemDockQueue);
        // Read on the Dock's own worker thread, over an X connection of its own.
        X11WindowList windowList(x11Display);
        // Named, so that a service added to the list is wired here by name, not by position.
        AppStateFactory factory({
            .clock = clock,
            .scheduler = scheduler,
            .sleepWake = sleepWake,
            .screens = screens,
            .shell = shell,
            .defaults = defaults,
            .log = log,
            .permissionSystem = permissionSystem,
            .loginItems = loginItems,
            .workspace = workspace,
            .calendarStatus = [&calendarService] { return calendarService.authorizationStatus(); },
            .preferences = preferences,
            .hotkeys = hotkeys,
            .keyboardBacklight = keyboardBacklight,
            .capabilities = capabilities,
            .qaObserver = qaObserver,
            .persistence = persistence,
            .pasteboard = pasteboard,
            .calendarService = calendarService,
            .sharing = sharing,
            .openPanel = openPanel,
            .alarm = alarm,
            .alerts = alerts,
            .haptics = haptics,
            .systemCounters = systemCounters,
            .mediaAutomation = mediaAutomation,
            .http = http,
            .displays = displays,
            .diagnostics = diagnostics,
            .motion = motion,
            .inputFocus = inputFocus,
            .hapticPerformer = hapticPerformer,
            .eventMonitors = *eventMonitors,
            .keyboardGuard = keyboardGuard,
            .menus = menus,
            .camera = camera,
            .compositor = &desktop,
            .stacking = &desktop,
            .backdropBlur = &backdropBlur,
            .systemDockQueue = systemDockQueue,
            .windowList = windowList,
            .runningApplications = runningApplications,
            .alertPresenter = alertPresenter,
            .trash = &trash,
            .power = &power,
            .statusBar = &statusBar,
            .menuBarItems = &menuBarItems,
        });
        AppState state(factory);
        // The Dock's settings left as they are because a file failed: said beside that file's notice.
        QObject::connect(&state.customDockController(), &CustomDockController::systemDockLeftAsItIs,
                         &fileNotices, [&fileNotices](const QString& reason) {
                             fileNotices.set(QStringLiteral("com.apple.dock"), reason);
                         });
        QObject::connect(&state.customDockController(), &CustomDockController::systemDockProblemGone,
                         &fileNotices,
                         [&fileNotices] { fileNotices.resolve(QStringLiteral("com.apple.dock")); });
        AppState::setShared(&state);

        VantrelAppDelegate delegate(state, shell, statusBar, defaults, log);
        delegate.setFileNotices(&fileNotices);
        // Screenshots are read and decoded beside the event loop: a file on a slow or hung file
        // system never holds it.
        ThreadWorkQueue thumbnailReader(QStringLiteral("com.vantrel.thumbnails"),
                                        std::chrono::milliseconds(250));
        VantrelApp application(state,
                               ControlCenterWiring::make(state, {.motion = motion,
                                                                 .haptics = haptics,
                                                                 .appearance = appearance,
                                                                 .themeImages = themeImages,
                                                                 .scheduler = scheduler,
                                                                 .clock = clock,
                                                                 .openPanel = openPanel,
                                                                 .menus = menus,
                                                                 .files = fileManager,
                                                                 .colorPicker = colorPicker,
                                                                 .fileNotices = &fileNotices,
                                                                 .pictures = &thumbnailReader}),
                               shell, screens);
        application.showControlCenter();

        code = shell.run(delegate);
        // The defaults outlive this function (the crash handler may need them); the scheduler does not.
        defaults.finishScheduling();
        defaults.setProblemHandler({});

        AppState::setShared(nullptr);
        SystemDockQueue::setShared(nullptr);
        DisplayCoordinator::setShared(nullptr);
        ThemeImageStore::setShared(nullptr);
        VantrelMotion::setShared(nullptr);
        NotificationSignalStore::setShared(nullptr);
        AlarmController::setShared(nullptr);
        VantrelHaptics::setShared(nullptr);
        CapabilityCenter::setShared(nullptr);
        VantrelDiagnostics::setShared(nullptr);
        QAObserver::setShared(nullptr);
        KeyboardBacklightSignal::setShared(nullptr);
        HotkeyManager::setShared(nullptr);
        VantrelPreferences::setShared(nullptr);
    }
    // A worker left running (a calendar read or a media call that did not return in time) may
    // still be inside a library: the process ends here without tearing down under it.
    if (ThreadWorkQueue::abandonedWorkers() > 0) {
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}
