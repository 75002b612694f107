#pragma once

#include "core/SharedInstance.h"
#include "services/HotkeyAction.h"
#include "services/VantrelHotkey.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>

namespace vantrel {

class HotKeyService;
class UserDefaults;

// The global hot keys: which combination triggers which action, kept in the defaults, registered
// with the desktop's hot-key service, and each press handed to its action on a later turn of the
// main loop.
class HotkeyManager : public QObject, public SharedInstance<HotkeyManager> {
    Q_OBJECT
public:
    static constexpr const char* kDefaultsKey = "hotkeys.bindings.v1";
    static constexpr const char* kNoGlobalKeysMessage = "Global hot keys need an X11 session.";

    // Without a `service` (a desktop without X11) every registration is refused.
    explicit HotkeyManager(UserDefaults& defaults, HotKeyService* service = nullptr,
                           QObject* parent = nullptr);

    const std::map<HotkeyAction, VantrelHotkey>& bindings() const { return bindings_; }
    const std::optional<QString>& lastError() const { return lastError_; }
    // What names the keys of the current layout; none without a desktop service.
    const HotKeyService* layout() const { return service_; }

    // Installs the handler of presses, then registers every bound action in declaration order
    // with the action `actionFor` gives for it.
    void registerAll(const std::function<std::function<void()>(HotkeyAction)>& actionFor);

    bool hasEventHandler() const { return hasEventHandler_; }
    // Installs the one handler of hot-key presses; a second call changes nothing.
    virtual void installEventHandler();
    // Registers the action's binding and remembers `perform` for its presses. A refused one keeps
    // its binding, stored as it is, and is tried again at the next registration.
    virtual void registerHotkey(HotkeyAction action, std::function<void()> perform);
    // Releases every registered key and the handler; bindings and identifiers stay.
    virtual void unregisterAll();

    bool isRegistered(HotkeyAction action) const { return registrations_.count(action) != 0; }
    // The identifier `action` was registered under; none before its first registration.
    std::optional<std::uint32_t> identifier(HotkeyAction action) const;

    // Writes the bindings in their stored form, the refused ones with them.
    void save();

Q_SIGNALS:
    void bindingsChanged();
    void lastErrorChanged();

private:
    void load();
    void setLastError(const QString& message);
    void handlePress(std::uint32_t identifier);

    UserDefaults& defaults_;
    HotKeyService* service_;
    std::map<HotkeyAction, VantrelHotkey> bindings_;
    // Stored bindings of a plain key: never bound nor registered, written back as they are.
    std::map<HotkeyAction, VantrelHotkey> refused_;
    std::optional<QString> lastError_;
    std::map<HotkeyAction, std::uint32_t> registrations_;
    std::map<std::uint32_t, std::function<void()>> handlers_;
    std::map<HotkeyAction, std::uint32_t> identifiers_;
    std::uint32_t nextIdentifier_ = 1;
    bool hasEventHandler_ = false;
};

} // namespace vantrel
