#include "KitRender.h"
#include "kit/TabularFigures.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelMenuPicker.h"
#include "kit/VantrelSegmentedControl.h"
#include "kit/VantrelSliderRow.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "support/KitHarness.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QSlider>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// `text` drawn white on black by the figures helper into a 240 by 60 image, in `font`.
QImage figures(const QString& text, const QFont& font, Qt::Alignment alignment) {
    QImage image(240, 60, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font);
    painter.setPen(Qt::white);
    TabularFigures::draw(painter, QRectF(10, 0, 220, 60), alignment, text);
    return image;
}

// The first and last columns with ink brighter than mid grey (-1 when there is none).
std::pair<int, int> inkColumns(const QImage& image) {
    int left = -1, right = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (qGray(image.pixel(x, y)) > 128) {
                if (left < 0) left = x;
                right = x;
                break;
            }
    return {left, right};
}

// The strongest coverage in `area` of `widget` (all of it by default) drawn on a clear image.
int strongestAlpha(QWidget& widget, QRect area = QRect()) {
    const QImage image = renderWidget(widget);
    if (area.isNull()) area = image.rect();
    int most = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) most = std::max(most, qAlpha(image.pixel(x, y)));
    return most;
}

} // namespace

TEST(TabularFigures, TimesOfOneDigitCountTakeOneWidth) {
    const QFont font = VantrelType::font(43, QFont::Bold);
    // Inter's own figures are proportional: a one is narrower than a nought.
    ASSERT_LT(QFontMetricsF(font).horizontalAdvance("11:11"), QFontMetricsF(font).horizontalAdvance("00:00"));
    EXPECT_DOUBLE_EQ(TabularFigures::advance(font, "11:11"), TabularFigures::advance(font, "00:00"));
    EXPECT_DOUBLE_EQ(TabularFigures::advance(font, "4:07.35"), TabularFigures::advance(font, "1:11.11"));
    EXPECT_DOUBLE_EQ(TabularFigures::advance(font, "00"), 2 * TabularFigures::digitWidth(font));
    EXPECT_DOUBLE_EQ(TabularFigures::advance(font, "19:59"), TabularFigures::advance(font, "00:00"));
    // Text around the figures keeps its own advance, also where it leads.
    EXPECT_DOUBLE_EQ(TabularFigures::advance(font, "in 9"),
                     QFontMetricsF(font).horizontalAdvance("in ") + TabularFigures::digitWidth(font));

    // Drawn from the left, "00" ends in the same column after "11:" as after "00:"; from the
    // right, the colon of "11:11" and "00:00" stands in the same place.
    const auto leftAligned = [&font](const QString& text) {
        return inkColumns(figures(text, font, Qt::AlignLeft | Qt::AlignVCenter));
    };
    EXPECT_EQ(leftAligned("11:00").second, leftAligned("00:00").second);
    EXPECT_GT(leftAligned("00:00").second, 100);
    const auto colonColumns = [&font](const QString& text) {
        // Only the colon's dots lie in the band between the digits' cells.
        QImage image = figures(text, font, Qt::AlignRight | Qt::AlignVCenter);
        const double cell = TabularFigures::digitWidth(font);
        const int colonLeft = int(230 - 2 * cell - QFontMetricsF(font).horizontalAdvance(":"));
        return inkColumns(image.copy(colonLeft, 0, int(2 * cell) / 2, 60));
    };
    EXPECT_EQ(colonColumns("11:11"), colonColumns("00:00"));

    // Too long for its room it ends in "…", measured with the same cells.
    EXPECT_EQ(TabularFigures::elided(font, "12:34:56", TabularFigures::advance(font, "12:34:56")),
              "12:34:56");
    const double room = TabularFigures::advance(font, QStringLiteral("12:3\u2026"));
    EXPECT_EQ(TabularFigures::elided(font, "12:34:56", room), QStringLiteral("12:3\u2026"));
    EXPECT_EQ(TabularFigures::elided(font, "12:34:56", room - 1), QStringLiteral("12:\u2026"));
}

