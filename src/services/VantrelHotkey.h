#pragma once

#include <QString>
#include <cstdint>
#include <optional>

class QKeyEvent;

namespace vantrel {

class HotKeyService;

// One key combination: a macOS virtual key code and a Carbon modifier mask.
struct VantrelHotkey {
    static constexpr std::uint32_t kCommand = 0x100;
    static constexpr std::uint32_t kShift = 0x200;
    static constexpr std::uint32_t kOption = 0x800;
    static constexpr std::uint32_t kControl = 0x1000;
    static constexpr std::uint32_t kModifiers = kCommand | kShift | kOption | kControl;
    std::uint32_t keyCode = 0;
    std::uint32_t carbonModifiers = 0;
    bool operator==(const VantrelHotkey&) const = default;

    // Without one of the four modifiers a combination is a plain key, which a global grab would
    // take from every program that is typed into.
    bool hasModifier() const { return (carbonModifiers & kModifiers) != 0; }
    // Why a plain key is no hot key.
    static QString modifierRequiredMessage();

    // The modifier symbols in the order ⌃⌥⇧⌘, then the key's name.
    QString displayString(const HotKeyService* layout) const;
    // The fixed name of Return, Tab, Space, Delete, Escape and the arrows; else what `layout`
    // prints on the key, upper-cased; else "Key " and the code.
    static QString keyName(std::uint32_t keyCode, const HotKeyService* layout);
    // The combination of a key press: the key by its position (the scan code), else by the key it
    // gives; Super counts as command, Alt as option. None without one of the four modifiers, and
    // for a key that has no macOS key code.
    static std::optional<VantrelHotkey> fromEvent(const QKeyEvent& event);
};

} // namespace vantrel
