// Every setting's key, type and default, checked against a table written out independently of the
// store's own, and every kind of setting fed stored values of the wrong type.

#include "core/VantrelPreferences.h"

#include "support/QtPrinters.h"
#include "support/RecordingUserDefaults.h"

#include <QJsonArray>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;
using Setting = VantrelPreferences::Setting;
using Entry = RecordingUserDefaults::Entry;

namespace {

enum class Kind { boolean, number, enumeration, stringList, boolMap, stringMap, tint };

// The kind of a setting, once the property is known to have the type the table names.
template <typename Actual, typename Named> constexpr Kind kindOf() {
    static_assert(std::is_same_v<Actual, Named>, "the property's type differs from the table's");
    if constexpr (std::is_same_v<Named, bool>) return Kind::boolean;
    if constexpr (std::is_same_v<Named, double>) return Kind::number;
    if constexpr (std::is_enum_v<Named>) return Kind::enumeration;
    if constexpr (std::is_same_v<Named, QStringList>) return Kind::stringList;
    if constexpr (std::is_same_v<Named, BoolMap>) return Kind::boolMap;
    if constexpr (std::is_same_v<Named, StringMap>) return Kind::stringMap;
    return Kind::tint;
}

struct Row {
    Setting setting;
    const char* key;
    Kind kind;
    QJsonValue fallback;
    QJsonValue sample; // a valid stored value other than the default
};

#define ROW(name, Type, key, fallback, sample)                                                               \
    Row {                                                                                                    \
        Setting::name, key, kindOf<decltype(std::declval<VantrelPreferences&>().name()), Type>(), fallback,  \
            sample                                                                                           \
    }

const QJsonArray kTint{0.37, 0.58, 0.88};
// clang-format off
const QJsonArray kOrder{"clipboard", "calendar", "focus", "timers", "system", "note", "files", "mirror",
                        "bookmarks"};
const QJsonArray kReversedOrder{"bookmarks", "mirror", "files", "note", "system", "timers", "focus",
                                "calendar", "clipboard"};
// clang-format on

const std::vector<Row>& table() {
    static const std::vector<Row> rows = {
        ROW(hasCompletedOnboarding, bool, "onboarding.complete", false, true),
        ROW(notchEnabled, bool, "notch.enabled", true, false),
        ROW(notchAutoExpand, bool, "notch.autoExpand", true, false),
        ROW(notchResponsiveness, NotchResponsiveness, "notch.responsiveness", "instant", "careful"),
        ROW(notchCollapseBehavior, NotchCollapseBehavior, "notch.collapseBehavior", "shortDelay", "manual"),
        ROW(notchCompactWidth, double, "notch.compactWidth", 210.0, 0.125),
        ROW(notchSize, NotchSize, "notch.size", "medium", "large"),
        ROW(notchAppearance, NotchAppearance, "notch.appearance", "crystal", "midnight"),
        ROW(notchGlassDensity, double, "notch.glassDensity", 0.86, 0.125),
        ROW(notchGlassBlurEnabled, bool, "notch.glassBlurEnabled", false, true),
        ROW(cameraAspectRatio, CameraAspectRatio, "notch.cameraAspectRatio", "widescreen", "standard"),
        ROW(notchMediaEnabled, bool, "notch.widget.media", true, false),
        ROW(notchClipboardEnabled, bool, "notch.widget.clipboard", true, false),
        ROW(notchCalendarEnabled, bool, "notch.widget.calendar", true, false),
        ROW(notchFocusEnabled, bool, "notch.widget.focus", true, false),
        ROW(notchTimersEnabled, bool, "notch.widget.timers", true, false),
        ROW(notchSystemEnabled, bool, "notch.widget.system", true, false),
        ROW(notchNotesEnabled, bool, "notch.widget.notes", true, false),
        ROW(notchFilesEnabled, bool, "notch.widget.files", true, false),
        ROW(notchMirrorEnabled, bool, "notch.widget.mirror", true, false),
        ROW(notchBookmarksEnabled, bool, "notch.widget.bookmarks", true, false),
        ROW(notchWidgetOrder, QStringList, "notch.widgetOrder", kOrder, kReversedOrder),
        ROW(feedbackEnabled, bool, "feedback.enabled", false, true),
        ROW(feedbackHapticStyle, HapticStyle, "feedback.hapticStyle", "detent", "doubleTap"),
        ROW(feedbackHapticRhythm, HapticRhythm, "feedback.hapticRhythm", "balanced", "deliberate"),
        ROW(feedbackVelocityAware, bool, "feedback.velocityAware", true, false),
        ROW(feedbackTriggers, BoolMap, "feedback.triggers", (QJsonObject{{"scroll", true}}),
            (QJsonObject{{"scroll", false}, {"swipe", true}})),
        ROW(feedbackTriggerStyles, StringMap, "feedback.triggerStyles", QJsonObject(),
            (QJsonObject{{"a", "b"}})),
        ROW(feedbackStrength, double, "feedback.strength", 0.5, 0.125),
        ROW(interfaceHapticStyles, StringMap, "interface.hapticStyles", QJsonObject(),
            (QJsonObject{{"a", "b"}})),
        ROW(customDockEnabled, bool, "dock.customEnabled", false, true),
        ROW(customDockMagnification, bool, "dock.magnification", true, false),
        ROW(customDockMagnificationScale, double, "dock.magnificationScale", 1.23, 0.125),
        ROW(customDockIconSize, double, "dock.iconSize", 44.0, 0.125),
        ROW(customDockVerticalPadding, double, "dock.verticalPadding", 11.0, 0.125),
        ROW(customDockOpacity, double, "dock.opacity", 0.82, 0.125),
        ROW(customDockCornerRadius, double, "dock.cornerRadius", 25.0, 0.125),
        ROW(customDockSpacing, double, "dock.spacing", 8.0, 0.125),
        ROW(customDockAlignment, DockAlignment, "dock.alignment", "center", "left"),
        ROW(customDockAutoHide, bool, "dock.autoHide", true, false),
        ROW(customDockHideMode, DockHideMode, "dock.hideMode", "always", "whenFullscreen"),
        ROW(customDockHideDelay, double, "dock.hideDelay", 0.45, 0.125),
        ROW(customDockRevealDelay, double, "dock.revealDelay", 0.1, 0.125),
        ROW(customDockShowRunning, bool, "dock.showRunning", true, false),
        ROW(customDockShowIndicators, bool, "dock.showIndicators", true, false),
        ROW(customDockShowTrash, bool, "dock.showTrash", true, false),
        ROW(customDockTint, DockTint, "dock.tint", "graphite", "warm"),
        ROW(customDockTintStrength, double, "dock.tintStrength", 0.55, 0.125),
        ROW(customDockShowLabels, bool, "dock.showLabels", true, false),
        ROW(customDockIconAnimation, DockIconAnimation, "dock.iconAnimation", "rise", "none"),
        ROW(customDockAnimationSpeed, DockAnimationSpeed, "dock.animationSpeed", "natural", "snappy"),
        ROW(menuTintEnabled, bool, "menu.tintEnabled", false, false), // always false: see its own test
        ROW(menuTintOpacity, double, "menu.tintOpacity", 0.1, 0.125),
        ROW(menuTint, BackgroundTint, "menu.tintColour", kTint, (QJsonArray{0.25, 0.5, 0.75})),
        ROW(customMenuTintEnabled, bool, "menu.tintColourEnabled", false, true),
        ROW(menuMaskEnabled, bool, "menu.maskEnabled", false, true),
        ROW(menuTintStyle, MenuBarTintStyle, "menu.tintStyle", "solid", "gradient"),
        ROW(menuBarShadowEnabled, bool, "menu.shadowEnabled", false, true),
        ROW(menuBarBorderEnabled, bool, "menu.borderEnabled", false, true),
        ROW(menuBarShape, MenuBarShape, "menu.shape", "full", "split"),
        ROW(menuAutoRehideEnabled, bool, "menu.autoRehideEnabled", false, true),
        ROW(menuAlwaysHiddenEnabled, bool, "menu.alwaysHiddenEnabled", false, true),
        ROW(menuRevealOnHover, bool, "menu.revealOnHover.v2", true, false),
        ROW(menuRevealOnEmptyClick, bool, "menu.revealOnEmptyClick", true, false),
        ROW(menuAutoRehideSeconds, double, "menu.autoRehideSeconds", 5.0, 0.125),
        ROW(menuSetupComplete, bool, "menu.setupComplete", false, true),
        ROW(commandPaletteEnabled, bool, "command.enabled", true, false),
        ROW(accent, Accent, "appearance.accent", "graphite", "sand"),
        ROW(appearanceMode, AppearanceMode, "appearance.mode", "dark", "system"),
        ROW(artTheme, ArtTheme, "appearance.artTheme", "neutral", "canyonAlloy"),
        ROW(themeScope, ThemeScope, "appearance.themeScope", "all", "settingsOnly"),
        ROW(themeColorAmount, double, "appearance.themeColorAmount", 0.42, 0.125),
        ROW(backgroundTint, BackgroundTint, "appearance.backgroundTint", kTint, (QJsonArray{0.0, 1.0, 0.5})),
        ROW(customBackgroundTintEnabled, bool, "appearance.backgroundTintEnabled", false, true),
        ROW(iconTint, BackgroundTint, "appearance.iconTint", kTint, (QJsonArray{1.0, 0.0, 0.25})),
        ROW(customIconTintEnabled, bool, "appearance.iconTintEnabled", false, true),
        ROW(themeMotionEnabled, bool, "appearance.themeMotionEnabled", true, false),
        ROW(glassStyle, GlassStyle, "appearance.glassStyle", "balanced", "deep"),
        ROW(interfaceDensity, InterfaceDensity, "appearance.density", "spacious", "compact"),
        ROW(interfaceCornerStyle, CornerStyle, "appearance.cornerStyle", "compact", "soft"),
        ROW(interfaceSidebarSize, SidebarSize, "appearance.sidebarSize", "standard", "wide"),
        ROW(interfaceMotionStyle, MotionStyle, "appearance.motionStyle", "smooth", "spring"),
        ROW(appearanceGlowIntensity, double, "appearance.glowIntensity", 0.72, 0.125),
        ROW(interfaceHapticsEnabled, bool, "interface.hapticsEnabled", true, false),
        ROW(alarmSound, AlarmSound, "alarms.sound", "glass", "none"),
        ROW(alarmDelivery, AlarmDelivery, "alarms.delivery", "both", "haptics"),
        ROW(alarmVolume, double, "alarms.volume", 0.75, 0.125),
        ROW(alarmRepeats, bool, "alarms.repeats", false, true),
        ROW(notificationsEnabled, bool, "notifications.enabled", true, false),
        ROW(notificationIndicatorEnabled, bool, "notifications.indicatorEnabled", true, false),
        ROW(notificationKeyboardFlashEnabled, bool, "notifications.keyboardFlashEnabled", false, true),
        ROW(notificationKeyboardFlashPreset, KeyboardFlashPreset, "notifications.keyboardFlashPreset",
            "pulse", "urgent"),
        ROW(notificationScope, NotificationScope, "notifications.scope", "selectedApps", "allApps"),
        ROW(notificationRespectFocus, bool, "notifications.respectFocus", true, false),
    };
    return rows;
}

// Stored values of the wrong shape for each kind; every one must read as the default.
// clang-format off
std::vector<QJsonValue> hostileValues(const Row& row) {
    const QString name = row.sample.toString();
    switch (row.kind) {
    case Kind::boolean:
        // "onboarding.complete" is read with the plain lookup, which takes "true" and 1 for true.
        if (row.setting == Setting::hasCompletedOnboarding)
            return {"no", 0.0, QJsonArray{true}, QJsonObject()};
        return {"true", 1, 0.0, QJsonArray{true}, QJsonObject{{"value", true}}};
    case Kind::number:
        return {"0.125", true, QJsonArray{0.125}, QJsonObject{{"value", 0.125}}};
    case Kind::enumeration: // names match exactly: no other letter case, no blank, nothing but a string
        return {name.left(1).toUpper() + name.mid(1), u' ' + name, "unknownCase", "", 1, true,
                QJsonArray{name}};
    case Kind::stringList:
        return {"clipboard", QJsonArray{1, 2}, QJsonArray{"files", 3}, QJsonObject()};
    case Kind::boolMap:
        return {QJsonObject{{"scroll", "yes"}}, QJsonObject{{"click", true}, {"swipe", 1}}, "scroll",
                QJsonArray{true}, true};
    case Kind::stringMap:
        return {QJsonObject{{"click", true}}, QJsonObject{{"notch", "tick"}, {"dock", 2}}, "tick",
                QJsonArray{"tick"}, QJsonObject{{"$data", "AAEC"}}};
    case Kind::tint:
        return {"0.1,0.2,0.3", QJsonObject{{"red", 0.1}, {"green", 0.2}, {"blue", 0.3}}, QJsonArray{0.1, 0.2},
                QJsonArray{0.1, 0.2, 0.3, 0.4}, QJsonArray{"0.1", "0.2", "0.3"}, 0.5};
    }
    return {};
}
// clang-format on

// A store whose migration already ran, so that "menu.autoRehideEnabled" is read as stored.
RecordingUserDefaults migrated() {
    RecordingUserDefaults defaults;
    defaults.seed(QStringLiteral("menu.explicitRevealMigrated.v1"), true);
    return defaults;
}

} // namespace

