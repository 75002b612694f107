#include "kit/VantrelTextEditor.h"

#include <QRandomGenerator>
#include <QTest>
#include <gtest/gtest.h>

using namespace vantrel;

// The editor's plain text, kept from each edit rather than read whole, is the text toPlainText()
// reads after every kind of edit: keys typed and erased, line breaks and Shift+Return's, a
// non-breaking space, a selection typed over, a paste of lines, undo and redo, a whole text set or
// cleared, random edits anywhere, and a text shown from elsewhere.
TEST(VantrelTextEditor, ThePlainTextFollowsEveryKindOfEdit) {
    VantrelTextEditor editor;
    editor.resize(300, 200);
    editor.show();
    editor.setFocus();
    const auto check = [&](const char* step) { ASSERT_EQ(editor.plainText(), editor.toPlainText()) << step; };
    QTest::keyClicks(&editor, QStringLiteral("abc"));
    check("typed");
    QTest::keyClick(&editor, Qt::Key_Return);
    QTest::keyClick(&editor, Qt::Key_Return, Qt::ShiftModifier);
    check("line breaks");
    editor.insertPlainText(QStringLiteral("a\u00a0b"));
    check("a non-breaking space");
    QTest::keyClick(&editor, Qt::Key_Backspace);
    QTest::keyClick(&editor, Qt::Key_Home);
    QTest::keyClick(&editor, Qt::Key_Delete);
    check("erased");
    editor.selectAll();
    QTest::keyClicks(&editor, QStringLiteral("Z"));
    check("a selection typed over");
    editor.insertPlainText(QStringLiteral("one\ntwo\r\n\tthree\n"));
    check("a paste of lines");
    for (int i = 0; i < 4; ++i) editor.undo();
    check("undone");
    editor.redo();
    check("redone");
    editor.setPlainText(QStringLiteral("fresh\r\ntext\u2029more"));
    check("set whole");
    editor.clear();
    check("cleared");
    QTest::keyClicks(&editor, QStringLiteral("q"));
    check("the first letter of an empty text");

    QRandomGenerator random(76);
    for (int i = 0; i < 300; ++i) {
        QTextCursor cursor(editor.document());
        const int length = editor.document()->characterCount() - 1;
        const int from = random.bounded(length + 1);
        cursor.setPosition(from);
        cursor.setPosition(from + random.bounded(std::min(length - from, 5) + 1), QTextCursor::KeepAnchor);
        static const QStringList kRuns{"", "x", "\n", "ab\ncd", "\u00e9\u0301", "\U0001F600", " \n\n "};
        if (random.bounded(8) == 0)
            editor.undo();
        else
            cursor.insertText(kRuns[random.bounded(int(kRuns.size()))]);
        check("a random edit");
    }

    // A text shown from elsewhere, one character of two code units changed in it, reads as shown
    // and leaves a caret after the change where it was in the text.
    editor.setPlainText(QStringLiteral("G\U0001F600roceries"));
    editor.moveCursor(QTextCursor::End);
    editor.showText(QStringLiteral("G\U0001F601roceries"));
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("G\U0001F601roceries"));
    EXPECT_EQ(editor.textCursor().position(), 11);
    check("a text shown");
}
