#include "kit/VantrelTextEditor.h"

#include <QKeyEvent>

namespace vantrel {

namespace {

// Whether `event` is the chord that moves the focus out of a text view: true for Ctrl+Tab
// (`forward` set) and Ctrl+Shift+Tab (`forward` cleared).
bool isFocusChord(const QKeyEvent& event, bool* forward) {
    const Qt::KeyboardModifiers modifiers =
        event.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
    // X11 reports Shift+Tab as Backtab, with or without Shift still in the modifiers.
    const bool backtab = event.key() == Qt::Key_Backtab;
    if (event.key() != Qt::Key_Tab && !backtab) return false;
    const bool shifted = backtab || (modifiers & Qt::ShiftModifier);
    if ((modifiers & ~Qt::ShiftModifier) != Qt::ControlModifier) return false;
    if (forward) *forward = !shifted;
    return true;
}

} // namespace

VantrelTextEditor::VantrelTextEditor(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(false);
}

bool VantrelTextEditor::event(QEvent* event) {
    bool forward = true;
    const bool keyEvent = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
    if (keyEvent && isFocusChord(*static_cast<QKeyEvent*>(event), &forward)) {
        // Claimed before any shortcut of the window, so the chord always reaches the editor.
        event->accept();
        // The text view keeps Tab for typing; the widget's own chain moves the focus.
        if (event->type() == QEvent::KeyPress) QWidget::focusNextPrevChild(forward);
        return true;
    }
    return QPlainTextEdit::event(event);
}

} // namespace vantrel
