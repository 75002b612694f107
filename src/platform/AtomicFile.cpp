#include "platform/AtomicFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace vantrel {

namespace {

const QString kTemporaryMarker = QStringLiteral(".vantrel-tmp-");

// ".notes.json.vantrel-tmp-Ab12Cd"; earlier versions copied to "notes.previous-<time>.json.Ab12Cd",
// and Qt's file copy, used for settings, to "qt_temp.Ab12Cd".
const QRegularExpression kTemporaryName(QStringLiteral(
    R"(^(\..+\.vantrel-tmp-|.+\.[a-z]+-\d{4}-\d\d-\d\dT\d\d-\d\d-\d\dZ\.json\.|qt_temp\.)[A-Za-z0-9]{6}$)"));

int writeAll(int fd, const QByteArray& bytes) {
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n =
            ::write(fd, bytes.constData() + written, static_cast<size_t>(bytes.size() - written));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        written += n;
    }
    return 0;
}

// Writes `bytes` to a new temporary file beside `path`, synced and closed, and answers 0 with its
// name in `temporary`, or an errno with nothing left behind.
int writeTemporary(const QString& path, const QByteArray& bytes, mode_t mode, QByteArray& temporary,
                   std::optional<gid_t> group = std::nullopt) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    temporary = QFile::encodeName(path.left(slash + 1) + QLatin1Char('.') + path.mid(slash + 1) +
                                  kTemporaryMarker + QStringLiteral("XXXXXX"));
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return errno;
    int error = 0;
    // The replaced file's group stays where the user may give it (a member of it); else the new
    // file has the folder's usual group. Before the mode, which a change of group may clear.
    if (group && ::fchown(fd, static_cast<uid_t>(-1), *group) != 0 && errno != EPERM)
        error = errno;
    else if (::fchmod(fd, mode) != 0)
        error = errno;
    else if ((error = writeAll(fd, bytes)) == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) ::unlink(temporary.constData());
    return error;
}

QString kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return QStringLiteral("a folder");
    if (S_ISFIFO(mode)) return QStringLiteral("a FIFO");
    if (S_ISSOCK(mode)) return QStringLiteral("a socket");
    if (S_ISCHR(mode) || S_ISBLK(mode)) return QStringLiteral("a device");
    return QStringLiteral("not a regular file");
}

// A link that leads back to itself, or through too many others to end anywhere.
const QString kLinkLoop =
    QStringLiteral("a symbolic link that leads back to itself (a loop) stands in its place");

// Closes a descriptor as the scope that opened it ends, however it ends.
struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
};

} // namespace

QByteArray readStoredFile(const QString& path, qint64 maximumBytes, LinkPolicy links) {
    // O_NONBLOCK: opening a FIFO would otherwise wait for a writer that never comes.
    const int flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    const QByteArray name = QFile::encodeName(path);
    int fd = ::open(name.constData(), flags | (links == LinkPolicy::follow ? 0 : O_NOFOLLOW));
    const bool throughLink = fd < 0 && errno == ELOOP && links == LinkPolicy::toOwnFile;
    if (throughLink) fd = ::open(name.constData(), flags);
    if (fd < 0) {
        if (errno == ELOOP && links == LinkPolicy::refuse)
            throw UnreadableFileError(path, QStringLiteral("a symbolic link stands in its place"));
        if (errno == ENOENT && throughLink)
            throw UnreadableFileError(path, QStringLiteral("a symbolic link to nothing stands in its place"));
        if (errno == ELOOP && throughLink) throw UnreadableFileError(path, kLinkLoop);
        throw std::system_error(errno, std::generic_category(), path.toStdString());
    }
    const Closer closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) throw std::system_error(errno, std::generic_category(), path.toStdString());
    // What was opened is what is checked, whatever the link leads to by now.
    if (throughLink && !S_ISREG(info.st_mode))
        throw UnreadableFileError(path, QStringLiteral("a symbolic link to ") + kindOf(info.st_mode) +
                                            QStringLiteral(" stands in its place"));
    if (throughLink && info.st_uid != ::geteuid())
        throw UnreadableFileError(
            path, QStringLiteral("a symbolic link to another user\u2019s file stands in its place"));
    if (!S_ISREG(info.st_mode))
        throw UnreadableFileError(path, kindOf(info.st_mode) + QStringLiteral(" stands in its place"));
    return readToEnd(fd, path, maximumBytes, info.st_size);
}

