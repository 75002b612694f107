#include "dock/DockAppButton.h"
#include "dock/DockSeparatorTile.h"
#include "dock/DockShortcutButton.h"
#include "dock/FileShelfDockButton.h"

#include "DockViewFixture.h"
#include "platform/linux/LinuxWorkspace.h"
#include "support/ContactSheet.h"

#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QIconEngine>
#include <QVariantAnimation>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QString kEllipsis = QString::fromUtf8("Force Quit\u2026");
const QString kDivider = QString::fromUtf8("\u2014");

// A tile as it paints itself, on a clear 49 x 56 sheet.
template <class Tile> QImage painted(const Tile& tile) {
    QImage image(49, 56, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    tile.paintTile(painter);
    painter.end();
    return image;
}

struct DockTilesTest : DockViewFixture {
    std::optional<DockViewContext> context_;
    std::unique_ptr<QWidget> host = std::make_unique<QWidget>();

    void build(const std::vector<DockShortcut>& pinned) {
        makeStores(pinned);
        context_.emplace(context());
    }
    const DockViewContext& ctx() const { return *context_; }
    RunningAppItem appItem(qint32 pid, const QString& name, bool hidden, std::optional<QString> bundle,
                           bool verified = true) {
        return {pid,
                name,
                colourIcon(Qt::darkGreen),
                bundle ? QStringLiteral("x.desktop") : QString(),
                bundle,
                false,
                hidden,
                verified};
    }
    QStringList appMenu(const RunningAppItem& app) {
        return DockAppButton::menuFor(app, *store, *content, workspace).describe();
    }
    QStringList shortcutMenu(const DockShortcut& item) {
        return DockShortcutButton::menuFor(item, *content, *store, workspace, {}).describe();
    }
};

TEST_F(DockTilesTest, RunningApplicationMenusForHiddenVisibleAndBundlelessApps) {
    build({});
    const RunningAppItem hidden = appItem(42, "Mail", true, QStringLiteral("/apps/mail.desktop"));
    EXPECT_EQ(appMenu(hidden), (QStringList{"Show", "Hide (disabled)", kDivider, "Quit", kEllipsis, kDivider,
                                            "Keep in Vantrel Dock", "Show in Finder"}));
    EXPECT_EQ(appMenu(appItem(43, "Term", false, std::nullopt)),
              (QStringList{"Open", "Hide", kDivider, "Quit", kEllipsis, kDivider,
                           "Keep in Vantrel Dock (disabled)", "Show in Finder (disabled)"}));
    // A process that only its windows name is never offered to be killed; Quit still closes them.
    EXPECT_EQ(appMenu(appItem(45, "Forged", false, std::nullopt, false)),
              (QStringList{"Open", "Hide", kDivider, "Quit", kEllipsis + " (disabled)", kDivider,
                           "Keep in Vantrel Dock (disabled)", "Show in Finder (disabled)"}));

    // Shown through the presenter at the pointer; each entry does what it says.
    DockAppButton tile(hidden, ctx(), host.get());
    tile.resize(49, 56);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(305, 405));
    QCoreApplication::sendEvent(&tile, &event);
    ASSERT_EQ(menus.requests().size(), 1u);
    EXPECT_EQ(menus.requests()[0].position, QPoint(305, 405));
    EXPECT_EQ(menus.requests()[0].disabled, QList<int>{1});
    EXPECT_EQ(menus.requests()[0].dividersBefore, (QList<int>{2, 4}));
    EXPECT_FALSE(menus.choose(QStringLiteral("Hide"))) << "disabled";
    EXPECT_TRUE(menus.choose(QStringLiteral("Show")));
    QCoreApplication::sendEvent(&tile, &event);
    EXPECT_TRUE(menus.choose(QStringLiteral("Show in Finder")));
    QCoreApplication::sendEvent(&tile, &event);
    EXPECT_TRUE(menus.choose(QStringLiteral("Keep in Vantrel Dock")));
    QCoreApplication::sendEvent(&tile, &event);
    EXPECT_TRUE(menus.choose(QStringLiteral("Quit")));
    EXPECT_EQ(running.requests, (QStringList{"activate 42", "terminate 42"}));
    EXPECT_EQ(workspace.revealed, QStringList{"/apps/mail.desktop"});

    // Visible: Hide hides, then re-reads which application is frontmost.
    DockAppButton visible(appItem(44, "Web", false, QStringLiteral("/apps/web.desktop")), ctx(), host.get());
    int refreshes = 0;
    QObject::connect(store.get(), &RunningAppsStore::appsChanged, [&] { ++refreshes; });
    visible.menu().choose(1);
    EXPECT_EQ(running.requests.last(), "hide 44");
    EXPECT_EQ(refreshes, 1);
    visible.activate();
    EXPECT_EQ(running.requests.last(), "activate 44");
}

