#include "core/FileNotices.h"

#include <QFileInfo>
#include <algorithm>

namespace vantrel {

void FileNotices::set(const QString& file, const QString& notice) {
    if (notice.isEmpty()) {
        resolve(file);
        return;
    }
    const auto it =
        std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.file == file; });
    if (it == entries_.end()) {
        entries_.push_back({file, notice, false});
    } else {
        // The same words again (a save retried with every change): shown or closed, they stay so;
        // closing must hold while the user goes on typing into a folder that refuses.
        if (it->notice == notice) return;
        it->notice = notice;
        it->dismissed = false;
    }
    Q_EMIT changed();
}

void FileNotices::resolve(const QString& file) {
    const auto removed = std::erase_if(entries_, [&](const Entry& e) { return e.file == file; });
    if (removed > 0) Q_EMIT changed();
}

void FileNotices::dismiss() {
    bool any = false;
    for (Entry& e : entries_) {
        any = any || !e.dismissed;
        e.dismissed = true;
    }
    if (any) Q_EMIT changed();
}

QStringList FileNotices::notices() const {
    QStringList shown;
    for (const Entry& e : entries_)
        if (!e.dismissed) shown.append(e.notice);
    return shown;
}

QString FileNotices::notice(const QString& file) const {
    for (const Entry& e : entries_)
        if (e.file == file) return e.notice;
    return {};
}

bool FileNotices::standsFor(const QString& fileName) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const Entry& e) { return QFileInfo(e.file).fileName() == fileName; });
}

bool couldNotSave(const FileNotices* notices, const QString& fileName) {
    return notices && notices->standsFor(fileName);
}

} // namespace vantrel
