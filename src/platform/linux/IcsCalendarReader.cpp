#include "platform/linux/IcsCalendarReader.h"

#include "platform/AtomicFile.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <iterator>
#include <unistd.h>

namespace vantrel {

namespace {
// A calendar export of many years stays far below this; anything larger is not read whole.
constexpr qint64 kMaximumFileBytes = 32 * 1024 * 1024;
} // namespace

IcsCalendarReader::IcsCalendarReader(QString folder, QTimeZone zone, Budget budget, Monotonic monotonic,
                                     MemoryInUse memoryInUse)
    : folder_(QDir::cleanPath(std::move(folder))), zone_(std::move(zone)), budget_(budget),
      monotonic_(monotonic ? std::move(monotonic)
                           : Monotonic([] { return std::chrono::steady_clock::now(); })),
      memoryInUse_(memoryInUse ? std::move(memoryInUse) : MemoryInUse(&IcsCalendarReader::residentBytes)) {}

qint64 IcsCalendarReader::residentBytes() {
    std::FILE* statm = std::fopen("/proc/self/statm", "re");
    if (!statm) return 0;
    long long size = 0, resident = 0;
    const int read = std::fscanf(statm, "%lld %lld", &size, &resident);
    std::fclose(statm);
    return read == 2 ? resident * ::sysconf(_SC_PAGESIZE) : 0;
}

ICalendarBudget IcsCalendarReader::startBudget() const {
    const auto deadline = monotonic_() + budget_.time;
    const qint64 memoryLimit = memoryInUse_() + budget_.bytes;
    return [this, deadline, memoryLimit] { return monotonic_() > deadline || memoryInUse_() > memoryLimit; };
}

QString IcsCalendarReader::overBudgetRecord(const QString& name) const {
    return QStringLiteral("calendar file %1 skipped: it needed more than %2 s or %3 MB to read")
        .arg(name)
        .arg(double(budget_.time.count()) / 1000.0)
        .arg(budget_.bytes / (1024 * 1024));
}

IcsCalendarReader::CachedFile& IcsCalendarReader::read(const QString& path, QStringList& diagnostics) {
    const QFileInfo info(path);
    auto it = cache_.find(path);
    if (it != cache_.end() && it->second.modified == info.lastModified() && it->second.size == info.size())
        return it->second;

    CachedFile entry{info.lastModified(), info.size(), std::nullopt};
    const QString name = info.fileName();
    QByteArray bytes;
    try {
        // Bounded and without blocking: a FIFO or a huge file among the calendars costs nothing.
        bytes = readStoredFile(path, kMaximumFileBytes, LinkPolicy::follow);
    } catch (const UnreadableFileError& error) {
        diagnostics.append(QStringLiteral("calendar file %1 skipped: %2").arg(name, error.reason()));
        return cache_.insert_or_assign(path, std::move(entry)).first->second;
    } catch (const std::system_error& error) {
        diagnostics.append(QStringLiteral("calendar file %1 skipped: %2")
                               .arg(name, QString::fromLocal8Bit(std::strerror(error.code().value()))));
        return cache_.insert_or_assign(path, std::move(entry)).first->second;
    }
    ICalendarParseResult result = parseICalendar(bytes, zone_, startBudget());
    if (result.overBudget) {
        entry.overBudget = true;
        diagnostics.append(overBudgetRecord(name));
        return cache_.insert_or_assign(path, std::move(entry)).first->second;
    }
    // One record per file version, naming everything that was left out.
    const QString problems = result.problems.join(QStringLiteral("; "));
    if (!result.calendar)
        diagnostics.append(QStringLiteral("calendar file %1 skipped: %2").arg(name, problems));
    else if (!problems.isEmpty())
        diagnostics.append(QStringLiteral("calendar file %1 partly read, left out: %2").arg(name, problems));
    entry.calendar = std::move(result.calendar);
    return cache_.insert_or_assign(path, std::move(entry)).first->second;
}

IcsCalendarReader::Answer IcsCalendarReader::events(WallTime start, WallTime end) {
    Answer answer;
    const QDir dir(folder_);
    std::map<QString, CachedFile> seen;
    for (const QString& name : dir.entryList({QStringLiteral("*.ics")}, QDir::Files, QDir::Name)) {
        const QString path = dir.filePath(name);
        CachedFile& file = read(path, answer.diagnostics);
        if (file.calendar && !file.overBudget) {
            ICalendarLook look;
            look.spent = startBudget();
            auto events = file.calendar->events(start, end, &look);
            for (const QString& problem : look.problems)
                answer.diagnostics.append(
                    QStringLiteral("calendar file %1 partly read, left out: %2").arg(name, problem));
            if (look.stopped) {
                // Spent on this window: the file stays out until it changes.
                file.overBudget = true;
                file.calendar.reset();
                answer.diagnostics.append(overBudgetRecord(name));
            } else {
                std::move(events.begin(), events.end(), std::back_inserter(answer.events));
            }
        }
        seen.insert(cache_.extract(path));
    }
    // Files that are gone leave the cache with them.
    cache_ = std::move(seen);
    return answer;
}

} // namespace vantrel
