#include "services/AutomationEngine.h"

#include "core/ClockText.h"
#include "core/LocalPersistence.h"
#include "core/VantrelPreferences.h"
#include "modules/FocusTimer.h"
#include "platform/PowerSources.h"
#include "platform/RunningApplications.h"
#include "services/AutomationTarget.h"

#include <QLocale>
#include <algorithm>

namespace vantrel {

namespace {

// A whole decimal number: an optional sign and digits, nothing else.
std::optional<long long> wholeNumber(const QString& text) {
    qsizetype start = 0;
    if (text.startsWith(u'+') || text.startsWith(u'-')) start = 1;
    if (start >= text.size()) return std::nullopt;
    for (qsizetype i = start; i < text.size(); ++i)
        if (text.at(i) < u'0' || text.at(i) > u'9') return std::nullopt;
    bool ok = false;
    const long long value = text.toLongLong(&ok);
    if (!ok) return std::nullopt;
    return value;
}

} // namespace

// What the conditions are checked against. Each source is read at most once per check, and only
// when a rule needs it: thousands of rules cost one read of the window list, one of the battery
// and one of the clock, and every rule of a check sees the same moment.
struct AutomationEngine::Readings {
    std::optional<std::optional<RunningApplication>> frontmost;
    std::optional<std::optional<int>> batteryLevel;
    std::optional<int> hour;
};

AutomationEngine::AutomationEngine(Dependencies dependencies, QObject* parent)
    : QObject(parent), deps_(std::move(dependencies)),
      file_(deps_.persistence, &deps_.scheduler, QString::fromLatin1(kFileName),
            [this] {
                return [rules = rules_] { return QJsonValue(VantrelAutomationRule::encodeList(rules)); };
            },
            {}) {
    connect(&file_, &StoreFile::unsavedChanged, this, &AutomationEngine::unsavedChanged);
    connect(&file_, &StoreFile::stateChanged, this, &AutomationEngine::saveStateChanged);
    const auto merge = [](const QJsonValue& kept, const QJsonValue& recovered) {
        return QJsonValue(LocalPersistence::mergeItems(kept, recovered));
    };
    auto outcome =
        deps_.persistence.load(QString::fromLatin1(kFileName), merge, &VantrelAutomationRule::decodeList);
    // Missing or damaged: the defaults, written only with the first change. A damaged file is
    // copied aside before that write replaces it. Rules an earlier session could not save are
    // taken back from their recovery files, and saved.
    rules_ = outcome.isLoaded() ? std::move(*outcome.value()) : VantrelAutomationRule::defaults();
    file_.loaded();
    if (!deps_.persistence.takenBack(QString::fromLatin1(kFileName)).isEmpty()) save();
}

AutomationEngine::~AutomationEngine() {
    file_.flush();
}

void AutomationEngine::setRules(std::vector<VantrelAutomationRule> rules) {
    rules_ = std::move(rules);
    save();
    updateTimer();
    Q_EMIT rulesChanged();
}

void AutomationEngine::save() {
    // A failure is told in the window, with where the rules went instead, and tried again.
    file_.changed();
}

void AutomationEngine::setLastAction(const QString& text) {
    if (lastAction_ == text) return;
    lastAction_ = text;
    Q_EMIT lastActionChanged(text);
}

QString AutomationEngine::timeText() const {
    return ClockText::hoursAndMinutes(QLocale(),
                                      toQDateTime(deps_.clock.now()).toTimeZone(deps_.timeZone).time());
}

void AutomationEngine::evaluate() {
    lastCheckedAt_ = deps_.clock.now();
    Q_EMIT lastCheckedAtChanged();
    // A copy: an action may change the rules.
    const std::vector<VantrelAutomationRule> rules = rules_;
    Readings readings;
    for (const VantrelAutomationRule& rule : rules) {
        if (!rule.isEnabled) continue;
        const bool holds = matches(rule, readings);
        if (holds && !activeRuleIDs_.contains(rule.id)) {
            activeRuleIDs_.insert(rule.id);
            perform(rule, true);
        } else if (!holds && activeRuleIDs_.contains(rule.id)) {
            activeRuleIDs_.remove(rule.id);
            revert(rule);
        }
    }
}

bool AutomationEngine::matches(const VantrelAutomationRule& rule) const {
    Readings readings;
    return matches(rule, readings);
}

bool AutomationEngine::matches(const VantrelAutomationRule& rule, Readings& readings) const {
    switch (rule.trigger) {
    case AutomationTrigger::appActive: {
        if (rule.triggerValue.isEmpty() || !deps_.runningApplications) return false;
        if (!readings.frontmost) {
            readings.frontmost.emplace();
            if (const std::optional<qint32> pid = deps_.runningApplications->frontmostProcessIdentifier()) {
                for (RunningApplication& app : deps_.runningApplications->runningApplications()) {
                    if (app.processIdentifier != *pid) continue;
                    *readings.frontmost = std::move(app);
                    break;
                }
            }
        }
        const std::optional<RunningApplication>& app = *readings.frontmost;
        return app && (app->localizedName.contains(rule.triggerValue, Qt::CaseInsensitive) ||
                       app->bundleIdentifier.contains(rule.triggerValue, Qt::CaseInsensitive));
    }
    case AutomationTrigger::batteryBelow: {
        const std::optional<long long> threshold = wholeNumber(rule.triggerValue);
        if (!threshold) return false;
        if (!readings.batteryLevel) readings.batteryLevel = batteryLevel();
        const std::optional<int> level = *readings.batteryLevel;
        return level && *level < *threshold;
    }
    case AutomationTrigger::timeOfDay: {
        const std::optional<long long> hour = wholeNumber(rule.triggerValue);
        if (!hour) return false;
        if (!readings.hour)
            readings.hour = toQDateTime(deps_.clock.now()).toTimeZone(deps_.timeZone).time().hour();
        return *readings.hour == *hour;
    }
    }
    return false;
}

std::optional<int> AutomationEngine::batteryLevel() const {
    return deps_.power ? deps_.power->batteryLevel() : std::nullopt;
}

void AutomationEngine::perform(const VantrelAutomationRule& rule, bool recordForRevert) {
    if (!target_) return;
    RuleRestoreState restore;
    switch (rule.action) {
    case AutomationAction::showNotch:
        target_->showHomeNotch();
        break;
    case AutomationAction::startFocus:
        if (!deps_.focus.isRunning()) {
            deps_.focus.start();
            restore.startedFocus = true;
        }
        break;
    case AutomationAction::enableFeedback:
        restore.feedbackEnabled = deps_.preferences.feedbackEnabled();
        deps_.preferences.setFeedbackEnabled(true);
        target_->applySettings();
        break;
    case AutomationAction::hideCustomDock:
        restore.customDockEnabled = deps_.preferences.customDockEnabled();
        deps_.preferences.setCustomDockEnabled(false);
        target_->applySettings();
        break;
    }
    if (recordForRevert) restoreStates_.insert(rule.id, restore);
    setLastAction(rule.name + QStringLiteral(" ran at ") + timeText());
}

void AutomationEngine::revert(const VantrelAutomationRule& rule) {
    if (!target_) return;
    const auto it = restoreStates_.constFind(rule.id);
    if (it == restoreStates_.cend()) return;
    const RuleRestoreState restore = *it;
    restoreStates_.erase(it);
    bool changed = false;
    if (restore.feedbackEnabled && deps_.preferences.feedbackEnabled() != *restore.feedbackEnabled) {
        deps_.preferences.setFeedbackEnabled(*restore.feedbackEnabled);
        changed = true;
    }
    if (restore.customDockEnabled && deps_.preferences.customDockEnabled() != *restore.customDockEnabled) {
        deps_.preferences.setCustomDockEnabled(*restore.customDockEnabled);
        changed = true;
    }
    if (restore.startedFocus && deps_.focus.isRunning()) {
        deps_.focus.pause();
        changed = true;
    }
    if (!changed) return;
    target_->applySettings();
    setLastAction(rule.name + QStringLiteral(" ended at ") + timeText());
}

void AutomationEngine::toggle(const VantrelAutomationRule& rule) {
    const auto it = std::find_if(rules_.begin(), rules_.end(),
                                 [&rule](const VantrelAutomationRule& r) { return r.id == rule.id; });
    if (it == rules_.end()) return;
    std::vector<VantrelAutomationRule> rules = rules_;
    VantrelAutomationRule& changed = rules[std::size_t(it - rules_.begin())];
    changed.isEnabled = !changed.isEnabled;
    const VantrelAutomationRule now = changed;
    setRules(std::move(rules));
    if (!now.isEnabled) {
        activeRuleIDs_.remove(now.id);
        revert(now);
    }
}

void AutomationEngine::startTimer() {
    timerWanted_ = true;
    updateTimer();
}

void AutomationEngine::updateTimer() {
    const bool anyEnabled = std::any_of(rules_.begin(), rules_.end(),
                                        [](const VantrelAutomationRule& rule) { return rule.isEnabled; });
    if (!timerWanted_ || !anyEnabled) {
        timer_.cancel();
        return;
    }
    if (hasTimer()) return;
    const QPointer<AutomationEngine> self(this);
    timer_ = ScheduledTask(deps_.scheduler, deps_.scheduler.scheduleRepeating(
                                                Seconds(kEvaluationIntervalSeconds), Seconds(0.5), [self] {
                                                    if (self) self->evaluate();
                                                }));
}

void AutomationEngine::revertAllActiveRules() {
    const std::vector<VantrelAutomationRule> rules = rules_;
    for (const VantrelAutomationRule& rule : rules)
        if (activeRuleIDs_.contains(rule.id)) revert(rule);
    activeRuleIDs_.clear();
}

} // namespace vantrel
