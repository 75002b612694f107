#include "dock/DockAppButton.h"
#include "dock/DockReorderDropDelegate.h"
#include "dock/DockSeparatorTile.h"
#include "dock/DockShortcutButton.h"
#include "dock/DockTile.h"
#include "dock/FloatingDockLayout.h"
#include "support/QtPrinters.h"

#include "DockViewFixture.h"

#include <QApplication>
#include <QChildEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>

using namespace vantrel;
using namespace vantrel::test;

namespace {

using Slot = FloatingDockLayout::Slot;

struct FloatingDockViewTest : DockViewFixture {
    std::vector<Slot> slots(const FloatingDockView& view) {
        std::vector<Slot> result;
        for (const auto& cell : view.layout().cells) result.push_back(cell.slot);
        return result;
    }
    std::vector<QRectF> rects(const FloatingDockView& view) {
        std::vector<QRectF> result;
        for (const auto& cell : view.layout().cells) result.push_back(cell.rect);
        return result;
    }
};

TEST_F(FloatingDockViewTest, OnlyShelfAndTrashWithoutPinnedOrRunningAndNoDivider) {
    makeStores({});
    auto view = makeView();
    EXPECT_EQ(slots(*view), (std::vector<Slot>{Slot::shelf, Slot::trash}));
    // 44-point icons in 49 by 56 tiles, 8 apart; 16 inside the surface, 11 above and below it; a
    // 7-point margin, 50 at each side and the 28-point band above.
    EXPECT_EQ(rects(*view), (std::vector<QRectF>{{73, 46, 49, 56}, {130, 46, 49, 56}}));
    EXPECT_EQ(view->layout().surface, QRectF(57, 35, 138, 78));
    EXPECT_EQ(view->layout().size, QSizeF(252, 120));
    ASSERT_EQ(reportedSizes.size(), 1u);
    EXPECT_EQ(reportedSizes[0], QSizeF(252, 120));
    // The tiles stand where the layout puts them, and take the pointer there.
    ASSERT_EQ(view->tiles().size(), 2u);
    EXPECT_EQ(view->tiles()[1]->geometry(), QRect(130, 46, 49, 56));

    preferences.setCustomDockShowTrash(false);
    EXPECT_EQ(slots(*view), (std::vector<Slot>{Slot::shelf}));
    EXPECT_EQ(view->trashTile(), nullptr);
    EXPECT_EQ(reportedSizes.back(), QSizeF(195, 120));
}

TEST_F(FloatingDockViewTest, PinnedItemsWithRunningTilesOffKeepOneDivider) {
    running.applications = {app(10, "Files", "files.desktop")};
    makeStores({item("Site", DockShortcut::Kind::website, "https://example.org"),
                item("", DockShortcut::Kind::separator)});
    preferences.setCustomDockShowRunning(false);
    auto view = makeView();
    EXPECT_EQ(slots(*view),
              (std::vector<Slot>{Slot::pinned, Slot::separator, Slot::divider, Slot::shelf, Slot::trash}));
    // The separator's frame is 13 wide; a divider is 1 wide and as high as an icon, centred.
    EXPECT_EQ(
        rects(*view),
        (std::vector<QRectF>{
            {73, 46, 49, 56}, {130, 46, 13, 56}, {151, 52, 1, 44}, {160, 46, 49, 56}, {217, 46, 49, 56}}));
    EXPECT_EQ(view->layout().size, QSizeF(339, 120));
}

TEST_F(FloatingDockViewTest, RunningWithoutPinnedShowsTheSecondDividerOnlyAndPinnedRunningAppsOnce) {
    running.applications = {app(10, "Files", "files.desktop"), app(11, "Editor", "editor.desktop")};
    makeStores({});
    auto view = makeView();
    EXPECT_EQ(slots(*view),
              (std::vector<Slot>{Slot::running, Slot::running, Slot::divider, Slot::shelf, Slot::trash}));
    EXPECT_EQ(rects(*view)[2], QRectF(187, 52, 1, 44));

    // The editor pinned: shown once, as its pinned tile, left of the first divider.
    running.identifiers[QStringLiteral("/apps/editor.desktop")] = QStringLiteral("editor.desktop");
    workspace.applications[QStringLiteral("/apps/editor.desktop")] = {QStringLiteral("Editor"), {}, true};
    ASSERT_TRUE(content->addApplication(QStringLiteral("/apps/editor.desktop"), false));
    EXPECT_EQ(slots(*view), (std::vector<Slot>{Slot::pinned, Slot::divider, Slot::running, Slot::divider,
                                               Slot::shelf, Slot::trash}));
    ASSERT_EQ(view->visibleRunningApps().size(), 1u);
    EXPECT_EQ(view->visibleRunningApps()[0].name, "Files");
    EXPECT_EQ(view->tiles()[0]->toolTip(), "Editor");

    // A bigger icon lays the whole row out again.
    preferences.setCustomDockIconSize(60);
    EXPECT_EQ(rects(*view)[0], QRectF(73, 46, 65, 72));
    EXPECT_EQ(reportedSizes.back(), view->layout().size);
    // Until the panel takes the new size, the row stays centred in the old one.
    EXPECT_EQ(view->tiles()[0]->geometry().topLeft(), (QPointF(73, 46) + view->contentOrigin()).toPoint());
    view->resize(view->sizeHint());
    EXPECT_EQ(view->tiles()[0]->geometry(), QRect(73, 46, 65, 72));
}

TEST_F(FloatingDockViewTest, AChangeOfTheActiveWindowRedrawsOnlyTheTilesItChanges) {
    running.applications = {app(10, "Files", "files.desktop"), app(11, "Editor", "editor.desktop"),
                            app(12, "Mail", "mail.desktop"), app(13, "Music", "music.desktop")};
    running.frontmost = 10;
    makeStores({item("Site", DockShortcut::Kind::website, "https://example.org"),
                item("Docs", DockShortcut::Kind::folder, "/home/u/Docs"),
                item("", DockShortcut::Kind::separator)});
    auto view = makeView();
    const std::vector<DockTile*> before = view->tiles();
    ASSERT_EQ(before.size(), 9u);

    // Tiles made from now on, and the tiles that were told to draw anew.
    struct Constructions : QObject {
        int tiles = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            // A tile is a widget of the view's own (no other widget comes with a running one).
            if (event->type() == QEvent::ChildAdded &&
                static_cast<QChildEvent*>(event)->child()->isWidgetType())
                ++tiles;
            return false;
        }
    } constructions;
    view->installEventFilter(&constructions);
    std::vector<int> redrawn(before.size(), 0);
    for (std::size_t i = 0; i < before.size(); ++i)
        QObject::connect(before[i], &DockTile::needsDisplay, view.get(), [&redrawn, i] { ++redrawn[i]; });

