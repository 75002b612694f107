#include "kit/KitPaint.h"
#include "kit/VantrelType.h"
#include "modules/CalendarStore.h"
#include "modules/FileShelfStore.h"
#include "modules/MediaController.h"
#include "notch/NotchSurfaceLayout.h"
#include "notch/NotchSurfaceTestSupport.h"
#include "notch/PaintedTexts.h"

#include <QAbstractButton>
#include <QDragEnterEvent>
#include <QGraphicsOpacityEffect>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

using namespace vantrel;
using namespace vantrel::test;

namespace {

class NotchSurfaceViewTest : public NotchSurfaceTest {
protected:
    QAbstractButton* button(const QString& name) const {
        for (QAbstractButton* b : view().findChildren<QAbstractButton*>())
            if (b->accessibleName() == name && b->isVisibleTo(&view())) return b;
        return nullptr;
    }

    // Sends a drag entering the surface and then, when asked, a drop, both offering `urls`;
    // answers whether the entry and the drop were accepted.
    std::pair<bool, bool> dragAndDrop(const QList<QUrl>& urls, bool drop = true) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enterEvent(QPoint(20, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&view(), &enterEvent);
        bool dropped = false;
        if (drop) {
            QDropEvent dropEvent(QPointF(20, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&view(), &dropEvent);
            dropped = dropEvent.isAccepted();
        }
        return {enterEvent.isAccepted(), dropped};
    }
};

} // namespace

TEST_F(NotchSurfaceViewTest, TheNotchPanelHostsTheSurface) {
    ASSERT_NE(qobject_cast<NotchSurfaceView*>(controller.panel()->contentView()), nullptr);
    EXPECT_EQ(view().size(), QSize(185, 32));
    expand();
    EXPECT_EQ(view().size(), QSize(820, 104));
}

TEST_F(NotchSurfaceViewTest, MediaPollsExactlyWhileOpenOnScreen) {
    EXPECT_FALSE(stores.media.isPolling());
    expand();
    EXPECT_TRUE(stores.media.isPolling());
    controller.collapse();
    settle();
    EXPECT_FALSE(stores.media.isPolling());
    expand();
    view().hide();
    EXPECT_FALSE(stores.media.isPolling());
    // Appearing while already open starts the poll, and the look reads today's calendar.
    const std::size_t fetches = h.calendarService.windows.size();
    view().show();
    EXPECT_TRUE(stores.media.isPolling());
    EXPECT_GT(h.calendarService.windows.size(), fetches);
}

TEST_F(NotchSurfaceViewTest, CalendarRefreshesWhenTheOpenLookAppears) {
    std::size_t fetches = h.calendarService.windows.size();
    expand();
    EXPECT_EQ(h.calendarService.windows.size(), fetches + 1);
    // Switching the look brings the other one on screen.
    fetches = h.calendarService.windows.size();
    h.preferences.setNotchAppearance(NotchAppearance::midnight);
    EXPECT_EQ(h.calendarService.windows.size(), fetches + 1);
    // Other settings restyle without reading again.
    h.preferences.setAccent(Accent::mint);
    EXPECT_EQ(h.calendarService.windows.size(), fetches + 1);
    // A look switched while the notch is closed comes on screen only with the next opening.
    controller.collapse();
    settle();
    fetches = h.calendarService.windows.size();
    h.preferences.setNotchAppearance(NotchAppearance::crystal);
    EXPECT_EQ(h.calendarService.windows.size(), fetches);
}

TEST_F(NotchSurfaceViewTest, HoverSchedulesExpansionAndCollapse) {
    h.preferences.setNotchResponsiveness(NotchResponsiveness::balanced);
    enter();
    EXPECT_TRUE(view().isPointerInside());
    EXPECT_TRUE(controller.isHoverExpandPending());
    // The capsule grows over 0.14 s.
    view().hoverAnimation()->setCurrentTime(70);
    EXPECT_GT(view().hoverProgress(), 0.5);
    EXPECT_LT(view().hoverProgress(), 1);
    // Leaving a collapsed notch only cancels the pending expansion.
    leave();
    EXPECT_FALSE(view().isPointerInside());
    EXPECT_FALSE(controller.isHoverExpandPending());
    EXPECT_FALSE(controller.isCollapsePending());

    expand();
    leave();
    EXPECT_TRUE(controller.isCollapsePending());
    // Coming back cancels the pending collapse.
    enter();
    EXPECT_FALSE(controller.isCollapsePending());
    EXPECT_TRUE(controller.isExpanded());

    // With "Open when the pointer enters" off, entering cancels a collapse but does not open.
    controller.collapse();
    settle();
    h.preferences.setNotchAutoExpand(false);
    leave();
    enter();
    EXPECT_FALSE(controller.isHoverExpandPending());
    h.scheduler.advance(Seconds(1));
    EXPECT_FALSE(controller.isExpanded());
}

TEST_F(NotchSurfaceViewTest, AClickAnywhereOnTheCompactNotchOpensItOnTheCurrentTab) {
    controller.setSelectedTab(NotchTab::timers);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&view(), &press);
    QApplication::sendEvent(&view(), &release);
    EXPECT_TRUE(controller.isExpanded());
    EXPECT_EQ(controller.selectedTab(), NotchTab::timers);
}

