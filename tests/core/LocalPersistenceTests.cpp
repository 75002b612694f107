#include "core/LocalPersistence.h"

#include "core/FileNotices.h"
#include "core/StoreFile.h"
#include "platform/AppPaths.h"
#include "platform/AtomicFile.h"
#include "platform/BundleInfo.h"
#include "support/FakeFileManager.h"
#include "support/HostileFiles.h"
#include "support/ManualClock.h"
#include "support/ManualScheduler.h"
#include "support/ManualWorkQueue.h"
#include "support/QtPrinters.h"
#include "support/RecordingSystemLog.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

using namespace vantrel;
using namespace vantrel::test;
using Op = FakeFileManager::Operation;
using Kind = PersistenceFailureKind;

namespace probe {
// An error type that is a template, as a library's own error types often are.
template <typename Code> struct Rejected : std::runtime_error {
    Rejected() : std::runtime_error("rejected") {}
};
} // namespace probe

namespace {

struct Sample {
    QUuid id;
    QString name;
    WallTime at;
    bool operator==(const Sample&) const = default;
};

std::vector<Sample> decodeSamples(const QJsonValue& value) {
    return decodeArray(value, [](const QJsonValue& element) {
        const QJsonObject o = requireObject(element, u"sample");
        return Sample{requireUuid(o, u"id"), requireString(o, u"name"), requireDate(o, u"at")};
    });
}

QJsonArray encodeSamples(const std::vector<Sample>& samples) {
    return encodeArray(samples, [](const Sample& s) {
        return QJsonObject{{"id", encodeUuid(s.id)}, {"name", s.name}, {"at", encodeDate(s.at)}};
    });
}

WallTime utc(const char* iso) {
    return fromQDateTime(QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate)).value();
}

std::exception_ptr posixError(int code) {
    return std::make_exception_ptr(std::system_error(code, std::generic_category(), "injected"));
}

// A POSIX error wrapped `levels` times in other errors, as a layered reader reports it.
std::exception_ptr wrapped(int code, int levels) {
    std::exception_ptr error = posixError(code);
    for (int i = 0; i < levels; ++i) {
        try {
            try {
                std::rethrow_exception(error);
            } catch (...) {
                std::throw_with_nested(std::runtime_error("outer"));
            }
        } catch (...) {
            error = std::current_exception();
        }
    }
    return error;
}

// The reason a refused save gives, read from the error it throws.
QString refusalReason(const std::function<void()>& saveOrThrow) {
    try {
        saveOrThrow();
    } catch (const PersistenceError& error) {
        try {
            std::rethrow_exception(error.failure().error);
        } catch (const FileWriteError& refusal) {
            return refusal.reason();
        } catch (...) {
        }
    }
    return QStringLiteral("no refusal");
}

QString line(const char* kind, const char* file, const char* type) {
    return QStringLiteral("kind=%1 file=%2 error=%3")
        .arg(QString::fromLatin1(kind), QString::fromLatin1(file), QString::fromLatin1(type));
}

struct PersistenceFixture : ::testing::Test {
    TempHome home;
    ManualClock clock{utc("2026-03-01T09:05:07Z")};
    RecordingSystemLog log;
    FakeFileManager files;
    QString folder = home.paths().dataHome + QStringLiteral("/Vantrel");
    LocalPersistence persistence{LocalPersistence::Store{folder, &files}, clock, log,
                                 QStringLiteral("com.vantrel.mac")};
    const std::vector<Sample> samples{
        {QUuid::createUuid(), QStringLiteral("first"), utc("2026-01-02T03:04:05Z")},
        {QUuid::createUuid(), QStringLiteral("<b>second</b>"), utc("2001-01-01T00:00:00Z")}};

    QString path(const QString& file = QStringLiteral("samples.json")) const {
        return folder + QLatin1Char('/') + file;
    }
    void put(const QByteArray& bytes, const QString& file = QStringLiteral("samples.json")) const {
        home.writeFile(QDir(home.root()).relativeFilePath(path(file)), bytes);
    }
    auto load(const QString& file = QStringLiteral("samples.json")) {
        return persistence.load(file, decodeSamples);
    }
    // The kind of a failed load, none for a load that did not fail.
    std::optional<Kind> failedKind(const QString& file = QStringLiteral("samples.json")) {
        const auto outcome = load(file);
        return outcome.isFailed() ? std::optional(outcome.failure()->kind) : std::nullopt;
    }
    void save(const QString& file = QStringLiteral("samples.json")) {
        persistence.save(samples, file, encodeSamples);
    }
    void saveOrThrow(bool backupExisting) {
        persistence.saveOrThrow(samples, QStringLiteral("samples.json"), backupExisting, encodeSamples);
    }
    QStringList persistenceLines() const { return log.messages(QStringLiteral("Persistence")); }
    QStringList folderEntries() const {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }
};

} // namespace

