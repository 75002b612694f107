#include "control-center/OnboardingView.h"
#include "control-center/RootView.h"
#include "control-center/VantrelMark.h"
#include "kit/KitPaint.h"
#include "kit/KitRender.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelIcon.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelSwitch.h"
#include "kit/VantrelTheme.h"
#include "support/ControlCenterHarness.h"
#include "support/QtPrinters.h"
#include "support/VisibleTexts.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QTest>
#include <QVariantAnimation>
#include <algorithm>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

class OnboardingViewTest : public ::testing::Test {
protected:
    OnboardingViewTest() {
        view.resize(1080, 720);
        view.show();
    }
    QStringList texts() const { return visibleTexts(*view.stepContent()); }
    VantrelButton* button(const QString& text) const {
        for (VantrelButton* candidate : view.findChildren<VantrelButton*>())
            if (candidate->isVisible() && candidate->text() == text) return candidate;
        return nullptr;
    }
    ControlCenterHarness c;
    OnboardingView view{c.context()};
};

} // namespace

TEST_F(OnboardingViewTest, EachStepShowsItsTextsAndFooter) {
    const QStringList steps[] = {
        {"Meet Vantrel", "The missing refinement layer for your Mac.",
         "A useful notch, a calmer menu bar, a Dock that fits you, and tactile scrolling—all in one private, "
         "native app.",
         "Native", "On-device", "Modular"},
        {"Make it yours", "Every module can be changed later.", "Notch Panel", "Command Palette"},
        {"Private by design", "Permissions unlock features. They are always optional.", "Accessibility",
         "Menu-bar search and quick actions", "Allow", "Input Monitoring",
         "Global shortcut and scroll feedback", "Calendar", "Today’s events inside the notch", "Camera",
         "Local camera mirror", "Clipboard history, notes, files, and preferences stay on this Mac."},
        {"Your Mac, refined.", "Hover the notch or press Control–Space to begin.", "Hover", "Notch",
         "⌃ Space", "Commands", "Menu bar", "Settings"},
    };
    for (int step = 0; step < 4; ++step) {
        EXPECT_EQ(texts(), steps[step]) << step;
        EXPECT_EQ(view.backButton()->isVisible(), step > 0) << step;
        EXPECT_EQ(view.continueButton()->text(), step == 3 ? "Start using Vantrel" : "Continue");
        if (step < 3) QTest::mouseClick(view.continueButton(), Qt::LeftButton);
    }
    QTest::mouseClick(view.backButton(), Qt::LeftButton);
    EXPECT_EQ(view.flow().step(), 2);

    // The progress dots: 28 wide for the current step, 8 for the others, 6 apart, 25 below the card's top.
    const OnboardingLayout l = view.onboardingLayout();
    EXPECT_EQ(l.card, QRectF(195, 80, 690, 560));
    EXPECT_EQ(l.dots[0], QRectF(505, 105, 8, 6));
    EXPECT_EQ(l.dots[2], QRectF(533, 105, 28, 6));
    EXPECT_EQ(l.dots[3], QRectF(567, 105, 8, 6));
}

TEST_F(OnboardingViewTest, StepsSpringInOrEaseOutUnderReducedMotion) {
    QTest::mouseClick(view.continueButton(), Qt::LeftButton);
    EXPECT_EQ(view.stepAnimation()->easingCurve().type(), QEasingCurve::Custom);
    view.stepAnimation()->setCurrentTime(view.stepAnimation()->duration());
    EXPECT_EQ(view.stepContent()->graphicsEffect(), nullptr);
    c.setReduceMotion(true);
    QTest::mouseClick(view.continueButton(), Qt::LeftButton);
    EXPECT_EQ(view.stepAnimation()->duration(), 100);
}

