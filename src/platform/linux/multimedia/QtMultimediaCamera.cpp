#include "platform/CameraCapture.h"

#include <QCamera>
#include <QCameraDevice>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QVideoFrame>
#include <QVideoSink>

// The camera half of Vantrel's QtMultimedia use, a module of its own like the sound backend: it
// is loaded when a camera preview first opens, never at start-up.

namespace {

class QtMultimediaCameraFeed final : public vantrel::CameraFeed {
public:
    QtMultimediaCameraFeed(const QCameraDevice& device, vantrel::CameraCapture::FrameHandler onFrame)
        : camera_(device), name_(device.description()) {
        session_.setCamera(&camera_);
        session_.setVideoSink(&sink_);
        // The sink may announce frames from the media pipeline's thread; the context object lives
        // on the main thread, so the handler always runs there.
        QObject::connect(&sink_, &QVideoSink::videoFrameChanged, &context_,
                         [onFrame = std::move(onFrame)](const QVideoFrame& frame) {
                             if (frame.isValid() && onFrame) onFrame(frame.toImage());
                         });
    }
    ~QtMultimediaCameraFeed() override { stop(); }

    bool failed() const { return camera_.error() != QCamera::NoError; }
    QString deviceName() const override { return name_; }
    void start() override { camera_.start(); }
    void stop() override {
        if (camera_.isActive()) camera_.stop();
    }

private:
    QObject context_;
    QCamera camera_;
    QMediaCaptureSession session_;
    QVideoSink sink_;
    QString name_;
};

} // namespace

extern "C" __attribute__((visibility("default"))) vantrel::CameraFeed*
vantrel_open_camera(const vantrel::CameraCapture::FrameHandler& onFrame, int* failure) {
    const QCameraDevice device = QMediaDevices::defaultVideoInput();
    if (device.isNull()) {
        *failure = int(vantrel::CameraCapture::Failure::noDevice);
        return nullptr;
    }
    auto feed = std::make_unique<QtMultimediaCameraFeed>(device, onFrame);
    if (feed->failed()) {
        *failure = int(vantrel::CameraCapture::Failure::cannotOpenInput);
        return nullptr;
    }
    return feed.release();
}
