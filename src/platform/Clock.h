#pragma once

#include <QDateTime>
#include <chrono>

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
inline double secondsBetween(MonoTime from, MonoTime to) { return Seconds(to - from).count(); }
inline double secondsBetween(WallTime from, WallTime to) { return Seconds(to - from).count(); }

inline QDateTime toQDateTime(WallTime time) {
    return QDateTime::fromMSecsSinceEpoch(
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count(), Qt::UTC);
}
inline WallTime fromQDateTime(const QDateTime& time) {
    return WallTime(std::chrono::milliseconds(time.toMSecsSinceEpoch()));
}

} // namespace vantrel
