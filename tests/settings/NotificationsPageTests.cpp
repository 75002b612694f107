#include "kit/FeatureRow.h"
#include "kit/HazardBadge.h"
#include "kit/SettingsCard.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelIcon.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelMenuPicker.h"
#include "kit/VantrelSegmentedControl.h"
#include "kit/VantrelSwitch.h"
#include "settings/NotificationsPage.h"
#include "settings/PageDivider.h"
#include "support/ControlCenterHarness.h"
#include "support/QtPrinters.h"
#include "support/VisibleTexts.h"

#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QSlider>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

class NotificationsPageTest : public ::testing::Test {
protected:
    NotificationsPageTest() {
        page.resize(880, 1400);
        page.show();
    }
    QString subtitle() const {
        VantrelLabel* label = page.alertsCard()->subtitleLabel();
        return label ? label->text() : QString();
    }
    void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }

    ControlCenterHarness c;
    NotificationsPage page{c.context()};
};

} // namespace

TEST_F(NotificationsPageTest, TheWaitingAlertsFollowTheStoreAndClearLeavesTheRest) {
    EXPECT_EQ(subtitle(), "No Vantrel alerts are waiting.");
    EXPECT_FALSE(page.pendingRow()->isVisibleTo(&page));
    EXPECT_FALSE(visibleTexts(page).contains("Clear"));

    c.h.alerts.recordVantrelEvent(QStringLiteral("Focus session finished"), true);
    EXPECT_EQ(subtitle(), "Waiting: Focus session finished");
    ASSERT_TRUE(page.pendingRow()->isVisibleTo(&page));
    EXPECT_TRUE(visibleTexts(*page.pendingRow()).contains("Waiting: Focus session finished"));

    c.h.alerts.recordVantrelEvent(QStringLiteral("Countdown finished"), false);
    c.h.alerts.recordVantrelEvent(QStringLiteral("Timer finished"), false);
    EXPECT_EQ(subtitle(), "Waiting: 3 Vantrel alerts");
    EXPECT_TRUE(visibleTexts(*page.pendingRow()).contains("Waiting: 3 Vantrel alerts"));

    const auto lastSignal = c.h.alerts.lastSignalAt();
    const qsizetype from = c.mark();
    click(page.clearButton());
    EXPECT_TRUE(c.h.alerts.pendingEvents().empty());
    EXPECT_EQ(subtitle(), "No Vantrel alerts are waiting.");
    EXPECT_FALSE(page.pendingRow()->isVisibleTo(&page));
    EXPECT_EQ(c.h.alerts.lastSignalAt(), lastSignal) << "only the list is emptied";
    EXPECT_EQ(c.callsSince(from), QStringList{"indicator.orderOut"})
        << "no setting is written; only the notch's attention light goes out with the alerts";
}

TEST_F(NotificationsPageTest, SwitchesTickThenWriteAndTheLightFollowsTheMasterSwitchKeepingItsValue) {
    const qsizetype from = c.mark();
    click(page.alertsSwitch());
    EXPECT_FALSE(page.attentionRow()->isEnabled());
    EXPECT_TRUE(c.h.preferences.notificationIndicatorEnabled()) << "the light's own value is kept";
    // Greyed out, the light's switch takes no click.
    click(page.attentionSwitch());
    EXPECT_TRUE(c.h.preferences.notificationIndicatorEnabled());

    click(page.alertsSwitch());
    EXPECT_TRUE(page.attentionRow()->isEnabled());
    click(page.attentionSwitch());
    click(page.repeatSwitch());
    EXPECT_EQ(c.callsSince(from), QStringList({"haptic generic", "set notifications.enabled false",
                                               "haptic generic", "set notifications.enabled true",
                                               "haptic generic", "set notifications.indicatorEnabled false",
                                               "haptic generic", "set alarms.repeats true"}));

    // A change from elsewhere shows without a sound or a write.
    const qsizetype later = c.mark();
    c.h.preferences.setNotificationsEnabled(false);
    EXPECT_FALSE(page.alertsSwitch()->isChecked());
    EXPECT_FALSE(page.attentionRow()->isEnabled());
    EXPECT_EQ(c.callsSince(later), QStringList({"set notifications.enabled false"}));
}

