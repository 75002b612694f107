#include "HomeTestSupport.h"
#include "control-center/HomeWorkspace.h"
#include "control-center/ThumbnailCache.h"
#include "kit/KitPaint.h"
#include "kit/KitRender.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelSegmentedControl.h"
#include "kit/VantrelType.h"
#include "modules/FocusTimer.h"
#include "notch/NotchNotesView.h"
#include "notch/PaintedTexts.h"
#include "support/ManualWorkQueue.h"
#include "support/QtPrinters.h"

#include <QApplication>
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFontMetricsF>
#include <QImageReader>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

QList<QUrl> urls(const QStringList& paths) {
    QList<QUrl> out;
    for (const QString& path : paths) out << QUrl::fromLocalFile(path);
    return out;
}

class WorkspaceTest : public ::testing::Test {
protected:
    WorkspaceTest() {
        workspace.resize(760, 420);
        workspace.show();
        QCoreApplication::sendPostedEvents();
    }
    QStringList rowTitles() const {
        QStringList out;
        for (QAbstractButton* row : workspace.noteRows()) out << row->text();
        return out;
    }
    void type(const QString& text) {
        QPlainTextEdit* editor = workspace.editor();
        editor->setFocus();
        QTest::keyClicks(editor, text);
    }

    HomeHarness f;
    HomeActions actions{f.home};
    HomeWorkspace workspace{f.home, actions};
};

} // namespace

TEST(HomeWorkspaceValues, ImagesAreChosenByExtensionWhateverItsCase) {
    const QList<QUrl> items = urls({"/s/a.PNG", "/s/b.tif", "/s/folder", "/s/c.JpEg", "/s/noext", "/s/d.webp",
                                    "/s/e.heic", "/s/f.tiff", "/s/g.gif", "/s/h.jpg", "/s/.png", "/s/i.txt"});
    EXPECT_EQ(HomeWorkspace::imageItems(items),
              urls({"/s/a.PNG", "/s/c.JpEg", "/s/d.webp", "/s/e.heic", "/s/f.tiff", "/s/g.gif", "/s/h.jpg"}));
    EXPECT_EQ(HomeWorkspace::displayName(QUrl::fromLocalFile("/s/Screen Shot 2.final.png")),
              "Screen Shot 2.final");
    EXPECT_EQ(rawValue(HomeWorkspace::Mode::notes), "Notes");
    EXPECT_EQ(rawValue(HomeWorkspace::Mode::screenshots), "Screenshots");
    EXPECT_EQ(fromRawValue<HomeWorkspace::Mode>(u"Screenshots"), HomeWorkspace::Mode::screenshots);
    EXPECT_EQ(fromRawValue<HomeWorkspace::Mode>(u"notes"), std::nullopt);
    EXPECT_EQ(HomeWorkspace::gridColumns(149), 1);
    EXPECT_EQ(HomeWorkspace::gridColumns(312), 2);
    EXPECT_EQ(HomeWorkspace::gridColumns(311), 1);
}

