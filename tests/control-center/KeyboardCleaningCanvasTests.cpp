#include "control-center/KeyboardCleaningInk.h"
#include "control-center/KeyboardCleaningOverlay.h"
#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "kit/KitPaint.h"
#include "kit/KitRender.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelMotion.h"
#include "kit/VantrelSecondaryButtonStyle.h"
#include "kit/VantrelShadow.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "platform/InMemoryDefaults.h"
#include "services/KeyboardCleaningController.h"
#include "support/FakeKeyboardGuard.h"
#include "support/FakeSystemAppearance.h"
#include "support/ManualScheduler.h"
#include "support/RecordingHapticPerformer.h"
#include "support/RecordingPermissionSystem.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTest>
#include <QVariantAnimation>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

using Mark = KeyboardCleaningInk::Mark;

// 2001-01-01 00:00:00 UTC.
const WallTime kReference = WallTime(std::chrono::seconds(978307200));

TEST(KeyboardCleaningInk, MarksGroupInFivesWrapAndStopAtTheCanvasEdge) {
    // One press: a single dark mark 6 wide, then the caret.
    auto one = KeyboardCleaningInk::layout(1, QSizeF(400, 200), true);
    ASSERT_EQ(one.marks.size(), 1u);
    EXPECT_EQ(one.marks[0], (Mark{QRectF(0, 4, 6, 10), 0.54}));
    EXPECT_EQ(one.caret, QRectF(9.5, 1, 2, 16));

    // Nothing pressed: the caret alone at the start of the first row; hidden, nothing at all.
    auto none = KeyboardCleaningInk::layout(0, QSizeF(400, 200), true);
    EXPECT_TRUE(none.marks.empty());
    EXPECT_EQ(none.caret, QRectF(0, 1, 2, 16));
    EXPECT_FALSE(KeyboardCleaningInk::layout(0, QSizeF(400, 200), false).caret);

    // Six presses: widths 6, 8, 5, 10, 7, 12; the sixth starts 10 after the fifth, not 3.5.
    auto six = KeyboardCleaningInk::layout(6, QSizeF(400, 200), false);
    ASSERT_EQ(six.marks.size(), 6u);
    const std::vector<double> lefts{0, 9.5, 21, 29.5, 43, 60};
    const std::vector<double> widths{6, 8, 5, 10, 7, 12};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_DOUBLE_EQ(six.marks[i].rect.left(), lefts[i]) << i;
        EXPECT_DOUBLE_EQ(six.marks[i].rect.width(), widths[i]) << i;
        EXPECT_DOUBLE_EQ(six.marks[i].opacity, i == 5 ? 0.54 : 0.36) << i;
    }

    // A mark that would pass the right edge starts the next row, 21 lower.
    auto wrapped = KeyboardCleaningInk::layout(4, QSizeF(30, 200), true);
    EXPECT_EQ(wrapped.marks[3].rect, QRectF(0, 25, 10, 10));
    EXPECT_EQ(wrapped.caret, QRectF(13.5, 22, 2, 16));
    // The caret wraps as well.
    EXPECT_EQ(KeyboardCleaningInk::layout(1, QSizeF(10, 200), true).caret, QRectF(0, 22, 2, 16));
    // Ending exactly at the edge is not passing it: the second mark (8 wide, at 9.5) and the caret
    // after one mark (2 wide, at 9.5) stay on the first row.
    EXPECT_EQ(KeyboardCleaningInk::layout(2, QSizeF(17.5, 200), false).marks[1].rect, QRectF(9.5, 4, 8, 10));
    EXPECT_EQ(KeyboardCleaningInk::layout(2, QSizeF(17.4, 200), false).marks[1].rect, QRectF(0, 25, 8, 10));
    EXPECT_EQ(KeyboardCleaningInk::layout(1, QSizeF(11.5, 200), true).caret, QRectF(9.5, 1, 2, 16));

    // Rows below the canvas are dropped: the second row would end at 31 in a canvas 30 high.
    auto low = KeyboardCleaningInk::layout(20, QSizeF(30, 30), false);
    EXPECT_EQ(low.marks.size(), 3u);
    for (const Mark& mark : low.marks) EXPECT_EQ(mark.rect.top(), 4);

    // At most 180 marks, the 180th the dark one.
    auto many = KeyboardCleaningInk::layout(181, QSizeF(4000, 400), false);
    ASSERT_EQ(many.marks.size(), 180u);
    EXPECT_DOUBLE_EQ(many.marks[179].opacity, 0.54);
    EXPECT_DOUBLE_EQ(many.marks[178].opacity, 0.36);
}

