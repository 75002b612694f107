#include "dock/DockAppButton.h"
#include "dock/DockSeparatorTile.h"
#include "dock/DockShortcutButton.h"
#include "dock/FileShelfDockButton.h"
#include "dock/TrashDockButton.h"
#include "support/QtPrinters.h"

#include "DockViewFixture.h"

#include <QAccessible>
#include <QAccessibleActionInterface>

using namespace vantrel;
using namespace vantrel::test;

namespace {

struct DockTileAccessibilityTest : DockViewFixture {
    std::unique_ptr<QWidget> host = std::make_unique<QWidget>();
};

// The role, the name and the actions assistive technology finds on `widget`.
struct Accessible {
    QAccessible::Role role;
    QString name;
    QStringList actions;
};

Accessible accessible(QWidget& widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&widget);
    if (!face) return {QAccessible::NoRole, {}, {}};
    QAccessibleActionInterface* actions = face->actionInterface();
    return {face->role(), face->text(QAccessible::Name), actions ? actions->actionNames() : QStringList()};
}

void press(QWidget& widget) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&widget);
    ASSERT_TRUE(face && face->actionInterface());
    face->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

TEST_F(DockTileAccessibilityTest, TilesAreButtonsWhosePressDoesWhatTheClickDoes) {
    const DockShortcut site = item("Site", DockShortcut::Kind::website, "https://example.org");
    const DockShortcut gap = item("", DockShortcut::Kind::separator);
    running.applications = {app(42, "Editor")};
    makeStores({site, gap});
    const DockViewContext ctx = context();

    DockShortcutButton shortcut(site, ctx, host.get());
    const Accessible pinned = accessible(shortcut);
    EXPECT_EQ(pinned.role, QAccessible::Button);
    EXPECT_EQ(pinned.name, "Site");
    EXPECT_TRUE(pinned.actions.contains(QAccessibleActionInterface::pressAction()))
        << pinned.actions.join(",").toStdString();
    press(shortcut);
    ASSERT_EQ(workspace.opened.size(), 1u) << "the press opens the item, as the tap does";
    EXPECT_EQ(workspace.opened.front(), QUrl("https://example.org"));
    shortcut.setEditing(true);
    press(shortcut);
    EXPECT_EQ(workspace.opened.size(), 1u) << "while editing the press opens nothing, as the tap";

    DockAppButton runningTile(store->apps().front(), ctx, host.get());
    EXPECT_EQ(accessible(runningTile).role, QAccessible::Button);
    EXPECT_EQ(accessible(runningTile).name, "Editor");
    calls.entries.clear();
    press(runningTile);
    EXPECT_EQ(calls.entries, QStringList{"activate 42"});

    FileShelfDockButton shelf(ctx, host.get());
    EXPECT_EQ(accessible(shelf).role, QAccessible::Button);
    calls.entries.clear();
    press(shelf);
    EXPECT_EQ(calls.entries, QStringList{"openShelf"});

    TrashDockButton trashTile(ctx, host.get());
    EXPECT_EQ(accessible(trashTile).role, QAccessible::Button);
    EXPECT_EQ(accessible(trashTile).name, "Trash, empty");

    // The separator is a handle to drag: named, but nothing to press.
    DockSeparatorTile separator(gap, ctx, host.get());
    const Accessible handle = accessible(separator);
    EXPECT_NE(handle.role, QAccessible::Button);
    EXPECT_EQ(handle.name, "Dock separator");
    EXPECT_FALSE(handle.actions.contains(QAccessibleActionInterface::pressAction()));

    // The remove badge is a button of its own.
    EXPECT_EQ(accessible(*shortcut.removeBadge()).role, QAccessible::Button);
    EXPECT_EQ(accessible(*shortcut.removeBadge()).name, "Remove Site from Vantrel Dock");
}

// The names assistive technology meets among the view's shown children, in its order.
QStringList childNames(QWidget& view) {
    QStringList names;
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&view);
    for (int i = 0; face && i < face->childCount(); ++i)
        if (!face->child(i)->state().invisible) names << face->child(i)->text(QAccessible::Name);
    return names;
}

TEST_F(DockTileAccessibilityTest, AssistiveTechnologyMeetsTheTilesInTheirOrderOnScreen) {
    makeStores({});
    auto view = makeView();
    // Tiles come after the shelf and the Trash were made: a running application, then two pinned.
    running.applications = {app(42, "Editor")};
    Q_EMIT running.applicationsChanged();
    ASSERT_TRUE(content->addWebsite("Site", "https://example.org"));
    ASSERT_TRUE(content->addWebsite("Wiki", "https://example.com"));
    EXPECT_EQ(childNames(*view),
              (QStringList{"Site", "Wiki", "Editor", "Temporary File Shelf, 0 items", "Trash, empty"}));

    // Reordered, and each remove badge right after its tile while editing.
    ASSERT_TRUE(content->move(content->items()[1], content->items()[0]));
    for (DockTile* tile : view->tiles())
        if (auto* shortcut = qobject_cast<DockShortcutButton*>(tile)) shortcut->setEditing(true);
    EXPECT_EQ(childNames(*view),
              (QStringList{"Wiki", "Remove Wiki from Vantrel Dock", "Site", "Remove Site from Vantrel Dock",
                           "Editor", "Temporary File Shelf, 0 items", "Trash, empty"}));
}

} // namespace
