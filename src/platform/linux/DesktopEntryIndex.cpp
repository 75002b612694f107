#include "platform/linux/DesktopEntryIndex.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace vantrel {

namespace {

// The kernel keeps a process's name to 15 bytes.
constexpr qsizetype kProcessNameLength = 15;

bool sameName(const QString& a, const QString& b) {
    return !a.isEmpty() && a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

DesktopEntryIndex::DesktopEntryIndex(QStringList folders) : folders_(std::move(folders)) {}

void DesktopEntryIndex::reload() {
    entries_.clear();
    QSet<QString> seen;
    for (const QString& folder : folders_) {
        const QDir root(folder);
        if (!root.exists()) continue;
        QStringList paths;
        QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) paths.append(it.next());
        // The same order whatever the file system lists first.
        paths.sort();
        for (const QString& path : paths) {
            const QString id = root.relativeFilePath(path).replace(QLatin1Char('/'), QLatin1Char('-'));
            if (seen.contains(id)) continue;
            seen.insert(id);
            if (auto entry = readDesktopEntry(path)) entries_.push_back({id, path, std::move(*entry)});
        }
    }
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Entry& a, const Entry& b) { return a.entry.shown && !b.entry.shown; });
}

QString DesktopEntryIndex::idOf(const QString& path) const {
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    for (const QString& folder : folders_) {
        const QString prefix = QDir::cleanPath(folder) + QLatin1Char('/');
        if (clean.startsWith(prefix) && clean.endsWith(QStringLiteral(".desktop")))
            return clean.mid(prefix.size()).replace(QLatin1Char('/'), QLatin1Char('-'));
    }
    return {};
}

const DesktopEntryIndex::Entry* DesktopEntryIndex::match(const QString& windowInstance,
                                                         const QString& windowClass,
                                                         const QString& processName) const {
    for (const Entry& e : entries_) {
        const QString& wmClass = e.entry.startupWMClass;
        if (sameName(wmClass, windowClass) || sameName(wmClass, windowInstance)) return &e;
    }
    for (const Entry& e : entries_) {
        const QString program = QFileInfo(e.entry.executable).fileName();
        if (program.isEmpty()) continue;
        if (sameName(program, windowInstance) || sameName(program, windowClass)) return &e;
        if (!processName.isEmpty() && program.left(kProcessNameLength) == processName) return &e;
    }
    return nullptr;
}

} // namespace vantrel
