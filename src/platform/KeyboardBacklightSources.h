#pragma once

#include <QString>
#include <optional>

namespace vantrel {

// What a search of the machine for a keyboard backlight found.
struct KeyboardBacklightFinding {
    // A backlight whose brightness can go above 0.
    bool found = false;
    // The input devices that own lights (keyboards with lock lights, backlit keyboards).
    int inspectedDevices = 0;
    // Why the system refused to answer, when it did.
    std::optional<QString> error;
    bool operator==(const KeyboardBacklightFinding&) const = default;
};

// Where a keyboard backlight can be found. Reads only; blocks, so it is asked off the main
// thread.
class KeyboardBacklightSources {
public:
    virtual ~KeyboardBacklightSources() = default;
    virtual KeyboardBacklightFinding discover() = 0;
};

} // namespace vantrel
