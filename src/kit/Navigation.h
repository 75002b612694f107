#pragma once

#include "platform/EnumTraits.h"

#include <vector>

namespace vantrel {

// The tabs of the notch panel. The stored tab order keeps their raw values.
#define VANTREL_NOTCH_TAB_CASES(C)                                                                           \
    C(home) C(clipboard) C(calendar) C(focus) C(timers) C(system) C(note) C(files) C(mirror) C(bookmarks)
VANTREL_STRING_ENUM(NotchTab, VANTREL_NOTCH_TAB_CASES)

// The name of the symbol that draws the tab in the tab rail.
QString symbol(NotchTab tab);

// The sections of the control-center window.
#define VANTREL_SECTION_CASES(C)                                                                             \
    C(home)                                                                                                  \
    C(notch) C(menuBar) C(dock) C(feedback) C(notifications) C(automations) C(appearance) C(permissions)
VANTREL_STRING_ENUM(VantrelSection, VANTREL_SECTION_CASES)

QString title(VantrelSection section);

// The sections the navigation offers, in declaration order. Automations has no page of its own.
std::vector<VantrelSection> availableSections();

} // namespace vantrel
