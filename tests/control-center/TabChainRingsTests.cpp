#include "control-center/HomePage.h"
#include "control-center/HomeUtilityPanel.h"
#include "control-center/RootView.h"
#include "kit/Navigation.h"
#include "notch/NotchSurfaceView.h"
#include "notch/NotchTestSupport.h"
#include "settings/DockPageFixture.h"
#include "support/ControlCenterHarness.h"

#include "../kit/KitRender.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QVariantAnimation>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// Tab as the keyboard gives it: the focus widget passes it up to the scroll area that brings
// the next stop into view, and on to the window.
// A text editor keeps Tab for its text: the walk goes on past it as from its container.
struct TabKey : QWidget {
    static void press(QWidget* from) {
        if (!(from->*(&TabKey::focusNextPrevChild))(true) && from->parentWidget())
            (from->parentWidget()->*(&TabKey::focusNextPrevChild))(true);
    }
};

QString nameOf(const QWidget* widget) {
    QString name = widget->accessibleName();
    if (name.isEmpty())
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) name = button->text();
    return QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(widget->metaObject()->className()), name);
}

// What is wrong with how `stop` shows its focus in `window`, or nothing: its rendering with and
// without the focus differ by a ring seen on all four sides (a text field by its caret), and not
// at all when the focus came from a click.
QString faultOf(QWidget& window, QWidget& stop) {
    // Only the stop's surroundings are drawn: the stop and the control it is part of.
    QRect place(stop.mapTo(&window, QPoint()), stop.size());
    QRect area = place;
    if (QWidget* parent = stop.parentWidget())
        area |= QRect(parent->mapTo(&window, QPoint()), parent->size());
    area = area.adjusted(-8, -8, 8, 8) & window.rect();
    place.translate(-area.topLeft());
    const auto render = [&] {
        QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        window.render(&image, QPoint(), QRegion(area), QWidget::DrawChildren);
        return image;
    };
    const QImage focused = render();
    stop.clearFocus();
    const QImage unfocused = render();
    // A click clears the window's mark of keyboard navigation, as Qt does on a mouse press.
    window.setAttribute(Qt::WA_KeyboardFocusChange, false);
    stop.setFocus(Qt::MouseFocusReason);
    const QImage clicked = render();
    window.setAttribute(Qt::WA_KeyboardFocusChange);
    stop.setFocus(Qt::TabFocusReason);
    const RingSeen ring = ringSeen(focused, unfocused);
    const bool textField = qobject_cast<QLineEdit*>(&stop) || qobject_cast<QPlainTextEdit*>(&stop);
    if (!textField && !ringSeen(clicked, unfocused).box.isEmpty())
        return QStringLiteral("a ring after a click");
    if (ring.box.isEmpty() || !ring.box.intersects(place)) return QStringLiteral("shows nothing");
    if (textField) return {};
    if (ring.missingSides.isEmpty()) return {};
    return QStringLiteral("ring cut, missing on the ") + ring.missingSides.join(u", ");
}

struct Walk {
    QStringList stops;  // every stop, in Tab order, named with what shows its focus
    QStringList faults; // the stops that show nothing or a cut ring
};

// Tabs once round `window`'s chain from its first stop, judging the stops inside `within`.
Walk walk(QWidget& window, const QString& where, QWidget* within = nullptr) {
    Walk result;
    if (QWidget* focused = window.focusWidget()) focused->clearFocus();
    // As a Tab press marks it: the window's styles show focus reached by the keyboard.
    window.setAttribute(Qt::WA_KeyboardFocusChange);
    QWidget* first = nullptr;
    for (int i = 0; i < 200; ++i) {
        TabKey::press(QApplication::focusWidget() ? QApplication::focusWidget() : &window);
        QWidget* stop = QApplication::focusWidget();
        if (!stop || stop == first) break;
        if (!first) first = stop;
        if (within && stop != within && !within->isAncestorOf(stop)) continue;
        result.stops << nameOf(stop);
        const QString fault = faultOf(window, *stop);
        if (!fault.isEmpty()) result.faults << QStringLiteral("%1: %2: %3").arg(where, nameOf(stop), fault);
    }
    return result;
}

} // namespace

