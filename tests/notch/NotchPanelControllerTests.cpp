#include "kit/ApplicationChooser.h"
#include "kit/ApplicationChooserPanel.h"
#include "kit/KitPaint.h"
#include "modules/NotificationSignalStore.h"
#include "notch/NotchBookmarksView.h"
#include "notch/NotchFilesView.h"
#include "notch/NotchPanelShape.h"
#include "notch/NotchSurfaceButton.h"
#include "notch/NotchTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPropertyAnimation>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace vantrel;
using namespace vantrel::test;

TEST_F(NotchTest, FramesAndRadiiOfA185By32Notch) {
    EXPECT_TRUE(notch.hasPhysicalNotch()); // known before any panel exists
    notch.show();
    ASSERT_TRUE(notch.hasPanel());
    EXPECT_EQ(notch.hardwareNotchWidth(), 185);
    EXPECT_EQ(notch.topBridgeHeight(), 32);
    const auto& layout = *notch.lastLayout();
    EXPECT_EQ(layout.compactFrame, QRectF(663.5, 0, 185, 32));
    EXPECT_EQ(layout.expandedFrame, QRectF(346, 0, 820, 104));
    EXPECT_EQ(layout.notchCenter, 756);
    EXPECT_TRUE(panel().isVisible());
    EXPECT_EQ(panel().geometry(), QRect(664, 0, 185, 32));
    EXPECT_EQ(
        records(DiagnosticsCategory::notchFrame).last(),
        QStringLiteral("panel=%1 display=1 expanded=false frame=(663.5, 0, 185, 32)").arg(panelNumber()));

    EXPECT_DOUBLE_EQ(NotchPanelShape::compactRadius(32), 13.76);
    EXPECT_DOUBLE_EQ(NotchPanelShape::expandedRadius(104, 32), 24);
    EXPECT_DOUBLE_EQ(NotchPanelShape::expandedRadius(470, 32), 30);
    EXPECT_DOUBLE_EQ(NotchPanelShape::expandedRadius(20, 32), 24);
    EXPECT_DOUBLE_EQ(NotchPanelShape::compactRadius(0), 12);
    EXPECT_DOUBLE_EQ(NotchPanelShape::compactRadius(50), 18);

    // Tall tabs at each size; the width follows the size alone.
    notch.setSelectedTab(NotchTab::clipboard);
    notch.reposition(false);
    EXPECT_EQ(notch.lastLayout()->expandedFrame, QRectF(346, 0, 820, 470));
    h.preferences.setNotchSize(NotchSize::large);
    notch.setSelectedTab(NotchTab::timers);
    notch.reposition(false);
    EXPECT_EQ(notch.lastLayout()->expandedFrame, QRectF(296, 0, 920, 320));
    h.preferences.setNotchSize(NotchSize::small);
    notch.setSelectedTab(NotchTab::home);
    notch.reposition(false);
    EXPECT_EQ(notch.lastLayout()->expandedFrame, QRectF(396, 0, 720, 100));

    // A work area 700 wide keeps a large panel 16 points from either side; a short one 40 below.
    h.preferences.setNotchSize(NotchSize::large);
    h.screens.set({notchedScreen(1, QRect(0, 0, 1512, 982), 185, 32, QRect(0, 0, 700, 300))}, std::nullopt);
    EXPECT_EQ(notch.lastLayout()->expandedFrame.width(), 668);
    notch.setSelectedTab(NotchTab::files);
    notch.reposition(false);
    EXPECT_EQ(notch.lastLayout()->expandedFrame.height(), 260);

    // A housing too narrow to count leaves no layout, and the panel goes.
    h.screens.set({notchedScreen(1, QRect(0, 0, 1512, 982), 80)}, std::nullopt);
    EXPECT_FALSE(panel().isVisible());
    EXPECT_FALSE(notch.hasPhysicalNotch());
}

TEST_F(NotchTest, HoverOpensAfterTheResponsivenessDelayAndLeavingCancels) {
    notch.show();
    const std::size_t idle = h.scheduler.pendingCount();

    h.preferences.setNotchResponsiveness(NotchResponsiveness::balanced);
    notch.scheduleHoverExpand();
    EXPECT_TRUE(notch.isHoverExpandPending());
    h.scheduler.advance(Seconds(0.17));
    EXPECT_FALSE(notch.isExpanded());
    h.scheduler.advance(Seconds(0.01));
    EXPECT_TRUE(notch.isExpanded());
    EXPECT_TRUE(notch.isTargetExpanded());
    // Entering again while open schedules nothing.
    notch.scheduleHoverExpand();
    EXPECT_FALSE(notch.isHoverExpandPending());

    notch.collapse();
    h.scheduler.advance(Seconds(1));
    EXPECT_FALSE(notch.isExpanded());
    h.preferences.setNotchResponsiveness(NotchResponsiveness::careful);
    notch.scheduleHoverExpand();
    h.scheduler.advance(Seconds(0.35));
    EXPECT_FALSE(notch.isTargetExpanded());
    // Leaving within the delay: nothing opens.
    notch.cancelPendingHoverExpand();
    h.scheduler.advance(Seconds(1));
    EXPECT_FALSE(notch.isTargetExpanded());
    notch.scheduleHoverExpand();
    h.scheduler.advance(Seconds(0.36));
    EXPECT_TRUE(notch.isTargetExpanded());
    notch.collapse();
    h.scheduler.advance(Seconds(1));

    // Instant opens at once, through the surface's pointer entry.
    h.preferences.setNotchResponsiveness(NotchResponsiveness::instant);
    QWidget* surface = panel().contentView();
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->accessibleName(), QStringLiteral("Vantrel notch"));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(surface, &enter);
    EXPECT_TRUE(notch.isTargetExpanded());
    notch.collapse();
    h.scheduler.advance(Seconds(1));
    // With "Open when the pointer enters" off, entering opens nothing.
    h.preferences.setNotchAutoExpand(false);
    QCoreApplication::sendEvent(surface, &enter);
    EXPECT_FALSE(notch.isTargetExpanded());

    // Compact with the pointer away: nothing is scheduled.
    EXPECT_EQ(h.scheduler.pendingCount(), idle);
}

