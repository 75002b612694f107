#include "platform/linux/FreedesktopTrash.h"
#include "support/QtPrinters.h"
#include "support/TempHome.h"
#include "support/Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <sched.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <utility>

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
    QString error;
    EXPECT_TRUE(trash.empty(&error)) << "and emptying it is done at once";
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
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

// The permission bits of what is at `path`, following no link.
int modeOf(const QString& path) {
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0) return -1;
    return int(status.st_mode & 07777);
}

bool makeLink(const QString& target, const QString& link) {
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) == 0;
}

bool exists(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
}

// A chain of `depth` folders under `top`, one file at its foot; made a level at a time, as a
// path would soon grow too long to name.
bool nest(const QString& top, int depth) {
    if (!QDir().mkpath(top)) return false;
    int folder = ::open(QFile::encodeName(top).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int i = 1; i < depth && folder >= 0; ++i) {
        const int below = ::mkdirat(folder, "d", 0755) == 0
                              ? ::openat(folder, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                              : -1;
        ::close(folder);
        folder = below;
    }
    if (folder < 0) return false;
    const int foot = ::openat(folder, "foot", O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ::close(folder);
    return foot >= 0 && ::close(foot) == 0;
}

// Sets what is at `path` to have last changed `seconds` ago.
bool age(const QString& path, int seconds) {
    timespec times[2]{};
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= seconds;
    times[1] = times[0];
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

// The names in a folder of the Trash, sorted.
QStringList entries(const QString& folder) {
    QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}
std::string listed(const QStringList& names) {
    return names.join(QLatin1Char(' ')).toStdString();
}

TEST(FreedesktopTrash, AnItemTrashedWhileTheTrashIsReadKeepsItsFileAndItsInfo) {
    TrashHome h;
    FreedesktopTrash trash(h.home.paths().dataHome);
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/old.txt"), "old");
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/info/old.txt.trashinfo"), "[Trash Info]");
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/info/gone.txt.trashinfo"), "[Trash Info]");
    ASSERT_TRUE(age(h.trash("info/gone.txt.trashinfo"), 3600));
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/.directory"), "[Dolphin]");
    // The emptying first asks whether to stop between its two readings: an item is trashed there,
    // its info first, as the desktop does.
    int asked = 0;
    QString error;
    EXPECT_TRUE(trash.empty(&error, [&] {
        if (asked++ == 0) {
            h.home.writeFile(QStringLiteral("home/.local/share/Trash/info/new.txt.trashinfo"),
                             "[Trash Info]");
            h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/new.txt"), "new");
        }
        return false;
    })) << error.toStdString();
    EXPECT_EQ(listed(entries(h.trash("files"))), "new.txt");
    EXPECT_EQ(listed(entries(h.trash("info"))), "new.txt.trashinfo")
        << "an info whose file is gone, and a file without info, go";
}

TEST(FreedesktopTrash, ALoneInfoGoesOnlyOnceItHasWaitedLongForItsFile) {
    TrashHome h;
    FreedesktopTrash trash(h.home.paths().dataHome);
    for (int i = 0; i < 20; ++i) {
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/item%1.txt").arg(i), "x");
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/info/item%1.txt.trashinfo").arg(i),
                         "[Trash Info]");
    }
    // A trasher has written the info of "arriving.txt" and pauses before moving the file in;
    // another moves "during.txt" in once the emptying has listed the Trash. "stale.txt" never came.
    for (const char* name : {"arriving", "during", "stale"})
        h.home.writeFile(
            QStringLiteral("home/.local/share/Trash/info/%1.txt.trashinfo").arg(QLatin1String(name)),
            "[Trash Info]");
    ASSERT_TRUE(age(h.trash("info/stale.txt.trashinfo"), 2 * 3600));
    const QString arriving = h.file(QStringLiteral("arriving.txt"));
    const QString during = h.file(QStringLiteral("during.txt"));
    bool hooked = false;
    trash.setBeforeDeleting([&] { hooked = QDir().rename(during, h.trash("files/during.txt")); });
    QString error;
    EXPECT_TRUE(trash.empty(&error)) << error.toStdString();
    ASSERT_TRUE(hooked);
    ASSERT_TRUE(QDir().rename(arriving, h.trash("files/arriving.txt")));
    EXPECT_EQ(listed(entries(h.trash("files"))), "arriving.txt during.txt");
    EXPECT_EQ(listed(entries(h.trash("info"))), "arriving.txt.trashinfo during.txt.trashinfo")
        << "each file that arrives keeps its info; only the long lone one goes";
}

TEST(FreedesktopTrash, AStopEndsTheEmptyingAtTheNextEntryAndWhatIsLeftIsWhole) {
    TrashHome h;
    FreedesktopTrash trash(h.home.paths().dataHome);
    for (int i = 0; i < 10; ++i) {
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/item%1.txt").arg(i), "x");
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/info/item%1.txt.trashinfo").arg(i),
                         "[Trash Info]");
    }
    for (int i = 0; i < 100; ++i)
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/Folder/f%1").arg(i), "x");
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/info/Folder.trashinfo"), "[Trash Info]");

    // Quitting comes when the emptying has asked 30 times, inside the folder whatever the order.
    int asked = 0;
    QString error;
    EXPECT_FALSE(trash.empty(&error, [&] { return ++asked > 30; }));
    EXPECT_EQ(error, "Emptying the Trash stopped; what is left is still in the Trash.");
    EXPECT_EQ(asked, 31) << "nothing more is done once a stop is asked for";
    const qsizetype inFolder = entries(h.trash("files/Folder")).size();
    EXPECT_GT(inFolder, 0);
    EXPECT_LT(inFolder, 100);
    QStringList infos;
    for (const QString& file : entries(h.trash("files"))) infos.append(file + QStringLiteral(".trashinfo"));
    EXPECT_EQ(listed(entries(h.trash("info"))), listed(infos))
        << "every item left has its info, and every info its item";

    EXPECT_TRUE(trash.empty(&error)) << error.toStdString();
    EXPECT_TRUE(entries(h.trash("files")).isEmpty());
}

TEST(FreedesktopTrash, ALinkInPlaceOfFilesOrInfoIsRefusedAndWhatItLeadsToKept) {
    for (const QString& folder : {QStringLiteral("files"), QStringLiteral("info")}) {
        SCOPED_TRACE(folder.toStdString());
        TrashHome h;
        FreedesktopTrash trash(h.home.paths().dataHome);
        const QString mine = h.file(QStringLiteral("keep.txt"));
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/old.txt"), "old");
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/info/old.txt.trashinfo"), "[Trash Info]");
        QDir(h.trash(folder)).removeRecursively();
        ASSERT_TRUE(makeLink(h.home.paths().home + QStringLiteral("/Documents"), h.trash(folder)));

        QString error;
        EXPECT_FALSE(trash.empty(&error));
        EXPECT_EQ(error, QString::fromUtf8("The Trash\u2019s \u201c") + folder +
                             QString::fromUtf8("\u201d folder is a symbolic link; nothing was deleted."));
        EXPECT_EQ(h.home.readFile(mine), "contents") << "the folder the link leads to keeps its files";
        EXPECT_TRUE(exists(h.trash(folder))) << "the link stays too";
        const QString other = folder == QStringLiteral("files") ? QStringLiteral("info/old.txt.trashinfo")
                                                                : QStringLiteral("files/old.txt");
        EXPECT_TRUE(exists(h.trash(other))) << "nothing else goes either";
    }
    TrashHome h;
    FreedesktopTrash trash(h.home.paths().dataHome);
    h.file(QStringLiteral("keep.txt"));
    QDir().mkpath(h.trash());
    ASSERT_TRUE(makeLink(h.home.paths().home + QStringLiteral("/Documents"), h.trash("files")));
    EXPECT_FALSE(trash.hasItems()) << "not listed through the link";

    // A file in place of the folder cannot be read: a failure, not an empty Trash.
    QFile::remove(h.trash("files"));
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/files"), "not a folder");
    QString error;
    EXPECT_FALSE(trash.empty(&error));
    EXPECT_EQ(error,
              QString::fromUtf8(
                  "The Trash\u2019s \u201cfiles\u201d folder could not be read; nothing was deleted."));
}

TEST(FreedesktopTrash, LinksInATrashedReadOnlyFolderGoWithoutTouchingWhatTheyLeadTo) {
    TrashHome h;
    FreedesktopTrash trash(h.home.paths().dataHome);
    const QString shared = h.file(QStringLiteral("shared.txt"));
    const QString secret = h.file(QStringLiteral("secret.txt"));
    const QString kept = h.home.paths().home + QStringLiteral("/Kept");
    h.home.writeFile(QStringLiteral("home/Kept/inside.txt"), "inside");
    const QString bundle = h.trash("files/Bundle");
    QDir().mkpath(bundle);
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/info/Bundle.trashinfo"), "[Trash Info]");
    ASSERT_TRUE(makeLink(shared, bundle + QStringLiteral("/shared")));
    ASSERT_TRUE(makeLink(secret, bundle + QStringLiteral("/secret")));
    ASSERT_TRUE(makeLink(kept, bundle + QStringLiteral("/kept")));
    ASSERT_TRUE(makeLink(kept, h.trash("files/KeptLink")));
    ASSERT_TRUE(giveToUnprivileged(h.home.root()));
    ::chmod(QFile::encodeName(shared).constData(), 0444);
    ::chmod(QFile::encodeName(secret).constData(), 0400);
    ::chmod(QFile::encodeName(bundle).constData(), 0555);

    const std::optional<QByteArray> answer = runUnprivileged([&] {
        QString error;
        return trash.empty(&error) ? QByteArray("emptied") : error.toUtf8();
    });
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(*answer, "emptied");
    EXPECT_FALSE(exists(bundle));
    EXPECT_FALSE(exists(h.trash("files/KeptLink")));
    EXPECT_FALSE(exists(h.trash("info/Bundle.trashinfo")));
    EXPECT_EQ(modeOf(shared), 0444);
    EXPECT_EQ(modeOf(secret), 0400);
    EXPECT_EQ(h.home.readFile(shared), "contents");
    EXPECT_EQ(h.home.readFile(kept + QStringLiteral("/inside.txt")), "inside");
}

TEST(FreedesktopTrash, FoldersOfOursOpenedUpAndDeletedWhatStaysIsNamed) {
    if (::geteuid() != 0) GTEST_SKIP() << "folders of another user are made by root";
    TrashHome h;
    FreedesktopTrash trash(h.home.paths().dataHome);
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/ReadOnly/inner/a.txt"), "a");
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/Closed/b.txt"), "b");
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/plain.txt"), "c");
    ASSERT_TRUE(giveToUnprivileged(h.home.root()));
    // Folders the user does not own (root's, as the tests run as root): theirs to keep. Here the
    // Trash's own info folder too.
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/info/plain.txt.trashinfo"), "[Trash Info]");
    for (const char* name : {"Theirs1", "Theirs2", "Theirs3", "Theirs4"})
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/%1/x.txt").arg(QLatin1String(name)),
                         "x");
    ::chmod(QFile::encodeName(h.trash("files/ReadOnly/inner")).constData(), 0555);
    ::chmod(QFile::encodeName(h.trash("files/ReadOnly")).constData(), 0555);
    ::chmod(QFile::encodeName(h.trash("files/Closed")).constData(), 0);
    ::chmod(QFile::encodeName(h.trash("files")).constData(), 0555);

    const std::optional<QByteArray> answer = runUnprivileged([&] {
        QString error;
        return trash.empty(&error) ? QByteArray("emptied") : error.toUtf8();
    });
    ASSERT_TRUE(answer.has_value());
    EXPECT_TRUE(answer->startsWith("Could not delete Theirs")) << answer->toStdString();
    EXPECT_TRUE(answer->endsWith(" and 2 more from the Trash.")) << answer->toStdString();
    EXPECT_EQ(answer->count("Theirs"), 3);
    EXPECT_FALSE(exists(h.trash("files/ReadOnly")));
    EXPECT_FALSE(exists(h.trash("files/Closed")));
    EXPECT_FALSE(exists(h.trash("files/plain.txt")));
    EXPECT_TRUE(exists(h.trash("info/plain.txt.trashinfo")));
    EXPECT_EQ(h.home.readFile(h.trash("files/Theirs2/x.txt")), "x") << "another user's folder stays";
    EXPECT_EQ(modeOf(h.trash("files/Theirs2")), 0755) << "and keeps its mode";
}