TEST(KeyboardCleaningInk, TheCaretBlinksInHalfPeriodsSince2001UnlessMotionIsReduced) {
    const auto at = [](double seconds) { return addSeconds(kReference, Seconds(seconds)); };
    EXPECT_TRUE(KeyboardCleaningInk::caretVisible(at(0), false));
    EXPECT_TRUE(KeyboardCleaningInk::caretVisible(at(0.549), false));
    EXPECT_FALSE(KeyboardCleaningInk::caretVisible(at(0.55), false));
    EXPECT_FALSE(KeyboardCleaningInk::caretVisible(at(1.099), false));
    EXPECT_TRUE(KeyboardCleaningInk::caretVisible(at(1.1), false));
    EXPECT_FALSE(KeyboardCleaningInk::caretVisible(at(-0.1), false)) << "the period before the reference";
    // Exactly one and two whole periods before it: the start of a hidden and of a shown period.
    using std::chrono::milliseconds;
    EXPECT_FALSE(KeyboardCleaningInk::caretVisible(kReference - milliseconds(550), false));
    EXPECT_TRUE(KeyboardCleaningInk::caretVisible(kReference - milliseconds(1100), false));
    EXPECT_TRUE(KeyboardCleaningInk::caretVisible(
        kReference - milliseconds(1100) + std::chrono::nanoseconds(1), false));
    EXPECT_TRUE(KeyboardCleaningInk::caretVisible(at(0.6), true));
}

// A controller on a fake guard and the canvas over a window of the given size.
struct Canvas {
    explicit Canvas(QSize size = QSize(1200, 760)) {
        permissions.accessibilityTrusted = true;
        overlay.resize(size);
    }
    void press(int times) {
        for (int i = 0; i < times; ++i) guard.press();
    }

    ManualClock clock{kReference};
    ManualScheduler scheduler{clock};
    RecordingPermissionSystem permissions;
    FakeKeyboardGuard guard;
    InMemoryDefaults defaults;
    VantrelPreferences preferences{defaults};
    FakeSystemAppearance appearance{ColorScheme::dark};
    VantrelMotion motion{appearance};
    RecordingHapticPerformer performer;
    VantrelHaptics haptics{preferences, performer, scheduler};
    KeyboardCleaningController controller{
        {permissions, guard, clock, scheduler, [this] { haptics.play(HapticSurface::controls); }}};
    KeyboardCleaningOverlay overlay{{controller, preferences, motion, haptics, clock, scheduler}};
};

