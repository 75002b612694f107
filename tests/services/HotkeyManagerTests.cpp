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

#include "platform/KeyCodeTable.h"
#include "support/FakeHotKeyService.h"

#include <QCoreApplication>
#include <QKeyEvent>

using vantrel::test::FakeHotKeyService;

namespace {
const QString kKey = QStringLiteral("hotkeys.bindings.v1");

std::map<HotkeyAction, VantrelHotkey> loaded(const std::optional<QByteArray>& stored) {
    InMemoryDefaults defaults;
    if (stored) defaults.setData(kKey, *stored);
    HotkeyManager hotkeys(defaults);
    // Loading never writes.
    EXPECT_EQ(defaults.data(kKey), stored);
    return hotkeys.bindings();
}
} // namespace

TEST(HotkeyManagerTest, StoredBindingsAreReadWithTheDefaultOnlyWhenNothingUsableIsStored) {
    const std::map<HotkeyAction, VantrelHotkey> controlSpace{{HotkeyAction::commandPalette, {49, 4096}}};
    EXPECT_EQ(loaded(std::nullopt), controlSpace);
    EXPECT_EQ(loaded(QByteArray(R"({"notAnAction":{"keyCode":1,"carbonModifiers":256},)"
                                R"("openNotch":{"keyCode":45,"carbonModifiers":768}})")),
              (std::map<HotkeyAction, VantrelHotkey>{{HotkeyAction::openNotch, {45, 768}}}));
    EXPECT_TRUE(loaded(QByteArray("{}")).empty());
    EXPECT_EQ(loaded(QByteArray(R"({"openNotch":{"keyCode":"45","carbonModifiers":768}})")), controlSpace);
    EXPECT_EQ(loaded(QByteArray(R"({"openNotch":{"keyCode":45}})")), controlSpace);
    EXPECT_EQ(loaded(QByteArray(R"({"openNotch":{"keyCode":-1,"carbonModifiers":768}})")), controlSpace);
    EXPECT_EQ(loaded(QByteArray("not json")), controlSpace);

    // Written compactly, each member's fields in the order keyCode, carbonModifiers.
    InMemoryDefaults defaults;
    HotkeyManager hotkeys(defaults);
    hotkeys.save();
    EXPECT_EQ(defaults.data(kKey), QByteArray(R"({"commandPalette":{"keyCode":49,"carbonModifiers":4096}})"));
}

TEST(HotkeyManagerTest, RegistersInOrderKeepsIdentifiersAndRunsPressesOnALaterTurn) {
    InMemoryDefaults defaults;
    defaults.setData(kKey, R"({"toggleFocus":{"keyCode":3,"carbonModifiers":768},)"
                           R"("commandPalette":{"keyCode":49,"carbonModifiers":4096},)"
                           R"("openNotch":{"keyCode":45,"carbonModifiers":4352}})");
    FakeHotKeyService service;
    HotkeyManager hotkeys(defaults, &service);
    QStringList ran;
    const auto actionFor = [&ran](HotkeyAction action) {
        return [&ran, action] { ran << rawValue(action); };
    };
    hotkeys.registerAll(actionFor);
    EXPECT_EQ(service.calls, (QStringList{"installHandler", "register 1 49 4096", "register 2 45 4352",
                                          "register 3 3 768"}));
    EXPECT_EQ(*hotkeys.identifier(HotkeyAction::commandPalette), 1u);
    EXPECT_EQ(*hotkeys.identifier(HotkeyAction::openNotch), 2u);
    EXPECT_EQ(*hotkeys.identifier(HotkeyAction::toggleFocus), 3u);
    EXPECT_FALSE(hotkeys.lastError().has_value());

    // A press runs its action on a later turn, never inside the desktop's dispatch.
    ASSERT_TRUE(service.press(2));
    EXPECT_TRUE(ran.isEmpty());
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(ran, QStringList{"openNotch"});
    service.press(99);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(ran, QStringList{"openNotch"}) << "an identifier without an action is ignored";

    service.calls.clear();
    hotkeys.unregisterAll();
    EXPECT_EQ(service.calls, (QStringList{"unregister 1", "unregister 2", "unregister 3", "removeHandler"}));
    EXPECT_TRUE(service.registered.empty());
    EXPECT_FALSE(hotkeys.isRegistered(HotkeyAction::openNotch));
    // A press already under way when the keys went finds nothing to run.
    EXPECT_FALSE(service.press(2));
    service.calls.clear();
    hotkeys.unregisterAll();
    EXPECT_EQ(service.calls, QStringList{}) << "a second unregister is harmless";

    // Registered again: the same identifiers.
    hotkeys.registerAll(actionFor);
    EXPECT_EQ(service.calls, (QStringList{"installHandler", "register 1 49 4096", "register 2 45 4352",
                                          "register 3 3 768"}));
    EXPECT_EQ(hotkeys.bindings().size(), 3u);
    hotkeys.unregisterAll();
}

