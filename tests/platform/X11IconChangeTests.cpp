#include "platform/linux/X11RunningApplications.h"
#include "support/ManualScheduler.h"
#include "support/XClient.h"
#include "support/XvfbServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

// Runs the event loop until `done`, for at most 20 s.
bool until(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(20000);
    while (!done() && !deadline.hasExpired()) QCoreApplication::processEvents();
    return done();
}

} // namespace

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
    ASSERT_TRUE(until([&] { return iconSides() == QList<QSize>{QSize(2, 2)}; })) << "the icon is never read";
    ASSERT_EQ(running.iconReads(), 1u);

    for (quint32 i = 0; i < 200; ++i) set32(painter, "_NET_WM_ICON", XCB_ATOM_CARDINAL, {2, 2, i, i, i, i});
    set32(painter, "_NET_WM_ICON", XCB_ATOM_CARDINAL, {3, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    wm.roundTrip();
    until([&] { return scheduler.pendingCount() > 0 || running.iconReads() > 1; });
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(running.iconReads(), 1u) << "read before the half second is over";
    EXPECT_EQ(iconSides(), QList<QSize>{QSize(2, 2)}) << "asked for, it is not read either";

    scheduler.advance(std::chrono::milliseconds(500));
    EXPECT_TRUE(until([&] { return iconSides() == QList<QSize>{QSize(3, 3)}; })) << "the last icon";
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(running.iconReads(), 2u);
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    other.closeWriteChannel();
    if (!other.waitForFinished()) other.kill();
}
