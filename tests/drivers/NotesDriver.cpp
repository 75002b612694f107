// A small program around the real notes store, the real file system and the real event loop, for
// tests that must kill a process at an awkward moment. It reads commands from standard input:
//   edit <text>            replaces the selected note's body, answers "edited <text>"
//   churn <notes> <ms>     fills the document with <notes> notes of a page each, then edits the
//                          selected note every <ms> milliseconds with "edit <n>" as its first line
// and reports "saved <first line of the selected note>" whenever the notes file is replaced.

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
#include <QTimer>
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
    const QJsonArray notes =
        QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("notes")).toArray();
    return notes.isEmpty()
               ? QString()
               : notes[0].toObject().value(QStringLiteral("body")).toString().section(u'\n', 0, 0);
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

    QTimer churn;
    int edits = 0;
    QObject::connect(&churn, &QTimer::timeout, [&] {
        const QString filler =
            QStringLiteral("Lorem ipsum dolor sit amet, consectetur adipiscing elit. ").repeated(20);
        store.updateSelected(QStringLiteral("edit %1\n").arg(++edits) + filler);
    });

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            store.saveNow();
            QCoreApplication::exit(0);
            return;
        }
        pending.append(buffer, n);
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QString command = QString::fromUtf8(pending.left(end));
            pending.remove(0, end + 1);
            if (command.startsWith(QStringLiteral("edit "))) {
                store.updateSelected(command.mid(5));
                say(QStringLiteral("edited ") + command.mid(5));
            } else if (command.startsWith(QStringLiteral("churn "))) {
                const QStringList parts = command.split(u' ');
                QList<VantrelNote> notes = store.notes();
                const QString page = QStringLiteral("A page of an older note. ").repeated(40);
                for (int i = notes.size(); i < parts.value(1).toInt(); ++i) {
                    VantrelNote note;
                    note.id = QUuid::createUuid();
                    note.title = QStringLiteral("Note %1").arg(i);
                    note.body = page;
                    note.modifiedAt = clock.now();
                    notes.append(note);
                }
                store.setNotes(notes);
                churn.start(parts.value(2).toInt());
                say(QStringLiteral("churning"));
            }
        }
    });
    say(QStringLiteral("ready"));
    return app.exec();
}
