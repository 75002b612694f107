#pragma once

#include "kit/VantrelPanel.h"

namespace vantrel {

// The palette's window. Unlike the notch, it is a window the window manager knows: the manager
// makes it the active window, and a click into another program makes that one active, which the
// palette hears as the application going inactive. Bypassed, the palette would keep the keys
// while the manager went on taking the window it thinks active, clicked into, for the focused one.
// Where someone else holds the keyboard, it asks the desktop for the keys once it is on screen.
class CommandPalettePanel final : public VantrelPanel {
    Q_OBJECT
public:
    explicit CommandPalettePanel(InputFocus& focus, QWidget* parent = nullptr);

    void orderOut() override;

protected:
    void takeKey() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void takeKeyFromDesktop();

    // Whether the focus is to be asked of the desktop once the window is on screen.
    bool keyWhenExposed_ = false;
};

} // namespace vantrel
