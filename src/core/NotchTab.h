#pragma once

#include "platform/EnumTraits.h"

namespace vantrel {

// The tabs of the notch panel. The stored tab order keeps their raw values.
#define VANTREL_NOTCH_TAB_CASES(C)                                                                           \
    C(home) C(clipboard) C(calendar) C(focus) C(timers) C(system) C(note) C(files) C(mirror) C(bookmarks)
VANTREL_STRING_ENUM(NotchTab, VANTREL_NOTCH_TAB_CASES)

} // namespace vantrel
