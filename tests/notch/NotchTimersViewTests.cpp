#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "kit/KitRender.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelSelectionButtonStyle.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/AlarmController.h"
#include "modules/NotificationSignalStore.h"
#include "modules/StopwatchStore.h"
#include "notch/NotchTimersView.h"
#include "notch/PaintedTexts.h"
#include "platform/linux/QtMenuPresenter.h"
#include "support/CallLog.h"
#include "support/ManualClock.h"
#include "support/ManualScheduler.h"
#include "support/RecordingHapticPerformer.h"
#include "support/RecordingMenuPresenter.h"
#include "support/RecordingSoundPlayer.h"
#include "support/RecordingUserDefaults.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScrollArea>
#include <QTest>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QColor kAccent(10, 132, 255);

struct TimersHarness {
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingUserDefaults defaults;
    VantrelPreferences preferences{defaults};
    CallLog log;
    RecordingHapticPerformer performer{&clock, &log};
    RecordingSoundPlayer sounds{&log};
    AlarmController alarm{preferences, performer, sounds, scheduler};
    NotificationSignalStore alerts{preferences, clock};
    VantrelHaptics haptics{preferences, performer, scheduler};
    StopwatchStore store{TimerAlarm(alarm, alerts, preferences), haptics, clock, scheduler};
    RecordingMenuPresenter menus;
    NotchTimersView view{store, menus, kAccent};

    TimersHarness() {
        view.resize(892, 207);
        view.show();
    }
    void run(double seconds) { scheduler.advance(Seconds(seconds)); }
};

bool isSelected(const VantrelButton* button) {
    return static_cast<const VantrelSelectionButtonStyle&>(button->buttonStyle()).isSelected();
}

} // namespace

