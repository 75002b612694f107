#include "control-center/RootView.h"
#include "kit/FeatureRow.h"
#include "kit/KitPaint.h"
#include "kit/KitRender.h"
#include "kit/SettingsCard.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelHelpButton.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelPillButtonStyle.h"
#include "kit/VantrelSecondaryButtonStyle.h"
#include "kit/VantrelSwitch.h"
#include "settings/MenuBarPage.h"
#include "settings/PageDivider.h"
#include "support/ControlCenterHarness.h"
#include "support/QtPrinters.h"
#include "support/VisibleTexts.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

using namespace vantrel;
using namespace vantrel::test;

namespace {

using Visibility = MenuBarPage::Visibility;

const QString kOff = QStringLiteral("Menu-bar organizer is off");
const QString kSetupActive = QStringLiteral("Setup active — Command-drag the Vantrel divider");
const QString kFinished = QStringLiteral("Setup finished — managed items are visible");
const QString kVisible = QStringLiteral("Hidden items are visible");

// The organizer's states the page is shown in.
enum class Organizer { off, on, setUp, inSetup };

void prepare(ControlCenterHarness& c, Organizer state, bool itemsRevealed = false) {
    VantrelPreferences& preferences = c.h.preferences;
    MenuBarAppearanceController& organizer = c.menuBarAppearance;
    if (state == Organizer::off) return;
    preferences.setMenuMaskEnabled(true);
    preferences.setMenuSetupComplete(state != Organizer::on);
    organizer.apply(preferences, c.menuBarScanner);
    if (state == Organizer::setUp && itemsRevealed)
        organizer.toggleHiddenItems(&preferences, &c.menuBarScanner);
    if (state == Organizer::inSetup) organizer.beginSetup(preferences, c.menuBarScanner);
}

class MenuBarPageTest : public ::testing::Test {
protected:
    void open(Organizer state, bool itemsRevealed = false) {
        prepare(c, state, itemsRevealed);
        page = std::make_unique<MenuBarPage>(c.context());
        page->resize(880, 1100);
        page->show();
    }
    QString subtitle() const {
        VantrelLabel* label = page->organizerCard()->subtitleLabel();
        return label ? label->text() : QString();
    }
    bool shown(QWidget* widget) const { return widget->isVisibleTo(page.get()); }
    // What shows, read off the page itself.
    Visibility onScreen() const {
        return {.actionRow = shown(page->actionRow()),
                .adjustLabel = page->setupButton()->text() == u"Adjust divider…",
                .showHideButton = shown(page->showHideButton()),
                .readyMark = shown(page->readyMark()),
                .setupCard = shown(page->setupCard()),
                .revealCard = shown(page->revealCard())};
    }
    void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }

    ControlCenterHarness c;
    std::unique_ptr<MenuBarPage> page;
};

} // namespace

TEST(MenuBarPageVisibility, CardsFollowOnCompleteAndSetup) {
    const Visibility none{};
    const Visibility setUpOnly{.actionRow = true};
    const Visibility ready{.actionRow = true,
                           .adjustLabel = true,
                           .showHideButton = true,
                           .readyMark = true,
                           .revealCard = true};
    const Visibility setup{.setupCard = true};
    EXPECT_EQ(MenuBarPage::visibility(false, false, false), none);
    EXPECT_EQ(MenuBarPage::visibility(false, true, false), none);
    EXPECT_EQ(MenuBarPage::visibility(true, false, false), setUpOnly);
    EXPECT_EQ(MenuBarPage::visibility(true, true, false), ready);
    for (bool on : {false, true})
        for (bool complete : {false, true})
            EXPECT_EQ(MenuBarPage::visibility(on, complete, true), setup) << on << complete;
}

