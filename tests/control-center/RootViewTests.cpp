#include "control-center/HomeActions.h"
#include "control-center/KeyboardCleaningOverlay.h"
#include "control-center/OnboardingView.h"
#include "control-center/PageFactory.h"
#include "control-center/RootView.h"
#include "control-center/TopNavigationBar.h"
#include "control-center/VantrelNavigationButton.h"
#include "control-center/WindowReader.h"
#include "core/FileNotices.h"
#include "kit/GlyphCatalogue.h"
#include "kit/KitPaint.h"
#include "kit/KitRender.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelTheme.h"
#include "support/ContactSheet.h"
#include "support/ControlCenterHarness.h"
#include "support/QtPrinters.h"
#include "support/VisibleTexts.h"

#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QVariantAnimation>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

class RootViewTest : public ::testing::Test {
protected:
    RootViewTest() { c.h.preferences.setHasCompletedOnboarding(true); }
    std::unique_ptr<RootView> makeRoot(QSize size = QSize(1080, 720)) {
        auto root = std::make_unique<RootView>(c.context());
        root->resize(size);
        return root;
    }
    ControlCenterHarness c;
};

} // namespace

TEST_F(RootViewTest, OnboardingUntilCompletedThenTheControlCenterInTheSameView) {
    c.h.preferences.setHasCompletedOnboarding(false);
    c.sections.select(VantrelSection::permissions);
    auto root = makeRoot();
    ASSERT_NE(root->onboarding(), nullptr);
    EXPECT_EQ(root->controlCenter(), nullptr);

    c.h.preferences.setHasCompletedOnboarding(true);
    EXPECT_EQ(root->onboarding(), nullptr);
    ASSERT_NE(root->controlCenter(), nullptr);
    EXPECT_EQ(root->page()->objectName(), "permissions") << "the current section's page";

    c.h.preferences.setHasCompletedOnboarding(false);
    EXPECT_NE(root->onboarding(), nullptr);
    EXPECT_EQ(root->controlCenter(), nullptr);

    // "Start using Vantrel" inside the root view: the flow's view goes only after its click.
    root->show();
    for (int i = 0; i < 4; ++i) QTest::mouseClick(root->onboarding()->continueButton(), Qt::LeftButton);
    EXPECT_EQ(root->onboarding(), nullptr);
    EXPECT_NE(root->controlCenter(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(RootViewTest, TheWindowIsReportedOnceOnTheNextTurn) {
    QWidget window;
    window.resize(1080, 720);
    auto* root = new RootView(c.context(), &window);
    std::vector<QWidget*> reported;
    QObject::connect(root, &RootView::windowFound, [&](QWidget* found) { reported.push_back(found); });
    root->resize(window.size());
    window.show();
    EXPECT_TRUE(reported.empty()) << "nothing before the turn";
    c.h.scheduler.runDue();
    EXPECT_EQ(reported, std::vector<QWidget*>{&window});
    EXPECT_EQ(root->windowReader()->configuredWindow(), &window);
    // Shown again in the same window: not reported again.
    window.hide();
    window.show();
    c.h.scheduler.runDue();
    EXPECT_EQ(reported.size(), 1u);
}

TEST_F(RootViewTest, EachSectionGetsANewPageOfItsOwnAndAutomationsTheHomePage) {
    auto root = makeRoot();
    const std::pair<VantrelSection, const char*> table[] = {
        {VantrelSection::notch, "Notch Panel"},
        {VantrelSection::menuBar, "Menu Bar"},
        {VantrelSection::dock, "Dock"},
        {VantrelSection::feedback, "Trackpad"},
        {VantrelSection::notifications, "Notifications"},
        {VantrelSection::appearance, "Appearance"},
        {VantrelSection::permissions, "Permissions"},
        {VantrelSection::automations, "Home"},
        {VantrelSection::home, "Home"},
    };
    for (const auto& [section, expectedTitle] : table) {
        // Marked rather than compared by address: the new page may be built where the old one was.
        if (QWidget* before = root->page()) before->setProperty("replaced", true);
        c.sections.select(section);
        ASSERT_NE(root->page(), nullptr) << rawValue(section).toStdString();
        ASSERT_FALSE(root->page()->property("replaced").toBool()) << rawValue(section).toStdString();
        EXPECT_EQ(visibleTexts(*root->page()).value(0), expectedTitle) << rawValue(section).toStdString();
    }
    EXPECT_EQ(PageFactory::pageSection(VantrelSection::automations), VantrelSection::home);
    // Home after automations (both the home page) is still a new page.
    EXPECT_EQ(root->page()->objectName(), "home");
}

TEST_F(RootViewTest, PagesCrossFadeByMotionStyleAndReducedMotion) {
    EXPECT_EQ(RootView::pageAnimation(MotionStyle::smooth, false), VantrelAnimation::easeOut(0.14));
    EXPECT_EQ(RootView::pageAnimation(MotionStyle::spring, false), VantrelAnimation::easeOut(0.14));
    EXPECT_EQ(RootView::pageAnimation(MotionStyle::smooth, true), VantrelAnimation::easeOut(0.12));
    EXPECT_EQ(RootView::pageAnimation(MotionStyle::instant, true), std::nullopt);
    EXPECT_EQ(RootView::overlayAnimation(false), VantrelAnimation::easeOut(0.14));
    EXPECT_EQ(RootView::overlayAnimation(true), std::nullopt);

    auto root = makeRoot();
    root->show();
    c.sections.select(VantrelSection::dock);
    ASSERT_NE(root->leavingPage(), nullptr);
    EXPECT_EQ(root->pageFade()->duration(), 140);
    root->pageFade()->setCurrentTime(70);
    root->pageFade()->setCurrentTime(140);
    EXPECT_EQ(root->leavingPage(), nullptr) << "the old page goes when the fade ends";
    EXPECT_EQ(root->page()->graphicsEffect(), nullptr);

    c.setReduceMotion(true);
    c.sections.select(VantrelSection::notch);
    EXPECT_EQ(root->pageFade()->duration(), 120);

    c.h.preferences.setInterfaceMotionStyle(MotionStyle::instant);
    c.sections.select(VantrelSection::home);
    EXPECT_EQ(root->leavingPage(), nullptr) << "swapped at once";
    EXPECT_EQ(root->pageFade()->state(), QAbstractAnimation::Stopped);
}

TEST_F(RootViewTest, ClicksPassTheIdleOverlayButNotTheActiveOne) {
    auto root = makeRoot();
    root->show();
    const QPoint inPage(540, 400);
    const QPoint onBar(root->navigationBar()->geometry().center());
    EXPECT_NE(root->childAt(inPage), root->overlay());
    EXPECT_NE(root->childAt(onBar), root->overlay());
    EXPECT_EQ(root->overlay()->opacity(), 0);

    auto& cleaning = static_cast<RecordingKeyboardCleaningController&>(c.stores.keyboardCleaning);
    cleaning.activate();
    EXPECT_EQ(root->childAt(inPage), root->overlay());
    EXPECT_EQ(root->childAt(onBar), root->overlay());
    EXPECT_EQ(root->overlayFade()->duration(), 140);
    root->overlayFade()->setCurrentTime(140);
    EXPECT_EQ(root->overlay()->opacity(), 1);

    // Under reduced motion it goes without a fade.
    c.setReduceMotion(true);
    cleaning.stop(KeyboardCleaningController::StopReason::userRequested);
    EXPECT_EQ(root->overlay()->opacity(), 0);
    EXPECT_NE(root->childAt(inPage), root->overlay());
}

TEST_F(RootViewTest, TheAppearanceModeChoosesTheSchemeAndSystemFollowsTheDesktop) {
    auto root = makeRoot();
    EXPECT_EQ(VantrelTheme::colorScheme(root->page()), ColorScheme::dark) << "dark by default";
    c.h.preferences.setAppearanceMode(AppearanceMode::light);
    EXPECT_EQ(VantrelTheme::colorScheme(root->page()), ColorScheme::light);
    c.appearance.setColorScheme(ColorScheme::dark);
    EXPECT_EQ(VantrelTheme::colorScheme(root->page()), ColorScheme::light) << "an explicit mode overrides";

    c.h.preferences.setAppearanceMode(AppearanceMode::system);
    EXPECT_EQ(VantrelTheme::colorScheme(root->page()), ColorScheme::dark);
    c.appearance.setColorScheme(ColorScheme::light);
    EXPECT_EQ(VantrelTheme::colorScheme(root->page()), ColorScheme::light);
    EXPECT_EQ(VantrelTheme::colorScheme(root->navigationBar()->button(VantrelSection::home)),
              ColorScheme::light);
}

TEST(ShellSymbols, EverySymbolTheShellNamesHasADrawingOfItsOwn) {
    // The palette pill, the onboarding's badges, switches and rows, and the home launchers.
    QStringList names{"command",
                      "swift",
                      "lock.fill",
                      "square.grid.2x2",
                      "capsule.tophalf.filled",
                      "sparkle.magnifyingglass",
                      "checkmark.shield.fill",
                      "checkmark.circle.fill",
                      "circle.dashed"};
    for (const HomeActions::Launcher& launcher : HomeActions::kLaunchers)
        names << QString::fromLatin1(launcher.symbol);
    for (const QString& name : names) EXPECT_TRUE(GlyphCatalogue::contains(name)) << name.toStdString();
}

namespace {
QStringList paintWarnings;
void keepPaintWarning(QtMsgType, const QMessageLogContext&, const QString& message) {
    if (message.contains(u"Painter") || message.contains(u"paint device")) paintWarnings << message;
}
} // namespace

TEST_F(RootViewTest, APageWithFadedRowsLeavesWithoutFailedPaints) {
    // The notifications page draws its unavailable rows faded; leaving it cross-fades the page.
    c.sections.select(VantrelSection::notifications);
    auto root = makeRoot();
    root->show();
    QCoreApplication::sendPostedEvents();
    root->grab();
    paintWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(keepPaintWarning);
    c.sections.select(VantrelSection::permissions);
    ASSERT_NE(root->leavingPage(), nullptr);
    for (const int time : {0, 35, 70, 105}) {
        root->pageFade()->setCurrentTime(time);
        root->grab();
    }
    root->pageFade()->setCurrentTime(140);
    EXPECT_EQ(root->leavingPage(), nullptr);
    // And coming back: the faded rows fade in with their page.
    c.sections.select(VantrelSection::notifications);
    for (const int time : {0, 35, 70, 105}) {
        root->pageFade()->setCurrentTime(time);
        root->grab();
    }
    qInstallMessageHandler(previous);
    EXPECT_EQ(paintWarnings, QStringList());
}

TEST_F(RootViewTest, AFileThatCouldNotBeReadIsToldAtTheFootOfTheOnboardingAndTheControlCenter) {
    const QString told = QStringLiteral(
        "The settings file /home/u/.config/Vantrel/defaults/com.vantrel.mac.json could not be read (a "
        "symbolic link to a FIFO stands in its place). It is left as it is, and changes are not saved.");
    FileNotices notices;
    ControlCenterContext context = c.context();
    context.fileNotices = &notices;
    c.h.preferences.setHasCompletedOnboarding(false);
    RootView root(context);
    root.resize(1000, 680);
    root.show();
    EXPECT_FALSE(root.fileNotice()->isVisible()) << "nothing to tell";

    notices.set(QStringLiteral("/home/u/.config/Vantrel/defaults/com.vantrel.mac.json"), told);
    const auto shownOver = [&](QWidget* content) {
        const QRect notice = root.fileNotice()->geometry();
        EXPECT_TRUE(root.fileNotice()->isVisible());
        EXPECT_EQ(root.fileNoticeText()->text(), told);
        EXPECT_TRUE(root.rect().contains(notice));
        EXPECT_GT(notice.top(), root.height() / 2) << "at the foot of the window";
        EXPECT_GE(root.fileNoticeText()->height(),
                  root.fileNoticeText()->heightForWidth(root.fileNoticeText()->width()))
            << "the whole text fits";
        QWidget* top = root.childAt(notice.center());
        EXPECT_TRUE(top == root.fileNotice() || top == root.fileNoticeText()) << "over " << content;
    };
    ASSERT_NE(root.onboarding(), nullptr);
    shownOver(root.onboarding());
    const QImage onboarding = renderWidget(root, Qt::black);
    c.h.preferences.setHasCompletedOnboarding(true);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(root.controlCenter(), nullptr);
    shownOver(root.controlCenter());
    saveContactSheet({{"onboarding", onboarding}, {"control center", renderWidget(root, Qt::black)}},
                     VANTREL_BINARY_DIR "/renders/file-notice.png");
}

TEST_F(RootViewTest, TheFileNoticeCoversNothingClosesFromTheKeyboardAndGoesOnceTheFileIsSaved) {
    const QString notes = QStringLiteral("/home/u/.local/share/Vantrel/notes.json");
    const QString clipboard = QStringLiteral("/home/u/.local/share/Vantrel/clipboard.json");
    FileNotices notices;
    ControlCenterContext context = c.context();
    context.fileNotices = &notices;
    c.h.preferences.setHasCompletedOnboarding(false);
    RootView root(context);
    root.resize(720, 600);
    root.show();
    QApplication::setActiveWindow(&root);
    notices.set(notes,
                "notes.json could not be read: the file is left untouched and changes are written beside it");
    notices.set(
        clipboard,
        "clipboard.json could not be read: the file is left untouched and changes are written beside it");
    QCoreApplication::processEvents();

    // The window makes room for the band; every control of the onboarding stays clear of it.
    const QRect notice = root.fileNotice()->geometry();
    ASSERT_TRUE(root.fileNotice()->isVisible());
    EXPECT_GT(root.noticeRoom(), notice.height());
    EXPECT_EQ(root.minimumHeight(), 600) << "the band comes out of the content, not the window";
    EXPECT_EQ(root.height(), 600);
    ASSERT_NE(root.onboarding(), nullptr);
    EXPECT_LE(root.onboarding()->geometry().bottom(), notice.top());
    for (QAbstractButton* button : root.onboarding()->findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(&root)) continue;
        const QRect area(button->mapTo(&root, QPoint(0, 0)), button->size());
        EXPECT_FALSE(area.intersects(notice)) << button->text().toStdString();
    }
    QAbstractButton* next = root.onboarding()->continueButton();
    const QPoint nextCentre = next->mapTo(&root, next->rect().center());
    QWidget* hit = root.childAt(nextCentre);
    EXPECT_TRUE(hit == next || next->isAncestorOf(hit)) << "Continue takes its own clicks";

    // The close control: named, reached with Tab, ringed, pressed with Space.
    QAbstractButton* close = root.fileNoticeClose();
    EXPECT_EQ(close->accessibleName(), QStringLiteral("Close file notice"));
    EXPECT_TRUE(close->focusPolicy() & Qt::TabFocus);
    EXPECT_TRUE(root.fileNotice()->geometry().contains(close->mapTo(&root, close->rect().center())));
    next->setFocus(Qt::TabFocusReason);
    for (int press = 0; press < 12 && QApplication::focusWidget() != close; ++press)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), close) << "Tab reaches the close control";
    EXPECT_TRUE(KitPaint::showsFocusRing(close));
    const QImage ringed = renderWidget(root, Qt::black);
    QTest::keyClick(close, Qt::Key_Space);
    EXPECT_FALSE(root.fileNotice()->isVisible());
    EXPECT_EQ(root.noticeRoom(), 0);
    EXPECT_EQ(root.minimumHeight(), 600);
    EXPECT_EQ(root.onboarding()->height(), root.height()) << "the content takes the band back";

    // A later failure of one file shows it again; saving both files again clears it.
    notices.set(notes, "Vantrel could not save notes.json: the folder /media/readonly refused the write "
                       "(Permission denied).");
    EXPECT_TRUE(root.fileNotice()->isVisible());
    EXPECT_EQ(root.fileNoticeText()->text(), "Vantrel could not save notes.json: the folder /media/readonly "
                                             "refused the write (Permission denied).");
    notices.resolve(notes);
    notices.resolve(clipboard);
    EXPECT_FALSE(root.fileNotice()->isVisible());

    // Over the control center the page ends above the band.
    notices.set(notes, "Vantrel could not save notes.json.");
    c.h.preferences.setHasCompletedOnboarding(true);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(root.page(), nullptr);
    const QRect page(root.page()->mapTo(&root, QPoint(0, 0)), root.page()->size());
    EXPECT_LE(page.bottom(), root.fileNotice()->geometry().top());
    saveContactSheet(
        {{"onboarding, close focused", ringed}, {"control center", renderWidget(root, Qt::black)}},
        VANTREL_BINARY_DIR "/renders/file-notice-room.png");
}