TEST(NotchTimersView, CompactBelow156PointsChangesSpacingTimeSizeLapsAndControls) {
    TimersHarness h;
    h.store.startStopwatch();
    h.run(1);
    h.store.recordLap();

    const auto compact = NotchTimersView::layout(QSizeF(692, 155.9), h.store);
    EXPECT_TRUE(compact.compact);
    EXPECT_FALSE(NotchTimersView::layout(QSizeF(692, 156), h.store).compact);
    // The regular rows at a height that holds them all.
    const auto regular = NotchTimersView::layout(QSizeF(692, 207), h.store);
    EXPECT_EQ(compact.timeFontSize, 23);
    EXPECT_EQ(regular.timeFontSize, 27);
    // Two columns sharing the width, 10 apart when compact and 14 otherwise.
    EXPECT_DOUBLE_EQ(compact.countdownColumn.left() - compact.stopwatchColumn.right(), 10);
    EXPECT_DOUBLE_EQ(regular.countdownColumn.left() - regular.stopwatchColumn.right(), 14);
    EXPECT_DOUBLE_EQ(compact.stopwatchColumn.width(), compact.countdownColumn.width());
    // Rows 6 apart when compact, 10 otherwise.
    EXPECT_DOUBLE_EQ(compact.stopwatchTime.top() - compact.stopwatchLabel.bottom(), 6);
    EXPECT_DOUBLE_EQ(regular.stopwatchTime.top() - regular.stopwatchLabel.bottom(), 10);
    // Laps: a summary line when compact, a list of at most 74 points otherwise.
    EXPECT_FALSE(compact.lapSummary.isEmpty());
    EXPECT_TRUE(compact.lapList.isEmpty());
    EXPECT_TRUE(regular.lapSummary.isEmpty());
    EXPECT_FALSE(regular.lapList.isEmpty());
    EXPECT_LE(regular.lapList.height(), 74);
    // The countdown: a minutes menu when compact, the preset row otherwise.
    EXPECT_FALSE(compact.minutesMenu.isEmpty());
    EXPECT_TRUE(compact.presets[0].isEmpty());
    EXPECT_TRUE(regular.minutesMenu.isEmpty());
    for (const QRectF& preset : regular.presets) EXPECT_FALSE(preset.isEmpty());
    // Start keeps at least 52 points.
    EXPECT_GE(compact.countdownStart.width(), 52);
    EXPECT_GE(regular.stopwatchStart.width(), 52);
    // The compact actions sit at the trailing edge of their column.
    EXPECT_DOUBLE_EQ(compact.countdownReset.right(), compact.countdownColumn.right());
    // Columns start at their leading edge; the stopwatch's three buttons share its width, 7 apart.
    EXPECT_EQ(regular.stopwatchLabel.left(), 0);
    EXPECT_EQ(regular.stopwatchTime.left(), 0);
    EXPECT_EQ(regular.countdownTime.left(), regular.countdownColumn.left());
    EXPECT_DOUBLE_EQ(regular.lap.left() - regular.stopwatchStart.right(), 7);
    EXPECT_DOUBLE_EQ(regular.stopwatchReset.right(), regular.stopwatchColumn.right());
    EXPECT_DOUBLE_EQ(regular.lap.width(), regular.stopwatchReset.width());
    // Regular countdown rows: presets 5 apart, then the actions a row below, then the alarm hint.
    EXPECT_DOUBLE_EQ(regular.presets[1].left() - regular.presets[0].right(), 5);
    EXPECT_DOUBLE_EQ(regular.presets[4].right(), regular.countdownColumn.right());
    EXPECT_DOUBLE_EQ(regular.countdownStart.top() - regular.presets[0].bottom(), 10);
    EXPECT_DOUBLE_EQ(regular.alarmHint.top() - regular.countdownStart.bottom(), 10);
    EXPECT_DOUBLE_EQ(compact.alarmHint.top() - compact.countdownStart.bottom(), 6);
    EXPECT_DOUBLE_EQ(regular.stopwatchStart.top() - regular.stopwatchTime.bottom(), 10);
    EXPECT_DOUBLE_EQ(regular.countdownReset.right(), regular.countdownColumn.right());
    // A narrow compact column squeezes the minutes menu, still 7 before Start.
    const auto narrow = NotchTimersView::layout(QSizeF(300, 120), h.store);
    ASSERT_TRUE(narrow.compact);
    EXPECT_LT(narrow.minutesMenu.width(), compact.minutesMenu.width());
    EXPECT_DOUBLE_EQ(narrow.countdownStart.left() - narrow.minutesMenu.right(), 7);
    // Narrower than the spacing between the columns: both columns are empty, never negative.
    const auto sliver = NotchTimersView::layout(QSizeF(8, 120), h.store);
    EXPECT_EQ(sliver.stopwatchColumn.width(), 0);
    EXPECT_EQ(sliver.countdownColumn.width(), 0);

    // The widget follows the layout of its height.
    h.view.resize(692, 117);
    EXPECT_TRUE(h.view.minutesMenuButton()->isVisibleTo(&h.view));
    EXPECT_FALSE(h.view.presetButton(0)->isVisibleTo(&h.view));
    EXPECT_FALSE(h.view.lapList()->isVisibleTo(&h.view));
    h.view.resize(892, 207);
    EXPECT_FALSE(h.view.minutesMenuButton()->isVisibleTo(&h.view));
    EXPECT_TRUE(h.view.presetButton(4)->isVisibleTo(&h.view));
    EXPECT_TRUE(h.view.lapList()->isVisibleTo(&h.view));
}

TEST(NotchTimersView, DurationAndCountdownTexts) {
    EXPECT_EQ(StopwatchStore::format(65.4, true), "1:05.40");
    EXPECT_EQ(StopwatchStore::format(3725.5, true), "1:02:05");
    EXPECT_EQ(StopwatchStore::format(3540, false), "59:00");
    EXPECT_EQ(StopwatchStore::format(3600, true), "1:00:00") << "hours from 3600 seconds on";

    TimersHarness h;
    h.store.setCountdown(25);
    EXPECT_EQ(NotchTimersView::countdownText(h.store), "25:00");
    EXPECT_FALSE(NotchTimersView::showsRemaining(h.store));
    EXPECT_TRUE(NotchTimersView::layout(QSizeF(892, 207), h.store).progress.isEmpty()) << "no bar while idle";
    h.store.setCountdown(90);
    EXPECT_EQ(NotchTimersView::countdownText(h.store), "90:00") << "minutes, never hours";

    h.store.setCountdown(1);
    h.store.startCountdown();
    h.clock.advance(Seconds(17.3));
    h.store.pauseCountdown();
    EXPECT_EQ(NotchTimersView::countdownText(h.store), "0:42");
    EXPECT_TRUE(NotchTimersView::showsRemaining(h.store));
    EXPECT_FALSE(NotchTimersView::layout(QSizeF(892, 207), h.store).progress.isEmpty())
        << "the bar while paused";
}

