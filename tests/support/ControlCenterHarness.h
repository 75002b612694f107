#pragma once

#include "app/AppState.h"
#include "support/RecordingAppComponents.h"

#include <QJsonDocument>
#include <QJsonValue>

namespace vantrel::test {

// An AppState on recording fakes whose call log also shows, in order, the interface haptics
// played through `haptics`, every write of `selectedSection` and every settings write (as
// "set <key> <stored JSON>").
struct ControlCenterHarness {
    AppStateHarness h;
    AppState state{h.factory};
    RecordingHapticPerformer performer{nullptr, &h.log};
    VantrelHaptics haptics{h.preferences, performer, h.scheduler};

    ControlCenterHarness() {
        QObject::connect(&state, &AppState::selectedSectionChanged, &state, [this](VantrelSection section) {
            h.log.add(QStringLiteral("selectedSection ") + rawValue(section));
        });
        QObject::connect(&h.preferences, &VantrelPreferences::changed, &state,
                         [this](VantrelPreferences::Setting setting) {
                             const QJsonValue value = h.preferences.storedValue(setting);
                             const QString text =
                                 value.isBool() ? (value.toBool() ? QStringLiteral("true") : QStringLiteral("false"))
                                                : value.toVariant().toString();
                             h.log.add(QStringLiteral("set %1 %2").arg(VantrelPreferences::key(setting), text));
                         });
    }
    QStringList callsSince(qsizetype from) const { return h.log.entries.mid(from); }
    qsizetype mark() const { return h.log.entries.size(); }
};

} // namespace vantrel::test
