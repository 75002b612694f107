#include "platform/linux/V4l2VideoCaptureDevices.h"
#include "support/TempHome.h"

#include <QFileInfo>
#include <QMap>
#include <gtest/gtest.h>
#include <linux/videodev2.h>

using namespace vantrel;
using namespace vantrel::test;

TEST(V4l2VideoCaptureDevices, CountsTheNodesThatCaptureVideo) {
    TempHome home;
    using Caps = V4l2VideoCaptureDevices::Capabilities;
    const QMap<QString, std::optional<Caps>> answers{
        // A webcam: its first node captures, its second only carries metadata.
        {"video0", Caps{V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_META_CAPTURE | V4L2_CAP_DEVICE_CAPS,
                        V4L2_CAP_VIDEO_CAPTURE, true}},
        {"video1", Caps{V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_META_CAPTURE | V4L2_CAP_DEVICE_CAPS,
                        V4L2_CAP_META_CAPTURE, true}},
        // An older driver without per-node capabilities, capturing in several planes.
        {"video10", Caps{V4L2_CAP_VIDEO_CAPTURE_MPLANE, 0, false}},
        // An output-only device and a node whose driver does not answer.
        {"video11", Caps{V4L2_CAP_VIDEO_OUTPUT | V4L2_CAP_DEVICE_CAPS, V4L2_CAP_VIDEO_OUTPUT, true}},
        {"video12", std::nullopt},
    };
    for (const QString& name : answers.keys() + QStringList{"video-legacy", "vhci"})
        home.writeFile("dev/" + name, "");
    QStringList asked;
    V4l2VideoCaptureDevices devices(home.root() + "/dev", [&](const QString& path) {
        asked.append(QFileInfo(path).fileName());
        return answers.value(QFileInfo(path).fileName());
    });
    EXPECT_EQ(devices.count(), 2);
    asked.sort();
    EXPECT_EQ(asked, QStringList(answers.keys())) << "only videoN nodes are asked";
}

TEST(V4l2VideoCaptureDevices, ANodeThatIsNoVideoDeviceCountsAsNone) {
    TempHome home;
    home.writeFile("dev/video0", "a plain file");
    EXPECT_EQ(V4l2VideoCaptureDevices::queryDriver(home.root() + "/dev/video0"), std::nullopt);
    EXPECT_EQ(V4l2VideoCaptureDevices::queryDriver(home.root() + "/dev/video9"), std::nullopt);
    EXPECT_EQ(V4l2VideoCaptureDevices(home.root() + "/dev").count(), 0);
}
