// The replacement Dock's pinned items as the content store reads them at start-up: any bytes in
// place of "dock-shortcuts.json" give a usable store (an empty Dock when they do not decode, the
// file copied aside, bytes intact), opening a loaded item hands the desktop nothing but a web
// address with a host or a local file, and the list the store saves loads again unchanged.

#include "core/LocalPersistence.h"
#include "dock/DockContentStore.h"
#include "support/FakeOpenPanel.h"
#include "support/FuzzSupport.h"
#include "support/RecordingRunningApplications.h"
#include "support/RecordingWorkspace.h"
#include "support/StoreFolder.h"

#include <QUuid>

using namespace vantrel;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString& fileName = DockContentStore::kFileName;
    fuzz::StoreFolder folder(fileName, data, size);
    LocalPersistence& persistence = folder.persistence;
    test::RecordingWorkspace workspace;
    test::FakeOpenPanel openPanel;
    test::RecordingRunningApplications running;
    const bool decodes = persistence.store().load(fileName, &DockShortcut::decodeList).isLoaded();

    DockContentStore first(persistence, workspace, openPanel, running);
    const std::vector<DockShortcut> loaded = first.items();
    for (const DockShortcut& item : loaded) {
        first.open(item);
        (void)first.icon(item);
    }
    for (const QUrl& url : workspace.opened) {
        if (url.isLocalFile()) continue;
        const QString scheme = url.scheme().toLower();
        FUZZ_CHECK(scheme == QStringLiteral("http") || scheme == QStringLiteral("https"));
        FUZZ_CHECK(!url.host().isEmpty());
    }
    // Encoded and decoded again, every item comes back field by field.
    FUZZ_CHECK(DockShortcut::decodeList(DockShortcut::encodeList(loaded)) == loaded);
    // Removing an item that is not there saves the list as it was loaded.
    first.remove({QUuid::createUuid(), QString(), QString(), DockShortcut::Kind::separator, std::nullopt});

    if (!decodes) {
        FUZZ_CHECK(loaded.empty());
        FUZZ_CHECK(folder.keptAside(fileName, QStringLiteral("dock-shortcuts.corrupt-")));
        return 0;
    }
    DockContentStore second(persistence, workspace, openPanel, running);
    FUZZ_CHECK(second.items() == loaded);
    return 0;
}
