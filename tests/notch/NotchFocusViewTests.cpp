#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "kit/KitRender.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/AlarmController.h"
#include "modules/FocusTimer.h"
#include "modules/NotificationSignalStore.h"
#include "notch/NotchFocusView.h"
#include "notch/PaintedTexts.h"
#include "support/ManualScheduler.h"
#include "support/RecordingHapticPerformer.h"
#include "support/RecordingSoundPlayer.h"
#include "support/RecordingUserDefaults.h"

#include <QFontMetricsF>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

struct FocusTab : ::testing::Test {
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingUserDefaults defaults;
    VantrelPreferences preferences{defaults};
    RecordingHapticPerformer performer{&clock};
    RecordingSoundPlayer sounds;
    AlarmController alarm{preferences, performer, sounds, scheduler};
    NotificationSignalStore alerts{preferences, clock};
    FocusTimer timer{defaults, TimerAlarm(alarm, alerts, preferences), clock, scheduler};
    NotchFocusView view{timer, QColor(10, 132, 255)};

    void SetUp() override { view.resize(640, 360); }
    QString buttonText() const { return view.startPauseButton()->text(); }
    bool paints(const QString& text) { return paintedLineTexts(view).contains(text); }
};

} // namespace

TEST_F(FocusTab, RingDiameterFollowsTheHeightBetween128And210) {
    EXPECT_EQ(NotchFocusView::ringDiameter(200), 128);
    EXPECT_EQ(NotchFocusView::ringDiameter(300), 165);
    EXPECT_EQ(NotchFocusView::ringDiameter(400), 210);
    EXPECT_EQ(NotchFocusView::ringDiameter(263), 128);
    EXPECT_EQ(NotchFocusView::ringDiameter(345), 210);
    EXPECT_EQ(NotchFocusView::arcFraction(0), 0.01);
    EXPECT_EQ(NotchFocusView::arcFraction(0.5), 0.5);

    view.resize(600, 300);
    const auto l = view.currentLayout();
    EXPECT_EQ(l.ring.size(), QSizeF(165, 165));
    EXPECT_EQ(l.ring.center().x(), 300);
    EXPECT_EQ(l.ring.top(), 24 + 14) << "the row, then 14";
    EXPECT_EQ(l.picker.width(), 300) << "the picker stops at 300 wide";
    EXPECT_EQ(l.picker.right(), 600);
    EXPECT_EQ(std::min(l.reset.top(), l.startPause.top()), l.ring.bottom() + 14);
    EXPECT_EQ(l.reset.center().y(), l.startPause.center().y());
    EXPECT_EQ(l.startPause.left(), l.reset.right() + 10);
}

TEST_F(FocusTab, PresetsAndAnUnlistedDuration) {
    EXPECT_EQ(view.picker()->options(), QStringList({"5m", "15m", "25m", "45m", "60m"}));
    EXPECT_EQ(view.picker()->selectedIndex(), 2) << "25 minutes by default";
    view.picker()->segment(4)->click();
    EXPECT_EQ(timer.durationMinutes(), 60);
    EXPECT_EQ(timer.timeText(), "60:00");

    timer.updateDuration(30);
    EXPECT_EQ(view.picker()->selectedIndex(), -1) << "30 minutes is no preset";
    EXPECT_TRUE(paints("30:00"));
    timer.updateDuration(120);
    EXPECT_TRUE(paints("120:00"));
}

