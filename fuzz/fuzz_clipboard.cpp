// The clipboard history file as the clipboard store reads it at start-up: any bytes in place of
// "clipboard.json" must give a usable store that writes nothing until something changes, and the
// history it saves must load again unchanged.

#include "core/LocalPersistence.h"
#include "modules/ClipboardStore.h"
#include "support/FakePasteboard.h"
#include "support/FuzzSupport.h"
#include "support/ManualClock.h"
#include "support/ManualScheduler.h"
#include "support/ManualWorkQueue.h"
#include "support/StoreFolder.h"

#include <QUuid>

using namespace vantrel;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::StoreFolder folder(ClipboardStore::fileName(), data, size);
    test::ManualClock& clock = folder.clock;
    LocalPersistence& persistence = folder.persistence;
    test::ManualScheduler scheduler(clock);
    test::FakePasteboard pasteboard;
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
        // Removing an entry that is not there changes nothing, and nothing is written.
        ClipboardEntry absent;
        absent.id = QUuid::createUuid();
        first.deleteEntry(absent);
        writes.drain();
        FUZZ_CHECK(folder.inPlace(ClipboardStore::fileName()));
        FUZZ_CHECK(loaded.isEmpty() || decodes);
        // A copy is a change: the history is saved, at the latest when the store goes.
        pasteboard.copyFromElsewhere(QStringLiteral("copied while fuzzing"), {});
        first.captureIfNeeded();
        writes.drain();
        loaded = first.entries();
    }
    if (!decodes) {
        // A damaged file was set aside before the save replaced it, bytes intact.
        FUZZ_CHECK(folder.keptAside(ClipboardStore::fileName(), QStringLiteral("clipboard.corrupt-")));
        return 0;
    }
    ClipboardStore second(pasteboard, persistence, clock, scheduler,
                          std::make_unique<test::ManualWorkQueue>(), {});
    FUZZ_CHECK(second.entries() == loaded);
    return 0;
}
