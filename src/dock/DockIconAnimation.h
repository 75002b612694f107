#pragma once

#include "platform/EnumTraits.h"

namespace vantrel {

// How a Dock icon reacts while the pointer is over it.
#define VANTREL_DOCK_ICON_ANIMATION_CASES(C) C(none) C(lift) C(magnify) C(bounce) C(pulse) C(sway) C(rise)
VANTREL_STRING_ENUM(DockIconAnimation, VANTREL_DOCK_ICON_ANIMATION_CASES)

// How fast the Dock's animations run.
#define VANTREL_DOCK_ANIMATION_SPEED_CASES(C) C(relaxed) C(natural) C(snappy)
VANTREL_STRING_ENUM(DockAnimationSpeed, VANTREL_DOCK_ANIMATION_SPEED_CASES)

} // namespace vantrel