TEST(VantrelPreferencesTable, EverySettingHasItsKeyTypeAndDefault) {
    ASSERT_EQ(table().size(), 94u);
    ASSERT_EQ(VantrelPreferences::settingCount, 94);
    RecordingUserDefaults defaults;
    const VantrelPreferences preferences(defaults);
    for (std::size_t i = 0; i < table().size(); ++i) {
        const Row& row = table()[i];
        SCOPED_TRACE(row.key);
        EXPECT_EQ(row.setting, Setting(i)) << "settings are declared in table order";
        EXPECT_EQ(VantrelPreferences::key(row.setting), QString::fromLatin1(row.key));
        EXPECT_EQ(preferences.storedValue(row.setting), row.fallback);
    }
}

TEST(VantrelPreferencesTable, EverySettingReadsItsStoredValueAndWritesItBackOnEveryAssignment) {
    RecordingUserDefaults defaults = migrated();
    for (const Row& row : table()) defaults.seed(QString::fromLatin1(row.key), row.sample);
    VantrelPreferences preferences(defaults);
    defaults.clearJournal();
    // Assigning each setting the value it already holds still writes it, in its storage form.
#define ASSIGN_(name, Name, key, Type, fallback, rule) preferences.set##Name(preferences.name());
    VANTREL_PREFERENCE_SETTINGS(ASSIGN_)
#undef ASSIGN_
    ASSERT_EQ(defaults.journal().size(), table().size());
    for (std::size_t i = 0; i < table().size(); ++i) {
        const Row& row = table()[i];
        SCOPED_TRACE(row.key);
        EXPECT_EQ(preferences.storedValue(row.setting), row.sample);
        EXPECT_EQ(defaults.journal()[i], (Entry{Entry::Kind::set, QString::fromLatin1(row.key), row.sample}));
    }
}

TEST(VantrelPreferencesTable, WrongStoredTypesReadAsTheDefaultAndStayStored) {
    std::size_t rounds = 0;
    for (const Row& row : table()) rounds = std::max(rounds, hostileValues(row).size());
    // Round n seeds the n-th hostile value of every setting into one store.
    for (std::size_t round = 0; round < rounds; ++round) {
        RecordingUserDefaults defaults = migrated();
        for (const Row& row : table())
            if (const auto values = hostileValues(row); round < values.size())
                defaults.seed(QString::fromLatin1(row.key), values[round]);
        const VantrelPreferences preferences(defaults);
        for (const Row& row : table()) {
            const auto values = hostileValues(row);
            if (round >= values.size()) continue;
            SCOPED_TRACE(::testing::Message() << row.key << " = " << ::testing::PrintToString(values[round]));
            EXPECT_EQ(preferences.storedValue(row.setting), row.fallback);
            // Only the menu tint switch is rewritten at start; everything else is left as it was.
            if (row.setting != Setting::menuTintEnabled) {
                EXPECT_EQ(defaults.object(QString::fromLatin1(row.key)), values[round]);
            }
        }
    }
}
