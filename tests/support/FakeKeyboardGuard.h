#pragma once

#include "platform/KeyboardGuard.h"

#include <vector>

namespace vantrel::test {

// A keyboard guard that the test presses keys on. It refuses when told to, keeps how long each
// hold was asked for, and delivers only while held.
class FakeKeyboardGuard final : public KeyboardGuard {
public:
    using Type = GuardedKeyEvent::Type;

    bool hold(Seconds holdAtMost, Handler handler) override {
        holds.push_back(holdAtMost);
        if (refuse) return false;
        handler_ = std::move(handler);
        return true;
    }
    void release() override {
        if (handler_) ++releases;
        handler_ = nullptr;
    }

    bool isHolding() const { return bool(handler_); }
    // Delivers `event` as the guard's thread would, to the handler of the hold it was taken in.
    void deliver(const GuardedKeyEvent& event) {
        if (handler_) handler_(event);
    }
    void press(std::uint64_t flags = 0) { deliver({Type::keyDown, GuardedKeyEvent::kUnnamedKey, flags}); }
    // A press taken now whose delivery the test runs later, as the main thread would run it.
    Handler pending() const { return handler_; }

    bool refuse = false;
    std::vector<Seconds> holds;
    int releases = 0;

private:
    Handler handler_;
};

} // namespace vantrel::test
