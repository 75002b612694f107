#include "core/FileNotices.h"
#include "core/QAObserver.h"
#include "kit/VantrelType.h"
#include "modules/ModuleTestSupport.h"
#include "modules/NotesStore.h"
#include "notch/NotchNotesView.h"
#include "notch/NotchStateView.h"
#include "notch/PaintedTexts.h"
#include "support/ContactSheet.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <algorithm>

using namespace vantrel;
using namespace vantrel::test;

namespace {

class NotchNotesViewTest : public DataFolderTest {
protected:
    NotchNotesView& makeView(QSize size = QSize(620, 220)) {
        view = std::make_unique<NotchNotesView>(store, QColor(Qt::cyan), clock);
        view->resize(size);
        view->show();
        return *view;
    }
    const VantrelNote& selected() const { return store.notes()[*store.selectedIndex()]; }
    QStringList rowNames() const {
        QStringList out;
        for (QAbstractButton* row : view->rowButtons()) out.append(row->accessibleName());
        return out;
    }
    void addNotes(int count) {
        for (int i = 0; i < count; ++i) {
            store.add();
            store.updateSelected(QStringLiteral("note %1").arg(i));
        }
    }

    QAObserver observer{clock, files, home.paths()};
    NotesStore store{"notes.json", persistence, observer, clock, scheduler};
    std::unique_ptr<NotchNotesView> view;
};

} // namespace

TEST_F(NotchNotesViewTest, NotSavedStandsInTheEditorsToolbarWhileTheNotesAreNotInTheirFile) {
    NotchNotesView& v = makeView();
    v.setFileNotices(&notices);
    store.add();
    store.updateSelected(QStringLiteral("kept"));
    scheduler.advance(Seconds(1));
    EXPECT_FALSE(paintedTexts(v).contains("Not saved"));

    // A save that fails; then one that goes through.
    files.failWith(FakeFileManager::Operation::writeData, failure());
    store.updateSelected(QStringLiteral("kept, then lost?"));
    scheduler.advance(Seconds(1));
    EXPECT_TRUE(paintedTexts(v).contains("Not saved"));
    EXPECT_EQ(v.accessibleDescription(), "Not saved");
    const QImage failed = v.grab().toImage();
    files.clearFailure(FakeFileManager::Operation::writeData);
    store.updateSelected(QStringLiteral("kept after all"));
    scheduler.advance(Seconds(1));
    EXPECT_FALSE(paintedTexts(v).contains("Not saved"));
    EXPECT_EQ(v.accessibleDescription(), "");

    // A notes file that could not be read: what is typed goes to a recovery file beside it, and
    // the tab does not pass that for saved.
    QFile::remove(dataFolder() + "/notes.json");
    ASSERT_TRUE(QDir().mkpath(dataFolder() + "/notes.json"));
    NotesStore beside{"notes.json", persistence, observer, clock, scheduler};
    NotchNotesView other(beside, QColor(Qt::cyan), clock);
    other.setFileNotices(&notices);
    other.resize(620, 220);
    beside.add();
    beside.updateSelected(QStringLiteral("only beside it"));
    scheduler.advance(Seconds(1));
    EXPECT_FALSE(beside.saveFailed());
    EXPECT_EQ(filesMatching(QStringLiteral("notes.json.recovered-*")).size(), 1);
    EXPECT_TRUE(paintedTexts(other).contains("Not saved"));
    saveContactSheet({{"notes not saved", failed}}, VANTREL_BINARY_DIR "/renders/notch-notes-not-saved.png");
}

