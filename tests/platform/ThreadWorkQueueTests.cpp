#include "platform/ThreadWorkQueue.h"

#include <QSemaphore>
#include <QThread>
#include <gtest/gtest.h>
#include <set>
#include <vector>

using namespace vantrel;

TEST(ThreadWorkQueue, RunsWorkInOrderOffTheMainThreadAndDestructionWaitsForTheRunningItem) {
    std::vector<int> order;
    std::vector<QThread*> threads;
    QSemaphore done;
    QSemaphore started;
    QSemaphore release;
    bool finished = false;
    {
        ThreadWorkQueue queue(QStringLiteral("com.vantrel.test"));
        for (int i = 0; i < 5; ++i) {
            queue.async([&, i] {
                order.push_back(i);
                threads.push_back(QThread::currentThread());
                if (i == 4) done.release();
            });
        }
        done.acquire();
        queue.async([&] {
            started.release();
            release.acquire();
            finished = true;
        });
        started.acquire();
        release.release();
    }
    EXPECT_TRUE(finished);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
    for (QThread* t : threads)
        EXPECT_NE(t, QThread::currentThread());
    EXPECT_EQ(std::set<QThread*>(threads.begin(), threads.end()).size(), 1u) << "one serial worker";
}
