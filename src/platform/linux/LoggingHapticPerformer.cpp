#include "platform/linux/LoggingHapticPerformer.h"

#include "platform/SystemLog.h"

namespace vantrel {

void LoggingHapticPerformer::perform(HapticFeedbackPattern pattern) {
    log_.log(LogLevel::debug, QString::fromLatin1(kLogSubsystem), QStringLiteral("Haptics"),
             QStringLiteral("perform ") + rawValue(pattern));
}

} // namespace vantrel
