#pragma once

#include "platform/CompositorState.h"

namespace vantrel::test {

// A compositing manager the test starts and stops; each change is announced once.
class FakeCompositorState final : public CompositorState {
    Q_OBJECT
public:
    explicit FakeCompositorState(bool compositing) : compositing_(compositing) {}

    bool isCompositing() const override { return compositing_; }
    void setCompositing(bool on) {
        if (on == compositing_) return;
        compositing_ = on;
        Q_EMIT changed();
    }

private:
    bool compositing_;
};

} // namespace vantrel::test