TEST_F(NotificationsPageTest, SoundDeliveryAndVolumeOnlyWrite) {
    VantrelMenuPicker* sound = page.soundPicker();
    EXPECT_EQ(sound->options(), QStringList({"Glass", "Ping", "Pop", "Hero", "Purr", "Submarine", "None"}));
    EXPECT_EQ(sound->currentIndex(), 0);
    EXPECT_EQ(page.deliveryPicker()->options(), QStringList({"Sound", "Haptics", "Both"}));
    EXPECT_EQ(page.deliveryPicker()->selectedIndex(), 2);

    const qsizetype from = c.mark();
    click(sound);
    ASSERT_FALSE(c.views.menus.requests().empty());
    c.views.menus.choose(5);
    click(page.deliveryPicker()->segment(0));
    page.volumeSlider()->setValue(400);
    EXPECT_EQ(c.callsSince(from), QStringList({"set alarms.sound submarine", "set alarms.delivery sound",
                                               "set alarms.volume 0.4"}));
    EXPECT_EQ(page.volumeText()->text(), "40%");

    // Values written elsewhere show, the volume truncated toward zero.
    c.h.preferences.setAlarmSound(AlarmSound::none);
    c.h.preferences.setAlarmDelivery(AlarmDelivery::haptics);
    c.h.preferences.setAlarmVolume(0.755);
    EXPECT_EQ(sound->currentIndex(), 6);
    EXPECT_EQ(page.deliveryPicker()->selectedIndex(), 1);
    EXPECT_EQ(page.volumeText()->text(), "75%");
    EXPECT_EQ(page.volumeSlider()->value(), 755);
    c.h.preferences.setAlarmVolume(0.29);
    EXPECT_EQ(page.volumeText()->text(), "28%");
}

