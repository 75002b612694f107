#pragma once

#include <QPlainTextEdit>

namespace vantrel {

// A multi-line plain-text editor. Tab types a tab into the text, as in any text view, so the
// keyboard leaves it the way desktop text views offer: Ctrl+Tab moves the focus on to the next
// control and Ctrl+Shift+Tab back to the previous one, typing nothing.
class VantrelTextEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit VantrelTextEditor(QWidget* parent = nullptr);

    // The text as toPlainText() reads it, kept up to date by each edit rather than read whole
    // from the document: free to ask for on every key, however long the text.
    const QString& plainText() const { return text_; }

    // Shows `text` by changing only the run of it that differs from what the editor holds, as an
    // edit made elsewhere to the same text: the caret, the selection and the scroll stay where
    // they were around it, and the lines before and after are not laid out again.
    void showText(const QString& text);

protected:
    bool event(QEvent* event) override;

private:
    // Brings text_ up to date with the edit of `removed` characters at `position` by `added`.
    void followEdit(int position, int removed, int added);

    QString text_;
};

} // namespace vantrel
