// The notes file as the notes store reads it at start-up: any bytes in place of "notes.json" must
// give a usable store whose first save keeps a copy of the file it replaces, and whatever the
// store then saves must load again as the same notes.

#include "core/LocalPersistence.h"
#include "core/QAObserver.h"
#include "modules/NotesStore.h"
#include "platform/AppPaths.h"
#include "support/FuzzSupport.h"
#include "support/ManualClock.h"
#include "support/ManualScheduler.h"
#include "support/RecordingSystemLog.h"

using namespace vantrel;

namespace {

const QString kFolder = QStringLiteral("/fuzz/data");
const QString kFile = QStringLiteral("notes.json");

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    test::ManualClock clock;
    test::ManualScheduler scheduler(clock);
    test::RecordingSystemLog log;
    fuzz::InMemoryFileManager files;
    files.put(kFolder + '/' + kFile, fuzz::bytesOf(data, size));
    const AppPaths paths{QStringLiteral("/fuzz"), QStringLiteral("/fuzz/config"),
                         QStringLiteral("/fuzz/share")};
    QAObserver observer(clock, files, paths);
    LocalPersistence persistence({kFolder, &files}, clock, log, QStringLiteral("com.vantrel.mac"));

    NotesStore first(kFile, persistence, observer, clock, scheduler);
    FUZZ_CHECK(!first.notes().isEmpty());
    FUZZ_CHECK(first.selectedIndex().has_value());
    const bool usable = !first.recoveryMessage() || *first.recoveryMessage() == NotesStore::migratedMessage();
    // Browsing the loaded notes is what the views do next.
    (void)first.visibleNotes();
    first.setSearchQuery(QStringLiteral("a"));
    (void)first.visibleNotes();
    first.saveNow();
    // Whatever the file held survives the save beside it, read or not: the copy made before the
    // first save replaced it.
    bool keptAside = false;
    for (const QString& name : files.contentsOfDirectory(kFolder))
        keptAside =
            keptAside || (name != kFile && *files.find(kFolder + '/' + name) == fuzz::bytesOf(data, size));
    FUZZ_CHECK(keptAside);
    if (!usable) return 0;

    NotesStore second(kFile, persistence, observer, clock, scheduler);
    FUZZ_CHECK(!second.recoveryMessage().has_value());
    FUZZ_CHECK(second.notes() == first.notes());
    FUZZ_CHECK(second.folders() == first.folders());
    return 0;
}