TEST_F(OnboardingViewTest, AStepChangeFadesAndScalesBothStepsAboutTheirCentre) {
    for (const bool reduced : {false, true}) {
        c.setReduceMotion(reduced);
        QTest::mouseClick(view.continueButton(), Qt::LeftButton);
        QVariantAnimation* animation = view.stepAnimation();
        ASSERT_EQ(animation->state(), QAbstractAnimation::Running);
        animation->setCurrentTime(0);
        StepTransitionFrame f = view.transitionFrame();
        EXPECT_EQ(f.outgoingOpacity, 1);
        EXPECT_EQ(f.outgoingScale, 1);
        EXPECT_EQ(f.incomingOpacity, 0);
        EXPECT_DOUBLE_EQ(f.incomingScale, 0.97);

        // Half way both steps are drawn, each at its own opacity and scale.
        animation->setCurrentTime(animation->duration() / 2);
        const double value = animation->currentValue().toDouble();
        EXPECT_GT(value, 0.3);
        EXPECT_LT(value, 1.0);
        f = view.transitionFrame();
        EXPECT_DOUBLE_EQ(f.outgoingOpacity, 1 - value);
        EXPECT_DOUBLE_EQ(f.outgoingScale, 1 - 0.03 * value);
        EXPECT_DOUBLE_EQ(f.incomingOpacity, value);
        EXPECT_DOUBLE_EQ(f.incomingScale, 0.97 + 0.03 * value);
        ASSERT_NE(view.transitionLayer(), nullptr);
        EXPECT_TRUE(view.transitionLayer()->isVisible());
        EXPECT_EQ(view.transitionLayer()->geometry(), view.stepContent()->geometry());
        EXPECT_TRUE(view.transitionLayer()->testAttribute(Qt::WA_TransparentForMouseEvents))
            << "the incoming step stays live under the pictures";

        animation->setCurrentTime(animation->duration());
        f = view.transitionFrame();
        EXPECT_EQ(f.outgoingOpacity, 0);
        EXPECT_EQ(f.incomingOpacity, 1);
        EXPECT_EQ(f.incomingScale, 1);
        EXPECT_TRUE(view.transitionLayer() == nullptr || !view.transitionLayer()->isVisible());
        EXPECT_TRUE(view.stepContent()->isVisible());
    }
    // The scale is about the centre.
    EXPECT_EQ(StepTransitionFrame::scaled(QRectF(0, 0, 600, 400), 0.97), QRectF(9, 6, 582, 388));
}

TEST_F(OnboardingViewTest, TheWelcomeParagraphWrapsIn440WithLinesSpaced3Apart) {
    VantrelLabel* paragraph = nullptr;
    for (VantrelLabel* label : view.stepContent()->findChildren<VantrelLabel*>())
        if (label->text().startsWith("A useful notch")) paragraph = label;
    ASSERT_NE(paragraph, nullptr);
    EXPECT_EQ(paragraph->width(), 440);
    const QList<QRectF> lines = paragraph->lineRects();
    ASSERT_GE(lines.size(), 2);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        EXPECT_LE(lines[i].width(), 440);
        EXPECT_NEAR(lines[i].center().x(), 220, 0.5) << "centred lines";
        if (i > 0) {
            EXPECT_NEAR(lines[i].top() - lines[i - 1].bottom(), 3, 1e-6);
        }
    }
    EXPECT_GE(paragraph->height(), lines.last().bottom());
}