TEST_F(DockTilesTest, PinnedMenusByKindAndWhetherTheApplicationRuns) {
    running.identifiers[QStringLiteral("/apps/editor.desktop")] = QStringLiteral("editor.desktop");
    running.applications = {app(7, "Editor", "editor.desktop")};
    const DockShortcut editor = item("Editor", DockShortcut::Kind::application, "/apps/editor.desktop");
    const DockShortcut idle = item("Idle", DockShortcut::Kind::application, "/apps/idle.desktop");
    const DockShortcut site = item("Site", DockShortcut::Kind::website, "https://example.org");
    const DockShortcut folder = item("Docs", DockShortcut::Kind::folder, "/home/user/Docs");
    build({editor, idle, site, folder});
    const QStringList tail{"Move Left", "Move Right", kDivider, "Remove from Vantrel Dock"};
    EXPECT_EQ(shortcutMenu(editor), (QStringList{"Open", "Bring All Windows to Front", "Hide", kDivider,
                                                 "Quit", kEllipsis, "Show in Finder", kDivider} +
                                     tail));
    EXPECT_EQ(shortcutMenu(idle), (QStringList{"Open", "Show in Finder", kDivider} + tail));
    EXPECT_EQ(shortcutMenu(site), (QStringList{"Open"} + tail));
    EXPECT_EQ(
        shortcutMenu(folder),
        (QStringList{"Open",
                     "Colour \u25b8 Default \u2713, Red, Orange, Yellow, Green, Blue, Purple, Pink, Graphite",
                     "Show in Finder", kDivider} +
         tail));

    // A hidden running application: "Show", and "Hide" disabled.
    running.applications[0].isHidden = true;
    store->refresh();
    EXPECT_EQ(shortcutMenu(editor).mid(1, 2), (QStringList{"Show", "Hide (disabled)"}));

    // Force Quit asks first, then ends it.
    alerts.answer = 0;
    const DockMenu menu = DockShortcutButton::menuFor(editor, *content, *store, workspace, {});
    menu.choose(int(menu.request(nullptr, std::nullopt).items.indexOf(kEllipsis)));
    EXPECT_EQ(running.requests.last(), "forceTerminate 7");
    EXPECT_EQ(alerts.requests.size(), 1u);
    running.applications[0].processVerified = false;
    store->refresh();
    EXPECT_EQ(shortcutMenu(editor).mid(4, 2), (QStringList{"Quit", kEllipsis + " (disabled)"}));

    // A kill that failed is told in both tiles' menus.
    running.applications[0].processVerified = true;
    running.forceTerminateSucceeds = false;
    store->refresh();
    menu.choose(int(menu.request(nullptr, std::nullopt).items.indexOf(kEllipsis)));
    const QString failed = QStringLiteral("Editor could not be force quit.");
    EXPECT_EQ(shortcutMenu(editor).mid(4, 3), (QStringList{"Quit", kEllipsis, failed + " (disabled)"}));
    EXPECT_EQ(appMenu(store->apps().front()).mid(8), (QStringList{kDivider, failed + " (disabled)"}));
}