TEST_F(NotchNotesViewTest, CompactBelow170PointsKeepsOneRowAndNoTools) {
    const NotchNotesView::Content content{7, false, {"eggs", "milk"}};
    const NotchNotesView::Layout compact = NotchNotesView::layout(QSizeF(600, 169.9), content);
    EXPECT_TRUE(compact.compact);
    EXPECT_EQ(compact.rows.size(), 1u);
    EXPECT_EQ(compact.listColumn.width(), 145);
    EXPECT_EQ(compact.editorColumn.left(), 155);
    EXPECT_TRUE(compact.searchField.isEmpty());
    EXPECT_TRUE(compact.toolsLabel.isEmpty());
    EXPECT_TRUE(compact.cleanUpButton.isEmpty());
    EXPECT_TRUE(compact.bulletsButton.isEmpty());
    EXPECT_TRUE(compact.checklistRow.isEmpty());
    EXPECT_EQ(compact.checklistButton.size(), QSizeF(24, 24));
    EXPECT_EQ(compact.deleteButton, QRectF(576, 0, 24, 24));
    EXPECT_EQ(compact.editor, compact.editorCard.adjusted(7, 7, -7, -7));
    EXPECT_EQ(compact.editorCard.top(), 29) << "spacing 5 under the toolbar";
    // A card half a point wider or taller than its padding keeps that half point of text inside
    // it; a card thinner than its padding leaves an empty text area at its corner.
    for (const QSizeF size : {QSizeF(155 + 14.5, 120), QSizeF(600, 29 + 14.5)}) {
        const NotchNotesView::Layout sliver = NotchNotesView::layout(size, content);
        EXPECT_EQ(sliver.editor, sliver.editorCard.adjusted(7, 7, -7, -7));
        EXPECT_DOUBLE_EQ(std::min(sliver.editor.width(), sliver.editor.height()), 0.5);
    }
    const NotchNotesView::Layout shut = NotchNotesView::layout(QSizeF(600, 29 + 10), content);
    EXPECT_EQ(shut.editor, QRectF(shut.editorCard.topLeft(), QSizeF()));

    const NotchNotesView::Layout regular = NotchNotesView::layout(QSizeF(600, 170), content);
    EXPECT_FALSE(regular.compact);
    EXPECT_EQ(regular.rows.size(), 5u) << "seven notes, five rows";
    EXPECT_EQ(regular.listColumn.width(), 170);
    EXPECT_EQ(regular.searchField, QRectF(0, 31, 170, 22));
    EXPECT_FALSE(regular.toolsLabel.isEmpty());
    EXPECT_EQ(regular.cleanUpButton.right() + 8, regular.bulletsButton.left());
    EXPECT_EQ(regular.bulletsButton.right() + 8, regular.checklistButton.left());
    EXPECT_EQ(regular.cleanUpButton.top(), 0);
    EXPECT_EQ(regular.cleanUpButton.height(), 24);
    EXPECT_LT(regular.bulletsButton.right(), regular.checklistButton.left());
    // A narrow editor cuts "On-device tools" short, 8 before "Clean Up".
    const NotchNotesView::Layout narrow = NotchNotesView::layout(QSizeF(420, 170), content);
    EXPECT_GT(narrow.toolsLabel.width(), 0);
    EXPECT_LT(narrow.toolsLabel.width(),
              QFontMetricsF(NotchNotesView::toolsFont()).horizontalAdvance("On-device tools"));
    EXPECT_DOUBLE_EQ(narrow.toolsLabel.right() + 8, narrow.cleanUpButton.left());
    EXPECT_EQ(regular.editor, regular.editorCard.adjusted(10, 10, -10, -10));
    EXPECT_EQ(regular.checklistItems.size(), 2u);
    EXPECT_EQ(regular.checklistRow.bottom(), 170);
    EXPECT_EQ(regular.editorCard.bottom(), regular.checklistRow.top() - 7);
    EXPECT_EQ(compact.editorCard.bottom(), 169.9) << "without a checklist row the card goes to the bottom";
    EXPECT_EQ(regular.checklistItems[1].left(), regular.checklistItems[0].right() + 8);
    EXPECT_EQ(regular.rows[1].top(), regular.rows[0].bottom() + 7);
    EXPECT_GT(NotchNotesView::rowHeight(false), NotchNotesView::rowHeight(true)) << "the date line";

    const NotchNotesView::Layout crowded = NotchNotesView::layout(
        QSizeF(600, 300), {1, false, {"short", QString("long item ").repeated(60), "last"}});
    ASSERT_EQ(crowded.checklistItems.size(), 2u) << "the item that starts in the row is cut; the rest wait";
    EXPECT_EQ(crowded.checklistItems[1].right(), 600);

    // The type sizes.
    const std::pair<QFont, std::pair<double, QFont::Weight>> fonts[] = {
        {NotchNotesView::headerFont(), {13, QFont::Bold}},
        {NotchNotesView::searchFont(), {10, QFont::Normal}},
        {NotchNotesView::rowTitleFont(), {11.5, QFont::Medium}},
        {NotchNotesView::rowDateFont(), {9.5, QFont::Normal}},
        {NotchNotesView::smallFont(), {10, QFont::Normal}},
        {NotchNotesView::toolsFont(), {10, QFont::DemiBold}},
        {NotchNotesView::editorFont(), {12.5, QFont::Normal}},
    };
    for (const auto& [font, expected] : fonts) {
        EXPECT_EQ(VantrelType::pixelSize(font), expected.first);
        EXPECT_EQ(font.weight(), expected.second);
    }

    const NotchNotesView::Layout none = NotchNotesView::layout(QSizeF(600, 300), {0, true, {}});
    EXPECT_TRUE(none.rows.empty());
    EXPECT_FALSE(none.noMatches.isEmpty());
    EXPECT_DOUBLE_EQ(none.noMatches.center().x(), 85);

    // The widget at 169 and 170 points high.
    addNotes(6);
    makeView(QSize(620, 169));
    EXPECT_EQ(view->rowButtons().size(), 1);
    EXPECT_FALSE(view->searchField()->isVisible());
    EXPECT_FALSE(view->cleanUpButton()->isVisible());
    EXPECT_TRUE(view->checklistButton()->isVisible());
    EXPECT_TRUE(view->deleteButton()->isVisible());
    view->resize(620, 170);
    EXPECT_EQ(view->rowButtons().size(), 5);
    EXPECT_TRUE(view->searchField()->isVisible());
    EXPECT_TRUE(view->bulletsButton()->isVisible());
}