TEST_F(WorkspaceTest, NotesListFiveAndTheEditorFollowsTheSelection) {
    EXPECT_EQ(workspace.modeControl()->accessibleName(), "Workspace");
    EXPECT_EQ(workspace.actionButton()->text(), "New note");
    NotesStore& notes = f.c.stores.notes;
    QList<QUuid> ids;
    for (int i = 1; i <= 6; ++i) ids << f.note(QStringLiteral("Note %1").arg(i), QString());
    const QList<VantrelNote> visible = notes.visibleNotes();
    ASSERT_GE(visible.size(), 6);
    EXPECT_EQ(workspace.noteRows().size(), 5);
    QStringList firstFive;
    for (const VantrelNote& n : visible.mid(0, 5)) firstFive << n.title;
    EXPECT_EQ(rowTitles(), firstFive);

    // The sixth, selected, is edited with no row highlighted.
    notes.setSelectedID(visible.at(5).id);
    EXPECT_EQ(workspace.titleLabel()->text(), visible.at(5).title);
    int highlighted = 0;
    for (QAbstractButton* row : workspace.noteRows())
        if (row->property("highlighted").toBool()) ++highlighted;
    EXPECT_EQ(highlighted, 0);
    workspace.noteRows().at(1)->click();
    EXPECT_EQ(notes.selectedID(), visible.at(1).id);
    EXPECT_TRUE(workspace.noteRows().at(1)->property("highlighted").toBool());

    // Bodies: empty reads "No additional text", spaces stay as they are.
    notes.updateSelected(QString());
    EXPECT_EQ(workspace.noteRows().at(1)->property("body").toString(), "No additional text");
    notes.updateSelected(QStringLiteral("   "));
    EXPECT_EQ(workspace.noteRows().at(1)->property("body").toString(), "   ");
    EXPECT_EQ(workspace.editor()->toPlainText(), "   ");
    // At most two lines of the body: four lines make a row as high as two, one line a lower row.
    const auto rowHeight = [&](const QString& body) {
        notes.updateSelected(body);
        return workspace.noteRows().at(1)->heightForWidth(166);
    };
    const int two = rowHeight(QStringLiteral("one\ntwo"));
    EXPECT_EQ(rowHeight(QStringLiteral("one\ntwo\nthree\nfour")), two);
    EXPECT_LT(rowHeight(QStringLiteral("one")), two);

    // "New note" adds and selects a note; the editor shows it at once.
    workspace.actionButton()->click();
    EXPECT_EQ(workspace.titleLabel()->text(), "New note");
    EXPECT_EQ(workspace.editor()->toPlainText(), QString());
    workspace.editor()->setPlainText(QStringLiteral("Plans\nfor Monday"));
    EXPECT_EQ(notes.notes().at(*notes.selectedIndex()).body, "Plans\nfor Monday");
    EXPECT_EQ(workspace.titleLabel()->text(), "Plans") << "the store retitles the new note";

    // Laid out, the editor's column starts level with the list beside it.
    workspace.resize(700, 420);
    workspace.show();
    QCoreApplication::sendPostedEvents();
    QWidget* list = workspace.noteRows().first()->parentWidget();
    ASSERT_EQ(list->parentWidget(), workspace.titleLabel()->parentWidget());
    EXPECT_EQ(workspace.titleLabel()->y(), list->y());
    EXPECT_GT(workspace.titleLabel()->x(), list->geometry().right() + 14);
    // The title in 18-point bold; the editor 8 inside its well on every side.
    EXPECT_DOUBLE_EQ(VantrelType::pixelSize(workspace.titleLabel()->font()), 18);
    EXPECT_EQ(workspace.titleLabel()->font().weight(), QFont::Bold);
    QWidget* well = workspace.editor()->parentWidget();
    EXPECT_EQ(workspace.editor()->geometry(), well->rect().adjusted(8, 8, -8, -8));
    // "New note": its 16-point glyph frame and 7 before the text, in the secondary style's label
    // font with 15 of padding at each side.
    const double newNote = QFontMetricsF(VantrelType::label()).horizontalAdvance("New note");
    EXPECT_EQ(workspace.actionButton()->sizeHint().width(), int(std::ceil(newNote + 2 * 15 + 16 + 7)));
    workspace.setMode(HomeWorkspace::Mode::screenshots);
    const double openShelf = QFontMetricsF(VantrelType::label()).horizontalAdvance("Open shelf");
    EXPECT_EQ(workspace.actionButton()->sizeHint().width(), int(std::ceil(openShelf + 2 * 15 + 16 + 7)));
    workspace.setMode(HomeWorkspace::Mode::notes);
    EXPECT_EQ(workspace.actionButton()->sizeHint().width(), int(std::ceil(newNote + 2 * 15 + 16 + 7)))
        << "back in notes mode";
}

