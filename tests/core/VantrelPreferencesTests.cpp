// The repairs, migration, legacy keys, write-back and helpers of the settings store.

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

Entry setEntry(const char* key, const QJsonValue& value) {
    return Entry{Entry::Kind::set, QString::fromLatin1(key), value};
}

RecordingUserDefaults storeWith(std::initializer_list<std::pair<const char*, QJsonValue>> values) {
    RecordingUserDefaults defaults;
    for (const auto& [key, value] : values) defaults.seed(QString::fromLatin1(key), value);
    return defaults;
}

bool touched(const RecordingUserDefaults& defaults, const char* key) {
    return defaults.journalKeys().contains(QString::fromLatin1(key));
}

} // namespace

TEST(VantrelPreferences, StartWritesExactlySixKeysAndOverwritesTheLegacyOnes) {
    RecordingUserDefaults empty;
    VantrelPreferences preferences(empty);
    EXPECT_EQ(empty.journal(),
              (std::vector<Entry>{setEntry("dock.hideMode", "always"), setEntry("menu.tintEnabled", false),
                                  setEntry("menu.autoRehideEnabled", false),
                                  setEntry("menu.explicitRevealMigrated.v1", true),
                                  setEntry("feedback.sound", false), setEntry("feedback.haptics", true)}));
    EXPECT_EQ(empty.keys().size(), 6);

    RecordingUserDefaults legacy = storeWith(
        {{"feedback.sound", true}, {"feedback.haptics", false}, {"appearance.performanceMode", true}});
    VantrelPreferences first(legacy);
    EXPECT_EQ(legacy.optionalBool(QStringLiteral("feedback.sound")), false);
    EXPECT_EQ(legacy.optionalBool(QStringLiteral("feedback.haptics")), true);
    EXPECT_EQ(legacy.journal().back(),
              (Entry{Entry::Kind::remove, QStringLiteral("appearance.performanceMode"),
                     QJsonValue(QJsonValue::Undefined)}));
    legacy.clearJournal();
    VantrelPreferences second(legacy);
    EXPECT_EQ(legacy.journalKeys(), (QStringList{"menu.tintEnabled", "feedback.sound", "feedback.haptics"}));
}

TEST(VantrelPreferences, HideModeIsDerivedFromAutoHideAndWrittenOnlyWhenAbsent) {
    struct Case {
        QJsonValue autoHide, stored;
        DockHideMode expected;
        QJsonValue storedAfter;
    };
    const QJsonValue absent(QJsonValue::Undefined);
    const Case cases[] = {
        {false, absent, DockHideMode::never, "never"},
        // A mode this version does not know is kept for the version that wrote it.
        {false, "onHover", DockHideMode::never, "onHover"},
        {absent, 2, DockHideMode::always, 2},
        {true, "whenFullscreen", DockHideMode::whenFullscreen, "whenFullscreen"},
    };
    for (const Case& c : cases) {
        RecordingUserDefaults defaults =
            storeWith({{"dock.autoHide", c.autoHide}, {"dock.hideMode", c.stored}});
        EXPECT_EQ(VantrelPreferences(defaults).customDockHideMode(), c.expected);
        EXPECT_EQ(defaults.object(QStringLiteral("dock.hideMode")), c.storedAfter);
        EXPECT_EQ(touched(defaults, "dock.hideMode"), c.stored.isUndefined());
    }
}

TEST(VantrelPreferences, WidgetOrderIsCompletedWithTheMissingDefaultTabsAndNotWrittenBack) {
    const auto orderFrom = [](const QJsonValue& stored) {
        RecordingUserDefaults defaults = storeWith({{"notch.widgetOrder", stored}});
        const QStringList order = VantrelPreferences(defaults).notchWidgetOrder();
        EXPECT_FALSE(touched(defaults, "notch.widgetOrder"));
        return order;
    };
    EXPECT_EQ(orderFrom(QJsonArray{"files", "home"}),
              (QStringList{"files", "home", "clipboard", "calendar", "focus", "timers", "system", "note",
                           "mirror", "bookmarks"}));
    // Repeats and names of no tab are kept as they are.
    EXPECT_EQ(orderFrom(QJsonArray{"note", "gone", "note"}),
              (QStringList{"note", "gone", "note", "clipboard", "calendar", "focus", "timers", "system",
                           "files", "mirror", "bookmarks"}));
}

TEST(VantrelPreferences, TintsKeepTheirNumbersInOrderClampedAndNeedExactlyThree) {
    RecordingUserDefaults defaults =
        storeWith({{"appearance.backgroundTint", QJsonArray{"red", 0.2, 2.0, -1}},
                   {"menu.tintColour", QJsonArray{true, 0.5, QJsonValue(), 0.25, 1}}});
    VantrelPreferences preferences(defaults);
    EXPECT_EQ(preferences.backgroundTint(), BackgroundTint(0.2, 1.0, 0.0));
    EXPECT_EQ(preferences.menuTint(), BackgroundTint(0.5, 0.25, 1.0));
}

