#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <QUrl>
#include <optional>
#include <vector>

namespace vantrel {

// What the desktop tells about an installed application entry.
struct ApplicationInfo {
    // In the user's language.
    QString name;
    QString iconName;
    // Offered in lists of applications; false for one the desktop keeps out of its menus
    // (NoDisplay), which still launches.
    bool shown = true;
    bool operator==(const ApplicationInfo&) const = default;
};

// An installed application as the desktop offers it in its lists.
struct InstalledApplication {
    // Its entry.
    QString path;
    // In the user's language.
    QString name;
    QIcon icon;
};

// The desktop's file manager, browser and application launcher.
class Workspace : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Opens a file with its default application, or a web address in the default browser.
    // True when the desktop accepted the request.
    virtual bool open(const QUrl& url) = 0;
    // Shows the file selected in a file-manager window.
    virtual void reveal(const QString& path) = 0;
    // The installed application whose entry is at `path`; none when it is no launchable application.
    virtual std::optional<ApplicationInfo> applicationInfo(const QString& path) const = 0;
    // Starts the application whose entry is at `path`. False when it could not be started.
    virtual bool launchApplication(const QString& path) = 0;
    // The icon the desktop shows for the file (for an application entry, the application's icon).
    virtual QIcon iconForFile(const QString& path) const = 0;
    // The applications the desktop offers in its lists (no entry it keeps out of its menus), one
    // per entry id, in no particular order.
    virtual std::vector<InstalledApplication> installedApplications() const = 0;

Q_SIGNALS:
    // The desktop's icon theme changed, or was read: an icon given before may be drawn otherwise
    // now, and is asked for again.
    void iconsChanged();
};

} // namespace vantrel