TEST_F(WorkspaceTest, TheEditorsTitleWellAndHeaderButtonKeepTheirSizes) {
    // The title at 18 bold; the editor 8 inside its well on every side.
    const auto* title = workspace.findChild<QLabel*>(QStringLiteral("workspace.title"));
    ASSERT_NE(title, nullptr);
    EXPECT_NEAR(VantrelType::pixelSize(title->font()), 18, 1e-9);
    EXPECT_EQ(title->font().weight(), QFont::Bold);
    QPlainTextEdit* editor = workspace.editor();
    EXPECT_EQ(editor->geometry(), editor->parentWidget()->rect().adjusted(8, 8, -8, -8));
    // The header row is as high as its tallest control; the note rows start at the list's top.
    const QWidget* header = workspace.actionButton()->parentWidget();
    const auto* segments = header->findChild<VantrelSegmentedControl*>();
    ASSERT_NE(segments, nullptr);
    EXPECT_EQ(header->height(), std::max(segments->height(), workspace.actionButton()->height()));
    f.note(QStringLiteral("First"), QString());
    QCoreApplication::sendPostedEvents();
    ASSERT_FALSE(workspace.noteRows().isEmpty());
    EXPECT_EQ(workspace.noteRows().first()->y(), 0);
    // The mode content is at least 318 high; in the screenshots mode it grows with the grid's
    // rows, which the notes mode ignores.
    QStringList images;
    for (int i = 1; i <= 6; ++i) images << f.image(QStringLiteral("s%1.png").arg(i), Qt::gray);
    f.shelve(images);
    const int notesHeight = workspace.heightForWidth(400);
    EXPECT_EQ(notesHeight, header->sizeHint().height() + 14 + 318);
    workspace.setMode(HomeWorkspace::Mode::screenshots);
    const int shotsHeight = workspace.heightForWidth(400);
    EXPECT_GT(shotsHeight, notesHeight + 100) << "six shots in two columns: three rows";
    workspace.setMode(HomeWorkspace::Mode::notes);
    EXPECT_EQ(workspace.heightForWidth(400), notesHeight);
    // The header button's glyph takes a 16-point frame before its text, in either mode and
    // back again.
    VantrelButton* action = workspace.actionButton();
    for (const auto mode :
         {HomeWorkspace::Mode::notes, HomeWorkspace::Mode::screenshots, HomeWorkspace::Mode::notes}) {
        workspace.setMode(mode);
        const QString glyph = action->leadingGlyph();
        EXPECT_EQ(glyph, mode == HomeWorkspace::Mode::notes ? "square.and.pencil" : "tray.full");
        const int withFrame = action->sizeHint().width();
        action->setLeadingGlyph(glyph, 11, 0);
        EXPECT_EQ(withFrame - action->sizeHint().width(), 16) << glyph.toStdString();
    }
}

TEST_F(WorkspaceTest, ALongNoteScrollsUnderTheKitsIndicatorNotTheDesktopsBar) {
    QStringList lines;
    for (int i = 1; i <= 60; ++i) lines << QStringLiteral("Line %1").arg(i);
    f.note(QStringLiteral("Long"), lines.join(QLatin1Char('\n')));
    QCoreApplication::sendPostedEvents();
    QPlainTextEdit* editor = workspace.editor();
    ASSERT_GT(editor->verticalScrollBar()->maximum(), 0) << "there is something to scroll";
    EXPECT_FALSE(editor->verticalScrollBar()->isVisible()) << "no desktop bar";
    EXPECT_EQ(editor->viewport()->width(), editor->width()) << "nothing takes width from the text";
    editor->verticalScrollBar()->setValue(editor->verticalScrollBar()->maximum() / 2);
    // The indicator shows while the view scrolls: a thin handle at the trailing edge.
    const QImage look = renderWidget(*editor);
    int lit = 0;
    for (int y = 0; y < look.height(); ++y)
        for (int x = look.width() - 6; x < look.width() - 2; ++x) lit += qAlpha(look.pixel(x, y)) > 60;
    EXPECT_GT(lit, 20);
    int beside = 0;
    for (int y = 0; y < look.height(); ++y)
        for (int x = look.width() - 16; x < look.width() - 7; ++x) beside += qAlpha(look.pixel(x, y)) > 200;
    EXPECT_EQ(beside, 0) << "no track or arrow buttons beside it";
}

TEST_F(WorkspaceTest, TypingWithNoNoteSelectedKeepsTheText) {
    NotesStore& notes = f.c.stores.notes;
    notes.setSelectedID(std::nullopt);
    EXPECT_EQ(workspace.titleLabel()->text(), "Quick note");
    const qsizetype before = notes.notes().size();
    type(QStringLiteral("Call Sam"));
    ASSERT_EQ(notes.notes().size(), before + 1) << "one note for all the keystrokes";
    EXPECT_EQ(notes.notes().at(*notes.selectedIndex()).body, "Call Sam");
    EXPECT_EQ(workspace.editor()->toPlainText(), "Call Sam");
    // The title follows the first line while the user has not set one.
    EXPECT_EQ(workspace.titleLabel()->text(), "Call Sam");
}

