#pragma once

#include "core/StoreFile.h"
#include "platform/Clock.h"
#include "platform/Scheduler.h"
#include "services/VantrelAutomationRule.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QTimeZone>
#include <optional>
#include <vector>

namespace vantrel {

class AutomationTarget;
class FocusTimer;
class LocalPersistence;
class PowerSources;
class RunningApplications;
class VantrelPreferences;

// Rules of a trigger (the frontmost application, the battery below a level, an hour of the day)
// and an action, kept in "automations.json". Each evaluation runs the action of a rule whose
// condition has just begun to hold, once, and puts back what it changed when the condition ends.
class AutomationEngine : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kFileName = "automations.json";
    static constexpr double kEvaluationIntervalSeconds = 4;

    struct Dependencies {
        LocalPersistence& persistence;
        VantrelPreferences& preferences;
        FocusTimer& focus;
        const Clock& clock;
        Scheduler& scheduler;
        // The frontmost application; none where the desktop tells nothing.
        const RunningApplications* runningApplications = nullptr;
        // The battery; none: no battery rule ever holds.
        const PowerSources* power = nullptr;
        // The hour of a time-of-day rule is read in this zone.
        QTimeZone timeZone = QTimeZone::systemTimeZone();
    };

    explicit AutomationEngine(Dependencies dependencies, QObject* parent = nullptr);
    // Writes what is not saved yet.
    ~AutomationEngine() override;

    const std::vector<VantrelAutomationRule>& rules() const { return rules_; }
    // Replaces the rules and saves them.
    void setRules(std::vector<VantrelAutomationRule> rules);
    const QString& lastAction() const { return lastAction_; }
    std::optional<WallTime> lastCheckedAt() const { return lastCheckedAt_; }
    bool isActive(const QUuid& id) const { return activeRuleIDs_.contains(id); }

    // What the actions act through; without one, actions and reverts change nothing.
    void setTarget(AutomationTarget* target) { target_ = target; }

    // One check of every enabled rule.
    virtual void evaluate();
    virtual void perform(const VantrelAutomationRule& rule, bool recordForRevert);
    void revert(const VantrelAutomationRule& rule);
    // Switches the rule with the same id on or off; switched off, what it changed is put back.
    virtual void toggle(const VantrelAutomationRule& rule);
    bool matches(const VantrelAutomationRule& rule) const;
    std::optional<int> batteryLevel() const;

    // Evaluates every four seconds until the timer is invalidated, while at least one rule is
    // enabled: with every rule off there is nothing to check, and an idle machine is not woken.
    void startTimer();
    bool hasTimer() const { return timer_.id() != Scheduler::kNoTask; }
    // Cancels the repeating evaluation timer and forgets it.
    virtual void invalidateTimer() {
        timerWanted_ = false;
        timer_.cancel();
    }
    // Reverts every active rule, in the order of the rules, and forgets them all.
    virtual void revertAllActiveRules();

    // Whether the rules are not (yet) all in their file: see StoreFile::unsaved().
    bool unsaved() const { return file_.unsaved(); }
    // Whether the rules are in their file: what views say of it.
    const SaveState& saveState() const { return file_.state(); }

Q_SIGNALS:
    void unsavedChanged(bool unsaved);
    void saveStateChanged();
    void rulesChanged();
    void lastActionChanged(const QString& lastAction);
    void lastCheckedAtChanged();

protected:
    ScheduledTask timer_;

private:
    struct Readings;
    struct RuleRestoreState {
        std::optional<bool> feedbackEnabled;
        std::optional<bool> customDockEnabled;
        bool startedFocus = false;
    };

    // `readings` holds what earlier rules of the same check read already; what this rule needs
    // and nothing has read yet is read into it.
    bool matches(const VantrelAutomationRule& rule, Readings& readings) const;
    void save();
    // Runs the timer while it is wanted and a rule is enabled, and only then.
    void updateTimer();
    void setLastAction(const QString& text);
    QString timeText() const;

    Dependencies deps_;
    AutomationTarget* target_ = nullptr;
    std::vector<VantrelAutomationRule> rules_;
    QString lastAction_ = QStringLiteral("No automation has run yet");
    std::optional<WallTime> lastCheckedAt_;
    QSet<QUuid> activeRuleIDs_;
    QHash<QUuid, RuleRestoreState> restoreStates_;
    bool timerWanted_ = false;
    StoreFile file_;
};

} // namespace vantrel
