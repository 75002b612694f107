#pragma once

// The value types of the user settings: each enum is stored as its raw value, the case name.

#include "platform/EnumTraits.h"

#include <optional>
#include <span>

class QColor;

namespace vantrel {

#define VANTREL_NOTCH_RESPONSIVENESS_CASES(C) C(instant) C(balanced) C(careful)
VANTREL_STRING_ENUM(NotchResponsiveness, VANTREL_NOTCH_RESPONSIVENESS_CASES)

#define VANTREL_NOTCH_COLLAPSE_BEHAVIOR_CASES(C) C(immediate) C(shortDelay) C(manual)
VANTREL_STRING_ENUM(NotchCollapseBehavior, VANTREL_NOTCH_COLLAPSE_BEHAVIOR_CASES)

#define VANTREL_NOTCH_SIZE_CASES(C) C(small) C(medium) C(large)
VANTREL_STRING_ENUM(NotchSize, VANTREL_NOTCH_SIZE_CASES)

#define VANTREL_NOTCH_APPEARANCE_CASES(C) C(midnight) C(crystal)
VANTREL_STRING_ENUM(NotchAppearance, VANTREL_NOTCH_APPEARANCE_CASES)

#define VANTREL_CAMERA_ASPECT_RATIO_CASES(C) C(widescreen) C(standard)
VANTREL_STRING_ENUM(CameraAspectRatio, VANTREL_CAMERA_ASPECT_RATIO_CASES)

#define VANTREL_HAPTIC_STYLE_CASES(C)                                                                        \
    C(feather) C(soft) C(tick) C(click) C(detent) C(doubleTap) C(ratchet) C(firm)
VANTREL_STRING_ENUM(HapticStyle, VANTREL_HAPTIC_STYLE_CASES)

#define VANTREL_HAPTIC_RHYTHM_CASES(C) C(continuous) C(fine) C(balanced) C(stepped) C(deliberate)
VANTREL_STRING_ENUM(HapticRhythm, VANTREL_HAPTIC_RHYTHM_CASES)

#define VANTREL_FEEDBACK_TRIGGER_CASES(C) C(scroll) C(click) C(forceClick) C(swipe)
VANTREL_STRING_ENUM(FeedbackTrigger, VANTREL_FEEDBACK_TRIGGER_CASES)

#define VANTREL_DOCK_ALIGNMENT_CASES(C) C(left) C(center) C(right)
VANTREL_STRING_ENUM(DockAlignment, VANTREL_DOCK_ALIGNMENT_CASES)

#define VANTREL_DOCK_HIDE_MODE_CASES(C) C(never) C(always) C(whenFullscreen)
VANTREL_STRING_ENUM(DockHideMode, VANTREL_DOCK_HIDE_MODE_CASES)

#define VANTREL_DOCK_TINT_CASES(C) C(graphite) C(ink) C(slate) C(accent) C(warm)
VANTREL_STRING_ENUM(DockTint, VANTREL_DOCK_TINT_CASES)

// How a Dock icon reacts while the pointer is over it.
#define VANTREL_DOCK_ICON_ANIMATION_CASES(C) C(none) C(lift) C(magnify) C(bounce) C(pulse) C(sway) C(rise)
VANTREL_STRING_ENUM(DockIconAnimation, VANTREL_DOCK_ICON_ANIMATION_CASES)

// How fast the Dock's animations run.
#define VANTREL_DOCK_ANIMATION_SPEED_CASES(C) C(relaxed) C(natural) C(snappy)
VANTREL_STRING_ENUM(DockAnimationSpeed, VANTREL_DOCK_ANIMATION_SPEED_CASES)

#define VANTREL_MENU_BAR_TINT_STYLE_CASES(C) C(solid) C(gradient)
VANTREL_STRING_ENUM(MenuBarTintStyle, VANTREL_MENU_BAR_TINT_STYLE_CASES)

#define VANTREL_MENU_BAR_SHAPE_CASES(C) C(full) C(rounded) C(split)
VANTREL_STRING_ENUM(MenuBarShape, VANTREL_MENU_BAR_SHAPE_CASES)

#define VANTREL_ACCENT_CASES(C)                                                                              \
    C(sky)                                                                                                   \
    C(violet) C(mint) C(coral) C(graphite) C(amber) C(rose) C(teal) C(emerald) C(indigo) C(crimson) C(sand)
VANTREL_STRING_ENUM(Accent, VANTREL_ACCENT_CASES)

#define VANTREL_APPEARANCE_MODE_CASES(C) C(system) C(dark) C(light)
VANTREL_STRING_ENUM(AppearanceMode, VANTREL_APPEARANCE_MODE_CASES)

#define VANTREL_ART_THEME_CASES(C) C(neutral) C(obsidianFold) C(glacialVeil) C(midnightCurrent) C(canyonAlloy)
VANTREL_STRING_ENUM(ArtTheme, VANTREL_ART_THEME_CASES)

#define VANTREL_THEME_SCOPE_CASES(C) C(all) C(notchOnly) C(settingsOnly)
VANTREL_STRING_ENUM(ThemeScope, VANTREL_THEME_SCOPE_CASES)

#define VANTREL_GLASS_STYLE_CASES(C) C(quiet) C(balanced) C(deep)
VANTREL_STRING_ENUM(GlassStyle, VANTREL_GLASS_STYLE_CASES)

#define VANTREL_INTERFACE_DENSITY_CASES(C) C(compact) C(balanced) C(spacious)
VANTREL_STRING_ENUM(InterfaceDensity, VANTREL_INTERFACE_DENSITY_CASES)

#define VANTREL_CORNER_STYLE_CASES(C) C(compact) C(rounded) C(soft)
VANTREL_STRING_ENUM(CornerStyle, VANTREL_CORNER_STYLE_CASES)

#define VANTREL_SIDEBAR_SIZE_CASES(C) C(compact) C(standard) C(wide)
VANTREL_STRING_ENUM(SidebarSize, VANTREL_SIDEBAR_SIZE_CASES)

#define VANTREL_MOTION_STYLE_CASES(C) C(instant) C(smooth) C(spring)
VANTREL_STRING_ENUM(MotionStyle, VANTREL_MOTION_STYLE_CASES)

#define VANTREL_ALARM_SOUND_CASES(C) C(glass) C(ping) C(pop) C(hero) C(purr) C(submarine) C(none)
VANTREL_STRING_ENUM(AlarmSound, VANTREL_ALARM_SOUND_CASES)

#define VANTREL_ALARM_DELIVERY_CASES(C) C(sound) C(haptics) C(both)
VANTREL_STRING_ENUM(AlarmDelivery, VANTREL_ALARM_DELIVERY_CASES)

#define VANTREL_KEYBOARD_FLASH_PRESET_CASES(C) C(gentle) C(pulse) C(urgent)
VANTREL_STRING_ENUM(KeyboardFlashPreset, VANTREL_KEYBOARD_FLASH_PRESET_CASES)

#define VANTREL_NOTIFICATION_SCOPE_CASES(C) C(selectedApps) C(allApps)
VANTREL_STRING_ENUM(NotificationScope, VANTREL_NOTIFICATION_SCOPE_CASES)

// The surfaces that play interface haptics. The raw value is the key under which
// `interfaceHapticStyles` keeps the surface's style.
#define VANTREL_HAPTIC_SURFACE_CASES(C) C(notch) C(dock) C(controls)
VANTREL_STRING_ENUM(HapticSurface, VANTREL_HAPTIC_SURFACE_CASES)

inline QString key(HapticSurface surface) {
    return rawValue(surface);
}
// The style a surface plays when the user chose none (or one that no longer exists).
HapticStyle defaultStyle(HapticSurface surface);

// "Feather", "Detent", ..., "Double Tap".
QString title(HapticStyle style);
// The name of the alarm's sound file ("Glass", ...); none for the silent alarm.
std::optional<QString> systemSoundName(AlarmSound sound);

// Whether the theme's artwork has a calm variant of the motion effects.
bool supportsCalmMotion(ArtTheme theme);
// The artwork image of the theme ("glacial-veil-dark-thumb", ...); none for the neutral theme.
std::optional<QString> resourceName(ArtTheme theme, bool isDark, bool thumbnail);

// An sRGB colour with components in 0...1, as the tint settings store it.
struct BackgroundTint {
    double red = 0.37;
    double green = 0.58;
    double blue = 0.88;

    // The default tint.
    BackgroundTint() = default;
    // Each component clamped into 0...1.
    BackgroundTint(double red, double green, double blue);
    // Exactly three components, clamped; any other count gives the default tint.
    explicit BackgroundTint(std::span<const double> components);
    // The colour in sRGB, clamped; a colour that has no sRGB form gives the default tint.
    static BackgroundTint fromColor(const QColor& color);

    bool operator==(const BackgroundTint&) const = default;
};

} // namespace vantrel
