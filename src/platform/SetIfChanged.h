#pragma once

#include <functional>
#include <type_traits>
#include <utility>

namespace vantrel {

// A published property's setter: writes `value` into `field` and, only when that changed it,
// emits `changed` on `owner`, with the new value when the signal takes one. Returns whether the
// value changed, for setters that do more after a change.
template <typename Owner, typename T, typename U, typename Signal>
bool setIfChanged(Owner* owner, T& field, U&& value, Signal changed) {
    if (field == value) return false;
    field = std::forward<U>(value);
    if constexpr (std::is_invocable_v<Signal, Owner*>)
        std::invoke(changed, owner);
    else
        std::invoke(changed, owner, field);
    return true;
}

} // namespace vantrel
