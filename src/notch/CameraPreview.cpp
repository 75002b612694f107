#include "notch/CameraPreview.h"

#include "core/QAObserver.h"

#include <QPainter>
#include <QPointer>

namespace vantrel {

namespace {
const QString kCategory = QStringLiteral("camera");
}

CameraPreview::CameraPreview(CameraCapture& capture, QAObserver& qa,
                             std::function<void(const QString&)> reportFailure, QWidget* parent)
    : QWidget(parent), capture_(capture), qa_(qa) {
    configure(std::move(reportFailure));
}

CameraPreview::~CameraPreview() {
    // A preview that goes without being stopped first must not leave its camera running.
    stop();
}

void CameraPreview::configure(std::function<void(const QString&)> reportFailure) {
    QPointer<CameraPreview> self(this);
    CameraCapture::Opened opened = capture_.openDefaultCamera([self](const QImage& frame) {
        if (!self || self->hasStopped_) return;
        self->frame_ = frame;
        self->update();
    });
    if (!opened.feed) {
        const bool missing = opened.failure == CameraCapture::Failure::noDevice;
        qa_.record(kCategory, missing ? QStringLiteral("unavailable: no video device")
                                      : QStringLiteral("unavailable: device input could not be created"));
        if (reportFailure) reportFailure(QString::fromUtf8(missing ? kNoCameraMessage : kCannotStartMessage));
        return;
    }
    feed_ = std::move(opened.feed);
    qa_.record(kCategory, QStringLiteral("starting mirrored preview device=") + feed_->deviceName());
    feed_->start();
}

void CameraPreview::stop() {
    if (hasStopped_) return;
    hasStopped_ = true;
    if (feed_) feed_->stop();
    qa_.record(kCategory, QStringLiteral("preview stop requested"));
}

void CameraPreview::setClipPath(const QPainterPath& path) {
    clip_ = path;
    update();
}

QRectF CameraPreview::aspectFit(const QSizeF& frame, const QRectF& area) {
    if (frame.isEmpty() || area.isEmpty()) return {};
    const QSizeF fitted = frame.scaled(area.size(), Qt::KeepAspectRatio);
    return QRectF(area.center().x() - fitted.width() / 2, area.center().y() - fitted.height() / 2,
                  fitted.width(), fitted.height());
}

void CameraPreview::paintEvent(QPaintEvent*) {
    if (frame_.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!clip_.isEmpty()) painter.setClipPath(clip_);
    const QRectF target = aspectFit(QSizeF(frame_.size()), QRectF(rect()));
    // Mirrored, as the user expects to see themself.
    painter.translate(target.center().x(), 0);
    painter.scale(-1, 1);
    painter.translate(-target.center().x(), 0);
    painter.drawImage(target, frame_);
}

} // namespace vantrel
