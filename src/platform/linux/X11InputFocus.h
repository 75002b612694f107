#pragma once

#include "platform/InputFocus.h"

namespace vantrel {

// The X server's input focus, through the xcb connection Qt holds. Where a window manager names
// the active window, that window is the one that holds the focus and the one handed it back: the
// manager's own record then agrees with where the keys go. Away from X11 nobody holds the focus and
// handing it on does nothing.
class X11InputFocus final : public InputFocus {
public:
    std::optional<quint32> current() const override;
    void give(quint32 window) override;
    bool holds(quint32 window) const override;
};

} // namespace vantrel
