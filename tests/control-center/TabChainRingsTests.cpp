#include "control-center/HomePage.h"
#include "control-center/HomeUtilityPanel.h"
#include "control-center/OnboardingView.h"
#include "control-center/RootView.h"
#include "kit/KitPaint.h"
#include "kit/Navigation.h"
#include "kit/VantrelMenuPicker.h"
#include "modules/NotesStore.h"
#include "notch/NotchSurfaceView.h"
#include "notch/NotchTestSupport.h"
#include "platform/linux/QtMenuPresenter.h"
#include "settings/DockPageFixture.h"
#include "support/ControlCenterHarness.h"
#include "support/UtcTime.h"

#include "../kit/KitRender.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHash>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStyleOptionButton>
#include <QTest>
#include <QVariantAnimation>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <tuple>
#include <vector>

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

// The control center in a window of `size`, shown and active.
RootView* showRoot(QWidget& window, DockPageFixture& f, QSize size) {
    window.resize(size);
    auto* root = new RootView(f.context, &window);
    root->resize(size);
    window.show();
    QApplication::setActiveWindow(&window);
    return root;
}

QString nameOf(const QWidget* widget) {
    QString name = widget->accessibleName();
    if (name.isEmpty())
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) name = button->text();
    return QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(widget->metaObject()->className()), name);
}

double luminance(QRgb pixel) {
    const auto linear = [](int c) {
        const double v = c / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(pixel)) + 0.7152 * linear(qGreen(pixel)) + 0.0722 * linear(qBlue(pixel));
}

