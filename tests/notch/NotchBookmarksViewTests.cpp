#include "core/FileNotices.h"
#include "kit/KitPaint.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelPanel.h"
#include "modules/BookmarksStore.h"
#include "modules/ModuleTestSupport.h"
#include "notch/NotchBookmarksView.h"
#include "notch/PaintedTexts.h"
#include "support/ContactSheet.h"
#include "support/FakeOpenPanel.h"
#include "support/RecordingInputFocus.h"
#include "support/RecordingMenuPresenter.h"
#include "support/RecordingWorkspace.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

struct BookmarksTab : DataFolderTest {
    RecordingWorkspace workspace;
    FakeOpenPanel openPanel;
    BookmarksStore store{persistence, workspace, openPanel};
    RecordingMenuPresenter menus;
    NotchBookmarksView view{store, menus, QColor(48, 209, 88)};

    void SetUp() override {
        view.resize(692, 200);
        view.show();
    }
    void type(const QString& name, const QString& address) {
        view.nameField()->setText(name);
        view.addressField()->setText(address);
    }
    QStringList titles() const {
        QStringList out;
        for (const auto& b : store.items()) out << b.title;
        return out;
    }
    void choose(int cell, int item) {
        Q_EMIT view.cells()[std::size_t(cell)]->customContextMenuRequested(QPoint(4, 4));
        ASSERT_TRUE(menus.choose(item));
    }
};

} // namespace

TEST_F(BookmarksTab, FieldsClearOnlyWhenTheSiteIsSaved) {
    EXPECT_EQ(view.nameField()->placeholderText(), "Name (optional)");
    EXPECT_FALSE(view.addressField()->placeholderText().isEmpty());

    type("Files", "ftp://files.example.com");
    view.addSiteButton()->click();
    EXPECT_EQ(view.nameField()->text(), "Files");
    EXPECT_EQ(view.addressField()->text(), "ftp://files.example.com");
    EXPECT_TRUE(store.items().empty());

    type("", "example.org");
    view.addSiteButton()->click();
    EXPECT_EQ(view.nameField()->text(), "");
    EXPECT_EQ(view.addressField()->text(), "");
    ASSERT_EQ(store.items().size(), 1u);
    EXPECT_EQ(store.items()[0].title, "example.org");
    EXPECT_EQ(store.items()[0].target, "https://example.org");
    EXPECT_EQ(view.cells().size(), 1u);

    type("Again", "example.org");
    view.addSiteButton()->click();
    EXPECT_EQ(view.nameField()->text(), "Again");
    EXPECT_EQ(store.statusMessage(), "That website is already saved.");
}

TEST_F(BookmarksTab, ReturnAddsFromTheAddressFieldOnly) {
    type("News", "news.example.com");
    QTest::keyClick(view.nameField(), Qt::Key_Return);
    EXPECT_TRUE(store.items().empty());
    EXPECT_EQ(view.nameField()->text(), "News");
    QTest::keyClick(view.addressField(), Qt::Key_Return);
    EXPECT_EQ(titles(), QStringList({"News"}));
    EXPECT_EQ(view.addressField()->text(), "");
}

TEST_F(BookmarksTab, CellsOpenMoveAndRemoveFromTheirMenu) {
    for (const char* site : {"a.example", "b.example", "c.example"}) {
        type(QString(), QString::fromLatin1(site));
        view.addSiteButton()->click();
    }
    ASSERT_EQ(titles(), QStringList({"a.example", "b.example", "c.example"}));
    view.cells()[1]->click();
    ASSERT_EQ(workspace.opened.size(), 1u);
    EXPECT_EQ(workspace.opened[0].toString(), "https://b.example");

    choose(1, 0);
    EXPECT_EQ(menus.requests().back().items, QStringList({"Move Left", "Move Right", "Remove"}));
    EXPECT_EQ(menus.requests().back().dividersBefore, QList<int>{2}) << "Remove set apart";
    EXPECT_EQ(titles(), QStringList({"b.example", "a.example", "c.example"}));
    choose(0, 0);
    EXPECT_EQ(titles(), QStringList({"b.example", "a.example", "c.example"})) << "the first stays first";
    choose(0, 1);
    EXPECT_EQ(titles(), QStringList({"a.example", "b.example", "c.example"}));
    choose(2, 1);
    EXPECT_EQ(titles(), QStringList({"a.example", "b.example", "c.example"}));
    choose(1, 2);
    EXPECT_EQ(titles(), QStringList({"a.example", "c.example"}));
    EXPECT_EQ(view.cells().size(), 2u);
    EXPECT_TRUE(paintedTexts(view).contains("c.example"));

    EXPECT_TRUE(NotchBookmarksView::cellRects(0, 3, 50).empty());
    // The form: two fields share what the buttons leave, 8 apart.
    const auto form = NotchBookmarksView::layout(QSizeF(600, 200), QSizeF(80, 24), QSizeF(60, 32));
    EXPECT_EQ(form.nameField, QRectF(0, 0, 218, 32));
    EXPECT_EQ(form.addressField, QRectF(226, 0, 218, 32));
    EXPECT_EQ(form.addSite, QRectF(452, 4, 80, 24));
    EXPECT_EQ(form.addApp, QRectF(540, 0, 60, 32));
    EXPECT_EQ(form.grid, QRectF(0, 42, 600, 158));
    EXPECT_EQ(NotchBookmarksView::layout(QSizeF(100, 200), QSizeF(80, 24), QSizeF(60, 32)).nameField.width(),
              0);
    // Cells of at least 145 share the width, 9 apart.
    const auto cells = NotchBookmarksView::cellRects(453, 4, 50);
    EXPECT_EQ(cells[2], QRectF(308, 0, 145, 50));
    EXPECT_EQ(cells[3], QRectF(0, 59, 145, 50));
}

