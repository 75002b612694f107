#pragma once

#include "core/KeyboardBacklightSupport.h"
#include "core/SharedInstance.h"
#include "platform/ResultPort.h"
#include "platform/Scheduler.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace vantrel {

class KeyboardBacklightSources;
class WorkQueue;

// The probe of the keyboard's backlight. It reports what it found as a support state with a
// one-sentence message, signalling each change. Discovery reads the machine's sources on a
// worker of its own and gives up after 2 seconds; nothing is ever written.
class KeyboardBacklightSignal : public QObject, public SharedInstance<KeyboardBacklightSignal> {
    Q_OBJECT
public:
    using Support = KeyboardBacklightSupport;
    struct Diagnostic {
        Support support = Support::checking;
        QString message;
        bool operator==(const Diagnostic&) const = default;
    };

    static constexpr const char* kCheckingMessage = "Checking the built-in keyboard…";
    static constexpr const char* kNeedsInputMonitoringMessage =
        "Allow Input Monitoring so Vantrel can communicate with the built-in keyboard.";
    static constexpr const char* kLookingMessage = "Looking for the built-in keyboard backlight control…";
    static constexpr double kDiscoveryTimeoutSeconds = 2;

    // Where discovery looks, the worker it looks on and the scheduler of its time-out.
    struct Discovery {
        KeyboardBacklightSources& sources;
        std::unique_ptr<WorkQueue> worker;
        Scheduler& scheduler;
    };

    // `inputMonitoringAllowed` answers whether the keyboard's events may be read. Without
    // discovery the probe only reaches the checking state.
    explicit KeyboardBacklightSignal(std::function<bool()> inputMonitoringAllowed, QObject* parent = nullptr);
    KeyboardBacklightSignal(std::function<bool()> inputMonitoringAllowed, Discovery discovery,
                            QObject* parent = nullptr);
    ~KeyboardBacklightSignal() override;

    // Probes the keyboard unless a discovery runs or the backlight is already known to work, then
    // calls `completion` on the main thread. May be called repeatedly.
    virtual void start(std::function<void()> completion);
    // Cancels discovery, forgets what was found and returns to checking.
    virtual void stop();
    Diagnostic diagnostic() const { return diagnostic_; }
    bool isDiscovering() const { return discovering_; }

Q_SIGNALS:
    void diagnosticChanged(const vantrel::KeyboardBacklightSignal::Diagnostic& diagnostic);

private:
    void setDiagnostic(Support support, const QString& message);
    void startDiscovery();
    void finishDiscovery(std::uint64_t generation, bool found, int inspected, std::optional<QString> error);
    void finishDiscoveryIfNeeded(std::uint64_t generation);

    std::function<bool()> inputMonitoringAllowed_;
    std::optional<Discovery> discovery_;
    Diagnostic diagnostic_{Support::checking, QString::fromUtf8(kCheckingMessage)};
    bool discovering_ = false;
    std::uint64_t discoveryGeneration_ = 0;
    int inspectedDevices_ = 0;
    ScheduledTask timeout_;
    // Declared last: destroyed first, so a late result of the worker is dropped.
    std::unique_ptr<ResultPort> results_;
};

} // namespace vantrel
