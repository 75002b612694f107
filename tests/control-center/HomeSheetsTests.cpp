#include "HomeTestSupport.h"
#include "control-center/HomePage.h"
#include "control-center/RootView.h"
#include "kit/KitRender.h"
#include "modules/FocusTimer.h"
#include "modules/StopwatchStore.h"
#include "support/ControlCenterHarness.h"

#include <QCoreApplication>
#include <QVariantAnimation>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// The running application's look: the control center on Home in a window of `size`, with a few
// notes, copies and screenshots, a running timer, two permissions missing and, when asked, the
// quick controls open on `utility`.
QImage home(QSize size, std::optional<HomeUtility> utility, HomePage::WorkspaceMode mode) {
    HomeHarness f;
    f.c.h.preferences.setHasCompletedOnboarding(true);
    f.c.h.preferences.setAppearanceMode(AppearanceMode::dark);
    f.grant(true, true, false, false);
    f.copy(QStringLiteral("Meeting notes\nfor Thursday"));
    f.copy(QStringLiteral("https://example.com/design"));
    f.copy(QStringLiteral("rsync -av build/ host:/srv/app"));
    for (int i = 0; i < 4; ++i) f.copy(QStringLiteral("Copied line %1").arg(i));
    f.note(QStringLiteral("Groceries"), QStringLiteral("milk, eggs, bread"));
    f.note(QStringLiteral("Ideas"), QString());
    f.c.stores.notes.setPinned(true);
    f.shelve({f.image(QStringLiteral("Screenshot 1.png"), QColor(60, 120, 200)),
              f.image(QStringLiteral("Screenshot 2.jpg"), QColor(200, 120, 60), QSize(40, 80)),
              f.file(QStringLiteral("broken.webp"), "not an image"), f.file(QStringLiteral("report.pdf"))});
    f.shelve({f.c.h.home.root() + QStringLiteral("/gone.txt"), f.file(QStringLiteral("notes.md")),
              f.file(QStringLiteral("archive.zip"))});
    f.c.stores.focus.start();
    f.c.h.scheduler.advance(Seconds(3));
    f.c.stores.stopwatch.startStopwatch();
    f.c.h.scheduler.advance(Seconds(1.27));

    RootView root(f.context);
    root.resize(size);
    root.show();
    // The page settles its arrangements on the next turn of the event loop, as it does on screen.
    QCoreApplication::sendPostedEvents();
    auto* page = qobject_cast<HomePage*>(root.page());
    EXPECT_NE(page, nullptr);
    if (!page) return {};
    page->workspace()->setMode(mode);
    if (utility) {
        page->actions().presentUtility(*utility);
        page->presentation()->setCurrentTime(page->presentation()->duration());
    }
    QCoreApplication::sendPostedEvents();
    return renderWidget(root, Qt::black);
}

} // namespace

TEST(HomeSheets, ThePageAtTwoWidthsAndThePanelOnEachSection) {
    QList<QImage> images{
        home(QSize(900, 1180), std::nullopt, HomePage::WorkspaceMode::notes),
        home(QSize(1300, 900), std::nullopt, HomePage::WorkspaceMode::screenshots),
    };
    for (HomeUtility utility : allCasesOf<HomeUtility>())
        images << home(QSize(1300, 900), utility, HomePage::WorkspaceMode::notes);
    for (const QImage& image : images) ASSERT_FALSE(image.isNull());
    const QString path = saveSheet(QStringLiteral("home"), images, 1);
    EXPECT_FALSE(QImage(path).isNull());
}
