#pragma once

#include <QDateTime>
#include <chrono>
#include <optional>

namespace vantrel {

// Seconds as a floating-point duration: the unit every interval of the system is given in.
using Seconds = std::chrono::duration<double>;
using WallTime = std::chrono::system_clock::time_point;
using MonoTime = std::chrono::steady_clock::time_point;

// Wall time for what users see and what is stored; monotonic time for measuring intervals,
// so a clock change never makes a timer run backwards.
class Clock {
public:
    virtual ~Clock() = default;
    virtual WallTime now() const = 0;
    virtual MonoTime monotonicNow() const = 0;
};

class SystemClock final : public Clock {
public:
    WallTime now() const override { return std::chrono::system_clock::now(); }
    MonoTime monotonicNow() const override { return std::chrono::steady_clock::now(); }
};

inline WallTime addSeconds(WallTime point, Seconds delta) {
    return point + std::chrono::duration_cast<WallTime::duration>(delta);
}
inline MonoTime addSeconds(MonoTime point, Seconds delta) {
    return point + std::chrono::duration_cast<MonoTime::duration>(delta);
}
inline double secondsBetween(MonoTime from, MonoTime to) {
    return Seconds(to - from).count();
}
inline double secondsBetween(WallTime from, WallTime to) {
    return Seconds(to - from).count();
}

inline QDateTime toQDateTime(WallTime time) {
    return QDateTime::fromMSecsSinceEpoch(
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count(), Qt::UTC);
}
// The clock counts nanoseconds in 64 bits, from 1677-09-21 to 2262-04-11; calendars and stored
// files hold dates far outside that (birthdays in 1604, "forever" as 9999). The clock's point for
// `time`, or none when `time` is invalid or outside that range.
inline std::optional<WallTime> fromQDateTime(const QDateTime& time) {
    constexpr qint64 kLimit =
        std::chrono::duration_cast<std::chrono::milliseconds>(WallTime::duration::max()).count();
    if (!time.isValid()) return std::nullopt;
    const qint64 milliseconds = time.toMSecsSinceEpoch();
    if (milliseconds > kLimit || milliseconds < -kLimit) return std::nullopt;
    return WallTime(std::chrono::milliseconds(milliseconds));
}

} // namespace vantrel