TEST_F(BookmarksTab, TheStoresMessageShowsInTheEmptyStateAndWhatWentWrongUnderTheForm) {
    ASSERT_NE(view.emptyState(), nullptr);
    EXPECT_EQ(view.emptyState()->title(), "No bookmarks yet");
    EXPECT_EQ(view.emptyState()->symbol(), "bookmark");
    EXPECT_EQ(view.emptyState()->message(), "Add a website or application for one-click access.");
    type("", "ftp://nope.example");
    view.addSiteButton()->click();
    EXPECT_EQ(view.emptyState()->message(), "Enter a valid website address.");

    // While bookmarks exist, the new cell says that one was saved, and the grid starts right under
    // the form; what went wrong takes a line between them.
    type("", "example.net");
    view.addSiteButton()->click();
    EXPECT_EQ(view.emptyState(), nullptr);
    EXPECT_EQ(store.statusMessage(), "Website saved.");
    EXPECT_FALSE(paintedTexts(view).contains("Website saved."));
    EXPECT_EQ(view.currentLayout().grid.top(), 42);
    type("", "ftp://nope.example");
    view.addSiteButton()->click();
    EXPECT_EQ(store.statusMessage(), "Enter a valid website address.");
    EXPECT_TRUE(paintedTexts(view).contains("Enter a valid website address."));
    EXPECT_EQ(view.currentLayout().grid.top(), 68);
    EXPECT_LE(view.statusLine()->geometry().bottom(), view.currentLayout().grid.top());

    // Removing the last bookmark brings the empty state back with the message of the moment.
    type("", "example.com");
    view.addSiteButton()->click();
    choose(1, 2);
    choose(0, 2);
    ASSERT_TRUE(store.items().empty());
    ASSERT_NE(view.emptyState(), nullptr);
    EXPECT_EQ(view.emptyState()->message(), "Add a website or application for one-click access.");
    EXPECT_FALSE(view.statusLine()->isVisible()) << "the empty state says it";
}

TEST_F(BookmarksTab, AFailedSaveIsToldWhileTheBookmarksShowAndGoesOnceTheyAreSaved) {
    view.setFileNotices(&notices);
    type("", "kept.example");
    view.addSiteButton()->click();
    ASSERT_EQ(store.items().size(), 1u);
    EXPECT_FALSE(view.statusLine()->isVisible());

    // The disk is full: the line says so, and goes on saying so after a change that says nothing
    // of its own (a move), until a save goes through.
    files.failWith(FakeFileManager::Operation::writeData, failure());
    type("", "lost.example");
    view.addSiteButton()->click();
    ASSERT_EQ(store.items().size(), 2u);
    EXPECT_TRUE(view.statusLine()->isVisible());
    EXPECT_EQ(view.statusLine()->text(), "Could not save bookmarks.");
    choose(1, 0);
    EXPECT_EQ(view.statusLine()->text(), "Could not save bookmarks.");
    const QImage failed = view.grab().toImage();
    files.clearFailure(FakeFileManager::Operation::writeData);
    choose(0, 1);
    EXPECT_FALSE(view.statusLine()->isVisible());
    EXPECT_EQ(view.currentLayout().grid.top(), 42);
    saveContactSheet({{"bookmarks not saved", failed}, {"saved again", view.grab().toImage()}},
                     VANTREL_BINARY_DIR "/renders/notch-bookmarks-not-saved.png");
}

TEST_F(BookmarksTab, ApplicationsShowTheirOwnIconAndAddAppAsksForOne) {
    const QString entry = home.writeFile("apps/editor.desktop", "[Desktop Entry]\nName=Editor\n");
    workspace.applications[entry] = ApplicationInfo{"Editor", "editor", true};
    openPanel.answer = entry;
    view.addAppButton()->click();
    ASSERT_EQ(titles(), QStringList({"Editor"}));
    EXPECT_TRUE(workspace.iconRequests.contains(entry));
    EXPECT_EQ(store.statusMessage(), "Application saved.");
    EXPECT_FALSE(paintedTexts(view).contains("Application saved."));
}