TEST_F(NotchTest, LeavingClosesByTheCollapseSetting) {
    notch.show();
    notch.expand(std::nullopt, false);
    h.scheduler.advance(Seconds(1));

    // Short delay: 0.42 seconds, and coming back within it keeps the panel open.
    notch.scheduleCollapse();
    h.scheduler.advance(Seconds(0.41));
    EXPECT_TRUE(notch.isTargetExpanded());
    notch.cancelPendingCollapse();
    h.scheduler.advance(Seconds(1));
    EXPECT_TRUE(notch.isTargetExpanded());
    notch.scheduleCollapse();
    h.scheduler.advance(Seconds(0.42));
    EXPECT_FALSE(notch.isTargetExpanded());
    // Closing: the surface keeps its expanded content until the mask has shrunk.
    EXPECT_TRUE(notch.isExpanded());
    h.scheduler.advance(Seconds(0.25));
    EXPECT_FALSE(notch.isExpanded());

    h.preferences.setNotchCollapseBehavior(NotchCollapseBehavior::immediate);
    notch.expand(std::nullopt, false);
    h.scheduler.advance(Seconds(1));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(panel().contentView(), &leave);
    EXPECT_FALSE(notch.isTargetExpanded());
    h.scheduler.advance(Seconds(1));

    h.preferences.setNotchCollapseBehavior(NotchCollapseBehavior::manual);
    notch.expand(std::nullopt, false);
    notch.scheduleCollapse();
    h.scheduler.advance(Seconds(60));
    EXPECT_TRUE(notch.isExpanded());

    // The behaviour is read from the settings at each leave: switched while open, it counts.
    h.preferences.setNotchCollapseBehavior(NotchCollapseBehavior::immediate);
    notch.scheduleCollapse();
    EXPECT_FALSE(notch.isTargetExpanded());
}

TEST_F(NotchTest, OpeningAndClosingPlayTheirHapticsOnce) {
    notch.show();
    // From compact, a tab changes silently and only the notch pattern plays (detent).
    notch.expand(NotchTab::clipboard, false);
    EXPECT_EQ(notch.selectedTab(), NotchTab::clipboard);
    h.scheduler.advance(Seconds(1));
    EXPECT_EQ(pulses(), (QStringList{"alignment", "levelChange"}));
    EXPECT_EQ(notch.lastLayout()->expandedFrame, QRectF(346, 0, 820, 470));

    // Open: the same tab or no tab plays nothing.
    h.hapticPerformer.clear();
    notch.expand(NotchTab::clipboard, false);
    notch.expand(std::nullopt, false);
    h.scheduler.advance(Seconds(1));
    EXPECT_TRUE(pulses().isEmpty());

    // Another tab of the same height: the controls pattern (click), no new frame.
    notch.expand(NotchTab::files, false);
    EXPECT_EQ(notch.frameAnimation(), nullptr);
    EXPECT_EQ(notch.presentationAnimation(), nullptr);
    h.scheduler.advance(Seconds(1));
    EXPECT_EQ(pulses(), (QStringList{"generic", "levelChange"}));

    // A tab of another height re-frames the panel with the 0.16-second frame animation.
    h.hapticPerformer.clear();
    notch.expand(NotchTab::note, true);
    ASSERT_NE(notch.frameAnimation(), nullptr);
    EXPECT_EQ(notch.frameAnimation()->duration(), 160);
    notch.frameAnimation()->setCurrentTime(160);
    EXPECT_EQ(panel().geometry(), QRect(346, 0, 820, 270));
    h.scheduler.advance(Seconds(1));
    EXPECT_EQ(pulses(), (QStringList{"generic", "levelChange"}));

    // Closing: the alignment pulse once; closing again plays nothing.
    h.hapticPerformer.clear();
    notch.collapse();
    notch.collapse();
    h.scheduler.advance(Seconds(1));
    EXPECT_EQ(pulses(), QStringList{"alignment"});
    // With interface haptics off, nothing at all.
    h.hapticPerformer.clear();
    h.preferences.setInterfaceHapticsEnabled(false);
    notch.expand(std::nullopt, false);
    notch.collapse();
    h.scheduler.advance(Seconds(1));
    EXPECT_TRUE(pulses().isEmpty());
}

TEST_F(NotchTest, TheMaskGrowsFromTheNotchAndShrinksBackFromWhereItIs) {
    using Mask = NotchPanelController::MaskShape;
    notch.show();
    const QString number = panelNumber();
    notch.expand(std::nullopt, false);
    // The window takes the expanded frame at once; the mask starts notch-sized.
    EXPECT_EQ(panel().geometry(), QRect(346, 0, 820, 104));
    EXPECT_TRUE(notch.isExpanded());
    QVariantAnimation* opening = notch.presentationAnimation();
    ASSERT_NE(opening, nullptr);
    EXPECT_EQ(opening->duration(), 250);
    EXPECT_EQ(notch.presentationMask(), (Mask{QSizeF(185, 32), 13.76}));
    // Eased (0.42, 0, 0.58, 1): symmetric, so half way in time is half way in size.
    opening->setCurrentTime(125);
    const Mask halfway = *notch.presentationMask();
    EXPECT_NEAR(halfway.size.width(), 502.5, 0.5);
    EXPECT_NEAR(halfway.size.height(), 68, 0.5);
    EXPECT_NEAR(halfway.radius, 18.88, 0.05);
    EXPECT_EQ(records(DiagnosticsCategory::notchAnimation).last(),
              QStringLiteral("panel=%1 start generation=1 target=expanded edge-mask source=(0, 0, 185, 32) "
                             "destination=(0, 0, 820, 104)")
                  .arg(number));

    // Closing half way: from the in-flight shape, and the opening's end does nothing.
    // Watched rather than compared by address: an allocator may hand the freed opening's memory
    // straight to the closing animation.
    const QPointer<QVariantAnimation> openingWatch(opening);
    notch.collapse();
    EXPECT_TRUE(openingWatch.isNull());
    QVariantAnimation* closing = notch.presentationAnimation();
    ASSERT_NE(closing, nullptr);
    EXPECT_EQ(closing->state(), QAbstractAnimation::Running);
    EXPECT_EQ(closing->currentTime(), 0);
    EXPECT_EQ(notch.presentationMask(), halfway);
    EXPECT_TRUE(records(DiagnosticsCategory::notchAnimation).last().contains(u"generation=2 target=compact"));
    closing->setCurrentTime(250);
    EXPECT_EQ(notch.presentationMask(), (Mask{QSizeF(185, 32), 13.76}));
    EXPECT_TRUE(notch.isExpanded());
    h.scheduler.advance(Seconds(0.25));
    EXPECT_FALSE(notch.isExpanded());
    EXPECT_FALSE(notch.presentationMask());
    EXPECT_EQ(panel().geometry(), QRect(664, 0, 185, 32));
    const QStringList animation = records(DiagnosticsCategory::notchAnimation);
    EXPECT_EQ(animation.filter(u"finish").size(), 1);
    EXPECT_EQ(
        animation.last(),
        QStringLiteral("panel=%1 finish generation=2 expanded=false frame=(664, 0, 185, 32)").arg(number));

    // An open panel closes from the expanded shape; reduced motion takes 0.12 seconds.
    h.appearance.setReduceMotion(true);
    QCoreApplication::processEvents();
    notch.expand(std::nullopt, false);
    EXPECT_EQ(notch.presentationAnimation()->duration(), 120);
    h.scheduler.advance(Seconds(0.12));
    EXPECT_FALSE(notch.presentationMask());
    EXPECT_EQ(panel().geometry(), QRect(346, 0, 820, 104));
    notch.collapse();
    EXPECT_EQ(notch.presentationMask(), (Mask{QSizeF(820, 104), 24}));
    h.scheduler.advance(Seconds(0.12));
    EXPECT_EQ(panel().geometry(), QRect(664, 0, 185, 32));
    // An animated re-frame under reduced motion takes 0.1 seconds.
    notch.expand(std::nullopt, false);
    h.scheduler.advance(Seconds(0.12));
    h.preferences.setNotchSize(NotchSize::large);
    notch.reposition(true);
    ASSERT_NE(notch.frameAnimation(), nullptr);
    EXPECT_EQ(notch.frameAnimation()->duration(), 100);
    EXPECT_EQ(notch.presentationAnimation(), nullptr);
}

