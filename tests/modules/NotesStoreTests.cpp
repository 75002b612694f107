#include "modules/ModuleTestSupport.h"

#include <QJsonArray>
#include <system_error>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QString kId = QStringLiteral("8D3C1F6E-0B4A-4C5E-9F1A-2B3C4D5E6F70");
const QString kFolder = QStringLiteral("11111111-2222-4333-8444-555555555555");

QByteArray json(const QString& text) {
    return text.toUtf8();
}

QByteArray documentWithNote(int schemaVersion, const QString& noteJson) {
    return json(QStringLiteral(
                    R"({"schemaVersion":%1,"folders":[{"id":"%2","title":"Work","order":0}],"notes":[%3]})")
                    .arg(schemaVersion)
                    .arg(kFolder, noteJson));
}

TEST_F(NotesStoreTest, WithoutAFileStartsWithOneUnsavedQuickNote) {
    makeStore();
    ASSERT_EQ(store->notes().size(), 1);
    const VantrelNote& note = store->notes().first();
    EXPECT_EQ(note.title, QStringLiteral("Quick note"));
    EXPECT_TRUE(note.body.isEmpty());
    EXPECT_EQ(note.modifiedAt, clock.now());
    EXPECT_EQ(note.folderID, std::nullopt);
    EXPECT_EQ(note.order, 0);
    EXPECT_EQ(store->selectedID(), note.id);
    EXPECT_EQ(store->recoveryMessage(), std::nullopt);
    EXPECT_FALSE(store->hasPendingSave());
    scheduler.advance(Seconds(10));
    EXPECT_FALSE(QFile::exists(filePath()));

    // An empty notes list behaves the same and leaves the file as it was until a change.
    const QByteArray empty = json(R"({"schemaVersion":2,"folders":[],"notes":[]})");
    writeNotesFile(empty);
    makeStore();
    EXPECT_EQ(store->notes().first().title, QStringLiteral("Quick note"));
    scheduler.advance(Seconds(10));
    EXPECT_EQ(fileBytes(), empty);
}

TEST_F(NotesStoreTest, OlderVersionAndLegacyListAreMigratedAtOnce) {
    writeNotesFile(documentWithNote(
        1, QStringLiteral(R"({"id":"%1","title":"Plan","body":"b","folderID":"%2"})").arg(kId, kFolder)));
    makeStore();
    EXPECT_EQ(store->recoveryMessage(), std::nullopt);
    EXPECT_EQ(store->notes().first().title, QStringLiteral("Plan"));
    EXPECT_EQ(store->notes().first().folderID, QUuid::fromString(kFolder));
    EXPECT_EQ(savedDocument()[QStringLiteral("schemaVersion")].toInt(), 2) << "saved at once, no waiting";
    EXPECT_EQ(savedDocument()[QStringLiteral("folders")].toArray().size(), 1);
    EXPECT_EQ(copies(QStringLiteral("previous")).size(), 1);

    // A bare list of notes; a note with only its id takes every default, null counting as absent.
    writeNotesFile(json(QStringLiteral(R"([{"id":"%1"},{"id":"%2","title":null,"isPinned":true,"order":7,)"
                                       R"("checklist":[{"id":"%2","text":"milk","isComplete":true}]}])")
                            .arg(kId.toLower(), kFolder)));
    clock.advance(Seconds(2));
    makeStore();
    EXPECT_EQ(store->recoveryMessage(), NotesStore::migratedMessage());
    ASSERT_EQ(store->notes().size(), 2);
    VantrelNote expected;
    expected.id = QUuid::fromString(kId);
    expected.modifiedAt = clock.now();
    EXPECT_EQ(store->notes()[0], expected);
    EXPECT_EQ(store->notes()[1].title, QStringLiteral("Quick note"));
    EXPECT_TRUE(store->notes()[1].isPinned);
    EXPECT_EQ(store->notes()[1].order, 7);
    EXPECT_TRUE(store->notes()[1].checklist.first().isComplete);
    const QJsonObject saved = savedDocument();
    EXPECT_EQ(saved[QStringLiteral("schemaVersion")].toInt(), 2);
    EXPECT_TRUE(saved[QStringLiteral("folders")].toArray().isEmpty());
    const QJsonObject first = saved[QStringLiteral("notes")].toArray()[0].toObject();
    EXPECT_EQ(first[QStringLiteral("id")].toString(), kId) << "ids are written upper-case";
    EXPECT_FALSE(first.contains(QStringLiteral("folderID"))) << "a note in no folder has no folder key";
    EXPECT_EQ(first.keys().size(), 7);
    EXPECT_TRUE(qaMessages().isEmpty());
}

