#pragma once

#include <cstdlib>
#include <memory>

namespace vantrel {

// xcb hands over its replies and events in memory of malloc's that the receiver frees.
struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

} // namespace vantrel
