#include "platform/AtomicFile.h"
#include "platform/linux/PosixFileManager.h"

#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

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

TEST(AtomicFile, ReadOnlyFilesStayAsTheyAreGroupsAreKeptAndLinkLoopsAreCalledSo) {
    TempHome home;
    const auto statOf = [](const QString& path) {
        struct stat info {};
        EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
        return info;
    };
    const auto reasonOf = [](const auto& write) -> QString {
        try {
            write();
        } catch (const FileWriteError& e) {
            return e.reason();
        } catch (const UnreadableFileError& e) {
            return e.reason();
        }
        return QStringLiteral("no error");
    };
    // A file the user made read-only, named or behind a link: neither replaced nor changed.
    const QString readOnly = home.writeFile("dotfiles/settings.json", "mine");
    ASSERT_EQ(::chmod(QFile::encodeName(readOnly).constData(), 0444), 0);
    const QString link = home.root() + "/config/settings.json";
    ASSERT_TRUE(QDir().mkpath(home.root() + "/config"));
    ASSERT_EQ(::symlink(QFile::encodeName(readOnly).constData(), QFile::encodeName(link).constData()), 0);
    const ino_t inode = statOf(readOnly).st_ino;
    EXPECT_EQ(reasonOf([&] { writeFileAtomically(readOnly, "new"); }),
              "the file is read-only; it is left as it is");
    EXPECT_EQ(reasonOf([&] { writeFileAtomically(link, "new", {}, LinkPolicy::toOwnFile); }),
              "the file is read-only; it is left as it is");
    EXPECT_EQ(home.readFile(readOnly), "mine");
    EXPECT_EQ(statOf(readOnly).st_ino, inode);
    EXPECT_EQ(statOf(readOnly).st_mode & 07777, 0444u);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QDir(home.root() + "/dotfiles").entryList(QDir::Files | QDir::Hidden),
              QStringList{"settings.json"});

    // Saved through a link, the file keeps its group where the saver may give it. Only a group
    // other than the one a new file gets anyway (the saver's own) shows it kept: root may give
    // any, a user one of the other groups it is in. A user in no other group cannot tell a kept
    // group from a new one: there only the content and the mode are checked.
    ASSERT_EQ(::chmod(QFile::encodeName(readOnly).constData(), 0640), 0);
    gid_t group = ::geteuid() == 0 ? 4321 : ::getegid();
    if (::geteuid() != 0) {
        std::vector<gid_t> groups(std::max(::getgroups(0, nullptr), 0));
        groups.resize(std::max(::getgroups(int(groups.size()), groups.data()), 0));
        for (const gid_t other : groups)
            if (other != ::getegid()) group = other;
    }
    ASSERT_EQ(::chown(QFile::encodeName(readOnly).constData(), static_cast<uid_t>(-1), group), 0);
    writeFileAtomically(link, "new", {}, LinkPolicy::toOwnFile);
    EXPECT_EQ(home.readFile(readOnly), "new");
    EXPECT_EQ(statOf(readOnly).st_gid, group);
    EXPECT_EQ(statOf(readOnly).st_mode & 07777, 0640u);

    // A loop of links is named a loop, on reading and on saving, and left untouched.
    const QString loopA = home.root() + "/config/a.json";
    const QString loopB = home.root() + "/config/b.json";
    ASSERT_EQ(::symlink("b.json", QFile::encodeName(loopA).constData()), 0);
    ASSERT_EQ(::symlink("a.json", QFile::encodeName(loopB).constData()), 0);
    const QString loop = "a symbolic link that leads back to itself (a loop) stands in its place";
    EXPECT_EQ(reasonOf([&] { readStoredFile(loopA, 1024, LinkPolicy::toOwnFile); }), loop);
    EXPECT_EQ(reasonOf([&] { writeFileAtomically(loopA, "new", {}, LinkPolicy::toOwnFile); }),
              loop + "; it is left untouched");
    EXPECT_TRUE(QFileInfo(loopA).isSymLink());
    EXPECT_EQ(QFileInfo(loopA).symLinkTarget(), home.root() + "/config/b.json");
    // A link to nothing keeps its own words.
    QFile::remove(loopB);
    EXPECT_EQ(reasonOf([&] { readStoredFile(loopA, 1024, LinkPolicy::toOwnFile); }),
              "a symbolic link to nothing stands in its place");
}

TEST(AtomicFile, FoldersAndFilesMadeHereAreTheUsersAloneWhateverTheUmaskAndAFolderKeepsItsMode) {
    const auto modeOf = [](const QString& path) {
        struct stat info {};
        return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
    };
    const mode_t saved = ::umask(022);
    for (const mode_t mask : {mode_t(022), mode_t(0)}) {
        SCOPED_TRACE(mask);
        ::umask(mask);
        TempHome home;
        const QString root = home.root();
        // Every folder made on the way is private; one the user made keeps the mode given it.
        ASSERT_TRUE(QDir().mkpath(root + "/shared"));
        ASSERT_EQ(::chmod(QFile::encodeName(root + "/shared").constData(), 0755), 0);
        createPrivateFolders(root + "/shared/.local/share/Vantrel");
        EXPECT_EQ(modeOf(root + "/shared"), 0755);
        EXPECT_EQ(modeOf(root + "/shared/.local"), 0700);
        EXPECT_EQ(modeOf(root + "/shared/.local/share/Vantrel"), 0700);

        PosixFileManager files;
        // A data file made here is 0600; an existing one keeps its mode, unless it is private.
        const QString folder = root + "/shared/.local/share/Vantrel/";
        files.writeData("[]", folder + "notes.json");
        EXPECT_EQ(modeOf(folder + "notes.json"), 0600);
        ASSERT_EQ(::chmod(QFile::encodeName(folder + "notes.json").constData(), 0644), 0);
        files.writeData("[1]", folder + "notes.json");
        EXPECT_EQ(modeOf(folder + "notes.json"), 0644);
        home.writeFile("shared/.local/share/Vantrel/clipboard.json", "[]");
        ASSERT_EQ(::chmod(QFile::encodeName(folder + "clipboard.json").constData(), 0644), 0);
        files.copyPrivateItem(folder + "clipboard.json",
                              folder + "clipboard.previous-2026-03-01T09-05-07Z.json");
        EXPECT_EQ(modeOf(folder + "clipboard.previous-2026-03-01T09-05-07Z.json"), 0600);
        files.writePrivateData("[1]", folder + "clipboard.json");
        EXPECT_EQ(modeOf(folder + "clipboard.json"), 0600);

        // Appending: made 0600, narrowed to 0600, never through a link.
        home.writeFile("shared/.local/share/Vantrel/clipboard-journal.jsonl", "a\n");
        ASSERT_EQ(::chmod(QFile::encodeName(folder + "clipboard-journal.jsonl").constData(), 0644), 0);
        files.appendPrivateData("b\n", folder + "clipboard-journal.jsonl");
        EXPECT_EQ(home.readFile(folder + "clipboard-journal.jsonl"), "a\nb\n");
        EXPECT_EQ(modeOf(folder + "clipboard-journal.jsonl"), 0600);
        const QString outside = home.writeFile("outside.txt", "mine");
        ASSERT_TRUE(QFile::link(outside, folder + "linked.journal"));
        EXPECT_THROW(files.appendPrivateData("x\n", folder + "linked.journal"), std::system_error);
        EXPECT_EQ(home.readFile(outside), "mine");
    }
    ::umask(saved);
}
