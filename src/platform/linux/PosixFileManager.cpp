#include "platform/linux/PosixFileManager.h"

#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace vantrel {

namespace {

[[noreturn]] void throwErrno(int code, const QString& path) {
    throw std::system_error(code, std::generic_category(), path.toStdString());
}

} // namespace

bool PosixFileManager::fileExists(const QString& path) const {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0;
}

std::optional<qint64> PosixFileManager::fileSize(const QString& path) const {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return std::nullopt;
    return static_cast<qint64>(info.st_size);
}

std::optional<WallTime> PosixFileManager::modificationDate(const QString& path) const {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return std::nullopt;
    const auto since =
        std::chrono::seconds(info.st_mtim.tv_sec) + std::chrono::nanoseconds(info.st_mtim.tv_nsec);
    return WallTime(std::chrono::duration_cast<WallTime::duration>(since));
}

void PosixFileManager::createDirectory(const QString& path) {
    // The data folder holds the user's copied texts and notes: made for the user alone.
    createPrivateFolders(path);
}

QByteArray PosixFileManager::readData(const QString& path, qint64 maximumBytes) {
    return readStoredFile(path, maximumBytes, LinkPolicy::toOwnFile);
}

FileManager::OwnFile PosixFileManager::readOwnFile(const QString& path, qint64 maximumBytes) {
    // O_NOFOLLOW: a link is refused, never followed; O_NONBLOCK: a FIFO never holds the open up.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        if (errno == ELOOP)
            throw UnreadableFileError(path, QStringLiteral("a symbolic link stands in its place"));
        throwErrno(errno, path);
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) throwErrno(errno, path);
    // What was opened is what is checked: nothing read before it is known to be a file of the user's.
    if (!S_ISREG(info.st_mode)) throw UnreadableFileError(path, QStringLiteral("it is not a regular file"));
    if (info.st_uid != ::geteuid())
        throw UnreadableFileError(path, QStringLiteral("it belongs to another user"));
    OwnFile file;
    const auto since =
        std::chrono::seconds(info.st_mtim.tv_sec) + std::chrono::nanoseconds(info.st_mtim.tv_nsec);
    file.modified = WallTime(std::chrono::duration_cast<WallTime::duration>(since));
    file.bytes = readToEnd(fd, path, maximumBytes, info.st_size);
    return file;
}

void PosixFileManager::writeData(const QByteArray& bytes, const QString& path) {
    writeFileAtomically(path, bytes, beforeCommit_, LinkPolicy::toOwnFile);
}

void PosixFileManager::writePrivateData(const QByteArray& bytes, const QString& path) {
    writeFileAtomically(path, bytes, beforeCommit_, LinkPolicy::toOwnFile, 0600);
}

void PosixFileManager::appendPrivateData(const QByteArray& bytes, const QString& path) {
    appendToPrivateFile(path, bytes);
}

void PosixFileManager::copyPrivateItem(const QString& from, const QString& to) {
    if (fileExists(to)) throwErrno(EEXIST, to);
    createFileAtomically(to, readData(from, kCopyLimit), beforeCommit_, 0600);
}

void PosixFileManager::writeStandIn(const QByteArray& bytes, const QString& path, const QString& original) {
    struct stat info {};
    // The user keeps reading and writing it, whatever the original's own bits (a read-only file).
    const unsigned limit =
        ::stat(QFile::encodeName(original).constData(), &info) == 0 ? ((info.st_mode & 0777) | 0600) : 07777;
    writeFileAtomically(path, bytes, beforeCommit_, LinkPolicy::toOwnFile, limit);
}

void PosixFileManager::copyItem(const QString& from, const QString& to) {
    // A taken name costs nothing: it is refused before the source is read or a byte written.
    if (fileExists(to)) throwErrno(EEXIST, to);
    const QByteArray bytes = readData(from, kCopyLimit);
    struct stat info {};
    // A copy of a file kept private is private too.
    const unsigned mode =
        ::stat(QFile::encodeName(from).constData(), &info) == 0 ? ((info.st_mode & 0644) | 0600) : 0600;
    createFileAtomically(to, bytes, beforeCommit_, mode);
}

QStringList PosixFileManager::contentsOfDirectory(const QString& path) const {
    QDir folder(path);
    if (!folder.exists()) throwErrno(ENOENT, path);
    return folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                            QDir::Name);
}

void PosixFileManager::removeItem(const QString& path) {
    if (::unlink(QFile::encodeName(path).constData()) != 0) throwErrno(errno, path);
}

int PosixFileManager::removeStaleTemporaryFiles(const QString& folder, WallTime cutoff) {
    return vantrel::removeStaleTemporaryFiles(folder, cutoff);
}

} // namespace vantrel
