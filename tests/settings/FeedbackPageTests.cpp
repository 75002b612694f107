#include "kit/FeatureRow.h"
#include "kit/HazardBadge.h"
#include "kit/MetricPill.h"
#include "kit/SettingsCard.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelHelpButton.h"
#include "kit/VantrelIcon.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelMenuPicker.h"
#include "kit/VantrelSwitch.h"
#include "kit/VantrelTheme.h"
#include "settings/FeedbackPage.h"
#include "settings/PageDivider.h"
#include "support/ControlCenterHarness.h"
#include "support/QtPrinters.h"
#include "support/VisibleTexts.h"

#include <QFontMetricsF>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

class FeedbackPageTest : public ::testing::Test {
protected:
    FeedbackPageTest() {
        c.h.permissionSystem.log = &c.h.log;
        page.resize(1040, 1500);
        page.show();
        QCoreApplication::sendPostedEvents();
    }
    QString subtitle() const {
        VantrelLabel* label = page.masterCard()->subtitleLabel();
        return label ? label->text() : QString();
    }
    void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }
    // Input monitoring granted or not, as the permission centre then reads it.
    void allowInputMonitoring(bool allowed) {
        c.h.permissionSystem.listenEventAccess = allowed;
        c.stores.permissions.refresh();
    }
    // The calls since `from`, a settings write shortened to its key (maps log no value).
    QStringList calls(qsizetype from) const {
        QStringList shown;
        for (const QString& call : c.callsSince(from))
            shown << (call.startsWith(u"set feedback.trigger") ? call.section(u' ', 0, 1) : call);
        return shown;
    }
    QString selectedStrength() const {
        QStringList selected;
        for (StrengthChoice* choice : page.strengthChoices())
            if (choice->isSelected()) selected << choice->text();
        return selected.join(u',');
    }

    ControlCenterHarness c;
    FeedbackPage page{c.context()};
};

} // namespace

TEST_F(FeedbackPageTest, TheStrengthBandsAreStrictAndExactlyOneChoiceIsSelected) {
    EXPECT_EQ(FeedbackPage::strengthBand(0.33), "Gentle");
    EXPECT_EQ(FeedbackPage::strengthBand(0.34), "Balanced");
    EXPECT_EQ(FeedbackPage::strengthBand(0.69), "Balanced");
    EXPECT_EQ(FeedbackPage::strengthBand(0.7), "Firm");
    EXPECT_EQ(FeedbackPage::strengthBand(1.0), "Firm");
    EXPECT_EQ(FeedbackPage::strengthBand(std::nan("")), "Firm");

    EXPECT_EQ(selectedStrength(), "Balanced") << "the default 0.5";
    c.h.preferences.setFeedbackStrength(0.3);
    EXPECT_EQ(selectedStrength(), "Gentle");
    c.h.preferences.setFeedbackStrength(0.6);
    EXPECT_EQ(selectedStrength(), "Balanced");
    c.h.preferences.setFeedbackStrength(0.7);
    EXPECT_EQ(selectedStrength(), "Firm");
}

TEST_F(FeedbackPageTest, TheMasterSwitchWritesThenAsksStartsOrStopsTheEngine) {
    EXPECT_EQ(subtitle(), "Off");
    EXPECT_EQ(page.enginePill()->value(), "Off");
    const qsizetype from = c.mark();
    click(page.masterSwitch());
    EXPECT_EQ(calls(from), QStringList({"haptic generic", "set feedback.enabled true", "listenEvent.request",
                                        "feedback.setPreferences", "feedback.start"}));
    EXPECT_EQ(c.feedback.preferences(), &c.h.preferences);
    // Started although access is missing: the engine is listening.
    EXPECT_EQ(subtitle(), "Listening for enabled gestures");
    EXPECT_EQ(page.enginePill()->value(), "Listening");
    EXPECT_EQ(page.enginePill()->color(), VantrelTheme::accent(c.h.preferences.accent()));

    const qsizetype off = c.mark();
    click(page.masterSwitch());
    EXPECT_EQ(calls(off), QStringList({"haptic generic", "set feedback.enabled false", "feedback.stop"}));
    EXPECT_EQ(subtitle(), "Off");
    EXPECT_EQ(page.enginePill()->value(), "Off");
    EXPECT_EQ(page.enginePill()->color(), VantrelTheme::dormant().resolve(&page));

    // The engine's state, not the setting, decides what the card says.
    c.h.preferences.setFeedbackEnabled(true);
    EXPECT_TRUE(page.masterSwitch()->isChecked());
    EXPECT_EQ(subtitle(), "Off");
}

