#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "platform/InMemoryDefaults.h"
#include "platform/linux/SimulatedMenuBar.h"
#include "services/MenuBarAppearanceController.h"
#include "services/MenuBarScanner.h"
#include "support/FakeScreens.h"
#include "support/ManualScheduler.h"
#include "support/RecordingHapticPerformer.h"
#include "support/RecordingPermissionSystem.h"
#include "support/RecordingStatusBar.h"

#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QString kSuite = QStringLiteral("com.apple.systemuiserver");
const QString kPositionKey = QStringLiteral("NSStatusItem Preferred Position VantrelHiddenSection");
const QString kDivider = QStringLiteral("VantrelHiddenSection");
const QString kOff = QStringLiteral("Menu-bar organizer is off");
const QString kSetup = QStringLiteral("Setup active — Command-drag the Vantrel divider");
const QString kUnplaced = QStringLiteral("Set the divider before hiding icons");
const QString kVisible = QStringLiteral("Hidden items are visible");
// A tray, like the model over it, goes on showing every icon.
const QString kHidden = QStringLiteral("Set to hidden — this tray still shows every icon");
const QString kFinished = QStringLiteral("Setup finished — managed items are visible");
// Where the application's own item sits in these tests.
const QRect kPrimaryFrame(1400, 0, 24, 24);

class OrganizerTest : public ::testing::Test {
protected:
    ManualClock clock;
    ManualScheduler scheduler{clock};
    FakeScreens screens{{plainScreen(1, QRect(0, 0, 1512, 982))}, plainScreen(1, QRect(0, 0, 1512, 982))};
    InMemoryDefaultsProvider defaults;
    VantrelPreferences preferences{defaults.standard()};
    RecordingHapticPerformer performer;
    VantrelHaptics haptics{preferences, performer, scheduler};
    RecordingPermissionSystem permissions;
    RecordingStatusBar tray;
    SimulatedMenuBar bar{tray, screens};
    MenuBarScanner scanner{permissions, screens, clock, &bar};
    std::unique_ptr<MenuBarAppearanceController> organizer = makeOrganizer();

    std::unique_ptr<MenuBarAppearanceController> makeOrganizer() {
        auto made = std::make_unique<MenuBarAppearanceController>(
            MenuBarAppearanceController::Dependencies{.statusBar = &bar,
                                                      .defaults = defaults,
                                                      .screens = screens,
                                                      .scheduler = scheduler,
                                                      .haptics = &haptics});
        made->primaryControlFrameProvider = [this] { return primaryFrame; };
        return made;
    }
    RecordingStatusItem* divider() const { return tray.named(kDivider); }
    void placed() {
        preferences.setMenuMaskEnabled(true);
        preferences.setMenuSetupComplete(true);
    }
    // One turn of the hover check with the pointer at `at`.
    void hoverAt(QPoint at) {
        screens.pointer = at;
        scheduler.advance(Seconds(0.08));
    }

    std::optional<QRect> primaryFrame = kPrimaryFrame;
};

} // namespace

TEST_F(OrganizerTest, OffMakesNoItemAndTheFirstShowingSeedsItsPlaceOnlyWhenAbsent) {
    organizer->apply(preferences, scanner);
    EXPECT_EQ(tray.liveCount(), 0u);
    EXPECT_EQ(organizer->statusMessage(), kOff);
    EXPECT_FALSE(defaults.suite(kSuite).contains(kPositionKey));

    preferences.setMenuMaskEnabled(true);
    organizer->apply(preferences, scanner);
    ASSERT_NE(divider(), nullptr);
    EXPECT_EQ(divider()->symbol, QStringLiteral("chevron.left.2"));
    EXPECT_EQ(divider()->accessibilityDescription, QStringLiteral("Vantrel menu-bar divider"));
    EXPECT_EQ(divider()->toolTip, QStringLiteral("Vantrel divider — Command-drag to reposition"));
    EXPECT_EQ(divider()->length(), -1);
    EXPECT_TRUE(divider()->isVisible());
    EXPECT_EQ(defaults.suite(kSuite).object(kPositionKey), QJsonValue(1));
    EXPECT_EQ(organizer->statusMessage(), kUnplaced);
    EXPECT_TRUE(organizer->areHiddenItemsRevealed());
    EXPECT_FALSE(organizer->isHoverCheckRunning()) << "no hover check before the divider is placed";

    // A place the user chose later stays at the next launch.
    organizer.reset();
    EXPECT_EQ(tray.liveCount(), 0u);
    defaults.suite(kSuite).setInteger(kPositionKey, 5);
    organizer = makeOrganizer();
    organizer->apply(preferences, scanner);
    ASSERT_NE(divider(), nullptr);
    EXPECT_EQ(defaults.suite(kSuite).integer(kPositionKey), 5);

    // Switching it off takes the divider out of the tray.
    preferences.setMenuMaskEnabled(false);
    organizer->apply(preferences, scanner);
    EXPECT_EQ(divider(), nullptr);
    EXPECT_EQ(tray.removed().count(kDivider), 2) << "also the one of the organizer that was destroyed";
    EXPECT_EQ(organizer->statusMessage(), kOff);
    EXPECT_FALSE(organizer->areHiddenItemsRevealed());
}

