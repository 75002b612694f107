#include "modules/ModuleTestSupport.h"

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QString kId = QStringLiteral("8D3C1F6E-0B4A-4C5E-9F1A-2B3C4D5E6F70");
const QString kFolder = QStringLiteral("11111111-2222-4333-8444-555555555555");

QByteArray documentWithNote(int schemaVersion, const QString& noteJson) {
    return QStringLiteral(
               R"({"schemaVersion":%1,"folders":[{"id":"%2","title":"Work","order":0}],"notes":[%3]})")
        .arg(schemaVersion)
        .arg(kFolder, noteJson)
        .toUtf8();
}

TEST_F(NotesStoreTest, WithoutNotesStartsWithOneUnsavedQuickNote) {
    for (const QByteArray& file :
         {QByteArray(), QByteArray(R"({"schemaVersion":2,"folders":[],"notes":[]})")}) {
        if (!file.isEmpty()) writeNotesFile(file);
        makeStore();
        ASSERT_EQ(store->notes().size(), 1);
        VantrelNote expected; // "Quick note", empty, in no folder, unpinned, order 0, no checklist
        expected.id = *store->selectedID();
        expected.modifiedAt = clock.now();
        EXPECT_EQ(store->notes().first(), expected);
        EXPECT_EQ(store->recoveryMessage(), std::nullopt);
        scheduler.advance(Seconds(10));
        EXPECT_EQ(writes(), 0);
    }
}

TEST_F(NotesStoreTest, OlderVersionAndLegacyListAreMigratedAtOnce) {
    writeNotesFile(documentWithNote(
        1, QStringLiteral(R"({"id":"%1","title":"Plan","folderID":"%2"})").arg(kId, kFolder)));
    makeStore();
    EXPECT_EQ(store->recoveryMessage(), std::nullopt);
    EXPECT_EQ(store->notes().first().folderID, QUuid::fromString(kFolder));
    EXPECT_EQ(savedDocument()["schemaVersion"].toInt(), 2) << "saved at once, no waiting";
    EXPECT_EQ(copies("previous").size(), 1);

    // A bare list of notes; a note with only its id takes every default, null counting as absent.
    writeNotesFile(
        QStringLiteral(R"([{"id":"%1"},{"id":"%2","title":null}])").arg(kId.toLower(), kFolder).toUtf8());
    makeStore();
    EXPECT_EQ(store->recoveryMessage(), NotesStore::migratedMessage());
    VantrelNote expected;
    expected.id = QUuid::fromString(kId);
    expected.modifiedAt = clock.now();
    EXPECT_EQ(store->notes()[0], expected);
    EXPECT_EQ(store->notes()[1].title, "Quick note");
    const QJsonObject first = savedDocument()["notes"].toArray()[0].toObject();
    EXPECT_EQ(first["id"].toString(), kId) << "ids are written upper-case";
    EXPECT_EQ(first.keys(),
              (QStringList{"body", "checklist", "id", "isPinned", "modifiedAt", "order", "title"}))
        << "a note in no folder has no folder key";
}

TEST_F(NotesStoreTest, MalformedFilesAreCopiedAsideAndLeftInPlace) {
    const QByteArray cases[] = {
        documentWithNote(2, R"({"title":"no id"})"),
        QStringLiteral(R"({"schemaVersion":2,"folders":[{"id":"%1","title":"Work"}],"notes":[]})")
            .arg(kFolder)
            .toUtf8(),
        documentWithNote(2, QStringLiteral(R"({"id":"%1","isPinned":"yes"})").arg(kId)),
        R"({"folders":[],"notes":[]})",
        "not json at all",
    };
    for (const QByteArray& bytes : cases) {
        SCOPED_TRACE(bytes.toStdString());
        QDir(dataFolder()).removeRecursively();
        writeNotesFile(bytes);
        makeStore();
        EXPECT_EQ(store->recoveryMessage(), NotesStore::malformedBackedUpMessage());
        EXPECT_EQ(newestCopy("corrupt"), bytes);
        EXPECT_EQ(fileBytes(), bytes) << "loading never rewrites the file";
        EXPECT_EQ(qaMessages().last(), "notes recovery: malformed document");
    }
}

