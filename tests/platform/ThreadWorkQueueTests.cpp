#include "platform/ThreadWorkQueue.h"

#include <QSemaphore>
#include <QThread>
#include <gtest/gtest.h>
#include <set>
#include <vector>

using namespace vantrel;

TEST(ThreadWorkQueue, RunsWorkInOrderOnOneWorkerAndDestructionWaitsForTheRunningItem) {
    std::vector<int> order;
    std::set<QThread*> threads;
    QSemaphore started, release;
    {
        ThreadWorkQueue queue(QStringLiteral("com.vantrel.test"));
        EXPECT_FALSE(queue.hasStarted()) << "no thread before the first work";
        for (int i = 0; i < 5; ++i)
            queue.async([&, i] {
                order.push_back(i);
                threads.insert(QThread::currentThread());
            });
        queue.async([&] {
            started.release();
            release.acquire();
            order.push_back(5);
        });
        started.acquire();
        release.release();
    }
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 5}))
        << "the running item finished before the queue died";
    EXPECT_EQ(threads.size(), 1u) << "one serial worker";
    EXPECT_FALSE(threads.count(QThread::currentThread()));
}

TEST(ThreadWorkQueue, AQueueThatWasNeverUsedStartsNoThreadAndGoesQuietly) {
    ThreadWorkQueue queue(QStringLiteral("com.vantrel.unused"));
    EXPECT_FALSE(queue.hasStarted());
}

TEST(ThreadWorkQueue, SyncWaitsForTheEarlierItemsAndRunsOnTheWorker) {
    ThreadWorkQueue idle(QStringLiteral("com.vantrel.idle"));
    QThread* ranOn = nullptr;
    idle.sync([&] { ranOn = QThread::currentThread(); });
    EXPECT_EQ(ranOn, QThread::currentThread());
    EXPECT_FALSE(idle.hasStarted()) << "nothing earlier to wait for: no thread started";

    ThreadWorkQueue queue(QStringLiteral("com.vantrel.sync"));
    std::vector<int> order;
    QSemaphore release;
    QThread* worker = nullptr;
    queue.async([&] {
        release.acquire();
        order.push_back(1);
        worker = QThread::currentThread();
    });
    release.release();
    QThread* syncThread = nullptr;
    queue.sync([&] {
        order.push_back(2);
        syncThread = QThread::currentThread();
    });
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_EQ(syncThread, worker);
    EXPECT_NE(syncThread, QThread::currentThread());
}
