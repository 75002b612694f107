#include "modules/VantrelChecklistItem.h"

#include "core/JsonCoding.h"

namespace vantrel {

QJsonObject VantrelChecklistItem::toJson() const {
    return QJsonObject{{QStringLiteral("id"), encodeUuid(id)},
                       {QStringLiteral("text"), text},
                       {QStringLiteral("isComplete"), isComplete}};
}

VantrelChecklistItem VantrelChecklistItem::fromJson(const QJsonValue& json) {
    const QJsonObject object = requireObject(json, u"checklist item");
    return VantrelChecklistItem{requireUuid(object, u"id"), requireString(object, u"text"),
                                requireBool(object, u"isComplete")};
}

} // namespace vantrel
