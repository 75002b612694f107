#pragma once

#include <QString>
#include <exception>

namespace vantrel {

class SystemLog;
class UserDefaultsProvider;

// The last resort when an exception escapes: the system Dock gets its own settings back before
// the process dies. The handler runs on the thread that raised and restores synchronously through
// an independent instance of `defaults` (never `defaults` itself, which belongs to the main
// thread; a provider that has no independent instance restores nothing), writes
// "Vantrel crashed, native Dock restored: <description>" to the system log and then lets the
// process end as it would have. `defaults` and `log` must outlive the process's main function.
void installCrashDockRestore(UserDefaultsProvider& defaults, SystemLog& log);

// The text that stands for an exception in the crash line.
QString describeException(std::exception_ptr exception);

} // namespace vantrel
