#include "modules/BookmarksStore.h"
#include "modules/FocusTimer.h"
#include "notch/NotchBookmarksView.h"
#include "notch/NotchCalendarView.h"
#include "notch/NotchFilesView.h"
#include "notch/NotchFocusView.h"
#include "notch/NotchSurfaceTestSupport.h"

#include <QDragEnterEvent>
#include <QMimeData>

using namespace vantrel;
using namespace vantrel::test;

namespace {

class TabContent : public NotchSurfaceTest {
protected:
    template <typename View> View* shown(NotchTab tab) {
        expand(tab);
        return qobject_cast<View*>(view().contentView());
    }
};

} // namespace

TEST_F(TabContent, EachTabShowsItsOwnView) {
    EXPECT_NE(shown<NotchCalendarView>(NotchTab::calendar), nullptr);
    EXPECT_NE(shown<NotchFocusView>(NotchTab::focus), nullptr);
    EXPECT_NE(shown<NotchFilesView>(NotchTab::files), nullptr);
    EXPECT_NE(shown<NotchBookmarksView>(NotchTab::bookmarks), nullptr);

    // The focus tab drives the application's one timer; the bookmarks tab's menus go through the
    // application's presenter.
    auto* focus = shown<NotchFocusView>(NotchTab::focus);
    ASSERT_NE(focus, nullptr);
    focus->startPauseButton()->click();
    EXPECT_TRUE(stores.focus.isRunning());
    stores.bookmarks.addWebsite("", "example.com");
    auto* bookmarks = shown<NotchBookmarksView>(NotchTab::bookmarks);
    ASSERT_NE(bookmarks, nullptr);
    ASSERT_EQ(bookmarks->cells().size(), 1u);
    bookmarks->showCellMenu(0);
    ASSERT_EQ(h.menus.requests().size(), 1u);
    EXPECT_EQ(h.menus.requests()[0].items.last(), "Remove");
}

TEST_F(TabContent, TheFilesTabFollowsADragOverTheSurface) {
    const QString path = h.home.writeFile("drop/photo.png", "png");
    auto* files = shown<NotchFilesView>(NotchTab::files);
    ASSERT_NE(files, nullptr);
    EXPECT_FALSE(files->isDropTarget());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(20, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view(), &enter);
    EXPECT_TRUE(files->isDropTarget());
    QDragLeaveEvent leave;
    QApplication::sendEvent(&view(), &leave);
    EXPECT_FALSE(files->isDropTarget());
}