TEST_F(OrganizerTest, HidingStretchesTheDividerPastTheWidestScreenWithinItsLimits) {
    placed();
    const auto hiddenLength = [&](std::vector<ScreenInfo> all) {
        screens.all = std::move(all);
        organizer->apply(preferences, scanner);
        organizer->toggleHiddenItems(nullptr, nullptr); // reveal
        organizer->toggleHiddenItems(nullptr, nullptr); // hide
        return divider() ? divider()->length() : 0.0;
    };
    EXPECT_EQ(
        hiddenLength({plainScreen(1, QRect(0, 0, 1512, 982)), plainScreen(2, QRect(1512, 0, 3008, 1692))}),
        3264);
    EXPECT_EQ(hiddenLength({plainScreen(1, QRect(0, 0, 1440, 900))}), 2048);
    EXPECT_EQ(hiddenLength({plainScreen(1, QRect(0, 0, 8000, 2000))}), 8192);
    EXPECT_EQ(hiddenLength({}), 2048 + 256) << "no screen counts as one 2048 points wide";
    // A divider already stretched keeps its length.
    screens.all = {plainScreen(1, QRect(0, 0, 8000, 2000))};
    organizer->hideHiddenItems();
    EXPECT_EQ(divider()->length(), 2048 + 256);
}

TEST(MenuBarSectionControl, EachKindHasItsNameSymbolAndSetupTip) {
    EXPECT_EQ(MenuBarSectionControl::autosaveName(MenuBarSectionKind::hidden),
              QStringLiteral("VantrelHiddenSection"));
    EXPECT_EQ(MenuBarSectionControl::autosaveName(MenuBarSectionKind::alwaysHidden),
              QStringLiteral("VantrelAlwaysHiddenSection"));
    EXPECT_EQ(MenuBarSectionControl::seededPosition(MenuBarSectionKind::hidden), 1);
    EXPECT_EQ(MenuBarSectionControl::seededPosition(MenuBarSectionKind::alwaysHidden), 2);
    EXPECT_EQ(MenuBarSectionControl::symbol(MenuBarSectionKind::alwaysHidden),
              QStringLiteral("chevron.left.to.line"));
    EXPECT_EQ(MenuBarSectionControl::setupToolTip(MenuBarSectionKind::alwaysHidden),
              QStringLiteral("Hold Command and drag this boundary. Icons to its left stay hidden unless you "
                             "explicitly reveal them."));
    // Made on its own, an always-hidden divider seeds 2 and shows its own symbol.
    InMemoryDefaultsProvider defaults;
    RecordingStatusBar tray;
    int presses = 0;
    MenuBarSectionControl always(
        MenuBarSectionKind::alwaysHidden, [&presses] { ++presses; }, &tray, defaults);
    EXPECT_EQ(defaults.suite(kSuite).integer(
                  QStringLiteral("NSStatusItem Preferred Position VantrelAlwaysHiddenSection")),
              2);
    ASSERT_NE(tray.item, nullptr);
    EXPECT_EQ(tray.item->symbol, QStringLiteral("chevron.left.to.line"));
    tray.item->click(StatusItemClick::right);
    EXPECT_EQ(presses, 0) << "only a left click presses it";
    tray.item->click(StatusItemClick::left);
    EXPECT_EQ(presses, 1);
}

