#pragma once

#include "platform/EnumTraits.h"

#include <QJsonArray>
#include <QString>
#include <QUuid>
#include <vector>

namespace vantrel {

#define VANTREL_AUTOMATION_TRIGGER_CASES(C) C(appActive) C(batteryBelow) C(timeOfDay)
VANTREL_STRING_ENUM(AutomationTrigger, VANTREL_AUTOMATION_TRIGGER_CASES)
#define VANTREL_AUTOMATION_ACTION_CASES(C) C(showNotch) C(startFocus) C(enableFeedback) C(hideCustomDock)
VANTREL_STRING_ENUM(AutomationAction, VANTREL_AUTOMATION_ACTION_CASES)

// One automation rule: when its trigger's condition holds, its action runs once; when the
// condition ends, what the action changed is put back.
struct VantrelAutomationRule {
    using Trigger = AutomationTrigger;
    using Action = AutomationAction;

    QUuid id;
    QString name;
    Trigger trigger = Trigger::appActive;
    // The condition's parameter, always text: part of an application's name, a percentage, an hour.
    QString triggerValue;
    Action action = Action::showNotch;
    bool isEnabled = false;

    bool operator==(const VantrelAutomationRule&) const = default;

    // The three rules a first run starts with, all off, each with a new id.
    static std::vector<VantrelAutomationRule> defaults();
    // The stored form: an array of objects with "id", "name", "trigger", "triggerValue", "action",
    // "isEnabled" in that order.
    static QJsonArray encodeList(const std::vector<VantrelAutomationRule>& rules);
    // Throws on anything but a list of complete rules with known triggers and actions.
    static std::vector<VantrelAutomationRule> decodeList(const QJsonValue& json);
};

} // namespace vantrel