TEST_F(PersistenceFixture, MissingUnreadableAndCorruptLoads) {
    // No data folder at all: loading never creates it, the first save does, with its parents.
    EXPECT_TRUE(load().isMissing());
    EXPECT_FALSE(QFileInfo::exists(home.paths().dataHome));
    save(QStringLiteral("other.json"));
    EXPECT_EQ(folderEntries(), QStringList{"other.json"});
    EXPECT_TRUE(load().isMissing()) << "a folder without the file";
    files.failWith(Op::readData, wrapped(ENOENT, 2));
    EXPECT_TRUE(load().isMissing()) << "the absence reported several levels down";
    EXPECT_TRUE(log.lines().empty());

    // Wrapped errors of another kind are no absence, and the log names the outer type.
    files.failWith(Op::readData, wrapped(EACCES, 1));
    EXPECT_EQ(failedKind(), Kind::unreadable);
    files.clearFailure(Op::readData);

    QDir().mkpath(path()); // a folder where the file should be
    EXPECT_EQ(failedKind(), Kind::unreadable);
    put(QByteArray(), QStringLiteral("empty.json"));
    EXPECT_EQ(failedKind(QStringLiteral("empty.json")), Kind::corrupt)
        << "zero bytes are damage, not absence";
    put(R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":7,"at":0}])", QStringLiteral("types.json"));
    EXPECT_EQ(failedKind(QStringLiteral("types.json")), Kind::corrupt);

    // Each unreadable file also gets a line with its reason.
    EXPECT_EQ(persistenceLines().filter(QStringLiteral("kind=")),
              (QStringList{line("unreadable", "samples.json", "std::runtime_error"),
                           line("unreadable", "samples.json", "vantrel::UnreadableFileError"),
                           line("corrupt", "empty.json", "vantrel::JsonDecodingError"),
                           line("corrupt", "types.json", "vantrel::JsonDecodingError")}));
    EXPECT_EQ(log.lines()[0].level, LogLevel::error);
}

TEST_F(PersistenceFixture, SaveWritesCompactJsonWithReferenceDatesAndUpperCaseIdsThatLoadBack) {
    save();
    const QJsonArray array = QJsonDocument::fromJson(home.readFile(path())).array();
    ASSERT_EQ(array.size(), 2);
    EXPECT_EQ(array[1].toObject().value(QStringLiteral("at")), QJsonValue(0.0));
    EXPECT_EQ(array[0].toObject().value(QStringLiteral("id")).toString(),
              samples[0].id.toString(QUuid::WithoutBraces).toUpper());
    EXPECT_EQ(*load().value(), samples);
}

TEST_F(PersistenceFixture, SaveFailureKindsAreLoggedAndLeaveTheFormerFile) {
    put("[]");
    persistence.save(samples, QStringLiteral("samples.json"), [](const std::vector<Sample>&) -> QJsonArray {
        throw JsonEncodingError(QStringLiteral("no"));
    });
    files.failWith(Op::createDirectory, posixError(EACCES));
    save();
    files.clearFailure(Op::createDirectory);
    files.failWith(Op::writeData,
                   std::make_exception_ptr(FileWriteError(path(), QStringLiteral("disk full"))));
    // Other content than the recovery file holds already, which would not be written again.
    persistence.save(std::vector<Sample>{samples[0]}, QStringLiteral("samples.json"), encodeSamples);
    const QString recovery = QStringLiteral("samples.json.recovered-2026-03-01T09-05-07Z");
    EXPECT_EQ(persistenceLines(),
              (QStringList{line("encoding", "samples.json", "vantrel::JsonEncodingError"),
                           line("directory", "samples.json", "std::system_error"),
                           "samples.json could not be saved: what this session keeps is written to " +
                               path(recovery),
                           line("write", "samples.json", "vantrel::FileWriteError"),
                           line("write", recovery.toLatin1().constData(), "vantrel::FileWriteError")}));
    // The file itself is reached only by the last attempt; the two before it wrote the recovery file.
    EXPECT_EQ(files.count(Op::writeData), 3);
    EXPECT_EQ(home.readFile(path()), QByteArray("[]"));
}