TEST(KeyboardCleaningOverlay, TheCardKeepsItsLimitsAndTheStatusColumnSaysWhatHappened) {
    using Layout = KeyboardCleaningOverlay::Layout;
    Layout l = Layout::make(QSizeF(1512, 982), 15, 15, 0, QSizeF(96, 40));
    EXPECT_EQ(l.card, QRectF(196, 151, 1120, 680)) << "at most 1120 by 680, centred";
    EXPECT_EQ(l.toolbar, QRectF(216, 151, 1080, 58));
    EXPECT_DOUBLE_EQ(l.status.width(), 278);
    EXPECT_DOUBLE_EQ(l.status.right(), 1316);
    EXPECT_EQ(l.lockTitle.topLeft(), l.status.topLeft() + QPointF(24, 24)) << "the column inset 24";
    EXPECT_EQ(l.sheet, l.document.adjusted(24, 24, -24, -24));
    EXPECT_EQ(l.sheetContent, l.sheet.adjusted(38, 38, -38, -38));
    EXPECT_DOUBLE_EQ(l.ring.width(), 118);
    EXPECT_DOUBLE_EQ(l.ring.center().x(), l.status.center().x());
    // The marks' canvas, inside its well's 18-point inset, is 155 to 220 high.
    EXPECT_GE(l.ink.height() - 36, 155);
    EXPECT_LE(l.ink.height() - 36, 220);
    // "End Now" keeps its own width, centred in the column.
    EXPECT_DOUBLE_EQ(l.endButton.width(), 96);
    EXPECT_DOUBLE_EQ(l.endButton.center().x(), l.status.center().x());
    EXPECT_DOUBLE_EQ(l.description.top() - l.heading.bottom(), 18);
    EXPECT_DOUBLE_EQ(l.ink.top() - l.description.bottom(), 25);
    EXPECT_DOUBLE_EQ(l.endButton.bottom(), l.status.bottom() - 24);
    EXPECT_DOUBLE_EQ(l.endButton.top() - l.chord.bottom(), 10);
    EXPECT_DOUBLE_EQ(l.ringFraction, 1);
    EXPECT_EQ(l.remainingText, QStringLiteral("15"));
    // Three toolbar dots, 11 across and 8 apart.
    for (const QRectF& dot : l.dots) EXPECT_EQ(dot.size(), QSizeF(11, 11));
    EXPECT_DOUBLE_EQ(l.dots[1].left() - l.dots[0].right(), 8);
    EXPECT_DOUBLE_EQ(l.dots[2].left() - l.dots[1].right(), 8);
    // The footer 18 below the ink: a 17-point glyph, its text 7 after it.
    EXPECT_DOUBLE_EQ(l.footerGlyph.top() - l.ink.bottom(), 18);
    EXPECT_EQ(l.footerGlyph.size(), QSizeF(17, 17));
    EXPECT_DOUBLE_EQ(l.footerText.left() - l.footerGlyph.right(), 7);
    // The lock badge, 30 square, on the trailing side of the sheet's header row.
    EXPECT_EQ(l.badge, QRectF(l.sheetContent.right() - 30, l.sheetContent.top(), 30, 30));
    // A status row: a 30-point tile, 11 before its two lines, which lie 2 apart.
    EXPECT_EQ(l.rows[0].icon.size(), QSizeF(30, 30));
    EXPECT_DOUBLE_EQ(l.rows[0].titleRect.left() - l.rows[0].icon.right(), 11);
    EXPECT_DOUBLE_EQ(l.rows[0].titleRect.right(), l.status.right() - 24) << "to the column's inset";
    EXPECT_DOUBLE_EQ(l.rows[0].detailRect.right(), l.status.right() - 24);
    EXPECT_DOUBLE_EQ(l.rows[0].detailRect.top() - l.rows[0].titleRect.bottom(), 2);
    // Its lines reach the column's inset of 24.
    EXPECT_DOUBLE_EQ(l.rows[0].titleRect.right(), l.status.right() - 24);
    EXPECT_DOUBLE_EQ(l.rows[0].detailRect.right(), l.status.right() - 24);
    EXPECT_DOUBLE_EQ((l.rows[0].titleRect.top() + l.rows[0].detailRect.bottom()) / 2,
                     l.rows[0].icon.center().y())
        << "the two lines centred on the tile";
    // The status rows, 28 under the ring, each padded 8 above and below.
    const double rowHeight = std::max(30.0, l.rows[0].detailRect.bottom() - l.rows[0].titleRect.top());
    EXPECT_DOUBLE_EQ(l.rows[1].icon.center().y() - l.rows[0].icon.center().y(), rowHeight + 16);
    EXPECT_DOUBLE_EQ(l.rows[0].icon.center().y() - l.ring.bottom(), 28 + 8 + rowHeight / 2);
    EXPECT_EQ(l.rows[0].title, QStringLiteral("Keyboards paused"));
    EXPECT_EQ(l.rows[0].detail, QStringLiteral("Built-in and external"));
    EXPECT_EQ(l.rows[1].title, QStringLiteral("Trackpad active"));
    EXPECT_EQ(l.rows[1].detail, QStringLiteral("You can still click"));
    EXPECT_EQ(l.rows[2].symbol, QStringLiteral("xmark.circle"));
    EXPECT_EQ(l.rows[2].title, QStringLiteral("0 blocked"));
    EXPECT_EQ(l.rows[2].detail, QStringLiteral("Temporary presses"));

    l = Layout::make(QSizeF(800, 500), 1, 15, 1, QSizeF(96, 40));
    EXPECT_EQ(l.card, QRectF(-10, -10, 820, 520)) << "at least 820 by 520, past a small window's edges";
    EXPECT_DOUBLE_EQ(l.ringFraction, 1.0 / 15);
    EXPECT_EQ(l.rows[2].title, QStringLiteral("1 blocked"));
    EXPECT_EQ(l.rows[2].detail, QStringLiteral("Temporary press"));
    EXPECT_EQ(Layout::make(QSizeF(1000, 640), 1, 0, 181, QSizeF(96, 40)).ringFraction, 1)
        << "a duration of 0 divides by 1";
    EXPECT_EQ(Layout::make(QSizeF(1000, 640), 0, 0, 181, QSizeF(96, 40)).rows[2].title,
              QStringLiteral("181 blocked"));
}

