#include "core/QAObserver.h"
#include "modules/ModuleTestSupport.h"
#include "modules/NotesStore.h"
#include "platform/AtomicFile.h"
#include "support/QtPrinters.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <sys/stat.h>

#include <algorithm>
#include <limits>
#include <memory>

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

// The body of the first note of a notes document.
QString bodyOf(const QByteArray& document) {
    return QJsonDocument::fromJson(document)["notes"][0]["body"].toString();
}

// A notes store on a temporary data folder and a QA session open in memory, so the store's
// records can be read back.
class NotesStoreTest : public DataFolderTest {
protected:
    NotesStoreTest() { observer.setSession(QAObserver::Session{}); }

    NotesStore& makeStore() {
        store = std::make_unique<NotesStore>("notes.json", persistence, observer, clock, scheduler);
        return *store;
    }
    QString filePath() const { return dataFolder() + "/notes.json"; }
    void writeNotesFile(const QByteArray& bytes) const {
        home.writeFile("home/.local/share/Vantrel/notes.json", bytes);
    }
    QByteArray fileBytes() const { return home.readFile(filePath()); }
    QString savedBody() const { return bodyOf(fileBytes()); }
    // The content of the newest copy made for `reason`; empty when there is none.
    QByteArray newestCopy(const QString& reason) const {
        const QStringList all = filesMatching("notes." + reason + "-*.json");
        return all.isEmpty() ? QByteArray() : home.readFile(dataFolder() + '/' + all.last());
    }
    int writes() const { return files.count(FakeFileManager::Operation::writeData); }
    QString lastQaMessage() const { return observer.session()->events.back().message; }
    const VantrelNote& selected() const { return store->notes()[*store->selectedIndex()]; }
    QStringList visibleTitles() const {
        QStringList out;
        std::ranges::transform(store->visibleNotes(), std::back_inserter(out), &VantrelNote::title);
        return out;
    }
    // Adds a note with a title of its own, so later edits leave the title alone.
    void addTitled(const QString& title, std::optional<QUuid> folder = std::nullopt) {
        store->add(folder);
        QList<VantrelNote> notes = store->notes();
        notes[*store->selectedIndex()].title = title;
        store->setNotes(notes);
    }

    QAObserver observer{clock, files, home.paths()};
    std::unique_ptr<NotesStore> store;
};

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
    const QByteArray older = documentWithNote(
        1, QStringLiteral(R"({"id":"%1","title":"Plan","folderID":"%2"})").arg(kId, kFolder));
    writeNotesFile(older);
    makeStore();
    EXPECT_EQ(store->notes().first().folderID, QUuid::fromString(kFolder));
    EXPECT_EQ(QJsonDocument::fromJson(fileBytes())["schemaVersion"], 2) << "saved at once, no waiting";
    EXPECT_EQ(newestCopy("previous"), older);

    // A bare list of notes; a note with only its id takes every default, null counting as absent.
    writeNotesFile(
        QStringLiteral(R"([{"id":"%1"},{"id":"%2","title":null}])").arg(kId.toLower(), kFolder).toUtf8());
    makeStore();
    EXPECT_EQ(store->recoveryMessage(), "Your notes were safely updated to the new local format.");
    VantrelNote expected;
    expected.id = QUuid::fromString(kId);
    expected.modifiedAt = clock.now();
    EXPECT_EQ(store->notes()[0], expected);
    EXPECT_EQ(store->notes()[1].title, "Quick note");
    const QJsonObject first = QJsonDocument::fromJson(fileBytes())["notes"][0].toObject();
    EXPECT_EQ(first["id"].toString(), kId) << "ids are written upper-case";
    EXPECT_EQ(first.keys(),
              (QStringList{"body", "checklist", "id", "isPinned", "modifiedAt", "order", "title"}))
        << "a note in no folder has no folder key";
}

