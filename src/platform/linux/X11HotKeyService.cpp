#include "platform/linux/X11HotKeyService.h"

#include "platform/KeyCodeTable.h"
#include "platform/linux/QtXcbConnection.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>
#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

namespace vantrel {

namespace {

constexpr std::uint32_t kCommand = 0x100;
constexpr std::uint32_t kShift = 0x200;
constexpr std::uint32_t kOption = 0x800;
constexpr std::uint32_t kControl = 0x1000;
// The keysym of Num Lock.
constexpr xcb_keysym_t kNumLockSym = 0xff7f;
// The X protocol's error code for a grab another client holds.
constexpr std::uint8_t kBadAccess = 10;

std::uint16_t xModifiers(std::uint32_t carbon) {
    std::uint16_t mask = 0;
    if (carbon & kCommand) mask |= XCB_MOD_MASK_4;
    if (carbon & kShift) mask |= XCB_MOD_MASK_SHIFT;
    if (carbon & kOption) mask |= XCB_MOD_MASK_1;
    if (carbon & kControl) mask |= XCB_MOD_MASK_CONTROL;
    return mask;
}

xcb_window_t rootWindow(xcb_connection_t* c) {
    return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

} // namespace

X11HotKeyService::X11HotKeyService() = default;

X11HotKeyService::~X11HotKeyService() {
    removeHandler();
    xcb_connection_t* c = qtXcbConnection();
    if (!c) return;
    const std::uint16_t numLock = numLockMask();
    for (const auto& [identifier, grab] : grabs_) ungrab(grab, numLock);
    xcb_flush(c);
}

void X11HotKeyService::installHandler(std::function<void(std::uint32_t identifier)> handler) {
    handler_ = std::move(handler);
    // Installing again only moves the filter first; removing one not installed changes nothing.
    if (QCoreApplication* app = QCoreApplication::instance()) app->installNativeEventFilter(this);
}

void X11HotKeyService::removeHandler() {
    handler_ = nullptr;
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeNativeEventFilter(this);
}

std::uint16_t X11HotKeyService::numLockMask() const {
    xcb_connection_t* c = qtXcbConnection();
    if (!c) return XCB_MOD_MASK_2;
    const xcb_setup_t* setup = xcb_get_setup(c);
    const xcb_keycode_t first = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    std::vector<xcb_keycode_t> numLockKeys;
    if (auto* mapping =
            xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, first, quint8(count)), nullptr)) {
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(mapping);
        const int perKey = mapping->keysyms_per_keycode;
        for (int key = 0; key < count; ++key)
            for (int level = 0; level < perKey; ++level)
                if (syms[key * perKey + level] == kNumLockSym)
                    numLockKeys.push_back(xcb_keycode_t(first + key));
        std::free(mapping);
    }
    std::uint16_t mask = 0;
    if (auto* modifiers = xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr)) {
        const xcb_keycode_t* keys = xcb_get_modifier_mapping_keycodes(modifiers);
        const int perModifier = modifiers->keycodes_per_modifier;
        for (int modifier = 0; modifier < 8 && mask == 0; ++modifier)
            for (int i = 0; i < perModifier; ++i)
                for (xcb_keycode_t key : numLockKeys)
                    if (keys[modifier * perModifier + i] == key) mask = std::uint16_t(1u << modifier);
        std::free(modifiers);
    }
    // The usual place when the server does not say.
    return mask != 0 ? mask : std::uint16_t(XCB_MOD_MASK_2);
}

void X11HotKeyService::ungrab(const Grab& grab, std::uint16_t numLock) {
    xcb_connection_t* c = qtXcbConnection();
    if (!c) return;
    const xcb_window_t root = rootWindow(c);
    for (const std::uint16_t lock : {std::uint16_t(0), std::uint16_t(XCB_MOD_MASK_LOCK), numLock,
                                     std::uint16_t(XCB_MOD_MASK_LOCK | numLock)})
        xcb_ungrab_key(c, xcb_keycode_t(grab.keycode), root, std::uint16_t(grab.modifiers | lock));
}

