#pragma once

#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace vantrel {

// Wakes a thread that sleeps in poll(): a descriptor that becomes readable once raised, until
// drained. Where the system gives none, fd() is -1 and the sleeper wakes only for its other
// descriptors or its timeout.
class ThreadWake {
public:
    ThreadWake() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~ThreadWake() {
        if (fd_ >= 0) close(fd_);
    }
    ThreadWake(const ThreadWake&) = delete;
    ThreadWake& operator=(const ThreadWake&) = delete;

    int fd() const { return fd_; }
    void raise() const {
        if (fd_ < 0) return;
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(fd_, &one, sizeof one);
    }
    void drain() const {
        if (fd_ < 0) return;
        std::uint64_t count = 0;
        [[maybe_unused]] const ssize_t n = read(fd_, &count, sizeof count);
    }
    // Sleeps until raised or `otherFd` is readable (a negative one is not waited for), at most
    // `milliseconds` (-1: no limit); a raise that woke it is drained.
    void wait(int otherFd, int milliseconds) const {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {otherFd, POLLIN, 0}};
        if (poll(fds, 2, milliseconds) > 0 && (fds[0].revents & POLLIN)) drain();
    }

private:
    int fd_;
};

} // namespace vantrel