TEST_F(NotesStoreTest, AFileWithoutACopyAsideIsNeverReplaced) {
    // Malformed, and the "corrupt" copy fails: the file stays until a copy of it exists.
    const QByteArray damaged = "{\"schemaVersion\":2";
    writeNotesFile(damaged);
    files.failWith(FakeFileManager::Operation::copyItem, diskFull());
    makeStore();
    EXPECT_EQ(store->recoveryMessage(), NotesStore::malformedMessage());
    store->updateSelected("typed after the failure");
    scheduler.advance(Seconds(1));
    EXPECT_EQ(fileBytes(), damaged);
    files.clearFailure(FakeFileManager::Operation::copyItem);
    store->updateSelected("typed later");
    scheduler.advance(Seconds(1));
    EXPECT_EQ(newestCopy("previous"), damaged);
    EXPECT_EQ(savedBody(), "typed later");

    // Unreadable, and impossible to copy (a folder where the file should be).
    QDir(dataFolder()).removeRecursively();
    QDir().mkpath(filePath());
    makeStore();
    EXPECT_EQ(qaMessages().last(), "notes recovery: read failed");
    store->updateSelected("kept in memory");
    store->saveNow();
    EXPECT_TRUE(QFileInfo(filePath()).isDir());
    EXPECT_EQ(store->notes().first().body, "kept in memory");
    EXPECT_EQ(store->recoveryMessage(), NotesStore::unreadableMessage()) << "the message stays true";
    QDir(filePath()).removeRecursively();

    // Unreadable at launch but copyable now: copied before it is replaced, and not at load time.
    const QByteArray original =
        documentWithNote(2, QStringLiteral(R"({"id":"%1","body":"precious"})").arg(kId));
    writeNotesFile(original);
    files.failWith(
        FakeFileManager::Operation::readData,
        std::make_exception_ptr(std::system_error(std::make_error_code(std::errc::permission_denied))));
    makeStore();
    files.clearFailure(FakeFileManager::Operation::readData);
    EXPECT_TRUE(copies("previous").isEmpty());
    store->updateSelected("new");
    scheduler.advance(Seconds(1));
    EXPECT_EQ(newestCopy("previous"), original);
}

TEST_F(NotesStoreTest, QuickEditsGiveOneWriteAfterTheLastAndSaveNowCancelsThePendingOne) {
    makeStore();
    for (const char* body : {"a", "ab", "abc"}) {
        store->updateSelected(body);
        scheduler.advance(Seconds(0.1));
    }
    scheduler.advance(Seconds(0.24));
    EXPECT_EQ(writes(), 0);
    scheduler.advance(Seconds(0.01)); // 0.35 s after the third edit
    EXPECT_EQ(writes(), 1);
    EXPECT_EQ(savedBody(), "abc");

    store->updateSelected("quitting");
    store->saveNow();
    EXPECT_EQ(savedBody(), "quitting");
    scheduler.advance(Seconds(5));
    EXPECT_EQ(writes(), 2) << "the cancelled save never runs";
    store->setFolders({VantrelNoteFolder{QUuid::createUuid(), "Work", 3}});
    EXPECT_TRUE(store->hasPendingSave()) << "folders a view assigns are saved too";

    // Typing without any pause is still saved at least every second.
    for (int i = 0; i < 30; ++i) {
        store->updateSelected(QString(i + 1, QLatin1Char('x')));
        scheduler.advance(Seconds(0.1));
        EXPECT_GE(savedBody().size(), i + 1 - 10);
    }
}

TEST_F(NotesStoreTest, KeepsTheNewestTwentyPreviousCopiesAndEveryCorruptOne) {
    writeNotesFile("[broken");
    makeStore();
    for (int i = 0; i < 26; ++i) {
        store->updateSelected(QStringLiteral("version %1").arg(i));
        scheduler.advance(Seconds(1.5));
    }
    EXPECT_EQ(copies("previous").size(), NotesStore::kPreviousCopiesKept);
    EXPECT_EQ(bodyOf(newestCopy("previous")), "version 24");
    EXPECT_EQ(newestCopy("corrupt"), "[broken");
}

TEST_F(NotesStoreTest, FailedSaveTellsTheUserAndKeepsTheNotes) {
    makeStore();
    files.failWith(FakeFileManager::Operation::writeData, diskFull());
    store->updateSelected("unsaved");
    scheduler.advance(Seconds(1));
    EXPECT_EQ(store->recoveryMessage(), NotesStore::saveFailedMessage());
    EXPECT_EQ(qaMessages(), QStringList{"notes save failed"});
    files.clearFailure(FakeFileManager::Operation::writeData);
    store->updateSelected("saved");
    scheduler.advance(Seconds(1));
    EXPECT_EQ(savedBody(), "saved");
}

} // namespace