TEST_F(DockTilesTest, MoveAndRemoveEntriesAndShowInFinderOfAShortcut) {
    const DockShortcut a = item("A", DockShortcut::Kind::folder, "/srv/a");
    const DockShortcut b = item("B", DockShortcut::Kind::website, "https://b.example");
    build({a, b});
    const auto titles = [this] {
        QStringList list;
        for (const auto& i : content->items()) list.append(i.title);
        return list;
    };
    const auto choose = [&](const DockShortcut& target, const QString& title) {
        const DockMenu menu = DockShortcutButton::menuFor(target, *content, *store, workspace, {});
        const int index = int(menu.request(nullptr, std::nullopt).items.indexOf(title));
        ASSERT_GE(index, 0) << title.toStdString();
        menu.choose(index);
    };
    choose(a, "Move Left");
    EXPECT_EQ(titles(), (QStringList{"A", "B"}));
    choose(a, "Move Right");
    EXPECT_EQ(titles(), (QStringList{"B", "A"}));
    choose(a, "Show in Finder");
    EXPECT_EQ(workspace.revealed, QStringList{"/srv/a"});
    choose(b, "Remove from Vantrel Dock");
    EXPECT_EQ(titles(), QStringList{"A"});
}

TEST_F(DockTilesTest, EditingOpensNothingOnTapTheBadgeRemovesAndOpenStillOpens) {
    const DockShortcut site = item("Site", DockShortcut::Kind::website, "https://example.org");
    build({site});
    DockShortcutButton tile(site, ctx(), host.get());
    tile.resize(49, 56);
    tile.activate();
    ASSERT_EQ(workspace.opened.size(), 1u) << "a tap opens while not editing";
    tile.setEditing(true);
    EXPECT_FALSE(tile.removeBadge()->isHidden());
    EXPECT_EQ(tile.removeBadge()->toolTip(), "Remove Site from Vantrel Dock");
    EXPECT_EQ(tile.badgeRect(), QRectF(24.5 - 10 + 5, -8, 20, 20)) << "5 right of the top centre and 6 up";
    tile.activate();
    EXPECT_EQ(workspace.opened.size(), 1u) << "editing: the tap opens nothing";
    tile.setHovering(true);
    EXPECT_TRUE(tile.label().text().isEmpty()) << "the badge stands where the bubble would";
    tile.menu().choose(0);
    EXPECT_EQ(workspace.opened.size(), 2u) << "Open in the menu still opens";
    tile.removeBadge()->click();
    EXPECT_TRUE(content->items().empty());
    tile.setEditing(false);
    EXPECT_TRUE(tile.removeBadge()->isHidden());
    EXPECT_EQ(tile.label().text(), "Site");
}

TEST_F(DockTilesTest, TilesKeepOneHeightWithAndWithoutTheDot) {
    build({});
    RunningAppItem active = appItem(1, "Front", false, std::nullopt);
    active.isActive = true;
    DockAppButton front(active, ctx(), host.get());
    DockAppButton back(appItem(2, "Back", false, std::nullopt), ctx(), host.get());
    for (DockAppButton* tile : {&front, &back}) tile->resize(int(tile->tileWidth()), 56);
    EXPECT_EQ(front.iconRect(), back.iconRect());
    EXPECT_EQ(front.iconRect(), QRectF(2.5, 2.25, 44, 44)) << "icon, 4 points, 3.5-point dot, centred in 56";
    EXPECT_EQ(front.dotRect(), QRectF(22.75, 50.25, 3.5, 3.5));
    EXPECT_TRUE(front.showsDot());
    EXPECT_FALSE(back.showsDot());
    const auto dotAlpha = [](const DockAppButton& tile) { return painted(tile).pixelColor(24, 52).alpha(); };
    EXPECT_GT(dotAlpha(front), 200);
    EXPECT_EQ(dotAlpha(back), 0);
    preferences.setCustomDockShowIndicators(false);
    EXPECT_FALSE(front.showsDot());
    EXPECT_EQ(dotAlpha(front), 0);
    EXPECT_EQ(front.iconRect(), back.iconRect()) << "a clear space keeps the height";
    EXPECT_EQ(front.toolTip(), "Front");
    EXPECT_EQ(front.accessibleName(), "Front");
}

