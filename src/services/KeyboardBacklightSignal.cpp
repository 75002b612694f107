#include "services/KeyboardBacklightSignal.h"

namespace vantrel {

KeyboardBacklightSignal::KeyboardBacklightSignal(std::function<bool()> inputMonitoringAllowed,
                                                 QObject* parent)
    : QObject(parent), inputMonitoringAllowed_(std::move(inputMonitoringAllowed)) {}

void KeyboardBacklightSignal::start(std::function<void()> completion) {
    if (!discovering_ && diagnostic_.support != Support::available) {
        if (!inputMonitoringAllowed_ || !inputMonitoringAllowed_()) {
            diagnostic_ = {Support::needsInputMonitoring, QString::fromUtf8(kNeedsInputMonitoringMessage)};
        } else {
            // Discovery of the backlight element starts here; until it reports, the state is checking.
            discovering_ = true;
            diagnostic_ = {Support::checking, QString::fromUtf8(kLookingMessage)};
        }
    }
    if (completion) completion();
}

void KeyboardBacklightSignal::stop() {
    discovering_ = false;
}

} // namespace vantrel
