#pragma once

#include "platform/CalendarService.h"
#include "platform/linux/ICalendar.h"

#include <QDateTime>
#include <QFileSystemWatcher>
#include <QTimeZone>
#include <functional>
#include <map>

namespace vantrel {

// The user's calendars as iCalendar files in one folder ($XDG_DATA_HOME/Vantrel/calendars).
// Access counts as granted when the folder exists; asking for access creates it. The folder
// and its files are watched, so an added, changed or removed file reports a store change.
class IcsCalendarService final : public CalendarService {
    Q_OBJECT

public:
    using DiagnosticRecorder = std::function<void(const QString& message)>;

    IcsCalendarService(QString folder, QTimeZone zone, DiagnosticRecorder recordDiagnostic,
                       QObject* parent = nullptr);

    CalendarAuthorizationStatus authorizationStatus() const override;
    void requestFullAccess(AccessCompletion done) override;
    std::vector<CalendarEvent> events(WallTime start, WallTime end) override;

    const QString& folder() const { return folder_; }

private:
    struct CachedFile {
        QDateTime modified;
        qint64 size = 0;
        std::optional<ICalendar> calendar;
    };

    void updateWatchedPaths();
    const CachedFile& read(const QString& path);

    QString folder_;
    QTimeZone zone_;
    DiagnosticRecorder recordDiagnostic_;
    QFileSystemWatcher watcher_;
    // Parsed files by path, reused while a file keeps its time and size, so a damaged file is
    // parsed and reported once per version rather than on every refresh.
    std::map<QString, CachedFile> cache_;
};

} // namespace vantrel
