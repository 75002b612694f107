// The repairs, migration, legacy keys, write-back and helpers of the settings store.

#include "core/VantrelPreferences.h"

#include "platform/linux/JsonFileDefaults.h"
#include "support/ManualScheduler.h"
#include "support/QtPrinters.h"
#include "support/RecordingSystemLog.h"
#include "support/RecordingUserDefaults.h"
#include "support/TempHome.h"

#include <QJsonArray>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;
using Setting = VantrelPreferences::Setting;
using Entry = RecordingUserDefaults::Entry;

namespace {

Entry setEntry(const char* key, const QJsonValue& value) {
    return Entry{Entry::Kind::set, QString::fromLatin1(key), value};
}

QStringList strings(std::initializer_list<const char*> items) {
    QStringList out;
    for (const char* i : items)
        out.append(QString::fromLatin1(i));
    return out;
}

bool journalTouches(const RecordingUserDefaults& defaults, const char* key) {
    return defaults.journalKeys().contains(QString::fromLatin1(key));
}

} // namespace

TEST(VantrelPreferences, ConstructionOnAnEmptyStoreWritesExactlySixKeys) {
    RecordingUserDefaults defaults;
    VantrelPreferences preferences(defaults);
    const std::vector<Entry> expected = {
        setEntry("dock.hideMode", QStringLiteral("always")),
        setEntry("menu.tintEnabled", false),
        setEntry("menu.autoRehideEnabled", false),
        setEntry("menu.explicitRevealMigrated.v1", true),
        setEntry("feedback.sound", false),
        setEntry("feedback.haptics", true),
    };
    EXPECT_EQ(defaults.journal(), expected);
    EXPECT_EQ(defaults.keys().size(), 6);
}

TEST(VantrelPreferences, LegacyKeysAreOverwrittenAndRemovedOnEveryStart) {
    RecordingUserDefaults defaults;
    defaults.seed(QStringLiteral("feedback.sound"), true);
    defaults.seed(QStringLiteral("feedback.haptics"), false);
    defaults.seed(QStringLiteral("appearance.performanceMode"), true);
    VantrelPreferences first(defaults);
    EXPECT_EQ(defaults.optionalBool(QStringLiteral("feedback.sound")), false);
    EXPECT_EQ(defaults.optionalBool(QStringLiteral("feedback.haptics")), true);
    EXPECT_FALSE(defaults.contains(QStringLiteral("appearance.performanceMode")));
    EXPECT_EQ(defaults.journal().back(),
              (Entry{Entry::Kind::remove, QStringLiteral("appearance.performanceMode"),
                     QJsonValue(QJsonValue::Undefined)}));

    defaults.clearJournal();
    VantrelPreferences second(defaults);
    EXPECT_EQ(defaults.journalKeys(), strings({"menu.tintEnabled", "feedback.sound", "feedback.haptics"}));
}

TEST(VantrelPreferences, HideModeIsDerivedFromAutoHideAndWrittenOnlyWhenAbsent) {
    {
        RecordingUserDefaults defaults;
        defaults.seed(QStringLiteral("dock.autoHide"), false);
        VantrelPreferences preferences(defaults);
        EXPECT_EQ(preferences.customDockHideMode(), DockHideMode::never);
        EXPECT_EQ(defaults.string(QStringLiteral("dock.hideMode")), QStringLiteral("never"));
    }
    {
        // A mode this version does not know is kept for the version that wrote it.
        RecordingUserDefaults defaults;
        defaults.seed(QStringLiteral("dock.autoHide"), false);
        defaults.seed(QStringLiteral("dock.hideMode"), QStringLiteral("onHover"));
        VantrelPreferences preferences(defaults);
        EXPECT_EQ(preferences.customDockHideMode(), DockHideMode::never);
        EXPECT_FALSE(journalTouches(defaults, "dock.hideMode"));
        EXPECT_EQ(defaults.string(QStringLiteral("dock.hideMode")), QStringLiteral("onHover"));
    }
    {
        RecordingUserDefaults defaults;
        defaults.seed(QStringLiteral("dock.hideMode"), 2);
        VantrelPreferences preferences(defaults);
        EXPECT_EQ(preferences.customDockHideMode(), DockHideMode::always);
        EXPECT_FALSE(journalTouches(defaults, "dock.hideMode"));
    }
    for (bool autoHide : {true, false}) {
        RecordingUserDefaults defaults;
        defaults.seed(QStringLiteral("dock.autoHide"), autoHide);
        defaults.seed(QStringLiteral("dock.hideMode"), QStringLiteral("whenFullscreen"));
        VantrelPreferences preferences(defaults);
        EXPECT_EQ(preferences.customDockHideMode(), DockHideMode::whenFullscreen);
        EXPECT_FALSE(journalTouches(defaults, "dock.hideMode"));
    }
}

