#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "kit/KitRender.h"
#include "kit/VantrelMotion.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/FileShelfStore.h"
#include "notch/NotchFilesView.h"
#include "notch/NotchStateView.h"
#include "notch/PaintedTexts.h"
#include "platform/linux/PosixFileManager.h"
#include "support/ManualScheduler.h"
#include "support/RecordingHapticPerformer.h"
#include "support/RecordingMenuPresenter.h"
#include "support/RecordingSharingService.h"
#include "support/RecordingUserDefaults.h"
#include "support/RecordingWorkspace.h"
#include "support/TempHome.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>
#include <QTest>
#include <QVariantAnimation>
#include <cmath>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

struct FilesTab : ::testing::Test {
    TempHome home;
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingUserDefaults defaults;
    PosixFileManager files;
    RecordingWorkspace workspace;
    RecordingSharingService sharing;
    VantrelPreferences preferences{defaults};
    RecordingHapticPerformer performer;
    ManualScheduler hapticScheduler{clock};
    VantrelHaptics haptics{preferences, performer, hapticScheduler};
    FileShelfStore store{defaults, files, clock, scheduler, workspace, sharing, haptics};
    RecordingMenuPresenter menus;
    const QColor accent{255, 45, 85};

    std::unique_ptr<NotchFilesView> makeView(bool dropTarget = false) {
        auto view = std::make_unique<NotchFilesView>(store, menus, accent, dropTarget);
        view->resize(692, 330);
        return view;
    }
    QUrl file(const QString& name, qint64 size = 3) {
        QFile f(home.writeFile(name, "abc"));
        EXPECT_TRUE(f.resize(size));
        return QUrl::fromLocalFile(f.fileName());
    }
    QStringList names() const {
        QStringList out;
        for (const QUrl& url : store.items()) out << url.fileName();
        return out;
    }
    static void contextMenu(QWidget* tile) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), tile->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(tile, &event);
    }
};

} // namespace

TEST_F(FilesTab, TilesFillColumnsOfAtLeast110) {
    const auto three = NotchFilesView::tileRects(238, 3);
    ASSERT_EQ(three.size(), 3u);
    EXPECT_EQ(three[0], QRectF(0, 0, 114.5, 92));
    EXPECT_EQ(three[1], QRectF(123.5, 0, 114.5, 92));
    EXPECT_EQ(three[2], QRectF(0, 101, 114.5, 92));
    EXPECT_EQ(NotchFilesView::tileRects(228, 2)[1].top(), 101) << "one column when two do not fit";
    EXPECT_EQ(NotchFilesView::tileRects(692, 10)[4].right(), 692) << "five across the panel";
    EXPECT_TRUE(NotchFilesView::tileRects(692, 0).empty());
}

TEST_F(FilesTab, TheClockBadgeSitsOnTheIconsCorner) {
    EXPECT_EQ(NotchFilesView::badgeRect(QRectF(40, 10, 39, 39)), QRectF(62, 32, 17, 17));
}

