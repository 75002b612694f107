#include "core/PermissionCenter.h"
#include "core/QAObserver.h"
#include "core/VantrelHaptics.h"
#include "core/VantrelPreferences.h"
#include "kit/KitRender.h"
#include "kit/VantrelTheme.h"
#include "modules/AlarmController.h"
#include "modules/NotificationSignalStore.h"
#include "modules/StopwatchStore.h"
#include "modules/SystemMonitor.h"
#include "notch/CameraMirrorView.h"
#include "notch/NotchSystemView.h"
#include "notch/NotchTimersView.h"
#include "platform/AppPaths.h"
#include "support/FakeCameraCapture.h"
#include "support/FakeFileManager.h"
#include "support/FakeSystemCounters.h"
#include "support/ManualClock.h"
#include "support/ManualScheduler.h"
#include "support/RecordingHapticPerformer.h"
#include "support/RecordingMenuPresenter.h"
#include "support/RecordingPermissionSystem.h"
#include "support/RecordingSoundPlayer.h"
#include "support/RecordingUserDefaults.h"
#include "support/RecordingWorkspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QScrollArea>
#include <QUuid>
#include <cmath>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

const QColor kAccent(10, 132, 255);
// The content area of the open notch, small and large panel sizes: standard tier (timers, system)
// and tall tier (mirror).
const QSize kStandardCompact(692, 117);
const QSize kStandardMedium(792, 157);
const QSize kStandardRegular(892, 207);
const QSize kTallCompact(692, 317);
const QSize kTallRegular(892, 407);

struct Services {
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingUserDefaults defaults;
    VantrelPreferences preferences{defaults};
    RecordingHapticPerformer performer{&clock};
    RecordingSoundPlayer sounds;
    AlarmController alarm{preferences, performer, sounds, scheduler};
    NotificationSignalStore alerts{preferences, clock};
    VantrelHaptics haptics{preferences, performer, scheduler};
    StopwatchStore stopwatch{TimerAlarm(alarm, alerts, preferences), haptics, clock, scheduler};
    RecordingMenuPresenter menus;
    FakeFileManager files;
    QAObserver qa{clock, files, AppPaths{"/tmp/h", "/tmp/c", "/tmp/d"}};
    FakeSystemCounters counters;
    SystemMonitor monitor{counters, scheduler, clock, qa};
    RecordingPermissionSystem system;
    RecordingLoginItems loginItems;
    RecordingWorkspace workspace;
    PermissionCenter permissions{system, [] { return CalendarAuthorizationStatus::notDetermined; },
                                 loginItems, workspace, scheduler};
    FakeCameraCapture camera;

    // 24 samples of a busy machine: processor and network swinging, memory climbing.
    void fillHistories() {
        std::uint64_t idle = 0, total = 0, received = 0, sent = 0;
        counters.cpu = CpuTicks{idle, total};
        counters.mem = MemoryCounters{16ull << 30, 8ull << 30};
        counters.nets = std::vector<InterfaceCounters>{{"eth0", received, sent}};
        monitor.addObserver();
        for (int i = 0; i < 25; ++i) {
            const double busy = 0.45 + 0.4 * std::sin(i * 0.5);
            total += 1000;
            idle += std::uint64_t((1 - busy) * 1000);
            received += std::uint64_t(150 * 1024 * (1.2 + std::sin(i * 0.8)));
            sent += std::uint64_t(24 * 1024 * (1.1 + std::cos(i * 0.6)));
            counters.cpu = CpuTicks{idle, total};
            counters.mem = MemoryCounters{16ull << 30, (8ull << 30) + std::uint64_t(i) * (200ull << 20)};
            counters.nets = std::vector<InterfaceCounters>{{"eth0", received, sent}};
            scheduler.advance(Seconds(2));
        }
        monitor.removeObserver();
    }
};

