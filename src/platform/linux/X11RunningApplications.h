#pragma once

#include "platform/RunningApplications.h"
#include "platform/linux/DesktopEntryIndex.h"

#include <QFileSystemWatcher>
#include <QHash>
#include <QIcon>
#include <QStringList>
#include <memory>
#include <optional>

namespace vantrel {

// The programs with windows on an X11 desktop, read from the window manager's EWMH properties on
// the xcb connection Qt already holds: the client list grouped by process, the active window,
// and requests to the window manager to activate, minimise and close. Programs are matched to
// the installed entries of `applicationFolders` for their names and icons. A window's process
// identifier is a claim of its maker; the X server's resource extension tells whether it is true.
// Away from X11 the list is empty and every request fails.
class X11RunningApplications final : public RunningApplications {
    Q_OBJECT
public:
    explicit X11RunningApplications(QStringList applicationFolders, QObject* parent = nullptr);
    ~X11RunningApplications() override;

    std::vector<RunningApplication> runningApplications() const override;
    std::optional<qint32> frontmostProcessIdentifier() const override;
    QString fileManagerIdentifier() const override;
    QString bundleIdentifier(const QString& entryPath) const override;
    bool activate(qint32 processIdentifier) override;
    bool hide(qint32 processIdentifier) override;
    bool terminate(qint32 processIdentifier) override;
    bool forceTerminate(qint32 processIdentifier) override;

    // How many times a window's icon has been read from the server, for diagnostics.
    quint64 iconReads() const { return iconReads_; }

private:
    class Connection;
    class RootWatcher;
    struct Window;
    // What is kept of a listed window between reads: the process of the client that made it,
    // which a window never changes, and its icon, read when first needed and again only after the
    // window changes it.
    struct Known {
        // 0: the server cannot tell.
        qint32 serverPid = 0;
        // None: not read yet, or changed since.
        std::optional<QIcon> icon;
    };

    std::vector<Window> windows() const;
    std::vector<Window> windowsOf(qint32 processIdentifier) const;
    const DesktopEntryIndex& index() const;
    const QIcon& windowIcon(quint32 window) const;
    void announce(void (X11RunningApplications::*signal)(), bool& pending);

    std::unique_ptr<Connection> x_;
    std::unique_ptr<RootWatcher> watcher_;
    mutable DesktopEntryIndex index_;
    mutable bool indexLoaded_ = false;
    // Installed or removed entries are read again on the next look-up.
    QFileSystemWatcher folders_;
    bool applicationsPending_ = false;
    bool frontmostPending_ = false;
    mutable QHash<quint32, Known> known_;
    mutable quint64 iconReads_ = 0;
};

} // namespace vantrel