QByteArray readToEnd(int fd, const QString& path, qint64 maximumBytes, qint64 size) {
    const QString tooLarge = QStringLiteral("larger than %1 bytes").arg(maximumBytes);
    if (size > maximumBytes) throw UnreadableFileError(path, tooLarge);
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw std::system_error(errno, std::generic_category(), path.toStdString());
        }
        if (n == 0) return bytes;
        // The file may grow while it is read: the limit holds for what is read, not what was seen.
        if (bytes.size() + n > maximumBytes) throw UnreadableFileError(path, tooLarge);
        bytes.append(buffer, n);
    }
}

FileWriteError::FileWriteError(const QString& path, const QString& reason, const QString& folder)
    : std::runtime_error((path + QStringLiteral(": ") + reason).toStdString()), path_(path), reason_(reason),
      folder_(folder.isEmpty() ? QFileInfo(path).absolutePath() : folder) {}

FileWriteError FileWriteError::readOnlyFile(const QString& path) {
    FileWriteError error(path, QStringLiteral("the file is read-only; it is left as it is"));
    error.refusedByFile_ = true;
    return error;
}

bool isTemporaryFileName(const QString& name) {
    return kTemporaryName.match(name).hasMatch();
}

void writeFileAtomically(const QString& path, const QByteArray& bytes, const BeforeCommit& beforeCommit,
                         LinkPolicy links, unsigned modeLimit) {
    QByteArray target = QFile::encodeName(path);
    // A file made here is the user's alone, as the folder it goes into.
    mode_t mode = 0600;
    std::optional<gid_t> group;
    struct stat info {};
    if (::lstat(target.constData(), &info) == 0 && S_ISLNK(info.st_mode) && links == LinkPolicy::toOwnFile) {
        // The link stays; the user's file it leads to is replaced, from beside that file.
        char* resolved = ::realpath(target.constData(), nullptr);
        if (!resolved && errno == ELOOP)
            throw FileWriteError(path, kLinkLoop + QStringLiteral("; it is left untouched"));
        if (!resolved && errno != ENOENT && errno != ENOTDIR)
            throw FileWriteError(path, qt_error_string(errno));
        if (!resolved)
            throw FileWriteError(path, QStringLiteral("a symbolic link to nothing stands in its place; it is "
                                                      "left untouched"));
        target = resolved;
        std::free(resolved);
        if (::lstat(target.constData(), &info) != 0) throw FileWriteError(path, qt_error_string(errno));
        if (!S_ISREG(info.st_mode))
            throw FileWriteError(path, QStringLiteral("a symbolic link to ") + kindOf(info.st_mode) +
                                           QStringLiteral(" stands in its place; it is left untouched"));
        if (info.st_uid != ::geteuid())
            throw FileWriteError(path, QStringLiteral("a symbolic link to another user\u2019s file stands in "
                                                      "its place; it is left untouched"));
    }
    if (::lstat(target.constData(), &info) == 0) {
        // A link would send the data wherever it points, and what stands there is not ours.
        if (S_ISLNK(info.st_mode))
            throw FileWriteError(path,
                                 QStringLiteral("a symbolic link stands in its place; it is left untouched"));
        if (!S_ISREG(info.st_mode))
            throw FileWriteError(path, kindOf(info.st_mode) + QStringLiteral(" stands in its place"));
        // Made read-only by its owner: a replace would quietly undo that.
        if ((info.st_mode & S_IWUSR) == 0) throw FileWriteError::readOnlyFile(path);
        mode = info.st_mode & 07777;
        group = info.st_gid;
    }
    mode &= static_cast<mode_t>(modeLimit);
    QByteArray temporary;
    const QString folder = QFileInfo(QFile::decodeName(target)).absolutePath();
    if (const int error = writeTemporary(QFile::decodeName(target), bytes, mode, temporary, group))
        throw FileWriteError(path, qt_error_string(error), folder);
    if (beforeCommit) beforeCommit(QFile::decodeName(temporary));
    if (::rename(temporary.constData(), target.constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        throw FileWriteError(path, qt_error_string(error), folder);
    }
}

void createFileAtomically(const QString& path, const QByteArray& bytes, const BeforeCommit& beforeCommit,
                          unsigned mode) {
    const QByteArray target = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(target.constData(), &info) == 0)
        throw std::system_error(EEXIST, std::generic_category(), path.toStdString());
    QByteArray temporary;
    if (const int error = writeTemporary(path, bytes, static_cast<mode_t>(mode & 07777), temporary))
        throw std::system_error(error, std::generic_category(), path.toStdString());
    if (beforeCommit) beforeCommit(QFile::decodeName(temporary));
    // link() never replaces: a file that took the name meanwhile stays as it is.
    const int linked = ::link(temporary.constData(), target.constData());
    const int error = errno;
    ::unlink(temporary.constData());
    if (linked != 0) throw std::system_error(error, std::generic_category(), path.toStdString());
}

