#include "services/VantrelAutomationRule.h"

#include <QJsonObject>
#include <stdexcept>

namespace vantrel {

std::vector<VantrelAutomationRule> VantrelAutomationRule::defaults() {
    return {
        {QUuid::createUuid(), QStringLiteral("Deep work in Xcode"), Trigger::appActive,
         QStringLiteral("Xcode"), Action::startFocus, false},
        {QUuid::createUuid(), QStringLiteral("Gentle battery mode"), Trigger::batteryBelow,
         QStringLiteral("25"), Action::hideCustomDock, false},
        {QUuid::createUuid(), QStringLiteral("Morning overview"), Trigger::timeOfDay, QStringLiteral("09"),
         Action::showNotch, false},
    };
}

QJsonArray VantrelAutomationRule::encodeList(const std::vector<VantrelAutomationRule>& rules) {
    QJsonArray list;
    for (const VantrelAutomationRule& rule : rules)
        list.append(QJsonObject{{QStringLiteral("id"), rule.id.toString(QUuid::WithoutBraces).toUpper()},
                                {QStringLiteral("name"), rule.name},
                                {QStringLiteral("trigger"), rawValue(rule.trigger)},
                                {QStringLiteral("triggerValue"), rule.triggerValue},
                                {QStringLiteral("action"), rawValue(rule.action)},
                                {QStringLiteral("isEnabled"), rule.isEnabled}});
    return list;
}

namespace {
QString requiredText(const QJsonObject& object, const char* key) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isString()) throw std::runtime_error(std::string("missing or malformed ") + key);
    return value.toString();
}
} // namespace

std::vector<VantrelAutomationRule> VantrelAutomationRule::decodeList(const QJsonValue& json) {
    if (!json.isArray()) throw std::runtime_error("not a list of rules");
    std::vector<VantrelAutomationRule> rules;
    for (const QJsonValue& item : json.toArray()) {
        if (!item.isObject()) throw std::runtime_error("a rule is not an object");
        const QJsonObject object = item.toObject();
        const QUuid id = QUuid::fromString(requiredText(object, "id"));
        const auto trigger = fromRawValue<Trigger>(requiredText(object, "trigger"));
        const auto action = fromRawValue<Action>(requiredText(object, "action"));
        const QJsonValue enabled = object.value(QStringLiteral("isEnabled"));
        if (id.isNull() || !trigger || !action || !enabled.isBool())
            throw std::runtime_error("malformed rule");
        rules.push_back({id, requiredText(object, "name"), *trigger, requiredText(object, "triggerValue"),
                         *action, enabled.toBool()});
    }
    return rules;
}

} // namespace vantrel
