#include "platform/linux/IcsCalendarService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <iterator>

namespace vantrel {

namespace {
// A calendar export of many years stays far below this; anything larger is not read whole.
constexpr qint64 kMaximumFileBytes = 32 * 1024 * 1024;
} // namespace

IcsCalendarService::IcsCalendarService(QString folder, QTimeZone zone, DiagnosticRecorder recordDiagnostic,
                                       QObject* parent)
    : CalendarService(parent), folder_(QDir::cleanPath(std::move(folder))), zone_(std::move(zone)),
      recordDiagnostic_(std::move(recordDiagnostic)) {
    const auto changed = [this] {
        // A file saved by renaming a new one over it leaves the watch list; take it up again.
        updateWatchedPaths();
        Q_EMIT storeChanged();
    };
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, changed);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, changed);
    updateWatchedPaths();
}

CalendarAuthorizationStatus IcsCalendarService::authorizationStatus() const {
    return QFileInfo(folder_).isDir() ? CalendarAuthorizationStatus::fullAccess
                                      : CalendarAuthorizationStatus::notDetermined;
}

void IcsCalendarService::requestFullAccess(AccessCompletion done) {
    if (!QDir().mkpath(folder_) || !QFileInfo(folder_).isDir()) {
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

const IcsCalendarService::CachedFile& IcsCalendarService::read(const QString& path) {
    const QFileInfo info(path);
    auto it = cache_.find(path);
    if (it != cache_.end() && it->second.modified == info.lastModified() && it->second.size == info.size())
        return it->second;

    CachedFile entry{info.lastModified(), info.size(), std::nullopt};
    const QString name = info.fileName();
    QFile file(path);
    if (info.size() > kMaximumFileBytes) {
        recordDiagnostic_(QStringLiteral("calendar file %1 skipped: larger than %2 bytes")
                              .arg(name)
                              .arg(kMaximumFileBytes));
    } else if (!file.open(QIODevice::ReadOnly)) {
        recordDiagnostic_(QStringLiteral("calendar file %1 skipped: %2").arg(name, file.errorString()));
    } else {
        ICalendarParseResult result = parseICalendar(file.readAll(), zone_);
        // One record per file version, naming everything that was left out.
        const QString problems = result.problems.join(QStringLiteral("; "));
        if (!result.calendar)
            recordDiagnostic_(QStringLiteral("calendar file %1 skipped: %2").arg(name, problems));
        else if (!problems.isEmpty())
            recordDiagnostic_(
                QStringLiteral("calendar file %1 partly read, left out: %2").arg(name, problems));
        entry.calendar = std::move(result.calendar);
    }
    return cache_.insert_or_assign(path, std::move(entry)).first->second;
}

std::vector<CalendarEvent> IcsCalendarService::events(WallTime start, WallTime end) {
    updateWatchedPaths();
    std::vector<CalendarEvent> found;
    if (authorizationStatus() != CalendarAuthorizationStatus::fullAccess) return found;
    const QDir dir(folder_);
    std::map<QString, CachedFile> seen;
    for (const QString& name : dir.entryList({QStringLiteral("*.ics")}, QDir::Files, QDir::Name)) {
        const QString path = dir.filePath(name);
        const CachedFile& file = read(path);
        if (file.calendar) {
            auto events = file.calendar->events(start, end);
            std::move(events.begin(), events.end(), std::back_inserter(found));
        }
        seen.insert(cache_.extract(path));
    }
    // Files that are gone leave the cache with them.
    cache_ = std::move(seen);
    return found;
}

} // namespace vantrel
