#pragma once

#include "platform/Clock.h"
#include "platform/KeyboardGuard.h"
#include "platform/Scheduler.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace vantrel {

class PermissionSystem;

// Keyboard cleaning: for a session of 15 seconds every key press of every keyboard is kept from
// the other programs and only counted, while the pointer keeps working. The session ends when its
// time runs out, on Control-Option-Command-Escape, when the canvas asks, or when the application
// stops.
class KeyboardCleaningController : public QObject {
    Q_OBJECT
public:
    enum class StopReason { timedOut, escapeChord, userRequested, appStopping };
    static constexpr int kSessionSeconds = 15;
    static constexpr double kTickSeconds = 0.1;
    static constexpr double kTickToleranceSeconds = 0.025;
    // The guard gives the keyboard back by itself this long after a session should have ended,
    // should the main thread be too busy to end it.
    static constexpr double kGuardGraceSeconds = 1;
    // Control, Option and Command: the modifiers of the exit chord.
    static constexpr std::uint64_t kExitModifiers = 0x1C0000;

    struct Dependencies {
        // Whether the system lets the process hold the keyboard at all.
        PermissionSystem& permissions;
        KeyboardGuard& guard;
        const Clock& clock;
        Scheduler& scheduler;
        // The interface haptic of the controls surface.
        std::function<void()> playControlsHaptic;
    };

    // A controller of a system without a keyboard guard: every start says the guard could not
    // be made.
    explicit KeyboardCleaningController(QObject* parent = nullptr);
    explicit KeyboardCleaningController(Dependencies dependencies, QObject* parent = nullptr);
    ~KeyboardCleaningController() override;

    // Begins a session when the keyboard can be held, else says why not in statusMessage.
    // Nothing happens while a session runs.
    virtual void start();
    // Ends a running session; on an idle controller it only sets the idle values again.
    virtual void stop(StopReason reason);

    bool isActive() const { return isActive_; }
    int remainingSeconds() const { return remainingSeconds_; }
    int sessionDuration() const { return sessionDuration_; }
    const std::optional<QString>& statusMessage() const { return statusMessage_; }
    int blockedKeyCount() const { return blockedKeyCount_; }

Q_SIGNALS:
    void changed();

protected:
    // Puts the published state into the running state and starts the countdown.
    void beginSession(int initialBlockedKeyCount, int duration);

private:
    void tick();
    // A key event of the session `session`, on the main thread.
    void handleKey(const GuardedKeyEvent& event, std::uint64_t session);

    std::optional<Dependencies> dependencies_;
    bool isActive_ = false;
    int remainingSeconds_ = kSessionSeconds;
    int sessionDuration_ = kSessionSeconds;
    std::optional<QString> statusMessage_;
    int blockedKeyCount_ = 0;

    bool isHolding_ = false;
    ScheduledTask countdownTimer_;
    std::optional<WallTime> endsAt_;
    // Raised by every session that begins: presses taken in an earlier one count nowhere.
    std::uint64_t session_ = 0;
};

} // namespace vantrel
