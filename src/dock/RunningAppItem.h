#pragma once

#include <QIcon>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace vantrel {

// One running application as the replacement Dock shows it; identified by its process.
struct RunningAppItem {
    qint32 id = 0;
    QString name;
    QIcon icon;
    // The desktop-file id of its entry; empty without one.
    QString bundleIdentifier;
    // The path of its entry; none without one.
    std::optional<QString> bundleURL;
    bool isActive = false;
    bool isHidden = false;
};

} // namespace vantrel
