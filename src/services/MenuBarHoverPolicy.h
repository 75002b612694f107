#pragma once

namespace vantrel {

// When hovering over the application's own status item may reveal the hidden items.
struct MenuBarHoverPolicy {
    // While true, hovering does not reveal: the pointer must first leave the item.
    bool requiresPointerExit = false;
};

} // namespace vantrel
