#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel::test {

// What can stand where a store expects its file, none of which may be read, waited on, written
// through or replaced.
enum class Hostile { fifo, folder, linkOutside, danglingLink, overLimit };
inline const Hostile kEveryHostileKind[] = {Hostile::fifo, Hostile::folder, Hostile::linkOutside,
                                            Hostile::danglingLink, Hostile::overLimit};

inline const char* nameOf(Hostile kind) {
    switch (kind) {
    case Hostile::fifo:
        return "FIFO";
    case Hostile::folder:
        return "folder";
    case Hostile::linkOutside:
        return "link to a file outside";
    case Hostile::danglingLink:
        return "dangling link";
    case Hostile::overLimit:
        return "over the limit";
    }
    return "?";
}

// Puts `kind` at `path`. A link points to `outside` (which must exist for linkOutside and must not
// for danglingLink). A link to a file of the user's own is read through, so for linkOutside the
// file must be another user's: root hands `outside` to nobody (CI runs as root); anyone else links
// to /etc/passwd instead, a regular file of root's on every system, and `outside` stays as written.
// An over-limit file is `limit` + 1 bytes, sparse so that it costs no disk.
inline bool makeHostile(Hostile kind, const QString& path, const QString& outside, qint64 limit) {
    QDir().mkpath(path.left(path.lastIndexOf(QLatin1Char('/'))));
    const QByteArray target = QFile::encodeName(path);
    switch (kind) {
    case Hostile::fifo:
        return ::mkfifo(target.constData(), 0644) == 0;
    case Hostile::folder:
        return QDir().mkpath(path);
    case Hostile::linkOutside:
        if (::geteuid() != 0) return ::symlink("/etc/passwd", target.constData()) == 0;
        if (::chown(QFile::encodeName(outside).constData(), 65534, 65534) != 0) return false;
        return ::symlink(QFile::encodeName(outside).constData(), target.constData()) == 0;
    case Hostile::danglingLink:
        return ::symlink(QFile::encodeName(outside).constData(), target.constData()) == 0;
    case Hostile::overLimit: {
        const int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const bool sized = fd >= 0 && ::ftruncate(fd, limit + 1) == 0;
        if (fd >= 0) ::close(fd);
        return sized;
    }
    }
    return false;
}

} // namespace vantrel::test
