#pragma once

#include "core/NotchTab.h"
#include "core/VantrelSection.h"

#include <vector>

namespace vantrel {

// The name of the symbol that draws the tab in the tab rail.
QString symbol(NotchTab tab);

QString title(VantrelSection section);

// The sections the navigation offers, in declaration order. Automations has no page of its own.
std::vector<VantrelSection> availableSections();

} // namespace vantrel
