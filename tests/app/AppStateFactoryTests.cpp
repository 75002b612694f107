#include "app/AppState.h"
#include "dock/DockSettingsStore.h"
#include "dock/ProcessDockDefaultsClient.h"
#include "support/QtPrinters.h"
#include "support/RecordingAppComponents.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// How long destroying the queue asked for with `label` may wait: "unbounded", "<n> ms", or
// "missing" when no such queue was asked for.
QString queueNamed(const RecordingAppStateFactory& factory, const QString& label) {
    const auto found = std::find_if(factory.workQueues.begin(), factory.workQueues.end(),
                                    [&](const auto& queue) { return queue.first == label; });
    if (found == factory.workQueues.end()) return QStringLiteral("missing");
    if (!found->second) return QStringLiteral("unbounded");
    return QStringLiteral("%1 ms").arg(found->second->count());
}

} // namespace

TEST(AppStateFactory, TheBackgroundWorkRunsOnQueuesOfItsOwnNamedForIt) {
    AppStateHarness h;
    AppState state(h.factory);
    // The clipboard's writes and the window watch of the replacement Dock wait for their work
    // however long it takes; the media queue gives an unanswering player a quarter second.
    EXPECT_EQ(queueNamed(h.factory, QStringLiteral("clipboard.write")), QStringLiteral("unbounded"));
    EXPECT_EQ(queueNamed(h.factory, QStringLiteral("com.vantrel.mission-control-monitor")),
              QStringLiteral("unbounded"));
    EXPECT_EQ(queueNamed(h.factory, QStringLiteral("com.vantrel.media")), QStringLiteral("250 ms"));
    EXPECT_EQ(h.factory.workQueues.size(), 3u) << "one queue each, nothing else";
}

TEST(AppStateFactory, TheDockSettingsReadAndWriteTheSystemDocksDomain) {
    AppStateHarness h;
    std::unique_ptr<DockDefaultsClient> client =
        AppStateFactory::makeSystemDockClient(h.defaults, h.systemLog);
    auto* process = dynamic_cast<ProcessDockDefaultsClient*>(client.get());
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(process->domain(), QStringLiteral("com.apple.dock"));
    EXPECT_EQ(process->commandTimeout(), 4.0) << "seconds a command of the system Dock may take";

    // The store the state owns reads the system Dock's own values, and writes them back there.
    h.defaults.suite(QStringLiteral("com.apple.dock")).setDouble(QStringLiteral("tilesize"), 36);
    AppState state(h.factory);
    state.dockSettings().reload();
    h.systemDockQueue.drain();
    QCoreApplication::processEvents();
    EXPECT_EQ(state.dockSettings().tileSize(), 36);
    state.dockSettings().setTileSize(52);
    state.dockSettings().apply();
    h.systemDockQueue.drain();
    QCoreApplication::processEvents();
    EXPECT_EQ(h.defaults.suite(QStringLiteral("com.apple.dock")).doubleValue(QStringLiteral("tilesize")), 52);
}
