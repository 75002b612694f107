// A small program around the real Trash, for checks that empty it from outside, move its folders
// meanwhile, or kill it mid-way.
//
// "trash-driver empty": empties the home trash under $XDG_DATA_HOME (else ~/.local/share), then
// says "emptied <ms>" or "failed <ms> <message>". With VANTREL_DRIVER_EXIT_AFTER_ASIDE=<n> it ends
// at once, as if killed, right after the n-th entry was set aside.

#include "platform/linux/FreedesktopTrash.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <cstdio>
#include <unistd.h>

using namespace vantrel;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (app.arguments().value(1) != u"empty") {
        std::fprintf(stderr, "usage: vantrel_trash_driver empty\n");
        return 2;
    }
    FreedesktopTrash trash(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    int exitAfter = qEnvironmentVariableIntValue("VANTREL_DRIVER_EXIT_AFTER_ASIDE");
    if (exitAfter > 0)
        trash.setAfterSettingAside([&exitAfter] {
            if (--exitAfter == 0) ::_exit(9);
        });
    QElapsedTimer timer;
    timer.start();
    QString error;
    const bool emptied = trash.empty(&error);
    const qint64 ms = timer.elapsed();
    if (emptied)
        std::printf("emptied %lld\n", static_cast<long long>(ms));
    else
        std::printf("failed %lld %s\n", static_cast<long long>(ms), error.toUtf8().constData());
    return emptied ? 0 : 1;
}
