#include "platform/linux/DesktopEntry.h"

#include "platform/AppPaths.h"
#include "platform/linux/LinuxWorkspace.h"
#include "support/FakeEnvironment.h"
#include "support/RecordingSystemLog.h"
#include "support/TempHome.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {
QString fixture(const char* name) {
    return QStringLiteral(VANTREL_TEST_DATA_DIR "/applications/") + QString::fromLatin1(name);
}
std::optional<DesktopEntry> parseFixture(const char* name) {
    QFile file(fixture(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return parseDesktopEntry(file.readAll());
}
} // namespace

TEST(DesktopEntry, ApplicationsParseWithFieldCodesRemoved) {
    const auto browser = parseFixture("browser.desktop");
    ASSERT_TRUE(browser);
    EXPECT_EQ(browser->command(), QStringList{QStringLiteral("browser")})
        << "the action group's Exec must not replace the main one";

    const auto tool = parseFixture("quoted.desktop");
    ASSERT_TRUE(tool);
    EXPECT_EQ(tool->name, QStringLiteral("Photo Tool"));
    EXPECT_EQ(tool->command(), (QStringList{QStringLiteral("/opt/Photo Tool/bin/photo tool"),
                                            QStringLiteral("--title"), QStringLiteral("say \"cheese\""),
                                            QStringLiteral("--open="), QStringLiteral("100%")}));
}

TEST(DesktopEntry, EntriesThatCannotLaunchAreRefused) {
    for (const char* name : {"no-exec.desktop", "link.desktop", "hidden.desktop", "broken-quotes.desktop"})
        EXPECT_FALSE(parseFixture(name)) << name;
    EXPECT_FALSE(parseDesktopEntry("Type=Application\nName=x\nExec=x\n")) << "no group header";
    EXPECT_FALSE(parseDesktopEntry("[Desktop Entry]\nType=Application\nName=x\nExec=%U %f\n"))
        << "nothing but field codes leaves no program";
}

TEST(DesktopEntry, ApplicationFoldersFollowXdg) {
    AppPaths paths;
    paths.dataHome = QStringLiteral("/home/u/.local/share");
    FakeEnvironment environment;
    EXPECT_EQ(applicationFolders(paths, environment).last(), QStringLiteral("/usr/share/applications"));
    environment.set(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral("relative/dir:/opt/share/:/opt/share"));
    EXPECT_EQ(applicationFolders(paths, environment),
              (QStringList{QStringLiteral("/home/u/.local/share/applications"),
                           QStringLiteral("/opt/share/applications")}));
}

TEST(LinuxWorkspace, ApplicationsAreTheLaunchableEntries) {
    TempHome home;
    RecordingSystemLog log;
    LinuxWorkspace workspace(log);
    EXPECT_EQ(workspace.applicationInfo(fixture("browser.desktop")),
              (ApplicationInfo{QStringLiteral("Web Browser"), QStringLiteral("web-browser")}));
    EXPECT_EQ(workspace.applicationInfo(QStringLiteral(VANTREL_TEST_DATA_DIR)), std::nullopt) << "a folder";

    EXPECT_TRUE(workspace.launchApplication(
        home.writeFile(QStringLiteral("true.desktop"),
                       "[Desktop Entry]\nType=Application\nName=True\nExec=/bin/true %U\n")));
    EXPECT_FALSE(workspace.launchApplication(
        home.writeFile(QStringLiteral("absent.desktop"),
                       "[Desktop Entry]\nType=Application\nName=A\nExec=/nonexistent/x\n")));
    EXPECT_TRUE(!log.lines().empty() && log.lines().back().level == LogLevel::error);
}