TEST(VantrelPreferences, TwoCaseSettingsSelectTheirOtherCaseOnlyByExactName) {
    RecordingUserDefaults defaults;
    defaults.seed(QStringLiteral("notch.appearance"), QStringLiteral("Midnight"));
    defaults.seed(QStringLiteral("notch.cameraAspectRatio"), QStringLiteral("standard"));
    defaults.seed(QStringLiteral("menu.tintStyle"), QStringLiteral("gradient "));
    defaults.seed(QStringLiteral("notifications.scope"), QStringLiteral("allApps"));
    defaults.seed(QStringLiteral("notch.size"), QStringLiteral("huge"));
    VantrelPreferences preferences(defaults);
    EXPECT_EQ(preferences.notchAppearance(), NotchAppearance::crystal);
    EXPECT_EQ(preferences.cameraAspectRatio(), CameraAspectRatio::standard);
    EXPECT_EQ(preferences.menuTintStyle(), MenuBarTintStyle::solid);
    EXPECT_EQ(preferences.notificationScope(), NotificationScope::allApps);
    EXPECT_EQ(preferences.notchSize(), NotchSize::medium);
    // Unknown names stay stored as they were.
    EXPECT_EQ(defaults.string(QStringLiteral("notch.size")), QStringLiteral("huge"));
}

TEST(VantrelPreferences, WidgetOrderIsCompletedWithTheMissingDefaultTabs) {
    const auto orderFrom = [](const QJsonValue& stored) {
        RecordingUserDefaults defaults;
        defaults.seed(QStringLiteral("notch.widgetOrder"), stored);
        return VantrelPreferences(defaults).notchWidgetOrder();
    };
    EXPECT_EQ(orderFrom(QJsonArray{QStringLiteral("files"), QStringLiteral("home")}),
              strings({"files", "home", "clipboard", "calendar", "focus", "timers", "system", "note",
                       "mirror", "bookmarks"}));
    // Repeats and names of no tab are kept as they are.
    EXPECT_EQ(orderFrom(QJsonArray{QStringLiteral("note"), QStringLiteral("gone"), QStringLiteral("note")}),
              strings({"note", "gone", "note", "clipboard", "calendar", "focus", "timers", "system", "files",
                       "mirror", "bookmarks"}));
    EXPECT_EQ(orderFrom(QJsonArray{}), defaultNotchWidgetOrder());
    EXPECT_EQ(orderFrom(QJsonArray{QStringLiteral("files"), 3}), defaultNotchWidgetOrder());

    // The completed order is what the store holds, not what it writes: nothing is written back.
    RecordingUserDefaults defaults;
    defaults.seed(QStringLiteral("notch.widgetOrder"), QJsonArray{QStringLiteral("files")});
    VantrelPreferences preferences(defaults);
    EXPECT_FALSE(journalTouches(defaults, "notch.widgetOrder"));
}

TEST(VantrelPreferences, TintsKeepTheirNumbersAndNeedExactlyThree) {
    RecordingUserDefaults defaults;
    defaults.seed(QStringLiteral("appearance.backgroundTint"),
                  QJsonArray{QStringLiteral("red"), 0.2, 2.0, -1});
    defaults.seed(QStringLiteral("appearance.iconTint"), QJsonArray{0.1, 0.2, 0.3, 0.4});
    defaults.seed(QStringLiteral("menu.tintColour"), QJsonArray{true, 0.5, QJsonValue(), 0.25, 1});
    VantrelPreferences preferences(defaults);
    EXPECT_EQ(preferences.backgroundTint(), BackgroundTint(0.2, 1.0, 0.0));
    EXPECT_EQ(preferences.iconTint(), BackgroundTint());
    EXPECT_EQ(preferences.menuTint(), BackgroundTint(0.5, 0.25, 1.0));
}

TEST(VantrelPreferences, MenuTintIsSwitchedOffAndItsOpacityClampedAtStart) {
    for (const auto& [stored, expected] :
         std::vector<std::pair<double, double>>{{0.5, 0.18}, {0.0, 0.02}, {0.1, 0.1}}) {
        RecordingUserDefaults defaults;
        defaults.seed(QStringLiteral("menu.tintEnabled"), true);
        defaults.seed(QStringLiteral("menu.tintOpacity"), stored);
        VantrelPreferences preferences(defaults);
        EXPECT_FALSE(preferences.menuTintEnabled());
        EXPECT_EQ(defaults.optionalBool(QStringLiteral("menu.tintEnabled")), false);
        EXPECT_DOUBLE_EQ(preferences.menuTintOpacity(), expected);
        EXPECT_FALSE(journalTouches(defaults, "menu.tintOpacity"));
    }
    // Assignment stores what it is given.
    RecordingUserDefaults defaults;
    VantrelPreferences preferences(defaults);
    preferences.setMenuTintOpacity(0.5);
    preferences.setMenuTintEnabled(true);
    EXPECT_EQ(defaults.optionalDouble(QStringLiteral("menu.tintOpacity")), 0.5);
    EXPECT_EQ(defaults.optionalBool(QStringLiteral("menu.tintEnabled")), true);
}

