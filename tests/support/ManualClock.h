#pragma once

#include "platform/Clock.h"

namespace vantrel::test {

// A clock that moves only when the test says so. Wall and monotonic time advance together.
class ManualClock final : public Clock {
public:
    // 2026-01-05 09:00:00 UTC, a Monday, unless a test sets another start.
    explicit ManualClock(WallTime start = WallTime(std::chrono::seconds(1767603600)))
        : wall_(start), mono_(MonoTime(std::chrono::hours(1000))) {}

    WallTime now() const override { return wall_; }
    MonoTime monotonicNow() const override { return mono_; }

    void advance(Seconds delta) {
        wall_ = addSeconds(wall_, delta);
        mono_ = addSeconds(mono_, delta);
    }
    // Moves only the wall clock, as a user changing the system time would.
    void setWallTime(WallTime time) { wall_ = time; }

private:
    WallTime wall_;
    MonoTime mono_;
};

} // namespace vantrel::test