TEST_F(NotchSurfaceViewTest, OnlyLocalFilesDroppedReachTheShelf) {
    const QString file = h.home.writeFile(QStringLiteral("Desktop/report.pdf"), "pdf");
    const QUrl link(QStringLiteral("https://example.com/"));

    // Web links and empty lists are refused: nothing opens, nothing is shelved.
    EXPECT_EQ(dragAndDrop({link}), std::make_pair(false, false));
    EXPECT_EQ(dragAndDrop({}), std::make_pair(false, false));
    EXPECT_FALSE(controller.isExpanded());
    EXPECT_TRUE(stores.fileShelf.items().isEmpty());

    // A drag with a file opens the notch on Files before any drop, and shows the drop state.
    QSignalSpy targeted(&view(), &NotchSurfaceView::fileDragTargetedChanged);
    EXPECT_TRUE(dragAndDrop({QUrl::fromLocalFile(file)}, false).first);
    EXPECT_TRUE(view().isFileDragTargeted());
    EXPECT_TRUE(controller.isExpanded());
    EXPECT_EQ(controller.selectedTab(), NotchTab::files);
    // Leaving without a drop clears the flag and leaves the notch open.
    QDragLeaveEvent leaveEvent;
    QApplication::sendEvent(&view(), &leaveEvent);
    EXPECT_FALSE(view().isFileDragTargeted());
    EXPECT_TRUE(controller.isExpanded());

    // A drop of a file and a link shelves the file alone and opens the Files tab.
    controller.setSelectedTab(NotchTab::clipboard);
    EXPECT_EQ(dragAndDrop({link, QUrl::fromLocalFile(file)}), std::make_pair(true, true));
    EXPECT_EQ(stores.fileShelf.items(), QList<QUrl>{QUrl::fromLocalFile(file)});
    EXPECT_EQ(controller.selectedTab(), NotchTab::files);
    EXPECT_FALSE(view().isFileDragTargeted());
    EXPECT_EQ(targeted.count(), 4);
}