TEST_F(NotchTest, ATabOfAnotherHeightDuringTheOpeningRetargetsTheMask) {
    notch.show();
    notch.expand(std::nullopt, false);
    notch.presentationAnimation()->setCurrentTime(125);
    const auto halfway = *notch.presentationMask();
    notch.expand(NotchTab::calendar, false);
    EXPECT_EQ(notch.presentationMask(), halfway);
    EXPECT_EQ(panel().geometry(), QRect(346, 0, 820, 470));
    h.scheduler.advance(Seconds(0.25));
    EXPECT_TRUE(notch.isExpanded());
    EXPECT_FALSE(notch.presentationMask());
    EXPECT_EQ(panel().geometry(), QRect(346, 0, 820, 470));
}

TEST_F(NotchTest, TheDisplayGoesAndComesBack) {
    const ScreenInfo other = notchedScreen(2, QRect(1512, 0, 1920, 1080), 200, 38);
    h.screens.set({builtIn(), other}, builtIn());
    notch.show();
    notch.expand(std::nullopt, false);
    h.scheduler.advance(Seconds(1));

    // The display in use goes while another notched one stays: the panel moves there at once,
    // still open, without animation.
    h.screens.set({other}, other);
    EXPECT_TRUE(notch.isExpanded());
    EXPECT_EQ(panel().geometry(), QRect(2062, 0, 820, 104));
    EXPECT_EQ(notch.frameAnimation(), nullptr);
    EXPECT_EQ(notch.presentationAnimation(), nullptr);
    EXPECT_EQ(notch.topBridgeHeight(), 38);

    // The last notched display goes: ordered out, closed, kept.
    const QString number = panelNumber();
    h.screens.set({plainScreen(3, QRect(0, 0, 1920, 1080))}, std::nullopt);
    ASSERT_TRUE(notch.hasPanel());
    EXPECT_FALSE(panel().isVisible());
    EXPECT_FALSE(notch.isExpanded());
    EXPECT_FALSE(notch.isTargetExpanded());
    EXPECT_FALSE(notch.hasPhysicalNotch());
    EXPECT_EQ(records(DiagnosticsCategory::notchIntent).last(),
              "hidden: active display has no physical notch");
    EXPECT_EQ(
        records(DiagnosticsCategory::notchFrame).last(),
        QStringLiteral("panel=%1 retained reason=screen-parameters visible=false frame=(2062, 0, 820, 104)")
            .arg(number));

    // It comes back compact without a user action; a workspace switch re-places it too.
    h.screens.set({builtIn()}, builtIn());
    EXPECT_TRUE(panel().isVisible());
    EXPECT_FALSE(notch.isExpanded());
    EXPECT_EQ(panel().geometry(), QRect(664, 0, 185, 32));
    h.screens.switchWorkspace();
    EXPECT_EQ(records(DiagnosticsCategory::notchFrame).last(),
              QStringLiteral("panel=%1 retained reason=active-space visible=true frame=(664, 0, 185, 32)")
                  .arg(number));
}

TEST_F(NotchTest, ShowHideAndTheMendedEdges) {
    // Without a panel, repositioning hides as for a display without a notch: its record, and the
    // alert dot ordered out. The screens are still followed.
    h.alerts.recordVantrelEvent(QStringLiteral("Timer finished"), true);
    ASSERT_TRUE(notch.notificationIndicator().panel()->isVisible());
    notch.reposition(true);
    EXPECT_FALSE(notch.hasPanel());
    EXPECT_EQ(records(DiagnosticsCategory::notchIntent),
              QStringList{"hidden: active display has no physical notch"});
    EXPECT_FALSE(notch.notificationIndicator().panel()->isVisible());
    EXPECT_FALSE(notch.isExpanded());
    h.alerts.setPendingEvents({});
    h.screens.set({plainScreen(3, QRect(0, 0, 1920, 1080))}, std::nullopt);
    EXPECT_FALSE(notch.hasPhysicalNotch());
    EXPECT_FALSE(notch.hasPanel());

    // No notch display: opening still plays the notch pulse (detent) before it finds nothing to
    // present, and the panel stays out.
    notch.show();
    notch.expand(std::nullopt, true);
    EXPECT_FALSE(notch.isExpanded());
    EXPECT_FALSE(notch.isTargetExpanded());
    h.scheduler.advance(Seconds(1));
    EXPECT_EQ(pulses(), (QStringList{"alignment", "levelChange"}));
    EXPECT_FALSE(panel().isVisible());
    // Every expand from closed plays it again.
    h.hapticPerformer.clear();
    notch.expand(std::nullopt, false);
    h.scheduler.advance(Seconds(1));
    EXPECT_EQ(pulses(), (QStringList{"alignment", "levelChange"}));

    h.screens.set({builtIn()}, builtIn());
    VantrelPanel* first = notch.panel();
    notch.show();
    EXPECT_EQ(notch.panel(), first);
    notch.expand(NotchTab::system, false);
    notch.hide();
    EXPECT_FALSE(notch.hasPanel());
    EXPECT_FALSE(notch.isExpanded());
    // The opening's end after hide does nothing.
    h.scheduler.advance(Seconds(1));
    EXPECT_FALSE(notch.isExpanded());
    notch.show();
    EXPECT_NE(notch.panel(), first);
    EXPECT_EQ(panel().geometry(), QRect(664, 0, 185, 32));
    EXPECT_EQ(notch.selectedTab(), NotchTab::system);
}

