#pragma once

#include "platform/CalendarService.h"
#include "platform/linux/ICalendar.h"

#include <QDateTime>
#include <QStringList>
#include <QTimeZone>
#include <chrono>
#include <functional>
#include <map>

namespace vantrel {

// What reading one calendar file may take: the time of work, and the memory it adds.
struct CalendarReadBudget {
    std::chrono::milliseconds time{2000};
    qint64 bytes = qint64(256) * 1024 * 1024;
};

// Reads the iCalendar files of one folder and answers the events of a window: the work behind
// IcsCalendarService, done on its worker thread, never on the main thread. Each file is read
// within a budget of time and memory; a file that spends it is left out (the others kept) and
// named once, until it changes.
class IcsCalendarReader {
public:
    using Budget = CalendarReadBudget;
    using Monotonic = std::function<std::chrono::steady_clock::time_point()>;
    // The memory the process holds now, in bytes.
    using MemoryInUse = std::function<qint64()>;

    struct Answer {
        std::vector<CalendarEvent> events;
        // One diagnostics record each, for files skipped, refused or partly read.
        QStringList diagnostics;
    };

    IcsCalendarReader(QString folder, QTimeZone zone, Budget budget = {}, Monotonic monotonic = {},
                      MemoryInUse memoryInUse = {});

    // Every event of every "*.ics" file of the folder that overlaps [start, end).
    Answer events(WallTime start, WallTime end);

    // The resident memory of this process, from /proc/self/statm; 0 when it cannot be read.
    static qint64 residentBytes();

private:
    struct CachedFile {
        QDateTime modified;
        qint64 size = 0;
        std::optional<ICalendar> calendar;
        // The budget was spent on this version of the file: it is left out until it changes.
        bool overBudget = false;
    };

    CachedFile& read(const QString& path, QStringList& diagnostics);
    // A budget that starts now.
    ICalendarBudget startBudget() const;
    QString overBudgetRecord(const QString& name) const;

    QString folder_;
    QTimeZone zone_;
    Budget budget_;
    Monotonic monotonic_;
    MemoryInUse memoryInUse_;
    // Parsed files by path, reused while a file keeps its time and size, so a damaged file is
    // parsed and reported once per version rather than on every refresh.
    std::map<QString, CachedFile> cache_;
};

} // namespace vantrel