TEST(NotchTimersView, TimesShrinkToSixTenthsOfTheirSizeThenEnd) {
    TimersHarness h;
    // The stopwatch's time as painted: its text and its size in pixels. Times are set in the
    // monospaced face, so that the digits do not jitter as they change.
    const auto paintedTime = [&h] {
        TextRecordingDevice device(h.view.size());
        h.view.render(&device, QPoint(), QRegion(), QWidget::DrawChildren);
        for (qsizetype i = 0; i < device.texts().size(); ++i)
            if (device.texts()[i].startsWith("0:0")) {
                EXPECT_EQ(device.fonts()[i].family(), "JetBrains Mono") << device.texts()[i].toStdString();
                return std::make_pair(device.texts()[i], VantrelType::pixelSize(device.fonts()[i]));
            }
        return std::make_pair(QString(), 0.0);
    };
    EXPECT_EQ(paintedTime(), std::make_pair(QString("0:00.00"), 27.0)) << "room enough: 27 points";

    // A column four fifths as wide as the time: the whole time, in smaller type.
    const double full =
        QFontMetricsF(VantrelType::monospaced(27, QFont::DemiBold)).horizontalAdvance("0:00.00");
    h.view.resize(int(2 * full * 0.8) + 14, 207);
    const auto squeezed = paintedTime();
    EXPECT_EQ(squeezed.first, "0:00.00");
    EXPECT_LT(squeezed.second, 27);
    EXPECT_GE(squeezed.second, std::floor(27 * 0.6));

    // Narrower still: no smaller than 0.6 of 27, and the rest cut off.
    h.view.resize(int(full * 0.9), 207);
    const auto cut = paintedTime();
    EXPECT_EQ(cut.second, std::floor(27 * 0.6));
    EXPECT_TRUE(cut.first.endsWith(QChar(0x2026))) << cut.first.toStdString();

    // A lap's time is set in the same face as the running time.
    h.view.resize(892, 207);
    h.store.startStopwatch();
    h.run(1);
    h.store.recordLap();
    TextRecordingDevice device(h.view.size());
    h.view.render(&device, QPoint(), QRegion(), QWidget::DrawChildren);
    int times = 0;
    for (qsizetype i = 0; i < device.texts().size(); ++i)
        if (device.texts()[i].contains(':') && device.texts()[i].contains('.')) {
            ++times;
            EXPECT_EQ(device.fonts()[i].family(), "JetBrains Mono") << device.texts()[i].toStdString();
        }
    EXPECT_GE(times, 2) << "the running time and the lap's";
}

TEST(NotchTimersView, LapLabelsStayTrueAfterMoreThanTwentyLaps) {
    TimersHarness h;
    h.store.startStopwatch();
    h.run(1);
    h.store.recordLap();
    EXPECT_EQ(NotchTimersView::lapSummary(h.store.laps().size()), "1 lap saved");
    EXPECT_EQ(NotchTimersView::lapLabels(h.store), QStringList{"Lap 1"});
    h.store.recordLap();
    h.store.recordLap();
    EXPECT_EQ(NotchTimersView::lapLabels(h.store), (QStringList{"Lap 3", "Lap 2", "Lap 1"}))
        << "newest on top";
    EXPECT_EQ(NotchTimersView::lapSummary(2), "2 laps saved");
    // Rows 3 points apart: three rows are three row heights and two gaps.
    const double threeRows = NotchTimersView::layout(QSizeF(892, 207), h.store).lapList.height();
    h.store.resetStopwatch();
    h.store.startStopwatch();
    h.store.recordLap();
    const double oneRow = NotchTimersView::layout(QSizeF(892, 207), h.store).lapList.height();
    EXPECT_NEAR(threeRows - 3 * oneRow, 6, 1e-9);
    h.store.resetStopwatch();
    h.store.startStopwatch();
    for (int i = 1; i <= 3; ++i) h.store.recordLap();

    for (int i = 4; i <= 21; ++i) {
        h.run(1);
        h.store.recordLap();
    }
    const QStringList labels = NotchTimersView::lapLabels(h.store);
    ASSERT_EQ(labels.size(), 20);
    EXPECT_EQ(labels.front(), "Lap 21") << "the 21st lap is Lap 21, not Lap 20";
    EXPECT_EQ(labels.back(), "Lap 2") << "only Lap 1 was dropped";
    EXPECT_EQ(NotchTimersView::lapSummary(h.store.laps().size()), "20 laps saved");

    // The list scrolls inside its 74 points.
    EXPECT_NEAR(h.view.lapList()->height(), 74, 1);
    EXPECT_GT(h.view.lapList()->widget()->height(), 74);
}

