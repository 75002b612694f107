#pragma once

#include "modules/VantrelNote.h"
#include "modules/VantrelNoteFolder.h"

#include <QJsonObject>
#include <QList>

namespace vantrel {

// The whole content of the notes file.
struct NotesDocument {
    static constexpr std::int64_t kCurrentSchemaVersion = 2;

    std::int64_t schemaVersion = kCurrentSchemaVersion;
    QList<VantrelNoteFolder> folders;
    QList<VantrelNote> notes;

    QJsonObject toJson() const;
    // "schemaVersion", "folders" and "notes" are required. A note without a date takes `now`.
    static NotesDocument fromJson(const QJsonValue& json, WallTime now);
    // The older file: the notes list alone, with no document around it. Read, never written.
    static QList<VantrelNote> legacyNotesFromJson(const QJsonValue& json, WallTime now);

    bool operator==(const NotesDocument&) const = default;
};

} // namespace vantrel
