#include "platform/linux/QtOpenPanel.h"

#include "platform/linux/ApplicationEntryFilter.h"

#include <QAbstractItemView>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QUrl>

namespace vantrel {

QtOpenPanel::QtOpenPanel(QStringList applicationFolders)
    : applicationFolders_(std::move(applicationFolders)) {}

void QtOpenPanel::configure(QFileDialog& dialog, const OpenPanelRequest& request, bool multiple) const {
    dialog.setWindowTitle(request.title);
    dialog.setLabelText(QFileDialog::Accept, request.prompt);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (request.foldersOnly) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
        return;
    }
    // A folder chooser takes one folder; files may be chosen several at once.
    dialog.setFileMode(multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    if (request.applicationsOnly) {
        // Our own dialog, so the filter and the side bar of application folders always apply.
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        dialog.setNameFilter(QStringLiteral("Applications (*.desktop)"));
        // Only what the desktop itself would offer in its list of applications.
        dialog.setProxyModel(new ApplicationEntryFilter(&dialog));
        QList<QUrl> places;
        for (const QString& folder : applicationFolders_)
            if (QDir(folder).exists()) places.append(QUrl::fromLocalFile(folder));
        if (!places.isEmpty()) {
            dialog.setSidebarUrls(places);
            dialog.setDirectory(places.last().toLocalFile());
        }
    }
}

std::optional<QString> QtOpenPanel::run(const OpenPanelRequest& request) {
    QFileDialog dialog;
    configure(dialog, request, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QStringList> QtOpenPanel::runMultiple(const OpenPanelRequest& request) {
    QFileDialog dialog;
    configure(dialog, request, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles();
}

std::optional<QStringList> QtOpenPanel::runForItems(const OpenPanelRequest& request) {
    QFileDialog dialog;
    if (!request.title.isEmpty()) dialog.setWindowTitle(request.title);
    if (!request.prompt.isEmpty()) dialog.setLabelText(QFileDialog::Accept, request.prompt);
    // A desktop's native dialog offers either files or folders, never both in one choice.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);

    const auto views = dialog.findChildren<QAbstractItemView*>();
    for (QAbstractItemView* view : views) view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    QStringList chosen;
    const auto collect = [&dialog, &chosen] {
        chosen.clear();
        for (QAbstractItemView* view : dialog.findChildren<QAbstractItemView*>()) {
            if (!view->isVisible() || !view->selectionModel()) continue;
            for (const QModelIndex& index : view->selectionModel()->selectedRows(0)) {
                const QString path = index.data(QFileSystemModel::FilePathRole).toString();
                if (!path.isEmpty() && !chosen.contains(path)) chosen.append(path);
            }
        }
        // A name typed into the field, with nothing selected in the list.
        if (chosen.isEmpty())
            for (const QString& path : dialog.selectedFiles())
                if (QFileInfo::exists(path)) chosen.append(path);
        // Through the base: the file dialog's own accept would open a selected folder instead.
        if (!chosen.isEmpty()) static_cast<QDialog&>(dialog).done(QDialog::Accepted);
    };
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        QObject::disconnect(buttons, &QDialogButtonBox::accepted, &dialog, nullptr);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, collect);
    }
    if (dialog.exec() != QDialog::Accepted || chosen.isEmpty()) return std::nullopt;
    return chosen;
}

} // namespace vantrel