// The WCAG contrast ratio of two pixels.
double contrast(QRgb a, QRgb b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// How well the ring in `focused` stands out from the pixels beside it: across the middle of each
// side of the ring's box, the ring's strongest pixel against the nearest unchanged pixel outside
// it and inside it. The lowest of the sides, each side taken at the median of its crossings (a
// letter of the label beside the ring may lie next to one of them).
double ringContrast(const QImage& focused, const QImage& unfocused, const QRect& box) {
    const auto change = [&](QPoint p) {
        const QRgb a = focused.pixel(p), b = unfocused.pixel(p);
        return std::max(
            {std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
    };
    const QRect all = focused.rect();
    // A pixel of the ring changes as ringSeen counts it; what lies just beyond is beside it.
    constexpr int kRing = 16;
    // One crossing from `start` inwards along `inward`: the run of changed pixels met first.
    const auto crossing = [&](QPoint start, QPoint inward) -> std::optional<double> {
        QPoint p = start;
        for (int i = 0; i < 8 && all.contains(p) && change(p) <= kRing; ++i) p += inward;
        if (!all.contains(p) || change(p) <= kRing) return std::nullopt;
        const QPoint outside = p - inward;
        QPoint strongest = p;
        while (all.contains(p) && change(p) > kRing) {
            if (change(p) > change(strongest)) strongest = p;
            p += inward;
        }
        if (!all.contains(outside) || !all.contains(p)) return std::nullopt;
        const QRgb ring = focused.pixel(strongest);
        return std::min(contrast(ring, focused.pixel(outside)), contrast(ring, focused.pixel(p)));
    };
    double lowest = 21;
    const auto side = [&](QPoint from, QPoint along, QPoint inward, int length) {
        std::vector<double> seen;
        for (int i = length * 3 / 8; i <= length * 5 / 8; ++i)
            if (const std::optional<double> c = crossing(from + along * i, inward)) seen.push_back(*c);
        if (seen.empty()) return;
        std::sort(seen.begin(), seen.end());
        lowest = std::min(lowest, seen[seen.size() / 2]);
    };
    side(QPoint(box.left(), box.top()), QPoint(0, 1), QPoint(1, 0), box.height());
    side(QPoint(box.right(), box.top()), QPoint(0, 1), QPoint(-1, 0), box.height());
    side(QPoint(box.left(), box.top()), QPoint(1, 0), QPoint(0, 1), box.width());
    side(QPoint(box.left(), box.bottom()), QPoint(1, 0), QPoint(0, -1), box.width());
    return lowest;
}

// Whether the ring runs through or touches the label of a button drawn as its label alone, as wide
// as its label (one whose fill covers most of it carries its ring on the fill): no pixel of the
// ring lies next to a pixel of the label, at `ratio` device pixels to the point. `placed` is the
// button's place in the images.
QString labelCut(QWidget& stop, const QImage& focused, const QImage& unfocused, const QRect& placed,
                 double ratio) {
    const bool hadFocus = stop.hasFocus();
    stop.clearFocus();
    QImage alone((QSizeF(stop.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    alone.setDevicePixelRatio(ratio);
    alone.fill(Qt::transparent);
    stop.render(&alone, QPoint(), QRegion(), QWidget::DrawChildren);
    if (hadFocus) stop.setFocus(Qt::TabFocusReason);
    int ink = 0;
    QRect inkBox;
    for (int y = 0; y < alone.height(); ++y)
        for (int x = 0; x < alone.width(); ++x)
            if (qAlpha(alone.pixel(x, y)) > 96) {
                ++ink;
                inkBox |= QRect(x, y, 1, 1);
            }
    if (ink == 0 || ink * 2 > alone.width() * alone.height()) return {};
    // Only a button whose label reaches to its side leaves its ring no room inside.
    const int reach = int(std::ceil((KitPaint::kFocusRingRoom + 2) * ratio));
    if (!qobject_cast<QAbstractButton*>(&stop) ||
        (inkBox.left() > reach && inkBox.right() < alone.width() - 1 - reach))
        return {};
    const auto changed = [&](int x, int y) {
        if (!focused.rect().contains(x, y)) return false;
        const QRgb a = focused.pixel(x, y), b = unfocused.pixel(x, y);
        return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                         std::abs(qBlue(a) - qBlue(b))}) > 16;
    };
    // A pixel of the ring lies where the label leaves the control bare; a label that changes its
    // own colour with the focus is no ring.
    const auto bare = [&](int x, int y) {
        return !alone.rect().contains(x, y) || qAlpha(alone.pixel(x, y)) == 0;
    };
    for (int y = 0; y < alone.height(); ++y)
        for (int x = 0; x < alone.width(); ++x) {
            if (qAlpha(alone.pixel(x, y)) <= 96) continue;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (bare(x + dx, y + dy) && changed(placed.x() + x + dx, placed.y() + y + dy))
                        return QStringLiteral("the ring touches its label");
        }
    return {};
}

// What is wrong with how `stop` shows its focus in `window`, or nothing: its rendering with and
// without the focus differ by a ring seen on all four sides (a text field by its caret), that
// stands out by 3:1 from what lies beside it, drawn at `ratio` device pixels to the point, and
// not at all when the focus came from a click. `contrasts` gets each ring's contrast.
QString faultOf(QWidget& window, QWidget& stop, double ratio, QStringList* contrasts,
                QList<QImage>* shots = nullptr, bool fieldsRinged = false) {
    // Only the stop's surroundings are drawn: the stop and the control it is part of.
    QRect place(stop.mapTo(&window, QPoint()), stop.size());
    QRect area = place;
    if (QWidget* parent = stop.parentWidget())
        area |= QRect(parent->mapTo(&window, QPoint()), parent->size());
    area = area.adjusted(-8, -8, 8, 8) & window.rect();
    place.translate(-area.topLeft());
    const auto render = [&] {
        QImage image((QSizeF(area.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::black);
        window.render(&image, QPoint(), QRegion(area), QWidget::DrawChildren);
        return image;
    };
    const QImage focused = render();
    if (shots) {
        // Every device pixel on the sheet.
        QImage shot = focused;
        shot.setDevicePixelRatio(1);
        *shots << shot;
    }
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
    const QRect placed((QRectF(place).topLeft() * ratio).toPoint(), (QSizeF(place.size()) * ratio).toSize());
    if (ring.box.isEmpty() || !ring.box.intersects(placed)) return QStringLiteral("shows nothing");
    // A text field shows its caret; one that the kit rings (its focus reason watched) must show
    // that ring whole and clear.
    if (textField && !(fieldsRinged && qobject_cast<QLineEdit*>(&stop)) &&
        !stop.property("vantrelClickFocus").isValid())
        return {};
    if (!ring.missingSides.isEmpty())
        return QStringLiteral("ring cut, missing on the ") + ring.missingSides.join(u", ");
    // A caret is no ring: the ring goes round the whole field.
    if (textField && !ring.box.contains(placed.adjusted(2, 2, -2, -2)))
        return QStringLiteral("shows only its caret");
    if (const QString cut = labelCut(stop, focused, unfocused, placed, ratio); !cut.isEmpty()) return cut;
    const double c = ringContrast(focused, unfocused, ring.box);
    if (contrasts) *contrasts << QStringLiteral("%1 %2:1").arg(nameOf(&stop)).arg(c, 0, 'f', 2);
    if (c < 3) {
        if (qEnvironmentVariableIsSet("VANTREL_PRINT_RINGS"))
            focused.save(
                rendersFolder() +
                QStringLiteral("/ring-%1.png").arg(nameOf(&stop).remove(QRegularExpression("[^A-Za-z0-9]"))));
        return QStringLiteral("ring stands out by only %1:1").arg(c, 0, 'f', 2);
    }
    return {};
}

// The most frequent colour among the pixels of `area`.
QRgb commonColor(const QImage& image, const QRect& area) {
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) ++counts[image.pixel(x, y)];
    QRgb best = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) {
            most = it.value();
            best = it.key();
        }
    return best;
}

// The strongest contrast of any pixel of `area` against `against`.
double strongestAgainst(const QImage& image, const QRect& area, QRgb against) {
    double strongest = 1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            strongest = std::max(strongest, contrast(image.pixel(x, y), against));
    return strongest;
}

// What is wrong with how an unchecked check box shows on its card, or nothing: its box must
// stand out from the card beside it by 3:1.
QString checkBoxFault(QWidget& window, QCheckBox& box) {
    const bool checked = box.isChecked();
    {
        const QSignalBlocker quiet(&box);
        box.setChecked(false);
    }
    box.clearFocus();
    QStyleOptionButton option;
    option.initFrom(&box);
    const QRect indicator = box.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box);
    const QImage image = renderWidget(window, Qt::black);
    {
        const QSignalBlocker quiet(&box);
        box.setChecked(checked);
    }
    box.setFocus(Qt::TabFocusReason);
    const QRect placed(box.mapTo(&window, indicator.topLeft()), indicator.size());
    // The card just right of the box, before the label.
    const QRgb card = image.pixel(placed.right() + 2, placed.center().y());
    const double c = strongestAgainst(image, placed, card);
    return c < 3 ? QStringLiteral("an unchecked box stands out by only %1:1").arg(c, 0, 'f', 2) : QString();
}

// What is wrong with the list a pop-up `row` of `list` shows, or nothing: its selected row's text
// reads at 4.5:1 on the selection, the boxes of the rows not chosen stand out by 3:1, and the
// list is at least as wide as the control that opened it (`opener` wide).
QString listFault(const QImage& image, const QRect& selected, const QRect& other, int width, int opener) {
    QStringList faults;
    if (width < opener)
        faults << QStringLiteral("a %1-wide list under a %2-wide button").arg(width).arg(opener);
    const QRgb fill = commonColor(image, selected);
    // The text, right of the check column.
    const QRect text = selected.adjusted(selected.height() + 4, 0, 0, 0);
    const double c = strongestAgainst(image, text, fill);
    if (c < 4.5) faults << QStringLiteral("the selected row's text reads at only %1:1").arg(c, 0, 'f', 2);
    if (!other.isEmpty()) {
        const QRgb ground = commonColor(image, other);
        const QRect check(other.left(), other.top(), other.height() + 4, other.height());
        const double box = strongestAgainst(image, check, ground);
        if (box < 3)
            faults << QStringLiteral("an unchosen row's box stands out by only %1:1").arg(box, 0, 'f', 2);
    }
    return faults.join(u"; ");
}

// The list a picker or pop-up button opens, as it shows, judged by listFault.
QString popUpFault(QWidget& stop) {
    if (auto* picker = qobject_cast<VantrelMenuPicker*>(&stop)) {
        QtMenuPresenter presenter;
        presenter.present({&stop, picker->options(), picker->currentIndex()}, {});
        auto* menu = stop.findChild<QMenu*>();
        if (!menu) return QStringLiteral("no pop-up list");
        const QList<QAction*> actions = menu->actions();
        QAction* active = menu->activeAction() ? menu->activeAction() : actions.value(0);
        menu->setActiveAction(active);
        QAction* other = nullptr;
        for (QAction* action : actions)
            if (action != active && !action->isChecked()) other = action;
        const QImage image = renderWidget(*menu);
        const QString fault =
            listFault(image, menu->actionGeometry(active), other ? menu->actionGeometry(other) : QRect(),
                      menu->width(), stop.width());
        menu->close();
        delete menu;
        return fault;
    }
    if (auto* combo = qobject_cast<QComboBox*>(&stop)) {
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        QWidget* popup = view->window();
        const QModelIndex current = view->model()->index(combo->currentIndex(), 0);
        view->setCurrentIndex(current);
        const QModelIndex next = view->model()->index((combo->currentIndex() + 1) % combo->count(), 0);
        const QImage image = renderWidget(*popup);
        const auto inPopup = [&](const QRect& rect) {
            return QRect(view->viewport()->mapTo(popup, rect.topLeft()), rect.size());
        };
        const QString fault = listFault(image, inPopup(view->visualRect(current)),
                                        inPopup(view->visualRect(next)), popup->width(), stop.width());
        combo->hidePopup();
        return fault;
    }
    return {};
}

struct Walk {
    QStringList stops;  // every stop, in Tab order, named with what shows its focus
    QStringList faults; // the stops that show nothing or a cut ring
};

// Tabs once round `window`'s chain from its first stop, judging the stops inside `within`.
Walk walk(QWidget& window, const QString& where, QWidget* within = nullptr, double ratio = 1,
          QStringList* contrasts = nullptr, QList<QImage>* shots = nullptr, bool fieldsRinged = false) {
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
        const qsizetype measured = contrasts ? contrasts->size() : 0;
        QString fault = faultOf(window, *stop, ratio, contrasts, shots, fieldsRinged);
        if (contrasts && contrasts->size() > measured)
            contrasts->last().prepend(where + QStringLiteral(": "));
        if (fault.isEmpty())
            if (auto* box = qobject_cast<QCheckBox*>(stop)) fault = checkBoxFault(window, *box);
        if (fault.isEmpty() && (qobject_cast<VantrelMenuPicker*>(stop) || qobject_cast<QComboBox*>(stop))) {
            fault = popUpFault(*stop);
            // The closed list hands the keys back to the window, to the stop that opened it, once
            // the window system has had its say.
            QCoreApplication::processEvents();
            QApplication::setActiveWindow(&window);
            stop->setFocus(Qt::TabFocusReason);
        }
        if (!fault.isEmpty()) result.faults << QStringLiteral("%1: %2: %3").arg(where, nameOf(stop), fault);
    }
    return result;
}

// The stops named `names` that Tab does not reach in this order in `walked`.
QStringList outOfOrder(const Walk& walked, const QString& where, const QStringList& names) {
    QStringList faults;
    qsizetype last = -1;
    for (const QString& name : names) {
        const auto at = std::ranges::find_if(walked.stops, [&](const QString& stop) {
            return stop.endsWith(QLatin1Char('"') + name + QLatin1Char('"'));
        });
        const qsizetype index = at == walked.stops.end() ? -1 : at - walked.stops.begin();
        if (index < 0)
            faults << QStringLiteral("%1: \"%2\" not reached").arg(where, name);
        else if (index <= last)
            faults << QStringLiteral("%1: \"%2\" not after \"%3\" in %4")
                          .arg(where, name, names.at(names.indexOf(name) - 1), walked.stops.join(u", "));
        last = std::max(last, index);
    }
    return faults;
}

} // namespace

// Tab reaches only what acts on a key, and each stop of every page, of Quick Controls and of
// every notch tab shows the ring whole, standing out by 3:1 from what lies beside it in the light
// and the dark look; the notch's text fields ring their capsules. Rows of a list built at start or
// anew while the page shows (Home's notes, the Dock's pinned items) come where they stand on
// screen. An unchecked box stands out by 3:1 from its card, and the list a picker opens is as wide
// as the picker, with its selected row's text at 4.5:1 and the boxes of the other rows at 3:1.
TEST(KitFocusRing, EveryTabStopOfThePagesAndTheNotchShowsAWholeRing) {
    QStringList faults;
    QStringList contrasts;
    for (AppearanceMode mode : {AppearanceMode::light, AppearanceMode::dark}) {
        const QString look = rawValue(mode) + QLatin1Char(' ');
        DockPageFixture f;
        f.c.h.preferences.setAppearanceMode(mode);
        f.c.h.preferences.setHasCompletedOnboarding(true);
        // Tall enough that every page shows all of its content: no stop lies below the fold.
        QWidget window;
        NotesStore& notes = f.c.stores.notes;
        notes.add(std::nullopt);
        notes.updateSelected(QStringLiteral("Groceries"));
        RootView* root = showRoot(window, f, QSize(1080, 1800));
        f.c.h.scheduler.runDue();
        notes.add(std::nullopt);
        notes.updateSelected(QStringLiteral("Plans"));
        for (VantrelSection section : availableSections()) {
            f.c.sections.select(section);
            if (root->pageFade()) root->pageFade()->setCurrentTime(root->pageFade()->totalDuration());
            f.settle();
            const Walk page = walk(window, look + rawValue(section), nullptr, 1, &contrasts);
            faults << page.faults;
            if (section == VantrelSection::home)
                for (const QString& note : {QStringLiteral("Groceries"), QStringLiteral("Plans")})
                    faults << outOfOrder(page, look + QStringLiteral("home"), {"New note", note, "Note"});
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
        ASSERT_TRUE(f.d.content.addWebsite(QStringLiteral("Blog"), QStringLiteral("blog.example.org")));
        f.settle();
        const QString replacement = look + QStringLiteral("dock (Vantrel Dock)");
        const QStringList pinned{"Add Website", "Move Docs earlier", "Move Blog earlier", "Temporary files"};
        window.resize(1080, 3600);
        root->resize(window.size());
        faults << outOfOrder(walk(window, replacement, nullptr, 1, &contrasts), replacement, pinned);
        f.c.sections.select(VantrelSection::home);
        f.c.sections.select(VantrelSection::dock);
        if (root->pageFade()) root->pageFade()->setCurrentTime(root->pageFade()->totalDuration());
        f.settle();
        const Walk rebuilt = walk(window, replacement, nullptr, 1, &contrasts);
        faults << rebuilt.faults << outOfOrder(rebuilt, replacement, pinned);
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
        const Walk panel =
            walk(window, look + QStringLiteral("Quick Controls"), home->panel(), 1, &contrasts);
        EXPECT_GT(panel.stops.size(), 4) << "the section headers and the controls of the open one";
        faults << panel.faults;
    }
    // The notch in both its looks, at its default size and at Large, where the note tools show,
    // with a day of events and a note.
    for (NotchAppearance appearance : {NotchAppearance::crystal, NotchAppearance::midnight})
        for (NotchSize size : {NotchSize::medium, NotchSize::large}) {
            NotchHarness h;
            h.preferences.setNotchAppearance(appearance);
            h.preferences.setNotchSize(size);
            h.stores.bookmarks.addWebsite(QStringLiteral("Example"), QStringLiteral("https://example.com"));
            for (const auto& [title, start, end] :
                 {std::tuple{"Quarterly planning with the design team", "2026-01-05T10:00:00Z",
                             "2026-01-05T10:15:00Z"},
                  std::tuple{"Design review", "2026-01-05T14:00:00Z", "2026-01-05T15:00:00Z"}}) {
                CalendarEvent event;
                event.identifier = QString::fromLatin1(title);
                event.title = QString::fromLatin1(title);
                event.startDate = utc(start);
                event.endDate = utc(end);
                h.calendarService.stored.push_back(event);
            }
            h.stores.calendar.refresh();
            h.stores.notes.updateSelected(QStringLiteral("Groceries\nmilk, eggs, bread"));
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
                faults << walk(*h.controller.panel(),
                               QStringLiteral("notch %1 %2 %3")
                                   .arg(rawValue(appearance), rawValue(size), rawValue(tab)),
                               nullptr, 1, &contrasts, nullptr, true)
                              .faults;
            }
        }
    EXPECT_TRUE(faults.isEmpty()) << faults.join(u'\n').toStdString();
    if (qEnvironmentVariableIsSet("VANTREL_PRINT_RINGS")) qInfo().noquote() << contrasts.join(u'\n');
}

// On a fresh profile, the keyboard alone: each Tab of every onboarding step shows the ring on the
// stop it reaches, the only stop of the first step included, standing out by 3:1 in the light and
// the dark look, at one and at two device pixels to the point.
TEST(KitFocusRing, EveryTabStopOfEveryOnboardingStepShowsTheRing) {
    QStringList faults;
    QStringList contrasts;
    for (AppearanceMode mode : {AppearanceMode::light, AppearanceMode::dark})
        for (double ratio : {1.0, 2.0}) {
            QList<QImage> shots;
            DockPageFixture f;
            f.c.h.preferences.setAppearanceMode(mode);
            QWidget window;
            RootView* root = showRoot(window, f, QSize(1080, 720));
            auto* onboarding = root->findChild<OnboardingView*>();
            ASSERT_NE(onboarding, nullptr);
            const QStringList expected[] = {
                {"Continue"},
                {"Notch Panel", "Command Palette", "Back", "Continue"},
                {"Allow", "Back", "Continue"},
                {"Back", "Start using Vantrel"},
            };
            for (int step = 0; step < 4; ++step) {
                const QString where =
                    QStringLiteral("onboarding %1 %2x step %3").arg(rawValue(mode)).arg(ratio).arg(step);
                if (step > 0) {
                    onboarding->flow().advance();
                    onboarding->stepAnimation()->setCurrentTime(onboarding->stepAnimation()->totalDuration());
                }
                f.settle();
                const auto render = [&] {
                    QImage image((QSizeF(window.size()) * ratio).toSize(),
                                 QImage::Format_ARGB32_Premultiplied);
                    image.setDevicePixelRatio(ratio);
                    image.fill(Qt::black);
                    window.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
                    return image;
                };
                QStringList names;
                QList<QWidget*> stops;
                for (int press = 0; press < 8; ++press) {
                    const QImage before = render();
                    QWidget* from = QApplication::focusWidget();
                    QTest::keyClick(from ? from : &window, Qt::Key_Tab);
                    QWidget* stop = QApplication::focusWidget();
                    ASSERT_NE(stop, nullptr) << where.toStdString();
                    // The first Tab shows where the focus is, also where it stays on the same stop.
                    if (press == 0 && largestChannelDifference(before, render()) == 0)
                        faults << QStringLiteral("%1: Tab %2 changes no pixel").arg(where).arg(press + 1);
                    if (stops.contains(stop)) break;
                    stops << stop;
                    names << nameOf(stop);
                    const qsizetype measured = contrasts.size();
                    const QString fault = faultOf(window, *stop, ratio, &contrasts, &shots);
                    if (contrasts.size() > measured) contrasts.last().prepend(where + QStringLiteral(": "));
                    if (!fault.isEmpty())
                        faults << QStringLiteral("%1: %2: %3").arg(where, nameOf(stop), fault);
                }
                for (const QString& name : expected[step])
                    if (!names.join(u' ').contains(QLatin1Char('"') + name + QLatin1Char('"')))
                        faults
                            << QStringLiteral("%1: no stop \"%2\" in %3").arg(where, name, names.join(u", "));
            }
        }
    EXPECT_TRUE(faults.isEmpty()) << faults.join(u'\n').toStdString();
    if (qEnvironmentVariableIsSet("VANTREL_PRINT_RINGS")) qInfo().noquote() << contrasts.join(u'\n');
}

// At the window's smallest size, every stop Tab or Shift+Tab reaches on a page is scrolled into
// view, the page's last control reached backwards from the navigation above it included.
TEST(KitFocusRing, EveryStopTheKeyboardReachesOnAPageIsScrolledIntoView) {
    QStringList faults;
    DockPageFixture f;
    f.c.h.preferences.setHasCompletedOnboarding(true);
    QWidget window;
    RootView* root = showRoot(window, f, QSize(720, 600));
    f.c.h.scheduler.runDue();
    for (const bool back : {false, true})
        for (VantrelSection section : availableSections()) {
            f.c.sections.select(section);
            if (root->pageFade()) root->pageFade()->setCurrentTime(root->pageFade()->totalDuration());
            f.settle();
            auto* page = qobject_cast<QAbstractScrollArea*>(root->page());
            ASSERT_NE(page, nullptr);
            const QString where = rawValue(section) + (back ? QStringLiteral(" backwards") : QString());
            QWidget* first = nullptr;
            int onPage = 0;
            for (int i = 0; i < 200; ++i) {
                QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &window;
                // A note editor keeps Tab for its text; Ctrl+Tab leaves it.
                const bool editor = qobject_cast<QPlainTextEdit*>(focus) || focus->inherits("QTextEdit");
                QTest::keyClick(focus, Qt::Key_Tab,
                                (editor ? Qt::ControlModifier : Qt::NoModifier) |
                                    (back ? Qt::ShiftModifier : Qt::NoModifier));
                f.settle();
                QWidget* now = QApplication::focusWidget();
                if (!now || now == first) break;
                if (!first) first = now;
                if (!page->viewport()->isAncestorOf(now)) continue;
                ++onPage;
                const QRect seen(now->mapTo(page->viewport(), QPoint()), now->size());
                if (!page->viewport()->rect().contains(seen))
                    faults << QStringLiteral("%1: %2 at y %3 of a %4-pixel view")
                                  .arg(where, nameOf(now))
                                  .arg(seen.y())
                                  .arg(page->viewport()->height());
            }
            if (onPage == 0) faults << where + QStringLiteral(": no stop on the page reached");
        }
    EXPECT_TRUE(faults.isEmpty()) << faults.join(u'\n').toStdString();
}
