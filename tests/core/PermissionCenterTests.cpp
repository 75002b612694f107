#include "core/PermissionCenter.h"

#include "platform/linux/DesktopEntry.h"
#include "platform/linux/LinuxPermissionSystem.h"
#include "platform/linux/LinuxWorkspace.h"
#include "platform/linux/XdgAutostartLoginItems.h"
#include "support/HostileFiles.h"
#include "support/ManualScheduler.h"
#include "support/RecordingPermissionSystem.h"
#include "support/RecordingProgram.h"
#include "support/RecordingSystemLog.h"
#include "support/RecordingWorkspace.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;
using State = PermissionState;

namespace {

const QString kCouldNotOpen =
    QStringLiteral("Vantrel could not open System Settings. Open Privacy & Security manually.");

struct PermissionFixture : ::testing::Test {
    ManualClock clock;
    ManualScheduler scheduler{clock};
    RecordingPermissionSystem system;
    RecordingLoginItems loginItems;
    RecordingWorkspace workspace;
    CalendarAuthorizationStatus calendarStatus = CalendarAuthorizationStatus::notDetermined;

    std::unique_ptr<PermissionCenter> makeCenter() {
        return std::make_unique<PermissionCenter>(
            system, [this] { return calendarStatus; }, loginItems, workspace, scheduler);
    }
    // The privacy panes opened so far, by their anchor, and forgets them.
    QStringList takeOpened() {
        QStringList out;
        for (const QUrl& url : workspace.opened)
            out.append(url.toString().remove(
                QStringLiteral("x-apple.systempreferences:com.apple.preference.security?")));
        workspace.opened.clear();
        return out;
    }
};

} // namespace

TEST_F(PermissionFixture, ANewCenterReadsEveryStateAtOnce) {
    system.accessibilityTrusted = true;
    system.capture = CaptureAuthorizationStatus::restricted;
    calendarStatus = CalendarAuthorizationStatus::writeOnly;
    loginItems.current = LoginItemStatus::requiresApproval;
    auto center = makeCenter();
    EXPECT_EQ(center->accessibility(), State::allowed);
    EXPECT_EQ(system.accessibilityQueries, std::vector<bool>{false}) << "a read never prompts";
    EXPECT_EQ(center->inputMonitoring(), State::denied);
    EXPECT_EQ(center->camera(), State::denied);
    EXPECT_EQ(center->calendar(), State::unknown) << "write-only cannot read events";
    EXPECT_EQ(center->launchAtLogin(), State::denied) << "awaiting approval is not launching";

    const std::pair<CalendarAuthorizationStatus, State> calendar[] = {
        {CalendarAuthorizationStatus::fullAccess, State::allowed},
        {CalendarAuthorizationStatus::restricted, State::denied},
        {CalendarAuthorizationStatus::notDetermined, State::unknown}};
    for (const auto& [status, expected] : calendar) {
        calendarStatus = status;
        center->refresh();
        EXPECT_EQ(center->calendar(), expected);
    }
    // The words the permission rows show for each state.
    EXPECT_EQ(rawValue(State::allowed), QStringLiteral("Allowed"));
    EXPECT_EQ(rawValue(State::denied), QStringLiteral("Not allowed"));
    EXPECT_EQ(rawValue(State::unknown), QStringLiteral("Not requested"));
}