TEST_F(NotesStoreTest, AStoredChecklistLoadsBackItemByItem) {
    const QString item = QStringLiteral(R"({"id":"%1","text":"%2","isComplete":%3})");
    writeNotesFile(documentWithNote(
        2, QStringLiteral(R"({"id":"%1","checklist":[%2,%3]})")
               .arg(kId, item.arg(kFolder, "milk", "true"), item.arg(kId, "eggs", "false"))));
    makeStore();
    EXPECT_EQ(store->recoveryMessage(), std::nullopt);
    const QList<VantrelChecklistItem> expected{{QUuid::fromString(kFolder), "milk", true},
                                               {QUuid::fromString(kId), "eggs", false}};
    EXPECT_EQ(selected().checklist, expected);
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
        EXPECT_EQ(store->recoveryMessage(),
                  "Vantrel could not read the notes file. A backup was saved before a new "
                  "notes space was created.");
        EXPECT_EQ(newestCopy("corrupt"), bytes);
        EXPECT_EQ(fileBytes(), bytes) << "loading never rewrites the file";
        EXPECT_EQ(lastQaMessage(), "notes recovery: malformed document");
    }
}

TEST_F(NotesStoreTest, ADamagedFileMetAtEveryLaunchIsCopiedAsideOnce) {
    writeNotesFile("{\"schemaVersion\":2");
    for (int launch = 0; launch < 3; ++launch) {
        makeStore();
        EXPECT_EQ(store->recoveryMessage(),
                  "Vantrel could not read the notes file. A backup was saved before a new "
                  "notes space was created.");
        clock.advance(Seconds(5));
    }
    EXPECT_EQ(filesMatching("notes.corrupt-*.json").size(), 1);
    // Damaged otherwise: that is kept too.
    writeNotesFile("[broken");
    makeStore();
    EXPECT_EQ(filesMatching("notes.corrupt-*.json").size(), 2);
    EXPECT_EQ(newestCopy("corrupt"), "[broken");
}

TEST_F(NotesStoreTest, AFileWithoutACopyAsideIsNeverReplaced) {
    // Malformed, and the "corrupt" copy fails: the file stays until a copy of it exists.
    const QByteArray damaged = "{\"schemaVersion\":2";
    writeNotesFile(damaged);
    files.failWith(FakeFileManager::Operation::copyItem, failure());
    makeStore();
    EXPECT_EQ(store->recoveryMessage(),
              "Vantrel could not read the notes file. A new empty notes space was created.");
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
    EXPECT_EQ(lastQaMessage(), "notes recovery: read failed");
    store->updateSelected("kept in memory");
    store->saveNow();
    EXPECT_TRUE(QFileInfo(filePath()).isDir());
    EXPECT_EQ(store->notes().first().body, "kept in memory");
    // The edits were saved beside it, and the message says where.
    const QStringList recovered = filesMatching("notes.json.recovered-*");
    ASSERT_EQ(recovered.size(), 1);
    EXPECT_EQ(store->recoveryMessage(), NotesStore::recoveredMessage(dataFolder() + "/" + recovered[0]));
    QDir(filePath()).removeRecursively();
    QFile::remove(dataFolder() + "/" + recovered[0]);

    // Unreadable at launch but copyable now: copied before it is replaced, and not at load time.
    const QByteArray original =
        documentWithNote(2, QStringLiteral(R"({"id":"%1","body":"precious"})").arg(kId));
    writeNotesFile(original);
    files.failWith(FakeFileManager::Operation::readData, failure(std::errc::permission_denied));
    makeStore();
    files.clearFailure(FakeFileManager::Operation::readData);
    EXPECT_EQ(newestCopy("previous"), QByteArray());
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
    EXPECT_EQ(filesMatching("notes.previous-*.json").size(), NotesStore::kPreviousCopiesKept);
    EXPECT_EQ(bodyOf(newestCopy("previous")), "version 24");
    EXPECT_EQ(newestCopy("corrupt"), "[broken");
}

