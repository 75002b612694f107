#include "modules/BookmarksStore.h"
#include "modules/ModuleTestSupport.h"
#include "notch/NotchBookmarksView.h"
#include "notch/PaintedTexts.h"
#include "support/FakeOpenPanel.h"
#include "support/RecordingMenuPresenter.h"
#include "support/RecordingWorkspace.h"

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
    const auto form = NotchBookmarksView::layout(QSizeF(600, 200), QSizeF(80, 24), QSizeF(60, 32), false);
    EXPECT_EQ(form.nameField, QRectF(0, 0, 218, 32));
    EXPECT_EQ(form.addressField, QRectF(226, 0, 218, 32));
    EXPECT_EQ(form.addSite, QRectF(452, 4, 80, 24));
    EXPECT_EQ(form.addApp, QRectF(540, 0, 60, 32));
    EXPECT_EQ(form.grid, QRectF(0, 42, 600, 158));
    EXPECT_EQ(
        NotchBookmarksView::layout(QSizeF(100, 200), QSizeF(80, 24), QSizeF(60, 32), false).nameField.width(),
        0);
    // Cells of at least 145 share the width, 9 apart.
    const auto cells = NotchBookmarksView::cellRects(453, 4, 50);
    EXPECT_EQ(cells[2], QRectF(308, 0, 145, 50));
    EXPECT_EQ(cells[3], QRectF(0, 59, 145, 50));
}

TEST_F(BookmarksTab, MessagesShowWhileBookmarksExistAndTheEmptyListShowsTheHint) {
    ASSERT_NE(view.emptyState(), nullptr);
    EXPECT_EQ(view.emptyState()->title(), "No bookmarks yet");
    EXPECT_EQ(view.emptyState()->symbol(), "bookmark");
    EXPECT_EQ(view.emptyState()->message(), "Add a website or application for one-click access.");
    type("", "ftp://nope.example");
    view.addSiteButton()->click();
    EXPECT_EQ(view.emptyState()->message(), "Enter a valid website address.");

    type("", "example.net");
    view.addSiteButton()->click();
    EXPECT_EQ(view.emptyState(), nullptr);
    EXPECT_EQ(view.statusLine(), "Website saved.");
    type("", "ftp://nope.example");
    view.addSiteButton()->click();
    EXPECT_EQ(view.statusLine(), "Enter a valid website address.");
    EXPECT_TRUE(paintedTexts(view).contains("Enter a valid website address."));
    EXPECT_FALSE(view.currentLayout().status.isEmpty());

    type("", "example.com");
    view.addSiteButton()->click();
    choose(1, 2);
    choose(0, 2);
    ASSERT_TRUE(store.items().empty());
    ASSERT_NE(view.emptyState(), nullptr);
    EXPECT_EQ(view.emptyState()->message(), "Add a website or application for one-click access.");
    EXPECT_TRUE(view.statusLine().isEmpty());
    EXPECT_TRUE(view.currentLayout().status.isEmpty());
}

TEST_F(BookmarksTab, ApplicationsShowTheirOwnIconAndAddAppAsksForOne) {
    const QString entry = home.writeFile("apps/editor.desktop", "[Desktop Entry]\nName=Editor\n");
    workspace.applications[entry] = ApplicationInfo{"Editor", "editor", true};
    openPanel.answer = entry;
    view.addAppButton()->click();
    ASSERT_EQ(titles(), QStringList({"Editor"}));
    EXPECT_TRUE(workspace.iconRequests.contains(entry));
    EXPECT_EQ(view.statusLine(), "Application saved.");
}

TEST_F(BookmarksTab, SavedBookmarksOpenWithoutAMessageLine) {
    type("", "saved.example");
    view.addSiteButton()->click();
    BookmarksStore reopened{persistence, workspace, openPanel};
    NotchBookmarksView fresh{reopened, menus, QColor(48, 209, 88)};
    fresh.resize(692, 200);
    ASSERT_EQ(reopened.items().size(), 1u);
    EXPECT_EQ(fresh.emptyState(), nullptr);
    EXPECT_TRUE(fresh.statusLine().isEmpty()) << "the idle hint is for the empty list";
    EXPECT_TRUE(fresh.currentLayout().status.isEmpty());
}