TEST_F(OrganizerTest, APlacedOrganizerStartsHiddenAndTheDividerLeavesTheTrayUntilRevealed) {
    placed();
    organizer->apply(preferences, scanner);
    ASSERT_NE(divider(), nullptr);
    EXPECT_FALSE(organizer->areHiddenItemsRevealed());
    EXPECT_EQ(organizer->statusMessage(), kHidden);
    EXPECT_FALSE(divider()->isVisible());
    EXPECT_EQ(divider()->length(), 2048);
    EXPECT_TRUE(divider()->symbol.isEmpty());
    EXPECT_EQ(divider()->toolTip, QStringLiteral("Vantrel hidden menu-bar items"));
    ASSERT_TRUE(organizer->isHoverCheckRunning());
    const auto timer = scheduler.pendingTasks().front();
    EXPECT_EQ(scheduler.intervalOf(timer), Seconds(0.08));
    EXPECT_EQ(scheduler.toleranceOf(timer), Seconds(0.02));

    // A click on the divider is a toggle too; the divider comes back as an icon.
    organizer->toggleHiddenItems(nullptr, nullptr);
    EXPECT_TRUE(organizer->areHiddenItemsRevealed());
    EXPECT_TRUE(divider()->isVisible());
    EXPECT_EQ(divider()->length(), -1);
    EXPECT_EQ(divider()->symbol, QStringLiteral("chevron.left.2"));
    EXPECT_EQ(organizer->statusMessage(), kVisible);
    EXPECT_EQ(performer.count(), 1u) << "revealing plays the controls pattern";
    divider()->click(StatusItemClick::left);
    EXPECT_FALSE(organizer->areHiddenItemsRevealed());
    EXPECT_FALSE(divider()->isVisible());
    EXPECT_EQ(organizer->statusMessage(), kHidden);
    EXPECT_EQ(performer.count(), 1u) << "hiding plays nothing";

    // Applying again keeps the state; once revealed it says so.
    organizer->apply(preferences, scanner);
    EXPECT_FALSE(organizer->areHiddenItemsRevealed());
    organizer->toggleHiddenItems(nullptr, nullptr);
    divider()->setImage(QString(), QString());
    organizer->apply(preferences, scanner);
    EXPECT_TRUE(organizer->areHiddenItemsRevealed());
    EXPECT_EQ(organizer->statusMessage(), kVisible);
    EXPECT_EQ(divider()->symbol, QStringLiteral("chevron.left.2")) << "applying shows the divider anew";

    // Hovering switched off stops the check; off altogether removes everything.
    preferences.setMenuRevealOnHover(false);
    organizer->apply(preferences, scanner);
    EXPECT_FALSE(organizer->isHoverCheckRunning());
    preferences.setMenuRevealOnHover(true);
    organizer->apply(preferences, scanner);
    EXPECT_TRUE(organizer->isHoverCheckRunning());
    const auto pending = scheduler.pendingTasks();
    EXPECT_EQ(
        std::count_if(pending.begin(), pending.end(), [&](auto id) { return scheduler.intervalOf(id); }), 1)
        << "one check, however often applied";
    organizer->disableItemHiding();
    EXPECT_FALSE(organizer->isHoverCheckRunning());
    EXPECT_EQ(divider(), nullptr);
    EXPECT_EQ(organizer->statusMessage(), kOff);
}

