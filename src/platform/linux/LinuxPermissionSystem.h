#pragma once

#include "platform/PermissionSystem.h"

#include <QString>
#include <functional>

namespace vantrel {

// Linux has no permission prompts; each grant is read from what the session actually allows.
// Accessibility: global keys and window control work through the X server only, so an X11
// session (Qt's "xcb" platform) counts as allowed and every other one as denied. Input
// monitoring likewise: the gesture and scroll monitors listen through XInput2 and the keyboard
// guard through an X grab, neither of which reads the input devices, so what the session allows
// is what they get. Camera: always authorized, as no prompt exists; whether a device is there is
// the preview's to tell.
class LinuxPermissionSystem final : public PermissionSystem {
public:
    struct Sources {
        QString platformName; // QGuiApplication::platformName()
    };

    explicit LinuxPermissionSystem(Sources sources);

    bool isAccessibilityTrusted(bool prompt) override;
    bool listenEventAccessGranted() override;
    // Nothing to ask: the session type decides.
    void requestListenEventAccess() override {}
    CaptureAuthorizationStatus videoCaptureAuthorization() override;
    void requestVideoCaptureAccess(std::function<void(bool granted)> completion) override;

private:
    Sources sources_;
};

} // namespace vantrel
