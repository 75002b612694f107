#pragma once

#include "core/HapticPattern.h"
#include "core/PreferenceEnums.h"
#include "platform/Clock.h"
#include "platform/EventMonitors.h"

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <optional>
#include <vector>

namespace vantrel {

class HapticPerformer;
class QAObserver;
class Scheduler;
class VantrelPreferences;

// Turns scrolls, clicks, deep presses and gestures anywhere on the desktop into short haptic
// pulses in the styles and strength the user chose, never closer together than the pattern
// needs, and plays single previews for the feedback settings page. Which triggers are watched is
// decided by start(); styles, strength and the master switch are read at each event.
class FeedbackEngine : public QObject {
    Q_OBJECT
public:
    struct Dependencies {
        EventMonitors& monitors;
        HapticPerformer& performer;
        const Clock& clock;
        Scheduler& scheduler;
        QAObserver& qaObserver;
    };

    // Scroll speeds above this many points per event play the fast form of a pattern.
    static constexpr double kFastVelocity = 24;
    // Smaller scroll movements are noise, not a gesture.
    static constexpr double kMinimumScrollVelocity = 1.8;
    // What a click, deep press or gesture counts as: below the fast threshold.
    static constexpr double kGestureVelocity = 20;

    explicit FeedbackEngine(Dependencies dependencies, QObject* parent = nullptr);

    // The settings, held weakly: while the link is empty every event and pulse is ignored.
    VantrelPreferences* preferences() const;
    virtual void setPreferences(VantrelPreferences* preferences);

    // Installs the monitors of the enabled triggers; nothing while any is installed.
    virtual void start();
    // Removes every monitor and drops the pulses still to come. Safe when not listening.
    virtual void stop();
    // Plays one sample of `style` (none: the chosen feedback style) for the settings page, also
    // while feedback is off; previews closer together than the pattern lasts are dropped.
    virtual void preview(std::optional<HapticStyle> style = std::nullopt);

    bool isListening() const { return isListening_; }
    // Pulses performed since launch, each pulse of a pattern counted.
    int pulseCount() const { return pulseCount_; }
    // The velocity of the most recent pulse request.
    double lastVelocity() const { return lastVelocity_; }

Q_SIGNALS:
    void isListeningChanged(bool listening);
    void pulseCountChanged(int count);
    void lastVelocityChanged(double velocity);

private:
    void handle(const InputEvent& event);
    void handleClick(const InputEvent& event);
    void handlePressure(const InputEvent& event);
    void handleSwipe(const InputEvent& event);
    void installClickMonitors();
    void installPressureMonitors();
    void installSwipeMonitors();
    // Installs the global and the local monitor of `mask` into `tokens`, skipping refusals.
    void installPair(InputEventMask mask, std::vector<EventMonitors::Token>& tokens,
                     void (FeedbackEngine::*handler)(const InputEvent&));
    void fire(FeedbackTrigger trigger);
    void performPulse(double velocity, std::optional<HapticStyle> styleOverride,
                      std::optional<FeedbackTrigger> trigger, bool requireEnabled);
    // Whether a delayed pulse scheduled in `generation` may still play.
    bool mayPlayLater(std::uint64_t generation, std::optional<FeedbackTrigger> trigger,
                      bool requireEnabled) const;
    void recordPerformedPulse(HapticStyle style, double velocity);
    // Seconds since `point`; a point never set lies in the distant past.
    double secondsSince(const std::optional<MonoTime>& point) const;
    bool hasInstalledMonitors() const;
    void setListening(bool listening);

    EventMonitors& monitors_;
    HapticPerformer& performer_;
    const Clock& clock_;
    Scheduler& scheduler_;
    QAObserver& qaObserver_;
    QPointer<VantrelPreferences> preferences_;

    bool isListening_ = false;
    int pulseCount_ = 0;
    double lastVelocity_ = 0;

    std::vector<EventMonitors::Token> scrollMonitors_;
    std::vector<EventMonitors::Token> clickMonitors_;
    std::vector<EventMonitors::Token> pressureMonitors_;
    std::vector<EventMonitors::Token> swipeMonitors_;
    bool isInForceClickStage_ = false;
    std::optional<MonoTime> lastPulseAt_;
    std::optional<MonoTime> lastPreviewAt_;
    std::uint64_t pulseGeneration_ = 0;
};

// The least time between two accepted pulse requests for a pattern: its last pulse's delay and
// 24 milliseconds, at least 40 milliseconds.
double feedbackMinimumGap(HapticStyle style, bool isFast, double strength);
// The same for previews, at least 85 milliseconds.
double feedbackPreviewGap(HapticStyle style, double strength);

} // namespace vantrel
