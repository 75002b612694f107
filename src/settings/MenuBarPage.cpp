#include "settings/MenuBarPage.h"

#include "core/VantrelPreferences.h"
#include "kit/FeatureRow.h"
#include "kit/FocusHandOff.h"
#include "kit/SettingsCard.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelPillButtonStyle.h"
#include "kit/VantrelSecondaryButtonStyle.h"
#include "kit/VantrelSwitch.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "services/MenuBarAppearanceController.h"
#include "services/MenuBarOrganizerPolicy.h"
#include "settings/PageDivider.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPointer>
#include <QVBoxLayout>

namespace vantrel {

namespace {

QWidget* stack(int spacing, QVBoxLayout** layout, QWidget* parent = nullptr) {
    auto* widget = new QWidget(parent);
    *layout = new QVBoxLayout(widget);
    (*layout)->setContentsMargins(0, 0, 0, 0);
    (*layout)->setSpacing(spacing);
    return widget;
}

// A setup step's number on a faint disc of the accent colour.
class NumberBubble final : public QWidget {
public:
    NumberBubble(int number, QColor accent, QWidget* parent)
        : QWidget(parent), text_(QString::number(number)), accent_(std::move(accent)) {
        setFixedSize(26, 26);
        setAccessibleName(text_);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(VantrelTheme::withOpacity(accent_, 0.12));
        painter.drawEllipse(QRectF(rect()));
        painter.setPen(accent_);
        painter.setFont(VantrelType::font(10, QFont::Bold));
        painter.drawText(QRectF(rect()), Qt::AlignCenter, text_);
    }

private:
    QString text_;
    QColor accent_;
};

// A step's symbol in the primary text colour of the appearance it is drawn in.
class StepSymbol final : public QWidget {
public:
    StepSymbol(const QString& symbol, double pointSize, QWidget* parent)
        : QWidget(parent), symbol_(symbol), pointSize_(pointSize) {
        setFixedSize(int(pointSize + 4), int(pointSize + 4));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        VantrelGlyph::paint(painter, QRectF(rect()), symbol_, VantrelLabel::primary().resolve(this),
                            pointSize_, QFont::DemiBold);
    }

private:
    QString symbol_;
    double pointSize_;
};

} // namespace

MenuBarPage::Visibility MenuBarPage::visibility(bool on, bool complete, bool setup) {
    if (setup) return {.setupCard = true};
    if (!on) return {};
    if (!complete) return {.actionRow = true};
    return {.actionRow = true,
            .adjustLabel = true,
            .showHideButton = true,
            .readyMark = true,
            .revealCard = true};
}

void MenuBarPage::finishSetup(MenuBarAppearanceController& organizer) {
    VantrelPreferences* preferences = organizer.preferences();
    if (!preferences || !organizer.isSetupMode()) return;
    organizer.applySetupExit(MenuBarOrganizerPolicy::finish(), *preferences);
    // The organizer says the items are visible; the page says setup is over.
    organizer.setStatusMessage(QString::fromUtf8(MenuBarAppearanceController::kSetupFinishedMessage));
}

void MenuBarPage::cancelSetup(MenuBarAppearanceController& organizer) {
    VantrelPreferences* preferences = organizer.preferences();
    if (!preferences || !organizer.isSetupMode()) return;
    organizer.applySetupExit(
        MenuBarOrganizerPolicy::cancel(organizer.setupEntryState(), preferences->menuSetupComplete()),
        *preferences);
}

MenuBarPage::MenuBarPage(const ControlCenterContext& context, QWidget* parent)
    : VantrelPage(context.preferences, QStringLiteral("Menu Bar"), std::nullopt, kMaxWidth, parent),
      context_(context), accent_(VantrelTheme::accent(context.preferences.accent())) {
    addContent(makeOrganizerCard());
    addContent(makeSetupCard());
    addContent(makeRevealCard());
    refresh();

    MenuBarAppearanceController* organizer = &context_.menuBarAppearance;
    connect(organizer, &MenuBarAppearanceController::statusMessageChanged, this, &MenuBarPage::refresh);
    connect(organizer, &MenuBarAppearanceController::isSetupModeChanged, this, &MenuBarPage::refresh);
    connect(organizer, &MenuBarAppearanceController::areHiddenItemsRevealedChanged, this,
            &MenuBarPage::refresh);
    for (const auto setting :
         {VantrelPreferences::Setting::menuMaskEnabled, VantrelPreferences::Setting::menuSetupComplete})
        context_.preferences.onChange(setting, this, [this] { refresh(); });
}

VantrelSwitch* MenuBarPage::applyingSwitch(VantrelPreferences::Setting setting,
                                           bool (VantrelPreferences::*get)() const,
                                           void (VantrelPreferences::*set)(bool)) {
    auto* toggle = new VantrelSwitch(&context_.haptics);
    toggle->setMotion(&context_.motion);
    VantrelPreferences* preferences = &context_.preferences;
    MenuBarAppearanceController* organizer = &context_.menuBarAppearance;
    MenuBarScanner* scanner = &context_.menuBarScanner;
    toggle->bind({
        .get = [preferences, get] { return (preferences->*get)(); },
        // The organizer follows each write at once.
        .set =
            [preferences, set, organizer, scanner](bool on) {
                (preferences->*set)(on);
                organizer->apply(*preferences, *scanner);
            },
        .observe =
            [preferences, setting](const QObject* context, std::function<void()> action) {
                preferences->onChange(setting, context, std::move(action));
            },
    });
    return toggle;
}

SettingsCard* MenuBarPage::makeOrganizerCard() {
    VantrelPreferences& preferences = context_.preferences;
    organizerCard_ = new SettingsCard(
        preferences, context_.appearance, QStringLiteral("Organizer"),
        context_.menuBarAppearance.statusMessage(),
        QStringLiteral("Command-drag the Vantrel divider into position, then Command-drag the icons you want "
                       "Vantrel to manage to its left. The permanent Vantrel control hides and reveals that "
                       "group."));
    QVBoxLayout* column = nullptr;
    QWidget* content = stack(16, &column, organizerCard_);

    organizerSwitch_ =
        applyingSwitch(VantrelPreferences::Setting::menuMaskEnabled, &VantrelPreferences::menuMaskEnabled,
                       &VantrelPreferences::setMenuMaskEnabled);
    column->addWidget(new FeatureRow(
        preferences, QStringLiteral("menubar.rectangle"), accent_, QStringLiteral("Organize menu-bar icons"),
        QStringLiteral("A simple show and hide boundary"), organizerSwitch_, content));

    QVBoxLayout* actions = nullptr;
    actionRow_ = stack(16, &actions, content);
    actions->addWidget(new PageDivider(0.24, 0, actionRow_));
    auto* row = new QWidget(actionRow_);
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(12);

    MenuBarAppearanceController* organizer = &context_.menuBarAppearance;
    MenuBarScanner* scanner = &context_.menuBarScanner;
    VantrelPreferences* store = &preferences;
    // refresh() names the two buttons by the organizer's state.
    setupButton_ = new VantrelButton(
        QString(), std::make_shared<VantrelPillButtonStyle>(accent_, &context_.haptics), row);
    setupButton_->setMotion(&context_.motion);
    connect(setupButton_, &QAbstractButton::clicked, this, [organizer, scanner, store] {
        organizer->beginSetup(*store, *scanner, MenuBarSectionKind::hidden);
    });
    line->addWidget(setupButton_, 0, Qt::AlignVCenter);

    showHideButton_ = new VantrelButton(QString(), std::make_shared<VantrelSecondaryButtonStyle>(), row);
    showHideButton_->setMotion(&context_.motion);
    connect(showHideButton_, &QAbstractButton::clicked, this,
            [organizer, scanner, store] { organizer->toggleHiddenItems(store, scanner); });
    line->addWidget(showHideButton_, 0, Qt::AlignVCenter);
    line->addStretch(1);

    readyMark_ = new QWidget(row);
    auto* mark = new QHBoxLayout(readyMark_);
    mark->setContentsMargins(0, 0, 0, 0);
    mark->setSpacing(6);
    mark->addWidget(new VantrelGlyph(QStringLiteral("checkmark.circle.fill"), accent_, 10, QFont::DemiBold,
                                     16, 16, readyMark_));
    mark->addWidget(
        new VantrelLabel(QStringLiteral("Ready"), VantrelType::caption(), {accent_, accent_}, readyMark_));
    line->addWidget(readyMark_, 0, Qt::AlignVCenter);
    actions->addWidget(row);
    column->addWidget(actionRow_);

    organizerCard_->addContent(content);
    return organizerCard_;
}

QWidget* MenuBarPage::makeSetupStep(int number, const QString& title, const QString& symbol,
                                    const QString& detail) {
    auto* step = new QWidget;
    auto* line = new QHBoxLayout(step);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(12);
    line->addWidget(new NumberBubble(number, accent_, step), 0, Qt::AlignTop);

    QVBoxLayout* texts = nullptr;
    QWidget* column = stack(4, &texts, step);
    auto* heading = new QWidget(column);
    auto* headingLine = new QHBoxLayout(heading);
    headingLine->setContentsMargins(0, 0, 0, 0);
    headingLine->setSpacing(6);
    const QFont label = VantrelType::label();
    const double size = VantrelType::pixelSize(label);
    headingLine->addWidget(new StepSymbol(symbol, size, heading), 0, Qt::AlignVCenter);
    headingLine->addWidget(new VantrelLabel(title, label, VantrelLabel::primary(), heading), 1);
    texts->addWidget(heading);
    auto* detailLabel =
        new VantrelLabel(detail, VantrelType::caption(), VantrelTheme::secondaryText(), column);
    detailLabel->setWordWrap(true);
    texts->addWidget(detailLabel);
    line->addWidget(column, 1);
    return step;
}

SettingsCard* MenuBarPage::makeSetupCard() {
    setupCard_ =
        new SettingsCard(context_.preferences, context_.appearance, QStringLiteral("Set the divider"));
    QVBoxLayout* column = nullptr;
    QWidget* content = stack(16, &column, setupCard_);
    column->addWidget(
        makeSetupStep(1, QStringLiteral("Find the Vantrel divider"), QStringLiteral("eye"),
                      QStringLiteral("Look for the small divider icon in the real macOS menu bar.")));
    column->addWidget(makeSetupStep(
        2, QStringLiteral("Place it"), QStringLiteral("command"),
        QStringLiteral(
            "Hold Command (\u2318) and drag the divider to where the managed group should begin.")));
    column->addWidget(makeSetupStep(
        3, QStringLiteral("Move the icons"), QStringLiteral("menubar.arrow.up.rectangle"),
        QStringLiteral(
            "Still holding Command, drag every icon you want Vantrel to hide to the divider's left. "
            "Finish keeps them visible until you choose Hide items.")));

    auto* buttons = new QWidget(content);
    auto* line = new QHBoxLayout(buttons);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(12);
    finishButton_ =
        new VantrelButton(QStringLiteral("Finish"),
                          std::make_shared<VantrelPillButtonStyle>(accent_, &context_.haptics), buttons);
    finishButton_->setMotion(&context_.motion);
    cancelButton_ =
        new VantrelButton(QStringLiteral("Cancel"), std::make_shared<VantrelSecondaryButtonStyle>(), buttons);
    cancelButton_->setMotion(&context_.motion);
    MenuBarAppearanceController* organizer = &context_.menuBarAppearance;
    connect(finishButton_, &QAbstractButton::clicked, this, [organizer] { finishSetup(*organizer); });
    connect(cancelButton_, &QAbstractButton::clicked, this, [organizer] { cancelSetup(*organizer); });
    line->addWidget(finishButton_, 0, Qt::AlignVCenter);
    line->addWidget(cancelButton_, 0, Qt::AlignVCenter);
    line->addStretch(1);
    column->addWidget(buttons);

    setupCard_->addContent(content);
    return setupCard_;
}

SettingsCard* MenuBarPage::makeRevealCard() {
    VantrelPreferences& preferences = context_.preferences;
    revealCard_ = new SettingsCard(preferences, context_.appearance, QStringLiteral("Reveal"));
    QVBoxLayout* column = nullptr;
    QWidget* content = stack(14, &column, revealCard_);
    hoverSwitch_ =
        applyingSwitch(VantrelPreferences::Setting::menuRevealOnHover, &VantrelPreferences::menuRevealOnHover,
                       &VantrelPreferences::setMenuRevealOnHover);
    column->addWidget(new FeatureRow(preferences, QStringLiteral("cursorarrow.motionlines"), accent_,
                                     QStringLiteral("Hover over the Vantrel control"),
                                     QStringLiteral("Reveal the managed icons without clicking"),
                                     hoverSwitch_, content));
    auto* note = new VantrelLabel(
        QStringLiteral(
            "Click the permanent Vantrel control to hide or reveal the group. Hovering only reveals it; "
            "icons stay visible until you click to hide them again."),
        VantrelType::caption(), VantrelTheme::secondaryText(), content);
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignLeading | Qt::AlignTop);
    column->addWidget(note);
    revealCard_->addContent(content);
    return revealCard_;
}