TEST_F(DockTilesTest, FolderIconsAndTheColourSubmenuWithItsHaptic) {
    const DockShortcut plain = item("Docs", DockShortcut::Kind::folder, "/home/user/Docs");
    const DockShortcut taggedNone =
        item("Old", DockShortcut::Kind::folder, "/home/user/Old", DockFolderColor::none);
    const DockShortcut site = item("Site", DockShortcut::Kind::website, "https://example.org");
    workspace.icons[QStringLiteral("/home/user/Docs")] = colourIcon(QColor(90, 160, 230));
    workspace.icons[QStringLiteral("/home/user/Old")] = colourIcon(QColor(90, 160, 230));
    build({plain, taggedNone, site});
    DockShortcutButton folderTile(plain, ctx(), host.get());
    EXPECT_EQ(folderTile.iconRule(), DockShortcutButton::IconRule::fileIcon);
    EXPECT_EQ(DockShortcutButton(taggedNone, ctx(), host.get()).iconRule(),
              DockShortcutButton::IconRule::fileIcon)
        << "a folder stored with the tag none shows the folder icon, not the web placeholder";
    EXPECT_EQ(DockShortcutButton(site, ctx(), host.get()).iconRule(),
              DockShortcutButton::IconRule::placeholder);

    folderTile.resize(49, 56);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
    QCoreApplication::sendEvent(&folderTile, &event);
    ASSERT_EQ(menus.requests().size(), 1u);
    const auto& request = menus.requests()[0];
    ASSERT_TRUE(request.submenu.has_value());
    EXPECT_EQ(request.submenu->title, "Colour");
    EXPECT_EQ(request.submenu->checked, 0) << "Default";
    EXPECT_EQ(request.submenuBefore, 1);
    EXPECT_TRUE(menus.choose(QStringLiteral("Blue")));
    EXPECT_EQ(content->items()[0].folderColor, DockFolderColor::blue);
    EXPECT_EQ(calls.entries.filter("haptic"), QStringList{"haptic dock"});

    folderTile.setItem(content->items()[0]);
    EXPECT_EQ(folderTile.iconRule(), DockShortcutButton::IconRule::coloredFolder);
    const QImage image = painted(folderTile);
    // The filled folder in blue at 82 % of the icon: about 36 points wide, centred.
    const QColor centre = image.pixelColor(24, 30);
    EXPECT_GT(centre.blue(), centre.red() + 60);
    EXPECT_EQ(image.pixelColor(4, 28).alpha(), 0) << "nothing outside the 82 % box";
    EXPECT_GT(image.pixelColor(12, 30).alpha(), 0);
}

