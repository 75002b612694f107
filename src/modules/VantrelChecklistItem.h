#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>

namespace vantrel {

struct VantrelChecklistItem {
    QUuid id;
    QString text;
    bool isComplete = false;

    // All three keys are required on reading.
    QJsonObject toJson() const;
    static VantrelChecklistItem fromJson(const QJsonValue& json);

    bool operator==(const VantrelChecklistItem&) const = default;
};

} // namespace vantrel