TEST(VantrelPreferences, RevealMigrationRunsOnce) {
    RecordingUserDefaults defaults;
    defaults.seed(QStringLiteral("menu.autoRehideEnabled"), true);
    {
        VantrelPreferences preferences(defaults);
        EXPECT_FALSE(preferences.menuAutoRehideEnabled());
        EXPECT_EQ(defaults.optionalBool(QStringLiteral("menu.explicitRevealMigrated.v1")), true);
    }
    // The user switches re-hiding back on; later starts respect it and write neither key.
    defaults.seed(QStringLiteral("menu.autoRehideEnabled"), true);
    defaults.clearJournal();
    VantrelPreferences later(defaults);
    EXPECT_TRUE(later.menuAutoRehideEnabled());
    EXPECT_FALSE(journalTouches(defaults, "menu.autoRehideEnabled"));
    EXPECT_FALSE(journalTouches(defaults, "menu.explicitRevealMigrated.v1"));

    // A flag stored as false counts as not migrated.
    RecordingUserDefaults unmigrated;
    unmigrated.seed(QStringLiteral("menu.explicitRevealMigrated.v1"), false);
    unmigrated.seed(QStringLiteral("menu.autoRehideEnabled"), true);
    EXPECT_FALSE(VantrelPreferences(unmigrated).menuAutoRehideEnabled());
}

TEST(VantrelPreferences, OnboardingUsesThePlainBooleanLookup) {
    RecordingUserDefaults defaults;
    defaults.seed(QStringLiteral("onboarding.complete"), 1);
    EXPECT_TRUE(VantrelPreferences(defaults).hasCompletedOnboarding());
    defaults.seed(QStringLiteral("onboarding.complete"), QStringLiteral("no"));
    EXPECT_FALSE(VantrelPreferences(defaults).hasCompletedOnboarding());
}

TEST(VantrelPreferences, EveryAssignmentNotifiesThenWritesEvenAnUnchangedValue) {
    RecordingUserDefaults defaults;
    VantrelPreferences preferences(defaults);
    defaults.clearJournal();

    std::vector<Setting> seen;
    std::vector<std::size_t> journalSizeWhenNotified;
    bool valueWhenNotified = true;
    QObject::connect(&preferences, &VantrelPreferences::changed, [&](Setting setting) {
        seen.push_back(setting);
        journalSizeWhenNotified.push_back(defaults.journal().size());
        valueWhenNotified = preferences.notchEnabled();
    });
    int notchObserved = 0;
    preferences.onChange(Setting::notchEnabled, &preferences, [&] { ++notchObserved; });

    preferences.setNotchEnabled(false);
    EXPECT_FALSE(valueWhenNotified) << "observers see the new value";
    preferences.setNotchEnabled(false);
    preferences.setNotchSize(NotchSize::medium);

    EXPECT_EQ(seen, (std::vector<Setting>{Setting::notchEnabled, Setting::notchEnabled, Setting::notchSize}));
    EXPECT_EQ(journalSizeWhenNotified, (std::vector<std::size_t>{0, 1, 2})) << "written after notifying";
    EXPECT_EQ(notchObserved, 2);
    const std::vector<Entry> expected = {setEntry("notch.enabled", false), setEntry("notch.enabled", false),
                                         setEntry("notch.size", QStringLiteral("medium"))};
    EXPECT_EQ(defaults.journal(), expected);
}

TEST(VantrelPreferences, FeedbackTriggersFallBackToScrollOnly) {
    RecordingUserDefaults defaults;
    defaults.seed(QStringLiteral("feedback.triggers"), QJsonObject{{QStringLiteral("click"), true}});
    VantrelPreferences preferences(defaults);
    EXPECT_TRUE(preferences.isFeedbackTriggerEnabled(FeedbackTrigger::scroll));
    EXPECT_TRUE(preferences.isFeedbackTriggerEnabled(FeedbackTrigger::click));
    EXPECT_FALSE(preferences.isFeedbackTriggerEnabled(FeedbackTrigger::forceClick));
    EXPECT_FALSE(preferences.isFeedbackTriggerEnabled(FeedbackTrigger::swipe));

    defaults.clearJournal();
    preferences.setFeedbackTrigger(FeedbackTrigger::scroll, false);
    EXPECT_FALSE(preferences.isFeedbackTriggerEnabled(FeedbackTrigger::scroll));
    EXPECT_EQ(
        defaults.journal(),
        (std::vector<Entry>{setEntry("feedback.triggers", QJsonObject{{QStringLiteral("click"), true},
                                                                      {QStringLiteral("scroll"), false}})}));
}

