#include "platform/linux/ConfirmedProcess.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vantrel;

TEST(ConfirmedProcess, AProcessThatStartedAfterItsWindowWasSeenIsNotTheWindowsMaker) {
    // The window was first seen a second before the process holding its id started.
    const std::chrono::nanoseconds seenBefore = ConfirmedProcess::sinceBoot() - std::chrono::seconds(1);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::pause();
        ::_exit(0);
    }
    EXPECT_EQ(ConfirmedProcess::confirm(child, seenBefore), nullptr);

    // Seen after it started: the very process, which the descriptor kills.
    const std::shared_ptr<const ConfirmedProcess> process =
        ConfirmedProcess::confirm(child, ConfirmedProcess::sinceBoot());
    if (!process) ::kill(child, SIGKILL);
    ASSERT_NE(process, nullptr);
    EXPECT_TRUE(process->isRunning());
    EXPECT_TRUE(process->kill());
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    EXPECT_FALSE(process->isRunning());
    EXPECT_FALSE(process->kill()) << "it has ended";
}
