#include "services/HotkeyManager.h"

#include "platform/HotKeyService.h"
#include "platform/UserDefaults.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaObject>
#include <QPointer>
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

HotkeyManager::HotkeyManager(UserDefaults& defaults, HotKeyService* service, QObject* parent)
    : QObject(parent), defaults_(defaults), service_(service) {
    load();
}

void HotkeyManager::load() {
    if (const auto data = defaults_.data(QString::fromLatin1(kDefaultsKey))) {
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
            // A plain key is refused, as a key press without a modifier never forms a hot key: grabbed
            // globally it would be taken from every program typed into. It stays stored, and the
            // action unbound rather than given a default the user did not choose.
            for (auto it = decoded.begin(); it != decoded.end();) {
                if (it->second.hasModifier()) {
                    ++it;
                    continue;
                }
                refused_.insert(*it);
                it = decoded.erase(it);
            }
            bindings_ = std::move(decoded);
            if (!refused_.empty()) setLastError(VantrelHotkey::modifierRequiredMessage());
            return;
        }
    }
    // Nothing stored, or nothing usable: only the command palette has a default, Control-Space.
    bindings_[HotkeyAction::commandPalette] = {49, VantrelHotkey::kControl};
}

void HotkeyManager::save() {
    // Written by hand, so each member keeps the order keyCode, carbonModifiers.
    QByteArray json = "{";
    bool first = true;
    std::map<HotkeyAction, VantrelHotkey> stored = refused_;
    for (const auto& [action, hotkey] : bindings_) stored[action] = hotkey;
    for (const auto& [action, hotkey] : stored) {
        if (!first) json += ',';
        first = false;
        json += '"' + rawValue(action).toUtf8() + "\":{\"keyCode\":" + QByteArray::number(hotkey.keyCode) +
                ",\"carbonModifiers\":" + QByteArray::number(hotkey.carbonModifiers) + '}';
    }
    json += '}';
    defaults_.setData(QString::fromLatin1(kDefaultsKey), json);
}

void HotkeyManager::setLastError(const QString& message) {
    if (lastError_ == message) return;
    lastError_ = message;
    Q_EMIT lastErrorChanged();
}

std::optional<std::uint32_t> HotkeyManager::identifier(HotkeyAction action) const {
    const auto it = identifiers_.find(action);
    if (it == identifiers_.end()) return std::nullopt;
    return it->second;
}

void HotkeyManager::registerAll(const std::function<std::function<void()>(HotkeyAction)>& actionFor) {
    if (!hasEventHandler_) installEventHandler();
    for (HotkeyAction action : allCasesOf<HotkeyAction>())
        if (bindings_.count(action) != 0) registerHotkey(action, actionFor(action));
}

void HotkeyManager::installEventHandler() {
    if (hasEventHandler_) return;
    hasEventHandler_ = true;
    if (!service_) return;
    const QPointer<HotkeyManager> self(this);
    service_->installHandler([self](std::uint32_t identifier) {
        if (!self) return;
        // The action runs on a later turn of the main loop, never inside the desktop's dispatch.
        QMetaObject::invokeMethod(
            self.data(),
            [self, identifier] {
                if (self) self->handlePress(identifier);
            },
            Qt::QueuedConnection);
    });
}

void HotkeyManager::handlePress(std::uint32_t identifier) {
    const auto it = handlers_.find(identifier);
    if (it == handlers_.end()) return;
    // A copy: the action may unregister every key.
    const std::function<void()> perform = it->second;
    if (perform) perform();
}

void HotkeyManager::registerHotkey(HotkeyAction action, std::function<void()> perform) {
    const auto binding = bindings_.find(action);
    if (binding == bindings_.end()) return;
    if (!hasEventHandler_) installEventHandler();
    auto [it, inserted] = identifiers_.try_emplace(action, nextIdentifier_);
    if (inserted) ++nextIdentifier_;
    const std::uint32_t identifier = it->second;
    if (registrations_.count(action) != 0 && service_) service_->unregisterHotKey(identifier);
    registrations_.erase(action);
    handlers_.erase(identifier);

    const HotKeyService::Result result =
        service_
            ? service_->registerHotKey(identifier, binding->second.keyCode, binding->second.carbonModifiers)
            : HotKeyService::Result::unavailable;
    if (result == HotKeyService::Result::registered) {
        registrations_[action] = identifier;
        handlers_[identifier] = std::move(perform);
        return;
    }
    // The binding stays, in memory and stored: where no key can be grabbed at all (no X11), or
    // another program holds it for now, dropping it would lose it for every later session.
    if (result == HotKeyService::Result::unavailable)
        setLastError(QString::fromLatin1(kNoGlobalKeysMessage));
    else
        setLastError(QStringLiteral("macOS refused ") + binding->second.displayString(service_) +
                     QStringLiteral(" \u2014 another app may already use it."));
}

void HotkeyManager::unregisterAll() {
    if (service_) {
        for (const auto& [action, identifier] : registrations_) service_->unregisterHotKey(identifier);
        if (hasEventHandler_) service_->removeHandler();
    }
    registrations_.clear();
    handlers_.clear();
    hasEventHandler_ = false;
}

} // namespace vantrel
