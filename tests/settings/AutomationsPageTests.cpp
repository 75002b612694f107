#include "kit/SettingsCard.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelIcon.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelSwitch.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "settings/AutomationsPage.h"
#include "settings/PageDivider.h"
#include "support/ControlCenterHarness.h"
#include "support/QtPrinters.h"
#include "support/VisibleTexts.h"

#include <QLayout>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

VantrelAutomationRule rule(const QString& name, AutomationTrigger trigger, const QString& value,
                           AutomationAction action, bool enabled = false) {
    return {QUuid::createUuid(), name, trigger, value, action, enabled};
}

class AutomationsPageTest : public ::testing::Test {
protected:
    AutomationsPageTest() {
        page.resize(880, 1100);
        page.show();
        QCoreApplication::sendPostedEvents();
    }
    QString scenesSubtitle() const {
        VantrelLabel* label = page.scenesCard()->subtitleLabel();
        return label ? label->text() : QString();
    }
    void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }
    QString checked() const {
        return page.checkedText()->isVisibleTo(&page) ? page.checkedText()->text() : QString();
    }

    ControlCenterHarness c;
    AutomationsPage page{c.context()};
};

} // namespace

TEST(AutomationsPageSentences, TheStartingRulesReadInOrderAndOddValuesStayAsStored) {
    QStringList sentences;
    for (const VantrelAutomationRule& each : VantrelAutomationRule::defaults())
        sentences << AutomationsPage::description(each);
    EXPECT_EQ(sentences, QStringList({"When Xcode is active, start a timer.",
                                      "When battery is below 25%, hide Vantrel Dock.",
                                      "Every day around 09:00, show the notch overview."}));

    EXPECT_EQ(AutomationsPage::description(
                  rule("", AutomationTrigger::appActive, "  Final Cut ", AutomationAction::enableFeedback)),
              "When   Final Cut  is active, enable scroll feedback.");
    EXPECT_EQ(AutomationsPage::description(
                  rule("", AutomationTrigger::batteryBelow, "ten", AutomationAction::showNotch)),
              "When battery is below ten%, show the notch overview.");
    EXPECT_EQ(AutomationsPage::description(
                  rule("", AutomationTrigger::timeOfDay, "<b>7</b>", AutomationAction::startFocus)),
              "Every day around <b>7</b>:00, start a timer.");
    EXPECT_EQ(AutomationsPage::description(
                  rule("", AutomationTrigger::timeOfDay, "", AutomationAction::hideCustomDock)),
              "Every day around :00, hide Vantrel Dock.");
    EXPECT_EQ(AutomationsPage::symbol(AutomationTrigger::appActive), "app.fill");
    EXPECT_EQ(AutomationsPage::symbol(AutomationTrigger::batteryBelow), "battery.25");
    EXPECT_EQ(AutomationsPage::symbol(AutomationTrigger::timeOfDay), "clock.fill");
}

TEST_F(AutomationsPageTest, EachRuleIsARowWithItsNameAndSentenceDividedButAfterTheLast) {
    const QStringList texts = visibleTexts(page);
    for (const char* text :
         {"Automations",
          "What this means",
          "Local, private, and reversible",
          "Vantrel checks the enabled rows every four seconds. When a condition becomes true "
          "its action runs, and when the condition stops being true Vantrel puts the setting "
          "back the way it found it. Scenes are temporary, never permanent edits.",
          "No cloud service or scripts",
          "Check Now",
          "Smart scenes",
          "No automation has run yet",
          "Deep work in Xcode",
          "When Xcode is active, start a timer.",
          "Gentle battery mode",
          "Morning overview",
          "Every day around 09:00, show the notch overview.",
          "Run",
          "How scenes work",
          "When",
          "An app, time, or battery state matches",
          "Then",
          "Vantrel changes a module or starts a timer",
          "Until",
          "The change lasts only while the condition holds"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(text))) << text;
    EXPECT_EQ(page.ruleRows().size(), 3);
    EXPECT_EQ(page.dividerCount(), 2);

    c.automations.setRules(
        {rule("Only one", AutomationTrigger::appActive, "Mail", AutomationAction::showNotch)});
    ASSERT_EQ(page.ruleRows().size(), 1);
    EXPECT_EQ(page.dividerCount(), 0);
    EXPECT_TRUE(visibleTexts(*page.ruleRows()[0]).contains("When Mail is active, show the notch overview."));

    c.automations.setRules({});
    EXPECT_TRUE(page.ruleRows().isEmpty());
    EXPECT_EQ(scenesSubtitle(), "No automation has run yet");
}

