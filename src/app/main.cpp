#include "core/AppState.h"
#include "core/QAObserver.h"
#include "core/VantrelDiagnostics.h"
#include "core/VantrelApp.h"
#include "core/VantrelAppDelegate.h"
#include "core/VantrelPreferences.h"
#include "platform/AppPaths.h"
#include "platform/Environment.h"
#include "platform/linux/JsonFileDefaults.h"
#include "platform/linux/LocalSocketSingleInstance.h"
#include "platform/linux/LogindSleepWakeMonitor.h"
#include "platform/linux/QtApplicationShell.h"
#include "platform/linux/QtScheduler.h"
#include "platform/linux/QtScreens.h"
#include "platform/linux/SyslogSystemLog.h"
#include "platform/linux/TrayStatusBar.h"
#include "services/HotkeyManager.h"
#include "services/KeyboardBacklightSignal.h"

#include <QApplication>

using namespace vantrel;

// The composition root: builds the production object graph once and runs the event loop.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    QApplication::setDesktopFileName(QStringLiteral("vantrel"));

    // Signals are handled from here on, so SIGTERM and Ctrl-C always take the normal way out.
    QtApplicationShell shell(app);

    ProcessEnvironment environment;
    LocalSocketSingleInstance instance(LocalSocketSingleInstance::defaultSocketPath(environment));
    if (!instance.claim()) {
        // Vantrel already runs for this user: it comes forward instead.
        instance.requestReopen();
        return 0;
    }
    instance.setReopenHandler([&shell] { shell.reopen(); });

    SystemClock clock;
    QtScheduler scheduler;
    // Static: the crash handler may still need them while the stack unwinds.
    static SyslogSystemLog log;
    const AppPaths paths = AppPaths::fromEnvironment(environment);
    static JsonDefaultsProvider defaults(paths.defaultsFolder(), scheduler, clock, log);

    VantrelPreferences preferences(defaults.standard());
    VantrelPreferences::setShared(&preferences);
    HotkeyManager hotkeys(defaults.standard());
    HotkeyManager::setShared(&hotkeys);
    // No input-monitoring check exists on this system yet: the probe asks for the permission.
    KeyboardBacklightSignal keyboardBacklight([] { return false; });
    KeyboardBacklightSignal::setShared(&keyboardBacklight);

    QAObserver qaObserver(clock, paths);
    QAObserver::setShared(&qaObserver);
    VantrelDiagnostics diagnostics(clock, log, environment, defaults.standard(), qaObserver);
    VantrelDiagnostics::setShared(&diagnostics);

    QtScreens screens;
    LogindSleepWakeMonitor sleepWake;
    TrayStatusBar statusBar;
    AppStateFactory factory({clock, scheduler, sleepWake, screens, shell, defaults, log, preferences, hotkeys,
                             keyboardBacklight, qaObserver});
    AppState state(factory);
    AppState::setShared(&state);

    VantrelAppDelegate delegate(state, shell, statusBar, defaults, log);
    VantrelApp application(state, preferences, shell);
    application.showControlCenter();

    const int code = shell.run(delegate);
    defaults.flushAll();

    AppState::setShared(nullptr);
    VantrelDiagnostics::setShared(nullptr);
    QAObserver::setShared(nullptr);
    KeyboardBacklightSignal::setShared(nullptr);
    HotkeyManager::setShared(nullptr);
    VantrelPreferences::setShared(nullptr);
    return code;
}
