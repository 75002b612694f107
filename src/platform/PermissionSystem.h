#pragma once

#include <functional>

namespace vantrel {

// The system's answer for access to video capture devices.
enum class CaptureAuthorizationStatus { notDetermined, restricted, denied, authorized };

// The grants the operating system controls: driving other applications (accessibility),
// listening to input events, and the camera.
class PermissionSystem {
public:
    virtual ~PermissionSystem() = default;

    // Whether the process may observe and drive other applications' windows and keys. With
    // `prompt`, the system may ask the user to grant it.
    virtual bool isAccessibilityTrusted(bool prompt) = 0;
    // Whether the process may read keyboard and pointer events of the whole session.
    virtual bool listenEventAccessGranted() = 0;
    // Asks the system to let the process read those events; the answer comes later, through
    // listenEventAccessGranted().
    virtual void requestListenEventAccess() = 0;
    virtual CaptureAuthorizationStatus videoCaptureAuthorization() = 0;
    // Asks for camera access; `completion` runs on the main thread with the answer, possibly
    // before this call returns.
    virtual void requestVideoCaptureAccess(std::function<void(bool granted)> completion) = 0;
};

} // namespace vantrel
