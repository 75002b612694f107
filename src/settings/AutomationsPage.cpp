#include "settings/AutomationsPage.h"

#include "control-center/HomePageContext.h"
#include "core/VantrelPreferences.h"
#include "kit/SettingsCard.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelIcon.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelSwitch.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "notch/NotchNotesView.h"
#include "services/AutomationEngine.h"
#include "settings/PageDivider.h"
#include "settings/PlainButtonStyle.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace vantrel {

namespace {

AdaptiveColor accentColor(const VantrelPreferences& preferences) {
    const QColor accent = VantrelTheme::accent(preferences.accent());
    return {accent, accent};
}

QString triggerPhrase(const VantrelAutomationRule& rule) {
    switch (rule.trigger) {
    case AutomationTrigger::appActive:
        return QStringLiteral("When ") + rule.triggerValue + QStringLiteral(" is active");
    case AutomationTrigger::batteryBelow:
        return QStringLiteral("When battery is below ") + rule.triggerValue + QStringLiteral("%");
    case AutomationTrigger::timeOfDay:
        break;
    }
    return QStringLiteral("Every day around ") + rule.triggerValue + QStringLiteral(":00");
}

QString actionPhrase(AutomationAction action) {
    switch (action) {
    case AutomationAction::showNotch:
        return QStringLiteral("show the notch overview");
    case AutomationAction::startFocus:
        return QStringLiteral("start a timer");
    case AutomationAction::enableFeedback:
        return QStringLiteral("enable scroll feedback");
    case AutomationAction::hideCustomDock:
        break;
    }
    return QStringLiteral("hide Vantrel Dock");
}

// One step of a scene: its symbol over its title over what it means, sharing the row's width.
QWidget* conceptColumn(const VantrelPreferences& preferences, const QString& symbol, const QString& title,
                       const QString& detail) {
    auto* column = new QWidget;
    auto* stack = new QVBoxLayout(column);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(8);
    stack->addWidget(new VantrelGlyph(symbol, VantrelTheme::accent(preferences.accent()), 20, QFont::DemiBold,
                                      28, 28, column),
                     0, Qt::AlignHCenter);
    stack->addWidget(
        new VantrelLabel(title, VantrelType::font(11.5, QFont::Bold), VantrelLabel::primary(), column), 0,
        Qt::AlignHCenter);
    auto* text = new VantrelLabel(detail, VantrelType::font(9.5, QFont::Normal),
                                  VantrelTheme::secondaryText(), column);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    stack->addWidget(text);
    column->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    return column;
}

} // namespace

QString AutomationsPage::description(const VantrelAutomationRule& rule) {
    return triggerPhrase(rule) + QStringLiteral(", ") + actionPhrase(rule.action) + QStringLiteral(".");
}

QString AutomationsPage::symbol(AutomationTrigger trigger) {
    switch (trigger) {
    case AutomationTrigger::appActive:
        return QStringLiteral("app.fill");
    case AutomationTrigger::batteryBelow:
        return QStringLiteral("battery.25");
    case AutomationTrigger::timeOfDay:
        break;
    }
    return QStringLiteral("clock.fill");
}

AutomationsPage::AutomationsPage(const ControlCenterContext& context, QWidget* parent)
    : VantrelPage(context.preferences, QStringLiteral("Automations"), std::nullopt, kMaxWidth, parent),
      context_(context) {
    addContent(makeMeaningCard());
    addContent(makeScenesCard());
    addContent(makeHowCard());

    AutomationEngine* engine = &context_.automations;
    connect(engine, &AutomationEngine::rulesChanged, this, &AutomationsPage::showRules);
    connect(engine, &AutomationEngine::lastActionChanged, this,
            [this](const QString& text) { scenesCard_->setSubtitle(text); });
    connect(engine, &AutomationEngine::lastCheckedAtChanged, this, &AutomationsPage::showChecked);
    // The accent colours the icons and the buttons: a new accent draws them again.
    context_.preferences.onChange(VantrelPreferences::Setting::accent, this, [this] {
        static_cast<VantrelButton*>(checkNowButton_)
            ->setButtonStyle(std::make_shared<PlainButtonStyle>(accentColor(context_.preferences)));
        showRules();
    });
}

