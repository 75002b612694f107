#include "platform/AtomicFile.h"

#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// Sets the modification time of what is at `path` (a link itself, not its target) `seconds` back.
void age(const QString& path, int seconds) {
    const timespec times[2] = {{0, UTIME_OMIT}, {::time(nullptr) - seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0);
}

} // namespace

TEST(AtomicFile, WritesAndCopiesLeaveNoTemporaryFileAndKeepThePermissions) {
    TempHome home;
    const QString path = home.writeFile("data/notes.json", "old");
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QStringList seen;
    writeFileAtomically(path, "new", [&](const QString& temporary) {
        seen.append(QFileInfo(temporary).fileName());
        EXPECT_EQ(home.readFile(temporary), "new") << "complete before it takes the name";
    });
    EXPECT_EQ(home.readFile(path), "new");
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    const QString copy = home.root() + "/data/notes.previous-2026-03-01T09-05-07Z.json";
    createFileAtomically(copy, "copy",
                         [&](const QString& temporary) { seen.append(QFileInfo(temporary).fileName()); });
    // A taken name is refused before anything is written.
    EXPECT_THROW(createFileAtomically(copy, "again", [&](const QString&) { ADD_FAILURE(); }),
                 std::system_error);
    EXPECT_EQ(home.readFile(copy), "copy");

    ASSERT_EQ(seen.size(), 2);
    EXPECT_TRUE(seen[0].startsWith(".notes.json.vantrel-tmp-")) << seen[0].toStdString();
    EXPECT_TRUE(seen[1].startsWith(".notes.previous-2026-03-01T09-05-07Z.json.vantrel-tmp-"));
    EXPECT_EQ(QDir(home.root() + "/data").entryList(QDir::Files | QDir::Hidden),
              (QStringList{"notes.json", "notes.previous-2026-03-01T09-05-07Z.json"}));
}

TEST(AtomicFile, OnlyStaleTemporaryFilesAreSwept) {
    TempHome home;
    const QString folder = home.root() + "/data";
    const QString outside = home.writeFile("outside.json", "not ours");
    const QStringList stale{".notes.json.vantrel-tmp-Ab12Cd",
                            "notes.previous-2026-03-01T09-05-07Z.json.Qw12Er", "qt_temp.Xy12Ab"};
    const QStringList kept{".clipboard.json.vantrel-tmp-Zz99Yy", "notes.json.backup", "notes.json",
                           "notes.previous-2026-03-01T09-05-07Z.json"};
    for (const QString& name : stale + kept) home.writeFile("data/" + name, "x");
    for (const QString& name : stale + kept.mid(1)) age(folder + "/" + name, 61);
    age(folder + "/" + kept[0], 59); // a write that may still be going on
    // Something else of the same name: a folder and a link are never removed, nor followed.
    QDir().mkpath(folder + "/.dir.vantrel-tmp-Aa11Bb");
    age(folder + "/.dir.vantrel-tmp-Aa11Bb", 120);
    ASSERT_EQ(::symlink(QFile::encodeName(outside).constData(),
                        QFile::encodeName(folder + "/.link.json.vantrel-tmp-Cc22Dd").constData()),
              0);
    age(folder + "/.link.json.vantrel-tmp-Cc22Dd", 120);

    EXPECT_EQ(removeStaleTemporaryFiles(folder, addSeconds(std::chrono::system_clock::now(), Seconds(-60))),
              3);
    QStringList left = kept + QStringList{".dir.vantrel-tmp-Aa11Bb", ".link.json.vantrel-tmp-Cc22Dd"};
    left.sort();
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                     QDir::Name),
              left);
    EXPECT_EQ(home.readFile(outside), "not ours");
    EXPECT_EQ(removeStaleTemporaryFiles(home.root() + "/absent", std::chrono::system_clock::now()), 0);
}
