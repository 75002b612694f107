#include "services/HotkeyManager.h"

#include "platform/UserDefaults.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <limits>

namespace vantrel {

namespace {
std::optional<std::uint32_t> unsigned32(const QJsonValue& value) {
    if (!value.isDouble()) return std::nullopt;
    const double number = value.toDouble();
    if (number < 0 || number > std::numeric_limits<std::uint32_t>::max() ||
        number != static_cast<std::uint32_t>(number))
        return std::nullopt;
    return static_cast<std::uint32_t>(number);
}
} // namespace

HotkeyManager::HotkeyManager(UserDefaults& defaults, QObject* parent) : QObject(parent) {
    load(defaults);
}

void HotkeyManager::load(UserDefaults& defaults) {
    if (const auto data = defaults.data(QString::fromLatin1(kDefaultsKey))) {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(*data, &error);
        std::map<HotkeyAction, VantrelHotkey> decoded;
        bool valid = error.error == QJsonParseError::NoError && document.isObject();
        const QJsonObject members = document.object();
        for (auto it = members.begin(); valid && it != members.end(); ++it) {
            const QJsonObject hotkey = it.value().toObject();
            const auto keyCode = unsigned32(hotkey.value(QStringLiteral("keyCode")));
            const auto modifiers = unsigned32(hotkey.value(QStringLiteral("carbonModifiers")));
            // One malformed member spoils the whole value, as decoding it as a whole would.
            if (!it.value().isObject() || !keyCode || !modifiers) {
                valid = false;
                break;
            }
            if (const auto action = fromRawValue<HotkeyAction>(it.key()))
                decoded[*action] = {*keyCode, *modifiers};
        }
        if (valid) {
            bindings_ = std::move(decoded);
            return;
        }
    }
    // Nothing stored, or nothing usable: only the command palette has a default, Control-Space.
    bindings_[HotkeyAction::commandPalette] = {49, VantrelHotkey::kControl};
}

void HotkeyManager::installEventHandler() {
    hasEventHandler_ = true;
}

void HotkeyManager::refuseRegistrations() {
    refusesRegistrations_ = true;
    lastError_ = QString::fromUtf8(kNoGlobalKeysMessage);
    registrations_.clear();
    handlers_.clear();
}

void HotkeyManager::registerHotkey(HotkeyAction action, std::function<void()> perform) {
    if (refusesRegistrations_ || bindings_.count(action) == 0) return;
    auto [it, inserted] = identifiers_.try_emplace(action, nextIdentifier_);
    if (inserted) ++nextIdentifier_;
    registrations_[action] = it->second;
    handlers_[it->second] = std::move(perform);
}

void HotkeyManager::unregisterAll() {
    registrations_.clear();
    handlers_.clear();
    hasEventHandler_ = false;
}

} // namespace vantrel
