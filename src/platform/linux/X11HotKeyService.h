#pragma once

#include "platform/HotKeyService.h"
#include "platform/linux/X11KeyRepeatFilter.h"

#include <QAbstractNativeEventFilter>
#include <map>
#include <memory>

namespace vantrel {

// Global hot keys on the X server Qt is connected to: each combination is a passive grab of its
// key on the root window, taken once for every state of Caps Lock and Num Lock, so the locks do not
// hide a press. A grab another client already holds makes the registration `taken`. Presses reach
// the handler through Qt's native event filter, also while one of this program's windows has the
// keyboard. Command is Super (Mod4), control Control, option
// Alt (Mod1), shift Shift. A held combination runs its action once: the presses the server repeats
// are swallowed. Built where Qt runs on xcb; elsewhere every registration is `unavailable`.
class X11HotKeyService final : public HotKeyService, private QAbstractNativeEventFilter {
public:
    X11HotKeyService();
    ~X11HotKeyService() override;
    X11HotKeyService(const X11HotKeyService&) = delete;
    X11HotKeyService& operator=(const X11HotKeyService&) = delete;

    void installHandler(std::function<void(std::uint32_t identifier)> handler) override;
    void removeHandler() override;
    Result registerHotKey(std::uint32_t identifier, std::uint32_t keyCode, std::uint32_t modifiers) override;
    void unregisterHotKey(std::uint32_t identifier) override;
    std::optional<QString> keySymbol(std::uint32_t keyCode) const override;

private:
    struct Grab {
        std::uint32_t keycode;
        std::uint16_t modifiers;
    };

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    std::uint16_t numLockMask() const;
    void ungrab(const Grab& grab, std::uint16_t numLock);

    std::function<void(std::uint32_t)> handler_;
    std::map<std::uint32_t, Grab> grabs_;
    X11KeyRepeatFilter repeats_;
};

} // namespace vantrel
