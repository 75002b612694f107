#pragma once

#include "platform/CalendarService.h"
#include "platform/ResultPort.h"
#include "platform/ThreadWorkQueue.h"
#include "platform/linux/IcsCalendarReader.h"

#include <QFileSystemWatcher>
#include <QTimeZone>
#include <functional>
#include <memory>

namespace vantrel {

// The user's calendars as iCalendar files in one folder ($XDG_DATA_HOME/Vantrel/calendars).
// Access counts as granted when the folder exists; asking for access creates it. The folder
// and its files are watched, so an added, changed or removed file reports a store change. The
// files are read on a worker thread of the service's own (see IcsCalendarReader); destroying the
// service never waits for a read in progress.
class IcsCalendarService final : public CalendarService {
    Q_OBJECT

public:
    using DiagnosticRecorder = std::function<void(const QString& message)>;

    IcsCalendarService(QString folder, QTimeZone zone, DiagnosticRecorder recordDiagnostic,
                       IcsCalendarReader::Budget budget = {}, QObject* parent = nullptr);
    ~IcsCalendarService() override;

    CalendarAuthorizationStatus authorizationStatus() const override;
    void requestFullAccess(AccessCompletion done) override;
    void events(WallTime start, WallTime end, EventsAnswer answer) override;

    const QString& folder() const { return folder_; }

private:
    void updateWatchedPaths();

    QString folder_;
    DiagnosticRecorder recordDiagnostic_;
    QFileSystemWatcher watcher_;
    // Shared with the work on the worker, which may outlive the service.
    std::shared_ptr<IcsCalendarReader> reader_;
    ResultPort port_;
    ThreadWorkQueue queue_;
};

} // namespace vantrel
