#include "control-center/RootView.h"
#include "control-center/TopNavigationBar.h"
#include "control-center/VantrelMark.h"
#include "control-center/VantrelNavigationButton.h"
#include "kit/KitRender.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "support/ControlCenterHarness.h"
#include "support/QtPrinters.h"
#include "support/VisibleTexts.h"
#include <QVariantAnimation>
#include <array>

#include <QApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QString kClick = QStringLiteral("haptic generic");

class NavigationBarTest : public ::testing::Test {
protected:
    NavigationBarTest() {
        c.h.preferences.setHasCompletedOnboarding(true);
        root = std::make_unique<RootView>(c.context());
        // The application registers the window the root reports.
        QObject::connect(root.get(), &RootView::windowFound, [this](QWidget* window) { c.window = window; });
        root->resize(1200, 760);
        root->show();
    }
    TopNavigationBar& bar() { return *root->navigationBar(); }
    ControlCenterHarness c;
    std::unique_ptr<RootView> root;
};

} // namespace

TEST_F(NavigationBarTest, EachButtonPlaysTheHapticThenWritesItsSection) {
    const QStringList titles{"Home",     "Notch",         "Menu Bar",   "Dock",
                             "Trackpad", "Notifications", "Appearance", "Permissions"};
    const QStringList raw{"home",     "notch",         "menuBar",    "dock",
                          "feedback", "notifications", "appearance", "permissions"};
    c.sections.select(VantrelSection::automations);
    for (int i = 0; i < 8; ++i) {
        VantrelNavigationButton* button = bar().button(TopNavigationBar::sections()[std::size_t(i)]);
        EXPECT_EQ(button->text(), titles[i]);
        EXPECT_EQ(button->accessibleDescription(), "Open " + titles[i]);
        const qsizetype from = c.mark();
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(c.callsSince(from), (QStringList{kClick, "selectedSection " + raw[i]}))
            << titles[i].toStdString();
        EXPECT_TRUE(button->isSelected());
        EXPECT_EQ(button->accessibleDescription(), "Current page");
    }
    // Each button asks for its title's width plus 12 on each side, in the 13-point bold of the
    // selected page or the medium of the others, and follows a change of selection.
    const auto wanted = [](const QString& title, QFont::Weight weight) {
        return int(std::ceil(QFontMetricsF(VantrelType::font(13, weight)).horizontalAdvance(title) + 24));
    };
    VantrelNavigationButton* notifications = bar().button(VantrelSection::notifications);
    EXPECT_FALSE(notifications->isSelected());
    EXPECT_EQ(notifications->sizeHint(), QSize(wanted("Notifications", QFont::Medium), 42));
    c.sections.select(VantrelSection::notifications);
    EXPECT_EQ(notifications->sizeHint(), QSize(wanted("Notifications", QFont::Bold), 42));
    EXPECT_GT(notifications->sizeHint().width(), wanted("Notifications", QFont::Medium));
    c.sections.select(VantrelSection::permissions);
    EXPECT_EQ(notifications->sizeHint(), QSize(wanted("Notifications", QFont::Medium), 42));

    // The selected button plays its haptic too; writing the same section changes nothing.
    QWidget* page = root->page();
    const qsizetype from = c.mark();
    QTest::mouseClick(bar().button(VantrelSection::permissions), Qt::LeftButton);
    EXPECT_EQ(c.callsSince(from), QStringList{kClick});
    EXPECT_EQ(root->page(), page);
}

