#include "core/VantrelPreferences.h"
#include "modules/FocusTimer.h"
#include "platform/PowerSources.h"
#include "services/AutomationEngine.h"
#include "services/AutomationTarget.h"
#include "support/ModuleStores.h"
#include "support/ServiceFakes.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

class FakePower final : public PowerSources {
public:
    std::optional<int> batteryLevel() const override {
        ++reads;
        return level;
    }
    std::optional<int> level;
    mutable int reads = 0;
};

class RecordingTarget final : public AutomationTarget {
public:
    explicit RecordingTarget(CallLog& log) : log_(log) {}
    void showHomeNotch() override { log_.add(QStringLiteral("showHomeNotch")); }
    void applySettings() override { log_.add(QStringLiteral("applySettings")); }

private:
    CallLog& log_;
};

struct AutomationFixture : ::testing::Test {
    ServiceFakes h;
    ModuleStores stores{h};
    FakePower power;
    RecordingTarget target{h.log};

    std::unique_ptr<AutomationEngine> makeEngine(bool linked = true) {
        auto engine = std::make_unique<AutomationEngine>(
            AutomationEngine::Dependencies{.persistence = h.persistence,
                                           .preferences = h.preferences,
                                           .focus = stores.focus,
                                           .clock = h.clock,
                                           .scheduler = h.scheduler,
                                           .runningApplications = &h.runningApplications,
                                           .power = &power,
                                           .timeZone = QTimeZone::utc()});
        if (linked) engine->setTarget(&target);
        return engine;
    }
    QString file() const { return h.persistence.directory() + QStringLiteral("/automations.json"); }
    void writeRules(const QByteArray& json) {
        QDir().mkpath(h.persistence.directory());
        QFile out(file());
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(json);
    }
    // One enabled rule, stored and loaded.
    std::unique_ptr<AutomationEngine> engineWith(const QString& trigger, const QString& value,
                                                 const QString& action) {
        writeRules(
            QStringLiteral(R"([{"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","name":"Rule","trigger":"%1",)"
                           R"("triggerValue":"%2","action":"%3","isEnabled":true}])")
                .arg(trigger, value, action)
                .toUtf8());
        auto engine = makeEngine();
        EXPECT_EQ(engine->rules().size(), 1u);
        return engine;
    }
    void front(const QString& name, const QString& id) {
        RunningApplication app;
        app.processIdentifier = 42;
        app.localizedName = name;
        app.bundleIdentifier = id;
        h.runningApplications.applications = {app};
        h.runningApplications.frontmost = 42;
    }
    // 2026-01-05 at the given UTC time.
    void at(int hour, int minute) {
        h.clock.setWallTime(WallTime(std::chrono::seconds(1767571200 + hour * 3600 + minute * 60)));
    }
};

} // namespace

TEST_F(AutomationFixture, AFirstRunHasThreeDisabledRulesAndWritesOnlyOnTheFirstChange) {
    auto engine = makeEngine();
    ASSERT_EQ(engine->rules().size(), 3u);
    EXPECT_EQ(engine->rules()[0].name, QStringLiteral("Deep work in Xcode"));
    EXPECT_EQ(engine->rules()[1].name, QStringLiteral("Gentle battery mode"));
    EXPECT_EQ(engine->rules()[2].name, QStringLiteral("Morning overview"));
    EXPECT_EQ(engine->rules()[1].triggerValue, QStringLiteral("25"));
    EXPECT_EQ(engine->rules()[2].triggerValue, QStringLiteral("09"));
    for (const VantrelAutomationRule& rule : engine->rules()) EXPECT_FALSE(rule.isEnabled);
    EXPECT_EQ(engine->lastAction(), QStringLiteral("No automation has run yet"));
    engine->evaluate();
    EXPECT_FALSE(QFile::exists(file()));

    engine->toggle(engine->rules()[2]);
    QFile stored(file());
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    const QByteArray json = stored.readAll();
    const QJsonArray list = QJsonDocument::fromJson(json).array();
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list[2].toObject().keys().size(), 6);
    EXPECT_TRUE(list[2].toObject()[QStringLiteral("isEnabled")].toBool());
    EXPECT_EQ(list[2].toObject()[QStringLiteral("action")].toString(), QStringLiteral("showNotch"));
    EXPECT_EQ(list[0].toObject()[QStringLiteral("name")].toString(), QStringLiteral("Deep work in Xcode"));
    EXPECT_EQ(list[0].toObject()[QStringLiteral("trigger")].toString(), QStringLiteral("appActive"));
    EXPECT_EQ(list[0].toObject()[QStringLiteral("triggerValue")].toString(), QStringLiteral("Xcode"));
    EXPECT_FALSE(json.contains('\n')) << "compact";
    EXPECT_EQ(makeEngine()->rules(), engine->rules()) << "read back as written";
}

