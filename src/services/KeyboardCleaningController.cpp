#include "services/KeyboardCleaningController.h"

#include "platform/PermissionSystem.h"

#include <QPointer>
#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

const char* const kAccessibilityMessage = "Allow Accessibility before starting Keyboard Cleaning.";
const char* const kGuardMessage =
    "macOS could not start the keyboard guard. Review Accessibility and try again.";

} // namespace

KeyboardCleaningController::KeyboardCleaningController(QObject* parent) : QObject(parent) {}

KeyboardCleaningController::KeyboardCleaningController(Dependencies dependencies, QObject* parent)
    : QObject(parent), dependencies_(std::move(dependencies)) {}

KeyboardCleaningController::~KeyboardCleaningController() {
    // The keyboard never stays held by a controller that is gone.
    if (isHolding_) dependencies_->guard.release();
}

void KeyboardCleaningController::start() {
    if (isActive_) return;
    if (dependencies_ && !dependencies_->permissions.isAccessibilityTrusted(false)) {
        statusMessage_ = QString::fromUtf8(kAccessibilityMessage);
        Q_EMIT changed();
        return;
    }
    const QPointer<KeyboardCleaningController> self(this);
    const std::uint64_t session = session_ + 1;
    const bool held =
        dependencies_ && dependencies_->guard.hold(Seconds(kSessionSeconds + kGuardGraceSeconds),
                                                   [self, session](const GuardedKeyEvent& event) {
                                                       if (self) self->handleKey(event, session);
                                                   });
    if (!held) {
        statusMessage_ = QString::fromUtf8(kGuardMessage);
        Q_EMIT changed();
        return;
    }
    isHolding_ = true;
    beginSession(0, kSessionSeconds);
}

void KeyboardCleaningController::beginSession(int initialBlockedKeyCount, int duration) {
    ++session_;
    statusMessage_.reset();
    blockedKeyCount_ = initialBlockedKeyCount;
    sessionDuration_ = duration;
    remainingSeconds_ = duration;
    isActive_ = true;
    if (dependencies_) {
        endsAt_ = addSeconds(dependencies_->clock.now(), Seconds(duration));
        if (dependencies_->playControlsHaptic) dependencies_->playControlsHaptic();
        const QPointer<KeyboardCleaningController> self(this);
        Scheduler& scheduler = dependencies_->scheduler;
        countdownTimer_ =
            ScheduledTask(scheduler, scheduler.scheduleRepeating(Seconds(kTickSeconds),
                                                                 Seconds(kTickToleranceSeconds), [self] {
                                                                     if (self) self->tick();
                                                                 }));
    }
    Q_EMIT changed();
}

void KeyboardCleaningController::tick() {
    if (!endsAt_ || !dependencies_) return;
    // The wall clock decides: a late tick does not lengthen the session.
    const double left = std::ceil(secondsBetween(dependencies_->clock.now(), *endsAt_));
    const int remaining = int(std::clamp(left, 0.0, double(sessionDuration_)));
    if (remaining == 0) {
        // Ended in the same step: the canvas never shows 0, it goes with the idle 15.
        stop(StopReason::timedOut);
        return;
    }
    if (remaining != remainingSeconds_) {
        remainingSeconds_ = remaining;
        Q_EMIT changed();
    }
}

void KeyboardCleaningController::handleKey(const GuardedKeyEvent& event, std::uint64_t session) {
    // A press taken just before its session ended, or in an earlier one, counts nowhere.
    if (!isActive_ || session != session_) return;
    switch (event.type) {
    case GuardedKeyEvent::Type::keyDown:
        if (event.keyCode == GuardedKeyEvent::kEscapeKeyCode &&
            (event.flags & kExitModifiers) == kExitModifiers) {
            stop(StopReason::escapeChord);
            return;
        }
        break;
    case GuardedKeyEvent::Type::systemDefined:
        break;
    case GuardedKeyEvent::Type::keyUp:
    case GuardedKeyEvent::Type::flagsChanged:
        return;
    }
    ++blockedKeyCount_;
    Q_EMIT changed();
}

void KeyboardCleaningController::stop(StopReason reason) {
    countdownTimer_.cancel();
    endsAt_.reset();
    if (isHolding_) {
        isHolding_ = false;
        dependencies_->guard.release();
    }
    const bool wasActive = isActive_;
    isActive_ = false;
    sessionDuration_ = kSessionSeconds;
    remainingSeconds_ = kSessionSeconds;
    if (wasActive && reason != StopReason::appStopping && dependencies_ && dependencies_->playControlsHaptic)
        dependencies_->playControlsHaptic();
    Q_EMIT changed();
}

} // namespace vantrel