TEST_F(FilesTab, TileStatesForLargeAndMovedFiles) {
    const QUrl big = file("render.mov", 524'288'001);
    const QUrl limit = file("limit.bin", 524'288'000);
    store.add({limit});
    store.add({big});
    const QUrl gone = file("draft.txt");
    store.add({gone});
    QFile::remove(gone.toLocalFile());
    auto view = makeView();
    const auto tiles = view->tiles();
    ASSERT_EQ(tiles.size(), 3u);
    EXPECT_EQ(names(), QStringList({"draft.txt", "render.mov", "limit.bin"}));
    EXPECT_EQ(tiles[1]->toolTip(), "This large item will be removed automatically after one hour.");
    EXPECT_TRUE(tiles[2]->toolTip().isEmpty()) << "exactly 500 MiB stays";
    EXPECT_TRUE(tiles[0]->toolTip().isEmpty());

    // Every tile is as tall as the moved one needs: its 39-point icon, 8, two lines of the name in
    // 10.5 medium, 8, and "Original moved" in 9 semibold; never less than 92.
    const double moved = 39 + 8 + 2 * QFontMetricsF(VantrelType::font(10.5, QFont::Medium)).lineSpacing() +
                         8 + QFontMetricsF(VantrelType::font(9, QFont::DemiBold)).height();
    view->show();
    QCoreApplication::sendPostedEvents();
    for (QWidget* tile : tiles) EXPECT_GE(tile->height(), std::round(std::max(92.0, moved))) << moved;
    // Each tile lies on white at 0.055, its corners rounded by 14.
    const QImage tile = renderWidget(*tiles[1]);
    EXPECT_EQ(tile.pixelColor(tile.width() / 2, tile.height() - 4).rgb(), qRgb(255, 255, 255));
    EXPECT_NEAR(qAlpha(tile.pixel(tile.width() / 2, tile.height() - 4)), 0.055 * 255, 1);
    EXPECT_EQ(qAlpha(tile.pixel(1, 1)), 0);

    const QStringList texts = paintedTexts(*view);
    EXPECT_EQ(texts.count("Original moved"), 1);
    EXPECT_EQ(texts.indexOf("Original moved"), texts.indexOf("draft.txt") + 1);

    // The first large file raises the notice; "Got it" puts it away.
    ASSERT_NE(view->noticeButton(), nullptr);
    EXPECT_EQ(view->noticeButton()->text(), "Got it");
    EXPECT_TRUE(texts.contains("Large files expire"));
    EXPECT_TRUE(texts.contains("render.mov is large and will be removed from the shelf after one hour."));
    view->noticeButton()->click();
    EXPECT_FALSE(store.largeFileNotice().has_value());
    EXPECT_EQ(view->noticeButton(), nullptr);

    // Opening the moved file explains itself in the subtitle.
    QTest::mouseDClick(tiles[0], Qt::LeftButton);
    EXPECT_TRUE(workspace.opened.empty());
    EXPECT_TRUE(paintedTexts(*view).contains(
        "draft.txt moved or is no longer available. Remove it from Vantrel or add it again."));
    QTest::mouseDClick(tiles[1], Qt::LeftButton);
    ASSERT_EQ(workspace.opened.size(), 1u);
    EXPECT_EQ(workspace.opened[0].fileName(), "render.mov");
}

