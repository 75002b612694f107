#include "platform/linux/JsonFileDefaults.h"

#include "support/HostileFiles.h"
#include "support/ManualScheduler.h"
#include "support/QtPrinters.h"
#include "support/RecordingSystemLog.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

int modeOf(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 07777) : -1;
}

struct FileDefaultsFixture : ::testing::Test {
    TempHome home;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingSystemLog log;
    QString folder() const { return home.paths().defaultsFolder(); }
    std::unique_ptr<JsonFileDefaults> open(const QString& domain = QStringLiteral("com.vantrel.mac")) {
        return std::make_unique<JsonFileDefaults>(domain, folder(), &scheduler, clock, log);
    }
    QJsonObject onDisk(const QString& domain = QStringLiteral("com.vantrel.mac")) const {
        return QJsonDocument::fromJson(
                   home.readFile(folder() + QLatin1Char('/') + domain + QStringLiteral(".json")))
            .object();
    }
    QStringList corruptCopies() const {
        return QDir(folder()).entryList({QStringLiteral("*.corrupt-*.json")}, QDir::Files);
    }
};

} // namespace

TEST_F(FileDefaultsFixture, TypesSurviveARestartOfTheStore) {
    {
        auto defaults = open();
        defaults->setBool(QStringLiteral("flag"), true);
        defaults->setDouble(QStringLiteral("number"), 1);
        defaults->setStringList(QStringLiteral("list"), {QStringLiteral("a"), QStringLiteral("b")});
        defaults->setData(QStringLiteral("blob"), QByteArray("\x00\x01\xff", 3));
    } // destruction flushes
    auto reopened = open();
    EXPECT_EQ(reopened->optionalBool(QStringLiteral("flag")), true);
    EXPECT_EQ(reopened->optionalBool(QStringLiteral("number")), std::nullopt);
    EXPECT_EQ(reopened->optionalDouble(QStringLiteral("number")), 1.0);
    EXPECT_EQ(reopened->stringList(QStringLiteral("list")),
              (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(reopened->data(QStringLiteral("blob")), QByteArray("\x00\x01\xff", 3));
    // The plain lookup reads a number as a boolean.
    EXPECT_TRUE(reopened->boolValue(QStringLiteral("number")));
}

TEST_F(FileDefaultsFixture, ABurstOfChangesIsOneWriteWithinHalfASecond) {
    auto defaults = open();
    for (int i = 0; i < 1000; ++i) defaults->setDouble(QStringLiteral("counter"), i);
    scheduler.advance(Seconds(0.49));
    EXPECT_EQ(defaults->writeCount(), 0);
    scheduler.advance(Seconds(0.01));
    EXPECT_EQ(defaults->writeCount(), 1);
    EXPECT_EQ(onDisk().value(QStringLiteral("counter")).toDouble(), 999);
    scheduler.advance(Seconds(10));
    EXPECT_EQ(defaults->writeCount(), 1);
}

TEST_F(FileDefaultsFixture, ACorruptFileIsCopiedAsideBeforeItIsReplaced) {
    const QByteArray garbage("{\"notch.enabled\": tru");
    home.writeFile(QStringLiteral("home/.config/Vantrel/defaults/com.vantrel.mac.json"), garbage);
    auto defaults = open();
    EXPECT_TRUE(defaults->keys().isEmpty());
    const QStringList copies = corruptCopies();
    ASSERT_EQ(copies.size(), 1);
    EXPECT_TRUE(copies.first().startsWith(QStringLiteral("com.vantrel.mac.corrupt-2026-01-05T09-00-00")));
    EXPECT_FALSE(log.messages(QStringLiteral("Defaults")).isEmpty());

    defaults->setBool(QStringLiteral("notch.enabled"), false);
    defaults->flush();
    EXPECT_EQ(onDisk().value(QStringLiteral("notch.enabled")), QJsonValue(false));
    EXPECT_EQ(home.readFile(folder() + QLatin1Char('/') + copies.first()), garbage);

    // A JSON document that is not an object is just as unusable.
    home.writeFile(QStringLiteral("home/.config/Vantrel/defaults/other.json"), "[1,2]");
    auto other = open(QStringLiteral("other"));
    EXPECT_EQ(corruptCopies().size(), 2);
}

TEST_F(FileDefaultsFixture, AnUnreadableFileIsNeverReplaced) {
    QDir().mkpath(folder() + QStringLiteral("/com.vantrel.mac.json"));
    auto defaults = open();
    defaults->setBool(QStringLiteral("x"), true);
    defaults->flush();
    EXPECT_TRUE(QFileInfo(defaults->filePath()).isDir());
    EXPECT_EQ(defaults->object(QStringLiteral("x")), QJsonValue(true)); // still usable in memory
}

TEST_F(FileDefaultsFixture, AnOutsideEditIsFollowedAndNeverWrittenOverWithOldValues) {
    const auto edit = [&](const QByteArray& json) {
        // An editor's save: a new file renamed over the old one.
        home.writeFile(QStringLiteral("home/.config/Vantrel/defaults/edit.tmp"), json);
        ASSERT_EQ(std::rename(QFile::encodeName(folder() + "/edit.tmp").constData(),
                              QFile::encodeName(folder() + "/com.vantrel.mac.json").constData()),
                  0);
    };
    auto defaults = open();
    defaults->setString(QStringLiteral("kept"), QStringLiteral("ours"));
    defaults->setBool(QStringLiteral("gone"), true);
    defaults->flush();

    edit(R"({"kept": "theirs", "gone": true, "vantrel.qaMode": true})");
    EXPECT_EQ(defaults->object(QStringLiteral("vantrel.qaMode")), QJsonValue(true));
    EXPECT_EQ(defaults->string(QStringLiteral("kept")), QStringLiteral("theirs"));

    // Changes made here while the file changes again stand over the new file, and only they.
    defaults->setDouble(QStringLiteral("later"), 2);
    defaults->remove(QStringLiteral("gone"));
    edit(R"({"kept": "again", "gone": true, "added": "x"})");
    scheduler.advance(Seconds(0.5));
    EXPECT_EQ(defaults->writeCount(), 2);
    const QJsonObject written = onDisk();
    EXPECT_EQ(written.value(QStringLiteral("kept")).toString(), QStringLiteral("again"));
    EXPECT_EQ(written.value(QStringLiteral("added")).toString(), QStringLiteral("x"));
    EXPECT_EQ(written.value(QStringLiteral("later")).toDouble(), 2);
    EXPECT_FALSE(written.contains(QStringLiteral("gone")));
    EXPECT_FALSE(written.contains(QStringLiteral("vantrel.qaMode")));
    EXPECT_EQ(defaults->keys(), (QStringList{"added", "kept", "later"}));

    // A file removed from outside leaves nothing but what was changed here since.
    QFile::remove(defaults->filePath());
    EXPECT_TRUE(defaults->keys().isEmpty());
    defaults->setBool(QStringLiteral("fresh"), true);
    defaults->flush();
    EXPECT_EQ(onDisk(), (QJsonObject{{"fresh", true}}));
}

TEST_F(FileDefaultsFixture, SpecialFilesLinksAndHugeFilesAreNeverReadWaitedOnNorReplaced) {
    const QString outside = home.root() + QStringLiteral("/outside.json");
    const QString path = folder() + QStringLiteral("/com.vantrel.mac.json");
    for (const Hostile kind : kEveryHostileKind) {
        SCOPED_TRACE(nameOf(kind));
        QDir(folder()).removeRecursively();
        QFile::remove(outside);
        if (kind == Hostile::linkOutside) home.writeFile(QStringLiteral("outside.json"), R"({"secret": 1})");
        // 8 MB is the most a settings file may hold.
        ASSERT_TRUE(makeHostile(kind, path, outside, 8 * 1024 * 1024));
        auto defaults = open();
        EXPECT_TRUE(defaults->keys().isEmpty());
        defaults->setBool(QStringLiteral("x"), true);
        defaults->flush();
        EXPECT_EQ(defaults->object(QStringLiteral("x")), QJsonValue(true));
        EXPECT_EQ(defaults->writeCount(), 0);
        EXPECT_EQ(QFileInfo(path).isSymLink(), kind == Hostile::linkOutside || kind == Hostile::danglingLink);
        if (kind == Hostile::linkOutside) {
            EXPECT_EQ(home.readFile(outside), R"({"secret": 1})");
        }
        if (kind == Hostile::danglingLink) {
            EXPECT_FALSE(QFileInfo::exists(outside));
        }
        EXPECT_TRUE(log.messages(QStringLiteral("Defaults")).last().startsWith("Cannot read " + path + " ("));
        EXPECT_EQ(
            QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
            QStringList{"com.vantrel.mac.json"});
    }
}

TEST_F(FileDefaultsFixture, DomainsKeepTheirOwnSafelyNamedFiles) {
    JsonDefaultsProvider provider(folder(), scheduler, clock, log);
    provider.standard().setString(QStringLiteral("k"), QStringLiteral("standard"));
    provider.suite(QStringLiteral("../escape")).setString(QStringLiteral("k"), QStringLiteral("inside"));
    provider.flushAll();
    EXPECT_EQ(onDisk().value(QStringLiteral("k")).toString(), QStringLiteral("standard"));
    EXPECT_EQ(onDisk(QStringLiteral(".._escape")).value(QStringLiteral("k")).toString(),
              QStringLiteral("inside"));
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST_F(FileDefaultsFixture, AfterSchedulingEndsWritesGoStraightToDiskWithoutTheScheduler) {
    auto ownScheduler = std::make_unique<ManualScheduler>(clock);
    auto provider = std::make_unique<JsonDefaultsProvider>(folder(), *ownScheduler, clock, log);
    provider->standard().setString(QStringLiteral("pending"), QStringLiteral("yes"));
    ASSERT_EQ(ownScheduler->pendingCount(), 1u);

    provider->finishScheduling();
    EXPECT_EQ(onDisk().value(QStringLiteral("pending")).toString(), QStringLiteral("yes"));
    ownScheduler.reset(); // the scheduler goes first at the end of the process

    provider->standard().setBool(QStringLiteral("late"), true);
    provider->suite(QStringLiteral("com.apple.dock")).setDouble(QStringLiteral("tilesize"), 48);
    EXPECT_EQ(onDisk().value(QStringLiteral("late")), QJsonValue(true));
    EXPECT_EQ(onDisk(QStringLiteral("com.apple.dock")).value(QStringLiteral("tilesize")).toDouble(), 48);
    provider.reset(); // must not reach the destroyed scheduler
}

TEST_F(FileDefaultsFixture, ASetOfChangesIsWrittenAtOnceWholeOrTakenBackWhole) {
    auto defaults = open();
    defaults->setString(QStringLiteral("kept"), QStringLiteral("old"));
    defaults->flush();
    defaults->setString(QStringLiteral("pending"), QStringLiteral("mine")); // waits for the scheduler

    // The file refuses the write: neither key of the set is taken, on disk or here, while the
    // change made before it is still to be written.
    defaults->setBeforeCommit([](const QString& temporary) { QFile::remove(temporary); });
    EXPECT_FALSE(defaults->setAll(QJsonObject{{"kept", QJsonValue::Null}, {"added", 2}}));
    defaults->setBeforeCommit({});
    EXPECT_EQ(onDisk(), (QJsonObject{{"kept", "old"}}));
    EXPECT_EQ(defaults->object(QStringLiteral("kept")), QJsonValue("old"));
    EXPECT_FALSE(defaults->contains(QStringLiteral("added")));
    EXPECT_EQ(defaults->object(QStringLiteral("pending")), QJsonValue("mine"));
    scheduler.advance(Seconds(1));
    EXPECT_EQ(onDisk(), (QJsonObject{{"kept", "old"}, {"pending", "mine"}}));

    // Taken: one write, at once, with no wait for the scheduler.
    const int writes = defaults->writeCount();
    EXPECT_TRUE(defaults->setAll(QJsonObject{{"kept", QJsonValue::Null}, {"added", 2}}));
    EXPECT_EQ(defaults->writeCount(), writes + 1);
    EXPECT_EQ(onDisk(), (QJsonObject{{"pending", "mine"}, {"added", 2}}));

    // A file that is never replaced takes no set either.
    QDir().mkpath(folder() + QStringLiteral("/other.json"));
    auto other = open(QStringLiteral("other"));
    EXPECT_FALSE(other->setAll(QJsonObject{{"x", true}}));
    EXPECT_FALSE(other->contains(QStringLiteral("x")));
}

TEST_F(FileDefaultsFixture, ALinkToAFileOfTheUsersIsReadAndSavedThroughOthersAreRefusedAndSaid) {
    const QString path = folder() + QStringLiteral("/com.vantrel.mac.json");
    const QString dotfile = home.writeFile(QStringLiteral("dotfiles/vantrel.json"), R"({"kept": 1})");
    ::chmod(QFile::encodeName(dotfile).constData(), 0600);
    QDir().mkpath(folder());
    ASSERT_EQ(::symlink(QFile::encodeName(dotfile).constData(), QFile::encodeName(path).constData()), 0);
    const auto everything = [](const QString& in) {
        return QDir(in).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    };
    {
        JsonDefaultsProvider provider(folder(), scheduler, clock, log);
        UserDefaults& defaults = provider.standard();
        EXPECT_EQ(defaults.object(QStringLiteral("kept")), QJsonValue(1));
        defaults.setBool(QStringLiteral("hasCompletedOnboarding"), true);
        provider.flushAll();
    }
    EXPECT_TRUE(QFileInfo(path).isSymLink()) << "the link stays";
    EXPECT_EQ(QJsonDocument::fromJson(home.readFile(dotfile)).object(),
              (QJsonObject{{"kept", 1}, {"hasCompletedOnboarding", true}}));
    EXPECT_EQ(modeOf(dotfile), 0600);
    EXPECT_EQ(everything(home.root() + QStringLiteral("/dotfiles")), QStringList{"vantrel.json"});
    EXPECT_EQ(everything(folder()), QStringList{"com.vantrel.mac.json"});

    // A link to a FIFO, to another user's file or to nothing: not read, not written, and said.
    const QString fifo = home.root() + QStringLiteral("/dotfiles/fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString theirs = home.writeFile(QStringLiteral("dotfiles/theirs.json"), R"({"secret": 1})");
    const bool root = ::geteuid() == 0;
    ASSERT_TRUE(!root || ::chown(QFile::encodeName(theirs).constData(), 65534, 65534) == 0);
    const struct {
        QString target;
        const char* reason;
    } refused[] = {{fifo, "(a symbolic link to a FIFO stands in its place)"},
                   {theirs, "(a symbolic link to another user\u2019s file stands in its place)"},
                   {home.root() + QStringLiteral("/dotfiles/gone.json"),
                    "(a symbolic link to nothing stands in its place)"}};
    for (const auto& [target, reason] : refused) {
        SCOPED_TRACE(target.toStdString());
        if (target == theirs && !root) continue;
        QFile::remove(path);
        ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()), 0);
        QStringList told;
        JsonDefaultsProvider provider(folder(), scheduler, clock, log);
        provider.setProblemHandler([&](const QString&, const QString& problem) {
            if (!problem.isEmpty()) told.append(problem);
        });
        UserDefaults& defaults = provider.standard();
        EXPECT_TRUE(defaults.keys().isEmpty());
        defaults.setBool(QStringLiteral("x"), true);
        provider.flushAll();
        ASSERT_EQ(told.size(), 1);
        EXPECT_TRUE(told[0].startsWith(QStringLiteral("The settings file %1 could not be read ").arg(path)))
            << told[0].toStdString();
        EXPECT_TRUE(told[0].contains(QString::fromUtf8(reason))) << told[0].toStdString();
        EXPECT_TRUE(QFileInfo(path).isSymLink());
        EXPECT_EQ(everything(folder()), QStringList{"com.vantrel.mac.json"});
    }
    EXPECT_EQ(home.readFile(theirs), R"({"secret": 1})");
    EXPECT_EQ(everything(home.root() + QStringLiteral("/dotfiles")),
              (QStringList{"fifo", "theirs.json", "vantrel.json"}));
}

TEST_F(FileDefaultsFixture, AReadOnlySettingsFileIsLeftAsItIsAndItsChangesHoldUntilQuitting) {
    const QByteArray original = R"({"kept": 1})";
    const QString path =
        home.writeFile(QStringLiteral("home/.config/Vantrel/defaults/com.vantrel.mac.json"), original);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    QStringList told;
    {
        JsonDefaultsProvider provider(folder(), scheduler, clock, log);
        provider.setProblemHandler([&](const QString&, const QString& problem) {
            if (!problem.isEmpty()) told.append(problem);
        });
        UserDefaults& defaults = provider.standard();
        defaults.setInteger(QStringLiteral("kept"), 2);
        provider.flushAll();
        provider.finishScheduling();
        EXPECT_EQ(defaults.object(QStringLiteral("kept")), QJsonValue(2));
    }
    EXPECT_EQ(told,
              QStringList{QStringLiteral("Changes to the settings could not be saved to %1 (the file is "
                                         "read-only; it is left as it is). They hold only until "
                                         "Vantrel quits.")
                              .arg(path)});
    EXPECT_EQ(home.readFile(path), original);
    EXPECT_EQ(modeOf(path), 0444);
}

TEST_F(FileDefaultsFixture, AFailedWriteIsToldWithItsFolderAndWithdrawnOnceTheFileIsWrittenAgain) {
    QList<std::pair<QString, QString>> told;
    auto defaults = open();
    defaults->setProblemHandler([&](const QString& file, const QString& problem) {
        told.append({file, problem});
    });
    const QString path = folder() + QStringLiteral("/com.vantrel.mac.json");
    // The write meets a folder that takes nothing: its temporary file is gone before the rename.
    defaults->setBeforeCommit([](const QString& temporary) { QFile::remove(temporary); });
    defaults->setString(QStringLiteral("k"), QStringLiteral("v"));
    defaults->flush();
    ASSERT_EQ(told.size(), 1);
    EXPECT_EQ(told[0].first, path);
    EXPECT_EQ(
        told[0].second,
        QStringLiteral("Changes to the settings could not be saved to %1: writing in the folder %2 failed "
                       "(No such file or directory). They hold only until Vantrel quits.")
            .arg(path, folder()));
    // Written again: told with no problem, once.
    defaults->setBeforeCommit({});
    defaults->setString(QStringLiteral("k"), QStringLiteral("w"));
    defaults->flush();
    defaults->flush();
    ASSERT_EQ(told.size(), 2);
    EXPECT_EQ(told[1], std::make_pair(path, QString()));
    EXPECT_EQ(onDisk().value(QStringLiteral("k")).toString(), QStringLiteral("w"));
}

TEST_F(FileDefaultsFixture, OurOwnSuitesStartAnewFromATruncatedFileOnlyTheSystemDocksIsLeftAsItIs) {
    const QByteArray truncated("{\"statusItem.position\": 41");
    for (const QString& domain :
         {QStringLiteral("com.apple.systemuiserver"), QStringLiteral("com.apple.dock")})
        home.writeFile(QStringLiteral("home/.config/Vantrel/defaults/") + domain + QStringLiteral(".json"),
                       truncated);
    std::map<QString, QString> told;
    JsonDefaultsProvider provider(folder(), scheduler, clock, log);
    provider.setProblemHandler([&](const QString& file, const QString& problem) { told[file] = problem; });

    UserDefaults& positions = provider.suite(QStringLiteral("com.apple.systemuiserver"));
    const QString positionsFile = folder() + QStringLiteral("/com.apple.systemuiserver.json");
    EXPECT_TRUE(positions.readProblem().isEmpty());
    EXPECT_TRUE(told[positionsFile].contains(QStringLiteral("and the settings start anew")));
    const QStringList copies = corruptCopies();
    ASSERT_EQ(copies.size(), 1);
    EXPECT_TRUE(copies.first().startsWith(QStringLiteral("com.apple.systemuiserver.corrupt-")));
    EXPECT_EQ(home.readFile(folder() + QLatin1Char('/') + copies.first()), truncated);
    positions.setDouble(QStringLiteral("statusItem.position"), 12);
    provider.flushAll();
    EXPECT_EQ(onDisk(QStringLiteral("com.apple.systemuiserver")).value(QStringLiteral("statusItem.position")),
              QJsonValue(12));
    EXPECT_TRUE(told[positionsFile].isEmpty());

    UserDefaults& dock = provider.suite(QStringLiteral("com.apple.dock"));
    const QString dockFile = folder() + QStringLiteral("/com.apple.dock.json");
    EXPECT_FALSE(dock.readProblem().isEmpty());
    dock.setDouble(QStringLiteral("tilesize"), 48);
    provider.flushAll();
    EXPECT_EQ(home.readFile(dockFile), truncated);
    EXPECT_EQ(corruptCopies().size(), 1);
    EXPECT_TRUE(told[dockFile].endsWith(QStringLiteral("It is left as it is, and changes are not saved.")));
}
