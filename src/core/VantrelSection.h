#pragma once

#include "platform/EnumTraits.h"

namespace vantrel {

// The sections of the control-center window.
#define VANTREL_SECTION_CASES(C)                                                                             \
    C(home)                                                                                                  \
    C(notch) C(menuBar) C(dock) C(feedback) C(notifications) C(automations) C(appearance) C(permissions)
VANTREL_STRING_ENUM(VantrelSection, VANTREL_SECTION_CASES)

} // namespace vantrel
