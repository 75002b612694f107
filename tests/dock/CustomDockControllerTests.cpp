#include "DockControllerFixture.h"
#include "dock/SystemDockSuppressor.h"
#include "support/QtPrinters.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <limits>

using namespace vantrel;
using namespace vantrel::test;

namespace {
QString utf8(const char* text) {
    return QString::fromUtf8(text);
}
const char* const kSwitching = "Switching to Vantrel Dock\u2026";
const char* const kRestoring = "Restoring the macOS Dock\u2026";
const char* const kSuppressed =
    "Vantrel Dock active \u00b7 native Dock reduced to its 1 pt Mission Control footprint";
const char* const kSuppressFailed =
    "Vantrel Dock remains available, but the macOS Dock could not be fully hidden";
const char* const kRestored = "Native macOS Dock restored";
const char* const kRestoreFailed =
    "Could not restore the macOS Dock \u00b7 Vantrel Dock remains available for safety";
const char* const kSteadySuppressed =
    "Vantrel Dock active \u00b7 native Dock reduced to its 1 pt safety footprint";
const char* const kSteadyOff = "Native macOS Dock active \u00b7 Vantrel Dock off";
} // namespace

TEST(CustomDockController, StartsRevealedWithTheNativeDockActiveAndNoPanel) {
    DockControllerFixture f;
    CustomDockController& dock = f.make();
    EXPECT_TRUE(dock.isDockRevealed());
    EXPECT_FALSE(dock.isVantrelDockVisible());
    EXPECT_FALSE(dock.isChangingSystemDock());
    EXPECT_EQ(dock.statusMessage(), "Native macOS Dock active");

    // Off at start-up with nothing pending: no command, no panel, the steady text.
    f.switchOff();
    EXPECT_EQ(f.dockQueue.pendingCount(), 0u);
    EXPECT_TRUE(f.dock.commands.entries.isEmpty());
    EXPECT_FALSE(dock.hasPanel());
    EXPECT_EQ(dock.statusMessage(), utf8(kSteadyOff));
}

TEST(CustomDockController, ShowSuppressesOnTheQueueAndReportsEachStep) {
    DockControllerFixture f;
    CustomDockController& dock = f.make();
    dock.show(f.preferences, f.content);
    EXPECT_TRUE(dock.hasPanel());
    EXPECT_TRUE(dock.isVantrelDockVisible());
    EXPECT_EQ(f.stacking.kept(), QList<QWidget*>{dock.panel()}) << "kept above other windows";
    EXPECT_TRUE(dock.isChangingSystemDock());
    EXPECT_EQ(dock.statusMessage(), utf8(kSwitching));
    EXPECT_TRUE(f.dock.commands.entries.isEmpty()) << "nothing runs before the queue does";

    f.dockQueue.drain();
    EXPECT_TRUE(dock.isSystemDockSuppressed());
    EXPECT_FALSE(dock.isChangingSystemDock());
    EXPECT_EQ(dock.statusMessage(), utf8(kSuppressed));
    EXPECT_TRUE(f.dock.commands.entries.contains("restart"));

    // Showing again changes nothing on the system Dock: the steady text.
    dock.show(f.preferences, f.content);
    EXPECT_EQ(f.dockQueue.pendingCount(), 0u);
    EXPECT_EQ(dock.statusMessage(), utf8(kSteadySuppressed));

    // Switching off restores, then removes the panel.
    dock.hide(false);
    EXPECT_EQ(dock.statusMessage(), utf8(kRestoring));
    EXPECT_TRUE(dock.hasPanel());
    f.dockQueue.drain();
    EXPECT_EQ(dock.statusMessage(), utf8(kRestored));
    EXPECT_FALSE(dock.hasPanel());
    EXPECT_FALSE(dock.isVantrelDockVisible());
    EXPECT_FALSE(SystemDockProcess::hasPendingRestore(f.defaults.standard()));
}