    // The editor comes to the front: the files tile loses its dot, the editor's gains one.
    running.frontmost = 11;
    Q_EMIT running.frontmostChanged();
    EXPECT_EQ(view->tiles(), before) << "the same tiles";
    EXPECT_EQ(constructions.tiles, 0);
    EXPECT_EQ(redrawn, (std::vector<int>{0, 0, 0, 1, 1, 0, 0, 0, 0}));
    // By name: the editor, then the files.
    auto* editor = qobject_cast<DockAppButton*>(before[3]);
    auto* files = qobject_cast<DockAppButton*>(before[4]);
    ASSERT_TRUE(files && editor);
    EXPECT_FALSE(files->showsDot());
    EXPECT_TRUE(editor->showsDot());

    // Nothing changed: nothing is redrawn.
    Q_EMIT running.frontmostChanged();
    EXPECT_EQ(redrawn, (std::vector<int>{0, 0, 0, 1, 1, 0, 0, 0, 0}));

    // An application that starts adds its own tile and leaves the others as they are.
    running.applications.push_back(app(14, "Notes", "notes.desktop"));
    Q_EMIT running.applicationsChanged();
    EXPECT_EQ(constructions.tiles, 1);
    EXPECT_EQ(view->tiles().size(), 10u);
    EXPECT_EQ(redrawn, (std::vector<int>{0, 0, 0, 1, 1, 0, 0, 0, 0}));

    // A new icon size makes every tile that keeps an icon of its own draw it anew (the separator
    // keeps none).
    preferences.setCustomDockIconSize(60);
    EXPECT_EQ(constructions.tiles, 1);
    EXPECT_EQ(redrawn, (std::vector<int>{1, 1, 0, 2, 2, 1, 1, 0, 0}));

    // The editor's process can no longer be confirmed: its tile learns it, so Force Quit is
    // offered no more.
    running.applications[1].processVerified = false;
    Q_EMIT running.applicationsChanged();
    EXPECT_FALSE(editor->app().processVerified);
    running.applications[1].processVerified = true;
    Q_EMIT running.applicationsChanged();
    EXPECT_TRUE(editor->app().processVerified);
    EXPECT_EQ(constructions.tiles, 1) << "no tile is made anew";
}

