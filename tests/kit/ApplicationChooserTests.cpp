#include "kit/ApplicationChooser.h"
#include "kit/ApplicationChooserPanel.h"
#include "kit/VantrelButton.h"
#include "support/ContactSheet.h"
#include "support/FakeOpenPanel.h"
#include "support/QtPrinters.h"
#include "support/RecordingWorkspace.h"

#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QColor kAccent(10, 132, 255);

struct ChooserFixture {
    ChooserFixture() {
        for (const char* name : {"Atlas", "Browser", "Calendar"})
            workspace.applications[QStringLiteral("/apps/%1.desktop").arg(QLatin1String(name))] =
                ApplicationInfo{QString::fromLatin1(name), QString(), true};
    }
    // Runs the Dock's chooser of several applications, handing it to `use` once it is up.
    std::optional<QStringList> run(std::function<void(ApplicationChooser&)> use) {
        QTimer::singleShot(0, [use = std::move(use)] {
            auto* open = qobject_cast<ApplicationChooser*>(QApplication::activeModalWidget());
            ASSERT_NE(open, nullptr);
            open->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(open));
            use(*open);
            if (open->isVisible()) open->reject();
        });
        return panel.runMultiple({.title = QStringLiteral("Add applications to Vantrel Dock"),
                                  .prompt = QStringLiteral("Add"),
                                  .applicationsOnly = true});
    }

    RecordingWorkspace workspace;
    FakeOpenPanel files;
    ApplicationChooserPanel panel{files, workspace, [] { return kAccent; }};
};

// Whether the row shows the accent ring along its left edge, where nothing else is drawn.
bool ringed(const QImage& list, const QRect& row) {
    for (int x = row.left(); x < row.left() + 8; ++x) {
        const QColor c = list.pixelColor(x, row.center().y());
        if (c.alpha() > 200 && std::abs(c.red() - kAccent.red()) + std::abs(c.green() - kAccent.green()) +
                                       std::abs(c.blue() - kAccent.blue()) <
                                   90)
            return true;
    }
    return false;
}

} // namespace

TEST(ApplicationChooser, TheKeyboardMovesADrawnCurrentRowReturnAddsAndTabFollowsTheButtons) {
    ChooserFixture f;
    std::vector<std::pair<QString, QImage>> sheet;
    std::vector<bool> rings;
    QList<bool> tabs;
    // Down moves the current row, drawn; Return adds it.
    EXPECT_EQ(f.run([&](ApplicationChooser& chooser) {
        QListWidget* list = chooser.list();
        QTest::keyClick(list, Qt::Key_Down);
        const QImage moved = list->viewport()->grab().toImage();
        sheet.emplace_back(QStringLiteral("Down: Browser current"), chooser.grab().toImage());
        for (int row = 0; row < 3; ++row)
            rings.push_back(ringed(moved, list->visualItemRect(list->item(row))));
        QTest::keyClick(list, Qt::Key_Return);
    }),
              QStringList{"/apps/Browser.desktop"});
    EXPECT_EQ(rings, (std::vector<bool>{false, true, false})) << "the second row is current and ringed";

    // Space chooses, Tab goes from the list to Cancel, then Add, as they stand; Return on Add
    // takes what is chosen. A click leaves no ring.
    EXPECT_EQ(f.run([&](ApplicationChooser& chooser) {
        QListWidget* list = chooser.list();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
        const QImage clicked = list->viewport()->grab().toImage();
        sheet.emplace_back(QStringLiteral("Calendar clicked"), chooser.grab().toImage());
        rings.push_back(ringed(clicked, list->visualItemRect(list->item(2))));
        QTest::keyClick(list, Qt::Key_Up);
        QTest::keyClick(list, Qt::Key_Up);
        QTest::keyClick(list, Qt::Key_Space);
        for (VantrelButton* next : {chooser.cancelButton(), chooser.confirmButton()}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            tabs.append(QApplication::focusWidget() == next);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }),
              (QStringList{"/apps/Atlas.desktop", "/apps/Calendar.desktop"}));
    EXPECT_EQ(tabs, (QList<bool>{true, true})) << "Cancel, then Add";
    EXPECT_FALSE(rings.back()) << "a clicked row shows its mark only";
    if (qEnvironmentVariableIsSet("VANTREL_WRITE_SHEETS"))
        saveContactSheet(sheet, QStringLiteral(VANTREL_BINARY_DIR "/application-chooser-keyboard.png"));
}

TEST(ApplicationChooser, OpenedBeforeTheIconThemesAreReadItTakesTheIconsWhenTheyCome) {
    ChooserFixture f;
    const std::unique_ptr<ApplicationChooser> chooser = f.panel.makeChooser(OpenPanelRequest{}, true);
    ASSERT_TRUE(chooser->list()->item(1)->icon().isNull()) << "a placeholder while the themes are read";
    QPixmap red(32, 32);
    red.fill(Qt::red);
    for (const QString& path :
         {QStringLiteral("/apps/Atlas.desktop"), QStringLiteral("/apps/Browser.desktop")})
        f.workspace.icons[path] = QIcon(red);
    Q_EMIT f.workspace.iconsChanged();
    EXPECT_EQ(chooser->list()->item(1)->icon().pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));
    EXPECT_EQ(chooser->list()->item(0)->icon().pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));
    EXPECT_TRUE(chooser->list()->item(2)->icon().isNull()) << "still none of its own";
}

