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