// A tab's view on the midnight look's black, in the dark appearance, as the open notch shows it.
QImage shot(QWidget& view, const QSize& size) {
    QWidget frame;
    frame.resize(size);
    frame.setAutoFillBackground(true);
    QPalette palette;
    palette.setColor(QPalette::Window, Qt::black);
    frame.setPalette(palette);
    view.setParent(&frame);
    view.setGeometry(QRect(QPoint(), size));
    VantrelTheme::setColorScheme(&frame, ColorScheme::dark);
    frame.show();
    QCoreApplication::sendPostedEvents();
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    frame.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    view.setParent(nullptr);
    return image;
}

} // namespace

TEST(TimersSystemMirrorSheet, EachTabAtItsTierHeightCompactAndRegular) {
    Services s;
    // Timers: a running stopwatch with laps, a countdown paused at 0:42 of 1 minute; then a finished
    // countdown of 5 minutes.
    s.stopwatch.startStopwatch();
    for (int i = 0; i < 3; ++i) {
        s.clock.advance(Seconds(21.8));
        s.stopwatch.recordLap();
    }
    s.scheduler.advance(Seconds(0.1));
    s.stopwatch.setCountdown(1);
    s.stopwatch.startCountdown();
    s.clock.advance(Seconds(17.3));
    s.stopwatch.pauseCountdown();
    NotchTimersView timersCompact(s.stopwatch, s.menus, kAccent);
    const QImage timersSmall = shot(timersCompact, kStandardCompact);
    NotchTimersView timersRegular(s.stopwatch, s.menus, kAccent);
    const QImage timersLarge = shot(timersRegular, kStandardRegular);
    const QImage timersMediumPaused = shot(timersRegular, kStandardMedium);
    s.stopwatch.setCountdown(5);
    s.stopwatch.startCountdown();
    s.scheduler.advance(Seconds(301));
    ASSERT_TRUE(s.stopwatch.countdownDidFinish());
    const QImage timersFinished = shot(timersRegular, kStandardRegular);
    const QImage timersMediumFinished = shot(timersRegular, kStandardMedium);

    // System: waiting for the first sample, then full histories.
    // Shown, the view samples at once; drawn without being shown, it still waits.
    NotchSystemView measuring(s.monitor, kAccent);
    measuring.resize(kStandardCompact);
    VantrelTheme::setColorScheme(&measuring, ColorScheme::dark);
    ASSERT_NE(measuring.measuringView(), nullptr);
    QImage systemWaiting(kStandardCompact, QImage::Format_ARGB32_Premultiplied);
    systemWaiting.fill(Qt::black);
    measuring.render(&systemWaiting, QPoint(), QRegion(), QWidget::DrawChildren);
    s.fillHistories();
    ASSERT_EQ(s.monitor.cpuHistory().size(), 24);
    NotchSystemView systemCompact(s.monitor, kAccent);
    const QImage systemSmall = shot(systemCompact, kStandardCompact);
    NotchSystemView systemRegular(s.monitor, kAccent);
    const QImage systemLarge = shot(systemRegular, kStandardRegular);
    const QImage systemMedium = shot(systemRegular, kStandardMedium);

    // Mirror: the test pattern at 16:9 and 4:3, no camera, and the access panel.
    s.system.capture = CaptureAuthorizationStatus::authorized;
    s.permissions.refresh();
    s.camera.frameSize = QSize(320, 180);
    CameraMirrorView mirrorCompact({s.permissions, s.preferences, s.camera, s.qa}, kAccent);
    const QImage mirrorSmall = shot(mirrorCompact, kTallCompact);
    s.preferences.setCameraAspectRatio(CameraAspectRatio::standard);
    s.camera.frameSize = QSize(320, 240);
    CameraMirrorView mirrorRegular({s.permissions, s.preferences, s.camera, s.qa}, kAccent);
    const QImage mirrorLarge = shot(mirrorRegular, kTallRegular);
    s.camera.mode = FakeCameraCapture::Mode::noDevice;
    CameraMirrorView mirrorFailed({s.permissions, s.preferences, s.camera, s.qa}, kAccent);
    const QImage mirrorNoCamera = shot(mirrorFailed, kTallCompact);
    s.system.capture = CaptureAuthorizationStatus::denied;
    s.permissions.refresh();
    CameraMirrorView mirrorDenied({s.permissions, s.preferences, s.camera, s.qa}, kAccent);
    const QImage mirrorOff = shot(mirrorDenied, kTallCompact);

    // Probes: the finished countdown draws in the accent; the system tab's first row has painted
    // text; the mirror's left shows the pattern's blue.
    const auto hasColor = [](const QImage& image, const QRect& area, auto predicate) {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (predicate(image.pixelColor(x, y))) return true;
        return false;
    };
    const auto finishedLayout = NotchTimersView::layout(QSizeF(kStandardRegular), s.stopwatch);
    EXPECT_TRUE(hasColor(timersFinished, finishedLayout.countdownTime.toAlignedRect(), [](QColor c) {
        return c.blue() > 200 && c.red() < 80;
    })) << "the finished time in the accent";
    EXPECT_FALSE(hasColor(timersLarge, finishedLayout.countdownTime.toAlignedRect(), [](QColor c) {
        return c.blue() > 200 && c.red() < 80;
    })) << "a paused countdown in the primary colour";
    // The lap list lies on the surface's black, with no background of its own.
    const QRectF laps = NotchTimersView::layout(QSizeF(kStandardRegular), s.stopwatch).lapList;
    ASSERT_FALSE(laps.isEmpty());
    EXPECT_LT(timersFinished.pixelColor(int(laps.center().x()), int(laps.top()) + 1).lightness(), 20);
    EXPECT_TRUE(hasColor(systemLarge, QRect(0, 0, 200, 40), [](QColor c) { return c.lightness() > 200; }));
    EXPECT_GT(mirrorSmall.pixelColor(200, 158).blue(), 200);
    EXPECT_GT(mirrorSmall.pixelColor(492, 158).red(), 200);

    const QString path = saveSheet(QStringLiteral("notch-timers-system-mirror"),
                                   {timersSmall, timersLarge, timersFinished, systemWaiting, systemSmall,
                                    systemLarge, mirrorSmall, mirrorLarge, mirrorNoCamera, mirrorOff,
                                    timersMediumPaused, timersMediumFinished, systemMedium},
                                   2);
    EXPECT_TRUE(QFile::exists(path));
}