HotKeyService::Result X11HotKeyService::registerHotKey(std::uint32_t identifier, std::uint32_t keyCode,
                                                       std::uint32_t modifiers) {
    xcb_connection_t* c = qtXcbConnection();
    if (!c) return Result::unavailable;
    const std::optional<std::uint32_t> keycode = KeyCodeTable::xKeycode(keyCode);
    if (!keycode) return Result::unknownKey;
    unregisterHotKey(identifier);

    const Grab grab{*keycode, xModifiers(modifiers)};
    const std::uint16_t numLock = numLockMask();
    const xcb_window_t root = rootWindow(c);
    std::array<xcb_void_cookie_t, 4> cookies{};
    const std::array<std::uint16_t, 4> locks{0, XCB_MOD_MASK_LOCK, numLock,
                                             std::uint16_t(XCB_MOD_MASK_LOCK | numLock)};
    // Not reported to the owner's own windows: with one of them focused, the press and its release
    // would bypass the root window, the action would not run and a release missed there would make
    // the next press pass for a repeat.
    for (std::size_t i = 0; i < locks.size(); ++i)
        cookies[i] =
            xcb_grab_key_checked(c, 0, root, std::uint16_t(grab.modifiers | locks[i]),
                                 xcb_keycode_t(grab.keycode), XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    bool taken = false, failed = false;
    for (const xcb_void_cookie_t cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(c, cookie)) {
            (error->error_code == kBadAccess ? taken : failed) = true;
            std::free(error);
        }
    }
    if (taken || failed) {
        // Whatever part was granted goes back: half a hot key works only with some locks on.
        ungrab(grab, numLock);
        xcb_flush(c);
        return taken ? Result::taken : Result::unavailable;
    }
    grabs_[identifier] = grab;
    return Result::registered;
}

void X11HotKeyService::unregisterHotKey(std::uint32_t identifier) {
    const auto it = grabs_.find(identifier);
    if (it == grabs_.end()) return;
    ungrab(it->second, numLockMask());
    const std::uint32_t keycode = it->second.keycode;
    grabs_.erase(it);
    // Its release may now go to another client: a later press must not pass for a repeat.
    if (std::none_of(grabs_.begin(), grabs_.end(),
                     [keycode](const auto& entry) { return entry.second.keycode == keycode; }))
        repeats_.forget(keycode);
    if (xcb_connection_t* c = qtXcbConnection()) xcb_flush(c);
}

bool X11HotKeyService::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || grabs_.empty()) return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & ~0x80;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) return false;
    auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
    xcb_connection_t* c = qtXcbConnection();
    if (!c || key->event != rootWindow(c)) return false;
    if (std::none_of(grabs_.begin(), grabs_.end(),
                     [key](const auto& entry) { return entry.second.keycode == key->detail; }))
        return false;
    // Every press and release of a grabbed key counts, whatever the modifiers: letting go of
    // Control before Space still ends the hold.
    bool fresh = false;
    if (type == XCB_KEY_PRESS)
        fresh = repeats_.press(key->detail, key->time);
    else
        repeats_.release(key->detail, key->time);
    // The locks are not part of the combination.
    const std::uint16_t relevant =
        XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
    for (const auto& [identifier, grab] : grabs_) {
        if (grab.keycode != key->detail || grab.modifiers != (key->state & relevant)) continue;
        // A held combination acts once; its repeats are swallowed like its release.
        if (fresh && handler_) handler_(identifier);
        return true;
    }
    return false;
}

std::optional<QString> X11HotKeyService::keySymbol(std::uint32_t keyCode) const {
    const std::optional<std::uint32_t> keycode = KeyCodeTable::xKeycode(keyCode);
    xcb_connection_t* c = qtXcbConnection();
    if (!keycode || !c) return std::nullopt;
    if (!xkb_x11_setup_xkb_extension(c, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                     XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr,
                                     nullptr))
        return std::nullopt;
    const std::int32_t device = xkb_x11_get_core_keyboard_device_id(c);
    if (device < 0) return std::nullopt;
    std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context(xkb_context_new(XKB_CONTEXT_NO_FLAGS),
                                                                       &xkb_context_unref);
    if (!context) return std::nullopt;
    std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> keymap(
        xkb_x11_keymap_new_from_device(context.get(), c, device, XKB_KEYMAP_COMPILE_NO_FLAGS),
        &xkb_keymap_unref);
    if (!keymap) return std::nullopt;
    std::unique_ptr<xkb_state, decltype(&xkb_state_unref)> state(
        xkb_x11_state_new_from_device(keymap.get(), c, device), &xkb_state_unref);
    // The layout in use now, at the key's first level: what the key prints without modifiers.
    const xkb_layout_index_t layout =
        state ? xkb_state_key_get_layout(state.get(), xkb_keycode_t(*keycode)) : xkb_layout_index_t(0);
    const xkb_keysym_t* syms = nullptr;
    const int count = xkb_keymap_key_get_syms_by_level(keymap.get(), xkb_keycode_t(*keycode),
                                                       layout == XKB_LAYOUT_INVALID ? 0 : layout, 0, &syms);
    if (count <= 0) return std::nullopt;
    char text[16] = {};
    if (xkb_keysym_to_utf8(syms[0], text, sizeof text) <= 1) return std::nullopt;
    const QString symbol = QString::fromUtf8(text);
    // Control characters name nothing a person can read.
    if (symbol.isEmpty() || !symbol.at(0).isPrint()) return std::nullopt;
    return symbol;
}

} // namespace vantrel