TEST(ApplicationChooserPanel, OverAWindowThatStaysOnTopTheChooserOpensBelowIt) {
    // Under a 200 by 300 panel at the top of a 1280 by 800 screen: centred on it, 8 below it.
    const QRect screen(0, 0, 1280, 800);
    EXPECT_EQ(ApplicationChooserPanel::placeBelow(QRect(540, 0, 200, 300), QSize(480, 420), screen),
              QPoint(400, 308));
    // Too tall to fit under it: as low as the screen allows, its title bar (32) included.
    EXPECT_EQ(ApplicationChooserPanel::placeBelow(QRect(540, 0, 200, 500), QSize(480, 420), screen),
              QPoint(400, 348));
    // At the screen's right edge: kept on the screen.
    EXPECT_EQ(ApplicationChooserPanel::placeBelow(QRect(1200, 0, 80, 100), QSize(480, 420), screen),
              QPoint(800, 108));
    // A second screen to the right, its top bar taking 28.
    EXPECT_EQ(ApplicationChooserPanel::placeBelow(QRect(2100, 28, 300, 200), QSize(400, 300),
                                                  QRect(1280, 28, 1920, 1052)),
              QPoint(2050, 236));

    // The notch's panel, which stays above every window: the chooser takes that place.
    ChooserFixture f;
    QWidget notch(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    notch.setGeometry(100, 0, 300, 200);
    notch.show();
    auto* addApp = new QWidget(&notch);
    std::unique_ptr<ApplicationChooser> chooser =
        f.panel.makeChooser({.title = QStringLiteral("Add an application to Vantrel"),
                             .prompt = QStringLiteral("Add App"),
                             .applicationsOnly = true,
                             .foldersOnly = false,
                             .parent = addApp},
                            false);
    EXPECT_GE(chooser->pos().y(), 208) << "nothing of it under the panel";
    // Over an ordinary window, Qt's own place: centred on that window.
    QWidget window;
    window.setGeometry(100, 0, 300, 200);
    window.show();
    std::unique_ptr<ApplicationChooser> plain =
        f.panel.makeChooser({.title = QStringLiteral("Add applications to Vantrel Dock"),
                             .prompt = QStringLiteral("Add"),
                             .applicationsOnly = true,
                             .foldersOnly = false,
                             .parent = &window},
                            true);
    EXPECT_FALSE(plain->testAttribute(Qt::WA_Moved));
}