TEST(KeyboardCleaningOverlay, ItShowsTheSessionAndBothButtonsEndIt) {
    Canvas c;
    KeyboardCleaningOverlay& overlay = c.overlay;
    EXPECT_EQ(overlay.objectName(), QStringLiteral("keyboard-cleaning-overlay"));
    EXPECT_EQ(overlay.accessibleName(), QStringLiteral("Keyboard cleaning in progress"));
    EXPECT_TRUE(overlay.isHidden()) << "hidden while idle, from accessibility too";
    EXPECT_FALSE(overlay.ink()->isBlinking());

    c.controller.start();
    overlay.setOpacity(1);
    EXPECT_FALSE(overlay.isHidden());
    EXPECT_TRUE(overlay.ink()->isBlinking());
    c.press(181);
    EXPECT_EQ(overlay.ink()->markCount(), 180);
    EXPECT_EQ(overlay.currentLayout().rows[2].title, QStringLiteral("181 blocked"));
    EXPECT_EQ(overlay.endButton()->objectName(), QStringLiteral("end-keyboard-cleaning"));
    EXPECT_EQ(overlay.closeButton()->accessibleName(), QStringLiteral("End keyboard cleaning"));
    EXPECT_EQ(overlay.closeButton()->toolTip(), QStringLiteral("End keyboard cleaning"));
    c.scheduler.advance(Seconds(0.2));
    EXPECT_EQ(overlay.accessibleDescription(), QStringLiteral("15 seconds remaining"));
    c.scheduler.advance(Seconds(1));
    EXPECT_EQ(overlay.accessibleDescription(), QStringLiteral("14 seconds remaining"));

    const std::size_t before = c.performer.count();
    overlay.closeButton()->click();
    EXPECT_FALSE(c.controller.isActive());
    EXPECT_GT(c.performer.count(), before) << "the user's end plays the controls haptic";
    EXPECT_FALSE(overlay.ink()->isBlinking());

    c.controller.start();
    EXPECT_EQ(overlay.ink()->markCount(), 0) << "a new session opens on an empty sheet";
    overlay.endButton()->click();
    EXPECT_FALSE(c.controller.isActive());

    // Under reduced motion the caret stands still: nothing wakes the view.
    c.appearance.setReduceMotion(true);
    QCoreApplication::sendPostedEvents();
    c.controller.start();
    EXPECT_FALSE(overlay.ink()->isBlinking());

    // Faded half way: drawn through an opacity effect; ended and faded out, hidden again.
    overlay.setOpacity(0.5);
    EXPECT_NE(overlay.graphicsEffect(), nullptr);
    c.controller.stop(KeyboardCleaningController::StopReason::userRequested);
    EXPECT_FALSE(overlay.isHidden()) << "still fading out";
    overlay.setOpacity(0);
    EXPECT_TRUE(overlay.isHidden());
}

// The smallest rectangle holding every pixel of `rect` in `image` that stands out from the pixel at
// the rect's right end on the same row: the extent of a text's ink.
QRect inkBounds(const QImage& image, const QRect& rect) {
    int left = INT_MAX, right = INT_MIN, top = INT_MAX, bottom = INT_MIN;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        const QColor ground = image.pixelColor(rect.right(), y);
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - ground.red()) + std::abs(pixel.green() - ground.green()) +
                    std::abs(pixel.blue() - ground.blue()) >
                24) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

