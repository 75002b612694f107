// A small program around the real notes store, file system and event loop, for a test that kills
// it without warning. Like the application, it first clears the data folder of stale temporary
// files. It says "ready <body of the selected note>" once loaded. Given edits as arguments, it
// types the first, says "saved" once the debounced save has run, types the second, says "edited"
// and waits to be killed. With VANTREL_DRIVER_PAUSE_AT="<n>:<text>" it stops for good at the n-th
// temporary file whose path holds the text, complete on disk but not yet in place, and says
// "paused <its path>".

#include "core/LocalPersistence.h"
#include "core/QAObserver.h"
#include "modules/NotesStore.h"
#include "platform/AppPaths.h"
#include "platform/BundleInfo.h"
#include "platform/Environment.h"
#include "platform/linux/PosixFileManager.h"
#include "platform/linux/QtScheduler.h"
#include "platform/linux/SyslogSystemLog.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

using namespace vantrel;

namespace {
void say(const QString& line) {
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    SystemClock clock;
    QtScheduler scheduler;
    SyslogSystemLog log;
    ProcessEnvironment environment;
    const AppPaths paths = AppPaths::fromEnvironment(environment);
    const BundleInfo bundle = BundleInfo::main();
    const QString pauseAt = qEnvironmentVariable("VANTREL_DRIVER_PAUSE_AT");
    const QString pauseText = pauseAt.section(QLatin1Char(':'), 1);
    int pauseCountdown = pauseAt.section(QLatin1Char(':'), 0, 0).toInt();
    PosixFileManager files([&](const QString& temporary) {
        if (pauseText.isEmpty() || !temporary.contains(pauseText) || --pauseCountdown > 0) return;
        say(QStringLiteral("paused ") + temporary);
        for (;;) ::pause();
    });
    LocalPersistence persistence(
        LocalPersistence::Store{LocalPersistence::dataDirectory(paths, bundle), &files}, clock, log,
        LocalPersistence::logSubsystem(bundle));
    persistence.removeLeftovers();
    QAObserver observer(clock, files, paths);
    NotesStore store(QStringLiteral("notes.json"), persistence, observer, clock, scheduler);
    say(QStringLiteral("ready ") + store.notes()[*store.selectedIndex()].body +
        (store.recoveryMessage() ? QStringLiteral(" (recovered)") : QString()));
    const QStringList edits = app.arguments().mid(1);
    if (edits.size() != 2) return 0;

    store.updateSelected(edits[0]);
    QTimer poll; // the save runs on the store's own scheduler; this only looks for its end
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (store.hasPendingSave()) return;
        poll.stop();
        say(QStringLiteral("saved"));
        store.updateSelected(edits[1]);
        say(QStringLiteral("edited"));
    });
    poll.start(5);
    return app.exec();
}