TEST_F(NotchNotesViewTest, NewNoteFromTheEmptyStateIsSelectedAndHighlighted) {
    store.setNotes({});
    makeView();
    ASSERT_NE(view->stateView(), nullptr);
    EXPECT_EQ(view->stateView()->title(), "No notes yet");
    EXPECT_EQ(view->stateView()->message(), "Create a note here; it stays on this Mac.");
    EXPECT_EQ(view->stateView()->symbol(), "note.text");
    ASSERT_NE(view->stateView()->actionButton(), nullptr);
    EXPECT_EQ(view->stateView()->actionButton()->text(), "New Note");
    view->stateView()->actionButton()->click();
    QCoreApplication::processEvents();

    ASSERT_EQ(store.notes().size(), 1);
    EXPECT_EQ(selected().title, "New note");
    EXPECT_EQ(view->stateView(), nullptr);
    EXPECT_EQ(rowNames(), QStringList{"New note"});
    EXPECT_EQ(view->listedNotes().first().id, *store.selectedID());

    // The plus button adds another and selects it; a row click selects its note.
    view->newButton()->click();
    EXPECT_EQ(store.notes().size(), 2);
    EXPECT_EQ(store.selectedID(), store.notes().first().id);
    EXPECT_EQ(view->newButton()->toolTip(), "New note");
    const QUuid other = store.notes()[1].id;
    const auto listed = std::ranges::find(view->listedNotes(), other, &VantrelNote::id);
    ASSERT_NE(listed, view->listedNotes().end());
    view->rowButtons()[listed - view->listedNotes().begin()]->click();
    EXPECT_EQ(store.selectedID(), other);

    // The selected row lies on the accent at 0.18, the others on white at 0.04.
    const auto fill = [](QAbstractButton* row) {
        QImage image(row->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        row->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image.pixelColor(4, row->height() / 2);
    };
    for (qsizetype i = 0; i < view->listedNotes().size(); ++i) {
        const QColor color = fill(view->rowButtons()[i]);
        if (view->listedNotes()[i].id == other) {
            EXPECT_NEAR(color.alphaF(), 0.18, 0.01);
            EXPECT_EQ(color.red(), 0) << "the cyan accent";
            EXPECT_GT(color.blue(), 200);
        } else {
            EXPECT_NEAR(color.alphaF(), 0.04, 0.01);
            EXPECT_GT(color.red(), 200) << "white";
        }
    }
    // The selected row's backdrop is a rounded rectangle of corner radius 10: its corner's coverage
    // is that of such a rectangle, scaled by the fill's opacity.
    const auto selectedRow = std::ranges::find(view->listedNotes(), other, &VantrelNote::id);
    ASSERT_NE(selectedRow, view->listedNotes().end());
    QAbstractButton* row = view->rowButtons()[selectedRow - view->listedNotes().begin()];
    QImage painted(row->size(), QImage::Format_ARGB32_Premultiplied);
    painted.fill(Qt::transparent);
    row->render(&painted, QPoint(), QRegion(), QWidget::DrawChildren);
    QImage shape(row->size(), QImage::Format_ARGB32_Premultiplied);
    shape.fill(Qt::transparent);
    QPainter outline(&shape);
    outline.setRenderHint(QPainter::Antialiasing);
    QPainterPath rounded;
    rounded.addRoundedRect(QRectF(row->rect()), 10, 10);
    outline.fillPath(rounded, Qt::black);
    outline.end();
    const double full = qAlpha(painted.pixel(4, row->height() / 2));
    int off = 0;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            off += std::abs(qAlpha(painted.pixel(x, y)) - qAlpha(shape.pixel(x, y)) * full / 255) > 2;
    EXPECT_EQ(off, 0);
    EXPECT_EQ(qAlpha(painted.pixel(0, 0)), 0) << "the corner is rounded away";
}

TEST_F(NotchNotesViewTest, TypingTitlesTheNoteWithItsWholeFirstLine) {
    store.add();
    makeView();
    view->editor()->setFocus();
    QTest::keyClicks(view->editor(), "Packing list");
    EXPECT_EQ(selected().body, "Packing list");
    EXPECT_EQ(selected().title, "Packing list");
    EXPECT_TRUE(rowNames().contains("Packing list"));
    QTest::keyClick(view->editor(), Qt::Key_Return);
    QTest::keyClicks(view->editor(), "socks");
    EXPECT_EQ(selected().body, "Packing list\nsocks");
    EXPECT_EQ(selected().title, "Packing list");

    // Another note selected elsewhere: the editor shows its body without writing it back.
    const QUuid first = store.notes()[1].id;
    const WallTime stamp = store.notes()[1].modifiedAt;
    clock.advance(Seconds(5));
    store.setSelectedID(first);
    EXPECT_EQ(view->editor()->toPlainText(), store.notes()[1].body);
    EXPECT_EQ(store.notes()[1].modifiedAt, stamp);
    store.setSelectedID(std::nullopt);
    EXPECT_EQ(view->editor()->toPlainText(), "");
    EXPECT_TRUE(view->editor()->isReadOnly());
}

// Tab types a tab into the note, as text views do; Ctrl+Tab and Ctrl+Shift+Tab leave the editor
// on to its checklist and back to its tools, typing nothing; Tab reads the list column, then the
// editor's tools, the editor and its checklist.
TEST_F(NotchNotesViewTest, TabTypesIntoTheNoteWhileCtrlTabLeavesItForTheChecklistAndTheList) {
    store.updateSelected("Trip\nsocks");
    store.addChecklistItem(QStringLiteral("Passport"));
    makeView();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    QPlainTextEdit* editor = view->editor();
    editor->setFocus(Qt::TabFocusReason);
    editor->moveCursor(QTextCursor::End);
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(selected().body, "Trip\nsocks\t");
    ASSERT_EQ(QApplication::focusWidget(), editor) << "Tab stays in the note";
    ASSERT_EQ(view->checklistButtons().size(), 1);
    QTest::keyClick(editor, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), view->checklistButtons()[0]);
    editor->setFocus(Qt::TabFocusReason);
    QTest::keyClick(editor, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), view->deleteButton());
    EXPECT_EQ(selected().body, "Trip\nsocks\t") << "the chords type nothing";

    QStringList walk;
    view->pinButton()->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 10; ++i) {
        QWidget* at = QApplication::focusWidget();
        walk << at->accessibleName();
        QTest::keyClick(at, Qt::Key_Tab, at == editor ? Qt::ControlModifier : Qt::NoModifier);
    }
    EXPECT_EQ(walk, (QStringList{"Pin note", "New note", "Search notes", "Trip", "Clean Up", "Make Bullets",
                                 "Add checklist item", "Delete note", "Note", "Passport"}));
    EXPECT_EQ(QApplication::focusWidget(), view->pinButton()) << "round to the top";
    EXPECT_EQ(selected().body, "Trip\nsocks\t");
}

