#include "modules/VantrelNoteFolder.h"

#include "core/JsonCoding.h"

namespace vantrel {

QJsonObject VantrelNoteFolder::toJson() const {
    return QJsonObject{{QStringLiteral("id"), encodeUuid(id)},
                       {QStringLiteral("title"), title},
                       {QStringLiteral("order"), static_cast<qint64>(order)}};
}

VantrelNoteFolder VantrelNoteFolder::fromJson(const QJsonValue& json) {
    const QJsonObject object = requireObject(json, u"folder");
    return VantrelNoteFolder{requireUuid(object, u"id"), requireString(object, u"title"),
                             requireInteger(object, u"order")};
}

} // namespace vantrel
