#include "modules/ModuleTestSupport.h"

#include <limits>

using namespace vantrel;
using namespace vantrel::test;

namespace {

class NotesEditingTest : public NotesStoreTest {
protected:
    void SetUp() override { makeStore(); }
    const VantrelNote& selected() const { return store->notes()[*store->selectedIndex()]; }
    QStringList visibleTitles() const {
        QStringList out;
        for (const VantrelNote& note : store->visibleNotes())
            out.append(note.title);
        return out;
    }
    // Adds a note with a title of its own, so later edits leave the title alone.
    void addTitled(const QString& title, std::optional<QUuid> folder = std::nullopt) {
        store->add(folder);
        QList<VantrelNote> notes = store->notes();
        notes[*store->selectedIndex()].title = title;
        store->setNotes(notes);
    }
};

TEST_F(NotesEditingTest, WithoutASelectedNoteNothingChangesAndNothingIsSaved) {
    const QList<VantrelNote> before = store->notes();
    store->setSelectedID(QUuid::createUuid());
    store->setSelectedFolderID(QUuid::createUuid()); // selection, filter and search save nothing
    store->setSearchQuery("x");
    store->updateSelected("x");
    store->setPinned(true);
    store->cleanUpSelected();
    store->makeBulletList();
    store->addChecklistItem("x");
    store->setSelectedID(std::nullopt);
    store->toggleChecklistItem(QUuid::createUuid());
    store->deleteSelected();
    EXPECT_EQ(store->notes(), before);
    EXPECT_FALSE(store->hasPendingSave());
}

TEST_F(NotesEditingTest, DefaultTitlesFollowTheFirstLineUntilTheNoteIsNamed) {
    store->add();
    clock.advance(Seconds(3));
    store->updateSelected("\n\nShopping list for the weekend trip to the lake house\nmilk");
    EXPECT_EQ(selected().title, "Shopping list for the weekend trip to the ");
    EXPECT_EQ(selected().modifiedAt, clock.now());

    // The title cut counts characters as readers see them, and keeps the line's spaces.
    const QString flag = QStringLiteral("\U0001F1EB\U0001F1F7");
    store->add();
    store->updateSelected("  " + flag.repeated(50));
    store->updateSelected("more");
    EXPECT_EQ(selected().title, "  " + flag.repeated(40)) << "a derived title is the note's own";

    store->add();
    store->updateSelected("\n\n");
    EXPECT_EQ(selected().title, "Quick note");
    addTitled("Groceries");
    store->updateSelected(QString());
    EXPECT_EQ(selected().title, "Groceries");
}

TEST_F(NotesEditingTest, CleanUpAndBulletsRewriteTheBody) {
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

TEST_F(NotesEditingTest, PinningAndChecklistsStampTheNote) {
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
    EXPECT_EQ(selected().checklist.value(1).isComplete, !selected().checklist.value(0).isComplete);
    EXPECT_EQ(selected().modifiedAt, clock.now());
}

TEST_F(NotesEditingTest, NewNotesTakeTheFolderAndTheNextOrderAndSortAfterTheirPeers) {
    const QUuid work = QUuid::createUuid();
    addTitled("w1", work);
    addTitled("w2", work);
    addTitled("h1", QUuid::createUuid());
    store->setSelectedFolderID(work);
    store->add();
    EXPECT_EQ(selected().folderID, work);
    EXPECT_EQ(visibleTitles(), (QStringList{"w1", "w2", "New note"}));
    store->setPinned(true);
    EXPECT_EQ(visibleTitles(), (QStringList{"New note", "w1", "w2"})) << "pinned first";

    // An order at the top of the range saturates instead of wrapping round.
    QList<VantrelNote> notes = store->notes();
    notes[0].order = std::numeric_limits<std::int64_t>::max();
    store->setNotes(notes);
    store->add(work);
    EXPECT_EQ(selected().order, std::numeric_limits<std::int64_t>::max());
}

TEST_F(NotesEditingTest, SearchLooksAtTitlesAndBodiesOnly) {
    addTitled("Shopping");
    store->updateSelected("Milk and eggs");
    addTitled("Chores");
    store->addChecklistItem("buy milk");
    addTitled("MILKSHAKE recipe");
    store->setSearchQuery("  MILK \n");
    EXPECT_EQ(visibleTitles(), (QStringList{"Shopping", "MILKSHAKE recipe"}));
}

TEST_F(NotesEditingTest, DeletingSelectsTheFirstStoredNoteOrMakesAFreshOne) {
    store->setSelectedFolderID(QUuid::createUuid());
    store->deleteSelected();
    ASSERT_EQ(store->notes().size(), 1);
    EXPECT_EQ(store->notes().first().folderID, std::nullopt) << "whatever folder is selected";
    EXPECT_EQ(store->selectedID(), store->notes().first().id);

    addTitled("in folder");
    const QUuid inFolder = selected().id;
    store->setSelectedID(store->notes().last().id);
    store->deleteSelected();
    EXPECT_EQ(store->selectedID(), inFolder);
    scheduler.advance(Seconds(1));
    makeStore();
    EXPECT_EQ(store->notes().size(), 1);
}
} // namespace