TEST_F(MenuBarPageTest, FirstLaunchShowsTheOrganizerCardAloneWithItsTexts) {
    open(Organizer::off);
    EXPECT_EQ(onScreen(), Visibility{});
    EXPECT_FALSE(page->organizerSwitch()->isChecked());
    EXPECT_EQ(page->title(), "Menu Bar");
    EXPECT_DOUBLE_EQ(page->maxWidth(), 880);
    EXPECT_EQ(subtitle(), kOff);
    EXPECT_EQ(visibleTexts(*page),
              QStringList({"Menu Bar", "Organizer", "Help for Organizer", "Shows more information", kOff,
                           "Organize menu-bar icons", "A simple show and hide boundary"}));
    EXPECT_EQ(
        page->organizerCard()->helpButton()->helpText(),
        "Command-drag the Vantrel divider into position, then Command-drag the icons you want Vantrel to "
        "manage to its left. The permanent Vantrel control hides and reveals that group.");
}

TEST_F(MenuBarPageTest, EachSwitchTicksWritesAndAppliesOnceInThatOrder) {
    open(Organizer::off);
    qsizetype from = c.mark();
    click(page->organizerSwitch());
    EXPECT_EQ(c.callsSince(from),
              QStringList({"haptic generic", "set menu.maskEnabled true", "menuBar.apply"}));
    EXPECT_EQ(onScreen(), (Visibility{.actionRow = true}));
    EXPECT_EQ(page->setupButton()->text(), "Set up hidden icons…");
    EXPECT_EQ(subtitle(), "Set the divider before hiding icons") << "the organizer's own status, verbatim";

    // Set up, the reveal card's switch writes the hover setting the same way.
    c.h.preferences.setMenuSetupComplete(true);
    ASSERT_TRUE(shown(page->revealCard()));
    EXPECT_TRUE(page->hoverSwitch()->isChecked());
    from = c.mark();
    click(page->hoverSwitch());
    EXPECT_EQ(c.callsSince(from),
              QStringList({"haptic generic", "set menu.revealOnHover.v2 false", "menuBar.apply"}));
    EXPECT_FALSE(c.menuBarAppearance.isHoverCheckRunning()) << "the organizer followed the write";
    click(page->hoverSwitch());
    EXPECT_TRUE(c.menuBarAppearance.isHoverCheckRunning());

    from = c.mark();
    click(page->organizerSwitch());
    const QStringList off = c.callsSince(from);
    EXPECT_EQ(off.mid(0, 3), QStringList({"haptic generic", "set menu.maskEnabled false", "menuBar.apply"}));
    EXPECT_EQ(off.count("menuBar.apply"), 1);
    EXPECT_EQ(subtitle(), kOff);
    EXPECT_EQ(onScreen(), Visibility{});
    EXPECT_TRUE(c.h.preferences.menuSetupComplete()) << "switching off keeps the finished setup";
}