TEST_F(OrganizerTest, HoverRevealsOnlyOnTheGrownFrameWithNoButtonHeldAndAfterThePointerLeftOnce) {
    placed();
    organizer->apply(preferences, scanner);
    ASSERT_FALSE(organizer->areHiddenItemsRevealed());

    // Just outside the frame grown by 6 and 3 points: nothing.
    hoverAt(QPoint(1393, 10));
    hoverAt(QPoint(1431, 10));
    hoverAt(QPoint(1410, 28));
    EXPECT_FALSE(organizer->areHiddenItemsRevealed());
    // A held button (a drag passing over) does not reveal.
    screens.buttons = Qt::LeftButton;
    hoverAt(QPoint(1394, 27));
    EXPECT_FALSE(organizer->areHiddenItemsRevealed());
    screens.buttons = Qt::NoButton;
    hoverAt(QPoint(1394, 27));
    EXPECT_TRUE(organizer->areHiddenItemsRevealed());
    EXPECT_EQ(organizer->statusMessage(), kVisible);

    // Hidden by a click with the pointer resting on the item: it stays hidden until the pointer
    // has left the grown frame once.
    organizer->toggleHiddenItems(nullptr, nullptr);
    EXPECT_TRUE(organizer->hoverPolicy().requiresPointerExit);
    hoverAt(QPoint(1410, 10));
    hoverAt(QPoint(1430, -3));
    EXPECT_FALSE(organizer->areHiddenItemsRevealed());
    hoverAt(QPoint(1300, 10));
    EXPECT_FALSE(organizer->hoverPolicy().requiresPointerExit);
    hoverAt(QPoint(1410, 10));
    EXPECT_TRUE(organizer->areHiddenItemsRevealed());

    // Hiding while already hidden asks for no exit.
    organizer->toggleHiddenItems(nullptr, nullptr);
    hoverAt(QPoint(1300, 10));
    organizer->hideHiddenItems();
    EXPECT_FALSE(organizer->hoverPolicy().requiresPointerExit);

    // Where the tray does not say where the item is, hovering reveals nothing.
    primaryFrame = std::nullopt;
    hoverAt(QPoint(1410, 10));
    EXPECT_FALSE(organizer->areHiddenItemsRevealed());
    organizer->primaryControlFrameProvider = nullptr;
    hoverAt(QPoint(1410, 10));
    EXPECT_FALSE(organizer->areHiddenItemsRevealed());
    // Nor with hovering switched off, though the check may still run.
    organizer->primaryControlFrameProvider = [] { return std::optional<QRect>(kPrimaryFrame); };
    preferences.setMenuRevealOnHover(false);
    organizer->checkHover();
    EXPECT_FALSE(organizer->areHiddenItemsRevealed());
    preferences.setMenuRevealOnHover(true);
    organizer->checkHover();
    EXPECT_TRUE(organizer->areHiddenItemsRevealed());
}

TEST_F(OrganizerTest, SetupShowsTheSetupDividerRefusesTogglingAndEndsAsTheButtonsDecide) {
    // Cancel after a setup begun on a never-placed organizer: it turns off, stored off.
    organizer->beginSetup(preferences, scanner);
    EXPECT_TRUE(defaults.standard().boolValue(QStringLiteral("menu.maskEnabled")));
    ASSERT_NE(divider(), nullptr);
    EXPECT_TRUE(organizer->isSetupMode());
    EXPECT_EQ(organizer->setupKind(), MenuBarSectionKind::hidden);
    EXPECT_EQ(divider()->symbol, QStringLiteral("line.3.horizontal.decrease"));
    EXPECT_EQ(divider()->toolTip, QStringLiteral("Hold Command and drag this boundary. Icons to its left are "
                                                 "hidden until you click the chevron."));
    EXPECT_EQ(organizer->statusMessage(), kSetup);
    EXPECT_TRUE(organizer->areHiddenItemsRevealed());
    EXPECT_EQ(organizer->setupEntryState(), (MenuBarSetupEntryState{false, false}));
    organizer->apply(preferences, scanner);
    EXPECT_EQ(divider()->symbol, QStringLiteral("line.3.horizontal.decrease")) << "applying keeps setup";
    EXPECT_EQ(organizer->statusMessage(), kSetup);
    organizer->applySetupExit(MenuBarOrganizerPolicy::cancel(organizer->setupEntryState(), false),
                              preferences);
    EXPECT_FALSE(defaults.standard().boolValue(QStringLiteral("menu.maskEnabled")));
    EXPECT_TRUE(defaults.standard().contains(QStringLiteral("menu.maskEnabled")));
    EXPECT_EQ(divider(), nullptr);
    EXPECT_FALSE(organizer->isSetupMode());
    EXPECT_EQ(organizer->statusMessage(), kOff);

    // Cancel after a setup begun while a placed organizer hid its items: hidden again.
    placed();
    organizer->apply(preferences, scanner);
    ASSERT_FALSE(organizer->areHiddenItemsRevealed());
    organizer->beginSetup(preferences, scanner);
    ASSERT_TRUE(divider()->isVisible());
    organizer->toggleHiddenItems(&preferences, &scanner);
    organizer->revealHiddenItems();
    organizer->beginSetup(preferences, scanner); // a second call keeps the first record
    EXPECT_EQ(organizer->setupEntryState(), (MenuBarSetupEntryState{true, false}));
    EXPECT_TRUE(organizer->isSetupMode());
    organizer->toggleHiddenItems(nullptr, nullptr);
    organizer->toggleHiddenItems(nullptr, nullptr);
    EXPECT_EQ(divider()->symbol, QStringLiteral("line.3.horizontal.decrease")) << "toggling is refused";
    EXPECT_EQ(organizer->statusMessage(), kSetup);
    hoverAt(kPrimaryFrame.center());
    EXPECT_EQ(organizer->statusMessage(), kSetup) << "so is hovering";
    organizer->applySetupExit(MenuBarOrganizerPolicy::cancel(organizer->setupEntryState(), true),
                              preferences);
    EXPECT_FALSE(organizer->areHiddenItemsRevealed());
    EXPECT_FALSE(divider()->isVisible());
    EXPECT_EQ(organizer->statusMessage(), kHidden);
    EXPECT_FALSE(organizer->setupEntryState().has_value());
    EXPECT_FALSE(organizer->isSetupMode());
    EXPECT_TRUE(organizer->isHoverCheckRunning());

    // Finish: on, placed, items visible; the page then reports it.
    preferences.setMenuSetupComplete(false);
    organizer->beginSetup(preferences, scanner);
    organizer->applySetupExit(MenuBarOrganizerPolicy::finish(), preferences);
    organizer->setStatusMessage(kFinished);
    EXPECT_TRUE(defaults.standard().boolValue(QStringLiteral("menu.maskEnabled")));
    EXPECT_TRUE(defaults.standard().boolValue(QStringLiteral("menu.setupComplete")));
    EXPECT_TRUE(organizer->areHiddenItemsRevealed());
    EXPECT_EQ(divider()->symbol, QStringLiteral("chevron.left.2"));
    EXPECT_EQ(organizer->statusMessage(), kFinished);
    EXPECT_TRUE(organizer->isHoverCheckRunning());
    EXPECT_FALSE(organizer->isSetupMode());
    organizer->toggleHiddenItems(nullptr, nullptr);
    EXPECT_FALSE(organizer->areHiddenItemsRevealed()) << "toggling works again";
}