TEST_F(NotchTest, TheKeyboardFocusGoesBackWhenThePanelCloses) {
    notch.show();
    notch.expand(std::nullopt, false);
    h.scheduler.advance(Seconds(1));
    // The window the user types in (the offscreen desktop activates every window it shows, so the
    // panel is only shown before this one is made active).
    QWidget window;
    window.setGeometry(100, 200, 300, 200);
    window.show();
    window.activateWindow();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window.isActiveWindow());

    notch.expand(NotchTab::note, true);
    QCoreApplication::processEvents();
    EXPECT_TRUE(panel().isKey());
    notch.collapse();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.isActiveWindow());
    EXPECT_FALSE(panel().isKey());
}

TEST_F(NotchTest, TheSurfaceFillsThePanelToItsEdges) {
    notch.show();
    notch.expand(NotchTab::home, false);
    h.scheduler.advance(Seconds(1));
    QCoreApplication::processEvents();
    ASSERT_NE(panel().contentView(), nullptr);
    EXPECT_EQ(panel().contentView()->geometry(), QRect(QPoint(), panel().size()));
    // Named for the tools that inspect the application's windows, titled for the desktop's lists.
    EXPECT_EQ(panel().objectName(), "vantrel.notch");
    EXPECT_EQ(panel().windowTitle(), "Vantrel Notch");
}

TEST_F(NotchTest, TheKeyboardFocusGoesBackToTheWindowOfAnotherProgram) {
    notch.show();
    notch.expand(std::nullopt, false);
    h.scheduler.advance(Seconds(1));
    // Another program's window holds the desktop's focus when the panel asks for it.
    h.inputFocus.focused = 0x2a00007;
    notch.expand(NotchTab::note, true);
    QCoreApplication::processEvents();
    ASSERT_TRUE(panel().isKey());
    // Asked of the desktop at its current time: a request stamped with the last event the
    // application saw is refused once the focus has changed since.
    const auto own = static_cast<quint32>(panel().winId());
    EXPECT_EQ(h.inputFocus.given, std::vector<quint32>{own});
    notch.collapse();
    QCoreApplication::processEvents();
    EXPECT_EQ(h.inputFocus.given, (std::vector<quint32>{own, 0x2a00007}));
    // Closing again hands nothing on: the panel no longer holds the focus.
    notch.collapse();
    EXPECT_EQ(h.inputFocus.given.size(), 2u);

    // Opened without taking the focus, then typed into by the user's own choice: the panel took
    // nothing, so closing leaves the keyboard where the user put it.
    stores.notes.add();
    notch.expand(NotchTab::note, false);
    h.scheduler.advance(Seconds(1));
    panel().activateWindow();
    QCoreApplication::processEvents();
    ASSERT_TRUE(panel().isKey());
    auto* editor = panel().findChild<QPlainTextEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), editor);
    notch.collapse();
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), editor);
    EXPECT_EQ(h.inputFocus.given.size(), 2u);
}

// A panel opened with the keys closes when a click lands outside it, handing the keys back as
// Escape does, and when another window takes the focus, leaving the keys there; a click on the
// panel itself is its own, and a panel opened by the pointer watches no click.
TEST_F(NotchTest, APanelHoldingTheKeysClosesOnAClickOutsideOrWhenAnotherWindowTakesTheFocus) {
    notch.show();
    notch.expand(std::nullopt, false);
    h.scheduler.advance(Seconds(1));
    EXPECT_FALSE(notch.holdsKeys());
    ASSERT_EQ(h.eventMonitors.count(), 1u);
    h.screens.pointer = QPoint(1400, 900);
    h.eventMonitors.post(InputEventType::leftMouseDown);
    EXPECT_TRUE(notch.isTargetExpanded()) << "opened by the pointer, it closes as the pointer leaves";
    notch.collapse();
    h.scheduler.advance(Seconds(1));

    h.inputFocus.focused = 0x2a00007;
    notch.expand(NotchTab::home, true);
    h.scheduler.advance(Seconds(1));
    QCoreApplication::processEvents();
    ASSERT_TRUE(panel().isKey());
    EXPECT_TRUE(notch.holdsKeys());
    h.screens.pointer = panel().geometry().center();
    h.eventMonitors.post(InputEventType::leftMouseDown);
    EXPECT_TRUE(notch.isTargetExpanded()) << "a click on the panel";
    // A click on the desktop: closed at once; the keys go back as on Escape once no window has
    // taken them in the quarter second the window manager is given.
    h.screens.pointer = QPoint(1400, 900);
    h.eventMonitors.post(InputEventType::rightMouseDown);
    EXPECT_FALSE(notch.isTargetExpanded()) << "a click on the desktop";
    EXPECT_FALSE(notch.holdsKeys());
    const auto own = static_cast<quint32>(panel().winId());
    h.scheduler.advance(Seconds(0.2));
    EXPECT_EQ(h.inputFocus.given, std::vector<quint32>{own});
    h.scheduler.advance(Seconds(0.05));
    EXPECT_EQ(h.inputFocus.given, (std::vector<quint32>{own, 0x2a00007}));
    h.scheduler.advance(Seconds(1));

    // A click into another window, which the window manager activates: closed, the keys left
    // with that window.
    QWidget other;
    other.setGeometry(100, 500, 300, 200);
    for (const bool clicked : {true, false}) {
        other.hide();
        notch.expand(NotchTab::files, true);
        h.scheduler.advance(Seconds(1));
        QCoreApplication::processEvents();
        ASSERT_TRUE(panel().isKey());
        if (clicked) h.eventMonitors.post(InputEventType::leftMouseDown);
        other.show();
        other.activateWindow();
        h.inputFocus.focused = 0x3a00001; // the desktop moved the keys with it
        QCoreApplication::processEvents();
        ASSERT_TRUE(other.isActiveWindow());
        EXPECT_FALSE(notch.isTargetExpanded()) << "another window took the focus";
        EXPECT_FALSE(notch.holdsKeys());
        h.scheduler.advance(Seconds(1));
        QCoreApplication::processEvents();
        EXPECT_TRUE(other.isActiveWindow()) << "the keys stay where the user put them";
        ASSERT_FALSE(h.inputFocus.given.empty());
        EXPECT_EQ(h.inputFocus.given.back(), own) << "nothing handed back";
    }
}