TEST_F(AutomationFixture, AnAppRuleStartsFocusOnceOnEntryAndPausesItOnLeaving) {
    auto engine = engineWith("appActive", "xcode", "startFocus");
    front(QStringLiteral("Xcode"), QStringLiteral("com.apple.dt.Xcode.desktop"));
    engine->evaluate();
    EXPECT_TRUE(stores.focus.isRunning());
    EXPECT_TRUE(engine->lastAction().startsWith(QStringLiteral("Rule ran at ")));
    EXPECT_TRUE(engine->lastAction().contains(QStringLiteral("9:00"))) << engine->lastAction().toStdString();
    ASSERT_TRUE(engine->lastCheckedAt().has_value());
    EXPECT_EQ(*engine->lastCheckedAt(), h.clock.now());
    // Later checks while it holds do nothing.
    stores.focus.pause();
    engine->evaluate();
    EXPECT_FALSE(stores.focus.isRunning());
    stores.focus.start();

    // By desktop-file id too.
    front(QStringLiteral("Editor"), QStringLiteral("org.example.XCODE.desktop"));
    engine->evaluate();
    EXPECT_TRUE(stores.focus.isRunning());

    front(QStringLiteral("Terminal"), QStringLiteral("org.gnome.Terminal.desktop"));
    h.clock.advance(Seconds(60));
    engine->evaluate();
    EXPECT_FALSE(stores.focus.isRunning());
    EXPECT_TRUE(engine->lastAction().startsWith(QStringLiteral("Rule ended at ")));
    EXPECT_EQ(h.log.entries.filter(QStringLiteral("applySettings")).size(), 1);

    // Entered while the timer already ran: nothing starts, nothing is paused, nothing said.
    stores.focus.start();
    front(QStringLiteral("Xcode"), QString());
    engine->evaluate();
    const QString said = engine->lastAction();
    h.runningApplications.frontmost.reset();
    engine->evaluate();
    EXPECT_TRUE(stores.focus.isRunning());
    EXPECT_TRUE(said.contains(QStringLiteral(" ran at ")));
    EXPECT_EQ(engine->lastAction(), said);
}

TEST_F(AutomationFixture, SettingsArePutBackOnlyWhereTheyDiffer) {
    // Feedback already on: leaving changes nothing and the "ran at" text stays.
    h.preferences.setFeedbackEnabled(true);
    auto feedback = engineWith("batteryBelow", "25", "enableFeedback");
    power.level = 24;
    feedback->evaluate();
    EXPECT_TRUE(h.preferences.feedbackEnabled());
    power.level = 80;
    feedback->evaluate();
    EXPECT_TRUE(h.preferences.feedbackEnabled());
    EXPECT_TRUE(feedback->lastAction().contains(QStringLiteral(" ran at ")));

    // Feedback off: switched on, then back off.
    h.preferences.setFeedbackEnabled(false);
    power.level = 10;
    feedback->evaluate();
    EXPECT_TRUE(h.preferences.feedbackEnabled());
    power.level = std::nullopt;
    feedback->evaluate();
    EXPECT_FALSE(h.preferences.feedbackEnabled());
    EXPECT_TRUE(feedback->lastAction().contains(QStringLiteral(" ended at ")));

    // The Dock hidden on entry; the user switched it off meanwhile; on leaving it comes back.
    h.preferences.setCustomDockEnabled(true);
    auto dock = engineWith("timeOfDay", "9", "hideCustomDock");
    at(9, 30);
    dock->evaluate();
    EXPECT_FALSE(h.preferences.customDockEnabled());
    at(10, 0);
    dock->evaluate();
    EXPECT_TRUE(h.preferences.customDockEnabled());
    EXPECT_TRUE(dock->lastAction().contains(QStringLiteral(" ended at ")))
        << dock->lastAction().toStdString();
}

