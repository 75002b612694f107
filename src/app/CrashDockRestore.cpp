#include "app/CrashDockRestore.h"

#include "dock/ProcessDockDefaultsClient.h"
#include "dock/SystemDockSuppressor.h"
#include "platform/SystemLog.h"
#include "platform/UserDefaults.h"

#include <atomic>
#include <cstdlib>
#include <cxxabi.h>
#include <memory>

namespace vantrel {

namespace {
UserDefaultsProvider* crashDefaults = nullptr;
SystemLog* crashLog = nullptr;
std::terminate_handler previousHandler = nullptr;
std::atomic_flag handling = ATOMIC_FLAG_INIT;

void onTerminate() {
    // A second failure inside the handler must not loop back into it.
    if (handling.test_and_set()) std::abort();
    const std::exception_ptr exception = std::current_exception();
    if (exception && crashDefaults && crashLog) {
        try {
            // The failure may have come from any thread, while the main thread still owns its
            // settings store and scheduler: the restore reads and writes the files through an
            // instance of its own, which writes each change at once.
            if (std::unique_ptr<UserDefaultsProvider> own = crashDefaults->makeIndependentInstance()) {
                ProcessDockDefaultsClient client(QStringLiteral("com.apple.dock"), 4.0, *own, *crashLog);
                SystemDockSuppressor{client, own->standard()}.restorePreservedState();
            }
            crashLog->log(LogLevel::fault, QString::fromLatin1(kLogSubsystem), QStringLiteral("Crash"),
                          QStringLiteral("Vantrel crashed, native Dock restored: ") +
                              describeException(exception));
        } catch (...) {
            // The process is going down either way; the original failure is what counts.
        }
    }
    if (previousHandler) previousHandler();
    std::abort();
}
} // namespace

QString describeException(std::exception_ptr exception) {
    if (!exception) return QStringLiteral("no exception");
    try {
        std::rethrow_exception(exception);
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        // Not a standard exception: its type is all there is to say.
        if (const std::type_info* type = abi::__cxa_current_exception_type()) {
            int status = 0;
            std::unique_ptr<char, decltype(&std::free)> name(
                abi::__cxa_demangle(type->name(), nullptr, nullptr, &status), &std::free);
            return QStringLiteral("exception of type ") +
                   QString::fromUtf8(status == 0 && name ? name.get() : type->name());
        }
    }
    return QStringLiteral("unknown exception");
}

void installCrashDockRestore(UserDefaultsProvider& defaults, SystemLog& log) {
    crashDefaults = &defaults;
    crashLog = &log;
    std::terminate_handler previous = std::set_terminate(onTerminate);
    if (previous != onTerminate) previousHandler = previous;
}

} // namespace vantrel
