#include "platform/linux/FreedesktopTrash.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// Points HOME and XDG_DATA_HOME at the temporary home while it lives, as the desktop's own move
// to the Trash reads them.
struct TrashHome {
    TempHome home;
    QByteArray oldHome = qgetenv("HOME");
    QByteArray oldData = qgetenv("XDG_DATA_HOME");
    TrashHome() {
        QDir().mkpath(home.paths().dataHome);
        qputenv("HOME", home.paths().home.toLocal8Bit());
        qputenv("XDG_DATA_HOME", home.paths().dataHome.toLocal8Bit());
    }
    ~TrashHome() {
        qputenv("HOME", oldHome);
        qputenv("XDG_DATA_HOME", oldData);
    }
    QString trash(const QString& relative = {}) const {
        return home.paths().dataHome + QStringLiteral("/Trash") +
               (relative.isEmpty() ? QString() : "/" + relative);
    }
    QString file(const QString& name) const {
        return home.writeFile(QStringLiteral("home/Documents/") + name, "contents");
    }
};

TEST(FreedesktopTrash, AnyEntryOfFilesHiddenOnesTooMeansItemsAndAMissingFolderNone) {
    TrashHome h;
    FreedesktopTrash trash(h.home.paths().dataHome);
    EXPECT_EQ(trash.filesFolder(), h.trash("files"));
    EXPECT_FALSE(trash.hasItems()) << "no Trash folder at all";
    QDir().mkpath(h.trash("files"));
    EXPECT_FALSE(trash.hasItems());
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/.directory"), "[Dolphin]");
    EXPECT_TRUE(trash.hasItems()) << "a hidden file counts";
    // A file where the folder should be cannot be listed: nothing in it.
    QDir(h.trash()).removeRecursively();
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/files"), "not a folder");
    EXPECT_FALSE(trash.hasItems());
}

TEST(FreedesktopTrash, MovesWithAnInfoFileNamingTheOriginalAndEmptiesEverything) {
    TrashHome h;
    FreedesktopTrash trash(h.home.paths().dataHome);
    const QString report = h.file(QStringLiteral("report.txt"));
    QString error;
    ASSERT_TRUE(trash.moveToTrash(report, &error)) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(report));
    EXPECT_TRUE(QFileInfo::exists(h.trash("files/report.txt")));
    const QByteArray info = h.home.readFile(h.trash("info/report.txt.trashinfo"));
    EXPECT_TRUE(info.startsWith("[Trash Info]"));
    EXPECT_TRUE(info.contains("Path=" + QFile::encodeName(report))) << info.toStdString();
    EXPECT_TRUE(info.contains("DeletionDate="));
    EXPECT_TRUE(trash.hasItems());

    // Gone already: stays a failure with a reason.
    EXPECT_FALSE(trash.moveToTrash(report, &error));
    EXPECT_FALSE(error.isEmpty());

    // A trashed folder and the folder-size cache go too.
    const QString folder = h.home.paths().home + QStringLiteral("/Documents/Old");
    QDir().mkpath(folder + QStringLiteral("/inner"));
    h.home.writeFile(QStringLiteral("home/Documents/Old/inner/a.txt"), "a");
    ASSERT_TRUE(trash.moveToTrash(folder));
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/directorysizes"), "4096 0 Old\n");
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/.hidden"), "x");
    ASSERT_TRUE(trash.empty(&error)) << error.toStdString();
    EXPECT_FALSE(trash.hasItems());
    EXPECT_TRUE(QDir(h.trash("files")).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_TRUE(QDir(h.trash("info")).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_FALSE(QFileInfo::exists(h.trash("directorysizes")));
    EXPECT_TRUE(QFileInfo::exists(h.trash("files"))) << "the folders themselves stay";
    EXPECT_TRUE(trash.empty()) << "an empty Trash empties without complaint";
}

} // namespace
