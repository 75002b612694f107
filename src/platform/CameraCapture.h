#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <memory>

namespace vantrel {

// One camera opened for a live preview: pictures go to the screen only, nothing is recorded.
class CameraFeed {
public:
    virtual ~CameraFeed() = default;
    // The camera's name as the system shows it.
    virtual QString deviceName() const = 0;
    // Starts delivering pictures; returns at once.
    virtual void start() = 0;
    // Stops delivering when it runs; harmless when it never started or already stopped.
    virtual void stop() = 0;
};

// The cameras of the machine, for a live preview.
class CameraCapture {
public:
    enum class Failure {
        noDevice,       // no camera at all
        cannotOpenInput // a camera exists but could not be opened
    };
    // Each new picture of the feed, on the main thread, as the camera sees it (not mirrored).
    using FrameHandler = std::function<void(const QImage& frame)>;

    struct Opened {
        std::unique_ptr<CameraFeed> feed; // null on failure
        Failure failure = Failure::noDevice;
    };

    virtual ~CameraCapture() = default;
    // Opens the first video input without starting it.
    virtual Opened openDefaultCamera(FrameHandler onFrame) = 0;
};

} // namespace vantrel
