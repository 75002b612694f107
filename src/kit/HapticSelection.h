#pragma once

#include "core/VantrelHaptics.h"
#include "kit/SettingBinding.h"

#include <QObject>
#include <memory>

namespace vantrel {

// Makes a picker tick: plays the controls haptic after every change of the watched value, for as
// long as `context` lives, whoever changed it (the picker, another page, a command). The value it
// has when watching starts is not a change, and neither is a write of the same value.
template <typename T>
void hapticSelection(const QObject* context, const SettingBinding<T>& binding, VantrelHaptics* haptics) {
    if (!haptics) return;
    auto last = std::make_shared<T>(binding.get());
    binding.observe(context, [get = binding.get, last, haptics] {
        T now = get();
        if (now == *last) return;
        *last = std::move(now);
        haptics->play(HapticSurface::controls);
    });
}

} // namespace vantrel