TEST_F(OnboardingViewTest, StepsKeepTheirPaddingsTilesAndCentredMark) {
    // The welcome step is padded 40 at both sides; its mark is 92 across.
    EXPECT_EQ(view.stepContent()->layout()->contentsMargins(), QMargins(40, 0, 40, 0));
    const QList<VantrelMark*> welcomeMarks = view.stepContent()->findChildren<VantrelMark*>();
    ASSERT_EQ(welcomeMarks.size(), 1);
    EXPECT_EQ(welcomeMarks[0]->size(), QSize(92, 92));
    EXPECT_EQ(welcomeMarks[0]->y(), 0) << "centred across, without padding of its own";
    EXPECT_EQ(welcomeMarks[0]->parentWidget()->height(), 92);

    // A permission row lies on white at 0.045 over the card, a hint tile on white at 0.055.
    const auto expectTile = [this](QWidget* tile, double opacity) {
        const QImage image = renderWidget(view);
        const QPoint origin = tile->mapTo(&view, QPoint(0, 0));
        const QColor card = image.pixelColor(origin + QPoint(-4, tile->height() / 2));
        const QColor inside = image.pixelColor(origin + QPoint(4, tile->height() / 2));
        for (const auto& [under, over] :
             {std::pair{card.red(), inside.red()}, std::pair{card.green(), inside.green()},
              std::pair{card.blue(), inside.blue()}})
            EXPECT_NEAR(over, under + (255 - under) * opacity, 1.5);
    };
    // The modules step has no padding either: its titles span the step.
    QTest::mouseClick(view.continueButton(), Qt::LeftButton);
    view.stepAnimation()->setCurrentTime(view.stepAnimation()->duration());
    for (QLabel* label : view.stepContent()->findChildren<QLabel*>())
        if (label->text() == "Make it yours") {
            EXPECT_EQ(label->x(), 0);
            EXPECT_EQ(label->width(), view.stepContent()->width());
        }
    QTest::mouseClick(view.continueButton(), Qt::LeftButton);
    view.stepAnimation()->setCurrentTime(view.stepAnimation()->duration());
    QWidget* row = nullptr;
    for (QWidget* child : view.stepContent()->findChildren<QWidget*>())
        if (child->accessibleName() == "Accessibility") row = child;
    ASSERT_NE(row, nullptr);
    expectTile(row, 0.045);
    EXPECT_EQ(row->x(), 0) << "the rows fill their column, 510 wide";
    EXPECT_EQ(row->width(), 510);
    // The privacy step has no padding: its titles span the whole step.
    EXPECT_EQ(view.stepContent()->layout()->contentsMargins(), QMargins(0, 0, 0, 0));
    QLabel* title = nullptr;
    for (QLabel* label : view.stepContent()->findChildren<QLabel*>())
        if (label->text() == "Private by design") title = label;
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->x(), 0);
    EXPECT_EQ(title->width(), view.stepContent()->width());

    // The ready step: the mark of 82 centred on its circle of 130, and the hint tiles 104 by 52.
    QTest::mouseClick(view.continueButton(), Qt::LeftButton);
    view.stepAnimation()->setCurrentTime(view.stepAnimation()->duration());
    const QList<VantrelMark*> marks = view.stepContent()->findChildren<VantrelMark*>();
    ASSERT_EQ(marks.size(), 1);
    EXPECT_EQ(marks[0]->parentWidget()->size(), QSize(130, 130));
    EXPECT_EQ(QRectF(marks[0]->geometry()).center(), QPointF(65, 65));
    QWidget* hint = nullptr;
    for (QLabel* label : view.stepContent()->findChildren<QLabel*>())
        if (label->text() == "Commands") hint = label->parentWidget();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->size(), QSize(104, 52));
    expectTile(hint, 0.055);
    // The three hint tiles stand 12 apart from their row's leading edge.
    QList<int> tileLefts;
    for (QWidget* tile : hint->parentWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        tileLefts << tile->x();
    std::sort(tileLefts.begin(), tileLefts.end());
    EXPECT_EQ(tileLefts, (QList<int>{0, 116, 232}));
    EXPECT_EQ(hint->parentWidget()->width(), 3 * 104 + 2 * 12);
}

TEST_F(OnboardingViewTest, TheBackdropGlowsWithTheAccentFromTheTopCentre) {
    // The view's own layer, without the card and steps over it.
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    view.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    // Beyond the end radius of 650 from the top centre, the plain canvas.
    const QColor canvas = image.pixelColor(5, 715);
    EXPECT_EQ(image.pixelColor(1075, 715), canvas);
    // Within the start radius of 20, the accent at 0.22 over it.
    const QColor accent = VantrelTheme::accent(c.h.preferences.accent());
    const QColor top = image.pixelColor(540, 4);
    EXPECT_NEAR(top.red(), canvas.red() * 0.78 + accent.red() * 0.22, 1.5);
    EXPECT_NEAR(top.green(), canvas.green() * 0.78 + accent.green() * 0.22, 1.5);
    EXPECT_NEAR(top.blue(), canvas.blue() * 0.78 + accent.blue() * 0.22, 1.5);

    // The card is rounded at 36: each corner of its square stays clear, the middle of each side
    // is drawn. Nothing but the four dots and the step is drawn over the card.
    QWidget* card = view.stepContent()->parentWidget();
    ASSERT_EQ(card->size(), QSize(690, 560));
    const QImage look = renderWidget(*card);
    for (const QPoint corner : {QPoint(3, 3), QPoint(686, 3), QPoint(3, 556), QPoint(686, 556)})
        EXPECT_EQ(qAlpha(look.pixel(corner)), 0) << corner.x() << "," << corner.y();
    for (const QPoint side : {QPoint(0, 280), QPoint(689, 280), QPoint(345, 0), QPoint(345, 559)})
        EXPECT_GT(qAlpha(look.pixel(side)), 0) << side.x() << "," << side.y();
}

