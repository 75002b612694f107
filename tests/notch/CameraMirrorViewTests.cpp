#include "core/PermissionCenter.h"
#include "core/QAObserver.h"
#include "core/VantrelPreferences.h"
#include "kit/VantrelTheme.h"
#include "notch/CameraMirrorView.h"
#include "notch/CameraPreview.h"
#include "notch/NotchStateView.h"
#include "platform/AppPaths.h"
#include "platform/linux/LinuxPermissionSystem.h"
#include "support/ContactSheet.h"
#include "support/FakeCameraCapture.h"
#include "support/FakeFileManager.h"
#include "support/ManualClock.h"
#include "support/ManualScheduler.h"
#include "support/RecordingPermissionSystem.h"
#include "support/RecordingUserDefaults.h"
#include "support/RecordingWorkspace.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QUuid>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QColor kAccent(10, 132, 255);

struct MirrorHarness {
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingPermissionSystem system;
    RecordingLoginItems loginItems;
    RecordingWorkspace workspace;
    PermissionCenter permissions{system, [] { return CalendarAuthorizationStatus::notDetermined; },
                                 loginItems, workspace, scheduler};
    RecordingUserDefaults defaults;
    VantrelPreferences preferences{defaults};
    FakeCameraCapture camera;
    FakeFileManager files;
    QAObserver qa{clock, files, AppPaths{"/tmp/h", "/tmp/c", "/tmp/d"}};

    explicit MirrorHarness(CaptureAuthorizationStatus status = CaptureAuthorizationStatus::authorized) {
        system.capture = status;
        permissions.refresh();
        // A session kept in memory, so the camera's records can be read back.
        qa.setSession(QAObserver::Session{QUuid::createUuid(), clock.now(), "1.0", "1", {}, {}, {}, {}});
    }
    std::unique_ptr<CameraMirrorView> makeView() {
        auto view = std::make_unique<CameraMirrorView>(
            CameraMirrorView::Services{permissions, preferences, camera, qa}, kAccent);
        view->resize(320, 180);
        return view;
    }
    QStringList cameraRecords() const {
        QStringList out;
        for (const auto& event : qa.session()->events)
            if (event.category == "camera") out.append(event.message);
        return out;
    }
};

QImage render(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

} // namespace

TEST(CameraMirrorView, PermissionTextsAndWhereTheButtonLeads) {
    MirrorHarness h(CaptureAuthorizationStatus::notDetermined);
    auto view = h.makeView();
    view->show();
    ASSERT_NE(view->permissionView(), nullptr);
    EXPECT_EQ(view->permissionView()->symbol(), "camera.fill");
    EXPECT_EQ(view->permissionView()->title(), "Camera Mirror");
    EXPECT_EQ(view->permissionView()->message(),
              "Check your framing before a call. Video stays on your Mac.");
    ASSERT_NE(view->permissionView()->actionButton(), nullptr);
    EXPECT_EQ(view->permissionView()->actionButton()->text(), "Allow Camera");
    EXPECT_EQ(view->preview(), nullptr);
    EXPECT_TRUE(h.camera.calls.isEmpty()) << "no camera opens without access";
    view->permissionView()->actionButton()->click();
    EXPECT_EQ(h.system.pendingCameraRequests.size(), 1u) << "asks for access";
    EXPECT_TRUE(h.workspace.opened.empty());

    // Refused: the panel says so and its button opens the camera's privacy pane.
    h.system.capture = CaptureAuthorizationStatus::denied;
    h.system.answerCameraRequest(false);
    h.workspace.opened.clear();
    ASSERT_NE(view->permissionView(), nullptr);
    EXPECT_EQ(view->permissionView()->title(), "Camera access is off");
    EXPECT_EQ(view->permissionView()->message(),
              "Allow Vantrel in Privacy & Security. Video always stays on your Mac.");
    EXPECT_EQ(view->permissionView()->actionButton()->text(), "Open Settings");
    view->permissionView()->actionButton()->click();
    ASSERT_EQ(h.workspace.opened.size(), 1u);
    EXPECT_EQ(h.workspace.opened[0].toString(),
              "x-apple.systempreferences:com.apple.preference.security?Privacy_Camera");
    EXPECT_EQ(h.system.pendingCameraRequests.size(), 0u) << "no second prompt";

    // Granted while shown: the preview replaces the panel without reopening the tab.
    h.system.capture = CaptureAuthorizationStatus::authorized;
    h.permissions.refresh();
    EXPECT_EQ(view->permissionView(), nullptr);
    ASSERT_NE(view->preview(), nullptr);
    EXPECT_EQ(h.camera.calls, (QStringList{"open", "start"}));
}