TEST(NotchTimersView, StopwatchControlsCallTheStoreAndFollowItsState) {
    TimersHarness h;
    VantrelButton* start = h.view.stopwatchStartButton();
    EXPECT_EQ(start->text(), "Start");
    EXPECT_FALSE(isSelected(start));
    EXPECT_FALSE(h.view.lapButton()->isEnabled()) << "no laps while stopped";
    EXPECT_FALSE(h.view.stopwatchResetButton()->isEnabled()) << "nothing to reset at 0";

    start->click();
    EXPECT_TRUE(h.store.isStopwatchRunning());
    EXPECT_EQ(start->text(), "Pause");
    EXPECT_TRUE(isSelected(start));
    EXPECT_TRUE(h.view.lapButton()->isEnabled());
    h.run(0.1);
    EXPECT_TRUE(h.view.stopwatchResetButton()->isEnabled());
    h.view.lapButton()->click();
    EXPECT_EQ(h.store.laps().size(), 1);

    start->click();
    EXPECT_FALSE(h.store.isStopwatchRunning());
    EXPECT_EQ(start->text(), "Start");
    EXPECT_FALSE(h.view.lapButton()->isEnabled()) << "disabled while paused";
    EXPECT_TRUE(h.view.stopwatchResetButton()->isEnabled()) << "paused above 0";

    h.view.stopwatchResetButton()->click();
    EXPECT_EQ(h.store.stopwatchElapsed(), 0.0);
    EXPECT_TRUE(h.store.laps().isEmpty());
    EXPECT_FALSE(h.view.stopwatchResetButton()->isEnabled());
}

