#include "modules/ClipboardJournal.h"

#include "core/JsonCoding.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace vantrel {

namespace {

// The lines an earlier version wrote, still read.
const QString kPut = QStringLiteral("put");
const QString kRemove = QStringLiteral("remove");

constexpr auto kIdCoding = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;

// An id in 22 characters instead of 36: on a stream of short copies the id is a third of a line.
QString compactId(const QUuid& id) {
    return QString::fromLatin1(id.toRfc4122().toBase64(kIdCoding));
}

QUuid idOf(const QJsonValue& value) {
    const QString text = value.toString();
    if (text.size() == 22) {
        const auto bytes = QByteArray::fromBase64Encoding(
            text.toLatin1(), kIdCoding | QByteArray::AbortOnBase64DecodingErrors);
        if (bytes && bytes.decoded.size() == 16)
            if (const QUuid id = QUuid::fromRfc4122(bytes.decoded); !id.isNull()) return id;
        throw JsonDecodingError(QStringLiteral("id: expected a UUID"));
    }
    return decodeUuid(value, u"id");
}

// Whole milliseconds since the reference date, in 12 digits where the file's seconds take 17.
QJsonValue compactDate(WallTime time) {
    const auto since =
        time - WallTime(std::chrono::duration_cast<WallTime::duration>(Seconds(kReferenceDateUnixSeconds)));
    return QJsonValue(qint64(std::chrono::round<std::chrono::milliseconds>(since).count()));
}

WallTime dateOf(const QJsonValue& value) {
    // Within the clock's range, as the file's dates are.
    constexpr double kLimit = 8.0e12;
    const double milliseconds = value.toDouble();
    if (!value.isDouble() || milliseconds != std::floor(milliseconds) || std::abs(milliseconds) > kLimit)
        throw JsonDecodingError(QStringLiteral("createdAt: expected whole milliseconds"));
    return WallTime(std::chrono::duration_cast<WallTime::duration>(Seconds(kReferenceDateUnixSeconds))) +
           std::chrono::milliseconds(qint64(milliseconds));
}

QByteArray line(const QJsonArray& array) {
    return QJsonDocument(array).toJson(QJsonDocument::Compact) + '\n';
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
        if (was && *was == *it) continue;
        QJsonArray put{compactId(it->id), compactDate(it->createdAt), it->text};
        if (it->isPinned) put.append(true);
        lines += line(put);
    }
    for (const ClipboardEntry* gone : std::as_const(earlier)) lines += line(QJsonArray{compactId(gone->id)});
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
    const auto put = [&](const ClipboardEntry& entry) {
        const qsizetype at = indexOf(entry.id);
        if (at < 0)
            entries.prepend(entry);
        else
            entries[at] = entry;
    };
    const auto remove = [&](const QUuid& id) {
        if (const qsizetype at = indexOf(id); at >= 0) entries.removeAt(at);
    };
    for (const QByteArray& text : journal.split('\n')) {
        if (text.trimmed().isEmpty()) continue;
        const QJsonDocument document = QJsonDocument::fromJson(text);
        try {
            if (const QJsonArray array = document.array(); document.isArray() && array.size() == 1) {
                remove(idOf(array[0]));
            } else if (document.isArray() && (array.size() == 3 || array.size() == 4)) {
                const QJsonValue pinned = array.size() == 4 ? array[3] : QJsonValue(false);
                if (!array[2].isString() || !pinned.isBool())
                    throw JsonDecodingError(QStringLiteral("expected a text and whether it is pinned"));
                put({idOf(array[0]), array[2].toString(), dateOf(array[1]), pinned.toBool()});
            } else if (const QJsonObject object = document.object(); object.contains(kPut)) {
                put(ClipboardEntry::fromJson(object.value(kPut)));
            } else if (object.contains(kRemove)) {
                remove(requireUuid(object, kRemove));
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
