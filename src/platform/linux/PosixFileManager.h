#pragma once

#include "platform/AtomicFile.h"
#include "platform/FileManager.h"

namespace vantrel {

// The file manager on POSIX calls, so a failure keeps its errno (a missing file stays
// distinguishable from one that cannot be read).
class PosixFileManager final : public FileManager {
public:
    // The most a copy reads: the largest data file a store loads.
    static constexpr qint64 kCopyLimit = 64 * 1024 * 1024;

    PosixFileManager() = default;
    // `beforeCommit` sees every write and copy complete under its temporary name (for a test
    // that kills the process there).
    explicit PosixFileManager(BeforeCommit beforeCommit) : beforeCommit_(std::move(beforeCommit)) {}

    bool fileExists(const QString& path) const override;
    std::optional<qint64> fileSize(const QString& path) const override;
    std::optional<WallTime> modificationDate(const QString& path) const override;
    void createDirectory(const QString& path) override;
    QByteArray readData(const QString& path, qint64 maximumBytes) override;
    OwnFile readOwnFile(const QString& path, qint64 maximumBytes) override;
    void writeData(const QByteArray& bytes, const QString& path) override;
    void writeStandIn(const QByteArray& bytes, const QString& path, const QString& original) override;
    void copyItem(const QString& from, const QString& to) override;
    void writePrivateData(const QByteArray& bytes, const QString& path) override;
    void appendPrivateData(const QByteArray& bytes, const QString& path) override;
    void copyPrivateItem(const QString& from, const QString& to) override;
    QStringList contentsOfDirectory(const QString& path) const override;
    void removeItem(const QString& path) override;
    int removeStaleTemporaryFiles(const QString& folder, WallTime cutoff) override;

private:
    BeforeCommit beforeCommit_;
};

} // namespace vantrel
