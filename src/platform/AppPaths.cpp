#include "platform/AppPaths.h"

#include "platform/Environment.h"

#include <QDir>

namespace vantrel {

AppPaths AppPaths::fromEnvironment(const Environment& environment) {
    AppPaths paths;
    const auto nonEmpty = [&](const char* name) -> QString {
        auto v = environment.value(QString::fromLatin1(name));
        return v && !v->isEmpty() ? *v : QString();
    };
    paths.home = nonEmpty("HOME");
    if (paths.home.isEmpty()) paths.home = QDir::homePath();
    // XDG: a relative path in these variables is invalid and must be ignored.
    const auto xdg = [&](const char* name, const QString& fallback) {
        const QString v = nonEmpty(name);
        return !v.isEmpty() && QDir::isAbsolutePath(v) ? QDir::cleanPath(v) : fallback;
    };
    paths.configHome = xdg("XDG_CONFIG_HOME", paths.home + QStringLiteral("/.config"));
    paths.dataHome = xdg("XDG_DATA_HOME", paths.home + QStringLiteral("/.local/share"));
    return paths;
}

} // namespace vantrel