TEST_F(AutomationFixture, TriggerValuesReadAsWholeNumbers) {
    const auto holds = [this](const QString& trigger, const QString& value) {
        VantrelAutomationRule rule{
            QUuid::createUuid(),         "r", *fromRawValue<AutomationTrigger>(trigger), value,
            AutomationAction::showNotch, true};
        return makeEngine()->matches(rule);
    };
    power.level = 25;
    EXPECT_FALSE(holds("batteryBelow", "25"));
    power.level = 24;
    EXPECT_TRUE(holds("batteryBelow", "25"));
    EXPECT_TRUE(holds("batteryBelow", "+25"));
    EXPECT_FALSE(holds("batteryBelow", "25%"));
    EXPECT_FALSE(holds("batteryBelow", ""));
    power.level.reset();
    EXPECT_FALSE(holds("batteryBelow", "100")) << "no battery, no match";

    for (const auto& [hour, minute] : {std::pair{9, 0}, std::pair{9, 59}}) {
        at(hour, minute);
        EXPECT_TRUE(holds("timeOfDay", "9"));
        EXPECT_TRUE(holds("timeOfDay", "09"));
        EXPECT_FALSE(holds("timeOfDay", "9 "));
        EXPECT_FALSE(holds("timeOfDay", "10"));
    }
    at(10, 0);
    EXPECT_FALSE(holds("timeOfDay", "9"));
    at(0, 5);
    EXPECT_TRUE(holds("timeOfDay", "-0"));

    // No frontmost application: nothing matches, not even an empty value.
    h.runningApplications.frontmost.reset();
    EXPECT_FALSE(holds("appActive", "a"));
    front(QStringLiteral("Files"), QString());
    EXPECT_FALSE(holds("appActive", ""));
    EXPECT_TRUE(holds("appActive", "fIL"));
}

TEST_F(AutomationFixture, EachCheckReadsTheDesktopAndTheBatteryOnceForAllItsRules) {
    std::vector<VantrelAutomationRule> rules;
    for (int i = 0; i < 20000; ++i)
        rules.push_back({QUuid::createUuid(), QStringLiteral("App %1").arg(i), AutomationTrigger::appActive,
                         i % 2 == 0 ? QStringLiteral("xcode") : QStringLiteral("mail"),
                         AutomationAction::showNotch, true});
    for (const char* below : {"25", "50", "75"})
        rules.push_back({QUuid::createUuid(), "Battery", AutomationTrigger::batteryBelow, below,
                         AutomationAction::showNotch, true});
    for (const char* hour : {"9", "10"})
        rules.push_back({QUuid::createUuid(), "Hour", AutomationTrigger::timeOfDay, hour,
                         AutomationAction::showNotch, true});
    auto engine = makeEngine();
    engine->setRules(rules);
    front(QStringLiteral("Xcode"), QStringLiteral("com.apple.dt.Xcode.desktop"));
    power.level = 40;
    at(9, 15);

    engine->evaluate();
    EXPECT_EQ(h.runningApplications.frontmostReads, 1);
    EXPECT_EQ(h.runningApplications.listReads, 1);
    EXPECT_EQ(power.reads, 1);
    // Every rule still judged on its own: the 10,000 Xcode rules, two battery levels, one hour.
    EXPECT_EQ(h.log.entries.filter(QStringLiteral("showHomeNotch")).size(), 10003);
    EXPECT_TRUE(engine->isActive(engine->rules()[0].id));
    EXPECT_FALSE(engine->isActive(engine->rules()[1].id));
    EXPECT_FALSE(engine->isActive(engine->rules()[20000].id));
    EXPECT_TRUE(engine->isActive(engine->rules()[20001].id));
    EXPECT_TRUE(engine->isActive(engine->rules()[20003].id));
    EXPECT_FALSE(engine->isActive(engine->rules()[20004].id));

    // The next check reads afresh, once: Mail has come to the front.
    front(QStringLiteral("Mail"), QStringLiteral("org.gnome.Evolution.desktop"));
    engine->evaluate();
    EXPECT_EQ(h.runningApplications.frontmostReads, 2);
    EXPECT_EQ(h.runningApplications.listReads, 2);
    EXPECT_EQ(power.reads, 2);
    EXPECT_FALSE(engine->isActive(engine->rules()[0].id));
    EXPECT_TRUE(engine->isActive(engine->rules()[1].id));

    // With nothing at the front, the list is not read at all.
    h.runningApplications.frontmost.reset();
    engine->evaluate();
    EXPECT_EQ(h.runningApplications.frontmostReads, 3);
    EXPECT_EQ(h.runningApplications.listReads, 2);
    EXPECT_FALSE(engine->isActive(engine->rules()[1].id));
}

