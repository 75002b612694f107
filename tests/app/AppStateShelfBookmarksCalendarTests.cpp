#include "app/AppState.h"
#include "app/VantrelAppDelegate.h"
#include "modules/CalendarStore.h"
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