TEST_F(PersistenceFixture, AFailedSaveIsToldNamingTheFolderAndKeptInTheRecoveryFileUntilASaveGoesThrough) {
    FileNotices notices;
    persistence.setNotices(&notices);
    put("[]");
    ASSERT_TRUE(load().isLoaded());
    const QString recovery = path(QStringLiteral("samples.json.recovered-2026-03-01T09-05-07Z"));
    const auto recovered = [&] {
        return decodeSamples(QJsonDocument::fromJson(home.readFile(recovery)).array());
    };

    // The file lives in a folder that refuses it (through a link); the data folder takes the rest.
    files.failWritesTo(path(),
                       std::make_exception_ptr(FileWriteError(path(), QStringLiteral("Permission denied"),
                                                              QStringLiteral("/media/readonly"))));
    EXPECT_FALSE(persistence.save(samples, QStringLiteral("samples.json"), encodeSamples));
    EXPECT_EQ(home.readFile(path()), "[]");
    EXPECT_EQ(recovered(), samples);
    EXPECT_EQ(notices.notices(),
              QStringList{"Vantrel could not save samples.json: the folder /media/readonly refused the write "
                          "(Permission denied). What this session holds is kept in " +
                          recovery + " instead."});
    EXPECT_EQ(notices.notice(path()), notices.notices().value(0)) << "one notice, of the file's own path";

    // Closed by the user, it stays closed while the same failure repeats, which rewrites the same
    // recovery file; a failure of another kind shows it again.
    notices.dismiss();
    EXPECT_TRUE(notices.notices().isEmpty());
    const std::vector<Sample> fewer(samples.begin(), samples.begin() + 1);
    persistence.save(fewer, QStringLiteral("samples.json"), encodeSamples);
    EXPECT_TRUE(notices.notices().isEmpty());
    EXPECT_EQ(recovered(), fewer);

    // Full: neither the file nor the recovery file takes anything.
    files.failWith(Op::writeData, posixError(ENOSPC));
    save();
    EXPECT_EQ(notices.notices(),
              QStringList{"Vantrel could not save samples.json: the disk holding " + folder +
                          " is full. Nothing could be written anywhere: "
                          "your changes are kept only while Vantrel runs, and saved again with the next "
                          "change."});
    // Nor can the data folder be made.
    files.failWith(Op::createDirectory, posixError(EROFS));
    save();
    EXPECT_TRUE(notices.notices().value(0).startsWith(
        "Vantrel could not save samples.json: the disk holding " + folder + " is read-only."));

    // Saved again: the notice goes, and the file holds the whole list.
    files.clearFailure(Op::createDirectory);
    files.clearFailure(Op::writeData);
    files.clearWriteFailures();
    EXPECT_TRUE(persistence.save(samples, QStringLiteral("samples.json"), encodeSamples));
    EXPECT_TRUE(notices.notices().isEmpty());
    EXPECT_EQ(notices.notice(path()), QString());
    EXPECT_EQ(*load().value(), samples);

    // The same through the worker's path: a failure handed back is told and rescued alike.
    files.failWritesTo(path(),
                       std::make_exception_ptr(FileWriteError(path(), QStringLiteral("Permission denied"),
                                                              QStringLiteral("/media/readonly"))));
    const auto encode = [&] { return QJsonValue(encodeSamples(fewer)); };
    const auto failure =
        LocalPersistence::writeEncoded(persistence.store(), QStringLiteral("samples.json"), encode);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(persistence.saveFailed(*failure, encode), recovery);
    EXPECT_EQ(recovered(), fewer);
    EXPECT_EQ(notices.notices().size(), 1);
    persistence.saved(QStringLiteral("samples.json"));
    EXPECT_TRUE(notices.notices().isEmpty());
}

TEST_F(PersistenceFixture, AFailedSaveNamesWhatRefusedItTheDiskTheFolderOrWhatStandsInTheFilesPlace) {
    FileNotices notices;
    persistence.setNotices(&notices);
    const QString recovery = path(QStringLiteral("samples.json.recovered-2026-03-01T09-05-07Z"));
    const QString kept = " What this session holds is kept in " + recovery + " instead.";
    // As the atomic write reports them: the system's words and the folder the write met.
    const auto refuse = [&](const QString& reason) {
        files.failWritesTo(path(), std::make_exception_ptr(FileWriteError(path(), reason, "/mnt/usb")));
        save();
        return notices.notice(path());
    };
    EXPECT_EQ(refuse(qt_error_string(ENOSPC)),
              "Vantrel could not save samples.json: the disk holding /mnt/usb is full." + kept);
    EXPECT_EQ(refuse(qt_error_string(EROFS)),
              "Vantrel could not save samples.json: the disk holding /mnt/usb is read-only." + kept);
    EXPECT_EQ(
        refuse(qt_error_string(EACCES)),
        "Vantrel could not save samples.json: the folder /mnt/usb refused the write (Permission denied)." +
            kept);
    EXPECT_EQ(refuse(qt_error_string(EIO)),
              "Vantrel could not save samples.json: writing in the folder /mnt/usb failed (" +
                  qt_error_string(EIO) + ")." + kept);
    EXPECT_EQ(
        refuse("a symbolic link to another user\u2019s file stands in its place; it is left untouched"),
        "Vantrel could not save samples.json: a symbolic link to another user\u2019s file stands in its "
        "place; it is left untouched." +
            kept);
    files.clearWriteFailures();
    // A file where the data folder should be.
    files.failWith(Op::createDirectory, posixError(ENOTDIR));
    save();
    EXPECT_EQ(notices.notice(path()), "Vantrel could not save samples.json: the folder " + folder +
                                          " could not be made (Not a directory)." + kept);
    files.clearFailure(Op::createDirectory);

    // A real link to nothing: what stands in the file's place refused, not its folder.
    QDir().mkpath(folder);
    ASSERT_TRUE(QFile::link(path("nowhere.json"), path()));
    save();
    EXPECT_EQ(notices.notice(path()),
              "Vantrel could not save samples.json: a symbolic link to nothing stands in "
              "its place; it is left untouched." +
                  kept);
    EXPECT_EQ(notices.notices().size(), 1) << "one notice per file";
}