TEST_F(AutomationsPageTest, TheSwitchOnlyTogglesAndRunWorksForADisabledRule) {
    const QString name = c.automations.rules()[0].name;
    ASSERT_FALSE(c.automations.rules()[0].isEnabled);
    qsizetype from = c.mark();
    click(page.ruleSwitch(0));
    EXPECT_EQ(c.callsSince(from), QStringList({"haptic generic", "automations.toggle Deep work in Xcode",
                                               "files.write automations.json"}));
    EXPECT_TRUE(c.automations.rules()[0].isEnabled);
    ASSERT_NE(page.ruleSwitch(0), nullptr);
    EXPECT_TRUE(page.ruleSwitch(0)->isChecked()) << "the switch shows what the engine holds";
    EXPECT_FALSE(c.stores.focus.isRunning()) << "enabling a rule does not run it";
    QCoreApplication::sendPostedEvents();

    // Run on the second rule, which is off.
    ASSERT_FALSE(c.automations.rules()[1].isEnabled);
    c.h.preferences.setCustomDockEnabled(true);
    from = c.mark();
    click(page.runButton(1));
    EXPECT_EQ(c.callsSince(from),
              QStringList({"automations.perform Gentle battery mode norecord", "set dock.customEnabled false",
                           "automationTarget.applySettings"}));
    EXPECT_TRUE(scenesSubtitle().startsWith("Gentle battery mode ran at ")) << scenesSubtitle().toStdString();
    EXPECT_FALSE(c.automations.rules()[1].isEnabled);

    // Switched off again: the engine flips it back, the switch follows.
    from = c.mark();
    click(page.ruleSwitch(0));
    EXPECT_EQ(c.callsSince(from), QStringList({"haptic generic", "automations.toggle Deep work in Xcode",
                                               "files.write automations.json"}));
    EXPECT_FALSE(page.ruleSwitch(0)->isChecked());
}

TEST_F(AutomationsPageTest, CheckNowShowsTheTimeSinceTheCheckRenewedEachSecondWhileShown) {
    EXPECT_EQ(checked(), "");
    const qsizetype from = c.mark();
    click(page.checkNowButton());
    EXPECT_EQ(c.callsSince(from), QStringList({"automations.evaluate"}));
    EXPECT_EQ(checked(), "Checked 0 sec");
    c.h.scheduler.advance(Seconds(1));
    EXPECT_EQ(checked(), "Checked 1 sec");
    c.h.scheduler.advance(Seconds(74));
    EXPECT_EQ(checked(), "Checked 1 min");

    // Off screen nothing renews it; back on screen it is current at once.
    page.hide();
    const QString before = page.checkedText()->text();
    c.h.scheduler.advance(Seconds(3600));
    EXPECT_EQ(page.checkedText()->text(), before);
    page.show();
    EXPECT_EQ(checked(), "Checked 1 hr");
}

TEST_F(AutomationsPageTest, RowsKeepTheirMeasures) {
    EXPECT_EQ(page.maxWidth(), 880);
    const QList<QWidget*> rows = page.ruleRows();
    ASSERT_EQ(rows.size(), 3);
    // 11 above and below, the icon 40 wide, 12 between the pieces of a row.
    const QList<VantrelIcon*> icons = rows[0]->findChildren<VantrelIcon*>();
    ASSERT_EQ(icons.size(), 1);
    EXPECT_EQ(icons[0]->iconSize(), 40);
    EXPECT_EQ(icons[0]->systemName(), "app.fill");
    EXPECT_EQ(rows[0]->layout()->contentsMargins(), QMargins(0, 11, 0, 11));
    EXPECT_EQ(rows[0]->layout()->spacing(), 12);
    EXPECT_EQ(rows[1]->findChildren<VantrelIcon*>()[0]->systemName(), "battery.25");
    for (PageDivider* divider : rows[0]->parentWidget()->findChildren<PageDivider*>())
        EXPECT_DOUBLE_EQ(divider->opacity(), 0.25);
    // The name and the sentence in their sizes, the sentence in the secondary colour.
    const QList<VantrelLabel*> labels = rows[0]->findChildren<VantrelLabel*>();
    ASSERT_EQ(labels.size(), 2);
    EXPECT_DOUBLE_EQ(VantrelType::pixelSize(labels[0]->font()), 12.5);
    EXPECT_EQ(labels[0]->font().weight(), QFont::DemiBold);
    EXPECT_DOUBLE_EQ(VantrelType::pixelSize(labels[1]->font()), 10.5);
    EXPECT_EQ(labels[1]->y() - labels[0]->geometry().bottom() - 1, 3) << "name over sentence, 3 apart";
    // The dividers are bare lines: the rows carry their own padding.
    for (PageDivider* divider : rows[0]->parentWidget()->findChildren<PageDivider*>())
        EXPECT_EQ(divider->height(), 1);
    EXPECT_DOUBLE_EQ(VantrelType::pixelSize(page.checkedText()->font()), 10.5);
    // The status line: "lock.shield" at its start, "Check Now" at its end.
    const QWidget* status = page.checkNowButton()->parentWidget();
    const QList<VantrelGlyph*> shields = status->findChildren<VantrelGlyph*>();
    ASSERT_EQ(shields.size(), 1);
    EXPECT_EQ(shields[0]->systemName(), "lock.shield");
    EXPECT_DOUBLE_EQ(shields[0]->pointSize(), 10.5) << "the status line's size";
    // The label's symbol and text at the stack's default 8 apart.
    const QList<VantrelLabel*> statusTexts = status->findChildren<VantrelLabel*>();
    ASSERT_FALSE(statusTexts.isEmpty());
    EXPECT_EQ(statusTexts[0]->text(), "No cloud service or scripts");
    EXPECT_EQ(statusTexts[0]->x() - shields[0]->geometry().right() - 1, 8);
    EXPECT_EQ(shields[0]->x(), 0);
    EXPECT_EQ(page.checkNowButton()->geometry().right(), status->width() - 1);
    EXPECT_EQ(status->x(), 0);
    EXPECT_EQ(status->width(), status->parentWidget()->width());
    // Rows follow each other without a gap; the dividers separate them.
    EXPECT_EQ(rows[0]->parentWidget()->layout()->spacing(), 0);
    // The page's own check renews itself each second only while shown.
    const std::size_t pending = c.h.scheduler.pendingCount();
    page.hide();
    EXPECT_EQ(c.h.scheduler.pendingCount(), pending - 1);
}

