#include "platform/linux/QtOpenPanel.h"

#include "platform/linux/ApplicationEntryFilter.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QItemSelectionModel>
#include <QKeyEvent>
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

namespace {

// Qt's own dialog, choosing files and folders alike. Every way of confirming (the confirm button,
// Return in the name field, Return or a double click on a file in the list) reaches accept(),
// which takes the selected rows as they are: the file dialog's own accept would open a selected
// folder instead, and would close on a typed name without saying what was chosen.
class ItemsDialog final : public QFileDialog {
public:
    ItemsDialog() {
        // A desktop's native dialog offers either files or folders, never both in one choice.
        setOption(QFileDialog::DontUseNativeDialog, true);
        setFileMode(QFileDialog::ExistingFiles);
        setAcceptMode(QFileDialog::AcceptOpen);
        for (QAbstractItemView* view : findChildren<QAbstractItemView*>()) {
            view->setSelectionMode(QAbstractItemView::ExtendedSelection);
            view->installEventFilter(this);
        }
    }

    const QStringList& chosen() const { return chosen_; }

    void accept() override {
        chosen_.clear();
        for (QAbstractItemView* view : findChildren<QAbstractItemView*>()) {
            if (!view->isVisible() || !view->selectionModel()) continue;
            for (const QModelIndex& index : view->selectionModel()->selectedRows(0)) {
                const QString path = index.data(QFileSystemModel::FilePathRole).toString();
                if (!path.isEmpty() && !chosen_.contains(path)) chosen_.append(path);
            }
        }
        // A name typed into the field, with nothing selected in the list.
        if (chosen_.isEmpty())
            for (const QString& path : selectedFiles())
                if (QFileInfo::exists(path)) chosen_.append(path);
        if (!chosen_.isEmpty()) QDialog::accept();
    }

protected:
    // Return on a folder row opens the folder, as a double click does; with several rows
    // selected it confirms them all, whichever row is current.
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* view = qobject_cast<QAbstractItemView*>(watched);
        if (view && event->type() == QEvent::KeyPress && view->selectionModel()) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
                view->selectionModel()->selectedRows(0).size() > 1) {
                accept();
                return true;
            }
        }
        return QFileDialog::eventFilter(watched, event);
    }

private:
    QStringList chosen_;
};

} // namespace

std::optional<QStringList> QtOpenPanel::runForItems(const OpenPanelRequest& request) {
    ItemsDialog dialog;
    if (!request.title.isEmpty()) dialog.setWindowTitle(request.title);
    if (!request.prompt.isEmpty()) dialog.setLabelText(QFileDialog::Accept, request.prompt);
    if (dialog.exec() != QDialog::Accepted || dialog.chosen().isEmpty()) return std::nullopt;
    return dialog.chosen();
}

} // namespace vantrel