TEST_F(MenuBarPageTest, FirstSetupFinishesWithTheItemsVisible) {
    open(Organizer::on);
    qsizetype from = c.mark();
    click(page->setupButton());
    EXPECT_EQ(c.callsSince(from),
              QStringList({"haptic generic", "menuBar.beginSetup hidden", "set menu.maskEnabled true"}));
    EXPECT_EQ(onScreen(), (Visibility{.setupCard = true}));
    EXPECT_EQ(subtitle(), kSetupActive);
    EXPECT_TRUE(shown(page->organizerSwitch()));
    EXPECT_TRUE(page->organizerSwitch()->isChecked());
    EXPECT_TRUE(page->organizerSwitch()->isEnabled()) << "the switch stays usable during setup";

    const QStringList steps = visibleTexts(*page->setupCard());
    for (const char* text : {"Set the divider", "1", "Find the Vantrel divider",
                             "Look for the small divider icon in the real macOS menu bar.", "2", "Place it",
                             "Hold Command (⌘) and drag the divider to where the managed group should begin.",
                             "3", "Move the icons",
                             "Still holding Command, drag every icon you want Vantrel to hide to the "
                             "divider's left. Finish keeps "
                             "them visible until you choose Hide items.",
                             "Finish", "Cancel"})
        EXPECT_TRUE(steps.contains(QString::fromUtf8(text))) << text;
    EXPECT_EQ(page->setupCard()->subtitleLabel(), nullptr);
    EXPECT_EQ(page->setupCard()->helpButton(), nullptr);

    from = c.mark();
    click(page->finishButton());
    const QStringList finish = c.callsSince(from);
    ASSERT_GE(finish.size(), 2);
    EXPECT_EQ(finish.mid(0, 2), QStringList({"haptic generic", "menuBar.applySetupExit true true true"}));
    EXPECT_TRUE(finish.contains("set menu.setupComplete true"));
    EXPECT_TRUE(c.h.preferences.menuMaskEnabled());
    EXPECT_TRUE(c.h.preferences.menuSetupComplete());
    EXPECT_TRUE(c.menuBarAppearance.areHiddenItemsRevealed());
    EXPECT_FALSE(c.menuBarAppearance.isSetupMode());
    EXPECT_EQ(subtitle(), kFinished);
    EXPECT_EQ(onScreen(), (Visibility{.actionRow = true,
                                      .adjustLabel = true,
                                      .showHideButton = true,
                                      .readyMark = true,
                                      .revealCard = true}));
    EXPECT_EQ(page->setupButton()->text(), "Adjust divider…");
    EXPECT_EQ(page->showHideButton()->text(), "Hide items");
    const QStringList reveal = visibleTexts(*page->revealCard());
    for (const char* text :
         {"Reveal", "Hover over the Vantrel control", "Reveal the managed icons without clicking",
          "Click the permanent Vantrel control to hide or reveal the group. Hovering only reveals "
          "it; icons stay visible until you click to hide them again."})
        EXPECT_TRUE(reveal.contains(QString::fromUtf8(text))) << text;
    EXPECT_TRUE(visibleTexts(*page->readyMark()).contains("Ready"));
}

TEST_F(MenuBarPageTest, CancelReturnsToWhereSetupBegan) {
    // A first setup: the organizer goes off again.
    open(Organizer::on);
    click(page->setupButton());
    qsizetype from = c.mark();
    click(page->cancelButton());
    QStringList calls = c.callsSince(from);
    ASSERT_FALSE(calls.isEmpty());
    EXPECT_EQ(calls.first(), "menuBar.applySetupExit false false false") << "Cancel plays no haptic";
    EXPECT_FALSE(c.h.preferences.menuMaskEnabled());
    EXPECT_FALSE(c.h.preferences.menuSetupComplete());
    EXPECT_EQ(subtitle(), kOff);
    EXPECT_EQ(onScreen(), Visibility{});
    EXPECT_FALSE(page->organizerSwitch()->isChecked());
}

TEST_F(MenuBarPageTest, CancellingAnAdjustmentRestoresTheGroupAsItWas) {
    // Begun with the group hidden: set up again, hidden again.
    open(Organizer::setUp);
    ASSERT_FALSE(c.menuBarAppearance.areHiddenItemsRevealed());
    EXPECT_EQ(page->showHideButton()->text(), "Show hidden items");
    click(page->setupButton());
    EXPECT_TRUE(c.menuBarAppearance.areHiddenItemsRevealed()) << "setup shows the group";
    qsizetype from = c.mark();
    click(page->cancelButton());
    EXPECT_EQ(c.callsSince(from).value(0), "menuBar.applySetupExit true true false");
    EXPECT_TRUE(c.h.preferences.menuMaskEnabled());
    EXPECT_TRUE(c.h.preferences.menuSetupComplete());
    EXPECT_FALSE(c.menuBarAppearance.areHiddenItemsRevealed());
    EXPECT_EQ(page->showHideButton()->text(), "Show hidden items");

    // Begun with the group visible: it stays visible.
    click(page->showHideButton());
    ASSERT_TRUE(c.menuBarAppearance.areHiddenItemsRevealed());
    click(page->setupButton());
    from = c.mark();
    click(page->cancelButton());
    EXPECT_EQ(c.callsSince(from).value(0), "menuBar.applySetupExit true true true");
    EXPECT_TRUE(c.menuBarAppearance.areHiddenItemsRevealed());
    EXPECT_EQ(subtitle(), kVisible) << "the organizer's status after Cancel";
    EXPECT_EQ(page->showHideButton()->text(), "Hide items");
}

