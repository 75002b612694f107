#pragma once

#include "platform/EnumTraits.h"

namespace vantrel {

// The three feedback patterns a trackpad actuator knows. Raw values double as the names written to
// the log by the simulated backend.
#define VANTREL_HAPTIC_FEEDBACK_PATTERN_CASES(C) C(generic) C(alignment) C(levelChange)
VANTREL_STRING_ENUM(HapticFeedbackPattern, VANTREL_HAPTIC_FEEDBACK_PATTERN_CASES)
#undef VANTREL_HAPTIC_FEEDBACK_PATTERN_CASES

// Performs one haptic pulse at once. Scheduling several pulses is the caller's business.
class HapticPerformer {
public:
    virtual ~HapticPerformer() = default;
    virtual void perform(HapticFeedbackPattern pattern) = 0;
};

} // namespace vantrel
