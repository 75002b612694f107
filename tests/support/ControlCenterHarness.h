#pragma once

#include "control-center/ControlCenterContext.h"
#include "control-center/SectionNavigation.h"
#include "kit/ThemeImageStore.h"
#include "kit/VantrelMotion.h"
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

    ControlCenterHarness() {
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
                .menuBarScanner = menuBarScanner};
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