// Tab types a tab into the note, as text views do; Ctrl+Tab and Ctrl+Shift+Tab take the focus on
// out of the editor and back to "New note" before it, typing nothing; a note of tabs alone keeps a
// title that names nothing rather than a blank one.
TEST_F(WorkspaceTest, TabTypesIntoTheNoteWhileCtrlTabMovesOnAndBackOutOfIt) {
    NotesStore& notes = f.c.stores.notes;
    f.note(QStringLiteral("Groceries"), QStringLiteral("milk"));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&workspace));
    workspace.actionButton()->click();
    const QUuid fresh = *notes.selectedID();
    const auto selected = [&] { return notes.notes().at(*notes.selectedIndex()); };
    QPlainTextEdit* editor = workspace.editor();
    editor->setFocus(Qt::TabFocusReason);
    QTest::keyClick(editor, Qt::Key_Tab);
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(selected().body, "\t\t");
    EXPECT_EQ(selected().title, "Quick note") << "a title is never blank";
    EXPECT_EQ(workspace.titleLabel()->text(), "Quick note");
    ASSERT_EQ(QApplication::focusWidget(), editor) << "Tab stays in the note";

    QTest::keyClick(editor, Qt::Key_Tab, Qt::ControlModifier);
    QWidget* next = QApplication::focusWidget();
    ASSERT_NE(next, nullptr);
    EXPECT_NE(next, editor) << "Ctrl+Tab moves on";
    EXPECT_FALSE(editor->isAncestorOf(next));

    // Back: Ctrl+Shift+Tab leaves for "New note", whether X11 sends it as Backtab or as Tab.
    editor->setFocus(Qt::TabFocusReason);
    QTest::keyClick(editor, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), workspace.actionButton());
    editor->setFocus(Qt::TabFocusReason);
    QTest::keyClick(editor, Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), workspace.actionButton());
    EXPECT_EQ(selected().body, "\t\t") << "the chords type nothing";
    EXPECT_EQ(notes.selectedID(), fresh);
}

TEST_F(WorkspaceTest, ScreenshotsShowSixAndDecodeEachOnce) {
    workspace.setMode(HomeWorkspace::Mode::screenshots);
    EXPECT_EQ(workspace.actionButton()->text(), "Open shelf");
    EXPECT_FALSE(workspace.screenshotsEmptyState()->isHidden());
    QDir(f.c.h.home.root()).mkdir(QStringLiteral("folder"));
    f.shelve({f.c.h.home.root() + QStringLiteral("/folder"), f.file(QStringLiteral("scan.tif")),
              f.file(QStringLiteral("README"))});
    EXPECT_FALSE(workspace.screenshotsEmptyState()->isHidden()) << "no image among them";
    QLabel* hint = nullptr;
    for (QLabel* label : workspace.screenshotsEmptyState()->findChildren<QLabel*>())
        if (label->text() == "Drop a screenshot into the notch File Shelf and it will appear here.")
            hint = label;
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->wordWrap()) << "a long hint wraps in a narrow card";
    // The empty state's column sits in the middle of its pane, 10 between its lines.
    const QWidget* emptyState = workspace.screenshotsEmptyState();
    const auto* art = emptyState->findChild<VantrelGlyph*>();
    ASSERT_NE(art, nullptr);
    EXPECT_NEAR(art->y(), emptyState->height() - hint->geometry().bottom() - 1, 1);
    EXPECT_TRUE(workspace.gridItems().isEmpty());

    QStringList images;
    for (int i = 1; i <= 7; ++i)
        images << f.image(QStringLiteral("shot%1.png").arg(i), QColor(20 * i, 90, 160));
    images << f.file(QStringLiteral("broken.png"), "not a picture");
    f.shelve(images);
    QStringList shown;
    for (QAbstractButton* item : workspace.gridItems()) shown << item->text();
    EXPECT_EQ(shown, (QStringList{"broken", "shot7", "shot6", "shot5", "shot4", "shot3"}));
    EXPECT_TRUE(workspace.screenshotsEmptyState()->isHidden());
    // Six items in one column need six rows of a 116-point thumbnail, 7 and a caption line,
    // 12 apart; in three columns two rows fit in the least height of 318.
    const double item = 116 + 7 + QFontMetricsF(VantrelType::caption()).height();
    EXPECT_NEAR(workspace.heightForWidth(300) - workspace.heightForWidth(474), 6 * item + 5 * 12 - 318, 1);
    // The grid fills its pane from the leading edge: columns of at least 150, 12 apart, rows 12 apart.
    QWidget* pane = workspace.gridItems().at(0)->parentWidget()->parentWidget();
    const int columns = HomeWorkspace::gridColumns(pane->width());
    ASSERT_GE(columns, 2);
    const QRect first(workspace.gridItems().at(0)->mapTo(pane, QPoint()),
                      workspace.gridItems().at(0)->size());
    const QRect second(workspace.gridItems().at(1)->mapTo(pane, QPoint()),
                       workspace.gridItems().at(1)->size());
    const QRect below(workspace.gridItems().at(columns)->mapTo(pane, QPoint()),
                      workspace.gridItems().at(columns)->size());
    EXPECT_EQ(first.topLeft(), QPoint(0, 0));
    EXPECT_GE(first.width(), 150);
    EXPECT_NEAR(second.left() - first.right() - 1, 12, 1);
    EXPECT_EQ(below.left(), 0);
    EXPECT_EQ(below.top() - first.bottom() - 1, 12);
    const QWidget* lastInRow = workspace.gridItems().at(columns - 1);
    EXPECT_NEAR(lastInRow->mapTo(pane, QPoint(lastInRow->width(), 0)).x(), pane->width(), 1);
    workspace.gridItems().at(1)->click();
    EXPECT_EQ(f.c.h.workspace.opened, std::vector<QUrl>{QUrl::fromLocalFile(images.at(6))});

    // Repaints and store changes read no file again.
    const int decoded = workspace.thumbnails().decodeCount();
    EXPECT_EQ(decoded, 6);
    for (int i = 0; i < 10; ++i) {
        renderWidget(workspace);
        f.c.stores.focus.start();
        f.c.h.scheduler.advance(Seconds(1));
    }
    f.shelve({});
    EXPECT_EQ(workspace.thumbnails().decodeCount(), decoded);
}

