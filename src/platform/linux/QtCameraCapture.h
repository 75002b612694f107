#pragma once

#include "platform/CameraCapture.h"

namespace vantrel {

class SystemLog;
class VideoCaptureDevices;

// Cameras through QtMultimedia, which lives in a module of its own loaded when a preview first
// opens a camera. A machine without a video device node answers "no device" without loading the
// media framework at all. Without the module no camera opens, and the log says why once.
class QtCameraCapture final : public CameraCapture {
public:
    QtCameraCapture(VideoCaptureDevices& devices, SystemLog& log, QString modulePath = defaultModulePath());
    Opened openDefaultCamera(FrameHandler onFrame) override;

    // The module beside the executable, else the one the build made.
    static QString defaultModulePath();

private:
    // The module's entry: the feed, or null with the failure written to `failure`.
    using OpenCamera = CameraFeed* (*)(const FrameHandler& onFrame, int* failure);

    bool loadModule();

    VideoCaptureDevices& devices_;
    SystemLog& log_;
    const QString modulePath_;
    bool moduleTried_ = false;
    OpenCamera openCamera_ = nullptr;
};

} // namespace vantrel
