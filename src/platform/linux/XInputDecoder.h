#pragma once

#include "platform/EventMonitors.h"

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

struct xcb_input_xi_query_device_reply_t;

namespace vantrel {

// Reads the XInput2 events that the feedback monitors watch: scroll valuators of raw motion,
// raw button presses and releases, and the XI 2.4 pinch and swipe gestures. It knows each
// device's scroll valuators from the server's device list.
class XInputDecoder {
public:
    struct ScrollValuator {
        int number;
        bool vertical;
        // Valuator units of one scroll increment.
        double increment;
    };

    // One scroll increment, a wheel notch or its smooth equivalent, in points.
    static constexpr double kPointsPerIncrement = 10;

    // The scroll valuators of every device in the server's answer to XIQueryDevice.
    void readDevices(const xcb_input_xi_query_device_reply_t* reply);
    void setScrollValuators(int deviceId, std::vector<ScrollValuator> valuators);

    // The event an XInput2 event (of any XInput event type, as xcb delivers it) is to a monitor;
    // none for events no monitor wants (a plain pointer movement, a middle click, a key).
    std::optional<InputEvent> decode(const void* genericEvent) const;

private:
    std::optional<InputEvent> decodeRawMotion(const void* event) const;
    static std::optional<InputEvent> decodeRawButton(const void* event, bool press);

    std::map<int, std::vector<ScrollValuator>> devices_;
};

} // namespace vantrel
