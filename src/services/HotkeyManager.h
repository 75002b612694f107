#pragma once

#include "core/SharedInstance.h"
#include "services/HotkeyAction.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>

namespace vantrel {

class UserDefaults;

// One key combination: a macOS virtual key code and a Carbon modifier mask.
struct VantrelHotkey {
    static constexpr std::uint32_t kCommand = 0x100;
    static constexpr std::uint32_t kShift = 0x200;
    static constexpr std::uint32_t kOption = 0x800;
    static constexpr std::uint32_t kControl = 0x1000;
    std::uint32_t keyCode = 0;
    std::uint32_t carbonModifiers = 0;
    bool operator==(const VantrelHotkey&) const = default;
};

// The global hot keys: which combination triggers which action. Bindings are read from the
// defaults; registering them with the desktop is not done yet, so a registered action is kept
// but no key press reaches it.
class HotkeyManager : public QObject, public SharedInstance<HotkeyManager> {
    Q_OBJECT
public:
    static constexpr const char* kDefaultsKey = "hotkeys.bindings.v1";

    explicit HotkeyManager(UserDefaults& defaults, QObject* parent = nullptr);

    const std::map<HotkeyAction, VantrelHotkey>& bindings() const { return bindings_; }
    const std::optional<QString>& lastError() const { return lastError_; }

    bool hasEventHandler() const { return hasEventHandler_; }
    // Installs the one handler of hot-key presses; a second call changes nothing.
    virtual void installEventHandler();
    // Registers the action's binding and remembers `perform` for its presses.
    virtual void registerHotkey(HotkeyAction action, std::function<void()> perform);
    // Unregisters every hot key and forgets all registrations and actions.
    virtual void unregisterAll();

    bool isRegistered(HotkeyAction action) const { return registrations_.count(action) != 0; }

    // Where the desktop cannot grab global keys at all (Wayland without Xwayland): nothing is
    // registered from here on and lastError says why. The bindings are kept, stored as they are,
    // so they work again on the next start in a session that has X11.
    static constexpr const char* kNoGlobalKeysMessage =
        "Global hot keys need X11: this Wayland session has no Xwayland, so no hot key is registered.";
    void refuseRegistrations();
    bool refusesRegistrations() const { return refusesRegistrations_; }

Q_SIGNALS:
    void bindingsChanged();

private:
    void load(UserDefaults& defaults);

    std::map<HotkeyAction, VantrelHotkey> bindings_;
    std::optional<QString> lastError_;
    std::map<HotkeyAction, std::uint32_t> registrations_;
    std::map<std::uint32_t, std::function<void()>> handlers_;
    std::map<HotkeyAction, std::uint32_t> identifiers_;
    std::uint32_t nextIdentifier_ = 1;
    bool hasEventHandler_ = false;
    bool refusesRegistrations_ = false;
};

} // namespace vantrel
