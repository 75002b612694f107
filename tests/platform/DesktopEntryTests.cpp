#include "platform/linux/DesktopEntry.h"

#include "platform/AppPaths.h"
#include "support/FakeEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {
QByteArray fixture(const char* name) {
    QFile file(QStringLiteral(VANTREL_TEST_DATA_DIR "/applications/") + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}
} // namespace

TEST(DesktopEntry, ApplicationsParseWithFieldCodesRemoved) {
    const auto browser = parseDesktopEntry(fixture("browser.desktop"));
    ASSERT_TRUE(browser);
    EXPECT_EQ(browser->name, QStringLiteral("Web Browser"));
    EXPECT_EQ(browser->icon, QStringLiteral("web-browser"));
    EXPECT_EQ(browser->command(), QStringList{QStringLiteral("browser")})
        << "the action group's Exec must not replace the main one";

    const auto tool = parseDesktopEntry(fixture("quoted.desktop"));
    ASSERT_TRUE(tool);
    EXPECT_EQ(tool->name, QStringLiteral("Photo Tool"));
    EXPECT_EQ(tool->path, QStringLiteral("/opt/Photo Tool"));
    EXPECT_EQ(tool->command(), (QStringList{QStringLiteral("/opt/Photo Tool/bin/photo tool"),
                                            QStringLiteral("--title"), QStringLiteral("say \"cheese\""),
                                            QStringLiteral("--open="), QStringLiteral("100%")}));
}

TEST(DesktopEntry, EntriesThatCannotLaunchAreRefused) {
    EXPECT_FALSE(parseDesktopEntry(fixture("no-exec.desktop"))) << "missing Exec";
    EXPECT_FALSE(parseDesktopEntry(fixture("link.desktop"))) << "not an application";
    EXPECT_FALSE(parseDesktopEntry(fixture("hidden.desktop"))) << "marked as deleted";
    EXPECT_FALSE(parseDesktopEntry(fixture("broken-quotes.desktop"))) << "unterminated quote";
    EXPECT_FALSE(parseDesktopEntry("Type=Application\nName=x\nExec=x\n")) << "no group header";
    EXPECT_FALSE(parseDesktopEntry("[Desktop Entry]\nType=Application\nName=x\nExec=%U %f\n"))
        << "nothing but field codes leaves no program";
    EXPECT_FALSE(parseDesktopEntry(QByteArray("\x00\xff\xfe garbage", 12)));
}

TEST(DesktopEntry, ExecSplittingKeepsQuotedEmptiesAndPlainBackslashes) {
    EXPECT_EQ(splitDesktopExec(QStringLiteral("app \"\" two")),
              (QStringList{QStringLiteral("app"), QString(), QStringLiteral("two")}));
    EXPECT_EQ(splitDesktopExec(QStringLiteral("app \"a\\nb\"")),
              (QStringList{QStringLiteral("app"), QStringLiteral("a\\nb")}));
    EXPECT_EQ(splitDesktopExec(QStringLiteral("  app\t%U  ")), QStringList{QStringLiteral("app")});
}

TEST(DesktopEntry, ApplicationFoldersFollowXdg) {
    AppPaths paths;
    paths.dataHome = QStringLiteral("/home/u/.local/share");
    FakeEnvironment environment;
    EXPECT_EQ(applicationFolders(paths, environment),
              (QStringList{QStringLiteral("/home/u/.local/share/applications"),
                           QStringLiteral("/usr/local/share/applications"),
                           QStringLiteral("/usr/share/applications")}));
    environment.set(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral("relative/dir:/opt/share/:/opt/share"));
    EXPECT_EQ(applicationFolders(paths, environment),
              (QStringList{QStringLiteral("/home/u/.local/share/applications"),
                           QStringLiteral("/opt/share/applications")}));
}
