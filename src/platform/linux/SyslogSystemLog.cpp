#include "platform/linux/SyslogSystemLog.h"

#include <cstdio>
#include <syslog.h>

namespace vantrel {

SyslogSystemLog::SyslogSystemLog() {
    openlog("vantrel", LOG_PID, LOG_USER);
}
SyslogSystemLog::~SyslogSystemLog() {
    closelog();
}

void SyslogSystemLog::log(LogLevel level, const QString& subsystem, const QString& category,
                          const QString& message) {
    int priority = LOG_INFO;
    switch (level) {
    case LogLevel::debug:
        priority = LOG_DEBUG;
        break;
    case LogLevel::info:
        priority = LOG_INFO;
        break;
    case LogLevel::error:
        priority = LOG_ERR;
        break;
    case LogLevel::fault:
        priority = LOG_CRIT;
        break;
    }
    const QByteArray line =
        (QStringLiteral("[") + subsystem + QStringLiteral(":") + category + QStringLiteral("] ") + message)
            .toUtf8();
    // The message is user data: never let it act as a format string.
    syslog(priority, "%s", line.constData());
    if (level == LogLevel::error || level == LogLevel::fault)
        std::fprintf(stderr, "vantrel: %s\n", line.constData());
}

} // namespace vantrel
