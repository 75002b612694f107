#pragma once

#include "core/PreferenceEnums.h"
#include "notch/CameraPreview.h"
#include "notch/NotchStateView.h"

#include <QColor>
#include <QPointer>
#include <QWidget>
#include <optional>

namespace vantrel {

class CameraCapture;
class PermissionCenter;
class QAObserver;
class VantrelHaptics;
class VantrelPreferences;

// The mirror tab of the open notch: a live, mirrored picture of the default camera in the chosen
// aspect ratio, so the user can check their framing before a call. Without camera access it shows
// the way to get it instead. The camera runs only while the tab is on screen: a preview is made
// when the view shows and stopped when it hides or goes.
class CameraMirrorView final : public QWidget {
    Q_OBJECT
public:
    static constexpr double kCornerRadius = 18;
    static constexpr double kOverlayOpacity = 0.88;

    struct Services {
        PermissionCenter& permissions;
        VantrelPreferences& preferences;
        CameraCapture& capture;
        QAObserver& qa;
    };

    CameraMirrorView(Services services, QColor accent, VantrelHaptics* haptics = nullptr,
                     QWidget* parent = nullptr);
    ~CameraMirrorView() override;

    // The width over height of `ratio`: 16:9 or 4:3.
    static double aspect(CameraAspectRatio ratio);
    // The largest rectangle of `ratio` inside `area`, centred.
    static QRectF fittedRect(const QRectF& area, CameraAspectRatio ratio);

    // The failure the preview reported, until the preview is made anew.
    const std::optional<QString>& cameraFailure() const { return cameraFailure_; }
    // The access panel while access is not allowed; null otherwise.
    NotchStateView* permissionView() const { return permissionView_; }
    // The "Camera is unavailable" message while a failure is shown; null otherwise.
    NotchStateView* failureView() const;
    // The live preview while one runs; null otherwise.
    CameraPreview* preview() const { return preview_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void permissionsChanged();
    void permissionAction();
    void makePreview();
    void dropPreview();
    void setCameraFailure(const QString& message);
    void relayout();
    bool isAllowed() const;

    Services services_;
    QColor accent_;
    VantrelHaptics* haptics_;
    std::optional<QString> cameraFailure_;
    QPointer<NotchStateView> permissionView_;
    QPointer<CameraPreview> preview_;
    QPointer<QWidget> overlay_;
};

} // namespace vantrel