namespace {
// WCAG's contrast ratio of two opaque colours.
double contrast(QColor a, QColor b) {
    const auto luminance = [](QColor c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double x = luminance(a) + 0.05;
    const double y = luminance(b) + 0.05;
    return std::max(x, y) / std::min(x, y);
}
// The most contrasting pixel of `area` against `background`, in `image` laid over `under`.
double strongestContrast(const QImage& image, const QRect& area, QColor under, QColor background) {
    QImage flat(image.size(), QImage::Format_ARGB32_Premultiplied);
    flat.fill(under);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    painter.end();
    double best = 1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            best = std::max(best, contrast(flat.pixelColor(x, y), background));
    return best;
}
} // namespace

// The large-file alert holds the keyboard while it shows: the focus on "Got it", Tab and Shift+Tab
// kept inside it, nothing under it reached; Return and Escape confirm it and the files get the
// focus back. Its texts read at 4.5:1 or more on its dark card in both looks.
TEST_F(FilesTab, TheLargeFileAlertHoldsTheKeysAndReadsOnItsCardInBothLooks) {
    store.add({file("a.txt")});
    auto view = makeView();
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    view->tiles()[0]->setFocus(Qt::TabFocusReason);
    store.add({file("render.mov", 524'288'001)});
    QAbstractButton* gotIt = view->noticeButton();
    ASSERT_NE(gotIt, nullptr);
    EXPECT_EQ(QApplication::focusWidget(), gotIt) << "the alert takes the focus as it comes";
    for (const auto key : {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Tab, Qt::Key_Down, Qt::Key_Left}) {
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_EQ(QApplication::focusWidget(), gotIt) << "key " << key;
    }
    ASSERT_EQ(view->tiles().size(), 2u);
    for (QWidget* under : {static_cast<QWidget*>(view->airDropAllButton()),
                           static_cast<QWidget*>(view->clearButton()), view->tiles()[0], view->tiles()[1]}) {
        EXPECT_FALSE(under->isEnabled()) << under->accessibleName().toStdString();
        under->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(QApplication::focusWidget(), gotIt) << under->accessibleName().toStdString();
    }
    contextMenu(view->tiles()[1]);
    QTest::keyClick(view->tiles()[1], Qt::Key_Menu);
    QTest::keyClick(view->tiles()[1], Qt::Key_Return);
    EXPECT_TRUE(menus.requests().empty()) << "no tile's menu under the alert";
    EXPECT_TRUE(workspace.opened.empty());

    // Its title and message in light text on the dark card, over the crystal look's light glass
    // and the midnight look's black.
    for (const ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        VantrelTheme::setColorScheme(view.get(), scheme);
        auto* state = view->findChild<NotchStateView*>();
        ASSERT_NE(state, nullptr);
        const QImage card = renderWidget(*state->parentWidget());
        const QPoint origin = state->mapTo(state->parentWidget(), QPoint(0, 0));
        const QFontMetricsF titleMetrics(NotchStateView::titleFont());
        const QFontMetricsF messageMetrics(NotchStateView::messageFont());
        const double inner = state->width() - 2 * NotchStateView::kPadding;
        const auto lines =
            NotchStateView::messageLines(state->message(), NotchStateView::messageFont(), inner);
        ASSERT_FALSE(lines.isEmpty());
        const NotchStateView::Layout l =
            NotchStateView::layout(QSizeF(state->size()), titleMetrics.height(),
                                   lines.size() * messageMetrics.lineSpacing(), QSizeF(gotIt->sizeHint()));
        for (const QColor under : {QColor(Qt::white), QColor(Qt::black)}) {
            QImage flat(1, 1, QImage::Format_ARGB32_Premultiplied);
            flat.fill(under);
            QPainter painter(&flat);
            painter.drawImage(0, 0, card, card.width() / 2, 6, 1, 1);
            painter.end();
            const QColor fill = flat.pixelColor(0, 0);
            EXPECT_LT(fill.lightness(), 60) << "a dark card";
            EXPECT_GE(strongestContrast(card, l.title.translated(origin).toAlignedRect(), under, fill), 4.5)
                << "title, scheme " << int(scheme);
            EXPECT_GE(strongestContrast(card, l.message.translated(origin).toAlignedRect(), under, fill), 4.5)
                << "message, scheme " << int(scheme);
        }
    }

    // Return confirms it; the files take the focus back.
    QTest::keyClick(gotIt, Qt::Key_Return);
    EXPECT_FALSE(store.largeFileNotice().has_value());
    EXPECT_EQ(view->noticeButton(), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), view->tiles()[0]);
    EXPECT_TRUE(view->tiles()[0]->isEnabled());
    EXPECT_TRUE(view->airDropAllButton()->isEnabled());

    // Escape confirms it too, and goes no further.
    defaults.setBool(QStringLiteral("shelf.hasShownLargeFileNotice"), false);
    store.add({file("backup.zip", 524'288'001)});
    ASSERT_NE(view->noticeButton(), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), view->noticeButton());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(view->noticeButton(), &escape);
    EXPECT_TRUE(escape.isAccepted()) << "the notch never hears it";
    EXPECT_FALSE(store.largeFileNotice().has_value());
    EXPECT_EQ(view->noticeButton(), nullptr);
}

TEST_F(FilesTab, ReturnOrEnterOnATileOpensItsFile) {
    store.add({file("notes.txt")});
    auto view = makeView();
    const auto tiles = view->tiles();
    ASSERT_EQ(tiles.size(), 1u);
    QTest::keyClick(tiles[0], Qt::Key_Space);
    EXPECT_TRUE(workspace.opened.empty());
    QTest::keyClick(tiles[0], Qt::Key_Return);
    QTest::keyClick(tiles[0], Qt::Key_Enter);
    ASSERT_EQ(workspace.opened.size(), 2u);
    EXPECT_EQ(workspace.opened[0].fileName(), "notes.txt");
    EXPECT_EQ(workspace.opened[1].fileName(), "notes.txt");
}

