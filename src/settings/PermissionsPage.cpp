#include "settings/PermissionsPage.h"

#include "control-center/InputMonitoringRequest.h"
#include "core/VantrelPreferences.h"
#include "kit/FeatureRow.h"
#include "kit/FocusHandOff.h"
#include "kit/HazardBadge.h"
#include "kit/SettingsCard.h"
#include "kit/StatusBadge.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelPillButtonStyle.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/CalendarStore.h"
#include "settings/PageDivider.h"
#include "settings/PlainButtonStyle.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QVBoxLayout>

namespace vantrel {

namespace {

// The system's plain colours, dark and light.
const AdaptiveColor kGreen{QColor(48, 209, 88), QColor(52, 199, 89)};
const AdaptiveColor kRed{QColor(255, 69, 58), QColor(255, 59, 48)};
const AdaptiveColor kYellow{QColor(255, 214, 10), QColor(255, 204, 0)};

struct RowText {
    PrivacyPane pane;
    const char* symbol;
    const char* title;
    const char* subtitle;
};

constexpr RowText kRows[] = {
    {PrivacyPane::accessibility, "figure.wave", "Accessibility", "Interact with supported menu-bar controls"},
    {PrivacyPane::inputMonitoring, "keyboard", "Input Monitoring", "Global shortcut and scroll feedback"},
    {PrivacyPane::calendar, "calendar", "Calendar", "Read today’s events for the notch"},
    {PrivacyPane::camera, "camera", "Camera", "Display a local camera mirror"},
};

AdaptiveColor accentColor(const VantrelPreferences& preferences) {
    const QColor accent = VantrelTheme::accent(preferences.accent());
    return {accent, accent};
}

// The badge of a permission not asked for yet: a yellow dot and "Not requested".
QWidget* notRequestedBadge(QWidget* parent) {
    auto* badge = new QWidget(parent);
    auto* line = new QHBoxLayout(badge);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(6);
    const QColor yellow = kYellow.resolve(parent);
    line->addWidget(
        new VantrelGlyph(QStringLiteral("circle.fill"), yellow, 7, QFont::DemiBold, 14, 14, badge));
    line->addWidget(new VantrelLabel(QStringLiteral("Not requested"), VantrelType::font(9.5, QFont::Bold),
                                     kYellow, badge));
    return badge;
}

} // namespace

PermissionsPage::Presentation PermissionsPage::presentation(PermissionState state, ColorScheme scheme) {
    switch (state) {
    case PermissionState::allowed:
        return {kGreen.resolve(scheme), Badge::allowed, false};
    case PermissionState::denied:
        return {kRed.resolve(scheme), Badge::needsAccess, true};
    case PermissionState::unknown:
        break;
    }
    return {kYellow.resolve(scheme), Badge::notRequested, true};
}

PermissionsPage::PermissionsPage(const ControlCenterContext& context, QWidget* parent)
    : VantrelPage(context.preferences, QStringLiteral("Permissions"), std::nullopt, kMaxWidth, parent),
      context_(context) {
    auto* card = new SettingsCard(
        context_.preferences, context_.appearance, QStringLiteral("System access"),
        QStringLiteral("Press Allow to make the real macOS request, then return here to see the result."),
        QStringLiteral(
            "Green means Vantrel has access. Yellow means it has not been requested yet. Red means "
            "macOS needs attention before the feature can work."));
    rows_ = new QWidget(card);
    rowsLayout_ = new QVBoxLayout(rows_);
    rowsLayout_->setContentsMargins(0, 0, 0, 0);
    rowsLayout_->setSpacing(0);
    for (const RowText& text : kRows) {
        if (text.pane != kRows[0].pane) rowsLayout_->addWidget(new PageDivider(0.25, 0, rows_));
        // Each row keeps its place between the dividers, 8 points clear above and below.
        auto* slot = new QWidget(rows_);
        auto* padding = new QVBoxLayout(slot);
        padding->setContentsMargins(0, 8, 0, 8);
        rowsLayout_->addWidget(slot);
        shown_[text.pane].slot = slot;
    }
    card->addContent(rows_);
    addContent(card);
    addContent(makeActionRow());

    showStates();
    connect(&context_.permissions, &PermissionCenter::statesChanged, this, &PermissionsPage::showStates);
    connect(&context_.permissions, &PermissionCenter::statusMessageChanged, this,
            &PermissionsPage::showStatus);
    // The accent colours the buttons: a new accent redraws them.
    context_.preferences.onChange(VantrelPreferences::Setting::accent, this, [this] {
        redrawRows();
        static_cast<VantrelButton*>(refreshButton_)
            ->setButtonStyle(std::make_shared<VantrelPillButtonStyle>(
                VantrelTheme::accent(context_.preferences.accent()), &context_.haptics));
        static_cast<VantrelButton*>(openPrivacyButton_)
            ->setButtonStyle(std::make_shared<PlainButtonStyle>(accentColor(context_.preferences)));
    });
}

QWidget* PermissionsPage::makeActionRow() {
    auto* actions = new QWidget;
    auto* line = new QHBoxLayout(actions);
    line->setContentsMargins(0, 0, 0, 0);
    auto* refresh =
        new VantrelButton(QStringLiteral("Refresh Status"),
                          std::make_shared<VantrelPillButtonStyle>(
                              VantrelTheme::accent(context_.preferences.accent()), &context_.haptics),
                          actions);
    refresh->setMotion(&context_.motion);
    refreshButton_ = refresh;
    line->addWidget(refresh, 0, Qt::AlignVCenter);
    openPrivacyButton_ =
        new VantrelButton(QStringLiteral("Open Privacy Settings"),
                          std::make_shared<PlainButtonStyle>(accentColor(context_.preferences)), actions);
    line->addWidget(openPrivacyButton_, 0, Qt::AlignVCenter);
    line->addStretch(1);
    statusText_ = new VantrelLabel(QString(), VantrelType::font(10, QFont::Normal),
                                   VantrelTheme::secondaryText(), actions);
    statusText_->setWordWrap(true);
    statusText_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    line->addWidget(statusText_, 0, Qt::AlignVCenter);
    PermissionCenter* permissions = &context_.permissions;
    connect(refresh, &QAbstractButton::clicked, this, [permissions] { permissions->refresh(); });
    connect(openPrivacyButton_, &QAbstractButton::clicked, this,
            [permissions] { permissions->openPrivacySettings(std::nullopt); });
    showStatus();
    return actions;
}

void PermissionsPage::showStatus() {
    const std::optional<QString>& message = context_.permissions.statusMessage();
    statusText_->setText(message.value_or(QString()));
    statusText_->setVisible(message.has_value());
}

PermissionState PermissionsPage::stateOf(PrivacyPane pane) const {
    const PermissionCenter& permissions = context_.permissions;
    switch (pane) {
    case PrivacyPane::accessibility:
        return permissions.accessibility();
    case PrivacyPane::inputMonitoring:
        return permissions.inputMonitoring();
    case PrivacyPane::calendar:
        return permissions.calendar();
    case PrivacyPane::camera:
        break;
    }
    return permissions.camera();
}

void PermissionsPage::showStates() {
    for (const RowText& text : kRows) showRow(text.pane);
}

void PermissionsPage::redrawRows() {
    for (auto& [pane, widgets] : shown_) widgets.shown.reset();
    showStates();
}

void PermissionsPage::showRow(PrivacyPane pane) {
    RowWidgets& widgets = shown_[pane];
    const PermissionState state = stateOf(pane);
    if (widgets.shown == state) return;
    const RowText* text = std::find_if(std::begin(kRows), std::end(kRows),
                                       [pane](const RowText& each) { return each.pane == pane; });
    const Presentation look = presentation(state, VantrelTheme::colorScheme(this));

    auto* trailing = new QWidget;
    auto* line = new QHBoxLayout(trailing);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(9);
    switch (look.badge) {
    case Badge::allowed:
        line->addWidget(new StatusBadge(context_.preferences, true, QStringLiteral("Allowed"),
                                        QStringLiteral("Off"), trailing));
        break;
    case Badge::needsAccess:
        line->addWidget(new HazardBadge(QStringLiteral("Needs access"), trailing));
        break;
    case Badge::notRequested:
        line->addWidget(notRequestedBadge(trailing));
        break;
    }
    widgets.allow = nullptr;
    widgets.openSettings = nullptr;
    if (look.offersButtons) {
        auto* allowButton = new VantrelButton(
            QStringLiteral("Allow"), std::make_shared<PlainButtonStyle>(accentColor(context_.preferences)),
            trailing);
        auto* open =
            new VantrelButton(QStringLiteral("Open Settings"),
                              std::make_shared<PlainButtonStyle>(VantrelTheme::secondaryText()), trailing);
        line->addWidget(allowButton);
        line->addWidget(open);
        connect(allowButton, &QAbstractButton::clicked, this, [this, pane] { allow(pane); });
        PermissionCenter* permissions = &context_.permissions;
        connect(open, &QAbstractButton::clicked, this,
                [permissions, pane] { permissions->openPrivacySettings(pane); });
        widgets.allow = allowButton;
        widgets.openSettings = open;
    }

    // The row's focus stays with the same button of the new row or, where it has none, passes to
    // the next control of the page, never along the window's Tab order to its first control.
    const FocusHandOff::Held held = FocusHandOff::take(widgets.row);
    const bool onOpenSettings = held.widget && held.widget == widgets.openSettings;
    // Parked on the page while the row goes.
    if (held.widget) setFocus(Qt::OtherFocusReason);
    // A row replaced from its own button's click goes once the click is over.
    if (widgets.row) {
        widgets.row->hide();
        widgets.row->deleteLater();
    }
    auto* row = new FeatureRow(context_.preferences, QString::fromUtf8(text->symbol), look.color,
                               QString::fromUtf8(text->title), QString::fromUtf8(text->subtitle), trailing,
                               widgets.slot);
    widgets.slot->layout()->addWidget(row);
    // Shown now, not a turn later, so that its buttons can take the focus at once.
    row->show();
    widgets.row = row;
    widgets.shown = state;
    orderTabs();
    if (!held.widget) return;
    QWidget* same = onOpenSettings ? widgets.openSettings : widgets.allow;
    if (FocusHandOff::canTake(same)) {
        FocusHandOff::give(held, same);
        return;
    }
    // The next row's buttons, else the actions below the rows.
    QWidget* next = refreshButton_;
    for (auto it = std::find_if(std::begin(kRows), std::end(kRows),
                                [pane](const RowText& each) { return each.pane == pane; });
         it != std::end(kRows); ++it)
        if (QAbstractButton* allow = shown_[it->pane].allow; allow && it->pane != pane) {
            next = allow;
            break;
        }
    FocusHandOff::give(held, next);
}

void PermissionsPage::orderTabs() {
    // Rows rebuilt after the actions were made would come after them in the Tab order: the rows'
    // buttons go first, top to bottom, then the actions.
    QList<QWidget*> order;
    for (const RowText& text : kRows)
        for (QWidget* button : {static_cast<QWidget*>(shown_[text.pane].allow),
                                static_cast<QWidget*>(shown_[text.pane].openSettings)})
            if (button) order.append(button);
    if (refreshButton_) order.append(refreshButton_);
    if (openPrivacyButton_) order.append(openPrivacyButton_);
    for (qsizetype i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void PermissionsPage::allow(PrivacyPane pane) {
    PermissionCenter& permissions = context_.permissions;
    switch (pane) {
    case PrivacyPane::accessibility:
        permissions.requestAccessibility();
        return;
    case PrivacyPane::inputMonitoring:
        requestInputMonitoring(permissions);
        return;
    case PrivacyPane::calendar: {
        // The row changes only once the request has been answered and the states re-read.
        QPointer<PermissionCenter> center(&permissions);
        context_.calendar.requestAccess([center] {
            if (center) center->synchronizeCalendarStatus();
        });
        return;
    }
    case PrivacyPane::camera:
        permissions.requestCamera();
        return;
    }
}

FeatureRow* PermissionsPage::row(PrivacyPane pane) const {
    return shown_.at(pane).row;
}

QAbstractButton* PermissionsPage::allowButton(PrivacyPane pane) const {
    return shown_.at(pane).allow;
}

QAbstractButton* PermissionsPage::openSettingsButton(PrivacyPane pane) const {
    return shown_.at(pane).openSettings;
}

bool PermissionsPage::event(QEvent* event) {
    // The rows' colours are the appearance's own.
    if (event->type() == VantrelTheme::colorSchemeChangeEvent()) redrawRows();
    return VantrelPage::event(event);
}

void PermissionsPage::showEvent(QShowEvent* event) {
    VantrelPage::showEvent(event);
    // The states may have changed while the page was away (in the system's settings, say).
    context_.permissions.refresh();
}

} // namespace vantrel
