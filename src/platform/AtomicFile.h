#pragma once

#include "platform/Clock.h"

#include <QByteArray>
#include <QString>
#include <stdexcept>

namespace vantrel {

class FileWriteError : public std::runtime_error {
public:
    FileWriteError(const QString& path, const QString& reason)
        : std::runtime_error((path + QStringLiteral(": ") + reason).toStdString()), path_(path),
          reason_(reason) {}
    const QString& path() const { return path_; }
    const QString& reason() const { return reason_; }

private:
    QString path_;
    QString reason_;
};

// Writes `bytes` to a temporary file beside `path`, flushes it to disk and renames it over
// `path`, so a crash leaves either the old file or the new one, never a torn one.
// Throws FileWriteError; the caller's store catches it.
void writeFileAtomically(const QString& path, const QByteArray& bytes);

// "2026-12-06T21-15-47Z": an ISO 8601 UTC time usable in a file name.
QString fileNameTimestamp(WallTime time);

} // namespace vantrel
