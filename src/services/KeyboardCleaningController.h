#pragma once

#include <QObject>
#include <QString>
#include <optional>

namespace vantrel {

// Keyboard cleaning: a session that swallows every key press. Sessions cannot be started yet
// (the keyboard grab is not built); ending one resets the idle values.
class KeyboardCleaningController : public QObject {
    Q_OBJECT
public:
    enum class StopReason { timedOut, escapeChord, userRequested, appStopping };
    static constexpr int kSessionSeconds = 15;

    explicit KeyboardCleaningController(QObject* parent = nullptr) : QObject(parent) {}

    // Ends a running session; on an idle controller it only sets the idle values again.
    virtual void stop(StopReason reason);

    bool isActive() const { return isActive_; }
    int remainingSeconds() const { return remainingSeconds_; }
    int sessionDuration() const { return sessionDuration_; }
    const std::optional<QString>& statusMessage() const { return statusMessage_; }
    int blockedKeyCount() const { return blockedKeyCount_; }

Q_SIGNALS:
    void changed();

private:
    bool isActive_ = false;
    int remainingSeconds_ = kSessionSeconds;
    int sessionDuration_ = kSessionSeconds;
    std::optional<QString> statusMessage_;
    int blockedKeyCount_ = 0;
};

} // namespace vantrel
