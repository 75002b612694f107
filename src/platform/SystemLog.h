#pragma once

#include <QString>

namespace vantrel {

enum class LogLevel { debug, info, error, fault };

// The unified log: one line per record with its subsystem and category.
class SystemLog {
public:
    virtual ~SystemLog() = default;
    virtual void log(LogLevel level, const QString& subsystem, const QString& category,
                     const QString& message) = 0;
};

inline constexpr const char* kLogSubsystem = "com.vantrel.mac";

} // namespace vantrel
