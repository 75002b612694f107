#pragma once

#include <QtGlobal>
#include <chrono>
#include <memory>

namespace vantrel {

// A local process that the X server named as the maker of a window, held by a process descriptor
// opened when it was confirmed: a signal sent through it reaches that very process or none, even
// after its id is given to another one.
class ConfirmedProcess {
public:
    // The time since boot, suspended time included: the clock of a process's start time.
    static std::chrono::nanoseconds sinceBoot();
    // The process holding `pid` now, provided it started no later than `firstSeen` (on the clock
    // of sinceBoot()): one started after its window was first seen took the id of the window's
    // maker. None when it cannot be opened or told.
    static std::shared_ptr<const ConfirmedProcess> confirm(qint32 pid, std::chrono::nanoseconds firstSeen);

    ~ConfirmedProcess();
    ConfirmedProcess(const ConfirmedProcess&) = delete;
    ConfirmedProcess& operator=(const ConfirmedProcess&) = delete;

    qint32 pid() const { return pid_; }
    // It has not ended yet.
    bool isRunning() const;
    // Kills it at once; false when it has ended or refuses.
    bool kill() const;

private:
    ConfirmedProcess(qint32 pid, int descriptor) : pid_(pid), descriptor_(descriptor) {}

    qint32 pid_;
    int descriptor_;
};

} // namespace vantrel
