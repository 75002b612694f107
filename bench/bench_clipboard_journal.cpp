// What reaches the disk for the clipboard history: bytes written per copy on a steady stream of
// copies into a full history (120 entries), against the copy's own size, and bytes written while
// nothing changes. Time runs on a manual clock; every write is real, in a temporary folder.

#include "BenchSupport.h"
#include "modules/ClipboardStore.h"
#include "platform/Pasteboard.h"
#include "platform/WorkQueue.h"
#include "platform/linux/PosixFileManager.h"
#include "support/ManualScheduler.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace vantrel;

namespace {

// The real file manager, counting the bytes every write hands to the disk.
class CountingFileManager final : public FileManager {
public:
    qint64 written = 0;

    bool fileExists(const QString& path) const override { return real_.fileExists(path); }
    std::optional<qint64> fileSize(const QString& path) const override { return real_.fileSize(path); }
    std::optional<WallTime> modificationDate(const QString& path) const override {
        return real_.modificationDate(path);
    }
    void createDirectory(const QString& path) override { real_.createDirectory(path); }
    QByteArray readData(const QString& path, qint64 maximumBytes) override {
        return real_.readData(path, maximumBytes);
    }
    OwnFile readOwnFile(const QString& path, qint64 maximumBytes) override {
        return real_.readOwnFile(path, maximumBytes);
    }
    void writeData(const QByteArray& bytes, const QString& path) override {
        written += bytes.size();
        real_.writeData(bytes, path);
    }
    void writeStandIn(const QByteArray& bytes, const QString& path, const QString& original) override {
        written += bytes.size();
        real_.writeStandIn(bytes, path, original);
    }
    void copyItem(const QString& from, const QString& to) override {
        written += real_.fileSize(from).value_or(0);
        real_.copyItem(from, to);
    }
    void writePrivateData(const QByteArray& bytes, const QString& path) override {
        written += bytes.size();
        real_.writePrivateData(bytes, path);
    }
    void copyPrivateItem(const QString& from, const QString& to) override {
        written += real_.fileSize(from).value_or(0);
        real_.copyPrivateItem(from, to);
    }
    void appendPrivateData(const QByteArray& bytes, const QString& path) override {
        written += bytes.size();
        real_.appendPrivateData(bytes, path);
    }
    QStringList contentsOfDirectory(const QString& path) const override {
        return real_.contentsOfDirectory(path);
    }
    void removeItem(const QString& path) override { real_.removeItem(path); }
    int removeStaleTemporaryFiles(const QString& folder, WallTime cutoff) override {
        return real_.removeStaleTemporaryFiles(folder, cutoff);
    }

private:
    PosixFileManager real_;
};

// Runs each piece of work at once, as a worker that keeps up would; the answers wait for the
// event loop.
class InlineQueue final : public WorkQueue {
public:
    void async(std::function<void()> work) override { work(); }
    void sync(std::function<void()> work) override { work(); }
};

class StreamPasteboard final : public Pasteboard {
public:
    std::int64_t count = 1;
    QString text;
    std::int64_t changeCount() const override { return count; }
    QStringList types() const override { return {QStringLiteral("text/plain")}; }
    std::optional<QString> string() const override { return text; }
    void writeString(const QString& value) override {
        text = value;
        ++count;
    }
};

QString textOfSize(int index, int bytes) {
    QString text = QStringLiteral("copy %1 ").arg(index);
    while (text.size() < bytes) text.append(QStringLiteral("lorem ipsum dolor sit amet "));
    text.truncate(bytes);
    return text;
}

struct History {
    QTemporaryDir dir;
    test::ManualClock clock;
    test::ManualScheduler scheduler{clock};
    bench::SilentLog log;
    CountingFileManager files;
    LocalPersistence persistence{LocalPersistence::Store{dir.path() + QStringLiteral("/Vantrel"), &files},
                                 clock, log, QStringLiteral("com.vantrel.mac")};
    StreamPasteboard pasteboard;
    std::unique_ptr<ClipboardStore> store;

    // A full history of `entryBytes` texts, `pinned` of them pinned, already on disk.
    History(int entryBytes, int pinned) {
        QJsonArray seeded;
        for (int i = 0; i < ClipboardStore::kLimit; ++i)
            seeded.append(ClipboardEntry{QUuid::createUuid(), textOfSize(-i, entryBytes),
                                         addSeconds(clock.now(), Seconds(-1000 + i)), i < pinned}
                              .toJson());
        files.createDirectory(persistence.directory());
        files.writeData(QJsonDocument(seeded).toJson(QJsonDocument::Compact),
                        persistence.store().url(ClipboardStore::fileName()));
        store = std::make_unique<ClipboardStore>(pasteboard, persistence, clock, scheduler,
                                                 std::make_unique<InlineQueue>(), [] {});
        files.written = 0;
    }
    void copy(const QString& text) {
        pasteboard.text = text;
        ++pasteboard.count;
        store->captureIfNeeded();
    }
    void pass(Seconds time) {
        scheduler.advance(time);
        QCoreApplication::sendPostedEvents();
        scheduler.runDue();
    }
};

// One copy every two seconds into a full history; the counters are what the stream wrote, quit
// included, per copy and as a multiple of the copy's size.
void BM_BytesWrittenPerCopyOnASteadyStream(benchmark::State& state) {
    const int copyBytes = static_cast<int>(state.range(0));
    History history(copyBytes, 0);
    int copies = 0;
    for (auto _ : state) {
        history.copy(textOfSize(copies++, copyBytes));
        history.pass(Seconds(2));
    }
    history.store.reset(); // quitting folds what is left
    const double perCopy = double(history.files.written) / copies;
    state.counters["bytes per copy"] = perCopy;
    state.counters["times the copy"] = perCopy / copyBytes;
}
BENCHMARK(BM_BytesWrittenPerCopyOnASteadyStream)->Arg(100)->Arg(1000)->Arg(6500)->Iterations(2000);

// Nothing changes: copies the full pinned history drops, and time passing; nothing is written,
// at quit neither.
void BM_BytesWrittenWhileNothingChanges(benchmark::State& state) {
    History history(1000, ClipboardStore::kLimit);
    int copies = 0;
    for (auto _ : state) {
        history.copy(textOfSize(copies++, 1000));
        history.pass(Seconds(5));
    }
    history.store.reset();
    state.counters["bytes written"] = double(history.files.written);
}
BENCHMARK(BM_BytesWrittenWhileNothingChanges)->Iterations(200);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