TEST(FreedesktopTrash, NamesAreBytes) {
    TrashHome h;
    FreedesktopTrash trash(h.home.paths().dataHome);
    const QByteArray files = QFile::encodeName(h.trash("files"));
    QDir().mkpath(h.trash("files"));
    const QByteArray latin1 = files + "/caf\xe9.txt";
    const int fd = ::open(latin1.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
    ASSERT_EQ(::mkdir((files + "/\xff\xfe").constData(), 0755), 0);
    ASSERT_EQ(::mkdir((files + "/\xff\xfe/\x80").constData(), 0755), 0);
    struct stat status {};
    EXPECT_TRUE(trash.hasItems()) << "names that are not UTF-8 count";
    QString error;
    EXPECT_TRUE(trash.empty(&error)) << error.toStdString();
    EXPECT_NE(::lstat(latin1.constData(), &status), 0);
    EXPECT_NE(::lstat((files + "/\xff\xfe").constData(), &status), 0);
    EXPECT_FALSE(trash.hasItems());
}

// Runs `work` in a child and answers what it returned; nothing when the child did not finish.
std::optional<QByteArray> runInChild(const std::function<QByteArray()>& work) {
    int pipe[2];
    if (::pipe2(pipe, O_CLOEXEC) != 0) return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) return std::nullopt;
    if (child == 0) {
        ::close(pipe[0]);
        const QByteArray answer = work();
        const bool written = ::write(pipe[1], answer.constData(), size_t(answer.size())) == answer.size();
        ::_exit(written ? 0 : 3);
    }
    ::close(pipe[1]);
    QByteArray answer;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(pipe[0], buffer, sizeof buffer)) > 0) answer.append(buffer, n);
    ::close(pipe[0]);
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return answer;
}

