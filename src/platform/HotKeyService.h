#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace vantrel {

// The desktop's system-wide keyboard shortcuts: a key combination registered under an identifier
// reaches the installed handler whichever program has the keyboard focus. Keys are macOS virtual
// key codes with a Carbon modifier mask (command 0x100, shift 0x200, option 0x800, control
// 0x1000), as hot keys are stored.
class HotKeyService {
public:
    enum class Result {
        registered,
        // Another program holds the combination.
        taken,
        // The key has no place on this desktop's keyboard.
        unknownKey,
        // This desktop offers no global hot keys at all.
        unavailable,
    };

    virtual ~HotKeyService() = default;

    // `handler` hears the identifier of each registered combination pressed, on the main thread,
    // from inside the desktop's event dispatch; one handler, a new one replaces it.
    virtual void installHandler(std::function<void(std::uint32_t identifier)> handler) = 0;
    virtual void removeHandler() = 0;
    virtual Result registerHotKey(std::uint32_t identifier, std::uint32_t keyCode,
                                  std::uint32_t modifiers) = 0;
    // Releases the combination registered under `identifier`; an unknown one changes nothing.
    virtual void unregisterHotKey(std::uint32_t identifier) = 0;
    // What the current keyboard layout prints on the key, without modifiers; none when the layout
    // says nothing for it.
    virtual std::optional<QString> keySymbol(std::uint32_t keyCode) const = 0;

protected:
    HotKeyService() = default;
    HotKeyService(const HotKeyService&) = default;
    HotKeyService& operator=(const HotKeyService&) = default;
};

} // namespace vantrel
