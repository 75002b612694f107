#pragma once

#include "platform/OpenPanel.h"

#include <QStringList>

class QFileDialog;

namespace vantrel {

// A modal QFileDialog. Restricted to applications, it shows the installed application entries
// from the given folders that the desktop offers in its own lists (no NoDisplay entries) and
// accepts nothing else.
class QtOpenPanel final : public OpenPanel {
public:
    explicit QtOpenPanel(QStringList applicationFolders);
    std::optional<QString> run(const OpenPanelRequest& request) override;
    std::optional<QStringList> runMultiple(const OpenPanelRequest& request) override;
    // Qt's own dialog, whose list takes several rows at once and which confirms the selected rows,
    // folders as they are, or the names typed, by its confirm button and by Return alike.
    std::optional<QStringList> runForItems(const OpenPanelRequest& request) override;

private:
    void configure(QFileDialog& dialog, const OpenPanelRequest& request, bool multiple) const;

    QStringList applicationFolders_;
};

} // namespace vantrel