TEST(ThumbnailCache, APhotoTakenSidewaysIsTurnedUpright) {
    // A camera's JPEG keeps its pixels as shot and says in its Exif block which way is up: here
    // orientation 6, turned a quarter clockwise.
    HomeHarness f;
    ThumbnailCache cache(f.c.h.files, 100);
    QImage landscape(40, 20, QImage::Format_RGB32);
    landscape.fill(Qt::green);
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(landscape.save(&buffer, "JPEG"));
    }
    QByteArray app1 = QByteArray::fromHex("FFE10022"
                                          "457869660000"
                                          "4D4D002A00000008"
                                          "0001"
                                          "011200030000000100060000"
                                          "00000000");
    jpeg.insert(2, app1);
    const QString path = f.file(QStringLiteral("turned.jpg"), jpeg);
    ASSERT_EQ(QImageReader(path).transformation(), QImageIOHandler::TransformationRotate90);
    EXPECT_EQ(cache.image(path).size(), QSize(20, 40));
}

TEST(ThumbnailCache, DecodesOncePerVersionAndRemembersUnreadableFiles) {
    HomeHarness f;
    ThumbnailCache cache(f.c.h.files, 100);
    const QString path = f.image(QStringLiteral("wide.png"), Qt::red, QSize(400, 100));
    const QImage first = cache.image(path);
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first.size(), QSize(100, 25)) << "decoded down to what a thumbnail needs";
    for (int i = 0; i < 10; ++i) cache.image(path);
    EXPECT_EQ(cache.decodeCount(), 1);

    // A new version of the file is read again.
    f.image(QStringLiteral("wide.png"), Qt::blue, QSize(200, 200));
    EXPECT_EQ(cache.image(path).size(), QSize(100, 100));
    EXPECT_EQ(cache.decodeCount(), 2);

    const QString broken = f.file(QStringLiteral("broken.png"), "text");
    EXPECT_TRUE(cache.image(broken).isNull());
    EXPECT_TRUE(cache.image(broken).isNull());
    EXPECT_EQ(cache.decodeCount(), 3) << "an unreadable file is not tried on every paint";
    EXPECT_TRUE(cache.image(f.c.h.home.root() + QStringLiteral("/missing.png")).isNull());
    EXPECT_EQ(cache.decodeCount(), 3) << "nothing there, nothing read";

    EXPECT_EQ(ThumbnailCache::fillSource(QSizeF(400, 100), QSizeF(100, 100)), QRectF(150, 0, 100, 100));
    EXPECT_EQ(ThumbnailCache::fillSource(QSizeF(100, 400), QSizeF(200, 100)), QRectF(0, 175, 100, 50));
}

TEST_F(WorkspaceTest, ALongNoteHeadingEndsInAnEllipsisInsideItsColumn) {
    const QString title = QStringLiteral("Planning notes for the design review today");
    f.c.stores.notes.setSelectedID(f.note(title, QStringLiteral("Agenda")));
    workspace.resize(560, 420);
    QCoreApplication::sendPostedEvents();
    VantrelLabel* heading = workspace.titleLabel();
    ASSERT_EQ(heading->text(), title);
    ASSERT_LT(heading->width(), QFontMetricsF(heading->font()).horizontalAdvance(title));
    const QStringList painted = paintedTexts(*heading);
    ASSERT_EQ(painted.size(), 1);
    EXPECT_TRUE(painted.front().startsWith(QStringLiteral("Planning notes")))
        << painted.front().toStdString();
    EXPECT_TRUE(painted.front().endsWith(QChar(0x2026))) << painted.front().toStdString();
    EXPECT_LE(QFontMetricsF(heading->font()).horizontalAdvance(painted.front()),
              heading->contentsRect().width());
    saveSheet("workspace-long-heading", {renderWidget(workspace, QColor(236, 238, 242))}, 1);
}

