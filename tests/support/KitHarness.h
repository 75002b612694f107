#pragma once

#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "support/CallLog.h"
#include "support/FakeSystemAppearance.h"
#include "support/ManualScheduler.h"
#include "support/RecordingHapticPerformer.h"
#include "support/RecordingMenuPresenter.h"
#include "support/RecordingUserDefaults.h"

namespace vantrel::test {

// The services the kit's views are built from, with one ordered log of the haptics played, the
// menus opened and the settings assigned ("set <key>").
struct KitHarness {
    CallLog log;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingUserDefaults defaults;
    VantrelPreferences preferences{defaults};
    RecordingHapticPerformer performer{&clock, &log};
    VantrelHaptics haptics{preferences, performer, scheduler};
    RecordingMenuPresenter menus{&log};
    FakeSystemAppearance appearance{ColorScheme::dark};

    KitHarness() {
        QObject::connect(&preferences, &VantrelPreferences::changed, &preferences,
                         [this](VantrelPreferences::Setting setting) {
                             log.add(QStringLiteral("set ") + VantrelPreferences::key(setting));
                         });
    }
};

} // namespace vantrel::test