TEST_F(FeedbackPageTest, AGestureSwitchRestartsTheEngineAndPreviewsOnlyWhenTurnedOn) {
    // With nothing stored, scrolling alone is on and every gesture shows the general feel.
    for (FeedbackTrigger trigger : allCasesOf<FeedbackTrigger>()) {
        EXPECT_EQ(page.triggerSwitch(trigger)->isChecked(), trigger == FeedbackTrigger::scroll);
        EXPECT_EQ(page.stylePicker(trigger)->text(), "Detent");
    }
    allowInputMonitoring(true);
    c.h.preferences.setFeedbackEnabled(true);
    c.h.preferences.setFeedbackStyle(HapticStyle::ratchet, FeedbackTrigger::click);

    qsizetype from = c.mark();
    click(page.triggerSwitch(FeedbackTrigger::click));
    EXPECT_EQ(calls(from), QStringList({"haptic generic", "set feedback.triggers", "feedback.setPreferences",
                                        "feedback.stop", "feedback.start", "feedback.preview ratchet"}));
    EXPECT_TRUE(c.h.preferences.isFeedbackTriggerEnabled(FeedbackTrigger::click));
    EXPECT_TRUE(c.feedback.isListening());

    from = c.mark();
    click(page.triggerSwitch(FeedbackTrigger::scroll));
    EXPECT_EQ(calls(from), QStringList({"haptic generic", "set feedback.triggers", "feedback.setPreferences",
                                        "feedback.stop", "feedback.start"}));
    EXPECT_FALSE(c.h.preferences.isFeedbackTriggerEnabled(FeedbackTrigger::scroll));

    // With the master switch off the engine stays stopped. The rows are faded then, but a switch
    // thrown from the keyboard elsewhere takes the same road.
    c.h.preferences.setFeedbackEnabled(false);
    allowInputMonitoring(true);
    from = c.mark();
    page.triggerSwitch(FeedbackTrigger::swipe)->setEnabled(true);
    page.gestureRows()->setEnabled(true);
    click(page.triggerSwitch(FeedbackTrigger::swipe));
    EXPECT_EQ(calls(from), QStringList({"haptic generic", "set feedback.triggers", "feedback.setPreferences",
                                        "feedback.stop", "feedback.preview detent"}));
}

TEST_F(FeedbackPageTest, AStyleIsStoredForItsGestureAloneAndPreviewedWithoutATick) {
    allowInputMonitoring(true);
    c.h.preferences.setFeedbackEnabled(true);
    VantrelMenuPicker* picker = page.stylePicker(FeedbackTrigger::forceClick);
    EXPECT_EQ(picker->options(),
              QStringList({"Feather", "Soft", "Tick", "Click", "Detent", "Double Tap", "Ratchet", "Firm"}));
    // The gesture's own switch is off; its feel can still be chosen.
    ASSERT_FALSE(page.triggerSwitch(FeedbackTrigger::forceClick)->isChecked());
    const qsizetype from = c.mark();
    click(picker);
    ASSERT_FALSE(c.views.menus.requests().empty());
    c.views.menus.choose(5);
    EXPECT_EQ(calls(from), QStringList({"set feedback.triggerStyles", "feedback.preview doubleTap"}));
    EXPECT_EQ(c.h.preferences.feedbackStyle(FeedbackTrigger::forceClick), HapticStyle::doubleTap);
    EXPECT_EQ(c.h.preferences.feedbackStyle(FeedbackTrigger::scroll), HapticStyle::detent);
    EXPECT_EQ(picker->text(), "Double Tap");
    EXPECT_EQ(page.stylePicker(FeedbackTrigger::click)->text(), "Detent");

    // A general feel chosen elsewhere shows on every gesture without a feel of its own.
    c.h.preferences.setFeedbackHapticStyle(HapticStyle::tick);
    EXPECT_EQ(page.stylePicker(FeedbackTrigger::scroll)->text(), "Tick");
    EXPECT_EQ(picker->text(), "Double Tap");
}

