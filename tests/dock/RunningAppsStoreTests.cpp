#include "dock/RunningAppsStore.h"

#include "dock/DockShortcut.h"
#include "support/CallLog.h"
#include "support/RecordingRunningApplications.h"
#include "support/ScriptedAlertPresenter.h"

#include <QImage>
#include <QPixmap>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::test;

namespace {

QIcon solidIcon(Qt::GlobalColor colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

RunningApplication app(qint32 pid, const QString& name, const QString& identifier = {},
                       QIcon icon = solidIcon(Qt::red)) {
    RunningApplication a;
    a.processIdentifier = pid;
    a.localizedName = name;
    a.icon = std::move(icon);
    a.bundleIdentifier = identifier;
    a.processVerified = true;
    return a;
}

QStringList names(const RunningAppsStore& store) {
    QStringList out;
    for (const RunningAppItem& item : store.apps()) out.append(item.name);
    return out;
}

struct RunningAppsFixture : ::testing::Test {
    CallLog calls;
    RecordingRunningApplications running;
    ScriptedAlertPresenter alerts;
    RunningAppsFixture() {
        running.log = &calls;
        alerts.log = &calls;
    }
};

} // namespace

TEST_F(RunningAppsFixture, TheFileManagerFirstThenByNameOnlyRegularLiveAppsWithAName) {
    running.fileManager = QStringLiteral("org.example.Files.desktop");
    RunningApplication panel = app(5, "Panel");
    panel.isRegular = false;
    RunningApplication ended = app(6, "Ended");
    ended.isTerminated = true;
    RunningApplication hidden = app(7, "beta");
    hidden.isHidden = true;
    running.applications = {app(1, "Zeta Files", "org.example.Files.desktop"),
                            app(2, "Mail"),
                            panel,
                            app(3, "Browser", "browser.desktop"),
                            ended,
                            hidden,
                            app(8, QString()),
                            app(9, "No Icon", "noicon.desktop", QIcon()),
                            app(10, "Alpha")};
    running.frontmost = 3;
    RunningAppsStore store(running, alerts);
    // Plain string order: upper case before lower case.
    EXPECT_EQ(names(store), (QStringList{"Zeta Files", "Alpha", "Browser", "Mail", "No Icon", "beta"}));
    for (const RunningAppItem& item : store.apps()) {
        EXPECT_EQ(item.isActive, item.id == 3) << item.name.toStdString();
        EXPECT_EQ(item.isHidden, item.id == 7) << item.name.toStdString();
    }
    EXPECT_EQ(store.apps()[2].bundleIdentifier, "browser.desktop");

    // No file manager known: nothing is set first.
    running.fileManager.clear();
    store.refresh();
    EXPECT_EQ(names(store), (QStringList{"Alpha", "Browser", "Mail", "No Icon", "Zeta Files", "beta"}));
    running.frontmost.reset();
    store.refresh();
    for (const RunningAppItem& item : store.apps()) EXPECT_FALSE(item.isActive);
}

TEST_F(RunningAppsFixture, IconsAreFetchedOnceByIdentifierElseByName) {
    const QIcon first = solidIcon(Qt::red);
    const QIcon unnamed = solidIcon(Qt::blue);
    running.applications = {app(1, "Editor", "editor.desktop", first), app(2, "Tool", {}, unnamed)};
    RunningAppsStore store(running, alerts);
    ASSERT_EQ(store.apps().size(), 2u);

    // Another process of the same applications, with other icons or none at all, shows the
    // icons fetched first.
    running.applications = {app(11, "Editor 2", "editor.desktop", solidIcon(Qt::green)),
                            app(12, "Tool", {}, QIcon()), app(13, "Other", {}, QIcon())};
    store.refresh();
    ASSERT_EQ(names(store), (QStringList{"Editor 2", "Other", "Tool"}));
    EXPECT_EQ(store.apps()[0].icon.cacheKey(), first.cacheKey());
    EXPECT_EQ(store.apps()[2].icon.cacheKey(), unnamed.cacheKey());
    EXPECT_EQ(store.apps()[0].id, 11);
}

TEST_F(RunningAppsFixture, LaunchesRebuildActivationsOnlyUpdateStates) {
    running.applications = {app(1, "Alpha"), app(2, "Beta")};
    running.frontmost = 1;
    RunningAppsStore store(running, alerts);
    QSignalSpy published(&store, &RunningAppsStore::appsChanged);

    running.applications.push_back(app(3, "Gamma"));
    running.applications[1].isHidden = true;
    running.frontmost = 2;
    Q_EMIT running.frontmostChanged();
    EXPECT_EQ(names(store), (QStringList{"Alpha", "Beta"})) << "no rebuild";
    EXPECT_FALSE(store.apps()[0].isActive);
    EXPECT_TRUE(store.apps()[1].isActive);
    EXPECT_TRUE(store.apps()[1].isHidden);
    EXPECT_EQ(published.count(), 1);

    // Gone from the desktop: its hidden state stays as it was.
    running.applications = {app(1, "Alpha")};
    running.frontmost = 1;
    Q_EMIT running.frontmostChanged();
    EXPECT_TRUE(store.apps()[1].isHidden);
    EXPECT_FALSE(store.apps()[1].isActive);
    EXPECT_TRUE(store.apps()[0].isActive);
    store.refreshActiveState();
    EXPECT_EQ(published.count(), 3) << "published even when nothing changed";

    running.applications = {app(1, "Alpha"), app(3, "Gamma")};
    Q_EMIT running.applicationsChanged();
    EXPECT_EQ(names(store), (QStringList{"Alpha", "Gamma"}));
    EXPECT_EQ(published.count(), 4);
}

TEST_F(RunningAppsFixture, APinnedApplicationIsFoundByIdentifierElseByLocation) {
    RunningApplication byPath = app(2, "Viewer");
    byPath.bundleURL = QStringLiteral("/opt/apps/viewer.desktop");
    RunningApplication byId = app(3, "Editor", "editor.desktop");
    byId.bundleURL = QStringLiteral("/somewhere/else.desktop");
    running.applications = {app(1, "Alpha"), byPath, byId};
    running.identifiers[QStringLiteral("/usr/share/applications/editor.desktop")] =
        QStringLiteral("editor.desktop");
    running.identifiers[QStringLiteral("/usr/share/applications/missing.desktop")] =
        QStringLiteral("missing.desktop");
    RunningAppsStore store(running, alerts);

    DockShortcut pinned{QUuid::createUuid(), "Editor", "/usr/share/applications/editor.desktop",
                        DockShortcut::Kind::application, std::nullopt};
    ASSERT_TRUE(store.runningApp(pinned));
    EXPECT_EQ(store.runningApp(pinned)->id, 3);
    pinned.target = QStringLiteral("/opt/apps/./viewer.desktop");
    ASSERT_TRUE(store.runningApp(pinned)) << "standardised location";
    EXPECT_EQ(store.runningApp(pinned)->id, 2);
    pinned.kind = DockShortcut::Kind::folder;
    EXPECT_FALSE(store.runningApp(pinned)) << "only applications match";
    pinned = {QUuid::createUuid(), "Missing", "/usr/share/applications/missing.desktop",
              DockShortcut::Kind::application, std::nullopt};
    EXPECT_FALSE(store.runningApp(pinned)) << "an identifier that runs nowhere";
    pinned.target = QStringLiteral("/somewhere/else.desktop");
    EXPECT_EQ(store.runningApp(pinned)->id, 3) << "its location, when the entry has no identifier";
}

TEST_F(RunningAppsFixture, ForceQuitAsksFirstAndKillsOnlyOnConfirmation) {
    running.applications = {app(4, "Editor <b>")};
    RunningAppsStore store(running, alerts);
    const RunningAppItem editor = store.apps().front();

    alerts.answer = 1;
    store.confirmForceQuit(editor);
    EXPECT_EQ(calls.entries, (QStringList{"activate 4", "alert Force Quit Editor <b>?"}));
    ASSERT_EQ(alerts.requests.size(), 1u);
    const AlertPresenter::Request& asked = alerts.requests.front();
    EXPECT_EQ(asked.style, AlertPresenter::Style::critical);
    EXPECT_EQ(asked.messageText, "Force Quit Editor <b>?");
    EXPECT_EQ(asked.informativeText, "Any unsaved changes in Editor <b> will be lost.");
    EXPECT_EQ(asked.buttons, (QStringList{"Force Quit", "Cancel"}));

    alerts.answer.reset();
    store.confirmForceQuit(editor);
    EXPECT_FALSE(running.requests.contains("forceTerminate 4")) << "closed without an answer";

    alerts.answer = 0;
    calls.entries.clear();
    store.confirmForceQuit(editor);
    EXPECT_EQ(calls.entries, (QStringList{"activate 4", "alert Force Quit Editor <b>?", "forceTerminate 4"}));

    // Ended meanwhile: nothing is asked.
    calls.entries.clear();
    running.applications.front().isTerminated = true;
    store.confirmForceQuit(editor);
    running.applications.clear();
    store.confirmForceQuit(editor);
    EXPECT_TRUE(calls.entries.isEmpty());

    // A process that only its windows name: nothing is asked, nothing killed.
    running.applications = {app(4, "Editor <b>")};
    running.applications.front().processVerified = false;
    store.refresh();
    EXPECT_FALSE(store.apps().front().processVerified);
    store.confirmForceQuit(editor);
    EXPECT_TRUE(calls.entries.isEmpty());
}

TEST_F(RunningAppsFixture, AFloodOfWindowsGivesAtMostSixtyFourTilesTheFileManagerFirst) {
    for (int i = 0; i < 2000; ++i)
        running.applications.push_back(
            app(100 + i, QStringLiteral("App %1").arg(i, 4, 10, QLatin1Char('0'))));
    running.applications.push_back(app(5, "Zed Files", "files.desktop"));
    running.fileManager = "files.desktop";
    RunningAppsStore store(running, alerts);
    ASSERT_EQ(store.apps().size(), 64u);
    EXPECT_EQ(store.apps().front().name, "Zed Files");
    EXPECT_EQ(store.apps().back().name, "App 0062");
}

TEST_F(RunningAppsFixture, ARefusedOrFailedForceQuitSaysSoUntilOneWorks) {
    running.applications = {app(4, "Editor"), app(6, "Viewer")};
    RunningAppsStore store(running, alerts);
    const RunningAppItem editor = store.apps().front();
    alerts.answer = 0;
    running.forceTerminateSucceeds = false;
    store.confirmForceQuit(editor);
    EXPECT_EQ(store.forceQuitStatus(editor), "Editor could not be force quit.");
    EXPECT_EQ(store.forceQuitStatus(store.apps().back()), QString());

    // No longer confirmed by the time it is chosen: refused without a question.
    running.applications.front().processVerified = false;
    calls.entries.clear();
    store.confirmForceQuit(editor);
    EXPECT_TRUE(calls.entries.isEmpty());
    EXPECT_EQ(store.forceQuitStatus(editor),
              "Not force quit: the process of Editor can no longer be confirmed.");

    running.applications.front().processVerified = true;
    running.forceTerminateSucceeds = true;
    store.confirmForceQuit(editor);
    EXPECT_EQ(store.forceQuitStatus(editor), QString());
    running.forceTerminateSucceeds = false;
    store.confirmForceQuit(editor);
    running.applications.erase(running.applications.begin());
    store.refresh();
    EXPECT_EQ(store.forceQuitStatus(editor), QString()) << "gone from the list, its status goes too";
}

namespace {

QColor centre(const QIcon& icon) {
    const QImage image = icon.pixmap(48, 48).toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

} // namespace

TEST_F(RunningAppsFixture,
       AProgramWithoutAnIconShowsTheDesktopsGenericOneReadOnceElseTheKitsUntilItHasItsOwn) {
    running.genericIcon = solidIcon(Qt::green);
    running.applications = {app(1, "xterm", "xterm.desktop", QIcon()),
                            app(2, "xclock", "xclock.desktop", QIcon())};
    {
        RunningAppsStore store(running, alerts);
        ASSERT_EQ(names(store), (QStringList{"xclock", "xterm"}));
        EXPECT_EQ(centre(store.apps()[0].icon), QColor(Qt::green));
        EXPECT_EQ(centre(store.apps()[1].icon), QColor(Qt::green));
        store.refresh();
        Q_EMIT running.applicationsChanged();
        EXPECT_EQ(centre(store.genericApplicationIcon()), QColor(Qt::green));
        EXPECT_EQ(running.genericIconReads, 1) << "read once for every tile and change";
    }

    // A desktop without one: the kit's application glyph, in grey.
    running.genericIcon = QIcon();
    running.applications.pop_back();
    RunningAppsStore store(running, alerts);
    EXPECT_EQ(centre(store.apps().front().icon), QColor(142, 142, 147));

    // Its own icon, once it has one, replaces the stand-in.
    running.applications.front().icon = solidIcon(Qt::red);
    store.refresh();
    EXPECT_EQ(centre(store.apps().front().icon), QColor(Qt::red));
}

TEST_F(RunningAppsFixture, TheApplicationsOwnRequestsGoToTheDesktop) {
    running.applications = {app(4, "Editor")};
    RunningAppsStore store(running, alerts);
    store.activate(store.apps().front());
    store.hide(store.apps().front());
    store.quit(store.apps().front());
    EXPECT_EQ(running.requests, (QStringList{"activate 4", "hide 4", "terminate 4"}));
}

// A program that draws a new window icon: the icon kept for it is let go, so its tile takes the
// new picture; the others keep theirs, and a change of a program not shown rebuilds nothing.
TEST_F(RunningAppsFixture, ANewWindowIconOfAProgramReplacesTheIconKeptForItAlone) {
    running.applications = {app(42, "Painter", {}, solidIcon(Qt::blue)), app(43, "Editor")};
    RunningAppsStore store(running, alerts);
    const qint64 editorIcon = store.apps()[0].icon.cacheKey();
    // The desktop hands out a new icon of the program's windows at every reading.
    running.applications[0].icon = solidIcon(Qt::green);
    running.applications[1].icon = solidIcon(Qt::red);
    const auto painter = [&] { return store.apps()[1].icon.pixmap(16, 16).toImage().pixel(8, 8); };
    QSignalSpy changes(&store, &RunningAppsStore::appsChanged);
    Q_EMIT running.windowIconsChanged({7});
    EXPECT_EQ(changes.count(), 0) << "not a program shown";
    Q_EMIT running.windowIconsChanged({42});
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(painter(), QColor(Qt::green).rgb());
    EXPECT_EQ(store.apps()[0].icon.cacheKey(), editorIcon) << "the other program's icon is kept";
}
