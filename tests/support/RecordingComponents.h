#pragma once

// Recording fakes of the components the composition root owns, all writing to one CallLog. Each
// fake records the call and then does what the real one does.

#include "core/CapabilityCenter.h"
#include "core/LocalPersistence.h"
#include "core/PermissionCenter.h"
#include "core/QAObserver.h"
#include "core/VantrelDiagnostics.h"
#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "dock/CustomDockController.h"
#include "dock/DockContentStore.h"
#include "dock/DockSettingsStore.h"
#include "kit/VantrelMotion.h"
#include "modules/AlarmController.h"
#include "modules/MediaController.h"
#include "modules/NotificationSignalStore.h"
#include "notch/DisplayCoordinator.h"
#include "notch/NotchPanelController.h"
#include "platform/InMemoryDefaults.h"
#include "services/AutomationEngine.h"
#include "services/CommandPaletteController.h"
#include "services/FeedbackEngine.h"
#include "services/HotkeyManager.h"
#include "services/KeyboardBacklightSignal.h"
#include "services/KeyboardCleaningController.h"
#include "services/MenuBarAppearanceController.h"
#include "services/MenuBarScanner.h"
#include "support/CallLog.h"

namespace vantrel::test {

// A recording fake built on `Base`: the first constructor argument is the call log, the rest go
// to `Base`. Each override records its call and then does what the real one does.
template <typename Base> class Recorded : public Base {
public:
    template <typename... Args>
    explicit Recorded(CallLog& log, Args&&... args) : Base(std::forward<Args>(args)...), log_(log) {}

protected:
    CallLog& log_;
};

class RecordingIndicator final : public Recorded<NotificationIndicatorPanelController> {
public:
    using Recorded::Recorded;
    void orderOutPanel() override {
        log_.add(QStringLiteral("indicator.orderOut"));
        NotificationIndicatorPanelController::orderOutPanel();
    }
    void releasePanel() override {
        log_.add(QStringLiteral("indicator.release"));
        NotificationIndicatorPanelController::releasePanel();
    }
};

class RecordingNotchPanelController final : public Recorded<NotchPanelController> {
public:
    RecordingNotchPanelController(CallLog& log, const Dependencies& dependencies,
                                  const NotchSurfaceContext& surface)
        : Recorded(log, dependencies, surface) {
        setNotificationIndicator(new RecordingIndicator(log, dependencies.indicator));
    }
    void show() override {
        log_.add(QStringLiteral("notch.show"));
        NotchPanelController::show();
    }
    void hide() override {
        log_.add(QStringLiteral("notch.hide"));
        NotchPanelController::hide();
    }
    void expand(std::optional<NotchTab> tab, bool takeFocus) override {
        log_.add(QStringLiteral("notch.expand %1 %2")
                     .arg(tab ? rawValue(*tab) : QStringLiteral("none"), takeFocus ? u"focus" : u"nofocus"));
        NotchPanelController::expand(tab, takeFocus);
    }
};

class RecordingCustomDockController final : public Recorded<CustomDockController> {
public:
    using Recorded::Recorded;
    void hide(bool restoreSynchronously) override {
        log_.add(QStringLiteral("dock.hide %1").arg(restoreSynchronously ? u"sync" : u"async"));
        CustomDockController::hide(restoreSynchronously);
    }
    void setRevealed(bool revealed, bool animated) override {
        log_.add(QStringLiteral("dock.setRevealed %1").arg(revealed ? u"true" : u"false"));
        CustomDockController::setRevealed(revealed, animated);
    }
    void synchronizeSystemDock() override {
        log_.add(QStringLiteral("dock.synchronize"));
        CustomDockController::synchronizeSystemDock();
    }
};

class RecordingFeedbackEngine final : public Recorded<FeedbackEngine> {
public:
    using Recorded::Recorded;
    void start() override {
        log_.add(QStringLiteral("feedback.start"));
        FeedbackEngine::start();
    }
    void stop() override {
        log_.add(QStringLiteral("feedback.stop"));
        FeedbackEngine::stop();
    }
};

class RecordingKeyboardBacklightSignal final : public Recorded<KeyboardBacklightSignal> {
public:
    explicit RecordingKeyboardBacklightSignal(CallLog& log)
        : Recorded(log, [this] { return inputMonitoringAllowed; }) {}
    RecordingKeyboardBacklightSignal(CallLog& log, Discovery discovery)
        : Recorded(
              log, [this] { return inputMonitoringAllowed; }, std::move(discovery)) {}
    void start(std::function<void()> completion) override {
        log_.add(QStringLiteral("keyboard.start"));
        KeyboardBacklightSignal::start(std::move(completion));
    }
    void stop() override {
        log_.add(QStringLiteral("keyboard.stop"));
        KeyboardBacklightSignal::stop();
    }
    bool inputMonitoringAllowed = false;
};

class RecordingKeyboardCleaningController final : public Recorded<KeyboardCleaningController> {
public:
    using Recorded::Recorded;
    void start() override {
        log_.add(QStringLiteral("cleaning.start"));
        KeyboardCleaningController::start();
    }
    // A session as the keyboard guard would begin it.
    void activate() { beginSession(0, kSessionSeconds); }
    void stop(StopReason reason) override {
        log_.add(reason == StopReason::appStopping ? QStringLiteral("cleaning.stop appStopping")
                                                   : QStringLiteral("cleaning.stop"));
        KeyboardCleaningController::stop(reason);
    }
};

class RecordingMenuBarAppearanceController final : public Recorded<MenuBarAppearanceController> {
public:
    using Recorded::Recorded;
    void apply(VantrelPreferences& preferences, MenuBarScanner& scanner) override {
        log_.add(QStringLiteral("menuBar.apply"));
        MenuBarAppearanceController::apply(preferences, scanner);
    }
    void toggleHiddenItems(VantrelPreferences* preferences, MenuBarScanner* scanner) override {
        log_.add(QStringLiteral("menuBar.toggleHiddenItems"));
        MenuBarAppearanceController::toggleHiddenItems(preferences, scanner);
    }
    void beginSetup(VantrelPreferences& preferences, MenuBarScanner& scanner,
                    MenuBarSectionKind kind) override {
        log_.add(kind == MenuBarSectionKind::hidden ? QStringLiteral("menuBar.beginSetup hidden")
                                                    : QStringLiteral("menuBar.beginSetup alwaysHidden"));
        MenuBarAppearanceController::beginSetup(preferences, scanner, kind);
    }
    void applySetupExit(SetupExitOutcome outcome, VantrelPreferences& preferences) override {
        const auto flag = [](bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); };
        log_.add(QStringLiteral("menuBar.applySetupExit %1 %2 %3")
                     .arg(flag(outcome.maskEnabled), flag(outcome.setupComplete), flag(outcome.revealItems)));
        MenuBarAppearanceController::applySetupExit(outcome, preferences);
    }
    void hideTint() override {
        log_.add(QStringLiteral("menuBar.hideTint"));
        MenuBarAppearanceController::hideTint();
    }
    void disableItemHiding() override {
        log_.add(QStringLiteral("menuBar.disableItemHiding"));
        MenuBarAppearanceController::disableItemHiding();
    }
};

