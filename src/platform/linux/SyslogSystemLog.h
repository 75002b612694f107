#pragma once

#include "platform/SystemLog.h"

namespace vantrel {

// syslog(3) under the ident "vantrel"; errors and faults are echoed to stderr.
class SyslogSystemLog final : public SystemLog {
public:
    SyslogSystemLog();
    ~SyslogSystemLog() override;
    void log(LogLevel level, const QString& subsystem, const QString& category,
             const QString& message) override;
};

} // namespace vantrel
