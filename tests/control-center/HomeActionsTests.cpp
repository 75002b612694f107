#include "control-center/HomeActions.h"
#include "modules/FileShelfStore.h"
#include "modules/FocusTimer.h"
#include "modules/NotesStore.h"
#include "modules/StopwatchStore.h"
#include "support/ControlCenterHarness.h"
#include "support/QtPrinters.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QString kClick = QStringLiteral("haptic generic");

class HomeActionsTest : public ::testing::Test {
protected:
    ControlCenterHarness c;
    HomeActions actions{c.context().home};
};

} // namespace

TEST_F(HomeActionsTest, LaunchersPlayTheControlsHapticThenWriteTheSection) {
    const QStringList titles{"Notch Panel",   "Menu Bar",   "Trackpad",
                             "Notifications", "Appearance", "Permissions"};
    const QStringList symbols{"capsule.tophalf.filled", "menubar.rectangle", "hand.tap", "bell",
                              "circle.lefthalf.filled", "checkmark.shield"};
    const QStringList sections{"notch", "menuBar", "feedback", "notifications", "appearance", "permissions"};
    ASSERT_EQ(HomeActions::kLaunchers.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        const HomeActions::Launcher& row = HomeActions::kLaunchers[i];
        EXPECT_EQ(QString::fromUtf8(row.title), titles[i]);
        EXPECT_EQ(QString::fromUtf8(row.symbol), symbols[i]);
        const qsizetype from = c.mark();
        actions.openSection(row.section);
        EXPECT_EQ(c.callsSince(from), (QStringList{kClick, "selectedSection " + sections[i]}))
            << titles[i].toStdString();
    }

    // "Open Permissions" writes without a haptic.
    c.sections.select(VantrelSection::home);
    qsizetype from = c.mark();
    actions.openPermissions();
    EXPECT_EQ(c.callsSince(from), QStringList{"selectedSection permissions"});

    // "Quick actions": no screen before a window is registered, then the window's screen.
    from = c.mark();
    actions.showCommandPalette();
    c.h.screens.main = ScreenInfo{QStringLiteral("main"), QRect(0, 0, 1000, 700), QRect(0, 0, 1000, 700)};
    c.h.screens.window =
        ScreenInfo{QStringLiteral("side"), QRect(1000, 0, 800, 600), QRect(1000, 0, 800, 600)};
    QWidget window;
    c.window = &window;
    actions.showCommandPalette();
    QStringList shown = c.callsSince(from);
    shown.removeAll(QStringLiteral("app.activate")); // follows from the screens found, not from the action
    EXPECT_EQ(shown, (QStringList{"palette.show none", "palette.show side"}));

    // "Open Cleaning Canvas" only starts cleaning; its refusal is the controller's to report.
    from = c.mark();
    actions.openCleaningCanvas();
    EXPECT_EQ(c.callsSince(from), QStringList{"cleaning.start"});
    EXPECT_EQ(
        c.stores.keyboardCleaning.statusMessage(),
        QStringLiteral("macOS could not start the keyboard guard. Review Accessibility and try again."));
}

TEST_F(HomeActionsTest, ThePanelOpensWithAHapticAndEveryCloseIsSilent) {
    EXPECT_FALSE(actions.handleEscape()) << "Escape with the panel closed travels on";

    qsizetype from = c.mark();
    actions.presentUtility(HomeUtility::timer);
    EXPECT_EQ(actions.presentedUtility(), HomeUtility::timer);
    actions.selectUtility(HomeUtility::files);
    EXPECT_EQ(actions.presentedUtility(), HomeUtility::files);
    EXPECT_EQ(c.callsSince(from), QStringList{kClick}) << "switching inside the panel plays nothing";

    from = c.mark();
    EXPECT_TRUE(actions.handleEscape());
    EXPECT_EQ(actions.presentedUtility(), std::nullopt);
    EXPECT_FALSE(actions.handleEscape());

    actions.selectUtility(HomeUtility::clipboard);
    actions.closeUtility();
    EXPECT_EQ(actions.presentedUtility(), std::nullopt);
    EXPECT_TRUE(c.callsSince(from).isEmpty());
}

TEST(HomeUtility, RawValuesMatchExactly) {
    EXPECT_EQ(rawValue(HomeUtility::timer), "Timer");
    EXPECT_EQ(rawValue(HomeUtility::clipboard), "Clipboard");
    EXPECT_EQ(rawValue(HomeUtility::files), "File Shelf");
    EXPECT_EQ(fromRawValue<HomeUtility>(u"File Shelf"), HomeUtility::files);
    EXPECT_EQ(fromRawValue<HomeUtility>(u"Clipboard"), HomeUtility::clipboard);
    for (const char16_t* text : {u"Files", u"timer", u""})
        EXPECT_EQ(fromRawValue<HomeUtility>(text), std::nullopt) << QString::fromUtf16(text).toStdString();
}