TEST(MenuBarOrganizerPolicy, CancelReturnsToTheStateSetupBeganIn) {
    using Outcome = MenuBarOrganizerPolicy::SetupExitOutcome;
    EXPECT_EQ(MenuBarOrganizerPolicy::finish(), (Outcome{true, true, true}));
    EXPECT_EQ(MenuBarOrganizerPolicy::cancel(MenuBarSetupEntryState{true, true}, false),
              (Outcome{true, true, true}));
    EXPECT_EQ(MenuBarOrganizerPolicy::cancel(MenuBarSetupEntryState{true, false}, false),
              (Outcome{true, true, false}));
    EXPECT_EQ(MenuBarOrganizerPolicy::cancel(MenuBarSetupEntryState{false, true}, true),
              (Outcome{false, false, false}));
    // Without a record: the stored setup flag, with the items hidden.
    EXPECT_EQ(MenuBarOrganizerPolicy::cancel(std::nullopt, true), (Outcome{true, true, false}));
    EXPECT_EQ(MenuBarOrganizerPolicy::cancel(std::nullopt, false), (Outcome{false, false, false}));
}

TEST_F(OrganizerTest, RevealingNeedsTheOrganizerOnAndTheAlwaysHiddenFlagOnlyEverFalls) {
    // Never applied: no settings remembered, nothing to reveal.
    organizer->revealHiddenItems();
    organizer->toggleHiddenItems(nullptr, nullptr);
    EXPECT_FALSE(organizer->areHiddenItemsRevealed());
    EXPECT_EQ(performer.count(), 0u);
    // Remembered but off.
    organizer->toggleHiddenItems(&preferences, &scanner);
    preferences.setMenuSetupComplete(true);
    organizer->toggleHiddenItems(nullptr, nullptr);
    organizer->revealHiddenItems();
    EXPECT_FALSE(organizer->areHiddenItemsRevealed());

    placed();
    organizer->setAreAlwaysHiddenItemsRevealed(true);
    organizer->apply(preferences, scanner);
    EXPECT_FALSE(organizer->areAlwaysHiddenItemsRevealed());
    organizer->setAreAlwaysHiddenItemsRevealed(true);
    organizer->beginSetup(preferences, scanner);
    EXPECT_FALSE(organizer->areAlwaysHiddenItemsRevealed());
    EXPECT_EQ(organizer->alwaysHiddenSection(), nullptr) << "no always-hidden divider is ever made";
    organizer->setAreAlwaysHiddenItemsRevealed(true);
    organizer->disableItemHiding();
    EXPECT_FALSE(organizer->areAlwaysHiddenItemsRevealed());

    // Without a status bar the organizer keeps its state all the same.
    MenuBarAppearanceController bare({.statusBar = nullptr,
                                      .defaults = defaults,
                                      .screens = screens,
                                      .scheduler = scheduler,
                                      .haptics = nullptr});
    bare.apply(preferences, scanner);
    EXPECT_FALSE(bare.areHiddenItemsRevealed());
    EXPECT_EQ(bare.statusMessage(), kHidden);
    bare.toggleHiddenItems(nullptr, nullptr);
    EXPECT_TRUE(bare.areHiddenItemsRevealed());
    EXPECT_EQ(bare.statusMessage(), kVisible);

    // Where a stretched divider does push the icons out of sight, the status says they are hidden.
    RecordingStatusBar menuBar;
    MenuBarAppearanceController hiding({.statusBar = &menuBar,
                                        .defaults = defaults,
                                        .screens = screens,
                                        .scheduler = scheduler,
                                        .haptics = nullptr});
    hiding.apply(preferences, scanner);
    EXPECT_EQ(hiding.statusMessage(),
              QStringLiteral("Icons are hidden — click or hover over the Vantrel control to reveal"));
}

