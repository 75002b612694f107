#include "platform/linux/DesktopEntry.h"

#include "platform/AppPaths.h"
#include "platform/AtomicFile.h"
#include "platform/Environment.h"

#include <QDir>
#include <QFile>
#include <memory>

#include <gio/gdesktopappinfo.h>

namespace vantrel {

namespace {

// Entries are a few kilobytes; anything far larger is not one and is not read.
constexpr qint64 kMaximumEntryBytes = 1 << 20;

struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using AppInfoPointer = std::unique_ptr<GDesktopAppInfo, ObjectUnref>;

struct ErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};

struct KeyFileFree {
    void operator()(GKeyFile* file) const { g_key_file_unref(file); }
};

// The entry as GIO reads it, or none. GIO itself refuses other types, Hidden entries, entries
// whose program or TryExec program is not installed and command lines it cannot split.
// `forLaunch`: GIO reads the file again by name, since a launch expands %k to the entry's path;
// the bounded read just before has shown it to be a regular file of a sane size.
AppInfoPointer load(const QString& path, bool forLaunch = false) {
    QByteArray bytes;
    try {
        // Bounded and without blocking, so GIO never opens a FIFO or reads a huge file whole.
        bytes = readStoredFile(path, kMaximumEntryBytes, LinkPolicy::follow);
    } catch (const std::exception&) {
        return nullptr;
    }
    AppInfoPointer app;
    if (forLaunch) {
        app.reset(g_desktop_app_info_new_from_filename(QFile::encodeName(path).constData()));
    } else {
        const std::unique_ptr<GKeyFile, KeyFileFree> keyFile(g_key_file_new());
        if (!g_key_file_load_from_data(keyFile.get(), bytes.constData(), gsize(bytes.size()), G_KEY_FILE_NONE,
                                       nullptr))
            return nullptr;
        app.reset(g_desktop_app_info_new_from_keyfile(keyFile.get()));
    }
    if (!app || g_desktop_app_info_get_is_hidden(app.get())) return nullptr;
    // Without a command line there is nothing of ours to start.
    const char* commandLine = g_app_info_get_commandline(G_APP_INFO(app.get()));
    if (!commandLine || !*commandLine) return nullptr;
    return app;
}

struct GFree {
    void operator()(gpointer memory) const { g_free(memory); }
};

using ContextPointer = std::unique_ptr<GAppLaunchContext, ObjectUnref>;

// What a launch starts runs on `display`, whatever DISPLAY this program was started with: the
// command line may have named another (-display), and a program started on the wrong one is
// neither seen by the Dock nor where the user looks.
ContextPointer launchContext(const QByteArray& display) {
    ContextPointer context(g_app_launch_context_new());
    if (!display.isEmpty()) g_app_launch_context_setenv(context.get(), "DISPLAY", display.constData());
    return context;
}

QString text(const char* value) {
    return value ? QString::fromUtf8(value) : QString();
}

} // namespace

std::optional<DesktopEntry> readDesktopEntry(const QString& path) {
    const AppInfoPointer app = load(path);
    if (!app) return std::nullopt;
    DesktopEntry entry;
    entry.name = text(g_app_info_get_name(G_APP_INFO(app.get())));
    if (entry.name.isEmpty()) return std::nullopt;
    // A themed icon by name, or a file by its path, as the entry wrote it.
    char* icon = g_desktop_app_info_get_string(app.get(), G_KEY_FILE_DESKTOP_KEY_ICON);
    entry.icon = text(icon);
    g_free(icon);
    entry.shown = g_app_info_should_show(G_APP_INFO(app.get()));
    entry.terminal = g_desktop_app_info_get_boolean(app.get(), G_KEY_FILE_DESKTOP_KEY_TERMINAL);
    entry.startupWMClass = text(g_desktop_app_info_get_startup_wm_class(app.get()));
    entry.executable = text(g_app_info_get_executable(G_APP_INFO(app.get())));
    return entry;
}

std::optional<QString> launchDesktopEntry(const QString& path, const QByteArray& display) {
    const AppInfoPointer app = load(path, true);
    if (!app) return QStringLiteral("%1 is no launchable application entry").arg(path);
    const ContextPointer context = launchContext(display);
    GError* rawError = nullptr;
    if (g_app_info_launch(G_APP_INFO(app.get()), nullptr, context.get(), &rawError)) return std::nullopt;
    const std::unique_ptr<GError, ErrorFree> error(rawError);
    return error ? QString::fromUtf8(error->message) : QStringLiteral("could not start %1").arg(path);
}

std::optional<QString> openOnDisplay(const QUrl& url, const QByteArray& display) {
    const std::unique_ptr<gchar, GFree> opener(g_find_program_in_path("xdg-open"));
    if (!opener) return QStringLiteral("no xdg-open is installed");
    const std::unique_ptr<gchar, GFree> quoted(g_shell_quote(opener.get()));
    GError* rawError = nullptr;
    const std::unique_ptr<GAppInfo, ObjectUnref> app(g_app_info_create_from_commandline(
        quoted.get(), nullptr, G_APP_INFO_CREATE_SUPPORTS_URIS, &rawError));
    if (app) {
        const ContextPointer context = launchContext(display);
        const QByteArray uri = url.toEncoded();
        GList uris{const_cast<char*>(uri.constData()), nullptr, nullptr};
        if (g_app_info_launch_uris(app.get(), &uris, context.get(), &rawError)) return std::nullopt;
    }
    const std::unique_ptr<GError, ErrorFree> error(rawError);
    return error ? QString::fromUtf8(error->message)
                 : QStringLiteral("could not open %1").arg(url.toString());
}

QStringList applicationFolders(const AppPaths& paths, const Environment& environment) {
    QStringList folders{paths.dataHome + QStringLiteral("/applications")};
    QString dataDirs = environment.value(QStringLiteral("XDG_DATA_DIRS")).value_or(QString());
    if (dataDirs.isEmpty()) dataDirs = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString& dir : dataDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        // Relative entries are invalid in the XDG variables and are ignored.
        if (!QDir::isAbsolutePath(dir)) continue;
        const QString folder = QDir::cleanPath(dir) + QStringLiteral("/applications");
        if (!folders.contains(folder)) folders.append(folder);
    }
    return folders;
}

} // namespace vantrel
