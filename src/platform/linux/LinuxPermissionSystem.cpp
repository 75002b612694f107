#include "platform/linux/LinuxPermissionSystem.h"

#include <QCameraDevice>
#include <QDir>
#include <QFile>
#include <QMediaDevices>
#include <unistd.h>

namespace vantrel {

LinuxPermissionSystem::LinuxPermissionSystem(Sources sources) : sources_(std::move(sources)) {
    if (!sources_.isReadable)
        sources_.isReadable = [](const QString& path) {
            return ::access(QFile::encodeName(path).constData(), R_OK) == 0;
        };
    if (!sources_.videoInputCount)
        sources_.videoInputCount = [] { return static_cast<int>(QMediaDevices::videoInputs().size()); };
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
    return sources_.videoInputCount() > 0 ? CaptureAuthorizationStatus::authorized
                                          : CaptureAuthorizationStatus::notDetermined;
}

void LinuxPermissionSystem::requestVideoCaptureAccess(std::function<void(bool granted)> completion) {
    // Nothing to ask: access is there as soon as a camera is.
    completion(sources_.videoInputCount() > 0);
}

} // namespace vantrel
