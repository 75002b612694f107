#include "core/AppState.h"
#include "core/VantrelAppDelegate.h"
#include "modules/BookmarksStore.h"
#include "modules/CalendarStore.h"
#include "modules/FileShelfStore.h"
#include "support/RecordingAppComponents.h"
#include "support/RecordingStatusBar.h"

#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

TEST(AppStateShelfBookmarksCalendar, TheCalendarIsReadAtStartAndOnEveryActivation) {
    AppStateHarness h;
    h.calendarService.stored = {CalendarEvent{QStringLiteral("e1"),
                                              QStringLiteral("Stand-up"),
                                              addSeconds(h.clock.now(), Seconds(600)),
                                              addSeconds(h.clock.now(), Seconds(1200)),
                                              false,
                                              {}}};
    AppState state(h.factory);
    RecordingStatusBar statusBar;
    VantrelAppDelegate delegate(state, h.shell, statusBar, h.defaults, h.systemLog);
    EXPECT_TRUE(h.calendarService.windows.empty()) << "building the store reads no events";

    delegate.applicationDidFinishLaunching();
    ASSERT_EQ(h.calendarService.windows.size(), 1u);
    EXPECT_EQ(state.calendar().briefing(), QStringLiteral("Stand-up starts in 10 minutes."));

    h.clock.advance(Seconds(300));
    delegate.applicationDidBecomeActive();
    EXPECT_EQ(h.calendarService.windows.size(), 2u);
    EXPECT_EQ(state.calendar().briefing(), QStringLiteral("Stand-up starts in 5 minutes."));
    delegate.applicationWillTerminate();
}

TEST(AppStateShelfBookmarksCalendar, ShelfAndBookmarksUseTheSharedServices) {
    AppStateHarness h;
    AppState state(h.factory);
    EXPECT_TRUE(state.fileShelf().items().isEmpty());
    const QString path = h.home.writeFile(QStringLiteral("parked.txt"), "x");
    state.fileShelf().add({QUrl::fromLocalFile(path)});
    EXPECT_EQ(h.defaults.standard().stringList(QStringLiteral("shelf.paths")), QStringList{path});
    EXPECT_GT(h.hapticPerformer.count(), 0u);
    state.fileShelf().airDrop(state.fileShelf().items());
    EXPECT_EQ(state.fileShelf().shareStatus(), QStringLiteral("AirDrop is unavailable on this Mac."));

    ASSERT_TRUE(state.bookmarks().addWebsite({}, QStringLiteral("example.org")));
    EXPECT_TRUE(h.log.entries.contains(QStringLiteral("files.write bookmarks.json")));
    state.bookmarks().open(state.bookmarks().items().front());
    ASSERT_EQ(h.workspace.opened.size(), 1u);
    EXPECT_EQ(h.workspace.opened.front(), QUrl(QStringLiteral("https://example.org")));
}