TEST_F(FilesTab, MenuActionsAndClear) {
    store.add({file("a.txt"), file("b.txt"), file("c.txt")});
    auto view = makeView();
    ASSERT_EQ(names(), QStringList({"c.txt", "b.txt", "a.txt"}));
    EXPECT_TRUE(view->airDropAllButton()->isVisibleTo(view.get()));
    EXPECT_EQ(view->airDropAllButton()->text(), "AirDrop All");
    EXPECT_TRUE(view->clearButton()->isVisibleTo(view.get()));

    contextMenu(view->tiles()[1]);
    ASSERT_EQ(menus.requests().size(), 1u);
    EXPECT_EQ(menus.requests()[0].items, QStringList({"Open", "Show in Finder", "AirDrop", "Remove"}));
    EXPECT_EQ(menus.requests()[0].dividersBefore, QList<int>{3}) << "Remove set apart";
    EXPECT_EQ(menus.requests()[0].anchor, view->tiles()[1]);
    menus.choose(0);
    ASSERT_EQ(workspace.opened.size(), 1u);
    EXPECT_EQ(workspace.opened[0].fileName(), "b.txt");
    contextMenu(view->tiles()[1]);
    menus.choose(1);
    ASSERT_EQ(workspace.revealed.size(), 1);
    EXPECT_TRUE(workspace.revealed[0].endsWith("/b.txt"));
    sharing.airDropAvailable = true;
    contextMenu(view->tiles()[1]);
    menus.choose(2);
    ASSERT_EQ(sharing.sent.size(), 1u);
    EXPECT_EQ(sharing.sent[0].size(), 1);
    EXPECT_EQ(sharing.sent[0][0].fileName(), "b.txt");
    EXPECT_TRUE(paintedTexts(*view).contains(QString::fromUtf8("Opening AirDrop\u2026")));

    contextMenu(view->tiles()[1]);
    menus.choose(3);
    EXPECT_EQ(names(), QStringList({"c.txt", "a.txt"}))
        << "only that file leaves; the others keep their order";
    EXPECT_EQ(view->tiles().size(), 2u);

    view->airDropAllButton()->click();
    ASSERT_EQ(sharing.sent.size(), 2u);
    EXPECT_EQ(sharing.sent[1].size(), 2);

    EXPECT_FALSE(view->showsDropCard());
    view->clearButton()->click();
    EXPECT_TRUE(store.items().isEmpty());
    EXPECT_TRUE(view->showsDropCard());
    EXPECT_FALSE(view->clearButton()->isVisibleTo(view.get()));
    EXPECT_FALSE(view->airDropAllButton()->isVisibleTo(view.get()));
}

