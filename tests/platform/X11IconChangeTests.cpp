#include "platform/linux/X11RunningApplications.h"
#include "support/ManualScheduler.h"
#include "support/XClient.h"
#include "support/XvfbServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QSignalSpy>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace vantrel;
using namespace vantrel::test;

// A program that rewrites its window's icon over and over has it read once for all the changes
// of half a second, the last one.
TEST(X11RunningApplications, AnIconRewrittenAgainAndAgainIsReadOnceForAllTheChangesOfHalfASecond) {
    XvfbServer server(640, 480);
    if (!server.isRunning()) GTEST_SKIP() << "Xvfb is not installed";
    const QByteArray display = server.display().toLatin1();
    XClient wm(display);
    ASSERT_TRUE(wm.ok());
    const auto set32 = [&](xcb_window_t window, const char* property, xcb_atom_t type,
                           const std::vector<quint32>& values) {
        xcb_change_property(wm.c, XCB_PROP_MODE_REPLACE, window, wm.atom(property), type, 32,
                            quint32(values.size()), values.data());
    };
    ManualClock clock;
    ManualScheduler scheduler(clock);
    X11RunningApplications running(display, {}, nullptr, &scheduler);
    // Told once the icon drawn before has been read anew, so the Dock draws it again.
    QSignalSpy redrawn(&running, &RunningApplications::windowIconsChanged);

    // A window of another program (the service leaves out its own process's).
    QProcess other;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), server.display());
    other.setProcessEnvironment(env);
    other.start(QStringLiteral(VANTREL_BINARY_DIR "/tests/vantrel_running_apps_driver"),
                {QStringLiteral("--window"), QStringLiteral("painter"), QStringLiteral("Painter")});
    ASSERT_TRUE(other.waitForStarted());
    while (!other.canReadLine() && other.waitForReadyRead(20000)) {
    }
    const QByteArray said = other.readLine().trimmed();
    ASSERT_TRUE(said.startsWith("window ")) << said.constData();
    const xcb_window_t painter = said.mid(7).toUInt();
    set32(painter, "_NET_WM_ICON", XCB_ATOM_CARDINAL, {2, 2, 1, 2, 3, 4});
    set32(wm.root, "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, {painter});
    wm.roundTrip();
    const auto iconSides = [&] {
        const auto apps = running.runningApplications();
        QList<QSize> sizes;
        if (apps.size() == 1) sizes = apps.front().icon.availableSizes();
        return sizes;
    };
    ASSERT_TRUE(processEventsUntil([&] { return iconSides() == QList<QSize>{QSize(2, 2)}; }))
        << "the icon is never read";
    ASSERT_EQ(running.iconReads(), 1u);
    EXPECT_EQ(redrawn.count(), 0) << "a first icon is told as a change of the list";

    // Once the service has heard the active window change, made after a batch of requests, it has
    // taken every event those requests caused and applied every read they set off: the events come
    // in the order made, and the service reads one batch at a time, in order. The window is the
    // test's own, whose claimed process is a number no other window names.
    const xcb_window_t marker = wm.window();
    const auto heardUpTo = [&](qint32 mark) {
        set32(marker, "_NET_WM_PID", XCB_ATOM_CARDINAL, {quint32(mark)});
        set32(wm.root, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW, {marker});
        wm.roundTrip();
        return processEventsUntil([&] { return running.frontmostProcessIdentifier() == mark; });
    };

    for (quint32 i = 0; i < 200; ++i) set32(painter, "_NET_WM_ICON", XCB_ATOM_CARDINAL, {2, 2, i, i, i, i});
    set32(painter, "_NET_WM_ICON", XCB_ATOM_CARDINAL, {3, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    ASSERT_TRUE(heardUpTo(900001)) << "the changes never arrived";
    EXPECT_EQ(running.iconReads(), 1u) << "read before the half second is over";
    EXPECT_EQ(scheduler.pendingCount(), 1u) << "one gathering for all the changes";
    // Asked for while the changes are gathered, it is not read either: the ask is handed on at once.
    EXPECT_EQ(iconSides(), QList<QSize>{QSize(2, 2)});
    QCoreApplication::sendPostedEvents();
    ASSERT_TRUE(heardUpTo(900002));
    EXPECT_EQ(running.iconReads(), 1u) << "asked for, it was read before the half second is over";
    EXPECT_EQ(iconSides(), QList<QSize>{QSize(2, 2)});

    scheduler.advance(std::chrono::milliseconds(500));
    EXPECT_TRUE(processEventsUntil([&] { return iconSides() == QList<QSize>{QSize(3, 3)}; }))
        << "the last icon";
    ASSERT_TRUE(heardUpTo(900003));
    EXPECT_EQ(running.iconReads(), 2u);
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    ASSERT_EQ(redrawn.count(), 1) << "one word for all the changes";
    EXPECT_EQ(redrawn.front().front().value<QList<qint32>>(), QList<qint32>{qint32(other.processId())});
    other.closeWriteChannel();
    if (!other.waitForFinished()) other.kill();
}
