#pragma once

#include "platform/EnumTraits.h"

namespace vantrel {

// What a global hot key can trigger; stored bindings are keyed by the raw value.
#define VANTREL_HOTKEY_ACTION_CASES(C)                                                                       \
    C(commandPalette) C(toggleHiddenItems) C(toggleAlwaysHiddenItems) C(openNotch) C(toggleFocus)
VANTREL_STRING_ENUM(HotkeyAction, VANTREL_HOTKEY_ACTION_CASES)

} // namespace vantrel
