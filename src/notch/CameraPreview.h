#pragma once

#include "platform/CameraCapture.h"

#include <QImage>
#include <QPainterPath>
#include <QWidget>
#include <functional>
#include <memory>

namespace vantrel {

class QAObserver;

// The live, mirrored picture of the default camera. Creating the preview opens the camera and
// starts it; stop() stops it, at most once, and so does the destructor when stop() never ran.
// A camera that is missing or cannot be opened is reported once, through `reportFailure`, while
// the preview is created. Nothing is recorded or sent anywhere: only the latest picture is kept,
// to paint it.
class CameraPreview final : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kNoCameraMessage = "No camera was found on this Mac.";
    static constexpr const char* kCannotStartMessage = "Vantrel could not start the selected camera.";

    CameraPreview(CameraCapture& capture, QAObserver& qa, std::function<void(const QString&)> reportFailure,
                  QWidget* parent = nullptr);
    ~CameraPreview() override;

    void stop();
    bool hasStopped() const { return hasStopped_; }
    bool isRunning() const { return feed_ != nullptr && !hasStopped_; }
    const QImage& latestFrame() const { return frame_; }
    // Paints are clipped to `path`, in this widget's coordinates.
    void setClipPath(const QPainterPath& path);

    // `frame` fitted whole inside `area`, centred.
    static QRectF aspectFit(const QSizeF& frame, const QRectF& area);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void configure(std::function<void(const QString&)> reportFailure);

    CameraCapture& capture_;
    QAObserver& qa_;
    std::unique_ptr<CameraFeed> feed_;
    bool hasStopped_ = false;
    QImage frame_;
    QPainterPath clip_;
};

} // namespace vantrel
