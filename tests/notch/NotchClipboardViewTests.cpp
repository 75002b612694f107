#include "core/FileNotices.h"
#include "kit/KitPaint.h"
#include "kit/KitRender.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/ClipboardStore.h"
#include "modules/ModuleTestSupport.h"
#include "notch/NotchClipboardView.h"
#include "notch/NotchStateView.h"
#include "notch/PaintedTexts.h"
#include "support/ContactSheet.h"
#include "support/FakePasteboard.h"
#include "support/ManualWorkQueue.h"
#include "support/RecordingMenuPresenter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetricsF>
#include <QJsonArray>
#include <QLineEdit>
#include <QScrollArea>
#include <QTest>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// The tab over a store whose history is filled the way the desktop fills it: by copies made in
// other programs.
class NotchClipboardViewTest : public DataFolderTest {
protected:
    NotchClipboardViewTest() {
        store.start();
        scheduler.runDue();
    }

    void copyElsewhere(const QString& text) {
        pasteboard.copyFromElsewhere(text);
        scheduler.advance(Seconds(0.55));
    }
    NotchClipboardView& makeView(QSize size = QSize(640, 360)) {
        view = std::make_unique<NotchClipboardView>(store, QColor(Qt::cyan), menus);
        view->resize(size);
        view->show();
        return *view;
    }
    QAbstractButton* button(QWidget* row, const QString& name) const {
        for (QAbstractButton* b : row->findChildren<QAbstractButton*>())
            if (b->accessibleName() == name) return b;
        return nullptr;
    }
    QStringList texts() const {
        QStringList out;
        for (const ClipboardEntry& entry : store.entries()) out.append(entry.text);
        return out;
    }

    FakePasteboard pasteboard;
    std::unique_ptr<ManualWorkQueue> ownQueue = std::make_unique<ManualWorkQueue>();
    ManualWorkQueue* queue = ownQueue.get();
    ClipboardStore store{pasteboard, persistence, clock, scheduler, std::move(ownQueue), [] {}};
    RecordingMenuPresenter menus;
    std::unique_ptr<NotchClipboardView> view;
};

} // namespace

TEST_F(NotchClipboardViewTest, NotSavedStandsBesideClearWhileTheHistoryIsNotInItsFile) {
    NotchClipboardView& v = makeView();
    v.setFileNotices(&notices);
    copyElsewhere("one");
    const NotchClipboardView::Layout saved = NotchClipboardView::layout(QSizeF(v.size()), 40);
    EXPECT_FALSE(paintedTexts(v).contains("Not saved"));

    // The folder refuses the history's file, and its journal.
    files.failWith(FakeFileManager::Operation::createDirectory, failure());
    files.failWritesTo(persistence.store().url(QStringLiteral("clipboard-journal.jsonl")), failure());
    copyElsewhere("two");
    scheduler.advance(Seconds(1));
    queue->drain(); // the journal refuses: the history goes whole to its file
    scheduler.advance(Seconds(1));
    EXPECT_TRUE(paintedTexts(v).contains("Not saved"));
    EXPECT_EQ(v.accessibleDescription(), "Not saved");
    // Between the search field and "Clear", which stays where it was; the field gives the room.
    const NotchClipboardView::Layout told = NotchClipboardView::layout(QSizeF(v.size()), 40, 50);
    EXPECT_EQ(told.clearButton, saved.clearButton);
    EXPECT_LE(told.searchField.right(), told.status.left());
    EXPECT_LE(told.status.right(), told.clearButton.left());
    const QImage failed = v.grab().toImage();

    files.clearFailure(FakeFileManager::Operation::createDirectory);
    files.clearWriteFailures();
    scheduler.advance(Seconds(30));
    queue->drain();
    EXPECT_FALSE(paintedTexts(v).contains("Not saved"));
    saveContactSheet({{"clipboard not saved", failed}, {"saved again", v.grab().toImage()}},
                     VANTREL_BINARY_DIR "/renders/notch-clipboard-not-saved.png");
}

