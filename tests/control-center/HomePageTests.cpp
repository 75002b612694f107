#include "HomeTestSupport.h"
#include "control-center/EscapeKeyMonitor.h"
#include "control-center/HomePage.h"
#include "control-center/HomeUtilityPanel.h"
#include "control-center/HomeWorkspace.h"
#include "control-center/VantrelRowButtonStyle.h"
#include "core/FileNotices.h"
#include "core/LocalPersistence.h"
#include "kit/HazardBadge.h"
#include "kit/KitPaint.h"
#include "kit/KitRender.h"
#include "kit/SettingsCard.h"
#include "kit/VantrelButton.h"
#include "kit/VantrelConcentricGeometry.h"
#include "kit/VantrelGlyph.h"
#include "kit/VantrelHelpButton.h"
#include "kit/VantrelLabel.h"
#include "kit/VantrelSegmentedControl.h"
#include "kit/VantrelTheme.h"
#include "kit/VantrelType.h"
#include "modules/FocusTimer.h"
#include "notch/PaintedTexts.h"
#include "services/KeyboardCleaningController.h"
#include "support/QtPrinters.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QJsonArray>
#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSet>
#include <QShortcut>
#include <QTest>
#include <QVariantAnimation>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QString kClick = QStringLiteral("haptic generic");

class HomePageTest : public ::testing::Test {
protected:
    HomePageTest() {
        QObject::connect(&page.actions(), &HomeActions::presentedUtilityChanged, &page, [this] {
            const auto& u = page.presentedUtility();
            f.c.h.log.add(QStringLiteral("present ") + (u ? rawValue(*u) : QStringLiteral("none")));
        });
        page.resize(1300, 900);
        page.show();
        QCoreApplication::sendPostedEvents();
    }
    // Escape pressed on `target`; whether the key was taken.
    static bool escape(QWidget* target) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        return press.isAccepted();
    }
    void settle() {
        if (page.presentation()) page.presentation()->setCurrentTime(page.presentation()->duration());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    HomeHarness f;
    HomePage page{f.home};
};

// Counts the Escape presses a widget is handed.
class EscapeCounter final : public QObject {
public:
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            ++count;
        return false;
    }
};

} // namespace

TEST(HomePageValues, PermissionsTimerAndCountsReadAsTheirTexts) {
    using S = PermissionState;
    EXPECT_EQ(HomePage::missingPermissionCount(S::allowed, S::allowed, S::allowed, S::allowed), 0);
    EXPECT_EQ(HomePage::missingPermissionCount(S::allowed, S::unknown, S::allowed, S::allowed), 1)
        << "unknown counts like denied";
    EXPECT_EQ(HomePage::missingPermissionCount(S::denied, S::unknown, S::denied, S::unknown), 4);
    EXPECT_EQ(HomePage::attentionSubtitle(1), "1 item to review");
    EXPECT_EQ(HomePage::attentionSubtitle(3), "3 items to review");
    EXPECT_EQ(HomePage::attentionSubtitle(4), "4 items to review");
    EXPECT_EQ(HomePage::attentionSubtitle(0), "Everything important is ready");
    EXPECT_EQ(HomePage::timerValue(false, "12:30"), "Ready");
    EXPECT_EQ(HomePage::timerValue(true, "12:30"), "12:30");
}

TEST(HomePageValues, ARowButtonLightsAsItIsHoveredAndPressed) {
    // Elevated at 95 % pressed, 68 % hovered, nothing otherwise; the capsule 1.5 by 18 at the
    // leading edge, centred, growing with the hover's ease.
    EXPECT_DOUBLE_EQ(VantrelRowButtonStyle::fillOpacity(true, 0), 0.95);
    EXPECT_DOUBLE_EQ(VantrelRowButtonStyle::fillOpacity(false, 1), 0.68);
    EXPECT_DOUBLE_EQ(VantrelRowButtonStyle::fillOpacity(false, 0.5), 0.34);
    EXPECT_DOUBLE_EQ(VantrelRowButtonStyle::fillOpacity(false, 0), 0);
    const QRectF row(10, 0, 200, 43);
    EXPECT_EQ(VantrelRowButtonStyle::capsule(row, 1), QRectF(10, 12.5, 1.5, 18));
    EXPECT_EQ(VantrelRowButtonStyle::capsule(row, 0.5), QRectF(10, 17, 1.5, 9));
    EXPECT_EQ(VantrelRowButtonStyle::capsule(row, 0).height(), 0);
    EXPECT_EQ(VantrelRowButtonStyle::capsule(row, 1.4).height(), 18) << "an overshoot is held";
}

