#include "dock/SystemDockQueue.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace vantrel;

TEST(SystemDockQueue, RunsOneJobPerLaterTurnOfTheMainLoopInOrderAndSyncRunsTheRestFirst) {
    SystemDockQueue queue;
    QStringList order;
    queue.async([&] { order << "first"; });
    queue.async([&] {
        order << "second";
        queue.async([&] { order << "queued by second"; });
    });
    EXPECT_TRUE(order.isEmpty()) << "never on the caller's turn";
    QCoreApplication::processEvents();
    EXPECT_EQ(order, QStringList{"first"});
    QCoreApplication::processEvents();
    EXPECT_EQ(order, (QStringList{"first", "second"}));
    QCoreApplication::processEvents();
    EXPECT_EQ(order, (QStringList{"first", "second", "queued by second"}));
    EXPECT_EQ(queue.pendingCount(), 0u);

    // At quit: whatever waits runs first, in order, then the synchronous job, before returning.
    queue.async([&] { order << "waiting 1"; });
    queue.async([&] { order << "waiting 2"; });
    queue.sync([&] { order << "sync"; });
    EXPECT_EQ(order.mid(3), (QStringList{"waiting 1", "waiting 2", "sync"}));
    QCoreApplication::processEvents();
    EXPECT_EQ(order.size(), 6) << "the turns scheduled earlier find nothing left to run";
}
