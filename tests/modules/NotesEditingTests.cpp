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
    store->setSelectedID(QUuid::createUuid());
    int changes = 0;
    QObject::connect(store.get(), &NotesStore::notesChanged, [&] { ++changes; });
    const QList<VantrelNote> before = store->notes();
    store->updateSelected(QStringLiteral("x"));
    store->setPinned(true);
    store->cleanUpSelected();
    store->makeBulletList();
    store->addChecklistItem(QStringLiteral("x"));
    store->toggleChecklistItem(QUuid::createUuid());
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(store->notes(), before);
    EXPECT_FALSE(store->hasPendingSave());

    store->setSelectedID(std::nullopt);
    store->deleteSelected();
    EXPECT_EQ(store->notes(), before);
    EXPECT_FALSE(store->hasPendingSave());
}

TEST_F(NotesEditingTest, DefaultTitlesFollowTheFirstLineUntilTheNoteIsNamed) {
    store->add();
    EXPECT_EQ(selected().title, QStringLiteral("New note"));
    int changes = 0;
    QObject::connect(store.get(), &NotesStore::notesChanged, [&] { ++changes; });
    clock.advance(Seconds(3));
    store->updateSelected(QStringLiteral("\n\nShopping list for the weekend trip to the lake house\nmilk"));
    EXPECT_EQ(selected().title, QStringLiteral("Shopping list for the weekend trip to the "));
    EXPECT_EQ(selected().title.size(), 42);
    EXPECT_EQ(selected().modifiedAt, clock.now());
    EXPECT_EQ(changes, 3) << "body, date and title each publish";
    EXPECT_TRUE(store->hasPendingSave());

    // The title cut counts characters as readers see them.
    store->setNotes([&] {
        auto notes = store->notes();
        notes[*store->selectedIndex()].title = QStringLiteral("Quick note");
        return notes;
    }());
    const QString flags = QStringLiteral("\U0001F1EB\U0001F1F7").repeated(50);
    store->updateSelected(QStringLiteral("  ") + flags);
    EXPECT_EQ(selected().title, QStringLiteral("  ") + QStringLiteral("\U0001F1EB\U0001F1F7").repeated(40))
        << "the first line is kept with its spaces";

    store->updateSelected(QStringLiteral("more"));
    EXPECT_EQ(selected().title, QStringLiteral("  ") + QStringLiteral("\U0001F1EB\U0001F1F7").repeated(40))
        << "a derived title is the note's own";

    store->add();
    store->updateSelected(QStringLiteral("\n\n"));
    EXPECT_EQ(selected().title, QStringLiteral("Quick note"));

    addTitled(QStringLiteral("Groceries"));
    store->updateSelected(QStringLiteral("anything else"));
    EXPECT_EQ(selected().title, QStringLiteral("Groceries"));
    store->updateSelected(QString());
    EXPECT_EQ(selected().title, QStringLiteral("Groceries"));
}

TEST_F(NotesEditingTest, CleanUpAndBulletsRewriteTheBody) {
    store->updateSelected(QStringLiteral("  a \t b  \n\n\n\n c"));
    store->cleanUpSelected();
    EXPECT_EQ(selected().body, QStringLiteral("a b\n\n\nc"));
    store->updateSelected(QStringLiteral("x\n\n\n\n\n\ny"));
    store->cleanUpSelected();
    EXPECT_EQ(selected().body, QStringLiteral("x\n\n\n\ny")) << "six line feeds become four";
    store->updateSelected(QStringLiteral(" one\r\ntwo "));
    store->cleanUpSelected();
    EXPECT_EQ(selected().body, QStringLiteral("one\n\ntwo"))
        << "CR LF counts as two line ends; no outer trim";

    store->updateSelected(QStringLiteral("\u2022 one\n\n two"));
    store->makeBulletList();
    EXPECT_EQ(selected().body, QStringLiteral("\u2022 one\n\u2022 two"));
    store->makeBulletList();
    EXPECT_EQ(selected().body, QStringLiteral("\u2022 one\n\u2022 two")) << "bullets are not doubled";
    store->updateSelected(QString());
    store->makeBulletList();
    EXPECT_TRUE(selected().body.isEmpty());
}

