#include "core/PlainText.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::plaintext;

TEST(PlainText, CountsAndCutsInCharactersAReaderSees) {
    const QString accented = QStringLiteral("e\u0301"); // e and a combining acute: one character
    EXPECT_EQ(characterCount(u"abc"), 3);
    EXPECT_EQ(characterCount(QString()), 0);
    EXPECT_EQ(characterCount(accented, 10), 1);
    EXPECT_EQ(characterCount(accented.repeated(3), 10), 3);
    EXPECT_EQ(characterCount(u"ab\r\ncd", 10), 5) << "a carriage return and line feed are one character";
    EXPECT_EQ(characterCount(accented.repeated(5), 2), 3) << "counting stops one past the limit";

    EXPECT_EQ(characterPrefix(accented.repeated(3) + QStringLiteral("x"), 1), accented);
    EXPECT_EQ(characterPrefix(accented.repeated(3) + QStringLiteral("x"), 3), accented.repeated(3));
    EXPECT_EQ(characterPrefix(QStringLiteral("abcdef"), 2), QStringLiteral("ab"));
    EXPECT_EQ(characterPrefix(QStringLiteral("abc"), 5), QStringLiteral("abc"));
    EXPECT_EQ(characterPrefix(QStringLiteral("abc"), 0), QString());
    EXPECT_EQ(characterPrefix(QStringLiteral("abc"), -1), QString());
}

TEST(PlainText, LinesBlanksAndCanonicalEquality) {
    EXPECT_EQ(splitLines(u"a\nb\r\nc\u2028d"), QStringList({"a", "b", "", "c", "d"}));
    EXPECT_EQ(splitLines(u"a\n"), QStringList({"a", ""}));
    EXPECT_EQ(splitLines(u""), QStringList({""}));
    const QString text = QStringLiteral("one\ntwo");
    EXPECT_EQ(splitLines(QStringView(text).first(3)), QStringList({"one"})) << "only the view is split";

    EXPECT_EQ(trimBlanks(u"\t a b \u00A0"), QStringLiteral("a b"));
    EXPECT_EQ(trimBlanks(u"\na\n"), QStringLiteral("\na\n")) << "newlines are no blanks";
    EXPECT_EQ(collapseWhitespace(u"  a \t\n b  "), QStringLiteral("a b"));

    EXPECT_TRUE(canonicallyEqual(QStringLiteral("\u00E9"), QStringLiteral("e\u0301")));
    EXPECT_FALSE(canonicallyEqual(QStringLiteral("e"), QStringLiteral("\u00E9")));
}
