#pragma once

#include "control-center/ControlCenterContext.h"
#include "control-center/SectionNavigation.h"
#include "kit/ThemeImageStore.h"
#include "kit/VantrelMotion.h"
#include "services/AutomationTarget.h"
#include "support/FakeSystemAppearance.h"
#include "support/ModuleStores.h"
#include "support/NotchDependencies.h"
#include "support/RecordingComponents.h"
#include "support/RecordingMenuPresenter.h"
#include "support/ScriptedColorPicker.h"
#include "support/ServiceFakes.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonValue>
#include <QPointer>

namespace vantrel::test {

// What the control-center views are drawn with beside the stores: the desktop's appearance as
// the test sets it, motion following it and the artwork drawn by the build.
struct ControlCenterViewServices {
    FakeSystemAppearance appearance{ColorScheme::dark};
    VantrelMotion motion{appearance};
    FakeFileManager themeFiles;
#ifdef VANTREL_BINARY_DIR
    ThemeImageStore themeImages{themeFiles, QStringLiteral(VANTREL_BINARY_DIR)};
#else
    ThemeImageStore themeImages{themeFiles, QString()};
#endif

    RecordingMenuPresenter menus;
    ScriptedColorPicker colorPicker;
};

// The gesture feedback as the trackpad page drives it: every call of the page into the log, then
// what the real engine does. Its pulses go to a performer of their own, apart from the interface
// haptics.
class PageFeedbackEngine final : public Recorded<FeedbackEngine> {
public:
    using Recorded::Recorded;
    void setPreferences(VantrelPreferences* preferences) override {
        log_.add(QStringLiteral("feedback.setPreferences"));
        FeedbackEngine::setPreferences(preferences);
    }
    void start() override {
        log_.add(QStringLiteral("feedback.start"));
        FeedbackEngine::start();
    }
    void stop() override {
        log_.add(QStringLiteral("feedback.stop"));
        FeedbackEngine::stop();
    }
    void preview(std::optional<HapticStyle> style) override {
        log_.add(QStringLiteral("feedback.preview ") + (style ? rawValue(*style) : QStringLiteral("none")));
        FeedbackEngine::preview(style);
    }
};

// The automation rules as the automations page drives them: every check, run and switch into the
// log by the rule's name, then what the real engine does.
class PageAutomationEngine final : public Recorded<AutomationEngine> {
public:
    using Recorded::Recorded;
    void evaluate() override {
        log_.add(QStringLiteral("automations.evaluate"));
        AutomationEngine::evaluate();
    }
    void perform(const VantrelAutomationRule& rule, bool recordForRevert) override {
        log_.add(QStringLiteral("automations.perform %1 %2")
                     .arg(rule.name, recordForRevert ? u"record" : u"norecord"));
        AutomationEngine::perform(rule, recordForRevert);
    }
    void toggle(const VantrelAutomationRule& rule) override {
        log_.add(QStringLiteral("automations.toggle ") + rule.name);
        AutomationEngine::toggle(rule);
    }
};

// What the automations' actions reach: each into the log.
class LoggingAutomationTarget final : public AutomationTarget {
public:
    explicit LoggingAutomationTarget(CallLog& log) : log_(log) {}
    void showHomeNotch() override { log_.add(QStringLiteral("automationTarget.showHomeNotch")); }
    void applySettings() override { log_.add(QStringLiteral("automationTarget.applySettings")); }

private:
    CallLog& log_;
};

// The module stores on recording fakes, the section the window shows and a command palette,
// wired the way the composition root wires them. The call log also shows, in order, the
// interface haptics played through `haptics`, every change of the section, every settings write
// (as "set <key> <stored JSON>") and every application of the settings ("applyPreferences").
struct ControlCenterHarness {
    ServiceFakes h;
    ModuleStores stores{h};
    SectionNavigation sections;
    RecordingCommandPaletteController palette{h.log, h.screens, h.shell};
    RecordingHapticPerformer performer{nullptr, &h.log};
    VantrelHaptics haptics{h.preferences, performer, h.scheduler};
    ControlCenterViewServices views;
    FakeSystemAppearance& appearance = views.appearance;
    // The control-center window as the application registers it: the palette opens on its screen.
    QPointer<QWidget> window;
    // The notch panel on the harness's notched screen; its show and expand calls, and the
    // context's reposition calls, go into the log.
    RecordingNotchPanelController notch{h.log, notchDependencies(h, [] {}), stores.notchSurface()};
    // The menu-bar organizer on the simulated menu bar, its calls in the log, and the item index
    // the page hands it.
    MenuBarScanner menuBarScanner{h.permissionSystem, h.screens, h.clock, &h.menuBar};
    RecordingMenuBarAppearanceController menuBarAppearance{
        h.log, MenuBarAppearanceController::Dependencies{.statusBar = &h.menuBar,
                                                         .defaults = h.defaults,
                                                         .screens = h.screens,
                                                         .scheduler = h.scheduler,
                                                         .haptics = &haptics}};
    // The trackpad page's engine, its pulses counted apart, and the automations page's engine.
    RecordingHapticPerformer feedbackPulses{&h.clock};
    PageFeedbackEngine feedback{h.log, FeedbackEngine::Dependencies{.monitors = h.eventMonitors,
                                                                    .performer = feedbackPulses,
                                                                    .clock = h.clock,
                                                                    .scheduler = h.scheduler,
                                                                    .qaObserver = h.qaObserver}};
    LoggingAutomationTarget automationTarget{h.log};
    PageAutomationEngine automations{h.log, AutomationEngine::Dependencies{.persistence = h.persistence,
                                                                           .preferences = h.preferences,
                                                                           .focus = stores.focus,
                                                                           .clock = h.clock,
                                                                           .scheduler = h.scheduler,
                                                                           .timeZone = QTimeZone::utc()}};

