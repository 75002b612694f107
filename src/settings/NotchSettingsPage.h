#pragma once

#include "kit/Navigation.h"
#include "kit/VantrelPage.h"
#include "settings/NotchPreviewState.h"

#include <functional>

class QVariantAnimation;

namespace vantrel {

class FeatureRow;
class MenuPresenter;
class NotchPanelController;
class NotchSettingsPreview;
class SettingsCard;
class SystemAppearance;
class ThemeImageStore;
class VantrelButton;
class VantrelHaptics;
class VantrelMenuPicker;
class VantrelMotion;
class VantrelPreferences;
class VantrelSegmentedControl;
class VantrelSwitch;

// What the notch page reads and drives.
struct NotchSettingsPageContext {
    VantrelPreferences& preferences;
    VantrelHaptics& haptics;
    VantrelMotion& motion;
    SystemAppearance& appearance;
    ThemeImageStore& themeImages;
    MenuPresenter& menus;
    // Whether the active display has a notch.
    const NotchPanelController& notch;
    // Brings every feature in line with the settings ("Use Notch Panel").
    std::function<void()> applyPreferences;
    // Moves the running panel to its new size.
    std::function<void(bool animated)> repositionNotch;
    // Opens the real notch on a tab ("Preview real notch").
    std::function<void(NotchTab tab, bool takeFocus)> showNotch;
};

// The settings page of the notch panel: the master switch (with a notice where the display has
// no notch), a live miniature that opens on hover or tap, how the notch opens and closes, its
// size and material, and a button that opens the real notch.
class NotchSettingsPage final : public VantrelPage {
    Q_OBJECT
public:
    static constexpr double kMaxWidth = 940;

    explicit NotchSettingsPage(const NotchSettingsPageContext& context, QWidget* parent = nullptr);

    const NotchPreviewState& previewState() const { return state_; }
    NotchSettingsPreview* preview() const { return preview_; }
    // The opening and closing of the preview, stepped by tests.
    QVariantAnimation* previewAnimation() const { return expansion_; }

    SettingsCard* notchCard() const { return notchCard_; }
    SettingsCard* behaviorCard() const { return behaviorCard_; }
    VantrelSwitch* enabledSwitch() const { return enabled_; }
    QWidget* notice() const { return notice_; }
    VantrelSwitch* autoExpandSwitch() const { return autoExpand_; }
    QWidget* responsivenessRow() const { return responsivenessRow_; }
    VantrelMenuPicker* responsivenessPicker() const { return responsiveness_; }
    VantrelSwitch* keepOpenSwitch() const { return keepOpen_; }
    VantrelSegmentedControl* sizePicker() const { return size_; }
    VantrelMenuPicker* materialPicker() const { return material_; }
    VantrelButton* previewButton() const { return previewButton_; }

    // Opens a collapsed preview (every settings change does).
    void revealPreview();

private:
    QWidget* buildNotchCard();
    QWidget* buildPreview();
    QWidget* buildBehaviorCard();
    void setPreviewState(const NotchPreviewState& next);
    void refreshAvailability();

    NotchSettingsPageContext context_;
    NotchPreviewState state_;
    QVariantAnimation* expansion_;
    SettingsCard* notchCard_ = nullptr;
    SettingsCard* behaviorCard_ = nullptr;
    VantrelSwitch* enabled_ = nullptr;
    QWidget* notice_ = nullptr;
    NotchSettingsPreview* preview_ = nullptr;
    VantrelSwitch* autoExpand_ = nullptr;
    QWidget* responsivenessRow_ = nullptr;
    VantrelMenuPicker* responsiveness_ = nullptr;
    VantrelSwitch* keepOpen_ = nullptr;
    VantrelSegmentedControl* size_ = nullptr;
    VantrelMenuPicker* material_ = nullptr;
    VantrelButton* previewButton_ = nullptr;
};

} // namespace vantrel
