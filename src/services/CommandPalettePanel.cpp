#include "services/CommandPalettePanel.h"

#include "platform/InputFocus.h"

#include <QEvent>
#include <QWindow>

namespace vantrel {

CommandPalettePanel::CommandPalettePanel(InputFocus& focus, QWidget* parent) : VantrelPanel(focus, parent) {
    setWindowFlag(Qt::X11BypassWindowManagerHint, false);
}

void CommandPalettePanel::orderOut() {
    keyWhenExposed_ = false;
    VantrelPanel::orderOut();
}

void CommandPalettePanel::takeKey() {
    // The panel asks the desktop for the focus, as the user asked for it: the application's own
    // request carries the time of the last event it saw, which the manager may take for older than
    // the user's last click elsewhere, refuse, and undo what it granted.
    if (!inputFocus().current()) {
        VantrelPanel::takeKey();
        return;
    }
    keyWhenExposed_ = true;
    windowHandle()->installEventFilter(this);
    if (windowHandle()->isExposed()) takeKeyFromDesktop();
}

void CommandPalettePanel::takeKeyFromDesktop() {
    keyWhenExposed_ = false;
    inputFocus().give(static_cast<quint32>(winId()));
}

bool CommandPalettePanel::eventFilter(QObject* watched, QEvent* event) {
    // The desktop gives the focus only to a window on screen.
    if (event->type() == QEvent::Expose && keyWhenExposed_ && watched == windowHandle() && isVisible() &&
        windowHandle()->isExposed())
        takeKeyFromDesktop();
    return VantrelPanel::eventFilter(watched, event);
}

} // namespace vantrel
