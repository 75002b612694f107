#pragma once

#include "platform/HapticPerformer.h"

namespace vantrel {

class SystemLog;

// Linux machines have no trackpad actuator: every pulse becomes one debug line in the system log,
// so everything that plays haptics runs unchanged and what would have been felt can be read back.
class LoggingHapticPerformer final : public HapticPerformer {
public:
    explicit LoggingHapticPerformer(SystemLog& log) : log_(log) {}
    void perform(HapticFeedbackPattern pattern) override;

private:
    SystemLog& log_;
};

} // namespace vantrel
