#pragma once

#include <optional>

namespace vantrel {

// The machine's power sources.
class PowerSources {
public:
    virtual ~PowerSources() = default;
    // The charge of the first battery present, in whole percent; none without a battery.
    virtual std::optional<int> batteryLevel() const = 0;

protected:
    PowerSources() = default;
    PowerSources(const PowerSources&) = default;
    PowerSources& operator=(const PowerSources&) = default;
};

} // namespace vantrel