TEST_F(NotesStoreTest, QuitsWithoutAnEditKeepEveryEarlierVersion) {
    makeStore();
    store->updateSelected("first version");
    scheduler.advance(Seconds(2));
    store->updateSelected("second version");
    scheduler.advance(Seconds(2));
    // Twenty runs that end without an edit, each a few seconds apart.
    for (int run = 0; run < 20; ++run) {
        makeStore();
        store->saveNow();
        scheduler.advance(Seconds(3));
    }
    EXPECT_EQ(savedBody(), "second version");
    const QStringList copies = filesMatching("notes.previous-*.json");
    QStringList bodies;
    for (const QString& copy : copies) bodies.append(bodyOf(home.readFile(dataFolder() + '/' + copy)));
    EXPECT_EQ(bodies, (QStringList{"first version", "second version"}));

    // A save that failed after its copy left the file as it was: the next one copies nothing new.
    store->updateSelected("third version");
    scheduler.advance(Seconds(2));
    files.failWith(FakeFileManager::Operation::writeData, failure());
    store->updateSelected("fourth version");
    scheduler.advance(Seconds(2));
    files.clearFailure(FakeFileManager::Operation::writeData);
    store->updateSelected("fifth version");
    scheduler.advance(Seconds(2));
    EXPECT_EQ(savedBody(), "fifth version");
    bodies.clear();
    for (const QString& copy : filesMatching("notes.previous-*.json"))
        bodies.append(bodyOf(home.readFile(dataFolder() + '/' + copy)));
    EXPECT_EQ(bodies, (QStringList{"first version", "second version", "third version"}));

    // A file of the same size as the newest copy but other notes is a version of its own.
    store->updateSelected("sixth version");
    scheduler.advance(Seconds(2));
    EXPECT_EQ(bodyOf(newestCopy("previous")), "fifth version");
    EXPECT_EQ(filesMatching("notes.previous-*.json").size(), 4);
}

TEST_F(NotesStoreTest, FailedSaveTellsTheUserAndKeepsTheNotes) {
    makeStore();
    files.failWith(FakeFileManager::Operation::writeData, failure());
    store->updateSelected("unsaved");
    scheduler.advance(Seconds(1));
    EXPECT_EQ(store->recoveryMessage(),
              "Vantrel could not save your notes. Your changes are still here and will "
              "be saved again with your next change.");
    EXPECT_EQ(lastQaMessage(), "notes save failed");
    files.clearFailure(FakeFileManager::Operation::writeData);
    store->updateSelected("saved");
    scheduler.advance(Seconds(1));
    EXPECT_EQ(savedBody(), "saved");
}

TEST_F(NotesStoreTest, ASaveTheFolderRefusesIsToldNeverCalledSavedAndKeptInTheRecoveryFile) {
    writeNotesFile(documentWithNote(2, QStringLiteral(R"({"id":"%1","body":"before"})").arg(kId)));
    makeStore();
    QSignalSpy failedChanged(store.get(), &NotesStore::saveFailedChanged);
    // notes.json lives in a folder that refuses it (through a link); the data folder takes the rest.
    files.failWritesTo(filePath(), std::make_exception_ptr(FileWriteError(
                                       filePath(), "Permission denied", QStringLiteral("/media/readonly"))));
    store->updateSelected("typed while refused");
    scheduler.advance(Seconds(1));
    EXPECT_TRUE(store->saveFailed());
    EXPECT_EQ(savedBody(), "before");
    const QStringList recovered = filesMatching("notes.json.recovered-*");
    ASSERT_EQ(recovered.size(), 1);
    const QString recovery = dataFolder() + '/' + recovered[0];
    EXPECT_EQ(bodyOf(home.readFile(recovery)), "typed while refused");
    EXPECT_EQ(notices.notices(), QStringList{"Vantrel could not save notes.json: the folder /media/readonly "
                                             "refused the write (Permission denied). What this session holds "
                                             "is kept in " +
                                             recovery + " instead."});

    // Quitting writes the newest text there too.
    store->updateSelected("typed before quitting");
    store->saveNow();
    EXPECT_EQ(bodyOf(home.readFile(recovery)), "typed before quitting");

    // The data folder full as well: nothing more reaches the disk, and the notice says so.
    files.failWith(FakeFileManager::Operation::writeData, failure());
    store->updateSelected("held in memory");
    scheduler.advance(Seconds(1));
    EXPECT_TRUE(notices.notices().value(0).endsWith(
        "Nothing could be written anywhere: your changes are kept only while Vantrel runs, and saved again "
        "with the next change."))
        << notices.notices().value(0).toStdString();
    EXPECT_EQ(bodyOf(home.readFile(recovery)), "typed before quitting");

    // Saved again: said so, and the notice goes.
    files.clearFailure(FakeFileManager::Operation::writeData);
    files.clearWriteFailures();
    store->updateSelected("saved at last");
    scheduler.advance(Seconds(1));
    EXPECT_FALSE(store->saveFailed());
    EXPECT_EQ(savedBody(), "saved at last");
    EXPECT_TRUE(notices.notices().isEmpty());
    EXPECT_EQ(failedChanged.count(), 2);
}

