#include "settings/NotchSettingsPage.h"

#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "kit/FeatureRow.h"
#include "kit/HapticSelection.h"
#include "kit/HazardBadge.h"
#include "kit/SettingBinding.h"
#include "kit/SettingsCard.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelIcon.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelMenuPicker.h"
#include "kit/VantrelMotion.h"
#include "kit/VantrelPillButtonStyle.h"
#include "kit/VantrelSegmentedControl.h"
#include "kit/VantrelSwitch.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "notch/NotchPanelController.h"
#include "settings/NotchSettingsPreview.h"
#include "settings/PageDivider.h"
#include "settings/WidgetStack.h"

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QVariantAnimation>

namespace vantrel {

namespace {

// A titled setting with its control at the trailing end: title and subtitle over each other, at
// least 24 points of room, then the control at its own width.
QWidget* settingRow(const QString& title, const QString& subtitle, QWidget* control) {
    auto* row = new QWidget;
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(18);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(new VantrelLabel(title, VantrelType::label(), VantrelLabel::primary(), row));
    auto* caption = new VantrelLabel(subtitle, VantrelType::caption(), VantrelTheme::secondaryText(), row);
    caption->setWordWrap(true);
    texts->addWidget(caption);
    line->addLayout(texts, 1);
    line->addSpacing(24 - 18);
    control->setParent(row);
    control->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    control->setAccessibleName(title);
    line->addWidget(control, 0, Qt::AlignVCenter);
    return row;
}

// "instant" → "Instant".
QString capitalised(const QString& raw) {
    return raw.isEmpty() ? raw : raw.front().toUpper() + raw.mid(1);
}

} // namespace

NotchSettingsPage::NotchSettingsPage(const NotchSettingsPageContext& context, QWidget* parent)
    : VantrelPage(context.preferences, QStringLiteral("Notch Panel"), std::nullopt, kMaxWidth, parent),
      context_(context), expansion_(new QVariantAnimation(this)) {
    addContent(buildNotchCard());
    addContent(buildPreview());
    addContent(buildBehaviorCard());
    refreshAvailability();
    connect(&context_.notch, &NotchPanelController::hasPhysicalNotchChanged, this,
            &NotchSettingsPage::refreshAvailability);
    // Any settings change, from here or elsewhere, opens a collapsed preview so its effect shows.
    connect(&context_.preferences, &VantrelPreferences::changed, this,
            [this](VantrelPreferences::Setting setting) {
                if (setting == VantrelPreferences::Setting::notchEnabled) refreshAvailability();
                revealPreview();
            });
}

QWidget* NotchSettingsPage::buildNotchCard() {
    VantrelPreferences& preferences = context_.preferences;
    notchCard_ = new SettingsCard(
        preferences, context_.appearance, QStringLiteral("Notch"), std::nullopt,
        QStringLiteral(
            "Vantrel only renders the real notch overlay on a built-in MacBook display that reports "
            "physical notch geometry. It is hidden on ordinary external monitors."));
    auto* content = new QWidget;
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);

    auto* master = new QHBoxLayout;
    master->setSpacing(14);
    master->addWidget(new VantrelIcon(preferences, QStringLiteral("capsule.tophalf.filled"),
                                      IconColor::accent(), 40, content),
                      0, Qt::AlignVCenter);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    texts->addWidget(new VantrelLabel(QStringLiteral("Use Notch Panel"), VantrelType::label(),
                                      VantrelLabel::primary(), content));
    texts->addWidget(new VantrelLabel(QStringLiteral("Built-in notched MacBook displays only"),
                                      VantrelType::caption(), VantrelTheme::secondaryText(), content));
    master->addLayout(texts);
    master->addStretch(1);
    enabled_ = new VantrelSwitch(&context_.haptics, content);
    enabled_->setObjectName(QStringLiteral("notchEnabled"));
    enabled_->setAccessibleName(QStringLiteral("Use Notch Panel"));
    enabled_->setMotion(&context_.motion);
    // Turning the notch on or off re-applies everything, which shows or hides the panel.
    SettingBinding<bool> applying = VANTREL_PREFERENCE_BINDING(preferences, notchEnabled, NotchEnabled);
    applying.set = [store = &preferences, apply = context_.applyPreferences](bool on) {
        store->setNotchEnabled(on);
        if (apply) apply();
    };
    enabled_->bind(applying);
    master->addWidget(enabled_, 0, Qt::AlignVCenter);
    stack->addLayout(master);

