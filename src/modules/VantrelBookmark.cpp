#include "modules/VantrelBookmark.h"

#include "core/JsonCoding.h"

namespace vantrel {

QJsonValue VantrelBookmark::encodeList(const std::vector<VantrelBookmark>& bookmarks) {
    return encodeArray(bookmarks, [](const VantrelBookmark& b) {
        return QJsonObject{{QStringLiteral("id"), encodeUuid(b.id)},
                           {QStringLiteral("title"), b.title},
                           {QStringLiteral("target"), b.target},
                           {QStringLiteral("kind"), rawValue(b.kind)}};
    });
}

std::vector<VantrelBookmark> VantrelBookmark::decodeList(const QJsonValue& value) {
    return decodeArray(
        value,
        [](const QJsonValue& element) {
            const QJsonObject object = requireObject(element, u"bookmark");
            const auto kind = fromRawValue<Kind>(requireString(object, u"kind"));
            if (!kind) throw JsonDecodingError(QStringLiteral("kind: expected website or application"));
            return VantrelBookmark{requireUuid(object, u"id"), requireString(object, u"title"),
                                   requireString(object, u"target"), *kind};
        },
        u"bookmarks");
}

} // namespace vantrel
