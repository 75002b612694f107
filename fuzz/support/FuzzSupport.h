#pragma once

#include "platform/FileManager.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <map>

namespace vantrel::fuzz {

// A broken expectation is a finding: say which one and stop, so libFuzzer keeps the input.
[[noreturn]] void fail(const char* expectation, const char* file, int line);
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) ::vantrel::fuzz::fail(#condition, __FILE__, __LINE__);                             \
    } while (false)

// Sets up once what every target needs: a QCoreApplication for the stores' objects, and Qt's
// warnings about damaged input kept off the output, which would otherwise drown the run.
void initialize(int* argc, char*** argv);

QByteArray bytesOf(const uint8_t* data, size_t size);

// A folder of this process under the temporary folder ($TMPDIR), for the readers that take a
// path rather than a file manager; removed at exit. `emptyScratchFolder` also clears it.
QString scratchFolder();
QString emptyScratchFolder();

// The data folder in memory: every file operation a store makes, none of them touching the disk,
// with the same errors as the real one (a missing file is ENOENT, a taken name EEXIST).
class InMemoryFileManager final : public FileManager {
public:
    void put(const QString& path, const QByteArray& bytes) { files_[path] = bytes; }
    const QByteArray* find(const QString& path) const;

    bool fileExists(const QString& path) const override;
    std::optional<qint64> fileSize(const QString& path) const override;
    // No store the fuzzers reach looks at file times, so every file counts as written at the epoch.
    std::optional<WallTime> modificationDate(const QString& path) const override {
        return fileExists(path) ? std::optional<WallTime>(WallTime{}) : std::nullopt;
    }
    void createDirectory(const QString& path) override;
    QByteArray readData(const QString& path, qint64 maximumBytes) override;
    // Every file in memory is the user's own, written at the epoch.
    OwnFile readOwnFile(const QString& path, qint64 maximumBytes) override {
        return {readData(path, maximumBytes), WallTime{}};
    }
    void writeData(const QByteArray& bytes, const QString& path) override;
    // Nothing in memory is readable by others: a stand-in is a plain write.
    void writeStandIn(const QByteArray& bytes, const QString& path, const QString&) override {
        writeData(bytes, path);
    }
    void copyItem(const QString& from, const QString& to) override;
    void writePrivateData(const QByteArray& bytes, const QString& path) override { writeData(bytes, path); }
    void copyPrivateItem(const QString& from, const QString& to) override { copyItem(from, to); }
    void appendPrivateData(const QByteArray& bytes, const QString& path) override {
        writeData((find(path) ? *find(path) : QByteArray()) + bytes, path);
    }
    QStringList contentsOfDirectory(const QString& path) const override;
    void removeItem(const QString& path) override;
    int removeStaleTemporaryFiles(const QString&, WallTime) override { return 0; }

private:
    std::map<QString, QByteArray> files_;
};

} // namespace vantrel::fuzz
