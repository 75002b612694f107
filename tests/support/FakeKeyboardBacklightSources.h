#pragma once

#include "platform/KeyboardBacklightSources.h"

namespace vantrel::test {

// Answers every search with the finding the test sets, and counts the searches.
class FakeKeyboardBacklightSources final : public KeyboardBacklightSources {
public:
    KeyboardBacklightFinding discover() override {
        ++searches;
        return finding;
    }
    KeyboardBacklightFinding finding;
    int searches = 0;
};

} // namespace vantrel::test
