#pragma once

#include "core/PreferenceEnums.h"

#include <QJsonValue>
#include <QMap>
#include <QObject>
#include <QStringList>

namespace vantrel {

class UserDefaults;

using BoolMap = QMap<QString, bool>;
using StringMap = QMap<QString, QString>;

// The notch tabs in their default order: every tab but home.
QStringList defaultNotchWidgetOrder();
// Scroll feedback is on until the user decides otherwise.
BoolMap defaultFeedbackTriggers();

// Every user setting, once: X(property, Property, key, type, default, reading rule).
// The four two-case settings (notch appearance, camera aspect ratio, menu tint style, notification
// scope) need no rule of their own: their one non-default raw value selects that case and every
// other string the default, which is what the typed rule does with two cases.
// The reading rules (see VantrelPreferences.cpp):
//   typed        the stored value when it has the setting's type, else the default
//   plainBool    the store's plain boolean lookup (absent is false)
//   widgetOrder  typed, then completed with the default tabs it lacks
//   hideMode     derived from "dock.autoHide" when unusable, written back when absent
//   alwaysFalse  ignores the stored value and writes false
//   tintOpacity  typed, then clamped into 0.02...0.18
//   migrated     typed, read after the one-time menu-bar migration
#define VANTREL_PREFERENCE_SETTINGS(X)                                                                       \
    X(hasCompletedOnboarding, HasCompletedOnboarding, "onboarding.complete", bool, false, plainBool)         \
    X(notchEnabled, NotchEnabled, "notch.enabled", bool, true, typed)                                        \
    X(notchAutoExpand, NotchAutoExpand, "notch.autoExpand", bool, true, typed)                               \
    X(notchResponsiveness, NotchResponsiveness, "notch.responsiveness", NotchResponsiveness,                 \
      NotchResponsiveness::instant, typed)                                                                   \
    X(notchCollapseBehavior, NotchCollapseBehavior, "notch.collapseBehavior", NotchCollapseBehavior,         \
      NotchCollapseBehavior::shortDelay, typed)                                                              \
    X(notchCompactWidth, NotchCompactWidth, "notch.compactWidth", double, 210.0, typed)                      \
    X(notchSize, NotchSize, "notch.size", NotchSize, NotchSize::medium, typed)                               \
    X(notchAppearance, NotchAppearance, "notch.appearance", NotchAppearance, NotchAppearance::crystal,       \
      typed)                                                                                                 \
    X(notchGlassDensity, NotchGlassDensity, "notch.glassDensity", double, 0.86, typed)                       \
    X(notchGlassBlurEnabled, NotchGlassBlurEnabled, "notch.glassBlurEnabled", bool, false, typed)            \
    X(cameraAspectRatio, CameraAspectRatio, "notch.cameraAspectRatio", CameraAspectRatio,                    \
      CameraAspectRatio::widescreen, typed)                                                                  \
    X(notchMediaEnabled, NotchMediaEnabled, "notch.widget.media", bool, true, typed)                         \
    X(notchClipboardEnabled, NotchClipboardEnabled, "notch.widget.clipboard", bool, true, typed)             \
    X(notchCalendarEnabled, NotchCalendarEnabled, "notch.widget.calendar", bool, true, typed)                \
    X(notchFocusEnabled, NotchFocusEnabled, "notch.widget.focus", bool, true, typed)                         \
    X(notchTimersEnabled, NotchTimersEnabled, "notch.widget.timers", bool, true, typed)                      \
    X(notchSystemEnabled, NotchSystemEnabled, "notch.widget.system", bool, true, typed)                      \
    X(notchNotesEnabled, NotchNotesEnabled, "notch.widget.notes", bool, true, typed)                         \
    X(notchFilesEnabled, NotchFilesEnabled, "notch.widget.files", bool, true, typed)                         \
    X(notchMirrorEnabled, NotchMirrorEnabled, "notch.widget.mirror", bool, true, typed)                      \
    X(notchBookmarksEnabled, NotchBookmarksEnabled, "notch.widget.bookmarks", bool, true, typed)             \
    X(notchWidgetOrder, NotchWidgetOrder, "notch.widgetOrder", QStringList, defaultNotchWidgetOrder(),       \
      widgetOrder)                                                                                           \
    X(feedbackEnabled, FeedbackEnabled, "feedback.enabled", bool, false, typed)                              \
    X(feedbackHapticStyle, FeedbackHapticStyle, "feedback.hapticStyle", HapticStyle, HapticStyle::detent,    \
      typed)                                                                                                 \
    X(feedbackHapticRhythm, FeedbackHapticRhythm, "feedback.hapticRhythm", HapticRhythm,                     \
      HapticRhythm::balanced, typed)                                                                         \
    X(feedbackVelocityAware, FeedbackVelocityAware, "feedback.velocityAware", bool, true, typed)             \
    X(feedbackTriggers, FeedbackTriggers, "feedback.triggers", BoolMap, defaultFeedbackTriggers(), typed)    \
    X(feedbackTriggerStyles, FeedbackTriggerStyles, "feedback.triggerStyles", StringMap, StringMap(), typed) \
    X(feedbackStrength, FeedbackStrength, "feedback.strength", double, 0.5, typed)                           \
    X(interfaceHapticStyles, InterfaceHapticStyles, "interface.hapticStyles", StringMap, StringMap(), typed) \
    X(customDockEnabled, CustomDockEnabled, "dock.customEnabled", bool, false, typed)                        \
    X(customDockMagnification, CustomDockMagnification, "dock.magnification", bool, true, typed)             \
    X(customDockMagnificationScale, CustomDockMagnificationScale, "dock.magnificationScale", double, 1.23,   \
      typed)                                                                                                 \
    X(customDockIconSize, CustomDockIconSize, "dock.iconSize", double, 44.0, typed)                          \
    X(customDockVerticalPadding, CustomDockVerticalPadding, "dock.verticalPadding", double, 11.0, typed)     \
    X(customDockOpacity, CustomDockOpacity, "dock.opacity", double, 0.82, typed)                             \
    X(customDockCornerRadius, CustomDockCornerRadius, "dock.cornerRadius", double, 25.0, typed)              \
    X(customDockSpacing, CustomDockSpacing, "dock.spacing", double, 8.0, typed)                              \
    X(customDockAlignment, CustomDockAlignment, "dock.alignment", DockAlignment, DockAlignment::center,      \
      typed)                                                                                                 \
    X(customDockAutoHide, CustomDockAutoHide, "dock.autoHide", bool, true, typed)                            \
    X(customDockHideMode, CustomDockHideMode, "dock.hideMode", DockHideMode, DockHideMode::always, hideMode) \
    X(customDockHideDelay, CustomDockHideDelay, "dock.hideDelay", double, 0.45, typed)                       \
    X(customDockRevealDelay, CustomDockRevealDelay, "dock.revealDelay", double, 0.1, typed)                  \
    X(customDockShowRunning, CustomDockShowRunning, "dock.showRunning", bool, true, typed)                   \
    X(customDockShowIndicators, CustomDockShowIndicators, "dock.showIndicators", bool, true, typed)          \
    X(customDockShowTrash, CustomDockShowTrash, "dock.showTrash", bool, true, typed)                         \
    X(customDockTint, CustomDockTint, "dock.tint", DockTint, DockTint::graphite, typed)                      \
    X(customDockTintStrength, CustomDockTintStrength, "dock.tintStrength", double, 0.55, typed)              \
    X(customDockShowLabels, CustomDockShowLabels, "dock.showLabels", bool, true, typed)                      \
    X(customDockIconAnimation, CustomDockIconAnimation, "dock.iconAnimation", DockIconAnimation,             \
      DockIconAnimation::rise, typed)                                                                        \
    X(customDockAnimationSpeed, CustomDockAnimationSpeed, "dock.animationSpeed", DockAnimationSpeed,         \
      DockAnimationSpeed::natural, typed)                                                                    \
    X(menuTintEnabled, MenuTintEnabled, "menu.tintEnabled", bool, false, alwaysFalse)                        \
    X(menuTintOpacity, MenuTintOpacity, "menu.tintOpacity", double, 0.1, tintOpacity)                        \
    X(menuTint, MenuTint, "menu.tintColour", BackgroundTint, BackgroundTint(), typed)                        \
    X(customMenuTintEnabled, CustomMenuTintEnabled, "menu.tintColourEnabled", bool, false, typed)            \
    X(menuMaskEnabled, MenuMaskEnabled, "menu.maskEnabled", bool, false, typed)                              \
    X(menuTintStyle, MenuTintStyle, "menu.tintStyle", MenuBarTintStyle, MenuBarTintStyle::solid, typed)      \
    X(menuBarShadowEnabled, MenuBarShadowEnabled, "menu.shadowEnabled", bool, false, typed)                  \
    X(menuBarBorderEnabled, MenuBarBorderEnabled, "menu.borderEnabled", bool, false, typed)                  \
    X(menuBarShape, MenuBarShape, "menu.shape", MenuBarShape, MenuBarShape::full, typed)                     \
    X(menuAutoRehideEnabled, MenuAutoRehideEnabled, "menu.autoRehideEnabled", bool, false, migrated)         \
    X(menuAlwaysHiddenEnabled, MenuAlwaysHiddenEnabled, "menu.alwaysHiddenEnabled", bool, false, typed)      \
    X(menuRevealOnHover, MenuRevealOnHover, "menu.revealOnHover.v2", bool, true, typed)                      \
    X(menuRevealOnEmptyClick, MenuRevealOnEmptyClick, "menu.revealOnEmptyClick", bool, true, typed)          \
    X(menuAutoRehideSeconds, MenuAutoRehideSeconds, "menu.autoRehideSeconds", double, 5.0, typed)            \
    X(menuSetupComplete, MenuSetupComplete, "menu.setupComplete", bool, false, typed)                        \
    X(commandPaletteEnabled, CommandPaletteEnabled, "command.enabled", bool, true, typed)                    \
    X(accent, Accent, "appearance.accent", Accent, Accent::graphite, typed)                                  \
    X(appearanceMode, AppearanceMode, "appearance.mode", AppearanceMode, AppearanceMode::dark, typed)        \
    X(artTheme, ArtTheme, "appearance.artTheme", ArtTheme, ArtTheme::neutral, typed)                         \
    X(themeScope, ThemeScope, "appearance.themeScope", ThemeScope, ThemeScope::all, typed)                   \
    X(themeColorAmount, ThemeColorAmount, "appearance.themeColorAmount", double, 0.42, typed)                \
    X(backgroundTint, BackgroundTint, "appearance.backgroundTint", BackgroundTint, BackgroundTint(), typed)  \
    X(customBackgroundTintEnabled, CustomBackgroundTintEnabled, "appearance.backgroundTintEnabled", bool,    \
      false, typed)                                                                                          \
    X(iconTint, IconTint, "appearance.iconTint", BackgroundTint, BackgroundTint(), typed)                    \
    X(customIconTintEnabled, CustomIconTintEnabled, "appearance.iconTintEnabled", bool, false, typed)        \
    X(themeMotionEnabled, ThemeMotionEnabled, "appearance.themeMotionEnabled", bool, true, typed)            \
    X(glassStyle, GlassStyle, "appearance.glassStyle", GlassStyle, GlassStyle::balanced, typed)              \
    X(interfaceDensity, InterfaceDensity, "appearance.density", InterfaceDensity,                            \
      InterfaceDensity::spacious, typed)                                                                     \
    X(interfaceCornerStyle, InterfaceCornerStyle, "appearance.cornerStyle", CornerStyle,                     \
      CornerStyle::compact, typed)                                                                           \
    X(interfaceSidebarSize, InterfaceSidebarSize, "appearance.sidebarSize", SidebarSize,                     \
      SidebarSize::standard, typed)                                                                          \
    X(interfaceMotionStyle, InterfaceMotionStyle, "appearance.motionStyle", MotionStyle,                     \
      MotionStyle::smooth, typed)                                                                            \
    X(appearanceGlowIntensity, AppearanceGlowIntensity, "appearance.glowIntensity", double, 0.72, typed)     \
    X(interfaceHapticsEnabled, InterfaceHapticsEnabled, "interface.hapticsEnabled", bool, true, typed)       \
    X(alarmSound, AlarmSound, "alarms.sound", AlarmSound, AlarmSound::glass, typed)                          \
    X(alarmDelivery, AlarmDelivery, "alarms.delivery", AlarmDelivery, AlarmDelivery::both, typed)            \
    X(alarmVolume, AlarmVolume, "alarms.volume", double, 0.75, typed)                                        \
    X(alarmRepeats, AlarmRepeats, "alarms.repeats", bool, false, typed)                                      \
    X(notificationsEnabled, NotificationsEnabled, "notifications.enabled", bool, true, typed)                \
    X(notificationIndicatorEnabled, NotificationIndicatorEnabled, "notifications.indicatorEnabled", bool,    \
      true, typed)                                                                                           \
    X(notificationKeyboardFlashEnabled, NotificationKeyboardFlashEnabled,                                    \
      "notifications.keyboardFlashEnabled", bool, false, typed)                                              \
    X(notificationKeyboardFlashPreset, NotificationKeyboardFlashPreset, "notifications.keyboardFlashPreset", \
      KeyboardFlashPreset, KeyboardFlashPreset::pulse, typed)                                                \
    X(notificationScope, NotificationScope, "notifications.scope", NotificationScope,                        \
      NotificationScope::selectedApps, typed)                                                                \
    X(notificationRespectFocus, NotificationRespectFocus, "notifications.respectFocus", bool, true, typed)

#define VANTREL_PREFERENCE_ENUMERATOR_(name, Name, key, Type, fallback, rule) name,
#define VANTREL_PREFERENCE_ACCESSORS_(name, Name, key, Type, fallback, rule)                                 \
    Type name() const {                                                                                      \
        return name##_;                                                                                      \
    }                                                                                                        \
    void set##Name(Type value);
#define VANTREL_PREFERENCE_MEMBER_(name, Name, key, Type, fallback, rule) Type name##_;

// The one settings store. Every setting is read once, at construction, from the defaults handed
// in (repairing a few stored values on the way), and written back under its key on every
// assignment, after the `changed` signal has told observers of the new value.
class VantrelPreferences final : public QObject {
    Q_OBJECT
public:
    enum class Setting { VANTREL_PREFERENCE_SETTINGS(VANTREL_PREFERENCE_ENUMERATOR_) };
    static constexpr int settingCount = static_cast<int>(Setting::notificationRespectFocus) + 1;

