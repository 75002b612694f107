#include "platform/linux/QtCameraCapture.h"
#include "support/FakeVideoCaptureDevices.h"
#include "support/RecordingSystemLog.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {
// Whether QtMultimedia is mapped into this process (each test runs in a process of its own).
bool mediaFrameworkLoaded() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Multimedia");
}
} // namespace

TEST(QtCameraCapture, WithoutADeviceNodeThereIsNoCameraAndNoMediaFramework) {
    RecordingSystemLog log;
    FakeVideoCaptureDevices devices;
    QtCameraCapture capture(devices, log);
    int frames = 0;
    const CameraCapture::Opened opened = capture.openDefaultCamera([&frames](const QImage&) { ++frames; });
    EXPECT_EQ(opened.feed, nullptr);
    EXPECT_EQ(opened.failure, CameraCapture::Failure::noDevice);
    EXPECT_EQ(devices.asked, 1);
    EXPECT_FALSE(mediaFrameworkLoaded()) << "counting device nodes loads nothing";
    EXPECT_TRUE(log.messages().isEmpty());
}

TEST(QtCameraCapture, WithoutItsModuleACameraCannotOpenAndTheLogSaysWhyOnce) {
    RecordingSystemLog log;
    FakeVideoCaptureDevices devices;
    devices.cameras = 1;
    QtCameraCapture capture(devices, log, QStringLiteral("/nonexistent/libvantrel_camera.so"));
    EXPECT_EQ(capture.openDefaultCamera({}).failure, CameraCapture::Failure::cannotOpenInput);
    EXPECT_EQ(capture.openDefaultCamera({}).failure, CameraCapture::Failure::cannotOpenInput);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0].level, LogLevel::error);
    EXPECT_TRUE(log.lines()[0].message.startsWith("no camera module: "))
        << log.lines()[0].message.toStdString();
}

TEST(QtCameraCapture, TheModuleLoadsOnlyWhenADeviceNodeExists) {
    RecordingSystemLog log;
    FakeVideoCaptureDevices devices;
    devices.cameras = 1;
    QtCameraCapture capture(devices, log);
    EXPECT_FALSE(mediaFrameworkLoaded());
    // A node that QtMultimedia does not see as a camera (this machine may have none at all) ends
    // as one of the two failures, or as a feed that starts and stops without harm.
    CameraCapture::Opened opened = capture.openDefaultCamera({});
    EXPECT_TRUE(mediaFrameworkLoaded());
    if (opened.feed) {
        opened.feed->start();
        opened.feed->stop();
        opened.feed->stop();
    }
    EXPECT_TRUE(log.messages().isEmpty()) << "the module was found";
}