TEST_F(BookmarksTab, SavedBookmarksOpenWithoutAMessageLine) {
    type("", "saved.example");
    view.addSiteButton()->click();
    BookmarksStore reopened{persistence, workspace, openPanel};
    NotchBookmarksView fresh{reopened, menus, QColor(48, 209, 88)};
    fresh.resize(692, 200);
    ASSERT_EQ(reopened.items().size(), 1u);
    EXPECT_EQ(fresh.emptyState(), nullptr);
    EXPECT_FALSE(paintedTexts(fresh).contains("Add a website or application for one-click access."))
        << "the idle hint is for the empty list";
    EXPECT_EQ(fresh.currentLayout().grid.top(), 42);
}

TEST_F(BookmarksTab, MovingOrRemovingACellKeepsTheFocusOnTheGrid) {
    for (const char* site : {"a.example", "b.example", "c.example"}) {
        type(QString(), QString::fromLatin1(site));
        view.addSiteButton()->click();
    }
    QApplication::setActiveWindow(&view);
    const auto focusedCell = [&]() -> QString {
        QWidget* focus = QApplication::focusWidget();
        for (QAbstractButton* cell : view.cells())
            if (cell == focus && KitPaint::showsFocusRing(cell)) return cell->accessibleName();
        return QString();
    };
    // "Move Left" from the keyboard: the moved bookmark keeps the focus in its new place.
    view.cells()[2]->setFocus(Qt::TabFocusReason);
    choose(2, 0);
    ASSERT_EQ(titles(), QStringList({"a.example", "c.example", "b.example"}));
    EXPECT_EQ(focusedCell(), "c.example");
    EXPECT_EQ(QApplication::focusWidget(), view.cells()[1]);
    choose(1, 1);
    EXPECT_EQ(focusedCell(), "c.example");
    // "Remove": the bookmark that takes its place has it, the one before it at the end.
    view.cells()[1]->setFocus(Qt::TabFocusReason);
    choose(1, 2);
    EXPECT_EQ(focusedCell(), "c.example");
    view.cells()[1]->setFocus(Qt::TabFocusReason);
    choose(1, 2);
    EXPECT_EQ(focusedCell(), "a.example");
    // The last one gone, "Add App" before the grid has it.
    choose(0, 2);
    EXPECT_EQ(QApplication::focusWidget(), view.addAppButton());
    // A bookmark added from the form leaves the focus in the form.
    view.addressField()->setFocus(Qt::TabFocusReason);
    type("", "d.example");
    QTest::keyClick(view.addressField(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), view.addressField());
}

TEST_F(BookmarksTab, AddAppOpensOverThePanelWhichHasTheKeysAgainWhenItCloses) {
    view.hide();
    RecordingInputFocus focus;
    VantrelPanel panel(focus);
    auto* tab = new NotchBookmarksView(store, menus, QColor(48, 209, 88));
    panel.setContentView(tab);
    panel.setFrame(QRect(100, 0, 692, 200));
    panel.makeKey();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    QAbstractButton* addApp = tab->addAppButton();
    addApp->setFocus(Qt::TabFocusReason);

    // Escape in the chooser: the desktop hands the keys to another window of ours.
    QWidget elsewhere;
    elsewhere.setGeometry(0, 300, 200, 100);
    elsewhere.show();
    openPanel.whileOpen = [&] {
        elsewhere.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    };
    QTest::keyClick(addApp, Qt::Key_Space);
    ASSERT_TRUE(openPanel.lastRequest.has_value());
    EXPECT_EQ(openPanel.lastRequest->title, "Add an application to Vantrel");
    EXPECT_EQ(openPanel.lastRequest->parent, addApp) << "the chooser opens over the notch";
    EXPECT_TRUE(QTest::qWaitForWindowActive(&panel));
    EXPECT_TRUE(panel.isKey());
    EXPECT_EQ(QApplication::focusWidget(), addApp);
    EXPECT_TRUE(KitPaint::showsFocusRing(addApp));
    EXPECT_TRUE(store.items().empty());

    // The window manager moves the keys once more as the chooser's window goes: back to the panel.
    QSignalSpy moves(qApp, &QGuiApplication::focusWindowChanged);
    elsewhere.activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return moves.count() >= 2 && panel.isKey(); }));
    EXPECT_EQ(moves.count(), 2) << "to the other window, then back";
    EXPECT_EQ(QApplication::focusWidget(), addApp);
    // The user's own move afterwards stays.
    elsewhere.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    QCoreApplication::processEvents();
    EXPECT_FALSE(panel.isKey());
}