TEST(CustomDockController, SwitchingOffDuringASuppressionRestoresRightAfterIt) {
    DockControllerFixture f;
    CustomDockController& dock = f.make();
    dock.show(f.preferences, f.content);
    dock.setIsEditingItems(true);
    dock.hide(false);
    EXPECT_FALSE(dock.isEditingItems());
    // The suppression is still queued: its text stays until it has ended.
    EXPECT_EQ(dock.statusMessage(), utf8(kSwitching));
    EXPECT_EQ(f.dockQueue.pendingCount(), 1u);

    f.dockQueue.runNext();
    EXPECT_EQ(dock.statusMessage(), utf8(kRestoring));
    EXPECT_EQ(f.dockQueue.pendingCount(), 1u);
    f.dockQueue.runNext();
    EXPECT_EQ(dock.statusMessage(), utf8(kRestored));
    EXPECT_FALSE(dock.hasPanel());
}

TEST(CustomDockController, AFailedSuppressionIsRolledBackAtSwitchOffAndAFailedRestoreWaitsForTheNextCall) {
    DockControllerFixture f;
    f.dock.failingWrites.insert(QStringLiteral("tilesize"));
    CustomDockController& dock = f.make();
    dock.show(f.preferences, f.content);
    f.dockQueue.drain();
    EXPECT_EQ(dock.statusMessage(), utf8(kSuppressFailed));
    EXPECT_TRUE(dock.isSystemDockSuppressed()) << "the snapshot flags are set";
    EXPECT_TRUE(dock.hasPanel());
    EXPECT_EQ(f.dockQueue.pendingCount(), 0u) << "a failed suppression still wanted is not retried";

    // The restore fails too: the replacement Dock stays, and nothing retries on its own.
    f.dock.restartSucceeds = false;
    dock.hide(false);
    f.dockQueue.drain();
    EXPECT_EQ(dock.statusMessage(), utf8(kRestoreFailed));
    EXPECT_TRUE(dock.hasPanel());
    EXPECT_TRUE(dock.isSystemDockSuppressed());
    EXPECT_EQ(f.dockQueue.pendingCount(), 0u);

    f.dock.restartSucceeds = true;
    dock.hide(false);
    f.dockQueue.drain();
    EXPECT_EQ(dock.statusMessage(), utf8(kRestored));
    EXPECT_FALSE(dock.hasPanel());
}

TEST(CustomDockController, ASuppressionThatFailsWhileSwitchingOffIsRolledBackAtOnce) {
    DockControllerFixture f;
    f.dock.failingWrites.insert(QStringLiteral("largesize"));
    CustomDockController& dock = f.make();
    dock.show(f.preferences, f.content);
    dock.hide(false);
    f.dockQueue.runNext(); // the failed suppression left its snapshot: restore it
    EXPECT_EQ(dock.statusMessage(), utf8(kRestoring));
    f.dockQueue.drain();
    EXPECT_EQ(dock.statusMessage(), utf8(kRestored));
    EXPECT_FALSE(SystemDockProcess::hasPendingRestore(f.defaults.standard()));
}

TEST(CustomDockController, ARestorePendingFromAnEarlierRunIsSuppressedAfreshOnShow) {
    DockControllerFixture f;
    f.defaults.standard().setBool("vantrelDock.systemDockRestorePending", true);
    f.defaults.standard().setBool("vantrelDock.visualSnapshotCaptured.v1", true);
    CustomDockController& dock = f.make();
    EXPECT_TRUE(dock.isSystemDockSuppressed());
    EXPECT_TRUE(dock.shouldVerifyInitialPendingSuppression());

    dock.show(f.preferences, f.content);
    EXPECT_EQ(dock.statusMessage(), utf8(kSwitching));
    f.dockQueue.drain();
    // Both snapshots are kept: no reads, the suppressed values written again.
    EXPECT_TRUE(f.dock.commands.entries.filter("read").isEmpty());
    EXPECT_EQ(f.dock.commands.entries.filter("write").size(), 8);
    EXPECT_EQ(dock.statusMessage(), utf8(kSuppressed));
}

