#pragma once

#include "control-center/ControlCenterContext.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelPage.h"
#include "kit/VantrelTheme.h"
#include "platform/Scheduler.h"
#include "services/VantrelAutomationRule.h"

#include <QPointer>

class QAbstractButton;
class QVBoxLayout;

namespace vantrel {

class SettingsCard;
class VantrelLabel;
class VantrelSwitch;

// The automation scenes: what they are, the engine's rules with a sentence each, a switch that
// enables a rule and a button that runs it at once, a way to check now with the time of the last
// check, and how a scene works. The rules and their checks belong to the engine; the page shows
// them and calls it.
class AutomationsPage final : public VantrelPage {
    Q_OBJECT
public:
    static constexpr double kMaxWidth = 880;
    // How often the age of the last check is written anew while the page is on screen.
    static constexpr double kCheckedRefreshSeconds = 1;

    explicit AutomationsPage(const ControlCenterContext& context, QWidget* parent = nullptr);

    // One sentence for `rule`: its trigger, ", ", its action and "."; the trigger's value as stored.
    static QString description(const VantrelAutomationRule& rule);
    // The symbol of a rule's icon, by its trigger.
    static QString symbol(AutomationTrigger trigger);

    SettingsCard* scenesCard() const { return scenesCard_; }
    // "Checked " and the time since the engine's last check; hidden before the first one.
    VantrelLabel* checkedText() const { return checkedText_; }
    QAbstractButton* checkNowButton() const { return checkNowButton_; }
    // One row per rule, in the engine's order; the dividers between them.
    QList<QWidget*> ruleRows() const;
    int dividerCount() const;
    QAbstractButton* runButton(int row) const;
    VantrelSwitch* ruleSwitch(int row) const;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    SettingsCard* makeMeaningCard();
    SettingsCard* makeScenesCard();
    SettingsCard* makeHowCard();
    QWidget* makeRuleRow(const VantrelAutomationRule& rule);
    void showRules();
    void showChecked();
    void showTones();

    ControlCenterContext context_;
    VantrelLabel* checkedText_ = nullptr;
    QAbstractButton* checkNowButton_ = nullptr;
    SettingsCard* scenesCard_ = nullptr;
    QWidget* rulesList_ = nullptr;
    QVBoxLayout* rulesLayout_ = nullptr;
    struct Row {
        QPointer<QWidget> row;
        QPointer<QAbstractButton> run;
        QPointer<VantrelSwitch> toggle;
    };
    QList<Row> rows_;
    int dividers_ = 0;
    ScheduledTask refresh_;
    // Glyphs drawn in a text colour of the appearance.
    struct Toned {
        QPointer<VantrelGlyph> glyph;
        AdaptiveColor color;
    };
    QList<Toned> toned_;
};

} // namespace vantrel
