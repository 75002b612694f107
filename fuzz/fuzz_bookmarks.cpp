// The bookmarks file as the bookmarks store reads it at start-up: any bytes in place of
// "bookmarks.json" must give a usable store, opening a loaded bookmark must never hand anything
// but a web address to the desktop, and the list the store saves must load again unchanged.

#include "core/LocalPersistence.h"
#include "modules/BookmarksStore.h"
#include "support/FakeOpenPanel.h"
#include "support/FuzzSupport.h"
#include "support/RecordingWorkspace.h"
#include "support/StoreFolder.h"

#include <QUuid>

using namespace vantrel;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::StoreFolder folder(BookmarksStore::kFileName, data, size);
    LocalPersistence& persistence = folder.persistence;
    test::RecordingWorkspace workspace;
    test::FakeOpenPanel openPanel;
    const bool decodes =
        persistence.store().load(BookmarksStore::kFileName, &VantrelBookmark::decodeList).isLoaded();

    BookmarksStore first(persistence, workspace, openPanel);
    const std::vector<VantrelBookmark> loaded = first.items();
    for (const VantrelBookmark& bookmark : loaded) first.open(bookmark);
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
        FUZZ_CHECK(folder.keptAside(BookmarksStore::kFileName, QStringLiteral("bookmarks.corrupt-")));
        return 0;
    }
    BookmarksStore second(persistence, workspace, openPanel);
    FUZZ_CHECK(second.items() == loaded);
    return 0;
}
