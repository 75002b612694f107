#pragma once

#include "platform/OpenPanel.h"

#include <QStringList>

namespace vantrel {

// A modal QFileDialog. Restricted to applications, it shows the installed application entries
// from the given folders that the desktop offers in its own lists (no NoDisplay entries) and
// accepts nothing else.
class QtOpenPanel final : public OpenPanel {
public:
    explicit QtOpenPanel(QStringList applicationFolders);
    std::optional<QString> run(const OpenPanelRequest& request) override;

private:
    QStringList applicationFolders_;
};

} // namespace vantrel