TEST_F(FeedbackPageTest, StrengthsWriteTheirValueAndPreviewTheScrollFeelThePreviewPillTicksFirst) {
    c.h.preferences.setFeedbackStyle(HapticStyle::soft, FeedbackTrigger::scroll);
    const QList<StrengthChoice*>& choices = page.strengthChoices();
    ASSERT_EQ(choices.size(), 3);
    EXPECT_EQ(choices[0]->text(), "Gentle");
    EXPECT_EQ(choices[1]->text(), "Balanced");
    EXPECT_EQ(choices[2]->text(), "Firm");

    qsizetype from = c.mark();
    click(choices[0]);
    EXPECT_EQ(c.callsSince(from), QStringList({"set feedback.strength 0.18", "feedback.preview soft"}));
    EXPECT_EQ(c.h.preferences.feedbackStrength(), 0.18);
    EXPECT_EQ(selectedStrength(), "Gentle");
    EXPECT_EQ(c.feedbackPulses.count(), 1u) << "one finite response";
    c.h.scheduler.advance(Seconds(1));
    from = c.mark();
    click(choices[2]);
    c.h.scheduler.advance(Seconds(1));
    click(choices[1]);
    EXPECT_EQ(c.callsSince(from), QStringList({"set feedback.strength 0.88", "feedback.preview soft",
                                               "set feedback.strength 0.5", "feedback.preview soft"}));

    c.h.scheduler.advance(Seconds(1));
    const std::size_t pulses = c.feedbackPulses.count();
    from = c.mark();
    click(page.previewButton());
    click(page.previewButton());
    EXPECT_EQ(c.callsSince(from), QStringList({"haptic generic", "feedback.preview soft", "haptic generic",
                                               "feedback.preview soft"}));
    // The second press came too soon after the first: the engine played it not.
    EXPECT_EQ(c.feedbackPulses.count(), pulses + 1);
    EXPECT_EQ(page.pulsesPill()->value(), QString::number(c.feedback.pulseCount()));
    EXPECT_NE(page.pulsesPill()->value(), "0");
}

TEST_F(FeedbackPageTest, TheGestureRowsAreUsableOnlyWithFeedbackOnAndInputMonitoringAllowed) {
    for (const bool enabled : {false, true}) {
        for (const bool allowed : {false, true}) {
            SCOPED_TRACE(testing::Message() << "enabled " << enabled << ", allowed " << allowed);
            c.h.preferences.setFeedbackEnabled(enabled);
            allowInputMonitoring(allowed);
            const bool usable = enabled && allowed;
            EXPECT_EQ(page.gestureRows()->isEnabled(), usable);
            EXPECT_DOUBLE_EQ(page.gestureOpacity(), usable ? 1.0 : 0.46);
            EXPECT_EQ(page.notice()->isVisibleTo(&page), !allowed);
            // A faded row takes no click.
            const qsizetype from = c.mark();
            click(page.triggerSwitch(FeedbackTrigger::click));
            EXPECT_EQ(c.callsSince(from).isEmpty(), !usable);
            if (usable) click(page.triggerSwitch(FeedbackTrigger::click));
        }
    }
    // The master switch stays usable whatever the permission.
    allowInputMonitoring(false);
    EXPECT_TRUE(page.masterSwitch()->isEnabled());
}

TEST_F(FeedbackPageTest, TheNoticeAsksForInputMonitoringAndGoesWhenItIsAllowed) {
    QStringList texts = visibleTexts(*page.masterCard());
    EXPECT_TRUE(texts.contains("Input Monitoring required"));
    EXPECT_TRUE(texts.contains("Allow access before testing global gestures."));
    EXPECT_TRUE(texts.contains("Allow…"));

    c.h.workspace.openSucceeds = false;
    qsizetype from = c.mark();
    click(page.allowButton());
    EXPECT_EQ(c.callsSince(from), QStringList({"listenEvent.preflight", "listenEvent.request"}));
    EXPECT_EQ(c.stores.permissions.statusMessage(),
              std::optional<QString>(QStringLiteral(
                  "Vantrel could not open System Settings. Open Privacy & Security manually.")));
    ASSERT_FALSE(c.h.workspace.opened.empty());
    EXPECT_TRUE(c.h.workspace.opened.back().toString().contains("Privacy_ListenEvent"));

    // Access granted meanwhile: the next press only reads the states again.
    c.h.permissionSystem.listenEventAccess = true;
    c.stores.permissions.setStatusMessage(QString());
    const std::size_t opened = c.h.workspace.opened.size();
    from = c.mark();
    click(page.allowButton());
    EXPECT_EQ(c.callsSince(from).filter("listenEvent"),
              QStringList({"listenEvent.preflight", "listenEvent.preflight"}));
    EXPECT_EQ(c.h.workspace.opened.size(), opened);
    EXPECT_EQ(c.stores.permissions.statusMessage(), std::optional<QString>(QString()));
    EXPECT_FALSE(page.notice()->isVisibleTo(&page)) << "the published state hides the notice";
    texts = visibleTexts(*page.masterCard());
    EXPECT_FALSE(texts.contains("Input Monitoring required"));
    EXPECT_FALSE(texts.contains("Allow…"));
}