TEST_F(NotchTest, RendersOfTheOpeningShowTheMaskAndNothingOutsideIt) {
    // The midnight look: black wherever the mask lets the surface through.
    h.preferences.setNotchAppearance(NotchAppearance::midnight);
    notch.show();
    // Compact: a black cap, its lower corners rounded.
    QImage compact = render();
    EXPECT_EQ(compact.size(), QSize(185, 32));
    EXPECT_EQ(compact.pixelColor(92, 16), QColor(Qt::black));
    EXPECT_EQ(compact.pixelColor(0, 31).alpha(), 0);

    notch.expand(std::nullopt, false);
    QPointer<QVariantAnimation> opening = notch.presentationAnimation();
    QImage sheet(820, 3 * 114, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(90, 120, 160));
    QPainter painter(&sheet);
    struct Probe {
        int time;
        QPoint inside;
        QPoint outside;
    };
    // At the start the mask is the notch (185 by 32, centred); half way about 502 by 68; at the
    // end the whole 820 by 104 with corners of 24.
    const Probe probes[] = {{0, QPoint(410, 30), QPoint(410, 40)},
                            {125, QPoint(410 - 240, 60), QPoint(410 - 260, 20)},
                            {250, QPoint(30, 100), QPoint(1, 103)}};
    for (int i = 0; i < 3; ++i) {
        opening->setCurrentTime(probes[i].time);
        const QImage frame = render();
        ASSERT_EQ(frame.size(), QSize(820, 104));
        EXPECT_EQ(frame.pixelColor(probes[i].inside), QColor(Qt::black)) << probes[i].time;
        EXPECT_EQ(frame.pixelColor(probes[i].outside).alpha(), 0) << probes[i].time;
        EXPECT_EQ(frame.pixelColor(410, 1), QColor(Qt::black)) << probes[i].time;
        painter.drawImage(0, i * 114, frame);
    }
    painter.end();
    sheet.save(QDir::temp().filePath(QStringLiteral("vantrel-notch-opening.png")));

    // The window shows and takes clicks only inside the outline.
    notch.collapse();
    h.scheduler.advance(Seconds(1));
    notch.expand(std::nullopt, false);
    EXPECT_TRUE(panel().mask().contains(QPoint(410, 16)));
    EXPECT_FALSE(panel().mask().contains(QPoint(100, 16)));
    EXPECT_FALSE(panel().mask().contains(QPoint(410, 50)));
}

