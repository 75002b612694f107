#include "control-center/OnboardingFlow.h"

#include "control-center/ControlCenterContext.h"
#include "control-center/InputMonitoringRequest.h"
#include "core/VantrelPreferences.h"
#include "kit/DampedSpring.h"
#include "modules/CalendarStore.h"
#include "platform/SetIfChanged.h"

#include <QPointer>

namespace vantrel {

namespace {

// The step spring: a 0.4-second response with a damping of 0.85, a small overshoot.
constexpr DampedSpring kStepSpring{0.4, 0.85};

} // namespace

const std::array<OnboardingFlow::PermissionLine, 4>& OnboardingFlow::permissionLines() {
    static const std::array<PermissionLine, 4> lines{{
        {Permission::accessibility, "Accessibility", "Menu-bar search and quick actions"},
        {Permission::inputMonitoring, "Input Monitoring", "Global shortcut and scroll feedback"},
        {Permission::calendar, "Calendar", "Today’s events inside the notch"},
        {Permission::camera, "Camera", "Local camera mirror"},
    }};
    return lines;
}

OnboardingFlow::OnboardingFlow(const ControlCenterContext& context, QObject* parent)
    : QObject(parent), preferences_(context.preferences), permissions_(context.permissions),
      calendar_(context.calendar), applyPreferences_(context.applyPreferences) {
    connect(&permissions_, &PermissionCenter::statesChanged, this, &OnboardingFlow::contentChanged);
    connect(&preferences_, &VantrelPreferences::changed, this, [this](VantrelPreferences::Setting setting) {
        if (setting == VantrelPreferences::Setting::notchEnabled ||
            setting == VantrelPreferences::Setting::commandPaletteEnabled)
            Q_EMIT contentChanged();
    });
}

QString OnboardingFlow::continueTitle() const {
    return step_ == ready ? QStringLiteral("Start using Vantrel") : QStringLiteral("Continue");
}

void OnboardingFlow::setStep(int step) {
    setIfChanged(this, step_, step, &OnboardingFlow::stepChanged);
}

void OnboardingFlow::back() {
    if (step_ >= 1) setStep(step_ - 1);
}

void OnboardingFlow::advance() {
    if (step_ != ready) {
        setStep(step_ + 1);
        return;
    }
    // Writing the flag may take the flow's view (and the flow) down: nothing of it is used after.
    const std::function<void()> applyPreferences = applyPreferences_;
    preferences_.setHasCompletedOnboarding(true);
    if (applyPreferences) applyPreferences();
}

bool OnboardingFlow::notchEnabled() const {
    return preferences_.notchEnabled();
}
void OnboardingFlow::setNotchEnabled(bool enabled) {
    preferences_.setNotchEnabled(enabled);
}
bool OnboardingFlow::commandPaletteEnabled() const {
    return preferences_.commandPaletteEnabled();
}
void OnboardingFlow::setCommandPaletteEnabled(bool enabled) {
    preferences_.setCommandPaletteEnabled(enabled);
}

PermissionState OnboardingFlow::state(Permission permission) const {
    const PermissionCenter& permissions = permissions_;
    switch (permission) {
    case Permission::accessibility:
        return permissions.accessibility();
    case Permission::inputMonitoring:
        return permissions.inputMonitoring();
    case Permission::calendar:
        return permissions.calendar();
    case Permission::camera:
        break;
    }
    return permissions.camera();
}

QString OnboardingFlow::statusSymbol(Permission permission) const {
    return state(permission) == PermissionState::allowed ? QStringLiteral("checkmark.circle.fill")
                                                         : QStringLiteral("circle.dashed");
}

void OnboardingFlow::allow(Permission permission) {
    PermissionCenter& permissions = permissions_;
    switch (permission) {
    case Permission::accessibility:
        permissions.requestAccessibility();
        return;
    case Permission::inputMonitoring:
        requestInputMonitoring(permissions);
        return;
    case Permission::calendar: {
        const QPointer<PermissionCenter> center(&permissions);
        calendar_.requestAccess([center] {
            if (center) center->synchronizeCalendarStatus();
        });
        return;
    }
    case Permission::camera:
        permissions.requestCamera();
        return;
    }
}

VantrelAnimation OnboardingFlow::stepAnimation(bool reduceMotion) {
    if (reduceMotion) return VantrelAnimation::easeOut(0.1);
    return kStepSpring.animation();
}

} // namespace vantrel