TEST_F(NavigationBarTest, TheLensFollowsTheSelectionAndAutomationsSelectsNothing) {
    c.sections.select(VantrelSection::home);
    bar().lensAnimation()->setCurrentTime(220);
    EXPECT_EQ(bar().lensRect(), QRectF(bar().button(VantrelSection::home)->geometry()));

    c.sections.select(VantrelSection::dock);
    EXPECT_EQ(bar().lensAnimation()->duration(), 220);
    bar().lensAnimation()->setCurrentTime(220);
    EXPECT_EQ(bar().lensRect(), QRectF(bar().button(VantrelSection::dock)->geometry()));

    c.sections.select(VantrelSection::automations);
    EXPECT_TRUE(bar().lensRect().isEmpty());
    for (VantrelSection section : TopNavigationBar::sections())
        EXPECT_FALSE(bar().button(section)->isSelected()) << rawValue(section).toStdString();

    // Reduced motion: the lens jumps.
    c.setReduceMotion(true);
    c.sections.select(VantrelSection::notch);
    EXPECT_EQ(bar().lensRect(), QRectF(bar().button(VantrelSection::notch)->geometry()));

    // The lens outline is 0.8 wide on the button's edges: it reaches into the pixel outside each
    // edge and no further.
    const QWidget* notch = bar().button(VantrelSection::notch);
    const QPoint at = notch->mapTo(&bar(), QPoint());
    const int left = at.x(), right = at.x() + notch->width(), middle = at.y() + notch->height() / 2;
    const QImage withLens = renderWidget(bar());
    c.sections.select(VantrelSection::automations);
    const QImage without = renderWidget(bar());
    EXPECT_NE(withLens.pixel(left - 1, middle), without.pixel(left - 1, middle));
    EXPECT_NE(withLens.pixel(right, middle), without.pixel(right, middle));
    EXPECT_EQ(withLens.pixel(left - 2, middle), without.pixel(left - 2, middle));
    EXPECT_EQ(withLens.pixel(right + 1, middle), without.pixel(right + 1, middle));
    // Its colour runs from the keyline at 0.24 at the top-leading corner to the border at the
    // bottom-trailing one: the leading edge is lifted clearly less than the trailing one.
    const auto lift = [&](int x) {
        const QColor a = withLens.pixelColor(x, middle), b = without.pixelColor(x, middle);
        return std::array<int, 4>{a.red() - b.red(), a.green() - b.green(), a.blue() - b.blue(),
                                  a.alpha() - b.alpha()};
    };
    const auto l = lift(left - 1), r = lift(right);
    for (int channel = 0; channel < 3; ++channel) {
        EXPECT_GT(l[channel], 0) << channel;
        EXPECT_LT(l[channel] + 2, r[channel]) << channel;
    }
}