TEST_F(PersistenceFixture, AnUnreadableFileIsToldUntilItIsReadAgainAndItsRecoveryFileOnceItIsWritten) {
    FileNotices notices;
    persistence.setNotices(&notices);
    put("[]");
    files.failWith(Op::readData, posixError(EIO));
    ASSERT_EQ(failedKind(), Kind::unreadable);
    EXPECT_EQ(notices.notices(), QStringList{"samples.json could not be read: the file is left untouched and "
                                             "changes are written beside it"});
    // The saves it holds back go to the recovery file, beside it as the notice said: its words stay,
    // and closed, it stays closed.
    notices.dismiss();
    files.failWith(Op::copyItem, posixError(EIO));
    save();
    EXPECT_TRUE(notices.notices().isEmpty()) << "a save that went where the notice said tells nothing anew";
    EXPECT_EQ(notices.notice(path()), "samples.json could not be read: the file is left untouched and "
                                      "changes are written beside it");
    save();
    EXPECT_TRUE(notices.notices().isEmpty());
    // Read again: the notice goes.
    files.clearFailure(Op::readData);
    ASSERT_TRUE(load().isLoaded());
    EXPECT_EQ(notices.notice(path()), QString());
}

TEST_F(PersistenceFixture, SaveOrThrowFailsBeforeAnyBackupAndBacksUpThePreviousFile) {
    put("[]");
    files.failWith(Op::createDirectory, posixError(EROFS));
    EXPECT_THROW(saveOrThrow(true), PersistenceError);
    EXPECT_EQ(files.count(Op::copyItem), 0) << "no backup was tried";

    files.clearFailure(Op::createDirectory);
    saveOrThrow(true);
    EXPECT_EQ(home.readFile(path(QStringLiteral("samples.previous-2026-03-01T09-05-07Z.json"))), "[]");

    files.failWith(Op::writeData, posixError(ENOSPC));
    EXPECT_THROW(saveOrThrow(false), PersistenceError);
    EXPECT_TRUE(log.lines().empty()) << "the caller decides what to tell";
}

TEST_F(PersistenceFixture, ACorruptFileIsCopiedAsideIntactBeforeTheFirstSaveReplacesIt) {
    const QByteArray damaged("{\"half\": [1, 2");
    put(damaged);
    ASSERT_EQ(failedKind(), Kind::corrupt);

    // While the copy cannot be made the file is kept and the save reported as a write failure;
    // what the session holds goes to the recovery file beside it.
    files.failWith(Op::copyItem, posixError(ENOSPC));
    save();
    EXPECT_EQ(home.readFile(path()), damaged);
    EXPECT_TRUE(persistenceLines().contains(line("write", "samples.json", "vantrel::FileWriteError")));
    EXPECT_EQ(refusalReason([&] { saveOrThrow(false); }),
              QStringLiteral("the damaged file could not be copied aside; it is left untouched"));
    EXPECT_EQ(files.count(Op::writeData), 1) << "the recovery file alone";

    files.clearFailure(Op::copyItem);
    save();
    EXPECT_EQ(home.readFile(path(QStringLiteral("samples.corrupt-2026-03-01T09-05-07Z.json"))), damaged);

    // Once copied, later saves replace the file without further copies; the recovery file, whose
    // content the file holds now, goes.
    clock.advance(Seconds(5));
    save();
    EXPECT_EQ(folderEntries(), (QStringList{"samples.corrupt-2026-03-01T09-05-07Z.json", "samples.json"}));
}