TEST(CustomDockController, QuittingRestoresBeforeReturningAndIgnoresWhatWasInFlight) {
    DockControllerFixture f;
    CustomDockController& dock = f.make();
    dock.show(f.preferences, f.content);
    ASSERT_EQ(f.dockQueue.pendingCount(), 1u);

    dock.hide(true);
    // The queued suppression ran first, then the restore, all before returning.
    EXPECT_EQ(f.dockQueue.syncCount(), 1u);
    EXPECT_EQ(f.dock.commands.entries.filter("restart").size(), 2);
    EXPECT_FALSE(dock.hasPanel());
    EXPECT_FALSE(dock.isChangingSystemDock());
    EXPECT_FALSE(dock.isSystemDockSuppressed());
    EXPECT_EQ(dock.statusMessage(), utf8(kRestored));
    // The suppression's late answer changes nothing.
    QCoreApplication::processEvents();
    EXPECT_EQ(dock.statusMessage(), utf8(kRestored));
    EXPECT_EQ(f.dockQueue.pendingCount(), 0u);
    // Nothing counts as in flight any more: showing again starts a suppression at once.
    EXPECT_FALSE(dock.isTransitionInFlight());
    dock.show(f.preferences, f.content);
    EXPECT_EQ(dock.statusMessage(), utf8(kSwitching));
    EXPECT_EQ(f.dockQueue.pendingCount(), 1u);

    // A restore that fails at quit says so and leaves the flags for the next start.
    DockControllerFixture g;
    CustomDockController& other = g.make();
    other.show(g.preferences, g.content);
    g.dockQueue.drain();
    g.dock.restartSucceeds = false;
    other.hide(true);
    EXPECT_EQ(other.statusMessage(), "Could not restore the macOS Dock before quitting");
    EXPECT_TRUE(other.isSystemDockSuppressed());
    EXPECT_TRUE(SystemDockProcess::hasPendingRestore(g.defaults.standard()));
}

TEST(CustomDockController, TheFrameFollowsTheEstimateTheAlignmentAndTheRevealState) {
    DockControllerFixture f;
    f.pinnedItems = 6;
    f.runningApplications = 3;
    f.preferences.setCustomDockShowRunning(false);
    f.preferences.setCustomDockHideMode(DockHideMode::never);
    CustomDockController& dock = f.make();
    dock.show(f.preferences, f.content);
    // 49 × 8 + 8 × 7 + 18 + 46 = 512 wide, 44 + 37 tall; the bottom 8 above the work area's.
    EXPECT_EQ(f.panelFrame(), QRect(500, 942 - 8 - 81, 512, 81));

    f.preferences.setCustomDockShowRunning(true); // three more tiles
    f.preferences.setCustomDockAlignment(DockAlignment::left);
    dock.reposition();
    EXPECT_EQ(f.panelFrame(), QRect(12, 853, 512 + 3 * 57, 81));
    f.preferences.setCustomDockAlignment(DockAlignment::right);
    f.preferences.setCustomDockShowTrash(false);
    dock.reposition();
    EXPECT_EQ(f.panelFrame(), QRect(1512 - 12 - (512 + 2 * 57), 853, 512 + 2 * 57, 81));

    // Never wider than the work area less 24.
    f.pinnedItems = 60;
    dock.reposition();
    EXPECT_EQ(f.panelFrame().width(), 1512 - 24);

    // Slid out, 3 points stay above the screen's bottom edge.
    EXPECT_EQ(dock.targetFrame(DockControllerFixture::kMain, f.preferences, false).top(), 982 - 3);
    f.pinnedItems = 0;
    f.preferences.setCustomDockShowTrash(false);
    f.preferences.setCustomDockShowRunning(false);
    EXPECT_EQ(dock.targetFrame(DockControllerFixture::kMain, f.preferences, true).width(), 49 + 18 + 46);
}

TEST(CustomDockController, MeasuredSizesAreCoalescedAndSmallChangesIgnored) {
    DockControllerFixture f;
    f.preferences.setCustomDockHideMode(DockHideMode::never);
    CustomDockController& dock = f.make();
    dock.show(f.preferences, f.content);

    dock.contentSizeChanged(QSizeF(400, 70));
    dock.contentSizeChanged(QSizeF(620.4, 90));
    EXPECT_FALSE(dock.measuredContentSize()) << "applied on a later turn of the main loop";
    QCoreApplication::processEvents();
    EXPECT_EQ(dock.measuredContentSize(), QSizeF(620.4, 90));
    EXPECT_EQ(f.panelFrame(), QRect(446, 942 - 8 - 90, 620, 90));

    // Within half a point in both directions: nothing moves.
    dock.contentSizeChanged(QSizeF(620.8, 90.4));
    QCoreApplication::processEvents();
    EXPECT_EQ(dock.measuredContentSize(), QSizeF(620.4, 90));
    // Half a point or more in one direction is a change.
    dock.contentSizeChanged(QSizeF(620.4, 90.5));
    QCoreApplication::processEvents();
    EXPECT_EQ(dock.measuredContentSize(), QSizeF(620.4, 90.5));

    // Sizes that are no sizes are ignored.
    const double infinity = std::numeric_limits<double>::infinity();
    for (const QSizeF bad : {QSizeF(0, 90), QSizeF(500, -1), QSizeF(infinity, 90), QSizeF(500, std::nan(""))})
        dock.contentSizeChanged(bad);
    QCoreApplication::processEvents();
    EXPECT_EQ(dock.measuredContentSize(), QSizeF(620.4, 90.5));

    // Wider than the work area: clipped to it less 24.
    dock.contentSizeChanged(QSizeF(3000, 90));
    QCoreApplication::processEvents();
    EXPECT_EQ(f.panelFrame().width(), 1512 - 24);
}

