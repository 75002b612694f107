#include "modules/ClipboardEntry.h"

#include "core/JsonCoding.h"

namespace vantrel {

QJsonObject ClipboardEntry::toJson() const {
    return QJsonObject{{QStringLiteral("id"), encodeUuid(id)},
                       {QStringLiteral("text"), text},
                       {QStringLiteral("createdAt"), encodeDate(createdAt)},
                       {QStringLiteral("isPinned"), isPinned}};
}

ClipboardEntry ClipboardEntry::fromJson(const QJsonValue& json) {
    const QJsonObject object = requireObject(json, u"clipboard entry");
    return ClipboardEntry{requireUuid(object, u"id"), requireString(object, u"text"),
                          requireDate(object, u"createdAt"), requireBool(object, u"isPinned")};
}

} // namespace vantrel
