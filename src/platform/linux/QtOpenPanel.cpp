#include "platform/linux/QtOpenPanel.h"

#include "platform/linux/ApplicationEntryFilter.h"

#include <QDir>
#include <QFileDialog>
#include <QUrl>

namespace vantrel {

QtOpenPanel::QtOpenPanel(QStringList applicationFolders)
    : applicationFolders_(std::move(applicationFolders)) {}

std::optional<QString> QtOpenPanel::run(const OpenPanelRequest& request) {
    QFileDialog dialog;
    dialog.setWindowTitle(request.title);
    dialog.setLabelText(QFileDialog::Accept, request.prompt);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace vantrel
