#pragma once

#include "platform/InputFocus.h"

#include <vector>

namespace vantrel::test {

// A desktop whose focused window the test sets; records every window the focus is handed to.
class RecordingInputFocus final : public InputFocus {
public:
    std::optional<quint32> current() const override { return focused; }
    void give(quint32 window) override {
        given.push_back(window);
        focused = window;
    }

    std::optional<quint32> focused;
    std::vector<quint32> given;
};

} // namespace vantrel::test
