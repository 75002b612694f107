#include "kit/ApplicationChooserPanel.h"

#include "kit/ApplicationChooser.h"
#include "kit/VantrelTheme.h"
#include "platform/Workspace.h"

#include <QListWidget>

namespace vantrel {

ApplicationChooserPanel::ApplicationChooserPanel(OpenPanel& files, const Workspace& workspace,
                                                 std::function<QColor()> accent)
    : files_(files), workspace_(workspace), accent_(std::move(accent)) {}

std::unique_ptr<ApplicationChooser> ApplicationChooserPanel::makeChooser(const OpenPanelRequest& request,
                                                                         bool multiple) const {
    auto chooser = std::make_unique<ApplicationChooser>(
        workspace_.installedApplications(),
        ApplicationChooser::Options{.title = request.title,
                                    .prompt =
                                        request.prompt.isEmpty() ? QStringLiteral("Open") : request.prompt,
                                    .multiple = multiple,
                                    // Without a window to open over, the light look of a window of its own.
                                    .scheme = VantrelTheme::colorScheme(request.parent),
                                    .accent = accent_ ? accent_() : QColor(Qt::gray)},
        request.parent);
    // Opened while the desktop's icon themes are still being read, the rows show placeholders
    // until the icons come.
    ApplicationChooser* shown = chooser.get();
    QObject::connect(&workspace_, &Workspace::iconsChanged, shown, [shown, &workspace = workspace_] {
        shown->takeIcons(workspace.installedApplications());
    });
    return chooser;
}

std::optional<QStringList> ApplicationChooserPanel::chooseApplications(const OpenPanelRequest& request,
                                                                       bool multiple) {
    std::unique_ptr<ApplicationChooser> chooser = makeChooser(request, multiple);
    const QPointer<ApplicationChooser> alive(chooser.get());
    const int result = chooser->exec();
    // The window it opened over may have gone while it was open, and taken the chooser with it.
    if (!alive) {
        (void)chooser.release();
        return std::nullopt;
    }
    if (result != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = chooser->chosenPaths();
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
}

std::optional<QString> ApplicationChooserPanel::run(const OpenPanelRequest& request) {
    if (!request.applicationsOnly || request.foldersOnly) return files_.run(request);
    const auto chosen = chooseApplications(request, false);
    if (!chosen) return std::nullopt;
    return chosen->constFirst();
}

std::optional<QStringList> ApplicationChooserPanel::runMultiple(const OpenPanelRequest& request) {
    if (!request.applicationsOnly || request.foldersOnly) return files_.runMultiple(request);
    return chooseApplications(request, true);
}

std::optional<QStringList> ApplicationChooserPanel::runForItems(const OpenPanelRequest& request) {
    return files_.runForItems(request);
}

} // namespace vantrel
