#include "services/FeedbackEngine.h"

#include "core/QAObserver.h"
#include "core/VantrelPreferences.h"
#include "platform/HapticPerformer.h"
#include "platform/Scheduler.h"
#include "platform/SetIfChanged.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vantrel {

namespace {

const QString kCategory = QStringLiteral("haptic");

double lastDelay(const HapticPulseList& pulses, double fallback) {
    return pulses.empty() ? fallback : pulses.back().delay;
}

HapticPulseList adaptedPulses(HapticStyle style, bool isFast, double strength) {
    return HapticPattern::applyingStrength(HapticPattern::pulses(style, isFast), strength);
}

} // namespace

double feedbackMinimumGap(HapticStyle style, bool isFast, double strength) {
    const HapticPulseList pulses = adaptedPulses(style, isFast, strength);
    if (pulses.empty()) return 0.04;
    return std::max(lastDelay(pulses, 0) + 0.024, 0.04);
}

double feedbackPreviewGap(HapticStyle style, double strength) {
    const HapticPulseList pulses = adaptedPulses(style, false, strength);
    if (pulses.empty()) return 0.085;
    return std::max(lastDelay(pulses, 0) + 0.024, 0.085);
}

FeedbackEngine::FeedbackEngine(Dependencies dependencies, QObject* parent)
    : QObject(parent), monitors_(dependencies.monitors), performer_(dependencies.performer),
      clock_(dependencies.clock), scheduler_(dependencies.scheduler), qaObserver_(dependencies.qaObserver) {}

VantrelPreferences* FeedbackEngine::preferences() const {
    return preferences_;
}
void FeedbackEngine::setPreferences(VantrelPreferences* preferences) {
    preferences_ = preferences;
}

bool FeedbackEngine::hasInstalledMonitors() const {
    return !scrollMonitors_.empty() || !clickMonitors_.empty() || !pressureMonitors_.empty() ||
           !swipeMonitors_.empty();
}

void FeedbackEngine::installPair(InputEventMask mask, std::vector<EventMonitors::Token>& tokens,
                                 void (FeedbackEngine::*handler)(const InputEvent&)) {
    // The monitors hold the engine weakly: an event that arrives after it is gone does nothing.
    const QPointer<FeedbackEngine> self(this);
    const auto forward = [self, handler](const InputEvent& event) {
        if (self) (self->*handler)(event);
    };
    for (const bool global : {true, false}) {
        const EventMonitors::Token token =
            global ? monitors_.addGlobalMonitor(mask, forward) : monitors_.addLocalMonitor(mask, forward);
        if (token != EventMonitors::kRefused) tokens.push_back(token);
    }
}

void FeedbackEngine::start() {
    if (hasInstalledMonitors()) return;
    // Scroll is on unless switched off, and also without settings; the others only when switched on.
    if (!preferences_ || preferences_->isFeedbackTriggerEnabled(FeedbackTrigger::scroll))
        installPair(maskOf(InputEventType::scrollWheel), scrollMonitors_, &FeedbackEngine::handle);
    if (preferences_ && preferences_->isFeedbackTriggerEnabled(FeedbackTrigger::click))
        installClickMonitors();
    if (preferences_ && preferences_->isFeedbackTriggerEnabled(FeedbackTrigger::forceClick))
        installPressureMonitors();
    if (preferences_ && preferences_->isFeedbackTriggerEnabled(FeedbackTrigger::swipe))
        installSwipeMonitors();
    setListening(hasInstalledMonitors());
}

void FeedbackEngine::installClickMonitors() {
    installPair(InputEventType::leftMouseDown | InputEventType::rightMouseDown, clickMonitors_,
                &FeedbackEngine::handleClick);
}

void FeedbackEngine::installPressureMonitors() {
    installPair(InputEventType::pressure | InputEventType::leftMouseUp, pressureMonitors_,
                &FeedbackEngine::handlePressure);
}

void FeedbackEngine::installSwipeMonitors() {
    installPair(InputEventType::magnify | InputEventType::swipe, swipeMonitors_,
                &FeedbackEngine::handleSwipe);
}

void FeedbackEngine::stop() {
    ++pulseGeneration_;
    for (std::vector<EventMonitors::Token>* tokens :
         {&scrollMonitors_, &clickMonitors_, &pressureMonitors_, &swipeMonitors_}) {
        for (const EventMonitors::Token token : *tokens) monitors_.removeMonitor(token);
        tokens->clear();
    }
    isInForceClickStage_ = false;
    setListening(false);
}

double FeedbackEngine::secondsSince(const std::optional<MonoTime>& point) const {
    if (!point) return std::numeric_limits<double>::infinity();
    return secondsBetween(*point, clock_.monotonicNow());
}

void FeedbackEngine::handle(const InputEvent& event) {
    if (event.type != InputEventType::scrollWheel) return;
    if (!preferences_ || !preferences_->feedbackEnabled()) return;
    const double velocity = std::abs(event.scrollingDeltaY) + std::abs(event.scrollingDeltaX);
    // A delta that is not a number says nothing about a movement.
    if (std::isnan(velocity) || velocity < kMinimumScrollVelocity) return;
    const HapticStyle style = preferences_->feedbackStyle(FeedbackTrigger::scroll);
    const bool isFast = velocity > kFastVelocity;
    const double gap = feedbackMinimumGap(style, isFast, preferences_->feedbackStrength());
    if (secondsSince(lastPulseAt_) < gap) return;
    performPulse(velocity, style, std::nullopt, true);
}