// A mount namespace of the child's own, where its mounts stay; as a user, inside a user
// namespace that maps the user to itself.
QByteArray ownMounts() {
    const uid_t user = ::geteuid();
    const gid_t group = ::getegid();
    if (::unshare(user == 0 ? CLONE_NEWNS : CLONE_NEWUSER | CLONE_NEWNS) != 0)
        return QByteArray("no mount namespace: ") + std::strerror(errno);
    if (user != 0) {
        const auto put = [](const char* file, const QByteArray& text) {
            QFile map(QString::fromLatin1(file));
            return map.open(QIODevice::WriteOnly) && map.write(text) == text.size();
        };
        if (!put("/proc/self/setgroups", "deny") ||
            !put("/proc/self/uid_map", QByteArray::number(user) + ' ' + QByteArray::number(user) + " 1") ||
            !put("/proc/self/gid_map", QByteArray::number(group) + ' ' + QByteArray::number(group) + " 1"))
            return "no user namespace";
    }
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return QByteArray("mounts not private: ") + std::strerror(errno);
    return {};
}

bool bindMount(const QString& from, const QString& onto) {
    return ::mount(QFile::encodeName(from).constData(), QFile::encodeName(onto).constData(), nullptr, MS_BIND,
                   nullptr) == 0;
}

TEST(FreedesktopTrash, ABindMountInsideIsNeitherEnteredNorEmptiedAndIsNamed) {
    TrashHome h;
    FreedesktopTrash trash(h.home.paths().dataHome);
    const QString documents = h.home.paths().home + QStringLiteral("/Documents");
    const QString report = h.file(QStringLiteral("report.txt"));
    const QString notes = h.file(QStringLiteral("sub/notes.txt"));
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/plain.txt"), "x");
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/Old/inner/other.txt"), "x");
    QDir().mkpath(h.trash("files/Mounted"));
    QDir().mkpath(h.trash("files/Old/inner/view"));

    const std::optional<QByteArray> answer = runInChild([&]() -> QByteArray {
        if (const QByteArray failure = ownMounts(); !failure.isEmpty()) return "skip: " + failure;
        if (!bindMount(documents, h.trash("files/Mounted")) ||
            !bindMount(documents + QStringLiteral("/sub"), h.trash("files/Old/inner/view")))
            return QByteArray("skip: no bind mount: ") + std::strerror(errno);
        QString error;
        return trash.empty(&error) ? QByteArray("emptied") : error.toUtf8();
    });
    ASSERT_TRUE(answer.has_value());
    if (answer->startsWith("skip: ")) GTEST_SKIP() << answer->mid(6).toStdString();
    EXPECT_EQ(h.home.readFile(report), "contents") << "the folder a mount shows keeps its files";
    EXPECT_EQ(h.home.readFile(notes), "contents");
    EXPECT_TRUE(answer->startsWith("Could not delete ")) << answer->toStdString();
    EXPECT_TRUE(answer->contains("Mounted")) << answer->toStdString();
    EXPECT_TRUE(answer->contains("Old")) << "a mount deep inside keeps its top entry";
    EXPECT_FALSE(exists(h.trash("files/plain.txt")));
    EXPECT_FALSE(exists(h.trash("files/Old/inner/other.txt"))) << "what is around the mount goes";
}