TEST(NotchTimersView, CountdownPresetsMenuAndResetStates) {
    TimersHarness h;
    h.view.presetButton(0)->click();
    EXPECT_TRUE(isSelected(h.view.presetButton(0)));
    h.view.presetButton(2)->click();
    // Regular: one button per preset, exactly the current one selected.
    QStringList titles;
    for (int i = 0; i < NotchTimersView::kPresetCount; ++i) titles << h.view.presetButton(i)->text();
    EXPECT_EQ(titles, (QStringList{"1m", "3m", "5m", "10m", "25m"}));
    EXPECT_TRUE(isSelected(h.view.presetButton(2))) << "5 minutes at start";
    h.view.presetButton(3)->click();
    EXPECT_EQ(h.store.countdownMinutes(), 10);
    for (int i = 0; i < NotchTimersView::kPresetCount; ++i)
        EXPECT_EQ(isSelected(h.view.presetButton(i)), i == 3);
    h.store.setCountdown(7);
    for (int i = 0; i < NotchTimersView::kPresetCount; ++i) EXPECT_FALSE(isSelected(h.view.presetButton(i)));

    // Compact: a menu titled with the minutes whose items set them.
    h.view.resize(692, 117);
    EXPECT_EQ(h.view.minutesMenuButton()->text(), "7 min");
    h.view.minutesMenuButton()->click();
    ASSERT_GE(h.menus.requests().size(), 1u);
    EXPECT_EQ(h.menus.requests()[0].items,
              (QStringList{"1 minutes", "3 minutes", "5 minutes", "10 minutes", "25 minutes"}));
    EXPECT_EQ(h.menus.requests()[0].anchor, h.view.minutesMenuButton());
    EXPECT_EQ(h.menus.requests()[0].checked, -1);
    h.view.minutesMenuButton()->click();
    ASSERT_TRUE(h.menus.choose(5)) << "no such item";
    h.view.minutesMenuButton()->click();
    ASSERT_TRUE(h.menus.choose(-1));
    EXPECT_EQ(h.store.countdownMinutes(), 7);
    h.view.minutesMenuButton()->click();
    ASSERT_TRUE(h.menus.choose(4));
    EXPECT_EQ(h.store.countdownMinutes(), 25);
    EXPECT_EQ(h.view.minutesMenuButton()->text(), "25 min");

    // Reset: disabled only while idle.
    VantrelButton* start = h.view.countdownStartButton();
    VantrelButton* reset = h.view.countdownResetButton();
    EXPECT_FALSE(reset->isEnabled());
    start->click();
    EXPECT_TRUE(h.store.isCountdownRunning());
    EXPECT_EQ(start->text(), "Pause");
    EXPECT_TRUE(isSelected(start));
    EXPECT_TRUE(reset->isEnabled());
    h.run(1);
    start->click();
    EXPECT_FALSE(h.store.isCountdownRunning());
    EXPECT_EQ(start->text(), "Start");
    EXPECT_TRUE(reset->isEnabled()) << "paused with time left";
    reset->click();
    EXPECT_EQ(h.store.countdownRemaining(), 0.0);
    EXPECT_FALSE(reset->isEnabled());
}

TEST(NotchTimersView, TheFinishedCountdownSilencesARepeatingAlarm) {
    TimersHarness h;
    h.preferences.setAlarmRepeats(true);
    h.preferences.setAlarmDelivery(AlarmDelivery::sound);
    h.view.presetButton(0)->click();
    h.view.countdownStartButton()->click();
    h.run(60.1);
    ASSERT_TRUE(h.store.countdownDidFinish());
    ASSERT_EQ(h.sounds.playingCount(), 1) << "the alarm sounds";
    EXPECT_TRUE(h.sounds.sounds.back()->loops) << "and repeats";

    const auto finished = NotchTimersView::layout(QSizeF(892, 207), h.store);
    EXPECT_EQ(NotchTimersView::countdownText(h.store), "1:00");
    EXPECT_TRUE(finished.progress.isEmpty());
    EXPECT_FALSE(finished.timesUp.isEmpty()) << "Time's up";
    EXPECT_DOUBLE_EQ(finished.timesUp.top() - finished.alarmHint.bottom(), 10) << "below the alarm hint";

    VantrelButton* reset = h.view.countdownResetButton();
    ASSERT_TRUE(reset->isEnabled()) << "the finished countdown can be reset";
    reset->click();
    EXPECT_EQ(h.sounds.playingCount(), 0) << "and resetting it silences the alarm";
    EXPECT_FALSE(h.store.countdownDidFinish());
    EXPECT_TRUE(NotchTimersView::layout(QSizeF(892, 207), h.store).timesUp.isEmpty());
    EXPECT_FALSE(reset->isEnabled()) << "idle again";
}

TEST(NotchTimersView, EveryCountdownStateStaysWithinTheMediumAndSmallPanels) {
    // 157 is the content height of the medium panel's standard tier, 117 of the small one.
    TimersHarness h;
    const auto within = [&](double height, const char* state) {
        const auto l = NotchTimersView::layout(QSizeF(792, height), h.store);
        const QRectF last = l.timesUp.isEmpty() ? l.alarmHint : l.timesUp;
        EXPECT_LE(last.bottom(), height) << state << " at " << height;
        EXPECT_GT(l.alarmHint.top(), l.countdownStart.bottom()) << state << " at " << height;
        // Both columns keep their rows level.
        EXPECT_DOUBLE_EQ(l.stopwatchTime.top(), l.countdownTime.top()) << state << " at " << height;
        return l;
    };
    for (double height : {157.0, 117.0}) within(height, "idle");
    EXPECT_DOUBLE_EQ(within(207, "idle").countdownTime.top() - within(207, "idle").countdownLabel.bottom(),
                     10)
        << "room enough: the usual spacing";
    h.store.startCountdown();
    h.run(3);
    h.store.pauseCountdown();
    for (double height : {157.0, 117.0}) within(height, "paused");
    h.store.startCountdown();
    h.run(400);
    ASSERT_TRUE(h.store.countdownDidFinish());
    for (double height : {157.0, 117.0}) within(height, "finished");
    const auto roomy = within(207, "finished");
    EXPECT_FALSE(roomy.timesUp.isEmpty());
}

