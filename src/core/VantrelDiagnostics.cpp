#include "core/VantrelDiagnostics.h"

#include "core/QAObserver.h"
#include "platform/Environment.h"
#include "platform/SystemLog.h"
#include "platform/UserDefaults.h"

namespace vantrel {

VantrelDiagnostics::VantrelDiagnostics(const Clock& clock, SystemLog& log, const Environment& environment,
                                       const UserDefaults& standardDefaults, QAObserver& qaObserver,
                                       QObject* parent)
    : QObject(parent), clock_(clock), log_(log), environment_(environment), defaults_(standardDefaults),
      qaObserver_(qaObserver) {}

bool VantrelDiagnostics::isEnabled() const {
    if (environment_.value(QStringLiteral("VANTREL_QA_MODE")) == QStringLiteral("1")) return true;
    return defaults_.boolValue(QStringLiteral("vantrel.qaMode"));
}

void VantrelDiagnostics::record(Category category, const QString& message) {
    log_.log(LogLevel::debug, QString::fromLatin1(kLogSubsystem), QStringLiteral("QA"),
             QStringLiteral("[%1] %2").arg(rawValue(category), message));
    qaObserver_.record(rawValue(category), message);
    if (!isEnabled()) return;
    entries_.append({QUuid::createUuid(), clock_.now(), category, message});
    if (entries_.size() > maximumEntries) entries_.remove(0, entries_.size() - maximumEntries);
    Q_EMIT entriesChanged();
}

} // namespace vantrel
