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

// Closes the descriptor on every path out, including a throw.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now and reports the error a delayed write may surface only here.
    int close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

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

void PosixFileManager::createDirectory(const QString& path) {
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    // Walk down from the root so the error names the component that failed.
    qsizetype from = 1;
    for (;;) {
        const qsizetype slash = clean.indexOf(QLatin1Char('/'), from);
        const QString part = slash < 0 ? clean : clean.left(slash);
        const QByteArray encoded = QFile::encodeName(part);
        struct stat info {};
        if (::stat(encoded.constData(), &info) == 0) {
            if (!S_ISDIR(info.st_mode)) throwErrno(ENOTDIR, part);
        } else if (::mkdir(encoded.constData(), 0777) != 0 && errno != EEXIST) {
            throwErrno(errno, part);
        }
        if (slash < 0) return;
        from = slash + 1;
    }
}

QByteArray PosixFileManager::readData(const QString& path) {
    Descriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) throwErrno(errno, path);
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            throwErrno(errno, path); // a folder in place of the file fails here with EISDIR
        }
        if (n == 0) return bytes;
        bytes.append(buffer, n);
    }
}

void PosixFileManager::writeData(const QByteArray& bytes, const QString& path) {
    writeFileAtomically(path, bytes, beforeCommit_);
}

void PosixFileManager::copyItem(const QString& from, const QString& to) {
    // A taken name costs nothing: it is refused before the source is read or a byte written.
    if (fileExists(to)) throwErrno(EEXIST, to);
    createFileAtomically(to, readData(from), beforeCommit_);
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