TEST_F(NotificationsPageTest, ScrollingOverTheVolumeMovesThePageNotTheVolume) {
    QSlider* slider = page.volumeSlider();
    const QPoint centre = slider->rect().center();
    const qsizetype from = c.mark();
    QWheelEvent wheel(centre, slider->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(slider, &wheel);
    EXPECT_EQ(c.callsSince(from), QStringList());
    EXPECT_DOUBLE_EQ(c.h.preferences.alarmVolume(), 0.75);
    // Left unaccepted, a real turn of the wheel goes on up to the page, which scrolls.
    EXPECT_FALSE(wheel.isAccepted());
}

TEST_F(NotificationsPageTest, PreviewPlaysTheChosenSoundOnceWhateverRepeatSays) {
    c.h.preferences.setAlarmRepeats(true);
    c.h.preferences.setAlarmSound(AlarmSound::submarine);
    c.h.preferences.setAlarmDelivery(AlarmDelivery::both);
    c.h.preferences.setAlarmVolume(0.3);
    const qsizetype from = c.mark();
    click(page.previewButton());
    EXPECT_EQ(c.callsSince(from), QStringList({"sound Submarine"}));
    ASSERT_FALSE(c.h.sounds.sounds.empty());
    EXPECT_FALSE(c.h.sounds.sounds.back()->loops);
    EXPECT_FLOAT_EQ(c.h.sounds.sounds.back()->volume, 0.3f);
    EXPECT_EQ(c.h.hapticPerformer.count(), 1u);
    c.h.scheduler.advance(Seconds(5));
    EXPECT_EQ(c.h.hapticPerformer.count(), 1u) << "the haptic is not repeated either";
    EXPECT_TRUE(c.h.preferences.alarmRepeats());

    // A second preview stops the first before it plays.
    c.h.preferences.setAlarmDelivery(AlarmDelivery::sound);
    c.h.preferences.setAlarmSound(AlarmSound::ping);
    const qsizetype again = c.mark();
    click(page.previewButton());
    EXPECT_EQ(c.callsSince(again), QStringList({"stop sound Submarine", "sound Ping"}));
    EXPECT_EQ(c.h.hapticPerformer.count(), 1u) << "sound only";
}

TEST_F(NotificationsPageTest, TheUnavailableRowsAreFadedAndIgnoreEveryClick) {
    for (QWidget* row : {page.mirrorRow(), page.backlightRow()}) {
        auto* fade = qobject_cast<QGraphicsOpacityEffect*>(row->graphicsEffect());
        ASSERT_NE(fade, nullptr);
        EXPECT_DOUBLE_EQ(fade->opacity(), 0.62);
        EXPECT_FALSE(row->isEnabled());
    }
    const QStringList mirror = visibleTexts(*page.mirrorRow());
    EXPECT_TRUE(mirror.contains("Mirror notifications from other apps"));
    EXPECT_TRUE(mirror.contains("Not supported by macOS"));
    EXPECT_TRUE(visibleTexts(*page.backlightRow()).contains("Temporarily unavailable"));
    auto* mirrorSwitch = page.mirrorRow()->findChild<VantrelSwitch*>();
    ASSERT_NE(mirrorSwitch, nullptr);
    EXPECT_EQ(page.backlightRow()->findChild<QAbstractButton*>(), nullptr)
        << "the backlight row has no control";

    const qsizetype from = c.mark();
    click(mirrorSwitch);
    QTest::mouseClick(page.mirrorRow(), Qt::LeftButton);
    QTest::mouseClick(page.backlightRow(), Qt::LeftButton);
    EXPECT_FALSE(mirrorSwitch->isChecked());
    EXPECT_EQ(c.callsSince(from), QStringList());
}

TEST_F(NotificationsPageTest, TheCardsAndTheirTextsInOrder) {
    const QStringList texts = visibleTexts(page);
    const QStringList expected = {
        "Notifications",
        "Vantrel alerts",
        "No Vantrel alerts are waiting.",
        "Use Vantrel alerts",
        "Master switch for Vantrel timers and feature alerts",
        "Notch attention light",
        "A small red light beside the notch while an alert is waiting",
        "macOS notifications",
        "Unavailable in this version",
        "Mirror notifications from other apps",
        "Greyed out until there is a reliable, privacy-respecting macOS path.",
        "Not supported by macOS",
        "Timer alarm",
        "One sound shared by Timer and Countdown",
        "Sound",
        "Preview",
        "Alert with",
        "Volume",
        "Repeat until dismissed",
        "Keep signaling after the timer reaches zero",
        "Keyboard backlight",
        "Paused while hardware support is unresolved",
        "Backlight alert patterns",
        "Kept out of the active controls so Vantrel does not promise a signal this Mac cannot produce.",
        "Temporarily unavailable",
    };
    qsizetype at = 0;
    for (const QString& text : expected) {
        const qsizetype found = texts.indexOf(text, at);
        EXPECT_GE(found, 0) << text.toStdString();
        if (found >= 0) at = found;
    }
}

TEST_F(NotificationsPageTest, RowsKeepTheirMeasures) {
    c.h.alerts.recordVantrelEvent(QStringLiteral("Timer finished"), false);
    QCoreApplication::sendPostedEvents();
    // The pending line: an 11-point glyph in an 18 by 18 frame, then its text 7 points on.
    auto* glyph = page.pendingRow()->findChild<VantrelGlyph*>();
    auto* text = page.pendingRow()->findChild<VantrelLabel*>();
    ASSERT_NE(glyph, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(glyph->size(), QSize(18, 18));
    EXPECT_DOUBLE_EQ(glyph->pointSize(), 11);
    EXPECT_EQ(glyph->x(), 0);
    EXPECT_EQ(text->x() - glyph->geometry().right() - 1, 7);
    EXPECT_EQ(page.clearButton()->geometry().right(), page.pendingRow()->width() - 1) << "Clear at the end";

    // The alerts card: its rows 15 points apart, dividers at 0.24 between them.
    const QList<PageDivider*> dividers = page.alertsCard()->findChildren<PageDivider*>();
    ASSERT_EQ(dividers.size(), 2);
    for (PageDivider* divider : dividers) EXPECT_DOUBLE_EQ(divider->opacity(), 0.24);
    EXPECT_EQ(dividers[0]->y() - page.findChildren<FeatureRow*>().first()->geometry().bottom() - 1, 15);

    // Each row's symbol.
    EXPECT_EQ(page.findChildren<FeatureRow*>().first()->icon()->systemName(), "bell.badge");
    EXPECT_EQ(page.attentionRow()->icon()->systemName(), "circle.fill");
    EXPECT_EQ(page.mirrorRow()->findChild<VantrelIcon*>()->systemName(),
              "rectangle.stack.badge.exclamationmark");
    EXPECT_EQ(page.backlightRow()->findChild<VantrelIcon*>()->systemName(), "keyboard");

    // The greyed rows: a 40-point icon, 14 points to the texts, 4 between title and detail.
    for (QWidget* row : {page.mirrorRow(), page.backlightRow()}) {
        auto* icon = row->findChild<VantrelIcon*>();
        const QList<VantrelLabel*> labels = row->findChildren<VantrelLabel*>();
        ASSERT_NE(icon, nullptr);
        ASSERT_EQ(labels.size(), 2);
        EXPECT_DOUBLE_EQ(icon->iconSize(), 40);
        EXPECT_EQ(icon->x(), 0);
        EXPECT_EQ(labels[0]->x() - icon->geometry().right() - 1, 14);
        EXPECT_EQ(labels[1]->y() - labels[0]->geometry().bottom() - 1, 4);
    }

    // The alarm: the picker 180 wide, the slider at most 360 and its read-out 38.
    EXPECT_EQ(page.soundPicker()->width(), 180);
    EXPECT_EQ(page.volumeSlider()->maximumWidth(), 360);
    EXPECT_EQ(page.volumeText()->width(), 38);
    EXPECT_LE(page.deliveryPicker()->width(), 360);
}

TEST_F(NotificationsPageTest, TheVolumeSliderFollowsThePointer) {
    QSlider* slider = page.volumeSlider();
    const qsizetype from = c.mark();
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() - 2, slider->height() / 2));
    EXPECT_GT(c.h.preferences.alarmVolume(), 0.75);
    ASSERT_EQ(c.callsSince(from).size(), 1);
    EXPECT_TRUE(c.callsSince(from).first().startsWith("set alarms.volume "));
}