TEST_F(NotchTest, AtRestThePanelShowsAndTakesThePointerOnlyWhereTheSurfaceIs) {
    h.preferences.setNotchAppearance(NotchAppearance::midnight);
    notch.show();
    // Compact: the cap's top corners are square, its bottom corners of 13.76 rounded away.
    const QRegion cap = panel().mask();
    for (QPoint p : {QPoint(0, 0), QPoint(184, 0), QPoint(92, 31)})
        EXPECT_TRUE(cap.contains(p)) << p.x() << p.y();
    for (QPoint p : {QPoint(0, 31), QPoint(184, 31)}) EXPECT_FALSE(cap.contains(p)) << p.x() << p.y();
    const QImage compact = render();
    compact.save(QDir::temp().filePath(QStringLiteral("vantrel-notch-cap.png")));
    EXPECT_EQ(compact.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(compact.pixelColor(184, 0), QColor(Qt::black));
    EXPECT_EQ(compact.pixelColor(0, 31).alpha(), 0);

    // Open and at rest (820 by 104 under a 185 by 32 notch): the neck is 185 wide and its
    // shoulders meet the body at y 32; the band beside the neck lets the pointer through.
    notch.expand(std::nullopt, false);
    h.scheduler.advance(Seconds(1));
    ASSERT_FALSE(notch.presentationMask());
    const QRegion open = panel().mask();
    EXPECT_TRUE(open.contains(QPoint(410, 1)));
    EXPECT_TRUE(open.contains(QPoint(410 - 92, 16)));
    EXPECT_FALSE(open.contains(QPoint(410 - 94 - 23, 16)));
    EXPECT_FALSE(open.contains(QPoint(200, 16)));
    EXPECT_FALSE(open.contains(QPoint(700, 16)));
    // The band's last row, right over the shoulder line, is the band's too.
    EXPECT_FALSE(open.contains(QPoint(200, 31)));
    EXPECT_TRUE(open.contains(QPoint(200, 32)));
    EXPECT_TRUE(open.contains(QPoint(410, 103)));
    // The outer corners of 24 are rounded away.
    EXPECT_FALSE(open.contains(QPoint(0, 103)));
    EXPECT_FALSE(open.contains(QPoint(819, 33)));
    const QImage expanded = render();
    expanded.save(QDir::temp().filePath(QStringLiteral("vantrel-notch-open.png")));
    EXPECT_EQ(expanded.pixelColor(200, 16).alpha(), 0);
    EXPECT_EQ(expanded.pixelColor(410, 16), QColor(Qt::black));

    // While it closes, the mask passes over the band but the band stays out: a pointer resting
    // there does not enter the closing panel (and open it again).
    notch.collapse();
    for (int time : {0, 60, 125, 200}) {
        notch.presentationAnimation()->setCurrentTime(time);
        for (int x : {100, 200, 290, 530, 700})
            EXPECT_FALSE(panel().mask().contains(QPoint(x, 16))) << time << " " << x;
        EXPECT_TRUE(panel().mask().contains(QPoint(410, 16))) << time;
    }
    // Closed again, the cap's square corners come back.
    h.scheduler.advance(Seconds(1));
    EXPECT_TRUE(panel().mask().contains(QPoint(0, 0)));
}

TEST_F(NotchTest, HoverOpensWithoutTheKeyboardAndAStrayFrameIsPutRight) {
    // Opening before the panel exists finds nothing to present: it stays closed.
    notch.expand(std::nullopt, false);
    EXPECT_FALSE(notch.isExpanded());
    EXPECT_FALSE(notch.isTargetExpanded());

    // An instant hover opens at once but leaves the keyboard where it is; a click takes it.
    h.preferences.setNotchResponsiveness(NotchResponsiveness::instant);
    notch.show();
    // The window the user types in (shown after the panel: the offscreen desktop activates every
    // window it shows).
    QWidget window;
    window.setGeometry(100, 200, 300, 200);
    window.show();
    window.activateWindow();
    QCoreApplication::processEvents();
    ASSERT_TRUE(window.isActiveWindow());
    notch.scheduleHoverExpand();
    QCoreApplication::processEvents();
    EXPECT_TRUE(notch.isTargetExpanded());
    EXPECT_TRUE(window.isActiveWindow());
    EXPECT_FALSE(panel().isKey());
    notch.collapse();
    h.scheduler.advance(Seconds(1));
    notch.expand(std::nullopt, true);
    QCoreApplication::processEvents();
    EXPECT_TRUE(panel().isKey());
    h.scheduler.advance(Seconds(1));

    // A frame one point off the expanded one is set right when a presentation starts (half a
    // point or more counts).
    for (const QRect& stray : {QRect(347, 0, 820, 104), QRect(346, 1, 820, 104), QRect(346, 0, 821, 104),
                               QRect(346, 0, 820, 105)}) {
        panel().setFrame(stray);
        notch.collapse();
        EXPECT_EQ(panel().geometry(), QRect(346, 0, 820, 104)) << stray.x() << stray.y() << stray.width();
        notch.expand(std::nullopt, false);
        h.scheduler.advance(Seconds(1));
    }
}

namespace {

// Pixels of `region` whose centres lie outside `outline`: antialiased edge pixels.
int edgePixels(const QRegion& region, const QPainterPath& outline) {
    int count = 0;
    for (const QRect& rect : region)
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                if (!outline.contains(QPointF(x + 0.5, y + 0.5))) ++count;
    return count;
}

// Pixels of `region` that `image` does not paint fully opaque: without a compositor they would
// show dark over whatever lies below.
int seeThroughPixels(const QImage& image, const QRegion& region) {
    int count = 0;
    for (const QRect& rect : region)
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                if (image.pixelColor(x, y).alpha() != 255) ++count;
    return count;
}

} // namespace

TEST_F(NotchTest, WithoutACompositorThePanelIsShapedToThePixelsItsOutlineFills) {
    h.preferences.setNotchAppearance(NotchAppearance::midnight);
    notch.show();
    notch.expand(std::nullopt, false);
    h.scheduler.advance(Seconds(1));
    // The open outline under a 185 by 32 notch, 820 by 104.
    const QPainterPath outline = NotchPanelShape::expandedOutline(QSizeF(820, 104), {true, 185, 32});

    // With a compositor the window keeps the pixels its edge only touches, blended smooth.
    const QRegion blended = panel().mask();
    EXPECT_GT(edgePixels(blended, outline), 100);

    // Without one, only the pixels the outline fills, each drawn solid: nothing half clear that
    // would show black, and the band beside the neck stays out.
    const WId window = panel().winId();
    h.compositor.setCompositing(false);
    // Its window made again for the desktop it now draws on, and shown as before.
    EXPECT_NE(panel().winId(), window);
    EXPECT_TRUE(panel().isVisible());
    EXPECT_EQ(panel().geometry(), QRect(346, 0, 820, 104));
    const QRegion solid = panel().mask();
    EXPECT_LT(edgePixels(solid, outline) * 4, edgePixels(blended, outline));
    EXPECT_EQ(solid.subtracted(blended), QRegion());
    EXPECT_NE(solid, blended);
    for (QPoint p : {QPoint(410, 1), QPoint(410 - 92, 16), QPoint(200, 32), QPoint(410, 103)})
        EXPECT_TRUE(solid.contains(p)) << p.x() << " " << p.y();
    for (QPoint p : {QPoint(200, 16), QPoint(700, 16), QPoint(0, 103)})
        EXPECT_FALSE(solid.contains(p)) << p.x() << " " << p.y();
    const int clearWithoutCompositor = seeThroughPixels(render(), solid);

    // A compositor that starts again gets the smooth edge back: the edge's partly covered pixels
    // drawn part clear, for the compositor to mix with what lies below.
    h.compositor.setCompositing(true);
    EXPECT_EQ(panel().mask(), blended);
    EXPECT_LT(clearWithoutCompositor, seeThroughPixels(render(), blended));

    // Closing and opening again without one: the shape follows the growing mask frame by frame.
    h.compositor.setCompositing(false);
    notch.collapse();
    h.scheduler.advance(Seconds(1));
    EXPECT_EQ(panel().mask().boundingRect(), QRect(0, 0, 185, 32));
    notch.expand(std::nullopt, false);
    QPointer<QVariantAnimation> opening = notch.presentationAnimation();
    ASSERT_TRUE(opening);
    int previous = 0;
    for (int time : {0, 60, 125, 190, 250}) {
        opening->setCurrentTime(time);
        const QRegion mask = panel().mask();
        int area = 0;
        for (const QRect& rect : mask) area += rect.width() * rect.height();
        EXPECT_GT(area, previous) << time;
        previous = area;
        EXPECT_TRUE(mask.contains(QPoint(410, 1))) << time;
        // At the start the notch's 185 by 32 centred in the 820 wide window.
        if (time == 0) {
            EXPECT_EQ(mask.boundingRect(), QRect(318, 0, 185, 32));
        }
    }
    // At the end the open outline's full width.
    EXPECT_GE(panel().mask().boundingRect().width(), 818);
}

TEST_F(NotchTest, ThePanelAndItsDotAreKeptAboveOtherWindowsAndRaisedWhenOpened) {
    notch.show();
    ASSERT_EQ(h.stacking.kept().size(), 1);
    EXPECT_EQ(h.stacking.kept().front(), notch.panel());
    const int shown = h.stacking.requests();
    // Opening raises it again, over whatever window rose over it meanwhile.
    notch.expand(std::nullopt, false);
    EXPECT_GT(h.stacking.requests(), shown);

    // The dot is kept too, over its glow; without a compositor the glow, which would show as a
    // dark disc, is not shown.
    h.alerts.recordVantrelEvent(QStringLiteral("Timer finished"), true);
    QWidget* dot = notch.notificationIndicator().panel();
    ASSERT_TRUE(dot && dot->isVisible());
    ASSERT_FALSE(h.stacking.kept().empty());
    EXPECT_EQ(h.stacking.kept().back(), dot);
    QWidget* glow = notch.notificationIndicator().shadowWindow();
    ASSERT_TRUE(glow);
    EXPECT_TRUE(glow->isVisible());
    h.compositor.setCompositing(false);
    notch.reposition(false);
    EXPECT_FALSE(glow->isVisible());
    EXPECT_TRUE(dot->isVisible());

    // Hidden and released, a panel is no longer kept.
    QPointer<VantrelPanel> released = notch.panel();
    notch.hide();
    QCoreApplication::sendPostedEvents(released, QEvent::DeferredDelete);
    EXPECT_FALSE(released);
    ASSERT_EQ(h.stacking.kept().size(), 1);
    EXPECT_EQ(h.stacking.kept().front(), dot);
}

// Opened by the pointer, or by a drop from another program, the panel becomes the key window at a
// click anywhere in it, and when the large-file alert comes up in it; Escape hands the keys back.
TEST_F(NotchTest, AClickInTheOpenPanelOrTheLargeFileAlertAfterADropGivesThePanelTheKeys) {
    notch.show();
    // The window the user types in (the offscreen desktop activates every window it shows).
    QWidget window;
    window.setGeometry(100, 500, 300, 200);
    const auto typeElsewhere = [&] {
        window.show();
        window.activateWindow();
        QCoreApplication::processEvents();
        h.inputFocus.focused = 0x2a00007;
        return window.isActiveWindow();
    };
    const auto own = static_cast<quint32>(panel().winId());
    ASSERT_TRUE(typeElsewhere());
    notch.expand(NotchTab::home, false);
    h.scheduler.advance(Seconds(1));
    QCoreApplication::processEvents();
    ASSERT_FALSE(panel().isKey());
    NotchSurfaceButton* calendar = nullptr;
    for (NotchSurfaceButton* button : panel().findChildren<NotchSurfaceButton*>())
        if (button->isVisible() && button->toolTip() == "Calendar") calendar = button;
    ASSERT_NE(calendar, nullptr);
    QTest::mouseClick(panel().windowHandle(), Qt::LeftButton, {},
                      calendar->mapTo(&panel(), calendar->rect().center()));
    QCoreApplication::processEvents();
    EXPECT_EQ(notch.selectedTab(), NotchTab::calendar);
    EXPECT_TRUE(panel().isKey()) << "a click on a rail button";
    EXPECT_TRUE(notch.holdsKeys());
    EXPECT_EQ(h.inputFocus.given, std::vector<quint32>{own});
    QTest::keyClick(&panel(), Qt::Key_Escape);
    EXPECT_FALSE(notch.isTargetExpanded());
    EXPECT_EQ(h.inputFocus.given, (std::vector<quint32>{own, 0x2a00007}));
    h.scheduler.advance(Seconds(1));

    // A file dragged over the notch opens the Files tab without the keys; the first large file
    // dropped raises the alert, which takes them, "Got it" focused.
    ASSERT_TRUE(typeElsewhere());
    notch.expand(NotchTab::files, false);
    h.scheduler.advance(Seconds(1));
    QCoreApplication::processEvents();
    ASSERT_FALSE(panel().isKey());
    QFile large(h.home.writeFile(QStringLiteral("render.mov"), "abc"));
    ASSERT_TRUE(large.resize(524'288'001));
    stores.fileShelf.add({QUrl::fromLocalFile(large.fileName())});
    notch.expand(NotchTab::files, false);
    QCoreApplication::processEvents();
    auto* files = panel().findChild<NotchFilesView*>();
    ASSERT_NE(files, nullptr);
    ASSERT_NE(files->noticeButton(), nullptr);
    EXPECT_TRUE(panel().isKey()) << "the alert after a drop";
    EXPECT_TRUE(notch.holdsKeys());
    EXPECT_EQ(QApplication::focusWidget(), files->noticeButton());
    ASSERT_FALSE(h.inputFocus.given.empty());
    EXPECT_EQ(h.inputFocus.given.back(), own);
}

// "Add App" opens its chooser over the open notch, which stays open under it while the pointer
// goes there; after Escape, or Add, the keys come back to "Add App", though the desktop hands
// them to another window of the program as the chooser goes. Opened from the keyboard, "Add App"
// pressed with Space; opened by the pointer, clicked.
TEST_F(NotchTest, TheNotchStaysOpenUnderItsOwnChooserAndGivesTheKeysBackToAddApp) {
    h.workspace.applications[QStringLiteral("/apps/Atlas.desktop")] = {QStringLiteral("Atlas"), QString(),
                                                                       true};
    FakeOpenPanel files;
    ApplicationChooserPanel chooser{files, h.workspace, [] { return QColor(10, 132, 255); }};
    h.openPanel.opensIn = &chooser;
    notch.show();
    QWidget controlCenter;
    controlCenter.setGeometry(100, 500, 300, 200);
    const auto own = static_cast<quint32>(panel().winId());

    for (const bool byPointer : {false, true}) {
        controlCenter.show();
        controlCenter.activateWindow();
        QCoreApplication::processEvents();
        h.inputFocus.focused = 0x2a00007;
        notch.expand(NotchTab::bookmarks, !byPointer);
        h.scheduler.advance(Seconds(1));
        QCoreApplication::processEvents();
        ASSERT_EQ(panel().isKey(), !byPointer);
        auto* tab = panel().findChild<NotchBookmarksView*>();
        ASSERT_NE(tab, nullptr);
        QAbstractButton* addApp = tab->addAppButton();
        bool openUnder = false;
        QTimer::singleShot(0, [&] {
            auto* open = qobject_cast<ApplicationChooser*>(QApplication::activeModalWidget());
            ASSERT_NE(open, nullptr);
            ASSERT_TRUE(QTest::qWaitForWindowActive(open));
            // The pointer goes from the notch to the chooser.
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(panel().contentView(), &leave);
            h.scheduler.advance(Seconds(2));
            openUnder = notch.isTargetExpanded();
            if (byPointer)
                QTest::keyClick(open->list(), Qt::Key_Return); // Add, with the first row
            else
                QTest::keyClick(open, Qt::Key_Escape);
        });
        if (byPointer) {
            QTest::mouseClick(panel().windowHandle(), Qt::LeftButton, {},
                              addApp->mapTo(&panel(), addApp->rect().center()));
        } else {
            addApp->setFocus(Qt::TabFocusReason);
            QTest::keyClick(addApp, Qt::Key_Space);
        }
        EXPECT_TRUE(openUnder) << byPointer;
        // The desktop moves the keys to the control center as the chooser's window goes.
        controlCenter.activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([&] { return panel().isKey(); })) << byPointer;
        h.scheduler.advance(Seconds(2));
        QCoreApplication::processEvents();
        EXPECT_TRUE(notch.isTargetExpanded()) << byPointer;
        EXPECT_EQ(QApplication::focusWidget(), addApp) << byPointer;
        // Escape closes the notch and hands the keys back to the window that had them before it.
        QTest::keyClick(&panel(), Qt::Key_Escape);
        EXPECT_FALSE(notch.isTargetExpanded()) << byPointer;
        ASSERT_FALSE(h.inputFocus.given.empty());
        EXPECT_EQ(h.inputFocus.given.front(), own) << byPointer;
        ASSERT_FALSE(h.inputFocus.given.empty()) << byPointer;
        EXPECT_EQ(h.inputFocus.given.back(), 0x2a00007u) << byPointer;
        h.inputFocus.given.clear();
        h.scheduler.advance(Seconds(1));
    }
    ASSERT_EQ(stores.bookmarks.items().size(), 1u);
    EXPECT_EQ(stores.bookmarks.items()[0].title, "Atlas");
}