TEST_F(PersistenceFixture, AnUnreadableFileIsReplacedOnlyOnceACopyOfItExists) {
    put("[\"precious\"]");
    files.failWith(Op::readData, posixError(EIO));
    ASSERT_EQ(failedKind(), Kind::unreadable);
    EXPECT_EQ(persistenceLines(),
              (QStringList{line("unreadable", "samples.json", "std::system_error"),
                           "samples.json could not be read and is left untouched: injected: "
                           "Input/output error"}));

    // While it still cannot be read (nor so copied), every save goes to one recovery file beside
    // it, said once, and the file itself is never written.
    files.failWith(Op::copyItem, posixError(EIO));
    save();
    clock.advance(Seconds(5));
    save();
    EXPECT_EQ(refusalReason([&] { saveOrThrow(true); }),
              QStringLiteral("the file could not be read when it was loaded; it is left untouched"));
    EXPECT_EQ(home.readFile(path()), "[\"precious\"]");
    const QString recovery = path(QStringLiteral("samples.json.recovered-2026-03-01T09-05-07Z"));
    EXPECT_EQ(QJsonDocument::fromJson(home.readFile(recovery)).array().size(), 2);
    EXPECT_EQ(persistenceLines().size(), 3);
    EXPECT_EQ(persistenceLines().value(2),
              QStringLiteral("samples.json could not be read: what this session keeps is written to ") +
                  recovery);
    EXPECT_EQ(files.count(Op::writeData), 1) << "the same content is written there once";

    // Other files of the same store are unaffected.
    save(QStringLiteral("other.json"));
    EXPECT_EQ(files.count(Op::writeData), 2);

    // Once it can be read, the next save copies it aside first.
    files.clearFailure(Op::readData);
    files.clearFailure(Op::copyItem);
    save();
    EXPECT_EQ(home.readFile(path(QStringLiteral("samples.previous-2026-03-01T09-05-12Z.json"))),
              "[\"precious\"]");
    EXPECT_EQ(*load().value(), samples);
}

TEST_F(PersistenceFixture, SpecialFilesLinksAndHugeFilesAreUnreadableNeverWaitedOnNorReplaced) {
    const QString outside = home.root() + QStringLiteral("/outside.json");
    for (const Hostile kind : kEveryHostileKind) {
        SCOPED_TRACE(nameOf(kind));
        QDir(folder).removeRecursively();
        QFile::remove(outside);
        if (kind == Hostile::linkOutside) home.writeFile(QStringLiteral("outside.json"), "[\"not ours\"]");
        // 64 MB is the most a data file may hold.
        ASSERT_TRUE(makeHostile(kind, path(), outside, 64 * 1024 * 1024));
        log.clear();
        ASSERT_EQ(failedKind(), Kind::unreadable);
        const QStringList lines = persistenceLines();
        ASSERT_EQ(lines.size(), 2);
        EXPECT_TRUE(lines[1].startsWith("samples.json could not be read and is left untouched: "))
            << lines[1].toStdString();
        const char* reason = kind == Hostile::fifo        ? "a FIFO stands in its place"
                             : kind == Hostile::folder    ? "a folder stands in its place"
                             : kind == Hostile::overLimit ? "larger than 67108864 bytes"
                             : kind == Hostile::danglingLink
                                 ? "a symbolic link to nothing stands in its place"
                                 : "a symbolic link to another user\u2019s file stands in its place";
        EXPECT_TRUE(lines[1].endsWith(QString::fromUtf8(reason))) << lines[1].toStdString();

        save();
        EXPECT_THROW(saveOrThrow(true), PersistenceError);
        const QFileInfo info(path());
        EXPECT_EQ(info.isSymLink(), kind == Hostile::linkOutside || kind == Hostile::danglingLink);
        EXPECT_EQ(info.isDir(), kind == Hostile::folder);
        if (kind == Hostile::overLimit) {
            EXPECT_EQ(info.size(), 64 * 1024 * 1024 + 1);
        }
        if (kind == Hostile::linkOutside) {
            EXPECT_EQ(home.readFile(outside), "[\"not ours\"]");
        }
        if (kind == Hostile::danglingLink) {
            EXPECT_FALSE(QFileInfo::exists(outside));
        }
        // No copy of anything; what was saved went beside it (a dangling link counts as gone, and
        // the write that is then refused goes to the recovery file all the same).
        const QStringList expected{"samples.json", "samples.json.recovered-2026-03-01T09-05-07Z"};
        EXPECT_EQ(
            QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
            expected);
    }
    // Writes never go through a link, also where no load came first.
    QDir(folder).removeRecursively();
    ASSERT_TRUE(makeHostile(Hostile::danglingLink, path(QStringLiteral("fresh.json")), outside, 0));
    save(QStringLiteral("fresh.json"));
    EXPECT_FALSE(QFileInfo::exists(outside));
    EXPECT_TRUE(persistenceLines().contains(line("write", "fresh.json", "vantrel::FileWriteError")));
}