TEST(KeyboardCleaningOverlay, TheCardCastsItsShadowAndItsSmallLinesKeepTheirSizes) {
    Canvas c(QSize(1512, 982));
    c.controller.start();
    c.overlay.setOpacity(1);
    c.overlay.show();
    const QImage image = renderWidget(c.overlay, Qt::darkCyan);
    const KeyboardCleaningOverlay::Layout l = c.overlay.currentLayout();

    // Under the card: the dimmed window darkened by black at 0.56 times the shadow's coverage, a
    // blur of radius 42 of the card's rounded shape (radius 22) moved 20 down.
    const QColor dimmed = image.pixelColor(5, 5);
    ASSERT_GT(dimmed.green(), 20);
    constexpr int reach = 100;
    QPainterPath shape;
    shape.addRoundedRect(QRectF(QPointF(reach, reach), l.card.size()), 22, 22);
    const QImage mask =
        VantrelShadow::blurredMask(shape, (l.card.size() + QSizeF(2 * reach, 2 * reach)).toSize(), 42);
    for (const double below : {6.0, 14.0, 30.0}) {
        const QPoint at(int(l.card.center().x()), int(l.card.bottom() + below));
        const QPoint inMask = at - (l.card.topLeft() + QPointF(0, 20)).toPoint() + QPoint(reach, reach);
        const double coverage = qAlpha(mask.pixel(inMask)) / 255.0;
        EXPECT_GT(coverage, 0.05) << below;
        EXPECT_NEAR(image.pixelColor(at).green(), dimmed.green() * (1 - 0.56 * coverage), 2) << below;
    }

    // The card's top-leading corner: its fill clipped to a rounded rectangle of radius 22 and
    // outlined with white at 0.18, 0.8 wide, over the dimmed window and the shadow.
    QImage shadow = mask;
    {
        QPainter tint(&shadow);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(shadow.rect(), QColor::fromRgbF(0, 0, 0, 0.56f));
    }
    QImage expected(image.size(), QImage::Format_ARGB32_Premultiplied);
    expected.fill(Qt::darkCyan);
    {
        QPainter painter(&expected);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillRect(expected.rect(), QColor::fromRgbF(0, 0, 0, 0.72f));
        painter.drawImage(l.card.topLeft() + QPointF(-reach, 20 - reach), shadow);
        QPainterPath card;
        card.addRoundedRect(l.card, 22, 22);
        painter.save();
        painter.setClipPath(card);
        painter.fillRect(l.card, QColor::fromRgbF(0.075f, 0.079f, 0.089f));
        painter.restore();
        painter.setPen(QPen(QColor::fromRgbF(1, 1, 1, 0.18f), 0.8));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(card);
    }
    int largest = 0;
    for (int y = int(l.card.top()); y < int(l.card.top()) + 16; ++y)
        for (int x = int(l.card.left()); x < int(l.card.left()) + 16; ++x) {
            const QColor a = image.pixelColor(x, y), b = expected.pixelColor(x, y);
            largest = std::max({largest, std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                                std::abs(a.blue() - b.blue())});
        }
    EXPECT_LE(largest, 3);

    // The lock badge on the paper: a circle of the accent at 0.1 under "lock.fill" at 13 semibold.
    const QRect badge = l.badge.toAlignedRect();
    QImage lock(image.size(), QImage::Format_ARGB32_Premultiplied);
    lock.fill(image.pixelColor(badge.left() - 4, badge.center().y()));
    {
        const QColor tint = VantrelTheme::accent(c.preferences.accent());
        QPainter painter(&lock);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(VantrelTheme::withOpacity(tint, 0.1));
        painter.drawEllipse(l.badge);
        VantrelGlyph::paint(painter, l.badge, u"lock.fill", tint, 13, QFont::DemiBold);
    }
    int badgeLargest = 0;
    for (int y = badge.top(); y <= badge.bottom(); ++y)
        for (int x = badge.left(); x <= badge.right(); ++x) {
            const QColor a = image.pixelColor(x, y), b = lock.pixelColor(x, y);
            badgeLargest = std::max({badgeLargest, std::abs(a.red() - b.red()),
                                     std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
        }
    EXPECT_LE(badgeLargest, 3);

    // "Temporary · nothing is saved" at 9.5 medium, centred under the title; the footer at 10.5
    // medium on the paper.
    const auto expectWidth = [&](const QRectF& line, const QString& text, double size) {
        const QRect ink = inkBounds(image, line.toAlignedRect());
        const int left = ink.left(), right = ink.right();
        EXPECT_LE(left, right) << text.toStdString();
        EXPECT_NEAR(right - left + 1,
                    QFontMetricsF(VantrelType::font(size, QFont::Medium)).horizontalAdvance(text), 3)
            << text.toStdString();
        return (left + right + 1) / 2.0;
    };
    // (Between the dots and the close button.)
    const QRectF subtitle(l.toolbar.center().x() - 300, l.subtitleLine.top(), 600, l.subtitleLine.height());
    const double middle = expectWidth(subtitle, QString::fromUtf8("Temporary \u00b7 nothing is saved"), 9.5);
    EXPECT_NEAR(middle, l.toolbar.center().x(), 2);
    expectWidth(l.footerText, QStringLiteral("Vantrel counts presses, but never reads or stores the keys."),
                10.5);
}

TEST(KeyboardCleaningOverlay, SheetAtZeroOneTwelveAnd181Presses) {
    QList<QImage> images;
    for (const int presses : {0, 1, 12, 181}) {
        Canvas c;
        // The caret shown, whatever the moment.
        c.appearance.setReduceMotion(true);
        QCoreApplication::sendPostedEvents();
        c.controller.start();
        c.press(presses);
        c.scheduler.advance(Seconds(presses == 181 ? 14.5 : 3.2));
        c.overlay.setOpacity(1);
        c.overlay.show();
        images.append(renderWidget(c.overlay, Qt::darkCyan));

        const KeyboardCleaningOverlay::Layout l = c.overlay.currentLayout();
        const QImage& image = images.last();
        const QPointF canvas =
            l.ink.topLeft() + QPointF(KeyboardCleaningInk::kInset, KeyboardCleaningInk::kInset);
        // The first mark is dark on the paper; with no presses the accent caret stands there.
        const QColor first = image.pixelColor((canvas + QPointF(1, 9)).toPoint());
        if (presses == 0) {
            const QColor accent = VantrelTheme::accent(c.preferences.accent());
            EXPECT_NEAR(first.hueF(), accent.hueF(), 0.05);
        } else {
            EXPECT_LT(first.lightnessF(), 0.7) << presses;
        }
        // The paper, the dark card and the dimmed backdrop.
        EXPECT_GT(image.pixelColor((l.sheet.topLeft() + QPointF(20, 20)).toPoint()).lightnessF(), 0.85);
        EXPECT_LT(image.pixelColor((l.status.center()).toPoint()).lightnessF(), 0.2);
        EXPECT_LT(image.pixelColor(QPoint(5, 5)).lightnessF(), 0.3);
        // The ink's well: black at 0.025 over the paper, outlined with black at 0.07.
        const QColor paper = image.pixelColor((l.sheet.topLeft() + QPointF(20, 20)).toPoint());
        const QRect well = c.overlay.ink()->geometry();
        const QColor inside = image.pixelColor(well.bottomRight() - QPoint(30, 30));
        const QColor edge = image.pixelColor(QPoint(well.left(), well.center().y()));
        EXPECT_NEAR(inside.red(), paper.red() * 0.975, 2) << presses;
        EXPECT_LT(edge.red(), inside.red() - 3) << presses;
        EXPECT_GT(edge.red(), paper.red() * 0.9) << presses;

        // The sheet's outline, white at 0.62 and 0.8 wide on its edge, reaches under half a
        // pixel outside it: the column next to the sheet brightens, the one beyond does not.
        const int left = int(l.sheet.left());
        ASSERT_EQ(l.sheet.left(), left);
        const int y = int(l.sheet.center().y());
        const QColor beyond = image.pixelColor(left - 5, y);
        EXPECT_GT(image.pixelColor(left - 1, y).red(), beyond.red() + 20) << presses;
        EXPECT_NEAR(image.pixelColor(left - 2, y).red(), beyond.red(), 2) << presses;

        // "Your keyboard is paused", 27-point bold in black at 0.82 on the paper, pixel for pixel.
        QRect heading = l.heading.toAlignedRect();
        heading.setRight(std::min(heading.right(), int(l.badge.left()) - 2));
        QImage expected(heading.size(), QImage::Format_ARGB32_Premultiplied);
        expected.fill(QColor::fromRgbF(0.965f, 0.957f, 0.935f));
        {
            QPainter painter(&expected);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.translate(-heading.topLeft());
            painter.setFont(VantrelType::font(27, QFont::Bold));
            painter.setPen(QColor::fromRgbF(0, 0, 0, 0.82f));
            painter.drawText(l.heading, Qt::AlignLeft | Qt::AlignVCenter,
                             QStringLiteral("Your keyboard is paused"));
        }
        int differing = 0;
        for (int py = 0; py < heading.height(); ++py)
            for (int px = 0; px < heading.width(); ++px) {
                const QRgb want = expected.pixel(px, py);
                const QRgb got = image.pixel(heading.left() + px, heading.top() + py);
                if (std::abs(qRed(want) - qRed(got)) > 3 || std::abs(qGreen(want) - qGreen(got)) > 3 ||
                    std::abs(qBlue(want) - qBlue(got)) > 3)
                    ++differing;
            }
        EXPECT_EQ(differing, 0) << presses;
    }
    saveSheet(QStringLiteral("keyboard-cleaning-canvas"), images, 2);
}

TEST(KeyboardCleaningOverlay, APressOrASecondRepaintsTheCountAndTheArcAndANewAccentOrSizeAllTheRest) {
    Canvas c;
    c.preferences.setAccent(Accent::sky);
    c.controller.start();
    c.press(1);
    c.overlay.setOpacity(1);
    c.overlay.show();
    QCoreApplication::sendPostedEvents();
    KeyboardCleaningOverlay::Layout l = c.overlay.currentLayout();
    const QImage first = renderWidget(c.overlay, Qt::darkCyan);
    const QRectF circle = l.ring.adjusted(3.5, 3.5, -3.5, -3.5);
    const QPoint nineOClock = QPointF(circle.left(), circle.center().y()).toPoint();
    const QRect count = l.rows[2].titleRect.toAlignedRect();
    const QRect seconds = QRectF(l.ring.center().x() - 38, l.ring.top(), 76, l.ring.height()).toAlignedRect();
    const QRect trackpadRow = l.rows[1].titleRect.toAlignedRect();
    const QPoint tile = QPointF(l.rows[2].icon.left() + 3, l.rows[2].icon.center().y()).toPoint();
    const QColor sky = VantrelTheme::accent(Accent::sky);
    EXPECT_NEAR(first.pixelColor(nineOClock).hueF(), sky.hueF(), 0.05) << "15 of 15 seconds: a full ring";
    // The arc lies on the track, 7 wide inside the ring's 118-point square: from its outer edge
    // to 7 in, and nothing 9 in.
    const QPoint centre = l.ring.center().toPoint();
    const int side = int(l.ring.width() / 2);
    for (const QPoint outward : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)}) {
        const QColor edge = first.pixelColor(centre + outward * (side - 2));
        EXPECT_NEAR(edge.hueF(), sky.hueF(), 0.05) << outward.x() << "," << outward.y();
        EXPECT_GT(edge.saturationF(), 0.2) << outward.x() << "," << outward.y();
        EXPECT_LT(first.pixelColor(centre + outward * (side - 10)).saturationF(), 0.2)
            << outward.x() << "," << outward.y();
    }

    // Twelve more presses and ten and a half seconds: 5 seconds left, a third of the ring.
    c.press(12);
    c.scheduler.advance(Seconds(10.5));
    c.overlay.numberTransition()->setCurrentTime(c.overlay.numberTransition()->duration());
    ASSERT_EQ(c.overlay.currentLayout().rows[2].title, QStringLiteral("13 blocked"));
    ASSERT_EQ(c.overlay.currentLayout().remainingText, QStringLiteral("5"));
    const QImage later = renderWidget(c.overlay, Qt::darkCyan);
    EXPECT_LT(later.pixelColor(nineOClock).saturationF(), 0.2) << "only the faint track is left there";
    EXPECT_NE(later.copy(count), first.copy(count)) << "1 blocked, then 13 blocked";
    EXPECT_NE(later.copy(seconds), first.copy(seconds)) << "15, then 5";
    EXPECT_EQ(later.copy(trackpadRow), first.copy(trackpadRow));

    // A new accent reaches what is painted once: the rows' tiles.
    EXPECT_GT(later.pixelColor(tile).blue(), later.pixelColor(tile).red()) << "sky";
    c.preferences.setAccent(Accent::coral);
    QCoreApplication::sendPostedEvents();
    const QImage coral = renderWidget(c.overlay, Qt::darkCyan);
    EXPECT_GT(coral.pixelColor(tile).red(), coral.pixelColor(tile).blue()) << "coral";

    // A smaller window: the card shrinks, and the paper no longer reaches where the status
    // column now begins.
    const QPoint statusNow(750, 300);
    EXPECT_GT(coral.pixelColor(statusNow).lightnessF(), 0.85) << "the paper, in the larger card";
    c.overlay.resize(1000, 640);
    const QImage smaller = renderWidget(c.overlay, Qt::darkCyan);
    l = c.overlay.currentLayout();
    ASSERT_LT(l.status.left(), statusNow.x());
    EXPECT_LT(smaller.pixelColor(statusNow).lightnessF(), 0.2);
    EXPECT_GT(smaller.pixelColor((l.sheet.topLeft() + QPointF(20, 20)).toPoint()).lightnessF(), 0.85);
}

