#include "core/LocalPersistence.h"

#include "platform/AppPaths.h"
#include "platform/AtomicFile.h"
#include "platform/BundleInfo.h"
#include "support/FakeFileManager.h"
#include "support/ManualClock.h"
#include "support/RecordingSystemLog.h"
#include "support/TempHome.h"

#include <QDir>
#include <QJsonDocument>
#include <gtest/gtest.h>
#include <system_error>

using namespace vantrel;
using namespace vantrel::test;
using Op = FakeFileManager::Operation;
using Kind = PersistenceFailureKind;

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
        return QJsonObject{{QStringLiteral("id"), encodeUuid(s.id)},
                           {QStringLiteral("name"), s.name},
                           {QStringLiteral("at"), encodeDate(s.at)}};
    });
}

WallTime utc(const char* iso) {
    return fromQDateTime(QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate));
}

std::exception_ptr posixError(int code) {
    return std::make_exception_ptr(std::system_error(code, std::generic_category(), "injected"));
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
        QDir().mkpath(folder);
        QFile f(path(file));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    auto load(const QString& file = QStringLiteral("samples.json")) {
        return persistence.load(file, decodeSamples);
    }
    void save(const QString& file = QStringLiteral("samples.json")) {
        persistence.save(samples, file, encodeSamples);
    }
    QStringList persistenceLines() const { return log.messages(QStringLiteral("Persistence")); }
    QStringList folderEntries() const {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }
};

} // namespace

TEST_F(PersistenceFixture, MissingFilesLoadAsMissingWithoutALogLine) {
    // No data folder at all: loading never creates it, the first save does, with its parents.
    EXPECT_TRUE(load().isMissing());
    EXPECT_FALSE(QFileInfo::exists(home.paths().dataHome));
    save(QStringLiteral("other.json"));
    EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("other.json")});
    // A folder without the file.
    EXPECT_TRUE(load().isMissing());
    // A reader that reports the absence wrapped several levels deep.
    try {
        try {
            try {
                throw std::system_error(ENOENT, std::generic_category(), "inner");
            } catch (...) {
                std::throw_with_nested(std::runtime_error("middle"));
            }
        } catch (...) {
            std::throw_with_nested(FileWriteError(path(), QStringLiteral("outer")));
        }
    } catch (...) {
        files.failWith(Op::readData, std::current_exception());
    }
    EXPECT_TRUE(load().isMissing());
    EXPECT_TRUE(log.lines().empty());

    // Wrapped errors of another kind are no absence, and the log names the outer type.
    try {
        try {
            throw std::system_error(EACCES, std::generic_category(), "inner");
        } catch (...) {
            std::throw_with_nested(std::runtime_error("outer"));
        }
    } catch (...) {
        files.failWith(Op::readData, std::current_exception());
    }
    const auto outcome = load();
    ASSERT_TRUE(outcome.isFailed());
    EXPECT_EQ(outcome.failure()->kind, Kind::unreadable);
    EXPECT_EQ(persistenceLines(),
              QStringList{QStringLiteral("kind=unreadable file=samples.json error=std::runtime_error")});
}