// Opened by hover and clicked, the notch closes on Escape with the pointer resting on it, and
// stays closed though the desktop reports the pointer leaving and entering as the window takes
// its closed frame; once the pointer has left the notch, coming back opens it again.
TEST_F(NotchTest, EscapeClosesTheNotchUnderTheRestingPointerUntilThePointerLeavesAndComesBack) {
    notch.show();
    h.preferences.setNotchResponsiveness(NotchResponsiveness::balanced);
    QWidget* surface = panel().contentView();
    ASSERT_TRUE(notch.lastLayout());
    const QPoint onNotch = notch.lastLayout()->compactFrame.center().toPoint();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QEvent leave(QEvent::Leave);
    const auto hoverOpen = [&] {
        h.screens.pointer = onNotch;
        QCoreApplication::sendEvent(surface, &enter);
        h.scheduler.advance(Seconds(0.18));
        QCoreApplication::processEvents();
        return notch.isTargetExpanded();
    };
    ASSERT_TRUE(hoverOpen());
    QTest::mouseClick(panel().windowHandle(), Qt::LeftButton, {}, panel().mapFromGlobal(onNotch));
    ASSERT_TRUE(notch.holdsKeys());
    QTest::keyClick(&panel(), Qt::Key_Escape);
    EXPECT_FALSE(notch.isTargetExpanded());
    for (int i = 0; i < 2; ++i) {
        QCoreApplication::sendEvent(surface, &leave);
        QCoreApplication::sendEvent(surface, &enter);
    }
    h.scheduler.advance(Seconds(1));
    EXPECT_FALSE(notch.isExpanded()) << "the resting pointer opened the notch again";

    // Away from the notch and back: it opens on hover as before.
    h.screens.pointer = QPoint(700, 600);
    QCoreApplication::sendEvent(surface, &leave);
    EXPECT_TRUE(hoverOpen()) << "coming back opened nothing";

    // Escape with the pointer elsewhere (opened from the keyboard) holds nothing back.
    notch.expand(std::nullopt, true);
    h.screens.pointer = QPoint(700, 600);
    QTest::keyClick(&panel(), Qt::Key_Escape);
    h.scheduler.advance(Seconds(1));
    ASSERT_FALSE(notch.isExpanded());
    EXPECT_TRUE(hoverOpen());
}

