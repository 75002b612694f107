#include "platform/linux/DesktopEntryIndex.h"

#include "support/TempHome.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QString kFixtures = QStringLiteral(VANTREL_TEST_DATA_DIR "/applications");

QStringList ids(const DesktopEntryIndex& index) {
    QStringList out;
    for (const auto& e : index.entries()) out.append(e.id);
    return out;
}

QString matched(const DesktopEntryIndex& index, const QString& instance, const QString& windowClass,
                const QString& process) {
    const auto* entry = index.match(instance, windowClass, process);
    return entry ? entry->id : QStringLiteral("none");
}

} // namespace

TEST(DesktopEntryIndex, IdsFromTheFirstFolderThatHasThemAndListedEntriesFirst) {
    TempHome home;
    const QString user = home.root() + QStringLiteral("/applications");
    // A removed entry in the user's folder hides the installed one of the same id.
    home.writeFile(QStringLiteral("applications/fixture-editor.desktop"),
                   "[Desktop Entry]\nType=Application\nName=Gone\nExec=true\nHidden=true\n");
    home.writeFile(QStringLiteral("applications/vendor/tool.desktop"),
                   "[Desktop Entry]\nType=Application\nName=Tool\nExec=/usr/bin/env --tool\n"
                   "StartupWMClass=ToolWindow\n");
    DesktopEntryIndex index({user, kFixtures, home.root() + QStringLiteral("/absent")});
    index.reload();
    const QStringList listed = ids(index);
    EXPECT_TRUE(listed.contains("vendor-tool.desktop"));
    EXPECT_TRUE(listed.contains("fixture-sleeper.desktop"));
    EXPECT_FALSE(listed.contains("fixture-editor.desktop"));
    EXPECT_FALSE(listed.contains("hidden.desktop"));
    EXPECT_EQ(listed.back(), "no-display.desktop") << "NoDisplay entries come last";

    EXPECT_EQ(index.idOf(kFixtures + QStringLiteral("/./fixture-sleeper.desktop")),
              "fixture-sleeper.desktop");
    EXPECT_EQ(index.idOf(user + QStringLiteral("/vendor/tool.desktop")), "vendor-tool.desktop");
    EXPECT_EQ(index.idOf(home.root() + QStringLiteral("/tool.desktop")), QString()) << "in no folder";
    EXPECT_EQ(index.idOf(kFixtures + QStringLiteral("/notes.txt")), QString());
}

TEST(DesktopEntryIndex, AProgramIsMatchedByWindowClassThenByProgramName) {
    TempHome home;
    // A program of its own, so the entry is one that launches.
    const QString program = home.writeFile(QStringLiteral("bin/env-with-a-long-name"), "#!/bin/sh\n");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    home.writeFile(QStringLiteral("applications/long.desktop"),
                   "[Desktop Entry]\nType=Application\nName=Long\nExec=" + program.toUtf8() + "\n");
    home.writeFile(QStringLiteral("applications/claims-sleep.desktop"),
                   "[Desktop Entry]\nType=Application\nName=Claims\nExec=true\nStartupWMClass=sleep\n");
    DesktopEntryIndex index({kFixtures, home.root() + QStringLiteral("/applications")});
    index.reload();
    EXPECT_EQ(matched(index, "editor", "VantrelFixtureEditor", ""), "fixture-editor.desktop");
    EXPECT_EQ(matched(index, "vantrelfixtureeditor", "Other", ""), "fixture-editor.desktop")
        << "either name, any case";
    EXPECT_EQ(matched(index, "xsleeper", "XSleeper", "sleep"), "fixture-sleeper.desktop")
        << "by the process name";
    EXPECT_EQ(matched(index, "Sleep", "", ""), "claims-sleep.desktop") << "the window class wins";
    EXPECT_EQ(matched(index, "", "", "env-with-a-lon"), "none") << "shortened to 15, not 14";
    EXPECT_EQ(matched(index, "", "", "env-with-a-long"), "long.desktop");
    EXPECT_EQ(matched(index, "", "", "Env-with-a-long"), "none") << "process names keep their case";
    EXPECT_EQ(matched(index, "true", "", ""), "browser.desktop") << "a listed entry before a NoDisplay one";
    EXPECT_EQ(matched(index, "", "", ""), "none");
    EXPECT_EQ(matched(index, "unknown", "Unknown", "unknown"), "none");
}