TEST_F(FocusTab, RunningLocksTheDurationAndFinishingShowsFinished) {
    timer.updateDuration(5);
    EXPECT_TRUE(view.picker()->isEnabled());
    EXPECT_FALSE(paints("Pause to change the duration"));
    EXPECT_EQ(buttonText(), "Start");
    EXPECT_TRUE(view.currentLayout().hint.isEmpty());
    EXPECT_TRUE(paints("Reset"));
    EXPECT_EQ(view.resetButton()->accessibleName(), "Reset");
    // Reset: the label padded 16 across and 9 down.
    const QRectF reset = view.currentLayout().reset;
    const QFontMetricsF resetMetrics(VantrelType::font(12.5, QFont::Medium));
    EXPECT_DOUBLE_EQ(reset.width(), resetMetrics.horizontalAdvance("Reset") + 32);
    EXPECT_DOUBLE_EQ(reset.height(), resetMetrics.height() + 18);
    // On white at 0.08 in a capsule: its ends are half circles, so the corners stay clear.
    const QRect button = view.resetButton()->geometry();
    const QImage image = renderWidget(view);
    EXPECT_LE(qAlpha(image.pixel(button.left() + 3, button.top() + 3)), 2);
    EXPECT_LE(qAlpha(image.pixel(button.left() + 7, button.top() + 1)), 2);
    EXPECT_LE(qAlpha(image.pixel(button.left() + 1, button.top() + 7)), 2);
    EXPECT_LE(qAlpha(image.pixel(button.right() - 3, button.bottom() - 3)), 2);
    EXPECT_NEAR(qAlpha(image.pixel(button.left() + 1, button.center().y())), 0.08 * 255, 2);

    view.startPauseButton()->click();
    EXPECT_TRUE(timer.isRunning());
    EXPECT_FALSE(view.picker()->isEnabled());
    EXPECT_EQ(buttonText(), "Pause");
    EXPECT_TRUE(paints("Pause to change the duration"));
    EXPECT_FALSE(view.currentLayout().hint.isEmpty());
    const auto running = view.currentLayout();
    EXPECT_EQ(running.hint.top(), 24 + 14);
    EXPECT_EQ(running.ring.top(), running.hint.bottom() + 14) << "the hint pushes the ring down";
    view.picker()->segment(0)->click();
    EXPECT_EQ(timer.durationMinutes(), 5);

    // Pause keeps the remaining time; Start continues from it.
    scheduler.advance(Seconds(61));
    view.startPauseButton()->click();
    EXPECT_FALSE(timer.isRunning());
    EXPECT_EQ(timer.timeText(), "03:59");
    EXPECT_EQ(buttonText(), "Start");
    view.startPauseButton()->click();
    EXPECT_TRUE(timer.isRunning());
    EXPECT_EQ(timer.timeText(), "03:59");

    scheduler.advance(Seconds(240));
    EXPECT_TRUE(timer.hasFinished());
    EXPECT_EQ(buttonText(), "Start");
    EXPECT_TRUE(paints("Finished"));
    EXPECT_TRUE(paints("00:00"));
    EXPECT_TRUE(view.picker()->isEnabled());
    // "Finished" in 10 semibold sits 4 under the time in 43 bold; the two are centred together
    // in the ring.
    const std::optional<PaintedLine> timeLine = paintedLine(view, "00:00");
    const std::optional<QPointF> finishedAt = paintedOrigin(view, "Finished");
    ASSERT_TRUE(timeLine && finishedAt);
    const std::optional<QPointF> timeAt = timeLine->origin;
    const QFontMetricsF time(VantrelType::font(43, QFont::Bold));
    const QFontMetricsF label(VantrelType::font(10, QFont::DemiBold));
    const double stackTop = timeAt->y() - time.ascent();
    const double labelTop = finishedAt->y() - label.ascent();
    EXPECT_NEAR(labelTop, stackTop + time.height() + 4, 0.5);
    EXPECT_NEAR((stackTop + labelTop + label.height()) / 2, view.currentLayout().ring.center().y(), 0.5);

    view.resetButton()->click();
    EXPECT_FALSE(timer.hasFinished());
    EXPECT_FALSE(paints("Finished"));
    EXPECT_TRUE(paints("05:00"));
}

TEST_F(FocusTab, StartAfterFinishingBeginsANewRun) {
    timer.updateDuration(1);
    view.startPauseButton()->click();
    scheduler.advance(Seconds(60));
    ASSERT_TRUE(timer.hasFinished());
    ASSERT_EQ(sounds.playingCount(), 1);

    view.startPauseButton()->click();
    EXPECT_TRUE(timer.isRunning());
    EXPECT_FALSE(timer.hasFinished());
    EXPECT_EQ(timer.timeText(), "01:00");
    EXPECT_EQ(sounds.playingCount(), 0) << "the alarm stops with the new run";
    scheduler.advance(Seconds(30));
    EXPECT_EQ(timer.timeText(), "00:30");
}

TEST_F(FocusTab, TheTimeKeepsItsWidthAndTheLockedPickerFadesBack) {
    view.resize(640, 360);
    VantrelTheme::setColorScheme(&view, ColorScheme::dark);
    // The rightmost inked column of the time, inside the ring.
    const auto timeRightEdge = [this] {
        const QImage image = renderWidget(view, Qt::black);
        const QRectF ring = view.currentLayout().ring;
        const QFontMetricsF metrics(VantrelType::font(43, QFont::Bold));
        const int top = int(ring.center().y() - metrics.height() / 2);
        int right = -1;
        for (int y = top; y < top + int(metrics.height()); ++y)
            for (int x = int(ring.left()) + 14; x < int(ring.right()) - 14; ++x)
                if (qGray(image.pixel(x, y)) > 128) right = std::max(right, x);
        return right;
    };
    // Times of one digit count take one width: with the text centred, "00" ends in the same column
    // after "11:" as after "20:".
    timer.updateDuration(11);
    ASSERT_EQ(timer.timeText(), "11:00");
    EXPECT_TRUE(paints("11:00"));
    const int elevens = timeRightEdge();
    timer.updateDuration(20);
    ASSERT_EQ(timer.timeText(), "20:00");
    const int twenties = timeRightEdge();
    EXPECT_GT(elevens, 320);
    EXPECT_EQ(elevens, twenties);

    // While the timer runs the duration picker refuses clicks and looks it: its labels fade to
    // 0.45 of their strength (probed on "5m", away from the selected segment's plate).
    const auto strongestLabel = [this] {
        const QImage image = renderWidget(view);
        const QRect picker(view.picker()->segment(0)->mapTo(&view, QPoint()),
                           view.picker()->segment(0)->size());
        int most = 0;
        for (int y = picker.top(); y <= picker.bottom(); ++y)
            for (int x = picker.left(); x <= picker.right(); ++x)
                most = std::max(most, qAlpha(image.pixel(x, y)));
        return most;
    };
    timer.updateDuration(25);
    const int enabled = strongestLabel();
    view.startPauseButton()->click();
    ASSERT_FALSE(view.picker()->isEnabled());
    const int disabled = strongestLabel();
    EXPECT_GT(enabled, 150) << "white at 0.66 on the track";
    EXPECT_NEAR(disabled, enabled * 0.45, 6);
}