    notice_ = new QWidget(content);
    notice_->setObjectName(QStringLiteral("noNotchNotice"));
    auto* noticeStack = new QVBoxLayout(notice_);
    noticeStack->setContentsMargins(0, 0, 0, 0);
    noticeStack->setSpacing(0);
    noticeStack->addWidget(new PageDivider(0.24, 12, notice_));
    auto* noticeRow = new QHBoxLayout;
    noticeRow->setSpacing(10);
    noticeRow->addWidget(new HazardBadge(QStringLiteral("No physical notch on the active display"), notice_),
                         0, Qt::AlignVCenter);
    noticeRow->addStretch(1);
    noticeRow->addWidget(new VantrelLabel(QStringLiteral("The overlay stays hidden on this display."),
                                          VantrelType::caption(), VantrelTheme::secondaryText(), notice_),
                         0, Qt::AlignVCenter);
    noticeStack->addLayout(noticeRow);
    stack->addWidget(notice_);

    notchCard_->addContent(content);
    return notchCard_;
}

QWidget* NotchSettingsPage::buildPreview() {
    preview_ = new NotchSettingsPreview(context_.preferences, context_.themeImages, context_.motion);
    preview_->setObjectName(QStringLiteral("notchPreview"));
    preview_->setExpanded(state_.expanded);
    preview_->setExpansion(state_.expanded ? 1 : 0);
    connect(expansion_, &QVariantAnimation::valueChanged, preview_,
            [this](const QVariant& value) { preview_->setExpansion(value.toDouble()); });
    connect(preview_, &NotchSettingsPreview::hoverChanged, this, [this](bool hovering) {
        setPreviewState(state_.hovered(hovering, context_.preferences.notchAutoExpand()));
    });
    connect(preview_, &NotchSettingsPreview::tapped, this, [this] { setPreviewState(state_.tapped()); });
    return preview_;
}

