#pragma once

#include <QString>

namespace vantrel {

// The probe of the built-in keyboard's backlight: what it found out so far.
class KeyboardBacklightSignal {
public:
    enum class Support { checking, needsInputMonitoring, available, vendorProtocol, unavailable, failed };
    struct Diagnostic {
        Support support = Support::checking;
        QString message;
        bool operator==(const Diagnostic&) const = default;
    };
};

} // namespace vantrel