void createPrivateFolders(const QString& path) {
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    // Walk down from the root so the error names the component that failed.
    qsizetype from = 1;
    for (;;) {
        const qsizetype slash = clean.indexOf(QLatin1Char('/'), from);
        const QString part = slash < 0 ? clean : clean.left(slash);
        const QByteArray encoded = QFile::encodeName(part);
        struct stat info {};
        if (::stat(encoded.constData(), &info) == 0) {
            if (!S_ISDIR(info.st_mode))
                throw std::system_error(ENOTDIR, std::generic_category(), part.toStdString());
        } else if (::mkdir(encoded.constData(), 0700) == 0) {
            // The umask may take bits away, never add them; a mask such as 0277 must not leave
            // the user unable to use the folder just made.
            (void)::chmod(encoded.constData(), 0700);
        } else if (errno != EEXIST) {
            throw std::system_error(errno, std::generic_category(), part.toStdString());
        }
        if (slash < 0) return;
        from = slash + 1;
    }
}

void appendToPrivateFile(const QString& path, const QByteArray& bytes) {
    const QByteArray name = QFile::encodeName(path);
    const int fd =
        ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) throw std::system_error(errno, std::generic_category(), path.toStdString());
    const Closer closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) throw std::system_error(errno, std::generic_category(), path.toStdString());
    if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid())
        throw std::system_error(EPERM, std::generic_category(), path.toStdString());
    if ((info.st_mode & 07777) != 0600 && ::fchmod(fd, 0600) != 0)
        throw std::system_error(errno, std::generic_category(), path.toStdString());
    if (const int error = writeAll(fd, bytes)) {
        (void)::ftruncate(fd, info.st_size);
        throw std::system_error(error, std::generic_category(), path.toStdString());
    }
}

int removeStaleTemporaryFiles(const QString& folder, WallTime cutoff) {
    DIR* directory = ::opendir(QFile::encodeName(folder).constData());
    if (!directory) return 0;
    const std::time_t cutoffSeconds = std::chrono::system_clock::to_time_t(cutoff);
    int removed = 0;
    while (const dirent* entry = ::readdir(directory)) {
        if (!isTemporaryFileName(QFile::decodeName(entry->d_name))) continue;
        struct stat info {};
        if (::fstatat(::dirfd(directory), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(info.st_mode) || info.st_mtime >= cutoffSeconds) continue;
        if (::unlinkat(::dirfd(directory), entry->d_name, 0) == 0) ++removed;
    }
    ::closedir(directory);
    return removed;
}

QString fileNameTimestamp(WallTime time) {
    return toQDateTime(time).toString(Qt::ISODate).replace(QLatin1Char(':'), QLatin1Char('-'));
}

} // namespace vantrel