TEST_F(PersistenceFixture, BackupNamesCollisionsAndMissingSources) {
    put("one");
    put("bare", QStringLiteral("notes"));
    const auto first = persistence.backup(path(), QStringLiteral("corrupt"));
    EXPECT_EQ(first, path(QStringLiteral("samples.corrupt-2026-03-01T09-05-07Z.json")));
    EXPECT_EQ(persistence.backup(path(QStringLiteral("notes")), QStringLiteral("previous")),
              path(QStringLiteral("notes.previous-2026-03-01T09-05-07Z.json")));

    // A second copy within the same second keeps the first one and reports none, and finds the
    // name taken before it reads or writes anything.
    put("two");
    clock.advance(Seconds(0.5));
    files.clearCalls();
    EXPECT_EQ(persistence.backup(path(), QStringLiteral("corrupt")), std::nullopt);
    EXPECT_EQ(home.readFile(*first), "one");
    EXPECT_EQ(files.count(Op::copyItem) + files.count(Op::readData) + files.count(Op::writeData), 0);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 4);

    EXPECT_EQ(persistence.backup(path(QStringLiteral("absent.json")), QStringLiteral("corrupt")),
              std::nullopt);
    EXPECT_TRUE(log.lines().empty()) << "backups never log";
    // Only the file's own extension is replaced, never a dot in a folder's name.
    EXPECT_EQ(LocalPersistence::backupPath(QStringLiteral("/a.b/notes"), QStringLiteral("x"),
                                           utc("2026-03-01T09:05:07Z")),
              QStringLiteral("/a.b/notes.x-2026-03-01T09-05-07Z.json"));
    // A one-letter name keeps its extension rule; a name that starts with its only dot has none.
    EXPECT_EQ(LocalPersistence::backupPath(QStringLiteral("/d/a.json"), QStringLiteral("x"),
                                           utc("2026-03-01T09:05:07Z")),
              QStringLiteral("/d/a.x-2026-03-01T09-05-07Z.json"));
    EXPECT_EQ(LocalPersistence::backupPath(QStringLiteral("/d/.json"), QStringLiteral("x"),
                                           utc("2026-03-01T09:05:07Z")),
              QStringLiteral("/d/.json.x-2026-03-01T09-05-07Z.json"));
}

TEST_F(PersistenceFixture, PruningKeepsTheNewestCopiesOfOneReasonAndTouchesNothingElse) {
    const QString file = path(QStringLiteral("dock-shortcuts.json"));
    put("now", QStringLiteral("dock-shortcuts.json"));
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(persistence.backup(file, QStringLiteral("previous")));
        clock.advance(Seconds(1));
    }
    ASSERT_TRUE(persistence.backup(file, QStringLiteral("corrupt")));
    put("mine", QStringLiteral("dock-shortcuts.previous-notes.json"));

    persistence.pruneBackups(file, QStringLiteral("previous"), 2);
    EXPECT_EQ(folderEntries(),
              (QStringList{"dock-shortcuts.corrupt-2026-03-01T09-05-12Z.json", "dock-shortcuts.json",
                           "dock-shortcuts.previous-2026-03-01T09-05-10Z.json",
                           "dock-shortcuts.previous-2026-03-01T09-05-11Z.json",
                           "dock-shortcuts.previous-notes.json"}));
    EXPECT_EQ(persistence.newestBackup(file, QStringLiteral("previous")),
              path(QStringLiteral("dock-shortcuts.previous-2026-03-01T09-05-11Z.json")));
    EXPECT_EQ(persistence.newestBackup(file, QStringLiteral("corrupt")),
              path(QStringLiteral("dock-shortcuts.corrupt-2026-03-01T09-05-12Z.json")));
    EXPECT_EQ(persistence.newestBackup(file, QStringLiteral("notes")), std::nullopt);
    // A folder that cannot be listed is no error: backups never throw.
    files.failWith(Op::contentsOfDirectory, posixError(EACCES));
    persistence.pruneBackups(file, QStringLiteral("previous"), 0);
    EXPECT_EQ(persistence.newestBackup(file, QStringLiteral("previous")), std::nullopt);
}

