#include "modules/NotesDocument.h"

#include "core/JsonCoding.h"

namespace vantrel {

namespace {

template <typename T, typename Decode>
QList<T> decodeList(const QJsonValue& json, Decode&& decode, QStringView what) {
    const auto values = decodeArray(json, std::forward<Decode>(decode), what);
    return QList<T>(values.begin(), values.end());
}

} // namespace

QJsonObject NotesDocument::toJson() const {
    return QJsonObject{
        {QStringLiteral("schemaVersion"), static_cast<qint64>(schemaVersion)},
        {QStringLiteral("folders"),
         encodeArray(folders, [](const VantrelNoteFolder& f) { return f.toJson(); })},
        {QStringLiteral("notes"), encodeArray(notes, [](const VantrelNote& n) { return n.toJson(); })},
    };
}

NotesDocument NotesDocument::fromJson(const QJsonValue& json, WallTime now) {
    const QJsonObject object = requireObject(json, u"notes document");
    NotesDocument document;
    document.schemaVersion = requireInteger(object, u"schemaVersion");
    document.folders = decodeList<VantrelNoteFolder>(object.value(QStringLiteral("folders")),
                                                     &VantrelNoteFolder::fromJson, u"folders");
    document.notes = legacyNotesFromJson(object.value(QStringLiteral("notes")), now);
    return document;
}

QList<VantrelNote> NotesDocument::legacyNotesFromJson(const QJsonValue& json, WallTime now) {
    return decodeList<VantrelNote>(
        json, [now](const QJsonValue& value) { return VantrelNote::fromJson(value, now); }, u"notes");
}

} // namespace vantrel
