#pragma once

#include <cstdint>
#include <functional>

namespace vantrel {

enum class PowerEvent { willSleep, didWake };

// Tells observers when the machine is about to sleep and when it has woken up. Handlers run on
// the main thread. Where the system offers no such signal, handlers are kept but never run.
class SleepWakeMonitor {
public:
    using ObserverId = std::uint64_t;
    virtual ~SleepWakeMonitor() = default;
    virtual ObserverId addObserver(PowerEvent event, std::function<void()> handler) = 0;
    // Removing an unknown or already removed observer is harmless.
    virtual void removeObserver(ObserverId id) = 0;
};

} // namespace vantrel
