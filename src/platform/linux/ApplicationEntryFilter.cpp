#include "platform/linux/ApplicationEntryFilter.h"

#include "platform/linux/DesktopEntry.h"

#include <QFileInfo>
#include <QFileSystemModel>

namespace vantrel {

bool ApplicationEntryFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    const QModelIndex index = sourceModel()->index(sourceRow, 0, sourceParent);
    const QString path = index.data(QFileSystemModel::FilePathRole).toString();
    if (path.isEmpty()) return false;
    if (QFileInfo(path).isDir()) return true;
    const std::optional<DesktopEntry> entry = readDesktopEntry(path);
    return entry && entry->shown;
}

} // namespace vantrel
