#include "KitRender.h"
#include "kit/FeatureRow.h"
#include "kit/HazardBadge.h"
#include "kit/MetricPill.h"
#include "kit/SectionTitle.h"
#include "kit/SettingsCard.h"
#include "kit/StatusBadge.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelHelpButton.h"
#include "kit/VantrelIcon.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelPage.h"
#include "kit/VantrelSwitch.h"
#include "kit/VantrelType.h"
#include "support/FakeCompositorState.h"
#include "support/KitHarness.h"

#include <QAccessible>
#include <QApplication>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

QColor at(QColor color, double opacity) {
    return VantrelTheme::withOpacity(color, opacity);
}

QAccessible::Role roleOf(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->role();
}

// A block of fixed height, standing for a page's content.
QWidget* block(int height) {
    auto* widget = new QWidget;
    widget->setFixedHeight(height);
    return widget;
}

} // namespace

TEST(VantrelPage, PaddingsColumnTintHeadingAndScrollingBackToTheTop) {
    KitHarness kit;
    VantrelPage page(kit.preferences, "Notch", QStringLiteral("Shape and behaviour"), 980);
    page.addContent(block(1200));
    page.show();
    // The column's left edge is the padding while the page is narrower than its maximum.
    for (const auto& [width, padding] : {std::pair{899, 20}, std::pair{900, 28}, std::pair{1099, 28}}) {
        VantrelPage wide(kit.preferences, "Dock", std::nullopt, 5000);
        wide.resize(width, 600);
        wide.show();
        EXPECT_EQ(wide.column()->x(), padding) << width;
        EXPECT_EQ(wide.column()->width(), width - 2 * padding) << width;
    }
    page.resize(1200, 700);
    QApplication::processEvents();
    EXPECT_EQ(page.column()->geometry(), QRect(142, 28, 916, page.column()->height())) << "centred under 980";
    // Over the heading, a zero-height top anchor and 24 points of spacing: the heading's top is
    // 28 + 24 = 52 points down the page.
    const auto* top = page.column()->findChild<QWidget*>(QStringLiteral("vantrel-page-top"));
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->geometry(), QRect(0, 0, 916, 0));
    EXPECT_EQ(page.heading()->mapTo(page.widget(), QPoint(0, 0)), QPoint(142, 52));
    EXPECT_EQ(page.widget()->height(), 28 + page.column()->height() + 48);
    EXPECT_EQ(roleOf(page.heading()), QAccessible::Heading);
    EXPECT_EQ(page.heading()->property("vantrelHeadingLevel"), 1);
    EXPECT_EQ(page.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(page.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    // The accent tints the page's controls, and follows the setting.
    EXPECT_EQ(page.palette().color(QPalette::Highlight), VantrelTheme::accent(Accent::graphite));
    kit.preferences.setAccent(Accent::coral);
    EXPECT_EQ(page.palette().color(QPalette::Highlight), QColor::fromRgbF(1.0f, 0.4f, 0.45f));

    page.verticalScrollBar()->setValue(400);
    EXPECT_EQ(page.verticalScrollBar()->value(), 400);
    page.hide();
    page.show();
    EXPECT_EQ(page.verticalScrollBar()->value(), 0) << "shown again at its top";
}

TEST(VantrelLabel, AHeadingLevelOfZeroMakesTheLabelPlainTextAgain) {
    VantrelLabel label(QStringLiteral("Clipboard"), QFont(), VantrelTheme::elevated());
    label.setHeadingLevel(2);
    EXPECT_EQ(roleOf(&label), QAccessible::Heading);
    label.setHeadingLevel(0);
    EXPECT_NE(roleOf(&label), QAccessible::Heading);
    label.setHeadingLevel(1);
    EXPECT_EQ(roleOf(&label), QAccessible::Heading);
}

TEST(SettingsCard, HeaderVariantsAndRule) {
    KitHarness kit;
    SettingsCard plain(kit.preferences, kit.appearance, "Behaviour");
    plain.addContent(block(40));
    plain.resize(520, plain.sizeHint().height());
    plain.show();
    EXPECT_EQ(plain.subtitleLabel(), nullptr);
    EXPECT_EQ(plain.helpButton(), nullptr);
    EXPECT_EQ(plain.titleLabel()->pos(), QPoint(20 + 5 + 9, 20)) << "after the 5-point dot and 9 of spacing";
    EXPECT_EQ(roleOf(plain.titleLabel()), QAccessible::Heading);
    EXPECT_EQ(plain.titleLabel()->property("vantrelHeadingLevel"), 2);
    // Header: 20 above, the title, 16 below; the rule; then the content padded by 20.
    const int titleBottom = plain.titleLabel()->geometry().bottom() + 1;
    EXPECT_EQ(plain.ruleY(), titleBottom + 16);
    QWidget* content = plain.contentLayout()->itemAt(0)->widget();
    EXPECT_EQ(content->geometry(), QRect(20, int(plain.ruleY()) + 1 + 20, 520 - 40, 40));

    SettingsCard full(kit.preferences, kit.appearance, "Notch Panel",
                      QStringLiteral("Shown under the camera"),
                      QStringLiteral("The panel opens when you hover the notch."));
    full.resize(520, full.sizeHint().height());
    full.show();
    ASSERT_NE(full.subtitleLabel(), nullptr);
    ASSERT_NE(full.helpButton(), nullptr);
    EXPECT_EQ(full.subtitleLabel()->text(), "Shown under the camera");
    EXPECT_EQ(full.subtitleLabel()->y(), full.titleLabel()->geometry().bottom() + 1 + 3);
    EXPECT_EQ(full.subtitleLabel()->resolvedColor(), at(Qt::black, 0.6)) << "secondary text, light";
    EXPECT_EQ(full.helpButton()->size(), QSize(25, 25));
    // The help button follows the longer text line, 9 after it; the rest of the header stays empty.
    const int textWidth =
        std::max(full.titleLabel()->sizeHint().width(), full.subtitleLabel()->sizeHint().width());
    EXPECT_EQ(full.helpButton()->x(), 34 + textWidth + 9);
    EXPECT_EQ(full.helpButton()->y(), 20);

    // The rule fades from the border's full strength at the leading edge through a quarter of it
    // halfway to nothing at the trailing edge: what it adds over the card, measured against the
    // rows just below it.
    VantrelTheme::setColorScheme(&plain, ColorScheme::dark);
    const QImage card = renderWidget(plain, Qt::black);
    const int top = int(std::floor(plain.ruleY()));
    auto added = [&](int x) {
        int sum = 0;
        for (int dy = 0; dy < 2; ++dy)
            sum += qGreen(card.pixel(x, top + dy)) - qGreen(card.pixel(x, top + 3 + dy));
        return sum;
    };
    const int leading = added(3), halfway = added(260), trailing = added(516);
    EXPECT_GT(leading, 3 * halfway);
    EXPECT_GT(halfway, 2);
    EXPECT_LE(std::abs(trailing), 1);

    // A live subtitle changes, goes and comes back.
    full.setSubtitle(QStringLiteral("Hidden"));
    EXPECT_EQ(full.subtitleLabel()->text(), "Hidden");
    full.setSubtitle(std::nullopt);
    EXPECT_EQ(full.subtitleLabel(), nullptr);
    full.setSubtitle(QStringLiteral("Back"));
    EXPECT_EQ(full.subtitleLabel()->text(), "Back");
}

TEST(SettingsCard, OpaqueUnderReducedTransparencyOutlinedUnderIncreasedContrast) {
    const QColor surfaceDark = QColor::fromRgbF(0.035f, 0.04f, 0.052f);
    EXPECT_EQ(SettingsCard::underlayColor(true, ColorScheme::dark), surfaceDark);
    EXPECT_EQ(SettingsCard::underlayColor(false, ColorScheme::dark).alpha(), 0);
    EXPECT_EQ(SettingsCard::outlineColor(true, ColorScheme::light), at(Qt::black, 0.46));
    EXPECT_EQ(SettingsCard::outlineColor(true, ColorScheme::dark), at(Qt::white, 0.46));
    EXPECT_EQ(SettingsCard::outlineColor(false, ColorScheme::dark), std::nullopt);

    KitHarness kit;
    SettingsCard card(kit.preferences, kit.appearance, "Layout");
    card.addContent(block(30));
    card.resize(300, card.sizeHint().height());
    VantrelTheme::setColorScheme(&card, ColorScheme::dark);
    const QPoint middle(150, card.height() - 8);
    const QPoint edge(0, card.height() / 2);
    const QImage glass = renderWidget(card);
    EXPECT_LT(qAlpha(glass.pixel(middle)), 250) << "translucent glass";

    kit.appearance.setReduceTransparency(true);
    const QImage opaque = renderWidget(card);
    EXPECT_EQ(qAlpha(opaque.pixel(middle)), 255);

    kit.appearance.setReduceTransparency(false);
    kit.appearance.setIncreasedContrast(true);
    const QImage outlined = renderWidget(card);
    EXPECT_GT(qGray(outlined.pixel(edge)), qGray(glass.pixel(edge)) + 40) << "a white outline at the edge";
    EXPECT_EQ(outlined.pixel(middle), glass.pixel(middle)) << "nothing drawn inside";
}

TEST(VantrelHelpButton, ShowsItsGlyphOnlyNearFocusedOrOpenAndEscapeClosesThePopover) {
    KitHarness kit;
    QWidget window;
    auto* field = new QLineEdit(&window); // takes the window's first focus
    auto* button = new VantrelHelpButton(kit.preferences, kit.appearance, "Notch Panel",
                                         "The panel opens when you hover the notch.", &window);
    window.resize(200, 100);
    window.show();
    QApplication::setActiveWindow(&window);
    EXPECT_EQ(button->size(), QSize(25, 25));
    EXPECT_EQ(button->toolTip(), "Help for Notch Panel");
    EXPECT_EQ(button->accessibleName(), "Help for Notch Panel");
    EXPECT_EQ(button->accessibleDescription(), "Shows more information");
    // The help text in 12, medium.
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_NE(button->popover(), nullptr);
    EXPECT_NEAR(VantrelType::pixelSize(button->popover()->label()->font()), 12, 1e-9);
    EXPECT_EQ(button->popover()->label()->font().weight(), QFont::Medium);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(button->isGlyphVisible());
    EXPECT_EQ(paintedPixels(renderWidget(*button), QRect(0, 0, 25, 25)), 0) << "invisible, but in place";

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(button, &enter);
    EXPECT_TRUE(button->isGlyphVisible());
    QImage expected(25, 25, QImage::Format_ARGB32_Premultiplied);
    expected.fill(Qt::transparent);
    QPainter glyph(&expected);
    glyph.setRenderHint(QPainter::Antialiasing);
    VantrelGlyph::paint(glyph, QRectF(0, 0, 25, 25), u"questionmark.circle", at(Qt::black, 0.78), 12,
                        QFont::DemiBold);
    glyph.end();
    EXPECT_EQ(renderWidget(*button), expected) << "the question mark, at 0.78 of the primary colour";
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_FALSE(button->isGlyphVisible());

    button->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(button->hasFocus());
    EXPECT_TRUE(button->isGlyphVisible());
    EXPECT_EQ(button->focusRingWidth(), 2);
    kit.appearance.setIncreasedContrast(true);
    EXPECT_EQ(button->focusRingWidth(), 3);
    field->setFocus();

    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(button->isPresented());
    VantrelHelpPopover* popover = button->popover();
    EXPECT_TRUE(popover->windowFlags().testFlag(Qt::Popup));
    EXPECT_EQ(popover->width(), 250 + 2 * 14);
    EXPECT_EQ(popover->label()->geometry().topLeft(), QPoint(14, VantrelHelpPopover::kArrow + 14));
    EXPECT_EQ(popover->height() - (popover->label()->geometry().bottom() + 1), 14) << "and 14 below the text";
    EXPECT_NEAR(popover->geometry().center().x(), button->mapToGlobal(button->rect().center()).x(), 1)
        << "centred under the button, its arrow on top";
    // The arrow is symmetric about the popover's middle: its two sides mirror each other.
    const QImage top = renderWidget(*popover).copy(0, 0, popover->width(), VantrelHelpPopover::kArrow + 2);
    const QImage mirrored = top.mirrored(true, false);
    int differing = 0;
    for (int y = 0; y < top.height(); ++y)
        for (int x = 0; x < top.width(); ++x)
            differing += std::abs(qAlpha(top.pixel(x, y)) - qAlpha(mirrored.pixel(x, y))) > 8;
    EXPECT_EQ(differing, 0);
    EXPECT_GT(paintedPixels(top, QRect(popover->width() / 2 - 2, 1, 4, 3)), 0) << "its tip, at the middle";
    EXPECT_GT(popover->y(), button->mapToGlobal(QPoint(0, 25)).y() - 1);
    EXPECT_EQ(popover->label()->text(), "The panel opens when you hover the notch.");
    EXPECT_FALSE(button->hasFocus()) << "a click does not take keyboard focus";
    EXPECT_TRUE(button->isGlyphVisible()) << "stays while open";

    QTest::keyClick(popover, Qt::Key_Escape);
    EXPECT_FALSE(button->isPresented());
    EXPECT_FALSE(button->isGlyphVisible());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(button->isPresented()) << "the next click opens it again";
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(button->isPresented()) << "and a click closes it";
}

TEST(VantrelHelpButton, WithoutACompositorThePopoverShowsOnlyItsBubble) {
    KitHarness kit;
    FakeCompositorState compositor(false);
    kit.appearance.setCompositor(&compositor);
    QWidget window;
    auto* button = new VantrelHelpButton(kit.preferences, kit.appearance, "Active Dock",
                                         "Replaces the Dock with Vantrel's own.", &window);
    window.resize(300, 100);
    window.show();
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(button->isPresented());
    VantrelHelpPopover* popover = button->popover();
    const QImage look = renderWidget(*popover);
    // Every pixel the window shows, the bubble paints: none is left clear to show black. And the
    // bubble is not cut: every pixel it fills whole is shown.
    const QRegion shown = popover->mask();
    ASSERT_FALSE(shown.isEmpty()) << "the window is shaped";
    int clearShown = 0;
    int solidHidden = 0;
    for (int y = 0; y < look.height(); ++y)
        for (int x = 0; x < look.width(); ++x) {
            const int alpha = qAlpha(look.pixel(x, y));
            clearShown += shown.contains(QPoint(x, y)) && alpha == 0;
            solidHidden += !shown.contains(QPoint(x, y)) && alpha == 255;
        }
    EXPECT_EQ(clearShown, 0);
    EXPECT_EQ(solidHidden, 0);
    EXPECT_FALSE(shown.contains(QPoint(4, 3))) << "the band beside the arrow";
    EXPECT_TRUE(shown.contains(QPoint(popover->width() / 2, 3))) << "the arrow";
    QTest::keyClick(popover, Qt::Key_Escape);

    // A compositor blends the bubble's edges over the window below: they are kept whole.
    compositor.setCompositing(true);
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(button->isPresented());
    const QRegion blended = button->popover()->mask();
    EXPECT_EQ(blended.intersected(shown), shown) << "the solid pixels, and";
    int softEdge = 0;
    for (int y = 0; y < look.height(); ++y)
        for (int x = 0; x < look.width(); ++x)
            softEdge += blended.contains(QPoint(x, y)) && !shown.contains(QPoint(x, y));
    EXPECT_GT(softEdge, 0) << "the antialiased edge pixels are shown too";
}

TEST(FeatureRow, PairsItsTitleWithItsControlAndStacksBelow660) {
    KitHarness kit;
    auto* toggle = new VantrelSwitch(&kit.haptics);
    FeatureRow row(kit.preferences, "timer", VantrelTheme::accent(Accent::amber), "Timers",
                   "Countdowns and alarms in the notch", toggle);
    auto* other = new VantrelSwitch(&kit.haptics);
    FeatureRow second(kit.preferences, "calendar", Qt::red, "Calendar", "Today's events", other);
    EXPECT_EQ(toggle->accessibleName(), "Timers");
    EXPECT_EQ(toggle->accessibleDescription(), "Countdowns and alarms in the notch");
    EXPECT_EQ(other->accessibleName(), "Calendar");
    EXPECT_EQ(other->accessibleDescription(), "Today's events");

    row.show();
    row.resize(660, row.heightForWidth(660));
    EXPECT_EQ(row.height(), 44);
    // The switch is its 38 by 22 track with 3 points of room around it for the focus ring.
    EXPECT_EQ(toggle->geometry(), QRect(660 - 44, 8, 44, 28));
    EXPECT_EQ(row.icon()->geometry(), QRect(0, 3, 39, 39));
    row.resize(659, row.heightForWidth(659));
    EXPECT_EQ(toggle->geometry(), QRect(659 - 44, 39 + 12, 44, 28)) << "on its own line, at the right";
    EXPECT_EQ(row.height(), 39 + 12 + 28);
}

TEST(PillsAndBadges, LayoutsAndColoursFollowTheStateAndTheAccentOfTheMoment) {
    // Metric pill: 11 and 10 of padding, the 27-point tile, 10 of spacing, the texts.
    const auto pill = MetricPillLayout::of(QSizeF(40, 18), QSizeF(30, 12));
    EXPECT_EQ(pill.tile, QRectF(11, 11.5, 27, 27));
    EXPECT_EQ(pill.value, QRectF(48, 10, 40, 18));
    EXPECT_EQ(pill.title, QRectF(48, 28, 30, 12));
    EXPECT_EQ(pill.size, QSizeF(99, 50));
    // Short of room, the frame takes the width given and the texts lose their ends; it never
    // gets narrower than the tile with the paddings and the spacing.
    EXPECT_EQ(pill.narrowed(120).size, pill.size);
    const auto narrow = pill.narrowed(80);
    EXPECT_EQ(narrow.size, QSizeF(80, 50));
    EXPECT_EQ(narrow.tile, pill.tile);
    EXPECT_EQ(narrow.value, QRectF(48, 10, 80 - 48 - 11, 18));
    EXPECT_EQ(narrow.title, QRectF(48, 28, 80 - 48 - 11, 12));
    EXPECT_EQ(pill.narrowed(0).size, QSizeF(11 + 27 + 10 + 11, 50));
    EXPECT_EQ(pill.narrowed(0).value.width(), 0);
    MetricPill squeezed("Session pulses", "Listening", "waveform", Qt::green);
    EXPECT_EQ(squeezed.minimumSizeHint().width(), 11 + 27 + 10 + 11);
    EXPECT_LT(squeezed.minimumSizeHint().width(), squeezed.sizeHint().width());
    // Drawn 30 narrower than it asks, its outline still closes at its right edge.
    squeezed.resize(squeezed.sizeHint() - QSize(30, 0));
    QImage drawn(squeezed.size(), QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    squeezed.render(&drawn, QPoint(), QRegion(), QWidget::DrawChildren);
    int outline = 0;
    for (int x = drawn.width() - 3; x < drawn.width(); ++x)
        outline = std::max(outline, qAlpha(drawn.pixel(x, drawn.height() / 2)));
    EXPECT_GT(outline, 0) << "the frame is drawn inside the width it was given";
    const auto empty = MetricPillLayout::of(QSizeF(0, 18), QSizeF(30, 12));
    EXPECT_EQ(empty.tile, pill.tile) << "an empty value keeps the tile and the caption in place";
    EXPECT_EQ(empty.title.topLeft(), pill.title.topLeft());
    MetricPill blank("Apps", "", "square.grid.2x2", Qt::green);
    EXPECT_EQ(blank.sizeHint().height(),
              MetricPill("Apps", "12", "square.grid.2x2", Qt::green).sizeHint().height());

    // Hazard badge: 8 and 4.5 of padding, the 18-point red tile, 6 of spacing, the text.
    const auto hazard = HazardBadgeLayout::of(QSizeF(60, 13));
    EXPECT_EQ(hazard.tile, QRectF(8, 4.5, 18, 18));
    EXPECT_EQ(hazard.text, QRectF(32, 7, 60, 13));
    EXPECT_EQ(hazard.size, QSizeF(100, 27));
    HazardBadge warning("Needs access");
    EXPECT_EQ(warning.accessibleName(), "Needs access");
    EXPECT_EQ(HazardBadge::red(&warning), QColor(255, 59, 48));

    KitHarness kit;
    kit.preferences.setAccent(Accent::sky);
    StatusBadge badge(kit.preferences, true, "ACTIVE", "PAUSED");
    const QColor sky = QColor::fromRgbF(0.18f, 0.67f, 1.0f);
    StatusBadgeLook on = badge.look();
    EXPECT_EQ(on.text, "ACTIVE");
    EXPECT_EQ(on.textColor, sky);
    EXPECT_EQ(on.fill, at(sky, 0.11));
    EXPECT_EQ(on.stroke, at(sky, 0.24));
    kit.preferences.setAccent(Accent::mint);
    EXPECT_EQ(badge.look().textColor, QColor::fromRgbF(0.17f, 0.9f, 0.72f)) << "the accent when drawn";

    badge.setBadgeEnabled(false);
    VantrelTheme::setColorScheme(&badge, ColorScheme::dark);
    const StatusBadgeLook off = badge.look();
    EXPECT_EQ(off.text, "PAUSED");
    EXPECT_EQ(off.textColor, at(Qt::white, 0.42));
    EXPECT_EQ(off.fill, at(Qt::white, 0.062));
    EXPECT_EQ(off.stroke, at(Qt::white, 0.115));
    EXPECT_EQ(badge.accessibleName(), "PAUSED");
    EXPECT_EQ(StatusBadge::font().letterSpacing(), 0.25);
    // Text 9 bold, padded 9 at each side and 4.5 above and below.
    EXPECT_NEAR(VantrelType::pixelSize(StatusBadge::font()), 9, 1e-9);
    EXPECT_EQ(StatusBadge::font().weight(), QFont::Bold);
    const QFontMetricsF metrics(StatusBadge::font());
    EXPECT_EQ(badge.sizeHint().width(), int(std::ceil(metrics.horizontalAdvance("PAUSED") + 2 * 9)));
    EXPECT_EQ(badge.sizeHint().height(), int(std::ceil(metrics.height() + 2 * 4.5)));
}

TEST(VantrelLabel, AWrappingLabelsHeightFollowsItsTextFontSpacingMarginsAndWidth) {
    const QString sentence =
        QStringLiteral("Vantrel keeps the clipboard, notes and files a click from the notch. ");
    VantrelLabel label(sentence.repeated(4), VantrelType::body(), VantrelLabel::primary());
    label.setWordWrap(true);
    label.setLineSpacing(3);
    // What a label made afresh with the same settings answers.
    const auto fresh = [&label](int width) {
        VantrelLabel other(label.text(), label.font(), VantrelLabel::primary());
        other.setWordWrap(label.wordWrap());
        other.setLineSpacing(label.lineSpacing());
        other.setContentsMargins(label.contentsMargins());
        return other.heightForWidth(width);
    };
    const int wide = label.heightForWidth(440);
    EXPECT_EQ(wide, fresh(440));
    EXPECT_EQ(label.heightForWidth(440), wide);
    const int narrow = label.heightForWidth(200);
    EXPECT_GT(narrow, wide);
    EXPECT_EQ(narrow, fresh(200));
    EXPECT_EQ(label.heightForWidth(440), wide);

    // Every setting that moves the lines is followed.
    label.setText(sentence);
    EXPECT_LT(label.heightForWidth(440), wide);
    EXPECT_EQ(label.heightForWidth(440), fresh(440));
    label.setText(sentence.repeated(4));
    label.setLineSpacing(8);
    EXPECT_GT(label.heightForWidth(440), wide);
    EXPECT_EQ(label.heightForWidth(440), fresh(440));
    label.setLineSpacing(3);
    label.setFont(VantrelType::subtitle());
    EXPECT_NE(label.heightForWidth(440), wide);
    EXPECT_EQ(label.heightForWidth(440), fresh(440));
    label.setFont(VantrelType::body());
    label.setContentsMargins(0, 10, 0, 6);
    EXPECT_EQ(label.heightForWidth(440), wide + 16);
    label.setContentsMargins(0, 0, 0, 0);
    label.setWordWrap(false);
    EXPECT_EQ(label.heightForWidth(440), fresh(440));
    label.setWordWrap(true);
    // A spacing below none draws the lines as close as none, never closer.
    label.setLineSpacing(-4);
    EXPECT_EQ(label.lineSpacing(), 0);
    label.setLineSpacing(0);
    EXPECT_EQ(label.lineSpacing(), 0);
    label.setLineSpacing(3);
    // Many widths in turn: each answer stays the label's own.
    for (int width = 150; width <= 600; width += 50)
        EXPECT_EQ(label.heightForWidth(width), fresh(width)) << width;
    EXPECT_EQ(label.heightForWidth(440), wide);
}