    // Keys the store touches that hold no setting.
    static constexpr const char* kRevealMigrationKey = "menu.explicitRevealMigrated.v1";
    static constexpr const char* kLegacySoundKey = "feedback.sound";
    static constexpr const char* kLegacyHapticsKey = "feedback.haptics";
    static constexpr const char* kLegacyPerformanceModeKey = "appearance.performanceMode";

    explicit VantrelPreferences(UserDefaults& defaults, QObject* parent = nullptr);

    // The process-wide store, installed by the application's composition root.
    static VantrelPreferences& shared();
    static void setShared(VantrelPreferences* preferences);

    VANTREL_PREFERENCE_SETTINGS(VANTREL_PREFERENCE_ACCESSORS_)

    // The user-defaults key of a setting.
    static QString key(Setting setting);
    // A setting's value in the form it is written to the defaults.
    QJsonValue storedValue(Setting setting) const;

    // Calls `action` (in `context`'s life) after every assignment of `setting`.
    template <typename F>
    QMetaObject::Connection onChange(Setting setting, const QObject* context, F action) {
        return connect(this, &VantrelPreferences::changed, context, [setting, action](Setting which) {
            if (which == setting) action();
        });
    }

    // A trigger without an entry of its own is on only for scrolling.
    bool isFeedbackTriggerEnabled(FeedbackTrigger trigger) const;
    void setFeedbackTrigger(FeedbackTrigger trigger, bool enabled);
    // The trigger's own style, or `feedbackHapticStyle` when it has none that still exists.
    HapticStyle feedbackStyle(FeedbackTrigger trigger) const;
    void setFeedbackStyle(HapticStyle style, FeedbackTrigger trigger);
    // The surface's chosen style, or the surface's default.
    HapticStyle interfaceHapticStyle(HapticSurface surface) const;

Q_SIGNALS:
    // Emitted on every assignment, also of an unchanged value, before it is written back.
    void changed(vantrel::VantrelPreferences::Setting setting);

private:
    template <typename T> T read_typed(const QString& key, const T& fallback) const;
    bool read_plainBool(const QString& key, bool fallback) const;
    QStringList read_widgetOrder(const QString& key, const QStringList& fallback) const;
    DockHideMode read_hideMode(const QString& key, DockHideMode fallback);
    bool read_alwaysFalse(const QString& key, bool fallback);
    double read_tintOpacity(const QString& key, double fallback) const;
    bool read_migrated(const QString& key, bool fallback);

    void writeBack(Setting setting);

    UserDefaults& defaults_;
    VANTREL_PREFERENCE_SETTINGS(VANTREL_PREFERENCE_MEMBER_)
};

} // namespace vantrel