TEST(FreedesktopTrash, AFilesOrInfoFolderThatIsItselfAMountIsRefusedAndNothingGoes) {
    for (const QString& folder : {QStringLiteral("files"), QStringLiteral("info")}) {
        SCOPED_TRACE(folder.toStdString());
        TrashHome h;
        FreedesktopTrash trash(h.home.paths().dataHome);
        const QString documents = h.home.paths().home + QStringLiteral("/Documents");
        const QString report = h.file(QStringLiteral("report.txt"));
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/old.txt"), "old");
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/info/old.txt.trashinfo"), "[Trash Info]");

        const std::optional<QByteArray> answer = runInChild([&]() -> QByteArray {
            if (const QByteArray failure = ownMounts(); !failure.isEmpty()) return "skip: " + failure;
            if (!bindMount(documents, h.trash(folder)))
                return QByteArray("skip: no bind mount: ") + std::strerror(errno);
            QString error;
            return trash.empty(&error) ? QByteArray("emptied") : error.toUtf8();
        });
        ASSERT_TRUE(answer.has_value());
        if (answer->startsWith("skip: ")) GTEST_SKIP() << answer->mid(6).toStdString();
        EXPECT_EQ(QString::fromUtf8(*answer), QString::fromUtf8("The Trash\u2019s \u201c") + folder +
                                                  QString::fromUtf8("\u201d folder is on another mount; "
                                                                    "nothing was deleted."));
        EXPECT_EQ(h.home.readFile(report), "contents") << "the mounted folder keeps its files";
        EXPECT_TRUE(exists(h.trash("files/old.txt"))) << "and the Trash its items";
        EXPECT_TRUE(exists(h.trash("info/old.txt.trashinfo")));
    }
}

TEST(FreedesktopTrash, AFolderMovedOutOfTheTrashMidWayIsNotClimbedOutOf) {
    TrashHome h;
    FreedesktopTrash trash(h.home.paths().dataHome);
    for (int i = 0; i < 20; ++i) {
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/A/x%1").arg(i), "trashed");
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/A/B/b%1").arg(i), "trashed");
        h.home.writeFile(QStringLiteral("home/Outside/x%1").arg(i), "mine");
    }
    const QString outside = h.home.paths().home + QStringLiteral("/Outside");
    // Once the walk has begun deleting in B, B is moved out of the Trash beside the user's files.
    bool moved = false;
    QString error;
    EXPECT_FALSE(trash.empty(&error, [&] {
        if (!moved && exists(h.trash("files/A/B")) && entries(h.trash("files/A/B")).size() < 20)
            moved = QDir().rename(h.trash("files/A/B"), outside + QStringLiteral("/B"));
        return false;
    }));
    ASSERT_TRUE(moved);
    EXPECT_EQ(error, "Could not delete A from the Trash.");
    EXPECT_TRUE(exists(outside + QStringLiteral("/B"))) << "the folder where it now is stays";
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(h.home.readFile(outside + QStringLiteral("/x%1").arg(i)), "mine") << i;
}

TEST(FreedesktopTrash, ATrashedFolderMovedOutMidWayKeepsWhatIsLeftAndIsNamed) {
    TrashHome h;
    FreedesktopTrash trash(h.home.paths().dataHome);
    for (int i = 0; i < 20; ++i)
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/A/x%1").arg(i), "x");
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/info/A.trashinfo"), "[Trash Info]");
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/plain.txt"), "x");
    QDir().mkpath(h.home.paths().home + QStringLiteral("/Restored"));
    const QString restored = h.home.paths().home + QStringLiteral("/Restored/A");
    // Once the walk has begun deleting in A, A is restored out of the Trash.
    qsizetype leftWhenMoved = -1;
    QString error;
    EXPECT_FALSE(trash.empty(&error, [&] {
        const qsizetype left = exists(h.trash("files/A")) ? entries(h.trash("files/A")).size() : -1;
        if (leftWhenMoved < 0 && left >= 0 && left < 20 && QDir().rename(h.trash("files/A"), restored))
            leftWhenMoved = left;
        return false;
    }));
    ASSERT_GT(leftWhenMoved, 0);
    EXPECT_EQ(error, "Could not delete A from the Trash.");
    EXPECT_EQ(entries(restored).size(), leftWhenMoved) << "nothing more goes where it now is";
    EXPECT_FALSE(exists(h.trash("files/plain.txt")));
    EXPECT_TRUE(exists(h.trash("info/A.trashinfo")));
}

// Opens the folder that `names` leads to below the open folder `top`, each made where missing;
// -1 when it cannot. Step by step, as such a way may be longer than a path can be.
int openWay(int top, const QByteArrayList& names) {
    int folder = ::fcntl(top, F_DUPFD_CLOEXEC, 0);
    for (const QByteArray& name : names) {
        if (folder < 0) return -1;
        (void)::mkdirat(folder, name.constData(), 0755);
        const int below = ::openat(folder, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        ::close(folder);
        folder = below;
    }
    return folder;
}

// The number of entries of the open folder `folder`; -1 when it cannot be read.
int entryCount(int folder) {
    DIR* dir = ::fdopendir(::fcntl(folder, F_DUPFD_CLOEXEC, 0));
    if (!dir) return -1;
    // The copy shares the folder's reading position.
    ::rewinddir(dir);
    int count = 0;
    while (const dirent* entry = ::readdir(dir))
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) ++count;
    ::closedir(dir);
    return count;
}

