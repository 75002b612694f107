#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>
#include <xcb/xproto.h>

namespace vantrel {

// xcb hands over its replies and events in memory of malloc's that the receiver frees.
struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

// The 32-bit values a property's answer holds; empty when the property is absent or of another
// kind, or the window is gone (no answer).
inline std::vector<std::uint32_t> propertyValues32(const xcb_get_property_reply_t* reply) {
    if (!reply || reply->format != 32) return {};
    const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
    return std::vector<std::uint32_t>(data, data + xcb_get_property_value_length(reply) / 4);
}

} // namespace vantrel
