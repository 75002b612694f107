#include "platform/linux/IcsCalendarService.h"

#include "platform/AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <system_error>

namespace vantrel {

IcsCalendarService::IcsCalendarService(QString folder, QTimeZone zone, DiagnosticRecorder recordDiagnostic,
                                       IcsCalendarReader::Budget budget, QObject* parent)
    : CalendarService(parent), folder_(QDir::cleanPath(std::move(folder))),
      recordDiagnostic_(std::move(recordDiagnostic)),
      reader_(std::make_shared<IcsCalendarReader>(folder_, std::move(zone), budget)),
      // An idle worker ends at once; one stuck in a hostile file must never hold up quitting.
      queue_(QStringLiteral("com.vantrel.calendars"), std::chrono::milliseconds(100)) {
    const auto changed = [this] {
        // A file saved by renaming a new one over it leaves the watch list; take it up again.
        updateWatchedPaths();
        Q_EMIT storeChanged();
    };
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, changed);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, changed);
    updateWatchedPaths();
}

IcsCalendarService::~IcsCalendarService() = default;

CalendarAuthorizationStatus IcsCalendarService::authorizationStatus() const {
    return QFileInfo(folder_).isDir() ? CalendarAuthorizationStatus::fullAccess
                                      : CalendarAuthorizationStatus::notDetermined;
}

void IcsCalendarService::requestFullAccess(AccessCompletion done) {
    bool made = true;
    try {
        // Inside the data folder, which this may be the first to make: the user's alone.
        createPrivateFolders(folder_);
    } catch (const std::system_error&) {
        made = false;
    }
    if (!made || !QFileInfo(folder_).isDir()) {
        done(false, QStringLiteral("Vantrel could not create the calendars folder %1.").arg(folder_));
        return;
    }
    updateWatchedPaths();
    done(true, std::nullopt);
}

void IcsCalendarService::updateWatchedPaths() {
    QStringList wanted;
    if (QFileInfo(folder_).isDir()) {
        wanted.append(folder_);
        const QDir dir(folder_);
        for (const QString& name : dir.entryList({QStringLiteral("*.ics")}, QDir::Files, QDir::Name))
            wanted.append(dir.filePath(name));
    }
    QStringList watched = watcher_.files() + watcher_.directories();
    QStringList stale;
    for (const QString& path : watched)
        if (!wanted.contains(path)) stale.append(path);
    if (!stale.isEmpty()) watcher_.removePaths(stale);
    QStringList added;
    for (const QString& path : wanted)
        if (!watched.contains(path)) added.append(path);
    if (!added.isEmpty()) watcher_.addPaths(added);
}

void IcsCalendarService::events(WallTime start, WallTime end, EventsAnswer answer) {
    updateWatchedPaths();
    if (authorizationStatus() != CalendarAuthorizationStatus::fullAccess) {
        answer({});
        return;
    }
    queue_.async([reader = reader_, port = port_.handle(), start, end, this, answer = std::move(answer)] {
        IcsCalendarReader::Answer found = reader->events(start, end);
        // `this` is touched only back on the main thread, and only while the service lives.
        port.post([this, answer, found = std::move(found)] {
            for (const QString& record : found.diagnostics) recordDiagnostic_(record);
            answer(found.events);
        });
    });
}

} // namespace vantrel
