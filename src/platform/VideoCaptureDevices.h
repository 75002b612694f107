#pragma once

namespace vantrel {

// The cameras the session could capture from, counted without opening a stream or loading a
// media framework, so that asking is cheap enough for start-up.
class VideoCaptureDevices {
public:
    virtual ~VideoCaptureDevices() = default;
    virtual int count() = 0;
};

} // namespace vantrel