TEST(VantrelPreferences, MenuTintIsSwitchedOffAndItsOpacityClampedAtStartButNotOnAssignment) {
    const std::pair<double, double> opacities[] = {{0.5, 0.18}, {0.0, 0.02}, {0.1, 0.1}};
    for (const auto& [stored, expected] : opacities) {
        RecordingUserDefaults defaults =
            storeWith({{"menu.tintEnabled", true}, {"menu.tintOpacity", stored}});
        VantrelPreferences preferences(defaults);
        EXPECT_FALSE(preferences.menuTintEnabled());
        EXPECT_EQ(defaults.optionalBool(QStringLiteral("menu.tintEnabled")), false);
        EXPECT_DOUBLE_EQ(preferences.menuTintOpacity(), expected);
        EXPECT_FALSE(touched(defaults, "menu.tintOpacity"));
    }
    RecordingUserDefaults defaults;
    VantrelPreferences preferences(defaults);
    preferences.setMenuTintOpacity(0.5);
    EXPECT_EQ(defaults.optionalDouble(QStringLiteral("menu.tintOpacity")), 0.5);
}

TEST(VantrelPreferences, RevealMigrationRunsOnce) {
    RecordingUserDefaults defaults = storeWith({{"menu.autoRehideEnabled", true}});
    EXPECT_FALSE(VantrelPreferences(defaults).menuAutoRehideEnabled());
    EXPECT_EQ(defaults.optionalBool(QStringLiteral("menu.explicitRevealMigrated.v1")), true);

    // The user switches re-hiding back on; later starts respect it and write neither key.
    defaults.seed(QStringLiteral("menu.autoRehideEnabled"), true);
    defaults.clearJournal();
    EXPECT_TRUE(VantrelPreferences(defaults).menuAutoRehideEnabled());
    EXPECT_FALSE(touched(defaults, "menu.autoRehideEnabled"));
    EXPECT_FALSE(touched(defaults, "menu.explicitRevealMigrated.v1"));

    // A flag stored as false counts as not migrated.
    RecordingUserDefaults unmigrated =
        storeWith({{"menu.explicitRevealMigrated.v1", false}, {"menu.autoRehideEnabled", true}});
    EXPECT_FALSE(VantrelPreferences(unmigrated).menuAutoRehideEnabled());
}

TEST(VantrelPreferences, OnboardingUsesThePlainBooleanLookup) {
    RecordingUserDefaults defaults = storeWith({{"onboarding.complete", 1}});
    EXPECT_TRUE(VantrelPreferences(defaults).hasCompletedOnboarding());
}

TEST(VantrelPreferences, ObserversSeeTheNewValueBeforeItIsWritten) {
    RecordingUserDefaults defaults;
    VantrelPreferences preferences(defaults);
    defaults.clearJournal();
    std::vector<std::size_t> journalWhenNotified;
    bool valueWhenNotified = true;
    preferences.onChange(Setting::notchEnabled, &preferences, [&] {
        journalWhenNotified.push_back(defaults.journal().size());
        valueWhenNotified = preferences.notchEnabled();
    });
    preferences.setNotchEnabled(false);
    preferences.setNotchSize(NotchSize::medium); // another setting's change is not this observer's
    EXPECT_EQ(journalWhenNotified, std::vector<std::size_t>{0});
    EXPECT_FALSE(valueWhenNotified);
}

TEST(VantrelPreferences, FeedbackTriggersAndStylesFallBackAndWriteTheWholeMap) {
    RecordingUserDefaults defaults =
        storeWith({{"feedback.triggers", QJsonObject{{"click", true}}},
                   {"feedback.hapticStyle", "firm"},
                   {"feedback.triggerStyles", QJsonObject{{"click", "soft"}, {"swipe", "Soft"}}},
                   {"interface.hapticStyles", QJsonObject{{"dock", "wobble"}, {"controls", "feather"}}}});
    VantrelPreferences preferences(defaults);
    // Scroll stays on unless the map says otherwise; other triggers only where the map says so.
    EXPECT_TRUE(preferences.isFeedbackTriggerEnabled(FeedbackTrigger::scroll));
    EXPECT_TRUE(preferences.isFeedbackTriggerEnabled(FeedbackTrigger::click));
    EXPECT_FALSE(preferences.isFeedbackTriggerEnabled(FeedbackTrigger::swipe));
    EXPECT_EQ(preferences.feedbackStyle(FeedbackTrigger::click), HapticStyle::soft);
    EXPECT_EQ(preferences.feedbackStyle(FeedbackTrigger::swipe), HapticStyle::firm);
    EXPECT_EQ(preferences.interfaceHapticStyle(HapticSurface::dock), HapticStyle::tick);
    EXPECT_EQ(preferences.interfaceHapticStyle(HapticSurface::controls), HapticStyle::feather);

    defaults.clearJournal();
    preferences.setFeedbackTrigger(FeedbackTrigger::scroll, false);
    preferences.setFeedbackStyle(HapticStyle::doubleTap, FeedbackTrigger::scroll);
    EXPECT_EQ(defaults.journal(),
              (std::vector<Entry>{
                  setEntry("feedback.triggers", QJsonObject{{"click", true}, {"scroll", false}}),
                  setEntry("feedback.triggerStyles",
                           QJsonObject{{"click", "soft"}, {"swipe", "Soft"}, {"scroll", "doubleTap"}})}));
}