TEST_F(NotesEditingTest, PinningAndChecklistsStampTheNote) {
    const QUuid id = selected().id;
    clock.advance(Seconds(1));
    store->setPinned();
    EXPECT_TRUE(selected().isPinned);
    EXPECT_EQ(selected().modifiedAt, clock.now());
    store->setPinned(true);
    EXPECT_TRUE(selected().isPinned);
    store->setPinned();
    EXPECT_FALSE(selected().isPinned);

    store->addChecklistItem(QStringLiteral("  eggs "));
    store->addChecklistItem(QString());
    ASSERT_EQ(selected().checklist.size(), 2);
    EXPECT_EQ(selected().checklist[0].text, QStringLiteral("  eggs ")) << "kept as typed";
    clock.advance(Seconds(1));
    store->toggleChecklistItem(selected().checklist[1].id);
    EXPECT_TRUE(selected().checklist[1].isComplete);
    EXPECT_FALSE(selected().checklist[0].isComplete);
    EXPECT_EQ(selected().modifiedAt, clock.now());
    const WallTime stamped = clock.now();
    clock.advance(Seconds(1));
    store->toggleChecklistItem(QUuid::createUuid());
    EXPECT_EQ(selected().modifiedAt, stamped) << "an unknown item changes nothing";
    EXPECT_EQ(selected().id, id);
}

TEST_F(NotesEditingTest, NewNotesTakeTheFolderAndTheNextOrderAndSortAfterTheirPeers) {
    const QUuid work = QUuid::createUuid();
    const QUuid home = QUuid::createUuid();
    addTitled(QStringLiteral("w1"), work);
    addTitled(QStringLiteral("w2"), work);
    addTitled(QStringLiteral("h1"), home);
    EXPECT_EQ(store->notes()[1].order, 1) << "w2 follows w1 in its folder";
    EXPECT_EQ(store->notes()[0].order, 0) << "the first note of a folder is 0";

    store->setSelectedFolderID(work);
    store->add();
    EXPECT_EQ(selected().folderID, work);
    EXPECT_EQ(selected().order, 2);
    EXPECT_EQ(store->notes().first().id, selected().id) << "stored first";
    EXPECT_EQ(visibleTitles(),
              (QStringList{QStringLiteral("w1"), QStringLiteral("w2"), QStringLiteral("New note")}));

    // Pinned first; equal orders put the later change first.
    store->setSelectedID(store->notes()[3].id); // w1
    store->setPinned(true);
    EXPECT_EQ(visibleTitles().first(), QStringLiteral("w1"));
    store->setSelectedFolderID(std::nullopt);
    EXPECT_EQ(store->visibleNotes().size(), 5);

    // An order at the top of the range saturates instead of wrapping round.
    QList<VantrelNote> notes = store->notes();
    notes[0].order = std::numeric_limits<std::int64_t>::max();
    store->setNotes(notes);
    store->add(work);
    EXPECT_EQ(selected().order, std::numeric_limits<std::int64_t>::max());
}

TEST_F(NotesEditingTest, SearchLooksAtTitlesAndBodiesOnly) {
    addTitled(QStringLiteral("Shopping"));
    store->updateSelected(QStringLiteral("Milk and eggs"));
    addTitled(QStringLiteral("Chores"));
    store->addChecklistItem(QStringLiteral("buy milk"));
    addTitled(QStringLiteral("MILKSHAKE recipe"));
    store->setSearchQuery(QStringLiteral("  MILK \n"));
    EXPECT_EQ(visibleTitles(), (QStringList{QStringLiteral("Shopping"), QStringLiteral("MILKSHAKE recipe")}));
    store->setSearchQuery(QStringLiteral("   "));
    EXPECT_EQ(store->visibleNotes().size(), 4);
}

TEST_F(NotesEditingTest, DeletingSelectsTheFirstStoredNoteOrMakesAFreshOne) {
    const QUuid folder = QUuid::createUuid();
    store->setSelectedFolderID(folder);
    store->deleteSelected();
    ASSERT_EQ(store->notes().size(), 1);
    EXPECT_EQ(store->notes().first().title, QStringLiteral("Quick note"));
    EXPECT_EQ(store->notes().first().folderID, std::nullopt) << "whatever folder is selected";
    EXPECT_EQ(store->selectedID(), store->notes().first().id);
    EXPECT_TRUE(store->hasPendingSave());

    addTitled(QStringLiteral("in folder"));
    const QUuid inFolder = selected().id;
    store->setSelectedID(store->notes().last().id);
    store->deleteSelected();
    EXPECT_EQ(store->notes().size(), 1);
    EXPECT_EQ(store->selectedID(), inFolder);

    scheduler.advance(Seconds(1));
    makeStore();
    EXPECT_EQ(store->notes().size(), 1);
    EXPECT_EQ(store->notes().first().id, inFolder);
}

} // namespace