TEST_F(RootViewTest, ManyNoticesScrollInABandOfAFewLinesAndTheWindowKeepsItsLeastSize) {
    FileNotices notices;
    ControlCenterContext context = c.context();
    context.fileNotices = &notices;
    c.h.preferences.setHasCompletedOnboarding(true);
    RootView root(context);
    root.resize(720, 600);
    root.show();
    const QString folder = QStringLiteral("/home/u/.local/share/Vantrel/");
    const auto told = [&](const QString& file) {
        return "Vantrel could not save " + file + ": the disk holding " + folder +
               " is full. Nothing could be written anywhere: your changes are kept only while Vantrel runs, "
               "and saved again with the next change.";
    };
    notices.set(folder + "notes.json", told("notes.json"));
    const int one = root.noticeRoom();
    const QImage single = renderWidget(root, Qt::black);
    for (const char* file : {"clipboard.json", "bookmarks.json", "dock-shortcuts.json", "automations.json"})
        notices.set(folder + file, told(QString::fromLatin1(file)));
    QCoreApplication::processEvents();

    // Five notices take no more room than a few lines; the window's least size stays 720 by 600.
    EXPECT_EQ(root.minimumSize(), QSize(720, 600));
    EXPECT_LE(root.noticeRoom(), 140);
    EXPECT_GE(root.noticeRoom(), one);
    const QRect notice = root.fileNotice()->geometry();
    EXPECT_TRUE(root.rect().contains(notice)) << "the whole card is on the window";
    ASSERT_NE(root.page(), nullptr);
    const QRect page(root.page()->mapTo(&root, QPoint(0, 0)), root.page()->size());
    EXPECT_LE(page.bottom(), notice.top());
    EXPECT_GE(page.height(), 300) << "the page keeps most of the window";

    // The rest is reached by scrolling, with the wheel or, once focused, the keyboard.
    QScrollArea* scroll = root.fileNoticeScroll();
    QScrollBar* bar = scroll->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_TRUE(scroll->focusPolicy() & Qt::TabFocus);
    EXPECT_EQ(root.fileNoticeText()->text().count(QStringLiteral("Vantrel could not save")), 5);
    const QImage many = renderWidget(root, Qt::black);
    bar->setValue(bar->maximum());
    saveContactSheet(
        {{"one notice", single}, {"five notices", many}, {"five, scrolled", renderWidget(root, Qt::black)}},
        VANTREL_BINARY_DIR "/renders/file-notices-many.png");

    // Down to one again: it shows whole, nothing to scroll, and Tab passes it by.
    for (const char* file : {"clipboard.json", "bookmarks.json", "dock-shortcuts.json", "automations.json"})
        notices.resolve(folder + file);
    EXPECT_EQ(root.noticeRoom(), one);
    EXPECT_EQ(bar->maximum(), 0);
    EXPECT_FALSE(scroll->focusPolicy() & Qt::TabFocus);
}
