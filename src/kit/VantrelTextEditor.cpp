#include "kit/VantrelTextEditor.h"

#include <QKeyEvent>
#include <QTextCursor>
#include <algorithm>

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
    connect(document(), &QTextDocument::contentsChange, this, &VantrelTextEditor::followEdit);
}

void VantrelTextEditor::followEdit(int position, int removed, int added) {
    // The document's length without the paragraph end it always holds.
    const int length = document()->characterCount() - 1;
    // The document reports some edits (a whole text set, the first letter of an empty one) over
    // its closing paragraph end: those are read whole.
    if (position < 0 || removed < 0 || added < 0 || position + removed > text_.size() ||
        position + added > length) {
        text_ = toPlainText();
        return;
    }
    QTextCursor cursor(document());
    cursor.setPosition(position);
    cursor.setPosition(position + added, QTextCursor::KeepAnchor);
    QString run = cursor.selectedText();
    // As toPlainText() gives them.
    for (QChar& c : run) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == QChar(0xfdd0) ||
            c == QChar(0xfdd1))
            c = QLatin1Char('\n');
        else if (c == QChar::Nbsp)
            c = QLatin1Char(' ');
    }
    text_.replace(position, removed, run);
    if (text_.size() != length) text_ = toPlainText();
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

void VantrelTextEditor::showText(const QString& text) {
    // One position of the document per character of its plain text, a line break included.
    const QString shown = text_;
    const qsizetype common = std::min(shown.size(), text.size());
    qsizetype head = 0;
    while (head < common && shown[head] == text[head]) ++head;
    if (head == shown.size() && head == text.size()) return;
    qsizetype tail = 0;
    while (tail < common - head && shown[shown.size() - 1 - tail] == text[text.size() - 1 - tail]) ++tail;
    // A character of two code units is replaced whole.
    if (head > 0 && shown[head - 1].isHighSurrogate()) --head;
    if (tail > 0 && shown[shown.size() - tail].isLowSurrogate()) --tail;
    QTextCursor cursor(document());
    cursor.setPosition(int(head));
    cursor.setPosition(int(shown.size() - tail), QTextCursor::KeepAnchor);
    cursor.insertText(text.mid(head, text.size() - head - tail));
}

} // namespace vantrel