TEST_F(FilesTab, DropCardRestingAndTargeted) {
    auto view = makeView();
    QStringList texts = paintedTexts(*view);
    EXPECT_TRUE(texts.contains("Temporary File Shelf"));
    EXPECT_TRUE(texts.contains("Add files here, then retrieve them from any Space."));
    EXPECT_TRUE(texts.contains("Bring files or screenshots to Vantrel"));
    EXPECT_TRUE(texts.contains("Keeps references to your last 10 files"));
    EXPECT_EQ(view->cardRect().width(), 692);
    EXPECT_EQ(view->cardRect().height(), 126);
    // The shelf starts 10 under the header: the title in 15 bold, 2, the subtitle in 10.5.
    const double header = QFontMetricsF(VantrelType::font(15, QFont::Bold)).height() + 2 +
                          QFontMetricsF(VantrelType::font(10.5, QFont::Normal)).height();
    EXPECT_DOUBLE_EQ(view->shelfArea().top(), header + 10);
    EXPECT_DOUBLE_EQ(view->shelfArea().bottom(), 330);
    EXPECT_DOUBLE_EQ(view->cardRect().center().y(), (header + 10 + 330) / 2);

    const QColor secondary(128, 128, 128);
    const auto resting = NotchFilesView::cardLook(0, accent, secondary);
    EXPECT_EQ(resting.fill, QColor::fromRgbF(1, 1, 1, 0.035f));
    EXPECT_EQ(resting.border, QColor::fromRgbF(1, 1, 1, 0.12f));
    EXPECT_EQ(resting.glyph, secondary);
    const auto targeted = NotchFilesView::cardLook(1, accent, secondary);
    EXPECT_EQ(targeted.fill.rgb(), accent.rgb());
    EXPECT_NEAR(targeted.fill.alphaF(), 0.15, 0.002);
    EXPECT_NEAR(targeted.border.alphaF(), 0.9, 0.002);
    EXPECT_EQ(targeted.glyph.rgb(), accent.rgb());

    // The card's four corners match a drawing of it: a rounded rectangle of radius 16 filled with
    // white at 0.035, its edge stroked inside with a line 1 wide, dashed 5, 4, in white at 0.12.
    {
        const QRectF card = view->cardRect();
        QImage drawing(view->size(), QImage::Format_ARGB32_Premultiplied);
        drawing.fill(Qt::transparent);
        QPainter painter(&drawing);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgbF(1, 1, 1, 0.035f));
        painter.drawRoundedRect(card, 16, 16);
        QPen border(QColor::fromRgbF(1, 1, 1, 0.12f), 1);
        border.setDashPattern({5, 4});
        painter.setPen(border);
        painter.setBrush(Qt::NoBrush);
        // Inside the edge: the line's middle half a point in, where the radius is half a point less.
        painter.drawRoundedRect(card.adjusted(0.5, 0.5, -0.5, -0.5), 15.5, 15.5);
        painter.end();
        const QImage rendered = renderWidget(*view);
        const QRect outer = card.toAlignedRect();
        int differing = 0;
        for (const QPoint corner :
             {outer.topLeft(), QPoint(outer.right() - 23, outer.top()),
              QPoint(outer.left(), outer.bottom() - 23), QPoint(outer.right() - 23, outer.bottom() - 23)})
            for (int y = corner.y(); y < corner.y() + 24; ++y)
                for (int x = corner.x(); x < corner.x() + 24; ++x)
                    if (std::abs(qAlpha(rendered.pixel(x, y)) - qAlpha(drawing.pixel(x, y))) > 1) ++differing;
        EXPECT_EQ(differing, 0);
    }

    // A drag animates the card over 0.16 seconds, easing out.
    view->setDropTarget(true);
    EXPECT_TRUE(paintedTexts(*view).contains("Release to add"));
    QVariantAnimation* animation = view->dropAnimation();
    EXPECT_EQ(animation->duration(), 160);
    EXPECT_EQ(animation->easingCurve(), VantrelAnimation::easeOut(0.16).easing);
    animation->setCurrentTime(80);
    EXPECT_GT(view->dropProgress(), 0.5);
    EXPECT_LT(view->dropProgress(), 1);
    animation->setCurrentTime(160);
    EXPECT_EQ(view->dropProgress(), 1);
    view->setDropTarget(false);
    animation->setCurrentTime(160);
    EXPECT_EQ(view->dropProgress(), 0);
    EXPECT_TRUE(paintedTexts(*view).contains("Bring files or screenshots to Vantrel"));

    // Starting targeted shows the card targeted at once; with files there is no card at all.
    EXPECT_EQ(makeView(true)->dropProgress(), 1);
    store.add({file("shot.png")});
    EXPECT_FALSE(view->showsDropCard());
    view->setDropTarget(true);
    EXPECT_FALSE(paintedTexts(*view).contains("Release to add"));
}

// The desktop looks a file's icon up off the main thread: a tile shown meanwhile draws its
// placeholder, and the icon once the desktop says it found it.
TEST_F(FilesTab, ATileTakesItsIconOnceTheDesktopHasFoundIt) {
    const QUrl url = file("report.pdf");
    store.add({url});
    auto view = makeView();
    const auto greenPixels = [&view] {
        const QImage image = renderWidget(*view->tiles().at(0));
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) count += image.pixelColor(x, y) == QColor(0, 200, 0);
        return count;
    };
    EXPECT_EQ(greenPixels(), 0);
    QPixmap green(64, 64);
    green.fill(QColor(0, 200, 0));
    workspace.icons[url.toLocalFile()] = QIcon(green);
    Q_EMIT workspace.iconsChanged();
    EXPECT_GT(greenPixels(), 100);
}
