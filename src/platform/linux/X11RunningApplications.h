#pragma once

#include "platform/ResultPort.h"
#include "platform/RunningApplications.h"
#include "platform/ThreadWorkQueue.h"
#include "platform/linux/DesktopEntryIndex.h"

#include <QFileSystemWatcher>
#include <QHash>
#include <QIcon>
#include <QSet>
#include <QSocketNotifier>
#include <QStringList>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

namespace vantrel {

class ConfirmedProcess;
class IconThemes;
class Scheduler;

// The programs with windows on an X11 desktop, read from the window manager's EWMH properties on
// an X connection of this service's own to `display`: the client list grouped by process, the active window,
// and requests to the window manager to activate, minimise and close. Programs are matched to
// the installed entries of `applicationFolders` for their names and icons. A window's process
// identifier is a claim of its maker; the X server's resource extension tells whether it is true.
// Everything is read on a worker thread of this service, a bounded batch at a time, and kept:
// the main thread answers from what was last read and never waits for the server. A change of a
// window has only that window read again. A program's own window icon is read only once its icon
// is drawn or asked about, and kept only for the most recently asked few. Away from X11 the list
// is empty and every request fails.
class X11RunningApplications final : public RunningApplications {
    Q_OBJECT
public:
    // Away from X11 `display` is empty. Entries' icons are looked up in `themes`; none: in
    // themes of its own, each read at once. A window's changes of its icon are gathered on
    // `scheduler` (none: a timer of its own) and read at most once per kIconChangeInterval.
    X11RunningApplications(const QByteArray& display, QStringList applicationFolders,
                           IconThemes* themes = nullptr, Scheduler* scheduler = nullptr,
                           QObject* parent = nullptr);
    ~X11RunningApplications() override;

    std::vector<RunningApplication> runningApplications() const override;
    std::optional<qint32> frontmostProcessIdentifier() const override;
    QString fileManagerIdentifier() const override;
    QString bundleIdentifier(const QString& entryPath) const override;
    QIcon genericApplicationIcon() const override;
    bool activate(qint32 processIdentifier) override;
    bool hide(qint32 processIdentifier) override;
    bool terminate(qint32 processIdentifier) override;
    bool forceTerminate(qint32 processIdentifier) override;

    // How many times a window's icon has been read from the server, how many windows' icons are
    // kept, and how many replies the main thread has waited for since it was built, for
    // diagnostics.
    quint64 iconReads() const { return iconReads_; }
    // A program may rewrite its icon a thousand times a second: each shown icon is read again at
    // most this often.
    static constexpr std::chrono::milliseconds kIconChangeInterval{500};
    int keptIcons() const;
    quint64 mainThreadReplies() const;

private:
    class Connection;
    class WindowIconEngine;
    struct Job;
    struct Reading;
    struct Worker;
    // A window's properties as last read.
    struct Window {
        quint32 id = 0;
        // As the window claims it; 0: the window does not say.
        qint32 pid = 0;
        bool regular = false;
        bool hidden = false;
        QString instance;
        QString windowClass;
        // It names this host; and another one.
        bool namesThisHost = false;
        bool namesOtherHost = false;
        bool operator==(const Window&) const = default;
    };
    // What is kept of a listed window between reads.
    struct Known {
        Window window;
        // The process of the client that made it, which a window never changes; 0: the server
        // cannot tell.
        qint32 serverPid = 0;
        // That process, held since the window was first seen; null when it could not be.
        std::shared_ptr<const ConfirmedProcess> process;
        // None: not read yet.
        std::optional<QIcon> icon;
        // The window changed its icon since it was read.
        bool iconStale = false;
        // Being read.
        bool iconAsked = false;
        // When its icon was last asked for, in asks counted.
        mutable quint64 iconUsed = 0;
        // Its icon was let go since it was last read.
        bool iconForgotten = false;

        // The server vouches that the claimed process made it, and it names no other host.
        bool verified() const;
        // Its process identifier names a process of this host.
        bool local() const;
    };

    std::vector<const Known*> windows() const;
    std::vector<const Known*> windowsOf(qint32 processIdentifier) const;
    // The process that may be killed for these windows of one process: the one the server named
    // as their maker, on this host, still the very one confirmed when the window was first seen.
    static std::shared_ptr<const ConfirmedProcess> killable(const std::vector<const Known*>& windows);
    const DesktopEntryIndex& index() const;
    // The entry of a window's names, remembered until the entries are read again.
    const DesktopEntryIndex::Entry* match(const QString& instance, const QString& windowClass,
                                          const QString& processName) const;
    // The windows' own icon, the first one they have; the first unread one is asked for, and
    // null returned until it is read.
    QIcon windowIcon(const std::vector<quint32>& windows) const;
    // Lets go of the icons asked for least recently past the few that are kept.
    void forgetIcons();
    void announce(void (X11RunningApplications::*signal)(), bool& pending);
    // Hands the next batch of what is to be read to the worker, unless it is busy.
    void schedule() const;
    void apply(Reading reading);
    // The window manager's changes of the client list and the active window, and the listed
    // windows' own changes.
    void takeEvents();
    void listChanged();
    void activeChanged();
    void windowChanged(quint32 window, bool icon);
    // Notes what is to be read of a changed window; whether there is anything.
    bool noteChange(quint32 window, bool icon);

    std::unique_ptr<IconThemes> ownThemes_;
    IconThemes& themes_;
    std::unique_ptr<Scheduler> ownScheduler_;
    Scheduler& scheduler_;
    // Windows whose shown icon changed since the gathering task was scheduled, read when it runs.
    QSet<quint32> iconsChanging_;
    quint64 iconChangeTask_ = 0;
    std::unique_ptr<Connection> x_;
    std::unique_ptr<QSocketNotifier> events_;
    mutable DesktopEntryIndex index_;
    mutable bool indexLoaded_ = false;
    mutable QHash<QString, const DesktopEntryIndex::Entry*> matches_;
    // Installed or removed entries are read again on the next look-up.
    QFileSystemWatcher folders_;
    bool applicationsPending_ = false;
    bool frontmostPending_ = false;
    // Processes whose shown window icon was read anew since its change was last told.
    QSet<qint32> iconsRedrawn_;

    // The client list as last read, and what is known of its windows.
    std::vector<quint32> clients_;
    QHash<quint32, Known> known_;
    // Listed windows not read yet, with when the list first named them.
    std::vector<std::pair<quint32, std::chrono::nanoseconds>> unread_;
    std::optional<qint32> frontmost_;
    // What is to be read next.
    mutable bool listDirty_ = false;
    mutable bool activeDirty_ = false;
    QSet<quint32> attributesDirty_;
    mutable QSet<quint32> iconsWanted_;
    // Windows not known yet that changed while a batch was read.
    QSet<quint32> attributesWhileRead_;
    QSet<quint32> iconsWhileRead_;
    mutable bool busy_ = false;
    // Icons asked for while drawing are handed to the worker once the turn of the event loop is
    // over, so that the tiles drawn together are read in one batch.
    mutable bool iconBatchQueued_ = false;
    quint64 iconReads_ = 0;
    mutable quint64 iconAsks_ = 0;

    std::shared_ptr<Worker> worker_;
    ResultPort results_;
    // Last: the worker's current batch is finished before anything it reads from goes.
    mutable ThreadWorkQueue queue_{QStringLiteral("x11-running-applications")};
};

} // namespace vantrel
