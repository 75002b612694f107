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
#include "support/StoreFolder.h"

using namespace vantrel;

namespace {

const QString kFile = QStringLiteral("notes.json");

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::StoreFolder folder(kFile, data, size);
    test::ManualClock& clock = folder.clock;
    LocalPersistence& persistence = folder.persistence;
    test::ManualScheduler scheduler(clock);
    const AppPaths paths{QStringLiteral("/fuzz"), QStringLiteral("/fuzz/config"),
                         QStringLiteral("/fuzz/share")};
    QAObserver observer(clock, folder.files, paths);

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
    FUZZ_CHECK(folder.keptAside(kFile));
    if (!usable) return 0;

    NotesStore second(kFile, persistence, observer, clock, scheduler);
    FUZZ_CHECK(!second.recoveryMessage().has_value());
    FUZZ_CHECK(second.notes() == first.notes());
    FUZZ_CHECK(second.folders() == first.folders());
    return 0;
}