TEST_F(FeedbackPageTest, TheInterfaceSwitchOnlyWritesItsSetting) {
    const qsizetype from = c.mark();
    click(page.interfaceSwitch());
    EXPECT_EQ(c.callsSince(from), QStringList({"haptic generic", "set interface.hapticsEnabled false"}));
    EXPECT_FALSE(c.h.preferences.interfaceHapticsEnabled());
    const qsizetype again = c.mark();
    click(page.interfaceSwitch());
    EXPECT_EQ(c.callsSince(again), QStringList({"set interface.hapticsEnabled true"}))
        << "with the interface haptics off the switch plays nothing";
}

TEST_F(FeedbackPageTest, TheCardsKeepTheirMeasures) {
    EXPECT_EQ(page.maxWidth(), 1040);
    EXPECT_EQ(page.strengthCard()->width(), 340);
    EXPECT_EQ(page.previewSurface()->height(), 176);
    for (StrengthChoice* choice : page.strengthChoices()) EXPECT_EQ(choice->height(), 48);
    EXPECT_EQ(page.strengthChoices()[0]->value(), 0.18);
    EXPECT_EQ(page.strengthChoices()[0]->symbol(), "waveform.path");
    EXPECT_EQ(page.strengthChoices()[1]->symbol(), "waveform.path.ecg");
    EXPECT_EQ(page.strengthChoices()[2]->symbol(), "waveform.path.ecg.rectangle");
    // A choice: its symbol and its check in 24 by 24 frames 14 inside its ends, centred in its
    // height, the title between them 10 from each.
    const StrengthChoice::Layout inside = StrengthChoice::layout(QSizeF(300, 48));
    EXPECT_EQ(inside.symbol, QRectF(14, 12, 24, 24));
    EXPECT_EQ(inside.check, QRectF(300 - 14 - 24, 12, 24, 24));
    EXPECT_EQ(inside.title, QRectF(14 + 24 + 10, 0, 300 - 2 * (14 + 24 + 10), 48));
    // It asks for 14 at each side, two 24-wide glyph frames and 10 around its title.
    StrengthChoice* gentle = page.strengthChoices()[0];
    EXPECT_EQ(gentle->sizeHint().width(),
              2 * 14 + 2 * 24 + 2 * 10 +
                  int(std::ceil(QFontMetricsF(gentle->font()).horizontalAdvance("Gentle"))));
    // The choices fill the strength card's content from its top edge, 10 apart.
    const QWidget* choices = gentle->parentWidget();
    EXPECT_EQ(gentle->pos(), QPoint(0, 0));
    EXPECT_EQ(gentle->width(), choices->width());
    EXPECT_EQ(page.strengthChoices()[1]->y() - gentle->geometry().bottom() - 1, 10);
    EXPECT_EQ(page.strengthChoices()[2]->geometry().bottom(), choices->height() - 1);
    EXPECT_EQ(page.stylePicker(FeedbackTrigger::swipe)->width(), 116);
    // The gesture rows: 10 above and below each, a divider at 0.24 between them, none after the last.
    const QList<PageDivider*> dividers = page.gestureRows()->findChildren<PageDivider*>();
    ASSERT_EQ(dividers.size(), 3);
    for (PageDivider* divider : dividers) EXPECT_DOUBLE_EQ(divider->opacity(), 0.24);
    const QList<FeatureRow*> rows = page.gestureRows()->findChildren<FeatureRow*>();
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0]->titleLabel()->text(), "Scrolling");
    EXPECT_EQ(rows[1]->titleLabel()->text(), "Clicking");
    EXPECT_EQ(rows[2]->titleLabel()->text(), "Force click");
    EXPECT_EQ(rows[3]->titleLabel()->text(), "Swiping");
    EXPECT_EQ(rows[2]->subtitleLabel()->text(),
              "One event when pressure enters stage two; release always resets it");
    EXPECT_EQ(rows[0]->icon()->systemName(), "hand.draw");
    EXPECT_EQ(rows[2]->icon()->systemName(), "hand.tap.fill");
    EXPECT_EQ(rows[0]->y(), 10);
    EXPECT_EQ(rows[0]->parentWidget()->height(), rows[0]->height() + 20);
    // The preview row sits 18 under the surface, both 20 inside the card.
    EXPECT_EQ(page.previewSurface()->x(), 20);
    EXPECT_EQ(page.previewSurface()->y(), 20);
    EXPECT_EQ(page.enginePill()->parentWidget()->y(), 20 + 176 + 18);
    EXPECT_EQ(page.pulsesPill()->x() - page.enginePill()->geometry().right() - 1, 10);
    // That row runs from the surface's left edge to its right one, no taller than what it holds.
    const QWidget* previewRow = page.enginePill()->parentWidget();
    EXPECT_EQ(previewRow->x(), 20);
    EXPECT_EQ(previewRow->width(), page.previewSurface()->width());
    EXPECT_EQ(page.enginePill()->x(), 0);
    EXPECT_EQ(page.previewButton()->geometry().right(), previewRow->width() - 1);
    EXPECT_EQ(previewRow->height(), std::max({page.enginePill()->height(), page.pulsesPill()->height(),
                                              page.previewButton()->height()}));
    // The surface centres its glyph and two lines, 13 apart, as one block.
    const QWidget* surface = page.previewSurface();
    const QList<VantrelGlyph*> glyphs = surface->findChildren<VantrelGlyph*>();
    const QList<VantrelLabel*> lines = surface->findChildren<VantrelLabel*>();
    ASSERT_EQ(glyphs.size(), 1);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(glyphs[0]->size(), QSize(48, 48));
    EXPECT_EQ(lines[0]->text(), "Preview surface");
    EXPECT_EQ(lines[0]->y() - glyphs[0]->geometry().bottom() - 1, 13);
    EXPECT_EQ(lines[1]->y() - lines[0]->geometry().bottom() - 1, 13);
    EXPECT_NEAR(glyphs[0]->y(), surface->height() - lines[1]->geometry().bottom() - 1, 1);
    // With access missing the notice sits 16 under the master row, the divider first.
    const QList<PageDivider*> noticeDivider = page.notice()->findChildren<PageDivider*>();
    ASSERT_EQ(noticeDivider.size(), 1);
    EXPECT_DOUBLE_EQ(noticeDivider[0]->opacity(), 0.24);
    EXPECT_EQ(page.notice()->y() - page.masterSwitch()->parentWidget()->geometry().bottom() - 1, 16);
    // The master row and the notice run edge to edge in the card's content, the row on top; the
    // divider is a bare line with the notice's row 16 under it.
    const QWidget* masterRow = page.masterSwitch()->parentWidget();
    const QWidget* masterContent = masterRow->parentWidget();
    EXPECT_EQ(masterRow->pos(), QPoint(0, 0));
    EXPECT_EQ(masterRow->width(), masterContent->width());
    EXPECT_EQ(page.notice()->x(), 0);
    EXPECT_EQ(page.notice()->width(), masterContent->width());
    EXPECT_EQ(page.notice()->geometry().bottom(), masterContent->height() - 1);
    EXPECT_EQ(noticeDivider[0]->geometry(), QRect(0, 0, page.notice()->width(), 1));
    const QWidget* noticeRow = page.allowButton()->parentWidget();
    EXPECT_EQ(noticeRow->y(), 1 + 16);
    EXPECT_EQ(noticeRow->geometry().bottom(), page.notice()->height() - 1);
    const QList<HazardBadge*> badges = noticeRow->findChildren<HazardBadge*>();
    ASSERT_EQ(badges.size(), 1);
    EXPECT_EQ(badges[0]->x(), 0);
    EXPECT_EQ(page.allowButton()->geometry().right(), noticeRow->width() - 1);
    EXPECT_EQ(noticeRow->height(),
              std::max({badges[0]->height(), page.allowButton()->height(),
                        noticeRow->findChildren<VantrelLabel*>(Qt::FindDirectChildrenOnly)[0]->height()}));
}

