#include "settings/AppearancePage.h"

#include "core/PermissionCenter.h"
#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "kit/AlignedSettingRow.h"
#include "kit/FeatureRow.h"
#include "kit/HapticSelection.h"
#include "kit/PercentText.h"
#include "kit/SettingBinding.h"
#include "kit/SettingsCard.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelMotion.h"
#include "kit/VantrelSegmentedControl.h"
#include "kit/VantrelSliderRow.h"
#include "kit/VantrelSwitch.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "settings/PageDivider.h"
#include "settings/ThemeGallery.h"
#include "settings/TintEditor.h"
#include "settings/TintEditorModel.h"
#include "settings/WidgetStack.h"

#include <QHBoxLayout>
#include <QSlider>
#include <QVBoxLayout>

namespace vantrel {

namespace {

constexpr double kRowTitleWidth = 130;
constexpr double kRowControlWidth = 430;

// `control` as wide as the row allows up to `maxWidth`, centred in a row of any width: the control
// takes nearly all of the row's stretch, and the two stretches beside it share what its maximum
// leaves over. (Aligning it instead would hold it at its natural width.)
QWidget* centred(QWidget* control, int maxWidth) {
    auto* frame = new QWidget;
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    control->setMaximumWidth(maxWidth);
    control->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    row->addStretch(1);
    row->addWidget(control, 1000);
    row->addStretch(1);
    return frame;
}

} // namespace

AppearancePage::AppearancePage(const AppearancePageContext& context, QWidget* parent)
    : VantrelPage(context.preferences, QStringLiteral("Appearance"), std::nullopt, kMaxWidth, parent),
      context_(context) {
    addContent(buildModeCard());
    addContent(buildThemeCard());
    addContent(buildStartupCard());
}

QWidget* AppearancePage::buildModeCard() {
    VantrelPreferences& preferences = context_.preferences;
    modeCard_ = new SettingsCard(
        preferences, context_.appearance, QStringLiteral("Light and dark"),
        QStringLiteral("A composed design in either appearance"),
        QStringLiteral(
            "Follow System changes with macOS. The light artwork is designed separately instead of "
            "being an inverted dark image."));
    // The picker itself stays silent: the tick comes from watching the setting, so a change made
    // anywhere while the page is shown ticks once, after it is written.
    modePicker_ = new VantrelSegmentedControl(
        QStringLiteral("Appearance"),
        {QStringLiteral("Follow System"), QStringLiteral("Dark"), QStringLiteral("Light")}, nullptr);
    modePicker_->setObjectName(QStringLiteral("appearanceMode"));
    const auto mode = VANTREL_PREFERENCE_BINDING(preferences, appearanceMode, AppearanceMode);
    modePicker_->bind(
        mode, QList<AppearanceMode>{AppearanceMode::system, AppearanceMode::dark, AppearanceMode::light});
    hapticSelection(modePicker_, mode, &context_.haptics);
    modeCard_->addContent(centred(modePicker_, 520));
    return modeCard_;
}

QWidget* AppearancePage::buildThemeCard() {
    VantrelPreferences& preferences = context_.preferences;
    themeCard_ = new SettingsCard(
        preferences, context_.appearance, QStringLiteral("Theme"),
        QStringLiteral("The centered theme is active"),
        QStringLiteral(
            "Neutral is Vantrel\u2019s default graphite surface. The other four are original Vantrel "
            "backgrounds with separate light and dark artwork. Midnight Current and Canyon Alloy use a "
            "very slow refraction unless Reduce Motion is enabled."));

    gallery_ = new ThemeGallery({.preferences = preferences,
                                 .haptics = context_.haptics,
                                 .motion = context_.motion,
                                 .appearance = context_.appearance,
                                 .themeImages = context_.themeImages,
                                 .applyPreferences = context_.applyPreferences});
    themeCard_->addContent(gallery_);
    themeCard_->addContent(new PageDivider(0.26, 14));

    scopePicker_ = new VantrelSegmentedControl(
        QStringLiteral("Use theme on"),
        {QStringLiteral("All"), QStringLiteral("Notch only"), QStringLiteral("Settings only")}, nullptr);
    scopePicker_->setObjectName(QStringLiteral("themeScope"));
    scopePicker_->setMaximumWidth(int(kRowControlWidth));
    scopePicker_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    const auto scope = VANTREL_PREFERENCE_BINDING(preferences, themeScope, ThemeScope);
    scopePicker_->bind(scope,
                       QList<ThemeScope>{ThemeScope::all, ThemeScope::notchOnly, ThemeScope::settingsOnly});
    hapticSelection(scopePicker_, scope, &context_.haptics);

    VantrelPreferences* store = &preferences;
    backgroundTint_ =
        new TintEditorModel({.wellLabel = QStringLiteral("Background hue"),
                             .defaultStatus = QStringLiteral("Theme default"),
                             .saveLabel = QStringLiteral("Save background hue"),
                             .resetHelp = QStringLiteral("Return to the theme's original hue")},
                            {.tint = [store] { return store->backgroundTint(); },
                             .setTint = [store](BackgroundTint tint) { store->setBackgroundTint(tint); },
                             .enabled = [store] { return store->customBackgroundTintEnabled(); },
                             .setEnabled = [store](bool on) { store->setCustomBackgroundTintEnabled(on); }},
                            context_.haptics, this);
    backgroundEditor_ = new TintEditor(*backgroundTint_, preferences, context_.haptics, context_.motion,
                                       context_.colorPicker);
    backgroundEditor_->setObjectName(QStringLiteral("backgroundHue"));
    // Only the background hue eases back to the theme's own; the symbol colour switches at once.
    backgroundEditor_->setResetAnimation(VantrelAnimation::easeInOut(0.18));

    iconTint_ =
        new TintEditorModel({.wellLabel = QStringLiteral("Vantrel icon color"),
                             .defaultStatus = QStringLiteral("Theme accent"),
                             .saveLabel = QStringLiteral("Save icon color"),
                             .resetHelp = QStringLiteral("Use the current theme accent for Vantrel symbols")},
                            {.tint = [store] { return store->iconTint(); },
                             .setTint = [store](BackgroundTint tint) { store->setIconTint(tint); },
                             .enabled = [store] { return store->customIconTintEnabled(); },
                             .setEnabled = [store](bool on) { store->setCustomIconTintEnabled(on); }},
                            context_.haptics, this);
    iconEditor_ =
        new TintEditor(*iconTint_, preferences, context_.haptics, context_.motion, context_.colorPicker);
    iconEditor_->setObjectName(QStringLiteral("iconColor"));

    SliderRowStyle style;
    style.titleWidth = 0;
    style.spacing = 10;
    style.valueWidth = 38;
    style.valuePixelSize = 10.5;
    strength_ = new VantrelSliderRow(
        QString(), 0, 1, [](double value) { return percentText(value); }, style);
    strength_->setObjectName(QStringLiteral("colorStrength"));
    strength_->slider()->setAccessibleName(QStringLiteral("Color strength"));
    strength_->setMaximumWidth(330 + 10 + 38);
    strength_->bind(VANTREL_PREFERENCE_BINDING(preferences, themeColorAmount, ThemeColorAmount));

    auto* footnote =
        new VantrelLabel(QStringLiteral("Animated themes automatically become static when Reduce "
                                        "Motion is enabled."),
                         VantrelType::caption(), VantrelTheme::secondaryText());
    footnote->setWordWrap(true);
    footnote->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    auto* rows = stackOf(
        {new AlignedSettingRow(QStringLiteral("Use theme on"), kRowTitleWidth, kRowControlWidth,
                               scopePicker_),
         new AlignedSettingRow(QStringLiteral("Background hue"), kRowTitleWidth, kRowControlWidth,
                               backgroundEditor_),
         new AlignedSettingRow(QStringLiteral("Color strength"), kRowTitleWidth, kRowControlWidth, strength_),
         new AlignedSettingRow(QStringLiteral("Icon color"), kRowTitleWidth, kRowControlWidth, iconEditor_),
         footnote},
        16);
    themeCard_->addContent(rows);
    return themeCard_;
}

QWidget* AppearancePage::buildStartupCard() {
    VantrelPreferences& preferences = context_.preferences;
    startupCard_ = new SettingsCard(preferences, context_.appearance, QStringLiteral("Startup"),
                                    QStringLiteral("Start Vantrel when you sign in"));
    launchAtLogin_ = new VantrelSwitch(&context_.haptics);
    launchAtLogin_->setObjectName(QStringLiteral("launchAtLogin"));
    launchAtLogin_->setMotion(&context_.motion);
    PermissionCenter* permissions = &context_.permissions;
    const auto isOn = [permissions] { return permissions->launchAtLogin() == PermissionState::allowed; };
    VantrelSwitch* control = launchAtLogin_;
    // What the switch led to, said under it: a refusal would otherwise only show as the switch
    // going back off.
    launchMessage_ = new VantrelLabel(QString(), VantrelType::caption(), VantrelTheme::secondaryText());
    launchMessage_->setObjectName(QStringLiteral("launchAtLoginMessage"));
    launchMessage_->setTextFormat(Qt::PlainText);
    launchMessage_->setWordWrap(true);
    launchMessage_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    launchMessage_->hide();
    VantrelLabel* message = launchMessage_;
    launchAtLogin_->bind({
        .get = isOn,
        // The switch shows what the center reads afterwards, also when nothing changed (a refused
        // entry leaves it off).
        .set =
            [permissions, control, isOn, message](bool on) {
                permissions->setLaunchAtLogin(on);
                control->setChecked(isOn());
                const QString said = permissions->statusMessage().value_or(QString());
                message->setText(said);
                message->setVisible(!said.isEmpty());
                control->setAccessibleDescription(said);
            },
        .observe =
            [permissions](const QObject* context, std::function<void()> action) {
                QObject::connect(permissions, &PermissionCenter::statesChanged, context, std::move(action));
            },
    });
    launchRow_ = new FeatureRow(
        preferences, QStringLiteral("power"), IconColor::accent(), QStringLiteral("Launch at login"),
        QStringLiteral("Available after Vantrel is installed in Applications"), launchAtLogin_);
    startupCard_->addContent(launchRow_);
    startupCard_->addContent(launchMessage_);
    return startupCard_;
}

} // namespace vantrel