TEST(KeyboardCleaningOverlay, TheSecondsRollDownAsTheyCount) {
    Canvas c;
    c.controller.start();
    c.overlay.setOpacity(1);
    c.overlay.show();
    QCoreApplication::sendPostedEvents();
    const KeyboardCleaningOverlay::Layout l = c.overlay.currentLayout();
    // Inside the ring's track, where only the number draws.
    const QRect number =
        QRectF(l.ring.center().x() - 38, l.ring.top() + 26, 76, l.ring.height() - 52).toAlignedRect();
    EXPECT_EQ(c.overlay.numberTransition()->state(), QAbstractAnimation::Stopped)
        << "nothing rolls at the start";
    const QRect rest = inkBounds(renderWidget(c.overlay, Qt::darkCyan), number);
    ASSERT_LT(rest.top(), rest.bottom());

    c.scheduler.advance(Seconds(1.05));
    ASSERT_EQ(c.overlay.currentLayout().remainingText, QStringLiteral("14"));
    QVariantAnimation& roll = *c.overlay.numberTransition();
    ASSERT_EQ(roll.state(), QAbstractAnimation::Running);
    roll.setCurrentTime(roll.duration() / 2);
    // Half way, 15 has dropped below where the numbers rest and 14 still comes in from above.
    const QRect mid = inkBounds(renderWidget(c.overlay, Qt::darkCyan), number);
    EXPECT_LT(mid.top(), rest.top() - 4);
    EXPECT_GT(mid.bottom(), rest.bottom() + 4);
    roll.setCurrentTime(roll.duration());
    const QRect end = inkBounds(renderWidget(c.overlay, Qt::darkCyan), number);
    EXPECT_NEAR(end.top(), rest.top(), 1);
    EXPECT_NEAR(end.bottom(), rest.bottom(), 1);

    // The digits keep their cells: at 11 and at 10 the leading 1 stands in the same place.
    const auto settledAt = [&](const char* text) {
        while (c.overlay.currentLayout().remainingText != QLatin1String(text))
            c.scheduler.advance(Seconds(1));
        roll.setCurrentTime(roll.duration());
        return inkBounds(renderWidget(c.overlay, Qt::darkCyan), number);
    };
    const QRect eleven = settledAt("11");
    const QRect ten = settledAt("10");
    EXPECT_EQ(eleven.left(), ten.left());

    // Ended, the ring comes back full at 15 without rolling up.
    c.overlay.endButton()->click();
    EXPECT_EQ(c.overlay.currentLayout().remainingText, QStringLiteral("15"));
    EXPECT_EQ(roll.state(), QAbstractAnimation::Stopped);
}

} // namespace