TEST_F(FeedbackPageTest, TheCardsCarryTheirTitlesHelpAndSymbols) {
    const auto help = [](const SettingsCard* card) {
        return card->helpButton() ? card->helpButton()->helpText() : QString();
    };
    SettingsCard* gestures = nullptr;
    SettingsCard* controls = nullptr;
    for (SettingsCard* card : page.findChildren<SettingsCard*>()) {
        if (card->title() == u"Gesture haptics") gestures = card;
        if (card->title() == u"Vantrel controls") controls = card;
    }
    ASSERT_NE(gestures, nullptr);
    ASSERT_NE(controls, nullptr);
    EXPECT_EQ(page.masterCard()->title(), "Trackpad feedback");
    EXPECT_EQ(
        help(page.masterCard()),
        "Input Monitoring lets Vantrel notice gestures while another app is active. Vantrel observes the "
        "gesture event and does not read the text you type.");
    EXPECT_EQ(page.strengthCard()->title(), "Strength");
    EXPECT_EQ(page.strengthCard()->subtitleLabel(), nullptr);
    EXPECT_EQ(
        help(page.strengthCard()),
        "macOS provides fixed haptic patterns rather than true amplitude control. These choices select a "
        "restrained, balanced, or more decisive finite pattern.");
    EXPECT_EQ(
        help(gestures),
        "Each gesture uses its selected feel. Vantrel rate-limits responses so one action cannot turn into "
        "a buzz, and it never adds sound to Trackpad feedback.");
    EXPECT_EQ(help(controls),
              "This controls feedback produced by Vantrel's own buttons and surfaces. It does "
              "not require Input Monitoring.");
    EXPECT_EQ(controls->subtitleLabel(), nullptr);

    EXPECT_EQ(page.enginePill()->title(), "Engine");
    EXPECT_EQ(page.enginePill()->symbol(), "dot.radiowaves.left.and.right");
    EXPECT_EQ(page.pulsesPill()->title(), "Session pulses");
    EXPECT_EQ(page.pulsesPill()->symbol(), "waveform");
    const QList<VantrelIcon*> icons = page.masterCard()->findChildren<VantrelIcon*>();
    ASSERT_FALSE(icons.isEmpty());
    EXPECT_EQ(icons[0]->systemName(), "rectangle.and.hand.point.up.left");

    // Each gesture's picker leads its switch by 10, the pair ending the row.
    for (FeedbackTrigger trigger : allCasesOf<FeedbackTrigger>()) {
        const VantrelMenuPicker* picker = page.stylePicker(trigger);
        const VantrelSwitch* toggle = page.triggerSwitch(trigger);
        EXPECT_EQ(picker->x(), 0);
        EXPECT_EQ(toggle->x() - picker->geometry().right() - 1, 10);
        EXPECT_EQ(toggle->geometry().right(), toggle->parentWidget()->width() - 1);
        EXPECT_EQ(toggle->parentWidget()->height(), std::max(picker->height(), toggle->height()));
    }
}