TEST_F(NavigationBarTest, FillOutlineAndRingFollowContrastAndTransparency) {
    struct Row {
        bool reduceTransparency, increasedContrast;
        NavigationBarLook look;
    };
    const Row rows[] = {
        {false, false, {0.94, 0.76, 0.75}},
        {false, true, {0.98, 1.0, 1.4}},
        {true, false, {1.0, 0.76, 0.75}},
        {true, true, {1.0, 1.0, 1.4}},
    };
    for (const Row& row : rows) {
        c.appearance.setReduceTransparency(row.reduceTransparency);
        c.appearance.setIncreasedContrast(row.increasedContrast);
        EXPECT_EQ(bar().look(), row.look) << row.reduceTransparency << row.increasedContrast;
    }
    c.appearance.setIncreasedContrast(false);
    VantrelNavigationButton* notch = bar().button(VantrelSection::notch);
    EXPECT_FALSE(notch->look().showsFocusRing);
    QApplication::setActiveWindow(root.get());
    notch->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(notch->look().showsFocusRing);
    EXPECT_EQ(notch->look().focusRingWidth, 2);
    c.appearance.setIncreasedContrast(true);
    EXPECT_EQ(notch->look().focusRingWidth, 3);

    // The bar's shape reaches its widget's sides: the outline's inner half lies on the edge pixels.
    const QImage barLook = renderWidget(bar());
    EXPECT_GT(qAlpha(barLook.pixel(0, bar().height() / 2)), 0);
    EXPECT_GT(qAlpha(barLook.pixel(bar().width() - 1, bar().height() / 2)), 0);
    // Hover line: 18 wide at 0.72 over an unselected button, nothing over the selected one.
    const NavigationButtonLook hovered = NavigationButtonLook::make(QSizeF(80, 42), false, 1, false, false);
    EXPECT_EQ(hovered.hoverLine, QRectF(31, 38, 18, 1));
    EXPECT_DOUBLE_EQ(hovered.hoverOpacity, 0.72);
    EXPECT_EQ(NavigationButtonLook::make(QSizeF(80, 42), true, 1, false, false).hoverOpacity, 0);
    // Drawn: the pointer over an unselected button brings its line in, 3 above its bottom edge.
    notch->clearFocus();
    // Away from the pointer, only its title: 13 medium in the secondary text, centred between
    // paddings of 12, at two pixels a point.
    {
        QImage expected(notch->size() * 2, QImage::Format_ARGB32_Premultiplied);
        expected.setDevicePixelRatio(2);
        expected.fill(Qt::transparent);
        QImage look = expected;
        QPainter painter(&expected);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setFont(NavigationButtonLook::titleFont(false));
        painter.setPen(VantrelTheme::secondaryText().resolve(VantrelTheme::colorScheme(notch)));
        painter.drawText(QRect(QPoint(), notch->size()).adjusted(12, 0, -12, 0),
                         Qt::AlignCenter | Qt::TextSingleLine, notch->text());
        painter.end();
        notch->render(&look, QPoint(), QRegion(), QWidget::DrawChildren);
        EXPECT_EQ(look, expected);
    }
    const QPoint line(notch->width() / 2, notch->height() - 4);
    EXPECT_EQ(qAlpha(renderWidget(*notch).pixel(line)), 0);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(notch, &enter);
    // An ease-out of 0.16 s: half way the line is on its way to 0.72, not there yet.
    EXPECT_EQ(notch->hoverAnimation()->duration(), 160);
    notch->hoverAnimation()->setCurrentTime(80);
    EXPECT_GT(notch->look().hoverOpacity, 0.36);
    EXPECT_LT(notch->look().hoverOpacity, 0.72);
    // Eased in over 0.16 s: part way at half the time, all the way at the end.
    notch->hoverAnimation()->setCurrentTime(80);
    EXPECT_GT(notch->hoverProgress(), 0.3);
    EXPECT_LT(notch->hoverProgress(), 0.95);
    notch->hoverAnimation()->setCurrentTime(notch->hoverAnimation()->duration());
    EXPECT_DOUBLE_EQ(notch->hoverProgress(), 1);
    EXPECT_GT(qAlpha(renderWidget(*notch).pixel(line)), 0);
    // The line is a capsule 18 by 1, 3 above the bottom, in the keyline at 0.72: its rounded
    // ends match that shape drawn by hand.
    {
        const QImage drawn = renderWidget(*notch);
        QImage expected(drawn.size(), QImage::Format_ARGB32_Premultiplied);
        expected.fill(Qt::transparent);
        QPainter painter(&expected);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath capsule;
        capsule.addRoundedRect(QRectF(notch->width() / 2.0 - 9, 42 - 3 - 1, 18, 1), 0.5, 0.5);
        painter.fillPath(capsule,
                         VantrelTheme::withOpacity(VantrelTheme::keyline().resolve(ColorScheme::dark), 0.72));
        painter.end();
        for (int x = 0; x < drawn.width(); ++x)
            EXPECT_NEAR(qAlpha(drawn.pixel(x, 38)), qAlpha(expected.pixel(x, 38)), 2) << x;
    }
    EXPECT_EQ(NavigationButtonLook::titleFont(true).weight(), QFont::Bold);
    EXPECT_EQ(NavigationButtonLook::titleFont(false).weight(), QFont::Medium);
}