TEST_F(HomePageTest, TheNowCardAndTheNoteNeverSaySavedWhileTheirFilesAreNot) {
    FileNotices notices;
    LocalPersistence& persistence = f.c.h.persistence;
    persistence.setNotices(&notices);
    f.home.fileNotices = &notices;
    HomePage told(f.home);
    told.resize(1300, 900);
    f.copy(QStringLiteral("one"));
    QAbstractButton* clipboard = told.liveRow(HomeUtility::clipboard);
    VantrelLabel* note = told.workspace()->saveStateLabel();
    EXPECT_EQ(clipboard->text(), "1 saved");
    EXPECT_EQ(note->text(), "Saved locally");

    // Neither the history nor the notes could be written; each went to a recovery file beside
    // its file. Closing the notices changes neither.
    const auto refused =
        std::make_exception_ptr(std::system_error(std::make_error_code(std::errc::no_space_on_device)));
    FakeFileManager& files = f.c.h.files;
    files.failWritesTo(persistence.store().url(QStringLiteral("clipboard.json")), refused);
    files.failWritesTo(persistence.store().url(QStringLiteral("notes.json")), refused);
    files.failWritesTo(persistence.store().url(QStringLiteral("clipboard-journal.jsonl")), refused);
    f.copy(QStringLiteral("two"));
    f.c.stores.notes.updateSelected(QStringLiteral("typed"));
    f.c.h.scheduler.advance(Seconds(1));
    f.c.stores.clipboardQueue.drain(); // the journal refuses: the history goes whole to its file
    f.c.h.scheduler.advance(Seconds(1));
    f.c.stores.clipboardQueue.drain();
    notices.dismiss();
    EXPECT_EQ(clipboard->text(), "2 not saved");
    EXPECT_EQ(note->text(), "Not saved");

    // Saved again (tried again after 30 s): "saved" again.
    files.clearWriteFailures();
    f.c.h.scheduler.advance(Seconds(30));
    f.c.stores.clipboardQueue.drain();
    EXPECT_EQ(clipboard->text(), "2 saved");
    EXPECT_EQ(note->text(), "Saved locally");
    persistence.setNotices(nullptr);
}

TEST_F(HomePageTest, TheLiveValuesFollowTheStores) {
    // Fresh stores: zeros everywhere, a timer that never ran reads Ready.
    EXPECT_EQ(page.metricButton(HomeUtility::timer)->text(), "Ready");
    EXPECT_EQ(page.metricButton(HomeUtility::clipboard)->text(), "0");
    EXPECT_EQ(page.metricButton(HomeUtility::files)->text(), "0");
    EXPECT_EQ(page.liveRow(HomeUtility::clipboard)->text(), "0 saved");
    EXPECT_EQ(page.liveRow(HomeUtility::files)->text(), "0 items");

    f.copy(QStringLiteral("one"));
    f.shelve({f.file(QStringLiteral("a.txt"))});
    EXPECT_EQ(page.liveRow(HomeUtility::clipboard)->text(), "1 saved");
    EXPECT_EQ(page.liveRow(HomeUtility::files)->text(), "1 items");
    EXPECT_EQ(page.metricButton(HomeUtility::clipboard)->text(), "1");

    FocusTimer& focus = f.c.stores.focus;
    focus.start();
    f.c.h.scheduler.advance(Seconds(2));
    EXPECT_EQ(page.metricButton(HomeUtility::timer)->text(), focus.timeText());
    EXPECT_EQ(page.liveRow(HomeUtility::timer)->text(), "24:58");
    focus.pause();
    EXPECT_EQ(page.metricButton(HomeUtility::timer)->text(), "Ready") << "paused part-way";
    EXPECT_EQ(page.liveRow(HomeUtility::timer)->text(), "Ready");
}

TEST_F(HomePageTest, DotsAndTheAttentionCardFollowSettingsAndPermissions) {
    const auto lit = [this](int row) { return page.isLauncherLit(HomeActions::kLaunchers[row].section); };
    VantrelPreferences& p = f.c.h.preferences;
    p.setNotchEnabled(false);
    p.setMenuMaskEnabled(false);
    p.setMenuTintEnabled(false);
    p.setFeedbackEnabled(false);
    p.setNotificationsEnabled(false);
    EXPECT_EQ((std::vector<bool>{lit(0), lit(1), lit(2), lit(3), lit(4)}),
              (std::vector<bool>{false, false, false, false, true}))
        << "Appearance is always lit";
    p.setMenuTintEnabled(true);
    EXPECT_TRUE(lit(1)) << "the tint alone lights the Menu Bar";
    p.setNotchEnabled(true);
    p.setFeedbackEnabled(true);
    p.setNotificationsEnabled(true);
    EXPECT_TRUE(lit(0) && lit(2) && lit(3));

    // Launch at login is off in the harness, and never counts.
    f.grant(true, true, true, true);
    EXPECT_EQ(page.missingPermissionCount(), 0);
    EXPECT_TRUE(lit(5));
    EXPECT_EQ(page.attentionCard()->subtitleLabel()->text(), "Everything important is ready");
    EXPECT_TRUE(page.attentionIssues()->isHidden());
    EXPECT_FALSE(page.attentionReady()->isHidden());

    f.grant(true, true, false, true);
    EXPECT_FALSE(lit(5));
    EXPECT_EQ(page.attentionCard()->subtitleLabel()->text(), "1 item to review");
    EXPECT_FALSE(page.attentionIssues()->isHidden());
    f.grant(false, false, false, false);
    EXPECT_EQ(page.attentionCard()->subtitleLabel()->text(), "4 items to review");
    // The issues stand in the card's content, 20 points in from every side.
    QCoreApplication::sendPostedEvents();
    SettingsCard* card = page.attentionCard();
    const QRect issues(page.attentionIssues()->mapTo(card, QPoint()), page.attentionIssues()->size());
    EXPECT_EQ(issues.top(), int(card->ruleY()) + 1 + 20) << "the 0.7-point rule's pixel row, then 20";
    EXPECT_EQ(issues.left(), 20);
    EXPECT_EQ(issues.right() + 1, card->width() - 20);
    EXPECT_EQ(issues.bottom() + 1, card->height() - 20);
}

