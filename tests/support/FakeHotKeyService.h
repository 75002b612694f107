#pragma once

#include "platform/HotKeyService.h"

#include <QStringList>
#include <map>

namespace vantrel::test {

// A desktop's hot-key service whose answers the test sets: `refused` keys (by macOS key code) get
// that result, every other key is registered; `layout` names keys by code. `calls` records each
// request in order; `press` delivers a press as the desktop would.
class FakeHotKeyService final : public HotKeyService {
public:
    void installHandler(std::function<void(std::uint32_t)> handler) override {
        calls << QStringLiteral("installHandler");
        handler_ = std::move(handler);
    }
    void removeHandler() override {
        calls << QStringLiteral("removeHandler");
        handler_ = nullptr;
    }
    Result registerHotKey(std::uint32_t identifier, std::uint32_t keyCode, std::uint32_t modifiers) override {
        calls << QStringLiteral("register %1 %2 %3").arg(identifier).arg(keyCode).arg(modifiers);
        const auto it = refused.find(keyCode);
        if (it != refused.end()) return it->second;
        registered[identifier] = keyCode;
        return Result::registered;
    }
    void unregisterHotKey(std::uint32_t identifier) override {
        calls << QStringLiteral("unregister %1").arg(identifier);
        registered.erase(identifier);
    }
    std::optional<QString> keySymbol(std::uint32_t keyCode) const override {
        const auto it = layout.find(keyCode);
        if (it == layout.end()) return std::nullopt;
        return it->second;
    }
    // False when no handler is installed.
    bool press(std::uint32_t identifier) {
        if (!handler_) return false;
        handler_(identifier);
        return true;
    }

    std::map<std::uint32_t, Result> refused;
    std::map<std::uint32_t, QString> layout;
    std::map<std::uint32_t, std::uint32_t> registered;
    QStringList calls;

private:
    std::function<void(std::uint32_t)> handler_;
};

} // namespace vantrel::test
