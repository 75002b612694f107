#include "settings/NotificationsPage.h"

#include "core/VantrelPreferences.h"
#include "kit/AlignedSettingRow.h"
#include "kit/FeatureRow.h"
#include "kit/HazardBadge.h"
#include "kit/PercentText.h"
#include "kit/SettingBinding.h"
#include "kit/SettingsCard.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelIcon.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelMenuPicker.h"
#include "kit/VantrelSecondaryButtonStyle.h"
#include "kit/VantrelSegmentedControl.h"
#include "kit/VantrelSlider.h"
#include "kit/VantrelSwitch.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/AlarmController.h"
#include "modules/NotificationSignalStore.h"
#include "settings/PageDivider.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>

namespace vantrel {

namespace {

constexpr double kLabelColumn = 150;
constexpr double kControlColumn = 430;
constexpr int kVolumeTicks = 1000;

QWidget* stackOf(QWidget* parent, int spacing, QVBoxLayout** layout) {
    auto* widget = new QWidget(parent);
    *layout = new QVBoxLayout(widget);
    (*layout)->setContentsMargins(0, 0, 0, 0);
    (*layout)->setSpacing(spacing);
    return widget;
}

// A capability the system does not offer: its icon, what it would do and why it is greyed out,
// a warning badge and, when asked, a switch that stays off. Drawn faded; nothing on it takes a
// click or the focus.
QWidget* unavailableRow(VantrelPreferences& preferences, const QString& symbol, double iconOpacity,
                        const QString& title, const QString& detail, const QString& badge, bool withSwitch,
                        QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(14);
    const QColor red = VantrelTheme::withOpacity(HazardBadge::red(parent), iconOpacity);
    line->addWidget(new VantrelIcon(preferences, symbol, red, 40, row), 0, Qt::AlignVCenter);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    auto* titleLabel = new VantrelLabel(title, VantrelType::label(), VantrelLabel::primary(), row);
    auto* detailLabel = new VantrelLabel(detail, VantrelType::caption(), VantrelTheme::secondaryText(), row);
    detailLabel->setWordWrap(true);
    texts->addWidget(titleLabel);
    texts->addWidget(detailLabel);
    line->addLayout(texts, 1);
    line->addWidget(new HazardBadge(badge, row), 0, Qt::AlignVCenter);
    if (withSwitch) {
        auto* off = new VantrelSwitch(nullptr, row);
        off->setChecked(false);
        off->setAccessibleName(title);
        line->addWidget(off, 0, Qt::AlignVCenter);
    }
    row->setEnabled(false);
    row->setFocusPolicy(Qt::NoFocus);
    auto* fade = new QGraphicsOpacityEffect(row);
    fade->setOpacity(NotificationsPage::kUnavailableOpacity);
    row->setGraphicsEffect(fade);
    return row;
}

} // namespace

QString NotificationsPage::soundTitle(AlarmSound sound) {
    QString title = rawValue(sound);
    if (!title.isEmpty()) title[0] = title[0].toUpper();
    return title;
}

NotificationsPage::NotificationsPage(const ControlCenterContext& context, QWidget* parent)
    : VantrelPage(context.preferences, QStringLiteral("Notifications"), std::nullopt, kMaxWidth, parent),
      context_(context) {
    addContent(makeAlertsCard());
    addContent(makeMirrorCard());
    addContent(makeAlarmCard());
    addContent(makeBacklightCard());
}

SettingsCard* NotificationsPage::makeAlertsCard() {
    VantrelPreferences& preferences = context_.preferences;
    alertsCard_ = new SettingsCard(
        preferences, context_.appearance, QStringLiteral("Vantrel alerts"), context_.alerts.statusMessage(),
        QStringLiteral(
            "Vantrel can reliably signal events created inside Vantrel, such as a timer finishing. "
            "It does not read the contents of macOS Notification Center."));
    QVBoxLayout* stack = nullptr;
    QWidget* content = stackOf(alertsCard_, 15, &stack);

    alertsSwitch_ = new VantrelSwitch(&context_.haptics);
    alertsSwitch_->setMotion(&context_.motion);
    alertsSwitch_->bind(VANTREL_PREFERENCE_BINDING(preferences, notificationsEnabled, NotificationsEnabled));
    stack->addWidget(new FeatureRow(
        preferences, QStringLiteral("bell.badge"), VantrelTheme::accent(preferences.accent()),
        QStringLiteral("Use Vantrel alerts"),
        QStringLiteral("Master switch for Vantrel timers and feature alerts"), alertsSwitch_, content));
    stack->addWidget(new PageDivider(0.24, 0, content));

    attentionSwitch_ = new VantrelSwitch(&context_.haptics);
    attentionSwitch_->setMotion(&context_.motion);
    attentionSwitch_->bind(
        VANTREL_PREFERENCE_BINDING(preferences, notificationIndicatorEnabled, NotificationIndicatorEnabled));
    attentionRow_ =
        new FeatureRow(preferences, QStringLiteral("circle.fill"), HazardBadge::red(this),
                       QStringLiteral("Notch attention light"),
                       QStringLiteral("A small red light beside the notch while an alert is waiting"),
                       attentionSwitch_, content);
    stack->addWidget(attentionRow_);
    // Without alerts there is nothing to light up; the light's own setting is kept for later.
    const auto followMaster = [this, &preferences] {
        attentionRow_->setEnabled(preferences.notificationsEnabled());
    };
    followMaster();
    preferences.onChange(VantrelPreferences::Setting::notificationsEnabled, this, followMaster);

    pendingDivider_ = new PageDivider(0.24, 0, content);
    stack->addWidget(pendingDivider_);
    pendingRow_ = new QWidget(content);
    auto* line = new QHBoxLayout(pendingRow_);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(7);
    const QColor red = HazardBadge::red(this);
    line->addWidget(
        new VantrelGlyph(QStringLiteral("bell.badge.fill"), red, 11, QFont::DemiBold, 18, 18, pendingRow_));
    pendingText_ = new VantrelLabel(QString(), VantrelType::label(), AdaptiveColor{red, red}, pendingRow_);
    line->addWidget(pendingText_);
    line->addStretch(1);
    auto* clear = new VantrelButton(QStringLiteral("Clear"), std::make_shared<VantrelSecondaryButtonStyle>(),
                                    pendingRow_);
    clear->setMotion(&context_.motion);
    clearButton_ = clear;
    line->addWidget(clear);
    NotificationSignalStore* alerts = &context_.alerts;
    // Clearing forgets the waiting alerts and nothing else.
    connect(clear, &QAbstractButton::clicked, this, [alerts] { alerts->setPendingEvents({}); });
    stack->addWidget(pendingRow_);
    showPending();
    connect(alerts, &NotificationSignalStore::pendingEventsChanged, this, &NotificationsPage::showPending);

    alertsCard_->addContent(content);
    return alertsCard_;
}

void NotificationsPage::showPending() {
    const QString status = context_.alerts.statusMessage();
    alertsCard_->setSubtitle(status);
    const bool waiting = !context_.alerts.pendingEvents().empty();
    pendingText_->setText(status);
    pendingDivider_->setVisible(waiting);
    pendingRow_->setVisible(waiting);
}

SettingsCard* NotificationsPage::makeMirrorCard() {
    auto* card = new SettingsCard(
        context_.preferences, context_.appearance, QStringLiteral("macOS notifications"),
        QStringLiteral("Unavailable in this version"),
        QStringLiteral(
            "macOS does not provide a public API that lets third-party apps read and mirror every "
            "Notification Center alert. Vantrel will not use brittle private access or pretend this "
            "is available."));
    mirrorRow_ =
        unavailableRow(context_.preferences, QStringLiteral("rectangle.stack.badge.exclamationmark"), 0.82,
                       QStringLiteral("Mirror notifications from other apps"),
                       QStringLiteral("Greyed out until there is a reliable, privacy-respecting macOS path."),
                       QStringLiteral("Not supported by macOS"), true, card);
    card->addContent(mirrorRow_);
    return card;
}

SettingsCard* NotificationsPage::makeAlarmCard() {
    VantrelPreferences& preferences = context_.preferences;
    auto* card = new SettingsCard(preferences, context_.appearance, QStringLiteral("Timer alarm"),
                                  QStringLiteral("One sound shared by Timer and Countdown"));
    QVBoxLayout* stack = nullptr;
    QWidget* content = stackOf(card, 16, &stack);

    // Sound: the picker and its preview side by side.
    auto* sound = new QWidget;
    auto* soundLine = new QHBoxLayout(sound);
    soundLine->setContentsMargins(0, 0, 0, 0);
    QStringList titles;
    QList<AlarmSound> sounds;
    for (AlarmSound each : allCasesOf<AlarmSound>()) {
        titles << soundTitle(each);
        sounds << each;
    }
    soundPicker_ = new VantrelMenuPicker(QStringLiteral("Sound"), titles, context_.menus, nullptr, sound);
    soundPicker_->setFixedWidth(180);
    soundPicker_->bind(VANTREL_PREFERENCE_BINDING(preferences, alarmSound, AlarmSound), sounds);
    soundLine->addWidget(soundPicker_);
    auto* preview =
        new VantrelButton(QStringLiteral("Preview"), std::make_shared<VantrelSecondaryButtonStyle>(), sound);
    preview->setMotion(&context_.motion);
    previewButton_ = preview;
    soundLine->addWidget(preview);
    AlarmController* alarm = &context_.alarm;
    // A preview plays once with what is chosen now, whether or not the alarm repeats.
    connect(preview, &QAbstractButton::clicked, this, [alarm] { alarm->play(false); });
    stack->addWidget(
        new AlignedSettingRow(QStringLiteral("Sound"), kLabelColumn, kControlColumn, sound, content));

    deliveryPicker_ = new VantrelSegmentedControl(
        QStringLiteral("Alert with"),
        {QStringLiteral("Sound"), QStringLiteral("Haptics"), QStringLiteral("Both")}, nullptr);
    deliveryPicker_->setMaximumWidth(360);
    deliveryPicker_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    deliveryPicker_->bind(
        VANTREL_PREFERENCE_BINDING(preferences, alarmDelivery, AlarmDelivery),
        QList<AlarmDelivery>{AlarmDelivery::sound, AlarmDelivery::haptics, AlarmDelivery::both});
    stack->addWidget(new AlignedSettingRow(QStringLiteral("Alert with"), kLabelColumn, kControlColumn,
                                           deliveryPicker_, content));

    stack->addWidget(new AlignedSettingRow(QStringLiteral("Volume"), kLabelColumn, kControlColumn,
                                           makeVolumeControl(), content));

    repeatSwitch_ = new VantrelSwitch(&context_.haptics);
    repeatSwitch_->setMotion(&context_.motion);
    repeatSwitch_->bind(VANTREL_PREFERENCE_BINDING(preferences, alarmRepeats, AlarmRepeats));
    stack->addWidget(new FeatureRow(
        preferences, QStringLiteral("repeat"), VantrelTheme::accent(preferences.accent()),
        QStringLiteral("Repeat until dismissed"),
        QStringLiteral("Keep signaling after the timer reaches zero"), repeatSwitch_, content));
    card->addContent(content);
    return card;
}

QWidget* NotificationsPage::makeVolumeControl() {
    auto* control = new QWidget;
    auto* line = new QHBoxLayout(control);
    line->setContentsMargins(0, 0, 0, 0);
    volumeSlider_ = new VantrelSlider(Qt::Horizontal, control);
    volumeSlider_->setRange(0, kVolumeTicks);
    volumeSlider_->setMaximumWidth(360);
    volumeSlider_->setAccessibleName(QStringLiteral("Volume"));
    volumeSlider_->installEventFilter(this);
    line->addWidget(volumeSlider_, 1);
    // The figures in the monospaced design, so they keep their places as the value changes.
    volumeText_ = new VantrelLabel(QString(), VantrelType::monospaced(10.5, QFont::Normal),
                                   VantrelTheme::secondaryText(), control);
    volumeText_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    volumeText_->setFixedWidth(38);
    line->addWidget(volumeText_);
    control->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    control->setMaximumWidth(360 + line->spacing() + 38);

    showVolume();
    context_.preferences.onChange(VantrelPreferences::Setting::alarmVolume, this, [this] { showVolume(); });
    VantrelPreferences* preferences = &context_.preferences;
    connect(volumeSlider_, &QSlider::valueChanged, this, [this, preferences](int position) {
        if (syncingVolume_) return;
        preferences->setAlarmVolume(double(position) / kVolumeTicks);
    });
    return control;
}

bool NotificationsPage::eventFilter(QObject* watched, QEvent* event) {
    // Scrolling the page over the slider moves the page, never the volume: a wheel turn is not a
    // choice of the user's. Left unaccepted, the turn goes on to the page.
    if (watched == volumeSlider_ && event->type() == QEvent::Wheel) {
        event->ignore();
        return true;
    }
    return VantrelPage::eventFilter(watched, event);
}

void NotificationsPage::showVolume() {
    const double volume = context_.preferences.alarmVolume();
    volumeText_->setText(percentText(volume));
    volumeSlider_->setAccessibleDescription(percentText(volume));
    syncingVolume_ = true;
    volumeSlider_->setValue(
        std::isfinite(volume) ? int(std::lround(std::clamp(volume, 0.0, 1.0) * kVolumeTicks)) : 0);
    syncingVolume_ = false;
}

SettingsCard* NotificationsPage::makeBacklightCard() {
    auto* card =
        new SettingsCard(context_.preferences, context_.appearance, QStringLiteral("Keyboard backlight"),
                         QStringLiteral("Paused while hardware support is unresolved"));
    backlightRow_ = unavailableRow(
        context_.preferences, QStringLiteral("keyboard"), 0.72, QStringLiteral("Backlight alert patterns"),
        QStringLiteral("Kept out of the active controls so Vantrel does not promise a signal this Mac cannot "
                       "produce."),
        QStringLiteral("Temporarily unavailable"), false, card);
    card->addContent(backlightRow_);
    return card;
}

} // namespace vantrel
