#include "platform/linux/QtMenuPresenter.h"

#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>
#include <vector>

using namespace vantrel;

TEST(QtMenuPresenter, OpensWithoutWaitingMarksTheCurrentItemAndAnswersTheChoice) {
    QWidget anchor;
    anchor.resize(120, 24);
    anchor.show();
    QtMenuPresenter presenter;
    std::vector<int> chosen;
    presenter.present({&anchor, {"Small", "Rock & Roll", "Large"}, 1, {}},
                      [&chosen](int index) { chosen.push_back(index); });

    // present() has returned: the menu is open, not running a loop of its own.
    auto* menu = anchor.findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[1]->text(), "Rock && Roll") << "an ampersand is shown, not taken as a mnemonic";
    EXPECT_FALSE(actions[0]->isChecked());
    EXPECT_TRUE(actions[1]->isChecked());
    actions[2]->trigger();
    EXPECT_EQ(chosen, std::vector<int>{2});

    // Without an anchor there is nothing to open under.
    presenter.present({nullptr, {"Small"}, 0, {}}, [&chosen](int index) { chosen.push_back(index); });
    EXPECT_EQ(anchor.findChildren<QMenu*>().size(), 1);
    EXPECT_EQ(QtMenuPresenter::itemText("A & B && C"), "A && B &&&& C");
}

TEST(QtMenuPresenter, ACommandMenuSetsItsLastItemApartAndCountsOnlyItems) {
    QWidget anchor;
    anchor.resize(24, 24);
    anchor.show();
    QtMenuPresenter presenter;
    int chosen = -1;
    presenter.present({&anchor, {"Copy Summary", "Make Concise", "Delete"}, -1, {0, 2}},
                      [&chosen](int index) { chosen = index; });
    auto* menu = anchor.findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 4) << "one divider, none above the first item";
    EXPECT_TRUE(actions[2]->isSeparator());
    EXPECT_EQ(actions[3]->text(), "Delete");
    EXPECT_FALSE(actions[3]->isCheckable());
    actions[3]->trigger();
    EXPECT_EQ(chosen, 2);
}

TEST(QtMenuPresenter, DisabledEntriesASubmenuAndAPositionOfItsOwn) {
    QWidget anchor;
    anchor.resize(40, 40);
    anchor.show();
    QtMenuPresenter presenter;
    std::vector<int> chosen;
    MenuPresenter::Request request(&anchor, {"Open", "Show in Finder", "Move Left", "Remove"}, -1, {2, 3});
    request.disabled = {1};
    request.submenu = MenuPresenter::Request::Submenu{"Colour", {"Default", "Red & Blue"}, 0};
    request.submenuBefore = 1;
    request.position = anchor.mapToGlobal(QPoint(30, 5));
    presenter.present(request, [&chosen](int index) { chosen.push_back(index); });
    auto* menu = anchor.findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 7);
    EXPECT_EQ(actions[0]->text(), "Open");
    ASSERT_NE(actions[1]->menu(), nullptr) << "the submenu stands before its item";
    EXPECT_EQ(actions[1]->text(), "Colour");
    EXPECT_FALSE(actions[2]->isEnabled());
    EXPECT_EQ(actions[2]->text(), "Show in Finder");
    EXPECT_TRUE(actions[3]->isSeparator());
    EXPECT_TRUE(actions[5]->isSeparator());
    EXPECT_FALSE(actions[0]->isCheckable()) << "a command menu marks nothing";
    const QList<QAction*> nested = actions[1]->menu()->actions();
    ASSERT_EQ(nested.size(), 2);
    EXPECT_TRUE(nested[0]->isChecked());
    EXPECT_FALSE(nested[1]->isChecked());
    EXPECT_EQ(nested[1]->text(), "Red && Blue");
    nested[1]->trigger();
    actions[6]->trigger();
    EXPECT_EQ(chosen, (std::vector<int>{4 + 1, 3})) << "submenu entries answer after the items";
    EXPECT_EQ(menu->pos(), request.position.value()) << "opened at the given place";

    // A submenu at the end.
    MenuPresenter::Request atEnd(&anchor, {"Open"});
    atEnd.submenu = MenuPresenter::Request::Submenu{"More", {"One"}, -1};
    atEnd.submenuBefore = 1;
    presenter.present(atEnd, [](int) {});
    const QList<QMenu*> menus = anchor.findChildren<QMenu*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(menus.size(), 2);
    ASSERT_EQ(menus[1]->actions().size(), 2);
    EXPECT_NE(menus[1]->actions()[1]->menu(), nullptr);
}
