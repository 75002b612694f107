#include "platform/linux/X11KeyRepeatFilter.h"

namespace vantrel {

bool X11KeyRepeatFilter::press(std::uint32_t keycode, std::uint32_t time) {
    KeyState& key = keys_[keycode];
    const bool repeat = key.down || (key.released && key.releasedAt == time);
    key.down = true;
    key.released = false;
    return !repeat;
}

void X11KeyRepeatFilter::release(std::uint32_t keycode, std::uint32_t time) {
    KeyState& key = keys_[keycode];
    key.down = false;
    key.released = true;
    key.releasedAt = time;
}

void X11KeyRepeatFilter::forget(std::uint32_t keycode) {
    keys_.erase(keycode);
}

} // namespace vantrel
