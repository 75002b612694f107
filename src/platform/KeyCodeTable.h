#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace vantrel {

// Where the keys of a stored hot key sit. Stored hot keys keep macOS virtual key codes, which
// name a key by its position on the keyboard; Linux names the same positions by evdev codes, and
// an X server by evdev code + 8. The table covers the letters, digits, punctuation, Space, Return,
// Tab, Escape, Delete, the arrows and F1 to F12.
namespace KeyCodeTable {

struct Entry {
    std::uint16_t macKeyCode;
    std::uint16_t evdevCode;
    // The Qt::Key the key gives on a US layout, for key events that carry no scan code.
    int qtKey;
};

std::span<const Entry> entries();

// The X keycode at the position of `macKeyCode`; none for a key the table lacks.
std::optional<std::uint32_t> xKeycode(std::uint32_t macKeyCode);
// The macOS key code of the key at X keycode `xKeycode`; none for a key the table lacks.
std::optional<std::uint32_t> macKeyCode(std::uint32_t xKeycode);
// The macOS key code of a key known only by its Qt::Key (no scan code); none when unknown.
std::optional<std::uint32_t> macKeyCodeForQtKey(int qtKey);

} // namespace KeyCodeTable

} // namespace vantrel
