#pragma once

#include <QString>

namespace vantrel {

class Environment;

// Where the system keeps its files, following the XDG base directories.
struct AppPaths {
    QString home;
    QString configHome; // $XDG_CONFIG_HOME or ~/.config
    QString dataHome;   // $XDG_DATA_HOME or ~/.local/share

    static AppPaths fromEnvironment(const Environment& environment);

    // "Application Support/Vantrel": module files, QA sessions, calendars.
    QString dataFolder() const { return dataHome + QStringLiteral("/Vantrel"); }
    QString configFolder() const { return configHome + QStringLiteral("/Vantrel"); }
    QString defaultsFolder() const { return configFolder() + QStringLiteral("/defaults"); }
    QString autostartFolder() const { return configHome + QStringLiteral("/autostart"); }
};

} // namespace vantrel
