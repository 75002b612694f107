#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

namespace vantrel {

struct AppPaths;
class Environment;

// An installed application entry (a freedesktop ".desktop" file) as the desktop reads it,
// through GIO's GDesktopAppInfo.
struct DesktopEntry {
    // The name in the user's language (LANGUAGE, LC_ALL, LC_MESSAGES, LANG).
    QString name;
    QString icon;
    // False for NoDisplay=true, or an entry meant only for other desktops: it launches, but is
    // not offered in lists of applications.
    bool shown = true;
    // The program runs inside the desktop's terminal.
    bool terminal = false;
    // The window class its windows carry (StartupWMClass); empty when the entry does not say.
    QString startupWMClass;
    // The program of its command line (Exec) as written, a name or a path.
    QString executable;
};

// The entry at `path` when it describes an application that can be launched: a regular file of
// reasonable size, Type=Application, a name, a command line whose program is installed, not
// Hidden, and its TryExec program (if any) installed.
std::optional<DesktopEntry> readDesktopEntry(const QString& path);

// Starts the application at `path` as the desktop does: field codes expanded (no files or
// addresses are passed, so %f, %F, %u and %U expand to nothing; %i gives the icon, %c the name,
// %k the entry), a Terminal=true program inside the desktop's terminal, in the entry's working
// directory; never through a shell. `display`: the X display it is started on (DISPLAY); empty,
// it inherits ours. None when it started, else why not.
std::optional<QString> launchDesktopEntry(const QString& path, const QByteArray& display = {});

// Hands `url` to the desktop's opener (xdg-open, as Qt's desktop services do) started on the X
// display `display`. None when it started, else why not.
std::optional<QString> openOnDisplay(const QUrl& url, const QByteArray& display);

// Where installed application entries live, most specific first: $XDG_DATA_HOME/applications,
// then each $XDG_DATA_DIRS folder (default /usr/local/share:/usr/share) followed by /applications.
QStringList applicationFolders(const AppPaths& paths, const Environment& environment);

} // namespace vantrel