TEST_F(DockTilesTest, AnApplicationTileShowsItsEntryIconElseItsWindowsElseTheGenericOneNeverTheGlobe) {
    // An entry whose icon exists only as SVG, read as the desktop's workspace reads it.
    const QString svg = home.writeFile(
        QStringLiteral("icons/red.svg"),
        R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16"><rect width="16" height="16" fill="#ff0000"/></svg>)");
    const QString svgEntry =
        home.writeFile(QStringLiteral("applications/svg.desktop"),
                       "[Desktop Entry]\nType=Application\nName=Svg\nExec=true\nIcon=" + svg.toUtf8() + "\n");
    LinuxWorkspace desktop(log);
    workspace.icons[svgEntry] = desktop.iconForFile(svgEntry);
    // Entries whose icons cannot be loaded: one whose program runs with a green window icon, one idle.
    running.identifiers[QStringLiteral("/apps/xterm.desktop")] = QStringLiteral("xterm.desktop");
    running.applications = {app(7, "XTerm", "xterm.desktop", QColor(40, 180, 60))};
    const DockShortcut drawn = item("Svg", DockShortcut::Kind::application, svgEntry);
    const DockShortcut xterm = item("XTerm", DockShortcut::Kind::application, "/apps/xterm.desktop");
    const DockShortcut idle = item("Idle", DockShortcut::Kind::application, "/apps/idle.desktop");
    build({drawn, xterm, idle});
    const auto render = [](DockShortcutButton& tile) {
        tile.resize(49, 56);
        return painted(tile);
    };
    const auto paint = [&](const DockShortcut& shortcut) {
        DockShortcutButton tile(shortcut, ctx(), host.get());
        return render(tile);
    };
    const auto isGlobeBlue = [](const QColor& c) { return c.alpha() > 200 && c.blue() > c.red() + 60; };
    const QImage svgTile = paint(drawn);
    const QImage windowTile = paint(xterm);
    const QImage genericTile = paint(idle);
    saveContactSheet({{"svg entry", svgTile}, {"window icon", windowTile}, {"generic", genericTile}},
                     VANTREL_BINARY_DIR "/renders/dock-application-tiles.png");

    // The icon stands at (2.5, 6), 44 points square: probe its centre and a point near its corner.
    EXPECT_EQ(svgTile.pixelColor(24, 28), QColor(255, 0, 0)) << "the SVG, drawn";
    EXPECT_EQ(svgTile.pixelColor(8, 12), QColor(255, 0, 0));
    EXPECT_EQ(windowTile.pixelColor(12, 20), QColor(40, 180, 60)) << "the running window's icon";
    for (const QPoint probe : {QPoint(8, 12), QPoint(24, 28), QPoint(12, 20)})
        EXPECT_FALSE(isGlobeBlue(genericTile.pixelColor(probe))) << "the generic icon, not the globe";
    EXPECT_GT(genericTile.pixelColor(24, 28).alpha(), 0) << "something is drawn";

    // The idle application starts: its tile takes up the window's icon.
    DockShortcutButton idleTile(idle, ctx(), host.get());
    running.identifiers[QStringLiteral("/apps/idle.desktop")] = QStringLiteral("idle.desktop");
    running.applications.push_back(app(8, "Idle", "idle.desktop", QColor(40, 180, 60)));
    store->refresh();
    EXPECT_EQ(render(idleTile).pixelColor(12, 20), QColor(40, 180, 60));
}

TEST_F(DockTilesTest, AFolderIsDrawnAsAFolderWhateverTheThemeAndATileFollowsAThemeChange) {
    // The desktop names a theme that is not installed; hicolor holds no folder.
    const QString icons = home.root() + QStringLiteral("/icons");
    home.writeFile(QStringLiteral("icons/hicolor/index.theme"),
                   "[Icon Theme]\nName=Hicolor\nDirectories=48x48/apps\n\n[48x48/apps]\nSize=48\n");
    const QStringList paths = QIcon::themeSearchPaths(), loose = QIcon::fallbackSearchPaths();
    const QString named = QIcon::themeName(), fallback = QIcon::fallbackThemeName();
    QIcon::setThemeSearchPaths({icons});
    QIcon::setFallbackSearchPaths({});
    QIcon::setFallbackThemeName(QStringLiteral("hicolor"));
    QIcon::setThemeName(QStringLiteral("Tango"));
    const QString folder = home.root() + QStringLiteral("/Projects");
    QDir().mkpath(folder);
    // The desktop's own icons, handed on as the recording workspace's whenever they change.
    LinuxWorkspace desktop(log);
    workspace.icons[folder] = desktop.iconForFile(folder);
    QObject::connect(&desktop, &Workspace::iconsChanged, &workspace, [&] {
        workspace.icons[folder] = desktop.iconForFile(folder);
        Q_EMIT workspace.iconsChanged();
    });
    const DockShortcut pinned = item("Projects", DockShortcut::Kind::folder, folder);
    build({pinned});
    DockShortcutButton tile(pinned, ctx(), host.get());
    tile.resize(49, 56);
    const auto render = [&tile] { return painted(tile); };
    const QImage toolkit = render();
    const DockShortcutButton::IconRule before = tile.iconRule();

    // The theme changes live to one that holds a folder, a green one.
    home.writeFile(QStringLiteral("icons/green/index.theme"),
                   "[Icon Theme]\nName=Green\nDirectories=48x48/places\n\n[48x48/places]\nSize=48\n");
    QImage green(48, 48, QImage::Format_ARGB32);
    green.fill(QColor(40, 180, 60));
    QDir().mkpath(icons + QStringLiteral("/green/48x48/places"));
    EXPECT_TRUE(green.save(icons + QStringLiteral("/green/48x48/places/folder.png")));
    QIcon::setThemeName(QStringLiteral("green"));
    QEvent change(QEvent::ThemeChange);
    QCoreApplication::sendEvent(host.get(), &change);
    QCoreApplication::processEvents();
    const QImage themed = render();
    saveContactSheet({{"theme not installed", toolkit}, {"after a theme change", themed}},
                     VANTREL_BINARY_DIR "/renders/dock-folder-tiles.png");
    QIcon::setThemeSearchPaths(paths);
    QIcon::setFallbackSearchPaths(loose);
    QIcon::setFallbackThemeName(fallback);
    QIcon::setThemeName(named);

    EXPECT_EQ(before, DockShortcutButton::IconRule::fileIcon) << "a folder's icon, not the globe";
    EXPECT_GT(toolkit.pixelColor(24, 28).alpha(), 0) << "the toolkit's own folder is drawn";
    EXPECT_EQ(themed.pixelColor(24, 28), QColor(40, 180, 60)) << "the new theme's folder, without a restart";

    // A running application's icon is fetched again too.
    running.applications = {app(9, "Viewer", "viewer.desktop", QColor(200, 30, 30))};
    store->refresh();
    running.applications.front().icon = app(9, "Viewer", "viewer.desktop", QColor(30, 30, 200)).icon;
    store->refresh();
    const auto colour = [this] {
        return store->apps().front().icon.pixmap(128, 128).toImage().pixelColor(20, 20);
    };
    EXPECT_EQ(colour(), QColor(200, 30, 30)) << "kept";
    Q_EMIT running.iconsChanged();
    EXPECT_EQ(colour(), QColor(30, 30, 200));
}

TEST_F(DockTilesTest, AWebsiteShowsAWhiteGlobeCentredOnItsBlueSquare) {
    const DockShortcut site = item("Site", DockShortcut::Kind::website, "https://example.org");
    build({site});
    DockShortcutButton tile(site, ctx(), host.get());
    tile.resize(49, 56);
    const QImage image = painted(tile);
    // The 44-point icon stands at (2.5, 6); the globe's box is 46 % of it, about 20 points, and
    // its outer ring fills nine tenths of that box.
    const QColor corner = image.pixelColor(8, 12);
    EXPECT_GT(corner.blue(), corner.red() + 100) << "the blue square";
    QRect white;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 150 && c.green() > 150 && c.blue() > 150) white |= QRect(x, y, 1, 1);
        }
    ASSERT_FALSE(white.isEmpty());
    EXPECT_NEAR(white.width(), 18, 2);
    EXPECT_NEAR(white.height(), 18, 2);
    EXPECT_NEAR(QRectF(white).center().x(), 24.5, 1.0);
    EXPECT_NEAR(QRectF(white).center().y(), 28, 1.0);
}