// Clicks on the rail make the clicked tab's button the current control: Return acts on it, Tab
// goes on from it, and no ring shows on a control the keyboard did not reach.
TEST_F(NotchTest, AClickOnTheRailMakesTheClickedButtonCurrentAndLeavesNoRingElsewhere) {
    notch.show();
    // The user had walked the glance row by the keyboard before.
    notch.expand(NotchTab::home, true);
    h.scheduler.advance(Seconds(1));
    QCoreApplication::processEvents();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    notch.collapse();
    h.scheduler.advance(Seconds(1));
    notch.expand(NotchTab::home, false);
    h.scheduler.advance(Seconds(1));
    QCoreApplication::processEvents();

    const auto button = [&](const QString& title) -> NotchSurfaceButton* {
        for (NotchSurfaceButton* b : panel().findChildren<NotchSurfaceButton*>())
            if (b->isVisible() && b->toolTip() == title) return b;
        return nullptr;
    };
    const auto click = [&](const QString& title) {
        NotchSurfaceButton* b = button(title);
        if (!b) return false;
        QTest::mouseClick(panel().windowHandle(), Qt::LeftButton, {}, b->mapTo(&panel(), b->rect().center()));
        h.scheduler.advance(Seconds(1));
        QCoreApplication::processEvents();
        return true;
    };
    const auto ringed = [&] {
        QStringList names;
        for (QWidget* w : panel().findChildren<QWidget*>())
            if (KitPaint::showsFocusRing(w)) names << w->accessibleName();
        return names;
    };
    ASSERT_TRUE(click("Clipboard"));
    EXPECT_EQ(notch.selectedTab(), NotchTab::clipboard);
    ASSERT_TRUE(click("Note"));
    EXPECT_EQ(notch.selectedTab(), NotchTab::note);
    EXPECT_EQ(QApplication::focusWidget(), button("Note"));
    EXPECT_EQ(ringed(), QStringList()) << "a ring shows where nobody clicked";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(notch.isTargetExpanded());
    EXPECT_EQ(notch.selectedTab(), NotchTab::note) << "Return acted on another control";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(ringed(), QStringList{QStringLiteral("Files")}) << "Tab did not go on from Note";
}
