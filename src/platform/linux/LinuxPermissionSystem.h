#pragma once

#include "platform/PermissionSystem.h"
#include "platform/VideoCaptureDevices.h"

#include <QString>
#include <functional>

namespace vantrel {

// Linux has no permission prompts; each grant is read from what the session actually allows.
// Accessibility: global keys and window control work through the X server only, so an X11
// session (Qt's "xcb" platform) counts as allowed and every other one as denied. Input
// monitoring: allowed when one of the input event devices may be read. Camera: always
// authorized, as no prompt exists; whether a device is there is the preview's to tell.
class LinuxPermissionSystem final : public PermissionSystem {
public:
    struct Sources {
        QString platformName; // QGuiApplication::platformName()
        QString inputDeviceFolder = QStringLiteral("/dev/input");
        std::function<bool(const QString& path)> isReadable; // default: access(2) with R_OK
    };

    LinuxPermissionSystem(Sources sources, VideoCaptureDevices& cameras);

    bool isAccessibilityTrusted(bool prompt) override;
    bool listenEventAccessGranted() override;
    // Nothing to ask: the access comes from membership of the "input" group.
    void requestListenEventAccess() override {}
    CaptureAuthorizationStatus videoCaptureAuthorization() override;
    void requestVideoCaptureAccess(std::function<void(bool granted)> completion) override;

private:
    Sources sources_;
    VideoCaptureDevices& cameras_;
};

} // namespace vantrel