TEST_F(HomePageTest, ControlsActInOrderOnOneLog) {
    // Each launcher: the haptic, then the section.
    qsizetype from = f.c.mark();
    page.launcher(1)->click();
    EXPECT_EQ(f.c.callsSince(from), (QStringList{kClick, "selectedSection menuBar"}));

    // Metrics, live rows and "Open shelf": the haptic, then the panel.
    from = f.c.mark();
    page.metricButton(HomeUtility::clipboard)->click();
    page.actions().closeUtility();
    page.liveRow(HomeUtility::timer)->click();
    page.actions().closeUtility();
    page.workspace()->modeControl()->segment(1)->click();
    page.workspace()->actionButton()->click();
    EXPECT_EQ(f.c.callsSince(from),
              (QStringList{kClick, "present Clipboard", "present none", kClick, "present Timer",
                           "present none", kClick, "present File Shelf"}));
    settle();
    ASSERT_NE(page.panel(), nullptr);
    EXPECT_EQ(page.panel()->selected(), HomeUtility::files);

    // "Quick actions" opens the palette, "Open Cleaning Canvas" only starts cleaning.
    from = f.c.mark();
    page.actions().closeUtility();
    page.quickActionsButton()->click();
    page.cleaningButton()->click();
    QStringList calls = f.c.callsSince(from);
    calls.removeAll(QStringLiteral("app.activate"));
    // The pill buttons give their own press feedback before their action.
    EXPECT_EQ(calls, (QStringList{"present none", kClick, "palette.show none", kClick, "cleaning.start"}));

    // The refused start shows the badge with the controller's message; it leads to permissions.
    ASSERT_FALSE(page.accessibilityBadge()->isHidden());
    EXPECT_EQ(page.accessibilityBadge()->toolTip(),
              "macOS could not start the keyboard guard. Review Accessibility and try again.");
    from = f.c.mark();
    page.accessibilityBadge()->click();
    EXPECT_EQ(f.c.callsSince(from), QStringList{"selectedSection permissions"});
    static_cast<RecordingKeyboardCleaningController&>(f.c.stores.keyboardCleaning).activate();
    EXPECT_TRUE(page.accessibilityBadge()->isHidden()) << "a session that began clears the message";
}

TEST_F(HomePageTest, EveryWayOutClosesThePanelAndEscapeWithoutOneTravelsOn) {
    EXPECT_FALSE(escape(&page)) << "no panel: Escape is not the page's";
    EXPECT_FALSE(page.cancelShortcut()->isEnabled());

    page.metricButton(HomeUtility::timer)->click();
    QWidget* layer = page.utilityLayer();
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->parentWidget(), page.window()) << "the backdrop covers the whole window";
    EXPECT_EQ(layer->geometry(), page.window()->rect());
    // Entering: faded out and at 98.5 % at the start, 0.15 s long.
    EXPECT_EQ(page.presentation()->duration(), 150);
    settle();
    HomeUtilityPanel* panel = page.panel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->size(), QSize(680, 530));
    EXPECT_EQ(panel->geometry().center(), layer->rect().center());

    // A click beside the panel lands on the backdrop.
    QTest::mouseClick(layer, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(page.presentedUtility(), std::nullopt);
    EXPECT_EQ(page.panel(), nullptr);
    settle();
    EXPECT_EQ(page.utilityLayer(), nullptr) << "gone once faded";

    // The close button.
    page.liveRow(HomeUtility::files)->click();
    settle();
    page.panel()->closeButton()->click();
    EXPECT_EQ(page.presentedUtility(), std::nullopt);
    settle();

    // The cancel command, only while a panel is shown.
    page.metricButton(HomeUtility::clipboard)->click();
    EXPECT_TRUE(page.cancelShortcut()->isEnabled());
    Q_EMIT page.cancelShortcut()->activated();
    EXPECT_EQ(page.presentedUtility(), std::nullopt);
    EXPECT_FALSE(page.cancelShortcut()->isEnabled());
    settle();

    // Escape while the note editor has the focus: the panel closes, the editor never sees it.
    page.metricButton(HomeUtility::timer)->click();
    settle();
    QPlainTextEdit* editor = page.workspace()->editor();
    EscapeCounter counter;
    editor->installEventFilter(&counter);
    editor->setFocus();
    EXPECT_TRUE(escape(editor));
    EXPECT_EQ(page.presentedUtility(), std::nullopt);
    EXPECT_EQ(counter.count, 0);
    // Fading away, the panel no longer takes Escape.
    EXPECT_FALSE(escape(editor));
    EXPECT_EQ(counter.count, 1);
    settle();
    EXPECT_FALSE(escape(&page));
}