TEST_F(NavigationBarTest, ButtonsSitMidBarOnTheBarsOwnFillAndThePillGlyphIsCentred) {
    // Each button is 42 high in the middle of the 78-point bar.
    for (VantrelSection section : TopNavigationBar::sections()) {
        VantrelNavigationButton* button = bar().button(section);
        EXPECT_EQ(button->height(), 42);
        EXPECT_EQ(button->mapTo(&bar(), QPoint(0, 0)).y() + 21, 39) << rawValue(section).toStdString();
    }
    // Between two buttons the strip lets the bar show through: the same fill as above the strip.
    const QImage image = renderWidget(bar());
    VantrelNavigationButton* dock = bar().button(VantrelSection::dock);
    const QPoint gap = dock->mapTo(&bar(), QPoint(dock->width() + 1, dock->height() / 2));
    const QColor between = image.pixelColor(gap);
    const QColor above = image.pixelColor(gap.x(), 10);
    EXPECT_NEAR(between.red(), above.red(), 6);
    EXPECT_NEAR(between.green(), above.green(), 6);
    EXPECT_NEAR(between.blue(), above.blue(), 6);

    // With its title, "Actions" comes 7 after the glyph's 16-point frame, the two centred as one:
    // the white ink ends where that text set there ends.
    {
        const QImage look = renderWidget(*bar().pill());
        const QFont font = VantrelType::button();
        const double advance = QFontMetricsF(font).horizontalAdvance("Actions");
        const double start = look.width() / 2.0 - (16 + 7 + advance) / 2 + 16 + 7;
        QImage text(look.size(), QImage::Format_ARGB32_Premultiplied);
        text.fill(Qt::transparent);
        QPainter painter(&text);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRectF(start, 0, advance, look.height()), Qt::AlignLeft | Qt::AlignVCenter,
                         "Actions");
        painter.end();
        int drawnRight = -1, expectedRight = -1;
        for (int y = 0; y < look.height(); ++y)
            for (int x = 0; x < look.width(); ++x) {
                const QColor pixel = look.pixelColor(x, y);
                if (pixel.red() > 235 && pixel.green() > 235 && pixel.blue() > 235 && pixel.alpha() > 235)
                    drawnRight = std::max(drawnRight, x);
                if (qAlpha(text.pixel(x, y)) > 235) expectedRight = std::max(expectedRight, x);
            }
        ASSERT_GT(expectedRight, 0);
        EXPECT_NEAR(drawnRight, expectedRight, 1.5);
    }
    // Without its title the pill's command glyph sits in its middle.
    root->resize(899, 700);
    const QImage pill = renderWidget(*bar().pill());
    double sumX = 0, sumY = 0;
    int count = 0;
    for (int y = 0; y < pill.height(); ++y)
        for (int x = 0; x < pill.width(); ++x) {
            const QColor pixel = pill.pixelColor(x, y);
            if (pixel.red() > 235 && pixel.green() > 235 && pixel.blue() > 235 && pixel.alpha() > 235) {
                sumX += x + 0.5;
                sumY += y + 0.5;
                ++count;
            }
        }
    ASSERT_GT(count, 10);
    EXPECT_NEAR(sumX / count, pill.width() / 2.0, 1.5);
    EXPECT_NEAR(sumY / count, pill.height() / 2.0, 1.5);
}

TEST_F(NavigationBarTest, TheSectionButtonsStandTwoApartCentredInTheStrip) {
    const auto& sections = TopNavigationBar::sections();
    for (const QSize window : {QSize(1600, 800), QSize(900, 700)}) {
        root->resize(window);
        QWidget* row = bar().button(sections[0])->parentWidget();
        for (std::size_t i = 1; i < sections.size(); ++i)
            EXPECT_EQ(bar().button(sections[i])->x() - bar().button(sections[i - 1])->geometry().right(), 3)
                << window.width() << " " << i;
        // As much room before the first as after the last, whether the row fills the strip or
        // is wider than it and scrolls.
        const int before = bar().button(sections[0])->x();
        const int after = row->width() - bar().button(sections[7])->geometry().right() - 1;
        EXPECT_LE(std::abs(before - after), 1) << window.width();
        EXPECT_GE(row->width(), bar().strip()->viewport()->width());
    }
    EXPECT_EQ(bar().button(sections[0])->x(), 0) << "at 900 the strip is narrower than its buttons";
}