TEST(FloatingDockPanel, AsksTheDesktopForTheDockMarkOnceBeforeItIsFirstShown) {
    RecordingWindowStacking stacking;
    FloatingDockPanel panel;
    EXPECT_EQ(panel.size(), QSize(540, 78));
    EXPECT_EQ(panel.level(), 3) << "floating";
    panel.setStacking(&stacking);
    EXPECT_TRUE(stacking.kept().isEmpty()) << "nothing to keep above while hidden";
    panel.orderFront();
    EXPECT_EQ(stacking.marked(), QList<QWidget*>{&panel});
    EXPECT_EQ(stacking.visibleWhenMarked(), QList<bool>{false}) << "window managers read the type only then";
    EXPECT_TRUE(panel.isMarkedAsDock());
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(stacking.kept(), QList<QWidget*>{&panel});
    panel.orderOut();
    panel.orderFront();
    EXPECT_EQ(stacking.marked().size(), 1) << "once";

    // A desktop that does not take the mark, and a panel without a stacking, still show the panel.
    stacking.takesDockMark = false;
    FloatingDockPanel refused;
    refused.setStacking(&stacking);
    refused.orderFront();
    EXPECT_FALSE(refused.isMarkedAsDock());
    EXPECT_TRUE(refused.isVisible());
    FloatingDockPanel alone;
    alone.orderFront();
    EXPECT_FALSE(alone.isMarkedAsDock());
    EXPECT_TRUE(alone.isVisible());
    // Given a stacking once shown, it is kept above at once.
    alone.setStacking(&stacking);
    EXPECT_TRUE(stacking.kept().contains(&alone));
}

TEST(CustomDockController, ADockLeftAsItIsBecauseItsSettingsCannotBeReadIsSaidOnce) {
    DockControllerFixture f;
    f.dock.values[QStringLiteral("tilesize")] = QStringLiteral("48");
    f.dock.failing.insert(QStringLiteral("largesize"));
    CustomDockController& dock = f.make();
    QStringList said;
    QObject::connect(&dock, &CustomDockController::systemDockLeftAsItIs,
                     [&](const QString& reason) { said.append(reason); });
    int gone = 0;
    QObject::connect(&dock, &CustomDockController::systemDockProblemGone, [&] { ++gone; });
    dock.show(f.preferences, f.content);
    f.dockQueue.drain();
    QCoreApplication::processEvents();
    EXPECT_EQ(said, QStringList{"The macOS Dock was left as it is: its settings file could not be read."});
    EXPECT_EQ(gone, 0);
    EXPECT_EQ(dock.statusMessage(), utf8(kSuppressFailed));
    EXPECT_FALSE(dock.isSystemDockSuppressed());
    EXPECT_EQ(f.dock.values.at(QStringLiteral("tilesize")), QStringLiteral("48"));

    // Turned off, the Dock is wanted as it is: what was said goes.
    dock.hide(false);
    EXPECT_EQ(gone, 1);

    // Nothing pending: quitting touches nothing and says nothing more.
    dock.hide(true);
    EXPECT_EQ(said.size(), 1);
    EXPECT_TRUE(f.dock.commands.entries.filter(QRegularExpression("^(write|delete|restart)")).isEmpty());

    // Readable again: the Dock is reduced, and what was said of it is no longer so.
    f.dock.failing.clear();
    dock.show(f.preferences, f.content);
    f.dockQueue.drain();
    QCoreApplication::processEvents();
    EXPECT_TRUE(dock.isSystemDockSuppressed());
    EXPECT_EQ(gone, 2);
    EXPECT_EQ(said.size(), 1);
}