TEST(TabularFigures, TheMonospacedDesignIsOneInstalledFace) {
    const QFont font = VantrelType::monospaced(9.5, QFont::Normal);
    EXPECT_EQ(QFontInfo(font).family(), "JetBrains Mono") << "installed by the setup script";
    EXPECT_EQ(VantrelType::pixelSize(font), 9.5);
    const QFont times = VantrelType::monospaced(27, QFont::DemiBold);
    EXPECT_EQ(QFontInfo(times).family(), "JetBrains Mono");
    const QFontMetricsF metrics(times);
    EXPECT_DOUBLE_EQ(metrics.horizontalAdvance("11:11.11"), metrics.horizontalAdvance("00:00.00"));
    EXPECT_DOUBLE_EQ(metrics.horizontalAdvance("1.2 MB/s"), metrics.horizontalAdvance("8.8 KB/s"));

    // The slider row's read-out is set in it.
    VantrelSliderRow row("Icon size", 24, 92, VantrelSliderRow::oneDecimal("pt"));
    auto* readOut = row.findChildren<VantrelLabel*>().value(1);
    ASSERT_NE(readOut, nullptr);
    EXPECT_EQ(QFontInfo(readOut->font()).family(), "JetBrains Mono");
}

TEST(TabularFigures, ALabelKeepsItsFiguresInCellsAndElidesWhenAsked) {
    const QFont font = VantrelType::font(22, QFont::Bold);
    VantrelLabel value("11:11", font, VantrelLabel::primary());
    value.setTabularDigits(true);
    const int elevens = value.sizeHint().width();
    value.setText("00:00");
    EXPECT_EQ(value.sizeHint().width(), elevens);

    VantrelLabel heading("A heading far longer than the column it sits in",
                         VantrelType::font(18, QFont::Bold), VantrelLabel::primary());
    heading.setElided(true);
    heading.resize(160, 30);
    VantrelTheme::setColorScheme(&heading, ColorScheme::dark);
    const QImage image = renderWidget(heading, Qt::black);
    // The ellipsis ends the line inside the label: the last column stays clear, and the text
    // stays whole for assistive technologies.
    const auto [left, right] = inkColumns(image);
    EXPECT_LE(left, 2);
    EXPECT_LT(right, 159);
    EXPECT_GT(right, 140);
    EXPECT_EQ(heading.text(), "A heading far longer than the column it sits in");
}

TEST(KitDisabledLook, SegmentedControlAndMenuPickerFadeToFortyFivePercent) {
    KitHarness kit;
    VantrelSegmentedControl segments("Timer duration", {"5m", "15m", "25m"}, &kit.haptics);
    segments.resize(220, 24);
    segments.show();
    segments.setSelectedIndex(1);
    VantrelTheme::setColorScheme(&segments, ColorScheme::dark);
    // Probed on an unselected segment: its label in white at 0.66 on the track.
    const QRect unselected = segments.segment(0)->geometry();
    const int enabledSegments = strongestAlpha(segments, unselected);
    segments.setEnabled(false);
    const int disabledSegments = strongestAlpha(segments, unselected);
    EXPECT_GT(enabledSegments, 150);
    EXPECT_NEAR(disabledSegments, enabledSegments * 0.45, 6);
    EXPECT_LT(strongestAlpha(segments), 0.5 * 255) << "the selected segment fades too";

    VantrelMenuPicker picker("Responsiveness", {"Instant", "Balanced", "Careful"}, kit.menus, nullptr);
    picker.resize(146, 26);
    picker.setCurrentIndex(1);
    VantrelTheme::setColorScheme(&picker, ColorScheme::dark);
    const int enabledPicker = strongestAlpha(picker);
    picker.setEnabled(false);
    const int disabledPicker = strongestAlpha(picker);
    EXPECT_GT(enabledPicker, 200) << "white label at 0.86";
    EXPECT_NEAR(disabledPicker, enabledPicker * 0.45, 6);

    const QImage disabledLook = renderWidget(segments, Qt::black);
    segments.setEnabled(true);
    saveSheet("kit-disabled-look",
              {renderWidget(segments, Qt::black), disabledLook, renderWidget(picker, Qt::black)}, 1);
}

TEST(VantrelSliderRow, TheReadOutTellsTheStoredValueOutsideTheRange) {
    // A system Dock at tile size 16 reads 16.0pt, while the knob rests at the range's start.
    VantrelSliderRow row("Icon size", 24, 92, VantrelSliderRow::oneDecimal("pt"));
    row.setValue(16);
    EXPECT_EQ(row.valueText(), "16.0pt");
    EXPECT_EQ(row.value(), 16);
    EXPECT_EQ(row.slider()->value(), row.slider()->minimum());
    row.setValue(128);
    EXPECT_EQ(row.valueText(), "128.0pt");
    EXPECT_EQ(row.slider()->value(), row.slider()->maximum());
    row.setValue(44);
    EXPECT_EQ(row.valueText(), "44.0pt");
}