TEST_F(NotesStoreTest, MalformedFilesAreCopiedAsideAndLeftInPlace) {
    const QByteArray cases[] = {
        documentWithNote(2, QStringLiteral(R"({"title":"no id"})")),
        json(QStringLiteral(R"({"schemaVersion":2,"folders":[{"id":"%1","title":"Work"}],"notes":[]})")
                 .arg(kFolder)),
        documentWithNote(2, QStringLiteral(R"({"id":"%1","isPinned":"yes"})").arg(kId)),
        json(R"({"folders":[],"notes":[]})"),
        json("not json at all"),
        QByteArray(),
    };
    int n = 0;
    for (const QByteArray& bytes : cases) {
        SCOPED_TRACE(bytes.toStdString());
        QDir(dataFolder()).removeRecursively();
        writeNotesFile(bytes);
        clock.advance(Seconds(1));
        makeStore();
        EXPECT_EQ(store->recoveryMessage(), NotesStore::malformedBackedUpMessage());
        ASSERT_EQ(store->notes().size(), 1);
        EXPECT_EQ(store->notes().first().title, QStringLiteral("Quick note"));
        EXPECT_TRUE(store->folders().isEmpty());
        ASSERT_EQ(copies(QStringLiteral("corrupt")).size(), 1);
        EXPECT_EQ(home.readFile(dataFolder() + QLatin1Char('/') + copies(QStringLiteral("corrupt")).first()),
                  bytes);
        EXPECT_EQ(fileBytes(), bytes) << "loading never rewrites the file";
        EXPECT_EQ(qaMessages().size(), ++n);
        EXPECT_EQ(qaMessages().last(), QStringLiteral("notes recovery: malformed document"));
    }
    EXPECT_TRUE(log.lines().empty()) << "the notes tell the user themselves, not the persistence log";
}

TEST_F(NotesStoreTest, MalformedFileWhoseCopyFailsIsNotReplacedUntilACopyExists) {
    const QByteArray damaged = json("{\"schemaVersion\":2");
    writeNotesFile(damaged);
    files.failWith(
        FakeFileManager::Operation::copyItem,
        std::make_exception_ptr(std::system_error(std::make_error_code(std::errc::no_space_on_device))));
    makeStore();
    EXPECT_EQ(store->recoveryMessage(), NotesStore::malformedMessage());

    store->updateSelected(QStringLiteral("typed after the failure"));
    scheduler.advance(Seconds(1));
    EXPECT_EQ(fileBytes(), damaged) << "no copy of the damaged file, so it is not replaced";
    EXPECT_EQ(store->notes().first().body, QStringLiteral("typed after the failure"));

    files.clearFailure(FakeFileManager::Operation::copyItem);
    store->updateSelected(QStringLiteral("typed later"));
    scheduler.advance(Seconds(1));
    ASSERT_EQ(copies(QStringLiteral("previous")).size(), 1);
    EXPECT_EQ(home.readFile(dataFolder() + QLatin1Char('/') + copies(QStringLiteral("previous")).first()),
              damaged);
    EXPECT_EQ(
        savedDocument()[QStringLiteral("notes")].toArray()[0].toObject()[QStringLiteral("body")].toString(),
        QStringLiteral("typed later"));
}

TEST_F(NotesStoreTest, UnreadableFileIsNeverReplacedWithoutACopy) {
    // A folder where the file should be: unreadable, and impossible to copy.
    QDir().mkpath(filePath());
    makeStore();
    EXPECT_EQ(store->recoveryMessage(), NotesStore::unreadableMessage());
    EXPECT_EQ(qaMessages(), QStringList{QStringLiteral("notes recovery: read failed")});
    store->updateSelected(QStringLiteral("kept in memory"));
    scheduler.advance(Seconds(1));
    store->saveNow();
    EXPECT_TRUE(QFileInfo(filePath()).isDir());
    EXPECT_EQ(store->notes().first().body, QStringLiteral("kept in memory"));
    EXPECT_EQ(store->recoveryMessage(), NotesStore::unreadableMessage()) << "the message stays true";
    QDir(filePath()).removeRecursively();

    // A file that could not be read at launch but can be copied now is copied before it is replaced.
    const QByteArray original =
        documentWithNote(2, QStringLiteral(R"({"id":"%1","body":"precious"})").arg(kId));
    writeNotesFile(original);
    files.failWith(
        FakeFileManager::Operation::readData,
        std::make_exception_ptr(std::system_error(std::make_error_code(std::errc::permission_denied))));
    makeStore();
    files.clearFailure(FakeFileManager::Operation::readData);
    EXPECT_TRUE(copies(QStringLiteral("previous")).isEmpty()) << "no copy at load time";
    store->updateSelected(QStringLiteral("new"));
    scheduler.advance(Seconds(1));
    ASSERT_EQ(copies(QStringLiteral("previous")).size(), 1);
    EXPECT_EQ(home.readFile(dataFolder() + QLatin1Char('/') + copies(QStringLiteral("previous")).first()),
              original);
    EXPECT_NE(fileBytes(), original);
}

