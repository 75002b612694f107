#include "kit/TextAdvance.h"
#include "kit/VantrelType.h"

#include <QFontMetricsF>
#include <gtest/gtest.h>

using namespace vantrel;

TEST(TextAdvance, MeasuresEachFontAndTextLikeTheFontItselfAndKeepsAtMost512Widths) {
    TextAdvance::clear();
    const QFont medium = VantrelType::font(13, QFont::Medium);
    const QFont bold = VantrelType::font(13, QFont::Bold);
    const QFont larger = VantrelType::font(22, QFont::Bold);
    for (const QFont& font : {medium, bold, larger})
        for (const QString& text : {QStringLiteral("Home"), QStringLiteral("Notifications")})
            EXPECT_DOUBLE_EQ(TextAdvance::of(font, text), QFontMetricsF(font).horizontalAdvance(text))
                << text.toStdString() << " at " << font.key().toStdString();
    // The font belongs to the key: the selected (bold) title is wider than the same title in medium.
    EXPECT_GT(TextAdvance::of(bold, QStringLiteral("Notifications")),
              TextAdvance::of(medium, QStringLiteral("Notifications")));
    EXPECT_GT(TextAdvance::of(larger, QStringLiteral("Home")), TextAdvance::of(bold, QStringLiteral("Home")));
    EXPECT_EQ(TextAdvance::cachedCount(), 6);
    // Asked again, nothing new is kept.
    TextAdvance::of(medium, QStringLiteral("Home"));
    TextAdvance::of(QFont(medium), QStringLiteral("Home"));
    EXPECT_EQ(TextAdvance::cachedCount(), 6);
    // An empty text is measured too, as nothing.
    EXPECT_DOUBLE_EQ(TextAdvance::of(medium, QString()), 0);

    // Texts of other programs never grow it past 512 entries, and every answer stays right.
    for (int i = 0; i < 1300; ++i) {
        const QString text = QStringLiteral("copied entry %1").arg(i);
        const double width = TextAdvance::of(medium, text);
        if (i % 97 == 0) {
            EXPECT_DOUBLE_EQ(width, QFontMetricsF(medium).horizontalAdvance(text)) << i;
        }
        ASSERT_LE(TextAdvance::cachedCount(), 512) << i;
    }
    EXPECT_GT(TextAdvance::cachedCount(), 0);
    EXPECT_DOUBLE_EQ(TextAdvance::of(bold, QStringLiteral("Home")),
                     QFontMetricsF(bold).horizontalAdvance(QStringLiteral("Home")));
    TextAdvance::clear();
    EXPECT_EQ(TextAdvance::cachedCount(), 0);
}

TEST(TextAdvance, ElidesOnTheRightLikeTheFontItselfAndKeepsEachAnswer) {
    TextAdvance::clear();
    const QFont caption = VantrelType::font(11, QFont::Normal);
    const QString name = QStringLiteral("Screenshot 2026-12-08 at 01.00.00.png");
    const QString cut = TextAdvance::elidedRight(caption, name, 80);
    EXPECT_TRUE(cut.endsWith(QChar(0x2026))) << cut.toStdString();
    EXPECT_TRUE(cut.startsWith(QStringLiteral("Scr"))) << cut.toStdString();
    EXPECT_LE(QFontMetricsF(caption).horizontalAdvance(cut), 80);
    EXPECT_EQ(cut, QFontMetricsF(caption).elidedText(name, Qt::ElideRight, 80));
    // What fits is kept whole; the width belongs to the key.
    EXPECT_EQ(TextAdvance::elidedRight(caption, QStringLiteral("Timer"), 80), QStringLiteral("Timer"));
    EXPECT_EQ(TextAdvance::elidedRight(caption, name, 400), name);
    EXPECT_EQ(TextAdvance::cachedElidedCount(), 3);
    EXPECT_EQ(TextAdvance::elidedRight(caption, name, 80), cut);
    EXPECT_EQ(TextAdvance::cachedElidedCount(), 3);
    // File names of other programs never grow it past 512 entries.
    for (int i = 0; i < 1300; ++i) {
        const QString text = QStringLiteral("Screenshot number %1 of a long afternoon.png").arg(i);
        const QString answer = TextAdvance::elidedRight(caption, text, 90);
        if (i % 131 == 0) {
            EXPECT_EQ(answer, QFontMetricsF(caption).elidedText(text, Qt::ElideRight, 90)) << i;
        }
        ASSERT_LE(TextAdvance::cachedElidedCount(), 512) << i;
    }
    TextAdvance::clear();
    EXPECT_EQ(TextAdvance::cachedElidedCount(), 0);
}
