// The bookmarks file as the bookmarks store reads it at start-up: any bytes in place of
// "bookmarks.json" must give a usable store, opening a loaded bookmark must never hand anything
// but a web address to the desktop, and the list the store saves must load again unchanged.

#include "core/LocalPersistence.h"
#include "modules/BookmarksStore.h"
#include "support/FakeOpenPanel.h"
#include "support/FuzzSupport.h"
#include "support/ManualClock.h"
#include "support/RecordingSystemLog.h"
#include "support/RecordingWorkspace.h"

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
    test::RecordingSystemLog log;
    test::RecordingWorkspace workspace;
    test::FakeOpenPanel openPanel;
    fuzz::InMemoryFileManager files;
    const QByteArray input = fuzz::bytesOf(data, size);
    files.put(kFolder + '/' + BookmarksStore::kFileName, input);
    LocalPersistence persistence({kFolder, &files}, clock, log, QStringLiteral("com.vantrel.mac"));
    const bool decodes =
        persistence.store().load(BookmarksStore::kFileName, &VantrelBookmark::decodeList).isLoaded();

    BookmarksStore first(persistence, workspace, openPanel);
    const std::vector<VantrelBookmark> loaded = first.items();
    for (const VantrelBookmark& bookmark : loaded)
        first.open(bookmark);
    for (const QUrl& url : workspace.opened) {
        const QString scheme = url.scheme().toLower();
        FUZZ_CHECK(scheme == QStringLiteral("http") || scheme == QStringLiteral("https"));
        FUZZ_CHECK(!url.host().isEmpty());
    }
    FUZZ_CHECK(workspace.launched.isEmpty()); // no entry here describes an application
    // Removing a bookmark that is not there saves the list as it was loaded.
    first.remove({QUuid::createUuid(), QString(), QString(), VantrelBookmark::Kind::website});

    if (!decodes) {
        FUZZ_CHECK(loaded.empty());
        bool keptAside = false;
        for (const QString& name : files.contentsOfDirectory(kFolder))
            if (name.startsWith(QStringLiteral("bookmarks.corrupt-")) &&
                *files.find(kFolder + '/' + name) == input)
                keptAside = true;
        FUZZ_CHECK(keptAside);
        return 0;
    }
    BookmarksStore second(persistence, workspace, openPanel);
    FUZZ_CHECK(second.items() == loaded);
    return 0;
}