TEST_F(NavigationBarTest, ASectionButtonReachedWithTabIsScrolledWholeIntoTheStrip) {
    // At 900 the strip is narrower than its buttons; Home is selected and shown.
    root->resize(900, 700);
    QApplication::setActiveWindow(root->window());
    const auto& sections = TopNavigationBar::sections();
    QWidget* viewport = bar().strip()->viewport();
    const auto shownWhole = [&](VantrelSection section) {
        const QWidget* button = bar().button(section);
        return viewport->rect().contains(QRect(button->mapTo(viewport, QPoint()), button->size()));
    };
    ASSERT_FALSE(shownWhole(VantrelSection::permissions)) << "Permissions starts outside the strip";
    // Shift+Tab from the palette's pill enters the strip at its end.
    bar().pill()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(bar().pill(), Qt::Key_Backtab);
    ASSERT_EQ(QApplication::focusWidget(), bar().button(VantrelSection::permissions));
    EXPECT_TRUE(shownWhole(VantrelSection::permissions));
    for (std::size_t i = sections.size() - 1; i-- > 0;) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        ASSERT_EQ(QApplication::focusWidget(), bar().button(sections[i]));
        EXPECT_TRUE(shownWhole(sections[i])) << "back to " << title(sections[i]).toStdString();
    }
    for (std::size_t i = 1; i < sections.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_TRUE(shownWhole(sections[i])) << title(sections[i]).toStdString();
    }
    EXPECT_EQ(c.sections.selected(), VantrelSection::home) << "Tab only moves the focus";
}

TEST_F(NavigationBarTest, ThePillSetsItsTitle7AfterTheCommandGlyphCentredAsOne) {
    // Wide, the pill shows "Actions": the 16-point glyph frame, 7 points, then the title, the
    // whole label centred in the pill.
    VantrelButton* pill = bar().pill();
    ASSERT_EQ(pill->text(), "Actions");
    const QImage look = renderWidget(*pill);
    int last = -1;
    for (int x = 0; x < look.width(); ++x)
        for (int y = 0; y < look.height(); ++y) {
            const QColor pixel = look.pixelColor(x, y);
            if (pixel.red() > 200 && pixel.green() > 200 && pixel.blue() > 200 && pixel.alpha() > 200)
                last = x;
        }
    const double label = 16 + 7 + QFontMetricsF(pill->font()).horizontalAdvance("Actions");
    const double labelLeft = pill->width() / 2.0 - label / 2;
    ASSERT_GE(last, 0);
    EXPECT_NEAR(last + 1, labelLeft + label, 2);
}

TEST_F(NavigationBarTest, TheWordmarkAndActionsTitleGoBelow900) {
    const QStringList wide = visibleTexts(bar());
    EXPECT_TRUE(wide.contains("VANTREL"));
    EXPECT_TRUE(wide.contains("MAC CONTROL"));
    EXPECT_TRUE(wide.contains("Sections"));
    EXPECT_TRUE(wide.contains("Opens the command palette"));
    EXPECT_TRUE(bar().wordmark()->isVisible());
    // "VANTREL" at 14.5 in the heavy weight, which the kit's type scale draws as extra-bold (800).
    const QList<QLabel*> lines = bar().wordmark()->findChildren<QLabel*>();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0]->text(), "VANTREL");
    EXPECT_EQ(lines[0]->font().weight(), QFont::ExtraBold);
    EXPECT_NEAR(VantrelType::pixelSize(lines[0]->font()), 14.5, 1e-9);
    EXPECT_EQ(lines[0]->font().letterSpacingType(), QFont::AbsoluteSpacing);
    EXPECT_NEAR(lines[0]->font().letterSpacing(), 0.8, 0.01) << "kept in 64ths";
    EXPECT_EQ(lines[1]->font().weight(), QFont::Bold);

    root->resize(899, 700);
    EXPECT_FALSE(bar().wordmark()->isVisible());
    const int compact = bar().pill()->sizeHint().width();
    EXPECT_EQ(compact, 16 + 2 * 18) << "the glyph's 16-point frame and the pill's 18 at each side";
    EXPECT_TRUE(bar().mark()->isVisible());
    EXPECT_FALSE(visibleTexts(bar()).contains("VANTREL"));
    root->resize(900, 700);
    EXPECT_TRUE(bar().wordmark()->isVisible());
    EXPECT_GT(bar().pill()->sizeHint().width(), compact) << "the title is back";
    EXPECT_EQ(
        bar().pill()->sizeHint().width(),
        int(std::ceil(16 + 7 + QFontMetricsF(VantrelType::button()).horizontalAdvance("Actions") + 2 * 18)));
    EXPECT_EQ(bar().pill()->accessibleName(), "Actions");

    // The bar: 78 high, 20 from the top, padded by the shell padding and at most 1320 wide.
    EXPECT_EQ(bar().geometry(), QRect(20, 20, 860, 78));
    root->resize(1600, 800);
    EXPECT_EQ(bar().geometry(), QRect(140, 20, 1320, 78));
    const NavigationBarLayout l = bar().barLayout();
    EXPECT_EQ(l.mark, QRectF(20, 24, 30, 30));
    EXPECT_EQ(l.strip.width(), 820);
    EXPECT_EQ(l.strip.center().x(), 660);
    EXPECT_EQ(l.pill.right(), 1300);
}

