#include "app/AppState.h"
#include "modules/ClipboardStore.h"
#include "modules/NotesStore.h"
#include "support/RecordingAppComponents.h"

#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

TEST(AppStateClipboardAndNotes, ClipboardPollsWhileStartedAndAwakeAndNotesAreWrittenAtStop) {
    AppStateHarness h;
    AppState state(h.factory);
    EXPECT_FALSE(state.clipboard().isWatching()) << "nothing polls before start";
    state.start();
    EXPECT_TRUE(state.clipboard().isWatching());
    h.sleepWake.post(PowerEvent::willSleep);
    h.scheduler.runDue();
    EXPECT_FALSE(state.clipboard().isWatching());
    h.sleepWake.post(PowerEvent::didWake);
    h.scheduler.runDue();
    h.pasteboard.copyFromElsewhere(QStringLiteral("copied"));
    h.scheduler.advance(Seconds(ClipboardStore::kPollInterval));
    ASSERT_EQ(state.clipboard().entries().size(), 1);

    // Quitting 0.1 seconds after typing writes the typing at once, and no later save follows.
    state.notes().updateSelected(QStringLiteral("typed just before quitting"));
    h.scheduler.advance(Seconds(0.1));
    state.stop();
    EXPECT_FALSE(state.clipboard().isWatching());
    const QString notesFile = h.home.paths().dataFolder() + QStringLiteral("/notes.json");
    EXPECT_TRUE(h.home.readFile(notesFile).contains("typed just before quitting"));
    const qsizetype writes = h.log.entries.count(QStringLiteral("files.write notes.json"));
    h.scheduler.advance(Seconds(5));
    EXPECT_EQ(h.log.entries.count(QStringLiteral("files.write notes.json")), writes);
}
