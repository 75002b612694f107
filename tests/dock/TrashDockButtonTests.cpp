#include "dock/TrashDockButton.h"
#include "platform/linux/FreedesktopTrash.h"

#include "DockViewFixture.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QPainter>

using namespace vantrel;
using namespace vantrel::test;

namespace {

struct TrashTileTest : DockViewFixture {
    QByteArray oldHome = qgetenv("HOME");
    QByteArray oldData = qgetenv("XDG_DATA_HOME");
    std::unique_ptr<FreedesktopTrash> real;
    std::optional<DockViewContext> context_;
    QWidget host;

    TrashTileTest() {
        QDir().mkpath(home.paths().dataHome);
        qputenv("HOME", home.paths().home.toLocal8Bit());
        qputenv("XDG_DATA_HOME", home.paths().dataHome.toLocal8Bit());
        real = std::make_unique<FreedesktopTrash>(home.paths().dataHome);
        makeStores({});
    }
    ~TrashTileTest() override {
        qputenv("HOME", oldHome);
        qputenv("XDG_DATA_HOME", oldData);
    }
    // The tile over the real home Trash, or over the fake.
    std::unique_ptr<TrashDockButton> tile(bool useReal = true) {
        DockViewContext c = context();
        context_.emplace(DockViewContext{c.store, c.content, c.preferences, c.shelf,
                                         useReal ? static_cast<Trash&>(*real) : static_cast<Trash&>(trash),
                                         c.workspace, c.menus, c.alerts, c.scheduler, c.log, c.trashQueue,
                                         c.quitting, c.controller, c.motion, c.playHaptic, c.openShelf,
                                         c.onContentSizeChange});
        auto button = std::make_unique<TrashDockButton>(*context_, &host);
        button->resize(49, 56);
        return button;
    }
    QString file(const QString& name) {
        return home.writeFile(QStringLiteral("home/Desktop/") + name, "data");
    }
    QString trashed(const QString& name) const {
        return home.paths().dataHome + QStringLiteral("/Trash/files/") + name;
    }
};

TEST_F(TrashTileTest, StartsEmptyReadsTheTrashWhenShownAndEveryFiveSeconds) {
    auto button = tile();
    EXPECT_TRUE(button->isEmpty());
    EXPECT_EQ(button->toolTip(), QString::fromUtf8("Trash \u2014 empty"));
    EXPECT_EQ(button->accessibleName(), "Trash, empty");
    home.writeFile(QStringLiteral("home/.local/share/Trash/files/.directory"), "x");
    EXPECT_TRUE(button->isEmpty()) << "not read before it is shown";
    host.show();
    EXPECT_FALSE(button->isEmpty()) << "a hidden file means full";
    EXPECT_EQ(button->toolTip(), QString::fromUtf8("Trash \u2014 has items"));
    EXPECT_EQ(button->accessibleName(), "Trash, has items");

    // A reading that finds the Trash as it was draws nothing again.
    int redraws = 0;
    QObject::connect(button.get(), &DockTile::needsDisplay, [&redraws] { ++redraws; });
    scheduler.advance(Seconds(15));
    EXPECT_EQ(redraws, 0);
    EXPECT_FALSE(button->isEmpty());

    QDir(home.paths().dataHome + QStringLiteral("/Trash")).removeRecursively();
    scheduler.advance(Seconds(4.9));
    EXPECT_FALSE(button->isEmpty());
    scheduler.advance(Seconds(0.1));
    EXPECT_TRUE(button->isEmpty()) << "no folder is empty";
    EXPECT_EQ(redraws, 1);
    host.hide();
    home.writeFile(QStringLiteral("home/.local/share/Trash/files/a"), "x");
    scheduler.advance(Seconds(10));
    EXPECT_TRUE(button->isEmpty()) << "no polling while hidden";
}

TEST_F(TrashTileTest, DropsMoveEachFileButNeverTheTrashAndSucceedOnlyWhenAllMoved) {
    auto button = tile();
    EXPECT_TRUE(button->drop({})) << "nothing dropped: nothing to fail";
    QDir().mkpath(real->filesFolder());
    EXPECT_FALSE(button->drop({real->filesFolder() + QStringLiteral("/")})) << "the Trash itself";
    EXPECT_TRUE(calls.entries.isEmpty()) << "no haptic when nothing moved";

    const QString kept = file(QStringLiteral("notes.txt"));
    const QString vanished = home.paths().home + QStringLiteral("/Desktop/gone.txt");
    EXPECT_FALSE(button->drop({vanished, kept}));
    EXPECT_FALSE(QFileInfo::exists(kept));
    EXPECT_TRUE(QFileInfo::exists(trashed(QStringLiteral("notes.txt"))));
    const QByteArray info =
        home.readFile(home.paths().dataHome + QStringLiteral("/Trash/info/notes.txt.trashinfo"));
    EXPECT_TRUE(info.contains("Path=" + QFile::encodeName(kept))) << "the info file names the original";
    EXPECT_EQ(calls.entries, QStringList{"haptic dock"});
    EXPECT_FALSE(button->isEmpty()) << "read again at once";
    ASSERT_FALSE(log.lines().empty()) << "the vanished file, logged";
    EXPECT_EQ(log.lines().back().subsystem, "com.vantrel.mac");
    EXPECT_EQ(log.lines().back().category, "Dock");
    EXPECT_TRUE(log.lines().back().message.startsWith("Could not move an item to the Trash: "));

    // A drop event of file addresses is the same drop.
    host.show();
    const QString second = file(QStringLiteral("b.txt"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(second)});
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    // The platform delivers a drop to the widget that accepted the drag's entry.
    QDragEnterEvent entered(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                            Qt::NoModifier);
    QCoreApplication::sendEvent(button.get(), &entered);
    EXPECT_TRUE(entered.isAccepted());
    QCoreApplication::sendEvent(button.get(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_TRUE(QFileInfo::exists(trashed(QStringLiteral("b.txt"))));
    QMimeData text;
    text.setText(QStringLiteral("/etc/passwd"));
    QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction, &text, Qt::LeftButton, Qt::NoModifier);
    enter.ignore();
    QCoreApplication::sendEvent(button.get(), &enter);
    EXPECT_FALSE(enter.isAccepted()) << "only file addresses";
}

TEST_F(TrashTileTest, EmptyingAsksFirstThenRunsOnTheWorkerWhileTheMenuSaysSo) {
    auto button = tile();
    host.show();
    EXPECT_FALSE(button->menu().items()[1].enabled) << "\"Empty Trash…\" is disabled while empty";
    ASSERT_TRUE(button->drop({file(QStringLiteral("a.txt"))}));
    const DockMenu menu = button->menu();
    EXPECT_EQ(menu.describe(), (QStringList{"Open Trash", QString::fromUtf8("Empty Trash\u2026")}));

    alerts.answer = 1;
    menu.choose(1);
    ASSERT_EQ(alerts.requests.size(), 1u);
    EXPECT_EQ(alerts.requests[0].messageText, "Permanently delete the items in the Trash?");
    EXPECT_EQ(alerts.requests[0].buttons, (QStringList{"Empty Trash", "Cancel"}));
    EXPECT_TRUE(QFileInfo::exists(trashed(QStringLiteral("a.txt")))) << "Cancel keeps everything";
    EXPECT_FALSE(button->isEmpty());
    alerts.answer.reset();
    menu.choose(1);
    EXPECT_TRUE(QFileInfo::exists(trashed(QStringLiteral("a.txt")))) << "closed without an answer: kept";

    alerts.answer = 0;
    menu.choose(1);
    EXPECT_TRUE(QFileInfo::exists(trashed(QStringLiteral("a.txt")))) << "nothing deleted on the main thread";
    EXPECT_EQ(trashQueue.pendingCount(), 1u);
    EXPECT_EQ(
        button->menu().describe(),
        (QStringList{"Open Trash", QString::fromUtf8("Empty Trash\u2026 (disabled)"),
                     QString::fromUtf8("\u2014"), QString::fromUtf8("Emptying the Trash\u2026 (disabled)")}));
    menu.choose(1);
    EXPECT_EQ(alerts.requests.size(), 3u) << "not asked again while emptying";
    EXPECT_EQ(trashQueue.pendingCount(), 1u);
    trashQueue.drain();
    EXPECT_FALSE(QFileInfo::exists(trashed(QStringLiteral("a.txt"))));
    EXPECT_TRUE(button->isEmpty()) << "as soon as the worker answers, not at the next tick";
    EXPECT_EQ(button->menu().describe(),
              (QStringList{"Open Trash", QString::fromUtf8("Empty Trash\u2026 (disabled)")}));
}

TEST_F(TrashTileTest, AFailedEmptyIsLoggedAndTheTileStillReadsTheTrash) {
    auto button = tile(false);
    trash.items = {QStringLiteral("x")};
    trash.emptyFails = true;
    button->refresh();
    alerts.answer = 0;
    button->emptyTrash();
    trashQueue.drain();
    EXPECT_EQ(calls.entries,
              (QStringList{"alert Permanently delete the items in the Trash?", "trash.empty"}));
    ASSERT_FALSE(log.messages(QStringLiteral("Dock")).isEmpty());
    EXPECT_TRUE(log.messages(QStringLiteral("Dock")).last().contains("busy"));
    EXPECT_FALSE(button->isEmpty());
    EXPECT_EQ(button->menu().describe(), (QStringList{"Open Trash", QString::fromUtf8("Empty Trash\u2026"),
                                                      QString::fromUtf8("\u2014"), "busy (disabled)"}))
        << "what stayed is told at the foot of the menu";
    trash.items.clear();
    trash.emptyFails = false;
    button->emptyTrash();
    trashQueue.drain();
    EXPECT_TRUE(button->isEmpty()) << "read again after the attempt";
    EXPECT_EQ(button->menu().describe(),
              (QStringList{"Open Trash", QString::fromUtf8("Empty Trash\u2026 (disabled)")}))
        << "an emptying that succeeds clears it";

    // A tile gone before its emptying ends: the Trash is emptied all the same, the answer dropped.
    trash.items = {QStringLiteral("y")};
    button->refresh();
    button->emptyTrash();
    button.reset();
    trashQueue.drain();
    EXPECT_TRUE(trash.items.isEmpty());
}

TEST_F(TrashTileTest, ATrashThatCannotBeReadSaysSoInTheMenu) {
    auto button = tile();
    const QString files = real->filesFolder();
    home.writeFile(QStringLiteral("home/.local/share/Trash/files"), "not a folder");
    host.show();
    EXPECT_TRUE(button->isEmpty());
    const QString unreadable =
        QString::fromUtf8("The Trash\u2019s \u201cfiles\u201d folder could not be read.");
    EXPECT_EQ(button->menu().describe(),
              (QStringList{"Open Trash", QString::fromUtf8("Empty Trash\u2026 (disabled)"),
                           QString::fromUtf8("\u2014"), unreadable + " (disabled)"}));
    QFile::remove(files);
    ASSERT_TRUE(QFile::link(home.paths().home, files));
    scheduler.advance(Seconds(5));
    EXPECT_EQ(button->menu().describe().last(),
              QString::fromUtf8("The Trash\u2019s \u201cfiles\u201d folder is a symbolic link. (disabled)"));
    QFile::remove(files);
    scheduler.advance(Seconds(5));
    EXPECT_EQ(button->menu().describe().size(), 2) << "no Trash yet is no failure";
}

TEST_F(TrashTileTest, ARefusedEmptyOfTheRealTrashIsToldInTheMenuAndKeepsEverything) {
    auto button = tile();
    host.show();
    ASSERT_TRUE(button->drop({file(QStringLiteral("a.txt"))}));
    const QString info = home.paths().dataHome + QStringLiteral("/Trash/info");
    const QString elsewhere = home.paths().home + QStringLiteral("/Notes");
    ASSERT_TRUE(QDir().rename(info, elsewhere));
    ASSERT_TRUE(QFile::link(elsewhere, info));
    alerts.answer = 0;
    button->menu().choose(1);
    trashQueue.drain();
    EXPECT_TRUE(QFileInfo::exists(elsewhere + QStringLiteral("/a.txt.trashinfo")));
    EXPECT_TRUE(QFileInfo::exists(trashed(QStringLiteral("a.txt"))));
    EXPECT_FALSE(button->isEmpty());
    const QString status = QString::fromUtf8(
        "The Trash\u2019s \u201cinfo\u201d folder is a symbolic link; nothing was deleted.");
    EXPECT_EQ(button->status(), status);
    EXPECT_EQ(button->menu().describe().last(), status + " (disabled)");
    EXPECT_TRUE(log.messages(QStringLiteral("Dock")).last().endsWith(status));
}

// The tile drawn with room around it, so that ink outside the tile would show.
QImage renderWithMargin(const TrashDockButton& button, int margin) {
    QImage image(button.width() + 2 * margin, button.height() + 2 * margin,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(margin, margin);
    button.paintTile(painter);
    painter.end();
    return image;
}

// The box of the pixels whose alpha passes `threshold`.
QRect inkBox(const QImage& image, int threshold) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > threshold) box |= QRect(x, y, 1, 1);
    return box;
}

TEST_F(TrashTileTest, TheEmptyAndTheFullCanAreDrawnInsideTheTile) {
    auto button = tile(false);
    const int margin = 30;
    for (const bool full : {false, true}) {
        SCOPED_TRACE(full ? "full" : "empty");
        trash.items = full ? QStringList{QStringLiteral("x")} : QStringList{};
        button->refresh();
        ASSERT_EQ(button->isEmpty(), !full);
        const QImage image = renderWithMargin(*button, margin);
        // For a look: over the Dock's dark glass, six times the size.
        QImage sheet(image.size(), QImage::Format_ARGB32_Premultiplied);
        sheet.fill(QColor(40, 40, 48));
        QPainter(&sheet).drawImage(0, 0, image);
        sheet.scaled(image.size() * 6)
            .save(QDir::tempPath() +
                  QStringLiteral("/vantrel-trash-tile-%1.png").arg(full ? "full" : "empty"));
        // The 44-point square stands at (2.5, 6) in the 49 by 56 tile.
        const QRect square = inkBox(image, 0).translated(-margin, -margin);
        EXPECT_EQ(square, QRect(2, 6, 45, 44)) << "all ink is the square's or within it";
        // The can: 62 % of 44 points, about 27, centred on the square (24.5, 28).
        const QRect can = inkBox(image, 40).translated(-margin, -margin);
        ASSERT_FALSE(can.isEmpty());
        EXPECT_TRUE(QRect(10, 14, 29, 28).contains(can))
            << can.x() << "," << can.y() << " " << can.width() << "x" << can.height();
        EXPECT_GT(can.height(), 20);
        EXPECT_NEAR(QRectF(can).center().x(), 24.5, 2.0);
        EXPECT_NEAR(QRectF(can).center().y(), 28, 2.0);
    }
}

TEST_F(TrashTileTest, OpensTheDesktopsTrashViewElseItsFolder) {
    auto button = tile();
    button->activate();
    ASSERT_EQ(workspace.opened.size(), 1u);
    EXPECT_EQ(workspace.opened[0], QUrl("trash:///"));
    workspace.openSucceeds = false;
    button->menu().choose(0);
    ASSERT_EQ(workspace.opened.size(), 3u);
    EXPECT_EQ(workspace.opened[2], QUrl::fromLocalFile(real->filesFolder()));
}

} // namespace