TEST_F(NavigationBarTest, ThePillOpensThePaletteOnTheWindowsScreen) {
    qsizetype from = c.mark();
    QTest::mouseClick(bar().pill(), Qt::LeftButton);
    // Whether the palette also activates the application depends on the screens it finds; only the
    // screen it is shown on matters here.
    EXPECT_EQ(c.callsSince(from).mid(0, 2), (QStringList{kClick, "palette.show none"}))
        << "no window registered yet";

    c.h.screens.main = ScreenInfo{QStringLiteral("main"), QRect(0, 0, 1000, 700), QRect(0, 0, 1000, 700)};
    c.h.screens.window =
        ScreenInfo{QStringLiteral("side"), QRect(1000, 0, 1600, 900), QRect(1000, 0, 1600, 900)};
    c.h.scheduler.runDue(); // the window hook registers the root's window
    from = c.mark();
    QTest::mouseClick(bar().pill(), Qt::LeftButton);
    EXPECT_EQ(c.callsSince(from).mid(0, 2), (QStringList{kClick, "palette.show side"}));
}

TEST(VantrelMark, WithoutAWindowIconTheMarkIsDrawnAtTheSizeAskedFor) {
    ASSERT_TRUE(QGuiApplication::windowIcon().isNull());
    const QIcon icon = VantrelMark::applicationIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixmap(QSize(1, 1)).size(), QSize(1, 1)) << "even a single pixel is drawn";
    EXPECT_TRUE(icon.pixmap(QSize(0, 0)).isNull());
    for (const int side : {26, 40, 300}) {
        const QImage image = icon.pixmap(QSize(side, side)).toImage();
        ASSERT_EQ(image.size(), QSize(side, side)) << side;
        // The rounded tile leaves its corner clear; its fill is dark; the "V" is light.
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << side;
        // Edge to edge: the tile's sides are opaque in the middle of the square.
        EXPECT_EQ(qAlpha(image.pixel(0, side / 2)), 255) << side;
        EXPECT_EQ(qAlpha(image.pixel(side - 1, side / 2)), 255) << side;
        const QColor tile = image.pixelColor(side / 2, side * 9 / 10);
        EXPECT_EQ(tile.alpha(), 255) << side;
        EXPECT_LT(tile.lightness(), 60) << side;
        EXPECT_GT(image.pixelColor(side / 2, side * 68 / 100).lightness(), 200) << side;
        EXPECT_GT(image.pixelColor(side * 30 / 100, side * 31 / 100).lightness(), 150) << side;
        // The tile's corners are rounded by 0.225 of its side, not cut to a circle.
        if (side >= 40) {
            EXPECT_EQ(qAlpha(image.pixel(side * 12 / 100, side * 12 / 100)), 255) << side;
        }
    }
}