TEST_F(FloatingDockViewTest, AnIdRepeatedInAHandEditedFileGivesEachItemATileOfItsOwn) {
    const QUuid id = QUuid::createUuid();
    makeStores({{id, QStringLiteral("One"), QStringLiteral("https://one.example"),
                 DockShortcut::Kind::website, std::nullopt},
                {id, QStringLiteral("Two"), QStringLiteral("https://two.example"),
                 DockShortcut::Kind::website, std::nullopt}});
    auto view = makeView();
    const std::vector<DockTile*> tiles = view->tiles();
    ASSERT_EQ(tiles.size(), 4u);
    EXPECT_NE(tiles[0], tiles[1]);
    EXPECT_EQ(tiles[0]->toolTip(), "One");
    EXPECT_EQ(tiles[1]->toolTip(), "Two");
}

TEST_F(FloatingDockViewTest, TheSurfaceCornersFollowTheShapeUpToHalfItsHeight) {
    makeStores({});
    // 78 high: a radius of 48 is drawn as 39, a pill; one of 14 keeps its small corner.
    auto alphaNearTheCorner = [this](double radius) {
        preferences.setCustomDockCornerRadius(radius);
        auto view = makeView();
        EXPECT_EQ(view->layout().surface, QRectF(57, 35, 138, 78));
        const QImage image = render(*view);
        EXPECT_GT(image.pixelColor(126, 38).alpha(), 0) << "the top edge between the corners";
        // 7.5 right of and 11.5 below the surface's corner: outside a 39 corner, inside 26 or 14.
        return image.pixelColor(64, 46).alpha();
    };
    EXPECT_EQ(alphaNearTheCorner(48), 0);
    EXPECT_GT(alphaNearTheCorner(14), 0);
}

TEST(FloatingDockLayout, ASizeOfExactlyZeroByZeroNeverReplacesAnEarlierOne) {
    EXPECT_EQ(FloatingDockLayout::reduceContentSize({252, 120}, {0, 0}), QSizeF(252, 120));
    EXPECT_EQ(FloatingDockLayout::reduceContentSize({252, 120}, {0, 120}), QSizeF(0, 120));
    EXPECT_EQ(FloatingDockLayout::reduceContentSize({252, 120}, {300, 0}), QSizeF(300, 0));
    EXPECT_EQ(FloatingDockLayout::reduceContentSize({0, 0}, {300, 120}), QSizeF(300, 120));
}

// Reordering: a drag that the test runs by sending the drag events itself.
struct ReorderTest : FloatingDockViewTest {
    DockShortcut a = item("A", DockShortcut::Kind::website, "https://a.example");
    DockShortcut b = item("B", DockShortcut::Kind::website, "https://b.example");
    DockShortcut c = item("C", DockShortcut::Kind::folder, "/tmp");
    std::unique_ptr<FloatingDockView> view;