TEST_F(OrganizerTest, TheModelPutsEveryOtherItemLeftOfTheScreenWhileHidden) {
    bar.setOtherItems({{QStringLiteral("Wi-Fi"), {}, {}, QStringLiteral("nm-applet")},
                       {QStringLiteral("Sync"), {}, {}, QStringLiteral("nextcloud")}});
    // Vantrel's own item first, as the application delegate makes it, then the divider.
    std::unique_ptr<StatusItem> primary = bar.createItem(QStringLiteral("VantrelPrimary"));
    EXPECT_EQ(bar.itemFrame(QStringLiteral("VantrelPrimary")), QRectF(1488, 0, 24, 24));
    placed();
    organizer->apply(preferences, scanner);
    for (int i = 0; i < 2; ++i) EXPECT_LT(bar.otherItemFrame(i).right(), 0) << i;
    for (const MenuBarItemRecord& record : bar.menuBarItems()) EXPECT_LT(record.position.x(), 0);
    EXPECT_EQ(bar.itemFrame(kDivider), QRectF(1488 - 2048, 0, 2048, 24));

    organizer->toggleHiddenItems(nullptr, nullptr);
    EXPECT_EQ(bar.itemFrame(kDivider), QRectF(1464, 0, 24, 24));
    const auto records = bar.menuBarItems();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].position, QPointF(1440, 0));
    EXPECT_EQ(records[1].position, QPointF(1416, 0));
    EXPECT_EQ(records[1].title, QStringLiteral("Sync"));
    for (const auto& record : records) EXPECT_TRUE(QRectF(0, 0, 1512, 24).contains(record.position));

    // A removed item leaves the layout.
    organizer->disableItemHiding();
    EXPECT_FALSE(bar.itemFrame(kDivider).has_value());
    EXPECT_EQ(bar.otherItemFrame(0), QRectF(1464, 0, 24, 24));
}

TEST(SimulatedMenuBar, AnItemOfNoLengthTakesNoRoomAndWithoutAScreenTheBarEndsAtZero) {
    FakeScreens screens{{plainScreen(1, QRect(0, 0, 1512, 982))}, plainScreen(1, QRect(0, 0, 1512, 982))};
    RecordingStatusBar tray;
    SimulatedMenuBar bar{tray, screens};
    std::unique_ptr<StatusItem> primary = bar.createItem(QStringLiteral("VantrelPrimary"));
    std::unique_ptr<StatusItem> divider = bar.createItem(QStringLiteral("VantrelHiddenSection"));
    divider->setLength(0);
    EXPECT_EQ(bar.itemFrame(QStringLiteral("VantrelPrimary")), QRectF(1488, 0, 24, 24));
    EXPECT_EQ(bar.itemFrame(QStringLiteral("VantrelHiddenSection")), QRectF(1488, 0, 0, 24));

    screens.set({}, std::nullopt);
    EXPECT_EQ(bar.itemFrame(QStringLiteral("VantrelPrimary")), QRectF(-24, 0, 24, 24));
}
