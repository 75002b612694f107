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