QWidget* NotchSettingsPage::buildBehaviorCard() {
    VantrelPreferences& preferences = context_.preferences;
    behaviorCard_ = new SettingsCard(
        preferences, context_.appearance, QStringLiteral("Behavior and expanded view"), std::nullopt,
        QStringLiteral("Opening controls how quickly the physical notch reacts. Size and material change the "
                       "expanded workspace while keeping the shell stable between feature pages."));
    const QColor accent = VantrelTheme::accent(preferences.accent());

    autoExpand_ = new VantrelSwitch(&context_.haptics);
    autoExpand_->setObjectName(QStringLiteral("notchAutoExpand"));
    autoExpand_->setMotion(&context_.motion);
    autoExpand_->bind(VANTREL_PREFERENCE_BINDING(preferences, notchAutoExpand, NotchAutoExpand));
    auto* autoExpandRow =
        new FeatureRow(preferences, QStringLiteral("cursorarrow.motionlines"), IconColor::accent(),
                       QStringLiteral("Open when the pointer enters"),
                       QStringLiteral("The physical notch becomes the target"), autoExpand_);

    // The pickers are silent themselves and tick from watching their setting, after the write.
    QStringList speeds;
    for (const NotchResponsiveness value : allCasesOf<NotchResponsiveness>())
        speeds.append(capitalised(rawValue(value)));
    responsiveness_ =
        new VantrelMenuPicker(QStringLiteral("Responsiveness"), speeds, context_.menus, nullptr);
    responsiveness_->setObjectName(QStringLiteral("notchResponsiveness"));
    responsiveness_->setFixedWidth(146);
    const auto speed = VANTREL_PREFERENCE_BINDING(preferences, notchResponsiveness, NotchResponsiveness);
    const auto speedCases = allCasesOf<NotchResponsiveness>();
    responsiveness_->bind(speed, QList<NotchResponsiveness>(speedCases.begin(), speedCases.end()));
    hapticSelection(responsiveness_, speed, &context_.haptics);
    responsivenessRow_ =
        settingRow(QStringLiteral("Responsiveness"),
                   QStringLiteral("How deliberately the pointer must enter the notch"), responsiveness_);
    responsivenessRow_->setObjectName(QStringLiteral("responsivenessRow"));
    const auto followAutoExpand = [this] {
        responsivenessRow_->setEnabled(context_.preferences.notchAutoExpand());
    };
    followAutoExpand();
    preferences.onChange(VantrelPreferences::Setting::notchAutoExpand, responsivenessRow_, followAutoExpand);

    keepOpen_ = new VantrelSwitch(&context_.haptics);
    keepOpen_->setObjectName(QStringLiteral("keepOpenBriefly"));
    keepOpen_->setMotion(&context_.motion);
    VantrelPreferences* store = &preferences;
    keepOpen_->bind({
        // "manual" keeps the panel open too, and reads as on; the page itself never writes it.
        .get = [store] { return store->notchCollapseBehavior() != NotchCollapseBehavior::immediate; },
        .set =
            [store](bool on) {
                store->setNotchCollapseBehavior(on ? NotchCollapseBehavior::shortDelay
                                                   : NotchCollapseBehavior::immediate);
            },
        .observe =
            [store](const QObject* context, std::function<void()> action) {
                store->onChange(VantrelPreferences::Setting::notchCollapseBehavior, context,
                                std::move(action));
            },
    });
    QWidget* keepOpenRow =
        settingRow(QStringLiteral("Keep open briefly"),
                   QStringLiteral("Adds a short grace period when the pointer leaves"), keepOpen_);

    QStringList sizes;
    for (const NotchSize value : allCasesOf<NotchSize>()) sizes.append(capitalised(rawValue(value)));
    size_ = new VantrelSegmentedControl(QStringLiteral("Size"), sizes, nullptr);
    size_->setObjectName(QStringLiteral("notchSize"));
    size_->setFixedWidth(232);
    // The size's one tick comes from the binding, which also moves the real panel at once.
    SettingBinding<NotchSize> sizeBinding = VANTREL_PREFERENCE_BINDING(preferences, notchSize, NotchSize);
    sizeBinding.set = [store, haptics = &context_.haptics,
                       reposition = context_.repositionNotch](NotchSize value) {
        haptics->play(HapticSurface::controls);
        store->setNotchSize(value);
        if (reposition) reposition(true);
    };
    const auto sizeCases = allCasesOf<NotchSize>();
    size_->bind(sizeBinding, QList<NotchSize>(sizeCases.begin(), sizeCases.end()));
    QWidget* sizeRow =
        settingRow(QStringLiteral("Size"), QStringLiteral("The workspace width and breathing room"), size_);

    material_ = new VantrelMenuPicker(QStringLiteral("Material"),
                                      {QStringLiteral("Midnight"), QStringLiteral("Mirror Glass")},
                                      context_.menus, nullptr);
    material_->setObjectName(QStringLiteral("notchAppearance"));
    material_->setFixedWidth(154);
    const auto finish = VANTREL_PREFERENCE_BINDING(preferences, notchAppearance, NotchAppearance);
    material_->bind(finish, QList<NotchAppearance>{NotchAppearance::midnight, NotchAppearance::crystal});
    hapticSelection(material_, finish, &context_.haptics);
    QWidget* materialRow =
        settingRow(QStringLiteral("Material"),
                   QStringLiteral("Geometry stays identical; only the finish changes"), material_);

    previewButton_ = new VantrelButton(QStringLiteral("Preview real notch"),
                                       std::make_shared<VantrelPillButtonStyle>(accent, &context_.haptics));
    previewButton_->setObjectName(QStringLiteral("previewRealNotch"));
    previewButton_->setMotion(&context_.motion);
    connect(previewButton_, &QAbstractButton::clicked, this, [this] {
        if (context_.showNotch) context_.showNotch(NotchTab::home, true);
    });
    preferences.onChange(VantrelPreferences::Setting::accent, previewButton_, [this] {
        previewButton_->setButtonStyle(std::make_shared<VantrelPillButtonStyle>(
            VantrelTheme::accent(context_.preferences.accent()), &context_.haptics));
    });
    auto* buttonRow = new QWidget;
    auto* buttonLine = new QHBoxLayout(buttonRow);
    buttonLine->setContentsMargins(0, 0, 0, 0);
    buttonLine->addStretch(1);
    previewButton_->setParent(buttonRow);
    buttonLine->addWidget(previewButton_);

    behaviorCard_->addContent(
        stackOf({autoExpandRow, new PageDivider(0.24, 0), responsivenessRow_, keepOpenRow,
                 new PageDivider(0.24, 0), sizeRow, materialRow, buttonRow},
                16));
    return behaviorCard_;
}

void NotchSettingsPage::refreshAvailability() {
    const bool hasNotch = context_.notch.hasPhysicalNotch();
    notice_->setVisible(!hasNotch);
    previewButton_->setEnabled(hasNotch && context_.preferences.notchEnabled());
}

void NotchSettingsPage::revealPreview() {
    setPreviewState(state_.revealed());
}

void NotchSettingsPage::setPreviewState(const NotchPreviewState& next) {
    const bool toggles = next.expanded != state_.expanded;
    state_ = next;
    preview_->setHovering(state_.hovering);
    if (!toggles) return;
    preview_->setExpanded(state_.expanded);
    const VantrelAnimation animation = NotchPreviewState::animation(context_.motion.prefersReducedMotion());
    expansion_->stop();
    animation.run(*expansion_, preview_->expansion(), state_.expanded ? 1.0 : 0.0);
}

} // namespace vantrel
