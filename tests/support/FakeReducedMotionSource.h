#pragma once

#include "platform/ReducedMotionSource.h"

namespace vantrel::test {

class FakeReducedMotionSource final : public ReducedMotionSource {
    Q_OBJECT
public:
    explicit FakeReducedMotionSource(bool reduced = false) : reduced_(reduced) {}
    bool prefersReducedMotion() const override { return reduced_; }

    // Changes the value and announces it, as the desktop does.
    void set(bool reduced) {
        reduced_ = reduced;
        Q_EMIT displayOptionsChanged();
    }

private:
    bool reduced_;
};

} // namespace vantrel::test
