#pragma once

#include "notch/NotchSurfaceBody.h"

#include <QSize>

namespace vantrel::test {

// The open surface's painted layers under a 185 by 32 notch, in the default look settings of
// `appearance`, with the grey accent and no artwork: what the body tests and the surface benchmark
// both start from.
inline NotchSurfaceBody::Key notchSurfaceBodyKey(NotchAppearance appearance, QSize size) {
    NotchLookSettings look;
    look.appearance = appearance;
    return {.size = size,
            .devicePixelRatio = 1,
            .look = look,
            .shape = {true, 185, 32},
            .reduceTransparency = false,
            .accent = qRgb(142, 142, 147),
            .artwork = std::nullopt};
}

} // namespace vantrel::test
