#include "support/FuzzSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <unistd.h>

namespace vantrel::fuzz {

namespace {

[[noreturn]] void throwErrno(int code, const QString& path) {
    throw std::system_error(code, std::generic_category(), path.toStdString());
}

QString parentOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

} // namespace

void fail(const char* expectation, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: expectation failed: %s\n", file, line, expectation);
    std::abort();
}

void initialize(int* argc, char*** argv) {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtFatalMsg) {
            std::fprintf(stderr, "Qt fatal: %s\n", qPrintable(message));
            std::abort();
        }
    });
    static QCoreApplication application(*argc, *argv);
}

QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

QString scratchFolder() {
    static const QString folder =
        QDir::tempPath() + QStringLiteral("/vantrel-fuzz-%1").arg(QCoreApplication::applicationPid());
    static const bool made = [] {
        FUZZ_CHECK(QDir().mkpath(folder));
        std::atexit([] { QDir(folder).removeRecursively(); });
        return true;
    }();
    (void)made;
    return folder;
}

QString emptyScratchFolder() {
    const QString folder = scratchFolder();
    QDir dir(folder);
    FUZZ_CHECK(dir.removeRecursively() && QDir().mkpath(folder));
    return folder;
}

const QByteArray* InMemoryFileManager::find(const QString& path) const {
    const auto it = files_.find(path);
    return it == files_.end() ? nullptr : &it->second;
}

bool InMemoryFileManager::fileExists(const QString& path) const {
    return files_.count(path) != 0;
}

std::optional<qint64> InMemoryFileManager::fileSize(const QString& path) const {
    if (const QByteArray* bytes = find(path)) return bytes->size();
    return std::nullopt;
}

void InMemoryFileManager::createDirectory(const QString&) {}

QByteArray InMemoryFileManager::readData(const QString& path, qint64 maximumBytes) {
    const QByteArray* bytes = find(path);
    if (!bytes) throwErrno(ENOENT, path);
    if (bytes->size() > maximumBytes) throwErrno(EFBIG, path);
    return *bytes;
}

void InMemoryFileManager::writeData(const QByteArray& bytes, const QString& path) {
    files_[path] = bytes;
}

void InMemoryFileManager::copyItem(const QString& from, const QString& to) {
    if (fileExists(to)) throwErrno(EEXIST, to);
    const QByteArray* bytes = find(from);
    if (!bytes) throwErrno(ENOENT, from);
    files_[to] = *bytes;
}

QStringList InMemoryFileManager::contentsOfDirectory(const QString& path) const {
    QStringList names;
    for (const auto& [file, bytes] : files_)
        if (parentOf(file) == path) names.append(file.mid(path.size() + 1));
    return names;
}

void InMemoryFileManager::removeItem(const QString& path) {
    if (files_.erase(path) == 0) throwErrno(ENOENT, path);
}

} // namespace vantrel::fuzz
