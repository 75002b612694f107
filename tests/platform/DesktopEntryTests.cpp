#include "platform/linux/DesktopEntry.h"

#include "platform/AppPaths.h"
#include "platform/linux/LinuxWorkspace.h"
#include "support/FakeEnvironment.h"
#include "support/HostileFiles.h"
#include "support/RecordingProgram.h"
#include "support/RecordingSystemLog.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

QString fixture(const char* name) {
    return QStringLiteral(VANTREL_TEST_DATA_DIR "/applications/") + QString::fromLatin1(name);
}

// Sets an environment variable for the life of the object.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedVariable() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

} // namespace

TEST(DesktopEntry, NamesFollowTheUsersLanguage) {
    {
        const ScopedVariable language("LANGUAGE", "de");
        EXPECT_EQ(readDesktopEntry(fixture("browser.desktop"))->name, QStringLiteral("Webbrowser"));
    }
    {
        const ScopedVariable language("LANGUAGE", "pt_BR:fr");
        EXPECT_EQ(readDesktopEntry(fixture("browser.desktop"))->name, QStringLiteral("Navigateur"));
    }
    const ScopedVariable language("LANGUAGE", "ja");
    const ScopedVariable all("LC_ALL", "C");
    const auto browser = readDesktopEntry(fixture("browser.desktop"));
    ASSERT_TRUE(browser);
    EXPECT_EQ(browser->name, QStringLiteral("Web Browser"));
    EXPECT_EQ(browser->icon, QStringLiteral("web-browser"));
    EXPECT_TRUE(browser->shown);
    EXPECT_FALSE(browser->terminal);
}

TEST(DesktopEntry, WindowClassAndProgramForMatchingRunningPrograms) {
    const auto editor = readDesktopEntry(fixture("fixture-editor.desktop"));
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->startupWMClass, QStringLiteral("VantrelFixtureEditor"));
    EXPECT_EQ(editor->executable, QStringLiteral("true"));
    const auto sleeper = readDesktopEntry(fixture("fixture-sleeper.desktop"));
    ASSERT_TRUE(sleeper);
    EXPECT_EQ(sleeper->startupWMClass, QString());
    EXPECT_EQ(sleeper->executable, QStringLiteral("sleep"));
}

TEST(DesktopEntry, EntriesThatCannotLaunchAreRefused) {
    // Hidden, another type, no command line, broken quoting, a missing TryExec program, a
    // program that is not installed, nothing but field codes.
    for (const char* name : {"hidden.desktop", "link.desktop", "no-exec.desktop", "broken-quotes.desktop",
                             "try-exec.desktop", "missing-program.desktop", "field-codes-only.desktop"}) {
        EXPECT_FALSE(readDesktopEntry(fixture(name))) << name;
        EXPECT_TRUE(launchDesktopEntry(fixture(name))) << name;
    }
    EXPECT_FALSE(readDesktopEntry(QStringLiteral(VANTREL_TEST_DATA_DIR))) << "a folder";
    // NoDisplay keeps an application that is not offered in lists.
    const auto helper = readDesktopEntry(fixture("no-display.desktop"));
    ASSERT_TRUE(helper);
    EXPECT_FALSE(helper->shown);
}

TEST(DesktopEntry, EntriesAreReadBoundedWithoutWaitingAndThroughLinks) {
    TempHome home;
    const QString apps = home.root() + QStringLiteral("/apps/");
    // A FIFO, a folder and a sparse file past the limit are left out without being waited on.
    for (const Hostile kind : {Hostile::fifo, Hostile::folder, Hostile::overLimit}) {
        const QString path = apps + QString::fromLatin1(nameOf(kind)) + QStringLiteral(".desktop");
        ASSERT_TRUE(makeHostile(kind, path, QString(), 1 << 20));
        EXPECT_FALSE(readDesktopEntry(path)) << nameOf(kind);
        EXPECT_TRUE(launchDesktopEntry(path)) << nameOf(kind);
    }
    // Entries installed as links (as packages often do) are read through them.
    const QString link = apps + QStringLiteral("browser.desktop");
    ASSERT_TRUE(QFile::link(fixture("browser.desktop"), link));
    const ScopedVariable language("LANGUAGE", "de");
    const auto browser = readDesktopEntry(link);
    ASSERT_TRUE(browser);
    EXPECT_EQ(browser->name, QStringLiteral("Webbrowser"));
}