TEST_F(AutomationsPageTest, HowScenesWorkIsThreeConceptsSharingTheWidthBetweenArrows) {
    SettingsCard* how = nullptr;
    for (SettingsCard* card : page.findChildren<SettingsCard*>())
        if (card->title() == "How scenes work") how = card;
    ASSERT_NE(how, nullptr);
    QStringList symbols;
    QList<VantrelGlyph*> glyphs = how->findChildren<VantrelGlyph*>();
    std::sort(glyphs.begin(), glyphs.end(), [how](const VantrelGlyph* a, const VantrelGlyph* b) {
        return a->mapTo(how, QPoint()).x() < b->mapTo(how, QPoint()).x();
    });
    for (const VantrelGlyph* glyph : glyphs) symbols << glyph->systemName();
    EXPECT_EQ(symbols, QStringList({"scope", "arrow.right", "wand.and.stars", "arrow.right",
                                    "arrow.uturn.backward.circle"}));
    // The three concepts are equally wide, 15 from each arrow.
    const QWidget* first = glyphs[0]->parentWidget();
    const QWidget* second = glyphs[2]->parentWidget();
    const QWidget* third = glyphs[4]->parentWidget();
    EXPECT_NEAR(first->width(), second->width(), 1);
    EXPECT_NEAR(second->width(), third->width(), 1);
    // The row fills the card's content from edge to edge.
    EXPECT_EQ(first->x(), 0);
    EXPECT_EQ(third->geometry().right(), third->parentWidget()->width() - 1);
    EXPECT_EQ(glyphs[1]->x() - first->geometry().right() - 1, 15);
    EXPECT_EQ(second->x() - glyphs[1]->geometry().right() - 1, 15);
    // Within a concept: symbol, title and detail, 8 apart, from its top edge across its width.
    EXPECT_EQ(glyphs[2]->y(), 0);
    const QList<VantrelLabel*> texts = second->findChildren<VantrelLabel*>();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0]->text(), "Then");
    EXPECT_DOUBLE_EQ(VantrelType::pixelSize(texts[0]->font()), 11.5);
    EXPECT_EQ(texts[0]->font().weight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(VantrelType::pixelSize(texts[1]->font()), 9.5);
    EXPECT_DOUBLE_EQ(glyphs[2]->pointSize(), 20);
    EXPECT_EQ(texts[0]->y() - glyphs[2]->geometry().bottom() - 1, 8);
    EXPECT_EQ(texts[1]->y() - texts[0]->geometry().bottom() - 1, 8);
    EXPECT_EQ(texts[1]->x(), 0);
    EXPECT_EQ(texts[1]->width(), second->width());
    EXPECT_EQ(texts[1]->geometry().bottom(), second->height() - 1);
}

TEST_F(AutomationsPageTest, TheArrowsTakeTheTertiaryTextColourOfEachAppearance) {
    QList<VantrelGlyph*> arrows;
    for (VantrelGlyph* glyph : page.findChildren<VantrelGlyph*>())
        if (glyph->systemName() == u"arrow.right") arrows << glyph;
    ASSERT_EQ(arrows.size(), 2);
    for (VantrelGlyph* arrow : arrows) EXPECT_DOUBLE_EQ(arrow->pointSize(), 12.5) << "the page's body size";
    QCoreApplication::sendPostedEvents();
    // Recoloured by the change of appearance itself, before anything else reaches the page.
    for (const ColorScheme scheme : {ColorScheme::light, ColorScheme::dark, ColorScheme::light}) {
        VantrelTheme::setColorScheme(&page, scheme);
        for (VantrelGlyph* arrow : arrows)
            EXPECT_EQ(arrow->color(), VantrelTheme::tertiaryText().resolve(scheme));
    }
}