TEST(FreedesktopTrash, AFolderAtAnyDepthMovedOutOfTheTrashMidWayLosesNothingMoreWhereItNowIs) {
    struct Way {
        int depth;     // of the folder moved out; the trashed folder "outer" is at depth 1
        int levels;    // of the whole way down to the folder whose files are being deleted
        int nameBytes; // of each folder's name below "outer"
    };
    // The last way is longer than the kernel looks up at once (4,096 bytes).
    for (const Way way : {Way{2, 2, 5}, Way{5, 5, 5}, Way{5, 20, 250}}) {
        SCOPED_TRACE(::testing::Message() << "depth " << way.depth << " of " << way.levels);
        TrashHome h;
        FreedesktopTrash trash(h.home.paths().dataHome);
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/plain.txt"), "x");
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/info/outer.trashinfo"), "[Trash Info]");
        QByteArrayList names{"outer"};
        for (int level = 2; level <= way.levels; ++level)
            names.append(QByteArray(way.nameBytes - 1, char('a' + level)) + QByteArray::number(level % 10));
        const int files =
            ::open(QFile::encodeName(h.trash("files")).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(files, 0);
        const int bottom = openWay(files, names);
        ASSERT_GE(bottom, 0);
        for (int i = 0; i < 20; ++i) {
            const int fd = ::openat(bottom, QByteArray("x" + QByteArray::number(i)).constData(),
                                    O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            ASSERT_GE(fd, 0);
            ::close(fd);
        }
        const int movedParent = openWay(files, names.mid(0, way.depth - 1));
        ASSERT_GE(movedParent, 0);
        const int home =
            ::open(QFile::encodeName(h.home.paths().home).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(home, 0);
        // Once the walk has begun deleting at the bottom, the folder at `depth` is moved out of
        // the Trash into the home folder.
        int leftWhenMoved = -1;
        QString error;
        EXPECT_FALSE(trash.empty(&error, [&] {
            if (leftWhenMoved < 0 && entryCount(bottom) < 20 &&
                ::renameat(movedParent, names[way.depth - 1].constData(), home, "Moved") == 0)
                leftWhenMoved = entryCount(bottom);
            return false;
        }));
        EXPECT_GT(leftWhenMoved, 0);
        EXPECT_EQ(entryCount(bottom), leftWhenMoved) << "nothing more goes where it now is";
        const int moved = openWay(home, QByteArrayList{"Moved"} + names.mid(way.depth));
        EXPECT_EQ(entryCount(moved), leftWhenMoved);
        EXPECT_EQ(error, "Could not delete outer from the Trash.");
        EXPECT_FALSE(exists(h.trash("files/plain.txt")));
        EXPECT_TRUE(exists(h.trash("info/outer.trashinfo")));
        for (const int fd : {files, bottom, movedParent, home, moved}) ::close(fd);
    }
}

TEST(FreedesktopTrash, AFolderMovedOutJustAsAnEntryOfItIsSetAsideGetsTheEntryBackWhereItNowIs) {
    struct Move {
        int depth; // of the folder moved out; the trashed folder "outer" is at depth 1, its files at 5
        int at;    // the entry set aside when it moves: one of the 20 files, or the emptied folder (21st)
        bool refilled = false; // whether the files' names are all taken again as it moves
    };
    for (const Move move : {Move{2, 3}, Move{5, 3}, Move{2, 21}, Move{4, 21}, Move{5, 3, true}}) {
        SCOPED_TRACE(::testing::Message() << "depth " << move.depth << ", entry " << move.at);
        TrashHome h;
        FreedesktopTrash trash(h.home.paths().dataHome);
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/info/outer.trashinfo"), "[Trash Info]");
        const QByteArrayList names{"outer", "level2", "level3", "level4", "level5"};
        QDir().mkpath(h.trash("files"));
        const int files =
            ::open(QFile::encodeName(h.trash("files")).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const int bottom = openWay(files, names);
        ASSERT_GE(bottom, 0);
        for (int i = 0; i < 20; ++i)
            ::close(::openat(bottom, QByteArray("x" + QByteArray::number(i)).constData(),
                             O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
        const int movedParent = openWay(files, names.mid(0, move.depth - 1));
        const int home =
            ::open(QFile::encodeName(h.home.paths().home).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        int setAside = 0;
        int leftWhenMoved = -1;
        trash.setAfterSettingAside([&] {
            if (++setAside == move.at &&
                ::renameat(movedParent, names[move.depth - 1].constData(), home, "Moved") == 0) {
                leftWhenMoved = entryCount(bottom);
                for (int i = 0; move.refilled && i < 20; ++i)
                    ::close(::openat(bottom, QByteArray("x" + QByteArray::number(i)).constData(),
                                     O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
            }
        });
        QString error;
        EXPECT_FALSE(trash.empty(&error));
        const QString moved = h.home.paths().home + QStringLiteral("/Moved/") +
                              QString::fromLatin1(names.mid(move.depth).join('/'));
        if (move.refilled) {
            EXPECT_EQ(entries(moved).size(), 21) << "the entry set aside is back beside the new one";
            EXPECT_EQ(entries(moved).filter(QStringLiteral(" (2)")).size(), 1) << listed(entries(moved));
        } else if (move.at <= 20) {
            ASSERT_EQ(leftWhenMoved, 20 - move.at);
            EXPECT_EQ(entries(moved).size(), 20 - move.at + 1) << "the entry set aside is back";
        } else {
            ASSERT_EQ(leftWhenMoved, 0);
            EXPECT_TRUE(QFileInfo(moved).isDir()) << "the emptied folder is back";
        }
        EXPECT_EQ(error, "Could not delete outer from the Trash.");
        EXPECT_FALSE(exists(h.trash(".vantrel-deleting")));
        for (const int fd : {files, bottom, movedParent, home}) ::close(fd);
    }
    // What an emptying that was killed left aside with no record of where it came from is not
    // deleted by the next one, but kept in the Trash as items of their own.
    TrashHome h;
    FreedesktopTrash trash(h.home.paths().dataHome);
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/.vantrel-deleting/0"), "x");
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/.vantrel-deleting/1/inner/a.txt"), "a");
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/plain.txt"), "x");
    QString error;
    EXPECT_FALSE(trash.empty(&error));
    const QString kept =
        QString::fromUtf8("Kept in the Trash, as the folder it was deleted from had left the Trash: ");
    EXPECT_TRUE(error == kept + "0, 1." || error == kept + "1, 0.") << error.toStdString();
    EXPECT_EQ(listed(entries(h.trash())), "files info");
    EXPECT_EQ(listed(entries(h.trash("files"))), "0 1");
    EXPECT_EQ(h.home.readFile(h.trash("files/1/inner/a.txt")), "a");
    EXPECT_EQ(listed(entries(h.trash("info"))), "0.trashinfo 1.trashinfo");
    EXPECT_TRUE(trash.empty(&error)) << "and go with the emptying after: " << error.toStdString();
    EXPECT_TRUE(entries(h.trash("files")).isEmpty());
}

TEST(FreedesktopTrash, AMoverRacingTheEmptyingDeletesNothingOutsideTheTrashNorWhereItsLinksLead) {
    TrashHome h;
    FreedesktopTrash trash(h.home.paths().dataHome);
    constexpr int kFolders = 40;
    const QStringList ways{QStringLiteral("a"), QStringLiteral("a/b"), QStringLiteral("a/b/c")};
    const QString out = h.home.paths().home + QStringLiteral("/Out");
    for (int i = 0; i < kFolders; ++i) {
        for (const QString& way : ways)
            for (int f = 0; f < 10; ++f)
                h.home.writeFile(
                    QStringLiteral("home/.local/share/Trash/files/T%1/%2/f%3").arg(i).arg(way).arg(f), "t");
        h.home.writeFile(QStringLiteral("home/Out/target%1/kept").arg(i), "mine");
    }
    const QByteArray files = QFile::encodeName(h.trash("files"));
    const QByteArray outside = QFile::encodeName(out);
    // The mover: as soon as an entry leaves one of a trashed folder's folders, its top folder is
    // moved out, and every other one has a link to a folder outside put in its place. The kernel's
    // notices come in the order things happened: a file that left one of its folders before the
    // move left the Trash; any other must be where the folder now is.
    int report[2];
    int stop[2];
    ASSERT_EQ(::pipe2(report, O_CLOEXEC), 0);
    ASSERT_EQ(::pipe2(stop, O_CLOEXEC | O_NONBLOCK), 0);
    const pid_t mover = ::fork();
    ASSERT_GE(mover, 0);
    if (mover == 0) {
        ::close(report[0]);
        const int notices = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        std::map<int, std::pair<int, QByteArray>> watched; // watch: folder, way
        std::map<int, int> tops;                           // watch of T<i>: folder
        for (int i = 0; i < kFolders; ++i) {
            const QByteArray top = files + "/T" + QByteArray::number(i);
            tops[::inotify_add_watch(notices, top.constData(), IN_MOVED_FROM)] = i;
            for (const char* way : {"a", "a/b", "a/b/c"})
                watched[::inotify_add_watch(notices, (top + '/' + way).constData(),
                                            IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO)] = {i, way};
        }
        // Watching: the emptying may begin.
        if (::write(report[1], "w", 1) != 1) ::_exit(3);
        bool moved[kFolders]{};
        bool tried[kFolders]{};
        QByteArray left; // "i/way/name" of each file that left before its folder was moved out
        alignas(inotify_event) char buffer[65536];
        bool stopping = false;
        for (;;) {
            char byte = 0;
            stopping = stopping || ::read(stop[0], &byte, 1) == 1;
            const ssize_t n = ::read(notices, buffer, sizeof buffer);
            if (n <= 0 && stopping) break;
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                at += ssize_t(sizeof(inotify_event) + event->len);
                if (const auto top = tops.find(event->wd); top != tops.end()) {
                    if (std::strcmp(event->name, "a") == 0) moved[top->second] = true;
                    continue;
                }
                const auto folder = watched.find(event->wd);
                if (folder == watched.end() || !(event->mask & (IN_DELETE | IN_MOVED_FROM))) continue;
                const int i = folder->second.first;
                if (!moved[i])
                    left += QByteArray::number(i) + '/' + folder->second.second + '/' + event->name + '\n';
                if (std::exchange(tried[i], true)) continue;
                const QByteArray from = files + "/T" + QByteArray::number(i) + "/a";
                if (::rename(from.constData(), (outside + "/m" + QByteArray::number(i)).constData()) == 0 &&
                    i % 2 == 0)
                    (void)::symlink((outside + "/target" + QByteArray::number(i)).constData(),
                                    from.constData());
            }
        }
        QByteArray answer;
        for (int i = 0; i < kFolders; ++i)
            if (moved[i]) answer += "moved " + QByteArray::number(i) + '\n';
        answer += left;
        const bool written = ::write(report[1], answer.constData(), size_t(answer.size())) == answer.size();
        ::_exit(written ? 0 : 3);
    }
    ::close(report[1]);
    char watching = 0;
    ASSERT_EQ(::read(report[0], &watching, 1), 1);
    QString error;
    (void)trash.empty(&error);
    ASSERT_EQ(::write(stop[1], "x", 1), 1);
    QByteArray answer;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(report[0], buffer, sizeof buffer)) > 0) answer.append(buffer, n);
    int status = 0;
    ASSERT_EQ(::waitpid(mover, &status, 0), mover);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (const int fd : {report[0], stop[0], stop[1]}) ::close(fd);
    const QByteArrayList lines = answer.split('\n');
    QStringList deletedOutside;
    int moves = 0;
    for (int i = 0; i < kFolders; ++i) {
        if (!lines.contains("moved " + QByteArray::number(i))) continue;
        ++moves;
        for (const QString& way : ways) {
            for (int f = 0; f < 10; ++f) {
                const QString name = QStringLiteral("%1/%2/f%3").arg(i).arg(way).arg(f);
                const QString now = out + QStringLiteral("/m%1/%2/f%3").arg(i).arg(way.mid(2)).arg(f);
                if (!lines.contains(name.toUtf8()) && !exists(now)) deletedOutside.append(name);
            }
        }
    }
    ASSERT_GT(moves, 0) << "the mover moved nothing out";
    EXPECT_EQ(deletedOutside.size(), 0) << listed(deletedOutside);
    for (int i = 0; i < kFolders; ++i)
        EXPECT_EQ(h.home.readFile(out + QStringLiteral("/target%1/kept").arg(i)), "mine") << i;
}

// A kernel before 5.8: statx answers without the mount.
int statxWithoutMount(int folder, const char* path, int flags, unsigned int mask, struct statx* status) {
    const int result = ::statx(folder, path, flags, mask, status);
    status->stx_mask &= ~unsigned(STATX_MNT_ID);
    return result;
}
std::optional<std::uint64_t> noMountTable(int) {
    return std::nullopt;
}

TEST(FreedesktopTrash, WithoutTheKernelsMountTheMountTableTellsItAndWithoutEitherTheEmptyingSaysSo) {
    const TreeRemover::MountSources oldKernel{.statx = statxWithoutMount};
    {
        TrashHome h;
        FreedesktopTrash trash(h.home.paths().dataHome, oldKernel);
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/Old/inner/a.txt"), "a");
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/info/Old.trashinfo"), "[Trash Info]");
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/plain.txt"), "x");
        QString error;
        EXPECT_TRUE(trash.empty(&error)) << error.toStdString();
        EXPECT_TRUE(entries(h.trash("files")).isEmpty());
        EXPECT_TRUE(entries(h.trash("info")).isEmpty());

        // The table still tells a mount on the folder apart.
        const QString documents = h.home.paths().home + QStringLiteral("/Documents");
        const QString report = h.file(QStringLiteral("report.txt"));
        const std::optional<QByteArray> answer = runInChild([&]() -> QByteArray {
            if (const QByteArray failure = ownMounts(); !failure.isEmpty()) return "skip: " + failure;
            if (!bindMount(documents, h.trash("files")))
                return QByteArray("skip: no bind mount: ") + std::strerror(errno);
            return trash.empty(&error) ? QByteArray("emptied") : error.toUtf8();
        });
        ASSERT_TRUE(answer.has_value());
        if (!answer->startsWith("skip: ")) {
            EXPECT_EQ(QString::fromUtf8(*answer),
                      QString::fromUtf8("The Trash\u2019s \u201cfiles\u201d folder is on another mount; "
                                        "nothing was deleted."));
        }
        EXPECT_EQ(h.home.readFile(report), "contents");
    }
    TrashHome h;
    FreedesktopTrash trash(h.home.paths().dataHome, {.statx = statxWithoutMount, .table = noMountTable});
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/plain.txt"), "x");
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/info/plain.txt.trashinfo"), "[Trash Info]");
    QString error;
    EXPECT_FALSE(trash.empty(&error));
    EXPECT_EQ(error,
              QString::fromUtf8("The mount of the Trash\u2019s \u201cfiles\u201d folder cannot be told; "
                                "nothing was deleted."));
    EXPECT_TRUE(exists(h.trash("files/plain.txt")));
    EXPECT_TRUE(exists(h.trash("info/plain.txt.trashinfo")));
}

TEST(FreedesktopTrash, ATreeOfAnyDepthGoesWithAFewDescriptors) {
    TrashHome h;
    FreedesktopTrash trash(h.home.paths().dataHome);
    ASSERT_TRUE(nest(h.trash("files/Shallow"), 200));
    ASSERT_TRUE(nest(h.trash("files/Deep"), 1500));
    h.home.writeFile(QStringLiteral("home/.local/share/Trash/info/Deep.trashinfo"), "[Trash Info]");
    const std::optional<QByteArray> answer = runInChild([&] {
        const rlimit limit{64, 64};
        if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) return QByteArray("no descriptor limit");
        QString error;
        return trash.empty(&error) ? QByteArray("emptied") : error.toUtf8();
    });
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(*answer, "emptied");
    EXPECT_FALSE(exists(h.trash("files/Deep")));
    EXPECT_FALSE(exists(h.trash("files/Shallow")));
    EXPECT_FALSE(exists(h.trash("info/Deep.trashinfo")));
}

TEST(FreedesktopTrash, TheTrashOrItsFoldersMovedAwayMidEmptyingKeepEverythingLeftInThem) {
    // The folder moved ("": the Trash itself), when, and how the message names it.
    enum class At { sixthAsking, itemSetAside, entryOfAFolderSetAside };
    struct Move {
        const char* folder;
        At at;
        const char* named;
    };
    const char* const files = "The Trash\u2019s \u201cfiles\u201d folder";
    for (const Move move : {Move{"files", At::sixthAsking, files}, Move{"files", At::itemSetAside, files},
                            Move{"files", At::entryOfAFolderSetAside, files},
                            Move{"info", At::sixthAsking, "The Trash\u2019s \u201cinfo\u201d folder"},
                            Move{"", At::sixthAsking, "The Trash"}}) {
        SCOPED_TRACE(::testing::Message() << move.named << ", " << int(move.at));
        TrashHome h;
        FreedesktopTrash trash(h.home.paths().dataHome);
        for (int i = 0; i < 20; ++i) {
            h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/item%1").arg(i), "x");
            h.home.writeFile(QStringLiteral("home/.local/share/Trash/info/item%1.trashinfo").arg(i),
                             "[Trash Info]");
            h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/Folder/f%1").arg(i), "x");
        }
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/info/Folder.trashinfo"), "[Trash Info]");
        const QString moved = QString::fromLatin1(move.folder);
        const QString rescued = h.home.paths().home + QStringLiteral("/rescued");
        // Where `files` and `info` are once the move is done.
        const auto now = [&](const QString& folder) {
            return folder == moved ? rescued : (moved.isEmpty() ? rescued : h.trash()) + '/' + folder;
        };
        qsizetype left[3]{}; // items and entries of the folder, infos, when moved
        int count = 0;
        bool done = false;
        const auto moveAt = [&](int at) {
            if (++count != at) return;
            left[0] = entries(h.trash("files")).size();
            left[1] = entries(h.trash("files/Folder")).size();
            left[2] = entries(h.trash("info")).size();
            done = QDir().rename(h.trash(moved), rescued);
        };
        // Whether what was set aside last was an item, told by the count of items.
        qsizetype items = 21;
        trash.setAfterSettingAside([&] {
            const qsizetype before = std::exchange(items, entries(h.trash("files")).size());
            if (move.at != At::sixthAsking && (items < before) == (move.at == At::itemSetAside)) moveAt(3);
        });
        QString error;
        EXPECT_FALSE(trash.empty(&error, [&] {
            if (move.at == At::sixthAsking) moveAt(6);
            return false;
        }));
        ASSERT_TRUE(done);
        ASSERT_LT(left[0] + left[1], 41) << "the move came after the first deletions";
        EXPECT_EQ(error, QString::fromUtf8(move.named) +
                             " was moved while it was being emptied; nothing more was deleted.");
        EXPECT_EQ(entries(now("files")).size() + entries(now("files") + "/Folder").size(),
                  left[0] + left[1] + (move.at == At::sixthAsking ? 0 : 1))
            << "nothing more goes where it now is, and an entry set aside as it moved is back";
        EXPECT_EQ(entries(now("info")).size(), left[2]);
    }
}

TEST(FreedesktopTrash, AnEmptyingKilledWithAnEntrySetAsideGivesItBackToItsFolderUnlessThatIsStillInTheTrash) {
    enum class Then { stillInTrash, restored, movedElsewhere };
    for (const Then then : {Then::stillInTrash, Then::restored, Then::movedElsewhere}) {
        SCOPED_TRACE(int(then));
        TrashHome h;
        FreedesktopTrash trash(h.home.paths().dataHome);
        const QString original = h.home.paths().home + QStringLiteral("/Documents/Project");
        const QString elsewhere = h.home.paths().home + QStringLiteral("/Elsewhere");
        for (int i = 0; i < 5; ++i)
            h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/Project/sub/note %1.txt").arg(i),
                             "mine");
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/info/Project.trashinfo"),
                         "[Trash Info]\nPath=" + QFile::encodeName(original).toPercentEncoding("/") + '\n');
        // Killed just as the first entry was set aside.
        trash.setAfterSettingAside([] { ::_exit(0); });
        ASSERT_TRUE(runInChild([&] { return QByteArray(trash.empty() ? "emptied" : "failed"); }));
        trash.setAfterSettingAside({});
        ASSERT_EQ(entries(h.trash("files/Project/sub")).size(), 4);
        if (then == Then::restored) {
            QDir().mkpath(h.home.paths().home + QStringLiteral("/Documents"));
            ASSERT_TRUE(QDir().rename(h.trash("files/Project"), original));
            ASSERT_TRUE(QFile::remove(h.trash("info/Project.trashinfo")));
        } else if (then == Then::movedElsewhere) {
            ASSERT_TRUE(QDir().rename(h.trash("files/Project"), elsewhere));
            // Another folder where it came from is not the one it was deleted from.
            QDir().mkpath(original + "/sub");
        }
        QString error;
        const bool emptied = trash.empty(&error);
        if (then != Then::movedElsewhere) {
            EXPECT_TRUE(emptied) << error.toStdString();
            EXPECT_EQ(listed(entries(h.trash())), "files info") << "nothing is left aside";
            EXPECT_TRUE(entries(h.trash("files")).isEmpty());
            if (then == Then::stillInTrash) continue;
            EXPECT_EQ(listed(entries(original + "/sub")),
                      "note 0.txt note 1.txt note 2.txt note 3.txt note 4.txt")
                << "the entry set aside is back in its folder under its own name";
            continue;
        }
        EXPECT_EQ(entries(elsewhere + "/sub").size(), 4);
        EXPECT_TRUE(entries(original + "/sub").isEmpty());
        ASSERT_EQ(entries(h.trash("files")).size(), 1) << "kept in the Trash, not deleted";
        const QString name = entries(h.trash("files")).front();
        EXPECT_EQ(h.home.readFile(h.trash("files/") + name), "mine");
        EXPECT_EQ(error,
                  "Kept in the Trash, as the folder it was deleted from had left the Trash: " + name + ".");
        EXPECT_TRUE(
            h.home.readFile(h.trash("info/") + name + ".trashinfo")
                .contains("Path=" + QFile::encodeName(original + "/sub/" + name).toPercentEncoding("/")))
            << "restoring it puts it back where it was";
    }
}

TEST(FreedesktopTrash, AWorkingFolderThatCannotBeUsedIsNamedWithWhyAndAClosedOneOfOursIsOpenedUp) {
    // Run as root, the tests make root's folder another user's to the unprivileged user.
    for (const QString& made : {QStringLiteral("file"), QStringLiteral("theirs"), QStringLiteral("closed")}) {
        SCOPED_TRACE(made.toStdString());
        if (made == u"theirs" && ::geteuid() != 0) continue;
        TrashHome h;
        FreedesktopTrash trash(h.home.paths().dataHome);
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/files/fold/inner/a.txt"), "a");
        h.home.writeFile(QStringLiteral("home/.local/share/Trash/info/fold.trashinfo"), "[Trash Info]");
        const QByteArray working = QFile::encodeName(h.trash(".vantrel-deleting"));
        if (made == u"file") {
            h.home.writeFile(QStringLiteral("home/.local/share/Trash/.vantrel-deleting"), "not a folder");
        } else {
            ASSERT_EQ(::mkdir(working.constData(), 0700), 0);
        }
        ASSERT_TRUE(giveToUnprivileged(h.home.root()));
        if (made == u"theirs") {
            ASSERT_EQ(::lchown(working.constData(), 0, 0), 0);
        } else if (made == u"closed") {
            ASSERT_EQ(::chmod(working.constData(), 0), 0);
        }
        const std::optional<QByteArray> answer = runUnprivileged([&] {
            QString error;
            return trash.empty(&error) ? QByteArray("emptied") : error.toUtf8();
        });
        ASSERT_TRUE(answer.has_value());
        if (made == u"closed") {
            EXPECT_EQ(*answer, "emptied");
            continue;
        }
        EXPECT_EQ(QString::fromUtf8(*answer),
                  QString::fromUtf8("Could not delete fold from the Trash: the Trash\u2019s working folder "
                                    "\u201c.vantrel-deleting\u201d ") +
                      (made == u"file" ? "is not a folder." : "belongs to another user."));
        EXPECT_EQ(h.home.readFile(h.trash("files/fold/inner/a.txt")), "a");
    }
}

} // namespace