TEST_F(AutomationFixture, SwitchingOffRevertsAtOnceAndSwitchingOnWaitsForTheNextCheck) {
    auto engine = engineWith("timeOfDay", "9", "showNotch");
    engine->evaluate();
    EXPECT_EQ(h.log.entries.filter(QStringLiteral("showHomeNotch")).size(), 1);
    engine->evaluate();
    EXPECT_EQ(h.log.entries.filter(QStringLiteral("showHomeNotch")).size(), 1) << "once per entry";
    EXPECT_TRUE(engine->isActive(engine->rules()[0].id));

    engine->toggle(engine->rules()[0]);
    EXPECT_FALSE(engine->rules()[0].isEnabled);
    EXPECT_FALSE(engine->isActive(engine->rules()[0].id));
    engine->toggle(engine->rules()[0]);
    EXPECT_EQ(h.log.entries.filter(QStringLiteral("showHomeNotch")).size(), 1);
    engine->evaluate();
    EXPECT_EQ(h.log.entries.filter(QStringLiteral("showHomeNotch")).size(), 2);

    // Run by hand: nothing recorded, nothing to put back.
    h.preferences.setFeedbackEnabled(false);
    VantrelAutomationRule manual{QUuid::createUuid(),
                                 "Manual",
                                 AutomationTrigger::timeOfDay,
                                 "3",
                                 AutomationAction::enableFeedback,
                                 true};
    engine->perform(manual, false);
    EXPECT_TRUE(h.preferences.feedbackEnabled());
    engine->revert(manual);
    EXPECT_TRUE(h.preferences.feedbackEnabled());
}

TEST_F(AutomationFixture, WithoutTheStateNothingRunsButTheChecksGoOn) {
    writeRules(R"([{"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","name":"Rule","trigger":"timeOfDay",)"
               R"("triggerValue":"9","action":"hideCustomDock","isEnabled":true}])");
    h.preferences.setCustomDockEnabled(true);
    auto engine = makeEngine(false);
    engine->evaluate();
    EXPECT_TRUE(h.preferences.customDockEnabled());
    EXPECT_TRUE(engine->isActive(engine->rules()[0].id));
    EXPECT_EQ(engine->lastAction(), QStringLiteral("No automation has run yet"));
    EXPECT_TRUE(engine->lastCheckedAt().has_value());
}

TEST_F(AutomationFixture, ActiveRulesAreRevertedTogetherAtStop) {
    writeRules(R"([{"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","name":"Dock","trigger":"timeOfDay",)"
               R"("triggerValue":"9","action":"hideCustomDock","isEnabled":true},)"
               R"({"id":"7F9619FF-8B86-D011-B42D-00C04FC964FF","name":"Feel","trigger":"timeOfDay",)"
               R"("triggerValue":"9","action":"enableFeedback","isEnabled":true}])");
    h.preferences.setCustomDockEnabled(true);
    auto engine = makeEngine();
    engine->evaluate();
    EXPECT_FALSE(h.preferences.customDockEnabled());
    EXPECT_TRUE(h.preferences.feedbackEnabled());
    engine->revertAllActiveRules();
    EXPECT_TRUE(h.preferences.customDockEnabled());
    EXPECT_FALSE(h.preferences.feedbackEnabled());
    EXPECT_TRUE(engine->lastAction().startsWith(QStringLiteral("Feel ended at ")))
        << "in the order of the rules";
    EXPECT_FALSE(engine->isActive(engine->rules()[0].id));
    // Entered again at the next check.
    engine->evaluate();
    EXPECT_FALSE(h.preferences.customDockEnabled());
}

TEST_F(AutomationFixture, ADamagedFileIsSetAsideAndTheDefaultsReplaceIt) {
    const QByteArray damaged =
        R"([{"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","name":"Rule","trigger":"timeOfDay",)"
        R"("triggerValue":"9","action":"dance","isEnabled":true}])";
    writeRules(damaged);
    auto engine = makeEngine();
    ASSERT_EQ(engine->rules().size(), 3u);
    EXPECT_EQ(engine->rules()[0].name, QStringLiteral("Deep work in Xcode"));
    engine->toggle(engine->rules()[0]);
    const QStringList copies =
        QDir(h.persistence.directory()).entryList({QStringLiteral("automations.corrupt-*.json")});
    ASSERT_EQ(copies.size(), 1);
    QFile copy(h.persistence.directory() + QLatin1Char('/') + copies[0]);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), damaged);
    EXPECT_EQ(makeEngine()->rules(), engine->rules());

    // A rule lacking a member spoils the file the same way.
    writeRules(R"([{"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","name":"Rule","trigger":"timeOfDay",)"
               R"("action":"showNotch","isEnabled":true}])");
    EXPECT_EQ(makeEngine()->rules().size(), 3u);
}