TEST_F(MenuBarPageTest, ShowAndHideOnlyToggleTheGroup) {
    open(Organizer::setUp);
    EXPECT_EQ(page->setupButton()->text(), "Adjust divider…");
    qsizetype from = c.mark();
    click(page->showHideButton());
    EXPECT_EQ(c.callsSince(from).value(0), "menuBar.toggleHiddenItems");
    EXPECT_FALSE(c.callsSince(from).contains("menuBar.apply"));
    EXPECT_EQ(page->showHideButton()->text(), "Hide items");
    EXPECT_EQ(subtitle(), kVisible);
    from = c.mark();
    click(page->showHideButton());
    EXPECT_EQ(c.callsSince(from), QStringList({"menuBar.toggleHiddenItems"}))
        << "hiding plays nothing and writes nothing";
    EXPECT_EQ(page->showHideButton()->text(), "Show hidden items");
    // A tray goes on showing every icon, and the status says so.
    EXPECT_EQ(subtitle(), "Set to hidden — this tray still shows every icon");
}

TEST_F(MenuBarPageTest, TurningTheOrganizerOffDuringSetupEndsIt) {
    open(Organizer::inSetup);
    ASSERT_TRUE(shown(page->setupCard()));
    const qsizetype from = c.mark();
    click(page->organizerSwitch());
    EXPECT_EQ(c.callsSince(from).mid(0, 3),
              QStringList({"haptic generic", "set menu.maskEnabled false", "menuBar.apply"}));
    EXPECT_FALSE(c.menuBarAppearance.isSetupMode());
    EXPECT_EQ(onScreen(), Visibility{});
    EXPECT_EQ(subtitle(), kOff);
}

TEST_F(MenuBarPageTest, FinishAndCancelAreIgnoredOutsideSetupOrWithoutSettings) {
    open(Organizer::setUp);
    MenuBarAppearanceController& organizer = c.menuBarAppearance;
    const QString status = organizer.statusMessage();
    qsizetype from = c.mark();
    MenuBarPage::finishSetup(organizer);
    MenuBarPage::cancelSetup(organizer);
    EXPECT_EQ(c.callsSince(from), QStringList());
    EXPECT_EQ(organizer.statusMessage(), status);

    // Setup runs, but the settings it began with are gone.
    auto gone = std::make_unique<VantrelPreferences>(c.h.defaults.standard());
    organizer.beginSetup(*gone, c.menuBarScanner);
    gone.reset();
    ASSERT_EQ(organizer.preferences(), nullptr);
    ASSERT_TRUE(organizer.isSetupMode());
    from = c.mark();
    MenuBarPage::finishSetup(organizer);
    MenuBarPage::cancelSetup(organizer);
    EXPECT_EQ(c.callsSince(from), QStringList());
    EXPECT_TRUE(organizer.isSetupMode());
    EXPECT_EQ(organizer.statusMessage(), kSetupActive);
}

