#pragma once

#include "core/KeyboardBacklightSupport.h"
#include "core/SharedInstance.h"

#include <QObject>
#include <QString>
#include <functional>

namespace vantrel {

// The probe of the built-in keyboard's backlight. It runs on the main thread and reports through
// callbacks, so a later probe that works off the main thread keeps the same interface.
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

    // `inputMonitoringAllowed` answers whether the keyboard's events may be read.
    explicit KeyboardBacklightSignal(std::function<bool()> inputMonitoringAllowed, QObject* parent = nullptr);

    // Probes the keyboard unless a discovery runs or the backlight is already known to work, then
    // calls `completion` on the main thread. May be called repeatedly.
    virtual void start(std::function<void()> completion);
    // Cancels discovery and forgets the keyboard.
    virtual void stop();
    Diagnostic diagnostic() const { return diagnostic_; }

private:
    std::function<bool()> inputMonitoringAllowed_;
    Diagnostic diagnostic_{Support::checking, QString::fromUtf8(kCheckingMessage)};
    bool discovering_ = false;
};

} // namespace vantrel
