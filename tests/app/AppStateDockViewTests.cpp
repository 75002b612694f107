#include "app/AppState.h"
#include "dock/DockContentStore.h"
#include "dock/FileShelfDockButton.h"
#include "dock/FloatingDockPanel.h"
#include "dock/FloatingDockView.h"
#include "dock/TrashDockButton.h"
#include "support/QtPrinters.h"
#include "support/RecordingAppComponents.h"

#include <QCoreApplication>
#include <QTest>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace vantrel;
using namespace vantrel::test;

namespace {

RunningApplication program(qint32 pid, bool regular, bool terminated) {
    RunningApplication app;
    app.processIdentifier = pid;
    app.localizedName = QStringLiteral("App %1").arg(pid);
    app.isRegular = regular;
    app.isTerminated = terminated;
    return app;
}

TEST(AppStateDockView, TheDockShowsItsRealRowOverTheStatesStoresAndSizesThePanelFromIt) {
    AppStateHarness h;
    h.runningApplications.applications = {program(1, true, false), program(2, false, false),
                                          program(3, true, true), program(4, true, false)};
    h.trash.items = {QStringLiteral("old")};
    AppState state(h.factory);

    // Before the row has measured itself the panel's width counts the pinned items and the
    // regular programs that still run.
    CustomDockController::Dependencies dependencies = h.factory.customDockDependencies();
    EXPECT_EQ(dependencies.runningApplicationCount(), 2);
    EXPECT_EQ(dependencies.pinnedItemCount(state.dockContent()), 0);
    state.dockContent().addWebsite(QStringLiteral("Example"), QStringLiteral("example.org"));
    EXPECT_EQ(dependencies.pinnedItemCount(state.dockContent()), 1);

    h.preferences.setHasCompletedOnboarding(true);
    h.preferences.setCustomDockEnabled(true);
    state.start();
    ASSERT_TRUE(state.customDockController().hasPanel());
    auto* view = qobject_cast<FloatingDockView*>(state.customDockController().panel()->contentView());
    ASSERT_NE(view, nullptr) << "the real row, not a placeholder";
    ASSERT_NE(view->trashTile(), nullptr);
    EXPECT_FALSE(view->trashTile()->isEmpty()) << "the Trash handed in";
    // The measured size reaches the controller, which sizes the panel with it.
    QCoreApplication::processEvents();
    ASSERT_TRUE(state.customDockController().measuredContentSize().has_value());
    EXPECT_EQ(*state.customDockController().measuredContentSize(), view->layout().size);
    EXPECT_EQ(state.customDockController().panel()->frame().size(), view->layout().size.toSize());

    // Editing mode reaches the row through the controller.
    state.customDockController().setIsEditingItems(true);
    auto* site = view->tiles().front();
    EXPECT_EQ(site->toolTip(), "Example");
    site->activate();
    EXPECT_TRUE(h.workspace.opened.empty()) << "editing: a tap opens nothing";
    state.customDockController().setIsEditingItems(false);
    site->activate();
    EXPECT_EQ(h.workspace.opened.size(), 1u);
    state.stop();
}

TEST(AppStateDockView, QuittingWhileTheTrashEmptiesStopsTheEmptyingInsteadOfWaitingForIt) {
    std::atomic<bool> held{false};
    std::atomic<bool> stopSeen{false};
    {
        AppStateHarness h;
        h.factory.threadedQueue = QStringLiteral("com.vantrel.trash");
        h.trash.items = {QStringLiteral("old")};
        // Held mid-way on the worker until asked to stop; one never asked is let go after 20 s.
        h.trash.heldEmpty = [&](const std::function<bool()>& stopRequested) {
            held = true;
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (!stopRequested() && std::chrono::steady_clock::now() < until) std::this_thread::yield();
            stopSeen = stopRequested();
            return false;
        };
        h.alertPresenter.answer = 0;
        AppState state(h.factory);
        h.preferences.setHasCompletedOnboarding(true);
        h.preferences.setCustomDockEnabled(true);
        state.start();
        auto* view = qobject_cast<FloatingDockView*>(state.customDockController().panel()->contentView());
        ASSERT_NE(view, nullptr);
        view->trashTile()->emptyTrash();
        ASSERT_TRUE(QTest::qWaitFor([&] { return held.load(); }, 10000));
        EXPECT_FALSE(stopSeen);
        state.stop();
    } // Quitting: the state, then the factory with the Trash's queue, go.
    EXPECT_TRUE(stopSeen) << "the queue waited for an emptying that was never asked to stop";
}

TEST(AppStateDockView, TheFileShelfTileAndTheDockPagesShelfButtonOpenTheNotchsFilesWithTheFocus) {
    AppStateHarness h;
    AppState state(h.factory);
    h.preferences.setHasCompletedOnboarding(true);
    h.preferences.setCustomDockEnabled(true);
    state.start();
    ASSERT_TRUE(state.customDockController().hasPanel());
    auto* view = qobject_cast<FloatingDockView*>(state.customDockController().panel()->contentView());
    ASSERT_NE(view, nullptr);
    ASSERT_NE(view->shelfTile(), nullptr);
    qsizetype from = h.log.entries.size();
    view->shelfTile()->activate();
    EXPECT_EQ(h.log.entries.mid(from).filter(QStringLiteral("notch.expand")),
              QStringList{QStringLiteral("notch.expand files focus")});

    // The same from the control center's Dock page.
    ControlCenterViewServices views;
    const ControlCenterContext context = controlCenterContext(h, state, views, h.haptics);
    from = h.log.entries.size();
    ASSERT_TRUE(context.dock.has_value());
    context.dock->showFileShelf();
    EXPECT_EQ(h.log.entries.mid(from).filter(QStringLiteral("notch.expand")),
              QStringList{QStringLiteral("notch.expand files focus")});
    state.stop();
}

} // namespace