TEST(HotkeyManagerTest, ARefusalKeepsTheBindingStoredAndIsTriedAgain) {
    InMemoryDefaults defaults;
    FakeHotKeyService service;
    service.refused[49] = HotKeyService::Result::taken;
    HotkeyManager hotkeys(defaults, &service);
    int presses = 0;
    hotkeys.registerAll([&presses](HotkeyAction) { return [&presses] { ++presses; }; });
    EXPECT_FALSE(hotkeys.isRegistered(HotkeyAction::commandPalette));
    ASSERT_TRUE(hotkeys.lastError().has_value());
    EXPECT_EQ(*hotkeys.lastError(),
              QStringLiteral("macOS refused \u2303Space \u2014 another app may already use it."));
    EXPECT_EQ(hotkeys.bindings().size(), 1u);
    EXPECT_FALSE(defaults.data(kKey).has_value()) << "storage is never rewritten because of a refusal";
    service.press(1);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(presses, 0);

    // The other program let go: the next registration takes it; the message stays.
    service.refused.clear();
    hotkeys.unregisterAll();
    hotkeys.registerAll([&presses](HotkeyAction) { return [&presses] { ++presses; }; });
    EXPECT_TRUE(hotkeys.isRegistered(HotkeyAction::commandPalette));
    EXPECT_TRUE(hotkeys.lastError().has_value());
    service.press(1);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(presses, 1);

    // A key with no place on this keyboard is refused the same way, named by its number.
    InMemoryDefaults f13;
    f13.setData(kKey, R"({"openNotch":{"keyCode":105,"carbonModifiers":256}})");
    service.refused[105] = HotKeyService::Result::unknownKey;
    HotkeyManager unknown(f13, &service);
    unknown.registerAll([](HotkeyAction) { return [] {}; });
    EXPECT_EQ(*unknown.lastError(),
              QStringLiteral("macOS refused \u2318Key 105 \u2014 another app may already use it."));
}

TEST(HotkeyManagerTest, AStoredPlainKeyIsNeitherBoundNorRegisteredAndStaysStored) {
    InMemoryDefaults defaults;
    // Space alone, S with only the caps-lock bit 0x400: plain keys every program is typed into.
    const QByteArray stored = R"({"commandPalette":{"keyCode":49,"carbonModifiers":0},)"
                              R"("openNotch":{"keyCode":45,"carbonModifiers":768},)"
                              R"("toggleFocus":{"keyCode":1,"carbonModifiers":1024}})";
    defaults.setData(kKey, stored);
    FakeHotKeyService service;
    HotkeyManager hotkeys(defaults, &service);
    EXPECT_EQ(hotkeys.bindings(),
              (std::map<HotkeyAction, VantrelHotkey>{{HotkeyAction::openNotch, {45, 768}}}))
        << "no Control-Space default in place of the refused one either";
    ASSERT_TRUE(hotkeys.lastError().has_value());
    EXPECT_EQ(*hotkeys.lastError(),
              QStringLiteral("A hot key needs Control, Option, Shift or Command with its key."));

    hotkeys.registerAll([](HotkeyAction) { return [] {}; });
    EXPECT_EQ(service.calls, (QStringList{"installHandler", "register 1 45 768"}));
    EXPECT_FALSE(hotkeys.isRegistered(HotkeyAction::commandPalette));
    EXPECT_FALSE(hotkeys.isRegistered(HotkeyAction::toggleFocus));
    EXPECT_EQ(*hotkeys.lastError(),
              QStringLiteral("A hot key needs Control, Option, Shift or Command with its key."));
    EXPECT_EQ(defaults.data(kKey), stored);
    // Written back, the refused ones are kept as they were.
    hotkeys.save();
    EXPECT_EQ(defaults.data(kKey), stored);
    hotkeys.unregisterAll();

    // Shift alone is a modifier; a clean value says nothing.
    InMemoryDefaults shift;
    shift.setData(kKey, R"({"openNotch":{"keyCode":45,"carbonModifiers":512}})");
    HotkeyManager shifted(shift, &service);
    EXPECT_EQ(shifted.bindings().size(), 1u);
    EXPECT_FALSE(shifted.lastError().has_value());
}

