#pragma once

#include "platform/KeyboardGuard.h"

#include <cstdint>
#include <set>
#include <vector>

struct xcb_connection_t;

namespace vantrel {

// What a core X key event is to the keyboard guard: a modifier key going down or up, a media
// key, Escape, or any other key, with the held modifiers as event flags (Control, Alt as Option,
// Super as Command, Shift, Caps Lock, Num Lock as the numeric pad).
class X11KeyClassifier {
public:
    X11KeyClassifier() = default;
    // `modifierKeycodes`: the keys of the server's modifier map; `keysyms`: the first keysym of
    // each keycode from `firstKeycode` on.
    X11KeyClassifier(std::set<std::uint8_t> modifierKeycodes, std::uint8_t firstKeycode,
                     std::vector<std::uint32_t> keysyms);
    // Reads both tables from the server.
    static X11KeyClassifier fromServer(xcb_connection_t* connection);

    // `press` false for a release; `state` as in the event.
    GuardedKeyEvent classify(std::uint8_t keycode, std::uint16_t state, bool press) const;
    static std::uint64_t flags(std::uint16_t state);

private:
    std::set<std::uint8_t> modifiers_;
    std::uint8_t firstKeycode_ = 0;
    std::vector<std::uint32_t> keysyms_;
};

} // namespace vantrel
