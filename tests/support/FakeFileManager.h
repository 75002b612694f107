#pragma once

#include "platform/linux/PosixFileManager.h"

#include <QStringList>
#include <exception>
#include <functional>
#include <map>
#include <vector>

namespace vantrel::test {

// Real file operations (in a test's temporary home) with a journal of every call, and any
// operation made to throw a chosen error until the test clears it.
class FakeFileManager final : public FileManager {
public:
    enum class Operation {
        createDirectory,
        readData,
        writeData,
        appendData,
        copyItem,
        contentsOfDirectory,
        removeItem
    };
    struct Call {
        Operation operation;
        QString path;
    };

    FakeFileManager() = default;
    // `observe` sees every call as it is made, to put file operations on a shared call log.
    explicit FakeFileManager(std::function<void(const Call&)> observe) : observe_(std::move(observe)) {}

    void failWith(Operation operation, std::exception_ptr error) { failures_[operation] = std::move(error); }
    void clearFailure(Operation operation) { failures_.erase(operation); }
    // Writes to `path` alone throw `error` (as a folder that refuses one file and not the others).
    void failWritesTo(const QString& path, std::exception_ptr error) {
        writeFailures_[path] = std::move(error);
    }
    void clearWriteFailures() { writeFailures_.clear(); }

    bool fileExists(const QString& path) const override { return real_.fileExists(path); }
    std::optional<qint64> fileSize(const QString& path) const override { return real_.fileSize(path); }
    std::optional<WallTime> modificationDate(const QString& path) const override {
        return real_.modificationDate(path);
    }
    void createDirectory(const QString& path) override {
        enter(Operation::createDirectory, path);
        real_.createDirectory(path);
    }
    QByteArray readData(const QString& path, qint64 maximumBytes) override {
        enter(Operation::readData, path);
        return real_.readData(path, maximumBytes);
    }
    OwnFile readOwnFile(const QString& path, qint64 maximumBytes) override {
        enter(Operation::readData, path);
        return real_.readOwnFile(path, maximumBytes);
    }
    void writeData(const QByteArray& bytes, const QString& path) override {
        enter(Operation::writeData, path);
        if (auto it = writeFailures_.find(path); it != writeFailures_.end())
            std::rethrow_exception(it->second);
        real_.writeData(bytes, path);
    }
    void writeStandIn(const QByteArray& bytes, const QString& path, const QString& original) override {
        enter(Operation::writeData, path);
        if (auto it = writeFailures_.find(path); it != writeFailures_.end())
            std::rethrow_exception(it->second);
        real_.writeStandIn(bytes, path, original);
    }
    void copyItem(const QString& from, const QString& to) override {
        enter(Operation::copyItem, from);
        real_.copyItem(from, to);
    }
    void writePrivateData(const QByteArray& bytes, const QString& path) override {
        enter(Operation::writeData, path);
        if (auto it = writeFailures_.find(path); it != writeFailures_.end())
            std::rethrow_exception(it->second);
        real_.writePrivateData(bytes, path);
    }
    void appendPrivateData(const QByteArray& bytes, const QString& path) override {
        enter(Operation::appendData, path);
        // A folder that refuses writes refuses appends too.
        if (auto it = failures_.find(Operation::writeData); it != failures_.end())
            std::rethrow_exception(it->second);
        if (auto it = writeFailures_.find(path); it != writeFailures_.end())
            std::rethrow_exception(it->second);
        real_.appendPrivateData(bytes, path);
    }
    void copyPrivateItem(const QString& from, const QString& to) override {
        enter(Operation::copyItem, from);
        real_.copyPrivateItem(from, to);
    }
    QStringList contentsOfDirectory(const QString& path) const override {
        enter(Operation::contentsOfDirectory, path);
        return real_.contentsOfDirectory(path);
    }
    void removeItem(const QString& path) override {
        enter(Operation::removeItem, path);
        real_.removeItem(path);
    }
    int removeStaleTemporaryFiles(const QString& folder, WallTime cutoff) override {
        return real_.removeStaleTemporaryFiles(folder, cutoff);
    }

    int count(Operation operation) const {
        int n = 0;
        for (const Call& call : calls_) n += call.operation == operation;
        return n;
    }
    void clearCalls() { calls_.clear(); }

private:
    void enter(Operation operation, const QString& path) const {
        calls_.push_back({operation, path});
        if (observe_) observe_(calls_.back());
        if (auto it = failures_.find(operation); it != failures_.end()) std::rethrow_exception(it->second);
    }

    PosixFileManager real_;
    std::map<Operation, std::exception_ptr> failures_;
    std::map<QString, std::exception_ptr> writeFailures_;
    mutable std::vector<Call> calls_;
    std::function<void(const Call&)> observe_;
};

} // namespace vantrel::test
