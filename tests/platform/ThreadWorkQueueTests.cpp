#include "platform/ThreadWorkQueue.h"

#include "platform/ResultPort.h"

#include <QCoreApplication>

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

TEST(ThreadWorkQueue, AQueueWithAGraceLeavesAStuckWorkerAndItsLateResultIsDropped) {
    QSemaphore started, release, finished;
    int delivered = 0;
    const int abandonedBefore = ThreadWorkQueue::abandonedWorkers();
    {
        auto port = std::make_unique<ResultPort>();
        {
            ThreadWorkQueue queue(QStringLiteral("com.vantrel.stuck"), std::chrono::milliseconds(0));
            queue.async([&, handle = port->handle()] {
                started.release();
                // Stands for an open() or a call that never returns while the program quits.
                release.acquire();
                handle.post([&] { ++delivered; });
                finished.release();
            });
            started.acquire();
        } // returns although the work is still running
        EXPECT_EQ(ThreadWorkQueue::abandonedWorkers(), abandonedBefore + 1);
        port.reset(); // the owner is gone before the work ends
    }
    release.release();
    finished.acquire();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(delivered, 0) << "a result arriving after its owner is dropped";

    // While the owner lives, results arrive on its thread.
    ResultPort port;
    {
        ThreadWorkQueue queue(QStringLiteral("com.vantrel.prompt"), std::chrono::milliseconds(0));
        queue.async([&, handle = port.handle()] {
            handle.post([&] { ++delivered; });
            finished.release();
        });
        finished.acquire();
    }
    EXPECT_EQ(delivered, 0) << "never inside the worker";
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(delivered, 1);
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
