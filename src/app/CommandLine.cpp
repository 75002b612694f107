#include "app/CommandLine.h"

namespace vantrel {

namespace {

// The options every Qt program takes, as QCoreApplication, QGuiApplication, QApplication and the
// X11 platform read them (with the X11 names of old that Qt still takes); Qt reads "--name" as
// "-name" too.
const QStringList kQtOptionsWithValue = {
    QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
    QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
    QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
    QStringLiteral("qwindowtitle"),    QStringLiteral("qmljsdebugger"),
    QStringLiteral("display"),         QStringLiteral("geometry"),
    QStringLiteral("style"),           QStringLiteral("stylesheet"),
    QStringLiteral("session"),         QStringLiteral("name"),
    QStringLiteral("title"),           QStringLiteral("icon"),
    QStringLiteral("visual"),          QStringLiteral("ncols")};
const QStringList kQtFlags = {QStringLiteral("reverse"),     QStringLiteral("nograb"),
                              QStringLiteral("dograb"),      QStringLiteral("sync"),
                              QStringLiteral("widgetcount"), QStringLiteral("cmap"),
                              QStringLiteral("testability")};

QString usage() {
    return QStringLiteral(
        "Usage: vantrel [option]\n"
        "Starts Vantrel: the notch panel, the replacement Dock and the menu-bar organizer. When it\n"
        "already runs for this user, that one comes forward instead.\n"
        "\n"
        "Options:\n"
        "  -h, --help     Show this help and exit.\n"
        "  --version      Show the version and exit.\n"
        "\n"
        "Qt's own options (-platform, -display, -style, ...) are passed on to Qt.\n");
}

CommandLineRequest failure(const QString& reason) {
    return {.run = false,
            .exitCode = 2,
            .output = {},
            .error =
                QStringLiteral("vantrel: %1\nTry \u2018vantrel --help\u2019 for the options.\n").arg(reason)};
}

} // namespace

CommandLineRequest readCommandLine(const QStringList& arguments, const QString& version) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == u"--help" || argument == u"-h")
            return {.run = false, .exitCode = 0, .output = usage(), .error = {}};
        if (argument == u"--version")
            return {.run = false,
                    .exitCode = 0,
                    .output = QStringLiteral("Vantrel %1\n").arg(version),
                    .error = {}};
        if (!argument.startsWith(u'-') || argument == u"-" || argument == u"--")
            return failure(QStringLiteral("unexpected argument \u2018%1\u2019").arg(argument));
        QString name = argument.mid(argument.startsWith(u"--") ? 2 : 1);
        const qsizetype equals = name.indexOf(u'=');
        const bool valueAttached = equals >= 0;
        if (valueAttached) name.truncate(equals);
        if (kQtFlags.contains(name) && !valueAttached) continue;
        if (kQtOptionsWithValue.contains(name)) {
            if (valueAttached) continue;
            if (++i < arguments.size()) continue;
            return failure(QStringLiteral("the option \u2018%1\u2019 needs a value").arg(argument));
        }
        return failure(QStringLiteral("unknown option \u2018%1\u2019").arg(argument));
    }
    return {};
}

} // namespace vantrel
