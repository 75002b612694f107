#include "notch/CameraMirrorView.h"

#include "core/PermissionCenter.h"
#include "core/VantrelPreferences.h"
#include "kit/VantrelConcentricGeometry.h"
#include "kit/VantrelTheme.h"
#include "notch/CameraPreview.h"
#include "notch/NotchStateView.h"

#include <QPainter>

namespace vantrel {

namespace {

// The dimmed cover over the picture that carries the failure message.
class FailureOverlay final : public QWidget {
public:
    FailureOverlay(const QString& message, QColor accent, QWidget* parent) : QWidget(parent) {
        state = new NotchStateView(QStringLiteral("video.slash"), QStringLiteral("Camera is unavailable"),
                                   message, accent, std::nullopt, {}, nullptr, this);
        // The cover is near black in either look of the surface, so the message on it takes the
        // dark appearance's light text, also under the crystal look's light one.
        VantrelTheme::setColorScheme(this, ColorScheme::dark);
    }
    NotchStateView* state;

protected:
    void resizeEvent(QResizeEvent*) override { state->setGeometry(rect()); }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QColor black(Qt::black);
        black.setAlphaF(float(CameraMirrorView::kOverlayOpacity));
        painter.fillRect(rect(), black);
    }
};

} // namespace

CameraMirrorView::CameraMirrorView(Services services, QColor accent, VantrelHaptics* haptics, QWidget* parent)
    : QWidget(parent), services_(services), accent_(accent), haptics_(haptics) {
    setAccessibleName(QStringLiteral("Mirror"));
    connect(&services_.permissions, &PermissionCenter::statesChanged, this,
            &CameraMirrorView::permissionsChanged);
    // A new ratio refits the same running preview. It leaves a failure message standing: the
    // camera is no more available for being framed differently.
    services_.preferences.onChange(VantrelPreferences::Setting::cameraAspectRatio, this,
                                   [this] { relayout(); });
    permissionsChanged();
}

CameraMirrorView::~CameraMirrorView() {
    if (preview_) preview_->stop();
}

double CameraMirrorView::aspect(CameraAspectRatio ratio) {
    return ratio == CameraAspectRatio::standard ? 4.0 / 3.0 : 16.0 / 9.0;
}

QRectF CameraMirrorView::fittedRect(const QRectF& area, CameraAspectRatio ratio) {
    return CameraPreview::aspectFit(QSizeF(aspect(ratio), 1), area);
}

NotchStateView* CameraMirrorView::failureView() const {
    return overlay_ ? static_cast<FailureOverlay*>(overlay_.data())->state : nullptr;
}

bool CameraMirrorView::isAllowed() const {
    return services_.permissions.camera() == PermissionState::allowed;
}

void CameraMirrorView::permissionsChanged() {
    const PermissionState state = services_.permissions.camera();
    if (state == PermissionState::allowed) {
        delete permissionView_;
        if (isVisible()) makePreview();
    } else {
        dropPreview();
        cameraFailure_.reset();
        delete overlay_;
        const bool denied = state == PermissionState::denied;
        const QString title =
            denied ? QStringLiteral("Camera access is off") : QStringLiteral("Camera Mirror");
        if (!permissionView_ || permissionView_->title() != title) {
            delete permissionView_;
            permissionView_ = new NotchStateView(
                QStringLiteral("camera.fill"), title,
                denied
                    ? QStringLiteral("Allow Vantrel in Privacy & Security. Video always stays on your Mac.")
                    : QStringLiteral("Check your framing before a call. Video stays on your Mac."),
                accent_, denied ? QStringLiteral("Open Settings") : QStringLiteral("Allow Camera"),
                [this] { permissionAction(); }, haptics_, this);
            permissionView_->show();
        }
    }
    relayout();
    update();
}

void CameraMirrorView::permissionAction() {
    if (services_.permissions.camera() == PermissionState::denied)
        services_.permissions.openPrivacySettings(PrivacyPane::camera);
    else
        services_.permissions.requestCamera();
}

void CameraMirrorView::makePreview() {
    if (preview_ || !isAllowed()) return;
    // Each preview reports its own failure; an older one's message goes with it.
    cameraFailure_.reset();
    delete overlay_;
    preview_ = new CameraPreview(
        services_.capture, services_.qa,
        [this](const QString& message) {
            // Told while the preview is still being made; shown from the next turn of the event loop.
            QMetaObject::invokeMethod(
                this, [this, message] { setCameraFailure(message); }, Qt::QueuedConnection);
        },
        this);
    preview_->show();
    relayout();
}

void CameraMirrorView::dropPreview() {
    if (!preview_) return;
    preview_->stop();
    preview_->hide();
    preview_->deleteLater();
    preview_ = nullptr;
}

void CameraMirrorView::setCameraFailure(const QString& message) {
    cameraFailure_ = message;
    delete overlay_;
    overlay_ = new FailureOverlay(message, accent_, this);
    overlay_->show();
    relayout();
    update();
}

void CameraMirrorView::relayout() {
    const QRectF area(rect());
    if (permissionView_) permissionView_->setGeometry(rect());
    if (preview_) {
        const QRectF fitted = fittedRect(area, services_.preferences.cameraAspectRatio());
        preview_->setGeometry(fitted.toAlignedRect());
        preview_->setClipPath(ContinuousRoundedRectangle{kCornerRadius, false}.path(area).translated(
            -QPointF(preview_->geometry().topLeft())));
    }
    if (overlay_) {
        overlay_->setGeometry(rect());
        overlay_->raise();
    }
}

void CameraMirrorView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    makePreview();
}

void CameraMirrorView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    dropPreview();
}

void CameraMirrorView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout();
}

void CameraMirrorView::paintEvent(QPaintEvent*) {
    if (!isAllowed()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Black wherever the fitted picture leaves room, inside the rounded area.
    painter.fillPath(ContinuousRoundedRectangle{kCornerRadius, false}.path(QRectF(rect())), Qt::black);
}

} // namespace vantrel
