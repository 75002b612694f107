#include "kit/ApplicationChooserPanel.h"

#include "kit/ApplicationChooser.h"
#include "kit/VantrelTheme.h"
#include "platform/Workspace.h"

#include <QListWidget>
#include <QScreen>
#include <algorithm>

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
    // Over a window that stays above the others (the notch's panel), the chooser opens below it:
    // centred on it as Qt would place it, its title bar would lie under that window.
    QWidget* over = request.parent ? request.parent->window() : nullptr;
    if (over && (over->windowFlags() & Qt::WindowStaysOnTopHint) && over->screen()) {
        chooser->adjustSize();
        chooser->move(placeBelow(over->frameGeometry(), chooser->frameGeometry().size(),
                                 over->screen()->availableGeometry()));
    }
    // Opened while the desktop's icon themes are still being read, the rows show placeholders
    // until the icons come.
    ApplicationChooser* shown = chooser.get();
    QObject::connect(&workspace_, &Workspace::iconsChanged, shown, [shown, &workspace = workspace_] {
        shown->takeIcons(workspace.installedApplications());
    });
    return chooser;
}

QPoint ApplicationChooserPanel::placeBelow(const QRect& over, const QSize& size, const QRect& area) {
    // Room for the title bar the window manager adds above a window that has none yet.
    constexpr int kTitleBar = 32;
    constexpr int kGap = 8;
    const int x = std::clamp(over.left() + over.width() / 2 - size.width() / 2, area.left(),
                             std::max(area.left(), area.right() + 1 - size.width()));
    const int lowest = std::max(area.top(), area.bottom() + 1 - size.height() - kTitleBar);
    const int y = std::clamp(over.bottom() + 1 + kGap, area.top(), lowest);
    return {x, y};
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