TEST(HotkeyManagerTest, NamesFollowTheModifierOrderTheFixedNamesAndTheLayout) {
    FakeHotKeyService layout;
    layout.layout[0] = QStringLiteral("q"); // a French layout's A position
    layout.layout[18] = QStringLiteral("&");
    EXPECT_EQ(VantrelHotkey({0, 0x1000 | 0x800 | 0x200 | 0x100}).displayString(&layout),
              QStringLiteral("\u2303\u2325\u21E7\u2318Q"));
    EXPECT_EQ(VantrelHotkey({18, 0x100 | 0x200}).displayString(&layout), QStringLiteral("\u21E7\u2318&"));
    EXPECT_EQ(VantrelHotkey({49, 0x1000}).displayString(nullptr), QStringLiteral("\u2303Space"));
    const std::vector<std::pair<std::uint32_t, QString>> fixed{
        {36, "\u21A9"},  {48, "\u21E5"},  {49, "Space"},   {51, "\u232B"}, {53, "\u238B"},
        {123, "\u2190"}, {124, "\u2192"}, {125, "\u2193"}, {126, "\u2191"}};
    for (const auto& [code, name] : fixed) {
        layout.layout[code] = QStringLiteral("x");
        EXPECT_EQ(VantrelHotkey::keyName(code, &layout), name) << code;
    }
    EXPECT_EQ(VantrelHotkey::keyName(105, &layout), QStringLiteral("Key 105"));
    EXPECT_EQ(VantrelHotkey::keyName(50, nullptr), QStringLiteral("Key 50"));
    layout.layout[50] = QString();
    EXPECT_EQ(VantrelHotkey::keyName(50, &layout), QStringLiteral("Key 50"));
}

TEST(HotkeyManagerTest, KeyEventsMapToHotKeysByPositionAndEveryTableEntryRoundTrips) {
    const auto hotkey = [](int key, Qt::KeyboardModifiers modifiers, quint32 scanCode = 0) {
        return VantrelHotkey::fromEvent(QKeyEvent(QEvent::KeyPress, key, modifiers, scanCode, 0, 0));
    };
    EXPECT_EQ(hotkey(Qt::Key_A, Qt::ShiftModifier), (VantrelHotkey{0, 0x200}));
    EXPECT_FALSE(hotkey(Qt::Key_A, Qt::NoModifier).has_value());
    EXPECT_EQ(hotkey(Qt::Key_Space, Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier),
              (VantrelHotkey{49, 0x1000 | 0x800 | 0x100}));
    // The position wins over the key the layout gives: keycode 38 is the A position, whatever it prints.
    EXPECT_EQ(hotkey(Qt::Key_Q, Qt::ControlModifier, 38), (VantrelHotkey{0, 0x1000}));
    EXPECT_EQ(hotkey(Qt::Key_Enter, Qt::ControlModifier), (VantrelHotkey{36, 0x1000}));
    EXPECT_FALSE(hotkey(Qt::Key_F13, Qt::ControlModifier).has_value());

    EXPECT_EQ(KeyCodeTable::xKeycode(49), 65u);
    EXPECT_EQ(KeyCodeTable::xKeycode(0), 38u);
    EXPECT_EQ(KeyCodeTable::xKeycode(122), 67u);
    EXPECT_EQ(KeyCodeTable::xKeycode(126), 111u);
    EXPECT_FALSE(KeyCodeTable::xKeycode(105).has_value()) << "F13 is not in the table";
    // 26 letters, 10 digits, 11 punctuation keys, Return, Tab, Space, Delete, Escape, F1-F12, 4 arrows.
    EXPECT_EQ(KeyCodeTable::entries().size(), 68u);
    for (const KeyCodeTable::Entry& entry : KeyCodeTable::entries()) {
        const auto x = KeyCodeTable::xKeycode(entry.macKeyCode);
        ASSERT_TRUE(x.has_value()) << entry.macKeyCode;
        EXPECT_EQ(KeyCodeTable::macKeyCode(*x), entry.macKeyCode);
        EXPECT_EQ(KeyCodeTable::macKeyCodeForQtKey(entry.qtKey), entry.macKeyCode);
    }
}