TEST_F(PersistenceFixture, UnreadableAndCorruptFilesAreFailuresAndLogged) {
    QDir().mkpath(path()); // a folder where the file should be
    auto outcome = load();
    ASSERT_TRUE(outcome.isFailed());
    EXPECT_EQ(outcome.failure()->kind, Kind::unreadable);
    EXPECT_EQ(outcome.failure()->file, QStringLiteral("samples.json"));

    put(QByteArray(), QStringLiteral("empty.json"));
    outcome = load(QStringLiteral("empty.json"));
    ASSERT_TRUE(outcome.isFailed()) << "a zero-byte file is damaged, not missing";
    EXPECT_EQ(outcome.failure()->kind, Kind::corrupt);

    put(R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","name":7,"at":0}])", QStringLiteral("types.json"));
    outcome = load(QStringLiteral("types.json"));
    ASSERT_TRUE(outcome.isFailed());
    EXPECT_EQ(outcome.failure()->kind, Kind::corrupt);

    const auto line = [](const char* kind, const char* file, const char* type) {
        return QStringLiteral("kind=%1 file=%2 error=%3")
            .arg(QString::fromLatin1(kind), QString::fromLatin1(file), QString::fromLatin1(type));
    };
    EXPECT_EQ(persistenceLines(), (QStringList{line("unreadable", "samples.json", "std::system_error"),
                                               line("corrupt", "empty.json", "vantrel::JsonDecodingError"),
                                               line("corrupt", "types.json", "vantrel::JsonDecodingError")}));
    for (const auto& l : log.lines()) {
        EXPECT_EQ(l.level, LogLevel::error);
        EXPECT_EQ(l.subsystem, QStringLiteral("com.vantrel.mac"));
    }
    // Failed loads leave the files as they were.
    EXPECT_TRUE(QFileInfo(path()).isDir());
    EXPECT_EQ(home.readFile(path(QStringLiteral("empty.json"))), QByteArray());
}

TEST_F(PersistenceFixture, SaveWritesCompactJsonWithReferenceDatesAndUpperCaseIdsThatLoadBack) {
    save();
    EXPECT_TRUE(log.lines().empty());
    const QByteArray bytes = home.readFile(path());
    EXPECT_FALSE(bytes.contains('\n'));
    const QJsonArray array = QJsonDocument::fromJson(bytes).array();
    ASSERT_EQ(array.size(), 2);
    EXPECT_EQ(array[1].toObject().value(QStringLiteral("at")), QJsonValue(0.0));
    EXPECT_DOUBLE_EQ(array[0].toObject().value(QStringLiteral("at")).toDouble(),
                     Seconds(utc("2026-01-02T03:04:05Z") - utc("2001-01-01T00:00:00Z")).count());
    const QString id = array[0].toObject().value(QStringLiteral("id")).toString();
    EXPECT_EQ(id, id.toUpper());
    EXPECT_EQ(id, samples[0].id.toString(QUuid::WithoutBraces).toUpper());

    const auto outcome = load();
    ASSERT_TRUE(outcome.isLoaded());
    EXPECT_EQ(*outcome.value(), samples);
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
    save();
    EXPECT_EQ(persistenceLines(),
              (QStringList{QStringLiteral("kind=encoding file=samples.json error=vantrel::JsonEncodingError"),
                           QStringLiteral("kind=directory file=samples.json error=std::system_error"),
                           QStringLiteral("kind=write file=samples.json error=vantrel::FileWriteError")}));
    EXPECT_EQ(files.count(Op::writeData), 1); // only the last attempt got as far as writing
    EXPECT_EQ(home.readFile(path()), QByteArray("[]"));
    EXPECT_EQ(files.count(Op::copyItem), 0);
}

TEST_F(PersistenceFixture, SaveOrThrowFailsBeforeAnyBackupAndBacksUpThePreviousFile) {
    put("[]");
    files.failWith(Op::createDirectory, posixError(EROFS));
    files.clearCalls();
    try {
        persistence.saveOrThrow(samples, QStringLiteral("samples.json"), true, encodeSamples);
        FAIL() << "expected a PersistenceError";
    } catch (const PersistenceError& error) {
        EXPECT_EQ(error.failure().kind, Kind::directory);
    }
    ASSERT_EQ(files.calls().size(), 1u);
    EXPECT_EQ(files.calls()[0].operation, Op::createDirectory);

    files.clearFailure(Op::createDirectory);
    persistence.saveOrThrow(samples, QStringLiteral("samples.json"), true, encodeSamples);
    EXPECT_EQ(home.readFile(path(QStringLiteral("samples.previous-2026-03-01T09-05-07Z.json"))),
              QByteArray("[]"));
    EXPECT_EQ(*load().value(), samples);

    files.failWith(Op::writeData, posixError(ENOSPC));
    EXPECT_THROW(persistence.saveOrThrow(samples, QStringLiteral("samples.json"), false, encodeSamples),
                 PersistenceError);
    EXPECT_TRUE(log.lines().empty()) << "the caller decides what to tell";
}