TEST_F(MenuBarPageTest, RowsKeepTheirMeasures) {
    open(Organizer::setUp);
    QCoreApplication::sendPostedEvents();
    auto* pill = dynamic_cast<const VantrelPillButtonStyle*>(&page->setupButton()->buttonStyle());
    ASSERT_NE(pill, nullptr);
    EXPECT_NE(dynamic_cast<const VantrelSecondaryButtonStyle*>(&page->showHideButton()->buttonStyle()),
              nullptr);
    const QList<PageDivider*> dividers = page->organizerCard()->findChildren<PageDivider*>();
    ASSERT_EQ(dividers.size(), 1);
    EXPECT_DOUBLE_EQ(dividers[0]->opacity(), 0.24);
    // Buttons 12 apart; the mark at the end, its glyph 10 points in a 16 by 16 frame, 6 before "Ready".
    EXPECT_EQ(page->showHideButton()->x() - page->setupButton()->geometry().right() - 1, 12);
    auto* glyph = page->readyMark()->findChild<VantrelGlyph*>();
    auto* ready = page->readyMark()->findChild<VantrelLabel*>();
    ASSERT_NE(glyph, nullptr);
    ASSERT_NE(ready, nullptr);
    EXPECT_EQ(glyph->systemName(), "checkmark.circle.fill");
    EXPECT_EQ(glyph->size(), QSize(16, 16));
    EXPECT_DOUBLE_EQ(glyph->pointSize(), 10);
    EXPECT_EQ(ready->x() - glyph->geometry().right() - 1, 6);
    EXPECT_EQ(glyph->x(), 0);
    EXPECT_EQ(ready->geometry().right(), page->readyMark()->width() - 1);
    EXPECT_EQ(page->readyMark()->width(), page->readyMark()->sizeHint().width())
        << "the spacer takes the room";
    EXPECT_EQ(page->setupButton()->x(), 0);
    // Under the divider and 16 below it, the row no taller than its buttons.
    const QWidget* buttons = page->setupButton()->parentWidget();
    EXPECT_EQ(buttons->y(), 1 + 16);
    EXPECT_EQ(buttons->height(), std::max({page->setupButton()->height(), page->showHideButton()->height(),
                                           page->readyMark()->height()}));
    EXPECT_EQ(page->readyMark()->height(), std::max(glyph->height(), ready->height()));
    EXPECT_EQ(page->readyMark()->mapTo(page->actionRow(), QPoint(page->readyMark()->width(), 0)).x(),
              page->actionRow()->width());
    const QList<FeatureRow*> rows = page->findChildren<FeatureRow*>();
    ASSERT_EQ(rows.size(), 2);
    QStringList symbols;
    for (const FeatureRow* row : rows) symbols << row->icon()->systemName();
    symbols.sort();
    EXPECT_EQ(symbols, QStringList({"cursorarrow.motionlines", "menubar.rectangle"}));
    QWidget* content = page->actionRow()->parentWidget();
    auto* organizerRow = content->findChild<FeatureRow*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(organizerRow, nullptr);
    EXPECT_EQ(dividers[0]->mapTo(content, QPoint()).y() - organizerRow->geometry().bottom() - 1, 16)
        << "the organizer stack, 16 apart";

    // The setup steps: a 26 by 26 bubble, 12 before the texts, title and detail 4 apart.
    prepare(c, Organizer::inSetup);
    QCoreApplication::sendPostedEvents();
    QWidget* bubble = nullptr;
    for (QWidget* child : page->setupCard()->findChildren<QWidget*>())
        if (child->accessibleName() == u"1") bubble = child;
    ASSERT_NE(bubble, nullptr);
    EXPECT_EQ(bubble->size(), QSize(26, 26));
    const QWidget* step = bubble->parentWidget();
    QWidget* texts = nullptr;
    for (QWidget* child : step->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child != bubble) texts = child;
    ASSERT_NE(texts, nullptr);
    EXPECT_EQ(texts->x() - bubble->geometry().right() - 1, 12);
    EXPECT_EQ(bubble->pos(), QPoint(0, 0)) << "at the step's top left";
    EXPECT_EQ(texts->y(), 0);
    EXPECT_EQ(texts->geometry().right(), step->width() - 1);
    EXPECT_EQ(step->height(), std::max(bubble->height(), texts->height()));
    const QList<VantrelLabel*> labels = texts->findChildren<VantrelLabel*>();
    ASSERT_EQ(labels.size(), 2);
    EXPECT_EQ(labels[1]->mapTo(texts, QPoint()).y() -
                  labels[0]->mapTo(texts, QPoint(0, labels[0]->height())).y(),
              4);
}

