#include "platform/linux/LinuxPermissionSystem.h"

#include <QDir>
#include <QFile>
#include <unistd.h>

namespace vantrel {

LinuxPermissionSystem::LinuxPermissionSystem(Sources sources, VideoCaptureDevices& cameras)
    : sources_(std::move(sources)), cameras_(cameras) {
    if (!sources_.isReadable)
        sources_.isReadable = [](const QString& path) {
            return ::access(QFile::encodeName(path).constData(), R_OK) == 0;
        };
}

bool LinuxPermissionSystem::isAccessibilityTrusted(bool) {
    // No prompt exists to show: the session type decides.
    return sources_.platformName == u"xcb";
}

bool LinuxPermissionSystem::listenEventAccessGranted() {
    const QDir folder(sources_.inputDeviceFolder);
    const QStringList devices = folder.entryList({QStringLiteral("event*")}, QDir::System | QDir::Files);
    for (const QString& device : devices)
        if (sources_.isReadable(folder.filePath(device))) return true;
    return false;
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
