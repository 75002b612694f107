// Every setting's key, type and default, checked against a table written out independently of
// the store's own, and every kind of setting fed stored values of the wrong type.

#include "core/VantrelPreferences.h"

#include "support/QtPrinters.h"
#include "support/RecordingUserDefaults.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;
using Setting = VantrelPreferences::Setting;

namespace {

enum class Kind { boolean, plainBoolean, number, enumeration, twoCase, stringList, boolMap, stringMap, tint };

template <Kind K, typename T> constexpr bool kindHolds() {
    if constexpr (K == Kind::boolean || K == Kind::plainBoolean)
        return std::is_same_v<T, bool>;
    else if constexpr (K == Kind::number)
        return std::is_same_v<T, double>;
    else if constexpr (K == Kind::enumeration || K == Kind::twoCase)
        return std::is_enum_v<T>;
    else if constexpr (K == Kind::stringList)
        return std::is_same_v<T, QStringList>;
    else if constexpr (K == Kind::boolMap)
        return std::is_same_v<T, QMap<QString, bool>>;
    else if constexpr (K == Kind::stringMap)
        return std::is_same_v<T, QMap<QString, QString>>;
    else
        return std::is_same_v<T, BackgroundTint>;
}

// The test's own rendering of a typed value, to compare typed getters with the table.
QJsonValue asJson(bool v) {
    return v;
}
QJsonValue asJson(double v) {
    return v;
}
QJsonValue asJson(const QStringList& v) {
    return QJsonArray::fromStringList(v);
}
QJsonValue asJson(const BackgroundTint& t) {
    return QJsonArray{t.red, t.green, t.blue};
}
template <typename V> QJsonValue asJson(const QMap<QString, V>& map) {
    QJsonObject o;
    for (auto it = map.begin(); it != map.end(); ++it)
        o.insert(it.key(), it.value());
    return o;
}
template <typename E>
requires std::is_enum_v<E> QJsonValue asJson(E v) {
    return rawValue(v);
}

struct Row {
    Setting setting;
    const char* key;
    Kind kind;
    QJsonValue fallback;
    QJsonValue sample; // a valid stored value other than the default
    QJsonValue (*typed)(const VantrelPreferences&);
};

QJsonValue s(const char* text) {
    return QJsonValue(QString::fromLatin1(text));
}
QJsonArray list(std::initializer_list<const char*> items) {
    QJsonArray a;
    for (const char* i : items)
        a.append(QString::fromLatin1(i));
    return a;
}
const QJsonArray kDefaultTint{0.37, 0.58, 0.88};
const QJsonArray kDefaultOrder =
    list({"clipboard", "calendar", "focus", "timers", "system", "note", "files", "mirror", "bookmarks"});

#define ROW(name, key, kind, fallback, sample)                                                               \
    Row {                                                                                                    \
        Setting::name, key, Kind::kind, fallback, sample, [](const VantrelPreferences& p) {                  \
            static_assert(kindHolds<Kind::kind, decltype(p.name())>());                                      \
            return asJson(p.name());                                                                         \
        }                                                                                                    \
    }

const std::vector<Row>& table() {
    static const std::vector<Row> rows = {
        ROW(hasCompletedOnboarding, "onboarding.complete", plainBoolean, false, true),
        ROW(notchEnabled, "notch.enabled", boolean, true, false),
        ROW(notchAutoExpand, "notch.autoExpand", boolean, true, false),
        ROW(notchResponsiveness, "notch.responsiveness", enumeration, s("instant"), s("careful")),
        ROW(notchCollapseBehavior, "notch.collapseBehavior", enumeration, s("shortDelay"), s("manual")),
        ROW(notchCompactWidth, "notch.compactWidth", number, 210.0, 0.125),
        ROW(notchSize, "notch.size", enumeration, s("medium"), s("large")),
        ROW(notchAppearance, "notch.appearance", twoCase, s("crystal"), s("midnight")),
        ROW(notchGlassDensity, "notch.glassDensity", number, 0.86, 0.125),
        ROW(notchGlassBlurEnabled, "notch.glassBlurEnabled", boolean, false, true),
        ROW(cameraAspectRatio, "notch.cameraAspectRatio", twoCase, s("widescreen"), s("standard")),
        ROW(notchMediaEnabled, "notch.widget.media", boolean, true, false),
        ROW(notchClipboardEnabled, "notch.widget.clipboard", boolean, true, false),
        ROW(notchCalendarEnabled, "notch.widget.calendar", boolean, true, false),
        ROW(notchFocusEnabled, "notch.widget.focus", boolean, true, false),
        ROW(notchTimersEnabled, "notch.widget.timers", boolean, true, false),
        ROW(notchSystemEnabled, "notch.widget.system", boolean, true, false),
        ROW(notchNotesEnabled, "notch.widget.notes", boolean, true, false),
        ROW(notchFilesEnabled, "notch.widget.files", boolean, true, false),
        ROW(notchMirrorEnabled, "notch.widget.mirror", boolean, true, false),
        ROW(notchBookmarksEnabled, "notch.widget.bookmarks", boolean, true, false),
        ROW(notchWidgetOrder, "notch.widgetOrder", stringList, kDefaultOrder,
            list({"bookmarks", "mirror", "files", "note", "system", "timers", "focus", "calendar",
                  "clipboard"})),
        ROW(feedbackEnabled, "feedback.enabled", boolean, false, true),
        ROW(feedbackHapticStyle, "feedback.hapticStyle", enumeration, s("detent"), s("doubleTap")),
        ROW(feedbackHapticRhythm, "feedback.hapticRhythm", enumeration, s("balanced"), s("deliberate")),
        ROW(feedbackVelocityAware, "feedback.velocityAware", boolean, true, false),
        ROW(feedbackTriggers, "feedback.triggers", boolMap, (QJsonObject{{"scroll", true}}),
            (QJsonObject{{"scroll", false}, {"swipe", true}})),
        ROW(feedbackTriggerStyles, "feedback.triggerStyles", stringMap, QJsonObject(),
            (QJsonObject{{"click", "firm"}})),
        ROW(feedbackStrength, "feedback.strength", number, 0.5, 0.125),
        ROW(interfaceHapticStyles, "interface.hapticStyles", stringMap, QJsonObject(),
            (QJsonObject{{"dock", "soft"}})),
        ROW(customDockEnabled, "dock.customEnabled", boolean, false, true),
        ROW(customDockMagnification, "dock.magnification", boolean, true, false),
        ROW(customDockMagnificationScale, "dock.magnificationScale", number, 1.23, 0.125),
        ROW(customDockIconSize, "dock.iconSize", number, 44.0, 0.125),
        ROW(customDockVerticalPadding, "dock.verticalPadding", number, 11.0, 0.125),
        ROW(customDockOpacity, "dock.opacity", number, 0.82, 0.125),
        ROW(customDockCornerRadius, "dock.cornerRadius", number, 25.0, 0.125),
        ROW(customDockSpacing, "dock.spacing", number, 8.0, 0.125),
        ROW(customDockAlignment, "dock.alignment", enumeration, s("center"), s("left")),
        ROW(customDockAutoHide, "dock.autoHide", boolean, true, false),
        ROW(customDockHideMode, "dock.hideMode", enumeration, s("always"), s("whenFullscreen")),
        ROW(customDockHideDelay, "dock.hideDelay", number, 0.45, 0.125),
        ROW(customDockRevealDelay, "dock.revealDelay", number, 0.1, 0.125),
        ROW(customDockShowRunning, "dock.showRunning", boolean, true, false),
        ROW(customDockShowIndicators, "dock.showIndicators", boolean, true, false),
        ROW(customDockShowTrash, "dock.showTrash", boolean, true, false),
        ROW(customDockTint, "dock.tint", enumeration, s("graphite"), s("warm")),
        ROW(customDockTintStrength, "dock.tintStrength", number, 0.55, 0.125),
        ROW(customDockShowLabels, "dock.showLabels", boolean, true, false),
        ROW(customDockIconAnimation, "dock.iconAnimation", enumeration, s("rise"), s("none")),
        ROW(customDockAnimationSpeed, "dock.animationSpeed", enumeration, s("natural"), s("snappy")),
        ROW(menuTintEnabled, "menu.tintEnabled", boolean, false, false), // repaired: checked on its own
        ROW(menuTintOpacity, "menu.tintOpacity", number, 0.1, 0.125),
        ROW(menuTint, "menu.tintColour", tint, kDefaultTint, (QJsonArray{0.25, 0.5, 0.75})),
        ROW(customMenuTintEnabled, "menu.tintColourEnabled", boolean, false, true),
        ROW(menuMaskEnabled, "menu.maskEnabled", boolean, false, true),
        ROW(menuTintStyle, "menu.tintStyle", twoCase, s("solid"), s("gradient")),
        ROW(menuBarShadowEnabled, "menu.shadowEnabled", boolean, false, true),
        ROW(menuBarBorderEnabled, "menu.borderEnabled", boolean, false, true),
        ROW(menuBarShape, "menu.shape", enumeration, s("full"), s("split")),
        ROW(menuAutoRehideEnabled, "menu.autoRehideEnabled", boolean, false, true),
        ROW(menuAlwaysHiddenEnabled, "menu.alwaysHiddenEnabled", boolean, false, true),
        ROW(menuRevealOnHover, "menu.revealOnHover.v2", boolean, true, false),
        ROW(menuRevealOnEmptyClick, "menu.revealOnEmptyClick", boolean, true, false),
        ROW(menuAutoRehideSeconds, "menu.autoRehideSeconds", number, 5.0, 0.125),
        ROW(menuSetupComplete, "menu.setupComplete", boolean, false, true),
        ROW(commandPaletteEnabled, "command.enabled", boolean, true, false),
        ROW(accent, "appearance.accent", enumeration, s("graphite"), s("sand")),
        ROW(appearanceMode, "appearance.mode", enumeration, s("dark"), s("system")),
        ROW(artTheme, "appearance.artTheme", enumeration, s("neutral"), s("canyonAlloy")),
        ROW(themeScope, "appearance.themeScope", enumeration, s("all"), s("settingsOnly")),
        ROW(themeColorAmount, "appearance.themeColorAmount", number, 0.42, 0.125),
        ROW(backgroundTint, "appearance.backgroundTint", tint, kDefaultTint, (QJsonArray{0.0, 1.0, 0.5})),
        ROW(customBackgroundTintEnabled, "appearance.backgroundTintEnabled", boolean, false, true),
        ROW(iconTint, "appearance.iconTint", tint, kDefaultTint, (QJsonArray{1.0, 0.0, 0.25})),
        ROW(customIconTintEnabled, "appearance.iconTintEnabled", boolean, false, true),
        ROW(themeMotionEnabled, "appearance.themeMotionEnabled", boolean, true, false),
        ROW(glassStyle, "appearance.glassStyle", enumeration, s("balanced"), s("deep")),
        ROW(interfaceDensity, "appearance.density", enumeration, s("spacious"), s("compact")),
        ROW(interfaceCornerStyle, "appearance.cornerStyle", enumeration, s("compact"), s("soft")),
        ROW(interfaceSidebarSize, "appearance.sidebarSize", enumeration, s("standard"), s("wide")),
        ROW(interfaceMotionStyle, "appearance.motionStyle", enumeration, s("smooth"), s("spring")),
        ROW(appearanceGlowIntensity, "appearance.glowIntensity", number, 0.72, 0.125),
        ROW(interfaceHapticsEnabled, "interface.hapticsEnabled", boolean, true, false),
        ROW(alarmSound, "alarms.sound", enumeration, s("glass"), s("none")),
        ROW(alarmDelivery, "alarms.delivery", enumeration, s("both"), s("haptics")),
        ROW(alarmVolume, "alarms.volume", number, 0.75, 0.125),
        ROW(alarmRepeats, "alarms.repeats", boolean, false, true),
        ROW(notificationsEnabled, "notifications.enabled", boolean, true, false),
        ROW(notificationIndicatorEnabled, "notifications.indicatorEnabled", boolean, true, false),
        ROW(notificationKeyboardFlashEnabled, "notifications.keyboardFlashEnabled", boolean, false, true),
        ROW(notificationKeyboardFlashPreset, "notifications.keyboardFlashPreset", enumeration, s("pulse"),
            s("urgent")),
        ROW(notificationScope, "notifications.scope", twoCase, s("selectedApps"), s("allApps")),
        ROW(notificationRespectFocus, "notifications.respectFocus", boolean, true, false),
    };
    return rows;
}

// Stored values of the wrong shape for each kind; every one must read as the default.
std::vector<QJsonValue> hostileValues(const Row& row) {
    switch (row.kind) {
    case Kind::boolean:
        return {s("true"), 1, 0.0, QJsonArray{true}, QJsonObject{{"value", true}}};
    case Kind::plainBoolean:
        return {QJsonArray{true}, QJsonObject{{"value", true}}, s("no"), 0.0};
    case Kind::number:
        return {s("0.125"), true, QJsonArray{0.125}, QJsonObject{{"value", 0.125}}};
    case Kind::enumeration:
    case Kind::twoCase: {
        QString capitalised = row.sample.toString();
        capitalised[0] = capitalised[0].toUpper();
        const QString upper = row.sample.toString().toUpper();
        return {capitalised,
                upper,
                QStringLiteral(" ") + row.sample.toString(),
                s("unknownCase"),
                s(""),
                1,
                true,
                QJsonArray{row.sample}};
    }
    case Kind::stringList:
        return {s("clipboard"), QJsonArray{1, 2}, (QJsonArray{QStringLiteral("files"), 3}), QJsonObject()};
    case Kind::boolMap:
        return {(QJsonObject{{"scroll", "yes"}}), (QJsonObject{{"click", true}, {"swipe", 1}}), s("scroll"),
                QJsonArray{true}, true};
    case Kind::stringMap:
        return {(QJsonObject{{"click", true}}), (QJsonObject{{"notch", "tick"}, {"dock", 2}}), s("tick"),
                QJsonArray{s("tick")}, QJsonObject{{"$data", "AAEC"}}};
    case Kind::tint:
        return {s("0.1,0.2,0.3"),
                (QJsonObject{{"red", 0.1}, {"green", 0.2}, {"blue", 0.3}}),
                QJsonArray{0.1, 0.2},
                QJsonArray{0.1, 0.2, 0.3, 0.4},
                QJsonArray{s("0.1"), s("0.2"), s("0.3")},
                0.5};
    }
    return {};
}

void seedMigrated(RecordingUserDefaults& defaults) {
    defaults.seed(QStringLiteral("menu.explicitRevealMigrated.v1"), true);
}

} // namespace