TEST(VantrelPreferences, StylesFallBackToTheGeneralStyleOrTheSurfaceDefault) {
    RecordingUserDefaults defaults;
    defaults.seed(QStringLiteral("feedback.hapticStyle"), QStringLiteral("firm"));
    defaults.seed(QStringLiteral("feedback.triggerStyles"),
                  QJsonObject{{QStringLiteral("click"), QStringLiteral("soft")},
                              {QStringLiteral("swipe"), QStringLiteral("Soft")}});
    defaults.seed(QStringLiteral("interface.hapticStyles"),
                  QJsonObject{{QStringLiteral("dock"), QStringLiteral("wobble")},
                              {QStringLiteral("controls"), QStringLiteral("feather")}});
    VantrelPreferences preferences(defaults);
    EXPECT_EQ(preferences.feedbackStyle(FeedbackTrigger::click), HapticStyle::soft);
    EXPECT_EQ(preferences.feedbackStyle(FeedbackTrigger::swipe), HapticStyle::firm);
    EXPECT_EQ(preferences.feedbackStyle(FeedbackTrigger::scroll), HapticStyle::firm);
    EXPECT_EQ(preferences.interfaceHapticStyle(HapticSurface::dock), HapticStyle::tick);
    EXPECT_EQ(preferences.interfaceHapticStyle(HapticSurface::notch), HapticStyle::detent);
    EXPECT_EQ(preferences.interfaceHapticStyle(HapticSurface::controls), HapticStyle::feather);

    defaults.clearJournal();
    preferences.setFeedbackStyle(HapticStyle::doubleTap, FeedbackTrigger::scroll);
    EXPECT_EQ(preferences.feedbackStyle(FeedbackTrigger::scroll), HapticStyle::doubleTap);
    ASSERT_EQ(defaults.journalKeys(), strings({"feedback.triggerStyles"}));
    EXPECT_EQ(defaults.journal()[0].value.toObject().value(QStringLiteral("scroll")),
              QStringLiteral("doubleTap"));
    EXPECT_EQ(defaults.journal()[0].value.toObject().size(), 3);
}

TEST(VantrelPreferences, AssignedValuesSurviveARestartThroughTheDefaultsFile) {
    TempHome home;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingSystemLog log;
    {
        JsonFileDefaults file(QStringLiteral("com.vantrel.mac"), home.paths().defaultsFolder(), scheduler,
                              clock, log);
        VantrelPreferences preferences(file);
        preferences.setNotchEnabled(false);
        preferences.setCustomDockIconSize(61.5);
        preferences.setArtTheme(ArtTheme::glacialVeil);
        preferences.setNotchWidgetOrder(strings({"files", "home"}));
        preferences.setIconTint(BackgroundTint(0.1, 0.2, 0.3));
        preferences.setInterfaceHapticStyles({{QStringLiteral("dock"), QStringLiteral("firm")}});
        preferences.setFeedbackTrigger(FeedbackTrigger::swipe, true);
    }
    JsonFileDefaults file(QStringLiteral("com.vantrel.mac"), home.paths().defaultsFolder(), scheduler, clock,
                          log);
    VantrelPreferences reloaded(file);
    EXPECT_FALSE(reloaded.notchEnabled());
    EXPECT_EQ(reloaded.customDockIconSize(), 61.5);
    EXPECT_EQ(reloaded.artTheme(), ArtTheme::glacialVeil);
    EXPECT_EQ(reloaded.notchWidgetOrder(), strings({"files", "home", "clipboard", "calendar", "focus",
                                                    "timers", "system", "note", "mirror", "bookmarks"}));
    EXPECT_EQ(reloaded.iconTint(), BackgroundTint(0.1, 0.2, 0.3));
    EXPECT_EQ(reloaded.interfaceHapticStyle(HapticSurface::dock), HapticStyle::firm);
    EXPECT_TRUE(reloaded.isFeedbackTriggerEnabled(FeedbackTrigger::swipe));
    EXPECT_TRUE(reloaded.isFeedbackTriggerEnabled(FeedbackTrigger::scroll));
}