    void SetUp() override {
        makeStores({a, b, c});
        QObject::connect(content.get(), &DockContentStore::itemsChanged,
                         [this] { calls.add("order " + order()); });
        view = makeView();
    }
    QString order() const {
        QString text;
        for (const DockShortcut& i : content->items()) text += i.title;
        return text;
    }
    DockTile* tileOf(const DockShortcut& target) const {
        for (DockTile* tile : view->tiles())
            if (auto* button = qobject_cast<DockShortcutButton*>(tile);
                button && button->item().id == target.id)
                return tile;
        return nullptr;
    }
    // Sends a drag entering `tile`; answers whether it was accepted.
    static bool enter(DockTile* tile, const QMimeData* data) {
        QDragEnterEvent event(QPoint(5, 5), Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        event.ignore();
        QCoreApplication::sendEvent(tile, &event);
        return event.isAccepted();
    }
    static bool drop(DockTile* tile, const QMimeData* data) {
        QDropEvent event(QPointF(5, 5), Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        event.ignore();
        QCoreApplication::sendEvent(tile, &event);
        return event.isAccepted();
    }
    // Presses on `tile` and moves the pointer far enough to start a drag.
    static void pressAndDrag(DockTile* tile) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10), tile->mapToGlobal(QPointF(10, 10)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(tile, &press);
        QMouseEvent move(QEvent::MouseMove, QPointF(40, 10), tile->mapToGlobal(QPointF(40, 10)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(tile, &move);
    }
};

TEST_F(ReorderTest, EachEntryMovesAtOnceWithOneHapticAndTheDropEndsTheDrag) {
    DockTile* tileA = tileOf(a);
    DockTile* tileB = tileOf(b);
    DockTile* tileC = tileOf(c);
    bool ran = false;
    view->runDrag = [&](QDrag& drag) {
        ran = true;
        EXPECT_EQ(view->dragging().value().id, a.id);
        EXPECT_EQ(drag.mimeData()->text(), a.id.toString(QUuid::WithoutBraces).toUpper())
            << "the item's UUID as plain text";
        EXPECT_TRUE(enter(tileC, drag.mimeData()));
        EXPECT_EQ(order(), "BCA") << "entering the third tile puts the first after it";
        EXPECT_TRUE(enter(tileB, drag.mimeData()));
        EXPECT_EQ(order(), "ABC") << "entering the first tile again brings it back to the front";
        EXPECT_TRUE(drop(tileB, drag.mimeData()));
        EXPECT_FALSE(view->dragging().has_value());
        return Qt::MoveAction;
    };
    pressAndDrag(tileA);
    ASSERT_TRUE(ran);
    EXPECT_EQ(calls.entries, (QStringList{"order BCA", "haptic controls", "order ABC", "haptic controls",
                                          "haptic controls"}));
    // Moved, the tiles are the same widgets in their new places.
    EXPECT_EQ(view->tiles()[0], tileA);
    EXPECT_EQ(view->tiles()[1], tileB);
}

TEST_F(ReorderTest, ADropOnItselfChangesNothingAndClearsTheDrag) {
    DockTile* tileA = tileOf(a);
    view->runDrag = [&](QDrag& drag) {
        EXPECT_TRUE(enter(tileA, drag.mimeData()));
        EXPECT_TRUE(drop(tileA, drag.mimeData()));
        EXPECT_FALSE(view->dragging().has_value());
        return Qt::MoveAction;
    };
    view->startDrag(*tileA);
    EXPECT_EQ(order(), "ABC");
    EXPECT_EQ(calls.entries, QStringList{"haptic controls"}) << "only the drop's";
}

TEST_F(ReorderTest, ACancelledDragClearsTheDraggedItemAndItsFadedLook) {
    DockTile* tileB = tileOf(b);
    QImage during;
    view->runDrag = [&](QDrag&) {
        during = render(*view);
        return Qt::IgnoreAction;
    };
    view->startDrag(*tileB);
    EXPECT_FALSE(view->dragging().has_value());
    const QImage after = render(*view);
    // The dragged tile draws at 0.35 while dragged, at full opacity once the drag ended.
    const QPoint centre = tileB->geometry().center();
    EXPECT_LT(during.pixelColor(centre).alphaF(), after.pixelColor(centre).alphaF() - 0.1);
    EXPECT_TRUE(calls.entries.isEmpty());
}

TEST_F(ReorderTest, OnlyTheDocksOwnDragOfTheDraggedItemReorders) {
    DockTile* tileA = tileOf(a);
    DockTile* tileC = tileOf(c);
    view->runDrag = [&](QDrag&) {
        QMimeData text;
        text.setText(a.id.toString(QUuid::WithoutBraces));
        EXPECT_FALSE(enter(tileC, &text)) << "plain text alone is refused";
        EXPECT_FALSE(drop(tileC, &text));
        QMimeData other;
        other.setData(DockReorderDropDelegate::kMimeType, b.id.toString().toUtf8());
        EXPECT_FALSE(enter(tileC, &other)) << "the Dock's type naming another item is refused";
        EXPECT_TRUE(view->dragging().has_value()) << "a refused drop does not end the drag";
        return Qt::IgnoreAction;
    };
    view->startDrag(*tileA);
    EXPECT_EQ(order(), "ABC");
    EXPECT_TRUE(calls.entries.isEmpty());

    // Without any drag of the Dock's own, even its own type moves nothing.
    std::unique_ptr<QMimeData> stale(DockReorderDropDelegate::mimeData(a));
    EXPECT_FALSE(enter(tileC, stale.get()));
    EXPECT_EQ(order(), "ABC");
}

TEST_F(ReorderTest, RunningShelfAndTrashTilesTakeNoReorderDrag) {
    view->runDrag = [&](QDrag&) { return Qt::IgnoreAction; };
    for (DockTile* tile : view->tiles()) {
        const bool pinned = qobject_cast<DockShortcutButton*>(tile) || qobject_cast<DockSeparatorTile*>(tile);
        EXPECT_EQ(bool(tile->startDrag), pinned) << tile->toolTip().toStdString();
    }
}

} // namespace
