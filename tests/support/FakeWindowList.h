#pragma once

#include "platform/WindowList.h"

#include <atomic>

namespace vantrel::test {

// A window list the test fills; counts how often it was read.
class FakeWindowList final : public WindowList {
public:
    std::vector<WindowListEntry> onScreenWindows() override {
        ++reads;
        return windows;
    }

    std::vector<WindowListEntry> windows;
    std::atomic<int> reads{0};
};

} // namespace vantrel::test
