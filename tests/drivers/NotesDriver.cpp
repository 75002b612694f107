// A small program around the real notes store, file system and event loop, for a test that kills
// it without warning. It says "ready <first line of the selected note>" once loaded, answers each
// "edit <text>" line on standard input with "edited <text>", and says "saved <first line>"
// whenever the notes file is replaced.

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
#include <QFile>
#include <QFileSystemWatcher>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>
#include <cstdio>
#include <unistd.h>

using namespace vantrel;

namespace {

void say(const QString& line) {
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

QString firstLineOnDisk(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QJsonDocument::fromJson(file.readAll())["notes"][0]["body"].toString().section(u'\n', 0, 0);
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
    PosixFileManager files;
    LocalPersistence persistence(
        LocalPersistence::Store{LocalPersistence::dataDirectory(paths, bundle), &files}, clock, log,
        LocalPersistence::logSubsystem(bundle));
    QAObserver observer(clock, paths);
    NotesStore store(QStringLiteral("notes.json"), persistence, observer, clock, scheduler);
    const QString path = persistence.store().url(QStringLiteral("notes.json"));

    files.createDirectory(persistence.directory());
    QFileSystemWatcher watcher({persistence.directory()});
    QString lastReported = firstLineOnDisk(path);
    QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, [&] {
        const QString line = firstLineOnDisk(path);
        if (line.isEmpty() || line == lastReported) return;
        lastReported = line;
        say(QStringLiteral("saved ") + line);
    });

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) return QCoreApplication::exit(0);
        pending.append(buffer, n);
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1)) {
            const QString command = QString::fromUtf8(pending.left(end));
            if (!command.startsWith(QStringLiteral("edit "))) continue;
            store.updateSelected(command.mid(5));
            say(QStringLiteral("edited ") + command.mid(5));
        }
    });
    say(QStringLiteral("ready ") + store.notes()[*store.selectedIndex()].body.section(u'\n', 0, 0));
    return app.exec();
}
