#include "kit/VantrelType.h"
#include "notch/FrostedMirrorBackdrop.h"
#include "notch/NotchStateView.h"

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <gtest/gtest.h>

using namespace vantrel;

TEST(NotchStateView, AButtonOnlyWithBothItsTitleAndItsAction) {
    int runs = 0;
    const auto action = [&runs] { ++runs; };
    const QColor accent(Qt::cyan);
    EXPECT_EQ(NotchStateView("camera", "Camera off", "Allow access.", accent, QStringLiteral("Allow"))
                  .actionButton(),
              nullptr);
    EXPECT_EQ(
        NotchStateView("camera", "Camera off", "Allow access.", accent, std::nullopt, action).actionButton(),
        nullptr);

    NotchStateView view("camera", "Camera off", "Allow access.", accent, QStringLiteral("Allow"), action);
    ASSERT_NE(view.actionButton(), nullptr);
    EXPECT_EQ(view.actionButton()->text(), "Allow");
    view.actionButton()->click();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(view.accessibleName(), "Camera off");
}

TEST(NotchStateView, CentredStackWithItsSpacingAndPadding) {
    const NotchStateView::Layout l = NotchStateView::layout(QSizeF(300, 200), 16, 26, QSizeF());
    EXPECT_EQ(l.symbol.size(), QSizeF(28, 24));
    EXPECT_DOUBLE_EQ(l.symbol.center().x(), 150);
    EXPECT_DOUBLE_EQ(l.title.top(), l.symbol.bottom() + 7);
    EXPECT_DOUBLE_EQ(l.message.top(), l.title.bottom() + 7);
    EXPECT_EQ(l.title.left(), 10);
    EXPECT_EQ(l.title.width(), 280);
    // Centred in the padded frame: as much room above as below.
    EXPECT_DOUBLE_EQ(l.symbol.top() - 10, 190 - l.message.bottom());
    EXPECT_TRUE(l.button.isNull());

    const NotchStateView::Layout withButton =
        NotchStateView::layout(QSizeF(300, 200), 16, 26, QSizeF(80, 24));
    EXPECT_EQ(withButton.button, QRectF(110, withButton.message.bottom() + 7, 80, 24));
    EXPECT_DOUBLE_EQ(withButton.symbol.top() - 10, 190 - withButton.button.bottom());
}

TEST(NotchStateView, TheSymbolIsDrawnInItsPlaceAboveTheTitle) {
    NotchStateView view("checkmark.circle", "Nothing else today", "Enjoy the rest of your day.",
                        QColor(0, 255, 0));
    view.resize(300, 200);
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    // The accent's pixels: every one inside the symbol's place, none under it.
    // One line of message under the title.
    const QRect symbol =
        NotchStateView::layout(QSizeF(300, 200), QFontMetricsF(NotchStateView::titleFont()).height(),
                               QFontMetricsF(NotchStateView::messageFont()).lineSpacing(), QSizeF())
            .symbol.toAlignedRect();
    int inside = 0, outside = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) < 128 || qGreen(p) < 128 || qRed(p) > 100) continue;
            (symbol.contains(x, y) ? inside : outside) += 1;
        }
    EXPECT_GT(inside, 40);
    EXPECT_EQ(outside, 0);
}

TEST(NotchStateView, ALongMessageWrapsToTwoLinesThenEnds) {
    const QFont font = NotchStateView::messageFont();
    EXPECT_EQ(VantrelType::pixelSize(font), 10.5);
    EXPECT_EQ(NotchStateView::messageLines("Short", font, 200), QStringList{"Short"});
    const QString longMessage =
        QStringLiteral("Vantrel could not reach the calendar store on this machine. ").repeated(4);
    const QStringList lines = NotchStateView::messageLines(longMessage, font, 200);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[1].endsWith(QChar(0x2026)));
    for (const QString& line : lines) EXPECT_LE(QFontMetricsF(font).horizontalAdvance(line), 200);
    EXPECT_TRUE(NotchStateView::messageLines(QString(), font, 200).isEmpty());
}

TEST(FrostedMirrorBackdrop, DisabledKeepsItsPlaceButDrawsNothing) {
    QPainterPath outline;
    outline.addRect(0, 0, 20, 20);
    FrostedMirrorBackdrop backdrop(true);
    EXPECT_TRUE(backdrop.isActive());
    EXPECT_DOUBLE_EQ(backdrop.alpha(), 1);

    QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        backdrop.paint(painter, outline);
    }
    EXPECT_GT(qAlpha(image.pixel(10, 10)), 200);
    EXPECT_GT(qRed(image.pixel(10, 10)), 200);

    backdrop.configure(false);
    EXPECT_FALSE(backdrop.isActive());
    EXPECT_DOUBLE_EQ(backdrop.alpha(), 0);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        backdrop.paint(painter, outline);
    }
    EXPECT_EQ(qAlpha(image.pixel(10, 10)), 0);
}