void FeedbackEngine::handleClick(const InputEvent& event) {
    if (event.type == InputEventType::leftMouseDown || event.type == InputEventType::rightMouseDown)
        fire(FeedbackTrigger::click);
}

void FeedbackEngine::handlePressure(const InputEvent& event) {
    const bool deep = event.type == InputEventType::pressure && event.stage >= 2;
    if (!deep) {
        // A shallower stage or the release ends the press: the next deep press fires again.
        isInForceClickStage_ = false;
        return;
    }
    if (isInForceClickStage_) return;
    isInForceClickStage_ = true;
    fire(FeedbackTrigger::forceClick);
}

void FeedbackEngine::handleSwipe(const InputEvent& event) {
    if (event.type == InputEventType::magnify || event.type == InputEventType::swipe)
        fire(FeedbackTrigger::swipe);
}

void FeedbackEngine::fire(FeedbackTrigger trigger) {
    if (!preferences_) return;
    const HapticStyle style = preferences_->feedbackStyle(trigger);
    const double gap = feedbackMinimumGap(style, false, preferences_->feedbackStrength());
    if (!preferences_->feedbackEnabled() || !preferences_->isFeedbackTriggerEnabled(trigger)) {
        qaObserver_.record(kCategory, QStringLiteral("ignored trigger=%1 disabled").arg(rawValue(trigger)));
        return;
    }
    if (secondsSince(lastPulseAt_) < gap) {
        qaObserver_.record(kCategory,
                           QStringLiteral("ignored trigger=%1 rate-limited").arg(rawValue(trigger)));
        return;
    }
    qaObserver_.record(
        kCategory, QStringLiteral("requested trigger=%1 style=%2").arg(rawValue(trigger), rawValue(style)));
    performPulse(kGestureVelocity, style, trigger, true);
}

void FeedbackEngine::performPulse(double velocity, std::optional<HapticStyle> styleOverride,
                                  std::optional<FeedbackTrigger> trigger, bool requireEnabled) {
    if (!preferences_) return;
    if (requireEnabled && !preferences_->feedbackEnabled()) return;
    lastPulseAt_ = clock_.monotonicNow();
    if (lastVelocity_ != velocity) {
        lastVelocity_ = velocity;
        Q_EMIT lastVelocityChanged(velocity);
    }
    const HapticStyle style = styleOverride.value_or(preferences_->feedbackHapticStyle());
    const HapticPulseList pulses =
        adaptedPulses(style, velocity > kFastVelocity, preferences_->feedbackStrength());
    const std::uint64_t generation = pulseGeneration_;
    const QPointer<FeedbackEngine> self(this);
    for (const HapticPulse& pulse : pulses) {
        if (pulse.delay == 0) {
            performer_.perform(pulse.pattern);
            recordPerformedPulse(style, velocity);
            continue;
        }
        const HapticFeedbackPattern pattern = pulse.pattern;
        scheduler_.schedule(Seconds(pulse.delay),
                            [self, generation, trigger, requireEnabled, pattern, style, velocity] {
                                if (!self || !self->mayPlayLater(generation, trigger, requireEnabled)) return;
                                self->performer_.perform(pattern);
                                self->recordPerformedPulse(style, velocity);
                            });
    }
}

bool FeedbackEngine::mayPlayLater(std::uint64_t generation, std::optional<FeedbackTrigger> trigger,
                                  bool requireEnabled) const {
    if (!preferences_ || generation != pulseGeneration_) return false;
    if (!requireEnabled) return true;
    return preferences_->feedbackEnabled() && (!trigger || preferences_->isFeedbackTriggerEnabled(*trigger));
}

void FeedbackEngine::recordPerformedPulse(HapticStyle style, double velocity) {
    ++pulseCount_;
    Q_EMIT pulseCountChanged(pulseCount_);
    // Truncated toward zero; a velocity beyond the integers is written at the limit.
    const double truncated = std::trunc(velocity);
    const qint64 whole = std::isfinite(truncated)
                             ? static_cast<qint64>(std::clamp(truncated, -9.0e18, 9.0e18))
                             : (truncated > 0 ? std::numeric_limits<qint64>::max() : 0);
    qaObserver_.record(kCategory, QStringLiteral("performed pulse=%1 style=%2 velocity=%3")
                                      .arg(pulseCount_)
                                      .arg(rawValue(style))
                                      .arg(whole));
}

void FeedbackEngine::preview(std::optional<HapticStyle> style) {
    const HapticStyle chosen =
        style.value_or(preferences_ ? preferences_->feedbackHapticStyle() : HapticStyle::detent);
    const double strength = preferences_ ? preferences_->feedbackStrength() : 0.6;
    const double gap = feedbackPreviewGap(chosen, strength);
    if (!(secondsSince(lastPreviewAt_) > gap)) return;
    lastPreviewAt_ = clock_.monotonicNow();
    performPulse(kGestureVelocity, chosen, std::nullopt, false);
}

void FeedbackEngine::setListening(bool listening) {
    setIfChanged(this, isListening_, listening, &FeedbackEngine::isListeningChanged);
}

} // namespace vantrel
