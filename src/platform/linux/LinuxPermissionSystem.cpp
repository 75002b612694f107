#include "platform/linux/LinuxPermissionSystem.h"

namespace vantrel {

LinuxPermissionSystem::LinuxPermissionSystem(Sources sources) : sources_(std::move(sources)) {}

bool LinuxPermissionSystem::isAccessibilityTrusted(bool) {
    // No prompt exists to show: the session type decides.
    return sources_.platformName == u"xcb";
}

bool LinuxPermissionSystem::listenEventAccessGranted() {
    // Input is watched through the X server too, so the same session decides.
    return isAccessibilityTrusted(false);
}

CaptureAuthorizationStatus LinuxPermissionSystem::videoCaptureAuthorization() {
    // No prompt guards the camera here, with or without a device: a machine without one must reach
    // the preview, which tells that no camera was found, instead of asking for an access that no
    // one can give.
    return CaptureAuthorizationStatus::authorized;
}

void LinuxPermissionSystem::requestVideoCaptureAccess(std::function<void(bool granted)> completion) {
    // Nothing to ask: access is never withheld.
    completion(true);
}

} // namespace vantrel
