#include "platform/linux/XInputDecoder.h"

#include <algorithm>
#include <cmath>
#include <xcb/xinput.h>

namespace vantrel {

namespace {

double fromFp3232(const xcb_input_fp3232_t& value) {
    return double(value.integral) + double(value.frac) / 4294967296.0;
}

// Legacy scroll buttons: 4 up, 5 down, 6 left, 7 right.
constexpr std::uint32_t kScrollUp = 4, kScrollDown = 5, kScrollLeft = 6, kScrollRight = 7;

} // namespace

void XInputDecoder::setScrollValuators(int deviceId, std::vector<ScrollValuator> valuators) {
    if (valuators.empty())
        devices_.erase(deviceId);
    else
        devices_[deviceId] = std::move(valuators);
}

void XInputDecoder::readDevices(const xcb_input_xi_query_device_reply_t* reply) {
    devices_.clear();
    if (!reply) return;
    for (xcb_input_xi_device_info_iterator_t info = xcb_input_xi_query_device_infos_iterator(reply); info.rem;
         xcb_input_xi_device_info_next(&info)) {
        std::vector<ScrollValuator> valuators;
        for (xcb_input_device_class_iterator_t c = xcb_input_xi_device_info_classes_iterator(info.data);
             c.rem; xcb_input_device_class_next(&c)) {
            if (c.data->type != XCB_INPUT_DEVICE_CLASS_TYPE_SCROLL) continue;
            const auto* scroll = reinterpret_cast<const xcb_input_scroll_class_t*>(c.data);
            const double increment = fromFp3232(scroll->increment);
            // A valuator without a usable increment cannot be turned into a distance.
            if (!(std::abs(increment) > 0) || !std::isfinite(increment)) continue;
            valuators.push_back(
                {scroll->number, scroll->scroll_type == XCB_INPUT_SCROLL_TYPE_VERTICAL, std::abs(increment)});
        }
        setScrollValuators(info.data->deviceid, std::move(valuators));
    }
}

std::optional<InputEvent> XInputDecoder::decode(const void* genericEvent) const {
    const auto* event = static_cast<const xcb_ge_generic_event_t*>(genericEvent);
    switch (event->event_type) {
    case XCB_INPUT_RAW_MOTION:
        return decodeRawMotion(genericEvent);
    case XCB_INPUT_RAW_BUTTON_PRESS:
        return decodeRawButton(genericEvent, true);
    case XCB_INPUT_RAW_BUTTON_RELEASE:
        return decodeRawButton(genericEvent, false);
    case XCB_INPUT_GESTURE_PINCH_BEGIN:
    case XCB_INPUT_GESTURE_PINCH_UPDATE:
    case XCB_INPUT_GESTURE_PINCH_END:
        return InputEvent{InputEventType::magnify};
    case XCB_INPUT_GESTURE_SWIPE_BEGIN:
    case XCB_INPUT_GESTURE_SWIPE_UPDATE:
    case XCB_INPUT_GESTURE_SWIPE_END:
        return InputEvent{InputEventType::swipe};
    default:
        return std::nullopt;
    }
}

std::optional<InputEvent> XInputDecoder::decodeRawMotion(const void* genericEvent) const {
    const auto* event = static_cast<const xcb_input_raw_motion_event_t*>(genericEvent);
    // The valuators are numbered as on the device the movement came from.
    const auto device = devices_.find(event->sourceid);
    if (device == devices_.end()) return std::nullopt;
    const std::uint32_t* mask = xcb_input_raw_button_press_valuator_mask(event);
    const xcb_input_fp3232_t* values = xcb_input_raw_button_press_axisvalues(event);
    // The mask promises a value per bit; the event's length says how many it holds: the mask,
    // then each value twice (processed and unaccelerated), 8 bytes each.
    const std::int64_t extra = std::int64_t(event->length) * 4 - std::int64_t(event->valuators_len) * 4;
    if (extra < 0) return std::nullopt;
    const int valueCount =
        int(std::min<std::int64_t>(xcb_input_raw_button_press_axisvalues_length(event), extra / 16));

    InputEvent scroll{InputEventType::scrollWheel};
    bool scrolled = false;
    int index = 0;
    for (int word = 0; word < event->valuators_len; ++word) {
        for (int bit = 0; bit < 32; ++bit) {
            if (!(mask[word] & (1u << bit))) continue;
            const int number = word * 32 + bit;
            if (index >= valueCount) return scrolled ? std::optional(scroll) : std::nullopt;
            const double value = fromFp3232(values[index++]);
            for (const ScrollValuator& valuator : device->second) {
                if (valuator.number != number) continue;
                const double points = value / valuator.increment * kPointsPerIncrement;
                (valuator.vertical ? scroll.scrollingDeltaY : scroll.scrollingDeltaX) += points;
                scrolled = true;
            }
        }
    }
    if (!scrolled) return std::nullopt;
    return scroll;
}

std::optional<InputEvent> XInputDecoder::decodeRawButton(const void* genericEvent, bool press) {
    const auto* event = static_cast<const xcb_input_raw_button_press_event_t*>(genericEvent);
    if (!press) {
        if (event->detail == 1) return InputEvent{InputEventType::leftMouseUp};
        return std::nullopt;
    }
    switch (event->detail) {
    case 1:
        return InputEvent{InputEventType::leftMouseDown};
    case 3:
        return InputEvent{InputEventType::rightMouseDown};
    case kScrollUp:
    case kScrollDown:
    case kScrollLeft:
    case kScrollRight: {
        // The server presses these buttons for every increment of a smooth scroll as well; those
        // are flagged, and the valuators have counted them already.
        if (event->flags & XCB_INPUT_POINTER_EVENT_FLAGS_POINTER_EMULATED) return std::nullopt;
        InputEvent scroll{InputEventType::scrollWheel};
        const double sign = (event->detail == kScrollUp || event->detail == kScrollLeft) ? -1 : 1;
        if (event->detail <= kScrollDown)
            scroll.scrollingDeltaY = sign * kPointsPerIncrement;
        else
            scroll.scrollingDeltaX = sign * kPointsPerIncrement;
        return scroll;
    }
    default:
        return std::nullopt;
    }
}

} // namespace vantrel
