#pragma once

#include "platform/ResultPort.h"
#include "platform/Workspace.h"
#include "platform/linux/FileStamp.h"

#include <QHash>
#include <QObject>
#include <QSet>
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
    // are looked up in `themes`; none: in themes of its own, each read at once. Where the themes
    // have a queue, a file's icon is looked at there too: iconForFile() answers from what was
    // found so far (no icon while its file is looked at) and iconsChanged() follows once it is in.
    // `display`: the X display this program opened, on which applications, files and links are
    // started; empty: they inherit DISPLAY.
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
    // What names a file's icon, as read from the file in the state it was then in.
    struct FileIcon {
        // The file's state when it is an application entry naming its icon.
        std::optional<FileStamp> entry;
        // The entry's icon, else the file type's, and the type's generic one.
        QString name, generic;
        bool folder = false;
        bool operator==(const FileIcon&) const = default;
    };
    struct KnownIcon {
        FileIcon icon;
        // The themes' round it was looked at in (given their queue).
        quint64 checked = 0;
    };
    // Reads the file, unless it is the entry `known` was read from as it then was.
    static FileIcon lookAt(const QString& path, const FileIcon* known);
    QIcon iconOf(const FileIcon& file) const;
    // Given the themes' queue: `path` looked at there, told when it names another icon.
    void lookAtOnQueue(const QString& path, std::optional<FileIcon> known) const;

    SystemLog& log_;
    QStringList applicationFolders_;
    QByteArray display_;
    std::unique_ptr<IconThemes> ownThemes_;
    IconThemes& themes_;
    // Icons are looked up again on every announcement of the themes or of a decoded picture; an
    // entry whose file is as it was is not parsed again (GIO's parse is most of a look-up).
    // Given the themes' queue, every file asked about is kept, and those being looked at listed.
    mutable QHash<QString, KnownIcon> fileIcons_;
    mutable QSet<QString> looking_;
    // Files looked at within one turn of the event loop are told together.
    mutable bool telling_ = false;
    ResultPort results_;
    // Owns the pending file-manager calls, so none answers into a destroyed workspace.
    std::unique_ptr<QObject> pendingCalls_ = std::make_unique<QObject>();
};

} // namespace vantrel