TEST_F(PermissionFixture, EachRequestGuidesToItsPaneWithItsMessage) {
    auto center = makeCenter();
    EXPECT_TRUE(center->openPrivacySettings(std::nullopt));
    EXPECT_EQ(takeOpened(), QStringList{"Privacy"});

    center->requestAccessibility();
    EXPECT_EQ(system.accessibilityQueries.back(), true) << "the request may prompt";
    EXPECT_EQ(center->statusMessage(),
              QStringLiteral("Enable Vantrel in Privacy & Security › Accessibility, then return here."));
    EXPECT_EQ(takeOpened(), QStringList{"Privacy_Accessibility"});
    system.accessibilityTrusted = true; // the user grants it in the settings
    scheduler.advance(Seconds(0.9));
    EXPECT_EQ(center->accessibility(), State::denied);
    scheduler.advance(Seconds(0.1));
    EXPECT_EQ(center->accessibility(), State::allowed);

    calendarStatus = CalendarAuthorizationStatus::writeOnly;
    center->synchronizeCalendarStatus();
    EXPECT_EQ(center->statusMessage(), QStringLiteral("Calendar access is off. Enable Vantrel in Privacy & "
                                                      "Security › Calendars, then return here."));
    EXPECT_EQ(takeOpened(), QStringList{"Privacy_Calendars"});

    workspace.openSucceeds = false;
    EXPECT_FALSE(center->openPrivacySettings(PrivacyPane::inputMonitoring));
    EXPECT_EQ(center->statusMessage(), kCouldNotOpen);

    // The pending refresh of a destroyed center never runs.
    center->requestAccessibility();
    center.reset();
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST_F(PermissionFixture, CameraRequestFollowsTheCurrentState) {
    const QString cameraMessage = QStringLiteral(
        "Camera access is off. Enable Vantrel in Privacy & Security › Camera, then return here.");
    system.capture = CaptureAuthorizationStatus::authorized;
    auto center = makeCenter();
    center->requestCamera();
    EXPECT_FALSE(center->statusMessage());

    system.capture = CaptureAuthorizationStatus::denied;
    center->requestCamera();
    EXPECT_EQ(center->statusMessage(), cameraMessage);
    EXPECT_EQ(takeOpened(), QStringList{"Privacy_Camera"});
    EXPECT_TRUE(system.pendingCameraRequests.empty()) << "asking again is pointless once refused";

    // Not determined: ask, then act on the answer; an answer for a center that is gone is dropped.
    auto fresh = makeCenter();
    system.capture = CaptureAuthorizationStatus::notDetermined;
    fresh->requestCamera();
    system.capture = CaptureAuthorizationStatus::denied;
    system.answerCameraRequest(false);
    EXPECT_EQ(fresh->camera(), State::denied);
    EXPECT_EQ(fresh->statusMessage(), cameraMessage);
    system.capture = CaptureAuthorizationStatus::notDetermined;
    fresh->requestCamera();
    fresh.reset();
    system.answerCameraRequest(false);
    EXPECT_EQ(workspace.opened.size(), 1u);
}

TEST(LinuxPermissions, StatesFollowTheSession) {
    ManualClock clock;
    ManualScheduler scheduler(clock);
    RecordingLoginItems loginItems;
    RecordingWorkspace workspace;
    LinuxPermissionSystem::Sources sources;
    sources.platformName = QStringLiteral("xcb");
    LinuxPermissionSystem x11(sources);
    sources.platformName = QStringLiteral("wayland");
    LinuxPermissionSystem wayland(sources);
    EXPECT_TRUE(x11.isAccessibilityTrusted(true));
    EXPECT_FALSE(wayland.isAccessibilityTrusted(true));
    // The monitors listen through XInput2 and the keyboard guard grabs through the X server: an X11
    // session gives them what they need, whoever may read /dev/input.
    EXPECT_TRUE(x11.listenEventAccessGranted());
    EXPECT_FALSE(wayland.listenEventAccessGranted());

    // So on a plain X11 desktop with calendars set up, nothing is left for the user to review.
    const auto calendars = [] { return CalendarAuthorizationStatus::fullAccess; };
    PermissionCenter desktop(x11, calendars, loginItems, workspace, scheduler);
    desktop.refresh();
    EXPECT_EQ((std::vector<State>{desktop.accessibility(), desktop.inputMonitoring(), desktop.camera(),
                                  desktop.calendar()}),
              (std::vector<State>{State::allowed, State::allowed, State::allowed, State::allowed}));
    PermissionCenter elsewhere(wayland, calendars, loginItems, workspace, scheduler);
    elsewhere.refresh();
    EXPECT_EQ(elsewhere.inputMonitoring(), State::denied);

    // Camera access is granted whether or not a camera is there, so the mirror tab reaches its
    // preview and tells that no camera was found instead of asking for an access no one can give.
    std::optional<bool> answer;
    EXPECT_EQ(x11.videoCaptureAuthorization(), CaptureAuthorizationStatus::authorized);
    x11.requestVideoCaptureAccess([&](bool granted) { answer = granted; });
    EXPECT_EQ(answer, true);
}

TEST(LinuxPermissions, LaunchAtLoginFromTheBuildFolderIsRefusedAndOnceInstalledNamesTheInstalledProgram) {
    TempHome home;
    ManualClock clock;
    ManualScheduler scheduler(clock);
    RecordingPermissionSystem system;
    RecordingWorkspace workspace;
    const QString tree = home.root() + QStringLiteral("/clone/build/release");
    const QString built = home.writeFile(QStringLiteral("clone/build/release/vantrel"), "#!/bin/sh\n");
    const QString entry = home.paths().autostartFolder() + QStringLiteral("/vantrel.desktop");
    XdgAutostartLoginItems fromBuild(home.paths().autostartFolder(), built, tree);
    PermissionCenter center(
        system, [] { return CalendarAuthorizationStatus::notDetermined; }, fromBuild, workspace, scheduler);
    center.setLaunchAtLogin(true);
    EXPECT_EQ(center.statusMessage(),
              QStringLiteral("Install Vantrel (scripts/install.sh) before enabling launch at login."));
    EXPECT_FALSE(QFileInfo::exists(entry));
    // A link to the built program is that program all the same.
    const QString link = home.root() + QStringLiteral("/bin-vantrel");
    ASSERT_TRUE(QFile::link(built, link));
    EXPECT_FALSE(XdgAutostartLoginItems(home.paths().autostartFolder(), link, tree).registerItem());
    EXPECT_FALSE(QFileInfo::exists(entry));

    const QString installed =
        home.writeFile(QStringLiteral("home/.local/lib/vantrel/vantrel"), "#!/bin/sh\n");
    EXPECT_TRUE(XdgAutostartLoginItems(home.paths().autostartFolder(), installed, tree).registerItem());
    EXPECT_TRUE(home.readFile(entry).contains("\nExec=\"" + installed.toUtf8() + "\"\n"))
        << home.readFile(entry).toStdString();
}

TEST(LinuxPermissions, LaunchAtLoginIsAnAutostartEntry) {
    TempHome home;
    ManualClock clock;
    ManualScheduler scheduler(clock);
    RecordingPermissionSystem system;
    RecordingSystemLog log;
    LinuxWorkspace workspace(log);
    // The entry starts this very program, whatever quoting its path needs. (A "%" in the path
    // would be doubled in the entry, which GIO then looks for literally and refuses.)
    const RecordingProgram program = installRecorder(home, QStringLiteral("my apps/\"van$trel\\`1"));
    XdgAutostartLoginItems items(home.paths().autostartFolder(), program.path, home.root() + "/clone/build");
    PermissionCenter center(
        system, [] { return CalendarAuthorizationStatus::notDetermined; }, items, workspace, scheduler);
    center.setLaunchAtLogin(true);
    const QString entryPath = home.paths().configHome + QStringLiteral("/autostart/vantrel.desktop");
    ASSERT_EQ(launchDesktopEntry(entryPath), std::nullopt) << home.readFile(entryPath).toStdString();
    EXPECT_EQ(program.waitForArguments(), QStringList());
    EXPECT_EQ(center.launchAtLogin(), State::allowed);
    EXPECT_EQ(center.statusMessage(), QStringLiteral("Vantrel will open when you log in."));

    // An entry switched off by the desktop's own settings does not count.
    home.writeFile(QStringLiteral("home/.config/autostart/vantrel.desktop"),
                   home.readFile(entryPath) + "Hidden=true\n");
    center.refresh();
    EXPECT_EQ(center.launchAtLogin(), State::denied);

    center.setLaunchAtLogin(false);
    EXPECT_FALSE(QFileInfo::exists(entryPath));
    center.setLaunchAtLogin(false);
    EXPECT_EQ(center.statusMessage(), QStringLiteral("Launch at login is off.")) << "nothing left to remove";

    QDir().mkpath(entryPath); // a folder in the way: the entry cannot be written
    center.setLaunchAtLogin(true);
    EXPECT_EQ(center.statusMessage(),
              QStringLiteral("Install Vantrel (scripts/install.sh) before enabling launch at login."));
    EXPECT_EQ(center.launchAtLogin(), State::denied);

    // No privacy pane exists here: the request is recorded and reported as not opened.
    EXPECT_FALSE(center.openPrivacySettings(PrivacyPane::camera));
    EXPECT_EQ(center.statusMessage(), kCouldNotOpen);
    EXPECT_TRUE(log.messages(QStringLiteral("Workspace")).join(u' ').contains(u"Privacy_Camera"));
}

TEST(LinuxPermissions, AnAutostartEntryIsReadWithinItsLimitAndNeverWaitedOn) {
    TempHome home;
    const QString folder = home.paths().autostartFolder();
    XdgAutostartLoginItems items(folder, QStringLiteral("/usr/bin/vantrel"),
                                 QStringLiteral("/home/user/vantrel/build"));
    const QString entryPath = folder + QStringLiteral("/vantrel.desktop");
    QDir().mkpath(folder);
    const QByteArray entry = "[Desktop Entry]\nType=Application\nName=Vantrel\nExec=/usr/bin/vantrel\n";

    // An entry of exactly 64 KB (padded with comments) is still read.
    {
        QFile file(entryPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray padded = entry;
        while (padded.size() < 64 * 1024 - 2) padded += "#\n";
        padded += QByteArray(64 * 1024 - padded.size(), '\n');
        ASSERT_EQ(padded.size(), 64 * 1024);
        file.write(padded);
    }
    EXPECT_EQ(items.status(), LoginItemStatus::enabled);

    // A 2 GB sparse file behind a valid start is not read at all: it is no entry of ours.
    {
        QFile file(entryPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(entry);
        ASSERT_TRUE(file.resize(qint64(2) * 1024 * 1024 * 1024));
    }
    EXPECT_EQ(items.status(), LoginItemStatus::notRegistered);

    // A FIFO in its place is never opened for a blocking read.
    QFile::remove(entryPath);
    ASSERT_TRUE(makeHostile(Hostile::fifo, entryPath, QString(), 0));
    EXPECT_EQ(items.status(), LoginItemStatus::notRegistered);

    // A link to a real entry elsewhere is followed: the user may keep the entry where they like.
    QFile::remove(entryPath);
    home.writeFile(QStringLiteral("elsewhere.desktop"), entry);
    ASSERT_TRUE(QFile::link(home.root() + QStringLiteral("/elsewhere.desktop"), entryPath));
    EXPECT_EQ(items.status(), LoginItemStatus::enabled);
}

namespace {
// Writes the entry without complaint, but the desktop keeps it waiting for approval.
class ApprovalPendingLoginItems final : public LoginItems {
public:
    LoginItemStatus status() const override { return current; }
    bool registerItem() override {
        current = LoginItemStatus::requiresApproval;
        return true;
    }
    bool unregisterItem() override {
        current = LoginItemStatus::notRegistered;
        return removable;
    }
    LoginItemStatus current = LoginItemStatus::notRegistered;
    bool removable = true;
};
} // namespace

TEST_F(PermissionFixture, LaunchAtLoginReportsWhatTheEntryBecameNotWhatTheCallAnswered) {
    ApprovalPendingLoginItems pending;
    PermissionCenter center(
        system, [] { return CalendarAuthorizationStatus::notDetermined; }, pending, workspace, scheduler);
    center.setLaunchAtLogin(true);
    EXPECT_EQ(center.launchAtLogin(), State::denied);
    EXPECT_EQ(center.statusMessage(),
              QStringLiteral("Install Vantrel (scripts/install.sh) before enabling launch at login."))
        << "an entry that will not start anything is no success";

    center.setLaunchAtLogin(false);
    EXPECT_EQ(center.statusMessage(), QStringLiteral("Launch at login is off."));
    pending.removable = false;
    center.setLaunchAtLogin(false);
    EXPECT_EQ(center.statusMessage(),
              QStringLiteral("Install Vantrel (scripts/install.sh) before enabling launch at login."))
        << "a failed removal keeps its own text";

    // The working case still says so, once the states are read again.
    auto working = makeCenter();
    QSignalSpy states(working.get(), &PermissionCenter::statesChanged);
    working->setLaunchAtLogin(true);
    EXPECT_EQ(working->launchAtLogin(), State::allowed);
    EXPECT_EQ(states.count(), 1);
    EXPECT_EQ(working->statusMessage(), QStringLiteral("Vantrel will open when you log in."));
}
