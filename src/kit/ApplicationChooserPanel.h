#pragma once

#include "platform/OpenPanel.h"

#include <QColor>
#include <QPoint>
#include <QRect>
#include <functional>
#include <memory>

namespace vantrel {

class ApplicationChooser;
class Workspace;

// The open panel the application's windows use: installed applications are chosen by name and
// icon from the desktop's own list, in the look of the window the panel opens over; files and
// folders are chosen in the desktop's file chooser behind it.
class ApplicationChooserPanel final : public OpenPanel {
public:
    // `accent` gives the colour of the confirm button and of the chosen rows.
    ApplicationChooserPanel(OpenPanel& files, const Workspace& workspace, std::function<QColor()> accent);

    std::optional<QString> run(const OpenPanelRequest& request) override;
    std::optional<QStringList> runMultiple(const OpenPanelRequest& request) override;
    std::optional<QStringList> runForItems(const OpenPanelRequest& request) override;

    // Where a chooser of `size` opens over a window that stays above all others (`over`, its frame):
    // below it, centred on it, inside the screen's `area`, so that none of the chooser, its title
    // bar above all, lies under that window; moved up only as far as the area makes it.
    static QPoint placeBelow(const QRect& over, const QSize& size, const QRect& area);

    // Builds the chooser for `request` without showing it.
    std::unique_ptr<ApplicationChooser> makeChooser(const OpenPanelRequest& request, bool multiple) const;

private:
    std::optional<QStringList> chooseApplications(const OpenPanelRequest& request, bool multiple);

    OpenPanel& files_;
    const Workspace& workspace_;
    std::function<QColor()> accent_;
};

} // namespace vantrel
