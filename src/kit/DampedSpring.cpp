#include "kit/DampedSpring.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace vantrel {

namespace {

// Dampings at or above this act as a critically damped spring, below it the spring overshoots.
constexpr double kCritical = 0.999;
constexpr double kMinimumDamping = 0.05;
const double kDecayedFraction = std::log(1000.0);
// A critically damped spring's e^-x (1 + x) falls below a thousandth at x = 9.233.
constexpr double kCriticalSettle = 9.233;

// omega t at which the motion has settled.
double settlePhase(double zeta) {
    return zeta >= kCritical ? kCriticalSettle : kDecayedFraction / zeta;
}

double clampedDamping(double damping) {
    if (!std::isfinite(damping)) return 1;
    return std::clamp(damping, kMinimumDamping, 1.0);
}

// The way covered at time `t` by a spring of angular frequency `omega` and damping `zeta`.
double springPosition(double omega, double zeta, double t) {
    if (t <= 0) return 0;
    const double decay = zeta * omega;
    if (zeta >= kCritical) return 1 - std::exp(-omega * t) * (1 + omega * t);
    const double damped = omega * std::sqrt(1 - zeta * zeta);
    return 1 - std::exp(-decay * t) * (std::cos(damped * t) + decay / damped * std::sin(damped * t));
}

// In progress units the curve depends on the damping alone: at omega = 1 the animation lasts
// settlePhase(zeta).
double normalisedCurve(double zeta, qreal progress) {
    if (progress >= 1) return 1;
    if (progress <= 0) return 0;
    return springPosition(1.0, zeta, progress * settlePhase(zeta));
}

// An easing curve is a plain function: each distinct damping takes one of these slots for the
// life of the process. Dampings are design constants, so a handful of slots is plenty; a damping
// beyond them shares the nearest slot's curve.
constexpr std::size_t kSlotCount = 16;
std::array<double, kSlotCount> slotDamping{};
std::size_t slotsUsed = 0;

template <std::size_t Slot> qreal slotCurve(qreal progress) {
    return normalisedCurve(slotDamping[Slot], progress);
}

template <std::size_t... Slots>
constexpr std::array<QEasingCurve::EasingFunction, kSlotCount> makeSlots(std::index_sequence<Slots...>) {
    return {&slotCurve<Slots>...};
}
constexpr std::array<QEasingCurve::EasingFunction, kSlotCount> kSlotFunctions =
    makeSlots(std::make_index_sequence<kSlotCount>{});

QEasingCurve::EasingFunction curveFor(double zeta) {
    std::size_t nearest = 0;
    for (std::size_t i = 0; i < slotsUsed; ++i) {
        if (slotDamping[i] == zeta) return kSlotFunctions[i];
        if (std::abs(slotDamping[i] - zeta) < std::abs(slotDamping[nearest] - zeta)) nearest = i;
    }
    if (slotsUsed < kSlotCount) {
        slotDamping[slotsUsed] = zeta;
        return kSlotFunctions[slotsUsed++];
    }
    return kSlotFunctions[nearest];
}

} // namespace

double DampedSpring::position(double seconds) const {
    if (!(response > 0) || !std::isfinite(response)) return 1;
    return springPosition(2 * M_PI / response, clampedDamping(damping), seconds);
}

double DampedSpring::settleSeconds() const {
    if (!(response > 0) || !std::isfinite(response)) return 0;
    return settlePhase(clampedDamping(damping)) * response / (2 * M_PI);
}

QEasingCurve DampedSpring::easing() const {
    QEasingCurve curve;
    curve.setCustomType(curveFor(clampedDamping(damping)));
    return curve;
}

} // namespace vantrel