    ControlCenterHarness() {
        automations.setTarget(&automationTarget);
        // As the application state links it at start; not a call of a page, so not in the log.
        feedback.FeedbackEngine::setPreferences(&h.preferences);
        QObject::connect(&sections, &SectionNavigation::changed, &sections, [this](VantrelSection section) {
            h.log.add(QStringLiteral("selectedSection ") + rawValue(section));
        });
        QObject::connect(
            &h.preferences, &VantrelPreferences::changed, &sections,
            [this](VantrelPreferences::Setting setting) {
                const QJsonValue value = h.preferences.storedValue(setting);
                const QString text = value.isBool()
                                         ? (value.toBool() ? QStringLiteral("true") : QStringLiteral("false"))
                                         : value.toVariant().toString();
                h.log.add(QStringLiteral("set %1 %2").arg(VantrelPreferences::key(setting), text));
            });
    }

    HomePageContext homeContext() {
        return {
            .preferences = h.preferences,
            .motion = views.motion,
            .haptics = haptics,
            .appearance = views.appearance,
            .clock = h.clock,
            .focus = stores.focus,
            .stopwatch = stores.stopwatch,
            .clipboard = stores.clipboard,
            .shelf = stores.fileShelf,
            .notes = stores.notes,
            .permissions = stores.permissions,
            .keyboardCleaning = stores.keyboardCleaning,
            .openPanel = h.openPanel,
            .menus = views.menus,
            .files = h.files,
            .selectSection = [this](VantrelSection section) { sections.select(section); },
            .showCommandPalette =
                [this] {
                    std::optional<ScreenInfo> screen;
                    if (window) screen = h.screens.screenOf(*window);
                    palette.show(nullptr, screen);
                },
        };
    }
    ControlCenterContext context() {
        return {.preferences = h.preferences,
                .motion = views.motion,
                .haptics = haptics,
                .appearance = views.appearance,
                .themeImages = views.themeImages,
                .scheduler = h.scheduler,
                .sections = sections,
                .permissions = stores.permissions,
                .calendar = stores.calendar,
                .keyboardCleaning = stores.keyboardCleaning,
                .menus = views.menus,
                .applyPreferences = [this] { h.log.add(QStringLiteral("applyPreferences")); },
                .home = homeContext(),
                .colorPicker = views.colorPicker,
                .notch = notch,
                .repositionNotch =
                    [this](bool animated) {
                        h.log.add(animated ? QStringLiteral("notch.reposition animated")
                                           : QStringLiteral("notch.reposition still"));
                        if (notch.hasPanel()) notch.reposition(animated);
                    },
                .showNotch =
                    [this](NotchTab tab, bool takeFocus) {
                        h.log.add(QStringLiteral("showNotch %1 %2")
                                      .arg(rawValue(tab), takeFocus ? u"focus" : u"nofocus"));
                    },
                .alerts = h.alerts,
                .alarm = h.alarm,
                .menuBarAppearance = menuBarAppearance,
                .menuBarScanner = menuBarScanner,
                .feedback = feedback,
                .automations = automations};
    }
    // Motion hears of the desktop's wish one turn later; the turn is taken here.
    void setReduceMotion(bool on) {
        appearance.setReduceMotion(on);
        QCoreApplication::sendPostedEvents();
    }
    QStringList callsSince(qsizetype from) const { return h.log.entries.mid(from); }
    qsizetype mark() const { return h.log.entries.size(); }
};

} // namespace vantrel::test