TEST(CameraMirrorView, StartsWhenShownAndStopsExactlyOnceWhenItGoes) {
    MirrorHarness h;
    auto view = h.makeView();
    EXPECT_TRUE(h.camera.calls.isEmpty()) << "nothing before the tab is on screen";
    view->show();
    ASSERT_NE(view->preview(), nullptr);
    EXPECT_EQ(h.camera.calls, (QStringList{"open", "start"}));
    CameraPreview* preview = view->preview();
    // Torn down twice: one stop.
    preview->stop();
    preview->stop();
    EXPECT_EQ(h.camera.calls, (QStringList{"open", "start", "stop"}));
    EXPECT_TRUE(preview->hasStopped());
    // A picture that arrives after the stop is not shown.
    const QImage shown = preview->latestFrame();
    QImage late(16, 9, QImage::Format_ARGB32_Premultiplied);
    late.fill(Qt::green);
    h.camera.lastHandler(late);
    EXPECT_EQ(preview->latestFrame(), shown);
    view->hide();
    EXPECT_EQ(view->preview(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(h.camera.calls, (QStringList{"open", "start", "stop", "release"}));
    EXPECT_EQ(h.cameraRecords(), (QStringList{"starting mirrored preview device=Test Pattern Camera",
                                              "preview stop requested"}));

    // Shown again: a new preview and a new session; the view going stops it once.
    view->show();
    EXPECT_EQ(h.camera.calls.mid(4), (QStringList{"open", "start"}));
    view.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(h.camera.calls.mid(4), (QStringList{"open", "start", "stop", "release"}));

    // A preview destroyed without a stop still stops its camera.
    h.camera.calls.clear();
    {
        CameraPreview alone(h.camera, h.qa, {});
        EXPECT_TRUE(alone.isRunning());
    }
    EXPECT_EQ(h.camera.calls, (QStringList{"open", "start", "stop", "release"}));
}

TEST(CameraMirrorView, AspectFitForWidescreenAndStandard) {
    EXPECT_EQ(CameraMirrorView::fittedRect(QRectF(0, 0, 400, 300), CameraAspectRatio::widescreen),
              QRectF(0, 37.5, 400, 225));
    EXPECT_EQ(CameraMirrorView::fittedRect(QRectF(0, 0, 640, 300), CameraAspectRatio::widescreen),
              QRectF(53.333333333333336, 0, 533.3333333333333, 300));
    EXPECT_EQ(CameraMirrorView::fittedRect(QRectF(0, 0, 400, 200), CameraAspectRatio::standard),
              QRectF(66.66666666666667, 0, 266.6666666666667, 200));
    EXPECT_EQ(CameraMirrorView::fittedRect(QRectF(0, 0, 400, 400), CameraAspectRatio::standard),
              QRectF(0, 50, 400, 300));

    EXPECT_TRUE(CameraMirrorView::fittedRect(QRectF(), CameraAspectRatio::widescreen).isEmpty());
    EXPECT_TRUE(CameraPreview::aspectFit(QSizeF(), QRectF(0, 0, 400, 300)).isEmpty());

    MirrorHarness h;
    auto view = h.makeView();
    view->resize(400, 300);
    view->show();
    ASSERT_NE(view->preview(), nullptr);
    EXPECT_EQ(view->preview()->geometry(), QRectF(0, 37.5, 400, 225).toAlignedRect());
    h.preferences.setCameraAspectRatio(CameraAspectRatio::standard);
    EXPECT_EQ(view->preview()->geometry(), QRect(0, 0, 400, 300));
    EXPECT_EQ(h.camera.calls, (QStringList{"open", "start"})) << "a new ratio does not restart the camera";
}

TEST(CameraMirrorView, TheTestPatternShowsMirroredInsideBlackRoundedCorners) {
    MirrorHarness h;
    auto view = h.makeView();
    view->resize(400, 300);
    view->show();
    const QImage image = render(*view);
    // Left red and right blue from the camera: blue on the left, red on the right.
    const QColor left = image.pixelColor(60, 150);
    const QColor right = image.pixelColor(340, 150);
    EXPECT_GT(left.blue(), 200);
    EXPECT_LT(left.red(), 60);
    EXPECT_GT(right.red(), 200);
    EXPECT_LT(right.blue(), 60);
    // Bars above and below the 16:9 picture are black; the corners are cut round.
    EXPECT_EQ(image.pixelColor(200, 10), QColor(Qt::black));
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(399, 299)), 0);
    // The corner is cut from the picture too.
    view->resize(320, 180);
    const QImage full = render(*view);
    EXPECT_EQ(qAlpha(full.pixel(1, 1)), 0);
    EXPECT_GT(full.pixelColor(30, 90).blue(), 200);

    // Mirrored across only: the picture's top row stays on top.
    CameraPreview preview(h.camera, h.qa, {});
    preview.resize(160, 90);
    QImage frame(160, 90, QImage::Format_ARGB32_Premultiplied);
    frame.fill(Qt::black);
    for (int x = 0; x < 160; ++x) frame.setPixel(x, 0, qRgb(0, 255, 0));
    h.camera.deliver(frame);
    const QImage mirrored = render(preview);
    EXPECT_EQ(mirrored.pixel(80, 0), qRgb(0, 255, 0));
    EXPECT_EQ(mirrored.pixel(80, 1), qRgb(0, 0, 0));
    EXPECT_EQ(mirrored.pixel(80, 89), qRgb(0, 0, 0));
}

