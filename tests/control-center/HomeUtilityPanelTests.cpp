#include "HomeTestSupport.h"
#include "control-center/EscapeKeyMonitor.h"
#include "control-center/HomeUtilityPanel.h"
#include "kit/KitRender.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelConcentricGeometry.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelIcon.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelMenuPicker.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/FocusTimer.h"
#include "modules/StopwatchStore.h"
#include "notch/PaintedTexts.h"
#include "platform/linux/QtPasteboard.h"
#include "support/ManualWorkQueue.h"
#include "support/QtPrinters.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QVariantAnimation>
#include <algorithm>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// A glyph button drawn by hand: `symbol` in `color` at `size` and `weight` filling `frame`, on a
// rounded backing of `radius` in `fill` when given.
QImage glyphButtonLook(QSize frame, const char16_t* symbol, QColor color, double size, QFont::Weight weight,
                       QColor fill = QColor(), double radius = 0) {
    QImage image(frame, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (fill.isValid())
        painter.fillPath(ContinuousRoundedRectangle{radius}.path(QRectF(QPointF(), frame)), fill);
    VantrelGlyph::paint(painter, QRectF(QPointF(), frame), symbol, color, size, weight);
    return image;
}

QImage rendered(QWidget* widget) {
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QColor whiteAt(double opacity) {
    return QColor::fromRgbF(1, 1, 1, float(opacity));
}

class PanelTest : public ::testing::Test {
protected:
    template <typename T = QWidget> T* find(const QString& name) const { return panel->findChild<T*>(name); }
    QLabel* value(const char* row) const {
        return find<QLabel>(QString::fromLatin1(row) + QStringLiteral(".value"));
    }
    QStringList texts(const QString& name) const {
        QStringList out;
        for (QLabel* label : panel->findChildren<QLabel*>(name))
            if (label->isVisibleTo(panel.get())) out << label->text();
        return out;
    }
    QList<QWidget*> rows(const QString& name) const {
        QList<QWidget*> out;
        for (QWidget* row : panel->findChildren<QWidget*>(name))
            if (row->isVisibleTo(panel.get())) out << row;
        return out;
    }
    void build(HomeUtility utility) {
        panel = std::make_unique<HomeUtilityPanel>(f.home, actions, utility);
        panel->show();
        QCoreApplication::sendPostedEvents();
    }
    void turn() {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    HomeHarness f;
    HomeActions actions{f.home};
    std::unique_ptr<HomeUtilityPanel> panel;
};

} // namespace

TEST_F(PanelTest, HeadersOnlyReportAndTheOpenSectionFollowsThePage) {
    build(HomeUtility::timer);
    EXPECT_TRUE(panel->isExpanded(HomeUtility::timer));
    EXPECT_FALSE(panel->isExpanded(HomeUtility::clipboard));
    EXPECT_EQ(panel->headerSymbol(), "timer");
    EXPECT_EQ(panel->closeButton()->accessibleName(), "Close quick controls");

    actions.presentUtility(HomeUtility::timer);
    const qsizetype from = f.c.mark();
    panel->sectionHeader(HomeUtility::timer)->click();
    EXPECT_EQ(actions.presentedUtility(), HomeUtility::timer) << "the open header keeps its section";
    panel->sectionHeader(HomeUtility::clipboard)->click();
    EXPECT_EQ(actions.presentedUtility(), HomeUtility::clipboard);
    EXPECT_TRUE(f.c.callsSince(from).isEmpty()) << "switching sections plays nothing";
    EXPECT_TRUE(panel->isExpanded(HomeUtility::timer)) << "the panel waits for the page";
    panel->setSelected(HomeUtility::clipboard);
    EXPECT_FALSE(panel->isExpanded(HomeUtility::timer));
    EXPECT_TRUE(panel->isExpanded(HomeUtility::clipboard));
    EXPECT_EQ(panel->headerSymbol(), "doc.on.clipboard");

    panel->closeButton()->click();
    EXPECT_EQ(actions.presentedUtility(), std::nullopt);
}

TEST_F(PanelTest, SectionHeadersRuleAndEmptyStateAreDrawnAsStated) {
    f.c.h.preferences.setAccent(Accent::coral);
    build(HomeUtility::clipboard);
    const QColor accent = VantrelTheme::accent(Accent::coral);
    // A header at two pixels a point: the glyph at 13 semibold on a 30-point tile of radius 9, 14
    // in (the accent on the accent at 13 % when open, white at 62 % on white at 5.5 % when not),
    // the title at 13 bold 11 after it, the chevron at 9 bold in 22 by 30, 14 from the end.
    for (const HomeUtility utility : {HomeUtility::clipboard, HomeUtility::timer}) {
        const bool open = utility == HomeUtility::clipboard;
        QAbstractButton* header = panel->sectionHeader(utility);
        const int w = header->width(), h = header->height();
        QImage expected(header->size() * 2, QImage::Format_ARGB32_Premultiplied);
        expected.setDevicePixelRatio(2);
        expected.fill(Qt::transparent);
        {
            QPainter painter(&expected);
            painter.setRenderHint(QPainter::Antialiasing);
            const QRectF tile(14, (h - 30) / 2.0, 30, 30);
            painter.fillPath(ContinuousRoundedRectangle{9}.path(tile),
                             open ? VantrelTheme::withOpacity(accent, 0.13) : whiteAt(0.055));
            VantrelGlyph::paint(painter, tile, open ? u"doc.on.clipboard" : u"timer",
                                open ? accent : whiteAt(0.62), 13, QFont::DemiBold);
            painter.setFont(VantrelType::font(13, QFont::Bold));
            painter.setPen(Qt::white);
            const QRectF chevron(w - 14 - 22, (h - 30) / 2.0, 22, 30);
            painter.drawText(QRectF(14 + 30 + 11, 0, chevron.left() - 11 - 14 - 30 - 11, h),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, header->text());
            VantrelGlyph::paint(painter, chevron, open ? u"chevron.up" : u"chevron.down", whiteAt(0.48), 9,
                                QFont::Bold);
        }
        QImage look(header->size() * 2, QImage::Format_ARGB32_Premultiplied);
        look.setDevicePixelRatio(2);
        look.fill(Qt::transparent);
        header->render(&look, QPoint(), QRegion(), QWidget::DrawChildren);
        int differing = 0;
        for (int y = 0; y < look.height(); ++y)
            for (int x = 0; x < look.width(); ++x) {
                const QRgb a = look.pixel(x, y), b = expected.pixel(x, y);
                if (std::abs(qAlpha(a) - qAlpha(b)) > 1 || std::abs(qRed(a) - qRed(b)) > 1 ||
                    std::abs(qGreen(a) - qGreen(b)) > 1 || std::abs(qBlue(a) - qBlue(b)) > 1)
                    ++differing;
            }
        EXPECT_EQ(differing, 0) << rawValue(utility).toStdString();
    }

    // Under the open header, the rule inset 14 at both sides right at the top of the body.
    QWidget* body = nullptr;
    for (QWidget* child : panel->sectionHeader(HomeUtility::clipboard)
                              ->parentWidget()
                              ->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (child != panel->sectionHeader(HomeUtility::clipboard) && child->isVisibleTo(panel.get()))
            body = child;
    ASSERT_NE(body, nullptr);
    QWidget* rule = nullptr;
    for (QWidget* child : body->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (child->height() == 1) rule = child;
    ASSERT_NE(rule, nullptr);
    EXPECT_EQ(rule->geometry(), QRect(14, 0, body->width() - 28, 1));
    // The controls follow the rule directly.
    int controlsTop = -1;
    for (QWidget* child : body->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (child != rule && !child->isHidden()) controlsTop = child->y();
    EXPECT_EQ(controlsTop, 1);

    // The empty state's glyph: 14 semibold in the accent, in a 32 by 32 frame.
    ASSERT_EQ(rows("empty").size(), 1);
    const auto* glyph = rows("empty").first()->findChild<VantrelGlyph*>();
    ASSERT_NE(glyph, nullptr);
    EXPECT_EQ(glyph->pointSize(), 14);
    EXPECT_EQ(glyph->weight(), QFont::DemiBold);
    EXPECT_EQ(glyph->size(), QSize(32, 32));
}

TEST_F(PanelTest, EscapeIsTakenOnlyWhileTheMonitorLives) {
    QWidget other;
    int calls = 0;
    {
        EscapeKeyMonitor monitor([&] { ++calls; });
        ASSERT_TRUE(monitor.isInstalled());
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        EXPECT_TRUE(QApplication::sendEvent(&other, &escape));
        EXPECT_EQ(calls, 1);
        QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        letter.ignore();
        QApplication::sendEvent(&other, &letter);
        EXPECT_EQ(calls, 1) << "other keys travel on";
        monitor.setOnEscape([&] { calls += 10; });
        QKeyEvent again(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&other, &again);
        EXPECT_EQ(calls, 11) << "the newest action is called";
        // Escape is known by its key alone: held modifiers change nothing, a release is no press.
        for (Qt::KeyboardModifiers held : {Qt::KeyboardModifiers(Qt::ShiftModifier),
                                           Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier)}) {
            QKeyEvent modified(QEvent::KeyPress, Qt::Key_Escape, held);
            EXPECT_TRUE(QApplication::sendEvent(&other, &modified));
        }
        EXPECT_EQ(calls, 31);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&other, &release);
        EXPECT_EQ(calls, 31) << "only the press acts";
        // While its panel fades away the monitor lets Escape travel on to the focused control.
        struct Receiver final : QWidget {
            int presses = 0;
            void keyPressEvent(QKeyEvent*) override { ++presses; }
        } receiver;
        QKeyEvent taken(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&receiver, &taken);
        EXPECT_EQ(receiver.presses, 0) << "consumed before any control sees it";
        monitor.setEnabled(false);
        QKeyEvent fading(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&receiver, &fading);
        EXPECT_EQ(receiver.presses, 1);
        EXPECT_EQ(calls, 41);
    }
    QKeyEvent after(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    after.ignore();
    QApplication::sendEvent(&other, &after);
    EXPECT_EQ(calls, 41) << "removed with the monitor";
}

TEST_F(PanelTest, TimerRowsStepWithinTheirBoundsAndShowTheStores) {
    FocusTimer& focus = f.c.stores.focus;
    StopwatchStore& stopwatch = f.c.stores.stopwatch;
    build(HomeUtility::timer);
    auto* minus = find<QAbstractButton>("focus.minus");
    auto* plus = find<QAbstractButton>("focus.plus");
    // The stepper: minus, the 48-point minutes, plus, 5 apart from its start.
    EXPECT_EQ(minus->x(), 0);
    EXPECT_EQ(plus->x(), 26 + 5 + 48 + 5);
    EXPECT_EQ(minus->parentWidget()->sizeHint(), QSize(26 + 5 + 48 + 5 + 26, 26)) << "no padding of its own";
    focus.updateDuration(1);
    EXPECT_FALSE(minus->isEnabled());
    EXPECT_TRUE(plus->isEnabled());
    plus->click();
    EXPECT_EQ(focus.durationMinutes(), 2);
    EXPECT_TRUE(texts(QString()).contains("2 min")) << texts(QString()).join(" | ").toStdString();
    EXPECT_TRUE(minus->isEnabled());
    focus.updateDuration(120);
    EXPECT_FALSE(plus->isEnabled());
    EXPECT_TRUE(minus->isEnabled());
    focus.updateDuration(30);
    // A section header, 52 high: the utility's 30-point tile 14 from its leading edge, centred.
    QAbstractButton* header = panel->sectionHeader(HomeUtility::timer);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->height(), 52);
    const QImage headerLook = rendered(header);
    EXPECT_GT(qAlpha(headerLook.pixel(14 + 15, 11 + 1)), 0) << "the tile, 11 below the top";
    EXPECT_EQ(qAlpha(headerLook.pixel(14 + 15, 11 - 2)), 0) << "nothing above it";
    EXPECT_GT(qAlpha(headerLook.pixel(14 + 1, 26)), 0);
    EXPECT_EQ(qAlpha(headerLook.pixel(14 - 2, 26)), 0) << "nothing before it";
    // The title, 13-point bold, 11 after the tile and centred on the header's height: its ink
    // falls on the same rows and columns as that text set in the same place.
    QImage title(headerLook.size(), QImage::Format_ARGB32_Premultiplied);
    title.fill(Qt::transparent);
    {
        QPainter painter(&title);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setFont(VantrelType::font(13, QFont::Bold));
        painter.setPen(Qt::white);
        painter.drawText(QRectF(14 + 30 + 11, 0, header->width(), 52), Qt::AlignLeft | Qt::AlignVCenter,
                         header->text());
    }
    const auto inkBounds = [&](const QImage& image) {
        QRect bounds;
        for (int y = 0; y < 52; ++y)
            for (int x = 14 + 30 + 1; x < header->width() - 14 - 22 - 1; ++x)
                if (qAlpha(image.pixel(x, y)) > 0) bounds |= QRect(x, y, 1, 1);
        return bounds;
    };
    EXPECT_FALSE(inkBounds(title).isEmpty());
    EXPECT_EQ(inkBounds(headerLook), inkBounds(title));
    // The tile's glyph, 13-point semibold in the accent on the accent at 13 %, and the chevron,
    // "chevron.up" in white at 48 %, 9-point bold in a 22 by 30 frame 14 from the trailing edge.
    const QColor accent = VantrelTheme::accent(f.c.h.preferences.accent());
    EXPECT_EQ(headerLook.copy(14, 11, 30, 30),
              glyphButtonLook(QSize(30, 30), u"timer", accent, 13, QFont::DemiBold,
                              VantrelTheme::withOpacity(accent, 0.13), 9));
    EXPECT_EQ(headerLook.copy(header->width() - 14 - 22, 11, 22, 30),
              glyphButtonLook(QSize(22, 30), u"chevron.up", whiteAt(0.48), 9, QFont::Bold));
    // The header: 18 of padding on every side, the icon 38 across and "Quick Controls" 12 after it.
    QLabel* heading = nullptr;
    for (QLabel* label : panel->findChildren<QLabel*>())
        if (label->text() == "Quick Controls") heading = label;
    ASSERT_NE(heading, nullptr);
    auto* icon = heading->parentWidget()->findChild<VantrelIcon*>();
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->pos(), QPoint(18, 18));
    EXPECT_EQ(icon->size(), QSize(38, 38));
    EXPECT_EQ(heading->mapTo(heading->parentWidget(), QPoint()).x(), 18 + 38 + 12);
    // Its subtitle 2 below it.
    QLabel* subtitle = nullptr;
    for (QLabel* label : panel->findChildren<QLabel*>())
        if (label->text() == "Timer, clipboard, and temporary files") subtitle = label;
    ASSERT_NE(subtitle, nullptr);
    EXPECT_EQ(subtitle->x(), heading->x());
    EXPECT_EQ(subtitle->y(), heading->y() + heading->height() + 2);
    // The steps: "minus" and "plus" in white at 72 %, 8 points bold, 26 square, on a rounded
    // rectangle of radius 7 filled white at 7.5 %.
    EXPECT_EQ(rendered(minus),
              glyphButtonLook(QSize(26, 26), u"minus", whiteAt(0.72), 8, QFont::Bold, whiteAt(0.075), 7));
    EXPECT_EQ(rendered(plus),
              glyphButtonLook(QSize(26, 26), u"plus", whiteAt(0.72), 8, QFont::Bold, whiteAt(0.075), 7));
    find<QAbstractButton>("timer.primary")->click();
    EXPECT_TRUE(focus.isRunning());
    EXPECT_EQ(find<VantrelButton>("timer.primary")->text(), "Pause");
    EXPECT_FALSE(minus->isEnabled());
    EXPECT_FALSE(plus->isEnabled());
    f.c.h.scheduler.advance(Seconds(5));
    EXPECT_EQ(value("timer")->text(), "29:55");
    find<QAbstractButton>("timer.primary")->click();
    EXPECT_TRUE(minus->isEnabled() && plus->isEnabled()) << "paused, the stepper works again";

    // "Lap" only while the stopwatch runs; a lap leaves the panel as it is.
    auto* lap = find<QAbstractButton>("lap");
    EXPECT_FALSE(lap->isEnabled());
    EXPECT_EQ(find<VantrelButton>("stopwatch.primary")->text(), "Start");
    find<QAbstractButton>("stopwatch.primary")->click();
    EXPECT_TRUE(lap->isEnabled());
    EXPECT_EQ(find<VantrelButton>("stopwatch.primary")->text(), "Pause");
    f.c.h.scheduler.advance(Seconds(1.25));
    EXPECT_EQ(value("stopwatch")->text(), "0:01.20");
    lap->click();
    EXPECT_EQ(stopwatch.laps().size(), 1);
    find<QAbstractButton>("stopwatch.primary")->click();
    EXPECT_FALSE(lap->isEnabled());
    EXPECT_EQ(find<VantrelButton>("stopwatch.primary")->text(), "Start");

    // The countdown: "5:00" fresh, the remaining time without hundredths, the minutes after Reset.
    EXPECT_EQ(value("countdown")->text(), "5:00");
    find<QAbstractButton>("countdown.primary")->click();
    f.c.h.scheduler.advance(Seconds(61.5));
    EXPECT_EQ(value("countdown")->text(), "3:58");
    find<QAbstractButton>("countdown.primary")->click();
    EXPECT_EQ(value("countdown")->text(), "3:58") << "paused";
    find<QAbstractButton>("countdown.reset")->click();
    EXPECT_EQ(value("countdown")->text(), "5:00");

    // The minutes menu marks the length among its presets, none for 7.
    auto* menu = find<VantrelMenuPicker>("minutes");
    EXPECT_EQ(menu->options(), (QStringList{"1 min", "3 min", "5 min", "10 min", "25 min"}));
    EXPECT_EQ(menu->currentIndex(), 2);
    stopwatch.setCountdown(7);
    EXPECT_EQ(menu->currentIndex(), -1);
    EXPECT_EQ(value("countdown")->text(), "7:00");
    stopwatch.startCountdown();
    menu->click();
    ASSERT_TRUE(f.c.views.menus.choose(3));
    EXPECT_EQ(stopwatch.countdownMinutes(), 10);
    EXPECT_FALSE(stopwatch.isCountdownRunning()) << "a new length stops the countdown";
    EXPECT_EQ(value("countdown")->text(), "10:00");
}

TEST(HomeUtilityPanelValues, CountdownAndEntryTexts) {
    EXPECT_EQ(HomeUtilityPanel::countdownText(0, 5), "5:00");
    EXPECT_EQ(HomeUtilityPanel::countdownText(0, 25), "25:00");
    EXPECT_EQ(HomeUtilityPanel::countdownText(179.4, 5), "2:59");
    EXPECT_EQ(HomeUtilityPanel::presetIndex(25), 4);
    EXPECT_EQ(HomeUtilityPanel::presetIndex(7), -1);
    EXPECT_EQ(HomeUtilityPanel::oneLine("a\nb\r\nc\rd"), "a b c d");
}

TEST_F(PanelTest, ClipboardListsFiveOnOneLineAndCopiesTheWholeText) {
    build(HomeUtility::clipboard);
    EXPECT_EQ(rows("empty").size(), 1);
    EXPECT_EQ(rows("empty").first()->accessibleName(), "Nothing copied yet");
    // Its glyph: "doc.on.clipboard" in the accent, 14-point semibold in a 32 by 32 frame.
    auto* emptyGlyph = rows("empty").first()->findChild<VantrelGlyph*>();
    ASSERT_NE(emptyGlyph, nullptr);
    EXPECT_EQ(rendered(emptyGlyph),
              glyphButtonLook(QSize(32, 32), u"doc.on.clipboard",
                              VantrelTheme::accent(f.c.h.preferences.accent()), 14, QFont::DemiBold));
    for (int i = 1; i <= 6; ++i) f.copy(QStringLiteral("entry %1").arg(i));
    f.copy(QStringLiteral("first line\nsecond line"));
    turn();
    EXPECT_EQ(texts("clipboard.text"),
              (QStringList{"first line second line", "entry 6", "entry 5", "entry 4", "entry 3"}));
    EXPECT_TRUE(rows("empty").isEmpty());

    f.c.stores.clipboard.setSearchText(QStringLiteral("ENTRY 2"));
    turn();
    EXPECT_EQ(texts("clipboard.text"), QStringList{"entry 2"});
    f.c.stores.clipboard.setSearchText(QString());
    turn();

    const qsizetype entries = f.c.stores.clipboard.entries().size();
    QWidget* first = rows("clipboard.row").first();
    first->findChild<QAbstractButton*>()->click();
    EXPECT_EQ(f.c.h.pasteboard.string(), "first line\nsecond line") << "line breaks kept";
    f.c.stores.clipboard.captureIfNeeded();
    EXPECT_EQ(f.c.stores.clipboard.entries().size(), entries) << "our own copy is not taken in again";

    // A long copy stays on one line: its row is as high as a short one's.
    f.copy(QStringLiteral("a long copied paragraph ").repeated(20));
    turn();
    const QList<QWidget*> listed = rows("clipboard.row");
    ASSERT_EQ(listed.size(), 5);
    QLabel* longText = listed[0]->findChild<QLabel*>("clipboard.text");
    ASSERT_NE(longText, nullptr);
    const QImage look = rendered(longText);
    const int inked = paintedRowSpan(look);
    ASSERT_GT(inked, 0);
    EXPECT_LE(inked, longText->fontMetrics().height());
}

TEST(HomeUtilityPanelClipboard, CopyThroughTheDesktopClipboardAddsNoEntry) {
    HomeHarness f;
    QtPasteboard pasteboard(QGuiApplication::clipboard(),
                            QtPasteboard::platformAnnouncesChanges(QGuiApplication::platformName()));
    ClipboardStore store(pasteboard, f.c.h.persistence, f.c.h.clock, f.c.h.scheduler,
                         std::make_unique<ManualWorkQueue>(),
                         [&f] { f.c.h.log.add(QStringLiteral("copied")); });
    store.start();
    pasteboard.writeString(QStringLiteral("Dear team,\nsee below."));
    store.captureIfNeeded();
    f.c.h.scheduler.advance(Seconds(1));
    QCoreApplication::processEvents();
    ASSERT_EQ(store.entries().size(), 1);
    pasteboard.writeString(QStringLiteral("something else"));
    store.captureIfNeeded();
    ASSERT_EQ(store.entries().size(), 2);

    HomePageContext context = f.home;
    HomePageContext withStore{context.preferences,
                              context.motion,
                              context.haptics,
                              context.appearance,
                              context.clock,
                              context.focus,
                              context.stopwatch,
                              store,
                              context.shelf,
                              context.notes,
                              context.permissions,
                              context.keyboardCleaning,
                              context.openPanel,
                              context.menus,
                              context.files,
                              context.selectSection,
                              context.showCommandPalette};
    HomeActions actions(withStore);
    actions.copyEntry(store.entries().last());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Dear team,\nsee below.");
    // The desktop announces the change on the next turns of the event loop.
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        f.c.h.scheduler.advance(Seconds(1));
    }
    store.captureIfNeeded();
    EXPECT_EQ(store.entries().size(), 2);
    EXPECT_EQ(f.c.h.log.entries.count(QStringLiteral("copied")), 1) << "the haptic after the write";
    store.stop();
}

TEST_F(PanelTest, ALongFileNameStaysOnOneLine) {
    f.shelve({f.file(QStringLiteral("a report with a very long name kept for the quarterly review of every "
                                    "team and every project we run.txt"))});
    build(HomeUtility::files);
    ASSERT_EQ(rows("file.row").size(), 1);
    QLabel* name = rows("file.row").first()->findChild<QLabel*>("file.name");
    ASSERT_NE(name, nullptr);
    const QImage look = rendered(name);
    const int inked = paintedRowSpan(look);
    ASSERT_GT(inked, 0);
    EXPECT_LE(inked, name->fontMetrics().height());
}

TEST_F(PanelTest, ShelfRowsCheckTheirFilesAndRemoveOnlyTheReference) {
    f.c.h.openPanel.itemsAnswer = std::nullopt;
    build(HomeUtility::files);
    EXPECT_EQ(rows("empty").first()->accessibleName(), "Drop or add a file to begin");
    find<QAbstractButton>("addFiles")->click();
    EXPECT_EQ(f.c.h.openPanel.itemRuns, 1);
    EXPECT_TRUE(f.c.stores.fileShelf.items().isEmpty()) << "cancelled";

    const QString kept = f.file(QStringLiteral("kept.txt"));
    const QString gone = f.file(QStringLiteral("gone.txt"));
    QStringList many;
    for (int i = 0; i < 5; ++i) many << f.file(QStringLiteral("file%1.txt").arg(i));
    f.c.h.openPanel.itemsAnswer = QStringList{kept, gone};
    find<QAbstractButton>("addFiles")->click();
    QFile::remove(gone);
    f.shelve({});
    turn();
    QList<QWidget*> listed = rows("file.row");
    ASSERT_EQ(listed.size(), 2);
    // Newest first: the last chosen heads the shelf.
    EXPECT_EQ(listed[0]->findChild<QLabel*>("file.name")->text(), "gone.txt");
    auto* warning = listed[0]->findChild<VantrelGlyph*>("file.glyph");
    EXPECT_EQ(warning->systemName(), "exclamationmark.triangle");
    EXPECT_EQ(warning->color(), QColor(255, 69, 58));
    EXPECT_FALSE(listed[0]->findChild<QAbstractButton*>("file.open")->isEnabled());
    EXPECT_EQ(listed[1]->findChild<VantrelGlyph*>("file.glyph")->systemName(), "doc");
    EXPECT_TRUE(listed[1]->findChild<QAbstractButton*>("file.open")->isEnabled());
    listed[1]->findChild<QAbstractButton*>("file.open")->click();
    EXPECT_EQ(f.c.h.workspace.opened, std::vector<QUrl>{QUrl::fromLocalFile(kept)});

    auto* remove = listed[1]->findChild<QAbstractButton*>("file.remove");
    EXPECT_EQ(remove->toolTip(), "Remove this reference from Vantrel; the original file is not deleted");
    // "xmark" in white at 58 %, 9 points semibold, in a 28 by 28 frame.
    EXPECT_EQ(rendered(remove), glyphButtonLook(QSize(28, 28), u"xmark", whiteAt(0.58), 9, QFont::DemiBold));
    remove->click();
    turn();
    EXPECT_TRUE(QFileInfo::exists(kept)) << "the file stays";
    EXPECT_EQ(f.c.stores.fileShelf.items(), QList<QUrl>{QUrl::fromLocalFile(gone)});
    rows("file.row").first()->findChild<QAbstractButton*>("file.remove")->click();
    turn();
    EXPECT_EQ(rows("empty").size(), 1);

    // Only the newest five of more.
    f.shelve(many + QStringList{kept});
    turn();
    EXPECT_EQ(texts("file.name").size(), 5);
    EXPECT_EQ(texts("file.name").first(), "kept.txt");
}

TEST_F(PanelTest, ControlsHaveTheirSizes) {
    f.shelve({f.file(QStringLiteral("a.txt"))});
    build(HomeUtility::files);
    EXPECT_EQ(panel->size(), QSize(680, 530));
    EXPECT_EQ(panel->closeButton()->size(), QSize(30, 30));
    EXPECT_EQ(find<QAbstractButton>("focus.minus")->size(), QSize(26, 26));
    EXPECT_EQ(find<QAbstractButton>("focus.plus")->size(), QSize(26, 26));
    EXPECT_EQ(value("timer")->width(), 112);
    EXPECT_EQ(find<VantrelMenuPicker>("minutes")->width(), 92);
    EXPECT_EQ(rows("file.row").first()->findChild<QAbstractButton*>("file.remove")->size(), QSize(28, 28));
    EXPECT_EQ(rows("file.row").first()->findChild<VantrelGlyph*>("file.glyph")->size(), QSize(24, 24));
    EXPECT_EQ(panel->sectionHeader(HomeUtility::timer)->height(), 52);
    // A section card is a stack without spacing: the open section's body starts under its header.
    QAbstractButton* shelfHeader = panel->sectionHeader(HomeUtility::files);
    QLayout* card = shelfHeader->parentWidget()->layout();
    ASSERT_NE(card, nullptr);
    ASSERT_EQ(card->count(), 2);
    ASSERT_EQ(card->itemAt(0)->widget(), shelfHeader);
    EXPECT_EQ(shelfHeader->y(), 0);
    QWidget* body = card->itemAt(1)->widget();
    EXPECT_EQ(body->y(), 52);
    // The body opens with the divider, inset 14 at both sides, at its very top.
    // (The body's own layout holds its column, of which it shows as much as the fade has opened.)
    QLayout* bodyColumn = body->layout()->itemAt(0)->layout();
    ASSERT_NE(bodyColumn, nullptr);
    QLayoutItem* ruleRow = bodyColumn->itemAt(0);
    ASSERT_NE(ruleRow->layout(), nullptr);
    QWidget* rule = ruleRow->layout()->itemAt(0)->widget();
    ASSERT_NE(rule, nullptr);
    EXPECT_EQ(rule->x(), 14);
    EXPECT_EQ(rule->y(), 0);
    EXPECT_EQ(rule->width(), body->width() - 28);
    // The controls follow the divider at once.
    QWidget* controls = bodyColumn->itemAt(1)->widget();
    ASSERT_NE(controls, nullptr);
    EXPECT_EQ(controls->y(), rule->geometry().bottom() + 1);
    // The focus minutes, "%lld min" in 10.5-point semibold, 48 wide between the steps.
    auto* minutes = find<QAbstractButton>("focus.minus")
                        ->parentWidget()
                        ->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(minutes, nullptr);
    EXPECT_EQ(minutes->text(), QStringLiteral("%1 min").arg(f.c.stores.focus.durationMinutes()));
    EXPECT_DOUBLE_EQ(VantrelType::pixelSize(minutes->font()), 10.5);
    EXPECT_EQ(minutes->font().weight(), QFont::DemiBold);
    EXPECT_EQ(minutes->width(), 48);
    // Open, the stepper's row: 26, 5 apart, 48, 5 apart, 26, from its leading edge.
    build(HomeUtility::timer);
    auto* minus = find<QAbstractButton>("focus.minus");
    const QWidget* stepper = minus->parentWidget();
    EXPECT_EQ(stepper->width(), 26 + 5 + 48 + 5 + 26);
    EXPECT_EQ(minus->x(), 0);
    EXPECT_EQ(minus->y(), (stepper->height() - 26) / 2) << "centred on the row's height";
    EXPECT_EQ(minus->parentWidget()->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly)->x(), 26 + 5);
    EXPECT_EQ(find<QAbstractButton>("focus.plus")->x(), 26 + 5 + 48 + 5);
}