TEST_F(NotchSurfaceViewTest, RailCollapseButtonAndContentSwitch) {
    expand();
    // The home glance row: transport, calendar and the rail.
    for (const char* name :
         {"Previous track", "Play", "Next track", "Open Calendar", "Collapse notch", "Home"})
        EXPECT_NE(button(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(view().contentView(), nullptr);
    EXPECT_EQ(button("Collapse notch")->toolTip(), "Close notch");
    // The calendar glance: today's date in 11.5 semibold over the first event in 10.
    const QString today = NotchSurfaceLayout::calendarTexts(QDate::currentDate(), QLocale(), {}).title;
    const std::optional<QFont> dateFont = paintedFont(view(), today);
    const std::optional<QFont> eventFont = paintedFont(view(), "No events today");
    ASSERT_TRUE(dateFont && eventFont);
    EXPECT_EQ(VantrelType::pixelSize(*dateFont), 11.5);
    EXPECT_EQ(dateFont->weight(), QFont::DemiBold);
    EXPECT_EQ(VantrelType::pixelSize(*eventFont), 10);
    EXPECT_EQ(eventFont->weight(), QFont::Normal);

    button("Open Calendar")->click();
    EXPECT_EQ(controller.selectedTab(), NotchTab::calendar);
    settle();
    // The header rail: a click selects; the content view names its tab and fades in over 0.18 s.
    button("Timer")->click();
    EXPECT_EQ(controller.selectedTab(), NotchTab::focus);
    ASSERT_NE(view().contentView(), nullptr);
    EXPECT_EQ(view().contentView()->accessibleName(), "Timer");
    EXPECT_EQ(view().contentFade()->duration(), 180);
    EXPECT_EQ(button("Timers")->toolTip(), "Timers");
    EXPECT_EQ(button("Open Calendar"), nullptr);

    // Switching a module off takes its tab out of the rail.
    h.preferences.setNotchTimersEnabled(false);
    EXPECT_EQ(button("Timers"), nullptr);

    button("Collapse notch")->click();
    settle();
    EXPECT_FALSE(controller.isExpanded());
}

namespace {
double opacity(const QWidget* view) {
    const auto* effect = qobject_cast<const QGraphicsOpacityEffect*>(view->graphicsEffect());
    return effect ? effect->opacity() : 1;
}
} // namespace

TEST_F(NotchSurfaceViewTest, ATabChangeCrossFadesBothViewsOverAFifthOfASecond) {
    expand(NotchTab::clipboard);
    view().contentFade()->setCurrentTime(view().contentFade()->duration());
    QPointer<QWidget> clipboard = view().contentView();
    ASSERT_NE(clipboard, nullptr);
    EXPECT_EQ(opacity(clipboard), 1);
    EXPECT_EQ(view().outgoingContentView(), nullptr);

    // Reduced motion changes nothing here: 0.18 s, eased in and out.
    h.appearance.setReduceMotion(true);
    QCoreApplication::processEvents();
    controller.setSelectedTab(NotchTab::files);
    QPointer<QWidget> files = view().contentView();
    ASSERT_NE(files, nullptr);
    ASSERT_NE(files, clipboard);
    ASSERT_NE(clipboard, nullptr);
    EXPECT_EQ(view().outgoingContentView(), clipboard);
    EXPECT_EQ(view().contentFade()->duration(), 180);
    EXPECT_EQ(opacity(files), 0);
    EXPECT_EQ(opacity(clipboard), 1);
    // Half way both views show, each at half strength, the old one where it was.
    view().contentFade()->setCurrentTime(90);
    EXPECT_NEAR(opacity(clipboard), 0.5, 0.01);
    EXPECT_NEAR(opacity(files), 0.5, 0.01);
    EXPECT_TRUE(clipboard->isVisibleTo(&view()));
    EXPECT_TRUE(files->isVisibleTo(&view()));
    EXPECT_EQ(clipboard->geometry(), files->geometry());
    // The one leaving takes no clicks.
    EXPECT_TRUE(clipboard->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_FALSE(files->testAttribute(Qt::WA_TransparentForMouseEvents));
    view().contentFade()->setCurrentTime(135);
    EXPECT_LT(opacity(clipboard), 0.2);
    EXPECT_GT(opacity(files), 0.8);

    // Another change before the end: the first view goes at once, the half-shown one fades out
    // from where it is.
    view().contentFade()->setCurrentTime(90);
    controller.setSelectedTab(NotchTab::mirror);
    EXPECT_EQ(clipboard, nullptr);
    EXPECT_EQ(view().outgoingContentView(), files);
    EXPECT_NEAR(opacity(files), 0.5, 0.01);
    view().contentFade()->setCurrentTime(90);
    EXPECT_NEAR(opacity(files), 0.25, 0.01);
    EXPECT_NEAR(opacity(view().contentView()), 0.5, 0.01);

    // At the end the old view is gone and the new one is drawn as it is.
    view().contentFade()->setCurrentTime(180);
    EXPECT_EQ(files, nullptr);
    EXPECT_EQ(view().outgoingContentView(), nullptr);
    EXPECT_EQ(view().contentView()->graphicsEffect(), nullptr);

    // Back home: the tab's view fades out over the glance row.
    QPointer<QWidget> mirror = view().contentView();
    controller.setSelectedTab(NotchTab::home);
    EXPECT_EQ(view().contentView(), nullptr);
    EXPECT_EQ(view().outgoingContentView(), mirror);
    view().contentFade()->setCurrentTime(90);
    EXPECT_NEAR(opacity(mirror), 0.5, 0.01);
    view().contentFade()->setCurrentTime(180);
    EXPECT_EQ(mirror, nullptr);
}

TEST_F(NotchSurfaceViewTest, WithoutArtworkTheTileShowsAQuestionMarkIn17Medium) {
    expand(NotchTab::home);
    ASSERT_FALSE(stores.media.artwork().has_value());
    const std::optional<QFont> mark = paintedFont(view(), QStringLiteral("?"));
    ASSERT_TRUE(mark.has_value());
    EXPECT_NEAR(VantrelType::pixelSize(*mark), 17, 1e-9);
    EXPECT_EQ(mark->weight(), QFont::Medium);
}

TEST_F(NotchSurfaceViewTest, TheOpenCrystalGlassAsksForABlurWhereTheDesktopOffersOne) {
    VantrelPanel& panel = *controller.panel();
    RecordingBackdropBlur& blur = h.backdropBlur;
    // The body's opacity at a point of the glass clear of texts and controls.
    const auto bodyAlpha = [this] {
        QImage image(view().size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        view().render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return qAlpha(image.pixel(410, 97)) / 255.0;
    };
    h.preferences.setNotchGlassDensity(0);

    // Offered nothing, the open glass blurs nothing and is dense enough to hide what lies behind.
    expand(NotchTab::home);
    EXPECT_TRUE(panel.wantsBlurBehind());
    EXPECT_FALSE(panel.isBlurredBehind());
    EXPECT_FALSE(blur.isBlurring(&panel));
    EXPECT_GE(bodyAlpha(), 0.97);

    // Offered, the glass asks for it within its outline only, and lets the blurred desktop show.
    blur.setAvailable(true);
    EXPECT_TRUE(panel.isBlurredBehind());
    ASSERT_TRUE(blur.isBlurring(&panel));
    const QRegion region = blur.region(&panel);
    EXPECT_EQ(region, panel.mask());
    EXPECT_TRUE(region.contains(QPoint(410, 97)));
    EXPECT_TRUE(region.contains(QPoint(410, 5))) << "under the notch";
    EXPECT_FALSE(region.contains(QPoint(20, 5))) << "the clear band beside the notch";
    EXPECT_LT(bodyAlpha(), 0.96);

    // The opaque looks ask for none: midnight, less transparency, the closed cap.
    h.preferences.setNotchAppearance(NotchAppearance::midnight);
    EXPECT_FALSE(blur.isBlurring(&panel));
    h.preferences.setNotchAppearance(NotchAppearance::crystal);
    EXPECT_TRUE(blur.isBlurring(&panel));
    view().setReduceTransparency(true);
    EXPECT_FALSE(blur.isBlurring(&panel));
    view().setReduceTransparency(false);
    controller.collapse();
    settle();
    EXPECT_FALSE(blur.isBlurring(&panel));

    // Without a compositor nothing blends; the offer is left alone and the glass is dense again.
    expand();
    ASSERT_TRUE(blur.isBlurring(&panel));
    h.compositor.setCompositing(false);
    EXPECT_FALSE(panel.isBlurredBehind());
    EXPECT_FALSE(blur.isBlurring(&panel));
    h.compositor.setCompositing(true);
    blur.setAvailable(false);
    EXPECT_FALSE(blur.isBlurring(&panel));
    EXPECT_GE(bodyAlpha(), 0.97);
}

TEST_F(NotchSurfaceViewTest, ATabChosenOnTheRailKeepsTheFocus) {
    expand();
    QApplication::setActiveWindow(controller.panel());
    const auto focusedOn = [&](const QString& name) {
        QWidget* focus = QApplication::focusWidget();
        return focus && focus == button(name) && KitPaint::showsFocusRing(focus);
    };
    // From the glance row's rail, which goes as the tab opens: the header rail's button of that tab.
    button("Clipboard")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    settle();
    ASSERT_EQ(controller.selectedTab(), NotchTab::clipboard);
    EXPECT_TRUE(focusedOn("Clipboard"));
    EXPECT_FALSE(focusedOn("Collapse notch"));
    // On the header rail: the same button.
    button("Timer")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    settle();
    ASSERT_EQ(controller.selectedTab(), NotchTab::focus);
    EXPECT_TRUE(focusedOn("Timer"));
    // Back home, and the glance row's calendar: the header's "Calendar".
    button("Home")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    settle();
    ASSERT_EQ(controller.selectedTab(), NotchTab::home);
    EXPECT_TRUE(focusedOn("Home"));
    button("Open Calendar")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    settle();
    ASSERT_EQ(controller.selectedTab(), NotchTab::calendar);
    EXPECT_TRUE(focusedOn("Calendar"));
    // Space again is one more choice of the tab, never the collapse.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    settle();
    EXPECT_TRUE(controller.isExpanded());
}