TEST_F(DockTilesTest, TheShelfBadgeAndLabelAt0And1And10Files) {
    build({});
    FileShelfDockButton tile(ctx(), host.get());
    tile.resize(49, 56);
    EXPECT_EQ(tile.toolTip(), "Temporary File Shelf");
    EXPECT_EQ(tile.accessibleName(), "Temporary File Shelf, 0 items");
    EXPECT_TRUE(tile.badgeRect().isEmpty());
    const auto addFile = [this](int n) {
        return QUrl::fromLocalFile(home.writeFile(QStringLiteral("f%1.txt").arg(n), "x"));
    };
    shelf.add({addFile(0)});
    EXPECT_EQ(tile.accessibleName(), "Temporary File Shelf, 1 item");
    EXPECT_FALSE(tile.badgeRect().isEmpty());
    EXPECT_EQ(tile.badgeRect().right(), tile.iconRect().right() + 5) << "5 right";
    EXPECT_EQ(tile.badgeRect().top(), tile.iconRect().top() - 5) << "5 up";
    QList<QUrl> more;
    for (int i = 1; i < 10; ++i) more.append(addFile(i));
    shelf.add(more);
    EXPECT_EQ(tile.count(), 10);
    EXPECT_EQ(tile.accessibleName(), "Temporary File Shelf, 10 items");
    EXPECT_GT(tile.badgeRect().width(), 0);
    EXPECT_EQ(FileShelfDockButton::accessibleText(12), "Temporary File Shelf, 12 items");
    // A click runs the Dock's action; no menu, no drops, no bubble.
    tile.activate();
    EXPECT_EQ(calls.entries, QStringList{"openShelf"});
    EXPECT_TRUE(tile.menu().items().isEmpty());
    EXPECT_FALSE(tile.acceptDrops());
    tile.setHovering(true);
    EXPECT_TRUE(tile.label().text().isEmpty());
}

