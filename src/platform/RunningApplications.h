#pragma once

#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace vantrel {

// One program with windows on the desktop, as the window manager and the installed application
// entries describe it.
struct RunningApplication {
    qint32 processIdentifier = 0;
    // The name of the matching application entry in the user's language, else the program's own
    // window class; empty when neither is known.
    QString localizedName;
    // Null when the program has none.
    QIcon icon;
    // The desktop-file id of the matching entry ("org.example.Editor.desktop"); empty without one.
    QString bundleIdentifier;
    // The path of the matching entry; none without one.
    std::optional<QString> bundleURL;
    // It has an ordinary window that belongs in a task bar: a launcher, a panel or a window that
    // keeps out of the task bar makes no regular application.
    bool isRegular = true;
    bool isTerminated = false;
    // Every window of it is minimised.
    bool isHidden = false;
    // The desktop itself vouches that `processIdentifier` is the process that made these windows,
    // not merely a number the program wrote on them: only such a process may be killed.
    bool processVerified = false;
};

// The programs running with windows on the desktop, which of them is frontmost, and the window
// manager's requests that bring one forward, hide it or end it.
class RunningApplications : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // In the window manager's order; empty where the desktop tells nothing.
    virtual std::vector<RunningApplication> runningApplications() const = 0;
    virtual std::optional<qint32> frontmostProcessIdentifier() const = 0;
    // The desktop-file id of the desktop's file manager (the default handler of folders), which
    // comes first among the running applications; empty when there is none.
    virtual QString fileManagerIdentifier() const = 0;
    // The desktop-file id of the installed entry at `path`; empty when it is none.
    virtual QString bundleIdentifier(const QString& entryPath) const = 0;
    // The desktop's icon of an application that brings none of its own, read within the bounds
    // of every icon file; null where the desktop's icon theme has none.
    virtual QIcon genericApplicationIcon() const = 0;

    // Brings every window of the application forward, the hidden ones too. False when it has none.
    virtual bool activate(qint32 processIdentifier) = 0;
    // Minimises every window of the application.
    virtual bool hide(qint32 processIdentifier) = 0;
    // Asks every window of the application to close, as its close button would.
    virtual bool terminate(qint32 processIdentifier) = 0;
    // Kills the process at once. Refused (false) unless its identifier is verified, and for a
    // program of another host.
    virtual bool forceTerminate(qint32 processIdentifier) = 0;

Q_SIGNALS:
    // An application started or ended.
    void applicationsChanged();
    // Another application came to the front.
    void frontmostChanged();
    // The desktop's icon theme changed, or was read: the icons given before may be drawn
    // otherwise now.
    void iconsChanged();
    // Programs showed a new window icon of their own (a burst of changes is told once): what was
    // drawn of the icons given for these processes is out of date; asked again, they draw the new
    // one.
    void windowIconsChanged(const QList<qint32>& processIdentifiers);
};

} // namespace vantrel
