#pragma once

#include <QtGlobal>
#include <optional>

namespace vantrel {

// The desktop's keyboard focus across clients: a panel that takes the focus for a moment asks who
// holds it and hands it back afterwards, whichever program that is.
class InputFocus {
public:
    virtual ~InputFocus() = default;
    // The window that holds the keyboard focus now; none when nobody holds it or the desktop
    // cannot tell.
    virtual std::optional<quint32> current() const = 0;
    // Hands the keyboard focus to `window`, a window of any client.
    virtual void give(quint32 window) = 0;
    // Whether the server gives the keys to `window` itself now, whatever the desktop names as its
    // active window.
    virtual bool holds(quint32 window) const { return current() == window; }
};

} // namespace vantrel
