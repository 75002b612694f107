#include "kit/VantrelTextEditor.h"

#include <QRandomGenerator>
#include <QTest>
#include <gtest/gtest.h>

using namespace vantrel;

// The editor's plain text, kept from each edit rather than read whole, is the text toPlainText()
// reads after every kind of edit: keys typed and erased, line breaks and Shift+Return's, a
// non-breaking space, a selection typed over, a paste of lines, undo and redo, a whole text set or
// cleared, and runs of random edits anywhere in the text.
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
}

// A text shown from elsewhere changes only the run that differs: the caret before it stays where it
// was, one after it moves with its text, and a character of two code units is replaced whole.
TEST(VantrelTextEditor, AShownTextChangesOnlyWhatDiffersAndKeepsTheCaret) {
    VantrelTextEditor editor;
    editor.setPlainText(QStringLiteral("Groceries\nmilk"));
    QTextCursor caret = editor.textCursor();
    caret.setPosition(3);
    editor.setTextCursor(caret);
    editor.showText(QStringLiteral("Groceries\nmilk, eggs"));
    EXPECT_EQ(editor.toPlainText(), "Groceries\nmilk, eggs");
    EXPECT_EQ(editor.textCursor().position(), 3);
    editor.showText(QStringLiteral("G\U0001F600roceries\nmilk, eggs"));
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("G\U0001F600roceries\nmilk, eggs"));
    EXPECT_EQ(editor.textCursor().position(), 5);
    editor.showText(QStringLiteral("G\U0001F601roceries\nmilk, eggs"));
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("G\U0001F601roceries\nmilk, eggs"));
    EXPECT_EQ(editor.plainText(), editor.toPlainText());
    editor.showText(QString());
    EXPECT_EQ(editor.toPlainText(), "");
}