TEST(NotchTimersView, ADisabledButtonFadesOnceToTheKitsFortyFivePercent) {
    TimersHarness h;
    VantrelTheme::setColorScheme(&h.view, ColorScheme::dark);
    ASSERT_TRUE(h.view.stopwatchStartButton()->isEnabled());
    ASSERT_FALSE(h.view.lapButton()->isEnabled()) << "no lap while stopped";
    QImage image(h.view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    h.view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    const auto strongest = [&image](const QWidget* button) {
        int most = 0;
        const QRect area = button->geometry();
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                most = std::max(most, qAlpha(image.pixel(x, y)));
        return most;
    };
    // "Start" and "Lap" share one look; the disabled one shows at 0.45 of it, not 0.45 twice over.
    const int start = strongest(h.view.stopwatchStartButton());
    EXPECT_GT(start, 150);
    EXPECT_NEAR(strongest(h.view.lapButton()), start * 0.45, 6);
}

TEST(NotchTimersView, AClickLeavesNoFocusRingTheKeyboardsFocusShowsOne) {
    TimersHarness h;
    VantrelTheme::setColorScheme(&h.view, ColorScheme::dark);
    QApplication::setActiveWindow(&h.view);
    h.store.startStopwatch();
    QList<QImage> sheet;
    const auto check = [&](QAbstractButton* button) {
        ASSERT_TRUE(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        ASSERT_TRUE(button->hasFocus()) << "a click still gives the button the keys";
        const QImage clicked = renderWidget(*button, Qt::black);
        button->clearFocus();
        const QImage unfocused = renderWidget(*button, Qt::black);
        EXPECT_TRUE(clicked == unfocused) << button->text().toStdString() << ": no ring after a click";
        button->setFocus(Qt::TabFocusReason);
        const QImage keyboard = renderWidget(*button, Qt::black);
        EXPECT_TRUE(keyboard != unfocused) << button->text().toStdString() << ": the ring, reached by Tab";
        sheet << clicked << unfocused << keyboard;
    };
    check(h.view.lapButton());
    check(h.view.presetButton(3));
    // The compact arrangement's minutes menu in place of the presets.
    h.view.resize(692, 117);
    check(h.view.minutesMenuButton());
    saveSheet(QStringLiteral("notch-button-focus-ring"), sheet, 3);
}

TEST(NotchTimersView, TheMinutesMenuOpensOnTheLengthNowSet) {
    TimersHarness h;
    h.view.resize(692, 117);
    h.store.setCountdown(10);
    h.view.minutesMenuButton()->click();
    ASSERT_EQ(h.menus.requests().size(), 1u);
    EXPECT_EQ(h.menus.requests()[0].checked, 3) << "10 minutes marked";
    h.menus.dismiss();

    // Opened on the desktop from the keyboard: the arrow keys start from "10 minutes".
    QtMenuPresenter desktop;
    NotchTimersView view{h.store, desktop, kAccent};
    view.resize(692, 117);
    view.show();
    QApplication::setActiveWindow(&view);
    view.minutesMenuButton()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(view.minutesMenuButton(), Qt::Key_Space);
    auto* menu = view.minutesMenuButton()->findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(menu->activeAction(), nullptr);
    EXPECT_EQ(menu->activeAction()->text(), "10 minutes");
    EXPECT_TRUE(menu->activeAction()->isChecked());
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
    EXPECT_EQ(h.store.countdownMinutes(), 25);
}