TEST(LocalPersistenceNames, TheQaFolderTheLogSubsystemAndTheFailureSummary) {
    AppPaths paths;
    paths.dataHome = QStringLiteral("/d");
    const auto folder = [&](std::optional<QString> id, QJsonValue channel) {
        BundleInfo bundle{std::move(id), {}};
        if (!channel.isUndefined()) bundle.info.insert(QStringLiteral("VantrelBuildChannel"), channel);
        return LocalPersistence::dataDirectory(paths, bundle);
    };
    const QString id = QStringLiteral("com.vantrel.qa");
    EXPECT_EQ(folder(id, QStringLiteral("qa")), QStringLiteral("/d/Vantrel QA/com.vantrel.qa"));
    EXPECT_EQ(folder(std::nullopt, QStringLiteral("qa")), QStringLiteral("/d/Vantrel QA/isolated"));
    EXPECT_EQ(folder(id, QStringLiteral("QA")), QStringLiteral("/d/Vantrel")) << "only the exact channel";
    EXPECT_EQ(LocalPersistence::logSubsystem(BundleInfo{std::nullopt, {}}),
              QStringLiteral("com.vantrel.mac"));

    PersistenceFailure failure{Kind::corrupt, QString(), nullptr};
    EXPECT_EQ(failure.diagnosticSummary(), line("corrupt", "unknown", "unknown"));
    failure.file = QStringLiteral("sub/clipboard.json");
    failure.error = std::make_exception_ptr(JsonDecodingError(QStringLiteral("x")));
    EXPECT_EQ(failure.diagnosticSummary(), line("corrupt", "clipboard.json", "vantrel::JsonDecodingError"));
    // Only the wrapper of a nested error is peeled off; other template names stay whole.
    failure.error = std::make_exception_ptr(probe::Rejected<int>());
    EXPECT_EQ(failure.diagnosticSummary(), line("corrupt", "clipboard.json", "probe::Rejected<int>"));
    failure.error = wrapped(EIO, 1);
    EXPECT_EQ(failure.diagnosticSummary(), line("corrupt", "clipboard.json", "std::runtime_error"));
}

TEST(LocalPersistenceMerge, EveryItemOfBothAndBothVersionsOfOneChangedOnBothSidesTheNewerOrderLeads) {
    const auto item = [](const char* id, const char* text, double at) {
        return QJsonObject{{"id", id}, {"text", text}, {"at", at}};
    };
    const QJsonArray kept{item("A", "kept a", 10), item("B", "kept b", 50), item("C", "kept c", 10),
                          item("D", "kept d", 10)};
    const QJsonArray recovered{item("D", "recovered d", 20), item("A", "recovered a", 20),
                               item("B", "recovered b", 30), item("E", "recovered e", 20)};
    const auto texts = [](const QJsonArray& items) {
        QStringList out;
        for (const QJsonValue& value : items) out.append(value["text"].toString());
        return out;
    };
    // The file is the newer side: its order leads, and the older version of each item changed on
    // both sides follows it as an item of its own, whatever the dates say.
    const QJsonArray both = LocalPersistence::mergeItems(kept, recovered);
    EXPECT_EQ(texts(both), (QStringList{"kept a", "recovered a", "kept b", "recovered b", "recovered e",
                                        "kept c", "kept d", "recovered d"}));
    QSet<QString> ids;
    for (const QJsonValue& value : both) ids.insert(value["id"].toString());
    EXPECT_EQ(ids.size(), both.size()) << "the older versions have ids of their own";
    EXPECT_TRUE(ids.contains("E"));
    // Where the newer version stands for both, an item only recovered still follows the one it followed.
    EXPECT_EQ(
        texts(LocalPersistence::mergeItems(kept, recovered, [](const QJsonObject&) { return QJsonValue(); })),
        (QStringList{"kept a", "kept b", "recovered e", "kept c", "kept d"}));
    EXPECT_EQ(texts(LocalPersistence::mergeItems(QJsonValue(), recovered)),
              (QStringList{"recovered d", "recovered a", "recovered b", "recovered e"}));
    EXPECT_EQ(texts(LocalPersistence::mergeItems(kept, QJsonValue())),
              (QStringList{"kept a", "kept b", "kept c", "kept d"}));
    EXPECT_EQ(texts(LocalPersistence::mergeItems(kept, kept)), texts(kept))
        << "the same on both sides is one";
}

TEST_F(PersistenceFixture, CopiesAsideAndRecoveryFilesAreNeverMoreReadableThanTheirFile) {
    put("damaged");
    ASSERT_EQ(::chmod(QFile::encodeName(path()).constData(), 0600), 0);
    ASSERT_EQ(failedKind(), Kind::corrupt);
    files.failWritesTo(path(), posixError(EACCES));
    save();
    const auto mode = [&](const QString& name) {
        return QFileInfo(path(name)).permissions() &
               (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup);
    };
    EXPECT_EQ(mode(QStringLiteral("samples.corrupt-2026-03-01T09-05-07Z.json")), QFile::Permissions());
    EXPECT_EQ(mode(QStringLiteral("samples.json.recovered-2026-03-01T09-05-07Z")), QFile::Permissions());
}