SettingsCard* AutomationsPage::makeMeaningCard() {
    auto* card =
        new SettingsCard(context_.preferences, context_.appearance, QStringLiteral("What this means"),
                         QStringLiteral("Local, private, and reversible"));
    auto* content = new QWidget(card);
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(10);
    auto* explanation = new VantrelLabel(
        QStringLiteral(
            "Vantrel checks the enabled rows every four seconds. When a condition becomes true its "
            "action runs, and when the condition stops being true Vantrel puts the setting back the way "
            "it found it. Scenes are temporary, never permanent edits."),
        VantrelType::font(11.5, QFont::Normal), VantrelTheme::secondaryText(), content);
    explanation->setWordWrap(true);
    stack->addWidget(explanation);

    auto* status = new QWidget(content);
    auto* line = new QHBoxLayout(status);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(8);
    const QFont statusFont = VantrelType::font(10.5, QFont::Medium);
    auto* shield = new VantrelGlyph(QStringLiteral("lock.shield"), VantrelLabel::primary().resolve(this),
                                    10.5, QFont::Medium, 16, 16, status);
    toned_.append({shield, VantrelLabel::primary()});
    line->addWidget(shield, 0, Qt::AlignVCenter);
    line->addWidget(new VantrelLabel(QStringLiteral("No cloud service or scripts"), statusFont,
                                     VantrelLabel::primary(), status),
                    0, Qt::AlignVCenter);
    line->addStretch(1);
    checkedText_ = new VantrelLabel(QString(), statusFont, VantrelTheme::tertiaryText(), status);
    line->addWidget(checkedText_, 0, Qt::AlignVCenter);
    auto* checkNow =
        new VantrelButton(QStringLiteral("Check Now"),
                          std::make_shared<PlainButtonStyle>(accentColor(context_.preferences)), status);
    checkNow->setMotion(&context_.motion);
    checkNowButton_ = checkNow;
    line->addWidget(checkNow, 0, Qt::AlignVCenter);
    AutomationEngine* engine = &context_.automations;
    connect(checkNow, &QAbstractButton::clicked, this, [engine] { engine->evaluate(); });
    stack->addWidget(status);
    showChecked();

    card->addContent(content);
    return card;
}

SettingsCard* AutomationsPage::makeScenesCard() {
    scenesCard_ = new SettingsCard(context_.preferences, context_.appearance, QStringLiteral("Smart scenes"),
                                   context_.automations.lastAction());
    rulesList_ = new QWidget(scenesCard_);
    rulesLayout_ = new QVBoxLayout(rulesList_);
    rulesLayout_->setContentsMargins(0, 0, 0, 0);
    rulesLayout_->setSpacing(0);
    showRules();
    scenesCard_->addContent(rulesList_);
    return scenesCard_;
}

SettingsCard* AutomationsPage::makeHowCard() {
    auto* card =
        new SettingsCard(context_.preferences, context_.appearance, QStringLiteral("How scenes work"));
    auto* content = new QWidget(card);
    auto* line = new QHBoxLayout(content);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(15);
    const VantrelPreferences& preferences = context_.preferences;
    // The arrows are drawn at the page's body size, as the text around them.
    const auto arrow = [this, content] {
        auto* glyph =
            new VantrelGlyph(QStringLiteral("arrow.right"), VantrelTheme::tertiaryText().resolve(content),
                             12.5, QFont::Normal, 18, 18, content);
        toned_.append({glyph, VantrelTheme::tertiaryText()});
        return glyph;
    };
    line->addWidget(conceptColumn(preferences, QStringLiteral("scope"), QStringLiteral("When"),
                                  QStringLiteral("An app, time, or battery state matches")),
                    1);
    line->addWidget(arrow(), 0, Qt::AlignVCenter);
    line->addWidget(conceptColumn(preferences, QStringLiteral("wand.and.stars"), QStringLiteral("Then"),
                                  QStringLiteral("Vantrel changes a module or starts a timer")),
                    1);
    line->addWidget(arrow(), 0, Qt::AlignVCenter);
    line->addWidget(conceptColumn(preferences, QStringLiteral("arrow.uturn.backward.circle"),
                                  QStringLiteral("Until"),
                                  QStringLiteral("The change lasts only while the condition holds")),
                    1);
    card->addContent(content);
    return card;
}

