#pragma once

#include "platform/Clock.h"
#include "platform/HapticPerformer.h"
#include "support/CallLog.h"

#include <vector>

namespace vantrel::test {

// Records every pulse, with the monotonic time it was performed at when given a clock.
class RecordingHapticPerformer final : public HapticPerformer {
public:
    struct Pulse {
        HapticFeedbackPattern pattern;
        MonoTime at;
    };

    explicit RecordingHapticPerformer(const Clock* clock = nullptr, CallLog* log = nullptr)
        : clock_(clock), log_(log) {}
    void perform(HapticFeedbackPattern pattern) override {
        pulses_.push_back({pattern, clock_ ? clock_->monotonicNow() : MonoTime()});
        if (log_) log_->add(QStringLiteral("haptic ") + rawValue(pattern));
    }
    const std::vector<Pulse>& pulses() const { return pulses_; }
    std::size_t count() const { return pulses_.size(); }
    void clear() { pulses_.clear(); }

private:
    const Clock* clock_;
    CallLog* log_;
    std::vector<Pulse> pulses_;
};

} // namespace vantrel::test
