#include "dock/ProcessDockDefaultsClient.h"

#include "platform/SystemLog.h"
#include "platform/UserDefaults.h"

#include <QJsonDocument>
#include <QJsonValue>

namespace vantrel {

ProcessDockDefaultsClient::ProcessDockDefaultsClient(QString domain, double commandTimeout,
                                                     UserDefaultsProvider& defaults, SystemLog& log)
    : domain_(std::move(domain)), commandTimeout_(commandTimeout), defaults_(defaults), log_(log) {}

DockPreferenceRead ProcessDockDefaultsClient::read(const QString& key) {
    const QJsonValue value = defaults_.suite(domain_).object(key);
    switch (value.type()) {
    case QJsonValue::Undefined:
    case QJsonValue::Null:
        return DockPreferenceRead::absent();
    // Booleans read back as 1 and 0, the way the system's defaults tool prints them.
    case QJsonValue::Bool:
        return DockPreferenceRead::value(value.toBool() ? QStringLiteral("1") : QStringLiteral("0"));
    case QJsonValue::Double:
        return DockPreferenceRead::value(QString::number(value.toDouble(), 'g', 15));
    case QJsonValue::String:
        return DockPreferenceRead::value(value.toString().trimmed());
    default:
        return DockPreferenceRead::failure();
    }
}

bool ProcessDockDefaultsClient::write(const QString& key, const QString& typeFlag, const QString& value) {
    QJsonValue stored;
    const QString text = value.trimmed().toLower();
    if (typeFlag == u"-bool") {
        if (text == u"true" || text == u"yes" || text == u"1")
            stored = true;
        else if (text == u"false" || text == u"no" || text == u"0")
            stored = false;
        else
            return false;
    } else if (typeFlag == u"-float") {
        bool ok = false;
        const double number = value.trimmed().toDouble(&ok);
        if (!ok) return false;
        stored = number;
    } else if (typeFlag == u"-string") {
        stored = value;
    } else {
        return false;
    }
    UserDefaults& domain = defaults_.suite(domain_);
    domain.set(key, stored);
    domain.synchronize();
    return true;
}

bool ProcessDockDefaultsClient::deleteKey(const QString& key) {
    UserDefaults& domain = defaults_.suite(domain_);
    if (!domain.contains(key)) return false;
    domain.remove(key);
    domain.synchronize();
    return true;
}

bool ProcessDockDefaultsClient::restartDock() {
    log_.log(LogLevel::info, QString::fromLatin1(kLogSubsystem), QStringLiteral("Dock"),
             QStringLiteral("Dock restarted to apply %1").arg(domain_));
    return true;
}

} // namespace vantrel