TEST_F(NotesStoreTest, WithoutASelectedNoteEditsChangeNothingAndSaveNothing) {
    makeStore();
    const QList<VantrelNote> before = store->notes();
    store->setSelectedID(QUuid::createUuid());
    store->setSelectedFolderID(QUuid::createUuid()); // selection, filter and search save nothing
    store->setSearchQuery("x");
    store->updateSelected("x");
    store->setSelectedID(std::nullopt);
    store->toggleChecklistItem(QUuid::createUuid());
    store->deleteSelected();
    EXPECT_EQ(store->notes(), before);
    EXPECT_FALSE(store->hasPendingSave());
}

TEST_F(NotesStoreTest, DefaultTitlesFollowTheFirstLineUntilTheNoteIsNamed) {
    makeStore();
    store->add();
    store->updateSelected("\n\nShopping list for the weekend trip to the lake house\nmilk");
    EXPECT_EQ(selected().title, "Shopping list for the weekend trip to the ");

    // The title cut counts characters as readers see them, and keeps the line's spaces.
    const QString flag = QStringLiteral("\U0001F1EB\U0001F1F7");
    store->add();
    store->updateSelected("  " + flag.repeated(50));
    EXPECT_EQ(selected().title, "  " + flag.repeated(40));
    store->updateSelected("more");
    EXPECT_EQ(selected().title, "more") << "a title made from the first line goes on following it";

    store->add();
    store->updateSelected("\n\n");
    EXPECT_EQ(selected().title, "Quick note");
    // Tabs and spaces alone name nothing: the title would read as blank.
    store->updateSelected("\t\t");
    EXPECT_EQ(selected().title, "Quick note");
    store->updateSelected(" \t\n\nPacking\n");
    EXPECT_EQ(selected().title, "Packing");
    addTitled("Groceries");
    store->updateSelected(QString());
    EXPECT_EQ(selected().title, "Groceries");
    store->updateSelected("Milk\neggs");
    EXPECT_EQ(selected().title, "Groceries") << "a title of the user's own never follows the body";
}

TEST_F(NotesStoreTest, ANewNoteTypedKeyByKeyIsTitledWithItsWholeFirstLine) {
    makeStore();
    store->add();
    QString typed;
    for (const QChar key :
         QStringLiteral("Call the plumber about the kitchen sink before Friday\nand the roof")) {
        typed += key;
        store->updateSelected(typed);
    }
    EXPECT_EQ(selected().title, "Call the plumber about the kitchen sink be")
        << "42 characters of the first line";
    EXPECT_EQ(selected().title.size(), 42);

    // Editing the first line later still retitles the note; so does deleting it back to nothing.
    store->updateSelected("Call the electrician\nand the roof");
    EXPECT_EQ(selected().title, "Call the electrician");
    store->updateSelected(QString());
    EXPECT_EQ(selected().title, "Quick note");
    store->updateSelected("Again");
    EXPECT_EQ(selected().title, "Again");
}

