#include "platform/linux/LinuxWorkspace.h"

#include "support/RecordingSystemLog.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {
QString fixture(const char* name) {
    return QStringLiteral(VANTREL_TEST_DATA_DIR "/applications/") + QString::fromLatin1(name);
}
} // namespace

TEST(LinuxWorkspace, ApplicationsAreTheLaunchableEntries) {
    RecordingSystemLog log;
    LinuxWorkspace workspace(log);
    EXPECT_EQ(workspace.applicationInfo(fixture("browser.desktop")),
              (ApplicationInfo{QStringLiteral("Web Browser"), QStringLiteral("web-browser")}));
    EXPECT_EQ(workspace.applicationInfo(fixture("no-exec.desktop")), std::nullopt);
    EXPECT_EQ(workspace.applicationInfo(fixture("missing.desktop")), std::nullopt);
    EXPECT_EQ(workspace.applicationInfo(QStringLiteral(VANTREL_TEST_DATA_DIR)), std::nullopt) << "a folder";
    EXPECT_FALSE(workspace.launchApplication(fixture("no-exec.desktop")));
}

TEST(LinuxWorkspace, LaunchReportsAProgramThatCannotStart) {
    TempHome home;
    RecordingSystemLog log;
    LinuxWorkspace workspace(log);
    const QString present =
        home.writeFile(QStringLiteral("apps/true.desktop"),
                       "[Desktop Entry]\nType=Application\nName=True\nExec=/bin/true %U\n");
    const QString absent = home.writeFile(QStringLiteral("apps/absent.desktop"),
                                          "[Desktop Entry]\nType=Application\nName=Absent\n"
                                          "Exec=/nonexistent/program --flag\n");
    EXPECT_TRUE(workspace.launchApplication(present));
    EXPECT_FALSE(workspace.launchApplication(absent));
    ASSERT_FALSE(log.lines().empty());
    EXPECT_EQ(log.lines().back().level, LogLevel::error);
}
