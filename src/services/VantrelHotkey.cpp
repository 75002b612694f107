#include "services/VantrelHotkey.h"

#include "platform/HotKeyService.h"
#include "platform/KeyCodeTable.h"

#include <QKeyEvent>
#include <array>
#include <utility>

namespace vantrel {

QString VantrelHotkey::modifierRequiredMessage() {
    return QStringLiteral("A hot key needs Control, Option, Shift or Command with its key.");
}

QString VantrelHotkey::displayString(const HotKeyService* layout) const {
    QString text;
    if (carbonModifiers & kControl) text += QChar(0x2303);
    if (carbonModifiers & kOption) text += QChar(0x2325);
    if (carbonModifiers & kShift) text += QChar(0x21E7);
    if (carbonModifiers & kCommand) text += QChar(0x2318);
    return text + keyName(keyCode, layout);
}

QString VantrelHotkey::keyName(std::uint32_t keyCode, const HotKeyService* layout) {
    static constexpr std::array<std::pair<std::uint32_t, char16_t>, 8> kSymbols{{
        {36, 0x21A9},
        {48, 0x21E5},
        {51, 0x232B},
        {53, 0x238B},
        {123, 0x2190},
        {124, 0x2192},
        {125, 0x2193},
        {126, 0x2191},
    }};
    if (keyCode == 49) return QStringLiteral("Space");
    for (const auto& [code, symbol] : kSymbols)
        if (code == keyCode) return QString(QChar(symbol));
    if (layout) {
        if (const std::optional<QString> symbol = layout->keySymbol(keyCode); symbol && !symbol->isEmpty())
            return symbol->toUpper();
    }
    return QStringLiteral("Key %1").arg(keyCode);
}

std::optional<VantrelHotkey> VantrelHotkey::fromEvent(const QKeyEvent& event) {
    std::uint32_t modifiers = 0;
    const Qt::KeyboardModifiers flags = event.modifiers();
    if (flags & Qt::MetaModifier) modifiers |= kCommand;
    if (flags & Qt::ShiftModifier) modifiers |= kShift;
    if (flags & Qt::AltModifier) modifiers |= kOption;
    if (flags & Qt::ControlModifier) modifiers |= kControl;
    if (modifiers == 0) return std::nullopt;
    std::optional<std::uint32_t> code;
    if (event.nativeScanCode() != 0) code = KeyCodeTable::macKeyCode(event.nativeScanCode());
    if (!code) code = KeyCodeTable::macKeyCodeForQtKey(event.key());
    if (!code) return std::nullopt;
    return VantrelHotkey{*code, modifiers};
}

} // namespace vantrel
