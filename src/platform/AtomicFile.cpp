#include "platform/AtomicFile.h"

#include <QDateTime>
#include <QSaveFile>

namespace vantrel {

void writeFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Never fall back to writing in place: that is the torn file this helper exists to avoid.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) throw FileWriteError(path, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw FileWriteError(path, reason);
    }
    if (!file.commit()) throw FileWriteError(path, file.errorString());
}

QString fileNameTimestamp(WallTime time) {
    return toQDateTime(time).toString(Qt::ISODate).replace(QLatin1Char(':'), QLatin1Char('-'));
}

} // namespace vantrel
