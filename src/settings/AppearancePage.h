#pragma once

#include "kit/VantrelPage.h"

#include <functional>

namespace vantrel {

class ColorPicker;
class FeatureRow;
class PermissionCenter;
class SettingsCard;
class SystemAppearance;
class ThemeGallery;
class ThemeImageStore;
class TintEditor;
class TintEditorModel;
class VantrelHaptics;
class VantrelLabel;
class VantrelMotion;
class VantrelPreferences;
class VantrelSegmentedControl;
class VantrelSliderRow;
class VantrelSwitch;

// What the appearance page reads and drives.
struct AppearancePageContext {
    VantrelPreferences& preferences;
    VantrelHaptics& haptics;
    VantrelMotion& motion;
    // The desktop's colour scheme, which the previews follow under "Follow System".
    SystemAppearance& appearance;
    ThemeImageStore& themeImages;
    // Launch at login.
    PermissionCenter& permissions;
    ColorPicker& colorPicker;
    // Called after a theme is picked.
    std::function<void()> applyPreferences;
};

// The settings page of the appearance section: light or dark, the art theme with its gallery,
// where the theme is used, the custom background hue and symbol colour (each saved only when the
// user says so), the theme's strength, and launch at login.
class AppearancePage final : public VantrelPage {
    Q_OBJECT
public:
    static constexpr double kMaxWidth = 1020;

    explicit AppearancePage(const AppearancePageContext& context, QWidget* parent = nullptr);

    SettingsCard* modeCard() const { return modeCard_; }
    SettingsCard* themeCard() const { return themeCard_; }
    SettingsCard* startupCard() const { return startupCard_; }
    VantrelSegmentedControl* modePicker() const { return modePicker_; }
    VantrelSegmentedControl* scopePicker() const { return scopePicker_; }
    ThemeGallery* gallery() const { return gallery_; }
    TintEditor* backgroundEditor() const { return backgroundEditor_; }
    TintEditor* iconEditor() const { return iconEditor_; }
    VantrelSliderRow* strength() const { return strength_; }
    VantrelSwitch* launchAtLogin() const { return launchAtLogin_; }
    // What the last touch of the launch-at-login switch led to; hidden until it is touched.
    VantrelLabel* launchAtLoginMessage() const { return launchMessage_; }

private:
    QWidget* buildModeCard();
    QWidget* buildThemeCard();
    QWidget* buildStartupCard();

    AppearancePageContext context_;
    SettingsCard* modeCard_ = nullptr;
    SettingsCard* themeCard_ = nullptr;
    SettingsCard* startupCard_ = nullptr;
    VantrelSegmentedControl* modePicker_ = nullptr;
    VantrelSegmentedControl* scopePicker_ = nullptr;
    ThemeGallery* gallery_ = nullptr;
    TintEditorModel* backgroundTint_ = nullptr;
    TintEditorModel* iconTint_ = nullptr;
    TintEditor* backgroundEditor_ = nullptr;
    TintEditor* iconEditor_ = nullptr;
    VantrelSliderRow* strength_ = nullptr;
    FeatureRow* launchRow_ = nullptr;
    VantrelSwitch* launchAtLogin_ = nullptr;
    VantrelLabel* launchMessage_ = nullptr;
};

} // namespace vantrel