TEST_F(NotesStoreTest, CleanUpAndBulletsRewriteTheBody) {
    makeStore();
    const struct {
        void (NotesStore::*operation)();
        QString body, result;
    } cases[] = {
        {&NotesStore::cleanUpSelected, "  a \t b  \n\n\n\n c", "a b\n\n\nc"},
        {&NotesStore::cleanUpSelected, "x\n\n\n\n\n\ny", "x\n\n\n\ny"}, // six line feeds become four
        {&NotesStore::cleanUpSelected, " one\r\ntwo ", "one\n\ntwo"}, // CR LF is two line ends; no outer trim
        {&NotesStore::makeBulletList, "\u2022 one\n\n two", "\u2022 one\n\u2022 two"},
        {&NotesStore::makeBulletList, "", ""},
    };
    for (const auto& c : cases) {
        store->updateSelected(c.body);
        (store.get()->*c.operation)();
        EXPECT_EQ(selected().body, c.result) << c.body.toStdString();
    }
}

TEST_F(NotesStoreTest, PinningAndChecklistsStampTheNote) {
    makeStore();
    for (auto [pinned, expected] :
         {std::pair{std::optional<bool>(), true}, {true, true}, {std::nullopt, false}}) {
        clock.advance(Seconds(1));
        store->setPinned(pinned);
        EXPECT_EQ(selected().isPinned, expected);
        EXPECT_EQ(selected().modifiedAt, clock.now());
    }
    store->addChecklistItem("  eggs ");
    store->addChecklistItem(QString());
    EXPECT_EQ(selected().checklist.value(0).text, "  eggs ") << "kept as typed";
    clock.advance(Seconds(1));
    store->toggleChecklistItem(selected().checklist.value(1).id);
    EXPECT_TRUE(selected().checklist.value(1).isComplete);
    EXPECT_FALSE(selected().checklist.value(0).isComplete) << "only the item named is toggled";
    EXPECT_EQ(selected().modifiedAt, clock.now());
}

TEST_F(NotesStoreTest, NewNotesTakeTheFolderAndTheNextOrderAndSearchLooksAtTitlesAndBodies) {
    makeStore();
    const QUuid work = QUuid::createUuid();
    addTitled("w1", work);
    store->updateSelected("Milk and eggs");
    addTitled("w2", work);
    store->addChecklistItem("buy milk");
    addTitled("MILKSHAKE recipe", QUuid::createUuid());
    store->setSelectedFolderID(work);
    store->add();
    EXPECT_EQ(selected().folderID, work);
    EXPECT_EQ(selected().order, 2) << "one above the folder's highest (w1 0, w2 1)";
    EXPECT_EQ(visibleTitles(), (QStringList{"w1", "w2", "New note"}));
    store->setPinned(true);
    EXPECT_EQ(visibleTitles(), (QStringList{"New note", "w1", "w2"})) << "pinned first";
    store->setSelectedFolderID(std::nullopt);
    store->setSearchQuery("  MILK \n");
    EXPECT_EQ(visibleTitles(), (QStringList{"MILKSHAKE recipe", "w1"}));

    // An order at the top of the range saturates instead of wrapping round.
    QList<VantrelNote> notes = store->notes();
    notes[0].order = std::numeric_limits<std::int64_t>::max();
    store->setNotes(notes);
    store->add(work);
    EXPECT_EQ(selected().order, std::numeric_limits<std::int64_t>::max());
}

TEST_F(NotesStoreTest, DeletingSelectsTheFirstStoredNoteOrMakesAFreshOne) {
    makeStore();
    store->setSelectedFolderID(QUuid::createUuid());
    store->deleteSelected();
    EXPECT_EQ(store->notes().value(0).folderID, std::nullopt) << "a fresh note, whatever folder is selected";

    addTitled("in folder");
    const QUuid inFolder = selected().id;
    store->setSelectedID(store->notes().last().id);
    store->deleteSelected();
    EXPECT_EQ(store->selectedID(), inFolder);
    EXPECT_EQ(store->notes().size(), 1);
}

} // namespace