QWidget* AutomationsPage::makeRuleRow(const VantrelAutomationRule& rule) {
    auto* row = new QWidget(rulesList_);
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 11, 0, 11);
    line->setSpacing(12);
    line->addWidget(new VantrelIcon(context_.preferences, symbol(rule.trigger),
                                    VantrelTheme::accent(context_.preferences.accent()), 40, row),
                    0, Qt::AlignVCenter);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    // Names and sentences are the user's own text: plain, never markup.
    auto* name =
        new VantrelLabel(rule.name, VantrelType::font(12.5, QFont::DemiBold), VantrelLabel::primary(), row);
    name->setTextFormat(Qt::PlainText);
    auto* sentence = new VantrelLabel(description(rule), VantrelType::font(10.5, QFont::Normal),
                                      VantrelTheme::secondaryText(), row);
    sentence->setTextFormat(Qt::PlainText);
    sentence->setWordWrap(true);
    texts->addWidget(name);
    texts->addWidget(sentence);
    line->addLayout(texts, 1);

    AutomationEngine* engine = &context_.automations;
    auto* run = new VantrelButton(QStringLiteral("Run"),
                                  std::make_shared<PlainButtonStyle>(accentColor(context_.preferences)), row);
    run->setMotion(&context_.motion);
    // Runs once, enabled or not, and nothing is kept for a later revert.
    connect(run, &QAbstractButton::clicked, this, [engine, rule] { engine->perform(rule, false); });
    line->addWidget(run, 0, Qt::AlignVCenter);

    auto* toggle = new VantrelSwitch(&context_.haptics, row);
    toggle->setMotion(&context_.motion);
    toggle->setChecked(rule.isEnabled);
    toggle->setAccessibleName(rule.name);
    const QPointer<VantrelSwitch> guard(toggle);
    // The engine flips the stored rule; the switch shows what the engine then holds.
    connect(toggle, &QAbstractButton::clicked, this, [engine, rule, guard] {
        engine->toggle(rule);
        if (!guard) return;
        const auto& rules = engine->rules();
        const auto it = std::find_if(rules.begin(), rules.end(), [&rule](const VantrelAutomationRule& each) {
            return each.id == rule.id;
        });
        guard->setChecked(it != rules.end() && it->isEnabled);
    });
    line->addWidget(toggle, 0, Qt::AlignVCenter);
    rows_.append({row, run, toggle});
    return row;
}

void AutomationsPage::showRules() {
    // Rows go at once from the layout; the row whose switch is being used is deleted afterwards.
    while (QLayoutItem* item = rulesLayout_->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
    rows_.clear();
    dividers_ = 0;
    const std::vector<VantrelAutomationRule>& rules = context_.automations.rules();
    for (const VantrelAutomationRule& rule : rules) {
        rulesLayout_->addWidget(makeRuleRow(rule));
        if (rule.id != rules.back().id) {
            rulesLayout_->addWidget(new PageDivider(0.25, 0, rulesList_));
            ++dividers_;
        }
    }
}

void AutomationsPage::showChecked() {
    const std::optional<WallTime> checked = context_.automations.lastCheckedAt();
    checkedText_->setVisible(checked.has_value());
    if (checked)
        checkedText_->setText(QStringLiteral("Checked ") +
                              NotchNotesView::relativeText(*checked, context_.home.clock.now()));
}

void AutomationsPage::showTones() {
    for (const Toned& each : toned_)
        if (each.glyph) each.glyph->setColor(each.color.resolve(this));
}

bool AutomationsPage::event(QEvent* event) {
    // The plain glyphs take the text colours of the appearance they are drawn in.
    if (event->type() == VantrelTheme::colorSchemeChangeEvent()) showTones();
    return VantrelPage::event(event);
}

void AutomationsPage::showEvent(QShowEvent* event) {
    VantrelPage::showEvent(event);
    showTones();
    showChecked();
    const QPointer<AutomationsPage> self(this);
    refresh_ = ScheduledTask(context_.scheduler, context_.scheduler.scheduleRepeating(
                                                     Seconds(kCheckedRefreshSeconds), Seconds(0.1), [self] {
                                                         if (self) self->showChecked();
                                                     }));
}

void AutomationsPage::hideEvent(QHideEvent* event) {
    refresh_.cancel();
    VantrelPage::hideEvent(event);
}

QList<QWidget*> AutomationsPage::ruleRows() const {
    QList<QWidget*> rows;
    for (const Row& row : rows_) rows << row.row.data();
    return rows;
}

int AutomationsPage::dividerCount() const {
    return dividers_;
}

QAbstractButton* AutomationsPage::runButton(int row) const {
    return rows_.value(row).run.data();
}

VantrelSwitch* AutomationsPage::ruleSwitch(int row) const {
    return rows_.value(row).toggle.data();
}

} // namespace vantrel