void MenuBarPage::refresh() {
    const VantrelPreferences& preferences = context_.preferences;
    const MenuBarAppearanceController& organizer = context_.menuBarAppearance;
    organizerCard_->setSubtitle(organizer.statusMessage());
    const Visibility shown =
        visibility(preferences.menuMaskEnabled(), preferences.menuSetupComplete(), organizer.isSetupMode());
    // A button that goes with its row or card hands the focus to the one that takes its place:
    // setting up leads to "Finish", finishing or cancelling back to the setup button.
    const FocusHandOff::Held held = FocusHandOff::take(this);
    QWidget* successor = nullptr;
    if (held.widget && actionRow_->isAncestorOf(held.widget) &&
        (!shown.actionRow || (held.widget == showHideButton_ && !shown.showHideButton)))
        successor = shown.setupCard ? finishButton_ : setupButton_;
    else if (held.widget && setupCard_->isAncestorOf(held.widget) && !shown.setupCard)
        successor = setupButton_;
    // Parked on the page meanwhile, so that Qt does not hand it along the Tab order.
    if (successor) setFocus(Qt::OtherFocusReason);
    actionRow_->setVisible(shown.actionRow);
    setupButton_->setText(shown.adjustLabel ? QStringLiteral("Adjust divider\u2026")
                                            : QStringLiteral("Set up hidden icons\u2026"));
    showHideButton_->setVisible(shown.showHideButton);
    showHideButton_->setText(organizer.areHiddenItemsRevealed() ? QStringLiteral("Hide items")
                                                                : QStringLiteral("Show hidden items"));
    readyMark_->setVisible(shown.readyMark);
    setupCard_->setVisible(shown.setupCard);
    revealCard_->setVisible(shown.revealCard);
    if (!successor) return;
    if (QWidget* took = FocusHandOff::pass(held.widget, successor, this)) {
        // Once the page has laid out what it now shows.
        QMetaObject::invokeMethod(
            this,
            [this, target = QPointer<QWidget>(took)] {
                if (target && target->hasFocus()) ensureWidgetVisible(target);
            },
            Qt::QueuedConnection);
    } else {
        FocusHandOff::give(held, organizerSwitch_);
    }
}

} // namespace vantrel
