#include "modules/ClipboardJournal.h"

#include "core/JsonCoding.h"

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

namespace vantrel {

namespace {

const QString kPut = QStringLiteral("put");
const QString kRemove = QStringLiteral("remove");

QByteArray line(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

} // namespace

QByteArray ClipboardJournal::changes(const QList<ClipboardEntry>& before,
                                     const QList<ClipboardEntry>& after) {
    QHash<QUuid, const ClipboardEntry*> earlier;
    for (const ClipboardEntry& entry : before) earlier.insert(entry.id, &entry);
    QByteArray lines;
    // Oldest first, so that reading them again puts the newest in front.
    for (auto it = after.crbegin(); it != after.crend(); ++it) {
        const ClipboardEntry* was = earlier.take(it->id);
        if (!was || !(*was == *it)) lines += line(QJsonObject{{kPut, it->toJson()}});
    }
    for (const ClipboardEntry* gone : std::as_const(earlier))
        lines += line(QJsonObject{{kRemove, encodeUuid(gone->id)}});
    return lines;
}

ClipboardJournal::Replayed ClipboardJournal::replay(QList<ClipboardEntry> entries,
                                                    const QByteArray& journal) {
    Replayed result;
    const auto indexOf = [&](const QUuid& id) -> qsizetype {
        for (qsizetype i = 0; i < entries.size(); ++i)
            if (entries[i].id == id) return i;
        return -1;
    };
    for (const QByteArray& text : journal.split('\n')) {
        if (text.trimmed().isEmpty()) continue;
        const QJsonObject object = QJsonDocument::fromJson(text).object();
        try {
            if (object.contains(kPut)) {
                const ClipboardEntry entry = ClipboardEntry::fromJson(object.value(kPut));
                const qsizetype at = indexOf(entry.id);
                if (at < 0)
                    entries.prepend(entry);
                else
                    entries[at] = entry;
            } else if (object.contains(kRemove)) {
                const QUuid id = requireUuid(object, kRemove);
                if (const qsizetype at = indexOf(id); at >= 0) entries.removeAt(at);
            } else {
                ++result.ignored;
                continue;
            }
            ++result.applied;
        } catch (...) {
            ++result.ignored;
        }
    }
    result.entries = std::move(entries);
    return result;
}

} // namespace vantrel