TEST_F(NotesStoreTest, NotesTypedWhileTheFileIsUnreadableAreSavedBesideIt) {
    QDir().mkpath(dataFolder());
    ASSERT_EQ(::mkfifo(QFile::encodeName(filePath()).constData(), 0644), 0); // opening it would wait
    makeStore();
    EXPECT_EQ(store->recoveryMessage(),
              "Vantrel could not open the notes file. Your existing file was left untouched.");
    const QString recovery = "notes.json.recovered-" + fileNameTimestamp(clock.now());
    store->updateSelected("typed while unreadable");
    scheduler.advance(Seconds(1));
    store->updateSelected("typed last");
    store->saveNow(); // quitting saves at once

    EXPECT_TRUE(QFileInfo::exists(filePath()) && !QFileInfo(filePath()).isFile()) << "still the FIFO";
    EXPECT_EQ(filesMatching("notes.json.recovered-*"), QStringList{recovery});
    const auto saved = NotesDocument::fromJson(
        QJsonDocument::fromJson(home.readFile(dataFolder() + "/" + recovery)).object(), clock.now());
    ASSERT_EQ(saved.notes.size(), 1);
    EXPECT_EQ(saved.notes.first().body, "typed last");
    EXPECT_EQ(store->recoveryMessage(), NotesStore::recoveredMessage(dataFolder() + "/" + recovery));
    EXPECT_EQ(store->recoveryMessage(),
              "Vantrel could not open the notes file. Your existing file was left untouched; your notes are "
              "saved in " +
                  dataFolder() + "/" + recovery + ".");
}

TEST_F(NotesStoreTest, NotesOnlyInARecoveryFileAreTakenBackAtStartSavedAndTheRecoveryFileRemoved) {
    writeNotesFile(documentWithNote(2, QStringLiteral(R"({"id":"%1","body":"old text"})").arg(kId)));
    makeStore();
    QSignalSpy unsavedChanged(store.get(), &NotesStore::unsavedChanged);
    // The folder refuses the file: the edits go to the recovery file and the save is tried again.
    files.failWritesTo(filePath(), failure());
    clock.advance(Seconds(10));
    store->updateSelected("edited while refused");
    store->add();
    store->updateSelected("a new note");
    scheduler.advance(Seconds(1));
    EXPECT_TRUE(store->unsaved());
    EXPECT_EQ(unsavedChanged.count(), 1);
    const int before = writes();
    scheduler.advance(Seconds(30));
    EXPECT_GT(writes(), before) << "tried again without a change";
    EXPECT_TRUE(store->unsaved());
    store->saveNow();
    store.reset(); // quit (or a kill: the recovery file holds it all already)
    EXPECT_EQ(savedBody(), "old text");
    ASSERT_EQ(filesMatching("notes.json.recovered-*").size(), 1);

    // The next start: both notes are back, the edited one in its newer version, told once.
    files.clearWriteFailures();
    notices.dismiss();
    LocalPersistence next{LocalPersistence::Store{dataFolder(), &files}, clock, log,
                          QStringLiteral("com.vantrel.mac")};
    next.setNotices(&notices);
    store = std::make_unique<NotesStore>("notes.json", next, observer, clock, scheduler);
    QStringList bodies;
    for (const VantrelNote& note : store->notes()) bodies.append(note.body);
    bodies.sort();
    EXPECT_EQ(bodies, (QStringList{"a new note", "edited while refused"}));
    ASSERT_EQ(notices.notices().size(), 1);
    EXPECT_TRUE(notices.notices()[0].contains("notes.json.recovered-"));
    // Saved to the file at once, which holds it all now; the recovery file goes.
    const QJsonArray saved = QJsonDocument::fromJson(fileBytes())["notes"].toArray();
    EXPECT_EQ(saved.size(), 2);
    EXPECT_TRUE(filesMatching("notes.json.recovered-*").isEmpty());
    EXPECT_FALSE(store->unsaved());
    store.reset();
}

