#include "platform/linux/QtCameraCapture.h"

#include "platform/linux/ModulePath.h"

#include "platform/SystemLog.h"
#include "platform/VideoCaptureDevices.h"

#include <QLibrary>

namespace vantrel {

QtCameraCapture::QtCameraCapture(VideoCaptureDevices& devices, SystemLog& log, QString modulePath)
    : devices_(devices), log_(log), modulePath_(std::move(modulePath)) {}

QString QtCameraCapture::defaultModulePath() {
    return modulePathBesideExecutable(QStringLiteral(VANTREL_CAMERA_MODULE));
}

bool QtCameraCapture::loadModule() {
    if (moduleTried_) return openCamera_ != nullptr;
    moduleTried_ = true;
    // Never unloaded: the feeds it makes may outlive this object.
    QLibrary module(modulePath_);
    openCamera_ = reinterpret_cast<OpenCamera>(module.resolve("vantrel_open_camera"));
    if (!openCamera_)
        log_.log(LogLevel::error, QString::fromLatin1(kLogSubsystem), QStringLiteral("Camera"),
                 QStringLiteral("no camera module: ") + module.errorString());
    return openCamera_ != nullptr;
}

CameraCapture::Opened QtCameraCapture::openDefaultCamera(FrameHandler onFrame) {
    // Counting device nodes is cheap; the media framework is loaded only when there is a camera.
    if (devices_.count() <= 0) return {nullptr, Failure::noDevice};
    if (!loadModule()) return {nullptr, Failure::cannotOpenInput};
    int failure = int(Failure::cannotOpenInput);
    std::unique_ptr<CameraFeed> feed(openCamera_(onFrame, &failure));
    if (feed) return {std::move(feed), Failure::noDevice};
    return {nullptr, failure == int(Failure::noDevice) ? Failure::noDevice : Failure::cannotOpenInput};
}

} // namespace vantrel
