#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace vantrel {

struct AppPaths;
class Environment;

// The launch-relevant part of a freedesktop application entry (a ".desktop" file).
struct DesktopEntry {
    QString name;
    QString exec;
    QString icon;
    // Working directory to start the program in; empty for the caller's.
    QString path;

    // The program and its arguments from `exec`, with the field codes removed.
    QStringList command() const;
};

// The [Desktop Entry] group of `text` when it describes an application that can be launched:
// Type=Application, a name, a command line that yields a program, and not marked Hidden.
std::optional<DesktopEntry> parseDesktopEntry(const QByteArray& text);

// Splits an Exec value into arguments by the entry quoting rules and removes every field code
// (%f, %U, %i, ...), keeping a literal "%" for "%%". None when the quoting is broken.
std::optional<QStringList> splitDesktopExec(const QString& exec);

// Where installed application entries live, most specific first: $XDG_DATA_HOME/applications,
// then each $XDG_DATA_DIRS folder (default /usr/local/share:/usr/share) followed by /applications.
QStringList applicationFolders(const AppPaths& paths, const Environment& environment);

} // namespace vantrel
