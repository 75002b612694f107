#pragma once

#include "platform/VideoCaptureDevices.h"

namespace vantrel::test {

// As many cameras as the test says; `asked` counts the questions.
class FakeVideoCaptureDevices final : public VideoCaptureDevices {
public:
    int count() override { return ++asked, cameras; }

    int cameras = 0;
    int asked = 0;
};

} // namespace vantrel::test
