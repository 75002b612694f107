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
    // The desktop vouches that `id` is the process of these windows; only such a process is
    // offered to be force-quit.
    bool processVerified = false;
};

} // namespace vantrel
