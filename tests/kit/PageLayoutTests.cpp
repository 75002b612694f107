#include "kit/AlignedSettingRow.h"
#include "kit/FeatureRowLayout.h"
#include "kit/VantrelPageLayout.h"

#include <QCoreApplication>
#include <QLabel>
#include <gtest/gtest.h>

using namespace vantrel;

TEST(VantrelPageLayout, PaddingsFollowTheWidthAndTheColumnStaysCentred) {
    for (const auto& [width, padding] :
         {std::pair{899.0, 20.0}, std::pair{900.0, 28.0}, std::pair{1099.0, 28.0}, std::pair{1100.0, 32.0},
          std::pair{480.0, 20.0}})
        EXPECT_EQ(VantrelPageLayout::horizontalPadding(width), padding) << width;

    // Narrower than the maximum: the paddings frame the content.
    EXPECT_EQ(VantrelPageLayout::column(880, 980, 300), QRectF(20, 28, 840, 300));
    // Wider than the maximum plus its padding: equal empty space on both sides.
    EXPECT_EQ(VantrelPageLayout::column(1200, 980, 300), QRectF(142, 28, 916, 300));
    EXPECT_EQ(VantrelPageLayout::column(1000, 980, 0), QRectF(38, 28, 924, 0));
    EXPECT_EQ(VantrelPageLayout::height(300), 376);
}

TEST(AlignedSettingRowLayout, SideBySideFromLabelPlusGapPlusControlElseStacked) {
    const QSizeF control(120, 22);
    // 150 + 18 + 260 = 428.
    const auto narrow = AlignedSettingRowLayout::of(427, 150, 260, 16, control, false);
    EXPECT_FALSE(narrow.wide);
    EXPECT_EQ(narrow.label, QRectF(0, 0, 427, 16));
    EXPECT_EQ(narrow.control, QRectF(0, 26, 120, 22)) << "under the label, leading";
    EXPECT_EQ(narrow.height, 48);

    const auto wide = AlignedSettingRowLayout::of(428, 150, 260, 16, control, false);
    EXPECT_TRUE(wide.wide);
    EXPECT_EQ(wide.label, QRectF(0, 3, 150, 16));
    EXPECT_EQ(wide.control, QRectF(168 + 70, 0, 120, 22)) << "centred in its column";
    EXPECT_EQ(wide.height, 22);
    // Side by side, label and control are centred on one line: a 30-high label puts a 22-high
    // control 4 down.
    const auto tall = AlignedSettingRowLayout::of(428, 150, 260, 30, control, false);
    EXPECT_EQ(tall.label, QRectF(0, 0, 150, 30));
    EXPECT_EQ(tall.control, QRectF(168 + 70, 4, 120, 22));
    EXPECT_EQ(tall.height, 30);

    // A control that expands takes its whole column, never more than the row.
    EXPECT_EQ(AlignedSettingRowLayout::of(600, 150, 260, 16, control, true).control, QRectF(168, 0, 260, 22));
    EXPECT_EQ(AlignedSettingRowLayout::of(200, 150, 260, 16, control, true).control, QRectF(0, 26, 200, 22));

    // The widget lays its children out by the same rule.
    AlignedSettingRow row("Position", 150, 260, new QLabel("Bottom"));
    row.show();
    row.resize(427, row.heightForWidth(427));
    EXPECT_GT(row.control()->y(), 0) << "stacked";
    row.resize(428, row.heightForWidth(428));
    EXPECT_EQ(row.control()->x(), 168 + (260 - row.control()->width()) / 2);
    EXPECT_EQ(row.control()->accessibleName(), "Position");

    // A control that grows (a label given a longer text) gets its new width once the event loop
    // turns, still centred in its column, instead of squeezing its contents into the old one.
    auto* label = static_cast<QLabel*>(row.control());
    const int before = label->width();
    label->setText("Bottom of the screen, always");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    EXPECT_GT(label->width(), before + 40);
    EXPECT_EQ(label->width(), label->sizeHint().width());
    EXPECT_EQ(label->x(), 168 + (260 - label->width()) / 2);
}

TEST(FeatureRowLayout, WideFrom660WhenEverythingFitsAtLeast44HighAndTheSubtitleWraps) {
    // The subtitle takes 14 points per 200 points of text it cannot fit on one line.
    const auto wrapped = [](double width) { return 14.0 * std::ceil(500.0 / std::max(1.0, width)); };
    FeatureRowLayout::Measures measures{
        .titleWidth = 120, .titleHeight = 15, .subtitleHeight = wrapped, .control = QSizeF(38, 22)};

    const auto at659 = FeatureRowLayout::of(659, measures);
    EXPECT_FALSE(at659.wide);
    EXPECT_EQ(at659.control.right(), 659) << "right-aligned on its own line";
    EXPECT_EQ(at659.control.top(), at659.icon.bottom() + 12);

    const auto at660 = FeatureRowLayout::of(660, measures);
    EXPECT_TRUE(at660.wide);
    EXPECT_EQ(at660.icon.size(), QSizeF(39, 39));
    EXPECT_EQ(at660.title.left(), 52);
    // Text width 660 - 52 - 38 - 38 = 532: one subtitle line.
    EXPECT_EQ(at660.subtitle.width(), 532);
    EXPECT_EQ(at660.subtitle.height(), 14);
    EXPECT_EQ(at660.height, 44) << "never shorter than 44";
    EXPECT_EQ(at660.control, QRectF(622, 11, 38, 22));

    // Not enough room for title, gap and control side by side: stacked even above 660.
    measures.control = QSizeF(480, 24);
    EXPECT_FALSE(FeatureRowLayout::of(660, measures).wide);
    EXPECT_TRUE(FeatureRowLayout::of(52 + 120 + 38 + 480, measures).wide);
    EXPECT_FALSE(FeatureRowLayout::of(52 + 120 + 38 + 479, measures).wide);

    // A narrow row wraps the subtitle onto more lines and grows; an empty one stays 44 high.
    const auto narrow = FeatureRowLayout::of(300, measures);
    EXPECT_EQ(narrow.subtitle.height(), 14 * 3);
    EXPECT_EQ(narrow.height, 15 + 3 + 42 + 12 + 24);
    EXPECT_EQ(narrow.control, QRectF(0, 15 + 3 + 42 + 12, 300, 24)) << "never wider than the row";
    FeatureRowLayout::Measures bare;
    bare.titleWidth = 10;
    bare.control = QSizeF(10, 10);
    EXPECT_EQ(FeatureRowLayout::of(700, bare).height, 44);
    EXPECT_EQ(FeatureRowLayout::of(200, bare).height, 39 + 12 + 10);
    // Narrower than the icon and its 13 of spacing, the texts get no width at all.
    const auto squeezed = FeatureRowLayout::of(40, bare);
    EXPECT_EQ(squeezed.title.width(), 0);
    EXPECT_EQ(squeezed.subtitle.width(), 0);
    // A row with no width at all gives its control none either.
    EXPECT_EQ(FeatureRowLayout::of(0, bare).control, QRectF(0, 39 + 12, 0, 10));
}
