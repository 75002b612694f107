#include "services/KeyboardCleaningController.h"

namespace vantrel {

void KeyboardCleaningController::start() {
    if (isActive_) return;
    // No keyboard guard exists yet: the failure to make one is reported like any other.
    statusMessage_ =
        QStringLiteral("macOS could not start the keyboard guard. Review Accessibility and try again.");
    Q_EMIT changed();
}

void KeyboardCleaningController::beginSession(int initialBlockedKeyCount, int duration) {
    statusMessage_.reset();
    blockedKeyCount_ = initialBlockedKeyCount;
    sessionDuration_ = duration;
    remainingSeconds_ = duration;
    isActive_ = true;
    Q_EMIT changed();
}

void KeyboardCleaningController::stop(StopReason) {
    isActive_ = false;
    sessionDuration_ = kSessionSeconds;
    remainingSeconds_ = kSessionSeconds;
    Q_EMIT changed();
}

} // namespace vantrel