TEST_F(OnboardingViewTest, SwitchesPlayTheirHapticThenWriteAndStartUsingCompletes) {
    QTest::mouseClick(view.continueButton(), Qt::LeftButton);
    const QList<VantrelSwitch*> switches = view.stepContent()->findChildren<VantrelSwitch*>();
    ASSERT_EQ(switches.size(), 2);
    // Each switch's label leads with the module's icon of 39.
    QStringList symbols;
    for (VantrelSwitch* toggle : switches)
        for (VantrelIcon* icon : toggle->parentWidget()->findChildren<VantrelIcon*>()) {
            symbols << icon->systemName();
            EXPECT_EQ(icon->iconSize(), 39);
        }
    EXPECT_EQ(symbols, (QStringList{"capsule.tophalf.filled", "sparkle.magnifyingglass"}));
    qsizetype from = c.mark();
    QTest::mouseClick(switches[0], Qt::LeftButton);
    QTest::mouseClick(switches[1], Qt::LeftButton);
    EXPECT_EQ(c.callsSince(from), (QStringList{"haptic generic", "set notch.enabled false", "haptic generic",
                                               "set command.enabled false"}));

    QTest::mouseClick(view.continueButton(), Qt::LeftButton);
    QTest::mouseClick(view.continueButton(), Qt::LeftButton);
    from = c.mark();
    QTest::mouseClick(view.continueButton(), Qt::LeftButton);
    EXPECT_EQ(c.callsSince(from),
              (QStringList{"haptic generic", "set onboarding.complete true", "applyPreferences"}));
}

TEST_F(OnboardingViewTest, AllowedRowsLoseTheirButtonAndAllowRunsTheRequest) {
    c.h.permissionSystem.accessibilityTrusted = true;
    c.stores.permissions.refresh();
    for (int i = 0; i < 2; ++i) QTest::mouseClick(view.continueButton(), Qt::LeftButton);
    const QList<VantrelButton*> allows = view.stepContent()->findChildren<VantrelButton*>();
    QStringList rows;
    for (VantrelButton* allow : allows) rows.append(allow->accessibleDescription());
    EXPECT_EQ(rows, (QStringList{"Input Monitoring", "Calendar", "Camera"}));

    c.h.permissionSystem.listenEventAccess = false;
    QTest::mouseClick(allows[0], Qt::LeftButton);
    EXPECT_EQ(c.stores.permissions.statusMessage(),
              QStringLiteral("Enable Vantrel in Privacy & Security › Input Monitoring, then return here."));
    c.h.permissionSystem.listenEventAccess = true;
    c.h.scheduler.advance(Seconds(1));
    QStringList after;
    for (VantrelButton* allow : view.stepContent()->findChildren<VantrelButton*>())
        after.append(allow->accessibleDescription());
    EXPECT_EQ(after, (QStringList{"Calendar", "Camera"})) << "the row follows the new state";
}

// Allowed from the keyboard, a row loses its Allow button as the rows are built again, at once or
// once the system answers: the focus goes on to the next row's Allow, and from the last row to
// Continue, still shown as the keyboard's.
TEST_F(OnboardingViewTest, TheFocusOnAnAllowedRowGoesOnToTheNextAllowOrToContinue) {
    QApplication::setActiveWindow(&view);
    for (int i = 0; i < 2; ++i) QTest::mouseClick(view.continueButton(), Qt::LeftButton);
    const auto allowOf = [&](const QString& row) -> VantrelButton* {
        for (VantrelButton* allow : view.stepContent()->findChildren<VantrelButton*>())
            if (allow->accessibleDescription() == row) return allow;
        return nullptr;
    };
    const auto focused = [] { return qobject_cast<VantrelButton*>(QApplication::focusWidget()); };
    ASSERT_NE(allowOf("Accessibility"), nullptr);
    allowOf("Accessibility")->setFocus(Qt::TabFocusReason);

    // Granted at once, inside the press.
    c.h.permissionSystem.accessibilityTrusted = true;
    QTest::keyClick(focused(), Qt::Key_Space);
    EXPECT_EQ(allowOf("Accessibility"), nullptr);
    ASSERT_NE(focused(), nullptr);
    EXPECT_EQ(focused(), allowOf("Input Monitoring"));
    EXPECT_FALSE(KitPaint::focusCameByClick(focused())) << "the ring goes with it";

    // Granted a second later, after System Settings.
    QTest::keyClick(focused(), Qt::Key_Return);
    EXPECT_EQ(focused(), allowOf("Input Monitoring")) << "nothing changed yet";
    c.h.permissionSystem.listenEventAccess = true;
    c.h.scheduler.advance(Seconds(1));
    EXPECT_EQ(allowOf("Input Monitoring"), nullptr);
    EXPECT_EQ(focused(), allowOf("Calendar"));

    // The last row, clicked: nothing below is left to allow.
    c.h.permissionSystem.capture = CaptureAuthorizationStatus::authorized;
    QTest::mouseClick(allowOf("Camera"), Qt::LeftButton);
    EXPECT_EQ(allowOf("Camera"), nullptr);
    EXPECT_NE(allowOf("Calendar"), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), view.continueButton());
}