TEST_F(PersistenceFixture, RecoveryFilesAreTakenOnlyFromTheUsersOwnRegularFilesAndTheRestIsToldAndKept) {
    FileNotices notices;
    persistence.setNotices(&notices);
    const QByteArray bytes = QJsonDocument(encodeSamples(samples)).toJson();
    const QString outside = home.writeFile(QStringLiteral("outside.json"), bytes);
    const auto recovery = [&](int m) {
        return path(QStringLiteral("samples.json.recovered-2026-03-01T09-0%1-00Z").arg(m));
    };
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::link(outside, recovery(1)));
    ASSERT_EQ(::mkfifo(QFile::encodeName(recovery(2)).constData(), 0600), 0); // opening it would wait
    put("not json", QFileInfo(recovery(3)).fileName());
    put(bytes, QFileInfo(recovery(4)).fileName());
    if (::geteuid() != 0) GTEST_SKIP() << "another user's file is made by root";
    ASSERT_EQ(::chown(QFile::encodeName(recovery(4)).constData(), 65534, 65534), 0);
    const auto outcome =
        persistence.load(QStringLiteral("samples.json"), LocalPersistence::Merge(), decodeSamples);
    EXPECT_TRUE(outcome.isMissing()) << "nothing was taken back";
    const QString told = notices.notices().value(0);
    for (const QString& said : {recovery(1) + " is left in place: a symbolic link stands in its place.",
                                recovery(2) + " is left in place: it is not a regular file.",
                                recovery(3) + " is left in place: it could not be decoded.",
                                recovery(4) + " is left in place: it belongs to another user."})
        EXPECT_TRUE(told.contains(said)) << told.toStdString();
    save();
    for (int m = 1; m <= 4; ++m)
        EXPECT_TRUE(QFileInfo(recovery(m)).isSymLink() || QFileInfo::exists(recovery(m)));
}

TEST_F(PersistenceFixture, OneSaveStateSaysWhyItIsNotSavedAndEachWriteAnswersWithItsOwnOutcome) {
    ManualScheduler scheduler{clock};
    FileNotices notices;
    persistence.setNotices(&notices);
    const QString items = path(QStringLiteral("items.json"));
    const auto full = posixError(ENOSPC);
    QJsonArray value{1};
    const StoreFile::Snapshot snapshot = [&] { return [copy = value] { return QJsonValue(copy); }; };

    StoreFile file(persistence, &scheduler, QStringLiteral("items.json"), snapshot, {1, 5, 30});
    EXPECT_EQ(file.changed(), std::nullopt) << "the write waits for the quiet spell";
    EXPECT_EQ(file.state().kind, SaveState::Kind::pending);
    files.failWritesTo(items, full);
    scheduler.advance(Seconds(1));
    EXPECT_EQ(file.state().kind, SaveState::Kind::failed);
    EXPECT_EQ(file.state().reason, notices.notice(items));
    file.changed();
    EXPECT_EQ(file.state().kind, SaveState::Kind::failed) << "a change does not make it saved";
    files.clearWriteFailures();
    scheduler.advance(Seconds(1));
    EXPECT_EQ(file.state(), SaveState{});

    // Written on a queue: no answer while it waits. Then the recovery file refuses too: this write
    // is lost, though an earlier one of the session reached the recovery file.
    ManualWorkQueue queue;
    StoreFile queued(persistence, nullptr, QStringLiteral("items.json"), snapshot, {}, &queue);
    files.failWritesTo(items, full);
    value.append(2);
    EXPECT_EQ(queued.changed(), std::nullopt);
    queue.drain();
    EXPECT_EQ(queued.state().kind, SaveState::Kind::failed);
    files.failWith(FakeFileManager::Operation::createDirectory, full);
    files.failWith(FakeFileManager::Operation::writeData, full);
    value.append(3);
    EXPECT_EQ(queued.changed(), SaveOutcome::lost);
}

TEST_F(PersistenceFixture, AFailedWriteIsEncodedOnceOnTheQueueNotAgainWhereTheStoreLives) {
    ManualScheduler scheduler(clock);
    ManualWorkQueue queue;
    int encodings = 0;
    StoreFile file(
        persistence, &scheduler, QStringLiteral("samples.json"),
        [&] {
            return [&]() -> QJsonValue {
                ++encodings;
                return encodeSamples(samples);
            };
        },
        StoreFile::Timing{1, 5, 30}, &queue);
    std::optional<SaveOutcome> outcome;
    QObject::connect(&file, &StoreFile::saveFinished, [&](SaveOutcome finished) { outcome = finished; });
    files.failWritesTo(path(), posixError(ENOSPC));
    file.changed();
    scheduler.advance(Seconds(1));
    queue.drain();
    EXPECT_EQ(encodings, 1);
    EXPECT_EQ(outcome, SaveOutcome::rescued);
    const QStringList recovered = QDir(folder).entryList({QStringLiteral("samples.json.recovered-*")});
    ASSERT_EQ(recovered.size(), 1);
    EXPECT_EQ(QJsonDocument::fromJson(home.readFile(path(recovered.first()))).array(),
              encodeSamples(samples));
    // Tried again every 30 s while the disk stays full: one encoding a try.
    scheduler.advance(Seconds(30));
    queue.drain();
    scheduler.advance(Seconds(30));
    queue.drain();
    EXPECT_EQ(encodings, 3);
}