TEST_F(PanelTest, FiveShelfFilesScrollAtTheirFullHeightAndSectionsCrossFade) {
    QStringList files;
    for (int i = 0; i < 5; ++i) files << f.file(QStringLiteral("file%1.txt").arg(i));
    f.shelve(files);
    build(HomeUtility::files);
    const QList<QWidget*> listed = rows("file.row");
    ASSERT_EQ(listed.size(), 5);
    // Nothing is squeezed to fit the 680 by 530 card: every "Open" keeps its own height, and the
    // sections scroll instead, with no scroll bar drawn.
    EXPECT_EQ(panel->size(), QSize(680, 530));
    for (QWidget* row : listed) {
        auto* open = row->findChild<QAbstractButton*>("file.open");
        EXPECT_EQ(open->height(), open->sizeHint().height());
        EXPECT_GE(open->height(), 33);
    }
    QScrollArea* scroll = panel->sectionsScroll();
    ASSERT_NE(scroll, nullptr);
    EXPECT_GT(scroll->widget()->height(), scroll->viewport()->height());
    EXPECT_EQ(scroll->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(scroll->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
    QWidget* last = listed.last();
    const QRect lastInView(last->mapTo(scroll->viewport(), QPoint()), last->size());
    EXPECT_TRUE(scroll->viewport()->rect().contains(lastInView)) << "scrolled to the last file";
    // The scroll view paints nothing of its own: the card's dark fill shows between the sections.
    const QImage look = rendered(panel.get());
    const QPoint gap = scroll->mapTo(panel.get(), QPoint(8, scroll->height() - 4));
    EXPECT_LT(look.pixelColor(gap).lightness(), 60);

    // Switching from File Shelf to Timer: half way through the page's 0.15-second ease-out, the
    // timer's controls are coming in while the shelf's are going.
    panel->setSelected(HomeUtility::timer);
    QVariantAnimation* fade = panel->crossFade();
    ASSERT_EQ(fade->state(), QAbstractAnimation::Running);
    EXPECT_EQ(fade->duration(), 150);
    fade->setCurrentTime(75);
    const double in = panel->controlsOpacity(HomeUtility::timer);
    const double out = panel->controlsOpacity(HomeUtility::files);
    EXPECT_GT(in, 0.5) << "eased out: past half at half time";
    EXPECT_LT(in, 1);
    EXPECT_NEAR(in + out, 1, 1e-9);
    EXPECT_DOUBLE_EQ(panel->controlsOpacity(HomeUtility::clipboard), 0);
    fade->setCurrentTime(150);
    EXPECT_DOUBLE_EQ(panel->controlsOpacity(HomeUtility::timer), 1);
    EXPECT_DOUBLE_EQ(panel->controlsOpacity(HomeUtility::files), 0);
    EXPECT_TRUE(panel->isExpanded(HomeUtility::timer));
    EXPECT_FALSE(panel->isExpanded(HomeUtility::files));
}

TEST_F(PanelTest, TimesAndMinutesKeepTheirWidthAsTheyChange) {
    build(HomeUtility::timer);
    // Each value's digits in cells of one width: "11:11" as wide as "00:00", so a running time
    // does not shift from second to second.
    for (const char* row : {"timer", "stopwatch", "countdown"}) {
        auto* label = qobject_cast<VantrelLabel*>(value(row));
        ASSERT_NE(label, nullptr) << row;
        EXPECT_TRUE(label->tabularDigits()) << row;
        const QString shown = label->text();
        label->setText(QStringLiteral("11:11"));
        const int ones = label->sizeHint().width();
        label->setText(QStringLiteral("00:00"));
        EXPECT_EQ(label->sizeHint().width(), ones) << row;
        label->setText(shown);
    }
    auto* minutes =
        qobject_cast<VantrelLabel*>(find<QAbstractButton>("focus.minus")
                                        ->parentWidget()
                                        ->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly));
    ASSERT_NE(minutes, nullptr);
    EXPECT_TRUE(minutes->tabularDigits());
    // "11 min" and "25 min" centred in the 48-point frame: " min" starts in the same column.
    const auto minStart = [minutes](const QString& text) {
        minutes->setText(text);
        EXPECT_TRUE(paintedLineTexts(*minutes).contains(text));
        return paintedOrigin(*minutes, QStringLiteral(" min")).value_or(QPointF(-1, 0)).x();
    };
    EXPECT_GT(minStart("11 min"), 0);
    EXPECT_DOUBLE_EQ(minStart("11 min"), minStart("25 min"));
}

TEST_F(PanelTest, TheHeadersBelowMoveWithTheCrossFadeAndDoNotJumpAtItsEnd) {
    build(HomeUtility::timer);
    QAbstractButton* shelfHeader = panel->sectionHeader(HomeUtility::files);
    QScrollArea* scroll = panel->sectionsScroll();
    const auto headerTop = [&] { return shelfHeader->mapTo(scroll->viewport(), QPoint()).y(); };
    const int timerOpen = headerTop();

    // Timer to Clipboard: the File Shelf header starts where it was, ends where the open clipboard
    // puts it, and in between moves only one way, staying in view all along.
    panel->setSelected(HomeUtility::clipboard);
    QVariantAnimation* fade = panel->crossFade();
    ASSERT_EQ(fade->state(), QAbstractAnimation::Running);
    QList<QImage> sheet{rendered(panel.get())};
    QList<int> tops{headerTop()};
    for (int ms : {25, 50, 75, 100, 125, 149}) {
        fade->setCurrentTime(ms);
        tops << headerTop();
        if (ms == 75) sheet << rendered(panel.get());
    }
    fade->setCurrentTime(150);
    turn();
    const int clipboardOpen = headerTop();
    sheet << rendered(panel.get());
    EXPECT_EQ(tops.front(), timerOpen) << "no jump as the fade starts";
    ASSERT_NE(clipboardOpen, timerOpen);
    const int direction = clipboardOpen > timerOpen ? 1 : -1;
    for (qsizetype i = 1; i < tops.size(); ++i) {
        EXPECT_GE((tops[i] - tops[i - 1]) * direction, 0) << "step " << i;
        EXPECT_LE(tops[i] + shelfHeader->height(), scroll->viewport()->height()) << "step " << i;
    }
    EXPECT_GT((tops[3] - timerOpen) * direction, 0) << "under way half through";
    EXPECT_GT((clipboardOpen - tops[3]) * direction, 0) << "not there yet half through";
    EXPECT_LE(std::abs(tops.back() - clipboardOpen), 3) << "no jump as the fade ends";
    saveSheet(QStringLiteral("quick-controls-cross-fade"), sheet, 3);
}

TEST_F(PanelTest, EachSectionsHeaderComesBeforeItsControlsInTheTabOrder) {
    f.copy(QStringLiteral("entry 1"));
    f.copy(QStringLiteral("entry 2"));
    build(HomeUtility::files);
    turn();
    QApplication::setActiveWindow(panel.get());
    QWidget* filesHeader = panel->sectionHeader(HomeUtility::files);
    QWidget* addFiles = find(QStringLiteral("addFiles"));
    ASSERT_TRUE(filesHeader && addFiles);
    QList<QWidget*> stops = panel->tabStops();
    EXPECT_EQ(stops.indexOf(addFiles), stops.indexOf(filesHeader) + 1) << "\"Add Files…\" right after";
    // Tab from the header reaches "Add Files…"; Shift+Tab from it the header again.
    filesHeader->setFocus(Qt::TabFocusReason);
    QTest::keyClick(filesHeader, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), addFiles);
    QTest::keyClick(addFiles, Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), filesHeader);

    // The clipboard's rows, made after every section, stay between their header and the next one.
    panel->setSelected(HomeUtility::clipboard);
    turn();
    stops = panel->tabStops();
    const qsizetype header = stops.indexOf(panel->sectionHeader(HomeUtility::clipboard));
    const qsizetype next = stops.indexOf(filesHeader);
    int copies = 0;
    for (qsizetype i = 0; i < stops.size(); ++i)
        if (qobject_cast<QAbstractButton*>(stops[i]) &&
            static_cast<QAbstractButton*>(stops[i])->text() == QStringLiteral("Copy")) {
            ++copies;
            EXPECT_GT(i, header);
            EXPECT_LT(i, next);
        }
    EXPECT_EQ(copies, 2);
}
