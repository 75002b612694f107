#include "app/CommandLine.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace vantrel;

TEST(CommandLine, HelpAndVersionPrintAndEndAnUnknownOptionEndsWith2AndQtsOwnOptionsRun) {
    const CommandLineRequest version = readCommandLine({QStringLiteral("--version")}, QStringLiteral("0.1"));
    EXPECT_FALSE(version.run);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output, QStringLiteral("Vantrel 0.1\n"));
    EXPECT_TRUE(version.error.isEmpty());

    for (const QString& asked : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        const CommandLineRequest help = readCommandLine({asked}, QStringLiteral("0.1"));
        EXPECT_FALSE(help.run);
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.output.startsWith(QStringLiteral("Usage: vantrel [option]\n")));
        EXPECT_TRUE(help.output.contains(QStringLiteral("--version"))) << help.output.toStdString();
    }

    const CommandLineRequest unknown =
        readCommandLine({QStringLiteral("--frobnicate")}, QStringLiteral("0.1"));
    EXPECT_FALSE(unknown.run);
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.output.isEmpty());
    EXPECT_EQ(unknown.error, QString::fromUtf8("vantrel: unknown option \u2018--frobnicate\u2019\n"
                                               "Try \u2018vantrel --help\u2019 for the options.\n"));
    EXPECT_EQ(readCommandLine({QStringLiteral("notes.txt")}, {}).exitCode, 2) << "no file is opened";
    const CommandLineRequest valueless = readCommandLine({QStringLiteral("-platform")}, {});
    EXPECT_EQ(valueless.exitCode, 2) << "a value is missing";
    EXPECT_TRUE(valueless.error.startsWith(
        QString::fromUtf8("vantrel: the option \u2018-platform\u2019 needs a value\n")))
        << valueless.error.toStdString();

    EXPECT_TRUE(readCommandLine({}, {}).run);
    EXPECT_TRUE(readCommandLine({QStringLiteral("-platform"), QStringLiteral("xcb"),
                                 QStringLiteral("-style=fusion"), QStringLiteral("--reverse")},
                                {})
                    .run);
    // Every option QGuiApplication and QApplication document, as Qt reads it.
    for (const char* option : {"platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
                               "qwindowicon", "qwindowtitle", "qmljsdebugger", "display", "geometry",
                               "stylesheet", "session", "name", "title", "icon", "visual", "ncols"})
        EXPECT_TRUE(
            readCommandLine({QStringLiteral("-") + QLatin1String(option), QStringLiteral("x")}, {}).run)
            << option;
    for (const char* flag :
         {"-nograb", "-dograb", "-sync", "-widgetcount", "-cmap", "-testability", "-qmljsdebugger=port:3768"})
        EXPECT_TRUE(readCommandLine({QLatin1String(flag)}, {}).run) << flag;
}
