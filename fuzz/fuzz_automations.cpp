// The automation rules as the engine reads them at start-up: any bytes in place of
// "automations.json" give a usable engine (the three default rules when they do not decode, the
// file copied aside, bytes intact); every rule is evaluated, run and put back without a fault; a
// time-of-day rule holds only when its value is a whole decimal number equal to the hour; and the
// rules the engine saves load again unchanged.

#include "core/LocalPersistence.h"
#include "core/VantrelPreferences.h"
#include "modules/AlarmController.h"
#include "modules/FocusTimer.h"
#include "modules/NotificationSignalStore.h"
#include "platform/InMemoryDefaults.h"
#include "platform/PowerSources.h"
#include "services/AutomationEngine.h"
#include "services/AutomationTarget.h"
#include "support/FuzzSupport.h"
#include "support/ManualScheduler.h"
#include "support/RecordingHapticPerformer.h"
#include "support/RecordingRunningApplications.h"
#include "support/RecordingSoundPlayer.h"
#include "support/StoreFolder.h"

#include <QRegularExpression>

using namespace vantrel;

namespace {

class Battery final : public PowerSources {
public:
    std::optional<int> batteryLevel() const override { return 24; }
};

class Target final : public AutomationTarget {
public:
    void showHomeNotch() override {}
    void applySettings() override {}
};

// An engine over the fuzzer's folder and its clock (at 09:00 UTC), with everything else in memory.
struct Engine {
    explicit Engine(fuzz::StoreFolder& folder)
        : clock(folder.clock), engine({.persistence = folder.persistence,
                                       .preferences = preferences,
                                       .focus = focus,
                                       .clock = clock,
                                       .scheduler = scheduler,
                                       .runningApplications = &running,
                                       .power = &battery,
                                       .timeZone = QTimeZone::utc()}) {
        engine.setTarget(&target);
    }

    test::ManualClock& clock;
    test::ManualScheduler scheduler{clock};
    InMemoryDefaults defaults;
    VantrelPreferences preferences{defaults};
    test::RecordingHapticPerformer performer;
    test::RecordingSoundPlayer sounds;
    AlarmController alarm{preferences, performer, sounds, scheduler};
    NotificationSignalStore alerts{preferences, clock};
    FocusTimer focus{defaults, TimerAlarm(alarm, alerts, preferences), clock, scheduler};
    test::RecordingRunningApplications running;
    Battery battery;
    Target target;
    AutomationEngine engine;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString fileName = QString::fromLatin1(AutomationEngine::kFileName);
    fuzz::StoreFolder folder(fileName, data, size);
    const bool decodes =
        folder.persistence.store().load(fileName, &VantrelAutomationRule::decodeList).isLoaded();

    Engine first(folder);
    const std::vector<VantrelAutomationRule> loaded = first.engine.rules();
    if (!decodes) {
        FUZZ_CHECK(loaded.size() == 3);
        FUZZ_CHECK(loaded[0].name == QStringLiteral("Deep work in Xcode"));
    }
    static const QRegularExpression wholeNumber(QStringLiteral("^[+-]?[0-9]+$"));
    for (const VantrelAutomationRule& rule : loaded) {
        if (rule.trigger != AutomationTrigger::timeOfDay || !first.engine.matches(rule)) continue;
        FUZZ_CHECK(wholeNumber.match(rule.triggerValue).hasMatch());
        FUZZ_CHECK(rule.triggerValue.toLongLong() == 9);
    }
    // Every rule switched on, checked, run by hand, and switched off again: each switch saves.
    for (const VantrelAutomationRule& rule : loaded) {
        if (!rule.isEnabled) first.engine.toggle(rule);
    }
    first.engine.evaluate();
    for (const VantrelAutomationRule& rule : loaded) first.engine.perform(rule, false);
    first.engine.revertAllActiveRules();
    for (const VantrelAutomationRule& rule : loaded) {
        if (!rule.isEnabled) first.engine.toggle(rule);
    }
    FUZZ_CHECK(first.engine.rules() == loaded);
    // A damaged file was copied aside before the first save replaced it.
    if (!decodes) FUZZ_CHECK(folder.keptAside(fileName, QStringLiteral("automations.corrupt-")));

    Engine second(folder);
    FUZZ_CHECK(second.engine.rules() == loaded);
    return 0;
}