TEST(VantrelPreferencesTable, EverySettingHasItsKeyTypeAndDefault) {
    ASSERT_EQ(table().size(), 94u);
    ASSERT_EQ(VantrelPreferences::settingCount, 94);
    RecordingUserDefaults defaults;
    VantrelPreferences preferences(defaults);
    for (std::size_t i = 0; i < table().size(); ++i) {
        const Row& row = table()[i];
        SCOPED_TRACE(row.key);
        EXPECT_EQ(static_cast<std::size_t>(row.setting), i) << "settings are declared in table order";
        EXPECT_EQ(VantrelPreferences::key(row.setting), QString::fromLatin1(row.key));
        EXPECT_EQ(row.typed(preferences), row.fallback);
        EXPECT_EQ(preferences.storedValue(row.setting), row.fallback);
    }
}

TEST(VantrelPreferencesTable, EverySettingReadsAValidStoredValueOfItsType) {
    RecordingUserDefaults defaults;
    seedMigrated(defaults);
    for (const Row& row : table())
        defaults.seed(QString::fromLatin1(row.key), row.sample);
    VantrelPreferences preferences(defaults);
    for (const Row& row : table()) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(row.typed(preferences), row.sample);
    }
}

TEST(VantrelPreferencesTable, EveryAssignmentWritesItsStorageForm) {
    RecordingUserDefaults source;
    seedMigrated(source);
    for (const Row& row : table())
        source.seed(QString::fromLatin1(row.key), row.sample);
    const VantrelPreferences loaded(source);

    // Assigning the loaded values one by one to a fresh store writes each in its storage form.
    RecordingUserDefaults target;
    VantrelPreferences preferences(target);
    target.clearJournal();
#define ASSIGN_(name, Name, key, Type, fallback, rule) preferences.set##Name(loaded.name());
    VANTREL_PREFERENCE_SETTINGS(ASSIGN_)
#undef ASSIGN_
    ASSERT_EQ(target.journal().size(), table().size());
    for (std::size_t i = 0; i < table().size(); ++i) {
        const Row& row = table()[i];
        SCOPED_TRACE(row.key);
        const auto& entry = target.journal()[i];
        EXPECT_EQ(entry.kind, RecordingUserDefaults::Entry::Kind::set);
        EXPECT_EQ(entry.key, QString::fromLatin1(row.key));
        EXPECT_EQ(entry.value, row.sample);
    }
}

TEST(VantrelPreferencesTable, WrongStoredTypesReadAsTheDefaultForEveryKind) {
    std::size_t maxCount = 0;
    for (const Row& row : table())
        maxCount = std::max(maxCount, hostileValues(row).size());
    // Round n seeds the n-th hostile value of every setting into one store.
    for (std::size_t round = 0; round < maxCount; ++round) {
        RecordingUserDefaults defaults;
        seedMigrated(defaults);
        for (const Row& row : table()) {
            const auto values = hostileValues(row);
            if (round < values.size()) defaults.seed(QString::fromLatin1(row.key), values[round]);
        }
        VantrelPreferences preferences(defaults);
        for (const Row& row : table()) {
            const auto values = hostileValues(row);
            if (round >= values.size()) continue;
            SCOPED_TRACE(::testing::Message() << row.key << " = " << ::testing::PrintToString(values[round]));
            EXPECT_EQ(row.typed(preferences), row.fallback);
        }
    }
}
