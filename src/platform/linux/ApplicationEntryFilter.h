#pragma once

#include <QSortFilterProxyModel>

namespace vantrel {

// What the application chooser lists of a folder: its sub-folders, to browse, and the entries of
// applications meant to be offered to the user. An entry marked NoDisplay (a helper, a handler of
// addresses), one meant only for other desktops and a file that describes no launchable
// application are left out. The source model gives each row's path in FilePathRole, as
// QFileSystemModel does.
class ApplicationEntryFilter final : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
};

} // namespace vantrel
