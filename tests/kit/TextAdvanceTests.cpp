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