TEST_F(WorkspaceTest, ANoteBodyPastTwoLinesEndsTheSecondInAnEllipsis) {
    const QString body = QStringLiteral(
        "Bring the printed agenda, the budget figures for the second quarter and the notes from "
        "last week's call with the suppliers.\nThen book the room.");
    f.c.stores.notes.setSelectedID(f.note(QStringLiteral("Review"), body));
    f.note(QStringLiteral("Short"), QStringLiteral("Milk"));
    QCoreApplication::sendPostedEvents();
    const auto row = [&](const QString& title) -> QAbstractButton* {
        for (QAbstractButton* each : workspace.noteRows())
            if (each->text() == title) return each;
        return nullptr;
    };
    ASSERT_NE(row("Review"), nullptr);
    ASSERT_NE(row("Short"), nullptr);

    // The painted texts of a row: its title, then the lines of its body (which begins with the
    // title's line, as the store keeps it).
    const QStringList lines = paintedTexts(*row("Review")).mid(1);
    ASSERT_EQ(lines.size(), 2) << lines.join(u'|').toStdString();
    EXPECT_EQ(lines.front(), "Review");
    EXPECT_TRUE(lines.back().startsWith(QStringLiteral("Bring the"))) << lines.back().toStdString();
    EXPECT_TRUE(lines.back().endsWith(QChar(0x2026))) << lines.back().toStdString();
    EXPECT_LE(QFontMetricsF(VantrelType::caption()).horizontalAdvance(lines.back()),
              row("Review")->width() - 2 * 10);
    EXPECT_EQ(paintedTexts(*row("Short")).mid(1), (QStringList{"Short", "Milk"})) << "a body that fits";
    saveSheet("workspace-note-preview", {renderWidget(workspace, QColor(236, 238, 242))}, 1);
}

TEST_F(WorkspaceTest, TheEditorNeverSaysSavedWhileTheNotesCouldNotBeSaved) {
    VantrelLabel* state = workspace.saveStateLabel();
    EXPECT_EQ(state->text(), "Saved locally");
    f.c.h.files.failWith(
        FakeFileManager::Operation::writeData,
        std::make_exception_ptr(std::system_error(std::make_error_code(std::errc::read_only_file_system))));
    type(QStringLiteral("Lost?"));
    f.c.h.scheduler.advance(Seconds(1));
    EXPECT_EQ(state->text(), "Not saved");
    f.c.h.files.clearFailure(FakeFileManager::Operation::writeData);
    type(QStringLiteral(" No."));
    f.c.h.scheduler.advance(Seconds(1));
    EXPECT_EQ(state->text(), "Saved locally");
}

// Return on a note row selects its note and leaves the focus, ring and all, on that note's row
// though the list is built anew; when the note goes, the row that takes its place has the focus,
// or the row before it for the last, and with no row left "New note" has it.
TEST_F(WorkspaceTest, TheFocusStaysOnTheNoteRowActedOnOrGoesToTheRowThatTakesItsPlace) {
    NotesStore& notes = f.c.stores.notes;
    f.note(QStringLiteral("Groceries"), QString());
    f.note(QStringLiteral("Plans"), QString());
    ASSERT_EQ(rowTitles(), (QStringList{"Quick note", "Groceries", "Plans"}));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&workspace));
    QCoreApplication::sendPostedEvents();
    const auto focusedTitle = [] {
        const auto* row = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
        return row ? row->text() : QString();
    };
    const auto rowOf = [&](const QString& title) {
        for (QAbstractButton* row : workspace.noteRows())
            if (row->text() == title) return row;
        return static_cast<QAbstractButton*>(nullptr);
    };
    rowOf(QStringLiteral("Groceries"))->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(workspace.selectedNoteTitle(), "Groceries");
    EXPECT_EQ(focusedTitle(), "Groceries");
    EXPECT_TRUE(KitPaint::showsFocusRing(QApplication::focusWidget()));

    notes.deleteSelected();
    EXPECT_EQ(focusedTitle(), "Plans");
    EXPECT_TRUE(KitPaint::showsFocusRing(QApplication::focusWidget()));
    // The last row gone, the one before it has the focus; no row left, "New note".
    for (const VantrelNote& note : notes.notes())
        if (note.title == u"Plans") notes.setSelectedID(note.id);
    notes.deleteSelected();
    EXPECT_EQ(focusedTitle(), "Quick note");
    notes.setSearchQuery(QStringLiteral("nothing like it"));
    ASSERT_TRUE(workspace.noteRows().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), workspace.actionButton());
}

