#pragma once

#include "platform/Clock.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>

namespace vantrel {

// One recorded clipboard text.
struct ClipboardEntry {
    QUuid id;
    QString text; // already trimmed when captured
    WallTime createdAt;
    bool isPinned = false; // pinned entries survive the size limit and clearing

    // Exactly "id", "text", "createdAt" and "isPinned"; all four are required on reading.
    QJsonObject toJson() const;
    static ClipboardEntry fromJson(const QJsonValue& json);

    bool operator==(const ClipboardEntry&) const = default;
};

} // namespace vantrel
