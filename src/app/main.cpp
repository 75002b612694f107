#include "core/VantrelPreferences.h"
#include "platform/AppPaths.h"
#include "platform/Environment.h"
#include "platform/linux/JsonFileDefaults.h"
#include "platform/linux/QtScheduler.h"
#include "platform/linux/SyslogSystemLog.h"

#include <QApplication>

using namespace vantrel;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));

    SystemClock clock;
    QtScheduler scheduler;
    SyslogSystemLog log;
    ProcessEnvironment environment;
    const AppPaths paths = AppPaths::fromEnvironment(environment);
    JsonDefaultsProvider defaults(paths.defaultsFolder(), scheduler, clock, log);
    VantrelPreferences preferences(defaults.standard());
    VantrelPreferences::setShared(&preferences);
    defaults.flushAll();
    VantrelPreferences::setShared(nullptr);
    return 0;
}