TEST_F(NotchClipboardViewTest, EmptyStatesDependOnTheWholeHistoryNotOnTheSearch) {
    using State = NotchClipboardView::EmptyState;
    const State empty{"doc.on.clipboard", "Clipboard is empty", "Copy something and it will appear here."};
    const State noMatch{"magnifyingglass", "No matching items", "Try a different search."};
    EXPECT_EQ(NotchClipboardView::emptyState(0, 0), empty);
    EXPECT_EQ(NotchClipboardView::emptyState(0, 4), noMatch);
    EXPECT_EQ(NotchClipboardView::emptyState(1, 4), std::nullopt);

    makeView();
    ASSERT_NE(view->stateView(), nullptr);
    EXPECT_EQ(view->stateView()->title(), "Clipboard is empty");
    EXPECT_EQ(view->stateView()->actionButton(), nullptr) << "no button in either state";
    store.setSearchText("anything");
    EXPECT_EQ(view->stateView()->title(), "Clipboard is empty") << "a search over an empty history";
    EXPECT_EQ(view->searchField()->text(), "anything");

    copyElsewhere("alpha");
    copyElsewhere("beta");
    ASSERT_NE(view->stateView(), nullptr);
    EXPECT_EQ(view->stateView()->symbol(), "magnifyingglass");
    EXPECT_EQ(view->stateView()->message(), "Try a different search.");

    // Typing in the field is the store's search; emptying it brings the rows back.
    view->searchField()->clear();
    QTest::keyClicks(view->searchField(), "ALP");
    EXPECT_EQ(store.searchText(), "ALP");
    EXPECT_EQ(view->stateView(), nullptr);
    ASSERT_EQ(view->listedEntries().size(), 1);
    EXPECT_EQ(view->row(0)->accessibleName(), "alpha");
    EXPECT_EQ(view->row(1), nullptr) << "one listed entry: no second row";
    EXPECT_EQ(view->row(-1), nullptr);
    store.setSearchText(QString());
    EXPECT_EQ(view->searchField()->text(), "");
    EXPECT_EQ(view->listedEntries().size(), 2);
    EXPECT_EQ(view->searchField()->placeholderText(), "Search clipboard…");
    EXPECT_EQ(view->searchField()->accessibleName(), "Search clipboard…");
    EXPECT_EQ(view->accessibleName(), "Clipboard");
}