TEST(KeyboardCleaningOverlay, TheFocusComesToEndNowAndGoesBackToWhatOpenedTheCanvas) {
    QWidget window;
    window.resize(1200, 760);
    auto* note = new QPushButton(QStringLiteral("Groceries"), &window);
    auto* open = new VantrelButton(QStringLiteral("Open Cleaning Canvas"),
                                   std::make_shared<VantrelSecondaryButtonStyle>(), &window);
    open->move(0, 40);
    Canvas c;
    c.overlay.setParent(&window);
    c.overlay.setGeometry(window.rect());
    window.show();
    QApplication::setActiveWindow(&window);

    // From the keyboard: the ring goes to "End Now", over everything else, and comes back.
    open->setFocus(Qt::TabFocusReason);
    c.controller.start();
    c.overlay.setOpacity(1);
    EXPECT_EQ(QApplication::focusWidget(), c.overlay.endButton());
    EXPECT_TRUE(KitPaint::showsFocusRing(c.overlay.endButton()));
    QTest::keyClick(c.overlay.endButton(), Qt::Key_Space);
    ASSERT_FALSE(c.controller.isActive());
    c.overlay.setOpacity(0);
    ASSERT_TRUE(c.overlay.isHidden());
    EXPECT_EQ(QApplication::focusWidget(), open);
    EXPECT_TRUE(KitPaint::showsFocusRing(open));
    EXPECT_FALSE(note->hasFocus());

    // With a click: the same way, without a ring.
    note->setFocus(Qt::TabFocusReason);
    open->setFocus(Qt::MouseFocusReason);
    c.controller.start();
    c.overlay.setOpacity(1);
    EXPECT_EQ(QApplication::focusWidget(), c.overlay.endButton());
    EXPECT_FALSE(KitPaint::showsFocusRing(c.overlay.endButton()));
    QTest::mouseClick(c.overlay.endButton(), Qt::LeftButton);
    c.overlay.setOpacity(0);
    EXPECT_EQ(QApplication::focusWidget(), open);
    EXPECT_FALSE(KitPaint::showsFocusRing(open));

    // As on the desktop: the keyboard guard's grab takes the keys from the window for the session
    // and, after the exit chord, gives them back only once the canvas has faded out. They come
    // back to the opener, ring and all.
    note->setFocus(Qt::TabFocusReason);
    open->setFocus(Qt::TabFocusReason);
    c.controller.start();
    c.overlay.setOpacity(1);
    QApplication::setActiveWindow(nullptr);
    c.controller.stop(KeyboardCleaningController::StopReason::escapeChord);
    c.overlay.setOpacity(0);
    QApplication::setActiveWindow(&window);
    EXPECT_EQ(QApplication::focusWidget(), open);
    EXPECT_TRUE(KitPaint::showsFocusRing(open));
    c.overlay.setParent(nullptr);
}