TEST_F(PersistenceFixture, ACorruptFileIsCopiedAsideIntactBeforeTheFirstSaveReplacesIt) {
    const QByteArray damaged("{\"half\": [1, 2", 14);
    put(damaged);
    ASSERT_TRUE(load().isFailed());

    // While the copy cannot be made the file is kept and the save reported as a write failure.
    files.failWith(Op::copyItem, posixError(ENOSPC));
    save();
    EXPECT_EQ(home.readFile(path()), damaged);
    EXPECT_EQ(persistenceLines().last(),
              QStringLiteral("kind=write file=samples.json error=vantrel::FileWriteError"));
    EXPECT_EQ(files.count(Op::writeData), 0);

    files.clearFailure(Op::copyItem);
    save();
    EXPECT_EQ(home.readFile(path(QStringLiteral("samples.corrupt-2026-03-01T09-05-07Z.json"))), damaged);
    EXPECT_EQ(*load().value(), samples);

    // Once copied, later saves replace the file without further copies.
    clock.advance(Seconds(5));
    save();
    EXPECT_EQ(folderEntries().size(), 2);
}

TEST_F(PersistenceFixture, AnUnreadableFileIsNeverReplacedInThatRun) {
    put("[\"precious\"]");
    files.failWith(Op::readData, posixError(EIO));
    ASSERT_TRUE(load().isFailed());
    files.clearFailure(Op::readData);
    const int linesAfterLoad = persistenceLines().size();

    save();
    save();
    EXPECT_THROW(persistence.saveOrThrow(samples, QStringLiteral("samples.json"), true, encodeSamples),
                 PersistenceError);
    EXPECT_EQ(home.readFile(path()), QByteArray("[\"precious\"]"));
    EXPECT_EQ(files.count(Op::writeData), 0);
    EXPECT_EQ(persistenceLines().size(), linesAfterLoad + 2);
    EXPECT_EQ(persistenceLines().last(),
              QStringLiteral("kind=write file=samples.json error=vantrel::FileWriteError"));

    // Other files of the same store are unaffected.
    save(QStringLiteral("other.json"));
    EXPECT_TRUE(load(QStringLiteral("other.json")).isLoaded());
}

