#pragma once

#include "platform/EventMonitors.h"

#include <map>

namespace vantrel::test {

// Event monitors that the test feeds by hand. It keeps what was installed, may refuse global or
// local monitors as a platform would, and hands each sent event to every installed monitor of
// the chosen kind whose mask holds the event's type, in installation order.
class FakeEventMonitors final : public EventMonitors {
public:
    struct Monitor {
        InputEventMask mask;
        bool global;
        Handler handler;
    };

    Token addGlobalMonitor(InputEventMask mask, Handler handler) override {
        return add(mask, true, std::move(handler), refuseGlobal);
    }
    Token addLocalMonitor(InputEventMask mask, Handler handler) override {
        return add(mask, false, std::move(handler), refuseLocal);
    }
    void removeMonitor(Token token) override {
        monitors_.erase(token);
        ++removals;
    }

    // Sends `event` as an event of another program (global) or of this one (local).
    void send(const InputEvent& event, bool global = true) {
        std::vector<Handler> handlers;
        for (const auto& [token, monitor] : monitors_)
            if (monitor.global == global && (monitor.mask & maskOf(event.type)))
                handlers.push_back(monitor.handler);
        for (const Handler& handler : handlers) handler(event);
    }
    void scroll(double dx, double dy) { send({InputEventType::scrollWheel, dx, dy, 0}); }
    void post(InputEventType type, int stage = 0) { send({type, 0, 0, stage}); }

    const std::map<Token, Monitor>& monitors() const { return monitors_; }
    std::size_t count() const { return monitors_.size(); }
    // The installed monitors whose mask is exactly `mask`.
    std::size_t countWithMask(InputEventMask mask) const {
        std::size_t n = 0;
        for (const auto& [token, monitor] : monitors_) n += monitor.mask == mask ? 1 : 0;
        return n;
    }

    bool refuseGlobal = false;
    bool refuseLocal = false;
    int removals = 0;

private:
    Token add(InputEventMask mask, bool global, Handler handler, bool refuse) {
        if (refuse) return kRefused;
        const Token token = next_++;
        monitors_.emplace(token, Monitor{mask, global, std::move(handler)});
        return token;
    }

    std::map<Token, Monitor> monitors_;
    Token next_ = 1;
};

} // namespace vantrel::test
