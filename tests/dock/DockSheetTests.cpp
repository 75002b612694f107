#include "dock/DockAppButton.h"
#include "dock/DockShortcutButton.h"
#include "dock/DockTile.h"
#include "dock/TrashDockButton.h"

#include "../kit/KitRender.h"
#include "DockViewFixture.h"

using namespace vantrel;
using namespace vantrel::test;

namespace {

struct DockSheetTest : DockViewFixture {
    std::unique_ptr<FloatingDockView> view;

    void SetUp() override {
        running.applications = {
            app(21, "Mail", "mail.desktop", QColor(40, 140, 250)),
            app(22, "Terminal with a rather long name", "term.desktop", QColor(60, 60, 64)),
            app(23, "Notes", "notes.desktop", QColor(250, 200, 40))};
        running.frontmost = 21;
        workspace.icons[QStringLiteral("/apps/editor.desktop")] = colourIcon(QColor(170, 80, 220));
        workspace.icons[QStringLiteral("/home/user/Docs")] = colourIcon(QColor(90, 160, 230));
        makeStores(
            {item("Editor", DockShortcut::Kind::application, "/apps/editor.desktop"),
             item("Projects", DockShortcut::Kind::folder, "/home/user/Projects", DockFolderColor::orange),
             item("Docs", DockShortcut::Kind::folder, "/home/user/Docs"),
             item("", DockShortcut::Kind::separator),
             item("Example", DockShortcut::Kind::website, "https://example.org")});
        QList<QUrl> files;
        for (int i = 0; i < 3; ++i)
            files.append(QUrl::fromLocalFile(home.writeFile(QStringLiteral("shelf%1.txt").arg(i), "x")));
        shelf.add(files);
        trash.items = {QStringLiteral("old.txt")};
        view = makeView();
        view->trashTile()->refresh();
    }

    DockTile* tileTitled(const QString& tooltip) const {
        for (DockTile* tile : view->tiles())
            if (tile->toolTip() == tooltip) return tile;
        return nullptr;
    }
    static void settle(const DockTile& tile) {
        if (auto* animation = tile.effect().animation()) animation->setCurrentTime(animation->duration());
        if (auto* fade = tile.label().animation()) fade->setCurrentTime(fade->duration());
    }
    QImage hoverShot(DockIconAnimation animation, const QString& tooltip) {
        preferences.setCustomDockIconAnimation(animation);
        DockTile* tile = tileTitled(tooltip);
        tile->setHovering(true);
        settle(*tile);
        const QImage image = renderWidget(*view);
        tile->setHovering(false);
        settle(*tile);
        return image;
    }
};

TEST_F(DockSheetTest, TheRowItsTilesEachHoverEffectAndEditing) {
    QList<QImage> shots;
    const QImage plain = renderWidget(*view);
    shots.append(plain);

    // Probes: the dark surface, the orange folder, the full Trash, the frontmost dot.
    const QRectF surface = view->layout().surface;
    EXPECT_GT(alphaAt(plain, surface.center() + QPointF(0, surface.height() / 2 - 4)), 0.5);
    EXPECT_EQ(alphaAt(plain, QPointF(surface.left() - 3, surface.center().y())), 0) << "a clear margin";
    EXPECT_EQ(alphaAt(plain, QPointF(surface.center().x(), 10)), 0) << "a clear band above";
    const QColor folder = plain.pixelColor(tileTitled("Projects")->geometry().center());
    EXPECT_GT(folder.red(), folder.blue() + 80) << "the orange folder";
    auto* trashTile = view->trashTile();
    EXPECT_FALSE(trashTile->isEmpty());
    auto* mail = qobject_cast<DockAppButton*>(tileTitled("Mail"));
    ASSERT_NE(mail, nullptr);
    const QPointF dot = mail->dotRect().center() + mail->pos();
    EXPECT_GT(plain.pixelColor(dot.toPoint()).lightness(), 200) << "the frontmost application's dot";
    auto* notes = qobject_cast<DockAppButton*>(tileTitled("Notes"));
    EXPECT_LT(plain.pixelColor((notes->dotRect().center() + notes->pos()).toPoint()).lightness(), 120);

    for (const DockIconAnimation animation :
         {DockIconAnimation::lift, DockIconAnimation::magnify, DockIconAnimation::bounce,
          DockIconAnimation::pulse, DockIconAnimation::sway, DockIconAnimation::rise})
        shots.append(hoverShot(animation, "Mail"));
    // The long name in its bubble, elided in the middle, and the largest magnification.
    preferences.setCustomDockMagnificationScale(1.6);
    const QImage magnified = hoverShot(DockIconAnimation::magnify, "Terminal with a rather long name");
    shots.append(magnified);
    DockTile* terminal = tileTitled("Terminal with a rather long name");
    const QPointF above = terminal->pos() + QPointF(terminal->width() / 2.0, -16);
    EXPECT_GT(alphaAt(magnified, above), 0.5) << "the bubble stands in the clear band, unclipped";
    EXPECT_EQ(alphaAt(plain, above), 0);

    for (DockTile* tile : view->tiles())
        if (auto* button = qobject_cast<DockShortcutButton*>(tile)) button->setEditing(true);
    const QImage editing = renderWidget(*view);
    shots.append(editing);
    auto* editor = qobject_cast<DockShortcutButton*>(tileTitled("Editor"));
    const QPoint badge = editor->removeBadge()->geometry().center();
    const QColor red = editing.pixelColor(badge + QPoint(-5, 0));
    EXPECT_GT(red.red(), red.green() + 100) << "the red remove badge";

    const QString path = saveSheet(QStringLiteral("dock-row"), shots, 1);
    EXPECT_TRUE(QFile::exists(path));
}

} // namespace
