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
    AppState state(h.factory);
    RecordingStatusBar statusBar;
    VantrelAppDelegate delegate(state, h.shell, statusBar, h.defaults, h.systemLog);
    EXPECT_TRUE(h.calendarService.windows.empty()) << "building the store reads no events";
    delegate.applicationDidFinishLaunching();
    EXPECT_EQ(h.calendarService.windows.size(), 1u);
    delegate.applicationDidBecomeActive();
    EXPECT_EQ(h.calendarService.windows.size(), 2u);
    delegate.applicationWillTerminate();
}

TEST(AppStateShelfBookmarksCalendar, ShelfAndBookmarksUseTheSharedServices) {
    AppStateHarness h;
    AppState state(h.factory);
    const QString path = h.home.writeFile(QStringLiteral("parked.txt"), "x");
    state.fileShelf().add({QUrl::fromLocalFile(path)});
    EXPECT_EQ(h.defaults.standard().stringList(QStringLiteral("shelf.paths")), QStringList{path});

    ASSERT_TRUE(state.bookmarks().addWebsite({}, QStringLiteral("example.org")));
    EXPECT_TRUE(h.log.entries.contains(QStringLiteral("files.write bookmarks.json")));
    state.bookmarks().open(state.bookmarks().items().front());
    EXPECT_EQ(h.workspace.opened, std::vector<QUrl>{QUrl(QStringLiteral("https://example.org"))});
}
