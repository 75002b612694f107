#include "platform/linux/X11KeyClassifier.h"

#include "platform/linux/XcbReply.h"

#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace vantrel {

namespace {

constexpr std::uint32_t kEscapeKeysym = 0xff1b;
// The XF86 function keys: volume, brightness, media, launchers.
constexpr std::uint32_t kMediaKeysymsFirst = 0x1008ff00;
constexpr std::uint32_t kMediaKeysymsLast = 0x1008ffff;

} // namespace

X11KeyClassifier::X11KeyClassifier(std::set<std::uint8_t> modifierKeycodes, std::uint8_t firstKeycode,
                                   std::vector<std::uint32_t> keysyms)
    : modifiers_(std::move(modifierKeycodes)), firstKeycode_(firstKeycode), keysyms_(std::move(keysyms)) {}

X11KeyClassifier X11KeyClassifier::fromServer(xcb_connection_t* connection) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const std::uint8_t first = setup->min_keycode;
    const std::uint8_t count = std::uint8_t(setup->max_keycode - setup->min_keycode + 1);
    const xcb_get_keyboard_mapping_cookie_t mappingCookie =
        xcb_get_keyboard_mapping(connection, first, count);
    const xcb_get_modifier_mapping_cookie_t modifierCookie = xcb_get_modifier_mapping(connection);

    std::vector<std::uint32_t> keysyms;
    std::unique_ptr<xcb_get_keyboard_mapping_reply_t, FreeReply> mapping(
        xcb_get_keyboard_mapping_reply(connection, mappingCookie, nullptr));
    if (mapping && mapping->keysyms_per_keycode > 0) {
        const xcb_keysym_t* all = xcb_get_keyboard_mapping_keysyms(mapping.get());
        const int length = xcb_get_keyboard_mapping_keysyms_length(mapping.get());
        for (int i = 0; i < length; i += mapping->keysyms_per_keycode) keysyms.push_back(all[i]);
    }
    std::set<std::uint8_t> modifiers;
    std::unique_ptr<xcb_get_modifier_mapping_reply_t, FreeReply> modifierMap(
        xcb_get_modifier_mapping_reply(connection, modifierCookie, nullptr));
    if (modifierMap) {
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(modifierMap.get());
        const int length = xcb_get_modifier_mapping_keycodes_length(modifierMap.get());
        for (int i = 0; i < length; ++i)
            if (codes[i] != 0) modifiers.insert(codes[i]);
    }
    return X11KeyClassifier(std::move(modifiers), first, std::move(keysyms));
}

std::uint64_t X11KeyClassifier::flags(std::uint16_t state) {
    std::uint64_t flags = 0;
    if (state & XCB_MOD_MASK_SHIFT) flags |= GuardedKeyEvent::kShiftFlag;
    if (state & XCB_MOD_MASK_LOCK) flags |= GuardedKeyEvent::kCapsLockFlag;
    if (state & XCB_MOD_MASK_CONTROL) flags |= GuardedKeyEvent::kControlFlag;
    if (state & XCB_MOD_MASK_1) flags |= GuardedKeyEvent::kOptionFlag;
    if (state & XCB_MOD_MASK_2) flags |= GuardedKeyEvent::kNumericPadFlag;
    if (state & XCB_MOD_MASK_4) flags |= GuardedKeyEvent::kCommandFlag;
    return flags;
}

GuardedKeyEvent X11KeyClassifier::classify(std::uint8_t keycode, std::uint16_t state, bool press) const {
    const std::uint64_t held = flags(state);
    using Type = GuardedKeyEvent::Type;
    if (modifiers_.count(keycode)) return {Type::flagsChanged, GuardedKeyEvent::kUnnamedKey, held};
    if (!press) return {Type::keyUp, GuardedKeyEvent::kUnnamedKey, held};
    const std::size_t index = std::size_t(keycode) - firstKeycode_;
    const std::uint32_t keysym = keycode >= firstKeycode_ && index < keysyms_.size() ? keysyms_[index] : 0;
    if (keysym >= kMediaKeysymsFirst && keysym <= kMediaKeysymsLast)
        return {Type::systemDefined, GuardedKeyEvent::kUnnamedKey, held};
    if (keysym == kEscapeKeysym) return {Type::keyDown, GuardedKeyEvent::kEscapeKeyCode, held};
    return {Type::keyDown, GuardedKeyEvent::kUnnamedKey, held};
}

} // namespace vantrel