// Tab reaches only what acts on a key, and each stop of every page, of Quick Controls and of
// every notch tab shows the ring whole.
TEST(KitFocusRing, EveryTabStopOfThePagesAndTheNotchShowsAWholeRing) {
    QStringList faults;
    {
        DockPageFixture f;
        f.c.h.preferences.setHasCompletedOnboarding(true);
        // Tall enough that every page shows all of its content: no stop lies below the fold.
        QWidget window;
        window.resize(1080, 1800);
        auto* root = new RootView(f.context, &window);
        root->resize(window.size());
        window.show();
        QApplication::setActiveWindow(&window);
        f.c.h.scheduler.runDue();
        for (VantrelSection section : availableSections()) {
            f.c.sections.select(section);
            if (root->pageFade()) root->pageFade()->setCurrentTime(root->pageFade()->totalDuration());
            f.settle();
            faults << walk(window, rawValue(section)).faults;
        }
        // The Dock page again with the Vantrel Dock on: its pinned rows and shelf extensions.
        ASSERT_TRUE(f.d.content.addWebsite(QStringLiteral("Docs"), QStringLiteral("docs.example.org")));
        ASSERT_TRUE(f.d.content.addWebsite(QStringLiteral("News"), QStringLiteral("news.example.org")));
        // A click on the active-Dock switch turns the Vantrel Dock on and leaves no ring anywhere,
        // though the switch is built anew.
        f.c.sections.select(VantrelSection::dock);
        if (root->pageFade()) root->pageFade()->setCurrentTime(root->pageFade()->totalDuration());
        f.settle();
        auto* dockPage = qobject_cast<DockPage*>(root->page());
        ASSERT_NE(dockPage, nullptr);
        QTest::mouseClick(dockPage->useVantrelDockSwitch(), Qt::LeftButton);
        f.settle();
        ASSERT_TRUE(f.c.h.preferences.customDockEnabled());
        const QImage afterClick = renderWidget(window, Qt::black);
        QWidget* clickFocus = QApplication::focusWidget();
        if (clickFocus) clickFocus->clearFocus();
        EXPECT_TRUE(ringSeen(afterClick, renderWidget(window, Qt::black)).box.isEmpty())
            << "a ring after a click on the active-Dock switch, on "
            << (clickFocus ? nameOf(clickFocus) : QString()).toStdString();
        window.resize(1080, 3600);
        root->resize(window.size());
        f.c.sections.select(VantrelSection::home);
        f.c.sections.select(VantrelSection::dock);
        if (root->pageFade()) root->pageFade()->setCurrentTime(root->pageFade()->totalDuration());
        f.settle();
        faults << walk(window, QStringLiteral("dock (Vantrel Dock)")).faults;
        window.resize(1080, 1800);
        root->resize(window.size());
        // Quick Controls over Home.
        f.c.sections.select(VantrelSection::home);
        if (root->pageFade()) root->pageFade()->setCurrentTime(root->pageFade()->totalDuration());
        f.settle();
        auto* home = qobject_cast<HomePage*>(root->page());
        ASSERT_NE(home, nullptr);
        home->metricButton(HomeUtility::timer)->click();
        if (home->presentation()) home->presentation()->setCurrentTime(home->presentation()->duration());
        f.settle();
        ASSERT_NE(home->panel(), nullptr);
        const Walk panel = walk(window, QStringLiteral("Quick Controls"), home->panel());
        EXPECT_GT(panel.stops.size(), 4) << "the section headers and the controls of the open one";
        faults << panel.faults;
    }
    {
        NotchHarness h;
        h.stores.bookmarks.addWebsite(QStringLiteral("Example"), QStringLiteral("https://example.com"));
        h.controller.show();
        for (NotchTab tab : allCasesOf<NotchTab>()) {
            h.controller.expand(tab, false);
            if (QVariantAnimation* mask = h.controller.presentationAnimation())
                mask->setCurrentTime(mask->totalDuration());
            if (QPropertyAnimation* frame = h.controller.frameAnimation())
                frame->setCurrentTime(frame->totalDuration());
            auto* view = qobject_cast<NotchSurfaceView*>(h.controller.panel()->contentView());
            ASSERT_NE(view, nullptr);
            view->contentFade()->setCurrentTime(view->contentFade()->duration());
            h.scheduler.advance(Seconds(1));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QApplication::setActiveWindow(h.controller.panel());
            faults << walk(*h.controller.panel(), QStringLiteral("notch ") + rawValue(tab)).faults;
        }
    }
    EXPECT_TRUE(faults.isEmpty()) << faults.join(u'\n').toStdString();
}