// Given a worker, a screenshot is looked at, read and decoded there only: asked, the cache answers
// with nothing yet and tells once the picture is in, and again only when the file changes. A
// drawing saved as a PNG reads nothing but itself: one that places another file is no thumbnail.
TEST(ThumbnailCache, FilesAreReadOnTheWorkerAndADrawingNamingAFileIsNoThumbnail) {
    HomeHarness f;
    ManualWorkQueue worker;
    int told = 0;
    ThumbnailCache cache(f.c.h.files, 100, &worker, [&told] { ++told; });
    const QString path = f.image(QStringLiteral("wide.png"), Qt::red, QSize(400, 100));
    EXPECT_TRUE(cache.image(path).isNull());
    EXPECT_TRUE(cache.image(path).isNull());
    EXPECT_EQ(cache.decodeCount(), 0) << "read on the asking thread";
    EXPECT_EQ(worker.pendingCount(), 1u) << "asked again while it is looked at";
    worker.drain();
    EXPECT_EQ(told, 1);
    EXPECT_EQ(cache.image(path).size(), QSize(100, 25));
    worker.drain();
    EXPECT_EQ(told, 1) << "told again for a file that did not change";
    EXPECT_EQ(cache.decodeCount(), 1);

    const QString placed = f.image(QStringLiteral("placed.png"), Qt::blue, QSize(40, 40));
    const QByteArray drawing = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"40\">"
                               "<rect width=\"40\" height=\"40\" fill=\"#00ff00\"/><image width=\"40\" "
                               "height=\"40\" href=\"" +
                               placed.toUtf8() + "\"/></svg>";
    const QString shot = f.file(QStringLiteral("shot.png"), drawing);
    cache.image(shot);
    worker.drain();
    EXPECT_TRUE(cache.image(shot).isNull());
    const QString plain =
        f.file(QStringLiteral("plain.png"), QByteArray(drawing).replace(placed.toUtf8(), "#x"));
    cache.image(plain);
    worker.drain();
    EXPECT_EQ(cache.image(plain).pixelColor(20, 20), QColor(0, 255, 0)) << "a drawing of its own is drawn";
}

