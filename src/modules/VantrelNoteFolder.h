#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>
#include <cstdint>

namespace vantrel {

struct VantrelNoteFolder {
    QUuid id;
    QString title;
    std::int64_t order = 0; // position among the folders

    // All three keys are required on reading.
    QJsonObject toJson() const;
    static VantrelNoteFolder fromJson(const QJsonValue& json);

    bool operator==(const VantrelNoteFolder&) const = default;
};

} // namespace vantrel