TEST_F(NotchNotesViewTest, ToolbarAndPinAreStoreOperations) {
    store.updateSelected("  milk   and  bread \n\n\n\n eggs");
    makeView();
    EXPECT_EQ(view->pinButton()->toolTip(), "Pin note");
    view->pinButton()->click();
    EXPECT_TRUE(selected().isPinned);
    view->pinButton()->click();
    EXPECT_FALSE(selected().isPinned);

    view->cleanUpButton()->click();
    EXPECT_EQ(selected().body, "milk and bread\n\n\neggs");
    view->bulletsButton()->click();
    EXPECT_EQ(selected().body, "\u2022 milk and bread\n\u2022 eggs");
    EXPECT_EQ(view->editor()->toPlainText(), "\u2022 milk and bread\n\u2022 eggs");

    // Checklist: one "New item" per press, each toggled by its own button.
    EXPECT_EQ(view->checklistButton()->toolTip(), "Add checklist item");
    for (int i = 0; i < 3; ++i) view->checklistButton()->click();
    QCoreApplication::processEvents();
    ASSERT_EQ(view->checklistButtons().size(), 3);
    for (QAbstractButton* item : view->checklistButtons()) EXPECT_EQ(item->accessibleName(), "New item");
    view->checklistButtons()[1]->click();
    EXPECT_FALSE(selected().checklist[0].isComplete);
    EXPECT_TRUE(selected().checklist[1].isComplete);
    view->resize(620, 160);
    EXPECT_TRUE(view->checklistButtons().isEmpty()) << "no checklist row when compact";

    // Deleting the last note leaves a fresh, selected "Quick note".
    EXPECT_EQ(view->deleteButton()->toolTip(), "Delete note");
    view->deleteButton()->click();
    ASSERT_EQ(store.notes().size(), 1);
    EXPECT_EQ(selected().title, "Quick note");
    EXPECT_EQ(rowNames(), QStringList{"Quick note"});
}

