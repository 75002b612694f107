#pragma once

namespace vantrel {

// What the keyboard backlight probe found. It lives here so that the capability table can read it
// without the foundation depending on the service that probes.
enum class KeyboardBacklightSupport {
    checking,
    needsInputMonitoring,
    available,
    vendorProtocol,
    unavailable,
    failed
};

} // namespace vantrel