TEST_F(NotchClipboardViewTest, RowsShowOneLineOfTextAtMostTwoLinesLongAndMarkupAsTyped) {
    copyElsewhere("first line\nsecond line\nthird");
    copyElsewhere("<b>x</b>");
    makeView();
    ASSERT_EQ(view->listedEntries().size(), 2);
    EXPECT_EQ(view->row(0)->accessibleName(), "<b>x</b>");
    EXPECT_EQ(view->row(1)->accessibleName(), "first line second line third");
    EXPECT_EQ(view->row(0)->height(), 44) << "one line of text: as high as the buttons and the padding";

    const QFont font = NotchClipboardView::textFont();
    EXPECT_EQ(VantrelType::pixelSize(font), 11.5);
    EXPECT_EQ(NotchClipboardView::textLines("a\nb", font, 300), QStringList{"a b"});
    const double narrow = QFontMetricsF(font).horizontalAdvance("alpha beta") - 2;
    EXPECT_EQ(NotchClipboardView::textLines("alpha\nbeta", font, narrow), (QStringList{"alpha", "beta"}))
        << "two lines that hold the whole text end without an ellipsis";
    const QStringList overflow =
        NotchClipboardView::textLines(QString("word ").repeated(30).trimmed(), font, 150);
    ASSERT_EQ(overflow.size(), 2);
    EXPECT_TRUE(overflow[1].endsWith(QChar(0x2026))) << "a short text that needs a third line";
    const QStringList cut = NotchClipboardView::textLines(QString("word ").repeated(200), font, 150);
    ASSERT_EQ(cut.size(), 2);
    EXPECT_TRUE(cut[1].endsWith(QChar(0x2026)));
    for (const QString& line : cut) EXPECT_LE(QFontMetricsF(font).horizontalAdvance(line), 150);
    const QStringList huge = NotchClipboardView::textLines(QString(100'000, QLatin1Char('m')), font, 400);
    ASSERT_EQ(huge.size(), 2);
    EXPECT_TRUE(huge[1].endsWith(QChar(0x2026))) << "the rest of a long text is cut, not dropped silently";
    EXPECT_TRUE(NotchClipboardView::textLines(QString("m").repeated(30), font, 400).value(0).endsWith('m'));

    // The markup is drawn as its characters: much more ink than the bare "x" it would make bold.
    const auto ink = [](QWidget* row) {
        const QImage image = renderWidget(*row);
        const NotchClipboardView::RowLayout l = NotchClipboardView::rowLayout(QRectF(row->rect()));
        int count = 0;
        for (int y = int(l.text.top()); y < int(l.text.bottom()); ++y)
            for (int x = int(l.text.left()); x < int(l.text.right()); ++x)
                if (qAlpha(image.pixel(x, y)) > 40 && qRed(image.pixel(x, y)) < 100) ++count;
        return count;
    };
    copyElsewhere("x");
    EXPECT_GT(ink(view->row(1)), 3 * ink(view->row(0)));
}

TEST_F(NotchClipboardViewTest, RowGeometryFollowsItsPaddingAndControls) {
    const NotchClipboardView::RowLayout l = NotchClipboardView::rowLayout(QRectF(0, 0, 600, 44));
    EXPECT_EQ(l.kindGlyph, QRectF(10, 10, 22, 24));
    EXPECT_EQ(l.menuButton, QRectF(566, 10, 24, 24));
    EXPECT_EQ(l.copyButton, QRectF(532, 10, 24, 24));
    EXPECT_EQ(l.pinButton, QRectF(498, 10, 24, 24));
    EXPECT_EQ(l.text, QRectF(42, 10, 446, 24));
    EXPECT_EQ(NotchClipboardView::textWidth(600), 446);
    EXPECT_EQ(NotchClipboardView::rowLayout(QRectF(0, 0, 140, 44)).text.width(), 0) << "no room, no text";
    EXPECT_EQ(NotchClipboardView::textWidth(140), 0);
    EXPECT_EQ(NotchClipboardView::rowHeight(1, 14), 44) << "a one-line row is as high as its buttons";
    EXPECT_EQ(NotchClipboardView::rowHeight(2, 14), 48);

    const NotchClipboardView::Layout tab = NotchClipboardView::layout(QSizeF(700, 300), 30);
    EXPECT_EQ(tab.searchField, QRectF(0, 0, 662, 32));
    EXPECT_EQ(tab.clearButton, QRectF(670, 0, 30, 32));
    EXPECT_EQ(tab.list, QRectF(0, 42, 700, 258));
}

TEST_F(NotchClipboardViewTest, EachControlIsOneStoreOperation) {
    const QString meeting = "We met  in order to plan.\n\nIt went well. Then lunch.";
    copyElsewhere("keep me");
    copyElsewhere(meeting);
    makeView();

    // Copy puts the text back without a new entry.
    button(view->row(0), "Copy")->click();
    EXPECT_EQ(pasteboard.writes.back(), meeting);
    scheduler.advance(Seconds(0.55));
    EXPECT_EQ(texts(), (QStringList{meeting, "keep me"}));

    // The menu: three rewrites, a divider, then Delete.
    button(view->row(0), "More")->click();
    ASSERT_EQ(menus.requests().size(), 1u);
    EXPECT_EQ(menus.requests().back().items,
              (QStringList{"Copy Summary", "Clean Up Formatting", "Make Concise", "Delete"}));
    EXPECT_EQ(menus.requests().back().dividersBefore, QList<int>{3});
    EXPECT_EQ(menus.requests().back().checked, -1);
    ASSERT_TRUE(menus.choose(0));
    EXPECT_EQ(pasteboard.writes.back(), "We met in order to plan. It went well.");
    EXPECT_EQ(texts().first(), "We met in order to plan. It went well.");

    const auto chooseOn = [&](const QString& text, int item) {
        for (qsizetype i = 0; i < view->listedEntries().size(); ++i)
            if (view->listedEntries()[i].text == text) {
                button(view->row(i), "More")->click();
                return menus.choose(item);
            }
        return false;
    };
    ASSERT_TRUE(chooseOn(meeting, 1));
    EXPECT_EQ(pasteboard.writes.back(), "We met in order to plan.\nIt went well. Then lunch.");
    ASSERT_TRUE(chooseOn(meeting, 2));
    EXPECT_EQ(pasteboard.writes.back(), "We met to plan.\nIt went well. Then lunch.");
    EXPECT_EQ(store.entries().size(), 5);

    // Pin moves the row up and changes its glyphs; Delete removes a pinned entry too.
    ASSERT_EQ(view->row(4)->accessibleName(), "keep me");
    button(view->row(4), "Pin")->click();
    EXPECT_TRUE(view->listedEntries().first().isPinned);
    EXPECT_EQ(view->listedEntries().first().text, "keep me");
    ASSERT_NE(button(view->row(0), "Unpin"), nullptr);
    ASSERT_TRUE(chooseOn(meeting, 3));
    EXPECT_FALSE(texts().contains(meeting));

    // Clear leaves the pinned entry alone; once more it changes nothing.
    view->clearButton()->click();
    EXPECT_EQ(texts(), QStringList{"keep me"});
    view->clearButton()->click();
    EXPECT_EQ(texts(), QStringList{"keep me"});
    button(view->row(0), "Unpin")->click();
    EXPECT_FALSE(store.entries().first().isPinned);
    EXPECT_EQ(view->clearButton()->accessibleName(), "Clear");

    // A menu answered after the view has gone acts on the store still.
    button(view->row(0), "More")->click();
    view.reset();
    ASSERT_TRUE(menus.choose(3));
    EXPECT_TRUE(store.entries().isEmpty());
}

TEST_F(NotchClipboardViewTest, OnlyRowsInViewAreBuilt) {
    for (int i = 0; i < 120; ++i) copyElsewhere(QStringLiteral("entry %1").arg(i));
    makeView(QSize(600, 300));
    ASSERT_EQ(view->listedEntries().size(), 120);
    EXPECT_GT(view->builtRowCount(), 3);
    EXPECT_LT(view->builtRowCount(), 12);
    QWidget* last = view->row(119);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->accessibleName(), "entry 0");
    EXPECT_LT(view->builtRowCount(), 30);
    EXPECT_EQ(view->row(120), nullptr);
    EXPECT_EQ(view->row(-1), nullptr);

    // A new capture is listed first at once.
    copyElsewhere("newest");
    EXPECT_EQ(view->row(0)->accessibleName(), "newest");
}

TEST_F(NotchClipboardViewTest, RowsLieOnThePanelWithNothingFilledBetweenThem) {
    copyElsewhere("older");
    copyElsewhere("newer");
    makeView();
    QWidget* first = view->row(0);
    QWidget* second = view->row(1);
    ASSERT_TRUE(first && second);
    const QRect a(first->mapTo(view.get(), QPoint()), first->size());
    const QRect b(second->mapTo(view.get(), QPoint()), second->size());
    EXPECT_EQ(b.top() - a.bottom() - 1, 7) << "rows 7 apart";
    // Drawn over nothing, the gap between the rows stays clear: the list paints no background of
    // its own over the panel's glass.
    const QImage image = renderWidget(*view);
    EXPECT_EQ(qAlpha(image.pixel(a.center().x(), a.bottom() + 4)), 0);
    EXPECT_GT(qAlpha(image.pixel(a.center().x(), a.center().y())), 0) << "the row's own fill";
}

TEST_F(NotchClipboardViewTest, TheSearchFieldTakesTheLookOfTheSurfaceItJoins) {
    NotchClipboardView& tab = makeView();
    auto* search = tab.findChild<QLineEdit*>();
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(search->palette().color(QPalette::Text), QColor(Qt::black)) << "on its own it is light";
    // Put into a dark surface, its text turns white at once.
    QWidget surface;
    VantrelTheme::setColorScheme(&surface, ColorScheme::dark);
    tab.setParent(&surface);
    EXPECT_EQ(search->palette().color(QPalette::Text), QColor(Qt::white));
    EXPECT_EQ(search->palette().color(QPalette::Base).alpha(), 0) << "no field drawn behind the text";
    tab.setParent(nullptr);
}

TEST_F(NotchClipboardViewTest, TheFocusStaysWithTheEntryActedOnOrTheOneTakingItsPlace) {
    copyElsewhere("alpha");
    copyElsewhere("beta");
    makeView();
    QApplication::setActiveWindow(view.get());
    const auto focusedIn = [&](qsizetype index, const QString& name) {
        QWidget* focus = QApplication::focusWidget();
        return focus && focus == button(view->row(index), name) && KitPaint::showsFocusRing(focus);
    };

    // Pin from the keyboard: "alpha" moves to the top and its button, now "Unpin", keeps the focus.
    button(view->row(1), "Pin")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    ASSERT_EQ(view->listedEntries().first().text, "alpha");
    EXPECT_TRUE(focusedIn(0, "Unpin"));

    // An entry arriving moves no focus: still "alpha"'s "Unpin".
    copyElsewhere("gamma");
    ASSERT_EQ(view->listedEntries().size(), 3);
    EXPECT_TRUE(focusedIn(0, "Unpin"));
    button(view->row(2), "Copy")->setFocus(Qt::TabFocusReason);
    copyElsewhere("delta");
    ASSERT_EQ(view->listedEntries()[3].text, "beta");
    EXPECT_TRUE(focusedIn(3, "Copy")) << "the same entry's control, one row further down";

    // Delete from the row's menu: the focus goes to the menu button of the entry now in its place,
    // and of the one before it when the last row goes.
    button(view->row(1), "More")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    ASSERT_TRUE(menus.choose(3));
    ASSERT_EQ(view->listedEntries()[1].text, "gamma");
    EXPECT_TRUE(focusedIn(1, "More"));
    button(view->row(2), "More")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    ASSERT_TRUE(menus.choose(3));
    ASSERT_EQ(view->listedEntries().size(), 2);
    EXPECT_TRUE(focusedIn(1, "More"));

    // Focus that came from a click stays without a ring.
    button(view->row(1), "Copy")->setFocus(Qt::MouseFocusReason);
    copyElsewhere("epsilon");
    EXPECT_EQ(QApplication::focusWidget(), button(view->row(2), "Copy"));
    EXPECT_FALSE(KitPaint::showsFocusRing(QApplication::focusWidget()));
}

TEST_F(NotchClipboardViewTest, ClearsRingRunsClearOfItsLabel) {
    makeView();
    QAbstractButton* clear = view->clearButton();
    // The ring is drawn in the button's outer 2 points: the label's ink keeps 4 clear of each side.
    const QRectF ink = QFontMetricsF(NotchClipboardView::clearFont()).tightBoundingRect("Clear");
    const double side = (clear->width() - ink.width()) / 2;
    EXPECT_GE(side, 2 + 4) << clear->width() << " for ink " << ink.width();
    EXPECT_EQ(clear->height(), 32);
    // The field gives up the room: the two still end at the view's edge, 8 apart.
    const auto l = NotchClipboardView::layout(QSizeF(640, 360), 50);
    EXPECT_EQ(l.searchField, QRectF(0, 0, 582, 32));
    EXPECT_EQ(l.clearButton, QRectF(590, 0, 50, 32));
    EXPECT_EQ(clear->geometry().right(), 639);
}
