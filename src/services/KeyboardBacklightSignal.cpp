#include "services/KeyboardBacklightSignal.h"

#include "platform/KeyboardBacklightSources.h"
#include "platform/WorkQueue.h"

#include <QPointer>

namespace vantrel {

namespace {

const char* const kReadyMessage =
    "Built-in keyboard backlight ready. Vantrel restores your current brightness after each signal.";

QString unavailableMessage(int inspected) {
    if (inspected <= 0) return QStringLiteral("No built-in HID keyboard was discovered.");
    return QStringLiteral(
               "Vantrel found %1 built-in HID device%2, but none exposes a keyboard-backlight control.")
        .arg(inspected)
        .arg(inspected == 1 ? QString() : QStringLiteral("s"));
}

} // namespace

KeyboardBacklightSignal::KeyboardBacklightSignal(std::function<bool()> inputMonitoringAllowed,
                                                 QObject* parent)
    : QObject(parent), inputMonitoringAllowed_(std::move(inputMonitoringAllowed)) {}

KeyboardBacklightSignal::KeyboardBacklightSignal(std::function<bool()> inputMonitoringAllowed,
                                                 Discovery discovery, QObject* parent)
    : QObject(parent), inputMonitoringAllowed_(std::move(inputMonitoringAllowed)),
      discovery_(std::move(discovery)), results_(std::make_unique<ResultPort>()) {}

KeyboardBacklightSignal::~KeyboardBacklightSignal() = default;

void KeyboardBacklightSignal::setDiagnostic(Support support, const QString& message) {
    const Diagnostic next{support, message};
    if (diagnostic_ == next) return;
    diagnostic_ = next;
    Q_EMIT diagnosticChanged(diagnostic_);
}

void KeyboardBacklightSignal::start(std::function<void()> completion) {
    if (!discovering_ && diagnostic_.support != Support::available) {
        if (!inputMonitoringAllowed_ || !inputMonitoringAllowed_()) {
            // Nothing of the keyboard is touched without the grant.
            setDiagnostic(Support::needsInputMonitoring, QString::fromUtf8(kNeedsInputMonitoringMessage));
        } else {
            // The vendor's backlight service has no counterpart here, so its probe always finds
            // the service missing, which is what leads to discovery.
            startDiscovery();
        }
    }
    if (completion) completion();
}

void KeyboardBacklightSignal::startDiscovery() {
    const std::uint64_t generation = ++discoveryGeneration_;
    inspectedDevices_ = 0;
    discovering_ = true;
    setDiagnostic(Support::checking, QString::fromUtf8(kLookingMessage));
    if (!discovery_) return;

    KeyboardBacklightSources* sources = &discovery_->sources;
    const ResultPort::Handle port = results_->handle();
    const QPointer<KeyboardBacklightSignal> self(this);
    discovery_->worker->async([sources, port, self, generation] {
        const KeyboardBacklightFinding finding = sources->discover();
        port.post([self, generation, finding] {
            if (self)
                self->finishDiscovery(generation, finding.found, finding.inspectedDevices, finding.error);
        });
    });
    Scheduler& scheduler = discovery_->scheduler;
    timeout_ =
        ScheduledTask(scheduler, scheduler.schedule(Seconds(kDiscoveryTimeoutSeconds), [self, generation] {
            if (self) self->finishDiscoveryIfNeeded(generation);
        }));
}

void KeyboardBacklightSignal::finishDiscovery(std::uint64_t generation, bool found, int inspected,
                                              std::optional<QString> error) {
    // A discovery stopped or superseded since reports nothing.
    if (generation != discoveryGeneration_ || !discovering_) return;
    inspectedDevices_ = inspected;
    if (found) {
        discovering_ = false;
        timeout_.cancel();
        setDiagnostic(Support::available, QString::fromUtf8(kReadyMessage));
        return;
    }
    if (error) {
        // The discovery has ended: a later start may look again.
        discovering_ = false;
        timeout_.cancel();
        if (diagnostic_.support != Support::available)
            setDiagnostic(Support::failed,
                          QStringLiteral("Keyboard access failed: ") + *error + QStringLiteral("."));
    }
    // Nothing found: the time-out reports it.
}

void KeyboardBacklightSignal::finishDiscoveryIfNeeded(std::uint64_t generation) {
    if (generation != discoveryGeneration_ || diagnostic_.support != Support::checking) return;
    discovering_ = false;
    setDiagnostic(Support::unavailable, unavailableMessage(inspectedDevices_));
}

void KeyboardBacklightSignal::stop() {
    ++discoveryGeneration_;
    discovering_ = false;
    timeout_.cancel();
    inspectedDevices_ = 0;
    setDiagnostic(Support::checking, QString::fromUtf8(kCheckingMessage));
}

} // namespace vantrel
