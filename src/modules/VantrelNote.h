#pragma once

#include "modules/VantrelChecklistItem.h"
#include "platform/Clock.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QUuid>
#include <cstdint>
#include <optional>

namespace vantrel {

struct VantrelNote {
    // The titles a note carries until its first line names it.
    static QString quickNoteTitle() { return QStringLiteral("Quick note"); }
    static QString newNoteTitle() { return QStringLiteral("New note"); }

    QUuid id;
    QString title = quickNoteTitle();
    QString body;
    WallTime modifiedAt;
    std::optional<QUuid> folderID; // none: the note is in no folder
    bool isPinned = false;
    std::int64_t order = 0;
    QList<VantrelChecklistItem> checklist;

    // Only "id" is required; an absent or null key takes its default, `now` for the date.
    QJsonObject toJson() const;
    static VantrelNote fromJson(const QJsonValue& json, WallTime now);

    bool hasDefaultTitle() const { return title == quickNoteTitle() || title == newNoteTitle(); }
    bool operator==(const VantrelNote&) const = default;
};

} // namespace vantrel
