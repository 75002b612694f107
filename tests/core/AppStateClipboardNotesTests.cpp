#include "core/AppState.h"
#include "modules/ClipboardStore.h"
#include "modules/NotesStore.h"
#include "support/RecordingAppComponents.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

QStringList clipboardTexts(const AppState& state) {
    QStringList out;
    for (const ClipboardEntry& entry : state.clipboard().entries())
        out.append(entry.text);
    return out;
}

TEST(AppStateClipboardAndNotes, ClipboardPollsWhileStartedAndAwakeAndNotesAreWrittenAtStop) {
    AppStateHarness h;
    AppState state(h.factory);
    EXPECT_FALSE(state.clipboard().isPolling()) << "nothing polls before start";
    state.start();
    EXPECT_TRUE(state.clipboard().isPolling());
    h.pasteboard.copyFromElsewhere(QStringLiteral("copied"));
    h.scheduler.advance(Seconds(ClipboardStore::kPollInterval));
    EXPECT_EQ(clipboardTexts(state), QStringList{QStringLiteral("copied")});

    h.sleepWake.post(PowerEvent::willSleep);
    h.scheduler.runDue();
    EXPECT_FALSE(state.clipboard().isPolling());
    h.pasteboard.copyFromElsewhere(QStringLiteral("copied while asleep"));
    h.scheduler.advance(Seconds(5));
    EXPECT_EQ(clipboardTexts(state).size(), 1);
    h.sleepWake.post(PowerEvent::didWake);
    h.scheduler.runDue();
    EXPECT_TRUE(state.clipboard().isPolling());
    h.scheduler.advance(Seconds(ClipboardStore::kPollInterval));
    EXPECT_EQ(clipboardTexts(state).first(), QStringLiteral("copied while asleep"));

    // Quitting 0.1 seconds after typing writes the typing at once, and no later save follows.
    state.notes().updateSelected(QStringLiteral("typed just before quitting"));
    h.scheduler.advance(Seconds(0.1));
    state.stop();
    EXPECT_FALSE(state.clipboard().isPolling());
    EXPECT_FALSE(state.notes().hasPendingSave());
    const QString notesFile = h.home.paths().dataFolder() + QStringLiteral("/notes.json");
    const QJsonObject saved = QJsonDocument::fromJson(h.home.readFile(notesFile)).object();
    EXPECT_EQ(saved[QStringLiteral("notes")].toArray()[0].toObject()[QStringLiteral("body")].toString(),
              QStringLiteral("typed just before quitting"));
    const qsizetype writes = h.log.entries.count(QStringLiteral("files.write notes.json"));
    h.scheduler.advance(Seconds(5));
    EXPECT_EQ(h.log.entries.count(QStringLiteral("files.write notes.json")), writes);
}

} // namespace
