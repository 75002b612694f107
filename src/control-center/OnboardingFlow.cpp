#include "control-center/OnboardingFlow.h"

#include "control-center/ControlCenterContext.h"
#include "control-center/InputMonitoringRequest.h"
#include "core/VantrelPreferences.h"
#include "modules/CalendarStore.h"
#include "platform/SetIfChanged.h"

#include <QPointer>
#include <cmath>

namespace vantrel {

namespace {

// The step spring, given by its response (the period of the undamped oscillation, in seconds) and
// its damping fraction. The curve runs until the overshoot has decayed below a thousandth, which
// is where the animation's duration ends.
constexpr double kSpringResponse = 0.4;
constexpr double kSpringDamping = 0.85;

double springAngularFrequency() {
    return 2 * M_PI / kSpringResponse;
}

double springSettleSeconds() {
    return std::log(1000.0) / (kSpringDamping * springAngularFrequency());
}

qreal springCurve(qreal progress) {
    if (progress >= 1) return 1;
    if (progress <= 0) return 0;
    const double omega = springAngularFrequency();
    const double decay = kSpringDamping * omega;
    const double damped = omega * std::sqrt(1 - kSpringDamping * kSpringDamping);
    const double t = progress * springSettleSeconds();
    return 1 - std::exp(-decay * t) * (std::cos(damped * t) + decay / damped * std::sin(damped * t));
}

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
    QEasingCurve spring;
    spring.setCustomType(&springCurve);
    return {spring, springSettleSeconds()};
}

} // namespace vantrel
