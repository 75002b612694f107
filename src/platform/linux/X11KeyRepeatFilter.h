#pragma once

#include <cstdint>
#include <map>

namespace vantrel {

// Tells a key's first press from the presses the X server makes up while the key is held. Without
// detectable auto-repeat every made-up press follows a made-up release of the same key at the same
// server time; with it, presses simply follow one another with no release between. Both are
// repeats; a press after a release at an earlier time is a new one. Qt's own key handling relies on
// the first form, so the connection is left as it is and the repeats are filtered here.
class X11KeyRepeatFilter {
public:
    // Whether this press of `keycode` at server time `time` is a new one (false: a repeat).
    bool press(std::uint32_t keycode, std::uint32_t time);
    void release(std::uint32_t keycode, std::uint32_t time);
    // Drops what is known about `keycode`, once its releases may no longer arrive.
    void forget(std::uint32_t keycode);

private:
    struct KeyState {
        bool down = false;
        std::uint32_t releasedAt = 0;
        bool released = false;
    };
    std::map<std::uint32_t, KeyState> keys_;
};

} // namespace vantrel
