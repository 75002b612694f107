#pragma once

#include "platform/Clock.h"

#include <cstdint>
#include <functional>

namespace vantrel {

// One key event taken from the keyboard while it is held. What key it was is not passed on,
// Escape excepted: the session's exit chord needs it.
struct GuardedKeyEvent {
    enum class Type {
        keyDown,
        keyUp,
        // A modifier key went down or up.
        flagsChanged,
        // A media, volume or brightness key.
        systemDefined
    };
    // The key code of Escape; every other key is kUnnamedKey.
    static constexpr int kEscapeKeyCode = 53;
    static constexpr int kUnnamedKey = -1;
    // The modifiers held, as event flags.
    static constexpr std::uint64_t kCapsLockFlag = 0x10000;
    static constexpr std::uint64_t kShiftFlag = 0x20000;
    static constexpr std::uint64_t kControlFlag = 0x40000;
    static constexpr std::uint64_t kOptionFlag = 0x80000;
    static constexpr std::uint64_t kCommandFlag = 0x100000;
    static constexpr std::uint64_t kNumericPadFlag = 0x200000;

    Type type = Type::keyDown;
    int keyCode = kUnnamedKey;
    std::uint64_t flags = 0;
    bool operator==(const GuardedKeyEvent&) const = default;
};

// Keeps every keyboard of the session from the other programs: while held, their key events come
// here instead and reach no program. The pointer stays free.
class KeyboardGuard {
public:
    using Handler = std::function<void(const GuardedKeyEvent& event)>;

    virtual ~KeyboardGuard() = default;
    // Takes the keyboard and hands its presses to `handler` on the main thread, in order. Gives it
    // back by itself `holdAtMost` later at the latest, whatever the main thread is doing. False
    // when the keyboard cannot be taken; holding again first gives back what is held.
    virtual bool hold(Seconds holdAtMost, Handler handler) = 0;
    // Gives the keyboard back; nothing when it is not held. Nothing reaches the handler after.
    virtual void release() = 0;
};

} // namespace vantrel