// Typing into a note touches only that note: every row stays the very widget it was, the edited
// row's title and preview follow each key, and the keys and the caret stay in the editor. The
// notch's notes tab open over the same notes does the same, its editor taking the typed text with
// its own caret left where it was; and what is typed there reaches Home's editor. A key that moves
// the note past one of the same place still lists the notes anew, in their new order.
TEST_F(WorkspaceTest, TypingRedrawsOnlyTheEditedNotesRowAndKeepsTheKeysInTheEditor) {
    NotesStore& notes = f.c.stores.notes;
    const QUuid groceries = f.note(QStringLiteral("Groceries"), QStringLiteral("milk"));
    f.note(QStringLiteral("Plans"), QStringLiteral("Friday"));
    NotchNotesView notch(notes, QColor(10, 132, 255), f.c.h.clock);
    notch.resize(700, 260);
    notch.show();
    workspace.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&workspace));
    notes.setSelectedID(groceries);
    QCoreApplication::sendPostedEvents();
    const auto alive = [](const QList<QAbstractButton*>& rows) {
        QList<QPointer<QAbstractButton>> kept;
        for (QAbstractButton* row : rows) kept << row;
        return kept;
    };
    const QList<QAbstractButton*> homeRows = workspace.noteRows();
    const QList<QAbstractButton*> notchRows = notch.rowButtons();
    const QList<QPointer<QAbstractButton>> homeKept = alive(homeRows);
    const QList<QPointer<QAbstractButton>> notchKept = alive(notchRows);
    ASSERT_EQ(rowTitles(), (QStringList{"Quick note", "Groceries", "Plans"}));
    QTextCursor notchCaret = notch.editor()->textCursor();
    notchCaret.setPosition(3);
    notch.editor()->setTextCursor(notchCaret);

    QPlainTextEdit* editor = workspace.editor();
    editor->setFocus();
    QTextCursor caret = editor->textCursor();
    caret.setPosition(int(QStringLiteral("Groceries").size()));
    editor->setTextCursor(caret);
    QTest::keyClicks(editor, QStringLiteral(" for Sunday"));
    QTest::keyClick(editor, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(editor, QStringLiteral(", eggs"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    const QString body = QStringLiteral("Groceries for Sunday\nmilk, eggs");
    EXPECT_EQ(workspace.noteRows(), homeRows);
    EXPECT_EQ(notch.rowButtons(), notchRows);
    for (const auto& row : homeKept + notchKept) EXPECT_TRUE(row) << "a row was made anew";
    EXPECT_EQ(homeRows[1]->text(), "Groceries for Sunday");
    EXPECT_EQ(homeRows[1]->property("body").toString(), body);
    EXPECT_EQ(notchRows[1]->accessibleName(), "Groceries for Sunday");
    EXPECT_EQ(workspace.titleLabel()->text(), "Groceries for Sunday");
    EXPECT_EQ(QApplication::focusWidget(), editor);
    EXPECT_EQ(editor->toPlainText(), body);
    EXPECT_EQ(editor->textCursor().position(), body.size());
    EXPECT_EQ(notch.editor()->toPlainText(), body);
    EXPECT_EQ(notch.editor()->textCursor().position(), 3);

    caret.setPosition(3);
    editor->setTextCursor(caret);
    notch.editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(notch.editor(), QStringLiteral(", bread"));
    EXPECT_EQ(editor->toPlainText(), body + ", bread");
    EXPECT_EQ(editor->textCursor().position(), 3) << "the caret stays where it was";
    EXPECT_EQ(workspace.noteRows(), homeRows);

    // Notes of one place are listed latest first: typing into the last one lists it first.
    QList<VantrelNote> samePlace = notes.notes();
    for (VantrelNote& note : samePlace) note.order = 0;
    notes.setNotes(samePlace);
    const QUuid last = notes.visibleNotes().last().id;
    notes.setSelectedID(last);
    ASSERT_NE(workspace.noteRows().first()->text(), workspace.selectedNoteTitle());
    f.c.h.clock.advance(Seconds(5));
    editor->setFocus();
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, QStringLiteral("!"));
    EXPECT_EQ(notes.visibleNotes().first().id, last);
    EXPECT_EQ(workspace.noteRows().first()->text(), workspace.selectedNoteTitle());
    EXPECT_EQ(QApplication::focusWidget(), editor);
}

// Rows rebuilt while the window is not the active one keep the window's focus where it was: a note
// added from the notch leaves it on the note row it was on, a picture dropped on the shelf on the
// screenshot it was on, and the window gives the keys back there when it is active again.
TEST_F(WorkspaceTest, RowsRebuiltWhileTheWindowIsInactiveKeepItsFocusOnTheSameItem) {
    f.note(QStringLiteral("Groceries"), QString());
    f.note(QStringLiteral("Plans"), QString());
    workspace.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&workspace));
    // The row with the window's own focus, or the application's, once the rows that went are gone.
    const auto focusedText = [this](bool window) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QWidget* focus = window ? workspace.focusWidget() : QApplication::focusWidget();
        auto* row = qobject_cast<QAbstractButton*>(focus);
        const bool shown = workspace.noteRows().contains(row) || workspace.gridItems().contains(row);
        return shown ? row->text() : QStringLiteral("<not a row shown>");
    };
    workspace.noteRows()[1]->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(focusedText(false), "Groceries");
    QWidget elsewhere;
    const auto leave = [&] {
        elsewhere.show();
        elsewhere.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
        ASSERT_FALSE(workspace.isActiveWindow());
    };
    const auto comeBack = [&] {
        workspace.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&workspace));
    };
    leave();
    f.c.stores.notes.add(std::nullopt);
    ASSERT_EQ(workspace.noteRows().size(), 4);
    EXPECT_EQ(focusedText(true), "Groceries");
    comeBack();
    EXPECT_EQ(focusedText(false), "Groceries");

    workspace.setMode(HomeWorkspace::Mode::screenshots);
    f.shelve(
        {f.image(QStringLiteral("first.png"), Qt::gray), f.image(QStringLiteral("second.png"), Qt::gray)});
    ASSERT_EQ(workspace.gridItems().size(), 2);
    workspace.gridItems()[1]->setFocus(Qt::TabFocusReason);
    const QString focused = workspace.gridItems()[1]->text();
    leave();
    f.shelve({f.image(QStringLiteral("third.png"), Qt::gray)});
    ASSERT_EQ(workspace.gridItems().size(), 3);
    EXPECT_EQ(focusedText(true), focused);
    comeBack();
    EXPECT_EQ(focusedText(false), focused);
}