TEST_F(NotesStoreTest, QuickEditsGiveOneWriteAfterTheLastAndSaveNowCancelsThePendingOne) {
    makeStore();
    const MonoTime start = clock.monotonicNow();
    for (const char* body : {"a", "ab", "abc"}) {
        store->updateSelected(QString::fromLatin1(body));
        scheduler.advance(Seconds(0.1));
    }
    EXPECT_EQ(writes(), 0);
    scheduler.advance(Seconds(0.24));
    EXPECT_EQ(writes(), 0);
    scheduler.advance(Seconds(0.01));
    EXPECT_EQ(writes(), 1);
    EXPECT_NEAR(secondsBetween(start, clock.monotonicNow()), 0.55, 1e-9);
    EXPECT_EQ(
        savedDocument()[QStringLiteral("notes")].toArray()[0].toObject()[QStringLiteral("body")].toString(),
        QStringLiteral("abc"));

    store->updateSelected(QStringLiteral("quitting"));
    scheduler.advance(Seconds(0.1));
    store->saveNow();
    EXPECT_EQ(writes(), 2);
    EXPECT_FALSE(store->hasPendingSave());
    scheduler.advance(Seconds(5));
    EXPECT_EQ(writes(), 2) << "the cancelled save never runs";
    EXPECT_EQ(
        savedDocument()[QStringLiteral("notes")].toArray()[0].toObject()[QStringLiteral("body")].toString(),
        QStringLiteral("quitting"));
}

TEST_F(NotesStoreTest, TypingWithoutAPauseIsStillSavedEverySecond) {
    makeStore();
    int lastWrites = 0;
    MonoTime lastWrite = clock.monotonicNow();
    double longestGap = 0;
    for (int i = 0; i < 50; ++i) {
        store->updateSelected(QString(i + 1, QLatin1Char('x')));
        scheduler.advance(Seconds(0.1));
        if (writes() != lastWrites) {
            longestGap = std::max(longestGap, secondsBetween(lastWrite, clock.monotonicNow()));
            lastWrite = clock.monotonicNow();
            lastWrites = writes();
        }
    }
    EXPECT_GE(writes(), 4);
    EXPECT_LE(longestGap, NotesStore::kLongestSaveDeferral + 0.1 + 1e-9);
}

TEST_F(NotesStoreTest, KeepsTheNewestTwentyPreviousCopiesAndEveryCorruptOne) {
    writeNotesFile(json("[broken"));
    makeStore();
    for (int i = 0; i < 26; ++i) {
        store->updateSelected(QStringLiteral("version %1").arg(i));
        scheduler.advance(Seconds(1.5));
    }
    EXPECT_EQ(writes(), 26);
    const QStringList previous = copies(QStringLiteral("previous"));
    ASSERT_EQ(previous.size(), NotesStore::kPreviousCopiesKept);
    // The newest copy holds the document before the last save.
    const QJsonObject newest =
        QJsonDocument::fromJson(home.readFile(dataFolder() + QLatin1Char('/') + previous.last())).object();
    EXPECT_EQ(newest[QStringLiteral("notes")].toArray()[0].toObject()[QStringLiteral("body")].toString(),
              QStringLiteral("version 24"));
    ASSERT_EQ(copies(QStringLiteral("corrupt")).size(), 1);
    EXPECT_EQ(home.readFile(dataFolder() + QLatin1Char('/') + copies(QStringLiteral("corrupt")).first()),
              json("[broken"));
}

TEST_F(NotesStoreTest, FailedSaveTellsTheUserAndKeepsTheNotes) {
    makeStore();
    files.failWith(
        FakeFileManager::Operation::writeData,
        std::make_exception_ptr(std::system_error(std::make_error_code(std::errc::no_space_on_device))));
    int messages = 0;
    QObject::connect(store.get(), &NotesStore::recoveryMessageChanged, [&] { ++messages; });
    store->updateSelected(QStringLiteral("unsaved"));
    scheduler.advance(Seconds(1));
    EXPECT_EQ(store->recoveryMessage(), NotesStore::saveFailedMessage());
    EXPECT_EQ(messages, 1);
    EXPECT_EQ(qaMessages(), QStringList{QStringLiteral("notes save failed")});
    EXPECT_EQ(store->notes().first().body, QStringLiteral("unsaved"));

    files.clearFailure(FakeFileManager::Operation::writeData);
    store->updateSelected(QStringLiteral("saved"));
    scheduler.advance(Seconds(1));
    EXPECT_EQ(
        savedDocument()[QStringLiteral("notes")].toArray()[0].toObject()[QStringLiteral("body")].toString(),
        QStringLiteral("saved"));
}

TEST_F(NotesStoreTest, FoldersAssignedByAViewAreSavedWithTheirNotes) {
    makeStore();
    store->setFolders({VantrelNoteFolder{QUuid::fromString(kFolder), QStringLiteral("Work"), 3}});
    EXPECT_TRUE(store->hasPendingSave());
    store->setSelectedFolderID(QUuid::fromString(kFolder));
    store->setSearchQuery(QStringLiteral("x"));
    scheduler.advance(Seconds(1));
    EXPECT_EQ(writes(), 1) << "selection and search save nothing";
    makeStore();
    ASSERT_EQ(store->folders().size(), 1);
    EXPECT_EQ(store->folders().first().order, 3);
    EXPECT_EQ(store->recoveryMessage(), std::nullopt);
}

} // namespace
