#pragma once

#include <QString>
#include <optional>

namespace vantrel {

class Environment;

// Which of Qt's window-system platforms the application object is made with. The notch panel, the
// clipboard's announcements, the window list and the global hot keys all speak X11, so wherever an
// X server is reachable (Xwayland on a Wayland desktop) Vantrel runs as an X11 client.
struct PlatformChoice {
    // The value for QT_QPA_PLATFORM, or none to leave Qt's own choice (a value the user set, or
    // nothing to choose from).
    std::optional<QString> platform;
    // One line for the log saying what was chosen and why; empty when nothing was chosen.
    QString logLine;

    bool operator==(const PlatformChoice&) const = default;

    static PlatformChoice choose(const Environment& environment);

    // Whether a running platform (QGuiApplication::platformName()) is Wayland, where a program can
    // neither place its own windows nor grab global keys.
    static bool isWayland(const QString& platformName);
    // The one line logged at start on Wayland without Xwayland.
    static QString waylandLimitsLogLine();
};

} // namespace vantrel