TEST_F(HomeActionsTest, TimerRowsToggleOnTheRunningFlagAndStepTheDurationUnclamped) {
    FocusTimer& focus = c.stores.focus;
    actions.toggleFocus();
    EXPECT_TRUE(focus.isRunning());
    actions.toggleFocus();
    EXPECT_FALSE(focus.isRunning());
    actions.resetFocus();

    focus.updateDuration(1);
    actions.decreaseFocusDuration(); // asks for 0; the timer keeps 1
    EXPECT_EQ(focus.durationMinutes(), 1);
    actions.increaseFocusDuration();
    EXPECT_EQ(focus.durationMinutes(), 2);
    focus.updateDuration(120);
    actions.increaseFocusDuration();
    EXPECT_EQ(focus.durationMinutes(), 120);

    StopwatchStore& stopwatch = c.stores.stopwatch;
    actions.recordLap();
    EXPECT_TRUE(stopwatch.laps().isEmpty()) << "no lap while stopped";
    actions.toggleStopwatch();
    EXPECT_TRUE(stopwatch.isStopwatchRunning());
    c.h.scheduler.advance(Seconds(2));
    actions.recordLap();
    EXPECT_EQ(stopwatch.laps().size(), 1);
    actions.toggleStopwatch();
    EXPECT_FALSE(stopwatch.isStopwatchRunning());
    actions.resetStopwatch();
    EXPECT_TRUE(stopwatch.laps().isEmpty());

    EXPECT_EQ(HomeActions::kCountdownChoices, (std::array<qint64, 5>{1, 3, 5, 10, 25}));
    actions.chooseCountdownMinutes(10);
    EXPECT_EQ(stopwatch.countdownMinutes(), 10);
    actions.toggleCountdown();
    EXPECT_TRUE(stopwatch.isCountdownRunning());
    actions.toggleCountdown();
    EXPECT_FALSE(stopwatch.isCountdownRunning());
    actions.toggleCountdown();
    actions.resetCountdown();
    EXPECT_FALSE(stopwatch.isCountdownRunning());
}

TEST_F(HomeActionsTest, TypingWithNoNoteSelectedStartsANoteInsteadOfLosingTheText) {
    NotesStore& notes = c.stores.notes;
    notes.setSelectedID(std::nullopt);
    const qsizetype before = notes.notes().size();
    EXPECT_EQ(actions.editorText(), QString());
    actions.setEditorText(QString());
    EXPECT_EQ(notes.notes().size(), before) << "clearing an empty editor starts nothing";

    actions.setEditorText(QStringLiteral("Groceries\nmilk"));
    ASSERT_EQ(notes.notes().size(), before + 1);
    ASSERT_TRUE(notes.selectedIndex());
    EXPECT_EQ(notes.notes().at(*notes.selectedIndex()).title, "Groceries");
    EXPECT_EQ(actions.editorText(), "Groceries\nmilk");

    // Later keystrokes edit the same note.
    actions.setEditorText(QStringLiteral("Groceries\nmilk, eggs"));
    EXPECT_EQ(notes.notes().size(), before + 1);

    actions.addNote();
    EXPECT_EQ(notes.notes().size(), before + 2);
    EXPECT_EQ(actions.editorText(), QString());
    const QUuid first = notes.notes().at(1).id;
    actions.selectNote(first);
    EXPECT_EQ(actions.editorText(), "Groceries\nmilk, eggs");
}

TEST_F(HomeActionsTest, AddFileRunsTheChooserAndShelvesWhatWasChosen) {
    actions.addFile(); // cancelled
    EXPECT_EQ(c.h.openPanel.itemRuns, 1);
    EXPECT_TRUE(c.stores.fileShelf.items().isEmpty());

    const QString report = c.h.home.writeFile(QStringLiteral("report.pdf"), "pdf");
    c.h.home.writeFile(QStringLiteral("photos/beach.png"), "png");
    const QString photos = c.h.home.root() + QStringLiteral("/photos");
    c.h.openPanel.itemsAnswer = QStringList{report, photos};
    actions.addFile();
    // Newest first: the panel's last choice heads the shelf.
    EXPECT_EQ(c.stores.fileShelf.items(),
              (QList<QUrl>{QUrl::fromLocalFile(photos), QUrl::fromLocalFile(report)}));

    actions.openFile(QUrl::fromLocalFile(report));
    actions.openScreenshot(QUrl::fromLocalFile(report));
    EXPECT_EQ(c.h.workspace.opened,
              (std::vector<QUrl>{QUrl::fromLocalFile(report), QUrl::fromLocalFile(report)}));
}