TEST(DesktopEntry, LaunchExpandsFieldCodesAsTheDesktopDoes) {
    TempHome home;
    const RecordingProgram program = installRecorder(home, QStringLiteral("bin/photo tool"));
    const QString entry = home.writeFile(
        QStringLiteral("photo.desktop"),
        "[Desktop Entry]\nType=Application\nName=Photo\\sTool\nIcon=photo\nExec=\"" + program.path.toUtf8() +
            "\" --title \"say \\\\\"cheese\\\\\"\" %F --open=%f %i %c 100%% %k\n");
    ASSERT_EQ(launchDesktopEntry(entry), std::nullopt);
    EXPECT_EQ(program.waitForArguments(),
              (QStringList{QStringLiteral("--title"), QStringLiteral("say \"cheese\""),
                           QStringLiteral("--open="), QStringLiteral("--icon"), QStringLiteral("photo"),
                           QStringLiteral("Photo Tool"), QStringLiteral("100%"), entry}));
}

TEST(DesktopEntry, TerminalProgramsStartInTheDesktopsTerminal) {
    TempHome home;
    const RecordingProgram terminal = installRecorder(home, QStringLiteral("bin/gnome-terminal"));
    const ScopedVariable path("PATH",
                              QFile::encodeName(home.root() + QStringLiteral("/bin:")) + qgetenv("PATH"));
    const auto top = readDesktopEntry(fixture("terminal.desktop"));
    ASSERT_TRUE(top);
    EXPECT_TRUE(top->terminal);
    ASSERT_EQ(launchDesktopEntry(fixture("terminal.desktop")), std::nullopt);
    EXPECT_EQ(terminal.waitForArguments(), (QStringList{QStringLiteral("--"), QStringLiteral("true"),
                                                        QStringLiteral("-d"), QStringLiteral("5")}));
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
    const ScopedVariable language("LANGUAGE", "de");
    EXPECT_EQ(workspace.applicationInfo(fixture("browser.desktop")),
              (ApplicationInfo{QStringLiteral("Webbrowser"), QStringLiteral("web-browser"), true}));
    EXPECT_EQ(workspace.applicationInfo(fixture("no-display.desktop"))->shown, false);
    EXPECT_EQ(workspace.applicationInfo(fixture("try-exec.desktop")), std::nullopt);

    // An entry's icon file, or for any other file the icon of its type.
    const QString iconFile = home.root() + QStringLiteral("/app.png");
    QImage(4, 4, QImage::Format_ARGB32).save(iconFile);
    const QString withIcon = home.writeFile(
        QStringLiteral("icon.desktop"),
        "[Desktop Entry]\nType=Application\nName=I\nExec=true\nIcon=" + iconFile.toUtf8() + "\n");
    EXPECT_EQ(workspace.iconForFile(withIcon).availableSizes(), QList<QSize>{QSize(4, 4)});
    EXPECT_NE(workspace.iconForFile(home.writeFile(QStringLiteral("plain.txt"), "text")).availableSizes(),
              QList<QSize>{QSize(4, 4)});

    const RecordingProgram program = installRecorder(home, QStringLiteral("bin/program"));
    EXPECT_TRUE(workspace.launchApplication(home.writeFile(
        QStringLiteral("program.desktop"),
        "[Desktop Entry]\nType=Application\nName=P\nExec=" + program.path.toUtf8() + " %U\n")));
    EXPECT_EQ(program.waitForArguments(), QStringList());
    EXPECT_TRUE(log.lines().empty());
    EXPECT_FALSE(workspace.launchApplication(fixture("hidden.desktop")));
    ASSERT_FALSE(log.lines().empty());
    EXPECT_EQ(log.lines().back().level, LogLevel::error);
}

