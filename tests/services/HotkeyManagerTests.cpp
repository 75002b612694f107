#include "platform/InMemoryDefaults.h"
#include "services/HotkeyManager.h"

#include <gtest/gtest.h>

using namespace vantrel;

TEST(HotkeyManagerTest, WithoutGlobalKeysNothingRegistersAndTheBindingsAreKept) {
    InMemoryDefaults defaults;
    const QByteArray stored = R"({"commandPalette":{"keyCode":49,"carbonModifiers":4096},)"
                              R"("toggleFocus":{"keyCode":9,"carbonModifiers":768}})";
    defaults.setData(QString::fromLatin1(HotkeyManager::kDefaultsKey), stored);
    // No desktop service: a session without X11.
    HotkeyManager hotkeys(defaults);
    const auto bindings = hotkeys.bindings();
    ASSERT_EQ(bindings.size(), 2u);

    int presses = 0;
    hotkeys.registerHotkey(HotkeyAction::commandPalette, [&presses] { ++presses; });
    hotkeys.registerHotkey(HotkeyAction::toggleFocus, [&presses] { ++presses; });
    EXPECT_FALSE(hotkeys.isRegistered(HotkeyAction::commandPalette));
    EXPECT_FALSE(hotkeys.isRegistered(HotkeyAction::toggleFocus));
    ASSERT_TRUE(hotkeys.lastError().has_value());
    EXPECT_EQ(*hotkeys.lastError(), QStringLiteral("Global hot keys need an X11 session."));
    EXPECT_EQ(presses, 0);

    // Unlike a key another program holds, nothing is dropped: the next X11 session has them all.
    EXPECT_EQ(hotkeys.bindings(), bindings);
    EXPECT_EQ(defaults.data(QString::fromLatin1(HotkeyManager::kDefaultsKey)), stored);
    EXPECT_EQ(HotkeyManager(defaults).bindings(), bindings);
}
