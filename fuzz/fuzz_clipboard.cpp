// The clipboard history file as the clipboard store reads it at start-up: any bytes in place of
// "clipboard.json" must give a usable store, and the history it saves must load again unchanged.

#include "core/LocalPersistence.h"
#include "modules/ClipboardStore.h"
#include "support/FakePasteboard.h"
#include "support/FuzzSupport.h"
#include "support/ManualClock.h"
#include "support/ManualScheduler.h"
#include "support/ManualWorkQueue.h"
#include "support/RecordingSystemLog.h"

#include <QUuid>

using namespace vantrel;

namespace {

const QString kFolder = QStringLiteral("/fuzz/data");

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    test::ManualClock clock;
    test::ManualScheduler scheduler(clock);
    test::RecordingSystemLog log;
    test::FakePasteboard pasteboard;
    fuzz::InMemoryFileManager files;
    const QString path = kFolder + '/' + ClipboardStore::fileName();
    const QByteArray input = fuzz::bytesOf(data, size);
    files.put(path, input);
    LocalPersistence persistence({kFolder, &files}, clock, log, QStringLiteral("com.vantrel.mac"));
    const bool decodes = persistence.store()
                             .load(ClipboardStore::fileName(),
                                   [](const QJsonValue& json) {
                                       return decodeArray(json, [](const QJsonValue& value) {
                                           return ClipboardEntry::fromJson(value);
                                       });
                                   })
                             .isLoaded();

    QList<ClipboardEntry> loaded;
    {
        auto queue = std::make_unique<test::ManualWorkQueue>();
        test::ManualWorkQueue& writes = *queue;
        ClipboardStore first(pasteboard, persistence, clock, scheduler, std::move(queue), {});
        loaded = first.entries();
        (void)first.filteredEntries();
        first.setSearchText(QStringLiteral("a"));
        (void)first.filteredEntries();
        // Removing an entry that is not there saves the history as it was loaded.
        ClipboardEntry absent;
        absent.id = QUuid::createUuid();
        first.deleteEntry(absent);
        writes.drain();
    }
    if (!decodes) {
        // A damaged file was set aside before the save replaced it, bytes intact.
        bool keptAside = false;
        for (const QString& name : files.contentsOfDirectory(kFolder))
            if (name.startsWith(QStringLiteral("clipboard.corrupt-")) &&
                *files.find(kFolder + '/' + name) == input)
                keptAside = true;
        FUZZ_CHECK(keptAside);
        FUZZ_CHECK(loaded.isEmpty());
        return 0;
    }
    ClipboardStore second(pasteboard, persistence, clock, scheduler,
                          std::make_unique<test::ManualWorkQueue>(), {});
    FUZZ_CHECK(second.entries() == loaded);
    return 0;
}