TEST_F(DockTilesTest, TheSeparatorTileItsFrameFadeAndRemoveMenu) {
    const DockShortcut separator = item("", DockShortcut::Kind::separator);
    build({separator});
    DockSeparatorTile tile(separator, ctx(), host.get());
    tile.resize(13, 56);
    EXPECT_EQ(tile.tileWidth(), 13);
    EXPECT_EQ(tile.capsuleRect(), QRectF(5.5, (56 - 0.62 * 44) / 2, 2, 0.62 * 44));
    EXPECT_EQ(tile.toolTip(), QString::fromUtf8("Separator \u2014 drag to reposition"));
    EXPECT_EQ(tile.accessibleName(), "Dock separator");
    EXPECT_EQ(tile.fillOpacity(), 0.18);
    QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
    QCoreApplication::sendEvent(&tile, &enter);
    ASSERT_NE(tile.fillAnimation(), nullptr);
    EXPECT_EQ(tile.fillAnimation()->duration(), 120);
    tile.fillAnimation()->setCurrentTime(120);
    EXPECT_DOUBLE_EQ(tile.fillOpacity(), 0.34);
    EXPECT_EQ(tile.menu().describe(), QStringList{"Remove Separator"});
    tile.menu().choose(0);
    EXPECT_TRUE(content->items().empty());
}

TEST_F(DockTilesTest, TheRemoveBadgeCastsABlackShadowOfHalfOpacityAndRadiusTwoAllRound) {
    const DockShortcut site = item("Site", DockShortcut::Kind::website, "https://example.org");
    build({site});
    DockShortcutButton tile(site, ctx(), host.get());
    EXPECT_EQ(DockShortcutButton::badgeShadow().opacity, 0.5);
    EXPECT_EQ(DockShortcutButton::badgeShadow().radius, 2);

    QAbstractButton& badge = *tile.removeBadge();
    badge.resize(20, 20);
    QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    badge.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    // The 16-point disc fills (2, 2) to (18, 18); its shadow fades out 2 points beyond its edge,
    // on every side alike, black.
    for (const QPoint probe : {QPoint(9, 1), QPoint(9, 18), QPoint(1, 9), QPoint(18, 9)}) {
        SCOPED_TRACE(probe.x() * 100 + probe.y());
        const QColor shade = image.pixelColor(probe);
        EXPECT_GT(shade.alpha(), 20);
        EXPECT_LT(shade.alpha(), 128);
        EXPECT_EQ(shade.red(), 0);
    }
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << "the corner lies beyond the shadow";
    EXPECT_EQ(image.pixelColor(10, 10).red(), 255) << "the white bar over the red disc";
}

} // namespace