TEST_F(AutomationFixture, TheTimerChecksEveryFourSecondsUntilInvalidated) {
    auto engine = engineWith("timeOfDay", "9", "showNotch");
    engine->startTimer();
    EXPECT_TRUE(engine->hasTimer());
    h.scheduler.advance(Seconds(3.9));
    EXPECT_FALSE(engine->lastCheckedAt().has_value());
    h.scheduler.advance(Seconds(0.1));
    EXPECT_EQ(h.log.entries.filter(QStringLiteral("showHomeNotch")).size(), 1);
    const WallTime first = *engine->lastCheckedAt();
    h.scheduler.advance(Seconds(4));
    EXPECT_EQ(*engine->lastCheckedAt(), addSeconds(first, Seconds(4)));
    engine->invalidateTimer();
    EXPECT_FALSE(engine->hasTimer());
    h.scheduler.advance(Seconds(8));
    EXPECT_EQ(*engine->lastCheckedAt(), addSeconds(first, Seconds(4)));
}

TEST_F(AutomationFixture, WithEveryRuleOffTheTimerSleepsUntilOneIsSwitchedOn) {
    // The three default rules are all off: nothing to check, so nothing wakes the machine.
    auto engine = makeEngine();
    engine->startTimer();
    EXPECT_FALSE(engine->hasTimer());
    h.scheduler.advance(Seconds(12));
    EXPECT_FALSE(engine->lastCheckedAt().has_value());

    // Switched on, the rule is first checked four seconds later, then every four seconds.
    const WallTime switchedOn = h.clock.now();
    engine->toggle(engine->rules()[1]);
    EXPECT_TRUE(engine->hasTimer());
    h.scheduler.advance(Seconds(3.9));
    EXPECT_FALSE(engine->lastCheckedAt().has_value());
    h.scheduler.advance(Seconds(0.1));
    ASSERT_TRUE(engine->lastCheckedAt().has_value());
    EXPECT_EQ(*engine->lastCheckedAt(), addSeconds(switchedOn, Seconds(4)));
    h.scheduler.advance(Seconds(4));
    EXPECT_EQ(*engine->lastCheckedAt(), addSeconds(switchedOn, Seconds(8)));

    // A second rule on changes nothing of the rhythm; the last one off stops it.
    engine->toggle(engine->rules()[2]);
    h.scheduler.advance(Seconds(4));
    EXPECT_EQ(*engine->lastCheckedAt(), addSeconds(switchedOn, Seconds(12)));
    engine->toggle(engine->rules()[1]);
    EXPECT_TRUE(engine->hasTimer());
    engine->toggle(engine->rules()[2]);
    EXPECT_FALSE(engine->hasTimer());
    h.scheduler.advance(Seconds(8));
    EXPECT_EQ(*engine->lastCheckedAt(), addSeconds(switchedOn, Seconds(12)));

    // Once invalidated at the end of the run, switching a rule on starts nothing.
    engine->invalidateTimer();
    engine->toggle(engine->rules()[0]);
    EXPECT_FALSE(engine->hasTimer());
}

TEST_F(AutomationFixture, RulesThatCouldNotBeSavedAreTriedAgainEveryThirtySeconds) {
    auto engine = makeEngine();
    h.files.failWith(FakeFileManager::Operation::writeData,
                     std::make_exception_ptr(std::runtime_error("disk full")));
    auto rules = engine->rules();
    rules.front().isEnabled = true;
    engine->setRules(rules);
    EXPECT_EQ(engine->saveState().kind, SaveState::Kind::failed);
    h.files.clearFailure(FakeFileManager::Operation::writeData);
    h.scheduler.advance(Seconds(29.9));
    EXPECT_FALSE(QFile::exists(file()));
    h.scheduler.advance(Seconds(0.1));
    QFile saved(file());
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QJsonDocument::fromJson(saved.readAll()).array().at(0)["isEnabled"].toBool());
    EXPECT_FALSE(engine->unsaved());
}
