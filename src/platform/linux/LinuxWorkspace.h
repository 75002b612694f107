#pragma once

#include "platform/Workspace.h"
#include "platform/linux/FileStamp.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <memory>
#include <optional>

namespace vantrel {

class IconThemes;
class SystemLog;

// The desktop's browser and default applications through QDesktopServices, the file manager
// through the FileManager1 D-Bus interface, and applications from their freedesktop entries as
// GIO reads and launches them.
class LinuxWorkspace final : public Workspace {
public:
    // `applicationFolders`, most specific first, hold the installed application entries. Icons
    // are looked up in `themes`; none: in themes of its own, each read at once. `display`: the X
    // display this program opened, on which applications, files and links are started; empty:
    // they inherit DISPLAY.
    explicit LinuxWorkspace(SystemLog& log, QStringList applicationFolders = {}, IconThemes* themes = nullptr,
                            QByteArray display = {});
    ~LinuxWorkspace() override;

    bool open(const QUrl& url) override;
    void reveal(const QString& path) override;
    std::optional<ApplicationInfo> applicationInfo(const QString& path) const override;
    bool launchApplication(const QString& path) override;
    QIcon iconForFile(const QString& path) const override;
    std::vector<InstalledApplication> installedApplications() const override;

private:
    static std::optional<FileStamp> regularFileStamp(const QString& path);
    // The icon an entry names, as read from its file in the state the file was then in.
    struct EntryIcon {
        FileStamp file;
        QString icon;
    };

    SystemLog& log_;
    QStringList applicationFolders_;
    QByteArray display_;
    std::unique_ptr<IconThemes> ownThemes_;
    IconThemes& themes_;
    // Icons are looked up again on every announcement of the themes or of a decoded picture; an
    // entry whose file is as it was is not parsed again (GIO's parse is most of a look-up).
    mutable QHash<QString, EntryIcon> entryIcons_;
    // Owns the pending file-manager calls, so none answers into a destroyed workspace.
    std::unique_ptr<QObject> pendingCalls_ = std::make_unique<QObject>();
};

} // namespace vantrel
