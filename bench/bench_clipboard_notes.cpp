// Clipboard captures and notes saves on the real file system, as the running application does them.

#include "BenchSupport.h"
#include "core/LocalPersistence.h"
#include "core/QAObserver.h"
#include "modules/ClipboardStore.h"
#include "modules/NotesStore.h"
#include "platform/AppPaths.h"
#include "platform/Pasteboard.h"
#include "platform/SystemLog.h"
#include "platform/ThreadWorkQueue.h"
#include "platform/linux/PosixFileManager.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace vantrel;

namespace {

class BenchPasteboard final : public Pasteboard {
public:
    std::int64_t changeCount() const override { return count_; }
    QStringList types() const override { return {QStringLiteral("text/plain")}; }
    std::optional<QString> string() const override { return text_; }
    void writeString(const QString& text) override { copy(text); }
    void copy(const QString& text) {
        text_ = text;
        ++count_;
    }

private:
    std::int64_t count_ = 0;
    QString text_;
};

// Moves a second on every reading, so every save makes its own "previous" copy as saves a
// second or more apart do, rather than colliding with the copy of the save before.
class SteppingClock final : public Clock {
public:
    WallTime now() const override {
        wall_ += std::chrono::seconds(1);
        return wall_;
    }
    MonoTime monotonicNow() const override { return std::chrono::steady_clock::now(); }

private:
    mutable WallTime wall_ = std::chrono::system_clock::now();
};

using Environment = bench::TemporaryPersistence;

QString sampleText(int index, int length) {
    QString text = QStringLiteral("Entry %1: ").arg(index);
    const QString words = QStringLiteral("the quick brown fox jumps over the lazy dog, ");
    while (text.size() < length) text.append(words);
    text.truncate(length);
    return text;
}

void captureWithFullHistory(benchmark::State& state, int length) {
    Environment env;
    QJsonArray seeded;
    for (int i = 0; i < ClipboardStore::kLimit; ++i)
        seeded.append(
            ClipboardEntry{QUuid::createUuid(), sampleText(i, length), env.clock.now(), false}.toJson());
    env.files.createDirectory(env.persistence.directory());
    env.files.writeData(QJsonDocument(seeded).toJson(QJsonDocument::Compact),
                        env.persistence.store().url(ClipboardStore::fileName()));
    BenchPasteboard pasteboard;
    ClipboardStore store(pasteboard, env.persistence, env.clock, env.scheduler,
                         std::make_unique<ThreadWorkQueue>(QStringLiteral("clipboard.write")), [] {});
    int index = 1000;
    // What the event loop spends on a capture; the file is written meanwhile on the store's queue.
    for (auto _ : state) {
        pasteboard.copy(sampleText(++index, length));
        store.captureIfNeeded();
        QCoreApplication::processEvents();
    }
    if (store.entries().size() != ClipboardStore::kLimit) state.SkipWithError("capture did not happen");
}

// The write that a capture hands to the queue: the whole history encoded and written atomically.
void writeFullHistory(benchmark::State& state, int length) {
    Environment env;
    QList<ClipboardEntry> entries;
    for (int i = 0; i < ClipboardStore::kLimit; ++i)
        entries.append(ClipboardEntry{QUuid::createUuid(), sampleText(i, length), env.clock.now(), false});
    env.files.createDirectory(env.persistence.directory());
    for (auto _ : state) {
        const auto failure =
            LocalPersistence::writeEncoded(env.persistence.store(), ClipboardStore::fileName(), [&] {
                return QJsonValue(encodeArray(entries, [](const ClipboardEntry& e) { return e.toJson(); }));
            });
        if (failure) state.SkipWithError("write failed");
    }
}

void BM_ClipboardCaptureTypical(benchmark::State& state) {
    captureWithFullHistory(state, 200);
}
void BM_ClipboardCaptureLargest(benchmark::State& state) {
    captureWithFullHistory(state, static_cast<int>(ClipboardStore::kMaximumCharacters));
}

void BM_ClipboardWriteTypical(benchmark::State& state) {
    writeFullHistory(state, 200);
}
void BM_ClipboardWriteLargest(benchmark::State& state) {
    writeFullHistory(state, static_cast<int>(ClipboardStore::kMaximumCharacters));
}

void BM_NotesSave1000(benchmark::State& state) {
    Environment env;
    SteppingClock clock;
    LocalPersistence persistence{env.persistence.store(), clock, env.log, QStringLiteral("com.vantrel.mac")};
    AppPaths paths{env.dir.path(), env.dir.path(), env.dir.path()};
    QAObserver observer(env.clock, env.files, paths);
    NotesStore store(QStringLiteral("notes.json"), persistence, observer, clock, env.scheduler);
    QList<VantrelNote> notes;
    for (int i = 0; i < 1000; ++i) {
        VantrelNote note;
        note.id = QUuid::createUuid();
        note.title = QStringLiteral("Note %1").arg(i);
        note.body = sampleText(i, 600);
        note.modifiedAt = env.clock.now();
        note.order = i;
        note.checklist.append(VantrelChecklistItem{QUuid::createUuid(), QStringLiteral("item"), i % 2 == 0});
        notes.append(note);
    }
    store.setNotes(notes);
    for (auto _ : state) {
        store.updateSelected(QStringLiteral("edit %1").arg(state.iterations()));
        store.saveNow();
    }
}

} // namespace

BENCHMARK(BM_ClipboardCaptureTypical)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ClipboardCaptureLargest)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ClipboardWriteTypical)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ClipboardWriteLargest)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_NotesSave1000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // delivers the write queue's answers to the store
    return bench::runBenchmarks(argc, argv);
}
