#include "services/KeyboardCleaningController.h"

namespace vantrel {

void KeyboardCleaningController::stop(StopReason) {
    isActive_ = false;
    sessionDuration_ = kSessionSeconds;
    remainingSeconds_ = kSessionSeconds;
    Q_EMIT changed();
}

} // namespace vantrel