TEST_F(FeedbackPageTest, AtTheWindowsNarrowestTheStrengthCardGoesUnderThePreviewKeepingEverySize) {
    c.h.preferences.setFeedbackEnabled(true);
    c.feedback.start();
    MetricPill* engine = page.enginePill();
    MetricPill* pulses = page.pulsesPill();
    QAbstractButton* preview = page.previewButton();
    QWidget* previewCard = page.previewSurface()->parentWidget();
    while (previewCard->parentWidget() != page.strengthCard()->parentWidget())
        previewCard = previewCard->parentWidget();
    for (const int width : {1040, 720}) {
        SCOPED_TRACE(width);
        page.resize(width, 1500);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(page.strengthCard()->width(), 340);
        if (width == 1040) {
            EXPECT_EQ(page.strengthCard()->y(), previewCard->y()) << "side by side";
            EXPECT_EQ(page.strengthCard()->x() - previewCard->geometry().right() - 1, 16);
        } else {
            EXPECT_EQ(page.strengthCard()->y() - previewCard->geometry().bottom() - 1, 16) << "stacked";
            EXPECT_EQ(page.strengthCard()->x(), previewCard->x());
        }
        // Every figure whole, "Listening" included, and the row inside its card.
        EXPECT_EQ(engine->value(), "Listening");
        EXPECT_EQ(engine->size(), engine->sizeHint());
        EXPECT_EQ(pulses->size(), pulses->sizeHint());
        EXPECT_EQ(preview->size(), preview->sizeHint());
        EXPECT_EQ(pulses->x() - engine->geometry().right() - 1, 10);
        EXPECT_GE(preview->x() - pulses->geometry().right() - 1, 10);
        EXPECT_EQ(preview->geometry().right(), preview->parentWidget()->width() - 1);
    }
}