// Writes a program at `relativePath` under the temporary home that records the DISPLAY it was
// started with, then its arguments, one a line.
RecordingProgram installDisplayRecorder(const TempHome& home, const QString& relativePath) {
    const QString path =
        home.writeFile(relativePath, "#!/bin/sh\n{ printf '%s\\n' \"$DISPLAY\"\n"
                                     "for a in \"$@\"; do printf '%s\\n' \"$a\"; done; }"
                                     " > \"$0.args.part\"\nmv \"$0.args.part\" \"$0.args\"\n");
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
    return {path};
}

TEST(LinuxWorkspace, ApplicationsFilesAndLinksStartOnTheDisplayTheProgramOpened) {
    TempHome home;
    RecordingSystemLog log;
    // This program was started with DISPLAY=:7 and opened :42 (-display :42).
    const ScopedVariable display("DISPLAY", ":7");
    const RecordingProgram opener = installDisplayRecorder(home, QStringLiteral("bin/xdg-open"));
    const ScopedVariable path("PATH", QFile::encodeName(home.root()) + "/bin:" + qgetenv("PATH"));
    LinuxWorkspace workspace(log, {}, nullptr, ":42");

    const RecordingProgram program = installDisplayRecorder(home, QStringLiteral("apps/program"));
    const QString entry = home.writeFile(
        QStringLiteral("program.desktop"),
        "[Desktop Entry]\nType=Application\nName=P\nExec=" + program.path.toUtf8() + " --new\n");
    EXPECT_TRUE(workspace.launchApplication(entry));
    EXPECT_EQ(program.waitForArguments(), (QStringList{":42", "--new"}));

    const QString file = home.writeFile(QStringLiteral("notes/a b.txt"), "text");
    EXPECT_TRUE(workspace.open(QUrl::fromLocalFile(file)));
    EXPECT_EQ(opener.waitForArguments(), (QStringList{":42", file}));
    QFile::remove(opener.record());
    EXPECT_TRUE(workspace.open(QUrl(QStringLiteral("https://example.org/a?b=c"))));
    EXPECT_EQ(opener.waitForArguments(), (QStringList{":42", "https://example.org/a?b=c"}));
    EXPECT_TRUE(log.lines().empty());

    // Without a display of its own, what it starts inherits DISPLAY.
    QFile::remove(program.record());
    EXPECT_TRUE(LinuxWorkspace(log).launchApplication(entry));
    EXPECT_EQ(program.waitForArguments(), (QStringList{":7", "--new"}));
}

TEST(LinuxWorkspace, InstalledApplicationsAreTheListedEntriesTheMostSpecificFolderFirst) {
    TempHome home;
    RecordingSystemLog log;
    // The user's own copy of the browser's entry hides the system's.
    const QString own = home.writeFile(QStringLiteral("applications/browser.desktop"),
                                       "[Desktop Entry]\nType=Application\nName=My Browser\nExec=true\n");
    LinuxWorkspace workspace(log, {home.root() + QStringLiteral("/applications"),
                                   QStringLiteral(VANTREL_TEST_DATA_DIR "/applications")});
    QStringList names;
    QString browserPath;
    for (const InstalledApplication& application : workspace.installedApplications()) {
        names << application.name;
        if (application.name == u"My Browser") browserPath = application.path;
    }
    names.sort();
    // No helper kept out of menus, no removed or uninstalled entry, no link, nothing without a
    // program to run.
    EXPECT_EQ(names, (QStringList{"Fixture Editor", "Fixture Sleeper", "My Browser", "Process Viewer"}));
    EXPECT_EQ(browserPath, own);
    EXPECT_TRUE(LinuxWorkspace(log).installedApplications().empty()) << "no folders, nothing installed";
}