namespace {

// The menu-bar section of the control center in a window of `width`, in the dark or the light
// appearance, with the organizer in `state`.
QImage sectionShot(Organizer state, int width, AppearanceMode mode) {
    ControlCenterHarness c;
    c.h.preferences.setHasCompletedOnboarding(true);
    c.h.preferences.setAppearanceMode(mode);
    prepare(c, state);
    c.sections.select(VantrelSection::menuBar);
    RootView root(c.context());
    root.resize(width, width < 900 ? 900 : 720);
    root.show();
    QCoreApplication::sendPostedEvents();
    return renderWidget(root, Qt::black);
}

} // namespace

TEST(MenuBarPageSheets, OffOnSetUpAndInSetupDarkAndLightAtTwoWidths) {
    const std::pair<Organizer, const char*> states[] = {{Organizer::off, "menu-bar-page-off"},
                                                        {Organizer::on, "menu-bar-page-on"},
                                                        {Organizer::setUp, "menu-bar-page-set-up"},
                                                        {Organizer::inSetup, "menu-bar-page-setup"}};
    for (const auto& [state, name] : states) {
        QList<QImage> images;
        for (AppearanceMode mode : {AppearanceMode::dark, AppearanceMode::light})
            for (int width : {720, 1200}) images << sectionShot(state, width, mode);
        for (const QImage& image : images) ASSERT_FALSE(image.isNull());
        const QString path = saveSheet(QString::fromLatin1(name), images, 2);
        EXPECT_FALSE(QImage(path).isNull());
    }
}

TEST_F(MenuBarPageTest, TheFocusGoesToTheButtonThatTakesThePlaceOfTheOnePressed) {
    open(Organizer::on);
    QApplication::setActiveWindow(page.get());
    const auto focus = [] { return QApplication::focusWidget(); };
    const auto press = [&](QWidget* button) {
        button->setFocus(Qt::TabFocusReason);
        QTest::keyClick(button, Qt::Key_Space);
    };

    // "Set up hidden icons…" goes with its row: "Finish" of the steps has the focus.
    press(page->setupButton());
    ASSERT_TRUE(shown(page->setupCard()));
    EXPECT_EQ(focus(), page->finishButton());
    EXPECT_TRUE(KitPaint::showsFocusRing(focus()));
    // Cancelling the first setup turns the organizer off: its switch, above, has the focus.
    press(page->cancelButton());
    ASSERT_EQ(onScreen(), Visibility{});
    EXPECT_EQ(focus(), page->organizerSwitch());

    // "Finish": back to the row's "Adjust divider…".
    QTest::keyClick(focus(), Qt::Key_Space);
    ASSERT_TRUE(shown(page->setupButton()));
    press(page->setupButton());
    EXPECT_EQ(focus(), page->finishButton());
    QTest::keyClick(focus(), Qt::Key_Space);
    ASSERT_FALSE(shown(page->setupCard()));
    EXPECT_EQ(page->setupButton()->text(), "Adjust divider…");
    EXPECT_EQ(focus(), page->setupButton());
    EXPECT_TRUE(KitPaint::showsFocusRing(focus()));
    // "Cancel" of an adjustment: the same.
    QTest::keyClick(focus(), Qt::Key_Space);
    EXPECT_EQ(focus(), page->finishButton());
    press(page->cancelButton());
    ASSERT_FALSE(shown(page->setupCard()));
    EXPECT_EQ(focus(), page->setupButton());
    EXPECT_TRUE(KitPaint::showsFocusRing(focus()));
}
