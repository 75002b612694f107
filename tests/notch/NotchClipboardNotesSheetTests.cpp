#include "kit/KitRender.h"
#include "modules/ClipboardStore.h"
#include "modules/NotesStore.h"
#include "notch/NotchClipboardView.h"
#include "notch/NotchNotesView.h"
#include "notch/NotchSurfaceTestSupport.h"

#include <QAbstractButton>
#include <QCursor>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollArea>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// The clipboard and notes tabs inside the running panel, at the height of their tier, with a
// history and notes in them.
class NotchClipboardNotesSheet : public NotchSurfaceTest {
protected:
    void fillClipboard() {
        stores.clipboard.start();
        const QStringList copies = {
            "ssh deploy@build-07.internal 'systemctl restart vantrel-sync'",
            "Meeting notes\nAgenda: roadmap, hiring, the Q3 offsite\nOwner: Priya",
            "<b>x</b> is shown as typed, never as markup",
            "https://example.org/articles/2026/notch-utilities-compared?ref=newsletter",
            QString("A very long paragraph copied from a document. ").repeated(40),
            "42.7391, -71.2468",
        };
        for (const QString& text : copies) {
            h.pasteboard.copyFromElsewhere(text);
            h.scheduler.advance(Seconds(0.55));
        }
        stores.clipboard.togglePin(stores.clipboard.entries().last());
    }
    void fillNotes() {
        NotesStore& notes = stores.notes;
        notes.updateSelected("Groceries\nmilk, eggs, bread");
        notes.add();
        notes.updateSelected("Trip to Lisbon\nflights on the 14th\nhotel near Alfama");
        notes.addChecklistItem("Book flights");
        notes.addChecklistItem("Renew passport");
        notes.toggleChecklistItem(notes.notes()[*notes.selectedIndex()].checklist[0].id);
        notes.setPinned(true);
        notes.add();
        notes.updateSelected("Release checklist for 2.4");
    }
    QImage shoot(NotchTab tab, NotchSize size, NotchAppearance appearance) {
        h.preferences.setNotchSize(size);
        h.preferences.setNotchAppearance(appearance);
        controller.collapse();
        settle();
        expand(tab);
        if (view().contentFade()) view().contentFade()->setCurrentTime(view().contentFade()->duration());
        return renderWidget(view());
    }
};

} // namespace

TEST_F(NotchClipboardNotesSheet, BothTabsAtTheirTierHeights) {
    fillClipboard();
    fillNotes();
    QList<QImage> images;

    images << shoot(NotchTab::clipboard, NotchSize::small, NotchAppearance::midnight);
    auto* clipboard = qobject_cast<NotchClipboardView*>(view().contentView());
    ASSERT_NE(clipboard, nullptr);
    EXPECT_EQ(view().size(), QSize(720, 430)) << "the tall tier";
    EXPECT_EQ(clipboard->listedEntries().size(), 6);
    EXPECT_EQ(clipboard->listedEntries().first().text,
              "ssh deploy@build-07.internal 'systemctl restart vantrel-sync'")
        << "the pinned entry first";
    EXPECT_EQ(clipboard->stateView(), nullptr);

    images << shoot(NotchTab::clipboard, NotchSize::large, NotchAppearance::crystal);
    EXPECT_EQ(view().size(), QSize(920, 520));

    images << shoot(NotchTab::note, NotchSize::medium, NotchAppearance::crystal);
    auto* notes = qobject_cast<NotchNotesView*>(view().contentView());
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(view().size(), QSize(820, 270)) << "the standard tier";
    EXPECT_LT(notes->height(), 170);
    EXPECT_EQ(notes->rowButtons().size(), 1);

    images << shoot(NotchTab::note, NotchSize::large, NotchAppearance::midnight);
    notes = qobject_cast<NotchNotesView*>(view().contentView());
    ASSERT_NE(notes, nullptr);
    EXPECT_GE(notes->height(), 170);
    EXPECT_EQ(notes->rowButtons().size(), 3);
    EXPECT_EQ(notes->rowButtons().first()->accessibleName(), "Trip to Lisbon") << "pinned first";
    EXPECT_EQ(notes->checklistButtons().size(), 0) << "the selected note has no checklist";
    notes->rowButtons().first()->click();
    EXPECT_EQ(notes->checklistButtons().size(), 2);
    images.last() = renderWidget(view());

    stores.notes.setNotes({});
    images << renderWidget(view());
    EXPECT_NE(notes->stateView(), nullptr);

    const QString path = saveSheet("notch-clipboard-notes", images, 1);
    EXPECT_TRUE(QFileInfo::exists(path));
}

TEST_F(NotchClipboardNotesSheet, AMenuOpenedFromATabHoldsThePanelOpenUntilItCloses) {
    fillClipboard();
    expand(NotchTab::clipboard);
    auto* clipboard = qobject_cast<NotchClipboardView*>(view().contentView());
    ASSERT_NE(clipboard, nullptr);
    enter();

    auto* menu = new QMenu(clipboard->row(0));
    menu->addAction("Copy Summary");
    menu->popup(QPoint(900, 120));
    ASSERT_EQ(QApplication::activePopupWidget(), menu);
    leave();
    h.scheduler.advance(Seconds(2));
    EXPECT_TRUE(controller.isExpanded()) << "the pointer went to the menu, not away from the panel";

    // Closed with the pointer elsewhere, the panel goes as it would have.
    QCursor::setPos(0, 900);
    menu->hide();
    h.scheduler.advance(Seconds(0.42));
    settle();
    EXPECT_FALSE(controller.isExpanded());

    // Without a menu, leaving still collapses after the delay.
    expand(NotchTab::clipboard);
    enter();
    leave();
    h.scheduler.advance(Seconds(0.42));
    settle();
    EXPECT_FALSE(controller.isExpanded());
}

TEST_F(NotchClipboardNotesSheet, AClickIntoATabsTextFieldTakesTheKeyboard) {
    const auto press = [](QWidget* widget) {
        QMouseEvent event(QEvent::MouseButtonPress, QPointF(4, 4), widget->mapToGlobal(QPointF(4, 4)),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    };
    // The window the user types in (the offscreen desktop activates every window it shows).
    QWidget window;
    window.setGeometry(100, 300, 300, 200);
    std::vector<bool> keys;
    for (NotchTab tab : {NotchTab::clipboard, NotchTab::note}) {
        controller.collapse();
        settle();
        expand(tab); // as the pointer opens it: the keyboard stays where it was
        window.show();
        window.activateWindow();
        QCoreApplication::processEvents();
        ASSERT_TRUE(window.isActiveWindow());
        if (auto* clipboard = qobject_cast<NotchClipboardView*>(view().contentView())) {
            press(clipboard->scrollArea()->viewport());
            QCoreApplication::processEvents();
            EXPECT_TRUE(window.isActiveWindow()) << "the list takes no typing";
            press(clipboard->searchField());
        } else {
            press(qobject_cast<NotchNotesView*>(view().contentView())->editor()->viewport());
        }
        QCoreApplication::processEvents();
        keys.push_back(controller.panel()->isKey());
    }
    EXPECT_EQ(keys, (std::vector<bool>{true, true}));
}