TEST(CameraMirrorView, FailuresArriveOnTheNextTurnAndStayThroughARatioChange) {
    MirrorHarness h;
    h.camera.mode = FakeCameraCapture::Mode::noDevice;
    auto view = h.makeView();
    view->show();
    EXPECT_FALSE(view->cameraFailure().has_value()) << "not within the preview's making";
    EXPECT_EQ(view->failureView(), nullptr);
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(view->cameraFailure(), std::optional<QString>("No camera was found on this Mac."));
    ASSERT_NE(view->failureView(), nullptr);
    EXPECT_EQ(view->failureView()->title(), "Camera is unavailable");
    EXPECT_EQ(view->failureView()->symbol(), "video.slash");
    EXPECT_EQ(view->failureView()->message(), "No camera was found on this Mac.");
    EXPECT_EQ(view->failureView()->actionButton(), nullptr);
    EXPECT_EQ(h.cameraRecords(), QStringList{"unavailable: no video device"});
    // The overlay covers the whole area at 0.88, also outside the rounded corners.
    const QImage image = render(*view);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), qRound(0.88 * 255));
    EXPECT_EQ(image.pixelColor(160, 5).red(), 0);

    h.preferences.setCameraAspectRatio(CameraAspectRatio::standard);
    EXPECT_TRUE(view->cameraFailure().has_value()) << "framing differently does not bring a camera";
    EXPECT_NE(view->failureView(), nullptr);

    // The view going stops the preview that never started, and nothing else.
    view.reset();
    EXPECT_EQ(h.camera.calls, QStringList{"open"});
    EXPECT_EQ(h.cameraRecords(), (QStringList{"unavailable: no video device", "preview stop requested"}));

    MirrorHarness other;
    other.camera.mode = FakeCameraCapture::Mode::cannotOpenInput;
    auto second = other.makeView();
    second->show();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(second->cameraFailure(),
              std::optional<QString>("Vantrel could not start the selected camera."));
    EXPECT_EQ(other.cameraRecords(), QStringList{"unavailable: device input could not be created"});
    // Shown anew, the preview is made anew and reports again.
    second->hide();
    EXPECT_FALSE(second->cameraFailure().has_value() && second->isVisible());
    other.camera.mode = FakeCameraCapture::Mode::working;
    second->show();
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(second->cameraFailure().has_value()) << "the camera works now";
    EXPECT_EQ(second->failureView(), nullptr);
}

TEST(CameraMirrorView, OnThisSystemAMachineWithoutACameraIsToldSo) {
    // The real permission backend, no capture device: no access panel asks for what no one can give.
    MirrorHarness h;
    LinuxPermissionSystem::Sources sources;
    sources.platformName = QStringLiteral("xcb");
    LinuxPermissionSystem backend(sources);
    PermissionCenter permissions(
        backend, [] { return CalendarAuthorizationStatus::notDetermined; }, h.loginItems, h.workspace,
        h.scheduler);
    permissions.refresh();
    h.camera.mode = FakeCameraCapture::Mode::noDevice;
    CameraMirrorView view({permissions, h.preferences, h.camera, h.qa}, kAccent);
    view.resize(320, 180);
    view.show();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(view.permissionView(), nullptr);
    ASSERT_NE(view.failureView(), nullptr);
    EXPECT_EQ(view.failureView()->title(), "Camera is unavailable");
    EXPECT_EQ(view.failureView()->message(), "No camera was found on this Mac.");
}

TEST(CameraMirrorView, TheFailureReadsLightOnItsDarkCoverUnderTheCrystalLook) {
    MirrorHarness h;
    h.camera.mode = FakeCameraCapture::Mode::noDevice;
    // The crystal look draws its tabs in the light appearance.
    QWidget surface;
    surface.resize(320, 180);
    VantrelTheme::setColorScheme(&surface, ColorScheme::light);
    auto view = h.makeView();
    view->setParent(&surface);
    surface.show();
    QCoreApplication::sendPostedEvents();
    ASSERT_NE(view->failureView(), nullptr);
    EXPECT_EQ(VantrelTheme::colorScheme(view.get()), ColorScheme::light);

    QImage image(view->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    view->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    saveContactSheet({{"crystal look: camera failure", image}},
                     QStringLiteral(VANTREL_BINARY_DIR "/camera-failure-crystal.png"));

    // Rows of the state view: the glyph, then "Camera is unavailable", then the message.
    const QFont titleFont = NotchStateView::titleFont();
    const QFont messageFont = NotchStateView::messageFont();
    const NotchStateView::Layout l = NotchStateView::layout(
        QSizeF(320, 180), QFontMetricsF(titleFont).height(),
        NotchStateView::messageLines("No camera was found on this Mac.", messageFont, 300).size() *
            QFontMetricsF(messageFont).lineSpacing(),
        QSizeF());
    const auto brightest = [&image](const QRectF& band) {
        int most = 0;
        for (int y = int(band.top()); y < int(band.bottom()); ++y)
            for (int x = int(band.left()); x < int(band.right()); ++x)
                most = std::max(most, qGray(image.pixel(x, y)));
        return most;
    };
    EXPECT_GT(brightest(l.title), 220) << "the title in white, not black on black";
    EXPECT_GT(brightest(l.message), 110) << "the message in the dark appearance's secondary white";
}
