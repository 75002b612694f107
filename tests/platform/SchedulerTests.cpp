#include "platform/linux/QtScheduler.h"
#include "support/ManualScheduler.h"

#include <QCoreApplication>

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vantrel;
using namespace vantrel::test;

TEST(ManualScheduler, FiresDueWorkInTimeOrderAndMovesTheClock) {
    ManualClock clock;
    ManualScheduler scheduler(clock);
    const MonoTime start = clock.monotonicNow();
    std::vector<std::pair<std::string, double>> fired;
    auto record = [&](std::string name) {
        return [&, name] { fired.emplace_back(name, secondsBetween(start, clock.monotonicNow())); };
    };
    scheduler.schedule(Seconds(2), record("late"));
    scheduler.schedule(Seconds(1), record("early"));
    scheduler.schedule(Seconds(1), record("early-second"));
    scheduler.schedule(Seconds(5), record("beyond"));

    scheduler.advance(Seconds(3));
    ASSERT_EQ(fired.size(), 3u);
    EXPECT_EQ(fired[0].first, "early");
    EXPECT_EQ(fired[1].first, "early-second");
    EXPECT_EQ(fired[2].first, "late");
    EXPECT_DOUBLE_EQ(fired[0].second, 1.0);
    EXPECT_DOUBLE_EQ(fired[2].second, 2.0);
    EXPECT_DOUBLE_EQ(secondsBetween(start, clock.monotonicNow()), 3.0);
    EXPECT_EQ(scheduler.pendingCount(), 1u);
}

TEST(ManualScheduler, RepeatingWorkKeepsItsIntervalAndInterleavesWithOneShots) {
    ManualClock clock;
    ManualScheduler scheduler(clock);
    const MonoTime start = clock.monotonicNow();
    std::vector<std::string> fired;
    std::vector<double> tickTimes;
    const auto tick = scheduler.scheduleRepeating(Seconds(1), Seconds(0.1), [&] {
        fired.push_back("tick");
        tickTimes.push_back(secondsBetween(start, clock.monotonicNow()));
    });
    scheduler.schedule(Seconds(2.5), [&] { fired.push_back("once"); });

    scheduler.advance(Seconds(4.2));
    EXPECT_EQ(fired, (std::vector<std::string>{"tick", "tick", "once", "tick", "tick"}));
    EXPECT_EQ(tickTimes, (std::vector<double>{1, 2, 3, 4}));
    EXPECT_EQ(scheduler.intervalOf(tick), Seconds(1));
    EXPECT_EQ(scheduler.toleranceOf(tick), Seconds(0.1));
    EXPECT_NEAR(*scheduler.delayOf(tick), 0.8, 1e-9);
}

TEST(ManualScheduler, CancelledWorkNeverFiresEvenWhenCancelledByEarlierWork) {
    ManualClock clock;
    ManualScheduler scheduler(clock);
    int fired = 0;
    const auto victim = scheduler.schedule(Seconds(2), [&] { ++fired; });
    scheduler.schedule(Seconds(1), [&] { scheduler.cancel(victim); });
    Scheduler::TaskId self = 0;
    int selfRuns = 0;
    self = scheduler.scheduleRepeating(Seconds(0.5), Seconds(0), [&] {
        if (++selfRuns == 2) scheduler.cancel(self);
    });

    scheduler.advance(Seconds(10));
    EXPECT_EQ(fired, 0);
    EXPECT_EQ(selfRuns, 2);
    EXPECT_FALSE(scheduler.isScheduled(victim));
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    scheduler.cancel(victim); // harmless a second time
}

TEST(ManualScheduler, WorkScheduledDuringAdvanceRunsWhenDueWithinTheSameAdvance) {
    ManualClock clock;
    ManualScheduler scheduler(clock);
    std::vector<int> order;
    scheduler.schedule(Seconds(1), [&] {
        order.push_back(1);
        scheduler.schedule(Seconds(0), [&] { order.push_back(2); });
        scheduler.schedule(Seconds(5), [&] { order.push_back(3); });
    });
    scheduler.advance(Seconds(2));
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    scheduler.advance(Seconds(4));
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(ScheduledTask, CancelsOnDestructionAndReplacement) {
    ManualClock clock;
    ManualScheduler scheduler(clock);
    int fired = 0;
    {
        ScheduledTask task(scheduler, scheduler.schedule(Seconds(1), [&] { fired += 1; }));
        EXPECT_TRUE(task.isActive());
    }
    ScheduledTask replaced(scheduler, scheduler.schedule(Seconds(1), [&] { fired += 10; }));
    replaced = ScheduledTask(scheduler, scheduler.schedule(Seconds(1), [&] { fired += 100; }));
    scheduler.advance(Seconds(2));
    EXPECT_EQ(fired, 100);
    EXPECT_FALSE(replaced.isActive());
}

TEST(QtScheduler, TasksWithAToleranceGetCoarseTimersAndRunOnTheEventLoop) {
    QtScheduler scheduler;
    const auto poll = scheduler.scheduleRepeating(Seconds(0.55), Seconds(0.18), [] {});
    const auto tick = scheduler.scheduleRepeating(Seconds(0.05), Seconds(0), [] {});
    const auto save = scheduler.scheduleOnce(Seconds(2), Seconds(0.5), [] {});
    int ran = 0;
    const auto soon = scheduler.schedule(Seconds(0), [&] { ++ran; });
    EXPECT_EQ(scheduler.timerTypeOf(poll), Qt::CoarseTimer);
    EXPECT_EQ(scheduler.timerTypeOf(save), Qt::CoarseTimer);
    EXPECT_EQ(scheduler.timerTypeOf(tick), Qt::PreciseTimer);
    EXPECT_EQ(scheduler.timerTypeOf(soon), Qt::PreciseTimer);
    // A zero delay runs on the next turn of the event loop, once, and is forgotten.
    QCoreApplication::processEvents();
    EXPECT_EQ(ran, 1);
    EXPECT_FALSE(scheduler.isScheduled(soon));
    EXPECT_EQ(scheduler.timerTypeOf(soon), std::nullopt);
    scheduler.cancel(poll);
    EXPECT_FALSE(scheduler.isScheduled(poll));
}
