#pragma once

#include <cstdint>
#include <functional>

namespace vantrel {

// The pointer input that event monitors watch, one bit each so that a monitor names several.
enum class InputEventType : std::uint32_t {
    scrollWheel = 1u << 0,
    leftMouseDown = 1u << 1,
    rightMouseDown = 1u << 2,
    leftMouseUp = 1u << 3,
    // A change of click pressure; `stage` says how deep the press is.
    pressure = 1u << 4,
    magnify = 1u << 5,
    swipe = 1u << 6,
};

using InputEventMask = std::uint32_t;

constexpr InputEventMask maskOf(InputEventType type) {
    return static_cast<InputEventMask>(type);
}
constexpr InputEventMask operator|(InputEventType a, InputEventType b) {
    return maskOf(a) | maskOf(b);
}

// One observed event. Only what a monitor's owner reads is carried: no position, no key, no
// window.
struct InputEvent {
    InputEventType type = InputEventType::scrollWheel;
    // Scroll distance of this event in points.
    double scrollingDeltaX = 0;
    double scrollingDeltaY = 0;
    // Pressure events: 0 released, 1 a click, 2 a deep press.
    int stage = 0;
};

// Watches pointer input without ever consuming or changing it. A global monitor sees the events
// sent to other programs, a local one the events of this program's own windows; handlers run on
// the main thread, in the order the events happened.
class EventMonitors {
public:
    using Token = std::uint64_t;
    // The answer of a platform that cannot install the monitor asked for.
    static constexpr Token kRefused = 0;
    using Handler = std::function<void(const InputEvent& event)>;

    virtual ~EventMonitors() = default;
    virtual Token addGlobalMonitor(InputEventMask mask, Handler handler) = 0;
    virtual Token addLocalMonitor(InputEventMask mask, Handler handler) = 0;
    // Unknown or already removed tokens are ignored.
    virtual void removeMonitor(Token token) = 0;
};

} // namespace vantrel
