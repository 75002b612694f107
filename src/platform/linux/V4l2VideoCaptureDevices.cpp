#include "platform/linux/V4l2VideoCaptureDevices.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <cerrno>
#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace vantrel {

V4l2VideoCaptureDevices::V4l2VideoCaptureDevices(QString folder, Query query)
    : folder_(std::move(folder)), query_(query ? std::move(query) : Query(&queryDriver)) {}

int V4l2VideoCaptureDevices::count() {
    static const QRegularExpression node(QStringLiteral("^video[0-9]+$"));
    const QDir folder(folder_);
    int cameras = 0;
    for (const QString& name : folder.entryList({QStringLiteral("video*")}, QDir::System | QDir::Files)) {
        if (!node.match(name).hasMatch()) continue;
        const std::optional<Capabilities> capabilities = query_(folder.filePath(name));
        if (capabilities && isCapture(*capabilities)) ++cameras;
    }
    return cameras;
}

bool V4l2VideoCaptureDevices::isCapture(const Capabilities& capabilities) {
    // The device as a whole may capture while this node only carries its metadata: where the
    // node's own capabilities are given, they decide.
    const std::uint32_t caps = capabilities.hasNodeCapabilities ? capabilities.node : capabilities.device;
    return (caps & (V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_VIDEO_CAPTURE_MPLANE)) != 0;
}

std::optional<V4l2VideoCaptureDevices::Capabilities>
V4l2VideoCaptureDevices::queryDriver(const QString& path) {
    // Non-blocking and read-only: asking must not wait for a camera another program streams from.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    v4l2_capability answer{};
    int result = 0;
    do {
        result = ::ioctl(fd, VIDIOC_QUERYCAP, &answer);
    } while (result < 0 && errno == EINTR);
    ::close(fd);
    if (result < 0) return std::nullopt;
    return Capabilities{answer.capabilities, answer.device_caps,
                        (answer.capabilities & V4L2_CAP_DEVICE_CAPS) != 0};
}

} // namespace vantrel
