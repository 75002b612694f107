#include "modules/VantrelNote.h"

#include "core/JsonCoding.h"

namespace vantrel {

QJsonObject VantrelNote::toJson() const {
    QJsonObject object{
        {QStringLiteral("id"), encodeUuid(id)},
        {QStringLiteral("title"), title},
        {QStringLiteral("body"), body},
        {QStringLiteral("modifiedAt"), encodeDate(modifiedAt)},
        {QStringLiteral("isPinned"), isPinned},
        {QStringLiteral("order"), static_cast<qint64>(order)},
        {QStringLiteral("checklist"),
         encodeArray(checklist, [](const VantrelChecklistItem& item) { return item.toJson(); })},
    };
    // A note in no folder has no "folderID" key at all.
    if (folderID) object.insert(QStringLiteral("folderID"), encodeUuid(*folderID));
    return object;
}

VantrelNote VantrelNote::fromJson(const QJsonValue& json, WallTime now) {
    const QJsonObject object = requireObject(json, u"note");
    VantrelNote note;
    note.id = requireUuid(object, u"id");
    note.title = optionalString(object, u"title").value_or(quickNoteTitle());
    note.body = optionalString(object, u"body").value_or(QString());
    note.modifiedAt = optionalDate(object, u"modifiedAt").value_or(now);
    note.folderID = optionalUuid(object, u"folderID");
    note.isPinned = optionalBool(object, u"isPinned").value_or(false);
    note.order = optionalInteger(object, u"order").value_or(0);
    const QJsonValue checklist = object.value(QStringLiteral("checklist"));
    if (!checklist.isUndefined() && !checklist.isNull()) {
        const auto items = decodeArray(checklist, &VantrelChecklistItem::fromJson, u"checklist");
        note.checklist = QList<VantrelChecklistItem>(items.begin(), items.end());
    }
    return note;
}

} // namespace vantrel