TEST_F(NotesStoreTest, ANoteChangedInTheFileAndInAnOlderRecoveryFileIsKeptTwiceAndANewerOneIsTheWholeState) {
    const auto note = [](const char* id, const char* body) {
        return QStringLiteral(R"({"id":"%1","title":"Plan","body":"%2","modifiedAt":0,"order":0})")
            .arg(QString::fromLatin1(id), QString::fromLatin1(body));
    };
    const char* other = "22222222-2222-4222-8222-222222222222";
    const QString recovery = "notes.json.recovered-2026-01-01T00-00-00Z";
    const auto notes = [&] {
        QStringList out;
        for (const VantrelNote& n : store->notes()) out.append(n.title + ": " + n.body);
        return out;
    };
    writeAged("notes.json", documentWithNote(2, note(qPrintable(kId), "in the file")), 60);
    writeAged(
        recovery,
        documentWithNote(2, note(qPrintable(kId), "before the crash") + "," + note(other, "only recovered")),
        3600);
    makeStore();
    EXPECT_EQ(notes(), (QStringList{"Plan: in the file", "Plan (recovered): before the crash",
                                    "Plan: only recovered"}));
    EXPECT_EQ(QJsonDocument::fromJson(fileBytes())["notes"].toArray().size(), 3) << "saved at once";
    EXPECT_TRUE(filesMatching(recovery).isEmpty());

    // Newer than the file: the state, in which what it lacks was deleted; the file goes aside.
    const QByteArray replaced = fileBytes();
    writeAged("notes.json", replaced, 3600);
    writeAged(recovery, documentWithNote(2, note(other, "the only note left")), 60);
    clock.advance(Seconds(5));
    makeStore();
    EXPECT_EQ(notes(), QStringList{"Plan: the only note left"});
    EXPECT_EQ(newestCopy("previous"), replaced);
}

// A key typed into a note tells the views which note changed, not that the list did; the list is
// told only when the key takes the note in or out of a search, or moves it past a note of the same
// place. A first line longer than a title still gives whole characters, however long each is.
TEST_F(NotesStoreTest, TypingTellsWhichNoteChangedAndTellsTheListOnlyWhenTheNoteMovesInIt) {
    makeStore();
    store->updateSelected("Groceries");
    const QUuid groceries = *store->selectedID();
    store->add();
    const QUuid plans = *store->selectedID();
    QSignalSpy edited(store.get(), &NotesStore::noteEdited);
    QSignalSpy listChanged(store.get(), &NotesStore::notesChanged);
    clock.advance(Seconds(1));
    store->updateSelected("Plans for Friday");
    ASSERT_EQ(edited.count(), 1);
    EXPECT_EQ(edited[0][0].value<QUuid>(), plans);
    EXPECT_EQ(listChanged.count(), 0);
    EXPECT_EQ(selected().title, "Plans for Friday");
    EXPECT_TRUE(store->hasPendingSave());

    store->setSearchQuery("FRIDAY");
    store->updateSelected("Plans for Saturday");
    EXPECT_EQ(listChanged.count(), 1) << "the note left the search";
    store->updateSelected("Plans for Friday");
    EXPECT_EQ(listChanged.count(), 2) << "the note came back into the search";
    store->updateSelected("Plans for Friday!");
    EXPECT_EQ(listChanged.count(), 2);
    EXPECT_EQ(edited.count(), 2);
    store->setSearchQuery(QString());

    // Notes of one place are listed latest first: typing into the older one moves it ahead.
    QList<VantrelNote> samePlace = store->notes();
    for (VantrelNote& note : samePlace) note.order = 0;
    store->setNotes(samePlace);
    store->setSelectedID(groceries);
    listChanged.clear();
    edited.clear();
    clock.advance(Seconds(1));
    store->updateSelected("Groceries and eggs");
    EXPECT_EQ(listChanged.count(), 1);
    EXPECT_EQ(edited.count(), 0);
    EXPECT_EQ(store->visibleNotes().first().id, groceries);
    clock.advance(Seconds(1));
    store->updateSelected("Groceries and eggs, bread");
    EXPECT_EQ(listChanged.count(), 1) << "already first, it stays where it is";
    EXPECT_EQ(edited.count(), 1);

    const QString heavy = QStringLiteral("e\u0301\u0302\u0303\u0304\u0305");
    store->updateSelected(heavy.repeated(300) + "\nmore");
    EXPECT_EQ(selected().title, heavy.repeated(42));
}
