#pragma once

class QWidget;

namespace vantrel {

// Keeps the floating panels (the notch, its alert dot, the Dock) above ordinary windows, with or
// without a window manager.
class WindowStacking {
public:
    virtual ~WindowStacking() = default;

    // Marks `window` as a dock that stays above the others on every workspace, for a window
    // manager that reads such states, and raises it again whenever another window comes up over
    // it while it is shown, for a desktop where no manager keeps it there. A deleted window is
    // dropped by itself.
    virtual void keepAbove(QWidget& window) = 0;
    // Stops keeping `window` above; it stays where it is.
    virtual void release(QWidget& window) = 0;
    // Marks `window`, before it is first shown, as the desktop's dock on every workspace, reserving
    // no screen space: window managers read a window's type only when it is first mapped. Returns
    // whether the desktop took the mark (false where none reads it).
    virtual bool markAsDock(QWidget& window) = 0;
};

} // namespace vantrel
