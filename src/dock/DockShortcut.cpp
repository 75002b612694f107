#include "dock/DockShortcut.h"

#include "core/JsonCoding.h"

namespace vantrel {

void DockShortcut::setTitle(const QString& full) {
    if (full.size() <= kShownTitleLength) {
        title = full;
        storedTitle.reset();
        return;
    }
    qsizetype cut = kShownTitleLength - 1;
    // Never half a character: a cut between the two halves of a surrogate pair moves before it.
    if (full.at(cut - 1).isHighSurrogate()) --cut;
    title = full.left(cut) + QChar(0x2026);
    storedTitle = full;
}

QJsonValue DockShortcut::encodeList(const std::vector<DockShortcut>& items) {
    return encodeArray(items, [](const DockShortcut& item) {
        QJsonObject object{{QStringLiteral("id"), encodeUuid(item.id)},
                           {QStringLiteral("title"), item.titleToStore()},
                           {QStringLiteral("target"), item.target},
                           {QStringLiteral("kind"), rawValue(item.kind)}};
        if (item.folderColor) object.insert(QStringLiteral("folderColor"), rawValue(*item.folderColor));
        return object;
    });
}

std::vector<DockShortcut> DockShortcut::decodeList(const QJsonValue& value) {
    return decodeArray(
        value,
        [](const QJsonValue& element) {
            const QJsonObject object = requireObject(element, u"Dock item");
            DockShortcut item{requireUuid(object, u"id"),
                              {},
                              requireString(object, u"target"),
                              Kind::application,
                              std::nullopt};
            item.setTitle(requireString(object, u"title"));
            const auto kind = fromRawValue<Kind>(requireString(object, u"kind"));
            if (!kind) throw JsonDecodingError(QStringLiteral("kind: not a Dock item kind"));
            item.kind = *kind;
            // Missing or null: no colour. "none" is a colour tag of its own.
            if (const auto colorName = optionalString(object, u"folderColor")) {
                const auto folderColor = fromRawValue<DockFolderColor>(*colorName);
                if (!folderColor) throw JsonDecodingError(QStringLiteral("folderColor: not a folder colour"));
                item.folderColor = *folderColor;
            }
            return item;
        },
        u"Dock items");
}

} // namespace vantrel