TEST_F(NotchNotesViewTest, ASearchThatMatchesNothingKeepsTheEditorOnTheSelectedNote) {
    store.updateSelected("Groceries\nmilk");
    makeView();
    QTest::keyClicks(view->searchField(), "zebra");
    EXPECT_EQ(store.searchQuery(), "zebra");
    EXPECT_TRUE(view->rowButtons().isEmpty());
    EXPECT_FALSE(view->currentLayout().noMatches.isEmpty());
    EXPECT_EQ(view->editor()->toPlainText(), "Groceries\nmilk");
    store.setSearchQuery(QString());
    EXPECT_EQ(view->searchField()->text(), "");
    EXPECT_EQ(view->rowButtons().size(), 1);
    EXPECT_TRUE(view->currentLayout().noMatches.isEmpty());
    EXPECT_EQ(view->searchField()->placeholderText(), "Search notes");
    EXPECT_EQ(view->searchField()->accessibleName(), "Search notes");
}

TEST(NotchNotesViewText, RelativeAges) {
    const WallTime now = WallTime(std::chrono::seconds(1'800'000'000));
    using std::chrono::seconds;
    EXPECT_EQ(NotchNotesView::relativeText(now, now), "0 sec");
    EXPECT_EQ(NotchNotesView::relativeText(now - seconds(59), now), "59 sec");
    EXPECT_EQ(NotchNotesView::relativeText(now - seconds(60), now), "1 min");
    EXPECT_EQ(NotchNotesView::relativeText(now - seconds(3599), now), "59 min");
    EXPECT_EQ(NotchNotesView::relativeText(now - seconds(3600), now), "1 hr");
    EXPECT_EQ(NotchNotesView::relativeText(now - seconds(86400), now), "1 day");
    EXPECT_EQ(NotchNotesView::relativeText(now - seconds(3 * 86400 + 5), now), "3 days");
    EXPECT_EQ(NotchNotesView::relativeText(now + seconds(30), now), "0 sec") << "a clock set back";
}