TEST(TimersSystemMirrorSheet, ALapListPastItsHeightStaysOnTheSurfaceAtItsWholeWidth) {
    Services s;
    s.stopwatch.startStopwatch();
    for (int i = 0; i < 12; ++i) {
        s.clock.advance(Seconds(9.4 + i));
        s.stopwatch.recordLap();
    }
    s.scheduler.advance(Seconds(0.1));
    NotchTimersView view(s.stopwatch, s.menus, kAccent);
    const QImage image = shot(view, kStandardRegular);
    const QRect laps = NotchTimersView::layout(QSizeF(kStandardRegular), s.stopwatch).lapList.toAlignedRect();
    ASSERT_FALSE(laps.isEmpty());
    ASSERT_GT(view.lapList()->widget()->height(), laps.height())
        << "twelve laps are more than the list shows";

    // On the surface's black, with no background of its own.
    EXPECT_LT(image.pixelColor(laps.center().x(), laps.top() + 1).lightness(), 20);
    // No scroll bar track down the list's edge: every column there is dark somewhere.
    for (int x = laps.right() - 20; x <= laps.right(); ++x) {
        int lit = 0;
        for (int y = laps.top(); y <= laps.bottom(); ++y)
            if (image.pixelColor(x, y).lightness() > 30) ++lit;
        EXPECT_LT(lit, laps.height() * 3 / 4) << "a full-height bar at x " << x;
    }
    // The rows keep the list's whole width: the newest lap's time ends at the list's edge.
    int rightmost = -1;
    for (int y = laps.top(); y < laps.top() + 12; ++y)
        for (int x = laps.left(); x <= laps.right(); ++x)
            if (image.pixelColor(x, y).lightness() > 150) rightmost = std::max(rightmost, x);
    EXPECT_GE(rightmost, laps.right() - 3);

    const QString path = saveSheet(QStringLiteral("notch-lap-list-overflowing"), {image}, 1);
    EXPECT_TRUE(QFile::exists(path));
}
