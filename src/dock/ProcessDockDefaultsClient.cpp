#include "dock/ProcessDockDefaultsClient.h"

#include "platform/SystemLog.h"
#include "platform/UserDefaults.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <optional>

namespace vantrel {

namespace {

// The value a write with `typeFlag` stores, or none when the option or the text is refused.
std::optional<QJsonValue> storedValue(const QString& typeFlag, const QString& value) {
    const QString text = value.trimmed().toLower();
    if (typeFlag == u"-bool") {
        if (text == u"true" || text == u"yes" || text == u"1") return QJsonValue(true);
        if (text == u"false" || text == u"no" || text == u"0") return QJsonValue(false);
        return std::nullopt;
    }
    if (typeFlag == u"-float") {
        bool ok = false;
        const double number = value.trimmed().toDouble(&ok);
        if (!ok) return std::nullopt;
        return QJsonValue(number);
    }
    if (typeFlag == u"-string") return QJsonValue(value);
    return std::nullopt;
}

} // namespace

ProcessDockDefaultsClient::ProcessDockDefaultsClient(QString domain, double commandTimeout,
                                                     UserDefaultsProvider& defaults, SystemLog& log)
    : domain_(std::move(domain)), commandTimeout_(commandTimeout), defaults_(defaults), log_(log) {}

DockPreferenceRead ProcessDockDefaultsClient::read(const QString& key) {
    const UserDefaults& domain = defaults_.suite(domain_);
    // A domain that cannot be read holds values nobody can see: none of them is absent.
    if (!domain.readProblem().isEmpty()) return DockPreferenceRead::failure();
    const QJsonValue value = domain.object(key);
    switch (value.type()) {
    case QJsonValue::Undefined:
    case QJsonValue::Null:
        return DockPreferenceRead::absent();
    // Booleans read back as 1 and 0, the way the system's defaults tool prints them.
    case QJsonValue::Bool:
        return DockPreferenceRead::value(value.toBool() ? QStringLiteral("1") : QStringLiteral("0"),
                                         QStringLiteral("-bool"));
    case QJsonValue::Double:
        return DockPreferenceRead::value(exactNumberText(value.toDouble()), QStringLiteral("-float"));
    case QJsonValue::String: {
        // A text is judged as the defaults tool prints it, trimmed, and written back as it is held.
        const QString held = value.toString();
        const QString trimmed = held.trimmed();
        return DockPreferenceRead::value(trimmed, QStringLiteral("-string"),
                                         trimmed == held ? QString() : held);
    }
    default:
        return DockPreferenceRead::failure();
    }
}

bool ProcessDockDefaultsClient::write(const QString& key, const QString& typeFlag, const QString& value) {
    const std::optional<QJsonValue> stored = storedValue(typeFlag, value);
    // Through the change that reports whether the file took it: a write the disk refused is a
    // failed command, never a success that only lives in memory.
    return stored && defaults_.suite(domain_).setAll(QJsonObject{{key, *stored}});
}

bool ProcessDockDefaultsClient::writeAll(const std::vector<NativeDockSetting>& settings,
                                         const QStringList& deletions) {
    QJsonObject change;
    for (const QString& key : deletions) change.insert(key, QJsonValue::Null);
    // Every text is checked before anything is stored: one refused write refuses the whole set.
    for (const NativeDockSetting& setting : settings) {
        const std::optional<QJsonValue> stored = storedValue(setting.typeFlag, setting.value);
        if (!stored) return false;
        change.insert(setting.key, *stored);
    }
    return defaults_.suite(domain_).setAll(change);
}

bool ProcessDockDefaultsClient::deleteKey(const QString& key) {
    UserDefaults& domain = defaults_.suite(domain_);
    return domain.contains(key) && domain.setAll(QJsonObject{{key, QJsonValue::Null}});
}

bool ProcessDockDefaultsClient::restartDock() {
    log_.log(LogLevel::info, QString::fromLatin1(kLogSubsystem), QStringLiteral("Dock"),
             QStringLiteral("Dock restarted to apply %1").arg(domain_));
    return true;
}

} // namespace vantrel