namespace {

// An icon that hands out a picture of each size asked, red, or blue in the active mode, and
// keeps a copy of each to see whether anyone else still holds it.
class SizeRecordingEngine final : public QIconEngine {
public:
    struct Asked {
        QSize size;
        QIcon::Mode mode;
        QPixmap given;
    };
    explicit SizeRecordingEngine(std::shared_ptr<std::vector<Asked>> asked) : asked_(std::move(asked)) {}
    void paint(QPainter*, const QRect&, QIcon::Mode, QIcon::State) override {}
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        QPixmap picture(size);
        picture.fill(mode == QIcon::Active ? Qt::blue : Qt::red);
        asked_->push_back({size, mode, picture});
        return picture;
    }
    bool isNull() override { return false; }
    QIconEngine* clone() const override { return new SizeRecordingEngine(asked_); }

private:
    std::shared_ptr<std::vector<Asked>> asked_;
};

} // namespace

// A tile keeps its icon's picture at the size it is drawn (44 points, one pixel each here), and a
// picture as large as the magnified icon (ceil(44 × 1.6) = 71) only while the effect magnifies it,
// asked for in the icon's active mode.
TEST_F(DockTilesTest, ATileKeepsItsPictureAtTheSizeDrawnAndTheMagnifiedOneOnlyWhileHovered) {
    preferences.setCustomDockIconAnimation(DockIconAnimation::magnify);
    preferences.setCustomDockMagnificationScale(1.6);
    auto asked = std::make_shared<std::vector<SizeRecordingEngine::Asked>>();
    workspace.icons[QStringLiteral("/apps/editor.desktop")] = QIcon(new SizeRecordingEngine(asked));
    build({item("Editor", DockShortcut::Kind::application, "/apps/editor.desktop")});
    RunningAppItem running = appItem(9, "Viewer", false, std::nullopt);
    running.icon = QIcon(new SizeRecordingEngine(asked));
    DockShortcutButton pinned(item("Editor", DockShortcut::Kind::application, "/apps/editor.desktop"), ctx(),
                              host.get());
    DockAppButton app(running, ctx(), host.get());

    for (DockTile* tile : std::initializer_list<DockTile*>{&pinned, &app}) {
        tile->resize(49, 56);
        const auto shown = [&] {
            // The icon as the tile draws it now, centred on its rest.
            QImage image(49, 56, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            tile->paintTile(painter);
            return std::make_tuple(asked->back().size, asked->back().mode, image.pixelColor(24, 26));
        };
        EXPECT_EQ(shown(), std::make_tuple(QSize(44, 44), QIcon::Normal, QColor(Qt::red)));
        const auto hover = [tile](bool on) {
            tile->setHovering(on);
            if (QVariantAnimation* animation = tile->effect().animation())
                animation->setCurrentTime(animation->totalDuration());
        };
        hover(true);
        EXPECT_EQ(shown(), std::make_tuple(QSize(71, 71), QIcon::Active, QColor(Qt::blue)));
        const std::size_t magnified = asked->size() - 1;
        hover(false);
        EXPECT_EQ(shown(), std::make_tuple(QSize(44, 44), QIcon::Normal, QColor(Qt::red)));
        EXPECT_FALSE(asked->back().given.isDetached()) << "the picture at rest is not held";
        EXPECT_TRUE((*asked)[magnified].given.isDetached()) << "the magnified picture is still held";
    }
}