class RecordingAutomationEngine final : public Recorded<AutomationEngine> {
public:
    using Recorded::Recorded;
    void invalidateTimer() override {
        log_.add(QStringLiteral("automations.invalidateTimer"));
        AutomationEngine::invalidateTimer();
    }
    void revertAllActiveRules() override {
        log_.add(QStringLiteral("automations.revertAllActiveRules"));
        AutomationEngine::revertAllActiveRules();
    }
};

class RecordingCommandPaletteController final : public Recorded<CommandPaletteController> {
public:
    using Recorded::Recorded;
    void uninstall() override {
        log_.add(QStringLiteral("palette.uninstall"));
        CommandPaletteController::uninstall();
    }
    void show(CommandPaletteCommands* commands, std::optional<ScreenInfo> screen) override {
        log_.add(QStringLiteral("palette.show %1").arg(screen ? screen->name : QStringLiteral("none")));
        CommandPaletteController::show(commands, std::move(screen));
    }
};

class RecordingHotkeyManager final : public Recorded<HotkeyManager> {
public:
    using Recorded::Recorded;
    void installEventHandler() override {
        log_.add(QStringLiteral("hotkeys.installEventHandler"));
        HotkeyManager::installEventHandler();
    }
    void registerHotkey(HotkeyAction action, std::function<void()> perform) override {
        log_.add(QStringLiteral("hotkeys.register ") + rawValue(action));
        performs[action] = perform;
        HotkeyManager::registerHotkey(action, std::move(perform));
    }
    void unregisterAll() override {
        log_.add(QStringLiteral("hotkeys.unregisterAll"));
        HotkeyManager::unregisterAll();
    }
    // What a press of each registered key would run.
    std::map<HotkeyAction, std::function<void()>> performs;
};

} // namespace vantrel::test