TEST_F(PersistenceFixture, BackupNamesCollisionsAndMissingSources) {
    put("one");
    put("bare", QStringLiteral("notes"));
    const auto first = persistence.backup(path(), QStringLiteral("corrupt"));
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, path(QStringLiteral("samples.corrupt-2026-03-01T09-05-07Z.json")));
    EXPECT_EQ(persistence.backup(path(QStringLiteral("notes")), QStringLiteral("previous")),
              path(QStringLiteral("notes.previous-2026-03-01T09-05-07Z.json")));

    // A second copy within the same second keeps the first one and reports none.
    put("two");
    clock.advance(Seconds(0.5));
    EXPECT_EQ(persistence.backup(path(), QStringLiteral("corrupt")), std::nullopt);
    EXPECT_EQ(home.readFile(*first), QByteArray("one"));
    EXPECT_EQ(home.readFile(path()), QByteArray("two")) << "the source stays";

    const QStringList before = folderEntries();
    EXPECT_EQ(persistence.backup(path(QStringLiteral("absent.json")), QStringLiteral("corrupt")),
              std::nullopt);
    EXPECT_EQ(folderEntries(), before);
    EXPECT_TRUE(log.lines().empty()) << "backups never log";

    const WallTime t = utc("2026-03-01T09:05:07Z");
    EXPECT_EQ(LocalPersistence::backupPath(QStringLiteral("/a.b/notes"), QStringLiteral("x"), t),
              QStringLiteral("/a.b/notes.x-2026-03-01T09-05-07Z.json"));
    EXPECT_EQ(LocalPersistence::backupPath(QStringLiteral("/a/.hidden"), QStringLiteral("x"), t),
              QStringLiteral("/a/.hidden.x-2026-03-01T09-05-07Z.json"));
    EXPECT_EQ(LocalPersistence::backupPath(QStringLiteral("/a/b.tar.json"), QStringLiteral("x"), t),
              QStringLiteral("/a/b.tar.x-2026-03-01T09-05-07Z.json"));
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
    put("x", QStringLiteral("samples.previous-2026-03-01T09-05-07Z.json"));

    persistence.pruneBackups(file, QStringLiteral("previous"), 2);
    EXPECT_EQ(folderEntries(),
              (QStringList{QStringLiteral("dock-shortcuts.corrupt-2026-03-01T09-05-12Z.json"),
                           QStringLiteral("dock-shortcuts.json"),
                           QStringLiteral("dock-shortcuts.previous-2026-03-01T09-05-10Z.json"),
                           QStringLiteral("dock-shortcuts.previous-2026-03-01T09-05-11Z.json"),
                           QStringLiteral("dock-shortcuts.previous-notes.json"),
                           QStringLiteral("samples.previous-2026-03-01T09-05-07Z.json")}));

    // A folder that cannot be listed is no error: backups never throw.
    files.failWith(Op::contentsOfDirectory, posixError(EACCES));
    persistence.pruneBackups(file, QStringLiteral("previous"), 0);
    EXPECT_EQ(folderEntries().size(), 6);
    EXPECT_TRUE(log.lines().empty());
}

TEST(LocalPersistenceFolder, OnlyTheExactQaChannelSelectsAnIsolatedFolder) {
    AppPaths paths;
    paths.dataHome = QStringLiteral("/d");
    const auto folder = [&](std::optional<QString> id, QJsonValue channel) {
        BundleInfo bundle{std::move(id), {}};
        if (!channel.isUndefined()) bundle.info.insert(QStringLiteral("VantrelBuildChannel"), channel);
        return LocalPersistence::dataDirectory(paths, bundle);
    };
    const QString id = QStringLiteral("com.vantrel.qa");
    EXPECT_EQ(folder(id, QJsonValue::Undefined), QStringLiteral("/d/Vantrel"));
    EXPECT_EQ(folder(id, QStringLiteral("qa")), QStringLiteral("/d/Vantrel QA/com.vantrel.qa"));
    EXPECT_EQ(folder(std::nullopt, QStringLiteral("qa")), QStringLiteral("/d/Vantrel QA/isolated"));
    EXPECT_EQ(folder(id, QStringLiteral("QA")), QStringLiteral("/d/Vantrel"));
    EXPECT_EQ(folder(id, QStringLiteral("qa ")), QStringLiteral("/d/Vantrel"));
    EXPECT_EQ(folder(id, QJsonValue(true)), QStringLiteral("/d/Vantrel"));

    EXPECT_EQ(LocalPersistence::logSubsystem(BundleInfo{std::nullopt, {}}),
              QStringLiteral("com.vantrel.mac"));
    EXPECT_EQ(LocalPersistence::logSubsystem(BundleInfo{id, {}}), id);
}

TEST(LocalPersistenceSummary, NamesTheLastPathComponentOrUnknown) {
    PersistenceFailure failure{PersistenceFailureKind::corrupt, QString(), nullptr};
    EXPECT_EQ(failure.diagnosticSummary(), QStringLiteral("kind=corrupt file=unknown error=unknown"));
    failure.file = QStringLiteral("sub/clipboard.json");
    failure.error = std::make_exception_ptr(JsonDecodingError(QStringLiteral("x")));
    EXPECT_EQ(failure.diagnosticSummary(),
              QStringLiteral("kind=corrupt file=clipboard.json error=vantrel::JsonDecodingError"));
}
