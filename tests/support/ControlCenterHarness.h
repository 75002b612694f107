#pragma once

#include "app/AppState.h"
#include "app/HomePageWiring.h"
#include "control-center/ControlCenterContext.h"
#include "kit/ThemeImageStore.h"
#include "kit/VantrelMotion.h"
#include "support/FakeSystemAppearance.h"
#include "support/RecordingAppComponents.h"
#include "support/RecordingMenuPresenter.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonValue>

namespace vantrel::test {

// What the control-center views are drawn with beside the application state: the desktop's
// appearance as the test sets it, motion following it and the artwork drawn by the build.
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

    ControlCenterContext context(AppStateHarness& h, AppState& state, VantrelHaptics& haptics) {
        return {state,
                h.preferences,
                motion,
                haptics,
                appearance,
                themeImages,
                h.scheduler,
                HomePageWiring::make(state, {.motion = motion,
                                             .haptics = haptics,
                                             .appearance = appearance,
                                             .clock = h.clock,
                                             .openPanel = h.openPanel,
                                             .menus = menus,
                                             .files = h.files})};
    }
};

// An AppState on recording fakes whose call log also shows, in order, the interface haptics
// played through `haptics`, every write of `selectedSection` and every settings write (as
// "set <key> <stored JSON>"). It also holds what the control-center views are built from.
struct ControlCenterHarness {
    AppStateHarness h;
    AppState state{h.factory};
    RecordingHapticPerformer performer{nullptr, &h.log};
    VantrelHaptics haptics{h.preferences, performer, h.scheduler};
    ControlCenterViewServices views;
    FakeSystemAppearance& appearance = views.appearance;

    ControlCenterHarness() {
        QObject::connect(&state, &AppState::selectedSectionChanged, &state, [this](VantrelSection section) {
            h.log.add(QStringLiteral("selectedSection ") + rawValue(section));
        });
        QObject::connect(
            &h.preferences, &VantrelPreferences::changed, &state,
            [this](VantrelPreferences::Setting setting) {
                const QJsonValue value = h.preferences.storedValue(setting);
                const QString text = value.isBool()
                                         ? (value.toBool() ? QStringLiteral("true") : QStringLiteral("false"))
                                         : value.toVariant().toString();
                h.log.add(QStringLiteral("set %1 %2").arg(VantrelPreferences::key(setting), text));
            });
    }
    ControlCenterContext context() { return views.context(h, state, haptics); }
    // Motion hears of the desktop's wish one turn later; the turn is taken here.
    void setReduceMotion(bool on) {
        appearance.setReduceMotion(on);
        QCoreApplication::sendPostedEvents();
    }
    QStringList callsSince(qsizetype from) const { return h.log.entries.mid(from); }
    qsizetype mark() const { return h.log.entries.size(); }
};

} // namespace vantrel::test