TEST_F(HomePageTest, TabWithQuickControlsOpenCyclesItsControlsAndCloseGivesTheFocusBack) {
    QApplication::setActiveWindow(&page);
    f.note(QStringLiteral("Groceries"), QStringLiteral("Milk"));
    QCoreApplication::sendPostedEvents();
    QPlainTextEdit* editor = page.workspace()->editor();
    ASSERT_EQ(editor->toPlainText(), "Groceries\nMilk");
    editor->setFocus(Qt::MouseFocusReason);
    const auto noteText = [this] {
        const VantrelNote& note = f.c.stores.notes.notes().first();
        return note.title + QLatin1Char('|') + note.body;
    };
    const QString before = noteText();

    // Opened with a click, the editor keeping the focus it had.
    QAbstractButton* metric = page.metricButton(HomeUtility::timer);
    QTest::mouseClick(metric, Qt::LeftButton);
    settle();
    HomeUtilityPanel* panel = page.panel();
    ASSERT_NE(panel, nullptr);
    const auto inPanel = [this](const QWidget* w) {
        const HomeUtilityPanel* shown = page.panel();
        return shown && w && (w == shown || shown->isAncestorOf(w));
    };
    EXPECT_TRUE(inPanel(QApplication::focusWidget())) << "the focus leaves the page for the panel";

    const auto walk = [&](Qt::Key key, int presses) {
        QList<QWidget*> reached;
        for (int i = 0; i < presses; ++i) {
            QTest::keyClick(QApplication::focusWidget(), key);
            QWidget* focused = QApplication::focusWidget();
            EXPECT_TRUE(inPanel(focused)) << "press " << i << " left the panel for "
                                          << (focused ? focused->metaObject()->className() : "nothing");
            reached << focused;
        }
        return reached;
    };
    // Shift+Tab as the first key goes round to the panel's last stop: the closed File Shelf's
    // header, below the open Timer and the Clipboard.
    EXPECT_EQ(walk(Qt::Key_Backtab, 1).at(0), panel->sectionHeader(HomeUtility::files));
    const QList<QWidget*> forward = walk(Qt::Key_Tab, 25);
    const QList<QWidget*> backward = walk(Qt::Key_Backtab, 25);
    const QSet<QWidget*> stops(forward.begin(), forward.end());
    for (const QString name : {"close", "focus.minus", "focus.plus", "timer.primary", "timer.reset",
                               "stopwatch.primary", "minutes", "countdown.primary", "countdown.reset"})
        EXPECT_TRUE(stops.contains(panel->findChild<QWidget*>(name))) << name.toStdString();
    for (HomeUtility utility : {HomeUtility::timer, HomeUtility::clipboard, HomeUtility::files})
        EXPECT_TRUE(stops.contains(panel->sectionHeader(utility))) << rawValue(utility).toStdString();
    EXPECT_FALSE(stops.contains(panel->findChild<QWidget*>("lap")))
        << "Lap, off while nothing runs, is passed";
    EXPECT_FALSE(stops.contains(panel->sectionsScroll())) << "the view holding the sections is no stop";
    // Shift+Tab walks the same cycle the other way.
    EXPECT_EQ(backward.at(0), forward.at(23));
    EXPECT_EQ(backward.at(1), forward.at(22));

    // The File Shelf's header opened from the keyboard: "Add Files…" joins the cycle.
    while (QApplication::focusWidget() != panel->sectionHeader(HomeUtility::files))
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(page.presentedUtility(), HomeUtility::files) << "Return presses the header, as Space does";
    panel->crossFade()->setCurrentTime(panel->crossFade()->duration());
    const QList<QWidget*> shelf = walk(Qt::Key_Tab, 12);
    EXPECT_TRUE(shelf.contains(panel->findChild<QWidget*>("addFiles")));
    EXPECT_FALSE(shelf.contains(panel->findChild<QWidget*>("focus.minus")))
        << "the closed Timer's are passed";

    EXPECT_EQ(noteText(), before) << "no tab reached the note";
    EXPECT_EQ(editor->toPlainText(), "Groceries\nMilk");

    // Escape closes; the focus goes back to the metric that opened the panel.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(page.presentedUtility(), std::nullopt);
    EXPECT_EQ(QApplication::focusWidget(), metric);
    settle();

    // Opened from the keyboard, the live row gets the focus back as it had it.
    QAbstractButton* row = page.liveRow(HomeUtility::clipboard);
    row->setFocus(Qt::TabFocusReason);
    QTest::keyClick(row, Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_EQ(page.presentedUtility(), HomeUtility::clipboard);
    settle();
    EXPECT_EQ(QApplication::focusWidget(), page.panel()->sectionHeader(HomeUtility::clipboard))
        << "opened from the keyboard, the section asked for shows the focus";
    EXPECT_TRUE(KitPaint::showsFocusRing(page.panel()->sectionHeader(HomeUtility::clipboard)));
    walk(Qt::Key_Tab, 3);
    page.panel()->closeButton()->click();
    EXPECT_EQ(QApplication::focusWidget(), row);
    EXPECT_EQ(noteText(), before);
}

TEST_F(HomePageTest, ArrangementsFollowTheWidthOffered) {
    EXPECT_FALSE(HomePage::isOverviewWide(819));
    EXPECT_TRUE(HomePage::isOverviewWide(820));
    QWidget* strip = page.overviewContent();
    const int wideHeight = strip->heightForWidth(820);
    const int stackedHeight = strip->heightForWidth(819);
    EXPECT_GT(stackedHeight, wideHeight + 30) << "stacked: a row, a rule 15 points either side, the metrics";
    // Laid out at that height, the metrics row ends exactly at the bottom, the rule 15 above it.
    strip->resize(819, stackedHeight);
    int lowest = 0;
    for (QWidget* child : strip->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isHidden()) lowest = std::max(lowest, child->geometry().bottom() + 1);
    EXPECT_EQ(lowest, stackedHeight);

    // Stacked, the date ends 14 + 12 + 14 before the Quick actions button: spacing, the least
    // flexible space, spacing.
    const QWidget* date = strip->findChild<QWidget*>(QStringLiteral("overview.date"));
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(date->x(), 0);
    EXPECT_EQ(date->geometry().right() + 1, page.quickActionsButton()->x() - 14 - 12 - 14);

    // Wide needs the two fixed columns, two gaps and the workspace card at its ideal width: its
    // content with 20 points of padding either side.
    const double ideal = page.wideBodyWidth();
    EXPECT_GE(ideal, 232 + 16 + 16 + 248 + 178);
    EXPECT_EQ(ideal, 232 + 16 + (20 + page.workspace()->sizeHint().width() + 20) + 16 + 248);
    EXPECT_TRUE(page.isBodyWide(ideal));
    EXPECT_FALSE(page.isBodyWide(ideal - 1));

    // At 1300 the three columns stand side by side and the date shares a row with the metrics.
    page.resize(1300, 900);
    QCoreApplication::sendPostedEvents();
    const QPoint launchers = page.launcher(0)->mapTo(&page, QPoint());
    const QPoint live = page.liveRow(HomeUtility::timer)->mapTo(&page, QPoint());
    EXPECT_NEAR(launchers.y(), live.y(), 60);
    EXPECT_LT(launchers.x(), page.workspace()->mapTo(&page, QPoint()).x());
    // The launchers 232 wide, 16, the workspace card (its content 20 in), 16, the live column 248
    // wide, its "Now" card from the column's leading edge.
    const int bodyWidth = page.body()->width();
    EXPECT_EQ(page.workspace()->mapTo(page.body(), QPoint()).x(), 232 + 16 + 20);
    EXPECT_EQ(page.workspace()->width(), bodyWidth - 232 - 16 - 16 - 248 - 2 * 20);
    SettingsCard* now = nullptr;
    for (SettingsCard* card : page.findChildren<SettingsCard*>())
        if (card->title() == "Now") now = card;
    ASSERT_NE(now, nullptr);
    EXPECT_EQ(now->mapTo(page.body(), QPoint()).x(), bodyWidth - 248);
    EXPECT_EQ(now->width(), 248);
    // The overview in one row: the metrics, 104 wide and 20 apart, end 20 before Quick actions;
    // the date in 22-point bold.
    QAbstractButton* metrics[] = {page.metricButton(HomeUtility::timer),
                                  page.metricButton(HomeUtility::clipboard),
                                  page.metricButton(HomeUtility::files)};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(metrics[i]->pos(), QPoint(i * (104 + 20), 0)) << i;
        EXPECT_EQ(metrics[i]->width(), 104) << i;
    }
    const QWidget* metricsRow = metrics[0]->parentWidget();
    EXPECT_EQ(metricsRow->height(), metrics[0]->height()) << "nothing around the three";
    EXPECT_EQ(metricsRow->width(), 3 * 104 + 2 * 20);
    EXPECT_EQ(metrics[2]->mapTo(strip, QPoint(104, 0)).x() + 20,
              page.quickActionsButton()->mapTo(strip, QPoint()).x());
    // The row is centre-aligned: the metrics and the button share their middle.
    const QRect button(page.quickActionsButton()->mapTo(strip, QPoint()), page.quickActionsButton()->size());
    EXPECT_NEAR(QRectF(metricsRow->geometry()).center().y(), QRectF(button).center().y(), 1);
    EXPECT_NEAR(QRectF(metricsRow->geometry()).center().y(), strip->height() / 2.0, 1);
    // Given more height, the row stays centred on it.
    const QSize natural = strip->size();
    strip->resize(natural.width(), 120);
    EXPECT_NEAR(QRectF(metricsRow->geometry()).center().y(), 60, 1);
    EXPECT_NEAR(QRectF(page.quickActionsButton()->geometry()).center().y(), 60, 1);
    strip->resize(natural);
    EXPECT_DOUBLE_EQ(VantrelType::pixelSize(date->font()), 22);
    // A metric's texts start 9 after its 28-point tile: the ink right of the tile begins where the
    // value (13-point bold) and the title (caption) set there begin.
    {
        QAbstractButton* metric = metrics[0];
        const QImage look = renderWidget(*metric);
        const QFontMetricsF value(VantrelType::font(13, QFont::Bold));
        const QFontMetricsF caption(VantrelType::caption());
        const double top = (metric->height() - value.height() - 1 - caption.height()) / 2;
        QImage texts(look.size(), QImage::Format_ARGB32_Premultiplied);
        texts.fill(Qt::transparent);
        QPainter painter(&texts);
        painter.setPen(Qt::white);
        painter.setFont(VantrelType::font(13, QFont::Bold));
        painter.drawText(QRectF(28 + 9, top, 58, value.height()), Qt::AlignLeft | Qt::AlignVCenter,
                         metric->text());
        painter.setFont(VantrelType::caption());
        painter.drawText(QRectF(28 + 9, top + value.height() + 1, 104 - 37, caption.height()),
                         Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Timer"));
        painter.end();
        const auto firstInk = [](const QImage& image) {
            for (int x = 29; x < image.width(); ++x)
                for (int y = 0; y < image.height(); ++y)
                    if (qAlpha(image.pixel(x, y)) > 0) return x;
            return -1;
        };
        EXPECT_GT(firstInk(texts), 28);
        EXPECT_EQ(firstInk(look), firstInk(texts));
    }
    EXPECT_EQ(date->font().weight(), QFont::Bold);
    // At 900 the workspace comes first and the others below it.
    page.resize(900, 900);
    QCoreApplication::sendPostedEvents();
    EXPECT_GT(page.launcher(0)->mapTo(&page, QPoint()).y(),
              page.workspace()->mapTo(&page, QPoint()).y() + page.workspace()->height());
}

TEST_F(HomePageTest, TheWideArrangementLinesUpItsColumnsCardsAndOverviewRow) {
    page.resize(1300, 900);
    QCoreApplication::sendPostedEvents();
    QWidget* body = page.body();
    ASSERT_TRUE(page.isBodyWide(body->width()));
    const auto columnOf = [body](QWidget* inside) {
        while (inside && inside->parentWidget() != body) inside = inside->parentWidget();
        return inside;
    };
    // 232 for the launchers, 248 for the live column at the far side, the workspace between
    // them with 16 either side.
    QWidget* launchers = columnOf(page.launcher(0));
    QWidget* workspace = columnOf(page.workspace());
    QWidget* live = columnOf(page.liveRow(HomeUtility::timer));
    ASSERT_TRUE(launchers && workspace && live);
    EXPECT_EQ(launchers->geometry().left(), 0);
    EXPECT_EQ(launchers->width(), 232);
    EXPECT_EQ(live->width(), 248);
    EXPECT_EQ(live->geometry().right() + 1, body->width());
    EXPECT_EQ(workspace->x(), 232 + 16);
    EXPECT_EQ(workspace->geometry().right() + 1 + 16, live->x());
    // The Now card: its three rows with a rule between each two, none above the first.
    QWidget* rows = page.liveRow(HomeUtility::timer)->parentWidget();
    QList<QWidget*> order;
    for (QWidget* child : rows->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) order << child;
    std::sort(order.begin(), order.end(), [](QWidget* a, QWidget* b) { return a->y() < b->y(); });
    ASSERT_EQ(order.size(), 5);
    EXPECT_EQ(order[0], page.liveRow(HomeUtility::timer));
    EXPECT_EQ(order[1]->height(), 1);
    EXPECT_EQ(order[2], page.liveRow(HomeUtility::clipboard));
    EXPECT_EQ(order[3]->height(), 1);
    EXPECT_EQ(order[4], page.liveRow(HomeUtility::files));
    // The live column's cards fill its width.
    for (SettingsCard* card : live->findChildren<SettingsCard*>()) {
        EXPECT_EQ(card->mapTo(live, QPoint()).x(), 0) << card->title().toStdString();
        EXPECT_EQ(card->width(), live->width()) << card->title().toStdString();
    }

    // The overview row: the date at 22 bold; the metrics 20 apart from the row's start, centred on
    // the Quick actions button's height.
    const auto* date = page.overviewContent()->findChild<QLabel*>(QStringLiteral("overview.date"));
    ASSERT_NE(date, nullptr);
    EXPECT_NEAR(VantrelType::pixelSize(date->font()), 22, 1e-9);
    EXPECT_EQ(date->font().weight(), QFont::Bold);
    QWidget* timer = page.metricButton(HomeUtility::timer);
    QWidget* clipboard = page.metricButton(HomeUtility::clipboard);
    EXPECT_EQ(timer->x(), 0);
    EXPECT_EQ(clipboard->x() - timer->geometry().right() - 1, 20);
    // The row ends with its last metric, 20 before the Quick actions button.
    QWidget* shelf = page.metricButton(HomeUtility::files);
    EXPECT_EQ(shelf->geometry().right() + 1, shelf->parentWidget()->width());
    EXPECT_EQ(shelf->parentWidget()->geometry().right() + 1 + 20, page.quickActionsButton()->x());
    const QWidget* quick = page.quickActionsButton();
    const double metricMiddle = timer->mapTo(page.overviewContent(), QPoint()).y() + timer->height() / 2.0;
    const double quickMiddle = quick->mapTo(page.overviewContent(), QPoint()).y() + quick->height() / 2.0;
    EXPECT_NEAR(metricMiddle, quickMiddle, 1);
}

TEST_F(HomePageTest, TheBodyIsAsTallAsItsTallestColumnAtEveryWideWidth) {
    // Six screenshots: the workspace's grid turns from three rows to two as it widens.
    QStringList images;
    for (int i = 1; i <= 6; ++i) images << f.image(QStringLiteral("s%1.png").arg(i), Qt::gray);
    f.shelve(images);
    page.workspace()->setMode(HomeWorkspace::Mode::screenshots);
    QWidget* body = page.body();
    const auto columnOf = [body](QWidget* inside) {
        while (inside && inside->parentWidget() != body) inside = inside->parentWidget();
        return inside;
    };
    const std::array<QWidget*, 3> columns{columnOf(page.launcher(0)), columnOf(page.workspace()),
                                          columnOf(page.liveRow(HomeUtility::timer))};
    const int ideal = int(std::ceil(page.wideBodyWidth()));
    QSet<int> heights;
    for (int w = ideal; w < ideal + 80; w += 2) {
        body->resize(w, body->heightForWidth(w));
        int tallest = 0;
        for (QWidget* column : columns) tallest = std::max(tallest, column->geometry().bottom() + 1);
        EXPECT_EQ(body->height(), tallest) << w;
        heights << body->height();
    }
    EXPECT_GE(heights.size(), 2) << "the grid's rows change within these widths";
}

TEST_F(HomePageTest, TheDateIsWrittenOutInTheLocale) {
    // In 22-point bold as built, before any arrangement has placed it.
    HomePage fresh{f.home};
    const auto* built = fresh.overviewContent()->findChild<QWidget*>(QStringLiteral("overview.date"));
    ASSERT_NE(built, nullptr);
    EXPECT_DOUBLE_EQ(VantrelType::pixelSize(built->font()), 22);
    EXPECT_EQ(built->font().weight(), QFont::Bold);
    const QDate date(2026, 12, 7);
    EXPECT_EQ(HomePage::overviewDate(date, QLocale(QLocale::English, QLocale::UnitedStates)),
              "Monday, December 7");
    EXPECT_EQ(HomePage::overviewDate(date, QLocale(QLocale::German, QLocale::Germany)),
              "Montag, 7. Dezember");
    EXPECT_EQ(HomePage::overviewDateAccessible(date, QLocale(QLocale::English, QLocale::UnitedStates)),
              "Monday, December 7, 2026");
}

TEST_F(HomePageTest, TheWorkspaceCardSaysTheOriginalsStayWhereTheyAre) {
    SettingsCard* workspace = nullptr;
    for (SettingsCard* card : page.findChildren<SettingsCard*>())
        if (card->title() == "Workspace") workspace = card;
    ASSERT_NE(workspace, nullptr);
    ASSERT_NE(workspace->helpButton(), nullptr);
    EXPECT_EQ(workspace->helpButton()->helpText(),
              "Notes stay on this Mac. Screenshots are references from the File Shelf; Vantrel does not "
              "move or duplicate the originals.");
}

TEST_F(HomePageTest, TheCleanKeyboardCardExplainsTheSessionAndSpansItsContent) {
    SettingsCard* clean = nullptr;
    for (SettingsCard* card : page.findChildren<SettingsCard*>())
        if (card->title() == "Clean Keyboard") clean = card;
    ASSERT_NE(clean, nullptr);
    ASSERT_NE(clean->helpButton(), nullptr);
    EXPECT_EQ(
        clean->helpButton()->helpText(),
        QString::fromUtf8("For 15 seconds Vantrel opens a temporary cleaning canvas and blocks input from "
                          "built-in and external keyboards. The trackpad remains active, nothing is saved, "
                          "and Control\u2013Option\u2013Command\u2013Escape always ends the session early."));
    // The content column has no padding of its own: the tile and the button start at its edge
    // and the button reaches across it.
    QWidget* button = page.findChild<QWidget*>(QStringLiteral("openCleaningCanvas"));
    ASSERT_NE(button, nullptr);
    QWidget* content = button->parentWidget();
    EXPECT_EQ(button->x(), 0);
    EXPECT_EQ(button->width(), content->width());
    QWidget* tile = nullptr;
    for (QWidget* child : content->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (child->size() == QSize(28, 28)) tile = child;
    ASSERT_NE(tile, nullptr);
    EXPECT_EQ(tile->x(), 0);
    // The badge shown after a refused start is exactly as high as its hazard badge.
    const auto* refused = page.findChild<QAbstractButton*>(QStringLiteral("accessibilityRequired"));
    ASSERT_NE(refused, nullptr);
    const auto* hazard = refused->findChild<HazardBadge*>();
    ASSERT_NE(hazard, nullptr);
    EXPECT_EQ(refused->sizeHint().height(), hazard->sizeHint().height());
    // 11 between the intro row and the button.
    int introBottom = tile->geometry().bottom();
    for (QLabel* label : content->findChildren<QLabel*>())
        if (label->text() == "15 seconds" || label->text() == "Trackpad stays active")
            introBottom = std::max(introBottom, label->mapTo(content, QPoint(0, label->height() - 1)).y());
    EXPECT_EQ(button->y() - introBottom - 1, 11);
}

namespace {

// How many pixels of `a` and `b` (of one size) differ by more than one level in any channel.
int differingPixels(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 1 || std::abs(qGreen(p) - qGreen(q)) > 1 ||
                std::abs(qBlue(p) - qBlue(q)) > 1 || std::abs(qAlpha(p) - qAlpha(q)) > 1)
                ++count;
        }
    return count;
}

// A clear image of `size` points at `ratio` pixels a point.
QImage blank(QSize size, int ratio = 1) {
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

TEST_F(HomePageTest, MetricsLiveRowsAndLauncherTilesAreDrawnAsStated) {
    f.c.h.preferences.setAccent(Accent::coral);
    QCoreApplication::sendPostedEvents();
    const QColor accent = VantrelTheme::accent(Accent::coral);

    // A metric: the glyph at 12 semibold on a 28-point tile of the accent at 10 %, radius 9; 9
    // after it the value (13, bold) over the title (caption, secondary), 1 apart, centred.
    QAbstractButton* metric = page.metricButton(HomeUtility::clipboard);
    ASSERT_EQ(metric->size(), QSize(104, 34));
    const ColorScheme scheme = VantrelTheme::colorScheme(metric);
    QImage expected = blank(metric->size());
    {
        QPainter painter(&expected);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF tile(0, 3, 28, 28);
        painter.fillPath(ContinuousRoundedRectangle{9}.path(tile), VantrelTheme::withOpacity(accent, 0.10));
        VantrelGlyph::paint(painter, tile, u"doc.on.clipboard", accent, 12, QFont::DemiBold);
        const QFont valueFont = VantrelType::font(13, QFont::Bold);
        const double valueHeight = QFontMetricsF(valueFont).height();
        const double titleHeight = QFontMetricsF(VantrelType::caption()).height();
        const double top = (34 - valueHeight - 1 - titleHeight) / 2;
        painter.setFont(valueFont);
        painter.setPen(VantrelTheme::primary(scheme));
        painter.drawText(QRectF(28 + 9, top, 58, valueHeight), Qt::AlignLeft | Qt::AlignVCenter, "0");
        painter.setFont(VantrelType::caption());
        painter.setPen(VantrelTheme::secondaryText().resolve(scheme));
        painter.drawText(QRectF(28 + 9, top + valueHeight + 1, 104 - 37, titleHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, "Clipboard");
    }
    EXPECT_EQ(differingPixels(renderWidget(*metric), expected), 0);

    // A live row: the glyph at 12 semibold in 24 by 28, 10 before the title (label) over the
    // value (caption, secondary) 2 apart and centred; the chevron at 8 bold in 12 by 28 at the end.
    // Drawn at two pixels a point, where half a point shows.
    QAbstractButton* live = page.liveRow(HomeUtility::clipboard);
    const int w = live->width(), h = live->height();
    expected = blank(live->size(), 2);
    {
        QPainter painter(&expected);
        painter.setRenderHint(QPainter::Antialiasing);
        VantrelGlyph::paint(painter, QRectF(0, (h - 28) / 2.0, 24, 28), u"doc.on.clipboard", accent, 12,
                            QFont::DemiBold);
        VantrelGlyph::paint(painter, QRectF(w - 12, (h - 28) / 2.0, 12, 28), u"chevron.right",
                            VantrelTheme::tertiaryText().resolve(scheme), 8, QFont::Bold);
        const double titleHeight = QFontMetricsF(VantrelType::label()).height();
        const double valueHeight = QFontMetricsF(VantrelType::caption()).height();
        const double top = (h - titleHeight - 2 - valueHeight) / 2;
        const double left = 24 + 10;
        painter.setFont(VantrelType::label());
        painter.setPen(VantrelTheme::primary(scheme));
        painter.drawText(QRectF(left, top, w - 12 - 10 - left, titleHeight), Qt::AlignLeft, "Clipboard");
        painter.setFont(VantrelType::caption());
        painter.setPen(VantrelTheme::secondaryText().resolve(scheme));
        painter.drawText(QRectF(left, top + titleHeight + 2, w - 12 - 10 - left, valueHeight), Qt::AlignLeft,
                         "0 saved");
    }
    QImage look = blank(live->size(), 2);
    live->render(&look, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_EQ(differingPixels(look, expected), 0);

    // A launcher's tile, 8 in: the glyph at 12 semibold on the accent at 9 %, radius 8.
    QAbstractButton* launcher = page.launcher(0);
    const QRect tile(8, (43 - 28) / 2, 28, 29);
    expected = blank(launcher->size());
    {
        QPainter painter(&expected);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF square(8, (43 - 28) / 2.0, 28, 28);
        painter.fillPath(ContinuousRoundedRectangle{8}.path(square), VantrelTheme::withOpacity(accent, 0.09));
        VantrelGlyph::paint(painter, square, u"capsule.tophalf.filled", accent, 12, QFont::DemiBold);
    }
    EXPECT_EQ(differingPixels(renderWidget(*launcher).copy(tile), expected.copy(tile)), 0);
}

TEST_F(HomePageTest, ALauncherRowEndsInItsDotAndChevron) {
    // 43 high, 8 of padding at the end: the chevron at 8 points in a 12 by 28 frame, 10 before it
    // a 5 by 5 dot, centred on the row.
    QWidget* row = page.launcher(0);
    ASSERT_EQ(row->height(), 43);
    const int w = row->width();
    const QImage look = renderWidget(*row);
    auto painted = [&](int x, int y) { return qAlpha(look.pixel(x, y)) > 0; };
    const int dotLeft = w - 8 - 12 - 10 - 5;
    for (int x = dotLeft; x < dotLeft + 5; ++x) EXPECT_TRUE(painted(x, 21)) << x;
    EXPECT_FALSE(painted(dotLeft - 1, 21));
    EXPECT_FALSE(painted(dotLeft + 5, 21));
    for (int y = 19; y < 24; ++y) EXPECT_TRUE(painted(dotLeft + 2, y)) << y;
    EXPECT_FALSE(painted(dotLeft + 2, 18));
    EXPECT_FALSE(painted(dotLeft + 2, 24));

    QImage chevron(look.size(), QImage::Format_ARGB32_Premultiplied);
    chevron.fill(Qt::transparent);
    {
        QPainter painter(&chevron);
        painter.setRenderHint(QPainter::Antialiasing);
        VantrelGlyph::paint(painter, QRectF(w - 8 - 12, (43 - 28) / 2.0, 12, 28), u"chevron.right", Qt::black,
                            8, QFont::Bold);
    }
    int ink = 0;
    for (int y = 0; y < 43; ++y)
        for (int x = w - 8 - 12 - 2; x < w; ++x) {
            EXPECT_EQ(qAlpha(look.pixel(x, y)) > 0, qAlpha(chevron.pixel(x, y)) > 0) << x << "," << y;
            if (qAlpha(chevron.pixel(x, y)) > 0) ++ink;
        }
    EXPECT_GT(ink, 10);
}

TEST_F(HomePageTest, AMetricsFiguresKeepTheirPlacesAsTheValueChanges) {
    QAbstractButton* metric = page.metricButton(HomeUtility::timer);
    // The colon after two digits stands in one column whatever the digits: "11:11" as "00:00".
    const auto colonAt = [metric](const QString& value) {
        metric->setText(value);
        EXPECT_TRUE(paintedLineTexts(*metric).contains(value)) << value.toStdString();
        return paintedOrigin(*metric, QStringLiteral(":")).value_or(QPointF(-1, 0)).x();
    };
    const double ones = colonAt(QStringLiteral("11:11"));
    EXPECT_GT(ones, 28 + 9);
    EXPECT_DOUBLE_EQ(colonAt(QStringLiteral("00:00")), ones);
    EXPECT_DOUBLE_EQ(colonAt(QStringLiteral("24:56")), ones);
}
