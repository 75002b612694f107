#pragma once

#include "platform/VideoCaptureDevices.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace vantrel {

// Video4Linux device nodes ("video0", "video1", ... in /dev) that answer the capability query
// as capture devices. A webcam usually brings a second node for its metadata, which must not
// count as a second camera; nodes that cannot be opened or asked count as none.
class V4l2VideoCaptureDevices final : public VideoCaptureDevices {
public:
    // What VIDIOC_QUERYCAP reports: the capabilities of the whole device and, where the driver
    // fills them in, those of this node.
    struct Capabilities {
        std::uint32_t device = 0;
        std::uint32_t node = 0;
        bool hasNodeCapabilities = false;
    };
    using Query = std::function<std::optional<Capabilities>(const QString& path)>;

    // `query`: default opens the node without blocking and asks the driver.
    explicit V4l2VideoCaptureDevices(QString folder = QStringLiteral("/dev"), Query query = {});

    int count() override;

    static bool isCapture(const Capabilities& capabilities);
    static std::optional<Capabilities> queryDriver(const QString& path);

private:
    QString folder_;
    Query query_;
};

} // namespace vantrel
