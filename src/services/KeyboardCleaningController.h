#pragma once

#include <QObject>
#include <QString>
#include <optional>

namespace vantrel {

// Keyboard cleaning: a session that swallows every key press. The keyboard guard that a session
// needs is not built yet, so starting reports that it could not be made; ending one resets the
// idle values.
class KeyboardCleaningController : public QObject {
    Q_OBJECT
public:
    enum class StopReason { timedOut, escapeChord, userRequested, appStopping };
    static constexpr int kSessionSeconds = 15;

    explicit KeyboardCleaningController(QObject* parent = nullptr) : QObject(parent) {}

    // Begins a session when the keyboard guard can be made, else says why not in statusMessage.
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
    // Puts the published state into the running state.
    void beginSession(int initialBlockedKeyCount, int duration);

private:
    bool isActive_ = false;
    int remainingSeconds_ = kSessionSeconds;
    int sessionDuration_ = kSessionSeconds;
    std::optional<QString> statusMessage_;
    int blockedKeyCount_ = 0;
};

} // namespace vantrel
